#include "host/dbus/automationlifetime.h"

#include <cmath>

std::chrono::milliseconds AutomationLifetime::idleTimeFrom(const QString &text)
{
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    if (!ok || seconds < 0 || seconds > 24 * 3600)
        return DefaultIdleTime;
    return std::chrono::milliseconds(std::llround(seconds * 1000));
}

AutomationLifetime::AutomationLifetime(std::chrono::milliseconds idleTime, QObject *parent) : QObject(parent)
{
    m_idle.setSingleShot(true);
    m_idle.setInterval(idleTime);
    connect(&m_idle, &QTimer::timeout, this, &AutomationLifetime::expired);
    m_idle.start();
}

void AutomationLifetime::hostSeen(const QString &busName)
{
    if (busName.isEmpty() || m_hosts.contains(busName))
        return;
    m_hosts.insert(busName);
    m_idle.stop();
    Q_EMIT watchHost(busName);
}

void AutomationLifetime::hostLeft(const QString &busName)
{
    if (!m_hosts.remove(busName))
        return;
    if (m_hosts.isEmpty())
        m_idle.start();
}
