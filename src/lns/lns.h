#pragma once

// The network-services interface: every object and operation the plug-in uses on the LonWorks
// network database and its devices. Objects are shared handles; a failing call throws TqmError.
// Collections are 1-based, by index or by name. The embedded backend (lns/embedded) is the
// product's implementation; anything else (a remote server) would implement the same classes.

#include "base/tqmerror.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>

namespace lns {

// Class ids the plug-in relies on, and ours for the remaining kinds.
enum ClassId : int {
    ObjectServerClass = 0,
    NetworkClass = 1,
    SystemClass = 3,
    SubsystemClass = 4,
    AppDeviceClass = 7,
    LonMarkObjectClass = 28,
    // Not relied on by number anywhere; unique within this interface.
    NetworkVariableClass = 40,
    ConfigPropertyClass = 41,
    DeviceTemplateClass = 42,
    ExtensionRecordClass = 43,
    DataPointClass = 44,
    CollectionClass = 100,
};

// Connection mode of OpenServer: 0 local, 1 remote, 2 remote over "Internet".
enum class ConnectionMode : int { Local = 0, Remote = 1, RemoteInternet = 2 };

class Object;
using ObjectPtr = std::shared_ptr<Object>;

class Object : public std::enable_shared_from_this<Object>
{
public:
    virtual ~Object() = default;
    virtual int classId() const = 0;
    // The owner: a collection for members of collections, whose parent is the object owning it.
    // Null for the object server. Throws when the owner cannot be reached.
    virtual ObjectPtr parent() const = 0;
    virtual QString name() const = 0;
};

// Walks up the parent chain from `from` (inclusive) until an object with the class id is found.
// Null when there is none, or at the first error on the way.
ObjectPtr ancestorByClassId(const ObjectPtr &from, int classId);

template <class T>
class Collection : public Object
{
public:
    int classId() const override { return CollectionClass; }
    virtual int count() const = 0;
    // 1-based; throws TqmError (LnsObjectNotFound) outside 1..count.
    virtual std::shared_ptr<T> item(int index) const = 0;
    // Throws TqmError (LnsObjectNotFound) when no member has that name.
    virtual std::shared_ptr<T> item(const QString &name) const = 0;
    QList<std::shared_ptr<T>> items() const
    {
        QList<std::shared_ptr<T>> all;
        for (int i = 1; i <= count(); ++i)
            all.append(item(i));
        return all;
    }
};

class ConfigProperty;
class NetworkVariable;
class LonMarkObject;
class AppDevice;
class Subsystem;
class System;
class Network;
class DeviceTemplate;
class ExtensionRecord;
class DataPoint;
class ObjectServer;

using ConfigPropertyPtr = std::shared_ptr<ConfigProperty>;
using NetworkVariablePtr = std::shared_ptr<NetworkVariable>;
using LonMarkObjectPtr = std::shared_ptr<LonMarkObject>;
using AppDevicePtr = std::shared_ptr<AppDevice>;
using SubsystemPtr = std::shared_ptr<Subsystem>;
using SystemPtr = std::shared_ptr<System>;
using NetworkPtr = std::shared_ptr<Network>;
using DeviceTemplatePtr = std::shared_ptr<DeviceTemplate>;
using ExtensionRecordPtr = std::shared_ptr<ExtensionRecord>;
using DataPointPtr = std::shared_ptr<DataPoint>;
using ObjectServerPtr = std::shared_ptr<ObjectServer>;

using ConfigProperties = Collection<ConfigProperty>;
using NetworkVariables = Collection<NetworkVariable>;
using LonMarkObjects = Collection<LonMarkObject>;
using AppDevices = Collection<AppDevice>;
using Subsystems = Collection<Subsystem>;
using Systems = Collection<System>;
using Networks = Collection<Network>;

// Format specification of a value: "RAW" gives the decimal byte values separated by one TAB;
// anything else (normally the type's own format name) gives the type's display text.
inline const QString RawFormat = QStringLiteral("RAW");

class ConfigProperty : public Object
{
public:
    int classId() const override { return ConfigPropertyClass; }
    virtual QString formatSpec() const = 0;
    virtual void setFormatSpec(const QString &format) = 0;
    // The type's own format name, the one a CP starts with.
    virtual QString defaultFormatSpec() const = 0;
    // Whole value in the current format. Reading comes from the network database; writing
    // needs the device (throws naming the device when it does not answer; nothing changes then).
    virtual QString value() const = 0;
    virtual void setValue(const QString &text) = 0;
    // One element of an array CP, 0-based, in the current format.
    virtual QString elementValue(int index) const = 0;
    virtual void setElementValue(int index, const QString &text) = 0;
    virtual int elementLength() const = 0; // bytes of one element
    virtual int dimension() const = 0;     // number of elements, 1 for a scalar
    virtual QString typeName() const = 0;  // e.g. "SCPTmaxSendTime"
};

class DataPoint : public Object
{
public:
    int classId() const override { return DataPointClass; }
    virtual QString value() const = 0;          // needs the device
    virtual void setValue(const QString &text) = 0; // needs the device
};

class NetworkVariable : public Object
{
public:
    enum class Direction { Input, Output };
    int classId() const override { return NetworkVariableClass; }
    virtual Direction direction() const = 0;
    // Current value in the current format; reading and writing need the device.
    virtual QString value() const = 0;
    virtual void setValue(const QString &text) = 0;
    virtual int typeIndex() const = 0;          // standard type number, e.g. 105 for SNVT_temp_p
    virtual QString typeName() const = 0;
    virtual bool changeableType() const = 0;
    // Field of a structured value by its field name ("value", "state", ...); throws when the
    // type has no such field.
    virtual DataPointPtr dataPoint(const QString &fieldName) const = 0;
    virtual std::shared_ptr<ConfigProperties> configProperties() const = 0;

