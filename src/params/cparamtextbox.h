#pragma once

// A numeric parameter shown in a text box: an integer in a byte window of a CP, displayed as
// raw / Factor + OffsetCalc with a unit, stepped and formatted by its resolution, checked
// against its range (red when outside, typed values limited with a message). Scaling, unit
// and ranges are the description's; this class keeps the value and drives the control.

#include "params/cparam.h"
#include "params/cparamenums.h"

#include <optional>

namespace controls {
class TextBoxControl;
}

class cParamTextBox : public cParam
{
public:
    qint16 ClassId() const override;

    controls::TextBoxControl *TextBoxControl() const { return m_control; }
    void setTextBoxControl(controls::TextBoxControl *control);

    // The scaled integer (displayed value x Factor). Setting refreshes the control and marks
    // the parameter changed.
    qint32 Value() const { return m_value; }
    void setValue(qint32 value);
    // Value / Factor; setting goes through Value (rounded half to even).
    float ValueCalc() const;
    void setValueCalc(float value);
    // A value not to be written: WriteToLns and WriteToExtCp skip the parameter.
    bool ValueNotSet() const { return m_valueNotSet; }
    void setValueNotSet(bool on) { m_valueNotSet = on; }

    qint32 Unit() const { return description().unit; }
    void setUnit(qint32 unit);
    const QString &UnitMnemonic() const { return description().unitMnemonic; }
    // A unit text of the caller's own; the unit becomes UNIT_UserDefined.
    void setUnitMnemonic(const QString &mnemonic);
    qint32 Resolution() const { return description().resolution; }
    void setResolution(qint32 resolution);
    // The resolution as its step; setting a step that is not one of the eleven changes nothing.
    float Resolution2() const { return MinStep(); }
    void setResolution2(float step);
    float MinStep() const;
    qint32 Factor() const { return description().factor; }
    void setFactor(qint32 factor);
    float OffsetCalc() const { return description().offset; }
    void setOffsetCalc(float offset);
    // Presets factor, resolution, range and unit of the standard types that have them.
    qint32 SnvtType() const { return description().snvtType; }
    void setSnvtType(qint32 snvtType);
    // The valid range; setting one also sets the text box's limit to it.
    float RangeMin() const { return description().rangeMin; }
    void setRangeMin(float value);
    float RangeMax() const { return description().rangeMax; }
    void setRangeMax(float value);
    // What the text box accepts; may be narrower than the valid range.
    float TextBoxRangeMin() const { return description().textBoxRangeMin; }
    void setTextBoxRangeMin(float value);
    float TextBoxRangeMax() const { return description().textBoxRangeMax; }
    void setTextBoxRangeMax(float value);
    qint32 LockMode() const { return m_lockMode; }
    void setLockMode(qint32 mode);
    const QString &TextWhenLocked() const { return m_textWhenLocked; }
    void setTextWhenLocked(const QString &text) { m_textWhenLocked = text; }
    const QString &TextBoxTitle() const { return m_textBoxTitle; }
    void setTextBoxTitle(const QString &title) { m_textBoxTitle = title; }
    // Bytes of the window that carry the number (0 = all).
    quint8 UsedBytes() const { return description().usedBytes; }
    void setUsedBytes(quint8 count);
    qint32 KeysAllowed() const { return m_keysAllowed; }
    // The raw number in the CP is signed when the range reaches below the offset.
    bool rawValueIsSigned() const;

    // Throws TqmError (InvalidWindow, "ConsiderPartOfCpOnly", "ungültige Parameter") when the
    // window does not fit a directly bound CP.
    void ConsiderPartOfCpOnly(qint16 BytePos, quint8 ByteLength);

    // Shows Value in the control.
    void SetTextBox();
    // Limits and rounds the text without a message; with CalculatedValue, a text that had to
    // be limited is replaced by that value; ForceCpValueSetting re-derives Value from the text.
    void SetValidTextBoxValue(std::optional<float> CalculatedValue = std::nullopt, bool ForceCpValueSetting = false);

    void TextBox_Change_Event();
    void TextBox_KeyPress_Event(int &KeyAscii);
    void TextBox_LostFocus_Event();
    void TextBox_Validate_Event(bool &Cancel);

    // Red text (unless shown without a value) or a value outside RangeMin..RangeMax, for a
    // parameter that is to be written.
    bool ValueIsInvalid() const;
    // Whether a Value (scaled integer) lies within RangeMin..RangeMax.
    bool IsWithinRange(qint32 value) const;

    bool hasValueToWrite() const override { return !m_valueNotSet; }

private:
    friend class cParams;
    cParamTextBox(const Binding &binding, controls::TextBoxControl *control);
    void initAvailable(bool available) override;
    // Besides being available, a value not to be set is not written.
    bool takesPart(Transfer direction) const override;

    void adaptToResolution();
    // The range message while the value is red, for a screen reader.
    void describeRange();
    void setTextQuietly(const QString &text);
    void validateText(bool &cancel, bool quiet);
    void showRangeMessage(int messageId, float typed, float limit);
    QString display(double value) const;
    // Value / Factor as the decimal it stands for; what the range checks compare.
    double valueDecimal() const;
    void markRange(double number);
    bytewindow::Window window(const CpShape &shape) const override;
    void decodeValue(const QByteArray &windowBytes, const bytewindow::Window &window) override;
    QByteArray encodeValue(const bytewindow::Window &window) const override;

    controls::TextBoxControl *m_control;
    qint32 m_value = 0;
    QString m_textBoxTitle;
    qint32 m_lockMode = cParamEnums::LM_UNLOCKED;
    bool m_valueNotSet = false;
    QString m_textWhenLocked;
    qint32 m_keysAllowed = cParamEnums::KA_Numbers;
    bool m_updating = false;
    bool m_validated = false;
};
