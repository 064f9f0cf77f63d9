// Host tools driving the plug-in's automation object over D-Bus: each test has a bus of its own
// whose activation starts the real plug-in program ("-Embedding") in a sandbox.

#include "privatebus.h"

#include "lns/embedded/embeddedobjectserver.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QFile>
#include <QRegularExpression>

namespace {

const QString Path = dbusactivation::ObjectPath;
const QString Interface = dbusactivation::InterfaceName;
const QString Properties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString OnlineObject = QStringLiteral("Demo.Building A.Floor 1.CM 1\\.01.CommandModule");
const QString ErrorPrefix = QStringLiteral("org.velto.veltoTqmCmdModule.Error.");

// The code block after "<!-- host session: NAME -->" in the README.
QString readmeSession(const QString &name)
{
    QFile readme(qEnvironmentVariable("TQM_TEST_SOURCE_DIR") + QStringLiteral("/README.md"));
    const QRegularExpression block(QStringLiteral("<!-- host session: %1 -->\\n```[^\\n]*\\n(.*?\\n)```").arg(name),
                                   QRegularExpression::DotMatchesEverythingOption);
    return readme.open(QIODevice::ReadOnly) ? block.match(QString::fromUtf8(readme.readAll())).captured(1) : QString();
}

} // namespace

// The host's registration-result object, set by the plug-in over the bus.
class RegResultObject : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.velto.veltoTqmCmdModule.RegResult")
    Q_PROPERTY(int RegResult MEMBER value NOTIFY changed)
public:
    int value = 1;
Q_SIGNALS:
    void changed(int value);
};

class TstDBusAutomation : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        embedded::createDemoNetwork(m_home->path(), QStringLiteral("Demo"), 8);
    }

    void cleanup()
    {
        m_bus.reset();
        m_host = QDBusConnection(QString());
        m_home.reset();
    }

    void propertiesAndARefusal()
    {
        startBus();
        const QString xml = call(QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"), {})
                                .arguments().value(0).toString();
        // The members and their types: readmeHostSessions' python3 host sends with those it gives.
        QCOMPARE(xml.count(QStringLiteral("<interface name=\"org.freedesktop.DBus.Properties\">")), 1);

        // Every property answers before anything is set.
        const QDBusMessage getAll = call(Properties, QStringLiteral("GetAll"), {Interface});
        QCOMPARE(qdbus_cast<QVariantMap>(getAll.arguments().value(0)).value("LcaVersion").toString(), "2.00");
        // An object reference that was never set goes out as the empty object.
        QCOMPARE(property(QStringLiteral("RegResult")).value<QDBusObjectPath>().path(), QStringLiteral("/"));

        // A host-supplied object goes by its name; a device is not a LonMark object: ignored
        // without an error. (The whole host session is readmeHostSessions'.)
        const QString device = QStringLiteral("Demo.Building A.Floor 1.CM 1\\.01");
        QCOMPARE(setProperty(QStringLiteral("LnsObjectByTool"), device).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(property(QStringLiteral("LnsObjectByTool")).toString(), QString());
        QCOMPARE(setProperty(QStringLiteral("LnsObjectByTool"), OnlineObject).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(property(QStringLiteral("LnsObjectByTool")).toString(), OnlineObject);

        // Writes refused: a read-only member, with the number and text of its error; a text for a
        // boolean; a member the object does not have. None changes what is read.
        const QDBusMessage readOnly = setProperty(QStringLiteral("Name"), QStringLiteral("other"));
        QCOMPARE(readOnly.errorName(), ErrorPrefix + "E80044E22");
        QCOMPARE(readOnly.errorMessage(), QStringLiteral("0x80044E22 veltoTqmCmdModule.Application: "
                                                         "Write not supported. This property is read-only."));
        QCOMPARE(property(QStringLiteral("Name")).toString(), QStringLiteral("velto otrema tqm command module"));
        QCOMPARE(setProperty(QStringLiteral("Remote"), QStringLiteral("no")).errorName(),
                 "org.freedesktop.DBus.Error.InvalidArgs");
        QCOMPARE(property(QStringLiteral("Remote")), QVariant(false));
        QCOMPARE(setProperty(QStringLiteral("Colour"), 1).errorName(), "org.freedesktop.DBus.Error.UnknownProperty");
        QVERIFY(!property(QStringLiteral("Colour")).isValid());

        // A refusal's name and text on the bus (every refusal's name: tst_automationlifetime; a
        // monitor command on a silent device: tst_programstart commands).
        const QDBusMessage refused = sendCommand(99, 28, OnlineObject);
        QCOMPARE(refused.errorName(), ErrorPrefix + "UnknownCommand");
        QCOMPARE(refused.errorMessage(), "The transmitted CommandId (99) is not\nsupported for  ClassId 28 !");
        // The refusal ended the plug-in: a further command says so.
        QCOMPARE(sendCommand(13, 28, OnlineObject).errorName(), ErrorPrefix + "Ended");
    }

    void registrationIntoAProjectReportsThroughRegResult()
    {
        startBus();
        RegResultObject result;
        QVERIFY(m_host.registerObject(QStringLiteral("/RegResult"), &result, QDBusConnection::ExportAllProperties));
        QSignalSpy changed(&result, &RegResultObject::changed);

        QCOMPARE(setProperty("ProgramIdsToRegister", QStringLiteral("90:00:5d:50:28:04:04:01")).errorName(), QString());
        QCOMPARE(setProperty("RegResult", QVariant::fromValue(QDBusObjectPath("/RegResult"))).errorName(), QString());
        QCOMPARE(sendCommand(50, 28, OnlineObject).errorMessage(), QString());
        QVERIFY(changed.count() > 0 || changed.wait(20000));
        m_host.unregisterObject(QStringLiteral("/RegResult"));
        QCOMPARE(result.value, 0);

        auto server = embedded::EmbeddedObjectServer::create(m_home->path());
        server->open(lns::ConnectionMode::Local);
        // The property reached the plug-in: three commands for the one template.
        QCOMPARE(server->network(QStringLiteral("Demo"))->registeredPlugInCommands().size(), 3);
    }

    void aSecondInstanceNamesTheFirst()
    {
        startBus();
        QCOMPARE(property(QStringLiteral("LcaVersion")).toString(), QStringLiteral("2.00")); // activates the first
        const uint first = m_bus->plugInProcess();
        QVERIFY(first != 0);

        QProcess second;
        QProcessEnvironment env = plugInEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus->address());
        second.setProcessEnvironment(env);
        second.start(qEnvironmentVariable("TQM_BIN_DIR") + QStringLiteral("/tqm-cmdmodule"), {QStringLiteral("-Embedding")});
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitCode(), 2);
        const QString printed = QString::fromUtf8(second.readAllStandardError());
        QVERIFY2(printed.contains(QStringLiteral("another instance already serves org.velto.veltoTqmCmdModule")), qPrintable(printed));
        QVERIFY2(printed.contains(QStringLiteral("process %1").arg(first)), qPrintable(printed));
        QCOMPARE(m_bus->plugInProcess(), first);
    }

    void idleTimeEndsTheInstance_data()
    {
        QTest::addColumn<bool>("reader");
        QTest::newRow("activated, no host came") << false;
        QTest::newRow("a one-shot reader left") << true;
    }
    void idleTimeEndsTheInstance()
    {
        QFETCH(bool, reader);
        startBus(QStringLiteral("0.2"));
        if (reader) {
            QDBusConnection oneShot = m_bus->connect(QStringLiteral("reader"));
            QDBusMessage get = QDBusMessage::createMethodCall(PrivateBus::Service, Path, Properties, QStringLiteral("Get"));
            get << Interface << QStringLiteral("Version");
            QCOMPARE(oneShot.call(get, QDBus::Block, 60000).type(), QDBusMessage::ReplyMessage);
            m_bus->disconnect(QStringLiteral("reader"));
        } else {
            // Activation alone, as the desktop does when a host asks for the name.
            const QDBusReply<void> started = m_host.interface()->startService(PrivateBus::Service);
            QVERIFY2(started.isValid(), qPrintable(started.error().message()));
        }
        QVERIFY2(m_bus->waitForPlugInToEnd(20000), "the plug-in is still running");
    }

    void readmeHostSessions_data()
    {
        QTest::addColumn<QString>("session");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("visible");
        // Each gdbus call is a host of its own: the state must outlast the gap between two calls.
        QTest::newRow("gdbus") << "gdbus" << "bash" << QStringList{"-euo", "pipefail", "-c"} << "(<true>,)";
        // Debian's python3 with python3-dbus (scripts/install-deps installs it).
        QTest::newRow("python3") << "python3" << "/usr/bin/python3" << QStringList{"-c"} << "window visible: True";
    }
    void readmeHostSessions()
    {
        QFETCH(QString, session);
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(QString, visible);
        const QString script = readmeSession(session);
        QVERIFY2(!script.isEmpty(), "the README has no such host session");
        startBus();
        QProcess host;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus->address());
        host.setProcessEnvironment(env);
        host.start(program, arguments << script);
        QVERIFY2(host.waitForFinished(60000), qPrintable(host.errorString()));
        const QString out = QString::fromUtf8(host.readAllStandardOutput());
        const QString err = QString::fromUtf8(host.readAllStandardError());
        QVERIFY2(host.exitStatus() == QProcess::NormalExit && host.exitCode() == 0 && out.contains(visible),
                 qPrintable(out + err));
    }

