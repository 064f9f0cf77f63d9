// The host hands its commands over to the window's logic on the product's demo network, on a
// manual clock that moves the devices, the monitor engine and the window's timers: configure
// shows the device (the device check is the host's, kept ten seconds), calibrate measures
// through the host's monitoring page, monitor fills the fields until EndApp and hands them out
// unattended. (The pages' own rules are tested in tests/ui, tests/calibration, tests/monitoring.)

#include "hosttestkit.h"
#include "calibration/sensorcalibration.h"
#include "host/unattendedmonitor.h"
#include "lns/embedded/commandmodulesim.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/timer.h"
#include "monitoring/cmonitoring.h"
#include "params/cpaccess.h"
#include "params/cparamtextbox.h"
#include "session/settings.h"
#include "ui/frmmain.h"
#include "ui/memorymainwindowview.h"

#include <QSignalSpy>

using namespace ui;
using embedded::EmbeddedObjectServer;

namespace {

struct HostWindowRig
{
    HostSandbox box{false};
    ManualTimerFactory timers{box.clock};
    MemoryMainWindowView view;
    std::unique_ptr<PlugInHost> host;
    QStringList reported; // what the host asked of the window

    HostWindowRig() { box.productDemoNetwork(6, &timers); }

    // Starts the host with `commandId` on the command module of `device` ("CM 1.0n").
    void start(int commandId, const QString &device)
    {
        HostEnvironment env = box.environment(view, &timers);
        env.windowReport = [this](const QString &request) { reported.append(request); };
        host = std::make_unique<PlugInHost>(env);
        host->Main(QStringLiteral("/CLASSID:28/COMMANDID:%1/OBJECTNAME:%2.CommandModule").arg(commandId).arg(objectName(device)));
    }

    // The device as another process (tqm-netdb) reaches it.
    lns::AppDevicePtr otherDevice(const QString &device) const
    {
        const auto other = EmbeddedObjectServer::create(box.home.path(), box.clock);
        other->open(lns::ConnectionMode::Local);
        return other->appDevice(objectName(device));
    }

    // The monitor command's fields, "(off)" for a disabled one.
    QStringList fields() const
    {
        QStringList shown;
        for (int field = 4; field <= 10; ++field)
            shown.append(view.textBox(field)->enabled() ? view.textBox(field)->text() : QStringLiteral("(off)"));
        return shown;
    }

    static QString objectName(QString device)
    {
        return QStringLiteral("Demo.Building A.Floor 1.") + device.replace(QLatin1Char('.'), QStringLiteral("\\."));
    }
};

} // namespace

class TstHostWindow : public QObject
{
    Q_OBJECT
private slots:
    void configureShowsTheDeviceInTheWindow()
    {
        HostWindowRig rig;
        rig.start(13, "CM 1.06");
        QVERIFY(!rig.host->ended());
        QVERIFY(rig.host->window()->isVisible());
        QCOMPARE(rig.reported, (QStringList{"buildPages 1", "show"}));
        QCOMPARE(rig.view.windowCaption(), QStringLiteral("CM 1.06 / CommandModule"));
        QCOMPARE(rig.view.statusText(), GetResString(1517));
        QVERIFY(!rig.box.status.visible);
        const auto *minDelta = rig.host->mainWindow()->configuration()->Parameters()->TextBoxParameterByName("MinDeltaTemp");
        QVERIFY(minDelta->Available());
        QVERIFY(!rig.view.textBox(2)->text().isEmpty());
        QStringList shownLines;
        for (const LogViewLine &line : rig.view.loggerLines.lines)
            shownLines.append(line.text);
        QVERIFY2(shownLines.contains(GetResString(1550, 2)), qPrintable(shownLines.join('\n')));
        QVERIFY(rig.box.logText().contains(QStringLiteral("[frmMain] Public Sub Display()")));

        // The device check is the host's: a device that stops answering is noticed once the
        // last answer is ten seconds old.
        QVERIFY(rig.view.clickButtonBarItem("2"));
        QVERIFY(rig.view.isEnabled(Element::commandButton(0)));
        EmbeddedObjectServer::setDeviceOnline(rig.host->session().appDevice, false);
        rig.box.clock.advanceSeconds(5);
        QVERIFY(rig.view.clickTab("KEY:3"));
        QVERIFY(rig.view.isEnabled(Element::commandButton(1)));
        rig.box.clock.advanceSeconds(5);
        QVERIFY(rig.view.clickTab("KEY:2"));
        QVERIFY(!rig.view.isEnabled(Element::commandButton(0)));

        QVERIFY(rig.view.requestClose());
        QVERIFY(rig.host->ended());
        QVERIFY(!rig.view.isWindowVisible());
        RegistryAccess registry = rig.box.registry();
        QCOMPARE(settings::readWindowPosition(registry).top, rig.view.windowGeometry().top);
    }

