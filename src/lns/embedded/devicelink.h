#pragma once

// How the network database reaches a device: every device answers through a DeviceLink. A device
// without a link record is simulated inside the database (SimulatedLink, netdb.h,
// commandmodulesim.h): what it answers is what the database holds. A device with a LON/IP link is
// a real device (or tqm-devicesim) at an IP address: its CP values, NV values, "does it answer",
// calibration trigger and knob calibration state go over LonTalk on LS/UDP, while the database
// stays the one source of its template, objects and extension records, and keeps the last value
// written to each CP and NV of every device.
//
// On the device, CPs are found through its self-documentation: the node object's
// nvoFileDirectory (the NV whose self-documentation text is "@0|8") gives the address of the
// file directory in its memory; the template file names each CP of the writable value file in
// value-file order ("header,select,flags,index,dimension;name"), so a CP's bytes sit at the sum
// of the sizes before it. Values are read and written with read/write memory, NVs by NV fetch and
// acknowledged NV update, the calibration trigger and the knob's state go through the node object
// (nodeobject below).
//
// Every call completes before it returns, retries included. Its wait runs no event loop: it
// blocks on the tool node's socket and fires the node's own retry timers, so no window timer,
// monitor tick, user input, posted event or D-Bus call runs in the middle of a device access
// (the program has one thread, and its window logic is not written to be re-entered). The window
// does not repaint during a wait: a few milliseconds per message, up to four transmit timers
// (0.8 s) for a device that does not answer. A device that does not answer raises the same error
// as an offline simulated device.

#include "lns/embedded/devicetemplate.h"

#include "lns/lns.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include "lonip/address.h"
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace lonip {
class NetworkClient;
struct Target;
struct Result;
}

namespace embedded {

// The node object's requests (SNVT_obj_request, nviRequest) and object status (SNVT_obj_status,
// nvoStatus) as the command module uses them: a self-test request to its block is the
// calibration trigger, and after an update-status request nvoStatus reports the block "self test
// in progress" until the knob is calibrated.
namespace nodeobject {
inline constexpr quint8 UpdateStatus = 2, SelfTest = 3; // RQ_UPDATE_STATUS, RQ_SELF_TEST
inline constexpr int StatusSize = 6;                    // object ID (2), then four bytes of flags
inline constexpr int SelfTestInProgressByte = 3;
inline constexpr quint8 SelfTestInProgress = 0x02;
inline QByteArray request(int objectId, quint8 request)
{
    return QByteArray() + char(objectId >> 8) + char(objectId) + char(request);
}
} // namespace nodeobject

// What the database keeps about a device's link (table device_links).
struct LinkRecord
{
    QString kind;  // "lonip"
    QString ip;    // its address
    QString neuronId;
};

// An output NV of a device bound to an input of the tool's node (DeviceLink::bindOutput). The
// binding ends with the object, which puts back what it changed on the device: the NV's
// configuration entry and the address-table entry, as they were read before.
class NvBinding
{
public:
    virtual ~NvBinding() = default;
};

// Every call throws TqmError when the device does not answer or refuses.
class DeviceLink
{
public:
    virtual ~DeviceLink() = default;
    virtual QByteArray readCp(int cpKey) = 0;
    // The database stores the value after the link took it.
    virtual void writeCp(int cpKey, const QByteArray &bytes) = 0;
    virtual QByteArray readNv(int nvKey) = 0;
    virtual void writeNv(int nvKey, const QByteArray &bytes) = 0;
    // When, after `now`, the NV may next change without anything written; invalid: never.
    virtual QDateTime nvChangesAt(int nvKey, const QDateTime &now) = 0;
    virtual void test() = 0;
    virtual void calibrationTrigger() = 0;
    virtual lns::AppDevice::KnobCalibration knobCalibration() = 0;
    // The device's changes reach the network database's watchers by themselves (the simulation):
    // an event-driven monitor point needs neither a binding nor polls.
    virtual bool sendsChanges() const = 0;
    // Binds the output NV to an input of the tool's node, so that the device sends its changes:
    // `sent` takes each value while the binding lasts. Null, and the device as it was, when the NV
    // cannot be bound (bound elsewhere already, no free address-table entry, a tool node devices
    // cannot send to) or the device refuses or does not answer: its changes are then found by
    // reading it (nvChangesAt). Throws nothing.
    virtual std::unique_ptr<NvBinding> bindOutput(int nvKey, std::function<void(const QByteArray &)> sent) = 0;
};

class NetDb;
std::unique_ptr<DeviceLink> makeSimulatedLink(NetDb &db, qint64 deviceId);

// Where the tool's own node sits in a network's domain, kept with the network (tqm-netdb
// network). The domain is the one its IP address stands for (192.168.x.x: none, 10.D.x.x: D,
// A.B.x.x: A B 00); a subnet/node other than the IP's own is sent as an arbitrary source.
struct ToolNodeAddress
{
    QString ip;     // empty: the first free loopback address from 127.0.1.100 on
    int subnet = 0; // 0: from the IP address (x.x.S.N)
    int node = 0;
    bool operator==(const ToolNodeAddress &) const = default;
    // Empty when the address can be used, else what is wrong with it.
    QString problem() const;
};

// The tool's own LON/IP node at one address, port 2541: one per address and process, bound while
// a link or command holds it (so that programs of the tool take turns at a network's address).
class ToolNode
{
public:
    // The default node (loopback, first free address from 127.0.1.100 on), kept for the process.
    static ToolNode &instance();
    static std::shared_ptr<ToolNode> at(const ToolNodeAddress &address);
    ~ToolNode();
    // The address it is bound to.
    lonip::IpAddress ip() const;
    // The subnet/node devices send to, to reach it; none when its IP address stands for another
    // one (its source is arbitrary), where a device's messages would not arrive.
    std::optional<lonip::SubnetNode> reachableAt() const;
    lonip::NetworkClient &client();
    // A request that completes before it returns: the result, retries spent or answered.
    lonip::Result call(const lonip::Target &target, const QByteArray &apdu);
    lonip::Result poll(const lonip::Target &target, quint16 selector);
    lonip::Result update(const lonip::Target &target, quint16 selector, const QByteArray &value);
    // Serves the node (its socket and retry timers, nothing else) until `done`; for requests
    // started on the client() directly.
    void waitUntil(const std::function<bool()> &done);

private:
    explicit ToolNode(const ToolNodeAddress &address);
    lonip::Result wait(const std::function<void(std::function<void(const lonip::Result &)>)> &start);
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

// The link to a device through the tool's node at `tool`; the node is bound at the first call.
std::unique_ptr<DeviceLink> makeLonIpLink(DeviceTemplateDefPtr tpl, const QString &deviceName, const LinkRecord &record,
                                          const ToolNodeAddress &tool = {});

} // namespace embedded
