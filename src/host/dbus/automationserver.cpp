#include "host/dbus/automationserver.h"

#include "host/dbus/applicationservice.h"
#include "host/dbus/automationlifetime.h"
#include "host/dbus/automationtarget.h"
#include "lns/unattended.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>

namespace automation {

QDBusConnection serviceBus(const StarterBus &starter)
{
    if (!starter.address.isEmpty() && starter.type != QLatin1String("system"))
        return QDBusConnection::connectToBus(starter.address, QStringLiteral("tqm-starter-bus"));
    return QDBusConnection::sessionBus();
}

int serve(QCoreApplication &app, AutomationTarget &target, const StarterBus &starter,
          std::chrono::milliseconds idleTime)
{
    QDBusConnection bus = serviceBus(starter);
    ApplicationService service(target);
    QString error;
    if (!service.publish(bus, &error)) {
        unattended::print(QStringLiteral("tqm-cmdmodule: cannot serve the automation object: ") + error);
        target.end();
        return 2;
    }
    AutomationLifetime lifetime(idleTime);
    QDBusServiceWatcher hosts(QString(), bus, QDBusServiceWatcher::WatchForUnregistration);
    QObject::connect(&service, &ApplicationService::callerSeen, &lifetime, &AutomationLifetime::hostSeen);
    QObject::connect(&lifetime, &AutomationLifetime::watchHost, &hosts, [&](const QString &busName) {
        hosts.addWatchedService(busName);
        // A host may have left between its call and the watch.
        if (!bus.interface()->isServiceRegistered(busName))
            lifetime.hostLeft(busName);
    });
    QObject::connect(&hosts, &QDBusServiceWatcher::serviceUnregistered, &lifetime, [&](const QString &busName) {
        hosts.removeWatchedService(busName);
        lifetime.hostLeft(busName);
    });
    QObject::connect(&lifetime, &AutomationLifetime::expired, &app, &QCoreApplication::quit);
    QObject::connect(&service, &ApplicationService::ended, &app, [&] {
        if (target.endRequested())
            app.quit();
    });
    const int code = app.exec();
    target.end();
    return code;
}

} // namespace automation
