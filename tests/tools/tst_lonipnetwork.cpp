// The demo network with three of its command modules reached over LON/IP, as tqm-devicesim
// plays them on loopback (two CPs in configuration NVs, the others in CP files), through a tool
// node whose subnet/node is not its IP address's: discovered and commissioned with tqm-netdb (one
// moved to another subnet/node), configured with tqm-config byte for byte as on the simulated
// link, one taken down during a write, monitored by poll and by binding. Two further devices
// are spoken to directly by a node of the test's own: what only the wire shows.

#include "lns/embedded/embeddedobjectserver.h"
#include "lns/timer.h"
#include "lonip/nmclient.h"
#include "lonip/port.h"
#include "params/cpaccess.h"
#include "strings/resstrings.h"
#include "support/toolprocess.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

namespace {

// TQM_CM_L4 devices of the demo network: three reached over LON/IP, one left simulated.
const QStringList Linked{"CM 1.04", "CM 2.02", "CM 2.08"};
const QStringList LinkedObjects{"Demo.Building A.Floor 1.CM 1\\.04.CommandModule",
                                "Demo.Building A.Floor 2.CM 2\\.02.CommandModule",
                                "Demo.Building A.Floor 2.CM 2\\.08.CommandModule"};
const QString Simulated = QStringLiteral("Demo.Building B.Floor 1.CM 3\\.06.CommandModule");

// The devices the test's own node (127.0.42.100) speaks to, outside any network database.
const lonip::IpAddress Bare(QStringLiteral("127.0.42.1"));
const lonip::DomainId Loopback = QByteArray::fromHex("7F0000");

} // namespace

