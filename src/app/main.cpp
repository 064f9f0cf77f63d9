// tqm-cmdmodule: the device plug-in program. Started by a network tool with a command line
// ("/CLASSID:28/COMMANDID:13/OBJECTNAME:..."), by the desktop's D-Bus activation with
// "-Embedding" (a host then drives the automation object), or by a user without arguments.
// TQM_UNATTENDED=1 runs it without a screen: message boxes become lines on standard error.
// Without a display and without TQM_UNATTENDED it says so and ends with exit code 1.
// The environment is read here only, and handed in:
//   TQM_HOME           the machine-wide data directory (networks, registry, registrations);
//   TQM_PICK_DEVICES   the devices an unattended multi-device write picks (";" between names).
// "--help" lists the switches and the environment.

#include "app/programplaces.h"
#include "app/configurationlisting.h"
#include "device/multidevicewindow.h"
#include "host/commandline.h"
#include "host/dbus/applicationservice.h"
#include "host/dbus/automationlifetime.h"
#include "host/dbus/automationserver.h"
#include "host/host.h"
#include "host/hostautomation.h"
#include "host/registrationwriter.h"
#include "host/unattendedmonitor.h"
#include "lns/desktopseams.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/homedir.h"
#include "lns/product.h"
#include "lns/statuswindow.h"
#include "lns/timer.h"
#include "lns/unattended.h"
#include "session/hostlogger.h"
#include "strings/resstrings.h"
#include "ui/frmmain.h"
#include "widgets/aboutdialog.h"
#include "widgets/deferredicons.h"
#include "widgets/deviceinfodialog.h"
#include "widgets/multidevicewindow/qtmultidevicewindow.h"
#include "widgets/qtmainwindowview.h"
#include "widgets/qttranslations.h"
#include "widgets/statuswindowwidget.h"
#include "widgets/widgetdialogs.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QMainWindow>
#include <QProcessEnvironment>

#include <cstdio>
#include <optional>

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

// Programs in the build's output directory are not installed: an activation file written from
// there would send every host of the desktop into a build tree.
bool runsFromBuildTree(const QString &programPath)
{
    const QString buildOutput = QFileInfo(QStringLiteral(TQM_BUILD_OUTPUT_DIR)).canonicalFilePath();
    return !buildOutput.isEmpty() && QFileInfo(programPath).canonicalPath() == buildOutput;
}

using programplaces::logDirectory;
using programplaces::logFallbackDirectory;

// "--help" and "--version": printed before any window, file or log is touched.
int printProgramInformation(int argc, char *argv[])
{
    QCoreApplication core(argc, argv);
    const QString programPath = QCoreApplication::applicationFilePath();
    const QString programName = QFileInfo(programPath).fileName();
    QString text;
    if (commandline::asksForHelp(QCoreApplication::arguments().mid(1))) {
        text = commandline::usage(programName, HostLogger::plannedFile(logDirectory(programPath), logFallbackDirectory(),
                                                                       programName + QStringLiteral(".LOG")));
    } else {
        text = QStringLiteral("%1 %2.%3.%4\n")
                   .arg(programName)
                   .arg(product::VersionMajor)
                   .arg(product::VersionMinor)
                   .arg(product::VersionRevision);
    }
    std::fputs(qPrintable(text), stdout);
    return 0;
}

// The application object: a widget application wherever a window can go (unattended runs show
// theirs on the offscreen platform), a plain one where none can.
std::unique_ptr<QCoreApplication> makeApplication(int &argc, char *argv[], unattended::Screen screen)
{
    if (screen == unattended::Screen::Offscreen) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        unattended::dropPlatformRemarks();
    }
    if (screen == unattended::Screen::None)
        return std::make_unique<QCoreApplication>(argc, argv);
    auto app = std::make_unique<QApplication>(argc, argv);
    widgets::useDeferredIconStyle();
    return app;
}

