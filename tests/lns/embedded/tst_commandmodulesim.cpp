#include "lns/embedded/commandmodulesim.h"

#include <QTest>

using namespace embedded::cmsim;

// A row is a small script: settings first ("minDelta=50 heartbeat=100 ..."), then steps
// "<ms> <action> [<argument>]" applied at that time since the start; the outputs are taken at
// the end time.
namespace {

const QDateTime Start(QDate(2026, 1, 1), QTime(8, 0));

// Without a switch function unless a row gives one, so rows show only what they are about.
Settings settingsFrom(const QString &text)
{
    Settings s;
    s.buttonMode = -1;
    for (const QString &pair : text.split(' ', Qt::SkipEmptyParts)) {
        const QString key = pair.section('=', 0, 0);
        const int v = pair.section('=', 1).toInt();
        if (key == "offset") s.offsetTemp = v;
        else if (key == "minDelta") s.minDeltaTemp = v;
        else if (key == "heartbeat") s.maxSendTime = v;
        else if (key == "mode") s.tempMode = v;
        else if (key == "ext") s.externalTemp = v;
        else if (key == "range") s.setPtDeltaRange = v;
        else if (key == "step") s.setPtDeltaStep = v;
        else if (key == "buttonMode") s.buttonMode = v;
        else if (key == "levels") s.fanLevels = v;
        else if (key == "twoStop") s.learnsKnobLimits = v == 0;
        else qFatal("unknown setting %s", qPrintable(key));
    }
    return s;
}

RoomState run(const QStringList &steps, Settings &s)
{
    RoomState r = settle(RoomState(), s, Start); // the device starts and sends
    for (const QString &step : steps) {
        const QStringList p = step.split(' ');
        const QDateTime at = Start.addMSecs(p[0].toInt());
        const QString action = p[1];
        const QString arg = p.value(2);
        if (action == "room") r = setRoomTemp(r, s, arg.toInt(), at);
        else if (action == "error") r = setSensorError(r, s, arg.toInt(), at);
        else if (action == "knob") r = setKnob(r, s, arg.toInt(), at);
        else if (action == "switch") r = setSwitch(r, s, arg == "up", at);
        else if (action == "press") r = press(r, s, arg == "setpt-" ? Button::SetPointDown : arg == "setpt+" ? Button::SetPointUp
                                                     : arg == "fan-" ? Button::FanDown : Button::FanUp, at);
        else if (action == "trigger") r = calibrationTrigger(r, s, at);
        else if (action == "offset") { // a CP written: the device settles first, as the server does
            r = settle(r, s, at);
            r.inputsChangedAt = at;
            s.offsetTemp = arg.toInt();
        } else qFatal("unknown action %s", qPrintable(action));
    }
    return r;
}

} // namespace

class TestCommandModuleSim : public QObject
{
    Q_OBJECT
private slots:
    void outputs_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("at");
        QTest::addColumn<QString>("expected"); // "temp offset fanValue fanState heatCool occ | knob"

