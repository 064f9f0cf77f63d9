// The turning-knob calibration as the window runs it on simulated command modules: which
// procedure the page offers, the two-stop calibration on the manual clock, and the reset on this
// and on several devices.

#include "ui/windowrig.h"

#include "calibration/calibrationrecords.h"
#include "calibration/knobcalibration.h"

#include <QtTest>

using namespace ui;
using calibration::TurningKnobCalibration;
using embedded::EmbeddedObjectServer;

namespace {

// Ticks fire every 500 ms from the first press: tick n at (n + 1) * 500 ms.
constexpr int TickMs = TurningKnobCalibration::IntervalMs;
const Element Result = Element::label(labels::KnobResult);
const Element Progress = Element::progressBar(1);
// CM 1.01 is a TQM_CM_L1: no push-button panel, and no "ApbVersionNewCalib" unless edited in.
const QPair<QString, QString> NewCalibForL1{"ApbVersionNewCalib@TQM_CM_L1 =", "ApbVersionNewCalib@TQM_CM_L1 = 2.1"};

bool shown(const MemoryMainWindowView &view, Frame frame)
{
    return view.isVisible(Element::frame(frame));
}

int triggers(WindowRig &rig, const QString &device)
{
    return int(EmbeddedObjectServer::calibrationTriggers(rig.device(device)).size());
}

} // namespace

