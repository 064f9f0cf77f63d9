#include "lns/embedded/embeddedobjectserver.h"

#include "lns/embedded/devicetemplate.h"
#include "lns/embedded/netdb.h"
#include "lns/embedded/objects.h"
#include "lns/objectname.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <optional>

namespace embedded {

namespace {

const QString Source = QStringLiteral("ObjectServer");
const QString NetworkSuffix = QStringLiteral(".tqmnet");

// Characters most file systems refuse or treat specially, and "%" itself.
bool unsafeInFileName(QChar c)
{
    return c.unicode() < 0x20 || QStringLiteral("%/\\:*?\"<>|").contains(c);
}

std::shared_ptr<NetDb> dbOf(const lns::AppDevicePtr &device)
{
    auto impl = std::dynamic_pointer_cast<AppDeviceImpl>(device);
    if (!impl)
        throw TqmError(TqmError::LnsInvalidOperation, Source,
                       QStringLiteral("The device does not belong to an embedded object server."));
    return impl->dbPtr();
}

qint64 idOf(const lns::AppDevicePtr &device)
{
    return std::dynamic_pointer_cast<AppDeviceImpl>(device)->deviceId();
}

} // namespace

MessageCounts &MessageCounts::operator+=(const MessageCounts &o)
{
    cpReads += o.cpReads;
    cpWrites += o.cpWrites;
    nvReads += o.nvReads;
    nvWrites += o.nvWrites;
    nvPolls += o.nvPolls;
    deviceTests += o.deviceTests;
    calibrationTriggers += o.calibrationTriggers;
    return *this;
}

QString networkFilePath(const QString &home, const QString &networkName)
{
    QString escaped;
    for (const QChar c : networkName) {
        if (unsafeInFileName(c))
            escaped += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            escaped += c;
    }
    return home + QStringLiteral("/networks/") + escaped + NetworkSuffix;
}

QStringList networkNames(const QString &home)
{
    QStringList names;
    const QDir dir(home + QStringLiteral("/networks"));
    for (const QString &file : dir.entryList({QLatin1Char('*') + NetworkSuffix}, QDir::Files, QDir::Name)) {
        const QString stem = file.chopped(NetworkSuffix.size());
        names.append(QUrl::fromPercentEncoding(stem.toUtf8()));
    }
    return names;
}

// ---- the networks collection ----

class NetworksCollection : public lns::Networks
{
public:
    explicit NetworksCollection(std::shared_ptr<const EmbeddedObjectServer> server) : m_server(std::move(server)) {}
    lns::ObjectPtr parent() const override { return std::const_pointer_cast<EmbeddedObjectServer>(m_server); }
    QString name() const override { return {}; }
    int count() const override { return int(names().size()); }
    lns::NetworkPtr item(int index) const override
    {
        if (index < 1 || index > names().size())
            throw TqmError(TqmError::LnsObjectNotFound, Source,
                           QStringLiteral("Index %1 is outside 1 to %2.").arg(index).arg(names().size()));
        return item(names()[index - 1]);
    }
    lns::NetworkPtr item(const QString &name) const override
    {
        return std::make_shared<NetworkImpl>(std::const_pointer_cast<lns::Object>(shared_from_this()),
                                             m_server->openNetworkDb(name));
    }

private:
    // The directory is listed only for a count or an index: a network taken by name is opened
    // without it.
    const QStringList &names() const
    {
        if (!m_names)
            m_names = networkNames(m_server->home());
        return *m_names;
    }

