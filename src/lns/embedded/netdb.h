#pragma once

// One open network database: the SQLite connection of one object server to one network file,
// with the device layer's rules (online check, message counting, monitor updates) on top.
// Internal to the embedded object server; the object handles are thin views onto it.
//
// The database holds what the network holds: devices, their CP and NV values, extension records.
// What a client sets on its handles to read and monitor values - the format of a CP or NV, and
// an NV's monitor tag, poll flag, poll interval, report by exception and hold - is the session
// state of this connection: kept here in memory, never written, so reading a device's
// configuration writes nothing and a second connection or process never sees another's "RAW".

#include "lns/clock.h"
#include "lns/embedded/commandmodulesim.h"
#include "lns/embedded/devicelink.h"
#include "lns/embedded/devicetemplate.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/embedded/monitorengine.h"
#include "lns/embedded/sqlitedb.h"
#include "lns/timer.h"

#include <QHash>
#include <QSet>
#include <QVariant>
#include <map>
#include <memory>
#include <optional>

namespace embedded {

class NetDb;

// What one object server instance shares between its open networks.
struct ServerState
{
    const Clock *clock = nullptr;
    QString home;
    int nextHandle = 1;
    std::map<int, lns::ObjectServer::MonitorUpdateHandler> handlers;
    std::map<int, lns::ObjectServer::MonitorFailureHandler> failureHandlers;
    QHash<QString, MessageCounts> counts; // by countKey()
    std::unique_ptr<MonitorEngine> monitors;
    bool readOnly = false; // networks are opened for reading only
    void raiseMonitorUpdate(int tag, const QString &value);
    void raiseMonitorFailure(int tag, const TqmError &error);
};

struct DeviceInfo
{
    qint64 id = 0;
    QString name;
    qint64 subsystemId = 0;
    qint64 templateId = 0;
    DeviceTemplateDefPtr tpl;
};

struct SubsystemInfo
{
    qint64 id = 0;
    qint64 parentId = 0; // 0: a subsystem of the system
    QString name;
    QString path; // "Building A/Floor 1"
};

// One reading of an object name: a subsystem, a device in it, or a LonMark object of the device.
struct NamedObject
{
    qint64 subsystemId = 0;
    qint64 deviceId = 0; // 0: the subsystem itself
    QString lonMarkObject; // empty: the device itself
};

// A connection's settings of one NV.
struct NvSession
{
    QString format; // empty: the type's own
    int monitorTag = 0; // 0: not monitored
    bool pollFlag = false;
    int pollInterval = 0; // tenths of a second
    bool reportByException = false;
    bool hold = false;
};

struct NvState
{
    QByteArray value;
    QString typeName; // current type (after a type change)
    NvSession session;
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
    static std::unique_ptr<sqlite::Connection> openConnection(const QString &filePath, bool readOnly = false);
    static void createSchema(sqlite::Connection &db);
    // The path index of the subsystems (netdb.cpp), filled when the file was made without it.
    static void ensurePathIndex(sqlite::Connection &db, bool readOnly);

    const QString &networkName() const { return m_networkName; }
    const QString &filePath() const { return m_filePath; }
    ServerState &state() { return *m_state; }
    void close();
    bool isOpen() const { return m_db != nullptr; }

    // Statement helpers (sqlitedb.h): throw TqmError(LnsDatabase) with SQLite's text.
    void exec(const QString &sql, const QVariantList &binds = {});
    QVariant scalar(const QString &sql, const QVariantList &binds = {});
    QList<QVariantList> rows(const QString &sql, const QVariantList &binds = {});

    // Transactions of the System object.
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return m_inTransaction; }

