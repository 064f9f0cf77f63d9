#pragma once

// The byte-window rules of configuration-property values, once for every parameter kind and
// both bindings (a CP's RAW value and the bytes of a CP image):
//  - a window is `width` bytes from the 1-based position `start` of the CP's bytes;
//  - numbers are big-endian (first byte most significant), unsigned or two's complement;
//  - with 0 < usedBytes < width the number fills the first usedBytes of the window and the
//    rest of the window holds zeros, wherever the window starts: reading takes the first
//    usedBytes, so writing puts the number there too and a value reads back as it was written;
//  - writing a window keeps every byte outside it (other parameters may share the CP).

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace bytewindow {

struct Window
{
    int start = 1;      // 1-based first byte
    int width = 1;      // bytes in the window
    int usedBytes = 0;  // 0 = the whole window
    bool isSigned = false;

    // Bytes that carry the number.
    int numberWidth() const { return usedBytes > 0 && usedBytes < width ? usedBytes : width; }
};

// Whether a window of `width` bytes at 1-based `start` lies inside `length` bytes.
bool fits(int start, int width, int length);

// The `width` bytes at 1-based `start`. Throws TqmError (SubscriptOutOfRange) when the window
// does not lie inside the bytes.
QByteArray slice(const QByteArray &bytes, int start, int width);

// Copies `window` over the bytes from 1-based `start`, appending zero bytes when the bytes
// are too short for it.
void splice(QByteArray &bytes, int start, const QByteArray &window);

// The number in the window's bytes (big-endian, sign as the window says). Throws TqmError
// (Overflow) for more than 7 number bytes.
qint64 decode(const QByteArray &windowBytes, const Window &window);

// The window's bytes for `value`: a negative value of a signed window as two's complement over
// the number bytes; a value wider than the window keeps its low bytes.
QByteArray encode(qint64 value, const Window &window);

// Convenience over whole CP bytes.
qint64 readNumber(const QByteArray &bytes, const Window &window);
void writeNumber(QByteArray &bytes, const Window &window, qint64 value);

// Text of a window: one character per byte (the byte is the character code); a zero byte ends
// the text.
QString decodeText(const QByteArray &windowBytes);

// Exactly `width` bytes for `text`: one byte per character (codes above 255 become "?"), cut at
// the width, filled up with `fill`.
QByteArray encodeText(const QString &text, int width, char fill = 0);

} // namespace bytewindow
