#pragma once

// Application PDUs: network-variable messages, network-management and diagnostic requests and
// their responses. Builders give the APDU bytes (message code first); parsers take a response's
// APDU and answer nothing when it is too short. Multi-byte numbers are big-endian.

#include "lonip/address.h"

#include <QByteArray>
#include <QList>
#include <optional>

namespace lonip {

namespace nm {
inline constexpr quint8 Expanded = 0x60, QueryId = 0x61, RespondToQuery = 0x62, UpdateDomain = 0x63,
                        LeaveDomain = 0x64, UpdateKey = 0x65, UpdateAddress = 0x66, QueryAddress = 0x67,
                        QueryNvConfig = 0x68, UpdateGroupAddress = 0x69, QueryDomain = 0x6A,
                        UpdateNvConfig = 0x6B, SetNodeMode = 0x6C, ReadMemory = 0x6D, WriteMemory = 0x6E,
                        ChecksumRecalc = 0x6F, Wink = 0x70, MemoryRefresh = 0x71, QuerySiData = 0x72,
                        NvFetch = 0x73, ServicePin = 0x7F;
}
namespace diag {
inline constexpr quint8 QueryStatus = 0x51, Proxy = 0x52, ClearStatus = 0x53, QueryTransceiverStatus = 0x54,
                        GetFullVersion = 0x59;
}

enum class ApduKind { NetworkVariable, Application, ForeignFrame, Diagnostic, NetworkManagement, Empty };
ApduKind apduKind(const QByteArray &apdu);

// The response codes to a network-management or diagnostic request.
quint8 successCode(quint8 request);
quint8 failureCode(quint8 request);

// ---- network variables ----
struct NvMessage
{
    quint16 selector = 0; // 14 bits
    bool output = false;  // the output (poll) direction
    QByteArray data;      // empty in a poll
};
QByteArray encodeNv(const NvMessage &message);
std::optional<NvMessage> decodeNv(const QByteArray &apdu);
// An unbound NV's selector.
inline quint16 unboundSelector(int nvIndex) { return quint16(0x3FFF - nvIndex); }

// ---- request bodies ----
enum class NodeMode : quint8 { Offline = 0, Online = 1, ApplicationReset = 2, ChangeState = 3, PhysicalReset = 6 };
namespace nodestate {
inline constexpr quint8 Unconfigured = 2, Applicationless = 3, ConfiguredOnline = 4, HardOffline = 6,
                        ConfiguredSoftOffline = 0x0C, OfflineBit = 0x08;
}
enum class MemoryMode : quint8 { Absolute = 0, ReadOnlyRelative = 1, ConfigRelative = 2, StatisticsRelative = 3 };
namespace memoryform {
inline constexpr quint8 None = 0, BothChecksums = 1, ConfigChecksum = 4, Reset = 8;
}
namespace queryid {
inline constexpr quint8 Unconfigured = 0, Selected = 1;
}

struct DomainEntry
{
    DomainId id;
    quint8 subnet = 0;
    quint8 node = 0;
    bool nonClone = false;
    bool invalid = false;
    QByteArray key = QByteArray(6, '\0');

    bool operator==(const DomainEntry &) const = default;
};
QByteArray encodeDomainEntry(const DomainEntry &entry); // 15 bytes
std::optional<DomainEntry> decodeDomainEntry(const QByteArray &bytes);

struct AddressEntry // a subnet/node entry of the address table
{
    quint8 domainIndex = 0;
    quint8 node = 0;
    quint8 repeatTimer = 0; // 4-bit timer codes
    quint8 retryCount = 3;
    quint8 transmitTimer = 0;
    quint8 subnet = 0;