private:
    // An unattended plug-in on the test's home, logging there.
    QProcessEnvironment plugInEnvironment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TQM_HOME"), m_home->path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_home->filePath(QStringLiteral("xdg")));
        env.insert(QStringLiteral("TQM_LOG_DIR"), m_home->path());
        env.insert(QStringLiteral("TQM_UNATTENDED"), QStringLiteral("1"));
        return env;
    }

    void startBus(const QString &idleSeconds = QStringLiteral("60"))
    {
        QProcessEnvironment env = plugInEnvironment();
        env.insert(QStringLiteral("TQM_AUTOMATION_IDLE_SECONDS"), idleSeconds);
        m_bus = std::make_unique<PrivateBus>(env);
        QVERIFY2(m_bus->started(), qPrintable(m_bus->error()));
        m_host = m_bus->connect(QStringLiteral("host"));
        QVERIFY(m_host.isConnected());
    }

    QDBusMessage call(const QString &interface, const QString &member, const QVariantList &arguments)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(PrivateBus::Service, Path, interface, member);
        message.setArguments(arguments);
        return m_host.call(message, QDBus::Block, 60000);
    }

    QVariant property(const QString &name)
    {
        const QDBusMessage reply = call(Properties, QStringLiteral("Get"), {Interface, name});
        return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0).value<QDBusVariant>().variant()
                                                          : QVariant();
    }

    QDBusMessage setProperty(const QString &name, const QVariant &value)
    {
        return call(Properties, QStringLiteral("Set"), {Interface, name, QVariant::fromValue(QDBusVariant(value))});
    }

    QDBusMessage sendCommand(int commandId, short classId, const QString &objectName)
    {
        return call(Interface, QStringLiteral("SendCommand"), {commandId, QVariant::fromValue(qint16(classId)), objectName});
    }

    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<PrivateBus> m_bus;
    QDBusConnection m_host{QString()};
};

QTEST_GUILESS_MAIN(TstDBusAutomation)
#include "tst_dbus_automation.moc"
