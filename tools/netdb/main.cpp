// tqm-netdb: creates the demo network and inspects or changes network databases from outside
// the plug-in (the way a network tool or a test drives the simulated devices).
//
// The sub-command comes first; its arguments and options follow it. Commands that only read
// (list, check) open the database read-only, so they work on a home nobody may write to.

#include "base/tqmerror.h"
#include "calibration/sensorrestore.h"
#include "common/commandtable.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/embedded/networkcheck.h"
#include "lonip/address.h"
#include "lns/inifile.h"
#include "lns/objectname.h"
#include "lns/product.h"
#include "lonipcommands.h"
#include "simcommands.h"
#include "lns/inilocator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <functional>
#include <utility>

namespace {

const char Overview[] =
    "Usage: tqm-netdb COMMAND ARGUMENTS... [OPTIONS]\n"
    "  create NETWORK --demo [--devices N] [--ini FILE] [--replace]\n"
    "                                   build the demo network (default 24 devices, every template)\n"
    "  list NETWORK                     one line per device: subsystem, name, template, program id,\n"
    "                                   online/offline, application version, object name\n"
    "  show NETWORK OBJECT              every CP and NV of a LonMark object (or device): index, name,\n"
    "                                   type, length, value and the plug-in's parameter names\n"
    "  cp NETWORK OBJECT NAME [--set RAW]\n"
    "                                   show (or set, in RAW text) a CP; NAME is a CP name, NVNAME/CPNAME\n"
    "                                   for a CP of a network variable, or a parameter name the plug-in\n"
    "                                   prints (ButtonMode, PanelType_1), found through the INI file\n"
    "  nv NETWORK OBJECT NVNAME [--set TEXT] [--raw]\n"
    "                                   show (or set, in the NV's own format or RAW) a network variable\n"
    "  device NETWORK DEVICE --online|--offline|--app-version V|--link sim|lonip [--ip ADDRESS]\n"
    "                                   --link lonip reaches the device over LON/IP at ADDRESS,\n"
    "                                   --link sim simulates it in the database again\n"
    "  ext NETWORK OBJECT               the extension records of a LonMark object\n"
    "  check NETWORK [--ini FILE]       database integrity, devices against templates, INI entries\n"
    "  --help, --version                (COMMAND --help: that command's arguments and options)\n"
    "OBJECT is an object name as `list` prints it (Network.Level.Device.LonMarkObject; the network\n"
    "part may be left out); DEVICE is that, a device's object name or a device name. RAW text is\n"
    "decimal bytes separated by TAB (a blank is taken as TAB here). Networks live in\n"
    "$TQM_HOME/networks (default ~/.local/share/tqm/networks).\n";

using toolio::err;
using toolio::out;
using toolio::usageError;
using toolio::UsageError;

// What a command gets: its positional arguments in order and its parsed options.
class Invocation
{
public:
    Invocation(const QCommandLineParser &parser, QStringList names) : m_parser(parser)
    {
        const QStringList given = parser.positionalArguments().mid(1); // after the command itself
        if (given.size() < names.size())
            throw UsageError{QStringLiteral("missing ") + names.mid(given.size()).join(QLatin1Char(' '))};
        if (given.size() > names.size())
            throw UsageError{QStringLiteral("unexpected argument \"%1\"").arg(given.at(names.size()))};
        for (int i = 0; i < names.size(); ++i)
            m_values.insert(names.at(i), given.at(i));
    }
    QString operator[](const QString &name) const { return m_values.value(name); }
    bool isSet(const QString &option) const { return m_parser.isSet(option); }
    QString value(const QString &option) const { return m_parser.value(option); }

private:
    const QCommandLineParser &m_parser;
    QHash<QString, QString> m_values;
};

// ---- network objects ----

// The network's server; an unknown network is named together with the ones there are.
embedded::EmbeddedObjectServerPtr openNetwork(const QString &network, bool readOnly = false)
{
    const QString home = netdbtool::home();
    const QStringList networks = embedded::networkNames(home);
    if (!networks.contains(network)) {
        const QString there = networks.isEmpty()
            ? QStringLiteral("there are none yet (tqm-netdb create NAME --demo makes one)")
            : QStringLiteral("there are: ") + networks.join(QStringLiteral(", "));
        throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("tqm-netdb"),
                       QStringLiteral("There is no network \"%1\" in %2/networks; %3.").arg(network, home, there));
    }
    auto server = embedded::EmbeddedObjectServer::create(home);
    server->setReadOnly(readOnly);
    server->open(lns::ConnectionMode::Local);
    return server;
}