    // Monitoring settings. Changes are made between setHold(true) and setHold(false).
    virtual int monitorTag() const = 0; // 0 = not monitored
    virtual void setMonitorTag(int tag) = 0;
    virtual bool pollFlag() const = 0;
    virtual void setPollFlag(bool poll) = 0;
    virtual int pollInterval() const = 0;
    virtual void setPollInterval(int interval) = 0;
    virtual QString formatSpec() const = 0;
    virtual void setFormatSpec(const QString &format) = 0;
    virtual bool reportByException() const = 0;
    virtual void setReportByException(bool on) = 0;
    virtual bool hold() const = 0;
    virtual void setHold(bool hold) = 0;
    // How the server watches the NV while it is monitored and not held: by polls, or bound (the
    // device sends its changes). An event-driven NV is polled when the device cannot send them.
    enum class MonitorPath { None, Polled, Bound };
    virtual MonitorPath monitorPath() const = 0;
};

// A named record of numbered text fields (from 1), kept in the network database.
class ExtensionRecord : public Object
{
public:
    int classId() const override { return ExtensionRecordClass; }
    virtual int fieldCount() const = 0;
    // Throws when the field does not exist.
    virtual QString field(int number) const = 0;
    // Creates missing fields up to `number` (empty).
    virtual void setField(int number, const QString &value) = 0;
};

class ExtensionRecords : public Collection<ExtensionRecord>
{
public:
    virtual bool contains(const QString &name) const = 0;
    // Creates the record when it does not exist; answers it either way.
    virtual ExtensionRecordPtr add(const QString &name) = 0;
};

class LonMarkObject : public Object
{
public:
    int classId() const override { return LonMarkObjectClass; }
    // Position of the object in the device's interface (0 = node object).
    virtual int index() const = 0;
    // Functional profile number (e.g. 8090 for the command module, 0 for the node object).
    virtual int type() const = 0;
    virtual std::shared_ptr<ConfigProperties> configProperties() const = 0;
    virtual std::shared_ptr<NetworkVariables> networkVariables() const = 0;
    virtual std::shared_ptr<ExtensionRecords> extensions() const = 0;
    // The device holding this object (parent of the parent collection).
    virtual AppDevicePtr appDevice() const = 0;
};

class DeviceTemplate : public Object
{
public:
    int classId() const override { return DeviceTemplateClass; }
    virtual QString programId() const = 0;
};

class AppDevice : public Object
{
public:
    int classId() const override { return AppDeviceClass; }
    virtual DeviceTemplatePtr deviceTemplate() const = 0;
    virtual QString programId() const = 0;
    virtual std::shared_ptr<NetworkVariables> networkVariables() const = 0;
    virtual std::shared_ptr<LonMarkObjects> lonMarkObjects() const = 0;
    virtual std::shared_ptr<ConfigProperties> configProperties() const = 0;
    // The subsystems the device is a member of; item 1 is its home subsystem.
    virtual std::shared_ptr<Subsystems> subsystems() const = 0;
    // Throws when the device does not answer.
    virtual void deviceTest(int testType) = 0;
    // Tells the device to calibrate its set-point knob; throws when it does not answer.
    virtual void calibrationTrigger() = 0;
    // Where the device's knob calibration stands; throws when it does not answer.
    enum class KnobCalibration { Calibrated, WaitingForSecondStop, Learning };
    virtual KnobCalibration knobCalibration() const = 0;
    // Version of the application in the device (e.g. 2.1); throws when it does not answer.
    virtual float applicationVersion() const = 0;
    // The device's Neuron ID as the database keeps it (12 hex digits); empty when unknown.
    virtual QString neuronId() const { return {}; }
};

class Subsystem : public Object
{
public:
    int classId() const override { return SubsystemClass; }
    // Levels from the system's top subsystem down to this one, joined by "/"; each level is written
    // as an object name part (objectname::escapePart: a "/" in a name is "\s").
    virtual QString path() const = 0;
    virtual std::shared_ptr<AppDevices> appDevices() const = 0;
    virtual std::shared_ptr<Subsystems> subsystems() const = 0;
};

// Registration record of one plug-in command in a network, for one device template.
struct PlugInCommandRegistration
{
    int registrationNumber = 0;
    QString commandName;
    qint32 commandId = 0;
    qint16 classId = 0;
    QString description;
    QString manufacturerId;
    QString className;
    QString projectName;
    QString version;
    QString deviceTemplate;
};

class System : public Object
{
public:
    int classId() const override { return SystemClass; }
    virtual std::shared_ptr<Subsystems> subsystems() const = 0;
    // One transaction at a time. cancelTransaction restores every value written since the start.
    virtual void startTransaction() = 0;
    virtual void commitTransaction() = 0;
    virtual void cancelTransaction() = 0;
    virtual bool inTransaction() const = 0;
    // Bracket around a series of device writes: openSeries(100) before, closeSeries() after.
    virtual void openSeries(int value) = 0;
    virtual void closeSeries() = 0;
    virtual int openSeriesCount() const = 0;
    // Must succeed before monitoring starts (argument 0).
    virtual void prepareMonitoring(int value) = 0;
};

class Network : public Object
{
public:
    int classId() const override { return NetworkClass; }
    virtual std::shared_ptr<Systems> systems() const = 0;
    // Records that the plug-in serves a command for a device template; false when refused.
    virtual bool registerPlugInCommand(const PlugInCommandRegistration &registration) = 0;
    virtual QList<PlugInCommandRegistration> registeredPlugInCommands() const = 0;
    virtual void close() = 0;
};

class ObjectServer : public Object
{
public:
    using MonitorUpdateHandler = std::function<void(int monitorTag, const QString &value)>;
    using MonitorFailureHandler = std::function<void(int monitorTag, const TqmError &error)>;

