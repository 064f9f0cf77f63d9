#pragma once

// Parameters chosen from a list: a combo box whose items carry the values, a check box with
// one value for checked and one for unchecked, and a group of option buttons each carrying a
// whole CP value as RAW text. The lists are the description's; the controls show them.

#include "params/cparam.h"
#include "params/cparamenums.h"

#include <QList>
#include <QStringList>

namespace controls {
class ComboBoxControl;
class CheckBoxControl;
class OptionButtonControl;
} // namespace controls

// The value of a combo box or a check box: a number in a byte window of the CP, moved to and
// from the CP the same way for both; they differ only in how their control shows it.
class cChoiceNumberParam : public cParam
{
public:
    qint32 Value() const { return m_value; }
    // A negative list value makes the raw value signed.
    bool SignedValue() const { return signedRaw(); }
    void setSignedValue(bool on) { setSignedRaw(on); }

protected:
    using cParam::cParam;
    virtual void refreshControl() = 0;
    bytewindow::Window window(const CpShape &shape) const override;
    void decodeValue(const QByteArray &windowBytes, const bytewindow::Window &window) override;
    QByteArray encodeValue(const bytewindow::Window &window) const override;

    qint32 m_value = 0;
};

class cParamComboBox : public cChoiceNumberParam
{
public:
    qint16 ClassId() const override;

    controls::ComboBoxControl *ComboBoxControl() const { return m_control; }
    // Takes the control and empties its list.
    void setComboBoxControl(controls::ComboBoxControl *control);

    void setValue(qint32 value);
    qint32 LockMode() const { return m_lockMode; }
    void setLockMode(qint32 mode);
    const QString &InvalidItemString() const { return m_invalidItemString; }
    void setInvalidItemString(const QString &text) { m_invalidItemString = text; }
    // While false the control is not refreshed; setting true refreshes it from Value.
    bool ControlUpdatesEnabled() const { return m_controlUpdatesEnabled; }
    void setControlUpdatesEnabled(bool on);

    void AddComboBoxItem(const QString &ItemText, qint32 ItemData);
    void RemoveComboBoxItem(int ItemIndex);
    void RemoveComboBoxItemByItemData(qint32 ItemData);
    void ClearComboBox();
    void UpdateComboBox();
    bool ValueIsInComboList(qint32 Value) const;
    bool CurrentValueIsInComboList() const;
    // Puts InvalidItemString in front of the items, in red, and shows it. The item carries the
    // current value, so the value is kept, and it does not count as a list value.
    void ShowInvalidItem();
    // Selects the item; the control's notification then takes its value.
    void SetValueByComboListItemIndex(int ItemIndex);
    void SetComboBox();

    // Throws TqmError (InvalidWindow, "ConsiderPartOfCpOnly", "invalid parameters") when the
    // window does not fit a directly bound CP.
    void ConsiderPartOfCpOnly(qint16 BytePos, quint8 ByteLength);

    void ComboBox_Change_Event();
    bool ValueIsInvalid() const { return !CurrentValueIsInComboList(); }

private:
    friend class cParams;
    cParamComboBox(const Binding &binding, controls::ComboBoxControl *control);
    void initAvailable(bool available) override;
    void refreshControl() override { SetComboBox(); }
    void setListIndexQuietly(int index);

    controls::ComboBoxControl *m_control;
    QString m_invalidItemString;
    qint32 m_lockMode = cParamEnums::LM_UNLOCKED;
    bool m_updating = false;
    bool m_controlUpdatesEnabled = true;
    int m_invalidItemsShown = 0; // invalid items in front of the list values
};

class cParamCheckBox : public cChoiceNumberParam
{
public:
    qint16 ClassId() const override;

    controls::CheckBoxControl *CheckBoxControl() const { return m_control; }
    void setCheckBoxControl(controls::CheckBoxControl *control) { m_control = control; }

    // Ignored while the parameter is not Available.
    void setValue(qint32 value);
    // The description's two list values: unchecked first, checked second.
    qint32 ValueChecked() const { return description().items[1].value; }
    void setValueChecked(qint32 value) { setListValue(1, value); }
    qint32 ValueUnchecked() const { return description().items[0].value; }
    void setValueUnchecked(qint32 value) { setListValue(0, value); }
    qint32 LockMode() const { return m_lockMode; }
    void setLockMode(qint32 mode);

    // Throws TqmError (InvalidWindow, "ConsiderPartOfCpOnly", "ungültige Parameter") when the
    // window does not fit the bound CP.
    void ConsiderPartOfCpOnly(qint16 BytePos, quint8 ByteLength);

    // Checked for ValueChecked, unchecked for ValueUnchecked, red text for anything else.
    void SetCheckBox();
    void CheckBox_Click_Event();

private:
    friend class cParams;
    cParamCheckBox(const Binding &binding, controls::CheckBoxControl *control);
    void initAvailable(bool available) override;
    void refreshControl() override { SetCheckBox(); }
    void setListValue(int index, qint32 value);

    controls::CheckBoxControl *m_control;
    qint32 m_lockMode = cParamEnums::LM_UNLOCKED;
    bool m_updating = false;
};

class cParamOptBtn : public cParam
{
public:
    qint16 ClassId() const override;

    // The CP's whole value as RAW text. Setting trims blanks at both ends; a value read from
    // the CP is kept as it stands.
    const QString &Value() const { return m_value; }
    void setValue(const QString &value);
    qint32 LockMode() const { return m_lockMode; }
    void setLockMode(qint32 mode);

    // Appends a button carrying `ItemData`; its tag becomes the parameter's name.
    void AddOptionButton(controls::OptionButtonControl *OptionButtonControl, const QString &ItemData);
    // 1-based.
    controls::OptionButtonControl *OptionButton(int Index) const;
    int OptionButtonsCount() const { return int(m_buttons.size()); }
    QString OptionButtonItemData(int Index) const;

    // Selects the first button whose item data equals Value.
    void SetOptionButtons();
    void OptionButton_Click_Event(int Index);

private:
    friend class cParams;
    explicit cParamOptBtn(const Binding &binding);
    void initAvailable(bool available) override;
    // The value is the whole CP's RAW text.
    bytewindow::Window window(const CpShape &shape) const override;
    void decodeValue(const QByteArray &windowBytes, const bytewindow::Window &window) override;
    QByteArray encodeValue(const bytewindow::Window &window) const override;
    void keepRawText(const QString &rawText) override;
    void checkIndex(int index) const;

    QList<controls::OptionButtonControl *> m_buttons;
    QString m_value;
    qint32 m_lockMode = cParamEnums::LM_UNLOCKED;
};
