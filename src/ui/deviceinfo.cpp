#include "ui/deviceinfo.h"

#include "calibration/calibrationrecords.h"
#include "calibration/devicecontext.h"
#include "lns/deviceversionutility.h"
#include "params/numbers.h"
#include "session/session.h"
#include "strings/resstrings.h"

namespace ui {

namespace {

constexpr int MsgHelpMenu = 1372;     // piece 3: "Device info"
constexpr int MsgInfoCaptions = 1582; // device, object, program id, version, Neuron ID, state, template
constexpr int MsgAccessible = 1532;
constexpr int MsgNotAccessible = 1533;
constexpr int MsgLastCalibration = 1120;
constexpr int MsgSensorPage = 1020;
constexpr int MsgKnobPage = 1021;
const QString NoValue = QStringLiteral("-");

// A value that cannot be read is shown as missing: the window tells what it knows.
QString orNoValue(const std::function<QString()> &read)
{
    try {
        const QString value = read();
        return value.isEmpty() ? NoValue : value;
    } catch (const TqmError &) {
        return NoValue;
    }
}

QString lastCalibrationCaption(int page)
{
    return GetResString(MsgLastCalibration) + QStringLiteral(" (") + GetResString(page) + QLatin1Char(')');
}

} // namespace

DeviceInfoReport CollectDeviceInfo(const Services &services, bool accessible)
{
    const SessionState &session = *services.session;
    const lns::AppDevicePtr device = session.appDevice;
    const DeviceContext context = DeviceContext::of(services, session.lonMarkObject);
    DeviceInfoReport report;
    report.title = GetResString(MsgHelpMenu, 3);
    const auto add = [&](const QString &caption, const std::function<QString()> &read) {
        report.lines.append({caption, orNoValue(read)});
    };
    const auto piece = [](int n) { return GetResString(MsgInfoCaptions, n); };
    add(piece(1), [&] { return device ? device->name() : session.deviceName; });
    add(piece(2), [&] { return session.lonMarkObject ? session.lonMarkObject->name() : session.lonMarkObjectName; });
    add(piece(3), [&] { return device ? device->programId() : QString(); });
    add(piece(4), [&] {
        const float version = accessible ? DeviceVersionUtility::ApplicationVersion(device) : 0.0f;
        return version != 0.0f ? numbers::numberText(version, QLocale::system()) : QString();
    });
    add(piece(5), [&] { return device ? device->neuronId() : QString(); });
    add(piece(6), [&] { return GetResString(accessible ? MsgAccessible : MsgNotAccessible); });
    add(piece(7), [&] { return session.deviceTemplate; });
    add(lastCalibrationCaption(MsgSensorPage), [&] { return calibration::ReadTempSensorCalibrated(context); });
    add(lastCalibrationCaption(MsgKnobPage), [&] { return calibration::ReadRegulatorCalibrated(context); });
    return report;
}

} // namespace ui