    bool operator==(const AddressEntry &) const = default;
};
QByteArray encodeAddressEntry(const AddressEntry &entry); // 5 bytes
// A subnet/node entry; nothing for a free entry (type 0) or an entry of another kind.
std::optional<AddressEntry> decodeAddressEntry(const QByteArray &bytes);
inline bool isFreeAddressEntry(const QByteArray &bytes) { return bytes.size() == 5 && bytes[0] == 0; }
// The milliseconds a 4-bit transmit or repeat timer code stands for (16 ms for code 0, then
// alternately times 1.5 and times 4/3, up to 3072 ms for code 15).
int timerCodeMs(quint8 code);

struct NvConfigEntry
{
    enum class Service : quint8 { Acknowledged = 0, Repeated = 1, Unacknowledged = 2 };
    bool priority = false;
    bool output = false;
    quint16 selector = 0;
    bool turnaround = false;
    Service service = Service::Acknowledged;
    bool authenticated = false;
    quint8 addressIndex = 15; // 15: none

    bool operator==(const NvConfigEntry &) const = default;
};
QByteArray encodeNvConfig(const NvConfigEntry &entry); // 3 bytes
std::optional<NvConfigEntry> decodeNvConfig(const QByteArray &bytes);

namespace request {
QByteArray queryId(quint8 selector = queryid::Unconfigured);
QByteArray respondToQuery(bool respond);
QByteArray updateDomain(quint8 index, const DomainEntry &entry);
QByteArray leaveDomain(quint8 index);
QByteArray updateAddress(quint8 index, const AddressEntry &entry);
QByteArray updateAddress(quint8 index, const QByteArray &entry); // 5 bytes as a query answered them
QByteArray queryAddress(quint8 index);
QByteArray queryNvConfig(int nvIndex);
QByteArray updateNvConfig(int nvIndex, const NvConfigEntry &entry);
QByteArray setNodeMode(NodeMode mode, quint8 state = 0); // the state byte only with ChangeState
QByteArray readMemory(MemoryMode mode, quint16 offset, quint8 count);
QByteArray writeMemory(MemoryMode mode, quint16 offset, const QByteArray &data, quint8 form);
QByteArray checksumRecalc(quint8 form = memoryform::BothChecksums);
QByteArray wink();
QByteArray querySiData(quint16 offset, quint8 count);
QByteArray nvFetch(int nvIndex);
QByteArray queryStatus();
QByteArray servicePin(const NeuronId &id, const QByteArray &programId);
} // namespace request

// The NV index a query NV config, update NV config or NV fetch request names (255 escapes to two
// bytes), and where the rest of the body starts.
struct IndexedBody
{
    int index = 0;
    QByteArray rest;
};
std::optional<IndexedBody> decodeNvIndex(const QByteArray &apdu);

// ---- responses and unsolicited messages ----
// Query ID response and service-pin message.
struct Identity
{
    NeuronId neuronId;
    QByteArray programId; // 8 bytes
};
std::optional<Identity> decodeIdentity(const QByteArray &apdu);

struct StatusReport
{
    quint16 transmitErrors = 0, transactionTimeouts = 0, receiveFull = 0, lostMessages = 0, missedMessages = 0;
    quint8 resetCause = 0, nodeState = 0, version = 0, errorLog = 0, model = 0;
};
std::optional<StatusReport> decodeStatus(const QByteArray &apdu);
QByteArray encodeStatus(quint8 responseCode, const StatusReport &status);

// NV fetch response: the index and the value.
std::optional<IndexedBody> decodeNvFetch(const QByteArray &apdu);

// The self-identification data's header and NV table.
struct SiData
{
    struct Nv
    {
        quint8 flags = 0;
        quint8 typeIndex = 0;
    };
    quint16 length = 0; // header and NV table; encodeSiData fills it in
    quint8 version = 1;
    quint8 messageTags = 0;
    QList<Nv> nvs;
};
namespace siflag {
inline constexpr quint8 ExtensionRecord = 0x80, Synchronous = 0x40, Polled = 0x20, Offline = 0x10,
                        ServiceConfigurable = 0x08, PriorityConfigurable = 0x04, AuthConfigurable = 0x02,
                        ConfigClass = 0x01;
}
QByteArray encodeSiData(const SiData &si);
// The header and as much of the NV table as `bytes` holds (a reader fetches the header first to
// learn how much more to fetch).
std::optional<SiData> decodeSiData(const QByteArray &bytes);
// How many bytes the SI data's header and NV table take, from its first bytes.
std::optional<int> siTableLength(const QByteArray &header);

} // namespace lonip
