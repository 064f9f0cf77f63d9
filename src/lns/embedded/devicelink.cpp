#include "lns/embedded/devicelink.h"

#include "base/tqmerror.h"
#include "lns/clock.h"
#include "lns/embedded/commandmodulesim.h"
#include "lns/embedded/nvbinding.h"
#include "lns/timer.h"
#include "lonip/nmclient.h"
#include "lonip/port.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace embedded {

using namespace lonip;

namespace {

const QString Source = QStringLiteral("DeviceLink");
constexpr int MemoryChunk = 64;            // bytes per read or write memory
const char FileDirectoryText[] = "@0|8";   // the node object's member 8, nvoFileDirectory

constexpr int WaitSliceMs = 5;             // how often a wait looks at the node's retry timers
quint16 be16(const QByteArray &b, qsizetype at)
{
    return quint16(quint8(b[at]) << 8 | quint8(b[at + 1]));
}

class LonIpLink : public DeviceLink
{
public:
    LonIpLink(DeviceTemplateDefPtr tpl, QString deviceName, const LinkRecord &record, ToolNodeAddress tool)
        : m_tpl(std::move(tpl)), m_deviceName(std::move(deviceName)), m_ip(record.ip), m_tool(std::move(tool))
    {
        // Configured devices by their subnet/node; a device whose IP stands for no node (a
        // host number above 127) by its Neuron ID when it is known.
        const auto address = fromNodeIp(m_ip);
        const auto id = NeuronId::fromText(record.neuronId);
        m_target = address ? Target::node(address->domain, address->address.subnet, address->address.node)
                   : id    ? Target::neuronId(m_ip, *id)
                           : Target::anyAt(m_ip);
    }

    QByteArray readCp(int cpKey) override
    {
        const auto [address, size] = cpPlace(cpKey);
        if (const int nv = m_cpNvs.value(cpKey, -1); nv >= 0)
            return readNv(nv);
        return readMemory(address, size);
    }

    void writeCp(int cpKey, const QByteArray &bytes) override
    {
        const auto [address, size] = cpPlace(cpKey);
        if (bytes.size() != size)
            throw TqmError(TqmError::LnsInvalidValue, Source,
                           QStringLiteral("%1 takes %2 bytes on device \"%3\", not %4.")
                               .arg(m_tpl->cps[cpKey].name).arg(size).arg(m_deviceName).arg(bytes.size()));
        if (const int nv = m_cpNvs.value(cpKey, -1); nv >= 0)
            return writeNv(nv, bytes);
        for (int at = 0; at < size; at += MemoryChunk)
            ask(request::writeMemory(MemoryMode::Absolute, quint16(address + at), bytes.mid(at, MemoryChunk),
                                     memoryform::ConfigChecksum));
    }

    QByteArray readNv(int nvKey) override
    {
        const QByteArray answer = ask(request::nvFetch(nvKey));
        const auto fetched = decodeNvFetch(QByteArray(1, char(nm::NvFetch)) + answer);
        if (!fetched || fetched->index != nvKey)
            throw refused(QStringLiteral("NV fetch"));
        return fetched->rest;
    }

    void writeNv(int nvKey, const QByteArray &bytes) override
    {
        const Result r = toolNode().update(m_target, selector(nvKey), bytes);
        if (!r.ok())
            throw notResponding();
    }

    // A real device is not foreseen: asked again every second, unless its NV is bound.
    QDateTime nvChangesAt(int, const QDateTime &now) override { return now.addMSecs(1000); }

    bool sendsChanges() const override { return false; }

    std::unique_ptr<NvBinding> bindOutput(int nvKey, std::function<void(const QByteArray &)> sent) override
    {
        if (m_tpl->nvs[nvKey].direction != lns::NetworkVariable::Direction::Output)
            return nullptr;
        try {
            toolNode();
        } catch (const TqmError &) {
            return nullptr;
        }
        return bindToToolNode(m_node, m_target, nvKey, std::move(sent));
    }

