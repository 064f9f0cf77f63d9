// A small host tool that drives the plug-in's automation object over the D-Bus session bus:
// the plug-in program runs with "-Embedding" in a sandbox of its own.

#include "host/registrationwriter.h"
#include "lns/embedded/embeddedobjectserver.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Service = dbusactivation::ServiceName;
const QString Path = dbusactivation::ObjectPath;
const QString Interface = dbusactivation::InterfaceName;
const QString Properties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString OnlineObject = QStringLiteral("Demo.Building A.Floor 1.CM 1\\.01.CommandModule");

} // namespace

// The host's registration-result object, set by the plug-in over the bus.
class RegResultObject : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.velto.veltoTqmCmdModule.RegResult")
    Q_PROPERTY(int RegResult READ regResult WRITE setRegResult)
public:
    int regResult() const { return m_value; }
    void setRegResult(int value)
    {
        m_value = value;
        Q_EMIT changed(value);
    }
Q_SIGNALS:
    void changed(int value);

private:
    int m_value = 1;
};

class TstDBusAutomation : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void identityAndReadOnlyError();
    void hostSuppliedLonMarkObjectOpensTheWindow();
    void registrationIntoAProjectReportsThroughRegResult();

private:
    QVariant property(const QString &name);
    QDBusMessage setProperty(const QString &name, const QVariant &value);
    QDBusMessage sendCommand(int commandId, short classId, const QString &objectName);

    QDBusConnection m_bus = QDBusConnection::sessionBus();
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<QProcess> m_plugIn;
};

void TstDBusAutomation::initTestCase()
{
    if (!m_bus.isConnected())
        QFAIL("No D-Bus session bus: run the tests under dbus-run-session (scripts/test does).");
    QVERIFY2(!m_bus.interface()->isServiceRegistered(Service),
             "Another plug-in already serves the automation object on this bus.");
}

void TstDBusAutomation::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    embedded::createDemoNetwork(m_home->path(), QStringLiteral("Demo"), 8);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TQM_HOME"), m_home->path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_home->filePath(QStringLiteral("xdg")));
    env.insert(QStringLiteral("TQM_UNATTENDED"), QStringLiteral("1"));
    m_plugIn = std::make_unique<QProcess>();
    m_plugIn->setProcessEnvironment(env);
    m_plugIn->setProcessChannelMode(QProcess::SeparateChannels);

    QVERIFY2(!m_bus.interface()->isServiceRegistered(Service), "the previous plug-in still holds the service");
    QDBusServiceWatcher watcher(Service, m_bus, QDBusServiceWatcher::WatchForRegistration);
    QSignalSpy registered(&watcher, &QDBusServiceWatcher::serviceRegistered);
    m_plugIn->start(qEnvironmentVariable("TQM_BIN_DIR") + QStringLiteral("/tqm-cmdmodule"),
                    {QStringLiteral("-Embedding")});
    QVERIFY2(m_plugIn->waitForStarted(), qPrintable(m_plugIn->errorString()));
    QVERIFY2(registered.wait(20000), qPrintable(QString::fromUtf8(m_plugIn->readAllStandardError())));
}

void TstDBusAutomation::cleanup()
{
    if (!m_plugIn)
        return;
    QDBusServiceWatcher watcher(Service, m_bus, QDBusServiceWatcher::WatchForUnregistration);
    QSignalSpy gone(&watcher, &QDBusServiceWatcher::serviceUnregistered);
    m_plugIn->terminate();
    m_plugIn->waitForFinished(10000);
    if (m_bus.interface()->isServiceRegistered(Service) && gone.isEmpty())
        gone.wait(10000);
    m_plugIn.reset();
}

QVariant TstDBusAutomation::property(const QString &name)
{
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Properties, QStringLiteral("Get"));
    call << Interface << name;
    const QDBusMessage reply = m_bus.call(call);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return {};
    return reply.arguments().value(0).value<QDBusVariant>().variant();
}

QDBusMessage TstDBusAutomation::setProperty(const QString &name, const QVariant &value)
{
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Properties, QStringLiteral("Set"));
    call << Interface << name << QVariant::fromValue(QDBusVariant(value));
    return m_bus.call(call);
}

QDBusMessage TstDBusAutomation::sendCommand(int commandId, short classId, const QString &objectName)
{
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("SendCommand"));
    call << commandId << QVariant::fromValue(qint16(classId)) << objectName;
    return m_bus.call(call, QDBus::BlockWithGui, 60000);
}

