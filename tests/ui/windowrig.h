#pragma once

// The main window's logic on the demo network, as the host opens it for a command: session
// handles of one device, the shipped plug-in INI file, the in-memory view, a memory logger,
// scripted dialogs, a registry under a temporary home and a manual clock. The demo network cycles
// through the templates: CM 1.01 is TQM_CM_L1 ... CM 1.05 TQM_CM_L5, CM 1.06 TQM_CM_STD.

#include "lns/embedded/embeddedobjectserver.h"
#include "lns/inifile.h"
#include "lns/logger.h"
#include "lns/registryaccess.h"
#include "lns/timer.h"
#include "lns/userdialogs.h"
#include "session/session.h"
#include "strings/resstrings.h"
#include "ui/frmmain.h"
#include "ui/memorymainwindowview.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Records that it was opened and picks no device.
class PickNothingWindow : public device::MultiDeviceWindow
{
public:
    explicit PickNothingWindow(QStringList &trace) : m_trace(trace) {}
    device::MultiDeviceSelectionPtr open(const device::MultiDeviceRequest &request) override
    {
        m_trace.append(QStringLiteral("multi:") + request.title);
        return selectionOf({});
    }

private:
    QStringList &m_trace;
};

class WindowRig
{
public:
    static inline const QString Network = QStringLiteral("Demo");

    WindowRig()
    {
        QVERIFY2(dir.isValid(), "no temporary directory");
        qputenv("TQM_HOME", dir.path().toUtf8());
        setLanguage(ResStrings::English);
        ini.setFileName(qEnvironmentVariable("TQM_TEST_SOURCE_DIR") + QStringLiteral("/resources/TqmCmdModule.ini"));
        copyDemoNetwork();
        server = embedded::EmbeddedObjectServer::create(dir.path(), clock);
        server->open(lns::ConnectionMode::Local);
        session.network = server->network(Network);
        session.system = session.network->systems()->item(1);
        session.initialised = true;
        session.helpFilePath = QStringLiteral("/help/index.html");
    }

    lns::AppDevicePtr device(const QString &name) const
    {
        return find(session.system->subsystems(), name);
    }

    void setOnline(const QString &deviceName, bool online)
    {
        embedded::EmbeddedObjectServer::setDeviceOnline(device(deviceName), online);
    }

    // Opens the device for the command as start-up does: loads the window, builds its pages.
    ui::FrmMain &open(const QString &deviceName, int commandIndex = 1)
    {
        session.appDevice = device(deviceName);
        session.lonMarkObject = session.appDevice->lonMarkObjects()->item(QStringLiteral("CommandModule"));
        session.deviceTemplate = session.appDevice->deviceTemplate()->name();
        session.deviceName = deviceName;
        session.lonMarkObjectName = session.lonMarkObject->name();
        session.commandIndex = commandIndex;
        create();
        window->load();
        window->buildPages(commandIndex);
        return *window;
    }

    void create()
    {
        Services services;
        services.session = &session;
        services.dialogs = &dialogs;
        services.logger = &logger;
        services.iniFile = &ini;
        services.registry = &registry;
        services.clock = &clock;
        services.timers = &timers;
        ui::FrmMainHooks hooks;
        hooks.deviceIsAccessible = [this](bool) {
            try {
                session.appDevice->deviceTest(4);
                return true;
            } catch (const TqmError &) {
                return false;
            }
        };
        hooks.setMonitoring = [this](bool on) { monitoring.append(on); };
        hooks.showHelp = [this](const QString &file, int context) {
            help.append({file, context});
            trace.append(QStringLiteral("help:%1").arg(context));
        };
        hooks.endPlugIn = [this] {
            ++ended;
            trace.append(QStringLiteral("ended"));
        };
        hooks.showAbout = [this] { trace.append(QStringLiteral("about")); };
        hooks.showDeviceInfo = [this] { trace.append(QStringLiteral("deviceinfo")); };
        hooks.createMultiDeviceWindow = [this] { return std::make_unique<PickNothingWindow>(trace); };
        hooks.programDirectory = dir.path();
        window = std::make_unique<ui::FrmMain>(view, services, hooks);
    }

    QTemporaryDir dir;
    ManualClock clock;
    ManualTimerFactory timers{clock};
    IniFile ini;
    RegistryAccess registry;
    embedded::EmbeddedObjectServerPtr server;
    SessionState session;
    ui::MemoryMainWindowView view;
    MemoryLogger logger;
    ScriptedDialogs dialogs;
    std::unique_ptr<ui::FrmMain> window;
    QList<bool> monitoring;
    QList<QPair<QString, int>> help;
    int ended = 0;
    // What the window asked of its surroundings: "help:1005", "about", "multi:<title>", "ended".
    QStringList trace;

private:
    // One demo network (a device of each template) for every rig of the process, copied.
    void copyDemoNetwork()
    {
        static QTemporaryDir made;
        static bool created = false;
        if (!created) {
            embedded::createDemoNetwork(made.path(), Network, 6, ini.fileName());
            created = true;
        }
        const QString file = QStringLiteral("/networks/") + Network + QStringLiteral(".tqmnet");
        QDir().mkpath(dir.path() + QStringLiteral("/networks"));
        QVERIFY(QFile::copy(made.path() + file, dir.path() + file));
    }

    static lns::AppDevicePtr find(const std::shared_ptr<lns::Subsystems> &level, const QString &name)
    {
        for (int s = 1; s <= level->count(); ++s) {
            const auto devices = level->item(s)->appDevices();
            for (int i = 1; i <= devices->count(); ++i) {
                if (devices->item(i)->name() == name)
                    return devices->item(i);
            }
            if (lns::AppDevicePtr below = find(level->item(s)->subsystems(), name))
                return below;
        }
        return {};
    }
};
