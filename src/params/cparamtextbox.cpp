#include "params/cparamtextbox.h"

#include "strings/resstrings.h"
#include "lns/controls/controls.h"
#include "lns/controls/windowutility.h"
#include "base/textutility.h"
#include "lns/userdialogs.h"
#include "params/cparams.h"
#include "params/displayrules.h"
#include "params/numbers.h"

using E = cParamEnums;

namespace {

constexpr int MsgValue = 1411;
constexpr int MsgMustLieBetween = 1420;
constexpr int MsgTooHigh = 1421;
constexpr int MsgTooLow = 1422;

bool showsNoValue(qint32 lockMode)
{
    return lockMode == E::LM_DISABLED_NO_VALUE || lockMode == E::LM_DISABLED_GREY_NO_VALUE;
}

// Limits are singles; numbers are compared with the decimal a limit stands for, so that a
// value shown as the limit is never beyond it.
bool below(double number, float limit)
{
    return number < numbers::decimalOf(limit);
}

bool above(double number, float limit)
{
    return number > numbers::decimalOf(limit);
}

} // namespace

cParamTextBox::cParamTextBox(const Binding &binding, controls::TextBoxControl *control)
    : cParam(binding), m_control(control)
{
}

qint16 cParamTextBox::ClassId() const
{
    return E::PA_CLASSID_TEXTBOX_PARAMETER;
}

void cParamTextBox::initAvailable(bool available)
{
    if (!available)
        setLockMode(E::LM_DISABLED_GREY_NO_VALUE);
    storeAvailable(available);
}

void cParamTextBox::setTextBoxControl(controls::TextBoxControl *control)
{
    m_control = control;
}

// ---- value ----

void cParamTextBox::setValue(qint32 value)
{
    m_value = value;
    SetTextBox();
    setChanged(true);
}

float cParamTextBox::ValueCalc() const
{
    return float(valueDecimal());
}

void cParamTextBox::setValueCalc(float value)
{
    setValue(numbers::toInt32(double(value) * Factor()));
}

// ---- display settings ----

void cParamTextBox::setUnit(qint32 unit)
{
    amend([unit](ParamDescription &d) {
        d.unit = unit;
        if (unit != E::UNIT_UserDefined)
            d.unitMnemonic = displayrules::unitMnemonic(unit);
    });
}

void cParamTextBox::setUnitMnemonic(const QString &mnemonic)
{
    amend([&mnemonic](ParamDescription &d) {
        d.unitMnemonic = mnemonic;
        d.unit = E::UNIT_UserDefined;
    });
}

void cParamTextBox::setResolution(qint32 resolution)
{
    amend([resolution](ParamDescription &d) { d.resolution = resolution; });
    adaptToResolution();
}

void cParamTextBox::setFactor(qint32 factor)
{
    amend([factor](ParamDescription &d) { d.factor = factor; });
}

void cParamTextBox::setOffsetCalc(float offset)
{
    amend([offset](ParamDescription &d) { d.offset = offset; });
}

void cParamTextBox::setUsedBytes(quint8 count)
{
    amend([count](ParamDescription &d) { d.usedBytes = count; });
}

void cParamTextBox::setResolution2(float step)
{
    if (const auto resolution = displayrules::resolutionForStep(step))
        setResolution(*resolution);
}

float cParamTextBox::MinStep() const
{
    return displayrules::minStep(Resolution());
}

void cParamTextBox::setSnvtType(qint32 snvtType)
{
    amend([snvtType](ParamDescription &d) { d.snvtType = snvtType; });
    const auto preset = displayrules::snvtPreset(snvtType);
    if (!preset)
        return;
    setFactor(preset->factor);
    setResolution(preset->resolution);
    setRangeMin(preset->rangeMin);
    setRangeMax(preset->rangeMax);
    setUnit(preset->unit);
}

void cParamTextBox::setRangeMin(float value)
{
    amend([value](ParamDescription &d) { d.rangeMin = value; });
    setTextBoxRangeMin(value);
}

void cParamTextBox::setRangeMax(float value)
{
    amend([value](ParamDescription &d) { d.rangeMax = value; });
    setTextBoxRangeMax(value);
}

void cParamTextBox::setTextBoxRangeMin(float value)
{
    amend([value](ParamDescription &d) { d.textBoxRangeMin = value; });
    adaptToResolution();
    SetTextBox();
}

void cParamTextBox::setTextBoxRangeMax(float value)
{
    amend([value](ParamDescription &d) { d.textBoxRangeMax = value; });
    adaptToResolution();
    SetTextBox();
}

