#include "ui/sensorcalibrationpresenter.h"

#include "calibration/calibrationrecords.h"
#include "calibration/sensorcalibration.h"
#include "params/cparams.h"
#include "params/numbers.h"

namespace ui {

namespace {

constexpr double RoomTemperaturePreset = 21.0;

} // namespace

SensorCalibrationPresenter::SensorCalibrationPresenter(PageContext &context, ControlArraysView &controls,
                                                       CalibrationPageView &page, QObject *parent)
    : CalibrationPresenter(context, page, parent), m_controls(controls)
{
    controls::TextBoxControl *roomTemperature = m_controls.textBox(calibration::RoomTemperatureBox);
    connect(roomTemperature, &controls::TextBoxControl::changed, this, [this] {
        if (!m_context.updatingControls && m_procedure)
            m_context.guarded([&] { m_procedure->RoomTemperatureChanged(); });
    });
    connect(roomTemperature, &controls::TextBoxControl::validate, this, [this](bool *cancel) {
        if (!m_context.updatingControls && m_procedure)
            m_context.guarded([&] { m_procedure->RoomTemperatureValidate(cancel); });
    });
}

SensorCalibrationPresenter::~SensorCalibrationPresenter() = default;

void SensorCalibrationPresenter::create()
{
    if (timer())
        m_procedure = std::make_unique<calibration::TemperatureSensorCalibration>(m_page.environment(), timer());
}

void SensorCalibrationPresenter::fillPage()
{
    // In the session's number format, as the entry is written back after each input.
    m_controls.textBox(calibration::RoomTemperatureBox)
        ->setText(numbers::formatFixed(RoomTemperaturePreset, 1, m_context.params()->context().locale).trimmed());
    m_controls.textBox(calibration::SensorCalibratedBox)
        ->setText(calibration::ReadTempSensorCalibrated(m_context.deviceContext()));
}

bool SensorCalibrationPresenter::onButton(int button)
{
    if (button == calibration::button::SensorCalibrate)
        m_procedure->Start();
    else if (button == calibration::button::SensorCopy)
        m_procedure->CopyToSeveralSensors();
    else
        return false;
    return true;
}

void SensorCalibrationPresenter::pageShown()
{
    const bool on = m_context.accessible();
    m_page.setButtonEnabled(calibration::button::SensorCalibrate, on);
    if (!on)
        m_page.sayCannotCalibrate(calibration::Indicator::Sensor);
}

void SensorCalibrationPresenter::finishBeforeClose()
{
    if (m_procedure)
        m_procedure->FinishBeforeClose();
}

void SensorCalibrationPresenter::detach()
{
    CalibrationPresenter::detach();
    disconnect(m_controls.textBox(calibration::RoomTemperatureBox), nullptr, this, nullptr);
}

void SensorCalibrationPresenter::tick()
{
    if (m_procedure)
        m_procedure->Tick();
}

} // namespace ui
