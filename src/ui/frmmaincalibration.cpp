// The window's side of the calibration pages: it makes the two procedures with the
// configuration, hands them its buttons, its room-temperature entry and its timers' ticks, and is
// their CalibrationPage on the view.

#include "ui/frmmain.h"

#include "calibration/knobcalibration.h"
#include "calibration/pagearrangement.h"
#include "calibration/sensorcalibration.h"
#include "lns/userdialogs.h"
#include "params/cparams.h"

namespace ui {

namespace {

Frame frameOf(calibration::PageFrame frame)
{
    switch (frame) {
    case calibration::PageFrame::SensorCopy:
        return Frame::SensorCopy;
    case calibration::PageFrame::KnobTwoStop:
        return Frame::KnobTwoStop;
    case calibration::PageFrame::KnobReset:
        return Frame::KnobReset;
    case calibration::PageFrame::KnobCentre:
        break;
    }
    return Frame::KnobCentre;
}

Element progressBarOf(calibration::Indicator indicator)
{
    return Element::progressBar(int(indicator));
}

// The result labels of an indicator: the reset and centre frames have one each (only one of the
// two frames is shown).
QList<Element> resultLabelsOf(calibration::Indicator indicator)
{
    switch (indicator) {
    case calibration::Indicator::Sensor:
        return {Element::label(labels::SensorResult)};
    case calibration::Indicator::Knob:
        return {Element::label(labels::KnobResult)};
    case calibration::Indicator::KnobThisDevice:
        break;
    }
    return {Element::label(labels::KnobResetResult), Element::label(labels::KnobCentreResult)};
}

} // namespace

calibration::CalibrationEnvironment FrmMain::calibrationEnvironment()
{
    calibration::CalibrationEnvironment env;
    env.services = m_services;
    env.page = this;
    env.configuration = m_configuration.get();
    env.deviceIsAccessible = m_hooks.deviceIsAccessible;
    env.monitorPoints = m_hooks.monitorPoints;
    env.createMultiDeviceWindow = m_hooks.createMultiDeviceWindow;
    if (const cParams *all = params())
        env.locale = all->context().locale;
    return env;
}

void FrmMain::createCalibration()
{
    // Without a timer factory the window has no calibration timers, and so no calibrations.
    if (!m_sensorTimer || !m_knobTimer)
        return;
    m_sensorCalibration = std::make_unique<calibration::TemperatureSensorCalibration>(calibrationEnvironment(),
                                                                                      m_sensorTimer.get());
    m_knobCalibration = std::make_unique<calibration::TurningKnobCalibration>(calibrationEnvironment(),
                                                                              m_knobTimer.get());
}

void FrmMain::arrangeCalibrationPages()
{
    if (m_configuration)
        calibration::ArrangeCalibrationPages(calibrationEnvironment());
}

void FrmMain::onCalibrationButton(int button)
{
    namespace b = calibration::button;
    if (!m_sensorCalibration || !m_knobCalibration)
        return;
    switch (button) {
    case b::SensorCalibrate:
        m_sensorCalibration->Start();
        break;
    case b::SensorCopy:
        m_sensorCalibration->CopyToSeveralSensors();
        break;
    case b::KnobCalibrate:
        m_knobCalibration->Calibrate();
        break;
    case b::KnobReset:
    case b::KnobCentre:
        m_knobCalibration->CalibrateThisDevice();
        break;
    case b::KnobResetSeveral:
    case b::KnobCentreSeveral:
        m_knobCalibration->CalibrateSeveralDevices();
        break;
    default:
        break;
    }
}

// A tick whose step failed ends its run: the error is in the logger, and a timer left running
// would repeat it every tick with the window disabled.
void FrmMain::onCalibrationTick(bool sensor)
{
    const bool completed = guarded([&] {
        if (sensor && m_sensorCalibration)
            m_sensorCalibration->Tick();
        else if (!sensor && m_knobCalibration)
            m_knobCalibration->Tick();
    });
    if (completed)
        return;
    (sensor ? m_sensorTimer : m_knobTimer)->stop();
    m_view.setWindowEnabled(true);
    m_services.dialogs->setWaitCursor(false);
}

// ---------------------------------------------------------------------------------------------
// CalibrationPage

void FrmMain::setButtonEnabled(int button, bool enabled)
{
    m_view.setEnabled(Element::commandButton(button), enabled);
}

void FrmMain::setProgress(calibration::Indicator indicator, int value)
{
    m_view.setProgress(int(indicator), value);
}

void FrmMain::setProgressText(calibration::Indicator indicator, const QString &text)
{
    m_view.setCaption(progressBarOf(indicator), text);
}

void FrmMain::setProgressVisible(calibration::Indicator indicator, bool visible)
{
    m_view.setVisible(progressBarOf(indicator), visible);
}

void FrmMain::setResult(calibration::Indicator indicator, const QString &caption, controls::Colour colour)
{
    for (const Element &label : resultLabelsOf(indicator)) {
        m_view.setCaption(label, caption);
        m_view.setForeColour(label, colour);
    }
}

void FrmMain::setResultVisible(calibration::Indicator indicator, bool visible)
{
    for (const Element &label : resultLabelsOf(indicator))
        m_view.setVisible(label, visible);
}

void FrmMain::showFrame(calibration::PageFrame frame, std::optional<double> left, std::optional<double> top)
{
    const Element element = Element::frame(frameOf(frame));
    const double y = top.value_or(m_view.geometry(element).top);
    if (!left) {
        placeAndShow(element, y);
        return;
    }
    m_view.move(element, *left, y);
    m_view.setEnabled(element, true);
    m_view.setVisible(element, true);
}

void FrmMain::hideFrame(calibration::PageFrame frame)
{
    hideElement(Element::frame(frameOf(frame)));
}

} // namespace ui
