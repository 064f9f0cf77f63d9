#include "lonipcommands.h"

#include "base/tqmerror.h"
#include "common/commandtable.h"
#include "lns/embedded/devicelink.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lonip/nmclient.h"
#include "lonip/port.h"
#include "simcommands.h"

#include <QCommandLineParser>

namespace netdbtool {

const char LonIpUsage[] =
    "  network NETWORK [--tool-ip ADDRESS [--tool-subnet S --tool-node N] | --tool-default]\n"
    "                                   show or set the tool's own LON/IP node in the network: the IP\n"
    "                                   address it binds (on the LAN to reach devices there) and its\n"
    "                                   subnet/node (default: those its IP address stands for)\n"
    "  discover NETWORK --lonip ADDRESS/PREFIX\n"
    "                                   ask every address of the range (at least /22) for unconfigured\n"
    "                                   LON/IP devices and listen for service pins: Neuron ID, program\n"
    "                                   ID and state of each\n"
    "  commission NETWORK DEVICE --neuron-id ID --ip ADDRESS [--subnet S --node N]\n"
    "                                   make the device at ADDRESS the network's DEVICE: domain, address\n"
    "                                   (default: those of ADDRESS), configured, online; the database\n"
    "                                   then reaches it over LON/IP (at the address S/N stand for: the\n"
    "                                   device moves there)\n"
    "  decommission NETWORK DEVICE      return the device to unconfigured; the database simulates it again\n";

namespace {

using namespace lonip;
using toolio::err;
using toolio::out;
using toolio::UsageError;

const QString Tool = QStringLiteral("tqm-netdb");

std::shared_ptr<embedded::ToolNode> toolNodeOf(const embedded::EmbeddedObjectServerPtr &server, const QString &network)
{
    return embedded::ToolNode::at(server->toolNodeAddress(network));
}

// A device address the tool's node can reach: loopback from a node on loopback, any IPv4 unicast
// address from a node on the LAN.
void requireReachable(const QString &option, const IpAddress &ip, const embedded::ToolNode &tool)
{
    if (ip.isNull() || ip.isMulticast())
        throw UsageError{QStringLiteral("%1 needs an IPv4 address").arg(option)};
    if (isLoopback(tool.ip()) && !isLoopback(ip))
        throw UsageError{QStringLiteral("%1 %2 is out of reach of the tool's node at %3 on loopback; give the network a "
                                        "tool node on the LAN first (network NETWORK --tool-ip ADDRESS)")
                             .arg(option, ip.toString(), tool.ip().toString())};
}

QString stateText(quint8 state)
{
    switch (state & ~nodestate::OfflineBit) {
    case nodestate::Unconfigured: return QStringLiteral("unconfigured");
    case nodestate::Applicationless: return QStringLiteral("applicationless");
    case nodestate::ConfiguredOnline: return state & nodestate::OfflineBit ? QStringLiteral("soft offline") : QStringLiteral("configured");
    case nodestate::HardOffline: return QStringLiteral("hard offline");
    default: return QStringLiteral("state %1").arg(state);
    }
}

// Every address of ADDRESS/PREFIX, at most 1022 of them.
QList<IpAddress> addressRange(const QString &text, const embedded::ToolNode &tool)
{
    const auto given = parseIpRange(text);
    if (!given || given->prefix < 22)
        throw UsageError{QStringLiteral("--lonip needs ADDRESS/PREFIX with a prefix from 22 to 32, such as 127.0.1.0/24")};
    requireReachable(QStringLiteral("--lonip"), given->first, tool);
    const int prefix = given->prefix;
    const quint32 first = given->first.toIPv4Address(), count = quint32(1) << (32 - prefix);
    QList<IpAddress> range;
    for (quint32 i = 0; i < count; ++i) {
        const quint32 node = (first + i) & 0xFF;
        if (prefix == 32 || (node != 0 && node != 255))
            range.append(IpAddress(first + i));
    }
    return range;
}

int discoverCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("NETWORK", "network");
    parser.addOption({"lonip", "address range", "ADDRESS/PREFIX"});
    const QStringList given = toolcommands::parseOrThrow(parser, "discover", arguments, 1);
    if (!parser.isSet("lonip"))
        throw UsageError{QStringLiteral("discover needs --lonip ADDRESS/PREFIX")};
    const auto toolNode = toolNodeOf(openServer(), given[0]);
    embedded::ToolNode &tool = *toolNode;
    const QList<IpAddress> range = addressRange(parser.value("lonip"), tool);
    NetworkClient &client = tool.client();