    void test() override { ask(request::queryStatus()); }

    // A knob still calibrating is learning its limits or waiting for the second stop, as the
    // device's application does it (the same rule as the simulation's, on the template's version).
    lns::AppDevice::KnobCalibration knobCalibration() override
    {
        const int request = m_tpl->nvKeyByName(QStringLiteral("nviRequest"));
        const int status = m_tpl->nvKeyByName(QStringLiteral("nvoStatus"));
        if (request < 0 || status < 0)
            throw refused(QStringLiteral("object status"));
        const int block = commandModulePosition();
        writeNv(request, nodeobject::request(block, nodeobject::UpdateStatus));
        const QByteArray reported = readNv(status);
        if (reported.size() != nodeobject::StatusSize || be16(reported, 0) != block)
            throw refused(QStringLiteral("object status"));
        if (!(quint8(reported[nodeobject::SelfTestInProgressByte]) & nodeobject::SelfTestInProgress))
            return lns::AppDevice::KnobCalibration::Calibrated;
        const bool learns = cmsim::learnsKnobLimits(m_tpl->cpKeyByName(QStringLiteral("PanelType")) >= 0,
                                                    m_tpl->applicationVersion);
        return learns ? lns::AppDevice::KnobCalibration::Learning : lns::AppDevice::KnobCalibration::WaitingForSecondStop;
    }

    void calibrationTrigger() override
    {
        const int request = m_tpl->nvKeyByName(QStringLiteral("nviRequest"));
        const int block = commandModulePosition();
        if (request < 0)
            throw refused(QStringLiteral("calibration"));
        writeNv(request, nodeobject::request(block, nodeobject::SelfTest));
    }

private:
    struct Place
    {
        int address = 0;
        int size = 0;
    };

    TqmError notResponding() const
    {
        return TqmError(TqmError::LnsDeviceNotResponding, Source,
                        QStringLiteral("Device \"%1\" does not respond.").arg(m_deviceName));
    }
    TqmError refused(const QString &what) const
    {
        return TqmError(TqmError::LnsInvalidOperation, Source,
                        QStringLiteral("Device \"%1\" refused %2.").arg(m_deviceName, what));
    }

    // The network's tool node; a device on the LAN is out of reach of a node on loopback.
    ToolNode &toolNode()
    {
        if (!m_node)
            m_node = ToolNode::at(m_tool);
        ToolNode &node = *m_node;
        if (isLoopback(node.ip()) && !isLoopback(m_ip))
            throw TqmError(TqmError::LnsInvalidOperation, Source,
                           QStringLiteral("Device \"%1\" is at %2, out of reach of the tool's node at %3 on the loopback "
                                          "network; give the network a tool node on the LAN (tqm-netdb network --tool-ip).")
                               .arg(m_deviceName, m_ip.toString(), node.ip().toString()));
        return node;
    }

    // A network-management request; its answer after the code.
    QByteArray ask(const QByteArray &apdu)
    {
        const Result r = toolNode().call(m_target, apdu);
        if (r.status == Result::Status::Timeout)
            throw notResponding();
        if (!r.ok())
            throw refused(QStringLiteral("message %1").arg(quint8(apdu[0]), 2, 16, QLatin1Char('0')));
        return r.data;
    }

    QByteArray readMemory(int address, int size)
    {
        QByteArray out;
        for (int at = 0; at < size; at += MemoryChunk) {
            const int count = qMin(MemoryChunk, size - at);
            const QByteArray chunk = ask(request::readMemory(MemoryMode::Absolute, quint16(address + at), quint8(count)));
            if (chunk.size() != count)
                throw refused(QStringLiteral("read memory"));
            out += chunk;
        }
        return out;
    }