// A sensor calibration cut short on the command module of `object` (a device or one of its
// LonMark objects) is undone before the command looks at it, as the plug-in does; what happened
// goes to standard error.
void restoreInterruptedCalibration(const lns::ObjectPtr &object)
{
    lns::LonMarkObjectPtr module = std::dynamic_pointer_cast<lns::LonMarkObject>(object);
    if (auto device = std::dynamic_pointer_cast<lns::AppDevice>(object))
        module = embedded::commandModuleOf(device);
    if (!module)
        return;
    const auto system = std::dynamic_pointer_cast<lns::System>(lns::ancestorByClassId(module, lns::SystemClass));
    const calibration::RestoreOutcome outcome =
        calibration::RestoreInterruptedSensorCalibration(system, module, QDateTime::currentDateTime());
    if (outcome.kind != calibration::RestoreOutcome::Nothing)
        err() << calibration::RestoreOutcomeText(outcome) << Qt::endl;
}

lns::ObjectPtr findObject(embedded::EmbeddedObjectServer &server, const QString &network, const QString &name)
{
    lns::ObjectPtr object = server.objectByName(name);
    if (!object || object->classId() == lns::NetworkClass)
        object = server.objectByName(network + QLatin1Char('.') + name);
    if (!object)
        throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("tqm-netdb"),
                       QStringLiteral("There is no object \"%1\" in network \"%2\".").arg(name, network));
    restoreInterruptedCalibration(object);
    return object;
}

QList<lns::AppDevicePtr> allDevices(const lns::NetworkPtr &network)
{
    QList<lns::AppDevicePtr> devices;
    QList<lns::SubsystemPtr> pending = network->systems()->item(1)->subsystems()->items();
    while (!pending.isEmpty()) {
        const lns::SubsystemPtr s = pending.takeFirst();
        devices += s->appDevices()->items();
        pending = s->subsystems()->items() + pending;
    }
    return devices;
}

lns::AppDevicePtr deviceOf(const lns::ObjectPtr &object)
{
    if (auto device = std::dynamic_pointer_cast<lns::AppDevice>(object))
        return device;
    if (object && object->classId() == lns::LonMarkObjectClass)
        return std::dynamic_pointer_cast<lns::AppDevice>(lns::ancestorByClassId(object, lns::AppDeviceClass));
    return {};
}

// The command-module object of a device: its LonMark object of the command-module type.
lns::LonMarkObjectPtr commandModuleOf(const lns::AppDevicePtr &device)
{
    for (const auto &lmo : device->lonMarkObjects()->items())
        if (lmo->type() == 8090)
            return lmo;
    return {};
}

// A device by object name (its own, or one of its LonMark objects' as `list` prints it) or by
// name, plain or escaped as in an object name ("CM 1\.01").
lns::AppDevicePtr findDevice(embedded::EmbeddedObjectServer &server, const QString &network, const QString &name)
{
    for (const QString &objectName : {name, network + QLatin1Char('.') + name}) {
        try {
            if (const lns::AppDevicePtr device = deviceOf(server.objectByName(objectName)))
                return device;
        } catch (const TqmError &) {
            // Not an object name (a dangling escape, say): try it as a device name.
        }
    }
    QString unescaped = name;
    try {
        unescaped = objectname::unescapePart(name);
    } catch (const TqmError &) {
    }
    QList<lns::AppDevicePtr> named;
    for (const auto &device : allDevices(server.network(network)))
        if (device->name() == name || device->name() == unescaped)
            named.append(device);
    if (named.size() == 1)
        return named.first();
    throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("tqm-netdb"),
                   named.isEmpty() ? QStringLiteral("There is no device \"%1\" in network \"%2\".").arg(name, network)
                                   : QStringLiteral("%1 devices are named \"%2\"; give the object name.")
                                         .arg(named.size())
                                         .arg(name));
}

