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
#include "lns/lns.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <memory>

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
    int nvPolls = 0; // polled monitor points, one per deliverMonitorUpdates() and NV
    int deviceTests = 0;
    int calibrationTriggers = 0;
    int total() const { return cpReads + cpWrites + nvReads + nvWrites + nvPolls + deviceTests + calibrationTriggers; }
    MessageCounts &operator+=(const MessageCounts &other);
};

// tqmHome() of $TQM_HOME: the variable when set, else the generic data location + "/tqm".
QString defaultHome();
// <home>/networks/<name>.tqmnet, with characters that file systems refuse escaped as %XX.
QString networkFilePath(const QString &home, const QString &networkName);
// Names of the networks in <home>/networks, sorted.
QStringList networkNames(const QString &home);

class EmbeddedObjectServer : public lns::ObjectServer
{
public:
    // A closed server on `home`; open() it before use. The clock stamps calibration triggers.
    static std::shared_ptr<EmbeddedObjectServer> create(const QString &home = defaultHome(),
                                                        const Clock &clock = SystemClock::instance());
    ~EmbeddedObjectServer() override;

    QString name() const override;
    void open(lns::ConnectionMode mode) override;
    void close() override;
    bool isOpen() const override;
    std::shared_ptr<lns::Networks> networks() const override;
    int subscribeMonitorUpdates(MonitorUpdateHandler handler) override;
    void unsubscribeMonitorUpdates(int handle) override;
    // Object names: "Network", "Network.Level1[.Level2...]" (a subsystem),
    // "Network.Level1[...].Device" and "Network.Level1[...].Device.LonMarkObject" (see
    // lns/objectname.h). A name that fits both a LonMark object and a device is the object.
    lns::ObjectPtr objectByName(const QString &objectName) override;

    // ---- embedded-only API ----
    QString home() const;
    // networks()->item(name), throwing TqmError(LnsObjectNotFound) when it does not exist.
    lns::NetworkPtr network(const QString &networkName) const;
    // objectByName narrowed to a kind; throws TqmError(LnsObjectNotFound) naming the object.
    lns::LonMarkObjectPtr lonMarkObject(const QString &objectName);
    lns::AppDevicePtr appDevice(const QString &objectName);

    // Device state as another process (or a test) would set it; stored in the database.
    static void setDeviceOnline(const lns::AppDevicePtr &device, bool online);
    static bool isDeviceOnline(const lns::AppDevicePtr &device);
    static void setApplicationVersion(const lns::AppDevicePtr &device, double version);
    // The version the device answers with when online (its own, else its template's).
    static double configuredApplicationVersion(const lns::AppDevicePtr &device);
    // Each CalibrationTrigger the device received, oldest first (stored in the database).
    static QList<QDateTime> calibrationTriggers(const lns::AppDevicePtr &device);

    MessageCounts messageCounts(const lns::AppDevicePtr &device) const;
    MessageCounts totalMessageCounts() const;
    void resetMessageCounts();

    // Reports every monitored NV (monitor tag != 0, hold off, device online) whose value
    // differs from the value last reported to this server (a newly monitored NV reports
    // once) to the subscribers. Polled NVs count one poll message each. Answers the number of
    // updates raised. The host calls it from a timer; tests call it directly.
    int deliverMonitorUpdates();

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

// The object name of a LonMark object or a device, as the plug-in takes it after "/OBJECTNAME:".
QString objectName(const lns::LonMarkObjectPtr &lonMarkObject);
QString objectName(const lns::AppDevicePtr &device);

// Creates a network database from a description (replacing an existing one only when
// `replace` is set; otherwise that is an error):
//   { "name": "Small",
//     "subsystems": [ { "path": "Building/Floor 1",
//                       "devices": [ { "name": "CM 1",
//                                      "template": "TQM_CM_L4"  (built-in) or { template object },
//                                      "online": true, "applicationVersion": 2.1,
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
// built-in ":/TqmCmdModule.ini"). All devices are online.
QString createDemoNetwork(const QString &home, const QString &networkName, int deviceCount = 24,
                          const QString &iniPath = {}, bool replace = false);

// The device template names the INI file lists, in order (section
// "velto TqmCommandModule Templates 1.0", keys Template1, Template2, ...).
QStringList iniTemplateNames(const QString &iniPath = {});

} // namespace embedded
