#include "monitoring/outputtexts.h"

#include "base/textutility.h"
#include "base/tqmerror.h"
#include "lns/rawtext.h"
#include "params/numbers.h"
#include "strings/resstrings.h"

namespace outputtexts {

namespace {

constexpr int FanStateMessage = 1137; // "invalid¦off¦on"
constexpr qint32 MaxStepCount = 200;  // the step is 200 half-percent divided by the count

QString hundredthsText(qint32 hundredths, const QLocale &locale)
{
    return numbers::formatFixed(hundredths / 100.0, 1, locale);
}

} // namespace

std::optional<qint32> signedRawValue(const QString &rawText)
{
    QByteArray bytes;
    try {
        bytes = rawtext::parse(rawText);
    } catch (const TqmError &) {
        return std::nullopt;
    }
    if (bytes.size() != 2)
        return std::nullopt;
    return qint32(qint16((quint8(bytes[0]) << 8) | quint8(bytes[1])));
}

QString spaceTemperatureText(const QString &rawText, const QLocale &locale)
{
    const std::optional<qint32> value = signedRawValue(rawText);
    return value ? hundredthsText(*value, locale) : QString();
}

QString setPointOffsetText(const QString &rawText, const QLocale &locale)
{
    const std::optional<qint32> value = signedRawValue(rawText);
    if (!value)
        return {};
    const QString text = hundredthsText(*value, locale);
    return *value > 0 ? QLatin1Char('+') + text : text;
}

std::optional<qint32> equivalentFanLevel(double percent, qint32 stepCount)
{
    if (stepCount < 1 || stepCount > MaxStepCount)
        return std::nullopt;
    const qint32 step = MaxStepCount / stepCount;
    return numbers::toInt32(2 * percent + step - 1) / step;
}

FanSpeedTexts fanSpeedTexts(const QString &value, qint32 stepCount, const QLocale &locale)
{
    if (value.trimmed().isEmpty())
        return {};
    const QString blank = QStringLiteral(" ");
    const double percent = numbers::leadingNumber(TextUtility::Token(value, 1, blank));
    const qint32 state = qint32(numbers::leadingNumber(TextUtility::Token(value, 2, blank)));
    FanSpeedTexts texts;
    texts.level = numbers::numberText(percent, locale);
    texts.state = GetResString(FanStateMessage, state + 2);
    if (const std::optional<qint32> level = equivalentFanLevel(percent, stepCount))
        texts.equivalentLevel = QString::number(*level);
    return texts;
}

} // namespace outputtexts
