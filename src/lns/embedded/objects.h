#pragma once

// The object handles of the embedded object server. Each handle keeps its owner (the
// collection it was taken from) alive, so that parent() always answers and the open network
// stays open while any handle of it exists. Handles hold no values: every read goes to the
// database, so several handles of one object never disagree.

#include "lns/embedded/netdb.h"
#include "lns/lns.h"

#include <functional>
#include <optional>

namespace embedded {

// A snapshot of member names taken when the collection is asked for; members are made on
// demand by the factory (0-based position).
template <class T>
class ListCollection : public lns::Collection<T>
{
public:
    using Factory = std::function<std::shared_ptr<T>(int position, const lns::ObjectPtr &self)>;
    ListCollection(lns::ObjectPtr owner, QStringList names, Factory factory)
        : m_owner(std::move(owner)), m_names(std::move(names)), m_factory(std::move(factory))
    {
    }
    lns::ObjectPtr parent() const override { return m_owner; }
    QString name() const override { return {}; }
    int count() const override { return int(m_names.size()); }
    std::shared_ptr<T> item(int index) const override
    {
        if (index < 1 || index > m_names.size())
            throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("Collection"),
                           QStringLiteral("Index %1 is outside 1 to %2.").arg(index).arg(m_names.size()));
        return m_factory(index - 1, self());
    }
    std::shared_ptr<T> item(const QString &name) const override
    {
        const int position = int(m_names.indexOf(name));
        if (position < 0)
            throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("Collection"),
                           QStringLiteral("\"%1\" was not found.").arg(name));
        return m_factory(position, self());
    }

private:
    lns::ObjectPtr self() const { return std::const_pointer_cast<lns::Object>(this->shared_from_this()); }

    lns::ObjectPtr m_owner;
    QStringList m_names;
    Factory m_factory;
};

// Subsystems or devices as the database lists them (id and name, in order), listed when the
// collection is first counted or searched: a handle reached by its object name lists none of
// its siblings.
struct CollectionRow
{
    qint64 id = 0;
    QString name;
};

template <class T>
class RowCollection : public lns::Collection<T>
{
public:
    using Row = CollectionRow;
    using Load = std::function<QList<Row>()>;
    using Factory = std::function<std::shared_ptr<T>(const Row &row, const lns::ObjectPtr &self)>;
    RowCollection(lns::ObjectPtr owner, Load load, Factory factory)
        : m_owner(std::move(owner)), m_load(std::move(load)), m_factory(std::move(factory))
    {
    }
    lns::ObjectPtr parent() const override { return m_owner; }
    QString name() const override { return {}; }
    int count() const override { return int(rows().size()); }
    std::shared_ptr<T> item(int index) const override
    {
        if (index < 1 || index > count())
            throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("Collection"),
                           QStringLiteral("Index %1 is outside 1 to %2.").arg(index).arg(count()));
        return m_factory(rows()[index - 1], self());
    }
    std::shared_ptr<T> item(const QString &name) const override
    {
        for (const Row &row : rows())
            if (row.name == name)
                return m_factory(row, self());
        throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("Collection"),
                       QStringLiteral("\"%1\" was not found.").arg(name));
    }

private:
    lns::ObjectPtr self() const { return std::const_pointer_cast<lns::Object>(this->shared_from_this()); }
    const QList<Row> &rows() const
    {
        if (!m_rows)
            m_rows = m_load();
        return *m_rows;
    }

    lns::ObjectPtr m_owner;
    Load m_load;
    Factory m_factory;
    mutable std::optional<QList<Row>> m_rows;
};

// The handles below are created only through their collections (see embeddedobjectserver.cpp).

