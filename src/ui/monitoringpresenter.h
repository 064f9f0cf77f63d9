#pragma once

// The window's side of the "Outputs" page (key 4): the monitoring page (src/monitoring) sees the
// window through it; the mode frames the smaller variants do not have stay out of view, and the
// monitoring runs while a view that shows outputs is selected.

#include "monitoring/monitoringpage.h"
#include "ui/pagecontext.h"

#include <functional>

namespace ui {

class MonitoringPresenter : public monitoring::MonitoringPage
{
public:
    // `setMonitoring` switches the monitoring page on and off; may be empty.
    MonitoringPresenter(PageContext &context, ControlArraysView &controls, std::function<void(bool on)> setMonitoring);

    void applyVariantRules();
    // The button-bar view `strip` was selected.
    void viewSelected(int strip);

    controls::TextBoxControl *TextBox(int index) const override { return m_controls.textBox(index); }
    void placeModeFrame(monitoring::ModeFrame frame, double left, double top) override;
    void hideModeFrame(monitoring::ModeFrame frame) override;
    void setChangedNoticeVisible(bool visible) override;

private:
    PageContext &m_context;
    ControlArraysView &m_controls;
    std::function<void(bool)> m_setMonitoring;
};

} // namespace ui
