// The programs as a user tries them from a shell: a demo network made with tqm-netdb, the
// plug-in started unattended with a command line, its answers read from standard error and
// its log file.

#include "support/toolprocess.h"
#include "unprivileged.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class TstProgramUnattended : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_bin = qEnvironmentVariable("TQM_BIN_DIR");
        QVERIFY2(!m_bin.isEmpty(), "TQM_BIN_DIR is not set (run the test through ctest)");
        const ToolRun created = run(QStringLiteral("tqm-netdb"), {"create", "Demo", "--demo"});
        QVERIFY2(created.exitCode == 0, qPrintable(created.err));
        const ToolRun listed = run(QStringLiteral("tqm-netdb"), {"list", "Demo"});
        QVERIFY2(listed.exitCode == 0, qPrintable(listed.err));
        // Header line, then one line per device; the object name is the last column.
        const QStringList lines = listed.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(lines.size() >= 3);
        m_onlineObject = lines[1].section(QLatin1Char('\t'), -1);
        m_offlineObject = lines[2].section(QLatin1Char('\t'), -1);
        const QString offlineDevice = lines[2].section(QLatin1Char('\t'), 1, 1);
        const ToolRun offline = run(QStringLiteral("tqm-netdb"), {"device", "Demo", offlineDevice, "--offline"});
        QVERIFY2(offline.exitCode == 0, qPrintable(offline.err));
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
        // box's text is tst_pluginhost commandsOnAnOfflineDevice's, the line format tst_unattended's).
        QTest::newRow("monitor on an offline device") << true << 21 << QStringList{} << "\ncause: Device \"" << "" << 1;
        QTest::newRow("calibrate on an online device") << false << 14 << QStringList{} << "[window] buildPages 2" << "" << 0;
        QTest::newRow("configure") << false << 13 << QStringList{} << "" << "^ButtonMode = .*\nMinDeltaTemp = .*\nTempMode = [^\n]*\n$"
                                   << 0;
        QTest::newRow("monitor prints its fields") << false << 21 << QStringList{"TQM_MONITOR_SECONDS=0"} << ""
                                                   << "^\\[field 4\\] 21.0\n\\[field 5\\] " << 0;
    }
    void commands()
    {
        QFETCH(bool, offline);
        QFETCH(int, commandId);
        QFETCH(QStringList, settings);
        QFETCH(QString, err);
        QFETCH(QString, out);
        const ToolRun plugIn = run(QStringLiteral("tqm-cmdmodule"),
                                   {QStringLiteral("/OBJECTNAME:") + (offline ? m_offlineObject : m_onlineObject),
                                    QStringLiteral("/COMMANDID:%1").arg(commandId), QStringLiteral("/CLASSID:28")},
                                   settings);
        const QRegularExpression printed(out, QRegularExpression::DotMatchesEverythingOption);
        QVERIFY2(plugIn.err.contains(err) && printed.match(plugIn.out).hasMatch(), qPrintable(plugIn.err + plugIn.out));
        QTEST(plugIn.exitCode, "exitCode");
    }

    void activationFileOnlyWhenAsked_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("printed");
        QTest::addColumn<bool>("written");
        // From the build tree a start without a target must not send the desktop's hosts there.
        QTest::newRow("start without a target") << QStringList{} << "[about] " << false;
        QTest::newRow("/regserver") << QStringList{"/regserver"} << "" << true;
    }
    void activationFileOnlyWhenAsked()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, printed);
        QFile::remove(serviceFile());
        const ToolRun plugIn = run(QStringLiteral("tqm-cmdmodule"), arguments);
        QCOMPARE(plugIn.exitCode, 0);
        QVERIFY2(printed.isEmpty() ? plugIn.err.isEmpty() : plugIn.err.startsWith(printed), qPrintable(plugIn.err));
        QFile service(serviceFile());
        QTEST(service.open(QIODevice::ReadOnly), "written");
        if (!service.isOpen())
            return;
        const QString text = QString::fromUtf8(service.readAll());
        QVERIFY2(text.contains(QStringLiteral("Name=org.velto.veltoTqmCmdModule\n")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Exec=\"%1/tqm-cmdmodule\" -Embedding").arg(m_bin)));
    }

    void unknownSwitchIsNamed()
    {
        const ToolRun plugIn = run(QStringLiteral("tqm-cmdmodule"), {QStringLiteral("/COMANDID:13"), QStringLiteral("/CLASSID:28")});
        QCOMPARE(plugIn.exitCode, 0);
        const QString notice = QStringLiteral("unknown switch /COMANDID (did you mean /COMMANDID?)");
        QVERIFY2(plugIn.err.startsWith(notice + QLatin1Char('\n')), qPrintable(plugIn.err));
        QFile log(m_logs.filePath(QStringLiteral("tqm-cmdmodule.LOG")));
        QVERIFY(log.open(QIODevice::ReadOnly) && QString::fromUtf8(log.readAll()).contains(notice));
    }

    void registrationSwitchesThatCannotWriteFail()
    {
        // A registered plug-in whose home nobody may write to any more; the log goes elsewhere.
        QTemporaryDir home;
        QProcess process;
        process.setProcessEnvironment(environment(home.path(), m_logs.path()));
        process.start(m_bin + QStringLiteral("/tqm-cmdmodule"), {QStringLiteral("/REG:0")});
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitCode(), 0);
        unprivileged::setTree(home.path(), false);
        unprivileged::setTree(m_logs.path(), true);
        for (const QString &option : {QStringLiteral("/REG:1000"), QStringLiteral("/UNREG")}) {
            unprivileged::start(process, m_bin + QStringLiteral("/tqm-cmdmodule"), {option});
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
    QString m_bin;
    QString m_onlineObject;
    QString m_offlineObject;
};

QTEST_GUILESS_MAIN(TstProgramUnattended)
#include "tst_program_unattended.moc"
