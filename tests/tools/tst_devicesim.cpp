// tqm-devicesim as the tool's node sees it over LS/UDP on loopback: discovery, commissioning,
// the CP files in its memory, NV values from the device model, a device taken down.

#include "lns/clock.h"
#include "lns/embedded/devicetemplate.h"
#include "lns/timer.h"
#include "lonip/nmclient.h"
#include "lonip/port.h"

#include <QProcess>
#include <QTest>

using namespace lonip;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

const DomainId Loopback = hex("7F 00 00");
const QHostAddress First(QStringLiteral("127.0.42.1"));
const QHostAddress Second(QStringLiteral("127.0.42.2"));
const NeuronId FirstId{hex("05 00 7F 00 2A 01")};
const Timing Quick{50, 2};

} // namespace

class TestDeviceSim : public QObject
{
    Q_OBJECT

private:
    QProcess m_sim;
    std::unique_ptr<UdpPort> m_port;
    std::unique_ptr<Endpoint> m_endpoint;
    std::unique_ptr<NetworkClient> m_client;
    embedded::DeviceTemplateDefPtr m_tpl = embedded::DeviceTemplateDef::builtIn(QStringLiteral("TQM_CM_L4"));

    Result call(const Target &target, const QByteArray &apdu, Timing timing = {})
    {
        std::optional<Result> result;
        m_client->request(target, apdu, [&result](const Result &r) { result = r; }, timing);
        if (!QTest::qWaitFor([&] { return result.has_value(); }, 5000))
            return Result{Result::Status::Timeout, {}};
        return *result;
    }
    QString simCommand(const QString &line)
    {
        m_sim.write(line.toUtf8() + '\n');
        if (!m_sim.waitForReadyRead(5000))
            return {};
        return QString::fromUtf8(m_sim.readLine()).trimmed();
    }
    int nvIndex(const char *name) const { return m_tpl->nvKeyByName(QLatin1String(name)); }

private slots:
    void initTestCase()
    {
        m_sim.start(qEnvironmentVariable("TQM_BIN_DIR") + "/tqm-devicesim",
                    {"--first", First.toString(), "--count", "2", "--tool", "127.0.42.100"});
        QVERIFY(m_sim.waitForStarted(5000));
        QVERIFY(QTest::qWaitFor([&] { m_sim.waitForReadyRead(100); return m_sim.canReadLine() && m_sim.peek(4096).contains("ready\n"); }, 10000));
        m_sim.readAll();
        m_port = std::make_unique<UdpPort>(QHostAddress(QStringLiteral("127.0.42.100")), LsUdpPort);
        QVERIFY(m_port->open());
        m_endpoint = std::make_unique<Endpoint>(*m_port, QtTimerFactory::instance(), SystemClock::instance());
        m_endpoint->setOwnAddress(Loopback, {42, 100});
        m_client = std::make_unique<NetworkClient>(*m_endpoint);
    }
    void cleanupTestCase()
    {
        m_sim.closeWriteChannel();
        if (!m_sim.waitForFinished(5000))
            m_sim.kill();
    }

    void discoverAndCommission()
    {
        const Result id = call(Target::anyAt(First), request::queryId());
        QVERIFY(id.ok());
        QCOMPARE(id.data, FirstId.bytes + hex("90 00 5D 50 28 04 04 04"));
        // Unconfigured, the device does not answer its subnet/node address.
        QCOMPARE(call(Target::node(Loopback, 42, 1), request::queryStatus(), Quick).status, Result::Status::Timeout);

        DomainEntry domain;
        domain.id = Loopback;
        domain.subnet = 42;
        domain.node = 1;
        const Target byId = Target::neuronId(First, FirstId);
        QVERIFY(call(byId, request::updateDomain(0, domain)).ok());
        QVERIFY(call(byId, request::setNodeMode(NodeMode::ChangeState, nodestate::ConfiguredOnline)).ok());
        QVERIFY(call(byId, request::setNodeMode(NodeMode::Online)).ok());
        const Result status = call(Target::node(Loopback, 42, 1), request::queryStatus());
        QVERIFY(status.ok());
        QCOMPARE(int(decodeStatus(QByteArray(1, '\x31') + status.data)->nodeState), int(nodestate::ConfiguredOnline));
        // Configured, it keeps quiet to the query for unconfigured devices.
        QCOMPARE(call(Target::anyAt(First), request::queryId(), Quick).status, Result::Status::Timeout);
    }

