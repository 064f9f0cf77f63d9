#include "calibration/severaldevices.h"

#include "calibration/devicevariants.h"
#include "device/cconfiguration.h"
#include "lns/inifile.h"
#include "lns/logger.h"
#include "lns/userdialogs.h"
#include "session/devicelog.h"
#include "session/session.h"
#include "strings/resstrings.h"

namespace calibration {

namespace {

// The bracket around the writes of a multi-device pass, as the multi-device write has it.
constexpr int SeriesValue = 100;
constexpr int RepeatHeadingAfterSeconds = 15;
constexpr int DeviceHeadingStyle = 0;

} // namespace

SeveralDevices::SeveralDevices(const CalibrationEnvironment &env, QObject *parent) : QObject(parent), m_env(env) {}

SeveralDevices::~SeveralDevices() = default;

QList<lns::AppDevicePtr> SeveralDevices::pick()
{
    const SessionState &session = *m_env.services.session;
    m_env.page->setStatusText(GetResString(1519));
    m_window = m_env.createMultiDeviceWindow ? m_env.createMultiDeviceWindow()
                                             : std::make_unique<device::ScriptedMultiDeviceWindow>();
    connect(m_window.get(), &device::MultiDeviceWindow::progress, this, [this] {
        if (m_env.configuration)
            m_env.configuration->mobjMultiDevWin_Progress();
        else
            m_env.page->Refresh();
    });
    connect(m_window.get(), &device::MultiDeviceWindow::validateFoundDevice, this,
            &SeveralDevices::onValidateFoundDevice);
    connect(m_window.get(), &device::MultiDeviceWindow::searchCompleted, this, &SeveralDevices::onSearchCompleted);

    device::MultiDeviceRequest request = device::MultiDeviceRequest::forSession(
        session, m_env.page->ownerObject(), m_env.page->Caption(),
        m_env.services.iniFile ? m_env.services.iniFile->fileName() : QString());
    // Which devices may take a calibration is CalibTransfer's to say, not the program id's.
    request.sameProgramIdOnly = false;
    request.items = device::MultiDeviceItems::AppDevices;
    m_accepted.reset();
    const device::MultiDeviceSelectionPtr selection = m_window->open(request);

    QList<lns::AppDevicePtr> devices;
    for (int i = 1; selection && i <= selection->count(); ++i) {
        if (auto picked = std::dynamic_pointer_cast<lns::AppDevice>(selection->item(i)))
            devices.append(picked);
    }
    if (devices.isEmpty())
        m_window.reset();
    return devices;
}

void SeveralDevices::onValidateFoundDevice(const lns::AppDevicePtr &device, bool &notValidated)
{
    if (!m_accepted)
        m_accepted = CalibTransferProgramIds(deviceContext(m_env));
    notValidated = !m_accepted->contains(device->programId());
}

void SeveralDevices::onSearchCompleted()
{
    m_env.page->setStatusText(GetResString(1517));
    m_env.services.dialogs->setWaitCursor(false);
    m_accepted.reset();
}

void SeveralDevices::run(const QList<lns::AppDevicePtr> &devices, int messageId,
                         const std::function<void(const PickedDevice &)> &step)
{
    SessionState &session = *m_env.services.session;
    CalibrationPage &page = *m_env.page;
    Logger &logger = *m_env.services.logger;
    const Clock &clock = m_env.services.clock;
    std::unique_ptr<DeviceHeading> ownHeading;
    if (!m_env.services.deviceHeading)
        ownHeading = std::make_unique<DeviceHeading>(logger, clock);
    DeviceHeading &heading = m_env.services.deviceHeading ? *m_env.services.deviceHeading : *ownHeading;

    bool seriesOpen = false;
    const auto end = [&] {
        m_window.reset();
        m_env.services.dialogs->setWaitCursor(false);
        page.setStatusText(GetResString(1517));
        page.setEnabled(true);
        page.setApplyEnabled(false);
        session.parametersChangedFlag = false;
    };
    try {
        session.system->openSeries(SeriesValue);
        seriesOpen = true;
        page.Refresh();
        m_env.services.dialogs->setWaitCursor(true);
        page.setEnabled(false);
        logMessage(m_env, messageId, 1, logcolour::Blue);
        const int count = int(devices.size());
        for (int i = 0; i < count; ++i) {
            const lns::AppDevicePtr &device = devices.at(i);
            page.setStatusText(GetResString(1500, 3, {QStringLiteral("%1/%2").arg(i + 1).arg(count)}));
            if (m_env.deviceStarting)
                m_env.deviceStarting(device, i + 1, count);
            try {
                PickedDevice picked;
                picked.device = device;
                picked.applicationVersion = applicationVersion(m_env, device);
                picked.newCalibVersion = ApbVersionNewCalib(deviceContext(m_env, device->deviceTemplate()->name()));
                heading.log(device, nullptr, DeviceHeadingStyle, RepeatHeadingAfterSeconds);
                step(picked);
            } catch (const TqmError &error) {
                logOutcome(m_env, GetResString(1205) + QLatin1Char(' ') + error.description(), logcolour::Red);
            }
        }
        logMessage(m_env, messageId, 2, logcolour::Blue);
        showLoggerOnError(m_env);
    } catch (const TqmError &) {
        end();
        if (seriesOpen) {
            try {
                session.system->closeSeries();
            } catch (const TqmError &) {
                // The error that ended the pass is the one to tell.
            }
        }
        throw;
    }
    end();
    session.system->closeSeries();
}

} // namespace calibration
