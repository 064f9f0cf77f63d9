// The programs as a user tries them from a shell: a demo network made with tqm-netdb, the
// plug-in started unattended with a command line, its answers read from standard error and
// its log file.

#include "strings/resstrings.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TstProgramUnattended : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void commands_data();
    void commands();
    void configureListsTheParametersRead();
    void withoutObjectNameInstallsTheAutomationService();

private:
    struct Run
    {
        int exitCode = -1;
        QString out;
        QString err;
    };
    Run run(const QString &program, const QStringList &arguments);
    QString logTail(qint64 from) const;
    qint64 logSize() const;

    QTemporaryDir m_home;
    QString m_bin;
    QString m_onlineObject;
    QString m_offlineObject;
};

TstProgramUnattended::Run TstProgramUnattended::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TQM_HOME"), m_home.path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("xdg")));
    env.insert(QStringLiteral("TQM_UNATTENDED"), QStringLiteral("1"));
    process.setProcessEnvironment(env);
    process.start(m_bin + QLatin1Char('/') + program, arguments);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

qint64 TstProgramUnattended::logSize() const
{
    return QFile(m_bin + QStringLiteral("/tqm-cmdmodule.LOG")).size();
}

QString TstProgramUnattended::logTail(qint64 from) const
{
    QFile file(m_bin + QStringLiteral("/tqm-cmdmodule.LOG"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    file.seek(from);
    return QString::fromUtf8(file.readAll());
}

void TstProgramUnattended::initTestCase()
{
    m_bin = qEnvironmentVariable("TQM_BIN_DIR");
    QVERIFY2(!m_bin.isEmpty(), "TQM_BIN_DIR is not set (run the test through ctest)");
    const Run created = run(QStringLiteral("tqm-netdb"), {"create", "Demo", "--demo"});
    QVERIFY2(created.exitCode == 0, qPrintable(created.err));
    const Run listed = run(QStringLiteral("tqm-netdb"), {"list", "Demo"});
    QVERIFY2(listed.exitCode == 0, qPrintable(listed.err));
    // Header line, then one line per device; the object name is the last column.
    const QStringList lines = listed.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(lines.size() >= 3);
    m_onlineObject = lines[1].section(QLatin1Char('\t'), -1);
    m_offlineObject = lines[2].section(QLatin1Char('\t'), -1);
    const QString offlineDevice = lines[2].section(QLatin1Char('\t'), 1, 1);
    const Run offline = run(QStringLiteral("tqm-netdb"), {"device", "Demo", offlineDevice, "--offline"});
    QVERIFY2(offline.exitCode == 0, qPrintable(offline.err));
}

void TstProgramUnattended::commands_data()
{
    QTest::addColumn<bool>("offline");
    QTest::addColumn<int>("commandId");
    QTest::addColumn<QString>("printed");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("unknown command is refused")
        << false << 99 << "[exclamation] velto otrema tqm command module: The transmitted CommandId (99) is not\\nsupported for  ClassId 28 !" << 1;
    QTest::newRow("monitor on an offline device")
        << true << 21 << QStringLiteral("] CM ") << 1;
    QTest::newRow("configure opens on an offline device") << true << 13 << "[window] show" << 0;
    QTest::newRow("calibrate on an online device") << false << 14 << "[window] buildPages 2" << 0;
}

void TstProgramUnattended::commands()
{
    QFETCH(bool, offline);
    QFETCH(int, commandId);
    QFETCH(QString, printed);
    const qint64 before = logSize();
    const Run plugIn = run(QStringLiteral("tqm-cmdmodule"),
                           {QStringLiteral("/OBJECTNAME:") + (offline ? m_offlineObject : m_onlineObject),
                            QStringLiteral("/COMMANDID:%1").arg(commandId), QStringLiteral("/CLASSID:28")});
    QVERIFY2(plugIn.err.contains(printed), qPrintable(plugIn.err));
    QTEST(plugIn.exitCode, "exitCode");
    if (commandId == 21) {
        setLanguage(0);
        QString notAccessible = GetResString(1491);
        notAccessible.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
        QVERIFY2(plugIn.err.contains(QStringLiteral("[exclamation] ")), qPrintable(plugIn.err));
        QVERIFY2(plugIn.err.contains(notAccessible), qPrintable(plugIn.err));
        // The fixed text is followed by the real cause on a line of its own.
        QVERIFY2(plugIn.err.contains(notAccessible + QStringLiteral("\ncause: Device \"")), qPrintable(plugIn.err));
        QVERIFY2(plugIn.err.contains(QStringLiteral("does not respond.")), qPrintable(plugIn.err));
    }
    const QString log = logTail(before);
    QVERIFY2(log.contains(QStringLiteral("[M_PlugIn] Public Sub Main()")), qPrintable(log));
    QVERIFY(log.contains(QStringLiteral("[M_PlugIn] Public Sub ValidateCommand()")));
    QVERIFY(log.contains(QStringLiteral("[M_LcaPlugIn] Public Sub EndApp()")));
}

void TstProgramUnattended::configureListsTheParametersRead()
{
    const Run plugIn = run(QStringLiteral("tqm-cmdmodule"), {QStringLiteral("/COMMANDID:13"), QStringLiteral("/CLASSID:28"),
                                                            QStringLiteral("/OBJECTNAME:") + m_onlineObject});
    QCOMPARE(plugIn.exitCode, 0);
    const QStringList lines = plugIn.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY2(lines.size() >= 4, qPrintable(plugIn.out));
    QVERIFY2(lines.first().startsWith(QStringLiteral("ButtonMode")), qPrintable(plugIn.out));
    QVERIFY2(lines.last().startsWith(QStringLiteral("TempMode = ")), qPrintable(plugIn.out));
    QVERIFY2(plugIn.out.contains(QStringLiteral("MinDeltaTemp = ")), qPrintable(plugIn.out));
}

void TstProgramUnattended::withoutObjectNameInstallsTheAutomationService()
{
    const Run plugIn = run(QStringLiteral("tqm-cmdmodule"), {});
    QCOMPARE(plugIn.exitCode, 0);
    QVERIFY2(plugIn.err.startsWith(QStringLiteral("[about] ")), qPrintable(plugIn.err));
    QFile service(m_home.filePath(QStringLiteral("xdg/dbus-1/services/org.velto.veltoTqmCmdModule.service")));
    QVERIFY(service.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(service.readAll());
    QVERIFY2(text.contains(QStringLiteral("Name=org.velto.veltoTqmCmdModule\n")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("tqm-cmdmodule\" -Embedding")));
    QVERIFY(QFile::exists(m_home.filePath(QStringLiteral("plugins/veltoTqmCmdModule.ini"))));
}

QTEST_GUILESS_MAIN(TstProgramUnattended)
#include "tst_program_unattended.moc"
