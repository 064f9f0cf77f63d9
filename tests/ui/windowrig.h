#pragma once

// The main window's logic on the demo network (support/demorig.h), as the host opens it for a
// command: session handles of one device, the in-memory view, a registry under the temporary
// home, and the rig's manual clock also driving the network's monitor engine.

#include "lns/registryaccess.h"
#include "monitoring/cmonitoring.h"
#include "support/demorig.h"
#include "support/pickingwindow.h"
#include "ui/frmmain.h"
#include "ui/memorymainwindowview.h"

class WindowRig : public DemoRig
{
public:
    explicit WindowRig(const IniEdits &iniEdits = {}) : DemoRig(6, iniEdits, {}, true)
    {
        qputenv("TQM_HOME", dir.path().toUtf8());
        session.objectServer = server;
        session.initialised = true;
        session.helpFilePath = QStringLiteral("/help/index.html");
    }
    // Opened at once on the device for the command.
    explicit WindowRig(const QString &deviceName, int commandIndex = 1) : WindowRig() { open(deviceName, commandIndex); }

    void setOnline(const QString &deviceName, bool online)
    {
        embedded::EmbeddedObjectServer::setDeviceOnline(device(deviceName), online);
    }

    // A CP of the device's command-module object, as RAW text.
    QString cp(const QString &deviceName, const QString &cpName) const { return raw(module(deviceName), cpName); }
    void setCp(const QString &deviceName, const QString &cpName, const QString &value)
    {
        setRaw(module(deviceName), cpName, value);
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
    void open(const QString &deviceName, int commandIndex = 1)
    {
        if (deviceName.isEmpty())
            session.commandIndex = commandIndex;
        else
            select(deviceName, commandIndex);
        create();
        window->load();
        window->buildPages(commandIndex);
    }

    void create()
    {
        Services services = servicesBundle();
        services.registry = &registry;
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
        hooks.showDeviceInfo = [this](const DeviceInfoReport &report) { deviceInfo = report; };
        hooks.createMultiDeviceWindow = [this] { return std::make_unique<PickingWindow>(picks, &trace); };
        hooks.programDirectory = dir.path();
        window = std::make_unique<ui::FrmMain>(view, services, hooks);
    }

    RegistryAccess registry{dir.path()};
    ui::MemoryMainWindowView view;
    std::unique_ptr<ui::FrmMain> window;
    std::unique_ptr<cMonitoring> monitoringPage;
    QStringList picks; // what the multi-device window picks
    QList<bool> monitoring;
    DeviceInfoReport deviceInfo; // what Help - Device info showed last
    // What the window asked of its surroundings: "help:/help/index.html 1005", "about", "multi:<title>", "ended".
    QStringList trace;
};
