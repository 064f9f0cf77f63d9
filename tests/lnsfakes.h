#pragma once

// The network fakes of the tests, kept for what the embedded backend cannot do on its own:
// faults (a system that cannot start a transaction, an object whose way to its device breaks,
// records that cannot be reached, parts of a network that cannot be read, an object whose class
// cannot be read) and watching calls the database does not show (transaction hooks, the order of
// record fields). Everything else runs on the embedded backend.

#include "lns/listcollection.h"
#include "lns/lns.h"

#include <QStringList>
#include <functional>

// A decorator's base: the real object it wraps, whose name and parent it keeps.
template <class Interface>
class Decorated : public Interface
{
public:
    explicit Decorated(std::shared_ptr<Interface> real) : m_real(std::move(real)) {}
    lns::ObjectPtr parent() const override { return m_real->parent(); }
    QString name() const override { return m_real->name(); }

protected:
    std::shared_ptr<Interface> m_real;
};

// The System of a network, with hooks just after the start and just before the end of a
// transaction, the calls it received, and a start that fails as when another program holds the
// database's write lock past the busy timeout.
class ObservedSystem : public Decorated<lns::System>
{
public:
    using Decorated::Decorated;
    std::shared_ptr<lns::Subsystems> subsystems() const override { return m_real->subsystems(); }
    void startTransaction() override
    {
        calls.append(QStringLiteral("start"));
        if (refuseStart)
            throw TqmError(TqmError::LnsDatabase, QStringLiteral("Test"), QStringLiteral("database is locked"));
        m_real->startTransaction();
        if (afterStart)
            afterStart();
    }
    void commitTransaction() override
    {
        calls.append(QStringLiteral("commit"));
        if (beforeCommit)
            beforeCommit();
        m_real->commitTransaction();
    }
    void cancelTransaction() override
    {
        calls.append(QStringLiteral("cancel"));
        if (beforeCancel)
            beforeCancel();
        m_real->cancelTransaction();
    }
    bool inTransaction() const override { return m_real->inTransaction(); }
    void openSeries(int value) override { m_real->openSeries(value); }
    void closeSeries() override { m_real->closeSeries(); }
    int openSeriesCount() const override { return m_real->openSeriesCount(); }
    void prepareMonitoring(int value) override { m_real->prepareMonitoring(value); }

    QStringList calls;
    bool refuseStart = false;
    std::function<void()> afterStart;
    std::function<void()> beforeCommit;
    std::function<void()> beforeCancel;
};

// Record fields as they are set: record name and field number, in order.
using FieldWrites = QList<QPair<QString, int>>;

class ObservedRecord : public Decorated<lns::ExtensionRecord>
{
public:
    ObservedRecord(lns::ExtensionRecordPtr real, FieldWrites *writes) : Decorated(std::move(real)), m_writes(writes) {}
    int fieldCount() const override { return m_real->fieldCount(); }
    QString field(int number) const override { return m_real->field(number); }
    void setField(int number, const QString &value) override
    {
        m_real->setField(number, value);
        m_writes->append({name(), number});
    }

private:
    FieldWrites *m_writes;
};

class ObservedRecords : public Decorated<lns::ExtensionRecords>
{
public:
    ObservedRecords(std::shared_ptr<lns::ExtensionRecords> real, FieldWrites *writes)
        : Decorated(std::move(real)), m_writes(writes)
    {
    }
    int count() const override { return m_real->count(); }
    lns::ExtensionRecordPtr item(int index) const override { return observed(m_real->item(index)); }
    lns::ExtensionRecordPtr item(const QString &name) const override { return observed(m_real->item(name)); }
    bool contains(const QString &name) const override { return m_real->contains(name); }
    lns::ExtensionRecordPtr add(const QString &name) override { return observed(m_real->add(name)); }

private:
    lns::ExtensionRecordPtr observed(lns::ExtensionRecordPtr record) const
    {
        return std::make_shared<ObservedRecord>(std::move(record), m_writes);
    }
    FieldWrites *m_writes;
};

