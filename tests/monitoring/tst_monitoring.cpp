// The output monitoring page on the window's logic and the simulated command modules of the
// demo network: which NVs it watches per command, the frame of the push-button mode per device
// variant, switching off, the fan level from the recorded step count, a device that goes offline,
// and an NV the INI file lacks (live values reaching the fields are tst_pluginhost's; changes
// another connection commits reach the monitor engine: tst_embeddedobjectserver).

#include "ui/windowrig.h"

#include "calibration/calibrationrecords.h"
#include "lns/embedded/commandmodulesim.h"
#include "params/choiceparams.h"
#include "params/cparams.h"

using namespace ui;
using embedded::EmbeddedObjectServer;
namespace cmsim = embedded::cmsim;

namespace {

const Element ModeFrames[] = {Element::frame(Frame::MonitorControllerFunction), Element::frame(Frame::MonitorFanSpeed),
                              Element::frame(Frame::MonitorOccupancy)};

// What the user sees of the output fields: "text", "(off)" when disabled.
QStringList fields(const MemoryMainWindowView &view, int first = 4, int last = 10)
{
    QStringList shown;
    for (int field = first; field <= last; ++field) {
        const controls::TextBoxControl *box = view.textBox(field);
        shown.append(box->enabled() ? box->text() : box->text() + "(off)");
    }
    return shown;
}

struct FrameState
{
    bool visible;
    Rect rect;
    bool operator==(const FrameState &) const = default;
};

QList<FrameState> modeFrames(const MemoryMainWindowView &view)
{
    QList<FrameState> states;
    for (const Element &frame : ModeFrames)
        states.append({view.isVisible(frame), view.geometry(frame)});
    return states;
}

} // namespace

class TestMonitoring : public QObject
{
    Q_OBJECT

