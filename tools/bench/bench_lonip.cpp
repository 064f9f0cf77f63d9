// bench-lonip: 100 command modules on loopback (tqm-devicesim, each on its own address and
// socket) commissioned and configured over LON/IP the way tqm-netdb and the plug-in do it:
// commissioning, every CP read through the device's CP files, one CP written, one NV fetched.
// Prints datagrams per device (requests, answers, retries), milliseconds per device and the time
// the same messages would take on an FT-10 channel.
//   bench-lonip [DEVICES]   (default 100, at most 120, on 127.0.46.1 onwards)

#include "lns/embedded/devicelink.h"
#include "lonip/nmclient.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTextStream>

using namespace lonip;

namespace {

const DomainId Loopback = QByteArray("\x7F\x00\x00", 3);

void commission(const IpAddress &ip, const NeuronId &id)
{
    const auto derived = fromNodeIp(ip);
    DomainEntry domain;
    domain.id = Loopback;
    domain.subnet = derived->address.subnet;
    domain.node = derived->address.node;
    const Target byId = Target::neuronId(ip, id);
    auto &tool = embedded::ToolNode::instance();
    for (const QByteArray &apdu : {request::updateDomain(0, domain),
                                   request::setNodeMode(NodeMode::ChangeState, nodestate::ConfiguredOnline),
                                   request::setNodeMode(NodeMode::Online), request::checksumRecalc()}) {
        if (!tool.call(byId, apdu).ok())
            throw std::runtime_error("commissioning failed");
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int count = qBound(1, argc > 1 ? QByteArray(argv[1]).toInt() : 100, 120);
    const auto tpl = embedded::DeviceTemplateDef::builtIn(QStringLiteral("TQM_CM_L4"));
    const quint32 first = IpAddress(QStringLiteral("127.0.46.1")).toIPv4Address();

    // The devices in a process of their own: the tool's node serves only itself while it waits.
    QProcess devices;
    devices.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tqm-devicesim"),
                  {QStringLiteral("--first"), QStringLiteral("127.0.46.1"), QStringLiteral("--count"), QString::number(count)});
    while (devices.waitForReadyRead(10000) && !devices.peek(1 << 20).contains("ready\n")) {
    }
    if (!devices.peek(1 << 20).contains("ready\n")) {
        out << "tqm-devicesim did not start: " << devices.readAllStandardError() << '\n';
        return 1;
    }

    Endpoint &tool = embedded::ToolNode::instance().client().endpoint();
    tool.resetCounters();
    QElapsedTimer elapsed;
    elapsed.start();
    for (int i = 0; i < count; ++i) {
        const IpAddress ip(first + quint32(i));
        // tqm-devicesim's Neuron IDs end in the subnet and node of the device's address.
        commission(ip, NeuronId{QByteArray("\x05\x00\x7F\x00\x2E", 5) + char(i + 1)});
        auto link = embedded::makeLonIpLink(tpl, QStringLiteral("CM %1").arg(i + 1),
                                            embedded::LinkRecord{QStringLiteral("lonip"), ip.toString(), {}});
        for (int key = 0; key < tpl->cps.size(); ++key)
            link->readCp(key);
        link->writeCp(tpl->cpKeyByName(QStringLiteral("nciTmpOffset")), QByteArray("\x00\x32", 2));
        link->readNv(tpl->nvKeyByName(QStringLiteral("nvoSpaceTemp")));
    }
    const double ms = double(elapsed.nsecsElapsed()) / 1e6;
    devices.closeWriteChannel();
    devices.waitForFinished(5000);

    const Counters &t = tool.counters();
    const double n = count;
    out << "devices " << count << " (commissioning, " << tpl->cps.size()
        << " CPs read from the CP files, one written, one NV fetched)\n";
    out << QStringLiteral("datagrams per device: %1 requests, %2 answers, %3 retries, %4 time-outs\n")
               .arg(t.requests / n, 0, 'f', 1).arg(t.received / n, 0, 'f', 1).arg(t.retries / n, 0, 'f', 2)
               .arg(t.timeouts / n, 0, 'f', 2);
    out << QStringLiteral("ms per device over loopback: %1\n").arg(ms / n, 0, 'f', 2);
    out << QStringLiteral("FT-10 wire time per device: %1 ms (frames only, no channel access)\n")
               .arg((t.ft10WireUs + t.ft10ReceivedUs) / n / 1000.0, 0, 'f', 1);
    return t.timeouts == 0 ? 0 : 1;
}
