#pragma once

// The embedded object server: the program's own implementation of the network-services
// interface (lns/lns.h). Each network is one SQLite database file
//     <home>/networks/<escaped network name>.tqmnet
// where home is $TQM_HOME when set, else the generic data location + "/tqm". The devices are
// simulated beside the database: a device is online or offline (stored in the database, so
// another process such as `tqm-netdb device ... --offline` switches it), has an application
// version and remembers its calibration triggers. CP values are read from the database even
// when the device is offline; everything else that talks to the device throws
// TqmError(LnsDeviceNotResponding) for an offline device and changes nothing.
//
// Typical use (tests included):
//     QTemporaryDir dir; qputenv("TQM_HOME", dir.path().toUtf8());
//     embedded::createDemoNetwork(dir.path(), "Demo");            // or createNetwork(...)
//     auto server = embedded::EmbeddedObjectServer::create(dir.path());
//     server->open(lns::ConnectionMode::Local);
//     auto lmo = server->lonMarkObject("Demo.Building A.Floor 1.CM 1\\.01.CommandModule");
//
// A System transaction is a database transaction: cancel restores every value written since
// its start, commit makes them visible to other connections and processes. Two processes may
// work on one network at once (WAL journal, 5 s busy timeout); a transaction holds the write
// lock until it ends.

#include "lns/clock.h"
#include "lns/embedded/commandmodulesim.h"
#include "lns/embedded/devicelink.h"
#include "lns/lns.h"
#include "lns/timer.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace embedded {

class NetDb;
struct ServerState;

// Device messages a real network would carry, counted per device by one server instance.
struct MessageCounts
{
    int cpReads = 0;
    int cpWrites = 0;
    int nvReads = 0;
    int nvWrites = 0;
    int nvPolls = 0; // polls of monitored NVs
    int deviceTests = 0;
    int calibrationTriggers = 0;
    int total() const { return cpReads + cpWrites + nvReads + nvWrites + nvPolls + deviceTests + calibrationTriggers; }
    MessageCounts &operator+=(const MessageCounts &other);
};

// <home>/networks/<name>.tqmnet, with characters that file systems refuse escaped as %XX.
QString networkFilePath(const QString &home, const QString &networkName);
// Names of the networks in <home>/networks, sorted.
QStringList networkNames(const QString &home);

class EmbeddedObjectServer : public lns::ObjectServer
{
public:
    // A closed server on `home`; open() it before use. The clock stamps calibration triggers
    // and drives the simulated devices; the timers deliver monitor updates (see monitorengine.h).
    // Tests pass a ManualClock with a ManualTimerFactory on it and advance the clock.
    static std::shared_ptr<EmbeddedObjectServer> create(const QString &home,
                                                        const Clock &clock = SystemClock::instance(),
                                                        TimerFactory &timers = QtTimerFactory::instance());
    ~EmbeddedObjectServer() override;

    QString name() const override;
    void open(lns::ConnectionMode mode) override;
    void close() override;
    bool isOpen() const override;
    std::shared_ptr<lns::Networks> networks() const override;
    int subscribeMonitorUpdates(MonitorUpdateHandler handler) override;
    void unsubscribeMonitorUpdates(int handle) override;
    int subscribeMonitorFailures(MonitorFailureHandler handler) override;
    void unsubscribeMonitorFailures(int handle) override;
    // Object names: "Network", "Network.Level1[.Level2...]" (a subsystem),
    // "Network.Level1[...].Device" and "Network.Level1[...].Device.LonMarkObject" (see
    // lns/objectname.h). A name that fits both a LonMark object and a device is the object.
    lns::ObjectPtr objectByName(const QString &objectName) override;

    // ---- embedded-only API ----
    QString home() const;
    // Opens the networks for reading only (set before open()): nothing in the home is created
    // or changed, so a home on a read-only medium can be listed and checked. Writing then
    // throws TqmError(LnsDatabase).
    void setReadOnly(bool readOnly);
    // networks()->item(name), throwing TqmError(LnsObjectNotFound) when it does not exist.
    lns::NetworkPtr network(const QString &networkName) const;
    // objectByName narrowed to a kind; throws TqmError(LnsObjectNotFound) naming the object.
    lns::LonMarkObjectPtr lonMarkObject(const QString &objectName);
    lns::AppDevicePtr appDevice(const QString &objectName);
    // A device of the network by its object name (with or without the network part) or by its
    // name alone when that is unique; throws TqmError(LnsObjectNotFound) saying which.
    lns::AppDevicePtr findDevice(const QString &networkName, const QString &name);

    // Device state as another process (or a test) would set it; stored in the database.
    static void setDeviceOnline(const lns::AppDevicePtr &device, bool online);
    static bool isDeviceOnline(const lns::AppDevicePtr &device);
    static void setApplicationVersion(const lns::AppDevicePtr &device, double version);
    // The version the device answers with when online (its own, else its template's).
    static double configuredApplicationVersion(const lns::AppDevicePtr &device);
    // Each CalibrationTrigger the device received, oldest first (stored in the database).
    static QList<QDateTime> calibrationTriggers(const lns::AppDevicePtr &device);

