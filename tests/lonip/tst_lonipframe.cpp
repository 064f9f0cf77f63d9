#include "lonip/frame.h"

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

const IpAddress Tool(QStringLiteral("127.0.1.100"));
const IpAddress Device(QStringLiteral("127.0.1.12"));

} // namespace

class TestLonipFrame : public QObject
{
    Q_OBJECT
private slots:
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
        QFETCH(QString, meaning);
        QFETCH(bool, reencodes);
        const std::optional<Packet> p = datagram ? decodeDatagram(bytes, Tool, Device) : decodePacket(bytes);
        QCOMPARE(p ? describe(*p) : QString(), meaning);
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
        QTest::newRow("five parts") << "127.0.1.2.3" << "" << false;
        QTest::newRow("empty part") << "127..1.2" << "" << false;
        QTest::newRow("trailing dot") << "127.0.1.2." << "" << false;
        QTest::newRow("leading zero") << "127.0.01.2" << "" << false;
        QTest::newRow("IPv6") << "::1" << "" << false;
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
        QFETCH(bool, unicast);
        IpAddress ip(text);
        QString shown = ip.toString();
        if (text.contains(u'/')) {
            const auto range = parseIpRange(text);
            ip = range ? range->first : IpAddress();
            shown = range ? QStringLiteral("%1/%2").arg(ip.toString()).arg(range->prefix) : QString();
        }
        QCOMPARE(shown, read);
        QCOMPARE(ip.isNull(), read.isEmpty());
        QCOMPARE(ip.isUnicast(), unicast);
    }
};

QTEST_GUILESS_MAIN(TestLonipFrame)
#include "tst_lonipframe.moc"
