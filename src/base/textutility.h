#pragma once

// Text services shared by every part of the program.

#include <QString>
#include <QStringList>

namespace TextUtility {

// The n-th piece (from 1) of `text` between occurrences of `delimiter`; empty when the text has
// fewer pieces or n < 1.
QString Token(const QString &text, int n, const QString &delimiter);
// The same piece as a view into `text`, of UTF-16 or of bytes.
QStringView TokenView(QStringView text, int n, QStringView delimiter);
QByteArrayView TokenView(QByteArrayView text, int n, QByteArrayView delimiter);
// Where `what` first occurs in `text` from `from` on, -1 when it does not. The string table
// searches every text it hands out with this: the standard library finds the first byte with
// memchr, several times faster on short texts than QByteArrayView::indexOf.
qsizetype IndexOf(QByteArrayView text, QByteArrayView what, qsizetype from = 0);

// Every "%1" to "%9" replaced by the value at that position (1-based); placeholders without a
// value stay. One pass, so a value that itself contains "%2" is not replaced again.
QString FillPlaceholders(const QString &text, const QStringList &values);

// A decimal comma becomes the decimal point that the number conversion reads, so that "21,5"
// and "21.5" read alike.
QString NormaliseNumberText(const QString &text);

} // namespace TextUtility

// Keystroke filters for numeric text boxes. Modes are the key modes of the parameter model
// (0 numbers, 1 numbers with minus, 2 numbers with decimal separator, 3 both).
namespace KeyFilterUtility {

enum Mode { Numbers = 0, NumbersNeg = 1, NumbersFloat = 2, NumbersFloatNeg = 3 };

// The key code itself when allowed in the mode, 0 when it is to be swallowed. Digits pass in
// every mode, "-" in the Neg modes, "." and "," in the Float modes, control keys (backspace,
// clipboard shortcuts) always.
int FilterKey(int mode, int keyCode);

} // namespace KeyFilterUtility
