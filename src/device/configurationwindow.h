#pragma once

// What the device configuration asks of the main window: its control arrays (the parameter
// table binds parameters to them by index), its caption, status text and enabling, the Apply
// button, the changed-parameters notice, the logger tab, and the refresh of the controls that
// depend on several parameters. The Qt main window implements it; MemoryConfigurationWindow
// stands in for tests and unattended runs.

#include "lns/controls/memorycontrols.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class cParams;

class ConfigurationWindow
{
public:
    // Sizes of the control arrays that parameters are bound to.
    static constexpr int TextBoxCount = 15;
    static constexpr int ComboBoxCount = 19;
    static constexpr int OptionButtonCount = 3;
    static constexpr int CheckBoxCount = 2;

    virtual ~ConfigurationWindow() = default;

    // Control i of each array; null outside the array.
    virtual controls::TextBoxControl *TextBox(int index) const = 0;
    virtual controls::ComboBoxControl *ComboBox(int index) const = 0;
    virtual controls::OptionButtonControl *OptionButton(int index) const = 0;
    virtual controls::CheckBoxControl *CheckBox(int index) const = 0;

    // The window's caption: the title of its questions and of the multi-device window.
    virtual QString Caption() const = 0;
    virtual void setStatusText(const QString &text) = 0;
    // Lets the window repaint during a long operation.
    virtual void Refresh() = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual void setApplyEnabled(bool enabled) = 0;
    // The notice that parameters were changed and not written (label 30).
    virtual void setChangedNoticeVisible(bool visible) = 0;
    // Brings the logger tab to the front.
    virtual void ShowLogger() = 0;
    // Brings the page of a parameter's control to the front and puts the focus there.
    virtual void showControl(controls::Control &control) = 0;
    // Re-derives the controls that depend on several parameters (heartbeat check boxes, fan-speed
    // positions) after the parameters were read.
    virtual void SetControls() = 0;

    // Set while the program fills the controls itself; the window ignores control events then.
    virtual bool UpdatingControls() const = 0;
    virtual void setUpdatingControls(bool on) = 0;

    // The window as owner of the windows it opens; opaque to the core.
    virtual QObject *ownerObject() = 0;
};

// The window without a screen: in-memory controls and a record of what the workflows asked.
class MemoryConfigurationWindow : public ConfigurationWindow
{
public:
    explicit MemoryConfigurationWindow(QString caption = QStringLiteral("CM 1 / CommandModule"));
    ~MemoryConfigurationWindow() override;

    controls::MemoryTextBox *TextBox(int index) const override;
    controls::MemoryComboBox *ComboBox(int index) const override;
    controls::MemoryOptionButton *OptionButton(int index) const override;
    controls::MemoryCheckBox *CheckBox(int index) const override;

    QString Caption() const override { return m_caption; }
    void setStatusText(const QString &text) override;
    void Refresh() override { ++refreshCount; }
    void setEnabled(bool enabled) override;
    void setApplyEnabled(bool enabled) override { applyEnabled = enabled; }
    void setChangedNoticeVisible(bool visible) override { changedNoticeVisible = visible; }
    void ShowLogger() override { ++loggerShown; }
    void showControl(controls::Control &control) override { shownControl = &control; }
    void SetControls() override;
    bool UpdatingControls() const override { return m_updatingControls; }
    void setUpdatingControls(bool on) override { m_updatingControls = on; }
    QObject *ownerObject() override { return &m_owner; }

    // Forwards the parameter controls' notifications to `params` as the main window does
    // (ignored while UpdatingControls is set); `onEdit` hears every forwarded user edit.
    void routeTo(cParams &params, std::function<void()> onEdit = {});

    // Runs in SetControls, after it was counted.
    std::function<void()> onSetControls;

    QString statusText;
    QStringList statusHistory;
    bool enabled = true;
    // Every change of the enabled state, in order.
    QList<bool> enabledHistory;
    bool applyEnabled = false;
    bool changedNoticeVisible = false;
    int refreshCount = 0;
    int loggerShown = 0;
    controls::Control *shownControl = nullptr;
    int setControlsCount = 0;

private:
    QString m_caption;
    bool m_updatingControls = false;
    QObject m_owner;
    controls::OptionGroup *m_optionGroup;
    std::vector<controls::MemoryTextBox *> m_textBoxes;
    std::vector<controls::MemoryComboBox *> m_comboBoxes;
    std::vector<controls::MemoryOptionButton *> m_optionButtons;
    std::vector<controls::MemoryCheckBox *> m_checkBoxes;
};