class NetworkImpl : public lns::Network
{
public:
    NetworkImpl(lns::ObjectPtr parent, std::shared_ptr<NetDb> db) : m_parent(std::move(parent)), m_db(std::move(db)) {}
    lns::ObjectPtr parent() const override { return m_parent; }
    QString name() const override { return m_db->networkName(); }
    std::shared_ptr<lns::Systems> systems() const override;
    bool registerPlugInCommand(const lns::PlugInCommandRegistration &registration) override;
    QList<lns::PlugInCommandRegistration> registeredPlugInCommands() const override;
    void close() override { m_db->close(); }
    const std::shared_ptr<NetDb> &db() const { return m_db; }

private:
    lns::ObjectPtr m_parent;
    std::shared_ptr<NetDb> m_db;
};

class SystemImpl : public lns::System
{
public:
    SystemImpl(lns::ObjectPtr parent, std::shared_ptr<NetDb> db) : m_parent(std::move(parent)), m_db(std::move(db)) {}
    lns::ObjectPtr parent() const override { return m_parent; }
    QString name() const override { return m_db->networkName(); }
    std::shared_ptr<lns::Subsystems> subsystems() const override;
    void startTransaction() override { m_db->begin(); }
    void commitTransaction() override { m_db->commit(); }
    void cancelTransaction() override { m_db->rollback(); }
    bool inTransaction() const override { return m_db->inTransaction(); }
    void openSeries(int value) override;
    void closeSeries() override;
    int openSeriesCount() const override { return m_openSeries; }
    void prepareMonitoring(int value) override;

private:
    lns::ObjectPtr m_parent;
    std::shared_ptr<NetDb> m_db;
    int m_openSeries = 0;
};

class DeviceHandle
{
public:
    DeviceHandle(std::shared_ptr<NetDb> db, qint64 deviceId) : m_db(std::move(db)), m_deviceId(deviceId) {}
    NetDb &db() const { return *m_db; }
    const std::shared_ptr<NetDb> &dbPtr() const { return m_db; }
    qint64 deviceId() const { return m_deviceId; }
    const DeviceInfo &info() const { return m_db->device(m_deviceId); }
    const DeviceTemplateDef &tpl() const { return *info().tpl; }

private:
    std::shared_ptr<NetDb> m_db;
    qint64 m_deviceId;
};

class SubsystemImpl : public lns::Subsystem
{
public:
    SubsystemImpl(lns::ObjectPtr parent, std::shared_ptr<NetDb> db, qint64 id, QString name)
        : m_parent(std::move(parent)), m_db(std::move(db)), m_id(id), m_name(std::move(name))
    {
    }
    lns::ObjectPtr parent() const override { return m_parent; }
    QString name() const override { return m_name; }
    QString path() const override;
    std::shared_ptr<lns::AppDevices> appDevices() const override;
    std::shared_ptr<lns::Subsystems> subsystems() const override;

private:
    lns::ObjectPtr m_parent;
    std::shared_ptr<NetDb> m_db;
    qint64 m_id;
    QString m_name;
};

class AppDeviceImpl : public lns::AppDevice, public DeviceHandle
{
public:
    AppDeviceImpl(lns::ObjectPtr parent, std::shared_ptr<NetDb> db, qint64 id)
        : DeviceHandle(std::move(db), id), m_parent(std::move(parent))
    {
    }
    lns::ObjectPtr parent() const override { return m_parent; }
    QString name() const override { return db().deviceRow(deviceId()).name; }
    lns::DeviceTemplatePtr deviceTemplate() const override;
    QString programId() const override { return tpl().programId; }
    std::shared_ptr<lns::NetworkVariables> networkVariables() const override;
    std::shared_ptr<lns::LonMarkObjects> lonMarkObjects() const override;
    std::shared_ptr<lns::ConfigProperties> configProperties() const override;
    std::shared_ptr<lns::Subsystems> subsystems() const override;
    void deviceTest(int testType) override;
    void calibrationTrigger() override;
    KnobCalibration knobCalibration() const override;
    float applicationVersion() const override;
    QString neuronId() const override;

private:
    lns::ObjectPtr m_parent;
};

