#include "host/commandline.h"

#include "base/textutility.h"

#include <algorithm>
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

const QStringList KnownKeys{QStringLiteral("REG"),       QStringLiteral("UNREG"),      QStringLiteral("CLASSID"),
                            QStringLiteral("COMMANDID"), QStringLiteral("REMOTE"),     QStringLiteral("NI"),
                            QStringLiteral("OBJECTNAME"), QStringLiteral("S"),         QStringLiteral("PROG2649")};

// Letters to insert, remove or change to turn one text into the other.
int editDistance(const QString &a, const QString &b)
{
    QList<int> previous(b.size() + 1);
    for (int j = 0; j <= b.size(); ++j)
        previous[j] = j;
    for (int i = 1; i <= a.size(); ++i) {
        QList<int> current(b.size() + 1);
        current[0] = i;
        for (int j = 1; j <= b.size(); ++j) {
            const int change = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, change});
        }
        previous = current;
    }
    return previous[b.size()];
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
        } else if (!key.isEmpty()) {
            switches.unknownKeys.append(TextUtility::Token(token, 1, QStringLiteral(":")).trimmed());
        }
    }
    return switches;
}

QString closestKey(const QString &unknownKey)
{
    const QString key = unknownKey.toUpper();
    QString closest;
    int best = std::numeric_limits<int>::max();
    for (const QString &known : KnownKeys) {
        // A third of the known key's letters may be off: "COMANDID" is COMMANDID, "X" is not S.
        const int distance = editDistance(key, known);
        if (distance <= int(known.size()) / 3 && distance < best) {
            best = distance;
            closest = known;
        }
    }
    return closest;
}

QString unknownKeyNotice(const QString &unknownKey)
{
    const QString closest = closestKey(unknownKey);
    QString notice = QStringLiteral("unknown switch /") + unknownKey;
    if (!closest.isEmpty())
        notice += QStringLiteral(" (did you mean /%1?)").arg(closest);
    return notice;
}

bool asksForHelp(const QStringList &arguments)
{
    return std::any_of(arguments.cbegin(), arguments.cend(), [](const QString &argument) {
        const QString a = argument.trimmed();
        return a == QLatin1String("--help") || a == QLatin1String("-h") || a == QLatin1String("/?");
    });
}

bool asksForVersion(const QStringList &arguments)
{
    return std::any_of(arguments.cbegin(), arguments.cend(),
                       [](const QString &argument) { return argument.trimmed() == QLatin1String("--version"); });
}

QString usage(const QString &programName, const QString &logFile)
{
    return QStringLiteral(
               "Usage: %1 [/SWITCH[:value] ...]\n"
               "The device plug-in for the tqm command module. Switch keys may be written in any case.\n"
               "  /COMMANDID:n      the command: 13 configure, 14 calibrate, 21 monitor, 50 register into a network\n"
               "  /CLASSID:n        the class id of the target; 28 for a LonMark object\n"
               "  /OBJECTNAME:name  the target, Network.Subsystem....Device.LonMarkObject (tqm-netdb list)\n"
               "  /REMOTE           open the network remotely\n"
               "  /NI:name          the network interface (\"Internet\" with /REMOTE: over the Internet)\n"
               "  /REG:n            register the product, with n as its language value, then end (the\n"
               "                    language the plug-in shows is chosen in the window's Language menu)\n"
               "  /UNREG            remove the registration and the product's settings, then end\n"
               "  /S                start stand-alone, with the status window\n"
               "  /PROG2649         start stand-alone, without the status window\n"
               "  /regserver        write the D-Bus activation file of the automation object, then end\n"
               "  -Embedding        serve the automation object on the D-Bus session bus\n"
               "  --help, -h, /?    this text\n"
               "  --version         the version\n"
               "Without /OBJECTNAME the plug-in shows its about window and ends. Unknown switches are\n"
               "named in the log (and on standard error when unattended) and skipped.\n"
               "\n"
               "Environment:\n"
               "  TQM_HOME                     network databases, settings and the registration record\n"
               "                               (default ~/.local/share/tqm)\n"
               "  TQM_UNATTENDED=1             no screen: message boxes become lines on standard error and\n"
               "                               take their default answer; exit code 1 when refused\n"
               "  TQM_LOG_DIR                  the directory of the log instead of the program's\n"
               "  TQM_AUTOMATION_IDLE_SECONDS  how long the automation object waits for a host (default 30)\n"
               "  TQM_PICK_DEVICES             unattended multi-device writes: the devices to pick\n"
               "  TQM_MONITOR_SECONDS          unattended monitor command: how long it prints its fields\n"
               "                               (\"[field N] text\" on standard output; default 5)\n"
               "\n"
               "Log: %2\n")
        .arg(programName, logFile);
}

} // namespace commandline
