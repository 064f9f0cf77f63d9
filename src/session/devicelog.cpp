#include "session/devicelog.h"


void DeviceHeading::log(const lns::AppDevicePtr &device, const lns::LonMarkObjectPtr &lonMarkObject, int style,
                        int repeatAfterSeconds)
{
    // Seconds since midnight, as the heading memory has always counted them: a heading just
    // after midnight counts as long after the last one.
    const int now = m_clock.now().time().msecsSinceStartOfDay() / 1000;
    if (m_lastSecondsSinceMidnight < 0 || now - m_lastSecondsSinceMidnight >= repeatAfterSeconds
        || now < m_lastSecondsSinceMidnight) {
        m_lastPath.clear();
        m_lastDevice.clear();
    }
    m_lastSecondsSinceMidnight = now;

    const QString path = device->subsystems()->item(1)->path();
    const QString deviceName = device->name();
    const int deviceStyle = lonMarkObject ? -1 : style;
    const auto deviceLine = [&] {
        m_logger.addLogLine(QStringLiteral("    - ") + deviceName, logcolour::Black, deviceStyle);
    };
    if (path != m_lastPath) {
        m_logger.addLogLine(QStringLiteral("  - ") + path, logcolour::Green, -1);
        deviceLine();
    } else if (deviceName != m_lastDevice) {
        deviceLine();
    }
    if (lonMarkObject)
        m_logger.addLogLine(QStringLiteral("      - ") + lonMarkObject->name(), logcolour::Blue, style);
    m_lastPath = path;
    m_lastDevice = deviceName;
}