    // A room at 21.0 °C that the sensor reads 0.8 K too warm: with 21,0 entered the device gets
    // the correction, and the host's monitoring page then reads 21.00.
    void calibrateMeasuresThroughTheHostsMonitoringPage()
    {
        HostWindowRig rig;
        EmbeddedObjectServer::changeRoom(rig.otherDevice("CM 1.06"), [](const auto &room, const auto &settings, const QDateTime &now) {
            return embedded::cmsim::setSensorError(embedded::cmsim::setRoomTemp(room, settings, 2100, now), settings, 80, now);
        });
        rig.start(14, "CM 1.06");
        QCOMPARE(rig.view.buttonBarItems().size(), 1); // calibration only

        QVERIFY(rig.view.clickCommandButton(calibration::button::SensorCalibrate));
        rig.box.clock.advanceMs(21 * calibration::TemperatureSensorCalibration::IntervalMs);
        QCOMPARE(rig.view.caption(Element::label(labels::SensorResult)), QString("Calibration succeeded."));
        const auto offset = rig.host->session().lonMarkObject->configProperties()->item("nciTmpOffset");
        QCOMPARE(cpaccess::readRawText(*offset), QString("255\t176"));
        rig.box.clock.advanceSeconds(2);
        const QString reading = rig.host->monitoring()->MonitorPoints()->GetMonitorPointByName("nvoSpaceTemp")->Value();
        QVERIFY2(qAbs(calibration::SpaceTempHundredths(reading).value_or(0) - 2100) <= 1, qPrintable(reading));
        rig.host->EndApp();
    }

    void monitorCommandShowsTheFieldsUntilEndApp()
    {
        HostWindowRig rig;
        rig.start(21, "CM 1.04");
        QVERIFY(!rig.host->ended());
        QCOMPARE(rig.view.buttonBarItems().size(), 1);
        QCOMPARE(rig.view.buttonBarItems().first().key, QString("1"));
        QVERIFY(rig.host->monitoring());
        QCOMPARE(rig.fields().mid(0, 3), (QStringList{"21.0", "0.0", "HVAC_OFF"}));

        rig.host->EndApp();
        QVERIFY(!rig.host->monitoring());
        QCOMPARE(rig.fields(), QStringList(7, "(off)"));
        const QString log = rig.box.logText();
        QVERIFY(log.lastIndexOf("[cMonitoring] Public Sub SetMonitoring()") > log.indexOf("Public Sub EndApp()"));
    }

    // The unattended run hands out every field text ("[field N] text") until its time is up,
    // while another process changes the device's room and takes the device offline.
    void unattendedMonitorHandsOutEveryFieldText()
    {
        HostWindowRig rig;
        rig.start(21, "CM 1.04");
        QStringList printed;
        UnattendedMonitor monitor(rig.view, rig.timers, [&](const QString &line) { printed.append(line); });
        QSignalSpy finished(&monitor, &UnattendedMonitor::finished);
        monitor.start(30);
        QCOMPARE(printed, (QStringList{"[field 4] 21.0", "[field 5] 0.0", "[field 6] HVAC_OFF"}));

        printed.clear();
        EmbeddedObjectServer::changeRoom(rig.otherDevice("CM 1.04"), [](const embedded::cmsim::RoomState &room,
                                                                         const embedded::cmsim::Settings &settings,
                                                                         const QDateTime &now) {
            return embedded::cmsim::setRoomTemp(room, settings, 2340, now);
        });
        rig.box.clock.advanceSeconds(10); // one poll interval of the space temperature
        QCOMPARE(printed, QStringList{"[field 4] 23.4"});

        printed.clear();
        EmbeddedObjectServer::setDeviceOnline(rig.otherDevice("CM 1.04"), false);
        rig.box.clock.advanceSeconds(5);
        QCOMPARE(printed, (QStringList{"[field 4] ", "[field 5] ", "[field 6] "}));
        QCOMPARE(rig.box.dialogs.messages.size(), 1);
        QCOMPARE(rig.box.dialogs.messages[0].text, GetResString(1528));

        QCOMPARE(finished.size(), 0);
        rig.box.clock.advanceSeconds(15);
        QCOMPARE(finished.size(), 1);
        printed.clear();
        rig.host->EndApp(); // empties nothing that is handed out any more
        QVERIFY(printed.isEmpty());
    }

    void runLengthFromTheEnvironment_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("seconds");
        QTest::newRow("unset") << "" << 5;
        QTest::newRow("seconds") << "12" << 12;
        QTest::newRow("negative") << "-3" << 5;
    }
    void runLengthFromTheEnvironment()
    {
        QFETCH(QString, text);
        QTEST(UnattendedMonitor::secondsFrom(text), "seconds");
    }
};

QTEST_GUILESS_MAIN(TstHostWindow)
#include "tst_host_window.moc"