class DeviceTemplateImpl : public lns::DeviceTemplate
{
public:
    DeviceTemplateImpl(lns::ObjectPtr parent, DeviceTemplateDefPtr def) : m_parent(std::move(parent)), m_def(std::move(def)) {}
    lns::ObjectPtr parent() const override { return m_parent; }
    QString name() const override { return m_def->name; }
    QString programId() const override { return m_def->programId; }

private:
    lns::ObjectPtr m_parent;
    DeviceTemplateDefPtr m_def;
};

class LonMarkObjectImpl : public lns::LonMarkObject, public DeviceHandle
{
public:
    LonMarkObjectImpl(lns::ObjectPtr parent, std::shared_ptr<NetDb> db, qint64 deviceId, int position)
        : DeviceHandle(std::move(db), deviceId), m_parent(std::move(parent)), m_position(position)
    {
    }
    lns::ObjectPtr parent() const override { return m_parent; }
    QString name() const override { return tpl().lmos[m_position].name; }
    int index() const override { return m_position; }
    int type() const override { return tpl().lmos[m_position].type; }
    std::shared_ptr<lns::ConfigProperties> configProperties() const override;
    std::shared_ptr<lns::NetworkVariables> networkVariables() const override;
    std::shared_ptr<lns::ExtensionRecords> extensions() const override;
    lns::AppDevicePtr appDevice() const override;

private:
    lns::ObjectPtr m_parent;
    int m_position;
    // The CP list handed out last, while anything holds it (its CPs do): a caller that looks up
    // one CP after another shares one list instead of building one per CP.
    mutable std::weak_ptr<lns::ConfigProperties> m_configProperties;
};

class ConfigPropertyImpl : public lns::ConfigProperty, public DeviceHandle
{
public:
    ConfigPropertyImpl(lns::ObjectPtr parent, std::shared_ptr<NetDb> db, qint64 deviceId, int key)
        : DeviceHandle(std::move(db), deviceId), m_parent(std::move(parent)), m_key(key)
    {
    }
    lns::ObjectPtr parent() const override { return m_parent; }
    QString name() const override { return def().name; }
    QString formatSpec() const override;
    void setFormatSpec(const QString &format) override;
    QString defaultFormatSpec() const override { return def().typeName; }
    QString value() const override;
    void setValue(const QString &text) override;
    QString elementValue(int index) const override;
    void setElementValue(int index, const QString &text) override;
    int elementLength() const override { return def().elementLength; }
    int dimension() const override { return def().dimension; }
    QString typeName() const override { return def().typeName; }

private:
    const CpDef &def() const { return tpl().cps[m_key]; }
    void checkElement(int index) const;
    void write(const QByteArray &bytes);

    lns::ObjectPtr m_parent;
    int m_key;
};

class NetworkVariableImpl : public lns::NetworkVariable, public DeviceHandle
{
public:
    NetworkVariableImpl(lns::ObjectPtr parent, std::shared_ptr<NetDb> db, qint64 deviceId, int key)
        : DeviceHandle(std::move(db), deviceId), m_parent(std::move(parent)), m_key(key)
    {
    }
    lns::ObjectPtr parent() const override { return m_parent; }
    QString name() const override { return def().name; }
    Direction direction() const override { return def().direction; }
    QString value() const override;
    void setValue(const QString &text) override;
    int typeIndex() const override;
    QString typeName() const override { return db().typeNameOf(deviceId(), m_key); }
    bool changeableType() const override { return def().changeableType; }
    lns::DataPointPtr dataPoint(const QString &fieldName) const override;
    std::shared_ptr<lns::ConfigProperties> configProperties() const override;
    // Monitoring settings and the format are this connection's session state (see NetDb).
    int monitorTag() const override { return session().monitorTag; }
    void setMonitorTag(int tag) override;
    bool pollFlag() const override { return session().pollFlag; }
    void setPollFlag(bool poll) override { change([poll](NvSession &s) { s.pollFlag = poll; }); }
    int pollInterval() const override { return session().pollInterval; }
    void setPollInterval(int interval) override;
    QString formatSpec() const override;
    void setFormatSpec(const QString &format) override;
    bool reportByException() const override { return session().reportByException; }
    void setReportByException(bool on) override { change([on](NvSession &s) { s.reportByException = on; }); }
    bool hold() const override { return session().hold; }
    void setHold(bool hold) override { change([hold](NvSession &s) { s.hold = hold; }); }
    MonitorPath monitorPath() const override;

