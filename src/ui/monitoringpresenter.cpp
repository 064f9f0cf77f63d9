#include "ui/monitoringpresenter.h"

namespace ui {

namespace {

Element modeFrameElement(monitoring::ModeFrame frame)
{
    switch (frame) {
    case monitoring::ModeFrame::HeatCool:
        break;
    case monitoring::ModeFrame::FanSpeed:
        return Element::frame(Frame::MonitorFanSpeed);
    case monitoring::ModeFrame::ManOccCmd:
        return Element::frame(Frame::MonitorOccupancy);
    }
    return Element::frame(Frame::MonitorControllerFunction);
}

} // namespace

MonitoringPresenter::MonitoringPresenter(PageContext &context, ControlArraysView &controls,
                                         std::function<void(bool on)> setMonitoring)
    : m_context(context), m_controls(controls), m_setMonitoring(std::move(setMonitoring))
{
}

// The variants with limitations 2 to 5 report none of the mode outputs.
void MonitoringPresenter::applyVariantRules()
{
    if (!(m_context.limitationIs(2) || m_context.limitationIs(3) || m_context.limitationIs(4)
          || m_context.limitationIs(5)))
        return;
    for (Frame frame : {Frame::MonitorFanSpeed, Frame::MonitorControllerFunction, Frame::MonitorOccupancy,
                        Frame::MonitorSetPointOffset})
        m_context.hideElement(Element::frame(frame));
}

// The monitoring and calibration views show live values while the device answers; the
// configuration view none.
void MonitoringPresenter::viewSelected(int strip)
{
    if (!m_setMonitoring)
        return;
    if (strip == 1 || strip == 2)
        m_setMonitoring(m_context.accessible());
    else if (strip == 0)
        m_setMonitoring(false);
}

void MonitoringPresenter::placeModeFrame(monitoring::ModeFrame frame, double left, double top)
{
    m_context.placeAt(modeFrameElement(frame), left, top);
}

void MonitoringPresenter::hideModeFrame(monitoring::ModeFrame frame)
{
    m_context.hideElement(modeFrameElement(frame));
}

void MonitoringPresenter::setChangedNoticeVisible(bool visible)
{
    m_context.elements().setVisible(Element::label(labels::ChangedNotice), visible);
}

} // namespace ui
