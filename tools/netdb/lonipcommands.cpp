#include "lonipcommands.h"

#include "base/tqmerror.h"
#include "common/commandtable.h"
#include "lns/embedded/devicelink.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lonip/nmclient.h"
#include "lonip/port.h"
#include "simcommands.h"

#include <QCommandLineParser>
#include <QEventLoop>

namespace netdbtool {

const char LonIpUsage[] =
    "  discover NETWORK --lonip ADDRESS/PREFIX\n"
    "                                   ask every address of the range (at least /22) for unconfigured\n"
    "                                   LON/IP devices and listen for service pins: Neuron ID, program\n"
    "                                   ID and state of each\n"
    "  commission NETWORK DEVICE --neuron-id ID --ip ADDRESS [--subnet S --node N]\n"
    "                                   make the device at ADDRESS the network's DEVICE: domain, address\n"
    "                                   (default: those of ADDRESS), configured, online; the database\n"
    "                                   then reaches it over LON/IP\n"
    "  decommission NETWORK DEVICE      return the device to unconfigured; the database simulates it again\n";

namespace {

using namespace lonip;
using toolio::err;
using toolio::out;
using toolio::UsageError;

const QString Tool = QStringLiteral("tqm-netdb");

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

// Every loopback address of ADDRESS/PREFIX, at most 1022 of them.
QList<QHostAddress> addressRange(const QString &text)
{
    const auto [network, prefix] = QHostAddress::parseSubnet(text);
    if (network.isNull() || network.protocol() != QAbstractSocket::IPv4Protocol || prefix < 22 || prefix > 32)
        throw UsageError{QStringLiteral("--lonip needs ADDRESS/PREFIX with a prefix from 22 to 32, such as 127.0.1.0/24")};
    if (!isLoopback(network))
        throw UsageError{QStringLiteral("--lonip reaches loopback addresses (127.x.x.x) only")};
    const quint32 first = network.toIPv4Address(), count = quint32(1) << (32 - prefix);
    QList<QHostAddress> range;
    for (quint32 i = 0; i < count; ++i) {
        const quint32 node = (first + i) & 0xFF;
        if (prefix == 32 || (node != 0 && node != 255))
            range.append(QHostAddress(first + i));
    }
    return range;
}

void waitUntil(const std::function<bool()> &done)
{
    QEventLoop loop;
    while (!done())
        loop.processEvents(QEventLoop::WaitForMoreEvents);
}

int discoverCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("NETWORK", "network");
    parser.addOption({"lonip", "address range", "ADDRESS/PREFIX"});
    toolcommands::parseOrThrow(parser, "discover", arguments, 1);
    if (!parser.isSet("lonip"))
        throw UsageError{QStringLiteral("discover needs --lonip ADDRESS/PREFIX")};
    const QList<QHostAddress> range = addressRange(parser.value("lonip"));
    NetworkClient &client = embedded::ToolNode::instance().client();

    struct Found
    {
        QHostAddress ip;
        Identity identity;
    };
    QList<Found> found;
    const auto note = [&found](const QHostAddress &ip, const Identity &identity) {
        for (const Found &f : std::as_const(found)) {
            if (f.identity.neuronId == identity.neuronId)
                return;
        }
        found.append({ip, identity});
    };
    const auto pins = QObject::connect(&client, &NetworkClient::servicePin, &client, note);
    int waiting = int(range.size());
    for (const QHostAddress &ip : range) {
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
    waitUntil([&] { return waiting == 0; });
    QObject::disconnect(pins);
    for (const Found &f : std::as_const(found)) {
        const Result status = embedded::ToolNode::instance().call(Target::neuronId(f.ip, f.identity.neuronId), request::queryStatus());
        const auto report = status.ok() ? decodeStatus(QByteArray(1, '\x31') + status.data) : std::nullopt;
        out() << f.ip.toString() << ' ' << f.identity.neuronId.toText() << ' '
              << QString::fromLatin1(f.identity.programId.toHex(':').toUpper()) << ' '
              << (report ? stateText(report->nodeState) : QStringLiteral("no status")) << '\n';
    }
    out() << found.size() << " device(s)\n";
    return 0;
}

// One network-management request to the device; throws naming the step when it fails.
void step(const Target &target, const QByteArray &apdu, const QString &what, const QString &device)
{
    const Result r = embedded::ToolNode::instance().call(target, apdu);
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
    const QHostAddress ip(parser.value("ip"));
    const auto derived = fromNodeIp(ip);
    if (!derived || !isLoopback(ip))
        throw UsageError{QStringLiteral("--ip needs the device's loopback address 127.0.S.N (N 1 to 127)")};
    bool okSubnet = true, okNode = true;
    const int subnet = parser.isSet("subnet") ? parser.value("subnet").toInt(&okSubnet) : derived->address.subnet;
    const int node = parser.isSet("node") ? parser.value("node").toInt(&okNode) : derived->address.node;
    if (!okSubnet || !okNode || subnet < 1 || subnet > 255 || node < 1 || node > 127)
        throw UsageError{QStringLiteral("--subnet takes 1 to 255, --node 1 to 127")};

    auto server = openServer();
    const lns::AppDevicePtr device = server->findDevice(given[0], given[1]);
    const Target byId = Target::neuronId(ip, *id);
    DomainEntry domain;
    domain.id = derived->domain;
    domain.subnet = quint8(subnet);
    domain.node = quint8(node);
    domain.nonClone = true;
    step(byId, request::updateDomain(0, domain), QStringLiteral("update domain"), device->name());
    step(byId, request::setNodeMode(NodeMode::ChangeState, nodestate::ConfiguredOnline), QStringLiteral("configured state"), device->name());
    step(byId, request::setNodeMode(NodeMode::Online), QStringLiteral("online"), device->name());
    step(byId, request::checksumRecalc(), QStringLiteral("checksum"), device->name());
    const QHostAddress address = nodeIp(derived->domain, quint8(subnet), quint8(node));
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
    const auto link = embedded::EmbeddedObjectServer::deviceLink(device);
    if (!link)
        throw TqmError(TqmError::LnsInvalidOperation, Tool,
                       QStringLiteral("Device \"%1\" is simulated, not reached over LON/IP.").arg(device->name()));
    const auto id = NeuronId::fromText(link->neuronId);
    const QHostAddress ip(link->ip);
    const Target target = id ? Target::neuronId(ip, *id) : Target::anyAt(ip);
    step(target, request::setNodeMode(NodeMode::Offline), QStringLiteral("offline"), device->name());
    step(target, request::leaveDomain(0), QStringLiteral("leave domain"), device->name());
    embedded::EmbeddedObjectServer::setDeviceLink(device, std::nullopt);
    out() << device->name() << ": " << link->neuronId << " decommissioned; the database simulates the device again\n";
    return 0;
}

int run(int (*command)(const QStringList &), const QStringList &arguments)
{
    return toolcommands::reportingFailures([&] { return command(arguments); }, [](const QString &text) {
        err() << "tqm-netdb: " << text << "\n\n" << LonIpUsage;
        return 2;
    });
}

} // namespace

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
