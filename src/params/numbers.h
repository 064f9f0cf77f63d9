#pragma once

// The program's number conversions, in one place:
//  - to 32-bit integers: round half to even, overflow error outside the range;
//  - display patterns "0" to "0.000": round half away from zero, the locale's decimal separator;
//  - typed text: the leading number, read after a decimal comma became a point, 0 when none;
//  - plain number-to-text: the shortest text that reads back as the number, locale separator.
// Single-precision arithmetic is the caller's: pass float where the rule says single.

#include <QLocale>
#include <QString>
#include <QtGlobal>

namespace numbers {

// Half to even to a whole number; no range check.
double roundHalfEven(double value);

// Half to even at `decimals` places after the point (0 to 9).
double roundHalfEven(double value, int decimals);

// Half to even to a 32-bit integer. Throws TqmError (Overflow) when the result does not fit or
// the value is not a number.
qint32 toInt32(double value);

// The value with exactly `decimals` places (0 to 3 in use; "0", "0.0", "0.00", "0.000"),
// rounded half away from zero, with the locale's decimal separator and no group separators.
// A value that rounds to zero shows without a sign.
QString formatFixed(double value, int decimals, const QLocale &locale);

// The leading number of `text` with "." as decimal point: blanks before it are skipped, an
// optional sign, digits, one point, an optional exponent ("1e3"); reading stops at the first
// character that cannot continue the number. Text without a number reads as 0; a number too
// large for a double as an infinity of its sign.
double leadingNumber(const QString &text);

// A number typed by the user: a decimal comma counts as the decimal point, then leadingNumber.
double readTypedNumber(const QString &text);

// Plain number-to-text: the shortest decimal text of the number (7 significant digits for a
// single, 15 for a double), the locale's decimal separator, exponent form "1E+08" for very
// large or small numbers.
QString numberText(float value, const QLocale &locale);
QString numberText(double value, const QLocale &locale);

// The decimal number a single stands for: the double nearest to its 7-digit text, so that a
// limit set as 0.1f compares equal to a typed "0.1" and to 10 / 100. Every range check compares
// doubles against limits taken through this.
double decimalOf(float value);

} // namespace numbers
