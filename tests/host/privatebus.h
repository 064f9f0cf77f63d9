#pragma once

// A D-Bus daemon of the test's own: a session-type bus in a temporary directory whose
// activation directory holds the plug-in's service file, so a call to the service starts the
// plug-in the way the desktop does. Tests neither need nor disturb the session bus and may run
// side by side. Activated plug-ins get `environment` (and the bus address only through
// DBUS_STARTER_ADDRESS, as under dbus-run-session).

#include "host/registrationwriter.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

class PrivateBus
{
public:
    static inline const QString Service = dbusactivation::ServiceName;

    // Starts the daemon; check started() (and error()) afterwards.
    explicit PrivateBus(QProcessEnvironment environment)
    {
        QDir().mkpath(m_dir.filePath(QStringLiteral("services")));
        const QString program = qEnvironmentVariable("TQM_BIN_DIR") + QStringLiteral("/tqm-cmdmodule");
        write(QStringLiteral("services/") + Service + QStringLiteral(".service"),
              QStringLiteral("[D-BUS Service]\nName=%1\nExec=\"%2\" -Embedding\n").arg(Service, program));
        write(QStringLiteral("bus.conf"),
              QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                             " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                             "<busconfig><type>session</type><listen>unix:path=%1</listen><auth>EXTERNAL</auth>"
                             "<servicedir>%2</servicedir><policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                             "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n")
                  .arg(m_dir.filePath(QStringLiteral("bus")), m_dir.filePath(QStringLiteral("services"))));
        environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        m_daemon.setProcessEnvironment(environment);
        m_daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--config-file=") + m_dir.filePath(QStringLiteral("bus.conf")),
                                                       QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(10000)) {
        }
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        if (m_address.isEmpty())
            m_error = QStringLiteral("dbus-daemon printed no address (%1): ").arg(m_daemon.errorString())
                      + QString::fromUtf8(m_daemon.readAllStandardError());
    }

    ~PrivateBus()
    {
        endPlugIn();
        for (const QString &name : std::as_const(m_connections))
            QDBusConnection::disconnectFromBus(name);
        m_daemon.terminate();
        m_daemon.waitForFinished(10000);
    }

    bool started() const { return !m_address.isEmpty(); }
    QString error() const { return m_error; }
    QString address() const { return m_address; }

    // A connection of its own: one host tool.
    QDBusConnection connect(const QString &name)
    {
        const QString unique = name + QLatin1Char('@') + m_dir.path();
        m_connections.append(unique);
        return QDBusConnection::connectToBus(m_address, unique);
    }
    void disconnect(const QString &name) { QDBusConnection::disconnectFromBus(name + QLatin1Char('@') + m_dir.path()); }

    // The process that serves the plug-in's name; 0 when none does.
    uint plugInProcess()
    {
        QDBusConnection bus = connect(QStringLiteral("observer"));
        return bus.interface()->isServiceRegistered(Service) ? bus.interface()->servicePid(Service).value() : 0;
    }

    // Waits (bounded) until nobody serves the plug-in's name any more.
    bool waitForPlugInToEnd(int timeoutMs)
    {
        QDBusConnection bus = connect(QStringLiteral("observer"));
        QDBusServiceWatcher watcher(Service, bus, QDBusServiceWatcher::WatchForUnregistration);
        QSignalSpy gone(&watcher, &QDBusServiceWatcher::serviceUnregistered);
        return !bus.interface()->isServiceRegistered(Service) || gone.wait(timeoutMs);
    }

    // An activated plug-in belongs to the daemon, not to the test: end it before the daemon.
    void endPlugIn()
    {
        if (const uint pid = plugInProcess()) {
            ::kill(pid_t(pid), SIGTERM);
            waitForPlugInToEnd(10000);
        }
    }

private:
    void write(const QString &name, const QString &text)
    {
        QFile file(m_dir.filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(text.toUtf8());
    }

    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    QString m_error;
    QStringList m_connections;
};
