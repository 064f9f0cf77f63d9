// tqm-netdb: creates the demo network and inspects or changes network databases from outside
// the plug-in (the way a network tool or a test drives the simulated devices).

#include "lns/embedded/embeddedobjectserver.h"
#include "lns/embedded/networkcheck.h"
#include "base/tqmerror.h"
#include "simcommands.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

const char Usage[] =
    "Usage: tqm-netdb COMMAND ...\n"
    "  create NETWORK --demo [--devices N] [--ini FILE] [--replace]\n"
    "                                   build the demo network (default 24 devices, every template)\n"
    "  list NETWORK                     one line per device: subsystem, name, template, program id,\n"
    "                                   online/offline, application version, object name\n"
    "  cp NETWORK OBJECT CPNAME [--set RAW]\n"
    "                                   show (or set, in RAW text) a CP of a LonMark object or device;\n"
    "                                   CPNAME may be NVNAME/CPNAME for a CP of a network variable\n"
    "  nv NETWORK OBJECT NVNAME [--set TEXT] [--raw]\n"
    "                                   show (or set, in the NV's own format or RAW) a network variable\n"
    "  device NETWORK DEVICE --online|--offline|--app-version V\n"
    "  ext NETWORK OBJECT               the extension records of a LonMark object\n"
    "  check NETWORK [--ini FILE]       database integrity, devices against templates, INI entries\n"
    "  --help\n"
    "OBJECT is an object name (Network.Level.Device.LonMarkObject; the network part may be left\n"
    "out); DEVICE is a device object name or a device name. RAW text is decimal bytes separated\n"
    "by TAB (a blank is taken as TAB here). Networks live in $TQM_HOME/networks.\n";

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

struct UsageError
{
    QString text;
};

class Args
{
public:
    explicit Args(QStringList args) : m_args(std::move(args)) {}
    bool flag(const QString &name) { return m_args.removeAll(name) > 0; }
    QString option(const QString &name)
    {
        const int i = int(m_args.indexOf(name));
        if (i < 0)
            return {};
        if (i + 1 >= m_args.size())
            throw UsageError{name + QStringLiteral(" needs a value")};
        const QString value = m_args[i + 1];
        m_args.remove(i, 2);
        return value;
    }
    QString positional(const QString &what)
    {
        if (m_args.isEmpty() || m_args.first().startsWith(QLatin1String("--")))
            throw UsageError{QStringLiteral("missing ") + what};
        return m_args.takeFirst();
    }
    void done() const
    {
        if (!m_args.isEmpty())
            throw UsageError{QStringLiteral("unexpected argument \"%1\"").arg(m_args.first())};
    }

private:
    QStringList m_args;
};

embedded::EmbeddedObjectServerPtr openServer()
{
    auto server = embedded::EmbeddedObjectServer::create(embedded::defaultHome());
    server->open(lns::ConnectionMode::Local);
    return server;
}

lns::ObjectPtr findObject(embedded::EmbeddedObjectServer &server, const QString &network, const QString &name)
{
    lns::ObjectPtr object = server.objectByName(name);
    if (!object || object->classId() == lns::NetworkClass)
        object = server.objectByName(network + QLatin1Char('.') + name);
    if (!object)
        throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("tqm-netdb"),
                       QStringLiteral("There is no object \"%1\" in network \"%2\".").arg(name, network));
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

