#include "params/choiceparams.h"

#include "lns/controls/controls.h"
#include "params/cconfigprop.h"
#include "params/cparams.h"
#include "lns/rawtext.h"
#include "params/numbers.h"

using E = cParamEnums;

namespace {

bool showsNoValue(qint32 lockMode)
{
    return lockMode == E::LM_DISABLED_NO_VALUE || lockMode == E::LM_DISABLED_GREY_NO_VALUE;
}

// Blanks only: a RAW text's TABs belong to it.
QString withoutOuterBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == QLatin1Char(' '))
        ++first;
    while (last > first && text[last - 1] == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

bool isGreyMode(qint32 lockMode)
{
    return lockMode == E::LM_DISABLED_GREY || lockMode == E::LM_DISABLED_GREY_NO_VALUE;
}

} // namespace

// ======== combo box ========

cParamComboBox::cParamComboBox(const Binding &binding, controls::ComboBoxControl *control)
    : cChoiceNumberParam(binding), m_control(control)
{
}

qint16 cParamComboBox::ClassId() const
{
    return E::PA_CLASSID_COMBOBOX_PARAMTER;
}

void cParamComboBox::initAvailable(bool available)
{
    if (!available)
        setLockMode(E::LM_DISABLED_GREY_NO_VALUE);
    storeAvailable(available);
}

void cParamComboBox::setComboBoxControl(controls::ComboBoxControl *control)
{
    m_control = control;
    ClearComboBox();
}

void cParamComboBox::setValue(qint32 value)
{
    m_value = value;
    SetComboBox();
    setChanged(true);
}

void cParamComboBox::setLockMode(qint32 mode)
{
    m_lockMode = mode;
    switch (mode) {
    case E::LM_UNLOCKED:
    case E::LM_DISABLED:
    case E::LM_DISABLED_GREY:
        m_control->setEnabled(mode == E::LM_UNLOCKED);
        m_control->setBackColor(isGreyMode(mode) ? controls::colour::ButtonFace : controls::colour::WindowBackground);
        SetComboBox();
        break;
    case E::LM_DISABLED_NO_VALUE:
    case E::LM_DISABLED_GREY_NO_VALUE:
        m_control->setEnabled(false);
        m_control->setBackColor(isGreyMode(mode) ? controls::colour::ButtonFace : controls::colour::WindowBackground);
        setListIndexQuietly(-1);
        break;
    default:
        break; // LM_LOCKED and LM_DISABLED_GREY_TEXT only store the mode
    }
}

void cParamComboBox::setControlUpdatesEnabled(bool on)
{
    m_controlUpdatesEnabled = on;
    if (on)
        setValue(m_value);
}

void cParamComboBox::setListIndexQuietly(int index)
{
    m_updating = true;
    m_control->setListIndex(index);
    m_updating = false;
}

void cParamComboBox::AddComboBoxItem(const QString &ItemText, qint32 ItemData)
{
    const int index = m_control->addItem(ItemText);
    m_control->setItemData(index, ItemData);
    amend([&](ParamDescription &d) {
        d.items.append({ItemText, ItemData});
        d.signedRaw = d.signedRaw || ItemData < 0;
    });
}

void cParamComboBox::RemoveComboBoxItem(int ItemIndex)
{
    m_control->removeItem(ItemIndex);
    const int listIndex = ItemIndex - m_invalidItemsShown;
    if (ItemIndex >= 0 && listIndex < 0)
        --m_invalidItemsShown;
    else if (listIndex >= 0 && listIndex < description().items.size())
        amend([listIndex](ParamDescription &d) { d.items.removeAt(listIndex); });
}

void cParamComboBox::RemoveComboBoxItemByItemData(qint32 ItemData)
{
    for (int i = 0; i < m_control->count(); ++i) {
        if (m_control->itemData(i) == ItemData) {
            RemoveComboBoxItem(i);
            return;
        }
    }
}

void cParamComboBox::ClearComboBox()
{
    m_invalidItemsShown = 0;
    m_control->clear();
    if (!description().items.isEmpty())
        amend([](ParamDescription &d) { d.items.clear(); });
}