QString rawArgument(const QString &text)
{
    return QString(text).replace(QLatin1Char(' '), QLatin1Char('\t'));
}

QString shown(const QString &raw)
{
    return QString(raw).replace(QLatin1Char('\t'), QLatin1Char(' '));
}

// The value in RAW text and in the CP's own format; the format spec is left as it was.
QPair<QString, QString> cpValue(const lns::ConfigPropertyPtr &cp)
{
    const QString format = cp->formatSpec();
    cp->setFormatSpec(lns::RawFormat);
    const QString raw = cp->value();
    cp->setFormatSpec(format);
    return {raw, cp->value()};
}

QPair<QString, QString> nvValue(const lns::NetworkVariablePtr &nv)
{
    const QString format = nv->formatSpec();
    nv->setFormatSpec(lns::RawFormat);
    const QString raw = nv->value();
    nv->setFormatSpec(nv->typeName());
    const QString value = nv->value();
    nv->setFormatSpec(format);
    return {raw, value};
}

// ---- the plug-in's parameter names ----

// The plug-in INI file: the built-in one or `--ini FILE`.
IniFile pluginIni(const Invocation &call)
{
    const QString path = call.isSet(QStringLiteral("ini")) ? call.value(QStringLiteral("ini"))
                                                            : QStringLiteral(":/TqmCmdModule.ini");
    IniFile ini(path);
    if (!QFileInfo::exists(path))
        throw TqmError(TqmError::FileAccess, QStringLiteral("tqm-netdb"), QStringLiteral("There is no INI file %1.").arg(path));
    return ini;
}

// The INI entry behind a parameter name: the name itself, or for a part of a CP that the
// plug-in shows as a parameter of its own ("PanelType_1"), the name before "_<n>".
QString iniEntryOf(const IniFile &ini, const QString &name, const QString &deviceTemplate)
{
    for (const QString &key : {name, QString(name).remove(QRegularExpression(QStringLiteral("_\\d+$")))}) {
        if (!ini.GetTemplateValue(key, product::CpSection, deviceTemplate).isEmpty())
            return key;
    }
    return {};
}

// The CP the plug-in binds to an INI entry, fetched the way the plug-in fetches it; null when
// the device does not have it.
lns::ConfigPropertyPtr pluginCp(const IniFile &ini, const QString &entry, const lns::AppDevicePtr &device)
{
    const QString tpl = device->deviceTemplate()->name();
    bool found = false;
    lns::ConfigPropertyPtr cp;
    try {
        if (embedded::fetchedThroughDevice(entry))
            cp = IniLocator(ini, tpl).FetchDevCp(entry, product::CpSection, device, &found);
        else if (const lns::LonMarkObjectPtr commandModule = commandModuleOf(device))
            cp = IniLocator(ini, tpl).FetchLmoCp(entry, product::CpSection, commandModule, &found);
    } catch (const TqmError &) {
        // An entry pointing past the device's lists: the device lacks the CP.
    }
    return found ? cp : nullptr;
}

// ---- commands ----

int create(const Invocation &call)
{
    const QString network = call[QStringLiteral("NETWORK")];
    if (!call.isSet(QStringLiteral("demo")))
        throw UsageError{QStringLiteral("create needs --demo")};
    bool ok = true;
    const int count = call.isSet(QStringLiteral("devices")) ? call.value(QStringLiteral("devices")).toInt(&ok) : 24;
    if (!ok || count < 1)
        throw UsageError{QStringLiteral("--devices needs a positive number")};
    const QString path = embedded::createDemoNetwork(netdbtool::home(), network, count,
                                                     call.value(QStringLiteral("ini")), call.isSet(QStringLiteral("replace")));
    out() << "Created network \"" << network << "\" with " << count << " devices: " << path << "\n";
    return 0;
}

