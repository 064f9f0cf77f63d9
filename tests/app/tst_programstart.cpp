// The programs as started from a shell, in a home that starts empty. Every program answers
// --help (wherever it stands among the arguments), the plug-in and tqm-netdb --version, leaving no trace:
// no network, no settings, no log, no pictures. Without a display the plug-in says so in one
// line and ends with exit code 1 instead of aborting; TQM_UNATTENDED runs it without a screen.
// (Which platform and spelling mean what is tst_unattended's.)

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TstProgramStart : public QObject
{
    Q_OBJECT
private slots:
    void start_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments"); // "HOME" stands for the empty home
        QTest::addColumn<QString>("unattended");    // TQM_UNATTENDED, unset when empty
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says"); // on standard output or standard error
        QTest::addColumn<bool>("traceless");
        for (const char *program : {"tqm-cmdmodule", "tqm-netdb", "tqm-config", "tqm-screenshots", "bench-spread",
                                    "bench-config", "bench-monitor"})
            QTest::newRow(program) << program << QStringList{"--help"} << "" << 0 << "--help" << true;
        QTest::newRow("tqm-cmdmodule, after a command") << "tqm-cmdmodule" << QStringList{"/COMMANDID:13", "--help"} << ""
                                                        << 0 << "--help" << true;
        QTest::newRow("tqm-cmdmodule, /REG") << "tqm-cmdmodule" << QStringList{"/REG:1000", "-h"} << "" << 0 << "--help" << true;
        QTest::newRow("tqm-netdb, after a command") << "tqm-netdb" << QStringList{"create", "HOME/n", "--help"} << "" << 0
                                                    << "--help" << true;
        QTest::newRow("tqm-screenshots, after its folder") << "tqm-screenshots" << QStringList{"HOME/pictures", "--help"} << ""
                                                           << 0 << "--help" << true;
        QTest::newRow("bench-spread, after a count") << "bench-spread" << QStringList{"5", "--help"} << "" << 0 << "--help" << true;
        QTest::newRow("version") << "tqm-cmdmodule" << QStringList{"/COMMANDID:13", "--version"} << "" << 0
                                 << "tqm-cmdmodule 1.0.0\n" << true;
        QTest::newRow("tqm-netdb version") << "tqm-netdb" << QStringList{"--version"} << "" << 0 << "tqm-netdb 1.0.0\n"
                                           << true;
        QTest::newRow("tqm-netdb, a command's help") << "tqm-netdb" << QStringList{"cp", "--help"} << "" << 0
                                                     << "--set <RAW>" << true;
        const QStringList missing{"/COMMANDID:13", "/CLASSID:28", "/OBJECTNAME:Missing.Sub.Device.Object"};
        QTest::newRow("no display") << "tqm-cmdmodule" << missing << "" << 1
                                    << "no display: set DISPLAY, or TQM_UNATTENDED=1 for a run without a screen" << false;
        // Unattended, a command for a network that does not exist is refused with its message.
        QTest::newRow("unattended yes") << "tqm-cmdmodule" << missing << "yes" << 1 << "[critical]" << false;
    }

    void start()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(QString, unattended);
        QTemporaryDir home;
        arguments.replaceInStrings(QStringLiteral("HOME"), home.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"HOME", "TQM_HOME", "TQM_LOG_DIR", "XDG_STATE_HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                 "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
            env.insert(QLatin1String(name), home.path());
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "TQM_UNATTENDED"})
            env.remove(QLatin1String(name));
        if (!unattended.isEmpty())
            env.insert(QStringLiteral("TQM_UNATTENDED"), unattended);
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(qEnvironmentVariable("TQM_BIN_DIR") + QLatin1Char('/') + program, arguments);
        QVERIFY(process.waitForFinished(30000));
        const QString printed = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QTEST(process.exitCode(), "exitCode");
        QFETCH(QString, says);
        QVERIFY2(printed.contains(says) && !printed.contains(QLatin1String("could not connect to display")), qPrintable(printed));
        QFETCH(bool, traceless);
        QStringList made;
        for (QDirIterator it(home.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
             traceless && it.hasNext();)
            made.append(it.next());
        QCOMPARE(made, QStringList());
    }
};

QTEST_GUILESS_MAIN(TstProgramStart)
#include "tst_programstart.moc"