// A LonMark object whose records are watched, whose records can be made unreachable (as with a
// database that stays locked), and whose way to its device can break after a number of
// look-ups (an error no step of a write expects, arising after some CPs were written).
class ObservedLonMarkObject : public Decorated<lns::LonMarkObject>
{
public:
    explicit ObservedLonMarkObject(lns::LonMarkObjectPtr real, int workingDeviceLookUps = -1)
        : Decorated(std::move(real)), m_lookUpsLeft(workingDeviceLookUps)
    {
    }
    int index() const override { return m_real->index(); }
    int type() const override { return m_real->type(); }
    std::shared_ptr<lns::ConfigProperties> configProperties() const override { return m_real->configProperties(); }
    std::shared_ptr<lns::NetworkVariables> networkVariables() const override { return m_real->networkVariables(); }
    std::shared_ptr<lns::ExtensionRecords> extensions() const override
    {
        if (recordsLocked)
            throw TqmError(TqmError::LnsDatabase, QStringLiteral("Test"), QStringLiteral("database locked"));
        return std::make_shared<ObservedRecords>(m_real->extensions(), &writes);
    }
    lns::AppDevicePtr appDevice() const override
    {
        if (m_lookUpsLeft == 0)
            throw TqmError(TqmError::LnsDatabase, QStringLiteral("Test"), QStringLiteral("database gone"), 17);
        if (m_lookUpsLeft > 0)
            --m_lookUpsLeft;
        return m_real->appDevice();
    }

    bool recordsLocked = false;
    mutable FieldWrites writes;

private:
    mutable int m_lookUpsLeft;
};

// An object of any class id, or one whose class id cannot be read.
class OpaqueObject : public lns::Object
{
public:
    explicit OpaqueObject(int classId, bool unreadable = false) : m_classId(classId), m_unreadable(unreadable) {}
    int classId() const override
    {
        if (m_unreadable)
            throw TqmError(TqmError::LnsInvalidOperation, QStringLiteral("OpaqueObject"), QStringLiteral("gone"));
        return m_classId;
    }
    lns::ObjectPtr parent() const override { return {}; }
    QString name() const override { return QStringLiteral("object"); }

private:
    int m_classId;
    bool m_unreadable;
};

// A network with unreadable parts, for the device scan: subsystems, devices with templates and
// LonMark objects, devices in several subsystems, and devices or subsystems whose contents cannot
// be read. Only what the scan touches does anything.

namespace fake {

inline TqmError unsupported()
{
    return TqmError(TqmError::LnsInvalidOperation, QStringLiteral("fake"), QStringLiteral("not simulated"));
}

// A collection whose reading can fail, as a damaged database's does.
template <class T>
class Members : public lns::ListCollection<T>
{
public:
    explicit Members(std::weak_ptr<lns::Object> owner) { this->watchOwner(std::move(owner)); }
    int count() const override
    {
        if (failing)
            throw TqmError(TqmError::LnsDatabase, QStringLiteral("fake"), QStringLiteral("database unreadable"));
        return lns::ListCollection<T>::count();
    }
    QList<std::shared_ptr<T>> &list = this->members();
    bool failing = false;
};

class Template : public lns::DeviceTemplate
{
public:
    Template(QString name, QString programId) : m_name(std::move(name)), m_programId(std::move(programId)) {}
    lns::ObjectPtr parent() const override { return {}; }
    QString name() const override { return m_name; }
    QString programId() const override { return m_programId; }

private:
    QString m_name;
    QString m_programId;
};

struct ObjectSpec
{
    QString name;
    int index;
    int type;
};

class LonMarkObject : public lns::LonMarkObject
{
public:
    LonMarkObject(std::weak_ptr<lns::AppDevice> device, ObjectSpec spec) : m_device(std::move(device)), m_spec(spec) {}
    lns::ObjectPtr parent() const override { return m_device.lock(); }
    QString name() const override { return m_spec.name; }
    int index() const override { return m_spec.index; }
    int type() const override { return m_spec.type; }
    std::shared_ptr<lns::ConfigProperties> configProperties() const override { throw unsupported(); }
    std::shared_ptr<lns::NetworkVariables> networkVariables() const override { throw unsupported(); }
    std::shared_ptr<lns::ExtensionRecords> extensions() const override { throw unsupported(); }
    lns::AppDevicePtr appDevice() const override { return m_device.lock(); }

private:
    std::weak_ptr<lns::AppDevice> m_device;
    ObjectSpec m_spec;
};

// The command module's interface: node object, then the command module object.
inline const QList<ObjectSpec> CommandModuleObjects{{QStringLiteral("NodeObject"), 0, 0},
                                                    {QStringLiteral("CommandModule"), 1, 8090}};

class Device : public lns::AppDevice
{
public:
    Device(QString name, lns::DeviceTemplatePtr deviceTemplate) : m_name(std::move(name)), m_template(std::move(deviceTemplate)) {}

