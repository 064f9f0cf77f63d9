#include "lns/deviceversionutility.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/inifile.h"
#include "lns/lnssession.h"

#include <QtTest>

// The session, the device look-up and the device's version against the embedded object server
// and its demo network.
class TestLnsSession : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    IniFile m_ini;
    IniFile m_otherIni; // serves none of the demo network's templates

    ObjectServerProvider provider()
    {
        return [this] { return embedded::EmbeddedObjectServer::create(m_home.path()); };
    }

    std::shared_ptr<lns::AppDevices> openDevices(LnsSession &session, const QString &path)
    {
        const auto server = session.OpenServer(provider(), lns::ConnectionMode::Local);
        const auto network = session.OpenNetwork(server.networks, "Demo", false);
        return session.OpenSubsystem(network.subsystems, path).appDevices;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        embedded::createDemoNetwork(m_home.path(), "Demo", 12);
        m_ini.setFileName(qEnvironmentVariable("TQM_TEST_SOURCE_DIR") + "/resources/TqmCmdModule.ini");
        QCOMPARE(m_ini.problems(), QStringList());
        QFile file(m_home.filePath("other.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[velto TqmCommandModule Templates 1.0]\nTemplate1 = OTHER,90:00:5D:00:00:00:00:01\n");
        file.close();
        m_otherIni.setFileName(file.fileName());
    }

    void openChainAndCloseAll()
    {
        LnsSession session;
        auto server = session.OpenServer(provider(), lns::ConnectionMode::Local);
        QVERIFY(server.success);
        const lns::ObjectServerPtr objectServer = server.objectServer;
        QVERIFY(objectServer->isOpen());
        auto network = session.OpenNetwork(server.networks, "Demo", true);
        QVERIFY2(network.success, qPrintable(session.lastError()));
        auto subsystem = session.OpenSubsystem(network.subsystems, "Building A/Floor 1");
        QVERIFY2(subsystem.success, qPrintable(session.lastError())); // what it holds: findDevice

        lns::AppDevicePtr appDevice = subsystem.appDevices->item(1);
        auto lonMarkObjects = appDevice->lonMarkObjects();
        lns::LonMarkObjectPtr lonMarkObject = lonMarkObjects->item(1);
        session.CloseAll({server.objectServer, server.networks, network.network, network.systems, network.system,
                          network.subsystems, subsystem.subsystem, subsystem.appDevices, appDevice, lonMarkObjects,
                          lonMarkObject});
        QVERIFY(!objectServer->isOpen());
        QVERIFY(!server.objectServer && !server.networks && !network.network && !network.systems && !network.system
                && !network.subsystems && !subsystem.subsystem && !subsystem.appDevices && !appDevice && !lonMarkObjects
                && !lonMarkObject);
    }

    void failuresAnswerFalse()
    {
        LnsSession session;
        QVERIFY(!session.OpenServer({}, lns::ConnectionMode::Local).success);
        QVERIFY(!session.OpenServer([] { return lns::ObjectServerPtr(); }, lns::ConnectionMode::Local).success);
        QVERIFY(!session.lastError().isEmpty());

        const auto server = session.OpenServer(provider(), lns::ConnectionMode::Local);
        QVERIFY(session.lastError().isEmpty());
        QVERIFY(!session.OpenNetwork(server.networks, "No Such Network", false).success);
        QVERIFY(session.lastError().contains("No Such Network"));
        QVERIFY(!session.OpenNetwork(nullptr, "Demo", false).success);

        const auto network = session.OpenNetwork(server.networks, "Demo", false);
        QVERIFY(!session.OpenSubsystem(network.subsystems, "Building A/Floor 9").success);
        QVERIFY(!session.OpenSubsystem(network.subsystems, "Building A//Floor 1").success);
        QVERIFY(!session.OpenSubsystem(network.subsystems, "").success);
        QVERIFY(!session.OpenSubsystem(nullptr, "Building A").success);
        QVERIFY(session.OpenSubsystem(network.subsystems, QStringList{"Building A"}).success);
    }

    void findDevice_data()
    {
        QTest::addColumn<QString>("path"); // "other": Floor 1 through m_otherIni; "": no devices at all
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("lonMarkObject");
        QTest::addColumn<bool>("found");
        QTest::newRow("device and object") << "Building A/Floor 1" << "CM 1.01" << "CommandModule" << true;
        QTest::newRow("node object") << "Building A/Floor 1" << "CM 1.02" << "NodeObject" << true;
        QTest::newRow("no such object") << "Building A/Floor 1" << "CM 1.01" << "Nothing" << false;
        QTest::newRow("no such device") << "Building A/Floor 1" << "CM 9.99" << "CommandModule" << false;
        QTest::newRow("device of another subsystem") << "Building A/Floor 2" << "CM 1.01" << "CommandModule" << false;
        QTest::newRow("template the INI file does not list") << "other" << "CM 1.01" << "CommandModule" << false;
        QTest::newRow("no devices") << "" << "CM 1.01" << "CommandModule" << false;
    }
    void findDevice()
    {
        QFETCH(QString, path);
        QFETCH(QString, device);
        QFETCH(QString, lonMarkObject);
        QFETCH(bool, found);
        LnsSession session;
        const IniFile &ini = path == "other" ? m_otherIni : m_ini;
        const auto devices = path.isEmpty() ? nullptr : openDevices(session, path == "other" ? "Building A/Floor 1" : path);
        const IniFile::FoundDevice result = ini.FindDevice(devices, device, lonMarkObject);
        QCOMPARE(result.success, found);
        if (found) {
            QCOMPARE(result.appDevice->name(), device);
            QCOMPARE(result.lonMarkObject->name(), lonMarkObject);
            QCOMPARE(result.lonMarkObjects->item(lonMarkObject)->name(), lonMarkObject);
        }
    }

    // Last: it takes a device offline.
    void applicationVersionOrZero()
    {
        const auto server = embedded::EmbeddedObjectServer::create(m_home.path());
        server->open(lns::ConnectionMode::Local);
        const lns::AppDevicePtr device = server->appDevice("Demo.Building A.Floor 1.CM 1\\.01");
        embedded::EmbeddedObjectServer::setApplicationVersion(device, 2.1);
        QCOMPARE(DeviceVersionUtility::ApplicationVersion(device), 2.1f);
        embedded::EmbeddedObjectServer::setDeviceOnline(device, false);
        QCOMPARE(DeviceVersionUtility::ApplicationVersion(device), 0.0f);
        QCOMPARE(DeviceVersionUtility::ApplicationVersion(nullptr), 0.0f);
    }
};

QTEST_GUILESS_MAIN(TestLnsSession)
#include "tst_lnssession.moc"
