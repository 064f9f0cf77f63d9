#include "host/commandline.h"
#include "session/session.h"

#include <QTest>

using commandline::Action;

namespace {

// The switches in one line: action, command and class, then what else was given (with the
// session's connection mode when remote or an interface is), and the notices of the switches
// not known.
QString summary(const commandline::Switches &s)
{
    static const char *const modes[] = {"local", "remote", "Internet"};
    static const char *const actions[] = {"command", "REG", "UNREG", "S", "PROG2649"};
    QString text = QStringLiteral("%1 %2/%3").arg(QLatin1String(actions[int(s.action)])).arg(s.commandId).arg(s.classId);
    if (s.objectNameGiven)
        text += QStringLiteral(" object \"%1\"").arg(s.objectName);
    if (s.remote)
        text += QStringLiteral(" remote");
    if (!s.networkInterfaceName.isEmpty())
        text += QStringLiteral(" NI ") + s.networkInterfaceName;
    SessionState session;
    session.remote = s.remote;
    session.networkInterfaceName = s.networkInterfaceName;
    if (s.remote || !s.networkInterfaceName.isEmpty())
        text += QStringLiteral(" (%1)").arg(QLatin1String(modes[int(session.connectionMode())]));
    if (s.language != 0)
        text += QStringLiteral(" language %1").arg(s.language);
    for (const QString &key : s.unknownKeys)
        text += QStringLiteral("; ") + commandline::unknownKeyNotice(key);
    return text;
}

} // namespace

class TstCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("switches");
        QTest::newRow("tool start, one argument") << QStringList{"/CLASSID:28/COMMANDID:13/OBJECTNAME:Demo.A.CM 1.CommandModule"}
                                                  << "command 13/28 object \"Demo.A.CM 1.CommandModule\"";
        QTest::newRow("lower-case keys, values keep their case")
            << QStringList{"/objectname:Net.Sub.Dev.Obj/commandid:21/classid:28"} << "command 21/28 object \"Net.Sub.Dev.Obj\"";
        QTest::newRow("text before the first slash is ignored") << QStringList{"CLASSID:5", "/COMMANDID:14"} << "command 14/0";
        QTest::newRow("numbers are leading-digit prefixes") << QStringList{"/COMMANDID:13abc/CLASSID:x28"} << "command 13/0";
        QTest::newRow("parsing stops at the first empty token")
            << QStringList{"/COMMANDID:13//CLASSID:28/OBJECTNAME:a.b.c.d"} << "command 13/0";
        QTest::newRow("unknown keys are skipped, and named")
            << QStringList{"/FOO:1/REMOTE/NI:Internet"} << "command 0/0 remote NI Internet (Internet); unknown switch /FOO";
        QTest::newRow("unknown key close to a known one")
            << QStringList{"/COMANDID:13/CLASSID:28"} << "command 0/28; unknown switch /COMANDID (did you mean /COMMANDID?)";
        QTest::newRow("named as typed, any case") << QStringList{"/objname:a.b.c.d"}
                                                  << "command 0/0; unknown switch /objname (did you mean /OBJECTNAME?)";
        QTest::newRow("short keys need an exact match") << QStringList{"/N:LON1"} << "command 0/0; unknown switch /N";
        QTest::newRow("each one") << QStringList{"/FOO/NII:x"} << "command 0/0; unknown switch /FOO; unknown switch /NII";
        QTest::newRow("REG ends parsing at once") << QStringList{"/REG:1/COMMANDID:13"} << "REG 0/0 language 1";
        QTest::newRow("UNREG") << QStringList{"/UNREG"} << "UNREG 0/0";
        QTest::newRow("S stops before later switches") << QStringList{"/S/FOO/OBJECTNAME:a.b.c.d"} << "S 0/0";
        QTest::newRow("PROG2649") << QStringList{"/prog2649"} << "PROG2649 0/0";
        QTest::newRow("empty line") << QStringList{} << "command 0/0";
        QTest::newRow("separate switch arguments leave no blank in a value")
            << QStringList{"/NI:Internet", "/REMOTE", "/COMMANDID:21"} << "command 21/0 remote NI Internet (Internet)";
        QTest::newRow("object name split at its blanks is joined again")
            << QStringList{"/OBJECTNAME:Demo.Building", "A.CM", "1.Obj", "/CLASSID:28"}
            << "command 0/28 object \"Demo.Building A.CM 1.Obj\"";
        QTest::newRow("value cut at the second colon") << QStringList{"/NI:a:b"} << "command 0/0 NI a (local)";
        QTest::newRow("the Internet only when remote") << QStringList{"/NI:Internet"} << "command 0/0 NI Internet (local)";
        QTest::newRow("remote") << QStringList{"/REMOTE"} << "command 0/0 remote (remote)";
        QTest::newRow("the interface name compares exactly") << QStringList{"/REMOTE/NI:internet"}
                                                             << "command 0/0 remote NI internet (remote)";
        // The program's own options, wherever they stand, are seen beside the switches.
        QTest::newRow("--help") << QStringList{"--help"} << "command 0/0 +help";
        QTest::newRow("-h after a switch") << QStringList{"/COMMANDID:13", "-h"} << "command 13/0 +help";
        QTest::newRow("/?") << QStringList{"/?"} << "command 0/0; unknown switch /? +help";
        QTest::newRow("--version") << QStringList{"--version"} << "command 0/0 +version";
        QTest::newRow("a switch with h") << QStringList{"/h"} << "command 0/0; unknown switch /h";
        QTest::newRow("--help inside an object name")
            << QStringList{"/OBJECTNAME:a.--help.c.d"} << "command 0/0 object \"a.--help.c.d\"";
    }
    void parse()
    {
        QFETCH(QStringList, arguments);
        const QString help = commandline::asksForHelp(arguments) ? QStringLiteral(" +help") : QString();
        const QString version = commandline::asksForVersion(arguments) ? QStringLiteral(" +version") : QString();
        QTEST(summary(commandline::parse(commandline::joinArguments(arguments))) + help + version, "switches");
    }

    void leadingNumber()
    {
        QCOMPARE(commandline::leadingNumber(QStringLiteral("28")), qint64(28));
        QCOMPARE(commandline::leadingNumber(QStringLiteral(" 5")), qint64(0)); // a blank first: no number
        QCOMPARE(commandline::leadingNumber(QStringLiteral("-5")), qint64(0));
        QCOMPARE(commandline::leadingNumber(QStringLiteral("99999999999")), qint64(2147483647)); // saturates
    }
};

QTEST_GUILESS_MAIN(TstCommandLine)
#include "tst_commandline.moc"