    void build(const QList<ObjectSpec> &objects)
    {
        auto self = std::static_pointer_cast<lns::AppDevice>(shared_from_this());
        m_objects = std::make_shared<Members<lns::LonMarkObject>>(self);
        for (const ObjectSpec &spec : objects)
            m_objects->list.append(std::make_shared<LonMarkObject>(self, spec));
    }

    lns::ObjectPtr parent() const override { return {}; }
    QString name() const override { return m_name; }
    lns::DeviceTemplatePtr deviceTemplate() const override { return m_template; }
    QString programId() const override { return m_template->programId(); }
    std::shared_ptr<lns::NetworkVariables> networkVariables() const override { throw unsupported(); }
    std::shared_ptr<lns::LonMarkObjects> lonMarkObjects() const override
    {
        if (interfaceUnreadable)
            throw TqmError(TqmError::LnsDatabase, QStringLiteral("fake"), QStringLiteral("interface unreadable"));
        return m_objects;
    }
    std::shared_ptr<lns::ConfigProperties> configProperties() const override { throw unsupported(); }
    // Built on every call: the subsystems own their devices, so the device holds them weakly.
    std::shared_ptr<lns::Subsystems> subsystems() const override
    {
        auto memberships = std::make_shared<Members<lns::Subsystem>>(std::const_pointer_cast<lns::Object>(shared_from_this()));
        for (const auto &subsystem : m_memberships)
            memberships->list.append(subsystem.lock());
        return memberships;
    }
    void deviceTest(int) override {}
    void calibrationTrigger() override {}
    KnobCalibration knobCalibration() const override { return KnobCalibration::Calibrated; }
    float applicationVersion() const override { return 2.1f; }

    std::shared_ptr<Members<lns::LonMarkObject>> objects() const { return m_objects; }
    void addMembership(const std::shared_ptr<lns::Subsystem> &subsystem) { m_memberships.append(subsystem); }
    bool interfaceUnreadable = false;

private:
    QString m_name;
    lns::DeviceTemplatePtr m_template;
    std::shared_ptr<Members<lns::LonMarkObject>> m_objects;
    QList<std::weak_ptr<lns::Subsystem>> m_memberships;
};
using DevicePtr = std::shared_ptr<Device>;

inline const lns::DeviceTemplatePtr StandardTemplate =
    std::make_shared<Template>(QStringLiteral("TQM_CM_STD"), QStringLiteral("9F:FF:FF:05:00:04:04:01"));
inline const lns::DeviceTemplatePtr OtherTemplate =
    std::make_shared<Template>(QStringLiteral("TQM_CM_L2"), QStringLiteral("9F:FF:FF:05:00:04:04:02"));

class Subsystem : public lns::Subsystem
{
public:
    Subsystem(QString name, QString parentPath) : m_name(std::move(name)), m_parentPath(std::move(parentPath)) {}

    void build()
    {
        auto self = shared_from_this();
        m_devices = std::make_shared<Members<lns::AppDevice>>(self);
        m_children = std::make_shared<Members<lns::Subsystem>>(self);
    }

    lns::ObjectPtr parent() const override { return {}; }
    QString name() const override { return m_name; }
    QString path() const override
    {
        return m_parentPath.isEmpty() ? m_name : m_parentPath + QLatin1Char('/') + m_name;
    }
    std::shared_ptr<lns::AppDevices> appDevices() const override { return m_devices; }
    std::shared_ptr<lns::Subsystems> subsystems() const override { return m_children; }

