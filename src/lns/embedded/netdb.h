#pragma once

// One open network database: the SQLite connection of one object server to one network file,
// with the device layer's rules (online check, message counting, monitor updates) on top.
// Internal to the embedded object server; the object handles are thin views onto it.

#include "lns/clock.h"
#include "lns/embedded/devicetemplate.h"
#include "lns/embedded/embeddedobjectserver.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <map>
#include <memory>

namespace embedded {

class NetDb;

// What one object server instance shares between its open networks.
struct ServerState
{
    const Clock *clock = nullptr;
    QString home;
    int nextHandle = 1;
    std::map<int, lns::ObjectServer::MonitorUpdateHandler> handlers;
    QHash<QString, MessageCounts> counts; // by countKey()
    QHash<QString, QByteArray> lastDelivered; // monitored NV → value last reported
    bool readOnly = false;                    // networks are opened for reading only
    void raiseMonitorUpdate(int tag, const QString &value);
};

struct DeviceInfo
{
    qint64 id = 0;
    QString name;
    qint64 subsystemId = 0;
    qint64 templateId = 0;
    DeviceTemplateDefPtr tpl;
};

struct NvState
{
    QByteArray value;
    QString format;   // empty: the type's own
    QString typeName; // current type (after a type change)
    int monitorTag = 0;
    bool pollFlag = false;
    int pollInterval = 0;
    bool reportByException = false;
    bool hold = false;
};

class NetDb
{
public:
    NetDb(const QString &filePath, const QString &networkName, std::shared_ptr<ServerState> state);
    ~NetDb();
    NetDb(const NetDb &) = delete;
    NetDb &operator=(const NetDb &) = delete;

    // Opens a connection of its own with the settings every connection uses. Read-only, it
    // changes nothing (not even the journal mode) and also reads a database in a directory it
    // may not write to, where SQLite cannot create the files it shares with writers.
    static QSqlDatabase openConnection(const QString &filePath, const QString &connectionName, bool readOnly = false);
    static void createSchema(QSqlDatabase &db);

    const QString &networkName() const { return m_networkName; }
    const QString &filePath() const { return m_filePath; }
    ServerState &state() { return *m_state; }
    void close();
    bool isOpen() const { return m_open; }

    // Statement helpers: throw TqmError(LnsDatabase) with the driver's text.
    void exec(const QString &sql, const QVariantList &binds = {});
    QVariant scalar(const QString &sql, const QVariantList &binds = {});
    QList<QVariantList> rows(const QString &sql, const QVariantList &binds = {});

    // Transactions of the System object.
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return m_inTransaction; }

    const DeviceInfo &device(qint64 id);
    DeviceTemplateDefPtr templateById(qint64 id);
    // Re-read from the database at every call: another process may switch it.
    bool isOnline(qint64 deviceId);
    // Throws TqmError(LnsDeviceNotResponding) naming the device when it is offline.
    void requireOnline(qint64 deviceId, const QString &source);
    QString countKey(qint64 deviceId) const;
    MessageCounts &counts(qint64 deviceId);

    QByteArray cpValue(qint64 deviceId, int cpKey);
    void setCpValue(qint64 deviceId, int cpKey, const QByteArray &value);
    QString cpFormat(qint64 deviceId, int cpKey);
    void setCpFormat(qint64 deviceId, int cpKey, const QString &format);

    NvState nvState(qint64 deviceId, int nvKey);
    void setNvValue(qint64 deviceId, int nvKey, const QByteArray &value);
    // column is one of the nv_values setting columns.
    void setNvSetting(qint64 deviceId, int nvKey, const char *column, const QVariant &value);
    void changeNvType(qint64 deviceId, int nvKey, const QString &typeName, const QByteArray &value);
    QString nvMonitorKey(qint64 deviceId, int nvKey) const;
    // Monitor text of an NV value in its monitor format.
    static QString monitorText(const NvState &nv);

    int deliverMonitorUpdates();

private:
    void ensureOpen() const;
    // Statements are prepared once per connection and kept.
    QSqlQuery &prepared(const QString &sql, const QVariantList &binds);

    QString m_filePath;
    QString m_networkName;
    QString m_connectionName;
    std::shared_ptr<ServerState> m_state;
    bool m_open = true;
    bool m_inTransaction = false;
    QHash<qint64, DeviceInfo> m_devices;
    QHash<qint64, DeviceTemplateDefPtr> m_templates;
    QHash<QString, QSqlQuery> m_statements;
};

} // namespace embedded
