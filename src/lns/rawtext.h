#pragma once

// The network services' "RAW" value text: the decimal values (0 to 255) of the bytes, in byte
// order, separated by one TAB, no leading or trailing TAB. One codec for every user.

#include <QByteArray>
#include <QString>

namespace rawtext {

// Throws TqmError (TypeMismatch) naming the field when a field is not a number from 0 to 255.
// A TAB as the very last character ends the list without an empty field; "" gives no bytes.
QByteArray parse(const QString &text);

// Bytes as RAW text.
QString format(const QByteArray &bytes);

} // namespace rawtext