void TstDBusAutomation::identityAndReadOnlyError()
{
    QCOMPARE(property(QStringLiteral("LcaVersion")).toString(), QStringLiteral("2.00"));
    QCOMPARE(property(QStringLiteral("ManufacturerId")).toString(), QStringLiteral("0005D"));
    QCOMPARE(property(QStringLiteral("Version")).toString(), QStringLiteral("1.0"));

    const QDBusMessage refused = setProperty(QStringLiteral("Name"), QStringLiteral("other"));
    QCOMPARE(refused.type(), QDBusMessage::ErrorMessage);
    QCOMPARE(refused.errorName(), QStringLiteral("org.velto.veltoTqmCmdModule.Error.E80044E22"));
    QCOMPARE(refused.errorMessage(), QStringLiteral("0x80044E22 veltoTqmCmdModule.Application: "
                                                    "Write not supported. This property is read-only."));
    QCOMPARE(property(QStringLiteral("Name")).toString(), QStringLiteral("velto otrema tqm command module"));

    QCOMPARE(setProperty(QStringLiteral("NetworkName"), QStringLiteral("Demo")).type(), QDBusMessage::ReplyMessage);
    QCOMPARE(property(QStringLiteral("NetworkName")).toString(), QString());
}

void TstDBusAutomation::hostSuppliedLonMarkObjectOpensTheWindow()
{
    QCOMPARE(setProperty(QStringLiteral("Remote"), false).type(), QDBusMessage::ReplyMessage);
    QCOMPARE(property(QStringLiteral("Remote")).toBool(), false);
    // A device is not a LonMark object: ignored without an error.
    QCOMPARE(setProperty(QStringLiteral("LnsObjectByTool"), QStringLiteral("Demo.Building A.Floor 1.CM 1\\.01")).type(),
             QDBusMessage::ReplyMessage);
    QCOMPARE(property(QStringLiteral("LnsObjectByTool")).toString(), QString());
    QCOMPARE(setProperty(QStringLiteral("LnsObjectByTool"), OnlineObject).type(), QDBusMessage::ReplyMessage);
    QCOMPARE(property(QStringLiteral("LnsObjectByTool")).toString(), OnlineObject);

    const QDBusMessage reply = sendCommand(13, 28, QString());
    QVERIFY2(reply.type() == QDBusMessage::ReplyMessage, qPrintable(reply.errorMessage()));
    QCOMPARE(property(QStringLiteral("Visible")).toBool(), true);
    QVERIFY(setProperty(QStringLiteral("Height"), 6000).type() == QDBusMessage::ReplyMessage);
    QCOMPARE(property(QStringLiteral("Height")).toInt(), 6000);
    const QString printed = QString::fromUtf8(m_plugIn->readAllStandardError());
    QVERIFY2(printed.contains(QStringLiteral("[window] show")), qPrintable(printed));
}

void TstDBusAutomation::registrationIntoAProjectReportsThroughRegResult()
{
    RegResultObject result;
    QVERIFY(m_bus.registerObject(QStringLiteral("/RegResult"), &result, QDBusConnection::ExportAllProperties));
    QSignalSpy changed(&result, &RegResultObject::changed);

    QVERIFY(setProperty(QStringLiteral("ProgramIdsToRegister"), QStringLiteral("90:00:5d:50:28:04:04:01"))
                .type() == QDBusMessage::ReplyMessage);
    QVERIFY(setProperty(QStringLiteral("RegResult"), QVariant::fromValue(QDBusObjectPath(QStringLiteral("/RegResult"))))
                .type() == QDBusMessage::ReplyMessage);
    const QDBusMessage reply = sendCommand(50, 28, OnlineObject);
    QVERIFY2(reply.type() == QDBusMessage::ReplyMessage, qPrintable(reply.errorMessage()));
    QVERIFY(changed.count() > 0 || changed.wait(20000));
    m_bus.unregisterObject(QStringLiteral("/RegResult"));
    QCOMPARE(result.regResult(), 0);

    auto server = embedded::EmbeddedObjectServer::create(m_home->path());
    server->open(lns::ConnectionMode::Local);
    const QList<lns::PlugInCommandRegistration> commands = server->network(QStringLiteral("Demo"))->registeredPlugInCommands();
    QCOMPARE(commands.size(), 3); // the three commands, for the one template asked for
    for (const auto &command : commands) {
        QCOMPARE(command.deviceTemplate, QStringLiteral("TQM_CM_L1"));
        QCOMPARE(command.projectName, QStringLiteral("veltoTqmCmdModule"));
    }
    // No message box: the outcome went to RegResult only.
    QVERIFY(!QString::fromUtf8(m_plugIn->readAllStandardError()).contains(QStringLiteral("[critical]")));
}

QTEST_GUILESS_MAIN(TstDBusAutomation)
#include "tst_dbus_automation.moc"
