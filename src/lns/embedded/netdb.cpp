#include "lns/embedded/netdb.h"

#include "lns/embedded/valuetypes.h"
#include "lns/rawtext.h"
#include "base/tqmerror.h"

#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>
#include <QUuid>

namespace embedded {

namespace {

const QString Source = QStringLiteral("NetworkDatabase");

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
    "CREATE TABLE IF NOT EXISTS cp_values(device_id INTEGER NOT NULL, cp_key INTEGER NOT NULL, value BLOB NOT NULL,"
    " format TEXT, PRIMARY KEY(device_id, cp_key)) WITHOUT ROWID",
    "CREATE TABLE IF NOT EXISTS nv_values(device_id INTEGER NOT NULL, nv_key INTEGER NOT NULL, value BLOB NOT NULL,"
    " format TEXT, type_name TEXT, monitor_tag INTEGER NOT NULL DEFAULT 0, poll_flag INTEGER NOT NULL DEFAULT 0,"
    " poll_interval INTEGER NOT NULL DEFAULT 0, report_by_exception INTEGER NOT NULL DEFAULT 0,"
    " hold INTEGER NOT NULL DEFAULT 0, PRIMARY KEY(device_id, nv_key)) WITHOUT ROWID",
    "CREATE INDEX IF NOT EXISTS nv_monitored ON nv_values(monitor_tag) WHERE monitor_tag <> 0",
    "CREATE TABLE IF NOT EXISTS extension_records(id INTEGER PRIMARY KEY, device_id INTEGER NOT NULL,"
    " lmo_position INTEGER NOT NULL, name TEXT NOT NULL, UNIQUE(device_id, lmo_position, name))",
    "CREATE TABLE IF NOT EXISTS extension_fields(record_id INTEGER NOT NULL REFERENCES extension_records(id),"
    " number INTEGER NOT NULL, value TEXT NOT NULL, PRIMARY KEY(record_id, number)) WITHOUT ROWID",
    "CREATE TABLE IF NOT EXISTS calibration_triggers(id INTEGER PRIMARY KEY, device_id INTEGER NOT NULL, at TEXT NOT NULL)",
    "CREATE INDEX IF NOT EXISTS calibration_triggers_device ON calibration_triggers(device_id)",
    "CREATE TABLE IF NOT EXISTS plugin_commands(id INTEGER PRIMARY KEY, registration_number INTEGER, command_name TEXT,"
    " command_id INTEGER, class_id INTEGER, description TEXT, manufacturer_id TEXT, class_name TEXT, project_name TEXT,"
    " version TEXT, device_template TEXT, UNIQUE(command_id, class_id, device_template))",
};

TqmError databaseError(const QString &what, const QSqlError &error)
{
    return TqmError(TqmError::LnsDatabase, Source, QStringLiteral("%1: %2").arg(what, error.text()));
}

QSqlQuery run(const QSqlDatabase &db, const QString &sql, const QVariantList &binds)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw databaseError(sql, query.lastError());
    for (const QVariant &b : binds)
        query.addBindValue(b);
    if (!query.exec())
        throw databaseError(sql, query.lastError());
    return query;
}

} // namespace

void ServerState::raiseMonitorUpdate(int tag, const QString &value)
{
    // A handler may subscribe or unsubscribe while being called.
    const auto snapshot = handlers;
    for (const auto &entry : snapshot)
        entry.second(tag, value);
}

NetDb::NetDb(const QString &filePath, const QString &networkName, std::shared_ptr<ServerState> state)
    : m_filePath(filePath), m_networkName(networkName),
      m_connectionName(QStringLiteral("tqm-netdb-") + QUuid::createUuid().toString(QUuid::WithoutBraces)),
      m_state(std::move(state))
{
    QSqlDatabase db = openConnection(filePath, m_connectionName, m_state->readOnly);
    Q_UNUSED(db);
}

NetDb::~NetDb()
{
    close();
}

