#include "lonip/endpoint.h"
#include "lonip/port.h"

#include <QtTest>

using namespace lonip;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// Keeps what the endpoint sends; the test plays the other node.
class RecordingPort : public DatagramPort
{
public:
    explicit RecordingPort(IpAddress local) : m_local(std::move(local)) {}
    IpAddress localAddress() const override { return m_local; }
    bool send(const IpAddress &to, const QByteArray &datagram) override
    {
        sent.append({to, datagram});
        return true;
    }
    void deliver(const IpAddress &from, const QByteArray &datagram) { emit received(from, datagram); }

    QList<QPair<IpAddress, QByteArray>> sent;

private:
    IpAddress m_local;
};

const IpAddress Tool(QStringLiteral("127.0.1.100"));
const IpAddress Device(QStringLiteral("127.0.1.12"));
const IpAddress Other(QStringLiteral("127.0.1.13"));

} // namespace

class TestLonipEndpoint : public QObject
{
    Q_OBJECT
private:
    ManualClock clock;
    ManualTimerFactory timers{clock};
    std::unique_ptr<RecordingPort> port;
    std::unique_ptr<Endpoint> endpoint;
    QList<Outcome> outcomes;

    Endpoint::Done record()
    {
        return [this](const Outcome &o) { outcomes.append(o); };
    }
    void request(const IpAddress &ip, const QByteArray &apdu, Service service = Service::Request)
    {
        endpoint->send(ip, Destination::toNode(1, quint8(ip.toIPv4Address() & 0x7F)), service, apdu, record());
    }

private slots:
    void init()
    {
        port = std::make_unique<RecordingPort>(Tool);
        endpoint = std::make_unique<Endpoint>(*port, timers, clock);
        outcomes.clear();
    }

    void retriesWithTheSameNumberThenTimesOut_data()
    {
        QTest::addColumn<Service>("service");
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<int>("retries");
        QTest::addColumn<bool>("ok"); // the repeated service ends well when every repeat went out
        QTest::newRow("request") << Service::Request << hex("00 11 01 73 05") << 3 << false;
        QTest::newRow("acknowledged") << Service::Acknowledged << hex("00 10 01 73 05") << 3 << false;
        QTest::newRow("repeated") << Service::Repeated << hex("00 10 11 73 05") << 3 << true;
        QTest::newRow("unacknowledged: ends at once") << Service::Unacknowledged << hex("00 13 73 05") << 0 << true;
    }
    void retriesWithTheSameNumberThenTimesOut()
    {
        QFETCH(Service, service);
        QFETCH(QByteArray, datagram);
        QFETCH(int, retries);
        request(Device, hex("73 05"), service);
        QCOMPARE(outcomes.size(), retries == 0 ? 1 : 0);
        clock.advanceMs(199);
        QCOMPARE(port->sent.size(), 1);
        clock.advanceMs(1000);
        QCOMPARE(port->sent.size(), 1 + retries);
        for (const auto &[to, bytes] : std::as_const(port->sent)) {
            QCOMPARE(to, Device);
            QCOMPARE(bytes.toHex(' '), datagram.toHex(' '));
        }
        QCOMPARE(outcomes.size(), 1);
        QTEST(outcomes[0].ok(), "ok");
        QCOMPARE(endpoint->counters().retries, retries);
    }

    void responseEndsTheTransaction()
    {
        request(Device, hex("73 05"));
        port->deliver(Device, hex("00 11 22 33 05 08 FC")); // other transaction number: too late
        port->deliver(Other, hex("00 11 21 33 05 08 FC"));  // other node
        port->deliver(Device, hex("00 10 21"));             // an acknowledgement is no response
        QVERIFY(outcomes.isEmpty());
        port->deliver(Device, hex("00 11 21 33 05 08 FC"));
        QCOMPARE(outcomes.size(), 1);
        QVERIFY(outcomes[0].ok() && outcomes[0].response == hex("33 05 08 FC"));
        clock.advanceMs(2000);
        QCOMPARE(port->sent.size(), 1); // no retry after the answer
    }

    void oneTransactionPerNodeAtATime()
    {
        request(Device, hex("51"), Service::Acknowledged);
        request(Device, hex("70"), Service::Acknowledged);
        request(Other, hex("70"), Service::Acknowledged);
        QCOMPARE(port->sent.size(), 2); // the second to Device waits
        port->deliver(Device, hex("00 10 21"));
        QCOMPARE(port->sent.size(), 3);
        QCOMPARE(port->sent[2].second, hex("00 10 02 70")); // the next number
        port->deliver(Device, hex("00 10 22"));
        QCOMPARE(outcomes.size(), 2);
    }

    void numbersRunOneToFifteen()
    {
        QList<int> numbers;
        for (int i = 0; i < 16; ++i) {
            request(Device, hex("51"));
            const int tid = port->sent.last().second[2] & 0x0F;
            numbers.append(tid);
            port->deliver(Device, QByteArray(hex("00 11")) + char(0x20 | tid) + char(0x31));
        }
        QCOMPARE((QList<int>{numbers[0], numbers[14], numbers[15]}), (QList<int>{1, 15, 1}));
        QCOMPARE(outcomes.size(), 16);
    }

    void duplicateRequestIsAnsweredAgainNotRunAgain()
    {
        int runs = 0;
        endpoint->setHandler([&runs](const Incoming &in) -> std::optional<QByteArray> {
            ++runs;
            return QByteArray(1, char(0x20 | (quint8(in.apdu()[0]) & 0x1F)));
        });
        const QByteArray wink = hex("00 11 04 70");
        port->deliver(Device, wink);
        port->deliver(Device, wink);
        QCOMPARE(runs, 1);
        QCOMPARE(port->sent.size(), 2);
        QCOMPARE(port->sent[0].second, hex("00 11 24 30"));
        QCOMPARE(port->sent[1].second, port->sent[0].second);
        QCOMPARE(endpoint->counters().duplicates, 1);

        port->deliver(Device, hex("00 11 05 70")); // a new number is a new transaction
        QCOMPARE(runs, 2);
        clock.advanceMs(9000);
        port->deliver(Device, hex("00 11 05 70")); // remembered no longer than the receive timer
        QCOMPARE(runs, 3);
    }

    void refusedMessageIsNotAcknowledged()
    {
        endpoint->setHandler([](const Incoming &) { return std::optional<QByteArray>(); });
        port->deliver(Device, hex("00 10 03 81 05 08 FC"));
        QVERIFY(port->sent.isEmpty());
        endpoint->setHandler([](const Incoming &) { return std::optional<QByteArray>(QByteArray()); });
        port->deliver(Device, hex("00 10 03 81 05 08 FC"));
        QCOMPARE(port->sent.size(), 1);
        QCOMPARE(port->sent[0].second, hex("00 10 23"));
    }
};

QTEST_GUILESS_MAIN(TestLonipEndpoint)
#include "tst_lonipendpoint.moc"