    void cpFilesAndModel()
    {
        const Target device = Target::node(Loopback, 42, 1);
        const Result si = call(device, request::querySiData(0, 6));
        QVERIFY(si.ok());
        const int directoryNv = (*siTableLength(si.data) - 6) / 2 - 1;
        const Result directoryAddress = call(device, request::nvFetch(directoryNv));
        QVERIFY(directoryAddress.ok());
        QCOMPARE(directoryAddress.data, QByteArray(1, char(directoryNv)) + hex("40 00"));
        const Result directory = call(device, request::readMemory(MemoryMode::Absolute, 0x4000, 20));
        QVERIFY(directory.ok());
        QCOMPARE(directory.data.left(2), hex("20 03"));
        const quint16 templateAddress = quint8(directory.data[6]) << 8 | quint8(directory.data[7]);
        const quint16 valueAddress = quint8(directory.data[12]) << 8 | quint8(directory.data[13]);
        const Result templateStart = call(device, request::readMemory(MemoryMode::Absolute, templateAddress, 4));
        QCOMPARE(templateStart.data, QByteArray("1.1;"));

        // nciTmpOffset is the fourth CP of the value file (after PanelType, TempCalib,
        // nciSndHrtBt, each of its own size): find it the way a link does, through the sizes.
        int offset = 0;
        for (int key = 0; key < m_tpl->cpKeyByName(QStringLiteral("nciTmpOffset")); ++key)
            offset += m_tpl->cps[key].elementLength * m_tpl->cps[key].dimension;
        QVERIFY(call(device, request::writeMemory(MemoryMode::Absolute, quint16(valueAddress + offset), hex("00 32"),
                                                  memoryform::ConfigChecksum)).ok());
        QVERIFY(simCommand("127.0.42.1 --room-temp 23.5").contains("room 23.50 C"));
        const Result temp = call(device, request::nvFetch(nvIndex("nvoSpaceTemp")));
        QVERIFY(temp.ok());
        QCOMPARE(temp.data.mid(1), hex("09 60")); // 23.50 + 0.50 offset = 24.00 °C

        std::optional<Result> polled;
        m_client->poll(device, unboundSelector(nvIndex("nvoSpaceTemp")), [&](const Result &r) { polled = r; });
        QVERIFY(QTest::qWaitFor([&] { return polled.has_value(); }, 5000));
        QCOMPARE(polled->data, hex("09 60"));
    }

    void deviceTakenDownAnswersNothing()
    {
        QVERIFY(call(Target::anyAt(Second), request::wink()).ok());
        QVERIFY(simCommand("127.0.42.2 --down").contains("(down)"));
        QCOMPARE(call(Target::anyAt(Second), request::wink(), Quick).status, Result::Status::Timeout);
        QVERIFY(simCommand("127.0.42.2 --up").size() > 0);
        QVERIFY(call(Target::anyAt(Second), request::wink()).ok());
    }

    void servicePin()
    {
        std::optional<Identity> pressed;
        connect(m_client.get(), &NetworkClient::servicePin, this, [&](const QHostAddress &, const Identity &id) { pressed = id; });
        simCommand("127.0.42.2 --service-pin");
        QVERIFY(QTest::qWaitFor([&] { return pressed.has_value(); }, 5000));
        QCOMPARE(pressed->neuronId.toText(), "05:00:7F:00:2A:02");
    }
};

QTEST_GUILESS_MAIN(TestDeviceSim)
#include "tst_devicesim.moc"
