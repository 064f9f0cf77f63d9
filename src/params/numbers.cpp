#include "params/numbers.h"

#include "base/textutility.h"
#include "base/tqmerror.h"

#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace numbers {

namespace {

double powerOfTen(int exponent)
{
    double result = 1.0;
    for (int i = 0; i < exponent; ++i)
        result *= 10.0;
    return result;
}

// The value of the decimal text of `value` with `significant` digits. The standard library's
// conversions round exactly as Qt's text conversions do, without building a QString; opening a
// device runs this for every limit of every parameter.
double throughDecimalText(double value, int significant)
{
    if (!std::isfinite(value))
        return value;
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::general, significant);
    double result = value;
    std::from_chars(text, written.ptr, result);
    return result;
}

// Products like 2.675 * 100 come out as 267.49999999999997; the decimal text the user sees
// has 15 significant digits, so round to those before deciding on a half.
double decimalClean(double value)
{
    return throughDecimalText(value, 15);
}

// The digits of a whole number below 1e300 (no sign, no exponent).
QString wholeDigits(double wholeNumber)
{
    char text[320];
    const auto written = std::to_chars(text, text + sizeof text, wholeNumber, std::chars_format::fixed, 0);
    return QString::fromLatin1(text, written.ptr - text);
}

QString localised(QString text, const QLocale &locale)
{
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    text.replace(QLatin1Char('e'), QLatin1Char('E'));
    return text;
}

} // namespace

double roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5)
        return floor + 1.0;
    if (fraction < 0.5)
        return floor;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

double roundHalfEven(double value, int decimals)
{
    const double scale = powerOfTen(decimals);
    return roundHalfEven(decimalClean(value * scale)) / scale;
}

qint32 toInt32(double value)
{
    const double rounded = roundHalfEven(value);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
        throw TqmError(TqmError::Overflow, QStringLiteral("numbers"),
                       QStringLiteral("%1 does not fit a 32-bit integer.").arg(value));
    return qint32(rounded);
}

QString formatFixed(double value, int decimals, const QLocale &locale)
{
    const double scaled = decimalClean(std::abs(value) * powerOfTen(decimals));
    const double rounded = std::floor(scaled + 0.5);
    QString digits = wholeDigits(rounded);
    if (decimals > 0) {
        if (digits.size() <= decimals)
            digits = QString(decimals + 1 - digits.size(), QLatin1Char('0')) + digits;
        digits.insert(digits.size() - decimals, locale.decimalPoint());
    }
    const bool negative = value < 0 && rounded != 0.0;
    return negative ? QLatin1Char('-') + digits : digits;
}

double leadingNumber(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t') || text[i] == QLatin1Char('\n')
                     || text[i] == QLatin1Char('\r')))
        ++i;

    QByteArray number;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        number += char(text[i++].toLatin1());
    bool anyDigit = false;
    bool point = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            number += char(c.toLatin1());
            anyDigit = true;
        } else if (c == QLatin1Char('.') && !point) {
            number += '.';
            point = true;
        } else {
            break;
        }
    }
    if (!anyDigit)
        return 0.0;
    // An exponent counts only when at least one digit follows it.
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        QByteArray exponent = "e";
        if (j < n && (text[j] == QLatin1Char('-') || text[j] == QLatin1Char('+')))
            exponent += char(text[j++].toLatin1());
        bool exponentDigit = false;
        for (; j < n && text[j] >= QLatin1Char('0') && text[j] <= QLatin1Char('9'); ++j) {
            exponent += char(text[j].toLatin1());
            exponentDigit = true;
        }
        if (exponentDigit)
            number += exponent;
    }
    if (number.endsWith('.'))
        number.chop(1);
    bool ok = false;
    const double value = number.toDouble(&ok);
    // A number beyond the range of a double is not 0: it reads as an infinity of its sign, which
    // every range check refuses.
    return ok ? value : std::strtod(number.constData(), nullptr);
}

double readTypedNumber(const QString &text)
{
    return leadingNumber(TextUtility::NormaliseNumberText(text));
}

QString numberText(float value, const QLocale &locale)
{
    return localised(QString::number(double(value), 'g', 7), locale);
}

QString numberText(double value, const QLocale &locale)
{
    return localised(QString::number(value, 'g', 15), locale);
}

double decimalOf(float value)
{
    return throughDecimalText(double(value), 7);
}

} // namespace numbers
