#include "ui/knobcalibrationpresenter.h"

#include "calibration/calibrationrecords.h"
#include "calibration/knobcalibration.h"

namespace ui {

namespace {

constexpr int KnobKeyNo = 3;

} // namespace

KnobCalibrationPresenter::KnobCalibrationPresenter(PageContext &context, ControlArraysView &controls,
                                                   CalibrationPageView &page, QObject *parent)
    : CalibrationPresenter(context, page, parent), m_controls(controls)
{
}

KnobCalibrationPresenter::~KnobCalibrationPresenter() = default;

void KnobCalibrationPresenter::create()
{
    if (timer())
        m_procedure = std::make_unique<calibration::TurningKnobCalibration>(m_page.environment(), timer());
}

void KnobCalibrationPresenter::applyVariantRules()
{
    for (int limitation : {1, 2, 4, 5}) {
        if (m_context.limitationIs(limitation)) {
            m_context.hideTab(2, KnobKeyNo);
            return;
        }
    }
}

void KnobCalibrationPresenter::fillPage()
{
    m_controls.textBox(calibration::KnobCalibratedBox)
        ->setText(calibration::ReadRegulatorCalibrated(m_context.deviceContext()));
}

bool KnobCalibrationPresenter::onButton(int button)
{
    namespace b = calibration::button;
    switch (button) {
    case b::KnobCalibrate:
        m_procedure->Calibrate();
        return true;
    case b::KnobReset:
    case b::KnobCentre:
        m_procedure->CalibrateThisDevice();
        return true;
    case b::KnobResetSeveral:
    case b::KnobCentreSeveral:
        m_procedure->CalibrateSeveralDevices();
        return true;
    default:
        return false;
    }
}

void KnobCalibrationPresenter::pageShown()
{
    namespace b = calibration::button;
    const bool on = m_context.accessible();
    for (int button : {b::KnobCalibrate, b::KnobReset, b::KnobResetSeveral})
        m_page.setButtonEnabled(button, on);
    if (!on)
        m_page.sayCannotCalibrate(calibration::Indicator::Knob);
}

void KnobCalibrationPresenter::tick()
{
    if (m_procedure)
        m_procedure->Tick();
}

} // namespace ui