    // The simulated command module of a device (commandmodulesim.h), at the server's clock.
    // A device is simulated once its room was first set (the demo network's devices from the
    // start); its room state is stored in the database, so another process acts on it.
    static bool isSimulated(const lns::AppDevicePtr &device);
    // The device's LON/IP link (devicelink.h); nothing for a device reached in the database.
    static std::optional<LinkRecord> deviceLink(const lns::AppDevicePtr &device);
    static void setDeviceLink(const lns::AppDevicePtr &device, const std::optional<LinkRecord> &record);
    // The tool's own LON/IP node in a network (devicelink.h); validated before it is kept.
    ToolNodeAddress toolNodeAddress(const QString &networkName) const;
    void setToolNodeAddress(const QString &networkName, const ToolNodeAddress &address);
    // The device's room, the defaults when it is not simulated yet.
    static cmsim::RoomState roomState(const lns::AppDevicePtr &device);
    static cmsim::Settings simulationSettings(const lns::AppDevicePtr &device);
    using RoomChange = std::function<cmsim::RoomState(const cmsim::RoomState &, const cmsim::Settings &, const QDateTime &)>;
    // Applies a change (one of the cmsim transitions) to the device's room and simulates it
    // from then on.
    static void changeRoom(const lns::AppDevicePtr &device, const RoomChange &change);
    static QString knobCalibrationText(const lns::AppDevicePtr &device);

    MessageCounts messageCounts(const lns::AppDevicePtr &device) const;
    MessageCounts totalMessageCounts() const;
    void resetMessageCounts();

    // NVs monitored through this server now.
    int monitoredCount() const;

    // The NV-type utility working on this server's networks.
    static std::unique_ptr<lns::NvTypeUtility> createNvTypeUtility();

private:
    explicit EmbeddedObjectServer(std::shared_ptr<ServerState> state);
    friend class NetworksCollection;
    std::shared_ptr<NetDb> openNetworkDb(const QString &networkName) const;

    std::shared_ptr<ServerState> m_state;
    bool m_open = false;
    mutable QList<std::shared_ptr<NetDb>> m_openNetworks;
};

using EmbeddedObjectServerPtr = std::shared_ptr<EmbeddedObjectServer>;

// One device of a network as a network tool lists it.
struct DeviceEntry
{
    QString subsystemPath; // "Building A/Floor 1", as lns::Subsystem::path()
    QString name;
    QString templateName;
    QString programId;
    bool online = false;
    double applicationVersion = 0; // as configuredApplicationVersion answers it
    QString objectName;            // the device's
    QString commandModuleName;     // its command-module object's object name; empty when it has none
};

// Every device of the network, subsystem by subsystem (a subsystem's devices before those of
// the subsystems below it), read with a statement for the subsystems and one for the devices.
QList<DeviceEntry> listDevices(const lns::NetworkPtr &network);
// The same, handed to `each` one by one as they are made: all that can fail (the statements and
// the device templates) is read before the first device is handed on.
void forEachDevice(const lns::NetworkPtr &network, const std::function<void(const DeviceEntry &)> &each);

// The object name of a LonMark object or a device, as the plug-in takes it after "/OBJECTNAME:".
QString objectName(const lns::LonMarkObjectPtr &lonMarkObject);
QString objectName(const lns::AppDevicePtr &device);
// The device's command-module object (functional profile 8090); null when it has none.
lns::LonMarkObjectPtr commandModuleOf(const lns::AppDevicePtr &device);

// Creates a network database from a description (replacing an existing one only when
// `replace` is set; otherwise that is an error):
//   { "name": "Small",
//     "subsystems": [ { "path": "Building/Floor 1",
//                       "devices": [ { "name": "CM 1",
//                                      "template": "TQM_CM_L4"  (built-in) or { template object },
//                                      "online": true, "applicationVersion": 2.1,
//                                      "simulated": true,   (a simulated command module, see
//                                                            commandmodulesim.h; default false)
//                                      "cpValues": { "PanelType": "3\t4",           device CP
//                                                    "1/nciTmpOffset": "0\t20",     CP of LonMark object index 1
//                                                    "1/nvoSpaceTemp/nciSndHrtBtNV13": "0\t100" },  NV's CP
//                                      "nvValues": { "1/nvoSpaceTemp": "8\t52" } } ] } ] }
// Template objects are described in devicetemplate.h. Answers the network's file path.
// Throws TqmError naming what is wrong.
QString createNetwork(const QString &home, const QJsonObject &description, bool replace = false);

// The demo network: `deviceCount` command modules spread over subsystems "Building A/Floor 1",
// "Building A/Floor 2", "Building B/Floor 1", ... (8 per floor), named "CM <n>.<nn>" (n counts
// floors through the network, so names are unique: "CM 1.01" ... "CM 3.08"), using
// every device template the plug-in INI file lists in turn (read from `iniPath`, default the
// built-in ":/TqmCmdModule.ini"). All devices are online and simulated command modules.
QString createDemoNetwork(const QString &home, const QString &networkName, int deviceCount = 24,
                          const QString &iniPath = {}, bool replace = false);
// The demo network's description (for createNetwork) with the given templates in turn.
constexpr int DemoDevicesPerFloor = 8;
constexpr int DemoFloorsPerBuilding = 2;
QJsonObject demoNetworkDescription(const QString &networkName, int deviceCount, const QStringList &templates);

// The device template names the INI file lists, in order (section
// "velto TqmCommandModule Templates 1.0", keys Template1, Template2, ...).
QStringList iniTemplateNames(const QString &iniPath = {});

} // namespace embedded
