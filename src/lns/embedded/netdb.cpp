#include "lns/embedded/netdb.h"

#include "lns/embedded/valuetypes.h"
#include "lns/objectname.h"
#include "lns/rawtext.h"
#include "base/tqmerror.h"

#include <QJsonDocument>

namespace embedded {

namespace {

const QString Source = QStringLiteral("NetworkDatabase");

// A device's link when it is not simulated (devicelink.h); added after the first networks were
// made, ensured whenever a network is opened.
const char *const LinkSchema =
    "CREATE TABLE IF NOT EXISTS device_links(device_id INTEGER PRIMARY KEY, kind TEXT NOT NULL, ip TEXT NOT NULL,"
    " neuron_id TEXT)";

// Added after the first networks were made: ensured whenever a network is opened.
const char *const SimulationSchema =
    "CREATE TABLE IF NOT EXISTS sim_devices(device_id INTEGER PRIMARY KEY, room TEXT NOT NULL)";

// Every subsystem by its path ("Building A/Floor 1"), so that an object name is resolved with one
// indexed look-up. Each level is written as an object name part (objectname::escapePart), so that
// a "/" in a name ("Floor\s2") is no level boundary. Added after the first networks were made
// (an index of unescaped paths, subsystem_paths, is no longer read): filled whenever a network
// without it is opened (a network opened for reading only gets a temporary one of its own).
const char *const PathIndexSchema =
    "CREATE %1 IF NOT EXISTS subsystem_index(path TEXT PRIMARY KEY, subsystem_id INTEGER NOT NULL UNIQUE)"
    " WITHOUT ROWID";
#define ESCAPED_NAME(n) "replace(replace(replace(replace(" n ", '\\', '\\\\'), '.', '\\.'), ':', '\\c'), '/', '\\s')"
const char *const FillPathIndex =
    "INSERT OR IGNORE INTO subsystem_index(path, subsystem_id)"
    " WITH RECURSIVE level(id, path) AS (SELECT id, " ESCAPED_NAME("name") " FROM subsystems WHERE parent_id IS NULL"
    "  UNION ALL SELECT s.id, level.path || '/' || " ESCAPED_NAME("s.name")
    "  FROM subsystems s JOIN level ON s.parent_id = level.id)"
    " SELECT path, id FROM level";
#undef ESCAPED_NAME
const char *const PathIndexIncomplete =
    "SELECT EXISTS(SELECT 1 FROM subsystems s"
    " WHERE NOT EXISTS(SELECT 1 FROM subsystem_index p WHERE p.subsystem_id = s.id))";

// Kept in the database's user_version once a network has every table and index above; a network
// at this level is opened without re-checking its tables.
constexpr int SchemaLevel = 1;

const char *const Schema[] = {
    "CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value TEXT)",
    "CREATE TABLE IF NOT EXISTS templates(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE, definition TEXT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS subsystems(id INTEGER PRIMARY KEY, parent_id INTEGER REFERENCES subsystems(id),"
    " name TEXT NOT NULL, position INTEGER NOT NULL)",
    "CREATE INDEX IF NOT EXISTS subsystems_parent ON subsystems(parent_id, position)",
    "CREATE TABLE IF NOT EXISTS devices(id INTEGER PRIMARY KEY, subsystem_id INTEGER NOT NULL REFERENCES subsystems(id),"
    " name TEXT NOT NULL, template_id INTEGER NOT NULL REFERENCES templates(id), online INTEGER NOT NULL DEFAULT 1,"
    " application_version REAL, position INTEGER NOT NULL)",
    "CREATE INDEX IF NOT EXISTS devices_subsystem ON devices(subsystem_id, position)",
    "CREATE INDEX IF NOT EXISTS devices_name ON devices(name)",
    // Formats and monitor settings are no part of the network (see netdb.h); files made before
    // that still carry columns for them, which nothing reads.
    "CREATE TABLE IF NOT EXISTS cp_values(device_id INTEGER NOT NULL, cp_key INTEGER NOT NULL, value BLOB NOT NULL,"
    " PRIMARY KEY(device_id, cp_key)) WITHOUT ROWID",
    "CREATE TABLE IF NOT EXISTS nv_values(device_id INTEGER NOT NULL, nv_key INTEGER NOT NULL, value BLOB NOT NULL,"
    " type_name TEXT, PRIMARY KEY(device_id, nv_key)) WITHOUT ROWID",
    "CREATE TABLE IF NOT EXISTS extension_records(id INTEGER PRIMARY KEY, device_id INTEGER NOT NULL,"
    " lmo_position INTEGER NOT NULL, name TEXT NOT NULL, UNIQUE(device_id, lmo_position, name))",
    "CREATE TABLE IF NOT EXISTS extension_fields(record_id INTEGER NOT NULL REFERENCES extension_records(id),"
    " number INTEGER NOT NULL, value TEXT NOT NULL, PRIMARY KEY(record_id, number)) WITHOUT ROWID",
    "CREATE TABLE IF NOT EXISTS calibration_triggers(id INTEGER PRIMARY KEY, device_id INTEGER NOT NULL, at TEXT NOT NULL)",
    "CREATE INDEX IF NOT EXISTS calibration_triggers_device ON calibration_triggers(device_id)",
    SimulationSchema,
    "CREATE TABLE IF NOT EXISTS subsystem_index(path TEXT PRIMARY KEY, subsystem_id INTEGER NOT NULL UNIQUE)"
    " WITHOUT ROWID",
    LinkSchema,
    "CREATE TABLE IF NOT EXISTS plugin_commands(id INTEGER PRIMARY KEY, registration_number INTEGER, command_name TEXT,"
    " command_id INTEGER, class_id INTEGER, description TEXT, manufacturer_id TEXT, class_name TEXT, project_name TEXT,"
    " version TEXT, device_template TEXT, UNIQUE(command_id, class_id, device_template))",
};

void markSchemaComplete(sqlite::Connection &db)
{
    db.exec(QStringLiteral("PRAGMA user_version = %1").arg(SchemaLevel));
}

} // namespace

void ServerState::raiseMonitorUpdate(int tag, const QString &value)
{
    // A handler may subscribe or unsubscribe while being called.
    const auto snapshot = handlers;
    for (const auto &entry : snapshot)
        entry.second(tag, value);
}

void ServerState::raiseMonitorFailure(int tag, const TqmError &error)
{
    const auto snapshot = failureHandlers;
    for (const auto &entry : snapshot)
        entry.second(tag, error);
}

NetDb::NetDb(const QString &filePath, const QString &networkName, std::shared_ptr<ServerState> state)
    : m_filePath(filePath), m_networkName(networkName), m_state(std::move(state))
{
    m_db = openConnection(filePath, m_state->readOnly);
    if (m_db->scalar(QStringLiteral("PRAGMA user_version")).toInt() >= SchemaLevel)
        return;
    // Networks made before simulated rooms existed get their table on first use; a network opened
    // for reading only is read as it is.
    if (!m_state->readOnly) {
        m_db->exec(QString::fromLatin1(SimulationSchema));
        m_db->exec(QString::fromLatin1(LinkSchema));
    }
    ensurePathIndex(*m_db, m_state->readOnly);
    if (!m_state->readOnly)
        markSchemaComplete(*m_db);
}

void NetDb::ensurePathIndex(sqlite::Connection &db, bool readOnly)
{
    QString kind = QStringLiteral("TABLE");
    if (readOnly) {
        if (db.scalar(QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = 'subsystem_index'")).isValid())
            return;
        kind = QStringLiteral("TEMP TABLE");
    }
    db.exec(QString::fromLatin1(PathIndexSchema).arg(kind));
    if (db.scalar(QString::fromLatin1(PathIndexIncomplete)).toBool())
        db.exec(QString::fromLatin1(FillPathIndex));
}

NetDb::~NetDb()
{
    close();
}

std::unique_ptr<sqlite::Connection> NetDb::openConnection(const QString &filePath, bool readOnly)
{
    if (readOnly) {
        // A WAL database in a directory nobody may write to: read the file as it stands.
        const QString probe = QStringLiteral("SELECT count(*) FROM sqlite_master");
        try {
            auto db = std::make_unique<sqlite::Connection>(filePath, sqlite::OpenMode::ReadOnly, Source);
            db->scalar(probe);
            return db;
        } catch (const TqmError &) {
        }
        auto db = std::make_unique<sqlite::Connection>(filePath, sqlite::OpenMode::ReadAsItStands, Source);
        db->scalar(probe);
        return db;
    }
    auto db = std::make_unique<sqlite::Connection>(filePath, sqlite::OpenMode::ReadWrite, Source);
    db->exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    db->exec(QStringLiteral("PRAGMA synchronous=FULL"));
    db->exec(QStringLiteral("PRAGMA foreign_keys=ON"));
    return db;
}

void NetDb::createSchema(sqlite::Connection &db)
{
    for (const char *statement : Schema)
        db.exec(QString::fromLatin1(statement));
    markSchemaComplete(db);
}

void NetDb::close()
{
    if (!m_db)
        return;
    if (m_state->monitors)
        m_state->monitors->forget(this);
    const std::unique_ptr<sqlite::Connection> db = std::move(m_db);
    if (!m_inTransaction)
        return;
    m_inTransaction = false;
    try {
        db->exec(QStringLiteral("ROLLBACK"));
    } catch (const TqmError &) {
        // Closing the connection rolls the transaction back all the same.
    }
}

sqlite::Connection &NetDb::connection() const
{
    if (!m_db)
        throw TqmError(TqmError::LnsInvalidOperation, Source,
                       QStringLiteral("The network \"%1\" is closed.").arg(m_networkName));
    return *m_db;
}

void NetDb::exec(const QString &sql, const QVariantList &binds)
{
    connection().exec(sql, binds);
    // Statements run through exec write; what a device sends may have changed with them.
    if (m_state->monitors)
        m_state->monitors->localChange(this);
}

QVariant NetDb::scalar(const QString &sql, const QVariantList &binds)
{
    return connection().scalar(sql, binds);
}

QList<QVariantList> NetDb::rows(const QString &sql, const QVariantList &binds)
{
    return connection().rows(sql, binds);
}

void NetDb::begin()
{
    if (m_inTransaction)
        throw TqmError(TqmError::LnsInvalidOperation, Source, QStringLiteral("A transaction is already open."));
    // IMMEDIATE takes the write lock now, so a later write cannot fail on another process's commit.
    exec(QStringLiteral("BEGIN IMMEDIATE"));
    m_inTransaction = true;
    m_settledInTransaction.clear();
}

void NetDb::commit()
{
    if (!m_inTransaction)
        throw TqmError(TqmError::LnsInvalidOperation, Source, QStringLiteral("No transaction is open."));
    exec(QStringLiteral("COMMIT"));
    m_inTransaction = false;
    m_settledInTransaction.clear();
}

void NetDb::rollback()
{
    if (!m_inTransaction)
        throw TqmError(TqmError::LnsInvalidOperation, Source, QStringLiteral("No transaction is open."));
    m_inTransaction = false;
    m_settledInTransaction.clear();
    exec(QStringLiteral("ROLLBACK"));
}

DeviceTemplateDefPtr NetDb::templateById(qint64 id)
{
    if (const auto it = m_templates.constFind(id); it != m_templates.constEnd())
        return *it;
    const QVariant definition = scalar(QStringLiteral("SELECT definition FROM templates WHERE id = ?"), {id});
    if (!definition.isValid())
        throw TqmError(TqmError::LnsObjectNotFound, Source, QStringLiteral("There is no device template %1.").arg(id));
    auto def = DeviceTemplateDef::fromJson(QJsonDocument::fromJson(definition.toByteArray()).object());
    m_templates.insert(id, def);
    return def;
}

const DeviceInfo &NetDb::deviceRow(qint64 id)
{
    if (const auto it = m_devices.constFind(id); it != m_devices.constEnd())
        return *it;
    const auto found = rows(QStringLiteral("SELECT name, subsystem_id, template_id FROM devices WHERE id = ?"), {id});
    if (found.isEmpty())
        throw TqmError(TqmError::LnsObjectNotFound, Source, QStringLiteral("The device %1 does not exist.").arg(id));
    DeviceInfo info;
    info.id = id;
    info.name = found[0][0].toString();
    info.subsystemId = found[0][1].toLongLong();
    info.templateId = found[0][2].toLongLong();
    return *m_devices.insert(id, info);
}

const DeviceInfo &NetDb::device(qint64 id)
{
    const qint64 templateId = deviceRow(id).templateId;
    DeviceInfo &info = m_devices[id];
    if (!info.tpl)
        info.tpl = templateById(templateId);
    return info;
}

const DeviceInfo &NetDb::rememberDeviceRow(qint64 id, const QString &name, qint64 subsystemId, qint64 templateId)
{
    if (const auto it = m_devices.constFind(id); it != m_devices.constEnd())
        return *it;
    DeviceInfo info;
    info.id = id;
    info.name = name;
    info.subsystemId = subsystemId;
    info.templateId = templateId;
    return *m_devices.insert(id, info);
}

const DeviceInfo &NetDb::rememberDevice(qint64 id, const QString &name, qint64 subsystemId, qint64 templateId)
{
    rememberDeviceRow(id, name, subsystemId, templateId);
    return device(id);
}

const SubsystemInfo &NetDb::subsystem(qint64 id)
{
    if (const auto it = m_subsystems.constFind(id); it != m_subsystems.constEnd())
        return *it;
    // The subsystem and its ancestors in one statement, the top level last.
    const auto chain = rows(QStringLiteral("WITH RECURSIVE up(id, parent_id, name, depth) AS"
                                           " (SELECT id, parent_id, name, 0 FROM subsystems WHERE id = ?"
                                           "  UNION ALL SELECT s.id, s.parent_id, s.name, up.depth + 1"
                                           "  FROM subsystems s JOIN up ON s.id = up.parent_id)"
                                           " SELECT id, parent_id, name FROM up ORDER BY depth DESC"),
                            {id});
    if (chain.isEmpty())
        throw TqmError(TqmError::LnsObjectNotFound, Source, QStringLiteral("The subsystem %1 does not exist.").arg(id));
    QString path;
    for (const QVariantList &row : chain) {
        SubsystemInfo info;
        info.id = row[0].toLongLong();
        info.parentId = row[1].toLongLong();
        info.name = row[2].toString();
        const QString level = objectname::escapePart(info.name);
        path = path.isEmpty() ? level : path + QLatin1Char('/') + level;
        info.path = path;
        m_subsystems.insert(info.id, info);
    }
    return m_subsystems[id];
}

QList<SubsystemInfo> NetDb::subsystemChain(qint64 id)
{
    QList<SubsystemInfo> chain;
    for (qint64 level = id; level != 0; level = subsystem(level).parentId)
        chain.prepend(subsystem(level));
    return chain;
}

QList<NamedObject> NetDb::readingsOf(const QStringList &levels)
{
    // The readings of the levels below the network, as a subsystem, a device in a subsystem and a
    // LonMark object of a device, longest subsystem path first; a reading names the first device
    // of its name in its subsystem.
    const auto path = [&](qsizetype count) {
        QStringList escaped;
        for (const QString &level : levels.first(std::clamp<qsizetype>(count, 0, levels.size())))
            escaped.append(objectname::escapePart(level));
        return count >= 1 && count <= levels.size() ? QVariant(escaped.join(QLatin1Char('/')))
                                                    : QVariant(QMetaType(QMetaType::QString));
    };
    const qsizetype n = levels.size();
    const auto found = rows(
        QStringLiteral(
            "SELECT 0, subsystem_id, NULL, NULL, NULL FROM subsystem_index WHERE path = ?"
            " UNION ALL SELECT * FROM (SELECT 1, d.subsystem_id, d.id, d.name, d.template_id FROM subsystem_index p"
            "  JOIN devices d ON d.subsystem_id = p.subsystem_id WHERE p.path = ? AND d.name = ?"
            "  ORDER BY d.position, d.id LIMIT 1)"
            " UNION ALL SELECT * FROM (SELECT 2, d.subsystem_id, d.id, d.name, d.template_id FROM subsystem_index p"
            "  JOIN devices d ON d.subsystem_id = p.subsystem_id WHERE p.path = ? AND d.name = ?"
            "  ORDER BY d.position, d.id LIMIT 1)"
            " ORDER BY 1"),
        {path(n), path(n - 1), levels.value(n - 1), path(n - 2), levels.value(n - 2)});
    QList<NamedObject> readings;
    for (const QVariantList &row : found) {
        NamedObject reading;
        reading.subsystemId = row[1].toLongLong();
        if (!row[2].isNull()) {
            reading.deviceId = row[2].toLongLong();
            rememberDevice(reading.deviceId, row[3].toString(), reading.subsystemId, row[4].toLongLong());
        }
        if (row[0].toInt() == 2)
            reading.lonMarkObject = levels.value(n - 1);
        readings.append(reading);
    }
    return readings;
}

bool NetDb::isOnline(qint64 deviceId)
{
    return scalar(QStringLiteral("SELECT online FROM devices WHERE id = ?"), {deviceId}).toInt() != 0;
}

void NetDb::requireOnline(qint64 deviceId, const QString &source)
{
    if (!isOnline(deviceId))
        throw TqmError(TqmError::LnsDeviceNotResponding, source,
                       QStringLiteral("Device \"%1\" does not respond.").arg(deviceRow(deviceId).name));
}

QString NetDb::countKey(qint64 deviceId) const
{
    return m_filePath + QLatin1Char('#') + QString::number(deviceId);
}

MessageCounts &NetDb::counts(qint64 deviceId)
{
    return m_state->counts[countKey(deviceId)];
}

QByteArray NetDb::cpValue(qint64 deviceId, int cpKey)
{
    return linkOf(deviceId).readCp(cpKey);
}

void NetDb::setCpValue(qint64 deviceId, int cpKey, const QByteArray &value)
{
    linkOf(deviceId).writeCp(cpKey, value);
    exec(QStringLiteral("UPDATE cp_values SET value = ? WHERE device_id = ? AND cp_key = ?"), {value, deviceId, cpKey});
}

QString NetDb::cpFormat(qint64 deviceId, int cpKey) const
{
    return m_cpFormats.value({deviceId, cpKey});
}

void NetDb::setCpFormat(qint64 deviceId, int cpKey, const QString &format)
{
    // Only formats other than the type's own are kept: the map does not grow with every CP a
    // multi-device write reads "RAW" and puts back.
    if (format.isEmpty())
        m_cpFormats.remove({deviceId, cpKey});
    else
        m_cpFormats.insert({deviceId, cpKey}, format);
}

QString NetDb::typeNameOf(qint64 deviceId, int nvKey)
{
    const QVariant stored =
        scalar(QStringLiteral("SELECT type_name FROM nv_values WHERE device_id = ? AND nv_key = ?"), {deviceId, nvKey});
    return stored.isNull() ? device(deviceId).tpl->nvs[nvKey].typeName : stored.toString();
}

NvState NetDb::nvState(qint64 deviceId, int nvKey)
{
    const auto found = rows(QStringLiteral("SELECT value, type_name FROM nv_values WHERE device_id = ? AND nv_key = ?"),
                            {deviceId, nvKey});
    if (found.isEmpty())
        throw TqmError(TqmError::LnsObjectNotFound, Source,
                       QStringLiteral("Network variable %1 of device \"%2\" is missing in the database.")
                           .arg(nvKey)
                           .arg(device(deviceId).name));
    const QVariantList &r = found[0];
    NvState nv;
    nv.value = r[0].toByteArray();
    nv.typeName = r[1].isNull() ? device(deviceId).tpl->nvs[nvKey].typeName : r[1].toString();
    nv.session = nvSession(deviceId, nvKey);
    return nv;
}

QByteArray NetDb::nvValue(qint64 deviceId, int nvKey)
{
    return linkOf(deviceId).readNv(nvKey);
}

QDateTime NetDb::nvValueChangesAt(qint64 deviceId, int nvKey, const QDateTime &now)
{
    return linkOf(deviceId).nvChangesAt(nvKey, now);
}

void NetDb::setNvValue(qint64 deviceId, int nvKey, const QByteArray &value)
{
    linkOf(deviceId).writeNv(nvKey, value);
    exec(QStringLiteral("UPDATE nv_values SET value = ? WHERE device_id = ? AND nv_key = ?"), {value, deviceId, nvKey});
    if (m_state->monitors)
        m_state->monitors->valueWritten(this, deviceId, nvKey);
}

void NetDb::changeNvType(qint64 deviceId, int nvKey, const QString &typeName, const QByteArray &value)
{
    exec(QStringLiteral("UPDATE nv_values SET type_name = ?, value = ? WHERE device_id = ? AND nv_key = ?"),
         {typeName, value, deviceId, nvKey});
    // A format of the old type would not fit the new one.
    if (auto it = m_nvSessions.find({deviceId, nvKey}); it != m_nvSessions.end())
        it->format.clear();
}

NvSession NetDb::nvSession(qint64 deviceId, int nvKey) const
{
    return m_nvSessions.value({deviceId, nvKey});
}

void NetDb::setNvSession(qint64 deviceId, int nvKey, const NvSession &session)
{
    m_nvSessions.insert({deviceId, nvKey}, session);
    if (m_state->monitors)
        m_state->monitors->settingsChanged(this, deviceId, nvKey);
}

QString NetDb::monitorText(const QString &format, const QString &typeName, const QByteArray &value)
{
    return valuetypes::format(format.isEmpty() ? typeName : format, value);
}

qint64 NetDb::dataVersion()
{
    return scalar(QStringLiteral("PRAGMA data_version")).toLongLong();
}

std::optional<cmsim::RoomState> NetDb::roomState(qint64 deviceId)
{
    const QVariant stored = scalar(QStringLiteral("SELECT room FROM sim_devices WHERE device_id = ?"), {deviceId});
    if (!stored.isValid())
        return std::nullopt;
    return cmsim::RoomState::fromJson(QJsonDocument::fromJson(stored.toByteArray()).object());
}

void NetDb::setRoomState(qint64 deviceId, const cmsim::RoomState &room)
{
    exec(QStringLiteral("INSERT OR REPLACE INTO sim_devices(device_id, room) VALUES(?, ?)"),
         {deviceId, QJsonDocument(room.toJson()).toJson(QJsonDocument::Compact)});
}

void NetDb::settleSimulation(qint64 deviceId)
{
    // A transaction's changes reach the device together: its room is settled once, before the
    // first of them, on the settings it had until then.
    if (m_inTransaction && m_settledInTransaction.contains(deviceId))
        return;
    const auto room = roomState(deviceId);
    if (m_inTransaction)
        m_settledInTransaction.insert(deviceId);
    if (!room)
        return;
    cmsim::RoomState settled = cmsim::settle(*room, simSettings(deviceId), now());
    settled.inputsChangedAt = now();
    setRoomState(deviceId, settled);
}

cmsim::Settings NetDb::simSettings(qint64 deviceId)
{
    const DeviceTemplateDef &tpl = *device(deviceId).tpl;
    QHash<int, QByteArray> cps;
    for (const QVariantList &row :
         rows(QStringLiteral("SELECT cp_key, value FROM cp_values WHERE device_id = ?"), {deviceId}))
        cps.insert(row[0].toInt(), row[1].toByteArray());
    const auto bytesOf = [&](const char *name) { return cps.value(tpl.cpKeyByName(QLatin1String(name))); };
    int externalTemp = cmsim::Settings::InvalidTemp;
    if (const int external = tpl.nvKeyByName(QStringLiteral("nviSpaceTemp")); external >= 0) {
        const QByteArray b = nvState(deviceId, external).value;
        if (b.size() == 2)
            externalTemp = qint16((quint8(b[0]) << 8) | quint8(b[1]));
    }
    const QVariant version =
        scalar(QStringLiteral("SELECT application_version FROM devices WHERE id = ?"), {deviceId});
    const double applicationVersion = version.isNull() ? tpl.applicationVersion : version.toDouble();
    return cmsim::settingsFrom(bytesOf, externalTemp,
                               cmsim::learnsKnobLimits(tpl.cpKeyByName(QStringLiteral("PanelType")) >= 0, applicationVersion));
}

DeviceLink &NetDb::linkOf(qint64 deviceId)
{
    auto found = m_links.find(deviceId);
    if (found == m_links.end()) {
        const auto record = linkRecord(deviceId);
        std::unique_ptr<DeviceLink> link = record && record->kind == QLatin1String("lonip")
                                               ? makeLonIpLink(device(deviceId).tpl, device(deviceId).name, *record,
                                                               toolNodeAddress())
                                               : makeSimulatedLink(*this, deviceId);
        found = m_links.emplace(deviceId, std::move(link)).first;
    }
    return *found->second;
}

std::optional<LinkRecord> NetDb::linkRecord(qint64 deviceId)
{
    QList<QVariantList> found;
    try {
        found = rows(QStringLiteral("SELECT kind, ip, neuron_id FROM device_links WHERE device_id = ?"), {deviceId});
    } catch (const TqmError &) {
        return std::nullopt; // a network from before links, opened read-only
    }
    if (found.isEmpty())
        return std::nullopt;
    return LinkRecord{found[0][0].toString(), found[0][1].toString(), found[0][2].toString()};
}

void NetDb::setLinkRecord(qint64 deviceId, const std::optional<LinkRecord> &record)
{
    if (record)
        exec(QStringLiteral("INSERT OR REPLACE INTO device_links(device_id, kind, ip, neuron_id) VALUES(?, ?, ?, ?)"),
             {deviceId, record->kind, record->ip, record->neuronId});
    else
        exec(QStringLiteral("DELETE FROM device_links WHERE device_id = ?"), {deviceId});
    m_links.erase(deviceId);
}

ToolNodeAddress NetDb::toolNodeAddress()
{
    ToolNodeAddress address;
    for (const QVariantList &row : rows(QStringLiteral("SELECT key, value FROM meta WHERE key IN ('tool_ip', 'tool_subnet', 'tool_node')"))) {
        const QString key = row[0].toString();
        if (key == QLatin1String("tool_ip"))
            address.ip = row[1].toString();
        else if (key == QLatin1String("tool_subnet"))
            address.subnet = row[1].toInt();
        else if (key == QLatin1String("tool_node"))
            address.node = row[1].toInt();
    }
    return address;
}

void NetDb::setToolNodeAddress(const ToolNodeAddress &address)
{
    exec(QStringLiteral("DELETE FROM meta WHERE key IN ('tool_ip', 'tool_subnet', 'tool_node')"));
    if (!address.ip.isEmpty())
        exec(QStringLiteral("INSERT INTO meta(key, value) VALUES('tool_ip', ?), ('tool_subnet', ?), ('tool_node', ?)"),
             {address.ip, address.subnet, address.node});
    m_links.clear(); // they reach their devices through the new node
}

} // namespace embedded
