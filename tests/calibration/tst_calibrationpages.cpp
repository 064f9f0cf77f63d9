// The calibration pages as the window runs them on simulated command modules, on the manual
// clock: the temperature sensor's run, measured through the monitoring page's point, and its copy;
// which knob procedure the page offers, the two-stop calibration and the reset on this and on
// several devices. A command module reached over LON/IP (tqm-devicesim on loopback) is measured by
// polling and corrected on the device, and reports its knob learning after the trigger.

#include "ui/windowrig.h"

#include "calibration/calibrationrecords.h"
#include "calibration/knobcalibration.h"
#include "calibration/sensorcalibration.h"
#include "lns/extensionvalue.h"
#include "params/numbers.h"
#include "support/toolprocess.h"

#include <QtTest>

using namespace ui;
using calibration::TemperatureSensorCalibration;
using calibration::TurningKnobCalibration;
using embedded::EmbeddedObjectServer;

Q_DECLARE_METATYPE(ui::Element)

namespace {

// Sensor ticks fire every 200 ms from the start: tick n at (n + 1) * 200 ms; knob ticks every
// 500 ms from the first press.
constexpr int SensorTickMs = TemperatureSensorCalibration::IntervalMs;
constexpr int KnobTickMs = TurningKnobCalibration::IntervalMs;
const QString SimAddress = "127.0.51.1";
const Element SensorResult = Element::label(labels::SensorResult);
const Element KnobResult = Element::label(labels::KnobResult);
const Element SensorProgress = Element::progressBar(0);
const Element KnobProgress = Element::progressBar(1);
// CM 1.01 is a TQM_CM_L1: no push-button panel, and no "ApbVersionNewCalib" unless edited in.
const QPair<QString, QString> NewCalibForL1{"ApbVersionNewCalib@TQM_CM_L1 =", "ApbVersionNewCalib@TQM_CM_L1 = 2.1"};
const QPair<QString, QString> CalibTransferToAll{"CalibTransfer@TQM_CM_STD = 6,4", "CalibTransfer@TQM_CM_STD = 6,4,3,2,1"};

// A result label as the user sees it: its text and, when it has one, its colour.
QString outcome(const MemoryMainWindowView &view, const Element &label)
{
    const controls::Colour colour = view.foreColour(label);
    return view.caption(label)
           + (colour == controls::colour::Red ? " (red)" : colour == controls::Colour(0x008000) ? " (green)" : "");
}

// The picked devices' outcome lines of a run on several devices, an error's cause cut off.
QStringList outcomeLines(const MemoryLogger &logger)
{
    QStringList found;
    for (const LogViewLine &line : logger.lines) {
        if (line.text.startsWith("     - "))
            found.append(line.text.mid(7).startsWith("Error:") ? QString("Error:") : line.text.mid(7));
    }
    return found;
}

int triggers(WindowRig &rig, const QString &device)
{
    return int(EmbeddedObjectServer::calibrationTriggers(rig.device(device)).size());
}

} // namespace

class TestCalibrationPages : public QObject
{
    Q_OBJECT

    DeviceSimProcess m_sim;

