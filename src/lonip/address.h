#pragma once

// LonTalk addresses and how LON/IP maps them onto IPv4: a node's unicast address is derived from
// its domain, subnet and node (domain length 0 → 192.168.S.N, 1 → 10.D1.S.N, 3 → D1.D2.S.N with
// the third domain byte 0). Domain 7F 00 00 therefore puts every node on 127.0.S.N, the loopback
// network.

#include <QByteArray>
#include <QHashFunctions>
#include <QString>
#include <compare>
#include <optional>

namespace lonip {

// An IPv4 address of a node or of the tool, or null (no address: text that was none, a domain
// that maps to none).
class IpAddress
{
public:
    constexpr IpAddress() = default;
    constexpr explicit IpAddress(quint32 v4) : m_v4(v4), m_null(false) {}
    // Four decimal numbers 0 to 255 separated by dots ("127.0.1.12", blanks around it ignored);
    // anything else gives the null address.
    explicit IpAddress(QStringView text);

    constexpr bool isNull() const { return m_null; }
    // The address as a number, a.b.c.d as a << 24 | b << 16 | c << 8 | d; 0 when null.
    constexpr quint32 toIPv4Address(bool *ok = nullptr) const
    {
        if (ok)
            *ok = !m_null;
        return m_v4;
    }
    // Dotted quad; empty when null.
    QString toString() const;
    // Neither null nor 0.0.0.0, the limited broadcast 255.255.255.255 or a multicast group.
    bool isUnicast() const;
    constexpr bool isMulticast() const { return !m_null && (m_v4 >> 28) == 0xE; }

    friend constexpr bool operator==(const IpAddress &, const IpAddress &) = default;
    friend constexpr auto operator<=>(const IpAddress &, const IpAddress &) = default;
    friend size_t qHash(const IpAddress &ip, size_t seed = 0) noexcept { return qHashMulti(seed, ip.m_null, ip.m_v4); }

private:
    quint32 m_v4 = 0;
    bool m_null = true;
};

// ADDRESS/PREFIX (prefix 0 to 32): the range's first address (host bits cleared) and its prefix
// length; nullopt for anything else.
struct IpRange
{
    IpAddress first;
    int prefix = 32;
};
std::optional<IpRange> parseIpRange(QStringView text);

inline constexpr quint16 LsUdpPort = 2541;

// The 48-bit unique ID every device is made with.
struct NeuronId
{
    QByteArray bytes; // 6 bytes

    bool isValid() const { return bytes.size() == 6; }
    // "01:23:45:67:89:AB" (upper case); fromText also takes the form without colons.
    QString toText() const;
    static std::optional<NeuronId> fromText(const QString &text);
    bool operator==(const NeuronId &) const = default;
};

// A domain ID of 0, 1, 3 or 6 bytes.
using DomainId = QByteArray;
bool isValidDomainLength(qsizetype length);

struct SubnetNode
{
    quint8 subnet = 0; // 1..255
    quint8 node = 0;   // 1..127
    bool operator==(const SubnetNode &) const = default;
};

// Where a packet goes. Subnet 0 in a broadcast means the whole domain.
struct Destination
{
    enum class Kind { Broadcast, Group, SubnetNode, GroupAck, NeuronId };
    Kind kind = Kind::SubnetNode;
    quint8 subnet = 0;  // Broadcast, SubnetNode, GroupAck, NeuronId
    quint8 node = 0;    // SubnetNode, GroupAck
    quint8 group = 0;   // Group, GroupAck
    quint8 member = 0;  // GroupAck: the acknowledging member's number in the group
    NeuronId neuronId;  // NeuronId

    static Destination toNode(quint8 subnet, quint8 node);
    static Destination toNeuronId(const NeuronId &id, quint8 subnet = 0);
    static Destination toGroup(quint8 group);
    static Destination broadcast(quint8 subnet = 0);
    bool operator==(const Destination &) const = default;
};

// The node's unicast IP address for a domain, subnet and node; null when the domain cannot be
// mapped (6 bytes, or a 3-byte domain whose last byte is not 0).
IpAddress nodeIp(const DomainId &domain, quint8 subnet, quint8 node);

struct IpNodeAddress
{
    DomainId domain;
    SubnetNode address;
};
// The reverse: the domain, subnet and node an IPv4 unicast address stands for.
std::optional<IpNodeAddress> fromNodeIp(const IpAddress &ip);
// The domain alone (the address's first bytes), whatever its last byte.
std::optional<DomainId> domainOfIp(const IpAddress &ip);

// Whether a datagram may go to this address: the link sends only to the loopback network unless
// its owner allows more.
bool isLoopback(const IpAddress &ip);

} // namespace lonip