    int commandModulePosition() const
    {
        for (int i = 0; i < m_tpl->lmos.size(); ++i) {
            if (m_tpl->lmos[i].type == CommandModuleProfile)
                return i;
        }
        return 0;
    }

    // Kept for inputs; an output's changes while a monitor binds it.
    quint16 selector(int nvKey)
    {
        if (!m_selectors.contains(nvKey)) {
            const auto entry = decodeNvConfig(ask(request::queryNvConfig(nvKey)));
            if (!entry)
                throw refused(QStringLiteral("query NV config"));
            if (entry->output)
                return entry->selector;
            m_selectors.insert(nvKey, entry->selector);
        }
        return m_selectors.value(nvKey);
    }

    // The CP's place in the device's memory, from its file directory and template file.
    Place cpPlace(int cpKey)
    {
        if (!m_filesRead)
            readFiles();
        if (!m_places.contains(cpKey))
            throw TqmError(TqmError::LnsObjectNotFound, Source,
                           QStringLiteral("Device \"%1\" does not document %2.").arg(m_deviceName, m_tpl->cps[cpKey].name));
        return m_places.value(cpKey);
    }

    int fileDirectoryNv()
    {
        const QByteArray header = ask(request::querySiData(0, 6));
        const auto length = siTableLength(header);
        if (!length)
            throw refused(QStringLiteral("SI data"));
        QByteArray texts;
        for (int at = *length; texts.count('\0') < (*length - 6) / 2 + 1 && at < 0xFFFF; at += MemoryChunk) {
            const QByteArray chunk = ask(request::querySiData(quint16(at), MemoryChunk));
            if (chunk.isEmpty())
                break;
            texts += chunk;
        }
        // The device's text, then one per NV: the file directory's, and a CP record ("&...")
        // for each configuration NV.
        const QList<QByteArray> strings = texts.split('\0');
        int directory = -1;
        for (int nv = 1; nv < strings.size(); ++nv) {
            if (strings[nv] == FileDirectoryText)
                directory = nv - 1;
            if (const int key = strings[nv].startsWith('&') ? cpKeyOf(strings[nv].mid(1)) : -1; key >= 0) {
                m_cpNvs.insert(key, nv - 1);
                m_places.insert(key, Place{-1, m_tpl->cps[key].elementLength * m_tpl->cps[key].dimension});
            }
        }
        if (directory < 0)
            throw refused(QStringLiteral("file directory"));
        return directory;
    }

    void readFiles()
    {
        m_places.clear();
        m_cpNvs.clear();
        const QByteArray address = readNv(fileDirectoryNv());
        if (address.size() != 2)
            throw refused(QStringLiteral("file directory"));
        const QByteArray directory = readMemory(be16(address, 0), 2 + 3 * 6);
        if (quint8(directory[0]) != 0x20 || quint8(directory[1]) < 2)
            throw refused(QStringLiteral("file directory"));
        const auto file = [&directory](int n) { return Place{be16(directory, 2 + 6 * n + 4), be16(directory, 2 + 6 * n)}; };
        const Place templateFile = file(0), valueFile = file(1);
        const QList<QByteArray> records = readMemory(templateFile.address, templateFile.size).split('\n');
        int offset = 0;
        for (qsizetype i = 1; i < records.size(); ++i) { // after the version
            const int key = cpKeyOf(records[i]);
            if (key < 0)
                break; // a CP of unknown size: the ones after it cannot be placed
            const int size = m_tpl->cps[key].elementLength * m_tpl->cps[key].dimension;
            if (offset + size <= valueFile.size)
                m_places.insert(key, Place{valueFile.address + offset, size});
            offset += size;
        }
        m_filesRead = true;
    }

