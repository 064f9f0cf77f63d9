#include "ui/nvtimingpage.h"

#include "device/cconfiguration.h"
#include "device/configurationwindow.h"
#include "params/cparamenums.h"
#include "params/cparamtextbox.h"
#include "session/session.h"

using E = cParamEnums;

namespace ui {

namespace {

constexpr int FirstTimeBox = 0;
constexpr int LastTimeBox = 2;

// The time parameter each check box switches on and off.
QString heartbeatOf(int checkBox)
{
    return checkBox == 0 ? QStringLiteral("MaxReceiveTime") : QStringLiteral("MaxSendTime");
}

} // namespace

NvTimingPage::NvTimingPage(PageContext &context, ControlArraysView &controls, QObject *parent)
    : QObject(parent), m_context(context), m_controls(controls)
{
    for (int i = FirstTimeBox; i <= LastTimeBox; ++i)
        m_context.forwardTextBoxEvents(this, m_controls.textBox(i));
    for (int i = 0; i < ConfigurationWindow::CheckBoxCount; ++i)
        connect(m_controls.checkBox(i), &controls::CheckBoxControl::clicked, this, [this, i] { onCheckBoxClick(i); });
}

void NvTimingPage::detach()
{
    for (int i = FirstTimeBox; i <= LastTimeBox; ++i)
        disconnect(m_controls.textBox(i), nullptr, this, nullptr);
    for (int i = 0; i < ConfigurationWindow::CheckBoxCount; ++i)
        disconnect(m_controls.checkBox(i), nullptr, this, nullptr);
}

void NvTimingPage::applyVariantRules()
{
    if (m_context.commandIndex() == commands::Configure && !m_context.available(heartbeatOf(0)))
        m_context.elements().setEnabled(Element::checkBox(0), false);
}

void NvTimingPage::showHeartbeats()
{
    if (m_context.configuration())
        m_context.configuration()->SetHeartbeatLocks();
    for (int checkBox : {1, 0}) {
        if (auto *time = dynamic_cast<cParamTextBox *>(m_context.parameter(heartbeatOf(checkBox))))
            m_controls.checkBox(checkBox)->setValue(time->Value() != 0 ? controls::Checked : controls::Unchecked);
    }
}

void NvTimingPage::onCheckBoxClick(int index)
{
    if (m_context.updatingControls)
        return;
    m_context.guarded([&] {
        auto *time = dynamic_cast<cParamTextBox *>(m_context.parameter(heartbeatOf(index)));
        if (time) {
            const bool ticked = m_controls.checkBox(index)->value() == controls::Checked;
            // The quiet flag keeps the time field's own change from counting as a second edit.
            m_context.updatingControls = true;
            time->setLockMode(ticked ? E::LM_UNLOCKED : E::LM_DISABLED_GREY_NO_VALUE);
            time->setValueCalc(ticked ? 60 : 0);
        }
    });
    m_context.updatingControls = false;
    m_context.markChanged();
}

} // namespace ui
