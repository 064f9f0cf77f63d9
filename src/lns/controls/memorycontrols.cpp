#include "lns/controls/memorycontrols.h"

#include "base/tqmerror.h"

namespace controls {

// ---- text box ----

MemoryTextBox::MemoryTextBox(int controlIndex, QObject *parent)
    : TextBoxControl(parent), m_index(controlIndex)
{
}

void MemoryTextBox::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    m_selStart = qMin(m_selStart, int(m_text.size()));
    emit changed();
}

void MemoryTextBox::setSelStart(int position)
{
    m_selStart = qBound(0, position, int(m_text.size()));
}

void MemoryTextBox::typeText(const QString &text)
{
    const QString limited = m_maxLength > 0 ? text.left(m_maxLength) : text;
    setText(limited);
    m_selStart = int(m_text.size());
}

int MemoryTextBox::pressKey(int keyAscii)
{
    int key = keyAscii;
    emit keyPress(&key);
    if (key == 8) {
        if (!m_text.isEmpty())
            typeText(m_text.left(m_text.size() - 1));
    } else if (key >= 32 && (m_maxLength == 0 || m_text.size() < m_maxLength)) {
        typeText(m_text + QChar(key));
    }
    return key;
}

bool MemoryTextBox::leave()
{
    bool cancel = false;
    emit validate(&cancel);
    if (cancel)
        return false;
    emit lostFocus();
    return true;
}

// ---- combo box ----

MemoryComboBox::MemoryComboBox(int controlIndex, QObject *parent)
    : ComboBoxControl(parent), m_index(controlIndex)
{
}

void MemoryComboBox::checkIndex(int index) const
{
    if (index < 0 || index >= m_items.size())
        throw TqmError(TqmError::SubscriptOutOfRange, QStringLiteral("ComboBox"),
                       QStringLiteral("Item index %1 is outside 0 to %2.").arg(index).arg(m_items.size() - 1));
}

void MemoryComboBox::changeListIndex(int index)
{
    if (index == m_listIndex)
        return;
    m_listIndex = index;
    emit changed();
}

int MemoryComboBox::addItem(const QString &text)
{
    m_items.append({text, 0});
    return int(m_items.size()) - 1;
}

void MemoryComboBox::insertItem(int index, const QString &text)
{
    if (index < 0 || index > m_items.size())
        throw TqmError(TqmError::SubscriptOutOfRange, QStringLiteral("ComboBox"),
                       QStringLiteral("Insert position %1 is outside 0 to %2.").arg(index).arg(m_items.size()));
    m_items.insert(index, {text, 0});
    if (m_listIndex >= index)
        changeListIndex(m_listIndex + 1);
}

void MemoryComboBox::removeItem(int index)
{
    checkIndex(index);
    m_items.removeAt(index);
    if (m_listIndex == index)
        changeListIndex(-1);
    else if (m_listIndex > index)
        changeListIndex(m_listIndex - 1);
}

void MemoryComboBox::clear()
{
    m_items.clear();
    changeListIndex(-1);
}

QString MemoryComboBox::itemText(int index) const
{
    checkIndex(index);
    return m_items[index].text;
}

qint32 MemoryComboBox::itemData(int index) const
{
    checkIndex(index);
    return m_items[index].data;
}

void MemoryComboBox::setItemData(int index, qint32 data)
{
    checkIndex(index);
    m_items[index].data = data;
}

void MemoryComboBox::setListIndex(int index)
{
    if (index != -1)
        checkIndex(index);
    changeListIndex(index);
}

bool MemoryComboBox::chooseItem(const QString &text)
{
    for (int i = 0; i < m_items.size(); ++i) {
        if (m_items[i].text == text) {
            setListIndex(i);
            return true;
        }
    }
    return false;
}

QString MemoryComboBox::currentText() const
{
    return m_listIndex < 0 ? QString() : m_items[m_listIndex].text;
}

// ---- check box ----

MemoryCheckBox::MemoryCheckBox(int controlIndex, QObject *parent)
    : CheckBoxControl(parent), m_index(controlIndex)
{
}

void MemoryCheckBox::setValue(int value)
{
    if (value < Unchecked || value > Greyed)
        throw TqmError(TqmError::LnsInvalidValue, QStringLiteral("CheckBox"),
                       QStringLiteral("Check box value %1 is not 0, 1 or 2.").arg(value));
    if (value == m_value)
        return;
    m_value = value;
    emit clicked();
}

void MemoryCheckBox::click()
{
    setValue(m_value == Checked ? Unchecked : Checked);
}

// ---- option buttons ----

void OptionGroup::add(OptionButtonControl *button)
{
    m_buttons.append(button);
}

QList<OptionButtonControl *> OptionGroup::buttons() const
{
    QList<OptionButtonControl *> alive;
    for (const auto &button : m_buttons)
        if (button)
            alive.append(button.data());
    return alive;
}

void OptionGroup::deselectOthers(const OptionButtonControl *selected)
{
    for (OptionButtonControl *button : buttons())
        if (button != selected)
            button->setValue(false);
}

MemoryOptionButton::MemoryOptionButton(int controlIndex, OptionGroup *group, QObject *parent)
    : OptionButtonControl(parent), m_index(controlIndex), m_group(group)
{
    if (group)
        group->add(this);
}

void MemoryOptionButton::setValue(bool selected)
{
    if (selected == m_value)
        return;
    m_value = selected;
    if (!selected)
        return;
    if (m_group)
        m_group->deselectOthers(this);
    emit clicked();
}

void MemoryOptionButton::click()
{
    if (m_value)
        emit clicked();
    else
        setValue(true);
}

} // namespace controls