int list(const Invocation &call)
{
    auto server = openNetwork(call[QStringLiteral("NETWORK")], true);
    const lns::NetworkPtr network = server->network(call[QStringLiteral("NETWORK")]);
    // The heading comes with the first device: everything that can fail is read before that,
    // so a failure leaves no half a table. The first line goes out at once, the rest as the
    // stream fills.
    bool headed = false;
    const auto heading = [&headed] {
        if (!std::exchange(headed, true))
            out() << "subsystem\tdevice\ttemplate\tprogram id\tstate\tversion\tobject name\n";
    };
    embedded::forEachDevice(network, [&](const embedded::DeviceEntry &device) {
        const bool first = !headed;
        heading();
        out() << QStringList{device.subsystemPath, device.name, device.templateName, device.programId,
                             device.online ? QStringLiteral("online") : QStringLiteral("offline"),
                             QString::number(device.applicationVersion, 'f', 1),
                             device.commandModuleName.isEmpty() ? device.objectName : device.commandModuleName}
                     .join(QLatin1Char('\t'))
              << '\n';
        if (first)
            out().flush();
    });
    heading();
    return 0;
}

lns::ConfigPropertyPtr findCpByName(const lns::ObjectPtr &object, const QString &cpName)
{
    const QStringList parts = cpName.split(QLatin1Char('/'));
    std::shared_ptr<lns::ConfigProperties> cps;
    if (auto lmo = std::dynamic_pointer_cast<lns::LonMarkObject>(object))
        cps = parts.size() == 2 ? lmo->networkVariables()->item(parts[0])->configProperties() : lmo->configProperties();
    else if (auto device = std::dynamic_pointer_cast<lns::AppDevice>(object))
        cps = parts.size() == 2 ? device->networkVariables()->item(parts[0])->configProperties()
                                : device->configProperties();
    else
        throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("tqm-netdb"),
                       QStringLiteral("\"%1\" is neither a LonMark object nor a device.").arg(object->name()));
    return cps->item(parts.last());
}

int cp(const Invocation &call)
{
    const QString network = call[QStringLiteral("NETWORK")];
    const QString name = call[QStringLiteral("NAME")];
    auto server = openNetwork(network);
    const lns::ObjectPtr object = findObject(*server, network, call[QStringLiteral("OBJECT")]);
    lns::ConfigPropertyPtr cp;
    QString parameter;
    try {
        cp = findCpByName(object, name);
    } catch (const TqmError &notACpName) {
        const lns::AppDevicePtr device = deviceOf(object);
        const IniFile ini = pluginIni(call);
        const QString entry = device ? iniEntryOf(ini, name, device->deviceTemplate()->name()) : QString();
        if (entry.isEmpty())
            throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("tqm-netdb"),
                           QStringLiteral("\"%1\" is neither a CP of \"%2\" nor a parameter name of the INI file.")
                               .arg(name, object->name()));
        cp = pluginCp(ini, entry, device);
        if (!cp)
            throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("tqm-netdb"),
                           QStringLiteral("The device \"%1\" (%2) has no CP for the parameter %3.")
                               .arg(device->name(), device->deviceTemplate()->name(), name));
        parameter = name + QStringLiteral(": ");
    }
    if (call.isSet(QStringLiteral("set"))) {
        const QString format = cp->formatSpec();
        cp->setFormatSpec(lns::RawFormat);
        cp->setValue(rawArgument(call.value(QStringLiteral("set"))));
        cp->setFormatSpec(format);
    }
    const auto [raw, value] = cpValue(cp);
    out() << parameter << cp->name() << " (" << cp->typeName() << ", " << cp->elementLength() << " x "
          << cp->dimension() << "): RAW " << shown(raw) << " = " << shown(value) << '\n';
    return 0;
}

