#pragma once

// The plug-in host: start-up from the command line or the automation object, command
// validation, opening and closing the network session, registration and shutdown. Everything the
// host touches outside itself is handed in (HostEnvironment), so that each rule can be exercised
// without a screen, a network or the real clock.

#include "lns/lnssession.h"
#include "lns/userdialogs.h"
#include "session/hostlogger.h"
#include "session/services.h"
#include "session/session.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class AboutWindow;
class HelpViewer;
class IniFile;
class PlugInWindow;
class RegistryAccess;
class StatusWindow;
class TimerFactory;
class UserDialogs;
namespace commandline {
struct Switches;
}

struct HostEnvironment
{
    QString programDirectory;   // where the program, its INI file and its help live
    QString programFileName;    // e.g. "tqm-cmdmodule"; the log file is this + ".LOG"
    QString home;               // the machine-wide data directory (registry, registrations)
    const Clock *clock = nullptr;
    TimerFactory *timers = nullptr;
    UserDialogs *dialogs = nullptr;
    StatusWindow *statusWindow = nullptr;
    PlugInWindow *window = nullptr;
    AboutWindow *aboutWindow = nullptr;
    HelpViewer *helpViewer = nullptr;
    // The main window's object-server control.
    ObjectServerProvider objectServerProvider;
    // Registers the automation object with the desktop (the " /regserver" restart).
    std::function<void()> registerAutomationServer;
    // Shows the interface language to the rest of the program (the string table's language).
    std::function<void(qint16)> applyLanguage;
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
    void Unregister();
    void RegisterIntoProject(const QString &objectName, lns::ConnectionMode mode);
    void ShowAboutWindow();

    void UpdateHelpMenu();
    void ShowHtmlHelp(const QString &helpFile, int contextId);
    // Whether the help entries of the help menu are available (after UpdateHelpMenu).
    bool manualAvailable() const { return m_manualAvailable; }
    bool appDocAvailable() const { return m_appDocAvailable; }

    // The monitoring page stops its monitoring through this when the plug-in ends.
    void setMonitoringStopper(std::function<void()> stop) { m_stopMonitoring = std::move(stop); }

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
    // The stand-alone start asked for the main window without a network session.
    bool standAloneStarted() const { return m_session.commandIndex == commands::StandAlone; }

    QString resString(int id, int piece = 1) const;

private:
    enum class Step { Next, Leave };
    // Runs one step of a routine; an error goes to the logger's error handler, whose answer
    // repeats the step, goes on, or leaves the routine (ending the program when asked).
    Step runStep(const QString &routineName, const std::function<void()> &step);
    void log(const QString &label);
    // A box of the given text; `cause` goes to its details.
    MsgAnswer message(const QString &text, const QString &title, MsgIcon icon, const QString &cause = {});
    QString causeWithIniProblems(const QString &cause) const;
    void abort();
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

    HostEnvironment m_env;
    SessionState m_session;
    Services m_services;
    std::unique_ptr<HostLogger> m_logger;
    std::unique_ptr<IniFile> m_iniFile;
    std::unique_ptr<RegistryAccess> m_registry;
    std::unique_ptr<LnsSession> m_lnsSession;
    std::function<void()> m_stopMonitoring;
    QString m_lastAccessFailure; // why the last device check failed
    bool m_ended = false;
    bool m_endRequested = false;
    bool m_manualAvailable = false;
    bool m_appDocAvailable = false;
};