    static cParamComboBox *buttonMode(WindowRig &rig)
    {
        return rig.window->configuration()->Parameters()->ComboBoxParameterByName("ButtonMode");
    }

private slots:
    void pointsFollowTheCommand_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QStringList>("points");
        QTest::addColumn<QStringList>("active");
        QTest::newRow("monitor: the mode's NV of HVAC app mode")
            << 3 << QStringList{"nvoSpaceTemp", "nvoSetptOffSet", "nvoHeatCool", "nvoFanSpeed", "nvoManOccCmd"}
            << QStringList{"nvoSpaceTemp", "nvoSetptOffSet", "nvoHeatCool"};
        QTest::newRow("calibrate: the space temperature, left to the calibration")
            << 2 << QStringList{"nvoSpaceTemp"} << QStringList{};
    }
    void pointsFollowTheCommand()
    {
        QFETCH(int, command);
        WindowRig rig;
        rig.open("CM 1.04", command);
        QCOMPARE(rig.monitoring, QList<bool>{true}); // the command's only view
        cMonitorPoints *all = rig.monitoringPage->MonitorPoints();
        QStringList names;
        QStringList active;
        for (int i = 1; i <= all->Count(); ++i) {
            cMonitorPoint *point = all->GetMonitorPoint(qint16(i));
            names.append(point->Name());
            if (point->MonitoringIsActive())
                active.append(point->Name());
        }
        QTEST(names, "points");
        QTEST(active, "active");
        if (command == commands::Calibrate)
            QCOMPARE(fields(rig.view), QStringList(7, QString()));
    }

    // The frame of the push-button mode goes to one place (left 360, top 1500) on the variants
    // that show the mode's output; the other two go out of view. A mode outside the device's
    // list, and the variants 2 and 3 (here 2), leave the frames as Display arranged them.
    void modeFrameFollowsButtonModeAndVariant_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("frame"); // index into ModeFrames, -1: frames untouched
        QTest::addColumn<QStringList>("shown"); // fields 4 to 10
        QTest::newRow("L4 HVAC app mode") << "CM 1.04" << 0 << 0
                                          << QStringList{"21.0", "0.0", "HVAC_OFF", "", "", "", ""};
        // The device's fan at its level 3 of three, as recorded: the equivalent level is 3.
        QTest::newRow("L4 fan speed") << "CM 1.04" << 1 << 1 << QStringList{"21.0", "0.0", "", "99", "on", "3", ""};
        QTest::newRow("L4 occupancy") << "CM 1.04" << 2 << 2 << QStringList{"21.0", "0.0", "", "", "", "", "OC_NUL"};
        const QStringList noModeOutput{"21.0", "0.0", "", "", "", "", ""};
        QTest::newRow("L5 no push-button mode") << "CM 1.05" << -1 << -1 << noModeOutput;
        QTest::newRow("L1 fan speed, not in its list") << "CM 1.01" << 1 << -1 << noModeOutput;
        QTest::newRow("L2 variant") << "CM 1.02" << 1 << -1 << noModeOutput;
    }
    void modeFrameFollowsButtonModeAndVariant()
    {
        QFETCH(QString, device);
        QFETCH(int, mode);
        QFETCH(int, frame);
        WindowRig rig;
        rig.open(device, 3);
        rig.monitoringPage->SetMonitoring(false);
        buttonMode(rig)->setValue(mode);
        if (frame == 1) { // without a record the count is 1: tst_calibrationrecords
            calibration::WriteFanCoilStepCount(DeviceContext{rig.session.lonMarkObject, {}, &rig.ini}, 3);
            const auto fanUp = [](const auto &room, const auto &settings, const auto &now) {
                return cmsim::press(room, settings, cmsim::Button::FanUp, now);
            };
            for (int i = 0; i < 3; ++i)
                EmbeddedObjectServer::changeRoom(rig.device(device), fanUp);
        }
        const QList<FrameState> before = modeFrames(rig.view);
        rig.monitoringPage->SetMonitoring(true);

        QTEST(fields(rig.view).mid(0, 7).replaceInStrings("(off)", ""), "shown");
        if (frame < 0) {
            QCOMPARE(modeFrames(rig.view), before);
            return;
        }
        for (int i = 0; i < 3; ++i) {
            const FrameState state = modeFrames(rig.view)[i];
            QCOMPARE(state.visible, i == frame);
            QCOMPARE(rig.view.isEnabled(ModeFrames[i]), i == frame);
            QCOMPARE(state.rect.left, i == frame ? 360.0 : -20000.0);
            if (i == frame)
                QCOMPARE(state.rect.top, 1500.0);
        }
    }

    // Every watched NV reports the outage; the user is told once, and again for the next one.
    // The emptied fields come back once the device answers.
    void deviceOfflineIsToldOncePerOutage()
    {
        WindowRig rig;
        rig.open("CM 1.04", 3);
        rig.clock.advanceSeconds(10);
        const QStringList before = fields(rig.view);
        rig.setOnline("CM 1.04", false);
        rig.clock.advanceSeconds(1);
        QCOMPARE(rig.dialogs.messages.size(), 1);
        QCOMPARE(rig.dialogs.messages[0].icon, MsgIcon::Exclamation);
        QCOMPARE(rig.dialogs.messages[0].title, QString("CM 1.04 / CommandModule"));
        QVERIFY(rig.session.communicationFailed);
        QCOMPARE(fields(rig.view), QStringList(7, QString()));
        rig.clock.advanceSeconds(30);
        QCOMPARE(rig.dialogs.messages.size(), 1);

        rig.setOnline("CM 1.04", true);
        rig.clock.advanceSeconds(10);
        QCOMPARE(fields(rig.view), before);
        rig.setOnline("CM 1.04", false);
        rig.clock.advanceSeconds(10);
        QCOMPARE(rig.dialogs.messages.size(), 2);
    }

    // An NV the INI file lacks leaves its field empty and disabled; switched off, every field is
    // so, and stays so while the room changes.
    void fieldsWithoutValue()
    {
        WindowRig rig(IniEdits{{"nvoSetptOffSet = 10,2\n", ""}});
        rig.open("CM 1.04", 3);
        QVERIFY(!rig.monitoringPage->MonitorPoints()->GetMonitorPointByName("nvoSetptOffSet")->Available());
        QCOMPARE(fields(rig.view, 4, 5), (QStringList{"21.0", "(off)"}));
        QCOMPARE(rig.view.textBox(5)->backColor(), controls::colour::ButtonFace);
        rig.monitoringPage->SetMonitoring(false);
        QCOMPARE(fields(rig.view), QStringList(7, "(off)"));
        rig.setRoom("CM 1.04", 2500, 0);
        rig.clock.advanceSeconds(20);
        QCOMPARE(fields(rig.view), QStringList(7, "(off)"));
    }
};

QTEST_GUILESS_MAIN(TestMonitoring)
#include "tst_monitoring.moc"