int show(const Invocation &call)
{
    const QString network = call[QStringLiteral("NETWORK")];
    auto server = openNetwork(network);
    const lns::ObjectPtr object = findObject(*server, network, call[QStringLiteral("OBJECT")]);
    const lns::AppDevicePtr device = deviceOf(object);
    const auto lmo = std::dynamic_pointer_cast<lns::LonMarkObject>(object);
    if (!device)
        throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("tqm-netdb"),
                       QStringLiteral("\"%1\" is neither a LonMark object nor a device.").arg(object->name()));

    // Which plug-in parameters sit on which CP (CP names are unique within a device).
    QHash<QString, QStringList> parameters;
    const IniFile ini = pluginIni(call);
    for (const QString &entry : embedded::plugInCpNames())
        if (const lns::ConfigPropertyPtr cp = pluginCp(ini, entry, device))
            parameters[cp->name()].append(entry);

    QStringList cpLines;
    const auto addCps = [&](const std::shared_ptr<lns::ConfigProperties> &cps, const QString &prefix) {
        for (int i = 1; i <= cps->count(); ++i) {
            const lns::ConfigPropertyPtr cp = cps->item(i);
            const auto [raw, value] = cpValue(cp);
            cpLines.append(QStringList{prefix + QString::number(i), cp->name(), cp->typeName(),
                                       QString::number(cp->elementLength() * cp->dimension()), shown(raw), shown(value),
                                       parameters.value(cp->name()).join(QLatin1Char(' '))}
                               .join(QLatin1Char('\t')));
        }
    };
    QStringList nvLines;
    const auto nvs = lmo ? lmo->networkVariables() : device->networkVariables();
    addCps(lmo ? lmo->configProperties() : device->configProperties(), QString());
    for (int n = 1; n <= nvs->count(); ++n) {
        const lns::NetworkVariablePtr nv = nvs->item(n);
        const auto [raw, value] = nvValue(nv);
        nvLines.append(QStringList{QString::number(n), nv->name(), nv->typeName(),
                                   QString::number(raw.split(QLatin1Char('\t')).size()), shown(raw), shown(value)}
                           .join(QLatin1Char('\t')));
        addCps(nv->configProperties(), QString::number(n) + QLatin1Char('/'));
    }

    out() << (lmo ? QStringLiteral("LonMark object %1 (type %2)").arg(lmo->name()).arg(lmo->type())
                  : QStringLiteral("Device"))
          << " of device " << device->name() << " (" << device->deviceTemplate()->name() << "): "
          << (lmo ? embedded::objectName(lmo) : embedded::objectName(device)) << "\n\n";
    out() << "CP\tname\ttype\tlength\tRAW\tvalue\tparameter\n";
    for (const QString &line : std::as_const(cpLines))
        out() << line << '\n';
    out() << "\nNV\tname\ttype\tlength\tRAW\tvalue\n";
    for (const QString &line : std::as_const(nvLines))
        out() << line << '\n';
    return 0;
}

int nv(const Invocation &call)
{
    const QString network = call[QStringLiteral("NETWORK")];
    const QString nvName = call[QStringLiteral("NVNAME")];
    auto server = openNetwork(network);
    const lns::ObjectPtr object = findObject(*server, network, call[QStringLiteral("OBJECT")]);
    lns::NetworkVariablePtr nv;
    if (auto lmo = std::dynamic_pointer_cast<lns::LonMarkObject>(object))
        nv = lmo->networkVariables()->item(nvName);
    else if (auto device = std::dynamic_pointer_cast<lns::AppDevice>(object))
        nv = device->networkVariables()->item(nvName);
    else
        throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("tqm-netdb"),
                       QStringLiteral("\"%1\" is neither a LonMark object nor a device.").arg(object->name()));
    if (call.isSet(QStringLiteral("set"))) {
        const bool raw = call.isSet(QStringLiteral("raw"));
        const QString format = nv->formatSpec();
        nv->setFormatSpec(raw ? lns::RawFormat : nv->typeName());
        nv->setValue(raw ? rawArgument(call.value(QStringLiteral("set"))) : call.value(QStringLiteral("set")));
        nv->setFormatSpec(format);
    }
    const auto [raw, value] = nvValue(nv);
    out() << nv->name() << " (" << nv->typeName() << "): RAW " << shown(raw) << " = " << value << '\n';
    return 0;
}

