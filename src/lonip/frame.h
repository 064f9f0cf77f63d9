#pragma once

// The LonTalk packet (ISO/IEC 14908-1 NPDU with its enclosed TPDU, SPDU, AuthPDU or APDU) and
// its LS/UDP envelope. Encoding never fails for a well-formed Packet; decoding answers nothing
// for bytes that are not a complete frame, and never reads past them.
//
// On LS/UDP the LonTalk source and destination are not sent: they are derived from the sender's
// and the receiver's IP addresses. The envelope carries the address format, the priority, an
// optional backlog byte, the Neuron ID of a Neuron-ID message (broadcast form) or an explicit
// subnet/node, and then the enclosed PDU as it would follow the NPDU's addresses.

#include "lonip/address.h"

#include <QByteArray>
#include <optional>

namespace lonip {

enum class PduFormat : quint8 { Tpdu = 0, Spdu = 1, AuthPdu = 2, Apdu = 3 };

// Transport (TPDU) and session (SPDU) header types.
namespace tpdu {
inline constexpr quint8 Acknowledged = 0, Repeated = 1, Acknowledgement = 2, Reminder = 4, ReminderWithMessage = 5;
}
namespace spdu {
inline constexpr quint8 Request = 0, Response = 2, Reminder = 4, ReminderWithMessage = 5;
}

struct Packet
{
    bool priority = false;
    bool alternatePath = false;
    quint8 deltaBacklog = 0; // 6 bits
    PduFormat format = PduFormat::Apdu;
    SubnetNode source;
    Destination destination;
    DomainId domain;
    // The header byte of a TPDU, SPDU or AuthPDU (no header for an APDU).
    bool authenticated = false;
    quint8 type = 0;        // 3 bits (an AuthPDU's 2-bit type sits in the same place)
    quint8 transaction = 0; // 4 bits
    QByteArray body;        // the APDU, or the rest of an AuthPDU or reminder

    bool operator==(const Packet &) const = default;
};

QByteArray encodePacket(const Packet &packet);
std::optional<Packet> decodePacket(const QByteArray &bytes);

// ---- LS/UDP ----
namespace lsudp {
// Address formats of the envelope's second byte.
inline constexpr quint8 NeuronId = 0, SubnetNode = 1, DomainBroadcast = 2, SubnetBroadcast = 3, Group = 4,
                        GroupResponse = 5, BroadcastNeuronId = 6, ExplicitSubnetNode = 7;
inline constexpr quint8 ArbitrarySource = 0x01; // first byte: the sender's IP is not its LON address
} // namespace lsudp

struct DatagramOptions
{
    // Send the subnet/node in the envelope instead of leaving it to the receiver's IP address
    // (for a device behind a router, whose IP is not derived from its address).
    bool explicitSubnetNode = false;
    std::optional<quint8> backlog; // the MCR backlog byte
    // The sender's subnet/node is not the one its IP address stands for: the receiver answers
    // the IP address and takes no source address from it.
    bool arbitrarySource = false;
};

QByteArray encodeDatagram(const Packet &packet, const DatagramOptions &options = {});
// `from` and `to` are the datagram's IP addresses. The source subnet/node and the domain come from
// `from` (from `to` when the sender marks its source arbitrary); a subnet/node destination from
// `to` unless the envelope encloses it. A Neuron-ID message without its ID in the envelope
// (format 0) is for the node at `to`: its destination's Neuron ID is left empty.
std::optional<Packet> decodeDatagram(const QByteArray &bytes, const IpAddress &from, const IpAddress &to);

// The time the packet takes on an FT-10 channel (78 kbit/s, differential Manchester): the NPDU
// with its CRC, preamble and end of frame, in microseconds.
int ft10WireTimeUs(const Packet &packet);

} // namespace lonip