    int key() const { return m_key; }
    // Reads the value as the device answers it (needs the device, counts one NV read).
    QByteArray readBytes() const;
    // Writes the value to the device and reports it to monitor subscribers when monitored.
    void writeBytes(const QByteArray &bytes);

private:
    const NvDef &def() const { return tpl().nvs[m_key]; }
    NvSession session() const { return db().nvSession(deviceId(), m_key); }
    template <class F>
    void change(F f)
    {
        NvSession s = session();
        f(s);
        db().setNvSession(deviceId(), m_key, s);
    }

    lns::ObjectPtr m_parent;
    int m_key;
};

class DataPointImpl : public lns::DataPoint
{
public:
    DataPointImpl(std::shared_ptr<NetworkVariableImpl> nv, int fieldIndex, QString typeName)
        : m_nv(std::move(nv)), m_fieldIndex(fieldIndex), m_typeName(std::move(typeName))
    {
    }
    lns::ObjectPtr parent() const override { return m_nv; }
    QString name() const override;
    QString value() const override;
    void setValue(const QString &text) override;

private:
    std::shared_ptr<NetworkVariableImpl> m_nv;
    int m_fieldIndex;
    QString m_typeName;
};

class ExtensionRecordImpl : public lns::ExtensionRecord
{
public:
    ExtensionRecordImpl(lns::ObjectPtr parent, std::shared_ptr<NetDb> db, qint64 id, QString name)
        : m_parent(std::move(parent)), m_db(std::move(db)), m_id(id), m_name(std::move(name))
    {
    }
    lns::ObjectPtr parent() const override { return m_parent; }
    QString name() const override { return m_name; }
    int fieldCount() const override;
    QString field(int number) const override;
    void setField(int number, const QString &value) override;

private:
    lns::ObjectPtr m_parent;
    std::shared_ptr<NetDb> m_db;
    qint64 m_id;
    QString m_name;
};

class ExtensionRecordsImpl : public lns::ExtensionRecords
{
public:
    ExtensionRecordsImpl(lns::ObjectPtr owner, std::shared_ptr<NetDb> db, qint64 deviceId, int lmoPosition)
        : m_owner(std::move(owner)), m_db(std::move(db)), m_deviceId(deviceId), m_lmoPosition(lmoPosition)
    {
    }
    lns::ObjectPtr parent() const override { return m_owner; }
    QString name() const override { return {}; }
    int count() const override;
    lns::ExtensionRecordPtr item(int index) const override;
    lns::ExtensionRecordPtr item(const QString &name) const override;
    bool contains(const QString &name) const override;
    lns::ExtensionRecordPtr add(const QString &name) override;

private:
    QList<QVariantList> records() const;
    lns::ExtensionRecordPtr make(qint64 id, const QString &name) const;

    lns::ObjectPtr m_owner;
    std::shared_ptr<NetDb> m_db;
    qint64 m_deviceId;
    int m_lmoPosition;
};

// The handle of a subsystem, device or LonMark object found by name, under `system`: its parents
// are made as the collections they come from, which list their members only when asked.
lns::SubsystemPtr subsystemHandle(const lns::ObjectPtr &system, const std::shared_ptr<NetDb> &db, qint64 subsystemId);
lns::AppDevicePtr deviceHandle(const lns::SubsystemPtr &subsystem, const std::shared_ptr<NetDb> &db, qint64 deviceId);

class NvTypeUtilityImpl : public lns::NvTypeUtility
{
public:
    Result changeType(const lns::NetworkVariablePtr &nv, int typeIndex, const QString &programId, int scope) override;
    Result checkType(const lns::NetworkVariablePtr &nv, int typeIndex, const QString &programId, int scope) override;
};

} // namespace embedded