class TestKnobCalibration : public QObject
{
    Q_OBJECT

private slots:
    void arrangement_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("command");
        QTest::addColumn<double>("version");     // 0: the template's
        QTest::addColumn<bool>("online");
        QTest::addColumn<QString>("tempCalib");  // empty: as delivered ("1\t23")
        QTest::addColumn<bool>("calibrated");    // a sensor calibration on record
        QTest::addColumn<QString>("arrangement"); // knob frame shown, "+copy" with the copy frame
        // A panel decides alone, in every command that shows the page; copying needs a calibration.
        QTest::newRow("panel: centre") << "CM 1.06" << 1 << 0.0 << true << "" << false << "centre";
        QTest::newRow("panel, calibrated: copy") << "CM 1.06" << 1 << 0.0 << true << "" << true << "centre+copy";
        QTest::newRow("panel, calibrate command") << "CM 1.06" << 2 << 0.0 << true << "" << false << "centre";
        QTest::newRow("2.1 of 2.1: reset") << "CM 1.01" << 2 << 2.1 << true << "" << false << "reset";
        QTest::newRow("2.0 of 2.1: two-stop") << "CM 1.01" << 2 << 2.0 << true << "" << true << "two-stop";
        QTest::newRow("reset, calibrated: copy") << "CM 1.01" << 2 << 2.2 << true << "" << true << "reset+copy";
        QTest::newRow("no manufacturer calibration") << "CM 1.01" << 2 << 2.2 << true << "0\t0" << true << "reset";
        QTest::newRow("silent, no panel: as designed") << "CM 1.01" << 2 << 2.2 << false << "" << true << "two-stop+copy";
    }
    void arrangement()
    {
        QFETCH(QString, device);
        QFETCH(int, command);
        QFETCH(double, version);
        QFETCH(bool, online);
        QFETCH(QString, tempCalib);
        QFETCH(bool, calibrated);
        WindowRig rig(IniEdits{NewCalibForL1});
        if (version != 0)
            EmbeddedObjectServer::setApplicationVersion(rig.device(device), version);
        if (!tempCalib.isEmpty())
            cpaccess::writeRawText(*rig.device(device)->configProperties()->item("TempCalib"), tempCalib);
        if (calibrated)
            calibration::WriteTempSensorCalibrated({rig.module(device), {}, nullptr, 0, &rig.clock});
        rig.setOnline(device, online);
        rig.open(device, command);
        QStringList frames;
        for (const auto &[frame, name] : {std::pair{Frame::KnobTwoStop, "two-stop"}, std::pair{Frame::KnobReset, "reset"},
                                          std::pair{Frame::KnobCentre, "centre"}}) {
            if (shown(rig.view, frame)) {
                frames.append(name);
                if (online)
                    QCOMPARE(rig.view.geometry(Element::frame(frame)).top, 180.0);
            }
        }
        QTEST(frames.join('|') + (shown(rig.view, Frame::SensorCopy) ? "+copy" : ""), "arrangement");
    }

    // The first press triggers and blinks "Other Limit Stop ..." for about 30 s; then the page
    // says the calibration failed, but the device still waits for its second stop, so a later
    // press completes the calibration, which is recorded.
    void twoStopCalibration()
    {
        WindowRig rig;
        rig.open("CM 1.01", 2);
        QVERIFY(rig.view.clickCommandButton(calibration::button::KnobCalibrate));
        QCOMPARE(triggers(rig, "CM 1.01"), 1);
        QCOMPARE(EmbeddedObjectServer::knobCalibrationText(rig.device("CM 1.01")), QString("waiting for the second stop"));
        rig.clock.advanceMs(TickMs);
        QVERIFY(rig.view.isVisible(Progress));
        QCOMPARE(rig.view.caption(Progress), QString("Other Limit Stop ..."));
        rig.clock.advanceMs(60 * TickMs); // ticks 1 to 60
        QVERIFY(rig.view.isVisible(Progress));
        QCOMPARE(rig.view.progress(1), 60);
        QCOMPARE(rig.view.caption(Progress), QString("Other Limit Stop ..."));

        rig.clock.advanceMs(TickMs); // tick 61
        QVERIFY(!rig.view.isVisible(Progress));
        QVERIFY(!rig.window->knobPage().timer()->isActive());
        QCOMPARE(rig.view.caption(Result), QString("Calibration failed."));
        QCOMPARE(rig.view.foreColour(Result), controls::colour::Red);
        QVERIFY(rig.window->knobPage().procedure()->KnobCalibPending());

        rig.clock.advanceSeconds(60);
        QVERIFY(rig.view.clickCommandButton(calibration::button::KnobCalibrate));
        QCOMPARE(triggers(rig, "CM 1.01"), 2);
        QCOMPARE(EmbeddedObjectServer::knobCalibrationText(rig.device("CM 1.01")), QString("calibrated"));
        QCOMPARE(rig.view.caption(Result), QString("Calibration succeeded."));
        QCOMPARE(rig.view.foreColour(Result), controls::Colour(0x008000));
        QVERIFY(!rig.window->knobPage().procedure()->KnobCalibPending());
        QCOMPARE(rig.view.textBox(calibration::KnobCalibratedBox)->text(),
                 calibration::CalibrationTimeText(rig.clock.now().toLocalTime(), languageLocale(ResStrings::English)));
    }

    void twoStopStartsFromAKnownState_data()
    {
        QTest::addColumn<bool>("leftWaiting");      // a cut-short run left the device waiting
        QTest::addColumn<bool>("triggeredBetween"); // the second stop came from elsewhere
        QTest::addColumn<int>("triggersSent"); // by the plug-in
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("knob");
        QTest::newRow("left waiting") << true << false << 3 << "Calibration succeeded." << "calibrated";
        QTest::newRow("stop taken elsewhere") << false << true << 2 << "Calibration failed."
                                             << "waiting for the second stop";
    }
    // The device says where its calibration stands: a first press ends a calibration still
    // waiting for its second stop, and the result is what the device reports after the second.
    void twoStopStartsFromAKnownState()
    {
        QFETCH(bool, leftWaiting);
        QFETCH(bool, triggeredBetween);
        WindowRig rig;
        if (leftWaiting)
            rig.device("CM 1.01")->calibrationTrigger();
        rig.open("CM 1.01", 2);
        QVERIFY(rig.view.clickCommandButton(calibration::button::KnobCalibrate));
        rig.clock.advanceMs(5 * TickMs);
        if (triggeredBetween)
            rig.device("CM 1.01")->calibrationTrigger();
        QVERIFY(rig.view.clickCommandButton(calibration::button::KnobCalibrate));
        QTEST(triggers(rig, "CM 1.01") - int(leftWaiting) - int(triggeredBetween), "triggersSent");
        QTEST(rig.view.caption(Result), "result");
        QTEST(EmbeddedObjectServer::knobCalibrationText(rig.device("CM 1.01")), "knob");
        QVERIFY(!rig.window->knobPage().procedure()->KnobCalibPending());
    }

    void firstPressOnASilentDevice()
    {
        WindowRig rig;
        rig.open("CM 1.01", 2);
        rig.setOnline("CM 1.01", false);
        QVERIFY(rig.view.clickCommandButton(calibration::button::KnobCalibrate));
        QVERIFY(!rig.window->knobPage().procedure()->KnobCalibPending());
        QCOMPARE(rig.view.caption(Result), QString("Calibration not possible."));
        QVERIFY(!rig.view.isEnabled(Element::commandButton(calibration::button::SensorCalibrate)));
        QVERIFY(!rig.view.isEnabled(Element::commandButton(calibration::button::KnobCalibrate)));
        QCOMPARE(triggers(rig, "CM 1.01"), 0);
    }

    void resetThisDevice_data()
    {
        QTest::addColumn<bool>("online");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("answers") << true << QStringList{"Resetting turning knob calibration succeeded. - 12:00:00"};
        QTest::newRow("silent") << false
                                << QStringList{"Resetting turning knob calibration failed. - 12:00:00", "Error: - "};
    }
    void resetThisDevice()
    {
        QFETCH(bool, online);
        QFETCH(QStringList, lines);
        WindowRig rig;
        rig.open("CM 1.06", 2);
        rig.setOnline("CM 1.06", online);
        const qsizetype before = rig.logger.lines.size();
        QVERIFY(rig.view.clickCommandButton(calibration::button::KnobReset));
        QCOMPARE(rig.dialogs.waitCursorChanges.mid(rig.dialogs.waitCursorChanges.size() - 2), (QList<bool>{true, false}));
        QCOMPARE(triggers(rig, "CM 1.06"), online ? 1 : 0);
        const QStringList written = rig.logger.texts().mid(before);
        QCOMPARE(written.size(), lines.size());
        for (int i = 0; i < lines.size(); ++i)
            QVERIFY2(written[i].startsWith(lines[i]), qPrintable(written[i]));
        QCOMPARE(rig.view.selectedTabKey(2) == "KEY:6", !online); // the logger after a failure
        // The page says it as well, beside the button.
        const Element result = Element::label(labels::KnobResetResult);
        QVERIFY(rig.view.isVisible(result));
        QVERIFY2(rig.view.caption(result).startsWith(lines.first().section(" - ", 0, 0)), qPrintable(rig.view.caption(result)));
    }

    void resetSeveralDevices_data()
    {
        QTest::addColumn<QString>("opened");
        QTest::addColumn<int>("command");
        QTest::addColumn<QStringList>("picks");
        QTest::addColumn<QStringList>("outcomes");  // in pick order
        QTest::addColumn<QStringList>("triggered"); // the devices that got the trigger
        // A plug-in device with a panel sends to every pick; a silent one is tried and logged.
        QTest::newRow("panel") << "CM 1.06" << 1 << QStringList{"CM 1.01", "CM 1.03", "CM 1.04"}
                               << QStringList{"Ok", "Error:", "Ok"} << QStringList{"CM 1.01", "CM 1.04"};
        // Without a panel (none listed for the template) the version decides, and a silent device
        // is not tried.
        QTest::newRow("versions") << "CM 1.06" << 2 << QStringList{"CM 1.01", "CM 1.02", "CM 1.03", "CM 1.04"}
                                  << QStringList{"Ok", GetResString(1204, 2), "Cannot communicate", "Ok"}
                                  << QStringList{"CM 1.01", "CM 1.04"};
    }
    void resetSeveralDevices()
    {
        QFETCH(QString, opened);
        QFETCH(int, command);
        QFETCH(QStringList, picks);
        QFETCH(QStringList, triggered);
        IniEdits edits{{"CalibTransfer@TQM_CM_STD = 6,4", "CalibTransfer@TQM_CM_STD = 6,4,3,2,1"}};
        if (command == 2)
            edits.append(qMakePair(QString("PanelType@TQM_CM_L1 ="), QString("PanelType@TQM_CM_L1 =\nPanelType@TQM_CM_STD =")));
        WindowRig rig(edits);
        rig.setOnline("CM 1.03", false);
        rig.open(opened, command);
        rig.picks = picks;
        QVERIFY(rig.view.clickCommandButton(command == 1 ? calibration::button::KnobCentreSeveral
                                                         : calibration::button::KnobResetSeveral));
        QStringList found;
        for (const LogViewLine &line : rig.logger.lines) {
            if (line.text.startsWith("     - "))
                found.append(line.text.mid(7).startsWith("Error:") ? QString("Error:") : line.text.mid(7));
        }
        QTEST(found, "outcomes");
        for (const QString &name : picks)
            QCOMPARE(triggers(rig, name), triggered.contains(name) ? 1 : 0);
        QCOMPARE(rig.logger.texts().filter("Start resetting turning knob calibration").size(), 1);
        QCOMPARE(rig.logger.texts().filter("Resetting turning knob calibration completed.").size(), 1);
        QCOMPARE(rig.view.statusText(), QString("Ready."));
        QVERIFY(rig.view.windowEnabled());
        QCOMPARE(rig.session.system->openSeriesCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestKnobCalibration)
#include "tst_knobcalibration.moc"
