// The calibrate command end to end: the host opens a simulated command module of the demo
// network for command 14, the window offers the calibration view only, and the calibration runs
// on the window's timer against the device, measuring through the monitoring page's point. All
// on a manual clock: the device, the monitor engine and the window's timers move with it.

#include "hosttestkit.h"
#include "calibration/calibrationrecords.h"
#include "calibration/sensorcalibration.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/extensionvalue.h"
#include "lns/timer.h"
#include "monitoring/cmonitoring.h"
#include "params/cpaccess.h"
#include "ui/frmmain.h"
#include "ui/memorymainwindowview.h"

using namespace ui;
using embedded::EmbeddedObjectServer;
using embedded::EmbeddedObjectServerPtr;

namespace {

const QString Command = QStringLiteral("/CLASSID:28/COMMANDID:14/OBJECTNAME:Demo.Building A.Floor 1.CM 1\\.%1.CommandModule");
constexpr int RunMs = 21 * calibration::TemperatureSensorCalibration::IntervalMs;

// Picks the devices named, of those offered.
class PickingWindow : public device::MultiDeviceWindow
{
public:
    explicit PickingWindow(QStringList picks) : m_picks(std::move(picks)) {}
    device::MultiDeviceSelectionPtr open(const device::MultiDeviceRequest &request) override
    {
        QList<device::FoundDevice> picked;
        for (const device::FoundDevice &found : search(request).offered) {
            if (m_picks.contains(found.name))
                picked.append(found);
        }
        return selectionOf(picked);
    }

private:
    QStringList m_picks;
};

// The host with the window's logic on an in-memory view, on the demo network.
struct CalibrateCommand
{
    HostSandbox box{false};
    ManualTimerFactory timers{box.clock};
    MemoryMainWindowView view;
    std::unique_ptr<PlugInHost> host;
    QStringList picks;
    EmbeddedObjectServerPtr ownServer;

    CalibrateCommand()
    {
        QFile ini(qEnvironmentVariable("TQM_TEST_SOURCE_DIR") + QStringLiteral("/resources/TqmCmdModule.ini"));
        if (!ini.open(QIODevice::ReadOnly))
            qFatal("no plug-in INI file");
        box.writeProgramFile(QStringLiteral("TqmCmdModule.ini"), QString::fromUtf8(ini.readAll()));
        embedded::createDemoNetwork(box.home.path(), QStringLiteral("Demo"), 6, ini.fileName());
        const QString home = box.home.path();
        box.serverProvider = [this, home] { return EmbeddedObjectServer::create(home, box.clock, timers); };
    }
    ~CalibrateCommand()
    {
        if (host)
            host->EndApp();
    }

    void run(const QString &deviceNumber)
    {
        HostEnvironment env = box.environment();
        env.window = nullptr;
        env.view = &view;
        env.timers = &timers;
        env.createMultiDeviceWindow = [this] { return std::make_unique<PickingWindow>(picks); };
        host = std::make_unique<PlugInHost>(env);
        host->Main(Command.arg(deviceNumber));
    }

    // A device of the demo network, through the command's server once it runs, else through a
    // server of the test's own (the network database is shared).
    lns::LonMarkObjectPtr module(const QString &name)
    {
        if (!ownServer) {
            ownServer = EmbeddedObjectServer::create(box.home.path(), box.clock, timers);
            ownServer->open(lns::ConnectionMode::Local);
        }
        return ownServer->findDevice("Demo", name)->lonMarkObjects()->item("CommandModule");
    }
    QString offset(const QString &name)
    {
        return cpaccess::readRawText(*module(name)->configProperties()->item("nciTmpOffset"));
    }
    void setRoom(const QString &name, int roomTemp, int sensorError)
    {
        const lns::AppDevicePtr appDevice = module(name)->appDevice();
        EmbeddedObjectServer::changeRoom(appDevice, [&](const auto &room, const auto &settings, const QDateTime &now) {
            return embedded::cmsim::setSensorError(embedded::cmsim::setRoomTemp(room, settings, roomTemp, now), settings,
                                                  sensorError, now);
        });
    }
    QString result() const { return view.caption(Element::label(labels::SensorResult)); }
};

} // namespace

