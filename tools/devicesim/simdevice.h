#pragma once

// One simulated command module as a LON/IP node: the embedded simulation's device model
// (commandmodulesim.h) behind the network-management, diagnostic and NV messages a real device
// answers.
//
// The device's memory image holds its CP files: the file directory (its address is the value of
// the node object's nvoFileDirectory, the NV after the template's), the template file and the
// writable value file; the constant value file is empty. The template file is text: "1.1;" and
// then one record per CP in value-file order, "header,select,flags,index,dimension;name" (header
// 0 device, 1 LonMark object with select its position, 2 NV with select its index; index 0
// where the CP has no standard key; the name after ";" says which CP of the device template it
// is). The NV indexes are the template's NV keys.
//
// CPs may also be configuration network variables instead (config class in the SI data), after
// nvoFileDirectory in the NV table, each documented as "&header,select,flags,index,dimension;name"
// like a template-file record; they are then not in the value file.
//
// The self-identification data is the header and NV table, then zero-terminated
// self-documentation texts: the device's, then one per NV ("@0|8" for nvoFileDirectory).
//
// An output NV whose configuration entry names an address-table entry is bound: the device
// sends it there, acknowledged with the entry's retries and transmit timer, when its value
// changes and, for nvoSpaceTemp, at every heartbeat (nciSndHrtBt) since it was last sent.

#include "lns/clock.h"
#include "lns/embedded/commandmodulesim.h"
#include "lns/embedded/devicetemplate.h"
#include "lonip/apdu.h"
#include "lonip/endpoint.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <QList>
#include <array>
#include <optional>

namespace devicesim {

// Layout of the memory image.
inline constexpr quint16 DirectoryAddress = 0x4000;
inline constexpr quint16 TemplateAddress = 0x4040;

class SimDevice
{
public:
    // `nvCps`: the CPs (by name) the device keeps in configuration network variables.
    SimDevice(embedded::DeviceTemplateDefPtr tpl, const lonip::NeuronId &id, const Clock &clock,
              const QStringList &nvCps = {});

    // The node's answer to a message addressed to it (Endpoint::Handler).
    std::optional<QByteArray> handle(const lonip::Incoming &message);

    // Configured and online in a domain at this subnet/node, as commissioning leaves it.
    void configure(const lonip::DomainId &domain, quint8 subnet, quint8 node);
    // A device taken down answers nothing.
    void setAnswering(bool answering)
    {
        m_answering = answering;
        m_answersLeft.reset();
    }
    // Goes down after answering `count` more messages (in the middle of a write, say).
    void goDownAfter(int count) { m_answersLeft = count; }
    // Messages answered so far.
    int messages() const { return m_messages; }
    bool isAnswering() const { return m_answering; }

    const lonip::NeuronId &neuronId() const { return m_id; }
    // The IP address its LON address stands for once configured (the device follows it); null
    // before.
    lonip::IpAddress addressIp() const;
    QByteArray programId() const;
    quint8 nodeState() const { return m_state; }
    int winks() const { return m_winks; }

    using RoomChange = std::function<embedded::cmsim::RoomState(embedded::cmsim::RoomState,
                                                                const embedded::cmsim::Settings &, const QDateTime &)>;
    void changeRoom(const RoomChange &change);
    const embedded::cmsim::RoomState &room() const { return m_room; }
    // The CP's bytes in the value file; empty for a CP the device does not have.
    QByteArray cpValue(const QString &name) const;
    QByteArray nvValue(int index) const;
    int nvCount() const { return int(m_tpl->nvs.size() + 1 + m_nvCps.size()); }
    // One line: state, room, outputs, knob calibration, bound outputs, a checksum of the NV
    // configuration and address tables, messages answered.
    QString describe() const;

    // An NV update a bound output sends now.
    struct BoundUpdate
    {
        lonip::IpAddress to;
        lonip::Destination destination;
        lonip::Timing timing;
        QByteArray apdu;
    };
    // The bound outputs' updates due now, from the last ones sent on.
    QList<BoundUpdate> boundUpdates();

private:
    struct CpPlace
    {
        int offset = 0; // in the value file
        int size = 0;
    };

    void layOutFiles();
    bool accepts(const lonip::Destination &destination) const;
    std::optional<QByteArray> networkManagement(const QByteArray &apdu);
    std::optional<QByteArray> networkVariable(const lonip::NvMessage &message);
    QByteArray nvFetch(const QByteArray &apdu);
    QByteArray writeMemory(const QByteArray &apdu);
    void setInput(int index, const QByteArray &value);
    int nvIndexBySelector(quint16 selector) const;
    embedded::cmsim::Settings settings() const;
    QByteArray siData() const;
    bool isConfigured() const;
    std::optional<BoundUpdate> boundUpdate(int index, const QByteArray &value) const;
    qint64 heartbeatMs(int index) const;

    embedded::DeviceTemplateDefPtr m_tpl;
    lonip::NeuronId m_id;
    const Clock &m_clock;
    QByteArray m_memory;
    quint16 m_valueFileAddress = 0;
    QList<CpPlace> m_cps; // by CP key
    QList<int> m_nvCps;   // CP keys of the configuration NVs, in NV order
    QHash<int, QByteArray> m_nvCpValues; // by CP key
    QList<QByteArray> m_cpRecords; // "header,select,flags,index,dimension;name" by CP key
    QList<QByteArray> m_nvs; // by NV key
    QList<lonip::NvConfigEntry> m_nvConfig; // by NV index, nvoFileDirectory included
    std::array<std::optional<lonip::DomainEntry>, 2> m_domains;
    QList<QByteArray> m_addresses; // address table entries as written
    quint8 m_state = lonip::nodestate::Unconfigured;
    bool m_selected = false;
    bool m_answering = true;
    std::optional<int> m_answersLeft;
    int m_messages = 0;
    int m_winks = 0;
    int m_statusObject = 0; // the object nvoStatus reports (the last update-status request's)
    embedded::cmsim::RoomState m_room;
    struct Sent
    {
        QByteArray value;
        QDateTime at;
    };
    QHash<int, Sent> m_sent; // by index of a bound output
};

} // namespace devicesim
