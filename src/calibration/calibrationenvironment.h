#pragma once

// What the two calibration procedures work with, filled in by the main window that hosts them,
// and the small pieces both of them share: the device-variant look-ups for any device, the
// logger lines, the "TempCalib" reading, the window's end-of-operation steps.

#include "calibration/calibrationpage.h"
#include "calibration/devicecontext.h"
#include "device/multidevicewindow.h"
#include "session/services.h"

#include <QLocale>
#include <functional>
#include <memory>
#include <optional>

class cConfiguration;
class cMonitorPoints;
class cParam;

namespace calibration {

struct CalibrationEnvironment
{
    // Session (handles, CommandIndex, the communication-failed flag), dialogs (wait cursor),
    // logger, device headings, INI file, clock.
    Services services;
    CalibrationPage *page = nullptr;
    // The device configuration: its parameters are the ones calibrated, and its refresh rule
    // serves the multi-device window's progress.
    cConfiguration *configuration = nullptr;
    // Whether the session's device answers (cached for ten seconds unless forced).
    std::function<bool(bool force)> deviceIsAccessible;
    // The monitoring page's monitor points; the sensor calibration reads "nvoSpaceTemp" there.
    std::function<cMonitorPoints *()> monitorPoints;
    // The multi-device window; none: the scripted one.
    std::function<std::unique_ptr<device::MultiDeviceWindow>()> createMultiDeviceWindow;
    // A device's application version, 0 when it does not answer; none: the device utility's.
    std::function<float(const lns::AppDevicePtr &)> applicationVersion;
    // Hears each device of a multi-device pass before its step runs (index from 1 of count);
    // the lines logged until the next device are its outcome.
    std::function<void(const lns::AppDevicePtr &device, int index, int count)> deviceStarting;
    // Number format of the room-temperature entry.
    QLocale locale = QLocale::system();
};

// The variant and record context of a device template and LonMark object; the session's by
// default.
DeviceContext deviceContext(const CalibrationEnvironment &env, const QString &deviceTemplate = {},
                            const lns::LonMarkObjectPtr &lonMarkObject = {});
float applicationVersion(const CalibrationEnvironment &env, const lns::AppDevicePtr &device);
// A parameter of the device configuration by name; null when there is none.
cParam *parameter(const CalibrationEnvironment &env, const QString &name);
bool parameterAvailable(const CalibrationEnvironment &env, const QString &name);

// The device's "TempCalib" (its manufacturer's sensor calibration) as one number, its bytes
// most significant first; 0 means the device no longer carries it. None when the device's
// template has no such CP; throws TqmError when it cannot be read.
std::optional<qint64> ReadTempCalib(const CalibrationEnvironment &env, const lns::AppDevicePtr &device);

// A line of the logger view: message `id` piece `piece`, optionally followed by a text.
void logMessage(const CalibrationEnvironment &env, int id, int piece, qint32 colour, bool withTime = false);
// The outcome of one device of a multi-device pass, under its heading: " - " and the text.
void logOutcome(const CalibrationEnvironment &env, const QString &text, qint32 colour);
// Brings the logger tab to the front when a red line was written, and forgets that it was.
void showLoggerOnError(const CalibrationEnvironment &env);

} // namespace calibration
