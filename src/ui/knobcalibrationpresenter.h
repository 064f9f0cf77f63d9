#pragma once

// The "Turning knob" page (key 3): the two-stop calibration (button 1) with the date of the last
// one (text box 12), and the reset or centre calibration of this device (buttons 3, 5) or of
// several (4, 6). Variants without a knob (limitations 1, 2, 4, 5) do not offer the page.

#include "ui/calibrationpageview.h"

namespace calibration {
class TurningKnobCalibration;
}

namespace ui {

class KnobCalibrationPresenter : public CalibrationPresenter
{
    Q_OBJECT
public:
    KnobCalibrationPresenter(PageContext &context, ControlArraysView &controls, CalibrationPageView &page,
                             QObject *parent = nullptr);
    ~KnobCalibrationPresenter() override;

    // The procedure, made with the configuration; null before and without a timer.
    calibration::TurningKnobCalibration *procedure() const { return m_procedure.get(); }
    void create() override;
    void applyVariantRules();
    // The date of the last two-stop calibration.
    void fillPage();
    bool onButton(int button) override;
    void pageShown() override;

protected:
    void tick() override;

private:
    ControlArraysView &m_controls;
    std::unique_ptr<calibration::TurningKnobCalibration> m_procedure;
};

} // namespace ui
