// The programs as a user starts them from a shell. In a home that starts empty every program
// answers --help (wherever it stands among the arguments), the plug-in and tqm-netdb --version,
// leaving no file behind: no network, no settings, no log, no pictures (nor does a refusal of
// tqm-screenshots); without a display the plug-in says so in one line and ends with exit code 1
// instead of aborting. On a demo network made with tqm-netdb the plug-in runs unattended with a
// command line, its answers read from standard error and its log file.

#include "support/toolprocess.h"
#include "unprivileged.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

QString demoObject(int device)
{
    return QStringLiteral("Demo.Building A.Floor 1.CM 1\\.0%1.CommandModule").arg(device);
}

} // namespace

class TstProgramStart : public QObject
{
    Q_OBJECT
private slots:
    // The demo network, its second device not answering.
    void initTestCase()
    {
        const ToolRun created = run(QStringLiteral("tqm-netdb"), {"create", "Demo", "--demo"});
        QVERIFY2(created.exitCode == 0, qPrintable(created.err));
        const ToolRun offline = run(QStringLiteral("tqm-netdb"), {"device", "Demo", "CM 1.02", "--offline"});
        QVERIFY2(offline.exitCode == 0, qPrintable(offline.err));
    }

    void start_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments"); // "HOME" stands for the empty home
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says"); // on standard output or standard error
        QTest::addColumn<bool>("traceless");
        for (const char *program : {"tqm-cmdmodule", "tqm-netdb", "tqm-config", "tqm-screenshots", "bench-spread",
                                    "bench-config", "bench-monitor"})
            QTest::newRow(program) << program << QStringList{"--help"} << 0 << "--help" << true;
        QTest::newRow("tqm-cmdmodule, /REG") << "tqm-cmdmodule" << QStringList{"/REG:1000", "-h"} << 0 << "--help"
                                             << true;
        QTest::newRow("tqm-netdb, after a command") << "tqm-netdb" << QStringList{"create", "HOME/n", "--help"} << 0
                                                    << "--help" << true;
        QTest::newRow("tqm-screenshots, after its folder")
            << "tqm-screenshots" << QStringList{"HOME/pictures", "--help"} << 0 << "--help" << true;
        QTest::newRow("tqm-screenshots, unknown template") << "tqm-screenshots" << QStringList{"HOME/p", "TQM_CM_NONE"} << 1
                                                           << "No device template TQM_CM_NONE" << true;
        QTest::newRow("bench-spread, after a count") << "bench-spread" << QStringList{"5", "--help"} << 0 << "--help" << true;
        QTest::newRow("version") << "tqm-cmdmodule" << QStringList{"/COMMANDID:13", "--version"} << 0
                                 << "tqm-cmdmodule 1.0.0\n" << true;
        QTest::newRow("tqm-netdb version") << "tqm-netdb" << QStringList{"--version"} << 0 << "tqm-netdb 1.0.0\n" << true;
        QTest::newRow("tqm-netdb, a command's help") << "tqm-netdb" << QStringList{"cp", "--help"} << 0
                                                     << "--set <RAW>" << true;
        const QStringList missing{"/COMMANDID:13", "/CLASSID:28", "/OBJECTNAME:Missing.Sub.Device.Object"};
        QTest::newRow("no display") << "tqm-cmdmodule" << missing << 1
                                    << "no display: set DISPLAY, or TQM_UNATTENDED=1 for a run without a screen" << false;
    }

    void start()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QTemporaryDir home;
        arguments.replaceInStrings(QStringLiteral("HOME"), home.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"HOME", "TQM_HOME", "TQM_LOG_DIR", "XDG_STATE_HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                 "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
            env.insert(QLatin1String(name), home.path());
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "TQM_UNATTENDED"})
            env.remove(QLatin1String(name));
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(toolPath(program), arguments);
        QVERIFY(process.waitForFinished(30000));
        const QString printed = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QTEST(process.exitCode(), "exitCode");
        QFETCH(QString, says);
        QVERIFY2(printed.contains(says) && !printed.contains(QLatin1String("could not connect to display")), qPrintable(printed));
        QFETCH(bool, traceless);
        QStringList made;
        for (QDirIterator it(home.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
             traceless && it.hasNext();)
            made.append(it.next());
        QCOMPARE(made, QStringList());
    }

    // What a command prints on standard error ("err") and what its standard output matches
    // ("out"): configure lists the parameters read, from the first to the last; a monitor run
    // with no time prints what its fields show once they are filled.
    void commands_data()
    {
        QTest::addColumn<bool>("offline");
        QTest::addColumn<int>("commandId");
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QString>("out");
        QTest::addColumn<int>("exitCode");
        // The box of a device that does not answer, with the real cause on a line of its own (the
        // box's text is tst_pluginhost startsThatFail's, the line format tst_unattended's).
        QTest::newRow("monitor on an offline device") << true << 21 << QStringList{} << "\ncause: Device \"" << "" << 1;
        QTest::newRow("configure") << false << 13 << QStringList{} << "" << "^ButtonMode = .*\nMinDeltaTemp = .*\nTempMode = [^\n]*\n$"
                                   << 0;
        // The window, unattended, says what it is asked.
        QTest::newRow("monitor prints its fields") << false << 21 << QStringList{"TQM_MONITOR_SECONDS=0"}
                                                   << "[window] buildPages 3" << "^\\[field 4\\] 21.0\n\\[field 5\\] " << 0;
    }
    void commands()
    {
        QFETCH(bool, offline);
        QFETCH(int, commandId);
        QFETCH(QStringList, settings);
        QFETCH(QString, err);
        QFETCH(QString, out);
        const ToolRun plugIn = run(QStringLiteral("tqm-cmdmodule"),
                                   {QStringLiteral("/OBJECTNAME:") + demoObject(offline ? 2 : 1),
                                    QStringLiteral("/COMMANDID:%1").arg(commandId), QStringLiteral("/CLASSID:28")},
                                   settings);
        const QRegularExpression printed(out, QRegularExpression::DotMatchesEverythingOption);
        QVERIFY2(plugIn.err.contains(err) && printed.match(plugIn.out).hasMatch(), qPrintable(plugIn.err + plugIn.out));
        QTEST(plugIn.exitCode, "exitCode");
    }

    // Starts that reach no device: what the plug-in prints first on standard error, whether it
    // wrote the activation file, and where its log file must have the printed line too.
    void startsWithoutADevice_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("printed");
        QTest::addColumn<bool>("written");
        QTest::addColumn<bool>("logged");
        // From the build tree a start without a target must not send the desktop's hosts there.
        QTest::newRow("start without a target") << QStringList{} << "[about] " << false << false;
        QTest::newRow("/regserver") << QStringList{"/regserver"} << "" << true << false;
        QTest::newRow("unknown switch") << QStringList{"/COMANDID:13", "/CLASSID:28"}
                                        << "unknown switch /COMANDID (did you mean /COMMANDID?)\n" << false << true;
    }
    void startsWithoutADevice()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, printed);
        QFile::remove(serviceFile());
        const ToolRun plugIn = run(QStringLiteral("tqm-cmdmodule"), arguments);
        QCOMPARE(plugIn.exitCode, 0);
        QVERIFY2(printed.isEmpty() ? plugIn.err.isEmpty() : plugIn.err.startsWith(printed), qPrintable(plugIn.err));
        QFETCH(bool, logged);
        QFile log(m_logs.filePath(QStringLiteral("tqm-cmdmodule.LOG")));
        QVERIFY(!logged || (log.open(QIODevice::ReadOnly) && QString::fromUtf8(log.readAll()).contains(printed.trimmed())));
        QFile service(serviceFile());
        QTEST(service.open(QIODevice::ReadOnly), "written");
        if (!service.isOpen())
            return;
        const QString text = QString::fromUtf8(service.readAll());
        QVERIFY2(text.contains(QStringLiteral("Name=org.velto.veltoTqmCmdModule\n")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Exec=\"%1\" -Embedding").arg(toolPath(QStringLiteral("tqm-cmdmodule")))));
    }

    void registrationSwitchesThatCannotWriteFail()
    {
        // A registered plug-in whose home nobody may write to any more; the log goes elsewhere.
        QTemporaryDir home;
        QProcess process;
        process.setProcessEnvironment(environment(home.path(), m_logs.path()));
        process.start(toolPath(QStringLiteral("tqm-cmdmodule")), {QStringLiteral("/REG:0")});
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitCode(), 0);
        unprivileged::setTree(home.path(), false);
        unprivileged::setTree(m_logs.path(), true);
        for (const QString &option : {QStringLiteral("/REG:1000"), QStringLiteral("/UNREG")}) {
            unprivileged::start(process, toolPath(QStringLiteral("tqm-cmdmodule")), {option});
            QVERIFY(process.waitForFinished(20000));
            const QString err = QString::fromUtf8(process.readAllStandardError());
            QVERIFY2(process.exitCode() == 1, qPrintable(option + QStringLiteral(": ") + err));
            QVERIFY2(err.contains(QStringLiteral("[critical] M_PlugIn.Main: ")), qPrintable(err));
        }
        unprivileged::setTree(home.path(), true);
    }

