#include "simdevice.h"

#include "lns/embedded/devicelink.h"
#include "lns/embedded/valuetypes.h"

namespace devicesim {

using namespace lonip;
namespace cmsim = embedded::cmsim;

namespace {

constexpr int MemorySize = 0x10000;
constexpr quint8 FileDirectoryVersion = 0x20;
constexpr quint16 ValueFileType = 1, TemplateFileType = 2;

QByteArray be16(quint16 v)
{
    return QByteArray() + char(v >> 8) + char(v & 0xFF);
}

QByteArray answer(quint8 request, const QByteArray &data = {})
{
    return QByteArray(1, char(successCode(request))) + data;
}

QByteArray refuse(quint8 request)
{
    return QByteArray(1, char(failureCode(request)));
}

int nvSize(const embedded::NvDef &nv)
{
    if (nv.size > 0)
        return nv.size;
    const auto *type = embedded::valuetypes::find(nv.typeName);
    return type ? type->size() : 2;
}

} // namespace

SimDevice::SimDevice(embedded::DeviceTemplateDefPtr tpl, const NeuronId &id, const Clock &clock,
                     const QStringList &nvCps)
    : m_tpl(std::move(tpl)), m_id(id), m_clock(clock), m_memory(MemorySize, '\0')
{
    for (const QString &name : nvCps) {
        const int key = m_tpl->cpKeyByName(name);
        if (key >= 0 && !m_nvCps.contains(key)) {
            m_nvCps.append(key);
            m_nvCpValues.insert(key, m_tpl->cps[key].defaultValue.leftJustified(
                                         m_tpl->cps[key].elementLength * m_tpl->cps[key].dimension, '\0', true));
        }
    }
    for (int key = 0; key < m_tpl->nvs.size(); ++key) {
        const embedded::NvDef &nv = m_tpl->nvs[key];
        m_nvs.append(nv.defaultValue.isEmpty() ? QByteArray(nvSize(nv), '\0') : nv.defaultValue);
    }
    for (int index = 0; index < nvCount(); ++index) {
        NvConfigEntry entry;
        entry.output = index >= m_tpl->nvs.size() || m_tpl->nvs[index].direction == lns::NetworkVariable::Direction::Output;
        entry.selector = unboundSelector(index);
        m_nvConfig.append(entry);
    }
    layOutFiles();
    const QDateTime now = m_clock.now();
    m_room.knobSince = now;
    m_room.inputsChangedAt = now;
}

void SimDevice::layOutFiles()
{
    QByteArray templateFile = "1.1;";
    int valueSize = 0;
    for (int key = 0; key < m_tpl->cps.size(); ++key) {
        const embedded::CpDef &cp = m_tpl->cps[key];
        int header = 0, select = 0;
        for (int lmo = 0; lmo < m_tpl->lmos.size(); ++lmo) {
            if (m_tpl->lmos[lmo].cpKeys.contains(key))
                header = 1, select = lmo;
        }
        for (int nv = 0; nv < m_tpl->nvs.size(); ++nv) {
            if (m_tpl->nvs[nv].cpKeys.contains(key))
                header = 2, select = nv;
        }
        m_cpRecords.append(QStringLiteral("%1,%2,0,0,%3;%4").arg(header).arg(select).arg(cp.dimension).arg(cp.name).toLatin1());
        const int size = cp.elementLength * cp.dimension;
        if (m_nvCps.contains(key)) {
            m_cps.append({-1, size});
            continue;
        }
        templateFile += '\n' + m_cpRecords.last();
        m_cps.append({valueSize, size});
        valueSize += size;
    }
    m_valueFileAddress = quint16((TemplateAddress + templateFile.size() + 0x0F) & ~0x0F);
    m_memory.replace(TemplateAddress, templateFile.size(), templateFile);
    for (int key = 0; key < m_tpl->cps.size(); ++key) {
        const CpPlace &place = m_cps[key];
        if (place.offset < 0)
            continue;
        m_memory.replace(m_valueFileAddress + place.offset, place.size,
                         m_tpl->cps[key].defaultValue.leftJustified(place.size, '\0', true));
    }
    QByteArray directory;
    directory += char(FileDirectoryVersion);
    directory += char(3);
    directory += be16(quint16(templateFile.size())) + be16(TemplateFileType) + be16(TemplateAddress);
    directory += be16(quint16(valueSize)) + be16(ValueFileType) + be16(m_valueFileAddress);
    directory += be16(0) + be16(ValueFileType) + be16(quint16(m_valueFileAddress + valueSize));
    m_memory.replace(DirectoryAddress, directory.size(), directory);
}

QByteArray SimDevice::programId() const
{
    return QByteArray::fromHex(m_tpl->programId.toLatin1().replace(':', ""));
}

void SimDevice::configure(const DomainId &domain, quint8 subnet, quint8 node)
{
    DomainEntry entry;
    entry.id = domain;
    entry.subnet = subnet;
    entry.node = node;
    m_domains[0] = entry;
    m_state = nodestate::ConfiguredOnline;
}

IpAddress SimDevice::addressIp() const
{
    return isConfigured() && m_domains[0] ? nodeIp(m_domains[0]->id, m_domains[0]->subnet, m_domains[0]->node)
                                          : IpAddress();
}

bool SimDevice::isConfigured() const
{
    return (m_state & ~nodestate::OfflineBit) == nodestate::ConfiguredOnline;
}

bool SimDevice::accepts(const Destination &d) const
{
    switch (d.kind) {
    case Destination::Kind::NeuronId:
        return d.neuronId.bytes.isEmpty() || d.neuronId == m_id;
    case Destination::Kind::Broadcast:
        return true;
    case Destination::Kind::SubnetNode:
        // An unconfigured node answers only to its Neuron ID and to broadcasts.
        return isConfigured() && m_domains[0] && m_domains[0]->subnet == d.subnet && m_domains[0]->node == d.node;
    case Destination::Kind::Group:
    case Destination::Kind::GroupAck:
        return false;
    }
    return false;
}

std::optional<QByteArray> SimDevice::handle(const Incoming &message)
{
    if (!m_answering || !accepts(message.packet.destination))
        return std::nullopt;
    if (m_answersLeft && (*m_answersLeft)-- <= 0) {
        setAnswering(false);
        return std::nullopt;
    }
    ++m_messages;
    const QByteArray &apdu = message.apdu();
    switch (apduKind(apdu)) {
    case ApduKind::NetworkVariable:
        if (const auto nv = decodeNv(apdu))
            return networkVariable(*nv);
        return std::nullopt;
    case ApduKind::NetworkManagement:
        return networkManagement(apdu);
    case ApduKind::Diagnostic: {
        const quint8 code = quint8(apdu[0]);
        if (code == diag::QueryStatus) {
            StatusReport status;
            status.nodeState = m_state;
            status.version = 16;
            return encodeStatus(successCode(code), status);
        }
        return code == diag::ClearStatus ? answer(code) : refuse(code);
    }
    default:
        return std::nullopt;
    }
}

std::optional<QByteArray> SimDevice::networkManagement(const QByteArray &apdu)
{
    const quint8 code = quint8(apdu[0]);
    const auto byteAt = [&apdu](int i) { return i < apdu.size() ? quint8(apdu[i]) : quint8(0); };
    switch (code) {
    case nm::QueryId: {
        const bool unconfigured = !isConfigured();
        const bool asked = byteAt(1) == queryid::Unconfigured ? unconfigured : m_selected;
        if (!asked)
            return std::nullopt; // the others keep quiet
        return answer(code, m_id.bytes + programId());
    }
    case nm::RespondToQuery:
        m_selected = byteAt(1) != 0;
        return answer(code);
    case nm::UpdateDomain: {
        const auto entry = decodeDomainEntry(apdu.mid(2));
        if (byteAt(1) > 1 || !entry)
            return refuse(code);
        m_domains[byteAt(1)] = entry;
        return answer(code);
    }
    case nm::LeaveDomain:
        if (byteAt(1) > 1)
            return refuse(code);
        m_domains[byteAt(1)].reset();
        if (!m_domains[0] && !m_domains[1])
            m_state = nodestate::Unconfigured;
        return answer(code);
    case nm::QueryDomain:
        if (byteAt(1) > 1 || !m_domains[byteAt(1)])
            return refuse(code);
        return answer(code, encodeDomainEntry(*m_domains[byteAt(1)]));
    case nm::UpdateAddress:
        if (apdu.size() < 7 || byteAt(1) > 14)
            return refuse(code);
        m_addresses.resize(qMax<qsizetype>(m_addresses.size(), byteAt(1) + 1));
        m_addresses[byteAt(1)] = apdu.mid(2, 5);
        return answer(code);
    case nm::QueryAddress:
        if (byteAt(1) > 14)
            return refuse(code);
        return answer(code, m_addresses.value(byteAt(1), QByteArray(5, '\0')));
    case nm::QueryNvConfig: {
        const auto body = decodeNvIndex(apdu);
        if (!body || body->index >= nvCount())
            return refuse(code);
        return answer(code, encodeNvConfig(m_nvConfig[body->index]));
    }
    case nm::UpdateNvConfig: {
        const auto body = decodeNvIndex(apdu);
        const auto entry = body ? decodeNvConfig(body->rest) : std::nullopt;
        if (!entry || body->index >= nvCount())
            return refuse(code);
        m_nvConfig[body->index] = *entry;
        // A newly bound output sends its next change (what it holds now went out before).
        if (entry->output && entry->addressIndex != 15)
            m_sent.insert(body->index, {nvValue(body->index), m_clock.now()});
        else
            m_sent.remove(body->index);
        return answer(code);
    }
    case nm::SetNodeMode:
        switch (NodeMode(byteAt(1))) {
        case NodeMode::Offline: m_state |= nodestate::OfflineBit; break;
        case NodeMode::Online: m_state &= quint8(~nodestate::OfflineBit); break;
        case NodeMode::ChangeState: m_state = byteAt(2); break;
        case NodeMode::ApplicationReset:
        case NodeMode::PhysicalReset: break;
        default: return refuse(code);
        }
        return answer(code);
    case nm::ReadMemory: {
        const int offset = byteAt(2) << 8 | byteAt(3), count = byteAt(4);
        if (apdu.size() < 5 || offset + count > m_memory.size())
            return refuse(code);
        return answer(code, m_memory.mid(offset, count));
    }
    case nm::WriteMemory:
        return writeMemory(apdu);
    case nm::QuerySiData: {
        const QByteArray si = siData();
        const int offset = byteAt(1) << 8 | byteAt(2), count = byteAt(3);
        if (apdu.size() < 4 || offset > si.size())
            return refuse(code);
        return answer(code, si.mid(offset, count));
    }
    case nm::NvFetch:
        return nvFetch(apdu);
    case nm::Wink:
        ++m_winks;
        return answer(code);
    case nm::ChecksumRecalc:
    case nm::MemoryRefresh:
        return answer(code);
    case nm::ServicePin:
        return std::nullopt; // another node's, not for us to answer
    default:
        return refuse(code);
    }
}

QByteArray SimDevice::nvFetch(const QByteArray &apdu)
{
    const auto body = decodeNvIndex(apdu);
    if (!body || body->index >= nvCount())
        return refuse(nm::NvFetch);
    return answer(nm::NvFetch, apdu.mid(1, apdu.size() - 1 - body->rest.size()) + nvValue(body->index));
}

QByteArray SimDevice::writeMemory(const QByteArray &apdu)
{
    if (apdu.size() < 6)
        return refuse(nm::WriteMemory);
    const int offset = quint8(apdu[2]) << 8 | quint8(apdu[3]), count = quint8(apdu[4]);
    const QByteArray data = apdu.mid(6);
    if (data.size() != count || offset + count > m_memory.size())
        return refuse(nm::WriteMemory);
    // What the device does with its old settings ends here (as when a CP is written to the
    // network database's simulation).
    m_room = cmsim::settle(m_room, settings(), m_clock.now());
    m_memory.replace(offset, count, data);
    return answer(nm::WriteMemory);
}

std::optional<QByteArray> SimDevice::networkVariable(const NvMessage &message)
{
    const int index = nvIndexBySelector(message.selector);
    if (index < 0)
        return std::nullopt;
    if (message.output && message.data.isEmpty()) // a poll: the NV response
        return encodeNv({message.selector, true, nvValue(index)});
    if (index < m_nvs.size() && m_tpl->nvs[index].direction == lns::NetworkVariable::Direction::Input)
        setInput(index, message.data);
    const int cpKey = m_nvCps.value(index - int(m_nvs.size()) - 1, -1);
    if (cpKey >= 0 && message.data.size() == m_nvCpValues.value(cpKey).size()) {
        m_room = cmsim::settle(m_room, settings(), m_clock.now());
        m_nvCpValues.insert(cpKey, message.data);
    }
    return QByteArray();
}

int SimDevice::nvIndexBySelector(quint16 selector) const
{
    for (int index = 0; index < m_nvConfig.size(); ++index) {
        if (m_nvConfig[index].selector == selector)
            return index;
    }
    return -1;
}

void SimDevice::setInput(int index, const QByteArray &value)
{
    const QString &name = m_tpl->nvs[index].name;
    // Requests to an object: the command module's self test starts the knob's calibration step,
    // as the network database's calibration trigger does.
    if (name == QLatin1String("nviRequest") && value.size() >= 3) {
        if (quint8(value[2]) == embedded::nodeobject::SelfTest)
            m_room = cmsim::calibrationTrigger(m_room, settings(), m_clock.now());
        else if (quint8(value[2]) == embedded::nodeobject::UpdateStatus)
            m_statusObject = quint8(value[0]) << 8 | quint8(value[1]);
        return;
    }
    if (name == QLatin1String("nviSpaceTemp"))
        m_room = cmsim::settle(m_room, settings(), m_clock.now());
    m_nvs[index] = value;
}

QByteArray SimDevice::nvValue(int index) const
{
    if (index == int(m_nvs.size()))
        return be16(DirectoryAddress); // nvoFileDirectory
    if (index > int(m_nvs.size()))
        return m_nvCpValues.value(m_nvCps.value(index - int(m_nvs.size()) - 1));
    const embedded::NvDef &nv = m_tpl->nvs[index];
    if (nv.name == QLatin1String("nvoStatus")) {
        QByteArray status = be16(quint16(m_statusObject)) + QByteArray(4, '\0');
        const bool commandModule = m_statusObject < m_tpl->lmos.size()
                                   && m_tpl->lmos[m_statusObject].type == embedded::CommandModuleProfile;
        if (commandModule && cmsim::knobCalibration(m_room, settings(), m_clock.now()) != cmsim::KnobCalibration::Calibrated)
            status[embedded::nodeobject::SelfTestInProgressByte] = char(embedded::nodeobject::SelfTestInProgress);
        return status;
    }
    const bool commandModuleOutput = nv.direction == lns::NetworkVariable::Direction::Output && nv.lmoPosition >= 0
                                     && m_tpl->lmos[nv.lmoPosition].type == embedded::CommandModuleProfile;
    if (commandModuleOutput) {
        const QByteArray simulated = cmsim::outputValue(nv.name, cmsim::outputs(m_room, settings(), m_clock.now()));
        if (!simulated.isEmpty())
            return simulated;
    }
    return m_nvs.value(index);
}

QByteArray SimDevice::cpValue(const QString &name) const
{
    const int key = m_tpl->cpKeyByName(name);
    if (key < 0)
        return {};
    if (m_nvCpValues.contains(key))
        return m_nvCpValues.value(key);
    return m_memory.mid(m_valueFileAddress + m_cps[key].offset, m_cps[key].size);
}

cmsim::Settings SimDevice::settings() const
{
    int externalTemp = cmsim::Settings::InvalidTemp;
    if (const int external = m_tpl->nvKeyByName(QStringLiteral("nviSpaceTemp")); external >= 0) {
        const QByteArray b = m_nvs[external];
        if (b.size() == 2)
            externalTemp = qint16(quint8(b[0]) << 8 | quint8(b[1]));
    }
    return cmsim::settingsFrom([this](const char *name) { return cpValue(QLatin1String(name)); }, externalTemp,
                               cmsim::learnsKnobLimits(m_tpl->cpKeyByName(QStringLiteral("PanelType")) >= 0,
                                                       m_tpl->applicationVersion));
}

void SimDevice::changeRoom(const RoomChange &change)
{
    const QDateTime now = m_clock.now();
    const cmsim::Settings s = settings();
    m_room = change(cmsim::settle(m_room, s, now), s, now);
}

QByteArray SimDevice::siData() const
{
    SiData si;
    for (const embedded::NvDef &nv : m_tpl->nvs) {
        const auto *type = embedded::valuetypes::find(nv.typeName);
        si.nvs.append({quint8(siflag::ServiceConfigurable | siflag::PriorityConfigurable), quint8(type ? type->key : 0)});
    }
    si.nvs.append({0, 114}); // nvoFileDirectory, SNVT_address
    for (int i = 0; i < m_nvCps.size(); ++i)
        si.nvs.append({siflag::ConfigClass, 0});
    QByteArray out = encodeSiData(si);
    out += '\0'; // the device's own text
    for (int index = 0; index < m_tpl->nvs.size(); ++index)
        out += '\0';
    out += QByteArray("@0|8") + '\0';
    for (int key : m_nvCps)
        out += '&' + m_cpRecords[key] + '\0';
    return out;
}

qint64 SimDevice::heartbeatMs(int index) const
{
    const bool spaceTemp = index < m_tpl->nvs.size() && m_tpl->nvs[index].name == QLatin1String("nvoSpaceTemp");
    return spaceTemp ? qint64(settings().maxSendTime) * 100 : 0;
}

std::optional<SimDevice::BoundUpdate> SimDevice::boundUpdate(int index, const QByteArray &value) const
{
    const NvConfigEntry &nv = m_nvConfig[index];
    const auto entry = decodeAddressEntry(m_addresses.value(nv.addressIndex));
    const auto &domain = entry ? m_domains[entry->domainIndex] : std::nullopt;
    if (!domain)
        return std::nullopt;
    return BoundUpdate{nodeIp(domain->id, entry->subnet, entry->node), Destination::toNode(entry->subnet, entry->node),
                       Timing{timerCodeMs(entry->transmitTimer), entry->retryCount}, encodeNv({nv.selector, true, value})};
}

QList<SimDevice::BoundUpdate> SimDevice::boundUpdates()
{
    QList<BoundUpdate> due;
    if (!m_answering || m_state != nodestate::ConfiguredOnline)
        return due;
    const QDateTime now = m_clock.now();
    for (auto it = m_sent.begin(); it != m_sent.end(); ++it) {
        const QByteArray value = nvValue(it.key());
        const qint64 heartbeat = heartbeatMs(it.key());
        if (value == it->value && (heartbeat <= 0 || it->at.msecsTo(now) < heartbeat))
            continue;
        if (const auto update = boundUpdate(it.key(), value))
            due.append(*update);
        *it = Sent{value, now};
    }
    return due;
}

QString SimDevice::describe() const
{
    const QDateTime now = m_clock.now();
    const cmsim::Outputs o = cmsim::outputs(m_room, settings(), now);
    QByteArray tables;
    for (const NvConfigEntry &entry : m_nvConfig)
        tables += encodeNvConfig(entry);
    for (int index = 0; index < 15; ++index)
        tables += m_addresses.value(index).leftJustified(5, '\0');
    return QStringLiteral("%1 state %2%3, room %4 C, sensor error %5 K, nvoSpaceTemp %6, nvoSetptOffset %7, "
                          "fan %8, knob %9, bound %10, tables %11, messages %12")
        .arg(m_id.toText())
        .arg(m_state)
        .arg(m_answering ? "" : " (down)")
        .arg(m_room.roomTemp / 100.0, 0, 'f', 2)
        .arg(m_room.sensorError / 100.0, 0, 'f', 2)
        .arg(o.spaceTemp / 100.0, 0, 'f', 2)
        .arg(o.setptOffset / 100.0, 0, 'f', 2)
        .arg(o.fanValue / 2.0, 0, 'f', 1)
        .arg(cmsim::knobCalibrationText(m_room, settings(), now))
        .arg(m_sent.size())
        .arg(qChecksum(tables), 4, 16, QLatin1Char('0'))
        .arg(m_messages);
}

} // namespace devicesim
