#pragma once

// The "Temperature sensor" page (key 2): the room temperature the installer measured (text box
// 3, preset to 21.0), the date of the last calibration (text box 11), "Calibrate" (button 0) and
// "Copy ..." (button 2).

#include "ui/calibrationpageview.h"

namespace calibration {
class TemperatureSensorCalibration;
}

namespace ui {

class SensorCalibrationPresenter : public CalibrationPresenter
{
    Q_OBJECT
public:
    SensorCalibrationPresenter(PageContext &context, ControlArraysView &controls, CalibrationPageView &page,
                               QObject *parent = nullptr);
    ~SensorCalibrationPresenter() override;

    // The procedure, made with the configuration; null before and without a timer.
    calibration::TemperatureSensorCalibration *procedure() const { return m_procedure.get(); }
    void create() override;
    // The entry's preset and the date of the last calibration.
    void fillPage();
    bool onButton(int button) override;
    void pageShown() override;
    // A calibration cut short by the closing puts the device's values back first.
    void finishBeforeClose();
    void detach() override;

protected:
    void tick() override;

private:
    ControlArraysView &m_controls;
    std::unique_ptr<calibration::TemperatureSensorCalibration> m_procedure;
};

} // namespace ui
