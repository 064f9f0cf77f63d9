#include "calibration/knobcalibration.h"

#include "calibration/calibrationrecords.h"
#include "calibration/severaldevices.h"
#include "lns/logger.h"
#include "lns/timer.h"
#include "lns/userdialogs.h"
#include "session/session.h"
#include "strings/resstrings.h"

namespace calibration {

TurningKnobCalibration::TurningKnobCalibration(CalibrationEnvironment env, Timer *timer)
    : m_env(std::move(env)), m_timer(timer)
{
}

TurningKnobCalibration::~TurningKnobCalibration() = default;

void TurningKnobCalibration::showResult(int piece, controls::Colour colour)
{
    m_env.page->setResult(Indicator::Knob, GetResString(1114, piece), colour);
    m_env.page->setResultVisible(Indicator::Knob, true);
}

// ---------------------------------------------------------------------------------------------
// Two-stop calibration

void TurningKnobCalibration::Calibrate()
{
    if (m_pending)
        secondPress();
    else
        firstPress();
}

void TurningKnobCalibration::firstPress()
{
    CalibrationPage &page = *m_env.page;
    bool triggered = false;
    if (m_env.deviceIsAccessible && m_env.deviceIsAccessible(true)) {
        try {
            endPendingCalibration();
            m_env.services.session->appDevice->calibrationTrigger();
            triggered = true;
        } catch (const TqmError &error) {
            // It answered the test but not the trigger: nothing waits for a second stop.
            m_env.services.logger->addLogLine(GetResString(1205) + QLatin1Char(' ') + error.description(),
                                              logcolour::Red);
        }
    }
    if (!triggered) {
        showResult(3, FailureColour);
        page.setButtonEnabled(button::SensorCalibrate, false);
        page.setButtonEnabled(button::KnobCalibrate, false);
        return;
    }
    m_pending = true;
    m_tick = 0;
    m_timer->start(IntervalMs);
}

void TurningKnobCalibration::Tick()
{
    CalibrationPage &page = *m_env.page;
    if (!m_pending) {
        stopWaiting();
        return;
    }
    if (m_tick >= TimeoutTicks) {
        // The device still waits for the second stop: the next press completes the calibration.
        page.setProgressVisible(Indicator::Knob, false);
        stopWaiting();
        showResult(2, FailureColour);
        return;
    }
    page.setResultVisible(Indicator::Knob, false);
    page.setProgressVisible(Indicator::Knob, true);
    page.setProgress(Indicator::Knob, m_tick);
    page.setProgressText(Indicator::Knob, m_tick % 2 == 0 ? GetResString(1113) : QString());
    ++m_tick;
}

void TurningKnobCalibration::stopWaiting()
{
    m_timer->stop();
    m_tick = 0;
}

void TurningKnobCalibration::secondPress()
{
    CalibrationPage &page = *m_env.page;
    try {
        m_env.services.session->appDevice->calibrationTrigger();
    } catch (const TqmError &error) {
        // Still pending: pressing again once the device answers completes it.
        page.setProgressVisible(Indicator::Knob, false);
        stopWaiting();
        showResult(2, FailureColour);
        m_env.services.logger->addLogLine(GetResString(1205) + QLatin1Char(' ') + error.description(),
                                          logcolour::Red);
        return;
    }
    page.setProgressVisible(Indicator::Knob, false);
    stopWaiting();
    m_pending = false;
    // The device says whether the two stops made a calibration (it may have been waiting for
    // another procedure's second stop, or for none).
    const auto state = deviceKnobCalibration();
    if (state && *state != lns::AppDevice::KnobCalibration::Calibrated) {
        showResult(2, FailureColour);
        logMessage(m_env, 1211, 2, logcolour::Red);
        return;
    }
    showResult(1, SuccessColour);
    const DeviceContext context = deviceContext(m_env);
    WriteRegulatorCalibrated(context);
    page.TextBox(KnobCalibratedBox)->setText(ReadRegulatorCalibrated(context));
}

std::optional<lns::AppDevice::KnobCalibration> TurningKnobCalibration::deviceKnobCalibration() const
{
    try {
        return m_env.services.session->appDevice->knobCalibration();
    } catch (const TqmError &) {
        return std::nullopt; // a device that cannot tell is taken at its word
    }
}

// A two-stop calibration left waiting for its second stop (by a run that was cut short, or in
// another process) would take the first press as its second: the device ends it first, so that
// this one starts from a known state.
void TurningKnobCalibration::endPendingCalibration()
{
    if (deviceKnobCalibration() != lns::AppDevice::KnobCalibration::WaitingForSecondStop)
        return;
    m_env.services.session->appDevice->calibrationTrigger();
    logMessage(m_env, 1211, 1, logcolour::Black);
}

// ---------------------------------------------------------------------------------------------
// Reset and centre calibration

void TurningKnobCalibration::CalibrateThisDevice()
{
    UserDialogs &dialogs = *m_env.services.dialogs;
    Logger &logger = *m_env.services.logger;
    dialogs.setWaitCursor(true);
    CalibrationPage &page = *m_env.page;
    try {
        m_env.services.session->appDevice->calibrationTrigger();
        logMessage(m_env, 1208, 1, logcolour::Green, true);
        page.setResult(Indicator::KnobThisDevice, GetResString(1208, 1), SuccessColour);
    } catch (const TqmError &error) {
        logMessage(m_env, 1208, 2, logcolour::Red, true);
        logger.addLogLine(GetResString(1205) + QStringLiteral(" - ") + error.description(), logcolour::Red);
        page.setResult(Indicator::KnobThisDevice,
                       GetResString(1208, 2) + QLatin1Char(' ') + GetResString(1205) + QLatin1Char(' ') + error.description(),
                       FailureColour);
    }
    page.setResultVisible(Indicator::KnobThisDevice, true);
    showLoggerOnError(m_env);
    dialogs.setWaitCursor(false);
}

void TurningKnobCalibration::CalibrateSeveralDevices()
{
    SeveralDevices several(m_env);
    const QList<lns::AppDevicePtr> devices = several.pick();
    if (devices.isEmpty())
        return;
    // The plug-in's own device decides: a panel device sends to every device it picked.
    const bool panel = parameterAvailable(m_env, QStringLiteral("PanelType_1"));
    several.run(devices, 1200, [&](const PickedDevice &target) { triggerOn(target, panel); });
}

void TurningKnobCalibration::triggerOn(const PickedDevice &target, bool panel)
{
    if (target.applicationVersion == 0 && !panel) {
        logOutcome(m_env, GetResString(1203), logcolour::Red);
    } else if (panel || target.applicationVersion >= target.newCalibVersion) {
        // A failure becomes the device's red line in the walk.
        target.device->calibrationTrigger();
        logOutcome(m_env, GetResString(1202), logcolour::Green);
    } else {
        logOutcome(m_env, GetResString(1204, 2), logcolour::Red);
    }
}

} // namespace calibration