int device(const Invocation &call)
{
    const QString network = call[QStringLiteral("NETWORK")];
    const bool online = call.isSet(QStringLiteral("online"));
    const bool offline = call.isSet(QStringLiteral("offline"));
    const QString version = call.value(QStringLiteral("app-version"));
    if (online && offline)
        throw UsageError{QStringLiteral("--online and --offline exclude each other")};
    bool ok = true;
    const double v = version.isEmpty() ? 0 : version.toDouble(&ok);
    if (!ok)
        throw UsageError{QStringLiteral("--app-version needs a number such as 2.1")};
    const QString link = call.value(QStringLiteral("link"));
    const lonip::IpAddress ip(call.value(QStringLiteral("ip")));
    if (!link.isEmpty() && link != QLatin1String("sim") && link != QLatin1String("lonip"))
        throw UsageError{QStringLiteral("--link takes sim or lonip")};
    if (link == QLatin1String("lonip") && (ip.isNull() || ip.isMulticast()))
        throw UsageError{QStringLiteral("--link lonip needs --ip with the device's IPv4 address, such as 127.0.1.12")};
    auto server = openNetwork(network);
    const auto dev = findDevice(*server, network, call[QStringLiteral("DEVICE")]);
    if (online || offline)
        embedded::EmbeddedObjectServer::setDeviceOnline(dev, online);
    if (link == QLatin1String("sim"))
        embedded::EmbeddedObjectServer::setDeviceLink(dev, std::nullopt);
    else if (link == QLatin1String("lonip"))
        embedded::EmbeddedObjectServer::setDeviceLink(dev, embedded::LinkRecord{link, ip.toString(), {}});
    if (!version.isEmpty())
        embedded::EmbeddedObjectServer::setApplicationVersion(dev, v);
    restoreInterruptedCalibration(dev);
    out() << dev->name() << ": " << (embedded::EmbeddedObjectServer::isDeviceOnline(dev) ? "online" : "offline")
          << ", application version "
          << QString::number(embedded::EmbeddedObjectServer::configuredApplicationVersion(dev), 'f', 1);
    if (const auto record = embedded::EmbeddedObjectServer::deviceLink(dev))
        out() << ", LON/IP at " << record->ip;
    else
        out() << ", simulated link";
    out() << '\n';
    return 0;
}

int ext(const Invocation &call)
{
    const QString network = call[QStringLiteral("NETWORK")];
    const QString objectName = call[QStringLiteral("OBJECT")];
    auto server = openNetwork(network);
    auto lmo = std::dynamic_pointer_cast<lns::LonMarkObject>(findObject(*server, network, objectName));
    if (!lmo)
        throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("tqm-netdb"),
                       QStringLiteral("\"%1\" is not a LonMark object.").arg(objectName));
    const auto records = lmo->extensions();
    if (records->count() == 0)
        out() << "No extension records.\n";
    for (const auto &record : records->items()) {
        out() << record->name() << '\n';
        for (int f = 1; f <= record->fieldCount(); ++f)
            out() << "  " << f << ": " << record->field(f) << '\n';
    }
    return 0;
}

int check(const Invocation &call)
{
    const QString network = call[QStringLiteral("NETWORK")];
    openNetwork(network, true); // names the networks there are when this one is not
    const QStringList problems = embedded::checkNetwork(netdbtool::home(), network, call.value(QStringLiteral("ini")));
    for (const QString &p : problems)
        err() << p << '\n';
    if (!problems.isEmpty()) {
        err() << problems.size() << " problem(s) in network \"" << network << "\".\n";
        return 1;
    }
    out() << "Network \"" << network << "\" is consistent.\n";
    return 0;
}

// ---- the command table ----

struct Command : toolcommands::CommandLine
{
    std::function<int(const Invocation &)> run;
};

QCommandLineOption iniOption()
{
    return {QStringLiteral("ini"), QStringLiteral("The plug-in INI file (default: the built-in one)."), QStringLiteral("FILE")};
}

