#pragma once

// Lines that the multi-device and calibration workflows write about devices into the logger view.

#include "lns/clock.h"
#include "lns/lns.h"
#include "lns/logger.h"

#include <QStringList>

// The heading of a device as an indented three-level list (subsystem path, device, LonMark
// object). The path and the device name are remembered so that consecutive devices of one
// subsystem share their path line; after `repeatAfterSeconds` without a heading, the memory is
// forgotten and the next heading is written in full again.
class DeviceHeading
{
public:
    DeviceHeading(Logger &logger, const Clock &clock) : m_logger(logger), m_clock(clock) {}

    void log(const lns::AppDevicePtr &device, const lns::LonMarkObjectPtr &lonMarkObject, int style,
             int repeatAfterSeconds);

private:
    Logger &m_logger;
    const Clock &m_clock;
    QString m_lastPath;
    QString m_lastDevice;
    int m_lastSecondsSinceMidnight = -1;
};