class TestLonIpNetwork : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;
    DeviceSimProcess m_sim;
    DeviceSimProcess m_bareSim;
    std::unique_ptr<lonip::UdpPort> m_port;
    std::unique_ptr<lonip::Endpoint> m_endpoint;
    std::unique_ptr<lonip::NetworkClient> m_client;

    ToolRun run(const QString &program, const QStringList &args)
    {
        ToolRun result = runTool(m_home.path(), program, args);
        result.out += result.err;
        return result;
    }
    // Every CP of the command module, in RAW text, through the network database.
    QStringList cpBytes(const QString &objectName)
    {
        auto server = embedded::EmbeddedObjectServer::create(m_home.path());
        server->open(lns::ConnectionMode::Local);
        auto lmo = std::dynamic_pointer_cast<lns::LonMarkObject>(server->objectByName(objectName));
        QStringList values;
        for (const auto &cp : lmo->configProperties()->items())
            values.append(cp->name() + '=' + cpaccess::readRawText(*cp));
        return values;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        QCOMPARE(run("tqm-netdb", {"create", "Demo", "--demo"}).exitCode, 0);
        QVERIFY(run("tqm-netdb", {"network", "Demo", "--tool-ip", "127.0.1.91", "--tool-subnet", "2", "--tool-node", "9"})
                    .out.contains("(arbitrary source)"));
        QVERIFY(m_sim.start({"--first", "127.0.49.1", "--count", "3", "--nv-cps", "nciSndHrtBt,nciButtonMode"}, m_home.path()));
        QVERIFY(m_bareSim.start({"--first", Bare.toString(), "--count", "2", "--tool", "127.0.42.100"}));
        m_port = std::make_unique<lonip::UdpPort>(lonip::IpAddress(QStringLiteral("127.0.42.100")), lonip::LsUdpPort);
        QVERIFY(m_port->open());
        m_endpoint = std::make_unique<lonip::Endpoint>(*m_port, QtTimerFactory::instance(), SystemClock::instance());
        m_endpoint->setOwnAddress(Loopback, {42, 100});
        m_client = std::make_unique<lonip::NetworkClient>(*m_endpoint);
    }

    // The simulator holds its devices' addresses: nobody else may bind them.
    void takenAddressIsRefused()
    {
        lonip::UdpPort second(Bare, lonip::LsUdpPort);
        QString reason;
        QVERIFY(!second.open(&reason));
        QCOMPARE(reason, GetResString(1650, 1));
    }

    // Unconfigured, a device answers by its Neuron ID only (discover below asks that way).
    void unconfiguredDeviceIgnoresItsSubnetNode()
    {
        std::optional<lonip::Result> result;
        m_client->request(lonip::Target::node(Loopback, 42, 1), lonip::request::queryStatus(),
                          [&result](const lonip::Result &r) { result = r; }, lonip::Timing{50, 2});
        QVERIFY(QTest::qWaitFor([&] { return result.has_value(); }, 5000));
        QCOMPARE(result->status, lonip::Result::Status::Timeout);
    }

    void servicePinReachesTheToolNode()
    {
        std::optional<lonip::Identity> pressed;
        connect(m_client.get(), &lonip::NetworkClient::servicePin, this,
                [&](const lonip::IpAddress &, const lonip::Identity &id) { pressed = id; });
        m_bareSim.command("127.0.42.2 --service-pin");
        QVERIFY(QTest::qWaitFor([&] { return pressed.has_value(); }, 5000));
        QCOMPARE(pressed->neuronId.toText(), "05:00:7F:00:2A:02");
    }

    void discoverAndCommission()
    {
        const ToolRun found = run("tqm-netdb", {"discover", "Demo", "--lonip", "127.0.49.0/24"});
        QCOMPARE(found.exitCode, 0);
        QCOMPARE(found.out.count("90:00:5D:50:28:04:04:04 unconfigured"), 3);
        for (int i = 0; i < 3; ++i) {
            const QString ip = QStringLiteral("127.0.49.%1").arg(i + 1);
            QVERIFY(found.out.contains(ip + QStringLiteral(" 05:00:7F:00:31:0%1").arg(i + 1)));
            const QStringList moved = i == 2 ? QStringList{"--subnet", "50", "--node", "3"} : QStringList();
            const ToolRun commissioned = run("tqm-netdb", QStringList{"commission", "Demo", Linked[i], "--neuron-id",
                                                                  QStringLiteral("05:00:7F:00:31:0%1").arg(i + 1), "--ip", ip} + moved);
            QVERIFY2(commissioned.exitCode == 0, qPrintable(commissioned.out));
        }
        QVERIFY(run("tqm-netdb", {"discover", "Demo", "--lonip", "127.0.49.0/24"}).out.contains("0 device(s)"));
        QVERIFY(m_sim.command("127.0.49.1 --show").contains(" state 4,"));
        QVERIFY(m_sim.command("127.0.50.3 --show").contains(" state 4,"));
    }

    // Configured byte for byte as on the simulated link, a CP in a CP file and one in a
    // configuration NV; then the middle device stops answering two messages before the end of its
    // write.
    void writeWithOneDeviceDownMidway()
    {
        const QString set = m_home.filePath("set.dat");
        const auto messages = [this](int device) {
            const QString shown = m_sim.command(QStringLiteral("127.0.49.%1 --show").arg(device));
            return shown.mid(shown.lastIndexOf(' ') + 1).toInt();
        };
        QCOMPARE(run("tqm-netdb", {"cp", "Demo", Simulated, "nciTmpMinDelta", "--set", "0 30"}).exitCode, 0);
        QCOMPARE(run("tqm-netdb", {"cp", "Demo", Simulated, "nciSndHrtBt", "--set", "0 100"}).exitCode, 0);
        QCOMPARE(run("tqm-config", {"read", Simulated, "-o", set}).exitCode, 0);
        QVERIFY(cpBytes(LinkedObjects[0]) != cpBytes(Simulated)); // or the write proves nothing
        // What the second device hears in a write to all three: the first device of a group is read
        // as well, the others are only written.
        const int before = messages(2);
        QCOMPARE(run("tqm-config", QStringList{"write", set} + LinkedObjects).exitCode, 0);
        const int oneWrite = messages(2) - before;
        QCOMPARE(run("tqm-netdb", {"cp", "Demo", Simulated, "nciSndHrtBt", "--set", "0 120"}).exitCode, 0);
        QCOMPARE(run("tqm-config", {"read", Simulated, "-o", set}).exitCode, 0);

        QVERIFY(m_sim.command(QStringLiteral("127.0.49.2 --down-after %1").arg(oneWrite - 2)).size() > 0);
        const ToolRun written = run("tqm-config", QStringList{"write", set} + LinkedObjects + QStringList{"--json"});
        QCOMPARE(written.exitCode, 1);
        const QJsonArray devices = written.json().value("devices").toArray();
        QStringList statuses;
        for (const QJsonValue &d : devices)
            statuses.append(d.toObject().value("status").toString());
        QCOMPARE(statuses, (QStringList{"written", "failed", "written"}));
        QVERIFY(devices[1].toObject().value("reason").toString().contains("does not respond"));
        QVERIFY(m_sim.command("127.0.49.2 --up").contains("messages"));
        QCOMPARE(cpBytes(LinkedObjects[0]), cpBytes(Simulated));
        QCOMPARE(cpBytes(LinkedObjects[2]), cpBytes(Simulated));
    }

    // A room temperature changed in tqm-devicesim reaches the watch: by polls, or sent by the
    // device once its output is bound to the tool node, without a message to the device. A tool
    // node the device cannot send to, or a device that stops answering while it is bound, leaves
    // the point polled; the device's NV configuration and address tables are as before afterwards.
    // A device that stops answering is reported as an outage, polled or bound.
    void monitorShowsTheRoom_data()
    {
        QTest::addColumn<QStringList>("toolNode");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("answers"); // before the device goes down while the watch starts; -1: all
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("temperature");
        QTest::addColumn<int>("outageWithin"); // seconds after the device falls silent; 0: not tried
        const QStringList arbitrary{"--tool-ip", "127.0.1.91", "--tool-subnet", "2", "--tool-node", "9"};
        const QStringList derived{"--tool-ip", "127.0.1.92"};
        QTest::newRow("polled") << arbitrary << QStringList{"--poll", "3"} << -1 << "polled" << "25.30" << 3;
        QTest::newRow("bound") << derived << QStringList() << -1 << "bound" << "26.30" << 12;
        QTest::newRow("arbitrary tool node") << arbitrary << QStringList() << -1 << "polled" << "27.30" << 0;
        QTest::newRow("down while binding") << derived << QStringList() << 2 << "polled" << "28.30" << 0;
    }
    void monitorShowsTheRoom()
    {
        QFETCH(QStringList, toolNode);
        QFETCH(QStringList, options);
        QFETCH(int, answers);
        QFETCH(QString, path);
        QFETCH(QString, temperature);
        QFETCH(int, outageWithin);
        const auto shown = [this](const QString &field) {
            const QStringList words = m_sim.command("127.0.50.3 --show").split(' ');
            return words.value(words.indexOf(field) + 1).remove(',');
        };
        QCOMPARE(run("tqm-netdb", QStringList{"network", "Demo"} + toolNode).exitCode, 0);
        const QString tables = shown("tables");
        if (answers >= 0)
            m_sim.command(QStringLiteral("127.0.50.3 --down-after %1").arg(answers));
        QProcess watch;
        watch.setProcessEnvironment(toolEnvironment(m_home.path()));
        watch.start(toolPath("tqm-netdb"), QStringList{"watch", "Demo", LinkedObjects[2], "nvoSpaceTemp", "--seconds", QString::number(6 + outageWithin)} + options);
        const auto watchSays = [&](const QString &text, int seconds = 5) {
            return QTest::qWaitFor([&] { watch.waitForReadyRead(100); return watch.peek(1 << 16).contains(text.toUtf8()); }, seconds * 1000);
        };
        QVERIFY(watchSays("nvoSpaceTemp: " + path));
        if (answers >= 0)
            m_sim.command("127.0.50.3 --up");
        QVERIFY(watchSays("nvoSpaceTemp "));
        const int messages = shown("messages").toInt();
        m_sim.command("127.0.50.3 --room-temp " + temperature);
        QVERIFY(watchSays("nvoSpaceTemp " + temperature));
        QCOMPARE(shown("messages").toInt() > messages, path == "polled");
        QCOMPARE(shown("bound"), path == "bound" ? "1" : "0");
        if (outageWithin > 0) { // a device that falls silent is an outage the watch reports
            m_sim.command("127.0.50.3 --down-after 0");
            QVERIFY(watchSays("nvoSpaceTemp failed: ", outageWithin));
            m_sim.command("127.0.50.3 --up");
        }
        QVERIFY(watch.waitForFinished(20000));
        QCOMPARE(shown("tables"), tables);
    }

    void decommission()
    {
        const ToolRun done = run("tqm-netdb", {"decommission", "Demo", Linked[2]});
        QVERIFY2(done.exitCode == 0, qPrintable(done.out));
        QVERIFY(m_sim.command("127.0.50.3 --show").contains(" state 2,"));
        QVERIFY(run("tqm-netdb", {"device", "Demo", Linked[2]}).out.contains("simulated link"));
    }
};

QTEST_GUILESS_MAIN(TestLonIpNetwork)
#include "tst_lonipnetwork.moc"
