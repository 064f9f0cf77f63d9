#pragma once

// The process-wide session state of the plug-in: created by InitApp, torn down by EndApp.

#include "lns/lns.h"

#include <QDateTime>
#include <QString>
#include <array>
#include <memory>

class RegResultTarget;

// One command the plug-in serves, as registered with the network tools.
struct CommandRecord
{
    bool enabled = false;
    qint32 commandId = 0;
    qint16 classId = 0;
    qint16 registrationNumber = 0;
    QString name;
    QString description;
};

namespace commands {
constexpr int Configure = 1;
constexpr int Calibrate = 2;
constexpr int Monitor = 3;
constexpr int StandAlone = 100;
constexpr qint32 Register = 50; // the registration command of the network tools
} // namespace commands

struct SessionState
{
    bool aborted = false;
    bool unregistering = false;
    bool remote = false;
    QString networkInterfaceName;
    bool hostSuppliedObjects = false;
    bool initialised = false;
    // Records 1 to 4 at indexes 1 to 4 (index 0 unused), as the command index counts them.
    std::array<CommandRecord, 5> commandTable;
    qint32 commandIndex = 0;
    QString programIdsToRegister;
    std::shared_ptr<RegResultTarget> regResult;
    QString version;
    QString manufacturerName;
    qint16 language = 0;
    QString productKey;
    QString helpFilePath;
    QString appDocPath;
    QString deviceName;
    QString lonMarkObjectName;

    // Network objects of the session.
    lns::ObjectServerPtr objectServer;
    std::shared_ptr<lns::Networks> networks;
    lns::NetworkPtr network;
    std::shared_ptr<lns::Systems> systems;
    lns::SystemPtr system;
    std::shared_ptr<lns::Subsystems> subsystems;
    lns::SubsystemPtr subsystem;
    std::shared_ptr<lns::AppDevices> appDevices;
    lns::AppDevicePtr appDevice;
    std::shared_ptr<lns::LonMarkObjects> lonMarkObjects;
    lns::LonMarkObjectPtr lonMarkObject;
    QString deviceTemplate;
    // The object server the host tool handed in; the monitoring page monitors through it.
    lns::ObjectServerPtr hostObjectServer;

    // Set by the monitoring page when a monitored device stops answering. (The logger keeps
    // its own error flag: HostLogger::loggerOnErrorFlag.)
    bool communicationFailed = false;
    bool parametersChangedFlag = false;

    // Memory of the device accessibility check.
    QDateTime lastAccessCheck;
    bool lastAccessible = false;

    // The window title, also the title of the session's message boxes.
    // "<device> / <LonMark object>"; without a device (stand-alone start) the program's name.
    QString windowTitle() const;
    lns::ConnectionMode connectionMode() const;
};