    // The template's CP a template-file record names.
    int cpKeyOf(const QByteArray &record) const
    {
        const qsizetype semicolon = record.indexOf(';');
        const QList<QByteArray> fields = record.left(semicolon).split(',');
        if (semicolon < 0 || fields.size() < 2)
            return -1;
        const QString name = QString::fromLatin1(record.mid(semicolon + 1));
        const int header = fields[0].toInt(), select = fields[1].toInt();
        for (int key = 0; key < m_tpl->cps.size(); ++key) {
            if (m_tpl->cps[key].name != name)
                continue;
            const bool owner = header == 0   ? m_tpl->deviceCpKeys.contains(key)
                               : header == 1 ? select < m_tpl->lmos.size() && m_tpl->lmos[select].cpKeys.contains(key)
                                             : select < m_tpl->nvs.size() && m_tpl->nvs[select].cpKeys.contains(key);
            if (owner)
                return key;
        }
        return -1;
    }

    DeviceTemplateDefPtr m_tpl;
    QString m_deviceName;
    IpAddress m_ip;
    ToolNodeAddress m_tool;
    std::shared_ptr<ToolNode> m_node; // from the first call on
    Target m_target;
    QHash<int, Place> m_places; // address -1: in the configuration NV of m_cpNvs
    QHash<int, int> m_cpNvs;     // CP key → NV index
    bool m_filesRead = false;
    QHash<int, quint16> m_selectors;
};

} // namespace

// The node's retry timers run on a clock of its own that its waits move on with the system
// clock: no Qt timer is involved, so a wait runs nothing but this node's socket and timers.
struct ToolNode::Parts
{
    ManualClock clock{QDateTime::currentDateTime()};
    ManualTimerFactory timers{clock};
    QElapsedTimer sinceCatchUp;
    std::unique_ptr<UdpPort> port;
    std::unique_ptr<Endpoint> endpoint;
    std::unique_ptr<NetworkClient> client;
    std::optional<SubnetNode> reachable;

    void catchUp() { clock.advanceMs(sinceCatchUp.restart()); }
};

QString ToolNodeAddress::problem() const
{
    if (ip.isEmpty())
        return subnet || node ? QStringLiteral("A tool node's subnet and node need its IP address.") : QString();
    const IpAddress address(ip);
    if (!address.isUnicast())
        return QStringLiteral("The tool node's IP address \"%1\" is no IPv4 unicast address.").arg(ip);
    if ((subnet == 0) != (node == 0))
        return QStringLiteral("The tool node's subnet and node go together.");
    if (subnet < 0 || subnet > 255 || node < 0 || node > 127)
        return QStringLiteral("The tool node's subnet takes 1 to 255, its node 1 to 127.");
    if (subnet == 0 && !fromNodeIp(address))
        return QStringLiteral("The tool node's IP address %1 stands for no node (host numbers 1 to 127); give its subnet "
                              "and node.").arg(ip);
    return {};
}

ToolNode::ToolNode(const ToolNodeAddress &address) : m_parts(std::make_unique<Parts>())
{
    if (const QString problem = address.problem(); !problem.isEmpty())
        throw TqmError(TqmError::LnsInvalidValue, Source, problem);
    QString reason;
    if (address.ip.isEmpty()) {
        const quint32 first = IpAddress(QStringLiteral("127.0.1.100")).toIPv4Address();
        for (quint32 node = 0; node < 20 && !m_parts->port; ++node) {
            auto port = std::make_unique<UdpPort>(IpAddress(first + node), LsUdpPort);
            if (port->open())
                m_parts->port = std::move(port);
        }
        if (!m_parts->port)
            throw TqmError(TqmError::LnsInvalidOperation, Source,
                           QStringLiteral("No loopback address from 127.0.1.100 on is free for the tool's node."));
    } else if (auto port = std::make_unique<UdpPort>(IpAddress(address.ip), LsUdpPort); port->open(&reason)) {
        m_parts->port = std::move(port);
    } else {
        throw TqmError(TqmError::LnsInvalidOperation, Source,
                       QStringLiteral("The tool's node cannot use %1 port %2 (%3); another program may be using the "
                                      "network's tool node.").arg(address.ip).arg(LsUdpPort).arg(reason));
    }
    const IpAddress ip = m_parts->port->localAddress();
    m_parts->port->allowNonLoopback(!isLoopback(ip));
    const auto derived = fromNodeIp(ip);
    const SubnetNode own = address.subnet ? SubnetNode{quint8(address.subnet), quint8(address.node)} : derived->address;
    m_parts->sinceCatchUp.start();
    // What bound devices send arrives on the event loop, between waits: the node's clock is
    // brought up to it first, for the duplicate detection's receive timer.
    Parts *parts = m_parts.get();
    QObject::connect(m_parts->port.get(), &DatagramPort::received, m_parts->port.get(), [parts] { parts->catchUp(); });
    m_parts->endpoint = std::make_unique<Endpoint>(*m_parts->port, m_parts->timers, m_parts->clock);
    m_parts->endpoint->setOwnAddress(*domainOfIp(ip), own);
    m_parts->endpoint->setArbitrarySource(!derived || derived->address != own);
    if (derived && derived->address == own)
        m_parts->reachable = own;
    m_parts->client = std::make_unique<NetworkClient>(*m_parts->endpoint);
}