const QList<Command> &commands()
{
    static const QList<Command> table{
        {{QStringLiteral("create"), QStringLiteral("Build the demo network."), {}, {QStringLiteral("NETWORK")},
          {{QStringLiteral("demo"), QStringLiteral("The demo network (the only kind there is).")},
           {QStringLiteral("devices"), QStringLiteral("Number of devices (default 24)."), QStringLiteral("N")},
           iniOption(),
           {QStringLiteral("replace"), QStringLiteral("Replace a network of that name.")}}},
         create},
        {{QStringLiteral("list"), QStringLiteral("One line per device (read-only)."), {}, {QStringLiteral("NETWORK")}, {}},
         list},
        {{QStringLiteral("show"), QStringLiteral("Every CP and NV of a LonMark object or device."), {},
          {QStringLiteral("NETWORK"), QStringLiteral("OBJECT")}, {iniOption()}},
         show},
        {{QStringLiteral("cp"), QStringLiteral("Show or set a CP, by CP name, NVNAME/CPNAME or plug-in parameter name."), {},
          {QStringLiteral("NETWORK"), QStringLiteral("OBJECT"), QStringLiteral("NAME")},
          {{QStringLiteral("set"), QStringLiteral("The new value in RAW text."), QStringLiteral("RAW")}, iniOption()}},
         cp},
        {{QStringLiteral("nv"), QStringLiteral("Show or set a network variable."), {},
          {QStringLiteral("NETWORK"), QStringLiteral("OBJECT"), QStringLiteral("NVNAME")},
          {{QStringLiteral("set"), QStringLiteral("The new value in the NV's format."), QStringLiteral("TEXT")},
           {QStringLiteral("raw"), QStringLiteral("--set gives RAW text.")}}},
         nv},
        {{QStringLiteral("device"),
          QStringLiteral("Switch a simulated device online or offline, or set its application version."), {},
          {QStringLiteral("NETWORK"), QStringLiteral("DEVICE")},
          {{QStringLiteral("online"), QStringLiteral("The device answers.")},
           {QStringLiteral("offline"), QStringLiteral("The device does not answer.")},
           {QStringLiteral("app-version"), QStringLiteral("The application version it reports."), QStringLiteral("V")},
           {QStringLiteral("link"), QStringLiteral("How the device is reached: sim or lonip."), QStringLiteral("sim|lonip")},
           {QStringLiteral("ip"), QStringLiteral("The device's LON/IP address (with --link lonip)."), QStringLiteral("ADDRESS")}}},
         device},
        {{QStringLiteral("ext"), QStringLiteral("The extension records of a LonMark object."), {},
          {QStringLiteral("NETWORK"), QStringLiteral("OBJECT")}, {}},
         ext},
        {{QStringLiteral("check"), QStringLiteral("Database integrity, devices against templates, INI entries (read-only)."), {},
          {QStringLiteral("NETWORK")}, {iniOption()}},
         check},
    };
    return table;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    toolio::nameProgram(QStringLiteral("tqm-netdb"));
    const QStringList arguments = QCoreApplication::arguments();
    const QString first = arguments.value(1);
    const QString overview = QString::fromUtf8(Overview) + QString::fromUtf8(netdbtool::SimUsage)
                             + QString::fromUtf8(netdbtool::LonIpUsage);
    if (const std::optional<int> answered = toolio::answerWithoutCommand(first, overview))
        return *answered;
    // The simulated rooms' and the LON/IP commands parse their own options.
    static const QHash<QString, int (*)(const QStringList &)> ownParsers{
        {QStringLiteral("sim"), netdbtool::sim},
        {QStringLiteral("watch"), netdbtool::watch},
        {QStringLiteral("network"), netdbtool::network},
        {QStringLiteral("discover"), netdbtool::discover},
        {QStringLiteral("commission"), netdbtool::commission},
        {QStringLiteral("decommission"), netdbtool::decommission}};
    if (const auto ownParser = ownParsers.value(first))
        return ownParser(arguments.mid(2));
    const Command *command = toolcommands::named(commands(), first);
    if (!command)
        return toolcommands::unknownCommand(first);
    QCommandLineParser parser;
    if (const std::optional<int> answered = toolcommands::parse(parser, *command, arguments))
        return *answered;
    return toolcommands::reportingFailures([&] { return command->run(Invocation(parser, command->arguments)); },
                                           [&](const QString &text) { return usageError(command->name, text); });
}
