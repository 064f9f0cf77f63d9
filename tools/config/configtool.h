#pragma once

// tqm-config's commands on the plug-in's own core: reading a device into a parameter set file,
// showing and comparing sets of devices and files, the multi-device write of a file, and the
// multi-device calibration passes. Every command works the way the plug-in's window does it,
// through the same configuration, transfer, multi-device and calibration code; what a window
// would show, the tool prints.

#include "host/devicesession.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/inifile.h"
#include "lns/registryaccess.h"
#include "toolparts.h"

#include <QJsonObject>
#include <QTemporaryDir>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <memory>

class cConfiguration;
class DeviceSession;
namespace device {
struct ShownParameter;
}

namespace configtool {

struct Setup
{
    QString home;       // the networks and the registry (TQM_HOME)
    QString iniPath;    // the plug-in INI file
    bool json = false;  // results as one JSON document
    // A progress line on standard error (it is a terminal).
    bool progress = false;
};

// One parameter whose shown value differs between two sets.
struct Change
{
    QString name;
    QString oldValue; // as shown, with its unit; "not available" when the set lacks it
    QString newValue;
};

// The outcome of one device of write, copy-calibration or reset-knob.
struct DeviceResult
{
    enum class Status { Written, Done, Failed, Skipped, Planned };
    QString object;
    Status status = Status::Failed;
    QString reason;        // why it failed or was skipped
    QList<Change> changes; // a dry run: what the write would change
};

QString statusName(DeviceResult::Status status);

// The device a set is read from or compared with, with its configuration built and read.
struct OpenedDevice;

class ConfigTool
{
public:
    ConfigTool(Setup setup, QTextStream &out, QTextStream &err);
    ~ConfigTool();

    // Exit codes: 0 success (diff: equal), 1 failure (diff: different), 2 wrong arguments.
    int read(const QString &object, const QString &outputFile);
    int show(const QString &objectOrFile);
    int diff(const QString &a, const QString &b);
    int write(const QString &file, const QStringList &objects, bool dryRun);
    // write: keys of the set that no parameter has, and empty values, are reported but do not
    // stop the write (by default they fail it: what the file meant would not be written).
    void setIgnoreUnknown(bool ignore) { m_ignoreUnknown = ignore; }
    int copyCalibration(const QString &from, const QStringList &to);
    int resetKnob(const QStringList &objects);

    // The command-module objects of every device of a network, as `tqm-netdb list` names them.
    QStringList allObjects(const QString &network);
    // The objects a results document of an earlier write names as failed.
    static QStringList failedObjects(const QJsonObject &results);
    // The failed objects of a --json results file; throws TqmError naming the file when it is
    // not a regular file of at most MaxResultsBytes holding a write's results.
    static QStringList failedObjectsOfFile(const QString &path);
    static constexpr qint64 MaxResultsBytes = 16 * 1024 * 1024;

    // The results of the last write, copy-calibration or reset-knob.
    const QList<DeviceResult> &results() const { return m_results; }
    embedded::EmbeddedObjectServer &server();

private:
    std::unique_ptr<OpenedDevice> open(const QString &object, int commandIndex);
    // Reads the set from the device; throws TqmError naming the device and why.
    void readSet(OpenedDevice &opened);
    // A set from a file: interpreted on a device of its program id made for the purpose.
    std::unique_ptr<OpenedDevice> openFile(const QString &file);
    std::unique_ptr<OpenedDevice> openOperand(const QString &objectOrFile);
    // Loads the file into the device's set; the reason when the window would refuse it.
    QString loadFile(OpenedDevice &opened, const QString &file, DeviceResult::Status *refusal);
    // The LonMark object of a device's or object's name (resolved once, then remembered), and
    // that object's own object name.
    lns::LonMarkObjectPtr lonMarkObject(const QString &object);
    QString objectNameOf(const QString &object);
    lns::LonMarkObjectPtr findLonMarkObject(const QString &object);

    // One set to the devices of one program id: loaded into the first that can be read (the
    // base), then planned for or written to each of `objects`.
    void writeGroup(const QString &file, const QStringList &objects, bool dryRun);
    // The first of `objects` whose set can be read, null when none; the ones before it failed,
    // `targets` gets it and those after it.
    std::unique_ptr<OpenedDevice> openBase(const QStringList &objects, QStringList &targets);
    // --dry-run: each target's changes, from what it holds to the base's loaded set.
    void planWrite(const OpenedDevice &base, const QList<device::ShownParameter> &baseAsRead,
                   const QStringList &targets);
    void writeTargets(OpenedDevice &base, const QStringList &targets);
    // A device's one result of this run.
    DeviceResult &resultOf(const QString &object);
    void addResult(const DeviceResult &result);
    void fail(const QString &object, DeviceResult::Status status, const QString &reason);
    void finishResults(const QString &command, QJsonObject document);
    void progress(const QString &text);
    void endProgress();
    DeviceSessionParts parts();

    Setup m_setup;
    QTextStream &m_out;
    QTextStream &m_err;
    IniFile m_ini;
    std::unique_ptr<RegistryAccess> m_registry;
    ToolLogger m_logger;
    ToolDialogs m_dialogs{m_logger};
    qint16 m_language = 0;
    embedded::EmbeddedObjectServerPtr m_server;
    // Scratch networks for files, removed with the tool.
    std::unique_ptr<QTemporaryDir> m_scratchHome;
    embedded::EmbeddedObjectServerPtr m_scratchServer;
    QList<DeviceResult> m_results;
    QHash<QString, qsizetype> m_resultIndex; // write's results by object name
    // Each object name is resolved once: its LonMark object and that object's own name.
    QHash<QString, std::pair<lns::LonMarkObjectPtr, QString>> m_resolved;
    bool m_progressShown = false;
    bool m_ignoreUnknown = false;
    // The remarks of the last loadFile: keys it left, values it did not take.
    QStringList m_setRemarks;
    QStringList m_reportedRemarks;
};

} // namespace configtool