    int classId() const override { return ObjectServerClass; }
    ObjectPtr parent() const override { return {}; }
    virtual void open(ConnectionMode mode) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Networks known to the server, by name; opening a network is taking it from here.
    virtual std::shared_ptr<Networks> networks() const = 0;
    // Monitor-update event: raised with the NV's monitor tag and its new value text whenever a
    // monitored NV reports. Answers a handle for unsubscribe.
    virtual int subscribeMonitorUpdates(MonitorUpdateHandler handler) = 0;
    virtual void unsubscribeMonitorUpdates(int handle) = 0;
    // Monitor-failure event: raised, like the update event on the event loop, when a poll of a
    // monitored NV fails because its device does not answer, with the NV's monitor tag and the
    // error (LnsDeviceNotResponding naming the device). Once per outage: not again for that NV
    // until its device answers again. Event-driven NVs raise it when the server learns that
    // their device went offline. A server that cannot tell never raises it.
    virtual int subscribeMonitorFailures(MonitorFailureHandler) { return 0; }
    virtual void unsubscribeMonitorFailures(int) {}
    // Resolves an object name (see ObjectNameParser) to the object; null when not found.
    virtual ObjectPtr objectByName(const QString &objectName) = 0;
};

// Changing and checking NV types (the NV-type utility).
class NvTypeUtility
{
public:
    struct Result
    {
        bool success = false;
        QString errorText;
        NetworkVariablePtr networkVariable; // refreshed reference after a change
    };
    virtual ~NvTypeUtility() = default;
    virtual Result changeType(const NetworkVariablePtr &nv, int typeIndex, const QString &programId, int scope) = 0;
    virtual Result checkType(const NetworkVariablePtr &nv, int typeIndex, const QString &programId, int scope) = 0;
};

} // namespace lns