    std::shared_ptr<const EmbeddedObjectServer> m_server;
    mutable std::optional<QStringList> m_names;
};

// ---- the server ----

EmbeddedObjectServer::EmbeddedObjectServer(std::shared_ptr<ServerState> state) : m_state(std::move(state)) {}

EmbeddedObjectServer::~EmbeddedObjectServer()
{
    for (const auto &db : m_openNetworks)
        db->close();
}

std::shared_ptr<EmbeddedObjectServer> EmbeddedObjectServer::create(const QString &home, const Clock &clock,
                                                                   TimerFactory &timers)
{
    auto state = std::make_shared<ServerState>();
    state->clock = &clock;
    state->home = home;
    state->monitors = std::make_unique<MonitorEngine>(*state, timers);
    return std::shared_ptr<EmbeddedObjectServer>(new EmbeddedObjectServer(state));
}

QString EmbeddedObjectServer::name() const
{
    return QStringLiteral("Embedded object server");
}

QString EmbeddedObjectServer::home() const
{
    return m_state->home;
}

void EmbeddedObjectServer::setReadOnly(bool readOnly)
{
    m_state->readOnly = readOnly;
}

void EmbeddedObjectServer::open(lns::ConnectionMode)
{
    // Every connection mode reaches the same local databases.
    if (!m_state->readOnly && !QDir().mkpath(home() + QStringLiteral("/networks")))
        throw TqmError(TqmError::FileAccess, Source,
                       QStringLiteral("Cannot create the network directory in \"%1\".").arg(home()));
    m_open = true;
}

void EmbeddedObjectServer::close()
{
    for (const auto &db : m_openNetworks)
        db->close();
    m_openNetworks.clear();
    m_open = false;
}

bool EmbeddedObjectServer::isOpen() const
{
    return m_open;
}

std::shared_ptr<lns::Networks> EmbeddedObjectServer::networks() const
{
    if (!m_open)
        throw TqmError(TqmError::LnsInvalidOperation, Source, QStringLiteral("The object server is not open."));
    return std::make_shared<NetworksCollection>(
        std::static_pointer_cast<const EmbeddedObjectServer>(shared_from_this()));
}

std::shared_ptr<NetDb> EmbeddedObjectServer::openNetworkDb(const QString &networkName) const
{
    for (const auto &db : std::as_const(m_openNetworks))
        if (db->isOpen() && db->networkName() == networkName)
            return db;
    const QString path = networkFilePath(home(), networkName);
    if (!QFileInfo::exists(path))
        throw TqmError(TqmError::LnsObjectNotFound, Source,
                       QStringLiteral("There is no network \"%1\" (%2).").arg(networkName, path));
    auto db = std::make_shared<NetDb>(path, networkName, m_state);
    m_openNetworks.removeIf([](const std::shared_ptr<NetDb> &d) { return !d->isOpen(); });
    m_openNetworks.append(db);
    return db;
}

lns::NetworkPtr EmbeddedObjectServer::network(const QString &networkName) const
{
    return networks()->item(networkName);
}

int EmbeddedObjectServer::subscribeMonitorUpdates(MonitorUpdateHandler handler)
{
    const int handle = m_state->nextHandle++;
    m_state->handlers.emplace(handle, std::move(handler));
    return handle;
}

void EmbeddedObjectServer::unsubscribeMonitorUpdates(int handle)
{
    m_state->handlers.erase(handle);
}

int EmbeddedObjectServer::subscribeMonitorFailures(MonitorFailureHandler handler)
{
    const int handle = m_state->nextHandle++;
    m_state->failureHandlers.emplace(handle, std::move(handler));
    return handle;
}

void EmbeddedObjectServer::unsubscribeMonitorFailures(int handle)
{
    m_state->failureHandlers.erase(handle);
}

lns::ObjectPtr EmbeddedObjectServer::objectByName(const QString &objectName)
{
    try {
        const QStringList parts = objectname::split(objectName);
        if (parts.isEmpty() || parts[0].isEmpty())
            return {};
        const lns::NetworkPtr net = network(parts[0]);
        if (parts.size() == 1)
            return net;
        const std::shared_ptr<NetDb> db = std::static_pointer_cast<NetworkImpl>(net)->db();
        const lns::SystemPtr system = net->systems()->item(1);
        // Longest subsystem path first: ... Subsystem, then ... Device, then ... Device.LonMarkObject.
        for (const NamedObject &reading : db->readingsOf(parts.mid(1))) {
            const lns::SubsystemPtr subsystem = subsystemHandle(system, db, reading.subsystemId);
            if (reading.deviceId == 0)
                return subsystem;
            const lns::AppDevicePtr device = deviceHandle(subsystem, db, reading.deviceId);
            if (reading.lonMarkObject.isEmpty())
                return device;
            try {
                return device->lonMarkObjects()->item(reading.lonMarkObject);
            } catch (const TqmError &) {
            }
        }
    } catch (const TqmError &) {
    }
    return {};
}

lns::LonMarkObjectPtr EmbeddedObjectServer::lonMarkObject(const QString &objectName)
{
    auto lmo = std::dynamic_pointer_cast<lns::LonMarkObject>(objectByName(objectName));
    if (!lmo)
        throw TqmError(TqmError::LnsObjectNotFound, Source,
                       QStringLiteral("There is no LonMark object \"%1\".").arg(objectName));
    return lmo;
}

lns::AppDevicePtr EmbeddedObjectServer::appDevice(const QString &objectName)
{
    auto device = std::dynamic_pointer_cast<lns::AppDevice>(objectByName(objectName));
    if (!device)
        throw TqmError(TqmError::LnsObjectNotFound, Source, QStringLiteral("There is no device \"%1\".").arg(objectName));
    return device;
}

lns::AppDevicePtr EmbeddedObjectServer::findDevice(const QString &networkName, const QString &name)
{
    for (const QString &candidate : {name, networkName + QLatin1Char('.') + name})
        if (auto device = std::dynamic_pointer_cast<lns::AppDevice>(objectByName(candidate)))
            return device;
    QList<lns::AppDevicePtr> named;
    QList<lns::SubsystemPtr> pending = network(networkName)->systems()->item(1)->subsystems()->items();
    while (!pending.isEmpty()) {
        const lns::SubsystemPtr subsystem = pending.takeFirst();
        for (const auto &device : subsystem->appDevices()->items())
            if (device->name() == name)
                named.append(device);
        pending += subsystem->subsystems()->items();
    }
    if (named.size() == 1)
        return named.first();
    throw TqmError(TqmError::LnsObjectNotFound, Source,
                   named.isEmpty() ? QStringLiteral("There is no device \"%1\" in network \"%2\".").arg(name, networkName)
                                   : QStringLiteral("%1 devices are named \"%2\"; give the object name.")
                                         .arg(named.size())
                                         .arg(name));
}

void EmbeddedObjectServer::setDeviceOnline(const lns::AppDevicePtr &device, bool online)
{
    dbOf(device)->exec(QStringLiteral("UPDATE devices SET online = ? WHERE id = ?"), {online ? 1 : 0, idOf(device)});
}

bool EmbeddedObjectServer::isDeviceOnline(const lns::AppDevicePtr &device)
{
    return dbOf(device)->isOnline(idOf(device));
}

void EmbeddedObjectServer::setApplicationVersion(const lns::AppDevicePtr &device, double version)
{
    dbOf(device)->exec(QStringLiteral("UPDATE devices SET application_version = ? WHERE id = ?"),
                       {version, idOf(device)});
}

double EmbeddedObjectServer::configuredApplicationVersion(const lns::AppDevicePtr &device)
{
    const auto db = dbOf(device);
    const QVariant stored =
        db->scalar(QStringLiteral("SELECT application_version FROM devices WHERE id = ?"), {idOf(device)});
    return stored.isNull() ? db->device(idOf(device)).tpl->applicationVersion : stored.toDouble();
}

QList<QDateTime> EmbeddedObjectServer::calibrationTriggers(const lns::AppDevicePtr &device)
{
    QList<QDateTime> times;
    const auto found = dbOf(device)->rows(
        QStringLiteral("SELECT at FROM calibration_triggers WHERE device_id = ? ORDER BY id"), {idOf(device)});
    for (const QVariantList &row : found)
        times.append(QDateTime::fromString(row[0].toString(), Qt::ISODateWithMs));
    return times;
}

bool EmbeddedObjectServer::isSimulated(const lns::AppDevicePtr &device)
{
    return dbOf(device)->roomState(idOf(device)).has_value();
}

std::optional<LinkRecord> EmbeddedObjectServer::deviceLink(const lns::AppDevicePtr &device)
{
    return dbOf(device)->linkRecord(idOf(device));
}

void EmbeddedObjectServer::setDeviceLink(const lns::AppDevicePtr &device, const std::optional<LinkRecord> &record)
{
    dbOf(device)->setLinkRecord(idOf(device), record);
}

ToolNodeAddress EmbeddedObjectServer::toolNodeAddress(const QString &networkName) const
{
    return openNetworkDb(networkName)->toolNodeAddress();
}

void EmbeddedObjectServer::setToolNodeAddress(const QString &networkName, const ToolNodeAddress &address)
{
    if (const QString problem = address.problem(); !problem.isEmpty())
        throw TqmError(TqmError::LnsInvalidValue, Source, problem);
    openNetworkDb(networkName)->setToolNodeAddress(address);
}

cmsim::RoomState EmbeddedObjectServer::roomState(const lns::AppDevicePtr &device)
{
    return dbOf(device)->roomState(idOf(device)).value_or(cmsim::RoomState());
}

cmsim::Settings EmbeddedObjectServer::simulationSettings(const lns::AppDevicePtr &device)
{
    return dbOf(device)->simSettings(idOf(device));
}

void EmbeddedObjectServer::changeRoom(const lns::AppDevicePtr &device, const RoomChange &change)
{
    const auto db = dbOf(device);
    const qint64 id = idOf(device);
    db->setRoomState(id, change(roomState(device), db->simSettings(id), db->now()));
}

QString EmbeddedObjectServer::knobCalibrationText(const lns::AppDevicePtr &device)
{
    const auto db = dbOf(device);
    return cmsim::knobCalibrationText(roomState(device), db->simSettings(idOf(device)), db->now());
}

MessageCounts EmbeddedObjectServer::messageCounts(const lns::AppDevicePtr &device) const
{
    return m_state->counts.value(dbOf(device)->countKey(idOf(device)));
}

MessageCounts EmbeddedObjectServer::totalMessageCounts() const
{
    MessageCounts total;
    for (const MessageCounts &c : std::as_const(m_state->counts))
        total += c;
    return total;
}

void EmbeddedObjectServer::resetMessageCounts()
{
    m_state->counts.clear();
}

int EmbeddedObjectServer::monitoredCount() const
{
    return m_state->monitors->watchedCount();
}

std::unique_ptr<lns::NvTypeUtility> EmbeddedObjectServer::createNvTypeUtility()
{
    return std::make_unique<NvTypeUtilityImpl>();
}

// ---- object names ----

lns::LonMarkObjectPtr commandModuleOf(const lns::AppDevicePtr &device)
{
    for (const auto &object : device->lonMarkObjects()->items())
        if (object->type() == CommandModuleProfile)
            return object;
    return {};
}

QString objectName(const lns::AppDevicePtr &device)
{
    const lns::ObjectPtr network = lns::ancestorByClassId(device, lns::NetworkClass);
    if (!network)
        throw TqmError(TqmError::LnsObjectNotFound, Source,
                       QStringLiteral("Device \"%1\" is not reached from a network.").arg(device->name()));
    QStringList parts{network->name()};
    // The path's levels are written as object name parts already.
    for (const QString &level : device->subsystems()->item(1)->path().split(QLatin1Char('/')))
        parts.append(objectname::unescapePart(level));
    parts.append(device->name());
    return objectname::join(parts);
}

void forEachDevice(const lns::NetworkPtr &network, const std::function<void(const DeviceEntry &)> &each)
{
    const auto impl = std::dynamic_pointer_cast<NetworkImpl>(network);
    if (!impl)
        throw TqmError(TqmError::LnsInvalidOperation, Source,
                       QStringLiteral("The network does not belong to an embedded object server."));
    NetDb &db = *impl->db();
    struct Level
    {
        QString name;
        QList<qint64> children; // as the subsystem lists them
        QList<qint64> devices;
    };
    QHash<qint64, Level> levels; // 0: the system
    for (const QVariantList &row :
         db.rows(QStringLiteral("SELECT id, COALESCE(parent_id, 0), name FROM subsystems ORDER BY position, id"))) {
        const qint64 id = row[0].toLongLong();
        levels[id].name = row[2].toString();
        levels[row[1].toLongLong()].children.append(id);
    }
    struct Row
    {
        QString name;
        const DeviceTemplateDef *tpl;
        bool online;
        QVariant version;
    };
    QHash<qint64, Row> devices;
    for (const QVariantList &row :
         db.rows(QStringLiteral("SELECT id, subsystem_id, name, template_id, online, application_version FROM devices"
                                " ORDER BY position, id"))) {
        const qint64 id = row[0].toLongLong();
        const qint64 subsystemId = row[1].toLongLong();
        levels[subsystemId].devices.append(id);
        // Every template is read here, before the first device is handed on.
        const DeviceTemplateDef *tpl = db.rememberDevice(id, row[2].toString(), subsystemId, row[3].toLongLong()).tpl.get();
        devices.insert(id, {row[2].toString(), tpl, row[4].toInt() != 0, row[5]});
    }

    // Depth first, each subsystem's own devices before those of the subsystems below it.
    // `prefix` is the subsystem's object name (the network's and the levels' names escaped).
    const std::function<void(qint64, const QString &, const QString &)> visit =
        [&](qint64 id, const QString &path, const QString &prefix) {
            const Level &level = *std::as_const(levels).find(id);
            DeviceEntry entry;
            for (const qint64 deviceId : level.devices) {
                const Row &row = *std::as_const(devices).find(deviceId);
                const DeviceTemplateDef &tpl = *row.tpl;
                entry.subsystemPath = path;
                entry.name = row.name;
                entry.templateName = tpl.name;
                entry.programId = tpl.programId;
                entry.online = row.online;
                entry.applicationVersion = row.version.isNull() ? tpl.applicationVersion : row.version.toDouble();
                entry.objectName = prefix + QLatin1Char('.') + objectname::escapePart(row.name);
                entry.commandModuleName.clear();
                for (const LmoDef &lmo : tpl.lmos) {
                    if (lmo.type == CommandModuleProfile) {
                        entry.commandModuleName = entry.objectName + QLatin1Char('.') + objectname::escapePart(lmo.name);
                        break;
                    }
                }
                each(entry);
            }
            for (const qint64 child : level.children) {
                const QString level = objectname::escapePart(std::as_const(levels).find(child)->name);
                visit(child, path.isEmpty() ? level : path + QLatin1Char('/') + level, prefix + QLatin1Char('.') + level);
            }
        };
    levels[0]; // a network without subsystems has the system level all the same
    visit(0, QString(), objectname::escapePart(network->name()));
}

QList<DeviceEntry> listDevices(const lns::NetworkPtr &network)
{
    QList<DeviceEntry> entries;
    forEachDevice(network, [&entries](const DeviceEntry &entry) { entries.append(entry); });
    return entries;
}

QString objectName(const lns::LonMarkObjectPtr &lonMarkObject)
{
    return objectName(lonMarkObject->appDevice()) + QLatin1Char('.') + objectname::escapePart(lonMarkObject->name());
}

} // namespace embedded