        // Temperature: sensor, offset, external sensor by mode.
        QTest::newRow("internal reading + offset") << "offset=30" << QStringList{"0 room 2250", "0 error -80"} << 0 << "2200 0 0 0 0 -1 | calibrated";
        QTest::newRow("override takes a valid external") << "mode=0 ext=2300" << QStringList{} << 0 << "2300 0 0 0 0 -1 | calibrated";
        QTest::newRow("override without external") << "mode=0" << QStringList{"0 error 50"} << 0 << "2150 0 0 0 0 -1 | calibrated";
        QTest::newRow("average") << "mode=1 ext=2300" << QStringList{} << 0 << "2200 0 0 0 0 -1 | calibrated";
        QTest::newRow("internal ignores external") << "mode=2 ext=2300" << QStringList{} << 0 << "2100 0 0 0 0 -1 | calibrated";
        // Send rules of nvoSpaceTemp.
        QTest::newRow("change below MinDelta is held back") << "minDelta=50" << QStringList{"1000 room 2130"} << 60000 << "2100 0 0 0 0 -1 | calibrated";
        QTest::newRow("change at MinDelta is sent") << "minDelta=50" << QStringList{"1000 room 2150"} << 1000 << "2150 0 0 0 0 -1 | calibrated";
        QTest::newRow("held back until the heartbeat") << "minDelta=50 heartbeat=100" << QStringList{"1000 room 2130"} << 9999 << "2100 0 0 0 0 -1 | calibrated";
        QTest::newRow("shown at the heartbeat") << "minDelta=50 heartbeat=100" << QStringList{"1000 room 2130"} << 10000 << "2130 0 0 0 0 -1 | calibrated";
        QTest::newRow("small changes add up") << "minDelta=50" << QStringList{"1000 room 2130", "2000 room 2160"} << 2000 << "2160 0 0 0 0 -1 | calibrated";
        QTest::newRow("offset cleared by the calibration") << "offset=-80 minDelta=10" << QStringList{"0 error 80", "500 offset 0"} << 500 << "2180 0 0 0 0 -1 | calibrated";
        // Set-point offset: knob within the range in steps, buttons.
        QTest::newRow("knob in steps") << "range=300 step=50" << QStringList{"0 knob 140"} << 0 << "2100 150 0 0 0 -1 | calibrated";
        QTest::newRow("knob beyond the range") << "range=300 step=50" << QStringList{"0 knob -480"} << 0 << "2100 -300 0 0 0 -1 | calibrated";
        QTest::newRow("buttons add steps") << "range=300 step=50" << QStringList{"0 press setpt+", "0 press setpt+", "0 knob 100"} << 0 << "2100 200 0 0 0 -1 | calibrated";
        QTest::newRow("buttons stop at the range") << "range=100 step=50" << QStringList{"0 press setpt-", "0 press setpt-", "0 press setpt-", "0 press setpt+"} << 0 << "2100 -50 0 0 0 -1 | calibrated";
        QTest::newRow("range disabled") << "range=0 step=50" << QStringList{"0 knob 150", "0 press setpt+"} << 0 << "2100 0 0 0 0 -1 | calibrated";
        // Fan speed, HVAC mode and occupancy by buttons and switch.
        QTest::newRow("fan buttons") << "levels=3 buttonMode=-1" << QStringList{"0 press fan+", "0 press fan+"} << 0 << "2100 0 132 1 0 -1 | calibrated";
        QTest::newRow("fan stops at its levels") << "levels=3 buttonMode=-1" << QStringList{"0 press fan-", "0 press fan+", "0 press fan+", "0 press fan+", "0 press fan+"} << 0 << "2100 0 198 1 0 -1 | calibrated";
        QTest::newRow("switch up in fan mode") << "levels=2 buttonMode=1" << QStringList{"0 switch up"} << 0 << "2100 0 200 1 0 -1 | calibrated";
        QTest::newRow("switch down in fan mode") << "levels=2 buttonMode=1" << QStringList{"0 press fan+", "0 switch down"} << 0 << "2100 0 0 0 0 -1 | calibrated";
        QTest::newRow("switch up in HVAC-app mode") << "buttonMode=0" << QStringList{"0 switch up"} << 0 << "2100 0 0 0 1 -1 | calibrated";
        QTest::newRow("switch down in HVAC-app mode") << "buttonMode=0" << QStringList{"0 switch down"} << 0 << "2100 0 0 0 6 -1 | calibrated";
        QTest::newRow("switch in occupancy mode") << "buttonMode=2" << QStringList{"0 switch down"} << 0 << "2100 0 0 0 0 1 | calibrated";
        // Knob calibration.
        QTest::newRow("two-stop: first stop waits") << "twoStop=1 range=300" << QStringList{"0 knob 300", "0 trigger"} << 60000 << "2100 0 0 0 0 -1 | waiting for the second stop";
        QTest::newRow("two-stop: a late second stop completes") << "twoStop=1 range=300" << QStringList{"0 knob 300", "0 trigger", "60000 trigger"} << 60000 << "2100 300 0 0 0 -1 | calibrated";
        QTest::newRow("learning: forgets") << "range=300" << QStringList{"0 knob 200", "0 trigger"} << 500 << "2100 0 0 0 0 -1 | learning, no limit seen yet";
        QTest::newRow("learning: one limit") << "range=300" << QStringList{"0 trigger", "0 knob -300", "1500 knob 300"} << 2400 << "2100 0 0 0 0 -1 | learning, lower limit seen";
        QTest::newRow("learning: both limits") << "range=300" << QStringList{"0 trigger", "0 knob -300", "1500 knob 300"} << 2500 << "2100 300 0 0 0 -1 | calibrated";
        QTest::newRow("learning: a short rest does not count") << "range=300" << QStringList{"0 trigger", "0 knob -300", "500 knob 300", "2000 knob -300"} << 2900 << "2100 0 0 0 0 -1 | learning, upper limit seen";
    }
    void outputs()
    {
        QFETCH(QString, settings);
        QFETCH(QStringList, steps);
        QFETCH(int, at);
        Settings s = settingsFrom(settings);
        const RoomState room = run(steps, s);
        const QDateTime now = Start.addMSecs(at);
        const Outputs o = embedded::cmsim::outputs(room, s, now);
        const QString actual = QString("%1 %2 %3 %4 %5 %6 | %7")
                                   .arg(o.spaceTemp).arg(o.setptOffset).arg(o.fanValue).arg(o.fanState)
                                   .arg(o.heatCool).arg(o.occManCmd).arg(knobCalibrationText(room, s, now));
        QTEST(actual, "expected");
    }

    // The monitor engine looks again exactly when the device changes by itself.
    void nextChange_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("expected"); // ms since the start, -1: none
        QTest::newRow("held-back temperature: the heartbeat") << "minDelta=50 heartbeat=100" << QStringList{"1000 room 2130"} << 1000 << 10000;
        QTest::newRow("nothing held back") << "minDelta=50 heartbeat=100" << QStringList{"1000 room 2150"} << 1000 << -1;
        QTest::newRow("no heartbeat") << "minDelta=50" << QStringList{"1000 room 2130"} << 1000 << -1;
        QTest::newRow("knob resting at a limit while learning") << "range=300" << QStringList{"0 trigger", "700 knob 300"} << 800 << 1700;
    }
    void nextChange()
    {
        QFETCH(QString, settings);
        QFETCH(QStringList, steps);
        QFETCH(int, at);
        Settings s = settingsFrom(settings);
        const QDateTime next = embedded::cmsim::nextChange(run(steps, s), s, Start.addMSecs(at));
        QTEST(next.isValid() ? int(Start.msecsTo(next)) : -1, "expected");
    }

    void roomStateSurvivesTheDatabase()
    {
        Settings s = settingsFrom("range=300 minDelta=50");
        const RoomState room = run({"0 trigger", "100 knob -300", "2000 knob 120", "2100 room 2230", "2200 press fan+", "2300 switch up"}, s);
        QCOMPARE(RoomState::fromJson(room.toJson()), room);
    }
};

QTEST_GUILESS_MAIN(TestCommandModuleSim)
#include "tst_commandmodulesim.moc"
