// tqm-devicesim: command modules as LON/IP devices on the loopback network, each on its own
// address 127.0.S.N and UDP port 2541, so that the LON/IP link is exercised on one machine.
//
//   tqm-devicesim [--template NAME] [--first 127.0.S.N] [--count N] [--configured] [--tool ADDRESS]
//                 [--nv-cps NAME,...]
//
// CPs are kept in the CP files of the memory image, those of --nv-cps in configuration network
// variables instead (simdevice.h).
// Devices start unconfigured (commission them with tqm-netdb), or with --configured in domain
// 7F 00 00 at the subnet/node of their address. A configured device follows its LON address: given
// another subnet/node, it moves to the IP address they stand for once it has answered. Each line on standard input acts on one device
// (ADDRESS) or on every one (all), with the options of `tqm-netdb sim` and a few of its own:
//   ADDRESS [--room-temp T] [--sensor-error E] [--knob K] [--switch up|down] [--press BUTTON]...
//           [--down] [--down-after N] [--up] [--service-pin] [--show]
// Outputs bound to another node (by update NV config and update address) are sent to it when
// they change (simdevice.h).
// (--down-after: the device answers N more messages, then nothing)
// and is answered with one line per device. The program ends at the end of its input.

#include "common/commandtable.h"
#include "common/roomchange.h"
#include "lns/clock.h"
#include "lns/timer.h"
#include "lonip/port.h"
#include "simdevice.h"

#include "base/tqmerror.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QTextStream>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

using namespace devicesim;
namespace cmsim = embedded::cmsim;
using toolio::err;
using toolio::out;
using toolio::UsageError;

const lonip::DomainId LoopbackDomain = QByteArray("\x7F\x00\x00", 3);

struct Node
{
    lonip::IpAddress ip;
    std::unique_ptr<SimDevice> device;
    std::unique_ptr<lonip::UdpPort> port;
    std::unique_ptr<lonip::Endpoint> endpoint;
};

class Simulator
{
public:
    Simulator(const lonip::IpAddress &tool, const QStringList &nvCps) : m_tool(tool), m_nvCps(nvCps)
    {
        // Bound outputs are looked at every tenth of a second, as the device's application would.
        QObject::connect(&m_sendTimer, &QTimer::timeout, [this] { sendBoundUpdates(); });
        m_sendTimer.start(100);
    }

    void sendBoundUpdates()
    {
        for (const auto &node : m_nodes) {
            for (const SimDevice::BoundUpdate &update : node->device->boundUpdates())
                node->endpoint->send(update.to, update.destination, lonip::Service::Acknowledged, update.apdu, {},
                                     update.timing);
        }
    }

    void add(const lonip::IpAddress &ip, embedded::DeviceTemplateDefPtr tpl, bool configured)
    {
        const quint32 v4 = ip.toIPv4Address();
        const lonip::NeuronId id{QByteArray("\x05\x00\x7F\x00", 4) + char(v4 >> 8) + char(v4)};
        auto node = std::make_unique<Node>();
        node->device = std::make_unique<SimDevice>(std::move(tpl), id, SystemClock::instance(), m_nvCps);
        if (configured)
            node->device->configure(LoopbackDomain, quint8(v4 >> 8), quint8(v4 & 0x7F));
        bind(*node, ip);
        m_nodes.push_back(std::move(node));
    }

    void printAll()
    {
        for (const auto &node : m_nodes)
            out() << node->ip.toString() << ' ' << node->device->describe() << '\n';
        out().flush();
    }

    // One line of standard input.
    void command(const QString &line)
    {
        QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.isEmpty())
            return;
        try {
            const QString who = words.takeFirst();
            QCommandLineParser parser;
            parser.addOptions({{"room-temp", "", "T"}, {"sensor-error", "", "E"}, {"knob", "", "K"},
                               {"switch", "", "up|down"}, {"press", "", "BUTTON"}, {"down", ""}, {"down-after", "", "N"}, {"up", ""},
                               {"service-pin", ""}, {"show", ""}});
            if (!parser.parse(QStringList{"sim"} + words))
                throw UsageError{parser.errorText()};
            QList<Node *> nodes;
            for (const auto &node : m_nodes) {
                if (who == QLatin1String("all") || node->ip.toString() == who)
                    nodes.append(node.get());
            }
            if (nodes.isEmpty())
                throw UsageError{QStringLiteral("no device at %1").arg(who)};
            apply(parser, nodes);
            sendBoundUpdates();
        } catch (const UsageError &e) {
            out() << "error: " << e.text << '\n';
            out().flush();
        }
    }

