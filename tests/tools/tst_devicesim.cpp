// tqm-devicesim as the tool's node sees it over LS/UDP on loopback: which messages an
// unconfigured and a configured device answer, the service pin. (Its CP files, NV values and a
// device taken down are tested through the network database, tst_lonipnetwork.)

#include "lns/clock.h"
#include "lns/timer.h"
#include "lonip/nmclient.h"
#include "lonip/port.h"
#include "strings/resstrings.h"
#include "support/toolprocess.h"

#include <QTest>

using namespace lonip;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

const DomainId Loopback = hex("7F 00 00");
const IpAddress First(QStringLiteral("127.0.42.1"));
const NeuronId FirstId{hex("05 00 7F 00 2A 01")};
const Timing Quick{50, 2};

} // namespace

class TestDeviceSim : public QObject
{
    Q_OBJECT

private:
    DeviceSimProcess m_sim;
    std::unique_ptr<UdpPort> m_port;
    std::unique_ptr<Endpoint> m_endpoint;
    std::unique_ptr<NetworkClient> m_client;

    Result call(const Target &target, const QByteArray &apdu, Timing timing = {})
    {
        std::optional<Result> result;
        m_client->request(target, apdu, [&result](const Result &r) { result = r; }, timing);
        if (!QTest::qWaitFor([&] { return result.has_value(); }, 5000))
            return Result{Result::Status::Timeout, {}};
        return *result;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_sim.start({"--first", First.toString(), "--count", "2", "--tool", "127.0.42.100"}));
        m_port = std::make_unique<UdpPort>(IpAddress(QStringLiteral("127.0.42.100")), LsUdpPort);
        QVERIFY(m_port->open());
        m_endpoint = std::make_unique<Endpoint>(*m_port, QtTimerFactory::instance(), SystemClock::instance());
        m_endpoint->setOwnAddress(Loopback, {42, 100});
        m_client = std::make_unique<NetworkClient>(*m_endpoint);
    }

    // The simulator holds the first device's address: nobody else may bind it.
    void takenAddressIsRefused()
    {
        UdpPort second(First, LsUdpPort);
        QString reason;
        QVERIFY(!second.open(&reason));
        QCOMPARE(reason, GetResString(1650, 1));
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

    void servicePin()
    {
        std::optional<Identity> pressed;
        connect(m_client.get(), &NetworkClient::servicePin, this, [&](const IpAddress &, const Identity &id) { pressed = id; });
        m_sim.command("127.0.42.2 --service-pin");
        QVERIFY(QTest::qWaitFor([&] { return pressed.has_value(); }, 5000));
        QCOMPARE(pressed->neuronId.toText(), "05:00:7F:00:2A:02");
    }
};

QTEST_GUILESS_MAIN(TestDeviceSim)
#include "tst_devicesim.moc"