void cParamComboBox::UpdateComboBox()
{
    setValue(m_value);
}

bool cParamComboBox::ValueIsInComboList(qint32 Value) const
{
    return paramdescription::listHolds(description(), Value);
}

bool cParamComboBox::CurrentValueIsInComboList() const
{
    return ValueIsInComboList(m_value);
}

void cParamComboBox::ShowInvalidItem()
{
    m_control->insertItem(0, m_invalidItemString);
    m_control->setItemData(0, m_value);
    // Shown again (the device still holds a value off the list): the earlier invalid item
    // carries that value too and must not make it count as a list value.
    ++m_invalidItemsShown;
    m_control->setForeColor(controls::colour::Red);
    m_control->setListIndex(0);
}

void cParamComboBox::SetValueByComboListItemIndex(int ItemIndex)
{
    m_control->setListIndex(ItemIndex);
}

void cParamComboBox::SetComboBox()
{
    if (!m_controlUpdatesEnabled || showsNoValue(m_lockMode))
        return;
    for (int i = 0; i < m_control->count(); ++i) {
        if (m_control->itemData(i) == m_value) {
            m_control->setListIndex(i);
            return;
        }
    }
    m_control->setListIndex(-1);
}

void cParamComboBox::ConsiderPartOfCpOnly(qint16 BytePos, quint8 ByteLength)
{
    acceptWindow(BytePos, ByteLength, ByteLength, !CpIsExternal(), QStringLiteral("invalid parameters"));
}

void cParamComboBox::ComboBox_Change_Event()
{
    // No selection carries no value: the value stays, and stays invalid.
    if (m_updating || m_control->listIndex() < 0)
        return;
    m_value = m_control->itemData(m_control->listIndex());
    setChanged(true);
}

bytewindow::Window cChoiceNumberParam::window(const CpShape &shape) const
{
    return numberWindow(shape, ByteLength(), 0, signedRaw());
}

void cChoiceNumberParam::decodeValue(const QByteArray &windowBytes, const bytewindow::Window &window)
{
    m_value = numbers::toInt32(double(bytewindow::decode(windowBytes, window)));
    refreshControl();
}

QByteArray cChoiceNumberParam::encodeValue(const bytewindow::Window &window) const
{
    return bytewindow::encode(m_value, window);
}

// ======== check box ========

cParamCheckBox::cParamCheckBox(const Binding &binding, controls::CheckBoxControl *control)
    : cChoiceNumberParam(binding), m_control(control)
{
    amend([](ParamDescription &d) { d.items = {{QString(), 0}, {QString(), 1}}; });
}

qint16 cParamCheckBox::ClassId() const
{
    return E::PA_CLASSID_CHECKBOX_PARAMETER;
}

void cParamCheckBox::initAvailable(bool available)
{
    if (!available) {
        // The lock mode only takes effect on an available parameter.
        storeAvailable(true);
        setLockMode(E::LM_DISABLED_GREY_NO_VALUE);
    }
    storeAvailable(available);
}

void cParamCheckBox::setValue(qint32 value)
{
    if (!Available())
        return;
    m_value = value;
    SetCheckBox();
    setChanged(true);
}

void cParamCheckBox::setListValue(int index, qint32 value)
{
    amend([&](ParamDescription &d) {
        d.items[index].value = value;
        d.signedRaw = d.signedRaw || value < 0;
    });
}

void cParamCheckBox::setLockMode(qint32 mode)
{
    if (!Available())
        return;
    m_lockMode = mode;
    switch (mode) {
    case E::LM_UNLOCKED:
    case E::LM_DISABLED:
    case E::LM_DISABLED_GREY:
        m_control->setEnabled(mode == E::LM_UNLOCKED);
        SetCheckBox();
        break;
    case E::LM_DISABLED_NO_VALUE:
    case E::LM_DISABLED_GREY_NO_VALUE:
        m_control->setEnabled(false);
        m_updating = true;
        m_control->setValue(controls::Unchecked);
        m_updating = false;
        break;
    default:
        break; // LM_LOCKED and LM_DISABLED_GREY_TEXT only store the mode
    }
}

