// The LonTalk codec on arbitrary bytes: every decoder must answer without crashing or reading
// past its input, and whatever decodes must encode to bytes that decode to the same packet.

#include "lonip/apdu.h"
#include "lonip/frame.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        abort();
}

void parseAsApdu(const QByteArray &apdu)
{
    lonip::apduKind(apdu);
    lonip::decodeNv(apdu);
    lonip::decodeNvIndex(apdu);
    lonip::decodeIdentity(apdu);
    lonip::decodeStatus(apdu);
    lonip::decodeSiData(apdu);
    lonip::decodeNvConfig(apdu);
    if (const auto domain = lonip::decodeDomainEntry(apdu))
        check(lonip::decodeDomainEntry(lonip::encodeDomainEntry(*domain)) == domain);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const auto packet = lonip::decodePacket(bytes)) {
        check(lonip::decodePacket(lonip::encodePacket(*packet)) == packet);
        lonip::ft10WireTimeUs(*packet);
        parseAsApdu(packet->body);
    }
    static const lonip::IpAddress from(QStringLiteral("127.0.1.100")), to(QStringLiteral("127.0.1.12"));
    if (const auto packet = lonip::decodeDatagram(bytes, from, to)) {
        const auto again = lonip::decodeDatagram(lonip::encodeDatagram(*packet), from, to);
        check(again && again->body == packet->body && again->transaction == packet->transaction
              && again->format == packet->format);
    }
    parseAsApdu(bytes);
    return 0;
}