    std::shared_ptr<Subsystem> addSubsystem(const QString &name)
    {
        auto child = std::make_shared<Subsystem>(name, path());
        child->build();
        m_children->list.append(child);
        return child;
    }
    DevicePtr addDevice(const QString &name, const lns::DeviceTemplatePtr &deviceTemplate = StandardTemplate,
                        const QList<ObjectSpec> &objects = CommandModuleObjects)
    {
        auto device = std::make_shared<Device>(name, deviceTemplate);
        device->build(objects);
        addMember(device);
        return device;
    }
    // A further membership of a device whose home is elsewhere.
    void addMember(const DevicePtr &device)
    {
        m_devices->list.append(device);
        device->addMembership(std::static_pointer_cast<lns::Subsystem>(shared_from_this()));
    }
    std::shared_ptr<Members<lns::AppDevice>> devices() const { return m_devices; }

private:
    QString m_name;
    QString m_parentPath;
    std::shared_ptr<Members<lns::AppDevice>> m_devices;
    std::shared_ptr<Members<lns::Subsystem>> m_children;
};
using SubsystemPtr = std::shared_ptr<Subsystem>;

class System : public lns::System
{
public:
    void build() { m_top = std::make_shared<Members<lns::Subsystem>>(shared_from_this()); }
    lns::ObjectPtr parent() const override { return {}; }
    QString name() const override { return QStringLiteral("System"); }
    std::shared_ptr<lns::Subsystems> subsystems() const override { return m_top; }
    void startTransaction() override {}
    void commitTransaction() override {}
    void cancelTransaction() override {}
    bool inTransaction() const override { return false; }
    void openSeries(int) override {}
    void closeSeries() override {}
    int openSeriesCount() const override { return 0; }
    void prepareMonitoring(int) override {}

    SubsystemPtr addSubsystem(const QString &name)
    {
        auto top = std::make_shared<Subsystem>(name, QString());
        top->build();
        m_top->list.append(top);
        return top;
    }

private:
    std::shared_ptr<Members<lns::Subsystem>> m_top;
};

class Network : public lns::Network
{
public:
    explicit Network(QString name) : m_name(std::move(name)) {}
    lns::ObjectPtr parent() const override { return {}; }
    QString name() const override { return m_name; }
    std::shared_ptr<lns::Systems> systems() const override { throw unsupported(); }
    bool registerPlugInCommand(const lns::PlugInCommandRegistration &) override { return false; }
    QList<lns::PlugInCommandRegistration> registeredPlugInCommands() const override { return {}; }
    void close() override {}

private:
    QString m_name;
};

// Demo
//   Building A            CM A1, CM A2 (other template), Sensor (no command module object)
//     Floor 1             CM 1.01, CM 1.02 (also a member of Floor 2), Opened
//     Floor 2             CM 2.01 (command module object at another index)
//   Building B            CM B1
struct DemoNetwork
{
    DemoNetwork()
    {
        system->build();
        buildingA = system->addSubsystem(QStringLiteral("Building A"));
        floor1 = buildingA->addSubsystem(QStringLiteral("Floor 1"));
        floor2 = buildingA->addSubsystem(QStringLiteral("Floor 2"));
        buildingB = system->addSubsystem(QStringLiteral("Building B"));

        buildingA->addDevice(QStringLiteral("CM A1"));
        buildingA->addDevice(QStringLiteral("CM A2"), OtherTemplate);
        buildingA->addDevice(QStringLiteral("Sensor"), StandardTemplate, {{QStringLiteral("NodeObject"), 0, 0}});
        floor1->addDevice(QStringLiteral("CM 1.01"));
        const DevicePtr shared = floor1->addDevice(QStringLiteral("CM 1.02"));
        opened = floor1->addDevice(QStringLiteral("Opened"));
        floor2->addMember(shared);
        floor2->addDevice(QStringLiteral("CM 2.01"), StandardTemplate,
                          {{QStringLiteral("NodeObject"), 0, 0}, {QStringLiteral("CommandModule"), 2, 8090}});
        buildingB->addDevice(QStringLiteral("CM B1"));
    }

    lns::LonMarkObjectPtr openedObject() const { return opened->objects()->list.at(1); }

    std::shared_ptr<Network> network = std::make_shared<Network>(QStringLiteral("Demo"));
    std::shared_ptr<System> system = std::make_shared<System>();
    SubsystemPtr buildingA, floor1, floor2, buildingB;
    DevicePtr opened;
};

} // namespace fake