void cParamTextBox::setLockMode(qint32 mode)
{
    m_lockMode = mode;
    const bool greyed = mode == E::LM_DISABLED_GREY || mode == E::LM_DISABLED_GREY_NO_VALUE
                        || mode == E::LM_DISABLED_GREY_TEXT;
    switch (mode) {
    case E::LM_UNLOCKED:
    case E::LM_LOCKED:
    case E::LM_DISABLED:
    case E::LM_DISABLED_GREY:
        m_control->setEnabled(mode == E::LM_UNLOCKED || mode == E::LM_LOCKED);
        m_control->setBackColor(greyed ? controls::colour::ButtonFace : controls::colour::WindowBackground);
        adaptToResolution();
        SetTextBox();
        break;
    case E::LM_DISABLED_NO_VALUE:
    case E::LM_DISABLED_GREY_NO_VALUE:
        m_control->setEnabled(false);
        m_control->setBackColor(greyed ? controls::colour::ButtonFace : controls::colour::WindowBackground);
        setTextQuietly(QString());
        break;
    case E::LM_DISABLED_GREY_TEXT:
        m_control->setEnabled(false);
        m_control->setBackColor(controls::colour::ButtonFace);
        m_control->setMaxLength(0);
        setTextQuietly(m_textWhenLocked);
        break;
    default:
        break;
    }
}

bool cParamTextBox::rawValueIsSigned() const
{
    return paramdescription::rawIsSignedByRange(description());
}

void cParamTextBox::ConsiderPartOfCpOnly(qint16 BytePos, quint8 ByteLength)
{
    acceptWindow(BytePos, ByteLength, ByteLength, !CpIsExternal(), QStringLiteral("ungültige Parameter"));
}

// ---- showing the value ----

QString cParamTextBox::display(double value) const
{
    return numbers::formatFixed(value, displayrules::decimals(Resolution()), Parent()->context().locale);
}

void cParamTextBox::setTextQuietly(const QString &text)
{
    m_updating = true;
    m_control->setText(text);
    m_updating = false;
}

void cParamTextBox::adaptToResolution()
{
    const ParamDescription &d = description();
    const bool known = displayrules::isKnownResolution(d.resolution);
    const QString minText = known ? display(d.rangeMin) : QString();
    const QString maxText = known ? display(d.rangeMax) : QString();
    m_control->setMaxLength(int(qMax(minText.size(), maxText.size())));
    m_keysAllowed = displayrules::keysAllowed(d.resolution, d.rangeMin, d.rangeMax);
}

void cParamTextBox::SetTextBox()
{
    if (m_lockMode == E::LM_LOCKED || showsNoValue(m_lockMode))
        return;
    if (displayrules::isKnownResolution(Resolution()))
        m_control->setText(display(valueDecimal()).trimmed());

    // A value beyond a limit must not look like the limit itself.
    const QLocale &locale = Parent()->context().locale;
    const double shown = numbers::readTypedNumber(m_control->text());
    const float min = TextBoxRangeMin();
    const float max = TextBoxRangeMax();
    if (above(valueDecimal(), max) && shown == numbers::decimalOf(max))
        m_control->setText(numbers::numberText(max + MinStep(), locale));
    else if (below(valueDecimal(), min) && shown == numbers::decimalOf(min))
        m_control->setText(numbers::numberText(min - MinStep(), locale));

    markRange(valueDecimal());
}

double cParamTextBox::valueDecimal() const
{
    return paramdescription::shownValue(description(), m_value);
}

void cParamTextBox::markRange(double number)
{
    WindowUtility::MarkRange(*m_control, number, numbers::decimalOf(TextBoxRangeMin()),
                             numbers::decimalOf(TextBoxRangeMax()));
    describeRange();
}

// A screen reader says why a red value is red.
void cParamTextBox::describeRange()
{
    if (m_control->foreColor() != controls::colour::Red) {
        m_control->setDescription(QString());
        return;
    }
    const QLocale &locale = Parent()->context().locale;
    m_control->setDescription(GetResString(MsgMustLieBetween, 1,
                                           {m_textBoxTitle, numbers::numberText(TextBoxRangeMin(), locale),
                                            numbers::numberText(TextBoxRangeMax(), locale), UnitMnemonic()})
                                  .trimmed());
}

// ---- control notifications ----

