#include "device/configurationwindow.h"

#include "params/controlrouting.h"

namespace {

template <class T>
T *at(const std::vector<T *> &list, int index)
{
    return index >= 0 && index < int(list.size()) ? list[std::size_t(index)] : nullptr;
}

// Text boxes 3 to 12 are display and calibration fields; combo boxes 4 to 6 (fan levels and
// fan-speed positions) are handled by the window itself.
bool isParameterTextBox(int index)
{
    return index < 3 || index > 12;
}

bool isParameterComboBox(int index)
{
    return index < 4 || index > 6;
}

} // namespace

MemoryConfigurationWindow::MemoryConfigurationWindow(QString caption)
    : m_caption(std::move(caption)), m_optionGroup(new controls::OptionGroup(&m_owner))
{
    for (int i = 0; i < TextBoxCount; ++i)
        m_textBoxes.push_back(new controls::MemoryTextBox(i, &m_owner));
    for (int i = 0; i < ComboBoxCount; ++i)
        m_comboBoxes.push_back(new controls::MemoryComboBox(i, &m_owner));
    for (int i = 0; i < OptionButtonCount; ++i)
        m_optionButtons.push_back(new controls::MemoryOptionButton(i, m_optionGroup, &m_owner));
    for (int i = 0; i < CheckBoxCount; ++i)
        m_checkBoxes.push_back(new controls::MemoryCheckBox(i, &m_owner));
}

MemoryConfigurationWindow::~MemoryConfigurationWindow() = default;

controls::MemoryTextBox *MemoryConfigurationWindow::TextBox(int index) const
{
    return at(m_textBoxes, index);
}

controls::MemoryComboBox *MemoryConfigurationWindow::ComboBox(int index) const
{
    return at(m_comboBoxes, index);
}

controls::MemoryOptionButton *MemoryConfigurationWindow::OptionButton(int index) const
{
    return at(m_optionButtons, index);
}

controls::MemoryCheckBox *MemoryConfigurationWindow::CheckBox(int index) const
{
    return at(m_checkBoxes, index);
}

void MemoryConfigurationWindow::setStatusText(const QString &text)
{
    statusText = text;
    statusHistory.append(text);
}

void MemoryConfigurationWindow::setEnabled(bool on)
{
    enabled = on;
    enabledHistory.append(on);
}

void MemoryConfigurationWindow::SetControls()
{
    ++setControlsCount;
    if (onSetControls)
        onSetControls();
}

void MemoryConfigurationWindow::routeTo(cParams &params, std::function<void()> onEdit)
{
    const controlrouting::DropEvents drop = [this] { return m_updatingControls; };
    const auto notifyEdit = [this, onEdit] {
        if (onEdit && !m_updatingControls)
            onEdit();
    };
    for (controls::MemoryTextBox *box : m_textBoxes) {
        if (!isParameterTextBox(box->controlIndex()) || box->tag().isEmpty())
            continue;
        controlrouting::route(params, box, drop);
        QObject::connect(box, &controls::TextBoxControl::changed, &m_owner, notifyEdit);
    }
    for (controls::MemoryComboBox *box : m_comboBoxes) {
        if (!isParameterComboBox(box->controlIndex()) || box->tag().isEmpty())
            continue;
        controlrouting::route(params, box, drop);
        QObject::connect(box, &controls::ComboBoxControl::changed, &m_owner, notifyEdit);
    }
    for (controls::MemoryOptionButton *button : m_optionButtons) {
        if (button->tag().isEmpty())
            continue;
        controlrouting::route(params, button, drop);
        QObject::connect(button, &controls::OptionButtonControl::clicked, &m_owner, notifyEdit);
    }
}
