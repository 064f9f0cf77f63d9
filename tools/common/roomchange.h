#pragma once

// What `tqm-netdb sim` and `tqm-devicesim` may change in a simulated room (--room-temp,
// --sensor-error, --knob, --switch, --press), read from their options and checked before any
// device is touched.

#include "common/toolio.h"
#include "lns/embedded/commandmodulesim.h"

#include <QCommandLineParser>
#include <QHash>
#include <QList>
#include <optional>

namespace roomchange {

namespace cmsim = embedded::cmsim;

// A temperature or knob position in hundredths; NaN, the infinities and absurd values are refused.
inline int hundredths(const QString &option, const QString &text)
{
    bool ok = false;
    const double value = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !(value >= -300 && value <= 300))
        throw toolio::UsageError{QStringLiteral("--%1 needs a number such as 22.5, not \"%2\"").arg(option, text)};
    return qRound(value * 100);
}

inline cmsim::Button buttonOf(const QString &name)
{
    static const QHash<QString, cmsim::Button> buttons{{"setpt-", cmsim::Button::SetPointDown},
                                                      {"setpt+", cmsim::Button::SetPointUp},
                                                      {"fan-", cmsim::Button::FanDown},
                                                      {"fan+", cmsim::Button::FanUp}};
    if (!buttons.contains(name))
        throw toolio::UsageError{QStringLiteral("--press takes setpt-, setpt+, fan- or fan+, not \"%1\"").arg(name)};
    return buttons.value(name);
}

struct RoomChange
{
    std::optional<int> roomTemp;
    std::optional<int> sensorError;
    std::optional<int> knob;
    std::optional<bool> switchUp;
    QList<cmsim::Button> presses;

    static RoomChange fromOptions(const QCommandLineParser &parser)
    {
        RoomChange change;
        const auto number = [&](const char *option) {
            return parser.isSet(option) ? std::optional(hundredths(option, parser.value(option))) : std::nullopt;
        };
        change.roomTemp = number("room-temp");
        change.sensorError = number("sensor-error");
        change.knob = number("knob");
        if (parser.isSet("switch")) {
            const QString position = parser.value("switch");
            if (position != "up" && position != "down")
                throw toolio::UsageError{QStringLiteral("--switch takes up or down")};
            change.switchUp = position == "up";
        }
        for (const QString &button : parser.values("press"))
            change.presses.append(buttonOf(button));
        return change;
    }

    bool any() const { return roomTemp || sensorError || knob || switchUp || !presses.isEmpty(); }

    cmsim::RoomState applyTo(cmsim::RoomState r, const cmsim::Settings &s, const QDateTime &now) const
    {
        if (roomTemp)
            r = cmsim::setRoomTemp(r, s, *roomTemp, now);
        if (sensorError)
            r = cmsim::setSensorError(r, s, *sensorError, now);
        if (knob)
            r = cmsim::setKnob(r, s, *knob, now);
        if (switchUp)
            r = cmsim::setSwitch(r, s, *switchUp, now);
        for (cmsim::Button button : presses)
            r = cmsim::press(r, s, button, now);
        return r;
    }
};

} // namespace roomchange
