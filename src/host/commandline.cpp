#include "host/commandline.h"

#include "base/textutility.h"

#include <limits>

namespace commandline {

QString joinArguments(const QStringList &arguments)
{
    // A switch starts its own argument, so the blank a shell removed between two switches is not
    // put back: it would end up at the end of the previous value ("/NI:Internet /REMOTE" must
    // give "Internet"). Arguments that continue a value (an object name split at its blanks by
    // an unquoted call) are joined with the blank they were split at.
    QString line;
    for (const QString &argument : arguments) {
        if (!line.isEmpty() && !argument.startsWith(QLatin1Char('/')))
            line += QLatin1Char(' ');
        line += argument;
    }
    return line;
}

qint64 leadingNumber(const QString &text)
{
    qint64 value = 0;
    for (const QChar c : text) {
        if (!c.isDigit() || c.unicode() > 0x7f)
            break;
        value = value * 10 + (c.unicode() - '0');
        if (value > std::numeric_limits<qint32>::max())
            return std::numeric_limits<qint32>::max();
    }
    return value;
}

namespace {

qint16 toInt16(qint64 value)
{
    return value > std::numeric_limits<qint16>::max() ? std::numeric_limits<qint16>::max() : qint16(value);
}

} // namespace

Switches parse(const QString &commandLine)
{
    Switches switches;
    const QString separator = QStringLiteral("/");
    for (int n = 2;; ++n) {
        const QString token = TextUtility::Token(commandLine, n, separator);
        if (token.isEmpty())
            break;
        // Blanks around a key come from joining the arguments; they never belong to the key.
        const QString key = TextUtility::Token(token, 1, QStringLiteral(":")).trimmed().toUpper();
        const QString value = TextUtility::Token(token, 2, QStringLiteral(":"));
        if (key == QLatin1String("REG")) {
            switches.language = toInt16(leadingNumber(value));
            switches.action = Action::RegisterLanguage;
            return switches;
        }
        if (key == QLatin1String("UNREG")) {
            switches.action = Action::Unregister;
            return switches;
        }
        if (key == QLatin1String("S")) {
            switches.action = Action::StandAlone;
            return switches;
        }
        if (key == QLatin1String("PROG2649")) {
            switches.action = Action::StandAloneSilent;
            return switches;
        }
        if (key == QLatin1String("CLASSID")) {
            switches.classId = toInt16(leadingNumber(value));
        } else if (key == QLatin1String("COMMANDID")) {
            switches.commandId = qint32(leadingNumber(value));
        } else if (key == QLatin1String("REMOTE")) {
            switches.remote = true;
        } else if (key == QLatin1String("NI")) {
            switches.networkInterfaceGiven = true;
            switches.networkInterfaceName = value;
        } else if (key == QLatin1String("OBJECTNAME")) {
            switches.objectNameGiven = true;
            switches.objectName = value;
        }
    }
    return switches;
}

} // namespace commandline
