#include "lns/objectname.h"

#include "base/tqmerror.h"

namespace objectname {

QString escapePart(const QString &part)
{
    QString out;
    out.reserve(part.size() + 4);
    for (const QChar c : part) {
        switch (c.unicode()) {
        case '\\': out += QStringLiteral("\\\\"); break;
        case '.': out += QStringLiteral("\\."); break;
        case ':': out += QStringLiteral("\\c"); break;
        case '/': out += QStringLiteral("\\s"); break;
        default: out += c;
        }
    }
    return out;
}

static TqmError badEscape(const QString &text)
{
    return TqmError(TqmError::LnsObjectNotFound, QStringLiteral("ObjectName"),
                    QStringLiteral("Invalid escape in object name \"%1\" (use \\. \\\\ \\c or \\s).").arg(text));
}

QString unescapePart(const QString &escaped)
{
    QString out;
    out.reserve(escaped.size());
    for (int i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != QLatin1Char('\\')) {
            out += escaped[i];
            continue;
        }
        if (++i >= escaped.size())
            throw badEscape(escaped);
        switch (escaped[i].unicode()) {
        case '\\': out += QLatin1Char('\\'); break;
        case '.': out += QLatin1Char('.'); break;
        case 'c': out += QLatin1Char(':'); break;
        case 's': out += QLatin1Char('/'); break;
        default: throw badEscape(escaped);
        }
    }
    return out;
}

QStringList split(const QString &objectName)
{
    QStringList parts;
    QString current;
    for (int i = 0; i < objectName.size(); ++i) {
        const QChar c = objectName[i];
        if (c == QLatin1Char('\\') && i + 1 < objectName.size()) {
            current += c;
            current += objectName[++i];
        } else if (c == QLatin1Char('.')) {
            parts.append(unescapePart(current));
            current.clear();
        } else {
            current += c;
        }
    }
    parts.append(unescapePart(current));
    return parts;
}

QString join(const QStringList &parts)
{
    QStringList escaped;
    escaped.reserve(parts.size());
    for (const QString &p : parts)
        escaped.append(escapePart(p));
    return escaped.join(QLatin1Char('.'));
}

} // namespace objectname
