#pragma once

// The plug-in host: start-up from the command line or the automation object, command
// validation, opening and closing the network session, registration and shutdown. Everything the
// host touches outside itself is handed in (HostEnvironment), so that each rule can be exercised
// without a screen, a network or the real clock.

#include "device/multidevicewindow.h"
#include "lns/lnssession.h"
#include "lns/userdialogs.h"
#include "session/hostlogger.h"
#include "session/refusal.h"
#include "session/services.h"
#include "session/session.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class AboutWindow;
class DeviceInfoWindow;
class cMonitoring;
class HelpViewer;
class IniFile;
class PlugInWindow;
class RegistryAccess;
class StatusWindow;
class TimerFactory;
class UserDialogs;
struct Services;
namespace ui {
class FrmMain;
class MainWindowView;
} // namespace ui
namespace commandline {
struct Switches;
}

struct HostEnvironment
{
    QString programDirectory;   // where the program, its INI file and its help live
    QString programFileName;    // e.g. "tqm-cmdmodule"; the log file is this + ".LOG"
    QString logDirectory;       // where the log goes instead of the program directory (TQM_LOG_DIR)
    QString logFallbackDirectory; // where it goes when that cannot be written ($XDG_STATE_HOME/tqm)
    QString startCommand;       // the program's arguments, for the log's start line
    QString home;               // the machine-wide data directory (registry, registrations)
    ClockRef clock;
    TimerFactory *timers = nullptr;
    UserDialogs *dialogs = nullptr;
    StatusWindow *statusWindow = nullptr;
    // The main window's view: the host runs the window's logic (ui::FrmMain) on it. Without a
    // view, `window` stands in for the whole window (host tests).
    ui::MainWindowView *view = nullptr;
    PlugInWindow *window = nullptr;
    // The multi-device window of "Copy parameters ..."; none: the scripted one.
    std::function<std::unique_ptr<device::MultiDeviceWindow>()> createMultiDeviceWindow;
    // Hears what a user would see of the main window ("buildPages 1", "show", "hide").
    std::function<void(const QString &request)> windowReport;
    AboutWindow *aboutWindow = nullptr;
    DeviceInfoWindow *deviceInfoWindow = nullptr; // none: Help - Device info shows nothing
    HelpViewer *helpViewer = nullptr;
    // The main window's object-server control.
    ObjectServerProvider objectServerProvider;
    // Registers the automation object with the desktop (the " /regserver" restart).
    std::function<void()> registerAutomationServer;
    // Shows the interface language to the rest of the program (the string table's language).
    std::function<void(qint16)> applyLanguage;
    // Tells a problem with how the program was started that no message box shows (an unknown
    // switch, an /UNREG that could not remove the registration); unattended: standard error.
    std::function<void(const QString &)> printNotice;
};

class PlugInHost
{
public:
    explicit PlugInHost(HostEnvironment environment);
    ~PlugInHost();

    // Process entry when started as a program; `commandLine` is the arguments joined by blanks.
    void Main(const QString &commandLine);
    void InitApp();
    void ValidateCommand(qint32 commandId, qint16 classId, const QString &objectName);
    void OpenPlugIn(const QString &objectName, lns::ConnectionMode mode);
    void AttachToHostObjects();
    // Whether the device (the session's device when none is given) answers; a check less than
    // ten seconds after the previous one answers the kept result unless forced.
    bool DeviceIsAccessible(const lns::AppDevicePtr &device = {}, bool force = false);
    void EndApp();

    void Register();
    // Removes the registration record and the automation object's activation file, both or
    // neither; answers whether they are gone (else why not, in `reason`). Never reports: the
    // reason goes to the log.
    bool Unregister(QString *reason = nullptr);
    void RegisterIntoProject(const QString &objectName, lns::ConnectionMode mode);
    void ShowAboutWindow();

