#include "lonip/address.h"

namespace lonip {

namespace {

// A decimal number 0 to 255 without leading zeros (which some readers would take for octal).
std::optional<quint8> octet(QStringView text)
{
    if (text.isEmpty() || text.size() > 3 || (text.size() > 1 && text.front() == u'0'))
        return std::nullopt;
    uint value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + uint(c.unicode() - u'0');
    }
    return value <= 255 ? std::optional<quint8>(quint8(value)) : std::nullopt;
}

} // namespace

IpAddress::IpAddress(QStringView text)
{
    quint32 v4 = 0;
    int parts = 0;
    for (QStringView part : text.trimmed().tokenize(u'.')) {
        const auto byte = octet(part);
        if (!byte || ++parts > 4)
            return;
        v4 = v4 << 8 | *byte;
    }
    if (parts == 4)
        *this = IpAddress(v4);
}

QString IpAddress::toString() const
{
    if (m_null)
        return {};
    return QStringLiteral("%1.%2.%3.%4").arg(m_v4 >> 24).arg((m_v4 >> 16) & 0xFF).arg((m_v4 >> 8) & 0xFF).arg(m_v4 & 0xFF);
}

bool IpAddress::isUnicast() const
{
    return !m_null && m_v4 != 0 && m_v4 != 0xFFFFFFFF && !isMulticast();
}

std::optional<IpRange> parseIpRange(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    const qsizetype slash = trimmed.indexOf(u'/');
    if (slash < 0)
        return std::nullopt;
    const IpAddress address(trimmed.left(slash));
    const QStringView prefixText = trimmed.mid(slash + 1);
    bool ok = false;
    const int prefix = prefixText.toInt(&ok);
    if (address.isNull() || !ok || prefixText.size() > 2 || !prefixText.front().isDigit() || prefix > 32)
        return std::nullopt;
    const quint32 mask = prefix == 0 ? 0 : ~quint32(0) << (32 - prefix);
    return IpRange{IpAddress(address.toIPv4Address() & mask), prefix};
}

QString NeuronId::toText() const
{
    return QString::fromLatin1(bytes.toHex(':').toUpper());
}

std::optional<NeuronId> NeuronId::fromText(const QString &text)
{
    QString hex = text.trimmed();
    hex.remove(QLatin1Char(':'));
    if (hex.size() != 12)
        return std::nullopt;
    for (QChar c : hex) {
        if (!c.isDigit() && !(c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f')))
            return std::nullopt;
    }
    return NeuronId{QByteArray::fromHex(hex.toLatin1())};
}

bool isValidDomainLength(qsizetype length)
{
    return length == 0 || length == 1 || length == 3 || length == 6;
}

Destination Destination::toNode(quint8 subnet, quint8 node)
{
    Destination d;
    d.kind = Kind::SubnetNode;
    d.subnet = subnet;
    d.node = node;
    return d;
}

Destination Destination::toNeuronId(const NeuronId &id, quint8 subnet)
{
    Destination d;
    d.kind = Kind::NeuronId;
    d.subnet = subnet;
    d.neuronId = id;
    return d;
}

Destination Destination::toGroup(quint8 group)
{
    Destination d;
    d.kind = Kind::Group;
    d.group = group;
    return d;
}

Destination Destination::broadcast(quint8 subnet)
{
    Destination d;
    d.kind = Kind::Broadcast;
    d.subnet = subnet;
    return d;
}

IpAddress nodeIp(const DomainId &domain, quint8 subnet, quint8 node)
{
    auto ip = [](quint8 a, quint8 b, quint8 c, quint8 d) {
        return IpAddress(quint32(a) << 24 | quint32(b) << 16 | quint32(c) << 8 | d);
    };
    switch (domain.size()) {
    case 0:
        return ip(192, 168, subnet, node);
    case 1:
        return ip(10, quint8(domain[0]), subnet, node);
    case 3:
        if (domain[2] != 0)
            return {};
        return ip(quint8(domain[0]), quint8(domain[1]), subnet, node);
    default:
        return {};
    }
}

std::optional<DomainId> domainOfIp(const IpAddress &ip)
{
    bool ok = false;
    const quint32 v4 = ip.toIPv4Address(&ok);
    if (!ok)
        return std::nullopt;
    const quint8 a = quint8(v4 >> 24), b = quint8(v4 >> 16);
    if (a == 192 && b == 168)
        return DomainId();
    if (a == 10)
        return DomainId(1, char(b));
    return DomainId(QByteArray() + char(a) + char(b) + char(0));
}

std::optional<IpNodeAddress> fromNodeIp(const IpAddress &ip)
{
    const auto domain = domainOfIp(ip);
    const quint32 v4 = ip.toIPv4Address();
    if (!domain || (v4 & 0xFF) > 127)
        return std::nullopt; // node numbers have seven bits
    return IpNodeAddress{*domain, SubnetNode{quint8(v4 >> 8), quint8(v4 & 0x7F)}};
}

bool isLoopback(const IpAddress &ip)
{
    bool ok = false;
    const quint32 v4 = ip.toIPv4Address(&ok);
    return ok && (v4 >> 24) == 127;
}

} // namespace lonip