private:
    // A run on the test's network home, with `settings` ("NAME=value") in its environment.
    ToolRun run(const QString &program, const QStringList &arguments, const QStringList &settings = {})
    {
        return runTool(m_home.path(), program, arguments, [&](QProcess &process, const QString &path, const QStringList &args) {
            QProcessEnvironment env = environment(m_home.path(), m_logs.path());
            env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("xdg")));
            for (const QString &setting : settings)
                env.insert(setting.section(QLatin1Char('='), 0, 0), setting.section(QLatin1Char('='), 1));
            process.setProcessEnvironment(env);
            process.start(path, args);
        });
    }

    // An unattended run on its own object server home, logging into `logs`.
    static QProcessEnvironment environment(const QString &home, const QString &logs)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TQM_HOME"), home);
        env.insert(QStringLiteral("TQM_LOG_DIR"), logs);
        env.insert(QStringLiteral("TQM_UNATTENDED"), QStringLiteral("1"));
        return env;
    }

    QString serviceFile() const
    {
        return m_home.filePath(QStringLiteral("xdg/dbus-1/services/org.velto.veltoTqmCmdModule.service"));
    }

    QTemporaryDir m_home;
    QTemporaryDir m_logs;
};

QTEST_GUILESS_MAIN(TstProgramStart)
#include "tst_programstart.moc"