void cParamTextBox::TextBox_Change_Event()
{
    if (m_updating)
        return;
    const double typed = numbers::readTypedNumber(m_control->text());
    markRange(typed);
    // A pasted "1e99" must not stop the window: such a value lies beyond every range, shows
    // red and is limited when the user leaves the box, so the nearest 32-bit value does.
    m_value = numbers::toInt32(qBound(-2147483648.0, typed * Factor(), 2147483647.0));
    setChanged(true);
}

void cParamTextBox::TextBox_KeyPress_Event(int &KeyAscii)
{
    if (m_keysAllowed >= E::KA_Numbers && m_keysAllowed <= E::KA_NumbersFloatNeg)
        KeyAscii = KeyFilterUtility::FilterKey(m_keysAllowed, KeyAscii);
}

void cParamTextBox::TextBox_Validate_Event(bool &Cancel)
{
    if (m_updating)
        return;
    if (m_control->text().isEmpty())
        m_control->setText(QStringLiteral("0"));
    validateText(Cancel, false);
    m_validated = true;
    if (Cancel)
        m_control->setSelStart(int(m_control->text().size()));
}

void cParamTextBox::TextBox_LostFocus_Event()
{
    if (!m_validated) {
        bool cancel = false;
        TextBox_Validate_Event(cancel);
    }
    m_validated = false;
}

void cParamTextBox::validateText(bool &cancel, bool quiet)
{
    const qint32 resolution = Resolution();
    if (!displayrules::isKnownResolution(resolution))
        return;
    const QString text = m_control->text();
    const bool wholeNumbers = resolution == E::RES_50 || resolution == E::RES_1;
    const double typed = wholeNumbers ? numbers::leadingNumber(text) : numbers::readTypedNumber(text);
    float r = float(typed);
    if (above(typed, TextBoxRangeMax())) {
        if (!quiet)
            showRangeMessage(MsgTooHigh, r, TextBoxRangeMax());
        r = TextBoxRangeMax();
        cancel = true;
    } else if (below(typed, TextBoxRangeMin())) {
        if (!quiet)
            showRangeMessage(MsgTooLow, r, TextBoxRangeMin());
        r = TextBoxRangeMin();
        cancel = true;
    }
    r = displayrules::roundToResolution(r, resolution);
    m_control->setText(display(r).trimmed());
}

void cParamTextBox::showRangeMessage(int messageId, float typed, float limit)
{
    const cParams::Context &context = Parent()->context();
    if (!context.dialogs)
        return;
    const QLocale &locale = context.locale;
    const QString &unit = UnitMnemonic();
    const QStringList values = {
        GetResString(MsgValue),
        numbers::numberText(typed, locale).trimmed(),
        unit,
        numbers::numberText(TextBoxRangeMin(), locale),
        numbers::numberText(TextBoxRangeMax(), locale),
        unit,
        m_textBoxTitle,
        numbers::numberText(limit, locale),
        unit,
    };
    context.dialogs->message(GetResString(messageId, 0, values), context.messageTitle, MsgIcon::Exclamation);
}

void cParamTextBox::SetValidTextBoxValue(std::optional<float> CalculatedValue, bool ForceCpValueSetting)
{
    bool cancel = false;
    validateText(cancel, true);
    if (CalculatedValue && cancel)
        setValueCalc(*CalculatedValue);
    if (ForceCpValueSetting)
        TextBox_Change_Event();
}

bool cParamTextBox::ValueIsInvalid() const
{
    const bool red = m_control->foreColor() == controls::colour::Red && !showsNoValue(m_lockMode);
    return (red || !IsWithinRange(m_value)) && !DontWriteToLns();
}

bool cParamTextBox::IsWithinRange(qint32 value) const
{
    return paramdescription::isWithinRange(description(), value);
}

// ---- transfer ----

bool cParamTextBox::takesPart(Transfer direction) const
{
    if (direction == Transfer::ReadFromImage)
        return true;
    return Available() && (direction == Transfer::ReadFromLns || !m_valueNotSet);
}

bytewindow::Window cParamTextBox::window(const CpShape &shape) const
{
    return numberWindow(shape, ByteLength(), UsedBytes(), rawValueIsSigned());
}

void cParamTextBox::decodeValue(const QByteArray &windowBytes, const bytewindow::Window &window)
{
    m_value = paramdescription::valueFromRaw(description(), bytewindow::decode(windowBytes, window));
    SetTextBox();
}

QByteArray cParamTextBox::encodeValue(const bytewindow::Window &window) const
{
    return bytewindow::encode(paramdescription::rawFromValue(description(), m_value), window);
}
