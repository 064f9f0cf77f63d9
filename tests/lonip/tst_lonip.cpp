// LonTalk over IP below the network client: frames, datagrams, addresses, the APDUs they carry,
// and the endpoint's transactions.

#include "lonip/apdu.h"
#include "lonip/endpoint.h"
#include "lonip/frame.h"
#include "lonip/port.h"

#include <QtTest>

using namespace lonip;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// The decoded packet in one line, so a table row says what its bytes mean.
QString describe(const Packet &p)
{
    static const char *formats[] = {"TPDU", "SPDU", "Auth", "APDU"};
    const Destination &d = p.destination;
    QString to;
    switch (d.kind) {
    case Destination::Kind::Broadcast: to = QStringLiteral("bcast %1").arg(d.subnet); break;
    case Destination::Kind::Group: to = QStringLiteral("group %1").arg(d.group); break;
    case Destination::Kind::SubnetNode: to = QStringLiteral("%1/%2").arg(d.subnet).arg(d.node); break;
    case Destination::Kind::GroupAck:
        to = QStringLiteral("%1/%2 group %3 member %4").arg(d.subnet).arg(d.node).arg(d.group).arg(d.member);
        break;
    case Destination::Kind::NeuronId:
        to = QStringLiteral("nid %1 subnet %2").arg(d.neuronId.toText()).arg(d.subnet);
        break;
    }
    QString s = QStringLiteral("%1%2bl%3 %4 %5/%6 -> %7 dom %8")
                    .arg(p.priority ? "prio " : "", p.alternatePath ? "alt " : "").arg(p.deltaBacklog)
                    .arg(formats[int(p.format)]).arg(p.source.subnet).arg(p.source.node)
                    .arg(to, QString::fromLatin1(p.domain.toHex()));
    if (p.format != PduFormat::Apdu)
        s += QStringLiteral(" type %1 tid %2%3").arg(p.type).arg(p.transaction).arg(p.authenticated ? " auth" : "");
    return s + QStringLiteral(" [%1]").arg(QString::fromLatin1(p.body.toHex(' ')));
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
const NeuronId Nid{hex("05 01 02 A3 B4 C5")};

} // namespace