// The multi-device window: the Qt dialog over the main window; unattended, one that picks the
// devices TQM_PICK_DEVICES names (";" between names), or every device it offers.
std::function<std::unique_ptr<device::MultiDeviceWindow>()> multiDeviceWindows(widgets::QtMainWindowView &view,
                                                                               bool quiet)
{
    if (!quiet) {
        return [&view] {
            auto window = std::make_unique<ui::QtMultiDeviceWindow>();
            window->setOwnerWidget(view.window());
            return window;
        };
    }
    std::optional<QStringList> picks;
    if (qEnvironmentVariableIsSet(device::ScriptedMultiDeviceWindow::PickVariable))
        picks = device::ScriptedMultiDeviceWindow::picksOf(
            qEnvironmentVariable(device::ScriptedMultiDeviceWindow::PickVariable));
    return [picks] { return std::make_unique<device::ScriptedMultiDeviceWindow>(picks); };
}

// Unattended, what the command's window shows goes to standard output: the monitor command's
// fields while it watches, the configure command's parameters once they are read.
void printWhatTheWindowShows(QCoreApplication &app, widgets::QtMainWindowView &view, PlugInHost &host)
{
    if (host.session().commandIndex == commands::Monitor) {
        UnattendedMonitor monitor(view, QtTimerFactory::instance(), [](const QString &line) {
            std::printf("%s\n", qPrintable(line));
            std::fflush(stdout);
        });
        QObject::connect(&monitor, &UnattendedMonitor::finished, &app, &QCoreApplication::quit);
        monitor.start(UnattendedMonitor::secondsFrom(qEnvironmentVariable("TQM_MONITOR_SECONDS")));
        app.exec();
        monitor.stop();
    }
    if (host.session().commandIndex == commands::Configure && host.mainWindow() && host.mainWindow()->configuration()) {
        for (const QString &line : configurationlisting::list(*host.mainWindow()->configuration()))
            std::printf("%s\n", qPrintable(line));
    }
}

// The main window, also unattended: then on the offscreen platform, where nobody waits at it
// and the program ends once its command's work is done. With it the dialogs and the host's
// windows: Qt ones on a screen, unattended ones otherwise.
struct ProgramWindows
{
    explicit ProgramWindows(bool unattended) : quiet(unattended), view(!unattended)
    {
        if (quiet)
            return;
        widgetDialogs = std::make_unique<WidgetDialogs>(view.window());
        statusWidget = std::make_unique<StatusWindowWidget>();
        aboutDialog = std::make_unique<AboutDialog>(view.window());
        deviceInfoDialog = std::make_unique<DeviceInfoDialog>(view.window());
    }
    UserDialogs *dialogs() { return quiet ? static_cast<UserDialogs *>(&unattendedDialogs) : widgetDialogs.get(); }
    StatusWindow *statusWindow()
    {
        return quiet ? static_cast<StatusWindow *>(&unattendedStatus) : statusWidget.get();
    }
    AboutWindow *aboutWindow() { return quiet ? static_cast<AboutWindow *>(&unattendedAbout) : aboutDialog.get(); }
    DeviceInfoWindow *deviceInfoWindow()
    {
        return quiet ? static_cast<DeviceInfoWindow *>(&unattendedDeviceInfo) : deviceInfoDialog.get();
    }

    const bool quiet;
    widgets::QtMainWindowView view;
    UnattendedDialogs unattendedDialogs;
    UnattendedStatusWindow unattendedStatus;
    UnattendedAboutWindow unattendedAbout;
    UnattendedDeviceInfoWindow unattendedDeviceInfo;
    std::unique_ptr<WidgetDialogs> widgetDialogs;
    std::unique_ptr<StatusWindowWidget> statusWidget;
    std::unique_ptr<AboutDialog> aboutDialog;
    std::unique_ptr<DeviceInfoDialog> deviceInfoDialog;
    DesktopHelpViewer helpViewer;
    QtTimerFactory timers;
};