    struct Found
    {
        IpAddress ip;
        Identity identity;
    };
    QList<Found> found;
    const auto note = [&found](const IpAddress &ip, const Identity &identity) {
        for (const Found &f : std::as_const(found)) {
            if (f.identity.neuronId == identity.neuronId)
                return;
        }
        found.append({ip, identity});
    };
    const auto pins = QObject::connect(&client, &NetworkClient::servicePin, &client, note);
    int waiting = int(range.size());
    for (const IpAddress &ip : range) {
        if (ip == client.endpoint().port().localAddress()) {
            --waiting;
            continue;
        }
        client.request(Target::anyAt(ip), request::queryId(), [&, ip](const Result &r) {
            --waiting;
            if (const auto id = r.ok() ? decodeIdentity(QByteArray(1, '\x21') + r.data) : std::nullopt)
                note(ip, *id);
        }, Timing{150, 1});
    }
    tool.waitUntil([&] { return waiting == 0; });
    QObject::disconnect(pins);
    for (const Found &f : std::as_const(found)) {
        const Result status = tool.call(Target::neuronId(f.ip, f.identity.neuronId), request::queryStatus());
        const auto report = status.ok() ? decodeStatus(QByteArray(1, '\x31') + status.data) : std::nullopt;
        out() << f.ip.toString() << ' ' << f.identity.neuronId.toText() << ' '
              << QString::fromLatin1(f.identity.programId.toHex(':').toUpper()) << ' '
              << (report ? stateText(report->nodeState) : QStringLiteral("no status")) << '\n';
    }
    out() << found.size() << " device(s)\n";
    return 0;
}

// One network-management request to the device; throws naming the step when it fails.
void step(embedded::ToolNode &tool, const Target &target, const QByteArray &apdu, const QString &what,
          const QString &device)
{
    const Result r = tool.call(target, apdu);
    if (r.status == Result::Status::Timeout)
        throw TqmError(TqmError::LnsDeviceNotResponding, Tool,
                       QStringLiteral("Device \"%1\" does not respond (%2).").arg(device, what));
    if (!r.ok())
        throw TqmError(TqmError::LnsInvalidOperation, Tool, QStringLiteral("Device \"%1\" refused %2.").arg(device, what));
}

int commissionCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("NETWORK", "network");
    parser.addPositionalArgument("DEVICE", "device");
    parser.addOptions({{"neuron-id", "", "ID"}, {"ip", "", "ADDRESS"}, {"subnet", "", "S"}, {"node", "", "N"}});
    const QStringList given = toolcommands::parseOrThrow(parser, "commission", arguments, 2);
    const auto id = NeuronId::fromText(parser.value("neuron-id"));
    if (!id)
        throw UsageError{QStringLiteral("--neuron-id needs six bytes in hexadecimal, such as 05:00:7F:00:01:0C")};
    const IpAddress ip(parser.value("ip"));
    const auto derived = fromNodeIp(ip);
    if (!derived)
        throw UsageError{QStringLiteral("--ip needs the device's address A.B.S.N (N 1 to 127), such as 127.0.1.12")};
    bool okSubnet = true, okNode = true;
    const int subnet = parser.isSet("subnet") ? parser.value("subnet").toInt(&okSubnet) : derived->address.subnet;
    const int node = parser.isSet("node") ? parser.value("node").toInt(&okNode) : derived->address.node;
    if (!okSubnet || !okNode || subnet < 1 || subnet > 255 || node < 1 || node > 127)
        throw UsageError{QStringLiteral("--subnet takes 1 to 255, --node 1 to 127")};

    auto server = openServer();
    const lns::AppDevicePtr device = server->findDevice(given[0], given[1]);
    const auto toolNode = toolNodeOf(server, given[0]);
    embedded::ToolNode &tool = *toolNode;
    requireReachable(QStringLiteral("--ip"), ip, tool);
    const Target byId = Target::neuronId(ip, *id);
    DomainEntry domain;
    domain.id = derived->domain;
    domain.subnet = quint8(subnet);
    domain.node = quint8(node);
    domain.nonClone = true;
    step(tool, byId, request::updateDomain(0, domain), QStringLiteral("update domain"), device->name());
    step(tool, byId, request::setNodeMode(NodeMode::ChangeState, nodestate::ConfiguredOnline), QStringLiteral("configured state"), device->name());
    // Configured, the device follows its LON address to the IP address that stands for it.
    const IpAddress address = nodeIp(derived->domain, quint8(subnet), quint8(node));
    const Target moved = Target::neuronId(address, *id);
    const QString there = address == ip ? QString()
        : QStringLiteral(" at %1, the address of its new subnet/node; a device that keeps its IP address is commissioned "
                         "without --subnet and --node").arg(address.toString());
    step(tool, moved, request::setNodeMode(NodeMode::Online), QStringLiteral("online") + there, device->name());
    step(tool, moved, request::checksumRecalc(), QStringLiteral("checksum") + there, device->name());
    embedded::EmbeddedObjectServer::setDeviceLink(device, embedded::LinkRecord{QStringLiteral("lonip"), address.toString(), id->toText()});
    embedded::EmbeddedObjectServer::setDeviceOnline(device, true);
    out() << device->name() << ": " << id->toText() << " commissioned at " << address.toString() << " (subnet " << subnet
          << ", node " << node << ")\n";
    return 0;
}

int decommissionCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("NETWORK", "network");
    parser.addPositionalArgument("DEVICE", "device");
    const QStringList given = toolcommands::parseOrThrow(parser, "decommission", arguments, 2);
    auto server = openServer();
    const lns::AppDevicePtr device = server->findDevice(given[0], given[1]);
    const auto toolNode = toolNodeOf(server, given[0]);
    embedded::ToolNode &tool = *toolNode;
    const auto link = embedded::EmbeddedObjectServer::deviceLink(device);
    if (!link)
        throw TqmError(TqmError::LnsInvalidOperation, Tool,
                       QStringLiteral("Device \"%1\" is simulated, not reached over LON/IP.").arg(device->name()));
    const auto id = NeuronId::fromText(link->neuronId);
    const IpAddress ip(link->ip);
    const Target target = id ? Target::neuronId(ip, *id) : Target::anyAt(ip);
    step(tool, target, request::setNodeMode(NodeMode::Offline), QStringLiteral("offline"), device->name());
    step(tool, target, request::leaveDomain(0), QStringLiteral("leave domain"), device->name());
    embedded::EmbeddedObjectServer::setDeviceLink(device, std::nullopt);
    out() << device->name() << ": " << link->neuronId << " decommissioned; the database simulates the device again\n";
    return 0;
}

int networkCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("NETWORK", "network");
    parser.addOptions({{"tool-ip", "", "ADDRESS"}, {"tool-subnet", "", "S"}, {"tool-node", "", "N"}, {"tool-default", ""}});
    const QStringList given = toolcommands::parseOrThrow(parser, "network", arguments, 1);
    auto server = openServer();
    const bool setting = parser.isSet("tool-ip") || parser.isSet("tool-subnet") || parser.isSet("tool-node");
    if (setting && parser.isSet("tool-default"))
        throw UsageError{QStringLiteral("--tool-default excludes the other options")};
    if (setting || parser.isSet("tool-default")) {
        embedded::ToolNodeAddress address;
        bool okSubnet = true, okNode = true;
        address.ip = parser.value("tool-ip");
        address.subnet = parser.isSet("tool-subnet") ? parser.value("tool-subnet").toInt(&okSubnet) : 0;
        address.node = parser.isSet("tool-node") ? parser.value("tool-node").toInt(&okNode) : 0;
        if (!okSubnet || !okNode)
            throw UsageError{QStringLiteral("--tool-subnet and --tool-node take numbers")};
        if (const QString problem = address.problem(); !problem.isEmpty())
            throw UsageError{problem};
        server->setToolNodeAddress(given[0], address);
    }
    const embedded::ToolNodeAddress address = server->toolNodeAddress(given[0]);
    out() << given[0] << ": tool node ";
    if (address.ip.isEmpty()) {
        out() << "on the first free loopback address from 127.0.1.100 on (default)\n";
        return 0;
    }
    const auto derived = fromNodeIp(IpAddress(address.ip));
    const SubnetNode own = address.subnet ? SubnetNode{quint8(address.subnet), quint8(address.node)} : derived->address;
    out() << address.ip << ", subnet " << own.subnet << ", node " << own.node
          << (derived && derived->address == own ? "\n" : " (arbitrary source)\n");
    return 0;
}

template <class Command>
int run(Command command, const QStringList &arguments)
{
    return toolcommands::reportingFailures([&] { return command(arguments); }, [](const QString &text) {
        err() << "tqm-netdb: " << text << "\n\n" << LonIpUsage;
        return 2;
    });
}

} // namespace

int network(const QStringList &arguments)
{
    return run(networkCommand, arguments);
}

int discover(const QStringList &arguments)
{
    return run(discoverCommand, arguments);
}

int commission(const QStringList &arguments)
{
    return run(commissionCommand, arguments);
}

int decommission(const QStringList &arguments)
{
    return run(decommissionCommand, arguments);
}

} // namespace netdbtool
