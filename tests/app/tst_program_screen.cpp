// Where the plug-in program shows its window: without a display it says so in one line and
// ends with exit code 1 instead of aborting; TQM_UNATTENDED runs it without a screen. Which
// platform and spelling mean what is tst_unattended's.

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TstProgramScreen : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        const QString bin = qEnvironmentVariable("TQM_BIN_DIR");
        QVERIFY2(!bin.isEmpty(), "TQM_BIN_DIR is not set (run the test through ctest)");
        m_program = bin + QStringLiteral("/tqm-cmdmodule");
    }

    // Environment entries "NAME=value" on top of one without any display.
    void start_data()
    {
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        const QString noDisplay = QStringLiteral("no display: set DISPLAY, or TQM_UNATTENDED=1 for a run without a screen");
        QTest::newRow("no display") << QStringList{} << 1 << noDisplay;
        // Unattended, a command for a network that does not exist is refused with its message.
        QTest::newRow("unattended yes") << QStringList{"TQM_UNATTENDED=yes"} << 1 << QStringLiteral("[critical]");
    }
    void start()
    {
        QFETCH(QStringList, environment);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "TQM_UNATTENDED"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("TQM_HOME"), m_home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("xdg")));
        for (const QString &entry : environment)
            env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(m_program, {QStringLiteral("/COMMANDID:13"), QStringLiteral("/CLASSID:28"),
                                  QStringLiteral("/OBJECTNAME:Missing.Sub.Device.Object")});
        QVERIFY(process.waitForFinished(30000));
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QVERIFY2(err.contains(says), qPrintable(err));
        QCOMPARE(process.exitCode(), exitCode);
        QVERIFY2(!err.contains(QLatin1String("could not connect to display")), qPrintable(err));
    }

private:
    QTemporaryDir m_home;
    QString m_program;
};

QTEST_GUILESS_MAIN(TstProgramScreen)
#include "tst_program_screen.moc"
