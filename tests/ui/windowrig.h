#pragma once

// The main window's logic on the demo network, as the host opens it for a command: session
// handles of one device, the shipped plug-in INI file (or a copy with lines replaced), the
// in-memory view, a memory logger, scripted dialogs, a registry under a temporary home and a
// manual clock that also drives the network's monitor engine. The demo network cycles through the
// templates: CM 1.01 is TQM_CM_L1 ... CM 1.05 TQM_CM_L5, CM 1.06 TQM_CM_STD.

#include "lns/embedded/embeddedobjectserver.h"
#include "lns/inifile.h"
#include "lns/logger.h"
#include "lns/registryaccess.h"
#include "lns/timer.h"
#include "lns/userdialogs.h"
#include "monitoring/cmonitoring.h"
#include "params/cpaccess.h"
#include "session/session.h"
#include "strings/resstrings.h"
#include "ui/frmmain.h"
#include "ui/memorymainwindowview.h"
#include "support/pickingwindow.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Lines of the shipped plug-in INI file and their replacements.
using IniEdits = QList<QPair<QString, QString>>;

class WindowRig
{
public:
    static inline const QString Network = QStringLiteral("Demo");

    explicit WindowRig(const IniEdits &iniEdits = {})
    {
        QVERIFY2(dir.isValid(), "no temporary directory");
        qputenv("TQM_HOME", dir.path().toUtf8());
        setLanguage(ResStrings::English);
        ini.setFileName(iniFile(iniEdits));
        copyDemoNetwork();
        server = embedded::EmbeddedObjectServer::create(dir.path(), clock, timers);
        server->open(lns::ConnectionMode::Local);
        session.objectServer = server;
        session.network = server->network(Network);
        session.system = session.network->systems()->item(1);
        session.initialised = true;
        session.helpFilePath = QStringLiteral("/help/index.html");
    }

    lns::AppDevicePtr device(const QString &name) const { return server->findDevice(Network, name); }

    void setOnline(const QString &deviceName, bool online)
    {
        embedded::EmbeddedObjectServer::setDeviceOnline(device(deviceName), online);
    }

    // A CP of the device's command-module object, as RAW text.
    QString cp(const QString &deviceName, const QString &cpName) const
    {
        return cpaccess::readRawText(*module(deviceName)->configProperties()->item(cpName));
    }
    void setCp(const QString &deviceName, const QString &cpName, const QString &raw)
    {
        cpaccess::writeRawText(*module(deviceName)->configProperties()->item(cpName), raw);
    }
    lns::LonMarkObjectPtr module(const QString &deviceName) const
    {
        return device(deviceName)->lonMarkObjects()->item(QStringLiteral("CommandModule"));
    }
    // The simulated device's room: temperature and the sensor's deviation, in hundredths.
    void setRoom(const QString &deviceName, int roomTemp, int sensorError)
    {
        using namespace embedded::cmsim;
        embedded::EmbeddedObjectServer::changeRoom(device(deviceName), [&](const RoomState &room, const Settings &settings,
                                                                           const QDateTime &now) {
            return setSensorError(setRoomTemp(room, settings, roomTemp, now), settings, sensorError, now);
        });
    }

    // Opens the device for the command as start-up does: loads the window, builds its pages.
    // No device name: started without a device.
    ui::FrmMain &open(const QString &deviceName, int commandIndex = 1)
    {
        if (!deviceName.isEmpty()) {
            session.appDevice = device(deviceName);
            session.lonMarkObject = session.appDevice->lonMarkObjects()->item(QStringLiteral("CommandModule"));
            session.deviceTemplate = session.appDevice->deviceTemplate()->name();
            session.deviceName = deviceName;
            session.lonMarkObjectName = session.lonMarkObject->name();
        }
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
                session.communicationFailed = false;
                return true;
            } catch (const TqmError &) {
                return false;
            }
        };
        // The monitoring page as the host makes it: on the window, with its configuration.
        hooks.createMonitoring = [this, services] {
            monitoringPage = std::make_unique<cMonitoring>(services, window->monitoringPage(), window->configuration()->Parameters(),
                                                           QLocale::c());
        };
        hooks.monitorPoints = [this] { return monitoringPage ? monitoringPage->MonitorPoints() : nullptr; };
        hooks.setMonitoring = [this](bool on) {
            monitoring.append(on);
            if (monitoringPage)
                monitoringPage->SetMonitoring(on);
        };
        hooks.showHelp = [this](const QString &file, int context) { trace.append(QStringLiteral("help:%1 %2").arg(file).arg(context)); };
        hooks.endPlugIn = [this] { trace.append(QStringLiteral("ended")); };
        hooks.showAbout = [this] { trace.append(QStringLiteral("about")); };
        hooks.showDeviceInfo = [this](const DeviceInfoReport &report) {
            trace.append(QStringLiteral("deviceinfo"));
            deviceInfo = report;
        };
        hooks.createMultiDeviceWindow = [this] { return std::make_unique<PickingWindow>(picks, &trace); };
        hooks.programDirectory = dir.path();
        window = std::make_unique<ui::FrmMain>(view, services, hooks);
    }

    QTemporaryDir dir;
    ManualClock clock;
    ManualTimerFactory timers{clock};
    IniFile ini;
    RegistryAccess registry{dir.path()};
    embedded::EmbeddedObjectServerPtr server;
    SessionState session;
    ui::MemoryMainWindowView view;
    MemoryLogger logger;
    ScriptedDialogs dialogs;
    std::unique_ptr<ui::FrmMain> window;
    std::unique_ptr<cMonitoring> monitoringPage;
    QStringList picks; // what the multi-device window picks
    QList<bool> monitoring;
    DeviceInfoReport deviceInfo; // what Help - Device info showed last
    // What the window asked of its surroundings: "help:/help/index.html 1005", "about", "multi:<title>", "ended".
    QStringList trace;

private:
    QString iniFile(const IniEdits &edits) const
    {
        const QString shipped = qEnvironmentVariable("TQM_TEST_SOURCE_DIR") + QStringLiteral("/resources/TqmCmdModule.ini");
        if (edits.isEmpty())
            return shipped;
        QFile file(shipped);
        if (!file.open(QIODevice::ReadOnly))
            qFatal("no plug-in INI file");
        QString text = QString::fromUtf8(file.readAll());
        for (const auto &[line, replacement] : edits) {
            if (!text.contains(line))
                qFatal("no line \"%s\" in the INI file", qPrintable(line));
            text.replace(line, replacement);
        }
        QFile edited(dir.filePath(QStringLiteral("TqmCmdModule.ini")));
        if (!edited.open(QIODevice::WriteOnly))
            qFatal("cannot write the edited INI file");
        edited.write(text.toUtf8());
        return edited.fileName();
    }

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
};
