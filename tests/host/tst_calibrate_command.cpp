// The calibrate command end to end: the host opens a simulated command module of the demo
// network for command 14 and hands it to the window, whose sensor calibration measures through
// the host's monitoring page. On a manual clock: the device, the monitor engine and the window's
// timers move with it. (The procedures' rules are tested in tests/calibration.)

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

class TstCalibrateCommand : public QObject
{
    Q_OBJECT
private slots:
    // A room at 21.0 °C that the sensor reads 0.8 K too warm: with 21,0 entered the device
    // afterwards reports 21.00, the record shows today, and "Copy ..." gives a device that
    // CalibTransfer accepts the same offset.
    void calibrationAndCopy()
    {
        HostSandbox box(false);
        ManualTimerFactory timers(box.clock);
        box.productDemoNetwork(6, &timers);
        const auto network = EmbeddedObjectServer::create(box.home.path(), box.clock, timers);
        network->open(lns::ConnectionMode::Local);
        const auto module = [&](const char *name) {
            return network->findDevice("Demo", name)->lonMarkObjects()->item("CommandModule");
        };
        EmbeddedObjectServer::changeRoom(module("CM 1.06")->appDevice(), [](const auto &room, const auto &settings, const QDateTime &now) {
            return embedded::cmsim::setSensorError(embedded::cmsim::setRoomTemp(room, settings, 2100, now), settings, 80, now);
        });
        MemoryMainWindowView view;
        PlugInHost host(box.environment(view, &timers));
        host.Main(QStringLiteral("/CLASSID:28/COMMANDID:14/OBJECTNAME:Demo.Building A.Floor 1.CM 1\\.06.CommandModule"));
        QCOMPARE(view.buttonBarItems().size(), 1); // calibration only

        QVERIFY(view.clickCommandButton(calibration::button::SensorCalibrate));
        box.clock.advanceMs(21 * calibration::TemperatureSensorCalibration::IntervalMs);
        QCOMPARE(view.caption(Element::label(labels::SensorResult)), QString("Calibration succeeded."));
        QCOMPARE(view.textBox(calibration::SensorCalibratedBox)->text(),
                 calibration::CalibrationTimeText(box.clock.now().toLocalTime(), languageLocale(ResStrings::English)));
        QCOMPARE(cpaccess::readRawText(*module("CM 1.06")->configProperties()->item("nciTmpOffset")), QString("255\t176"));
        box.clock.advanceSeconds(2);
        const QString reading = host.monitoring()->MonitorPoints()->GetMonitorPointByName("nvoSpaceTemp")->Value();
        QVERIFY2(qAbs(calibration::SpaceTempHundredths(reading).value_or(0) - 2100) <= 1, qPrintable(reading));

        QVERIFY(view.isVisible(Element::frame(Frame::SensorCopy)));
        qputenv(device::ScriptedMultiDeviceWindow::PickVariable, "CM 1.04");
        QVERIFY(view.clickCommandButton(calibration::button::SensorCopy));
        qunsetenv(device::ScriptedMultiDeviceWindow::PickVariable);
        QCOMPARE(cpaccess::readRawText(*module("CM 1.04")->configProperties()->item("nciTmpOffset")), QString("255\t176"));
        QCOMPARE(LnsUtility::ReadExtensionValue(module("CM 1.04")->extensions(), calibration::TempSensorCalibratedRecord, "", 2),
                 QString("1"));
        host.EndApp();
    }
};

QTEST_GUILESS_MAIN(TstCalibrateCommand)
#include "tst_calibrate_command.moc"
