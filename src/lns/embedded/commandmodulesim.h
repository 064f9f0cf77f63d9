#pragma once

// The simulated command module: what a room climate operating unit does with its room, its
// occupant and its configuration. Its behaviour is a pure function of three things, so that a
// test gets the same answer every time:
//   - the room and the occupant (RoomState): room temperature, the internal sensor's deviation,
//     the knob position, the toggle switch, the effect of the push buttons, the knob's
//     calibration; kept per device in the network database, so another process
//     (`tqm-netdb sim`) can act on it;
//   - the device's configuration (Settings): its CPs, and the external temperature nviSpaceTemp;
//   - the time of an injected clock.
// Changes of the room (RoomState transitions below) take the settings and the time, because the
// device reacts at that moment (what it last sent, which limit the knob rested on).
//
// The device model (temperatures and offsets in hundredths of a kelvin):
//   internal reading  = room temperature + sensor error + nciTmpOffset
//   nvoSpaceTemp      = by nciTempMode: 2 internal: the internal reading; 0 override: the external
//                       nviSpaceTemp when valid, else internal; 1 average: the mean of both when
//                       the external one is valid, else internal.
//                       Sent when it differs from the value sent last by at least nciTmpMinDelta
//                       (any change when 0), and at every heartbeat (nciSndHrtBtNV13, else the
//                       block's nciSndHrtBt; 0 = none), counted from the last send: a change
//                       below the minimum shows at the next heartbeat.
//   nvoSetptOffset    = knob offset + button offset, within ± nciSetPtDeltaRange (0: always 0).
//                       The knob points at an offset; the device takes it within the range and
//                       in steps of nciSetPtDeltaStep, and only while the knob is calibrated.
//                       Each set-point button press moves the button offset by one step.
//   nvoFanSpeed       = SNVT_switch of the fan level L of N = nciDiscLevels levels:
//                       value (100 div N) × 2 × L half-percent, state ON when L ≥ 1. The fan
//                       buttons move L within 0..N; in fan mode the switch sets L from
//                       nciFanSpeedOn (up) or nciFanSpeedOff (down).
//   nvoHeatCool       = by the switch in HVAC-app mode (nciButtonMode 0): nciHvacModeOn /
//                       nciHvacModeOff; HVAC_AUTO otherwise.
//   nvoOccManCmd      = by the switch in occupancy mode (nciButtonMode 2): nciOccCmdOn /
//                       nciOccCmdOff; OC_NUL otherwise.
// Knob calibration, changed by CalibrationTrigger:
//   - two-stop (applications without the newer calibration): the first trigger waits for the
//     second stop, the second one completes the calibration (however late it comes);
//   - learning (devices with a push-button panel, or application 2.1 and later: the reset and the
//     centre procedure): a trigger forgets the calibration; the knob then has to rest for at
//     least one second at the lower and at the upper limit (± the set-point range), in either
//     order, and the device is calibrated again.
//   While not calibrated the knob adds nothing to nvoSetptOffset.

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <functional>

namespace embedded::cmsim {

enum class KnobCalibration { Calibrated, WaitingForSecondStop, Learning };

struct RoomState
{
    int roomTemp = 2100;
    int sensorError = 0;
    int knob = 0;            // the offset the knob points at
    QDateTime knobSince;     // when the knob came to rest there
    bool switchUp = false;
    int buttonOffset = 0;    // set-point offset of the buttons
    int fanLevel = 0;
    KnobCalibration calibration = KnobCalibration::Calibrated;
    bool lowerLimitSeen = false; // while learning
    bool upperLimitSeen = false;
    QDateTime inputsChangedAt;   // last change of anything nvoSpaceTemp depends on
    int sentTemp = 0;            // nvoSpaceTemp as sent last
    QDateTime sentAt;            // invalid: never sent