QSqlDatabase NetDb::openConnection(const QString &filePath, const QString &connectionName, bool readOnly)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    const auto fail = [&](const QSqlError &error) {
        const TqmError failure = databaseError(QStringLiteral("Cannot open the network database \"%1\"").arg(filePath), error);
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        return failure;
    };
    db.setDatabaseName(filePath);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000") + (readOnly ? QStringLiteral(";QSQLITE_OPEN_READONLY") : QString()));
    if (!db.open())
        throw fail(db.lastError());
    if (readOnly) {
        // A WAL database in a directory nobody may write to: read the file as it stands.
        if (!QSqlQuery(db).exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
            db.close();
            db.setDatabaseName(QUrl::fromLocalFile(filePath).toString(QUrl::FullyEncoded) + QStringLiteral("?immutable=1"));
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
            if (!db.open() || !QSqlQuery(db).exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
                throw fail(db.lastError());
        }
        return db;
    }
    run(db, QStringLiteral("PRAGMA journal_mode=WAL"), {});
    run(db, QStringLiteral("PRAGMA synchronous=FULL"), {});
    run(db, QStringLiteral("PRAGMA foreign_keys=ON"), {});
    return db;
}

void NetDb::createSchema(QSqlDatabase &db)
{
    for (const char *statement : Schema)
        run(db, QString::fromLatin1(statement), {});
}

