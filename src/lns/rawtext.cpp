#include "lns/rawtext.h"

#include "base/tqmerror.h"

#include <QStringList>

namespace rawtext {

QByteArray parse(const QString &text)
{
    QByteArray bytes;
    if (text.isEmpty())
        return bytes;
    QStringList fields = text.split(QLatin1Char('\t'));
    if (fields.size() > 1 && fields.last().isEmpty())
        fields.removeLast();
    bytes.reserve(fields.size());
    for (int k = 0; k < fields.size(); ++k) {
        bool ok = false;
        const int value = fields[k].trimmed().toInt(&ok);
        if (!ok || value < 0 || value > 255)
            throw TqmError(TqmError::TypeMismatch, QStringLiteral("RawText"),
                           QStringLiteral("Field %1 of the raw value \"%2\" is not a byte value (0 to 255).")
                               .arg(k + 1)
                               .arg(text));
        bytes.append(char(quint8(value)));
    }
    return bytes;
}

QString format(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size() * 4);
    for (int i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            text += QLatin1Char('\t');
        text += QString::number(quint8(bytes[i]));
    }
    return text;
}

} // namespace rawtext
