#include "ui/temperaturepage.h"

#include "device/configurationwindow.h"
#include "params/cparams.h"

namespace ui {

TemperaturePage::TemperaturePage(PageContext &context, ControlArraysView &controls, QObject *parent)
    : QObject(parent), m_context(context), m_controls(controls)
{
    for (int i = 0; i < ConfigurationWindow::OptionButtonCount; ++i)
        connect(m_controls.optionButton(i), &controls::OptionButtonControl::clicked, this,
                [this, i] { onOptionButtonClick(i); });
}

void TemperaturePage::detach()
{
    for (int i = 0; i < ConfigurationWindow::OptionButtonCount; ++i)
        disconnect(m_controls.optionButton(i), nullptr, this, nullptr);
}

void TemperaturePage::applyVariantRules()
{
    if (!m_context.available(QStringLiteral("TempMode")))
        m_context.hideTab(0, 0);
}

void TemperaturePage::onOptionButtonClick(int index)
{
    if (m_context.updatingControls)
        return;
    controls::OptionButtonControl *button = m_controls.optionButton(index);
    if (m_context.params() && !button->tag().isEmpty())
        m_context.guarded([&] { m_context.params()->OptionButton_Click_Event(button); });
    m_context.markChanged();
}

} // namespace ui
