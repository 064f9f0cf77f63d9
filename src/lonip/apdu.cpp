#include "lonip/apdu.h"

namespace lonip {

namespace {

quint16 be16(const QByteArray &b, qsizetype at)
{
    return quint16(quint8(b[at]) << 8 | quint8(b[at + 1]));
}

void appendBe16(QByteArray &out, quint16 v)
{
    out += char(v >> 8);
    out += char(v & 0xFF);
}

QByteArray withIndex(quint8 code, int nvIndex)
{
    QByteArray out(1, char(code));
    if (nvIndex < 255) {
        out += char(nvIndex);
    } else {
        out += char(0xFF);
        appendBe16(out, quint16(nvIndex));
    }
    return out;
}

constexpr int SiHeaderLength = 6;

} // namespace

ApduKind apduKind(const QByteArray &apdu)
{
    if (apdu.isEmpty())
        return ApduKind::Empty;
    const quint8 code = quint8(apdu[0]);
    if (code & 0x80)
        return ApduKind::NetworkVariable;
    if ((code & 0xC0) == 0)
        return ApduKind::Application;
    if ((code & 0xF0) == 0x40)
        return ApduKind::ForeignFrame;
    if ((code & 0xF0) == 0x50)
        return ApduKind::Diagnostic;
    return ApduKind::NetworkManagement;
}

quint8 successCode(quint8 request)
{
    return (request & 0xF0) == 0x50 ? quint8(0x30 | (request & 0x0F)) : quint8(0x20 | (request & 0x1F));
}

quint8 failureCode(quint8 request)
{
    return (request & 0xF0) == 0x50 ? quint8(0x10 | (request & 0x0F)) : quint8(request & 0x1F);
}

QByteArray encodeNv(const NvMessage &m)
{
    QByteArray out;
    out += char(0x80 | (m.output ? 0x40 : 0) | ((m.selector >> 8) & 0x3F));
    out += char(m.selector & 0xFF);
    out += m.data;
    return out;
}

std::optional<NvMessage> decodeNv(const QByteArray &apdu)
{
    if (apdu.size() < 2 || !(quint8(apdu[0]) & 0x80))
        return std::nullopt;
    return NvMessage{quint16(be16(apdu, 0) & 0x3FFF), bool(quint8(apdu[0]) & 0x40), apdu.mid(2)};
}

QByteArray encodeDomainEntry(const DomainEntry &e)
{
    QByteArray out = e.id.leftJustified(6, '\0', true);
    out += char(e.subnet);
    out += char((e.nonClone ? 0x80 : 0) | (e.node & 0x7F));
    out += char((e.invalid ? 0x80 : 0) | (e.id.size() & 0x7F));
    out += e.key.leftJustified(6, '\0', true);
    return out;
}

std::optional<DomainEntry> decodeDomainEntry(const QByteArray &b)
{
    if (b.size() < 15)
        return std::nullopt;
    DomainEntry e;
    const int length = quint8(b[8]) & 0x7F;
    if (!isValidDomainLength(length))
        return std::nullopt;
    e.id = b.left(length);
    e.subnet = quint8(b[6]);
    e.nonClone = quint8(b[7]) & 0x80;
    e.node = quint8(b[7]) & 0x7F;
    e.invalid = quint8(b[8]) & 0x80;
    e.key = b.mid(9, 6);
    return e;
}

QByteArray encodeNvConfig(const NvConfigEntry &e)
{
    QByteArray out;
    out += char((e.priority ? 0x80 : 0) | (e.output ? 0x40 : 0) | ((e.selector >> 8) & 0x3F));
    out += char(e.selector & 0xFF);
    out += char((e.turnaround ? 0x80 : 0) | (quint8(e.service) & 0x03) << 5 | (e.authenticated ? 0x10 : 0)
                | (e.addressIndex & 0x0F));
    return out;
}

std::optional<NvConfigEntry> decodeNvConfig(const QByteArray &b)
{
    if (b.size() < 3)
        return std::nullopt;
    const quint8 b0 = quint8(b[0]), b2 = quint8(b[2]);
    NvConfigEntry e;
    e.priority = b0 & 0x80;
    e.output = b0 & 0x40;
    e.selector = be16(b, 0) & 0x3FFF;
    e.turnaround = b2 & 0x80;
    const quint8 service = (b2 >> 5) & 0x03;
    if (service > 2)
        return std::nullopt;
    e.service = NvConfigEntry::Service(service);
    e.authenticated = b2 & 0x10;
    e.addressIndex = b2 & 0x0F;
    return e;
}

QByteArray encodeAddressEntry(const AddressEntry &e)
{
    QByteArray out;
    out += char(1); // subnet/node entry
    out += char((e.domainIndex ? 0x80 : 0) | (e.node & 0x7F));
    out += char((e.repeatTimer & 0x0F) << 4 | (e.retryCount & 0x0F));
    out += char(e.transmitTimer & 0x0F);
    out += char(e.subnet);
    return out;
}

std::optional<AddressEntry> decodeAddressEntry(const QByteArray &b)
{
    if (b.size() < 5 || b[0] != 1)
        return std::nullopt;
    AddressEntry e;
    e.domainIndex = quint8(b[1]) >> 7;
    e.node = quint8(b[1]) & 0x7F;
    e.repeatTimer = quint8(b[2]) >> 4;
    e.retryCount = quint8(b[2]) & 0x0F;
    e.transmitTimer = quint8(b[3]) & 0x0F;
    e.subnet = quint8(b[4]);
    return e;
}

int timerCodeMs(quint8 code)
{
    const int even = 16 << ((code & 0x0F) / 2); // 16, 32, 64, ...
    return code & 1 ? even * 3 / 2 : even;
}

namespace request {

QByteArray queryId(quint8 selector)
{
    return QByteArray() + char(nm::QueryId) + char(selector);
}

QByteArray respondToQuery(bool respond)
{
    return QByteArray() + char(nm::RespondToQuery) + char(respond ? 1 : 0);
}

QByteArray updateDomain(quint8 index, const DomainEntry &entry)
{
    return QByteArray() + char(nm::UpdateDomain) + char(index) + encodeDomainEntry(entry);
}

QByteArray leaveDomain(quint8 index)
{
    return QByteArray() + char(nm::LeaveDomain) + char(index);
}

QByteArray updateAddress(quint8 index, const AddressEntry &e)
{
    return updateAddress(index, encodeAddressEntry(e));
}

QByteArray updateAddress(quint8 index, const QByteArray &entry)
{
    return QByteArray() + char(nm::UpdateAddress) + char(index) + entry;
}

QByteArray queryAddress(quint8 index)
{
    return QByteArray() + char(nm::QueryAddress) + char(index);
}

QByteArray queryNvConfig(int nvIndex)
{
    return withIndex(nm::QueryNvConfig, nvIndex);
}

QByteArray updateNvConfig(int nvIndex, const NvConfigEntry &entry)
{
    return withIndex(nm::UpdateNvConfig, nvIndex) + encodeNvConfig(entry);
}

QByteArray setNodeMode(NodeMode mode, quint8 state)
{
    QByteArray out = QByteArray() + char(nm::SetNodeMode) + char(mode);
    if (mode == NodeMode::ChangeState)
        out += char(state);
    return out;
}

QByteArray readMemory(MemoryMode mode, quint16 offset, quint8 count)
{
    QByteArray out = QByteArray() + char(nm::ReadMemory) + char(mode);
    appendBe16(out, offset);
    return out + char(count);
}

QByteArray writeMemory(MemoryMode mode, quint16 offset, const QByteArray &data, quint8 form)
{
    QByteArray out = QByteArray() + char(nm::WriteMemory) + char(mode);
    appendBe16(out, offset);
    return out + char(data.size()) + char(form) + data;
}

QByteArray checksumRecalc(quint8 form)
{
    return QByteArray() + char(nm::ChecksumRecalc) + char(form);
}

QByteArray wink()
{
    return QByteArray(1, char(nm::Wink));
}

QByteArray querySiData(quint16 offset, quint8 count)
{
    QByteArray out(1, char(nm::QuerySiData));
    appendBe16(out, offset);
    return out + char(count);
}

QByteArray nvFetch(int nvIndex)
{
    return withIndex(nm::NvFetch, nvIndex);
}

QByteArray queryStatus()
{
    return QByteArray(1, char(diag::QueryStatus));
}

QByteArray servicePin(const NeuronId &id, const QByteArray &programId)
{
    return QByteArray(1, char(nm::ServicePin)) + id.bytes.leftJustified(6, '\0', true)
           + programId.leftJustified(8, '\0', true);
}

} // namespace request

std::optional<IndexedBody> decodeNvIndex(const QByteArray &apdu)
{
    if (apdu.size() < 2)
        return std::nullopt;
    if (quint8(apdu[1]) != 0xFF)
        return IndexedBody{quint8(apdu[1]), apdu.mid(2)};
    if (apdu.size() < 4)
        return std::nullopt;
    return IndexedBody{be16(apdu, 2), apdu.mid(4)};
}

std::optional<Identity> decodeIdentity(const QByteArray &apdu)
{
    if (apdu.size() < 15)
        return std::nullopt;
    return Identity{NeuronId{apdu.mid(1, 6)}, apdu.mid(7, 8)};
}

std::optional<StatusReport> decodeStatus(const QByteArray &apdu)
{
    if (apdu.size() < 16)
        return std::nullopt;
    StatusReport s;
    quint16 *counters[] = {&s.transmitErrors, &s.transactionTimeouts, &s.receiveFull, &s.lostMessages,
                           &s.missedMessages};
    for (int i = 0; i < 5; ++i)
        *counters[i] = be16(apdu, 1 + 2 * i);
    s.resetCause = quint8(apdu[11]);
    s.nodeState = quint8(apdu[12]);
    s.version = quint8(apdu[13]);
    s.errorLog = quint8(apdu[14]);
    s.model = quint8(apdu[15]);
    return s;
}

QByteArray encodeStatus(quint8 responseCode, const StatusReport &s)
{
    QByteArray out(1, char(responseCode));
    for (quint16 counter : {s.transmitErrors, s.transactionTimeouts, s.receiveFull, s.lostMessages, s.missedMessages})
        appendBe16(out, counter);
    return out + char(s.resetCause) + char(s.nodeState) + char(s.version) + char(s.errorLog) + char(s.model);
}

std::optional<IndexedBody> decodeNvFetch(const QByteArray &apdu)
{
    return decodeNvIndex(apdu);
}

QByteArray encodeSiData(const SiData &si)
{
    QByteArray out;
    appendBe16(out, quint16(SiHeaderLength + 2 * si.nvs.size()));
    out += char(si.nvs.size() & 0xFF);
    out += char(si.version);
    out += char(si.nvs.size() >> 8);
    out += char(si.messageTags);
    for (const SiData::Nv &nv : si.nvs)
        out += QByteArray() + char(nv.flags) + char(nv.typeIndex);
    return out;
}

std::optional<int> siTableLength(const QByteArray &header)
{
    if (header.size() < SiHeaderLength)
        return std::nullopt;
    return SiHeaderLength + 2 * (quint8(header[2]) | quint8(header[4]) << 8);
}

std::optional<SiData> decodeSiData(const QByteArray &bytes)
{
    const auto length = siTableLength(bytes);
    if (!length)
        return std::nullopt;
    SiData si;
    si.length = be16(bytes, 0);
    si.version = quint8(bytes[3]);
    si.messageTags = quint8(bytes[5]);
    for (qsizetype at = SiHeaderLength; at + 1 < qMin<qsizetype>(bytes.size(), *length); at += 2)
        si.nvs.append({quint8(bytes[at]), quint8(bytes[at + 1])});
    return si;
}

} // namespace lonip
