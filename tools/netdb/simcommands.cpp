#include "simcommands.h"

#include "common/commandtable.h"
#include "common/roomchange.h"
#include "lns/embedded/devicetemplate.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "base/tqmerror.h"
#include "strings/resstrings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QTextStream>
#include <QTimer>

#include <limits>

namespace netdbtool {

const char SimUsage[] =
    "  sim NETWORK DEVICE [--room-temp T] [--sensor-error E] [--knob K] [--switch up|down]\n"
    "                     [--press setpt-|setpt+|fan-|fan+]... [--show]\n"
    "                                   act on a simulated command module (temperatures in degrees\n"
    "                                   Celsius, knob and error in kelvin); --show, or no change,\n"
    "                                   prints its room, every output NV and its knob calibration\n"
    "  watch NETWORK OBJECT NV... [--seconds N] [--poll TENTHS]\n"
    "                                   prints each monitor update of the NVs with a time stamp,\n"
    "                                   until interrupted or for N seconds; --poll polls every\n"
    "                                   TENTHS tenths of a second instead of waiting for sends\n";

namespace {

using namespace embedded;

using toolio::err;
using toolio::out;
using toolio::UsageError;

// Hundredths of a number given in units ("22.5", "-0,8", "+1.5").
QString units(int hundredths)
{
    return QString::number(hundredths / 100.0, 'f', 2);
}

lns::LonMarkObjectPtr requireCommandModule(const lns::AppDevicePtr &device)
{
    if (lns::LonMarkObjectPtr found = commandModuleOf(device))
        return found;
    throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("tqm-netdb"),
                   QStringLiteral("Device \"%1\" has no command-module object.").arg(device->name()));
}

void show(const lns::AppDevicePtr &device)
{
    const bool online = EmbeddedObjectServer::isDeviceOnline(device);
    out() << device->name() << " (" << objectName(device) << "): "
          << (EmbeddedObjectServer::isSimulated(device) ? "simulated" : "not simulated") << ", "
          << (online ? "online" : "offline") << '\n';
    const cmsim::RoomState room = EmbeddedObjectServer::roomState(device);
    out() << "room " << units(room.roomTemp) << " C, sensor error " << units(room.sensorError) << " K, knob "
          << units(room.knob) << " K, switch " << (room.switchUp ? "up" : "down") << ", buttons "
          << units(room.buttonOffset) << " K, fan level " << room.fanLevel << '\n';
    for (const auto &nv : requireCommandModule(device)->networkVariables()->items()) {
        if (nv->direction() != lns::NetworkVariable::Direction::Output)
            continue;
        QString value;
        try {
            value = nv->value();
        } catch (const TqmError &e) {
            value = QStringLiteral("(%1)").arg(e.description());
        }
        out() << nv->name() << " = " << value << '\n';
    }
    out() << "knob calibration: " << EmbeddedObjectServer::knobCalibrationText(device) << '\n';
}

int simCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("NETWORK", "network");
    parser.addPositionalArgument("DEVICE", "device");
    parser.addOptions({{"room-temp", "room temperature", "T"},
                       {"sensor-error", "internal sensor deviation", "E"},
                       {"knob", "knob position", "K"},
                       {"switch", "toggle switch", "up|down"},
                       {"press", "push button", "BUTTON"},
                       {"show", "print the device"}});
    const QStringList positional = toolcommands::parseOrThrow(parser, "sim", arguments);
    if (positional.size() != 2)
        throw UsageError{QStringLiteral("sim needs NETWORK and DEVICE")};
    // Everything is checked before the device is touched.
    const roomchange::RoomChange change = roomchange::RoomChange::fromOptions(parser);

    auto server = openServer();
    const lns::AppDevicePtr device = server->findDevice(positional[0], positional[1]);
    requireCommandModule(device); // a device without one is no command module to simulate
    if (change.any()) {
        EmbeddedObjectServer::changeRoom(device, [&](const cmsim::RoomState &r, const cmsim::Settings &s, const QDateTime &now) {
            return change.applyTo(r, s, now);
        });
    }
    if (!change.any() || parser.isSet("show"))
        show(device);
    return 0;
}

int watchCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("NETWORK", "network");
    parser.addPositionalArgument("OBJECT", "LonMark object or device");
    parser.addPositionalArgument("NV", "network variables");
    parser.addOptions({{"seconds", "stop after N seconds", "N"}, {"poll", "poll interval in tenths of a second", "TENTHS"}});
    const QStringList positional = toolcommands::parseOrThrow(parser, "watch", arguments);
    if (positional.size() < 3)
        throw UsageError{QStringLiteral("watch needs NETWORK, OBJECT and at least one NV")};
    bool ok = true;
    const int seconds = parser.isSet("seconds") ? parser.value("seconds").toInt(&ok) : 0;
    // The timer counts milliseconds in 32 bits.
    constexpr int MaxSeconds = std::numeric_limits<int>::max() / 1000;
    if (!ok || seconds < 0 || seconds > MaxSeconds)
        throw UsageError{QStringLiteral("--seconds needs a number of seconds from 0 to %1").arg(MaxSeconds)};
    const int poll = parser.isSet("poll") ? parser.value("poll").toInt(&ok) : 0;
    if (!ok || poll < 0)
        throw UsageError{QStringLiteral("--poll needs a number of tenths of a second")};

    const QString network = positional[0];
    if (!embedded::networkNames(home()).contains(network))
        throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("tqm-netdb"),
                       QStringLiteral("There is no network \"%1\" in %2/networks.").arg(network, home()));
    auto server = openServer();
    lns::ObjectPtr object = server->objectByName(network + QLatin1Char('.') + positional[1]);
    if (!object || object->classId() == lns::NetworkClass)
        object = server->objectByName(positional[1]);
    std::shared_ptr<lns::NetworkVariables> nvs;
    if (auto lmo = std::dynamic_pointer_cast<lns::LonMarkObject>(object))
        nvs = lmo->networkVariables();
    else if (auto device = std::dynamic_pointer_cast<lns::AppDevice>(object))
        nvs = device->networkVariables();
    else
        throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("tqm-netdb"),
                       QStringLiteral("There is no LonMark object or device \"%1\" in network \"%2\".").arg(positional[1], network));
    const QStringList names = positional.mid(2);
    QList<lns::NetworkVariablePtr> watched;
    for (const QString &name : names) {
        const lns::NetworkVariablePtr nv = nvs->item(name);
        nv->setHold(true);
        nv->setPollFlag(poll > 0);
        nv->setPollInterval(poll);
        nv->setReportByException(true);
        nv->setMonitorTag(int(watched.size()) + 1);
        nv->setHold(false);
        watched.append(nv);
    }
    const auto stamp = [] { return QDateTime::currentDateTime().toString(Qt::ISODateWithMs); };
    // How each is watched, as the monitor log says it.
    for (int i = 0; i < watched.size(); ++i) {
        const bool bound = watched[i]->monitorPath() == lns::NetworkVariable::MonitorPath::Bound;
        out() << stamp() << ' ' << GetResString(bound ? 1671 : 1670, 0, {names[i]}) << Qt::endl;
    }
    server->subscribeMonitorUpdates([&](int tag, const QString &value) {
        out() << stamp() << ' ' << names.value(tag - 1) << ' ' << value << Qt::endl;
    });
    server->subscribeMonitorFailures([&](int tag, const TqmError &e) {
        out() << stamp() << ' ' << names.value(tag - 1) << " failed: " << e.description() << Qt::endl;
    });
    if (seconds > 0)
        QTimer::singleShot(seconds * 1000, QCoreApplication::instance(), &QCoreApplication::quit);
    return QCoreApplication::exec();
}

int run(int (*command)(const QStringList &), const QStringList &arguments)
{
    return toolcommands::reportingFailures([&] { return command(arguments); }, [](const QString &text) {
        err() << "tqm-netdb: " << text << "\n\n" << SimUsage;
        return 2;
    });
}

} // namespace

EmbeddedObjectServerPtr openServer()
{
    auto server = EmbeddedObjectServer::create(home());
    server->open(lns::ConnectionMode::Local);
    return server;
}

int sim(const QStringList &arguments)
{
    return run(simCommand, arguments);
}

int watch(const QStringList &arguments)
{
    return run(watchCommand, arguments);
}

} // namespace netdbtool
