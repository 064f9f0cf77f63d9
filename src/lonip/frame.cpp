#include "lonip/frame.h"

namespace lonip {

namespace {

// NPDU address formats.
constexpr quint8 NpduSubnetBroadcast = 0, NpduGroup = 1, NpduSubnetNode = 2, NpduNeuronId = 3;

constexpr quint8 domainLengthCode(qsizetype length)
{
    return length == 6 ? 3 : length == 3 ? 2 : quint8(length);
}
constexpr int DomainLengths[] = {0, 1, 3, 6};

// Reads bytes in order and remembers whether it ran out.
class Reader
{
public:
    explicit Reader(const QByteArray &bytes) : m_bytes(bytes) {}
    quint8 byte()
    {
        if (m_pos >= m_bytes.size()) {
            m_short = true;
            return 0;
        }
        return quint8(m_bytes[m_pos++]);
    }
    QByteArray take(qsizetype n)
    {
        if (m_pos + n > m_bytes.size()) {
            m_short = true;
            m_pos = m_bytes.size();
            return {};
        }
        const QByteArray out = m_bytes.mid(m_pos, n);
        m_pos += n;
        return out;
    }
    QByteArray rest()
    {
        const QByteArray out = m_bytes.mid(m_pos);
        m_pos = m_bytes.size();
        return out;
    }
    bool ok() const { return !m_short; }

private:
    const QByteArray &m_bytes;
    qsizetype m_pos = 0;
    bool m_short = false;
};

bool hasHeader(PduFormat format)
{
    return format != PduFormat::Apdu;
}

void appendPdu(QByteArray &out, const Packet &p)
{
    if (hasHeader(p.format))
        out += char((p.authenticated ? 0x80 : 0) | (p.type & 0x07) << 4 | (p.transaction & 0x0F));
    out += p.body;
}

void readPdu(Reader &in, Packet &p)
{
    if (hasHeader(p.format)) {
        const quint8 header = in.byte();
        p.authenticated = header & 0x80;
        p.type = (header >> 4) & 0x07;
        p.transaction = header & 0x0F;
    }
    p.body = in.rest();
}

quint8 npduAddressFormat(Destination::Kind kind)
{
    switch (kind) {
    case Destination::Kind::Broadcast: return NpduSubnetBroadcast;
    case Destination::Kind::Group: return NpduGroup;
    case Destination::Kind::SubnetNode:
    case Destination::Kind::GroupAck: return NpduSubnetNode;
    case Destination::Kind::NeuronId: return NpduNeuronId;
    }
    return NpduSubnetNode;
}

} // namespace

QByteArray encodePacket(const Packet &p)
{
    const Destination &d = p.destination;
    QByteArray out;
    out += char((p.priority ? 0x80 : 0) | (p.alternatePath ? 0x40 : 0) | (p.deltaBacklog & 0x3F));
    out += char(quint8(p.format) << 4 | npduAddressFormat(d.kind) << 2 | domainLengthCode(p.domain.size()));
    out += char(p.source.subnet);
    // The source node's top bit tells a group acknowledgement (clear) from every other form.
    out += char((d.kind == Destination::Kind::GroupAck ? 0 : 0x80) | (p.source.node & 0x7F));
    switch (d.kind) {
    case Destination::Kind::Broadcast: out += char(d.subnet); break;
    case Destination::Kind::Group: out += char(d.group); break;
    case Destination::Kind::SubnetNode: out += char(d.subnet); out += char(0x80 | (d.node & 0x7F)); break;
    case Destination::Kind::GroupAck:
        out += char(d.subnet);
        out += char(0x80 | (d.node & 0x7F));
        out += char(d.group);
        out += char(d.member);
        break;
    case Destination::Kind::NeuronId:
        out += char(d.subnet);
        out += d.neuronId.bytes.leftJustified(6, '\0', true);
        break;
    }
    out += p.domain;
    appendPdu(out, p);
    return out;
}

std::optional<Packet> decodePacket(const QByteArray &bytes)
{
    Reader in(bytes);
    Packet p;
    const quint8 b0 = in.byte();
    p.priority = b0 & 0x80;
    p.alternatePath = b0 & 0x40;
    p.deltaBacklog = b0 & 0x3F;
    const quint8 b1 = in.byte();
    if (b1 >> 6 != 0)
        return std::nullopt; // a protocol version we do not speak
    p.format = PduFormat((b1 >> 4) & 0x03);
    const quint8 addressFormat = (b1 >> 2) & 0x03;
    const int domainLength = DomainLengths[b1 & 0x03];
    p.source.subnet = in.byte();
    const quint8 sourceNode = in.byte();
    p.source.node = sourceNode & 0x7F;
    Destination &d = p.destination;
    switch (addressFormat) {
    case NpduSubnetBroadcast:
        d.kind = Destination::Kind::Broadcast;
        d.subnet = in.byte();
        break;
    case NpduGroup:
        d.kind = Destination::Kind::Group;
        d.group = in.byte();
        break;
    case NpduSubnetNode:
        d.subnet = in.byte();
        d.node = in.byte() & 0x7F;
        if (sourceNode & 0x80) {
            d.kind = Destination::Kind::SubnetNode;
        } else {
            d.kind = Destination::Kind::GroupAck;
            d.group = in.byte();
            d.member = in.byte();
        }
        break;
    case NpduNeuronId:
        d.kind = Destination::Kind::NeuronId;
        d.subnet = in.byte();
        d.neuronId.bytes = in.take(6);
        break;
    }
    p.domain = in.take(domainLength);
    if (!in.ok())
        return std::nullopt;
    readPdu(in, p);
    if (!in.ok() || (p.format == PduFormat::Apdu && p.body.isEmpty()))
        return std::nullopt;
    return p;
}

namespace {

quint8 envelopeAddressFormat(const Destination &d, bool explicitSubnetNode)
{
    switch (d.kind) {
    case Destination::Kind::Broadcast: return d.subnet == 0 ? lsudp::DomainBroadcast : lsudp::SubnetBroadcast;
    case Destination::Kind::Group: return lsudp::Group;
    case Destination::Kind::GroupAck: return lsudp::GroupResponse;
    case Destination::Kind::NeuronId: return lsudp::BroadcastNeuronId;
    case Destination::Kind::SubnetNode: break;
    }
    return explicitSubnetNode ? lsudp::ExplicitSubnetNode : lsudp::SubnetNode;
}

} // namespace

QByteArray encodeDatagram(const Packet &p, const DatagramOptions &options)
{
    const Destination &d = p.destination;
    const quint8 format = envelopeAddressFormat(d, options.explicitSubnetNode);
    QByteArray out;
    out += char(options.arbitrarySource ? lsudp::ArbitrarySource : 0); // legacy version
    out += char(format << 4 | (options.backlog ? 0x08 : 0) | (p.priority ? 0x04 : 0) | quint8(p.format));
    if (options.backlog)
        out += char(*options.backlog);
    if (format == lsudp::BroadcastNeuronId) {
        out += char(d.subnet);
        out += d.neuronId.bytes.leftJustified(6, '\0', true);
    } else if (format == lsudp::ExplicitSubnetNode) {
        out += char(d.subnet);
        out += char(d.node);
    }
    appendPdu(out, p);
    return out;
}

std::optional<Packet> decodeDatagram(const QByteArray &bytes, const IpAddress &from, const IpAddress &to)
{
    Reader in(bytes);
    const quint8 b0 = in.byte();
    const quint8 b1 = in.byte();
    if (b0 >> 4 != 0)
        return std::nullopt; // the enhanced version's 12-bit transaction IDs are not spoken here
    Packet p;
    const quint8 format = b1 >> 4;
    p.priority = b1 & 0x04;
    p.format = PduFormat(b1 & 0x03);
    if (b1 & 0x08)
        p.deltaBacklog = in.byte() & 0x3F;

    const bool arbitrarySource = b0 & lsudp::ArbitrarySource;
    const auto source = fromNodeIp(from);
    const auto receiver = fromNodeIp(to);
    if (!arbitrarySource && source) {
        p.source = source->address;
        p.domain = source->domain;
    } else if (receiver) {
        p.domain = receiver->domain;
    }
    bool toIpv4 = false;
    const quint32 toV4 = to.toIPv4Address(&toIpv4);
    Destination &d = p.destination;
    switch (format) {
    case lsudp::NeuronId:
        d.kind = Destination::Kind::NeuronId;
        break;
    case lsudp::SubnetNode:
        if (!receiver)
            return std::nullopt;
        d = Destination::toNode(receiver->address.subnet, receiver->address.node);
        break;
    case lsudp::DomainBroadcast:
        d = Destination::broadcast(0);
        break;
    case lsudp::SubnetBroadcast:
        d = Destination::broadcast(quint8(toV4 >> 8));
        break;
    case lsudp::Group:
        d = Destination::toGroup(quint8(toV4));
        break;
    case lsudp::GroupResponse:
        d.kind = Destination::Kind::GroupAck;
        if (receiver) {
            d.subnet = receiver->address.subnet;
            d.node = receiver->address.node;
        }
        break;
    case lsudp::BroadcastNeuronId:
        d.kind = Destination::Kind::NeuronId;
        d.subnet = in.byte();
        d.neuronId.bytes = in.take(6);
        break;
    case lsudp::ExplicitSubnetNode:
        d.subnet = in.byte();
        d.node = in.byte() & 0x7F;
        break;
    default:
        return std::nullopt;
    }
    if (!toIpv4 || !in.ok())
        return std::nullopt;
    readPdu(in, p);
    if (!in.ok() || (p.format == PduFormat::Apdu && p.body.isEmpty()))
        return std::nullopt;
    return p;
}

int ft10WireTimeUs(const Packet &packet)
{
    // Bit sync (at least six bits) and byte sync before the frame, the 16-bit CRC after it, then
    // the code violation that ends it (about three bit times); 12.8 µs a bit at 78.125 kbit/s.
    constexpr int PreambleBits = 6 + 1, CrcBits = 16, EndBits = 3;
    const int bits = PreambleBits + int(encodePacket(packet).size()) * 8 + CrcBits + EndBits;
    return bits * 128 / 10;
}

} // namespace lonip
