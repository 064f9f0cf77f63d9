#pragma once

// The main window as the device configuration sees it (ConfigurationWindow): the control arrays
// of the view, caption, status text, enabling, Apply, the changed-parameters notice, the logger
// tab, the page of a control, and the controls that depend on several parameters.

#include "device/configurationwindow.h"
#include "ui/loggerpage.h"
#include "ui/monitoringpresenter.h"

namespace ui {

class ConfigurationSurface : public ConfigurationWindow
{
public:
    // `setControls` re-derives the controls that depend on several parameters.
    ConfigurationSurface(MainWindowView &view, PageContext &context, Navigation &navigation, LoggerPage &logger,
                         MonitoringPresenter &monitoring, std::function<void()> setControls);

    controls::TextBoxControl *TextBox(int index) const override { return m_view.textBox(index); }
    controls::ComboBoxControl *ComboBox(int index) const override { return m_view.comboBox(index); }
    controls::OptionButtonControl *OptionButton(int index) const override { return m_view.optionButton(index); }
    controls::CheckBoxControl *CheckBox(int index) const override { return m_view.checkBox(index); }
    QString Caption() const override { return m_view.windowCaption(); }
    void setStatusText(const QString &text) override { m_view.setStatusText(m_logger.statusText(text)); }
    void Refresh() override { m_view.refresh(); }
    void setEnabled(bool enabled) override { m_view.setWindowEnabled(enabled); }
    void setApplyEnabled(bool enabled) override { m_view.setLineButtonEnabled(LineButton::Apply, enabled); }
    void setChangedNoticeVisible(bool visible) override { m_monitoring.setChangedNoticeVisible(visible); }
    void ShowLogger() override { m_logger.show(); }
    void showControl(controls::Control &control) override { m_navigation.showControl(control); }
    void SetControls() override { m_setControls(); }
    bool UpdatingControls() const override { return m_context.updatingControls; }
    void setUpdatingControls(bool on) override { m_context.updatingControls = on; }
    QObject *ownerObject() override { return &m_view; }

private:
    MainWindowView &m_view;
    PageContext &m_context;
    Navigation &m_navigation;
    LoggerPage &m_logger;
    MonitoringPresenter &m_monitoring;
    std::function<void()> m_setControls;
};

} // namespace ui