    void UpdateHelpMenu();
    void ShowHtmlHelp(const QString &helpFile, int contextId);
    // Whether the help entries of the help menu are available (after UpdateHelpMenu).
    bool manualAvailable() const { return m_manualAvailable; }
    bool appDocAvailable() const { return m_appDocAvailable; }

    // The main window: the window logic when the host has a view, else the stand-in.
    PlugInWindow *window() const;
    // The window logic; null without a view, or before InitApp.
    ui::FrmMain *mainWindow() const { return m_mainWindow.get(); }
    // The monitoring page, created with the window's device configuration; null before and
    // after the command.
    cMonitoring *monitoring() const { return m_monitoring.get(); }

    SessionState &session() { return m_session; }
    const SessionState &session() const { return m_session; }
    const HostEnvironment &environment() const { return m_env; }
    HostLogger *logger() { return m_logger.get(); }
    // The session's services, built once by InitApp for the configuration, the window's logic,
    // monitoring and calibration; empty again after EndApp.
    const Services &services() const { return m_services; }
    IniFile *iniFile() { return m_iniFile.get(); }
    RegistryAccess *registry() { return m_registry.get(); }
    // True once EndApp ran (the program is to end, or the automation object to go idle).
    bool ended() const { return m_ended; }
    // True when an error handler was answered "end the program".
    bool endRequested() const { return m_endRequested; }
    // Why the last command was refused (Reason::None when it was carried out).
    const Refusal &refusal() const { return m_refusal; }
    // The stand-alone start asked for the main window without a network session.
    bool standAloneStarted() const { return m_session.commandIndex == commands::StandAlone; }

    QString resString(int id, int piece = 1) const;

private:
    // The manual in the session's language: the German pages lie in "de" beside the English ones.
    QString helpFileOfLanguage() const;
    enum class Step { Next, Leave };
    // Runs one step of a routine; an error goes to the logger's error handler, whose answer
    // repeats the step, goes on, or leaves the routine (ending the program when asked).
    Step runStep(const QString &routineName, const std::function<void()> &step);
    void log(const QString &label);
    // A line in the log that the user of an unattended start also sees.
    void notice(const QString &text);
    // A box of the given text; `cause` goes to its details.
    MsgAnswer message(const QString &text, const QString &title, MsgIcon icon, const QString &cause = {});
    QString causeWithIniProblems(const QString &cause) const;
    void abort();
    // Shows the message of a refused command, keeps why, and sets Aborted.
    void refuse(Refusal::Reason reason, const QString &text, const QString &title, MsgIcon icon,
                const QString &cause = {});
    void fillCommandTable();
    void buildServices();
    void handleCommandLine(const commandline::Switches &switches);
    void startStandAlone(bool withStatusWindow);
    void closeSession();
    // Open the object server and the network into the session; false when it failed.
    bool openServer(lns::ConnectionMode mode);
    bool openNetwork(const QString &networkName);
    LnsSessionObjects sessionObjects();
    bool registerCommandsFor(const QString &deviceTemplate, QStringList &causes);
    bool registerInOneTransaction(QStringList &causes);
    void createMainWindow();
    void createMonitoring();

    HostEnvironment m_env;
    SessionState m_session;
    Services m_services;
    std::unique_ptr<HostLogger> m_logger;
    std::unique_ptr<IniFile> m_iniFile;
    std::unique_ptr<RegistryAccess> m_registry;
    std::unique_ptr<LnsSession> m_lnsSession;
    std::unique_ptr<ui::FrmMain> m_mainWindow;
    // Works on the window's fields: released before the window.
    std::unique_ptr<cMonitoring> m_monitoring;
    QString m_lastAccessFailure; // why the last device check failed
    bool m_ended = false;
    bool m_endRequested = false;
    Refusal m_refusal;
    // The last error a step raised, for the refusal of a command that it stopped.
    QString m_lastStepError;
    bool m_manualAvailable = false;
    bool m_appDocAvailable = false;
};
