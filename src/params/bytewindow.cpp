#include "params/bytewindow.h"

#include "base/tqmerror.h"

namespace bytewindow {

bool fits(int start, int width, int length)
{
    return start >= 1 && width >= 1 && qint64(start) + width - 1 <= length;
}

QByteArray slice(const QByteArray &bytes, int start, int width)
{
    if (!fits(start, width, int(bytes.size())))
        throw TqmError(TqmError::SubscriptOutOfRange, QStringLiteral("ByteWindow"),
                       QStringLiteral("Bytes %1 to %2 lie outside the %3 bytes of the value.")
                           .arg(start)
                           .arg(qint64(start) + width - 1)
                           .arg(bytes.size()));
    return bytes.mid(start - 1, width);
}

void splice(QByteArray &bytes, int start, const QByteArray &window)
{
    const qsizetype end = start - 1 + window.size();
    if (bytes.size() < end)
        bytes.append(QByteArray(end - bytes.size(), '\0'));
    for (qsizetype k = 0; k < window.size(); ++k)
        bytes[start - 1 + k] = window[k];
}

qint64 decode(const QByteArray &windowBytes, const Window &window)
{
    const int n = qMin(window.numberWidth(), int(windowBytes.size()));
    if (n > 7)
        throw TqmError(TqmError::Overflow, QStringLiteral("ByteWindow"),
                       QStringLiteral("A number of %1 bytes is too wide.").arg(n));
    qint64 value = 0;
    for (int k = 0; k < n; ++k)
        value = (value << 8) | quint8(windowBytes[k]);
    if (window.isSigned && n > 0 && value >= (qint64(1) << (8 * n - 1)))
        value -= qint64(1) << (8 * n);
    return value;
}

QByteArray encode(qint64 value, const Window &window)
{
    const int n = window.numberWidth();
    QByteArray bytes(window.width, '\0');
    quint64 bits = quint64(value); // two's complement: the low n bytes are the window's
    for (int k = n - 1; k >= 0; --k) {
        bytes[k] = char(bits & 0xFF);
        bits >>= 8;
    }
    return bytes;
}

qint64 readNumber(const QByteArray &bytes, const Window &window)
{
    return decode(slice(bytes, window.start, window.width), window);
}

void writeNumber(QByteArray &bytes, const Window &window, qint64 value)
{
    splice(bytes, window.start, encode(value, window));
}

QString decodeText(const QByteArray &windowBytes)
{
    QString text;
    for (char byte : windowBytes) {
        if (byte == '\0')
            break;
        text += QChar(quint8(byte));
    }
    return text;
}

QByteArray encodeText(const QString &text, int width, char fill)
{
    QByteArray bytes(width, fill);
    for (int k = 0; k < width && k < text.size(); ++k) {
        const char16_t code = text[k].unicode();
        bytes[k] = code > 255 ? '?' : char(code);
    }
    return bytes;
}

} // namespace bytewindow