ToolNode::~ToolNode() = default;

namespace {
// By address, "ip/subnet/node", while they are held.
std::map<QString, std::weak_ptr<ToolNode>> theToolNodes;
std::shared_ptr<ToolNode> *theDefaultNode = nullptr;
} // namespace

ToolNode &ToolNode::instance()
{
    if (!theDefaultNode) {
        theDefaultNode = new std::shared_ptr<ToolNode>(at({}));
        // Its socket goes with the application, not after it.
        qAddPostRoutine([] { delete std::exchange(theDefaultNode, nullptr); });
    }
    return **theDefaultNode;
}

std::shared_ptr<ToolNode> ToolNode::at(const ToolNodeAddress &address)
{
    const QString key = QStringLiteral("%1/%2/%3").arg(address.ip).arg(address.subnet).arg(address.node);
    std::shared_ptr<ToolNode> node = theToolNodes[key].lock();
    if (!node) {
        node.reset(new ToolNode(address));
        theToolNodes[key] = node;
    }
    return node;
}

IpAddress ToolNode::ip() const
{
    return m_parts->port->localAddress();
}

std::optional<SubnetNode> ToolNode::reachableAt() const
{
    return m_parts->reachable;
}

NetworkClient &ToolNode::client()
{
    return *m_parts->client;
}

void ToolNode::waitUntil(const std::function<bool()> &done)
{
    m_parts->catchUp();
    while (!done()) {
        m_parts->port->waitForDatagrams(WaitSliceMs);
        m_parts->catchUp();
    }
}

Result ToolNode::wait(const std::function<void(NetworkClient::Reply)> &start)
{
    m_parts->catchUp(); // timers started now count from now
    std::optional<Result> result;
    start([&result](const Result &r) { result = r; });
    waitUntil([&result] { return result.has_value(); });
    return *result;
}

Result ToolNode::call(const Target &target, const QByteArray &apdu)
{
    return wait([&](NetworkClient::Reply reply) { client().request(target, apdu, std::move(reply)); });
}

Result ToolNode::poll(const Target &target, quint16 selector)
{
    return wait([&](NetworkClient::Reply reply) { client().poll(target, selector, std::move(reply)); });
}

Result ToolNode::update(const Target &target, quint16 selector, const QByteArray &value)
{
    return wait([&](NetworkClient::Reply reply) { client().update(target, selector, value, std::move(reply)); });
}

std::unique_ptr<DeviceLink> makeLonIpLink(DeviceTemplateDefPtr tpl, const QString &deviceName, const LinkRecord &record,
                                          const ToolNodeAddress &tool)
{
    return std::make_unique<LonIpLink>(std::move(tpl), deviceName, record, tool);
}

} // namespace embedded
