#pragma once

// How long a plug-in process that serves the automation object lives. A host is a bus
// connection that used the object (read or wrote a property, called a method); the state it set
// stays while it is on the bus, across separate calls. The process ends once no host has been on
// the bus for the idle time: when it was started (by D-Bus activation, say) and no host ever
// came, or when the last host left and none came back. The idle time after the last host lets a
// host that makes each call from a process of its own (gdbus, busctl) go on with the same state.

#include <QObject>
#include <QSet>
#include <QTimer>
#include <chrono>

class AutomationLifetime : public QObject
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds DefaultIdleTime{30000};
    // The idle time given as a decimal number of seconds (main passes
    // TQM_AUTOMATION_IDLE_SECONDS), or the default for no number or one out of range.
    static std::chrono::milliseconds idleTimeFrom(const QString &seconds);

    // The idle time starts at once.
    explicit AutomationLifetime(std::chrono::milliseconds idleTime, QObject *parent = nullptr);

    // A host used the object; a new one is announced with watchHost().
    void hostSeen(const QString &busName);
    // The host left the bus.
    void hostLeft(const QString &busName);

    int hostCount() const { return int(m_hosts.size()); }
    bool idle() const { return m_idle.isActive(); }

Q_SIGNALS:
    // Tell when this host leaves the bus.
    void watchHost(const QString &busName);
    // No host for the idle time: the process is to end.
    void expired();

private:
    QSet<QString> m_hosts;
    QTimer m_idle;
};