void NetDb::close()
{
    if (!m_open)
        return;
    m_open = false;
    m_statements.clear();
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        if (m_inTransaction)
            run(db, QStringLiteral("ROLLBACK"), {});
        m_inTransaction = false;
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

void NetDb::ensureOpen() const
{
    if (!m_open)
        throw TqmError(TqmError::LnsInvalidOperation, Source,
                       QStringLiteral("The network \"%1\" is closed.").arg(m_networkName));
}

QSqlQuery &NetDb::prepared(const QString &sql, const QVariantList &binds)
{
    ensureOpen();
    auto it = m_statements.find(sql);
    if (it == m_statements.end()) {
        QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
        query.setForwardOnly(true);
        if (!query.prepare(sql))
            throw databaseError(sql, query.lastError());
        it = m_statements.insert(sql, query);
    }
    QSqlQuery &query = *it;
    for (int i = 0; i < binds.size(); ++i)
        query.bindValue(i, binds[i]);
    if (!query.exec())
        throw databaseError(sql, query.lastError());
    return query;
}

void NetDb::exec(const QString &sql, const QVariantList &binds)
{
    prepared(sql, binds).finish();
}

QVariant NetDb::scalar(const QString &sql, const QVariantList &binds)
{
    QSqlQuery &query = prepared(sql, binds);
    const QVariant value = query.next() ? query.value(0) : QVariant();
    query.finish();
    return value;
}

QList<QVariantList> NetDb::rows(const QString &sql, const QVariantList &binds)
{
    QSqlQuery &query = prepared(sql, binds);
    QList<QVariantList> result;
    const int columns = query.record().count();
    while (query.next()) {
        QVariantList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
            row.append(query.value(c));
        result.append(row);
    }
    query.finish();
    return result;
}

void NetDb::begin()
{
    if (m_inTransaction)
        throw TqmError(TqmError::LnsInvalidOperation, Source, QStringLiteral("A transaction is already open."));
    // IMMEDIATE takes the write lock now, so a later write cannot fail on another process's commit.
    exec(QStringLiteral("BEGIN IMMEDIATE"));
    m_inTransaction = true;
}

void NetDb::commit()
{
    if (!m_inTransaction)
        throw TqmError(TqmError::LnsInvalidOperation, Source, QStringLiteral("No transaction is open."));
    exec(QStringLiteral("COMMIT"));
    m_inTransaction = false;
}

void NetDb::rollback()
{
    if (!m_inTransaction)
        throw TqmError(TqmError::LnsInvalidOperation, Source, QStringLiteral("No transaction is open."));
    m_inTransaction = false;
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

const DeviceInfo &NetDb::device(qint64 id)
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
    info.tpl = templateById(info.templateId);
    return *m_devices.insert(id, info);
}

bool NetDb::isOnline(qint64 deviceId)
{
    return scalar(QStringLiteral("SELECT online FROM devices WHERE id = ?"), {deviceId}).toInt() != 0;
}

void NetDb::requireOnline(qint64 deviceId, const QString &source)
{
    if (!isOnline(deviceId))
        throw TqmError(TqmError::LnsDeviceNotResponding, source,
                       QStringLiteral("Device \"%1\" does not respond.").arg(device(deviceId).name));
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
    return scalar(QStringLiteral("SELECT value FROM cp_values WHERE device_id = ? AND cp_key = ?"), {deviceId, cpKey})
        .toByteArray();
}

void NetDb::setCpValue(qint64 deviceId, int cpKey, const QByteArray &value)
{
    exec(QStringLiteral("UPDATE cp_values SET value = ? WHERE device_id = ? AND cp_key = ?"), {value, deviceId, cpKey});
}

QString NetDb::cpFormat(qint64 deviceId, int cpKey)
{
    return scalar(QStringLiteral("SELECT format FROM cp_values WHERE device_id = ? AND cp_key = ?"), {deviceId, cpKey})
        .toString();
}

void NetDb::setCpFormat(qint64 deviceId, int cpKey, const QString &format)
{
    exec(QStringLiteral("UPDATE cp_values SET format = ? WHERE device_id = ? AND cp_key = ?"), {format, deviceId, cpKey});
}

NvState NetDb::nvState(qint64 deviceId, int nvKey)
{
    const auto found = rows(QStringLiteral("SELECT value, format, type_name, monitor_tag, poll_flag, poll_interval,"
                                           " report_by_exception, hold FROM nv_values WHERE device_id = ? AND nv_key = ?"),
                            {deviceId, nvKey});
    if (found.isEmpty())
        throw TqmError(TqmError::LnsObjectNotFound, Source,
                       QStringLiteral("Network variable %1 of device \"%2\" is missing in the database.")
                           .arg(nvKey)
                           .arg(device(deviceId).name));
    const QVariantList &r = found[0];
    NvState nv;
    nv.value = r[0].toByteArray();
    nv.format = r[1].toString();
    nv.typeName = r[2].isNull() ? device(deviceId).tpl->nvs[nvKey].typeName : r[2].toString();
    nv.monitorTag = r[3].toInt();
    nv.pollFlag = r[4].toInt() != 0;
    nv.pollInterval = r[5].toInt();
    nv.reportByException = r[6].toInt() != 0;
    nv.hold = r[7].toInt() != 0;
    return nv;
}

void NetDb::setNvValue(qint64 deviceId, int nvKey, const QByteArray &value)
{
    exec(QStringLiteral("UPDATE nv_values SET value = ? WHERE device_id = ? AND nv_key = ?"), {value, deviceId, nvKey});
}

void NetDb::setNvSetting(qint64 deviceId, int nvKey, const char *column, const QVariant &value)
{
    exec(QStringLiteral("UPDATE nv_values SET %1 = ? WHERE device_id = ? AND nv_key = ?").arg(QLatin1String(column)),
         {value, deviceId, nvKey});
}

void NetDb::changeNvType(qint64 deviceId, int nvKey, const QString &typeName, const QByteArray &value)
{
    exec(QStringLiteral("UPDATE nv_values SET type_name = ?, value = ?, format = NULL WHERE device_id = ? AND nv_key = ?"),
         {typeName, value, deviceId, nvKey});
}

QString NetDb::nvMonitorKey(qint64 deviceId, int nvKey) const
{
    return countKey(deviceId) + QLatin1Char('/') + QString::number(nvKey);
}

QString NetDb::monitorText(const NvState &nv)
{
    return valuetypes::format(nv.format.isEmpty() ? nv.typeName : nv.format, nv.value);
}

int NetDb::deliverMonitorUpdates()
{
    const auto monitored = rows(QStringLiteral("SELECT device_id, nv_key FROM nv_values WHERE monitor_tag <> 0"));
    int delivered = 0;
    for (const QVariantList &row : monitored) {
        const qint64 deviceId = row[0].toLongLong();
        const int nvKey = row[1].toInt();
        const NvState nv = nvState(deviceId, nvKey);
        if (nv.hold || !isOnline(deviceId))
            continue;
        if (nv.pollFlag)
            ++counts(deviceId).nvPolls;
        const QString key = nvMonitorKey(deviceId, nvKey);
        const auto last = m_state->lastDelivered.constFind(key);
        if (last != m_state->lastDelivered.constEnd() && *last == nv.value)
            continue;
        m_state->lastDelivered.insert(key, nv.value);
        m_state->raiseMonitorUpdate(nv.monitorTag, monitorText(nv));
        ++delivered;
    }
    return delivered;
}

} // namespace embedded