// What the host is given: the program's place, its windows and dialogs, the network services
// under `home`, and how it reaches the desktop.
HostEnvironment environmentFor(ProgramWindows &windows, const QString &programPath, const QStringList &arguments,
                               const QString &home)
{
    HostEnvironment env;
    env.programDirectory = QFileInfo(programPath).absolutePath();
    env.programFileName = QFileInfo(programPath).fileName();
    env.logDirectory = logDirectory(programPath);
    env.logFallbackDirectory = logFallbackDirectory();
    env.startCommand = arguments.join(QLatin1Char(' '));
    env.dialogs = windows.dialogs();
    env.statusWindow = windows.statusWindow();
    env.aboutWindow = windows.aboutWindow();
    env.deviceInfoWindow = windows.deviceInfoWindow();
    env.view = &windows.view;
    env.createMultiDeviceWindow = multiDeviceWindows(windows.view, windows.quiet);
    env.helpViewer = &windows.helpViewer;
    env.home = home;
    env.timers = &windows.timers;
    env.objectServerProvider = [home] { return embedded::EmbeddedObjectServer::create(home); };
    env.registerAutomationServer = [programPath] {
        if (runsFromBuildTree(programPath))
            throw TqmError(TqmError::FileAccess, QStringLiteral("main"),
                           QStringLiteral("the program runs from its build tree; \"/regserver\" writes the file anyway"));
        dbusactivation::install(programPath);
    };
    if (windows.quiet)
        env.printNotice = [](const QString &text) { unattended::print(text); };
    env.applyLanguage = [](qint16 language) {
        setLanguage(language);
        widgets::useQtTranslations(language);
    };
    return env;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList rawArguments;
    for (int i = 1; i < argc; ++i)
        rawArguments.append(QString::fromLocal8Bit(argv[i]));
    if (commandline::asksForHelp(rawArguments) || commandline::asksForVersion(rawArguments))
        return printProgramInformation(argc, argv);

    const unattended::Screen screen = unattended::screenFor(QProcessEnvironment::systemEnvironment());
    const bool quiet = screen == unattended::Screen::Offscreen;
    std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv, screen);
    if (screen == unattended::Screen::Display) {
        // The desktop finds the menu entry (and so the icon) of the windows by this name.
        QGuiApplication::setDesktopFileName(dbusactivation::ServiceName);
        QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/org.velto.veltoTqmCmdModule.png")));
    }
    const QString home = tqmHome(qEnvironmentVariable("TQM_HOME"));
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
    // Qt would abort at the first window; say what is missing instead.
    if (screen == unattended::Screen::None) {
        unattended::print(unattended::noScreenLine());
        return 1;
    }

    ProgramWindows windows(quiet);
    HostEnvironment env = environmentFor(windows, programPath, arguments, home);
    PlugInHost *hostOfReport = nullptr;
    env.windowReport = [&hostOfReport, quiet](const QString &request) {
        if (hostOfReport && hostOfReport->logger())
            hostOfReport->logger()->logLine(QStringLiteral("[frmMain] ") + request);
        if (quiet)
            unattended::print(QStringLiteral("[window] ") + request);
    };
    PlugInHost host(env);
    hostOfReport = &host;
    if (isSwitch(arguments, QStringLiteral("Embedding"))) {
        // The service outlives the windows its commands open; its hosts decide when it ends.
        qobject_cast<QGuiApplication *>(app.get())->setQuitOnLastWindowClosed(false);
        HostAutomation automation(host);
        const automation::StarterBus starter{qEnvironmentVariable("DBUS_STARTER_ADDRESS"),
                                             qEnvironmentVariable("DBUS_STARTER_BUS_TYPE")};
        return automation::serve(*app, automation, starter,
                                 AutomationLifetime::idleTimeFrom(qEnvironmentVariable("TQM_AUTOMATION_IDLE_SECONDS")));
    }

    host.Main(commandline::joinArguments(arguments));
    PlugInWindow *window = host.window();
    if (!host.ended() && window && window->isInteractive())
        return app->exec();
    if (!host.ended() && window && window->isVisible())
        printWhatTheWindowShows(*app, windows.view, host);
    const bool aborted = host.session().aborted;
    host.EndApp();
    return aborted ? 1 : 0;
}