    const DeviceInfo &device(qint64 id);
    // The device's row without its template (`tpl` may be empty): enough for its name and place,
    // so that looking through a subsystem's devices reads no template but the one it picks.
    const DeviceInfo &deviceRow(qint64 id);
    DeviceTemplateDefPtr templateById(qint64 id);
    // Keeps what a statement read of a device, so that device(id) needs no statement of its own.
    const DeviceInfo &rememberDevice(qint64 id, const QString &name, qint64 subsystemId, qint64 templateId);
    // The same without reading the device's template yet (deviceRow(id) then needs no statement).
    const DeviceInfo &rememberDeviceRow(qint64 id, const QString &name, qint64 subsystemId, qint64 templateId);
    // Subsystems do not change while a network is open: each is read once, with its ancestors.
    const SubsystemInfo &subsystem(qint64 id);
    // The subsystem and its ancestors, the top level first.
    QList<SubsystemInfo> subsystemChain(qint64 id);
    // The readings of an object name's levels below the network that exist, most preferred
    // first (a subsystem, then a device, then a LonMark object of a device; see
    // EmbeddedObjectServer::objectByName), from the path index in one statement. A LonMark
    // object reading names the object without checking that the device has it.
    QList<NamedObject> readingsOf(const QStringList &levels);
    // Re-read from the database at every call: another process may switch it.
    bool isOnline(qint64 deviceId);
    // Throws TqmError(LnsDeviceNotResponding) naming the device when it is offline.
    void requireOnline(qint64 deviceId, const QString &source);
    QString countKey(qint64 deviceId) const;
    MessageCounts &counts(qint64 deviceId);

    QByteArray cpValue(qint64 deviceId, int cpKey);
    void setCpValue(qint64 deviceId, int cpKey, const QByteArray &value);
    // This connection's format of a CP; empty: the type's own.
    QString cpFormat(qint64 deviceId, int cpKey) const;
    void setCpFormat(qint64 deviceId, int cpKey, const QString &format);

    NvState nvState(qint64 deviceId, int nvKey);
    // The value the device holds now.
    QByteArray nvValue(qint64 deviceId, int nvKey);
    // When, after `now`, the device changes the value by itself (without anything written);
    // invalid when it does not.
    QDateTime nvValueChangesAt(qint64 deviceId, int nvKey, const QDateTime &now);
    void setNvValue(qint64 deviceId, int nvKey, const QByteArray &value);
    void changeNvType(qint64 deviceId, int nvKey, const QString &typeName, const QByteArray &value);
    NvSession nvSession(qint64 deviceId, int nvKey) const;
    void setNvSession(qint64 deviceId, int nvKey, const NvSession &session);
    // Text of an NV value in a format (empty: the type's own).
    static QString monitorText(const QString &format, const QString &typeName, const QByteArray &value);
    QString typeNameOf(qint64 deviceId, int nvKey);

    // Changes when another connection commits (SQLite's data_version).
    qint64 dataVersion();

    // The simulated command module of a device (commandmodulesim.h): none until its room was
    // first set. Its output NVs then come from the simulation; what is stored for them is not
    // used, and a CP or nviSpaceTemp written to it takes effect at once.
    std::optional<cmsim::RoomState> roomState(qint64 deviceId);
    void setRoomState(qint64 deviceId, const cmsim::RoomState &room);
    cmsim::Settings simSettings(qint64 deviceId);
    // Before something the simulated device depends on changes: its send history is kept.
    // Once per device and transaction.
    void settleSimulation(qint64 deviceId);
    QDateTime now() const { return m_state->clock->now(); }

    // How the device answers (devicelink.h): its LON/IP link, or the simulation in the database.
    DeviceLink &linkOf(qint64 deviceId);
    std::optional<LinkRecord> linkRecord(qint64 deviceId);
    // Nothing: the device is simulated again.
    void setLinkRecord(qint64 deviceId, const std::optional<LinkRecord> &record);
    // The tool's own LON/IP node in this network (meta keys tool_ip, tool_subnet, tool_node).
    ToolNodeAddress toolNodeAddress();
    void setToolNodeAddress(const ToolNodeAddress &address);

private:
    sqlite::Connection &connection() const;

    QString m_filePath;
    QString m_networkName;
    std::unique_ptr<sqlite::Connection> m_db;
    std::shared_ptr<ServerState> m_state;
    bool m_inTransaction = false;
    QHash<qint64, DeviceInfo> m_devices; // `tpl` filled by device(id)
    QHash<qint64, DeviceTemplateDefPtr> m_templates;
    QHash<qint64, SubsystemInfo> m_subsystems;
    QSet<qint64> m_settledInTransaction; // devices whose room this transaction has settled
    using ValueKey = std::pair<qint64, int>; // device id, CP or NV key
    QHash<ValueKey, QString> m_cpFormats;
    QHash<ValueKey, NvSession> m_nvSessions;
    std::map<qint64, std::unique_ptr<DeviceLink>> m_links;
};

} // namespace embedded