class TestLonip : public QObject
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
    void init() // the endpoint's rig, fresh for each test
    {
        port = std::make_unique<RecordingPort>(Tool);
        endpoint = std::make_unique<Endpoint>(*port, timers, clock);
        outcomes.clear();
    }

    // Packets, and datagrams from the tool (127.0.1.100) to the device at 127.0.1.12: what the
    // bytes mean ("" where they are refused), and whether they come back from the encoder.
    void decode_data()
    {
        QTest::addColumn<bool>("datagram");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("meaning");
        QTest::addColumn<bool>("reencodes");
        const auto packet = [](const char *name, const char *bytes, const char *meaning) {
            QTest::newRow(name) << false << hex(bytes) << QString(meaning) << true;
        };
        const auto datagram = [](const char *name, const char *bytes, const char *meaning, bool reencodes = true) {
            QTest::newRow(name) << true << hex(bytes) << QString(meaning) << reencodes;
        };
        packet("subnet/node, priority, NV update", "80 3A 01 E4 01 8C 7F 00 00 80 05 08 FC",
               "prio bl0 APDU 1/100 -> 1/12 dom 7f0000 [80 05 08 fc]");
        packet("Neuron ID, no domain, request", "00 1C 01 E4 00 01 02 03 04 05 06 03 6C 03 04",
               "bl0 SPDU 1/100 -> nid 01:02:03:04:05:06 subnet 0 dom  type 0 tid 3 [6c 03 04]");
        packet("group, 1-byte domain, acknowledged", "43 05 02 81 07 2A 05 81 00 64",
               "alt bl3 TPDU 2/1 -> group 7 dom 2a type 0 tid 5 [81 00 64]");
        packet("subnet broadcast, 6-byte domain, repeated", "00 03 01 E4 04 11 22 33 44 55 66 11 70",
               "bl0 TPDU 1/100 -> bcast 4 dom 112233445566 type 1 tid 1 [70]");
        packet("domain broadcast, query ID", "00 32 01 E4 00 7F 00 00 61 00", "bl0 APDU 1/100 -> bcast 0 dom 7f0000 [61 00]");
        packet("group acknowledgement", "00 09 02 05 01 E4 07 03 2A 25",
               "bl0 TPDU 2/5 -> 1/100 group 7 member 3 dom 2a type 2 tid 5 []");
        packet("response", "00 1A 01 8C 01 E4 7F 00 00 23 2C", "bl0 SPDU 1/12 -> 1/100 dom 7f0000 type 2 tid 3 [2c]");
        packet("authentication", "00 2A 01 8C 01 E4 7F 00 00 01 AA BB CC DD EE FF 00 11",
               "bl0 Auth 1/12 -> 1/100 dom 7f0000 type 0 tid 1 [aa bb cc dd ee ff 00 11]");
        packet("authenticated reminder with message", "00 0A 01 8C 01 E4 7F 00 00 D2 02 FF",
               "bl0 TPDU 1/12 -> 1/100 dom 7f0000 type 5 tid 2 auth [02 ff]");
        packet("packet: empty", "", "");
        packet("packet: no destination", "00 1A 01 8C", "");
        packet("packet: Neuron ID cut short", "00 1C 01 E4 00 01 02 03", "");
        packet("packet: domain cut short", "00 03 01 E4 04 11 22 33", "");
        packet("packet: group acknowledgement without member", "00 09 02 05 01 E4 07", "");
        packet("packet: APDU without a code", "00 3A 01 E4 01 8C 7F 00 00", "");
        packet("packet: TPDU without its header", "00 0A 01 E4 01 8C 7F 00 00", "");
        packet("packet: protocol version 1", "00 7A 01 E4 01 8C 7F 00 00 80 05", "");

        datagram("0 Neuron ID at the receiver", "00 03 61 00", "bl0 APDU 1/100 -> nid  subnet 0 dom 7f0000 [61 00]", false);
        datagram("1 subnet/node from the IP", "00 11 03 73 05", "bl0 SPDU 1/100 -> 1/12 dom 7f0000 type 0 tid 3 [73 05]");
        datagram("2 domain broadcast", "00 23 61 00", "bl0 APDU 1/100 -> bcast 0 dom 7f0000 [61 00]");
        datagram("3 subnet broadcast", "00 33 70", "bl0 APDU 1/100 -> bcast 1 dom 7f0000 [70]");
        datagram("4 group", "00 40 05 81 00 64", "bl0 TPDU 1/100 -> group 12 dom 7f0000 type 0 tid 5 [81 00 64]");
        datagram("5 group response", "00 50 25", "bl0 TPDU 1/100 -> 1/12 group 0 member 0 dom 7f0000 type 2 tid 5 []");
        datagram("6 broadcast Neuron ID, priority", "00 65 00 01 02 03 04 05 06 03 6C 03 04",
                 "prio bl0 SPDU 1/100 -> nid 01:02:03:04:05:06 subnet 0 dom 7f0000 type 0 tid 3 [6c 03 04]");
        datagram("7 explicit subnet/node, backlog", "00 79 02 03 07 21 2C", "bl2 SPDU 1/100 -> 3/7 dom 7f0000 type 2 tid 1 [2c]");
        datagram("arbitrary source", "01 11 03 73 05", "bl0 SPDU 0/0 -> 1/12 dom 7f0000 type 0 tid 3 [73 05]");
        datagram("datagram: header only", "00 11", "");
        datagram("datagram: enhanced version", "10 11 03 73 05", "");
        datagram("datagram: address format 8", "00 83 70", "");
        datagram("datagram: Neuron ID cut short", "00 61 00 01 02", "");
        datagram("datagram: backlog byte missing", "00 1B", "");
    }
    void decode()
    {
        QFETCH(bool, datagram);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, reencodes);
        const std::optional<Packet> p = datagram ? decodeDatagram(bytes, Tool, Device) : decodePacket(bytes);
        QTEST(p ? describe(*p) : QString(), "meaning");
        if (!p || !reencodes)
            return;
        if (!datagram) {
            QCOMPARE(encodePacket(*p), bytes);
            return;
        }
        DatagramOptions options;
        options.explicitSubnetNode = (quint8(bytes[1]) >> 4) == lsudp::ExplicitSubnetNode;
        options.arbitrarySource = quint8(bytes[0]) & lsudp::ArbitrarySource;
        if (quint8(bytes[1]) & 0x08)
            options.backlog = p->deltaBacklog;
        QCOMPARE(encodeDatagram(*p, options), bytes);
    }

    void nodeIpFromDomain_data()
    {
        QTest::addColumn<QByteArray>("domain");
        QTest::addColumn<QString>("ip"); // empty: no IP address for this domain
        QTest::newRow("no domain") << QByteArray() << "192.168.3.9";
        QTest::newRow("one byte") << hex("2A") << "10.42.3.9";
        QTest::newRow("loopback") << hex("7F 00 00") << "127.0.3.9";
        QTest::newRow("three bytes, last not 0") << hex("7F 00 01") << "";
        QTest::newRow("six bytes") << hex("11 22 33 44 55 66") << "";
    }
    void nodeIpFromDomain()
    {
        QFETCH(QByteArray, domain);
        QFETCH(QString, ip);
        const IpAddress address = nodeIp(domain, 3, 9);
        QCOMPARE(address.isNull() ? QString() : address.toString(), ip);
        if (ip.isEmpty())
            return;
        const auto back = fromNodeIp(address);
        QVERIFY(back && back->domain == domain && back->address == (SubnetNode{3, 9}));
    }
    void nodeNumbersHaveSevenBits() { QVERIFY(!fromNodeIp(IpAddress(QStringLiteral("127.0.1.200")))); }

    // An address, or ADDRESS/PREFIX as a range, read from text: what it reads as ("" for nothing)
    // and whether it is a unicast address.
    void ipAddressText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("read");
        QTest::addColumn<bool>("unicast");
        QTest::newRow("node") << " 127.0.1.12 " << "127.0.1.12" << true;
        QTest::newRow("any") << "0.0.0.0" << "0.0.0.0" << false;
        QTest::newRow("broadcast") << "255.255.255.255" << "255.255.255.255" << false;
        QTest::newRow("multicast") << "239.192.0.3" << "239.192.0.3" << false;
        QTest::newRow("above multicast") << "240.0.0.1" << "240.0.0.1" << true;
        QTest::newRow("byte too big") << "127.0.1.256" << "" << false;
        QTest::newRow("three parts") << "127.0.1" << "" << false;
        QTest::newRow("empty part") << "127..1.2" << "" << false;
        QTest::newRow("trailing dot") << "127.0.1.2." << "" << false;
        QTest::newRow("leading zero") << "127.0.01.2" << "" << false;
        QTest::newRow("empty") << "" << "" << false;
        QTest::newRow("range, host bits cleared") << "127.0.1.77/22" << "127.0.0.0/22" << true;
        QTest::newRow("range of one") << "127.0.1.77/32" << "127.0.1.77/32" << true;
        QTest::newRow("whole space") << "10.1.2.3/0" << "0.0.0.0/0" << false;
        QTest::newRow("prefix too long") << "127.0.1.0/33" << "" << false;
        QTest::newRow("signed prefix") << "127.0.1.0/+24" << "" << false;
        QTest::newRow("no prefix") << "127.0.1.0/" << "" << false;
    }
    void ipAddressText()
    {
        QFETCH(QString, text);
        QFETCH(QString, read);
        IpAddress ip(text);
        QString shown = ip.toString();
        if (text.contains(u'/')) {
            const auto range = parseIpRange(text);
            ip = range ? range->first : IpAddress();
            shown = range ? QStringLiteral("%1/%2").arg(ip.toString()).arg(range->prefix) : QString();
        }
        QCOMPARE(shown, read);
        QCOMPARE(ip.isNull(), read.isEmpty());
        QTEST(ip.isUnicast(), "unicast");
    }

    void requests_data()
    {
        QTest::addColumn<QByteArray>("apdu");
        QTest::addColumn<QByteArray>("bytes");
        const DomainEntry domain{.id = hex("7F 00 00"), .subnet = 1, .node = 12, .nonClone = true};
        const AddressEntry address{1, 100, 2, 3, 5, 1};
        const NvConfigEntry nvConfig{
            .output = true, .selector = 0x3FFA, .service = NvConfigEntry::Service::Unacknowledged};
        QTest::newRow("query ID, unconfigured") << request::queryId() << hex("61 00");
        QTest::newRow("respond to query") << request::respondToQuery(true) << hex("62 01");
        QTest::newRow("update domain") << request::updateDomain(0, domain)
                                       << hex("63 00 7F 00 00 00 00 00 01 8C 03 00 00 00 00 00 00");
        QTest::newRow("leave domain") << request::leaveDomain(1) << hex("64 01");
        QTest::newRow("update address") << request::updateAddress(2, address) << hex("66 02 01 E4 23 05 01");
        QTest::newRow("query address") << request::queryAddress(3) << hex("67 03");
        QTest::newRow("restore address") << request::updateAddress(3, hex("00 00 00 00 00")) << hex("66 03 00 00 00 00 00");
        QTest::newRow("query NV config") << request::queryNvConfig(7) << hex("68 07");
        QTest::newRow("query NV config, two-byte index") << request::queryNvConfig(300) << hex("68 FF 01 2C");
        QTest::newRow("update NV config") << request::updateNvConfig(5, nvConfig) << hex("6B 05 7F FA 4F");
        QTest::newRow("configured") << request::setNodeMode(NodeMode::ChangeState, nodestate::ConfiguredOnline)
                                    << hex("6C 03 04");
        QTest::newRow("online") << request::setNodeMode(NodeMode::Online) << hex("6C 01");
        QTest::newRow("read memory") << request::readMemory(MemoryMode::Absolute, 0x4000, 16) << hex("6D 00 40 00 10");
        QTest::newRow("write memory")
            << request::writeMemory(MemoryMode::ConfigRelative, 0x0102, hex("AA BB"), memoryform::ConfigChecksum)
            << hex("6E 02 01 02 02 04 AA BB");
        QTest::newRow("checksum") << request::checksumRecalc() << hex("6F 01");
        QTest::newRow("wink") << request::wink() << hex("70");
        QTest::newRow("query SI data") << request::querySiData(0x10, 32) << hex("72 00 10 20");
        QTest::newRow("NV fetch") << request::nvFetch(3) << hex("73 03");
        QTest::newRow("query status") << request::queryStatus() << hex("51");
        QTest::newRow("service pin") << request::servicePin(Nid, hex("90 00 5D 50 28 04 04 04"))
                                     << hex("7F 05 01 02 A3 B4 C5 90 00 5D 50 28 04 04 04");
        QTest::newRow("NV poll") << encodeNv({0x3FFA, true, {}}) << hex("FF FA");
        QTest::newRow("NV update") << encodeNv({0x0105, false, hex("08 FC")}) << hex("81 05 08 FC");
    }
    void requests()
    {
        QFETCH(QByteArray, apdu);
        QFETCH(QByteArray, bytes);
        QCOMPARE(apdu.toHex(' '), bytes.toHex(' '));
    }

    // The kind of an APDU by its first byte, and for a request the codes of its two responses.
    void kinds_data()
    {
        QTest::addColumn<QByteArray>("apdu");
        QTest::addColumn<ApduKind>("kind");
        QTest::addColumn<int>("success"); // -1: no request
        QTest::addColumn<int>("failure");
        QTest::newRow("NV") << hex("C0 01") << ApduKind::NetworkVariable << -1 << -1;
        QTest::newRow("application") << hex("3F") << ApduKind::Application << -1 << -1;
        QTest::newRow("foreign frame") << hex("4F") << ApduKind::ForeignFrame << -1 << -1;
        QTest::newRow("diagnostic: query status") << hex("51") << ApduKind::Diagnostic << 0x31 << 0x11;
        QTest::newRow("network management: query ID") << hex("61") << ApduKind::NetworkManagement << 0x21 << 0x01;
        QTest::newRow("network management: service pin") << hex("7F") << ApduKind::NetworkManagement << 0x3F << 0x1F;
        QTest::newRow("nothing") << QByteArray() << ApduKind::Empty << -1 << -1;
    }
    void kinds()
    {
        QFETCH(QByteArray, apdu);
        QFETCH(int, success);
        QTEST(apduKind(apdu), "kind");
        if (success < 0)
            return;
        QCOMPARE(int(successCode(quint8(apdu[0]))), success);
        QTEST(int(failureCode(quint8(apdu[0]))), "failure");
    }
    void statusAndIdentity()
    {
        const QByteArray bytes = hex("31 0001 0002 0003 0004 0005 02 04 0F 00 01");
        const auto s = decodeStatus(bytes);
        QVERIFY(s);
        QCOMPARE((QList<int>{s->transmitErrors, s->missedMessages, s->nodeState, s->model}),
                 (QList<int>{1, 5, nodestate::ConfiguredOnline, 1}));
        QCOMPARE(encodeStatus(0x31, *s), bytes);
        QVERIFY(!decodeStatus(bytes.left(15)));
        const auto id = decodeIdentity(hex("21 05 01 02 A3 B4 C5 90 00 5D 50 28 04 04 04"));
        QVERIFY(id);
        QCOMPARE(id->neuronId.toText(), "05:01:02:A3:B4:C5");
        QCOMPARE(id->programId, hex("90 00 5D 50 28 04 04 04"));
        QVERIFY(!decodeIdentity(hex("21 05 01 02")));
        QVERIFY(NeuronId::fromText("050102a3b4c5") == Nid);
        QVERIFY(!NeuronId::fromText("05:01:02:A3:B4"));
        QVERIFY(!NeuronId::fromText("05:01:02:A3:B4:XX"));
    }
    void entriesRoundTrip()
    {
        const NvConfigEntry nv{.priority = true, .selector = 0x1234, .turnaround = true,
                               .service = NvConfigEntry::Service::Repeated, .authenticated = true, .addressIndex = 3};
        QCOMPARE(encodeNvConfig(nv), hex("92 34 B3"));
        QVERIFY(decodeNvConfig(encodeNvConfig(nv)) == nv);
        QVERIFY(!decodeNvConfig(hex("00 00 60"))); // service 3 does not exist

        const DomainEntry domain{
            .id = hex("2A"), .subnet = 4, .node = 127, .invalid = true, .key = hex("01 02 03 04 05 06")};
        QVERIFY(decodeDomainEntry(encodeDomainEntry(domain)) == domain);
        QVERIFY(!decodeDomainEntry(hex("00 00 00 00 00 00 01 01 02 00 00 00 00 00 00"))); // length 2

        const AddressEntry address{1, 100, 2, 3, 5, 1};
        QVERIFY(decodeAddressEntry(encodeAddressEntry(address)) == address);
        QVERIFY(!decodeAddressEntry(hex("00 00 00 00 00")) && isFreeAddressEntry(hex("00 00 00 00 00")));
        QCOMPARE(QList<int>({timerCodeMs(0), timerCodeMs(5), timerCodeMs(15)}), QList<int>({16, 96, 3072}));
    }
    void siData()
    {
        const SiData si{.messageTags = 2,
                        .nvs = {{siflag::ConfigClass, 0}, {siflag::Polled | siflag::ServiceConfigurable, 105}}};
        const QByteArray bytes = encodeSiData(si);
        QCOMPARE(bytes, hex("00 0A 02 01 00 02 01 00 28 69"));
        QCOMPARE(siTableLength(bytes.left(6)).value_or(0), 10);
        const auto back = decodeSiData(bytes);
        QVERIFY(back && back->nvs.size() == 2 && back->nvs[1].typeIndex == 105);
        QCOMPARE(decodeSiData(bytes.left(8))->nvs.size(), 1); // as much as was fetched
        QVERIFY(!decodeSiData(bytes.left(5)));
    }
    void nvMessages()
    {
        const auto fetch = decodeNvFetch(hex("33 FF 01 2C 08 FC"));
        QVERIFY(fetch && fetch->index == 300 && fetch->rest == hex("08 FC"));
        QVERIFY(!decodeNvIndex(hex("73 FF 01")));
        const auto nv = decodeNv(hex("C1 05 08 FC"));
        QVERIFY(nv && nv->selector == 0x0105 && nv->output && nv->data == hex("08 FC"));
        QVERIFY(!decodeNv(hex("73 05")));
        QCOMPARE(int(unboundSelector(5)), 0x3FFA);
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

QTEST_GUILESS_MAIN(TestLonip)
#include "tst_lonip.moc"
