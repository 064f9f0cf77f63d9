#pragma once

// A plug-in host in a sandbox: temporary program directory (with a plug-in INI file), object
// server home and XDG data home, scripted dialogs, recording windows and a manual clock.

#include "host/host.h"
#include "lns/desktopseams.h"
#include "support/recordingwindows.h"
#include "host/registrationwriter.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/registryaccess.h"
#include "lns/statuswindow.h"
#include "lns/timer.h"
#include "strings/resstrings.h"
#include "lns/userdialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class RecordingAboutWindow : public AboutWindow
{
public:
    void showModal(const AboutInfo &info) override { shown.append(info); }
    QList<AboutInfo> shown;
};

class RecordingHelpViewer : public HelpViewer
{
public:
    Result show(const QString &helpFile, int contextId) override
    {
        requests.append({helpFile, contextId});
        return result;
    }
    Result result = Result::Shown;
    QList<QPair<QString, int>> requests;
};

struct HostSandbox
{
    QTemporaryDir home;
    QTemporaryDir program;
    ScriptedDialogs dialogs;
    RecordingStatusWindow status;
    RecordingPlugInWindow window;
    RecordingAboutWindow about;
    RecordingHelpViewer help;
    ManualClock clock;
    int automationRegistrations = 0;
    std::function<lns::ObjectServerPtr()> serverProvider;

    explicit HostSandbox(bool withIniFile = true)
    {
        qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/xdg")).toUtf8());
        setLanguage(0);
        if (withIniFile)
            writeProgramFile(QStringLiteral("TqmCmdModule.ini"), QStringLiteral("[velto TqmCommandModule Help 1.0]\n"
                                                                                "HelpFilePath = help/index.html\n"
                                                                                "[velto TqmCommandModule Templates 1.0]\n"
                                                                                "Template1 = TQM_CM_A,90:00:5D:50:28:04:04:01\n"
                                                                                "Template2 = TQM_CM_B,90:00:5D:50:28:04:04:02\n"));
    }

    void writeProgramFile(const QString &name, const QString &text)
    {
        const QString path = program.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    }

    HostEnvironment environment()
    {
        HostEnvironment env;
        env.programDirectory = program.path();
        env.programFileName = QStringLiteral("tqm-cmdmodule");
        env.home = home.path();
        env.clock = clock;
        env.dialogs = &dialogs;
        env.statusWindow = &status;
        env.window = &window;
        env.aboutWindow = &about;
        env.helpViewer = &help;
        env.objectServerProvider = [this] { return serverProvider ? serverProvider() : lns::ObjectServerPtr(); };
        env.registerAutomationServer = [this] { ++automationRegistrations; };
        env.applyLanguage = [](qint16 language) { setLanguage(language); };
        return env;
    }

    // The product's INI file in the program directory and a demo network of `devices` command
    // modules on its templates, which the host opens on the sandbox clock (and `timers`).
    void productDemoNetwork(int devices, TimerFactory *timers = nullptr)
    {
        QFile ini(qEnvironmentVariable("TQM_TEST_SOURCE_DIR") + QStringLiteral("/resources/TqmCmdModule.ini"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        writeProgramFile(QStringLiteral("TqmCmdModule.ini"), QString::fromUtf8(ini.readAll()));
        embedded::createDemoNetwork(home.path(), QStringLiteral("Demo"), devices, ini.fileName());
        serverProvider = [this, timers] {
            return timers ? embedded::EmbeddedObjectServer::create(home.path(), clock, *timers)
                          : embedded::EmbeddedObjectServer::create(home.path(), clock);
        };
    }

    RegistryAccess registry() const { return RegistryAccess(home.path()); }
    RegistrationWriter registrations() const { return RegistrationWriter(home.path()); }

    QString logText() const
    {
        QFile file(program.filePath(QStringLiteral("tqm-cmdmodule.LOG")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
};

// The host running the window's logic on a `View`, on the product's demo network of six devices
// (CM 1.01 ... CM 1.06, a device per template), on the sandbox clock and the rig's timers.
template <class View>
struct HostWindowRig
{
    template <class... ViewArguments>
    explicit HostWindowRig(ViewArguments... arguments) : view(arguments...)
    {
        box.productDemoNetwork(6, &timers);
    }

    // Starts the host with `commandId` on the command module of `device` ("CM 1.0n"); whether
    // the window shows.
    bool start(int commandId, const QString &device)
    {
        HostEnvironment env = box.environment();
        env.window = nullptr; // the window's logic runs on `view`
        env.view = &view;
        env.timers = &timers;
        env.windowReport = [this](const QString &request) { reported.append(request); };
        host = std::make_unique<PlugInHost>(env);
        host->Main(QStringLiteral("/CLASSID:28/COMMANDID:%1/OBJECTNAME:%2.CommandModule").arg(commandId).arg(objectName(device)));
        return !host->ended() && view.isWindowVisible();
    }

    // The device as another process (tqm-netdb) reaches it.
    lns::AppDevicePtr otherDevice(const QString &device) const
    {
        const auto other = embedded::EmbeddedObjectServer::create(box.home.path(), box.clock);
        other->open(lns::ConnectionMode::Local);
        return other->appDevice(objectName(device));
    }

    static QString objectName(QString device)
    {
        return QStringLiteral("Demo.Building A.Floor 1.") + device.replace(QLatin1Char('.'), QStringLiteral("\\."));
    }

    HostSandbox box{false};
    ManualTimerFactory timers{box.clock};
    View view;
    std::unique_ptr<PlugInHost> host;
    QStringList reported; // what the host asked of the window
};
