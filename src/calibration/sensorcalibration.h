#pragma once

// The final calibration of the command module's internal temperature sensor, and copying its
// result to other devices.
//
// The installer enters the room temperature measured next to the device (text box 3, -20 to
// 50 °C, decimal comma or point). "Calibrate" then runs on the 200 ms timer with the window
// disabled, 21 ticks in all:
//   tick 0   the device is made to report its uncorrected internal reading: TempMode internal
//            (where the device has one), OffsetTemp 0, MinDeltaTemp 0.1 K so that every small
//            change is sent; the values before are kept;
//   tick 10  two seconds later the reading of "nvoSpaceTemp" is taken and OffsetTemp set to
//            the entered temperature minus the reading; TempMode and MinDeltaTemp go back;
//   tick 20  the calibration is recorded and the page arranged again (the copy frame may
//            appear).
// A failure at tick 10 writes the old values back, the offset byte for byte. Failures are: the
// monitoring page saw the device stop answering; the reading is missing or not a temperature (an
// event-driven point of a silent device reads empty, and the offset would be computed from 0); a
// write did not reach the device. When the old values cannot be written back either, the timer
// keeps trying every five seconds until the device answers or a new run starts.
//
// "Copy ..." writes this device's offset to the devices picked in the multi-device window
// (those whose program id "CalibTransfer" lists) that run an application with the newer
// calibration and still carry their manufacturer's calibration; each device's offset and its
// record go into one transaction.

#include "calibration/calibrationenvironment.h"

#include <functional>
#include <optional>
#include <utility>

class Timer;

namespace calibration {

struct PickedDevice;

// OffsetTemp's two bytes (high, low) as the signed offset they hold, in hundredths of a kelvin.
qint32 SignedOffset(qint32 value1, qint32 value2);
// A signed offset as OffsetTemp's two bytes (high, low), 16-bit two's complement.
std::pair<qint32, qint32> OffsetBytes(qint32 offset);
// A monitored "nvoSpaceTemp" value (RAW text of two bytes) in hundredths of a degree; none when
// the text holds no such value or the sensor reports its invalid value.
std::optional<qint32> SpaceTempHundredths(const QString &rawText);

class TemperatureSensorCalibration
{
public:
    static constexpr int IntervalMs = 200;
    static constexpr int PreparationTick = 0;
    static constexpr int MeasurementTick = 10;
    static constexpr int CompletionTick = 20;
    // After a failure that left the device without its old values: ticks between attempts.
    static constexpr int RestoreRetryTicks = 25;
    static constexpr double LowestRoomTemperature = -20;
    static constexpr double HighestRoomTemperature = 50;

    // `timer` is the window's 200 ms calibration timer; its ticks are to come to Tick().
    TemperatureSensorCalibration(CalibrationEnvironment env, Timer *timer);
    ~TemperatureSensorCalibration();

    // ---- the room-temperature entry ----
    void RoomTemperatureChanged();
    // Leaving the entry: refused while it is out of range; otherwise it is rounded to one
    // decimal and shown in the locale's format.
    void RoomTemperatureValidate(bool *cancel);
    // The entered temperature in hundredths of a degree.
    qint32 RoomTemperatureTarget() const { return m_target; }

    // ---- "Calibrate" ----
    void Start();
    void Tick();
    bool isRunning() const;
    int tickCount() const { return m_tick; }
    // A failed run could not write the old values back yet; the timer keeps trying.
    bool restorePending() const { return m_restorePending; }

    // The window closes: a run that changed the device writes its old values back now (or, when
    // the device does not answer, leaves them to the restore record); one past its measurement
    // completes.
    void FinishBeforeClose();

    // ---- "Copy ..." ----
    void CopyToSeveralSensors();

private:
    void prepare();
    // Answers whether the run goes on.
    bool measure();
    void complete();
    void fail();
    bool writeOffset(qint32 offset);
    bool writeSavedModeAndMinDelta();
    // Writes back the values from before the run; false when one did not reach the device.
    bool restoreSavedValues();
    // Runs the writes in one transaction, which also clears the restore record unless told not
    // to; false, with nothing of it kept, when a write or the commit failed.
    bool inTransaction(const std::function<bool()> &writes, bool clearRecord = true);
    void retryRestore();
    std::optional<qint32> readSpaceTemp() const;
    void showResult(int piece, controls::Colour colour);
    void copyTo(const PickedDevice &target, qint32 offsetToCopy);

    CalibrationEnvironment m_env;
    Timer *m_timer;
    qint32 m_target = 2100; // the entry is preset to 21,0
    int m_tick = 0;
    // The values before the run.
    std::optional<qint32> m_savedTempMode;
    qint32 m_savedOffset = 0;
    float m_savedMinDelta = 0;
    // A write of the preparation did not reach the device.
    bool m_preparationFailed = false;
    bool m_restorePending = false;
    // The restore record of this run is in the network database.
    bool m_recorded = false;
    int m_restoreWait = 0;
};

} // namespace calibration