class TstCalibrateCommand : public QObject
{
    Q_OBJECT
private slots:
    void offersTheCalibrationViewOnly()
    {
        CalibrateCommand command;
        command.run("06");
        QVERIFY(command.host->window()->isVisible());
        QCOMPARE(command.view.buttonBarItems().size(), 1);
        QCOMPARE(command.view.buttonBarItems().first().key, QString("2"));
        QCOMPARE(command.view.tabKeys(2), (QStringList{"KEY:2", "KEY:3", "KEY:6"}));
        QCOMPARE(command.view.textBox(calibration::RoomTemperatureBox)->text(), QString("21,0"));
        QVERIFY(command.view.isEnabled(Element::commandButton(calibration::button::SensorCalibrate)));
        // The calibrate command monitors nothing on its own: the calibration reads its point.
        QCOMPARE(command.host->monitoring()->MonitorPoints()->Count(), 1);
        QVERIFY(!command.host->monitoring()->MonitorPoints()->GetMonitorPoint(1)->MonitoringIsActive());
    }

    // A room at 21.0 °C that the sensor reads 0.8 K too warm: with 21,0 entered the device
    // afterwards reports 21.00, the record shows today, the copy frame appears, and "Copy ..."
    // gives a device that CalibTransfer accepts the same offset.
    void calibrationAndCopyEndToEnd()
    {
        CalibrateCommand command;
        command.setRoom("CM 1.06", 2100, 80);
        command.run("06");
        QVERIFY(!command.view.isVisible(Element::frame(Frame::SensorCopy))); // not calibrated yet
        QVERIFY(command.view.clickCommandButton(calibration::button::SensorCalibrate));
        QVERIFY(!command.view.windowEnabled());
        command.box.clock.advanceMs(RunMs);
        QCOMPARE(command.result(), QString("Calibration succeeded."));
        QCOMPARE(command.view.foreColour(Element::label(labels::SensorResult)), controls::Colour(0x008000));
        QVERIFY(command.view.windowEnabled());
        QCOMPARE(command.offset("CM 1.06"), QString("255\t176")); // -0.80 K
        QCOMPARE(command.view.textBox(calibration::SensorCalibratedBox)->text(),
                 calibration::CalibrationTimeText(command.box.clock.now(), QLocale::system()));
        command.box.clock.advanceSeconds(2);
        const QString reading = command.host->monitoring()->MonitorPoints()->GetMonitorPointByName("nvoSpaceTemp")->Value();
        const std::optional<qint32> measured = calibration::SpaceTempHundredths(reading);
        QVERIFY(measured);
        QVERIFY2(qAbs(*measured - 2100) <= 1, qPrintable(reading));
        QVERIFY(command.view.isVisible(Element::frame(Frame::SensorCopy)));

        command.picks = QStringList{"CM 1.04"}; // TQM_CM_L4: STD's CalibTransfer lists it
        QVERIFY(command.view.clickCommandButton(calibration::button::SensorCopy));
        QCOMPARE(command.offset("CM 1.04"), QString("255\t176"));
        QCOMPARE(LnsUtility::ReadExtensionValue(command.module("CM 1.04")->extensions(),
                                                calibration::TempSensorCalibratedRecord, "", 2),
                 QString("1"));
        QCOMPARE(command.view.statusText(), GetResString(1517));
        QVERIFY(command.view.windowEnabled());
    }

    // The device goes silent while the run measures: the run fails, and the device gets its old
    // offset bytes back once it answers again.
    void deviceOfflineMidRun()
    {
        CalibrateCommand command;
        cpaccess::writeRawText(*command.module("CM 1.06")->configProperties()->item("nciTmpOffset"), "255\t106");
        command.run("06");
        QVERIFY(command.view.clickCommandButton(calibration::button::SensorCalibrate));
        command.box.clock.advanceMs(1000);
        EmbeddedObjectServer::setDeviceOnline(command.module("CM 1.06")->appDevice(), false);
        command.box.clock.advanceMs(RunMs);
        QCOMPARE(command.result(), QString("Calibration failed."));
        QVERIFY(command.view.windowEnabled());
        QCOMPARE(command.offset("CM 1.06"), QString("0\t0"));
        EmbeddedObjectServer::setDeviceOnline(command.module("CM 1.06")->appDevice(), true);
        command.box.clock.advanceSeconds(6);
        QCOMPARE(command.offset("CM 1.06"), QString("255\t106"));
    }
};

QTEST_GUILESS_MAIN(TstCalibrateCommand)
#include "tst_calibrate_command.moc"
