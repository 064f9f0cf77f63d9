// Every program answers --help, wherever it stands among the arguments, and leaves no trace:
// no network, no settings, no log, no pictures, in a home that starts empty.

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TstProgramHelp : public QObject
{
    Q_OBJECT
private slots:
    void helpHasNoSideEffect_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments"); // "HOME" stands for the empty home
        const QStringList programs{"tqm-cmdmodule", "tqm-netdb",   "tqm-config",   "tqm-screenshots",
                                   "bench-spread",  "bench-config", "bench-monitor"};
        for (const QString &program : programs)
            QTest::newRow(qPrintable(program)) << program << QStringList{"--help"};
        QTest::newRow("tqm-cmdmodule, after a command") << "tqm-cmdmodule" << QStringList{"/COMMANDID:13", "--help"};
        QTest::newRow("tqm-cmdmodule, /REG") << "tqm-cmdmodule" << QStringList{"/REG:1000", "-h"};
        QTest::newRow("tqm-netdb, after a command") << "tqm-netdb" << QStringList{"create", "HOME/n", "--help"};
        QTest::newRow("tqm-config, after a command") << "tqm-config" << QStringList{"show", "--help"};
        QTest::newRow("tqm-screenshots, after its folder") << "tqm-screenshots" << QStringList{"HOME/pictures", "--help"};
        QTest::newRow("bench-spread, after a count") << "bench-spread" << QStringList{"5", "--help"};
    }

    void helpHasNoSideEffect()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QTemporaryDir home;
        arguments.replaceInStrings(QStringLiteral("HOME"), home.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"HOME", "TQM_HOME", "TQM_LOG_DIR", "XDG_STATE_HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                 "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
            env.insert(QLatin1String(name), home.path());
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("DISPLAY"));
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(qEnvironmentVariable("TQM_BIN_DIR") + QLatin1Char('/') + program, arguments);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
        QVERIFY(process.readAllStandardOutput().contains("--help"));
        QStringList made;
        for (QDirIterator it(home.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
             it.hasNext();)
            made.append(it.next());
        QCOMPARE(made, QStringList());
    }
};

QTEST_GUILESS_MAIN(TstProgramHelp)
#include "tst_programhelp.moc"
