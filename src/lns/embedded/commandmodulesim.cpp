#include "lns/embedded/commandmodulesim.h"

#include <QtMath>
#include <algorithm>

namespace embedded::cmsim {

namespace {

constexpr int MinTemp = -27317;
constexpr int MaxTemp = 32766; // 32767 is the invalid value
constexpr qint64 KnobRestMs = 1000;
constexpr int FanModeButton = 1;
constexpr int HvacAppModeButton = 0;
constexpr int OccupancyModeButton = 2;
constexpr int HvacAuto = 0;
constexpr int OccupancyNul = -1;

QString timeText(const QDateTime &t)
{
    return t.isValid() ? t.toString(Qt::ISODateWithMs) : QString();
}

QDateTime timeOf(const QJsonValue &v)
{
    return v.toString().isEmpty() ? QDateTime() : QDateTime::fromString(v.toString(), Qt::ISODateWithMs);
}

int fanLevelCount(const Settings &s)
{
    return std::clamp(s.fanLevels, 1, 5);
}

bool atLowerLimit(const RoomState &r, const Settings &s)
{
    return s.setPtDeltaRange > 0 && r.knob <= -s.setPtDeltaRange;
}

bool atUpperLimit(const RoomState &r, const Settings &s)
{
    return s.setPtDeltaRange > 0 && r.knob >= s.setPtDeltaRange;
}

bool restedLongEnough(const RoomState &r, const QDateTime &now)
{
    return r.knobSince.isValid() && r.knobSince.msecsTo(now) >= KnobRestMs;
}

int withinRange(int offset, const Settings &s)
{
    const int range = std::max(0, s.setPtDeltaRange);
    return std::clamp(offset, -range, range);
}

int knobOffset(const RoomState &r, const Settings &s, const QDateTime &now)
{
    if (knobCalibration(r, s, now) != KnobCalibration::Calibrated)
        return 0;
    int offset = withinRange(r.knob, s);
    if (s.setPtDeltaStep > 0)
        offset = qRound(double(offset) / s.setPtDeltaStep) * s.setPtDeltaStep;
    return withinRange(offset, s);
}

// The level of a switch position's SNVT_switch image, rounded up to the next level as the
// plug-in's window reads it back.
int levelOf(const QByteArray &image, int levels)
{
    if (image.size() < 2 || qint8(image[1]) != 1)
        return 0;
    const int step = 200 / levels;
    return std::clamp((quint8(image[0]) + step - 1) / step, 0, levels);
}

qint64 heartbeatMs(const Settings &s)
{
    return qint64(std::max(0, s.maxSendTime)) * 100;
}

// The first heartbeat after `after` in the series that started with the send at `sentAt`.
QDateTime heartbeatAfter(const QDateTime &sentAt, qint64 periodMs, const QDateTime &after)
{
    const qint64 since = sentAt.msecsTo(after);
    const qint64 beats = since < 0 ? 1 : since / periodMs + 1;
    return sentAt.addMSecs(beats * periodMs);
}

// The room with its knob calibration brought up to `now` (limits rested on count as seen).
RoomState withKnobSeen(const RoomState &room, const Settings &s, const QDateTime &now)
{
    RoomState r = room;
    if (r.calibration != KnobCalibration::Learning)
        return r;
    if (restedLongEnough(r, now)) {
        r.lowerLimitSeen = r.lowerLimitSeen || atLowerLimit(r, s);
        r.upperLimitSeen = r.upperLimitSeen || atUpperLimit(r, s);
    }
    if (r.lowerLimitSeen && r.upperLimitSeen)
        r.calibration = KnobCalibration::Calibrated;
    return r;
}

} // namespace

QJsonObject RoomState::toJson() const
{
    return QJsonObject{
        {"roomTemp", roomTemp},
        {"sensorError", sensorError},
        {"knob", knob},
        {"knobSince", timeText(knobSince)},
        {"switchUp", switchUp},
        {"buttonOffset", buttonOffset},
        {"fanLevel", fanLevel},
        {"calibration", int(calibration)},
        {"lowerLimitSeen", lowerLimitSeen},
        {"upperLimitSeen", upperLimitSeen},
        {"inputsChangedAt", timeText(inputsChangedAt)},
        {"sentTemp", sentTemp},
        {"sentAt", timeText(sentAt)},
    };
}

RoomState RoomState::fromJson(const QJsonObject &json)
{
    RoomState r;
    r.roomTemp = json.value("roomTemp").toInt(r.roomTemp);
    r.sensorError = json.value("sensorError").toInt();
    r.knob = json.value("knob").toInt();
    r.knobSince = timeOf(json.value("knobSince"));
    r.switchUp = json.value("switchUp").toBool();
    r.buttonOffset = json.value("buttonOffset").toInt();
    r.fanLevel = json.value("fanLevel").toInt();
    r.calibration = KnobCalibration(std::clamp(json.value("calibration").toInt(), 0, 2));
    r.lowerLimitSeen = json.value("lowerLimitSeen").toBool();
    r.upperLimitSeen = json.value("upperLimitSeen").toBool();
    r.inputsChangedAt = timeOf(json.value("inputsChangedAt"));
    r.sentTemp = json.value("sentTemp").toInt();
    r.sentAt = timeOf(json.value("sentAt"));
    return r;
}

int spaceTempNow(const RoomState &room, const Settings &s)
{
    const int internal = room.roomTemp + room.sensorError + s.offsetTemp;
    const bool external = s.externalTemp >= MinTemp && s.externalTemp <= MaxTemp;
    int temp = internal;
    if (external && s.tempMode == 0)
        temp = s.externalTemp;
    else if (external && s.tempMode == 1)
        temp = qRound((internal + s.externalTemp) / 2.0);
    return std::clamp(temp, MinTemp, MaxTemp);
}

RoomState settle(const RoomState &room, const Settings &s, const QDateTime &now)
{
    RoomState r = withKnobSeen(room, s, now);
    const int ideal = spaceTempNow(r, s);
    if (!r.sentAt.isValid()) { // a device that never sent sends at once
        r.sentTemp = ideal;
        r.sentAt = now;
        return r;
    }
    if (ideal == r.sentTemp)
        return r;
    const QDateTime changedAt = r.inputsChangedAt.isValid() ? std::max(r.inputsChangedAt, r.sentAt) : r.sentAt;
    if (std::abs(ideal - r.sentTemp) >= std::max(1, s.minDeltaTemp)) {
        r.sentTemp = ideal;
        r.sentAt = changedAt;
        return r;
    }
    const qint64 period = heartbeatMs(s);
    if (period == 0)
        return r;
    const QDateTime beat = heartbeatAfter(r.sentAt, period, changedAt.addMSecs(-1));
    if (beat <= now) {
        r.sentTemp = ideal;
        r.sentAt = beat;
    }
    return r;
}

KnobCalibration knobCalibration(const RoomState &room, const Settings &s, const QDateTime &now)
{
    return withKnobSeen(room, s, now).calibration;
}

Outputs outputs(const RoomState &room, const Settings &s, const QDateTime &now)
{
    const RoomState r = settle(room, s, now);
    Outputs o;
    o.spaceTemp = r.sentTemp;
    o.setptOffset = withinRange(knobOffset(r, s, now) + withinRange(r.buttonOffset, s), s);
    const int levels = fanLevelCount(s);
    const int level = std::clamp(r.fanLevel, 0, levels);
    o.fanValue = (100 / levels) * 2 * level;
    o.fanState = level >= 1 ? 1 : 0;
    o.heatCool = s.buttonMode == HvacAppModeButton ? (r.switchUp ? s.hvacModeOn : s.hvacModeOff) : HvacAuto;
    o.occManCmd = s.buttonMode == OccupancyModeButton ? (r.switchUp ? s.occCmdOn : s.occCmdOff) : OccupancyNul;
    return o;
}

QDateTime nextChange(const RoomState &room, const Settings &s, const QDateTime &now)
{
    QDateTime next;
    const auto consider = [&](const QDateTime &t) {
        if (t.isValid() && t > now && (!next.isValid() || t < next))
            next = t;
    };
    const RoomState r = settle(room, s, now);
    if (spaceTempNow(r, s) != r.sentTemp && heartbeatMs(s) > 0)
        consider(heartbeatAfter(r.sentAt, heartbeatMs(s), now));
    if (r.calibration == KnobCalibration::Learning && (atLowerLimit(r, s) || atUpperLimit(r, s)))
        consider(r.knobSince.addMSecs(KnobRestMs));
    return next;
}

QString knobCalibrationText(const RoomState &room, const Settings &s, const QDateTime &now)
{
    const RoomState r = withKnobSeen(room, s, now);
    switch (r.calibration) {
    case KnobCalibration::Calibrated:
        return QStringLiteral("calibrated");
    case KnobCalibration::WaitingForSecondStop:
        return QStringLiteral("waiting for the second stop");
    case KnobCalibration::Learning:
        break;
    }
    if (r.lowerLimitSeen)
        return QStringLiteral("learning, lower limit seen");
    if (r.upperLimitSeen)
        return QStringLiteral("learning, upper limit seen");
    return QStringLiteral("learning, no limit seen yet");
}

RoomState setRoomTemp(const RoomState &room, const Settings &s, int temp, const QDateTime &now)
{
    RoomState r = settle(room, s, now);
    r.roomTemp = temp;
    r.inputsChangedAt = now;
    return r;
}

RoomState setSensorError(const RoomState &room, const Settings &s, int error, const QDateTime &now)
{
    RoomState r = settle(room, s, now);
    r.sensorError = error;
    r.inputsChangedAt = now;
    return r;
}

RoomState setKnob(const RoomState &room, const Settings &s, int knob, const QDateTime &now)
{
    RoomState r = settle(room, s, now);
    r.knob = knob;
    r.knobSince = now;
    return r;
}

RoomState setSwitch(const RoomState &room, const Settings &s, bool up, const QDateTime &now)
{
    RoomState r = settle(room, s, now);
    r.switchUp = up;
    if (s.buttonMode == FanModeButton)
        r.fanLevel = levelOf(up ? s.fanSpeedOn : s.fanSpeedOff, fanLevelCount(s));
    return r;
}

RoomState press(const RoomState &room, const Settings &s, Button button, const QDateTime &now)
{
    RoomState r = settle(room, s, now);
    const int step = std::max(0, s.setPtDeltaStep);
    switch (button) {
    case Button::SetPointDown:
        r.buttonOffset = withinRange(r.buttonOffset - step, s);
        break;
    case Button::SetPointUp:
        r.buttonOffset = withinRange(r.buttonOffset + step, s);
        break;
    case Button::FanDown:
        r.fanLevel = std::clamp(r.fanLevel - 1, 0, fanLevelCount(s));
        break;
    case Button::FanUp:
        r.fanLevel = std::clamp(r.fanLevel + 1, 0, fanLevelCount(s));
        break;
    }
    return r;
}

RoomState calibrationTrigger(const RoomState &room, const Settings &s, const QDateTime &now)
{
    RoomState r = settle(room, s, now);
    if (s.learnsKnobLimits) {
        r.calibration = KnobCalibration::Learning;
        r.lowerLimitSeen = false;
        r.upperLimitSeen = false;
        r.knobSince = now; // only resting after the trigger counts
    } else {
        r.calibration = r.calibration == KnobCalibration::WaitingForSecondStop ? KnobCalibration::Calibrated
                                                                                : KnobCalibration::WaitingForSecondStop;
    }
    return r;
}

Settings settingsFrom(const std::function<QByteArray(const char *cpName)> &cp, int externalTemp, bool learnsLimits)
{
    // Signed big-endian number of a CP; `fallback` when the device has no such CP.
    const auto number = [&](const char *name, int fallback, bool isSigned = true) {
        const QByteArray b = cp(name);
        if (b.isEmpty())
            return fallback;
        qint64 v = 0;
        for (char c : b)
            v = (v << 8) | quint8(c);
        if (isSigned && (quint8(b[0]) & 0x80))
            v -= qint64(1) << (8 * b.size());
        return int(v);
    };
    Settings s;
    s.offsetTemp = number("nciTmpOffset", 0);
    s.minDeltaTemp = number("nciTmpMinDelta", 0);
    const int ownHeartbeat = number("nciSndHrtBtNV13", 0, false);
    s.maxSendTime = ownHeartbeat != 0 ? ownHeartbeat : number("nciSndHrtBt", 0, false);
    s.tempMode = number("nciTempMode", 2);
    s.setPtDeltaRange = number("nciSetPtDeltaRange", 0);
    s.setPtDeltaStep = number("nciSetPtDeltaStep", 50);
    s.buttonMode = number("nciButtonMode", -1);
    if (const QByteArray on = cp("nciFanSpeedOn"); on.size() == 2)
        s.fanSpeedOn = on;
    if (const QByteArray off = cp("nciFanSpeedOff"); off.size() == 2)
        s.fanSpeedOff = off;
    s.hvacModeOn = number("nciHvacModeOn", s.hvacModeOn);
    s.hvacModeOff = number("nciHvacModeOff", s.hvacModeOff);
    s.occCmdOn = number("nciOccCmdOn", s.occCmdOn);
    s.occCmdOff = number("nciOccCmdOff", s.occCmdOff);
    s.fanLevels = number("nciDiscLevels", s.fanLevels, false);
    s.externalTemp = externalTemp;
    s.learnsKnobLimits = learnsLimits;
    return s;
}

bool learnsKnobLimits(bool hasPanelType, double applicationVersion)
{
    return hasPanelType || applicationVersion >= 2.1 - 1e-6;
}

QByteArray outputValue(const QString &nvName, const Outputs &o)
{
    const auto bytes = [](std::initializer_list<int> values) {
        QByteArray b;
        for (int v : values)
            b.append(char(v & 0xFF));
        return b;
    };
    if (nvName == QLatin1String("nvoSpaceTemp"))
        return bytes({o.spaceTemp >> 8, o.spaceTemp});
    if (nvName == QLatin1String("nvoSetptOffset"))
        return bytes({o.setptOffset >> 8, o.setptOffset});
    if (nvName == QLatin1String("nvoFanSpeed"))
        return bytes({o.fanValue, o.fanState});
    if (nvName == QLatin1String("nvoHeatCool"))
        return bytes({o.heatCool});
    if (nvName == QLatin1String("nvoOccManCmd"))
        return bytes({o.occManCmd});
    return {};
}

} // namespace embedded::cmsim