    static void linkToSim(WindowRig &rig, const QString &device)
    {
        EmbeddedObjectServer::setDeviceLink(rig.device(device), embedded::LinkRecord{"lonip", SimAddress, {}});
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_sim.start({"--first", SimAddress, "--configured"}));
    }

    // OffsetTemp holds the offset in 16-bit two's complement, high byte first; the old bytes of a
    // failed run must come back exactly, so the conversion has to round-trip.
    void offsetBytes_data()
    {
        QTest::addColumn<int>("value1");
        QTest::addColumn<int>("value2");
        QTest::addColumn<int>("offset");
        QTest::newRow("-1") << 255 << 255 << -1;
        QTest::newRow("largest positive") << 127 << 255 << 32767;
        QTest::newRow("32768 stays positive") << 128 << 0 << 32768;
        QTest::newRow("-32767") << 128 << 1 << -32767;
    }
    void offsetBytes()
    {
        QFETCH(int, value1);
        QFETCH(int, value2);
        QFETCH(int, offset);
        QCOMPARE(calibration::SignedOffset(value1, value2), offset);
        QCOMPARE(calibration::OffsetBytes(offset), std::make_pair(value1, value2));
    }

    // How RAW text reads as a signed temperature is tst_outputtexts' (temperatures); the sensor's
    // invalid value is no reading.
    void spaceTempReading()
    {
        QCOMPARE(calibration::SpaceTempHundredths("8\t52").value_or(-1), 2100);
        QVERIFY(!calibration::SpaceTempHundredths("127\t255"));
    }

    void roomTemperatureEntry_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("target");
        QTest::addColumn<bool>("red");
        QTest::addColumn<double>("left"); // the entry once the focus left it (red: unchanged)
        QTest::newRow("decimal comma, rounded") << "21,56" << 2156 << false << 21.6;
        QTest::newRow("lowest") << "-20" << -2000 << false << -20.0;
        QTest::newRow("highest") << "50" << 5000 << false << 50.0;
        QTest::newRow("above keeps the focus") << "50,1" << 5010 << true << 0.0;
        QTest::newRow("below") << "-20,01" << -2001 << true << 0.0;
        QTest::newRow("far beyond 32 bits") << "1e12" << 2100 << true << 0.0;
    }
    // The entry colours itself and decides "Calibrate"; leaving it rounds it to one decimal in
    // the locale's format, unless it is red.
    void roomTemperatureEntry()
    {
        QFETCH(QString, text);
        QFETCH(bool, red);
        QFETCH(double, left);
        WindowRig rig;
        rig.open("CM 1.06", 2);
        controls::MemoryTextBox *entry = rig.view.textBox(calibration::RoomTemperatureBox);
        entry->setText(text);
        QTEST(rig.window->sensorPage().procedure()->RoomTemperatureTarget(), "target");
        QCOMPARE(entry->foreColor() == controls::colour::Red, red);
        QCOMPARE(rig.view.isEnabled(Element::commandButton(calibration::button::SensorCalibrate)), !red);
        QCOMPARE(entry->leave(), !red);
        QCOMPARE(entry->text(), red ? text : numbers::formatFixed(left, 1, QLocale::system()));
        // A refused entry is explained beside the button, with the range, until it is corrected.
        QCOMPARE(rig.view.isVisible(SensorResult), red);
        QVERIFY2(!red || rig.view.caption(SensorResult).contains("50"), qPrintable(rig.view.caption(SensorResult)));
        entry->setText("21");
        QVERIFY(!rig.view.isVisible(SensorResult));
    }

    void sensorRun_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<bool>("tempMode");
        QTest::addColumn<QString>("cause"); // of the failure at tick 10; empty: none
        // A room of 21.00 °C that the sensor reads 1.37 K too warm, with 21,5 entered: the device
        // reports 2237 while measuring and gets 2150 - 2237 = -87. A device without a
        // temperature-mode CP measures in its own mode, which stays untouched.
        QTest::newRow("with TempMode") << "CM 1.06" << true << "";
        QTest::newRow("without TempMode") << "CM 1.06" << false << "";
        QTest::newRow("over LON/IP") << "CM 1.04" << true << "";
        // A run that cannot measure writes the old values back, the negative offset byte for byte;
        // a device that stopped answering gets them as soon as it answers again.
        QTest::newRow("device offline from tick 5") << "CM 1.06" << true << "offline";
        QTest::newRow("monitoring saw a communication failure") << "CM 1.06" << true << "flag";
        QTest::newRow("no space-temperature point") << "CM 1.06" << true << "no point";
    }
    // The run disables the window, measures without offset from tick 0, writes the offset and
    // puts the mode and the minimum change back at tick 10, and records the calibration at tick 20.
    void sensorRun()
    {
        QFETCH(QString, device);
        QFETCH(bool, tempMode);
        QFETCH(QString, cause);
        WindowRig rig(tempMode ? IniEdits{} : IniEdits{{"TempMode = 30,0,0", "TempMode = 30,0,0\nTempMode@TQM_CM_STD ="}});
        const auto cps = [&] {
            return QStringList{rig.cp(device, "nciTmpOffset"), rig.cp(device, "nciTempMode"),
                               rig.cp(device, "nciTmpMinDelta")}.join('|');
        };
        if (device == "CM 1.04") {
            linkToSim(rig, device);
            QVERIFY(m_sim.command(SimAddress + " --room-temp 21 --sensor-error 1.37").contains("nvoSpaceTemp 22.37"));
        } else {
            rig.setRoom(device, 2100, 137);
        }
        rig.setCp(device, "nciTmpOffset", "255\t156"); // -1.00 K
        rig.setCp(device, "nciTempMode", "1"); // average
        rig.open(device, 2);
        rig.view.textBox(calibration::RoomTemperatureBox)->setText("21,5");
        QVERIFY(rig.view.clickCommandButton(calibration::button::SensorCalibrate));
        QVERIFY(!rig.view.windowEnabled() && rig.dialogs.waitCursor);

        rig.clock.advanceMs(2 * SensorTickMs); // ticks 0 and 1
        QCOMPARE(cps(), QString(tempMode ? "0\t0|2|0\t10" : "0\t0|1|0\t10"));
        QCOMPARE(rig.view.progress(0), 1);
        rig.clock.advanceMs(3 * SensorTickMs);
        if (cause == "offline")
            rig.setOnline(device, false);
        else if (cause == "flag")
            rig.session.communicationFailed = true;
        else if (cause == "no point")
            rig.monitoringPage->MonitorPoints()->RemoveMonitorPointByName("nvoSpaceTemp");
        rig.clock.advanceMs(6 * SensorTickMs); // tick 10

        TemperatureSensorCalibration &sensor = *rig.window->sensorPage().procedure();
        if (cause.isEmpty()) {
            QCOMPARE(cps(), QString("255\t169|1|0\t50"));
            rig.clock.advanceMs(9 * SensorTickMs);
            QVERIFY(!rig.view.windowEnabled()); // tick 19
            rig.clock.advanceMs(SensorTickMs); // tick 20, 4.2 s after the start
            QCOMPARE(rig.view.textBox(calibration::SensorCalibratedBox)->text(),
                     calibration::CalibrationTimeText(rig.clock.now().toLocalTime(), languageLocale(ResStrings::English)));
            QVERIFY(device != "CM 1.04" || m_sim.command(SimAddress + " --show").contains("nvoSpaceTemp 21.50"));
        } else {
            QCOMPARE(rig.view.selectedTabKey(2), QString("KEY:6")); // the logger
            QVERIFY(!rig.logger.loggerOnErrorFlag());
            QCOMPARE(sensor.restorePending(), cause == "offline");
            if (cause == "offline") {
                QCOMPARE(rig.cp(device, "nciTmpOffset"), QString("0\t0")); // not reachable yet
                rig.setOnline(device, true);
                rig.clock.advanceMs(TemperatureSensorCalibration::RestoreRetryTicks * SensorTickMs);
            }
            QCOMPARE(cps(), QString("255\t156|1|0\t50"));
            QVERIFY(!sensor.restorePending());
        }
        QVERIFY(!rig.window->sensorPage().timer()->isActive() && !rig.view.isVisible(SensorProgress));
        QVERIFY(rig.view.windowEnabled() && !rig.dialogs.waitCursor);
        const QString result = cause.isEmpty() ? "succeeded" : "failed";
        QCOMPARE(outcome(rig.view, SensorResult),
                 "Calibration " + result + (cause.isEmpty() ? ". (green)" : ". (red)"));
        QCOMPARE(rig.logger.texts().filter("Temperature sensor calibration " + result + ".").size(), 1);
    }

    // Cancelled, the copy changes nothing. With every template accepted, a picked device gets the
    // offset only when it answers, runs the newer calibration and still has its manufacturer's
    // calibration, and the copy is recorded on it as such.
    void copyFollowsTheDeviceRules()
    {
        WindowRig rig(IniEdits{CalibTransferToAll});
        rig.setCp("CM 1.06", "nciTmpOffset", "255\t176");
        cpaccess::writeRawText(*rig.device("CM 1.04")->configProperties()->item("TempCalib"), "0\t0");
        rig.setOnline("CM 1.03", false);
        calibration::WriteTempSensorCalibrated({rig.module("CM 1.06"), {}, nullptr, 0, &rig.clock}); // copy offered
        rig.open("CM 1.06", 2);
        rig.view.statusHistory.clear();
        QVERIFY(rig.view.clickCommandButton(calibration::button::SensorCopy));
        QCOMPARE(rig.view.statusHistory, QStringList{"Scanning project ..."});
        QVERIFY(rig.logger.texts().filter("temperature sensor").isEmpty());

        rig.picks = QStringList{"CM 1.01", "CM 1.02", "CM 1.03", "CM 1.04"};
        QVERIFY(rig.view.clickCommandButton(calibration::button::SensorCopy));
        QCOMPARE(outcomeLines(rig.logger), (QStringList{GetResString(1207), GetResString(1204, 1), GetResString(1203),
                                                        GetResString(1206)}));
        QCOMPARE(rig.cp("CM 1.01", "nciTmpOffset"), QString("255\t176"));
        const auto records = rig.module("CM 1.01")->extensions();
        QCOMPARE(LnsUtility::ReadExtensionValue(records, calibration::TempSensorCalibratedRecord, "", 2), QString("1"));
        for (const char *name : {"CM 1.02", "CM 1.03", "CM 1.04"})
            QCOMPARE(rig.cp(name, "nciTmpOffset"), QString("0\t0"));
        QVERIFY(rig.view.statusHistory.contains("Device 4/4"));
        QCOMPARE(rig.view.statusText(), QString("Ready."));
        QVERIFY(rig.view.windowEnabled());
        QCOMPARE(rig.session.system->openSeriesCount(), 0);
        QCOMPARE(rig.view.selectedTabKey(2), QString("KEY:6"));
    }

    // Not answering at the start: nothing is written or triggered, the calibrate buttons are
    // disabled (the knob page's: tst_frmmain calibrateButtonsFollowTheDevice).
    void silentDeviceIsNotCalibrated_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("button");
        QTest::addColumn<Element>("result");
        QTest::newRow("sensor") << "CM 1.06" << int(calibration::button::SensorCalibrate) << SensorResult;
        QTest::newRow("knob, two-stop") << "CM 1.01" << int(calibration::button::KnobCalibrate) << KnobResult;
    }
    void silentDeviceIsNotCalibrated()
    {
        QFETCH(QString, device);
        QFETCH(int, button);
        QFETCH(Element, result);
        WindowRig rig;
        rig.open(device, 2);
        rig.setOnline(device, false);
        QVERIFY(rig.view.clickCommandButton(button));
        QCOMPARE(outcome(rig.view, result), QString("Calibration not possible. (red)"));
        QVERIFY(!rig.view.isEnabled(Element::commandButton(calibration::button::SensorCalibrate)));
        QVERIFY(!rig.window->sensorPage().timer()->isActive());
        QVERIFY(!rig.window->knobPage().procedure()->KnobCalibPending());
        QCOMPARE(triggers(rig, device), 0);
        QCOMPARE(rig.logger.texts().filter("because the device is not accessible").size(),
                 button == calibration::button::SensorCalibrate ? 1 : 0);
    }

    void arrangement_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("command");
        QTest::addColumn<double>("version");     // 0: the template's
        QTest::addColumn<bool>("online");
        QTest::addColumn<QString>("tempCalib");  // empty: as delivered ("1\t23")
        QTest::addColumn<bool>("calibrated");    // a sensor calibration on record
        QTest::addColumn<QString>("arrangement"); // knob frame shown, "+copy" with the copy frame
        // A panel decides alone, also in the configure command; copying needs a calibration.
        QTest::newRow("panel: centre") << "CM 1.06" << 1 << 0.0 << true << "" << false << "centre";
        QTest::newRow("panel, calibrated: copy") << "CM 1.06" << 1 << 0.0 << true << "" << true << "centre+copy";
        QTest::newRow("2.0 of 2.1: two-stop") << "CM 1.01" << 2 << 2.0 << true << "" << true << "two-stop";
        QTest::newRow("2.1 of 2.1, calibrated: reset, copy") << "CM 1.01" << 2 << 2.1 << true << "" << true << "reset+copy";
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
            if (rig.view.isVisible(Element::frame(frame))) {
                frames.append(name);
                if (online)
                    QCOMPARE(rig.view.geometry(Element::frame(frame)).top, 180.0);
            }
        }
        QTEST(frames.join('|') + (rig.view.isVisible(Element::frame(Frame::SensorCopy)) ? "+copy" : ""), "arrangement");
    }

    void twoStopCalibration_data()
    {
        QTest::addColumn<QString>("before"); // "waiting": a cut-short run left the device waiting
        QTest::addColumn<QString>("between"); // "timeout"; "trigger": the second stop came from elsewhere
        QTest::addColumn<int>("triggersSent"); // by the plug-in
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("knob");
        // The page gives up after about 30 s, but the device still waits: a later press completes it.
        QTest::newRow("second press after the timeout") << "" << "timeout" << 2 << "Calibration succeeded. (green)"
                                                        << "calibrated";
        // The device says where its calibration stands: a first press ends a calibration still
        // waiting for its second stop, and the result is what the device reports after the second.
        QTest::newRow("left waiting") << "waiting" << "" << 3 << "Calibration succeeded. (green)" << "calibrated";
        QTest::newRow("stop taken elsewhere") << "" << "trigger" << 2 << "Calibration failed. (red)"
                                             << "waiting for the second stop";
    }
    // The first press triggers and blinks "Other Limit Stop ..." until the second; the second
    // press's success is recorded.
    void twoStopCalibration()
    {
        QFETCH(QString, before);
        QFETCH(QString, between);
        QFETCH(QString, result);
        WindowRig rig;
        if (before == "waiting")
            rig.device("CM 1.01")->calibrationTrigger();
        rig.open("CM 1.01", 2);
        QVERIFY(rig.view.clickCommandButton(calibration::button::KnobCalibrate));
        QCOMPARE(EmbeddedObjectServer::knobCalibrationText(rig.device("CM 1.01")), QString("waiting for the second stop"));
        rig.clock.advanceMs(5 * KnobTickMs);
        if (between == "timeout") {
            rig.clock.advanceMs(56 * KnobTickMs); // ticks 0 to 60
            QVERIFY(rig.view.isVisible(KnobProgress));
            QCOMPARE(rig.view.progress(1), 60);
            rig.clock.advanceMs(KnobTickMs); // tick 61
            QVERIFY(!rig.view.isVisible(KnobProgress) && !rig.window->knobPage().timer()->isActive());
            QCOMPARE(outcome(rig.view, KnobResult), QString("Calibration failed. (red)"));
            QVERIFY(rig.window->knobPage().procedure()->KnobCalibPending());
            rig.clock.advanceSeconds(60);
        } else if (between == "trigger") {
            rig.device("CM 1.01")->calibrationTrigger();
        }
        QVERIFY(rig.view.clickCommandButton(calibration::button::KnobCalibrate));
        QTEST(triggers(rig, "CM 1.01") - int(before == "waiting") - int(between == "trigger"), "triggersSent");
        QCOMPARE(outcome(rig.view, KnobResult), result);
        QTEST(EmbeddedObjectServer::knobCalibrationText(rig.device("CM 1.01")), "knob");
        QVERIFY(!rig.window->knobPage().procedure()->KnobCalibPending());
        if (result.contains("succeeded"))
            QCOMPARE(rig.view.textBox(calibration::KnobCalibratedBox)->text(),
                     calibration::CalibrationTimeText(rig.clock.now().toLocalTime(), languageLocale(ResStrings::English)));
    }

    void resetThisDevice_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<bool>("online");
        QTest::addColumn<QStringList>("lines");
        const QStringList succeeded{"Resetting turning knob calibration succeeded. - "};
        QTest::newRow("answers") << "CM 1.06" << true << succeeded;
        QTest::newRow("silent") << "CM 1.06" << false
                                << QStringList{"Resetting turning knob calibration failed. - ", "Error: - "};
        // The device reached over LON/IP reports its knob learning after the trigger.
        QTest::newRow("over LON/IP") << "CM 1.04" << true << succeeded;
    }
    void resetThisDevice()
    {
        QFETCH(QString, device);
        QFETCH(bool, online);
        QFETCH(QStringList, lines);
        WindowRig rig;
        const bool lonIp = device == "CM 1.04";
        if (lonIp)
            linkToSim(rig, device);
        rig.open(device, 2);
        rig.setOnline(device, online);
        const qsizetype before = rig.logger.lines.size();
        QVERIFY(rig.view.clickCommandButton(calibration::button::KnobReset));
        QCOMPARE(rig.dialogs.waitCursorChanges.mid(rig.dialogs.waitCursorChanges.size() - 2), (QList<bool>{true, false}));
        QCOMPARE(triggers(rig, device), online ? 1 : 0);
        if (lonIp)
            QVERIFY(m_sim.command(SimAddress + " --show").contains("knob learning")
                    && rig.device(device)->knobCalibration() == lns::AppDevice::KnobCalibration::Learning);
        QCOMPARE(rig.logger.texts().mid(before).replaceInStrings(QRegularExpression(" - .*"), " - "), lines);
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
        IniEdits edits{CalibTransferToAll};
        if (command == 2)
            edits.append(qMakePair(QString("PanelType@TQM_CM_L1 ="), QString("PanelType@TQM_CM_L1 =\nPanelType@TQM_CM_STD =")));
        WindowRig rig(edits);
        rig.setOnline("CM 1.03", false);
        rig.open(opened, command);
        rig.picks = picks;
        QVERIFY(rig.view.clickCommandButton(command == 1 ? calibration::button::KnobCentreSeveral
                                                         : calibration::button::KnobResetSeveral));
        QTEST(outcomeLines(rig.logger), "outcomes");
        for (const QString &name : picks)
            QCOMPARE(triggers(rig, name), triggered.contains(name) ? 1 : 0);
        QCOMPARE(rig.logger.texts().filter("Start resetting turning knob calibration").size(), 1);
        QCOMPARE(rig.logger.texts().filter("Resetting turning knob calibration completed.").size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestCalibrationPages)
#include "tst_calibrationpages.moc"
