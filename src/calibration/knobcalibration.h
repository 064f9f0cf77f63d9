#pragma once

// The turning knob's calibration. The device learns its knob's end positions itself; the
// plug-in sends it the calibration trigger and tells the installer what to do. The page offers
// one of three procedures (see pagearrangement.h):
//   - two-stop: the first "Calibrate" triggers, the knob is turned to the other limit stop, and
//     the second "Calibrate" triggers again. The 500 ms timer blinks "Other Limit Stop ..." for
//     about 30 s (61 ticks); after that the page says the calibration failed, but the device
//     still waits, so a later second press completes it and is recorded. The device tells where
//     its calibration stands: a first press ends a calibration still waiting for its second
//     stop before it starts, and a second press that leaves the knob uncalibrated is a failure;
//   - reset and centre: one trigger, on this device or on devices picked in the multi-device
//     window (those "CalibTransfer" accepts). A device takes it when the plug-in's own device
//     has a push-button panel, or when its application has the newer calibration.

#include "calibration/calibrationenvironment.h"

#include <optional>

class Timer;

namespace calibration {

struct PickedDevice;

class TurningKnobCalibration
{
public:
    static constexpr int IntervalMs = 500;
    static constexpr int TimeoutTicks = 61;

    // `timer` is the window's 500 ms calibration timer; its ticks are to come to Tick().
    TurningKnobCalibration(CalibrationEnvironment env, Timer *timer);
    ~TurningKnobCalibration();

    // Button 1: first or second press of the two-stop calibration.
    void Calibrate();
    void Tick();
    // Set between the first and the second press.
    bool KnobCalibPending() const { return m_pending; }
    int tickCount() const { return m_tick; }

    // Buttons 3 and 5: reset (or centre) calibration of this device.
    void CalibrateThisDevice();
    // Buttons 4 and 6: the same on several devices.
    void CalibrateSeveralDevices();

private:
    void firstPress();
    void endPendingCalibration();
    // None when the device cannot tell.
    std::optional<lns::AppDevice::KnobCalibration> deviceKnobCalibration() const;
    void secondPress();
    void showResult(int piece, controls::Colour colour);
    void stopWaiting();
    void triggerOn(const PickedDevice &target, bool panel);

    CalibrationEnvironment m_env;
    Timer *m_timer;
    bool m_pending = false;
    int m_tick = 0;
};

} // namespace calibration
