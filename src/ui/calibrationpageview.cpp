#include "ui/calibrationpageview.h"

#include "device/configurationwindow.h"
#include "lns/timer.h"
#include "lns/userdialogs.h"
#include "params/cparams.h"
#include "session/session.h"
#include "strings/resstrings.h"

namespace ui {

namespace {

constexpr int CannotCalibrateMessage = 1573;

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

CalibrationPageView::CalibrationPageView(PageContext &context, ControlArraysView &controls,
                                         ConfigurationWindow &window, CalibrationHooks hooks)
    : m_context(context), m_controls(controls), m_window(window), m_hooks(std::move(hooks))
{
}

calibration::CalibrationEnvironment CalibrationPageView::environment()
{
    calibration::CalibrationEnvironment env;
    env.services = m_context.services();
    env.page = this;
    env.configuration = m_context.configuration();
    env.deviceIsAccessible = m_hooks.deviceIsAccessible;
    env.monitorPoints = m_hooks.monitorPoints;
    env.createMultiDeviceWindow = m_hooks.createMultiDeviceWindow;
    if (const cParams *all = m_context.params())
        env.locale = all->context().locale;
    return env;
}

void CalibrationPageView::sayCannotCalibrate(calibration::Indicator indicator)
{
    setResult(indicator, GetResString(CannotCalibrateMessage, 1, {m_context.services().session->deviceName}),
              calibration::FailureColour);
    setResultVisible(indicator, true);
}

void CalibrationPageView::setButtonEnabled(int button, bool enabled)
{
    m_context.elements().setEnabled(Element::commandButton(button), enabled);
}

void CalibrationPageView::setProgress(calibration::Indicator indicator, int value)
{
    m_context.elements().setProgress(int(indicator), value);
}

void CalibrationPageView::setProgressText(calibration::Indicator indicator, const QString &text)
{
    m_context.elements().setCaption(progressBarOf(indicator), text);
}

void CalibrationPageView::setProgressVisible(calibration::Indicator indicator, bool visible)
{
    m_context.elements().setVisible(progressBarOf(indicator), visible);
}

void CalibrationPageView::setResult(calibration::Indicator indicator, const QString &caption, controls::Colour colour)
{
    for (const Element &label : resultLabelsOf(indicator)) {
        m_context.elements().setCaption(label, caption);
        m_context.elements().setForeColour(label, colour);
    }
}

void CalibrationPageView::setResultVisible(calibration::Indicator indicator, bool visible)
{
    for (const Element &label : resultLabelsOf(indicator))
        m_context.elements().setVisible(label, visible);
}

void CalibrationPageView::showFrame(calibration::PageFrame frame, std::optional<double> left, std::optional<double> top)
{
    const Element element = Element::frame(frameOf(frame));
    const double y = top.value_or(m_context.elements().geometry(element).top);
    if (left)
        m_context.placeAt(element, *left, y);
    else
        m_context.placeAndShow(element, y);
}

void CalibrationPageView::hideFrame(calibration::PageFrame frame)
{
    m_context.hideElement(Element::frame(frameOf(frame)));
}

QString CalibrationPageView::Caption() const
{
    return m_window.Caption();
}

void CalibrationPageView::setStatusText(const QString &text)
{
    m_window.setStatusText(text);
}

void CalibrationPageView::Refresh()
{
    m_window.Refresh();
}

void CalibrationPageView::setEnabled(bool enabled)
{
    m_window.setEnabled(enabled);
}

void CalibrationPageView::setApplyEnabled(bool enabled)
{
    m_window.setApplyEnabled(enabled);
}

void CalibrationPageView::ShowLogger()
{
    m_window.ShowLogger();
}

QObject *CalibrationPageView::ownerObject()
{
    return m_window.ownerObject();
}

// ---------------------------------------------------------------------------------------------

CalibrationPresenter::CalibrationPresenter(PageContext &context, CalibrationPageView &page, QObject *parent)
    : QObject(parent), m_context(context), m_page(page)
{
    if (TimerFactory *timers = context.services().timers) {
        m_timer = timers->createTimer(this);
        connect(m_timer.get(), &Timer::timeout, this, &CalibrationPresenter::onTick);
    }
}

CalibrationPresenter::~CalibrationPresenter() = default;

void CalibrationPresenter::detach()
{
    if (m_timer)
        m_timer->stop();
}

// A tick whose step failed ends its run: the error is in the logger, and a timer left running
// would repeat it every tick with the window disabled.
void CalibrationPresenter::onTick()
{
    if (m_context.guarded([&] { tick(); }))
        return;
    m_timer->stop();
    m_page.setEnabled(true);
    m_context.services().dialogs->setWaitCursor(false);
}

} // namespace ui