void cParamCheckBox::ConsiderPartOfCpOnly(qint16 BytePos, quint8 ByteLength)
{
    acceptWindow(BytePos, ByteLength, ByteLength, true, QStringLiteral("ungültige Parameter"));
}

void cParamCheckBox::SetCheckBox()
{
    if (showsNoValue(m_lockMode))
        return;
    if (m_value == ValueChecked())
        m_control->setValue(controls::Checked);
    else if (m_value != ValueUnchecked())
        m_control->setForeColor(controls::colour::Red);
    else
        m_control->setValue(controls::Unchecked);
}

void cParamCheckBox::CheckBox_Click_Event()
{
    if (m_updating)
        return;
    if (m_control->value() == controls::Checked)
        m_value = ValueChecked();
    else if (m_control->value() == controls::Unchecked)
        m_value = ValueUnchecked();
    SetCheckBox();
    setChanged(true);
}

// ======== option buttons ========

cParamOptBtn::cParamOptBtn(const Binding &binding) : cParam(binding) {}

qint16 cParamOptBtn::ClassId() const
{
    return E::PA_CLASSID_OPTIONBUTTON_PARAMETER;
}

void cParamOptBtn::initAvailable(bool available)
{
    if (!available) {
        storeAvailable(true);
        setLockMode(E::LM_DISABLED_GREY_NO_VALUE);
    }
    storeAvailable(available);
}

void cParamOptBtn::setValue(const QString &value)
{
    m_value = withoutOuterBlanks(value);
    SetOptionButtons();
    setChanged(true);
}

void cParamOptBtn::setLockMode(qint32 mode)
{
    m_lockMode = mode;
    for (controls::OptionButtonControl *button : std::as_const(m_buttons)) {
        button->setEnabled(mode == E::LM_UNLOCKED);
        if (showsNoValue(mode))
            button->setValue(false);
    }
    if (!showsNoValue(mode))
        SetOptionButtons();
}

void cParamOptBtn::AddOptionButton(controls::OptionButtonControl *OptionButtonControl, const QString &ItemData)
{
    m_buttons.append(OptionButtonControl);
    amend([&](ParamDescription &d) { d.rawTextItems.append(ItemData); });
    OptionButtonControl->setTag(Name());
}

void cParamOptBtn::checkIndex(int index) const
{
    if (index < 1 || index > m_buttons.size())
        throw TqmError(TqmError::SubscriptOutOfRange, Name(),
                       QStringLiteral("Option button %1 is outside 1 to %2.").arg(index).arg(m_buttons.size()));
}

controls::OptionButtonControl *cParamOptBtn::OptionButton(int Index) const
{
    checkIndex(Index);
    return m_buttons[Index - 1];
}

QString cParamOptBtn::OptionButtonItemData(int Index) const
{
    checkIndex(Index);
    return description().rawTextItems[Index - 1];
}

void cParamOptBtn::SetOptionButtons()
{
    if (showsNoValue(m_lockMode))
        return;
    const qsizetype position = description().rawTextItems.indexOf(m_value);
    if (position >= 0)
        m_buttons[position]->setValue(true);
}

void cParamOptBtn::OptionButton_Click_Event(int Index)
{
    checkIndex(Index);
    m_value = description().rawTextItems[Index - 1];
    setChanged(true);
}

bytewindow::Window cParamOptBtn::window(const CpShape &shape) const
{
    return {1, shape.totalLength, 0, false};
}

void cParamOptBtn::decodeValue(const QByteArray &windowBytes, const bytewindow::Window &)
{
    m_value = rawtext::format(windowBytes);
    SetOptionButtons();
}

// Read from the device, the value is the CP's text as it came, blanks and all.
void cParamOptBtn::keepRawText(const QString &rawText)
{
    m_value = rawText;
    SetOptionButtons();
}

// The value's bytes as they stand: a value of another length than the CP's is the device's to
// refuse, not the parameter's to cut.
QByteArray cParamOptBtn::encodeValue(const bytewindow::Window &) const
{
    return rawtext::parse(m_value);
}
