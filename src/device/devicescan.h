#pragma once

// Finding the devices of a network that a set can be written to or a calibration sent to: the
// walk through every subsystem, the per-device checks and the item handed back for each device.
// Both variants of the multi-device window (interactive and scripted) use this one scan, so they
// offer exactly the same devices.

#include "lns/lns.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

struct SessionState;

namespace device {

// What the window hands back for each picked device.
enum class MultiDeviceItems {
    LonMarkObjects, // the device's LonMark object matching the opened one (multi-device write)
    AppDevices,     // the device itself (calibration copies and resets)
};

// Everything the window is opened with.
struct MultiDeviceRequest
{
    lns::NetworkPtr network;
    lns::SystemPtr system;
    lns::AppDevicePtr device;              // the opened device: never offered
    lns::LonMarkObjectPtr lonMarkObject;   // the opened LonMark object: the pattern for matches
    int language = 0;                      // 0 English, 1000 German
    QObject *owner = nullptr;              // the owner window; opaque to the core
    QString title;
    // Offer only devices with the opened device's program ID.
    bool sameProgramIdOnly = false;
    QString iniFileName;                   // the plug-in INI file, for event handlers' look-ups
    MultiDeviceItems items = MultiDeviceItems::LonMarkObjects;
    // Devices to offer already picked: device names, device object names or LonMark object
    // names (as deviceObjectName/lonMarkObjectName give them), compared without regard to case.
    QStringList preselected;

    // A request about the session's device: its network, system, device, LonMark object and
    // language, with the owner window, its caption and the plug-in INI file.
    static MultiDeviceRequest forSession(const SessionState &session, QObject *owner, const QString &title,
                                         const QString &iniFileName);
};

// One device that the scan offers.
struct FoundDevice
{
    lns::AppDevicePtr device;
    lns::LonMarkObjectPtr lonMarkObject; // the matching object; null when items are devices
    QString name;
    QString subsystemPath;               // home subsystem, as lns::Subsystem::path()
    QString templateName;
    QString objectName;                  // of the device
    QString lonMarkObjectName;           // of the matching object; empty when items are devices
    bool preselected = false;

    // The object handed back when this device is picked.
    lns::ObjectPtr returnedItem() const;
    // True when `entry` is the device's name, its object name or its LonMark object's name.
    bool isNamedBy(const QString &entry) const;
    bool isNamedByAny(const QStringList &entries) const;
};

struct DeviceScanResult
{
    QList<FoundDevice> offered;   // in the order of the walk
    QStringList unreadable;       // "<device or subsystem>: <error>" for objects the walk skipped
    bool cancelled = false;
};

// The calls a scan makes back to its caller, all on the calling thread.
struct DeviceScanHooks
{
    // Raised for every subsystem and device visited; `done` of `total` subsystems walked.
    std::function<void(int done, int total)> progress;
    // Raised once per device found (the opened device excepted); true keeps it out of the offer.
    std::function<bool(const lns::AppDevicePtr &device)> notValidated;
    // Asked between devices; true ends the walk early.
    std::function<bool()> cancelRequested;
};

class DeviceScan
{
public:
    static DeviceScanResult run(const MultiDeviceRequest &request, const DeviceScanHooks &hooks);

    // The LonMark object of `device` that matches `pattern`: same functional profile and, among
    // those, the same position in the interface. Null when the device has none.
    static lns::LonMarkObjectPtr matchingLonMarkObject(const lns::AppDevicePtr &device,
                                                       const lns::LonMarkObjectPtr &pattern);
};

// Object names as the command line and automation interface use them ("." separated, escaped).
QString deviceObjectName(const lns::NetworkPtr &network, const lns::AppDevicePtr &device);
QString lonMarkObjectName(const lns::NetworkPtr &network, const lns::LonMarkObjectPtr &object);

} // namespace device
