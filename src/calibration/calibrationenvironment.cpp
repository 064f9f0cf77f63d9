#include "calibration/calibrationenvironment.h"

#include "device/cconfiguration.h"
#include "lns/deviceversionutility.h"
#include "lns/inilocator.h"
#include "lns/logger.h"
#include "lns/product.h"
#include "params/cpaccess.h"
#include "params/cparam.h"
#include "params/cparams.h"
#include "session/session.h"
#include "strings/resstrings.h"

namespace calibration {

DeviceContext deviceContext(const CalibrationEnvironment &env, const QString &deviceTemplate,
                            const lns::LonMarkObjectPtr &lonMarkObject)
{
    DeviceContext context = DeviceContext::of(env.services);
    if (!deviceTemplate.isEmpty())
        context.deviceTemplate = deviceTemplate;
    if (lonMarkObject)
        context.lonMarkObject = lonMarkObject;
    return context;
}

float applicationVersion(const CalibrationEnvironment &env, const lns::AppDevicePtr &device)
{
    return env.applicationVersion ? env.applicationVersion(device) : DeviceVersionUtility::ApplicationVersion(device);
}

cParam *parameter(const CalibrationEnvironment &env, const QString &name)
{
    cParams *all = env.configuration ? env.configuration->Parameters() : nullptr;
    return all ? all->ParameterAllByName(name) : nullptr;
}

bool parameterAvailable(const CalibrationEnvironment &env, const QString &name)
{
    const cParam *found = parameter(env, name);
    return found && found->Available();
}

std::optional<qint64> ReadTempCalib(const CalibrationEnvironment &env, const lns::AppDevicePtr &device)
{
    if (!env.services.iniFile || !device)
        return std::nullopt;
    bool found = false;
    const lns::ConfigPropertyPtr cp = IniLocator(*env.services.iniFile, device->deviceTemplate()->name())
                                             .FetchDevCp(QStringLiteral("TempCalib"), product::CpSection, device, &found);
    if (!found || !cp)
        return std::nullopt;
    qint64 number = 0;
    for (const char byte : cpaccess::readBytes(*cp))
        number = number * 256 + quint8(byte);
    return number;
}

void logMessage(const CalibrationEnvironment &env, int id, int piece, qint32 colour, bool withTime)
{
    env.services.logger->addLogLine(GetResString(id, piece), colour, 0, withTime);
}

// The logger view cannot continue a line, so the outcome goes on a line of its own, indented
// under the device's line of the heading.
void logOutcome(const CalibrationEnvironment &env, const QString &text, qint32 colour)
{
    env.services.logger->addLogLine(QStringLiteral("     - ") + text, colour);
}

void showLoggerOnError(const CalibrationEnvironment &env)
{
    Logger &logger = *env.services.logger;
    if (logger.loggerOnErrorFlag())
        env.page->ShowLogger();
    logger.setLoggerOnErrorFlag(false);
}

} // namespace calibration