    QJsonObject toJson() const;
    static RoomState fromJson(const QJsonObject &json);
    bool operator==(const RoomState &) const = default;
};

struct Settings
{
    int offsetTemp = 0;       // nciTmpOffset
    int minDeltaTemp = 0;     // nciTmpMinDelta
    int maxSendTime = 0;      // heartbeat of nvoSpaceTemp, tenths of a second
    int tempMode = 2;         // nciTempMode: 0 override, 1 average, 2 internal
    int setPtDeltaRange = 0;  // nciSetPtDeltaRange
    int setPtDeltaStep = 50;  // nciSetPtDeltaStep
    int buttonMode = 0;       // nciButtonMode: -1 none, 0 HVAC app mode, 1 fan, 2 occupancy
    QByteArray fanSpeedOn = QByteArray("\xC8\x01", 2); // SNVT_switch images
    QByteArray fanSpeedOff = QByteArray(2, '\0');
    int hvacModeOn = 1;
    int hvacModeOff = 6;
    int occCmdOn = 0;
    int occCmdOff = 1;
    int fanLevels = 3;        // nciDiscLevels, 1 to 5
    int externalTemp = InvalidTemp; // nviSpaceTemp
    bool learnsKnobLimits = true;   // learning calibration, else two-stop

    static constexpr int InvalidTemp = 32767;
};

struct Outputs
{
    int spaceTemp = 0;        // as the device holds it (sent last)
    int setptOffset = 0;
    int fanValue = 0;         // half-percent
    int fanState = 0;
    int heatCool = 0;         // SNVT_hvac_mode
    int occManCmd = -1;       // SNVT_occupancy
};

enum class Button { SetPointDown, SetPointUp, FanDown, FanUp };

// ---- what the device shows at a time ----
int spaceTempNow(const RoomState &room, const Settings &settings); // before the send rule
Outputs outputs(const RoomState &room, const Settings &settings, const QDateTime &now);
KnobCalibration knobCalibration(const RoomState &room, const Settings &settings, const QDateTime &now);
// When after `now` the outputs change with nothing done (a heartbeat sending a held-back
// temperature, the knob having rested long enough); invalid when they do not.
QDateTime nextChange(const RoomState &room, const Settings &settings, const QDateTime &now);
// "calibrated", "waiting for the second stop", "learning, lower limit seen", ...
QString knobCalibrationText(const RoomState &room, const Settings &settings, const QDateTime &now);

// ---- changes of the room ----
// Brings what was sent up to `now`: called before anything nvoSpaceTemp depends on changes
// (the room, or a CP), so that the old value's send history is kept.
RoomState settle(const RoomState &room, const Settings &settings, const QDateTime &now);
RoomState setRoomTemp(const RoomState &room, const Settings &settings, int temp, const QDateTime &now);
RoomState setSensorError(const RoomState &room, const Settings &settings, int error, const QDateTime &now);
RoomState setKnob(const RoomState &room, const Settings &settings, int knob, const QDateTime &now);
RoomState setSwitch(const RoomState &room, const Settings &settings, bool up, const QDateTime &now);
RoomState press(const RoomState &room, const Settings &settings, Button button, const QDateTime &now);
RoomState calibrationTrigger(const RoomState &room, const Settings &settings, const QDateTime &now);

// ---- the device's interface ----
// The settings from the device's CP values by CP name (empty: the device has no such CP), its
// nviSpaceTemp (invalid when not valid) and whether it learns its knob's limits
// (learnsKnobLimits below).
Settings settingsFrom(const std::function<QByteArray(const char *cpName)> &cp, int externalTemp, bool learnsLimits);
// Panel devices and applications from 2.1 on learn the knob's limits (reset and centre
// procedures); older ones take two stops.
bool learnsKnobLimits(bool hasPanelType, double applicationVersion);
// The value of the output NV of that name the model computes; empty for any other NV.
QByteArray outputValue(const QString &nvName, const Outputs &outputs);

} // namespace embedded::cmsim
