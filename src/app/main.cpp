// tqm-cmdmodule: the device plug-in program. Started by a network tool with a command line
// ("/CLASSID:28/COMMANDID:13/OBJECTNAME:..."), by the desktop's D-Bus activation with
// "-Embedding" (a host then drives the automation object), or by a user without arguments.
// The environment is read here only, and handed in:
//   TQM_UNATTENDED=1   runs it without a screen: message boxes become lines on standard error;
//   TQM_HOME           the machine-wide data directory (networks, registry, registrations);
//   TQM_PICK_DEVICES   the devices an unattended multi-device write picks (";" between names).

#include "app/configurationlisting.h"
#include "host/commandline.h"
#include "host/dbus/applicationservice.h"
#include "host/host.h"
#include "host/pluginwindow.h"
#include "host/registrationwriter.h"
#include "lns/desktopseams.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/homedir.h"
#include "lns/statuswindow.h"
#include "lns/timer.h"
#include "lns/unattended.h"
#include "strings/resstrings.h"
#include "widgets/aboutdialog.h"
#include "widgets/statuswindowwidget.h"
#include "widgets/widgetdialogs.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QFileInfo>
#include <QSet>
#include <optional>

#include <cstdio>

namespace {

bool isSwitch(const QStringList &arguments, const QString &name)
{
    for (const QString &argument : arguments) {
        const QString trimmed = argument.trimmed();
        if (trimmed.compare(QLatin1Char('-') + name, Qt::CaseInsensitive) == 0
            || trimmed.compare(QLatin1Char('/') + name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Serves the automation object until every host that used it has left the bus.
int serveAutomationObject(QCoreApplication &app, PlugInHost &host)
{
    ApplicationService service(host);
    QDBusConnection bus = QDBusConnection::sessionBus();
    QString error;
    if (!service.publish(bus, &error)) {
        unattended::print(QStringLiteral("tqm-cmdmodule: cannot serve the automation object: ") + error);
        return 2;
    }
    QDBusServiceWatcher hosts(QString(), bus, QDBusServiceWatcher::WatchForUnregistration);
    QSet<QString> known;
    QObject::connect(&service, &ApplicationService::callerSeen, &app, [&](const QString &caller) {
        if (caller.isEmpty() || known.contains(caller))
            return;
        known.insert(caller);
        hosts.addWatchedService(caller);
    });
    QObject::connect(&hosts, &QDBusServiceWatcher::serviceUnregistered, &app, [&](const QString &caller) {
        known.remove(caller);
        hosts.removeWatchedService(caller);
        if (known.isEmpty())
            app.quit();
    });
    QObject::connect(&service, &ApplicationService::ended, &app, [&] {
        if (host.endRequested())
            app.quit();
    });
    const int code = app.exec();
    host.EndApp();
    return code;
}

} // namespace

int main(int argc, char *argv[])
{
    const bool quiet = qEnvironmentVariable("TQM_UNATTENDED") == QLatin1String("1");
    const QString home = tqmHome(qEnvironmentVariable("TQM_HOME"));
    std::unique_ptr<QCoreApplication> app = quiet ? std::make_unique<QCoreApplication>(argc, argv)
                                                  : std::make_unique<QApplication>(argc, argv);
    const QString programPath = QCoreApplication::applicationFilePath();
    const QStringList arguments = QCoreApplication::arguments().mid(1);

    if (arguments.size() == 1 && isSwitch(arguments, QStringLiteral("regserver"))) {
        try {
            dbusactivation::install(programPath);
        } catch (const TqmError &error) {
            unattended::print(error.description());
            return 1;
        }
        return 0;
    }

    UnattendedDialogs unattendedDialogs;
    UnattendedStatusWindow unattendedStatus;
    UnattendedAboutWindow unattendedAbout;
    std::unique_ptr<WidgetDialogs> widgetDialogs;
    std::unique_ptr<StatusWindowWidget> statusWidget;
    std::unique_ptr<AboutDialog> aboutDialog;
    if (!quiet) {
        widgetDialogs = std::make_unique<WidgetDialogs>();
        statusWidget = std::make_unique<StatusWindowWidget>();
        aboutDialog = std::make_unique<AboutDialog>();
    }
    // The main window stands in here until the widget window exists.
    RecordingPlugInWindow window;
    DesktopHelpViewer helpViewer;
    QtTimerFactory timers;

    HostEnvironment env;
    env.programDirectory = QFileInfo(programPath).absolutePath();
    env.programFileName = QFileInfo(programPath).fileName();
    env.dialogs = quiet ? static_cast<UserDialogs *>(&unattendedDialogs) : widgetDialogs.get();
    env.statusWindow = quiet ? static_cast<StatusWindow *>(&unattendedStatus) : statusWidget.get();
    env.aboutWindow = quiet ? static_cast<AboutWindow *>(&unattendedAbout) : aboutDialog.get();
    env.window = &window;
    env.helpViewer = &helpViewer;
    env.home = home;
    env.timers = &timers;
    env.objectServerProvider = [home] { return embedded::EmbeddedObjectServer::create(home); };
    env.registerAutomationServer = [programPath] { dbusactivation::install(programPath); };
    env.applyLanguage = [](qint16 language) { setLanguage(language); };

    PlugInHost host(env);
    window.setReport([&host, quiet](const QString &request) {
        if (host.logger())
            host.logger()->logLine(QStringLiteral("[frmMain] ") + request);
        if (quiet)
            unattended::print(QStringLiteral("[window] ") + request);
    });
    if (isSwitch(arguments, QStringLiteral("Embedding")))
        return serveAutomationObject(*app, host);

    host.Main(commandline::joinArguments(arguments));
    if (!host.ended() && window.isInteractive())
        return app->exec();
    if (!host.ended() && window.isVisible() && host.session().commandIndex == 1) {
        std::optional<QStringList> picks;
        if (qEnvironmentVariableIsSet(device::ScriptedMultiDeviceWindow::PickVariable))
            picks = device::ScriptedMultiDeviceWindow::picksOf(
                qEnvironmentVariable(device::ScriptedMultiDeviceWindow::PickVariable));
        const auto pickingWindow = [picks] { return std::make_unique<device::ScriptedMultiDeviceWindow>(picks); };
        for (const QString &line : configurationlisting::readAndList(host, pickingWindow))
            std::printf("%s\n", qPrintable(line));
    }
    const bool aborted = host.session().aborted;
    host.EndApp();
    return aborted ? 1 : 0;
}
