#include "lonip/apdu.h"

#include <QtTest>

using namespace lonip;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

const NeuronId Nid{hex("05 01 02 A3 B4 C5")};

} // namespace

class TestLonipApdu : public QObject
{
    Q_OBJECT
private slots:
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
    void status()
    {
        const QByteArray bytes = hex("31 0001 0002 0003 0004 0005 02 04 0F 00 01");
        const auto s = decodeStatus(bytes);
        QVERIFY(s);
        QCOMPARE((QList<int>{s->transmitErrors, s->missedMessages, s->nodeState, s->model}),
                 (QList<int>{1, 5, nodestate::ConfiguredOnline, 1}));
        QCOMPARE(encodeStatus(0x31, *s), bytes);
        QVERIFY(!decodeStatus(bytes.left(15)));
    }
    void identity()
    {
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
    void indexes()
    {
        const auto fetch = decodeNvFetch(hex("33 FF 01 2C 08 FC"));
        QVERIFY(fetch && fetch->index == 300 && fetch->rest == hex("08 FC"));
        QVERIFY(!decodeNvIndex(hex("73 FF 01")));
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
    void nvMessage()
    {
        const auto nv = decodeNv(hex("C1 05 08 FC"));
        QVERIFY(nv && nv->selector == 0x0105 && nv->output && nv->data == hex("08 FC"));
        QVERIFY(!decodeNv(hex("73 05")));
        QCOMPARE(int(unboundSelector(5)), 0x3FFA);
    }
};

QTEST_GUILESS_MAIN(TestLonipApdu)
#include "tst_lonipapdu.moc"