lns::AppDevicePtr findDevice(embedded::EmbeddedObjectServer &server, const QString &network, const QString &name)
{
    if (auto device = std::dynamic_pointer_cast<lns::AppDevice>(server.objectByName(name)))
        return device;
    if (auto device = std::dynamic_pointer_cast<lns::AppDevice>(server.objectByName(network + QLatin1Char('.') + name)))
        return device;
    QList<lns::AppDevicePtr> named;
    for (const auto &device : allDevices(server.network(network)))
        if (device->name() == name)
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

int create(Args &args)
{
    const QString network = args.positional(QStringLiteral("NETWORK"));
    if (!args.flag(QStringLiteral("--demo")))
        throw UsageError{QStringLiteral("create needs --demo")};
    const QString devices = args.option(QStringLiteral("--devices"));
    const QString ini = args.option(QStringLiteral("--ini"));
    const bool replace = args.flag(QStringLiteral("--replace"));
    args.done();
    bool ok = true;
    const int count = devices.isEmpty() ? 24 : devices.toInt(&ok);
    if (!ok || count < 1)
        throw UsageError{QStringLiteral("--devices needs a positive number")};
    const QString path = embedded::createDemoNetwork(embedded::defaultHome(), network, count, ini, replace);
    out() << "Created network \"" << network << "\" with " << count << " devices: " << path << "\n";
    return 0;
}

int list(Args &args)
{
    const QString network = args.positional(QStringLiteral("NETWORK"));
    args.done();
    auto server = openServer();
    out() << "subsystem\tdevice\ttemplate\tprogram id\tstate\tversion\tobject name\n";
    for (const auto &device : allDevices(server->network(network))) {
        const bool online = embedded::EmbeddedObjectServer::isDeviceOnline(device);
        const auto lmos = device->lonMarkObjects();
        lns::LonMarkObjectPtr commandModule;
        for (const auto &lmo : lmos->items())
            if (lmo->type() == 8090 && !commandModule)
                commandModule = lmo;
        out() << device->subsystems()->item(1)->path() << '\t' << device->name() << '\t'
              << device->deviceTemplate()->name() << '\t' << device->programId() << '\t'
              << (online ? "online" : "offline") << '\t'
              << QString::number(embedded::EmbeddedObjectServer::configuredApplicationVersion(device), 'f', 1) << '\t'
              << (commandModule ? embedded::objectName(commandModule) : embedded::objectName(device)) << '\n';
    }
    return 0;
}

lns::ConfigPropertyPtr findCp(const lns::ObjectPtr &object, const QString &cpName)
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

int cp(Args &args)
{
    const QString network = args.positional(QStringLiteral("NETWORK"));
    const QString objectName = args.positional(QStringLiteral("OBJECT"));
    const QString cpName = args.positional(QStringLiteral("CPNAME"));
    const QString set = args.option(QStringLiteral("--set"));
    args.done();
    auto server = openServer();
    const auto cp = findCp(findObject(*server, network, objectName), cpName);
    const QString format = cp->formatSpec();
    cp->setFormatSpec(lns::RawFormat);
    if (!set.isEmpty())
        cp->setValue(rawArgument(set));
    const QString raw = cp->value();
    cp->setFormatSpec(format);
    out() << cp->name() << " (" << cp->typeName() << ", " << cp->elementLength() << " x " << cp->dimension()
          << "): RAW " << shown(raw) << " = " << cp->value() << '\n';
    return 0;
}

int nv(Args &args)
{
    const QString network = args.positional(QStringLiteral("NETWORK"));
    const QString objectName = args.positional(QStringLiteral("OBJECT"));
    const QString nvName = args.positional(QStringLiteral("NVNAME"));
    const QString set = args.option(QStringLiteral("--set"));
    const bool raw = args.flag(QStringLiteral("--raw"));
    args.done();
    auto server = openServer();
    const lns::ObjectPtr object = findObject(*server, network, objectName);
    lns::NetworkVariablePtr nv;
    if (auto lmo = std::dynamic_pointer_cast<lns::LonMarkObject>(object))
        nv = lmo->networkVariables()->item(nvName);
    else if (auto device = std::dynamic_pointer_cast<lns::AppDevice>(object))
        nv = device->networkVariables()->item(nvName);
    else
        throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("tqm-netdb"),
                       QStringLiteral("\"%1\" is neither a LonMark object nor a device.").arg(objectName));
    const QString format = nv->formatSpec();
    if (!set.isEmpty()) {
        nv->setFormatSpec(raw ? lns::RawFormat : nv->typeName());
        nv->setValue(raw ? rawArgument(set) : set);
    }
    nv->setFormatSpec(lns::RawFormat);
    const QString rawValue = nv->value();
    nv->setFormatSpec(nv->typeName());
    out() << nv->name() << " (" << nv->typeName() << "): RAW " << shown(rawValue) << " = " << nv->value() << '\n';
    nv->setFormatSpec(format);
    return 0;
}

int device(Args &args)
{
    const QString network = args.positional(QStringLiteral("NETWORK"));
    const QString name = args.positional(QStringLiteral("DEVICE"));
    const bool online = args.flag(QStringLiteral("--online"));
    const bool offline = args.flag(QStringLiteral("--offline"));
    const QString version = args.option(QStringLiteral("--app-version"));
    args.done();
    if (online && offline)
        throw UsageError{QStringLiteral("--online and --offline exclude each other")};
    bool ok = true;
    const double v = version.isEmpty() ? 0 : version.toDouble(&ok);
    if (!ok)
        throw UsageError{QStringLiteral("--app-version needs a number such as 2.1")};
    auto server = openServer();
    const auto dev = findDevice(*server, network, name);
    if (online || offline)
        embedded::EmbeddedObjectServer::setDeviceOnline(dev, online);
    if (!version.isEmpty())
        embedded::EmbeddedObjectServer::setApplicationVersion(dev, v);
    out() << dev->name() << ": " << (embedded::EmbeddedObjectServer::isDeviceOnline(dev) ? "online" : "offline")
          << ", application version "
          << QString::number(embedded::EmbeddedObjectServer::configuredApplicationVersion(dev), 'f', 1) << '\n';
    return 0;
}

int ext(Args &args)
{
    const QString network = args.positional(QStringLiteral("NETWORK"));
    const QString objectName = args.positional(QStringLiteral("OBJECT"));
    args.done();
    auto server = openServer();
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

int check(Args &args)
{
    const QString network = args.positional(QStringLiteral("NETWORK"));
    const QString ini = args.option(QStringLiteral("--ini"));
    args.done();
    const QStringList problems = embedded::checkNetwork(embedded::defaultHome(), network, ini);
    for (const QString &p : problems)
        err() << p << '\n';
    if (!problems.isEmpty()) {
        err() << problems.size() << " problem(s) in network \"" << network << "\".\n";
        return 1;
    }
    out() << "Network \"" << network << "\" is consistent.\n";
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    if (arguments.isEmpty() || arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        (arguments.isEmpty() ? err() : out()) << Usage << netdbtool::SimUsage;
        return arguments.isEmpty() ? 2 : 0;
    }
    const QString command = arguments.takeFirst();
    if (command == QLatin1String("sim"))
        return netdbtool::sim(arguments);
    if (command == QLatin1String("watch"))
        return netdbtool::watch(arguments);
    Args args(arguments);
    try {
        if (command == QLatin1String("create"))
            return create(args);
        if (command == QLatin1String("list"))
            return list(args);
        if (command == QLatin1String("cp"))
            return cp(args);
        if (command == QLatin1String("nv"))
            return nv(args);
        if (command == QLatin1String("device"))
            return device(args);
        if (command == QLatin1String("ext"))
            return ext(args);
        if (command == QLatin1String("check"))
            return check(args);
        throw UsageError{QStringLiteral("unknown command \"%1\"").arg(command)};
    } catch (const UsageError &e) {
        err() << "tqm-netdb: " << e.text << "\n\n" << Usage;
        return 2;
    } catch (const TqmError &e) {
        err() << "tqm-netdb: " << e.description() << '\n';
        return 1;
    }
}