private:
    // The node's socket and endpoint at `ip`.
    static void bind(Node &node, const lonip::IpAddress &ip)
    {
        auto port = std::make_unique<lonip::UdpPort>(ip, lonip::LsUdpPort);
        QString error;
        if (!port->open(&error))
            throw TqmError(TqmError::FileAccess, QStringLiteral("tqm-devicesim"),
                           QStringLiteral("Cannot open %1 port %2: %3").arg(ip.toString()).arg(lonip::LsUdpPort).arg(error));
        const auto address = lonip::fromNodeIp(ip);
        node.endpoint.reset();
        node.port = std::move(port);
        node.ip = ip;
        node.endpoint = std::make_unique<lonip::Endpoint>(*node.port, QtTimerFactory::instance(), SystemClock::instance());
        node.endpoint->setOwnAddress(address->domain, address->address);
        Node *self = &node;
        node.endpoint->setHandler([self](const lonip::Incoming &message) {
            const auto answer = self->device->handle(message);
            const lonip::IpAddress moved = self->device->addressIp();
            if (!moved.isNull() && moved != self->ip)
                QTimer::singleShot(0, [self] { follow(*self); }); // after the answer left the old address
            return answer;
        });
    }

    static void follow(Node &node)
    {
        const lonip::IpAddress moved = node.device->addressIp();
        if (moved.isNull() || moved == node.ip)
            return;
        try {
            bind(node, moved);
        } catch (const TqmError &e) {
            err() << "tqm-devicesim: " << e.description() << Qt::endl; // it stays where it was
        }
    }

    void apply(const QCommandLineParser &parser, const QList<Node *> &nodes)
    {
        const roomchange::RoomChange change = roomchange::RoomChange::fromOptions(parser);
        bool ok = true;
        const int downAfter = parser.isSet("down-after") ? parser.value("down-after").toInt(&ok) : 0;
        if (!ok || downAfter < 0)
            throw UsageError{QStringLiteral("--down-after needs a number of messages")};
        for (Node *node : nodes) {
            node->device->changeRoom([&](const cmsim::RoomState &r, const cmsim::Settings &s, const QDateTime &now) {
                return change.applyTo(r, s, now);
            });
            if (parser.isSet("down"))
                node->device->setAnswering(false);
            if (parser.isSet("up"))
                node->device->setAnswering(true);
            if (parser.isSet("down-after"))
                node->device->goDownAfter(downAfter);
            if (parser.isSet("service-pin"))
                node->endpoint->send(m_tool, lonip::Destination::broadcast(0), lonip::Service::Unacknowledged,
                                     lonip::request::servicePin(node->device->neuronId(), node->device->programId()));
            out() << node->ip.toString() << ' ' << node->device->describe() << '\n';
        }
        out().flush();
    }

    lonip::IpAddress m_tool;
    QStringList m_nvCps;
    QTimer m_sendTimer;
    std::vector<std::unique_ptr<Node>> m_nodes; // their endpoints keep their addresses
};

lonip::IpAddress loopbackAddress(const QString &option, const QString &text)
{
    const lonip::IpAddress ip(text);
    if (!lonip::isLoopback(ip) || !lonip::fromNodeIp(ip))
        throw UsageError{QStringLiteral("--%1 needs a loopback address 127.0.S.N (N 1 to 127), not \"%2\"").arg(option, text)};
    return ip;
}

int run(QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Command modules as LON/IP devices on the loopback network."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({{"template", "device template of every device (default TQM_CM_L4)", "NAME", "TQM_CM_L4"},
                       {"first", "address of the first device (default 127.0.1.1)", "ADDRESS", "127.0.1.1"},
                       {"count", "number of devices, on consecutive node numbers (default 1)", "N", "1"},
                       {"configured", "start configured in domain 7F 00 00 instead of unconfigured"},
                       {"tool", "where service-pin messages go (default 127.0.1.100)", "ADDRESS", "127.0.1.100"},
                       {"nv-cps", "CPs kept in configuration network variables instead of the CP files", "NAME,..."}});
    parser.process(app);
    const lonip::IpAddress first = loopbackAddress("first", parser.value("first"));
    const lonip::IpAddress tool = loopbackAddress("tool", parser.value("tool"));
    bool ok = false;
    const int count = parser.value("count").toInt(&ok);
    const quint32 v4 = first.toIPv4Address();
    if (!ok || count < 1 || int(v4 & 0xFF) + count - 1 > 127)
        throw UsageError{QStringLiteral("--count needs a number of devices that fits node numbers up to 127")};
    const auto tpl = embedded::DeviceTemplateDef::builtIn(parser.value("template"));
    const QStringList nvCps = parser.value("nv-cps").split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &name : nvCps) {
        if (tpl->cpKeyByName(name) < 0)
            throw UsageError{QStringLiteral("--nv-cps: template %1 has no CP \"%2\"").arg(tpl->name, name)};
    }

    Simulator simulator(tool, nvCps);
    for (int i = 0; i < count; ++i)
        simulator.add(lonip::IpAddress(v4 + quint32(i)), tpl, parser.isSet("configured"));
    simulator.printAll();
    out() << "ready" << Qt::endl;

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            input.setEnabled(false);
            QCoreApplication::quit();
            return;
        }
        static QByteArray pending;
        pending.append(buffer, n);
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1))
            simulator.command(QString::fromUtf8(pending.left(end)).trimmed());
    });
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    toolio::nameProgram(QStringLiteral("tqm-devicesim"));
    return toolcommands::reportingFailures([&] { return run(app); },
                                           [](const QString &text) { return toolio::usageError(QString(), text); });
}
