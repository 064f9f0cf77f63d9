// The temperature-sensor calibration as the window runs it on a simulated command module: the
// run on the manual clock, measured through the monitoring page's point, and the copy.

#include "ui/windowrig.h"

#include "calibration/calibrationrecords.h"
#include "calibration/sensorcalibration.h"
#include "lns/extensionvalue.h"
#include "params/numbers.h"

#include <QtTest>

using namespace ui;
using calibration::TemperatureSensorCalibration;

namespace {

constexpr controls::Colour Green = 0x008000;
// Ticks fire every 200 ms from the start: tick n at (n + 1) * 200 ms.
constexpr int TickMs = TemperatureSensorCalibration::IntervalMs;
const Element Result = Element::label(labels::SensorResult);
const Element Progress = Element::progressBar(0);

QStringList outcomeLines(const MemoryLogger &logger)
{
    QStringList found;
    for (const LogViewLine &line : logger.lines) {
        if (line.text.startsWith("     - "))
            found.append(line.text.mid(7));
    }
    return found;
}

} // namespace

class TestSensorCalibration : public QObject
{
    Q_OBJECT

private slots:
    // OffsetTemp holds the offset in 16-bit two's complement, high byte first; the old bytes of a
    // failed run must come back exactly, so the conversion has to round-trip.
    void offsetBytes_data()
    {
        QTest::addColumn<int>("value1");
        QTest::addColumn<int>("value2");
        QTest::addColumn<int>("offset");
        QTest::newRow("zero") << 0 << 0 << 0;
        QTest::newRow("2150 - 2237") << 255 << 169 << -87;
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

    void spaceTempReading_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<int>("hundredths"); // -1: no reading
        QTest::newRow("21.00") << "8\t52" << 2100;
        QTest::newRow("-2.00") << "255\t56" << -200;
        QTest::newRow("silent device reads empty") << "" << -1;
        QTest::newRow("three bytes") << "8\t52\t0" << -1;
        QTest::newRow("sensor's invalid value") << "127\t255" << -1;
        QTest::newRow("display text, not raw") << "21.00" << -1;
    }
    void spaceTempReading()
    {
        QFETCH(QString, raw);
        const std::optional<qint32> read = calibration::SpaceTempHundredths(raw);
        QTEST(read.value_or(-1), "hundredths");
    }

    void roomTemperatureEntry_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("target");
        QTest::addColumn<bool>("red");
        QTest::addColumn<double>("left"); // the entry once the focus left it (red: unchanged)
        QTest::newRow("decimal comma") << "21,5" << 2150 << false << 21.5;
        QTest::newRow("decimal point, rounded") << "21.56" << 2156 << false << 21.6;
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
        QCOMPARE(rig.view.isVisible(Result), red);
        QVERIFY2(!red || rig.view.caption(Result).contains("50"), qPrintable(rig.view.caption(Result)));
        entry->setText("21");
        QVERIFY(!rig.view.isVisible(Result));
    }

    // A room of 21.00 °C that the sensor reads 1.37 K too warm, with 21,5 entered: the device
    // reports 2237 while measuring and gets 2150 - 2237 = -87. A device without a temperature-mode
    // CP measures in its own mode, which stays untouched.
    void calibration_data()
    {
        QTest::addColumn<bool>("tempMode");
        QTest::newRow("with TempMode") << true;
        QTest::newRow("without TempMode") << false;
    }
    // The run disables the window, measures without offset from tick 0, writes the offset and
    // puts the mode and the minimum change back at tick 10, and records the calibration at tick 20.
    void calibration()
    {
        QFETCH(bool, tempMode);
        WindowRig rig(tempMode ? IniEdits{} : IniEdits{{"TempMode = 30,0,0", "TempMode = 30,0,0\nTempMode@TQM_CM_STD ="}});
        rig.setRoom("CM 1.06", 2100, 137);
        rig.setCp("CM 1.06", "nciTempMode", "1"); // average
        rig.open("CM 1.06", 2);
        rig.view.textBox(calibration::RoomTemperatureBox)->setText("21,5");
        QVERIFY(rig.view.clickCommandButton(calibration::button::SensorCalibrate));
        QVERIFY(!rig.view.windowEnabled());
        QVERIFY(rig.dialogs.waitCursor);

        rig.clock.advanceMs(2 * TickMs); // ticks 0 and 1
        QCOMPARE(rig.cp("CM 1.06", "nciTmpOffset"), QString("0\t0"));
        QCOMPARE(rig.cp("CM 1.06", "nciTempMode"), QString(tempMode ? "2" : "1"));
        QCOMPARE(rig.cp("CM 1.06", "nciTmpMinDelta"), QString("0\t10"));
        QVERIFY(rig.view.isVisible(Progress));
        QCOMPARE(rig.view.progress(0), 1);
        QCOMPARE(rig.view.caption(Progress), QString("Calibrating ..."));

        rig.clock.advanceMs(9 * TickMs); // tick 10
        QCOMPARE(rig.cp("CM 1.06", "nciTmpOffset"), QString("255\t169"));
        QCOMPARE(rig.cp("CM 1.06", "nciTempMode"), QString("1"));
        QCOMPARE(rig.cp("CM 1.06", "nciTmpMinDelta"), QString("0\t50"));
        rig.clock.advanceMs(9 * TickMs);
        QVERIFY(!rig.view.windowEnabled()); // tick 19

        rig.clock.advanceMs(TickMs); // tick 20, 4.2 s after the start
        QVERIFY(rig.view.windowEnabled());
        QVERIFY(!rig.dialogs.waitCursor);
        QVERIFY(!rig.view.isVisible(Progress));
        QCOMPARE(rig.view.caption(Result), QString("Calibration succeeded."));
        QCOMPARE(rig.view.foreColour(Result), Green);
        QVERIFY(rig.view.isVisible(Result));
        QCOMPARE(rig.view.textBox(calibration::SensorCalibratedBox)->text(),
                 calibration::CalibrationTimeText(rig.clock.now().toLocalTime(), languageLocale(ResStrings::English)));
        QCOMPARE(rig.logger.texts().filter("Temperature sensor calibration succeeded.").size(), 1);
        rig.clock.advanceMs(1000);
        QCOMPARE(rig.monitoringPage->MonitorPoints()->GetMonitorPointByName("nvoSpaceTemp")->Value(),
                 QString("8\t102")); // 21.50
    }

    void failureRestoresTheOldBytes_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::newRow("device offline from tick 5") << "offline";
        QTest::newRow("monitoring saw a communication failure") << "flag";
        QTest::newRow("no space-temperature point") << "no point";
    }
    // A run that cannot measure writes the old values back, a negative offset byte for byte; a
    // device that stopped answering gets them as soon as it answers again.
    void failureRestoresTheOldBytes()
    {
        QFETCH(QString, cause);
        WindowRig rig;
        rig.setCp("CM 1.06", "nciTmpOffset", "255\t156"); // -1.00 K
        rig.setCp("CM 1.06", "nciTempMode", "0");
        rig.open("CM 1.06", 2);
        QVERIFY(rig.view.clickCommandButton(calibration::button::SensorCalibrate));
        rig.clock.advanceMs(5 * TickMs);
        if (cause == "offline")
            rig.setOnline("CM 1.06", false);
        else if (cause == "flag")
            rig.session.communicationFailed = true;
        else
            rig.monitoringPage->MonitorPoints()->RemoveMonitorPointByName("nvoSpaceTemp");
        rig.clock.advanceMs(6 * TickMs); // tick 10

        QCOMPARE(rig.view.caption(Result), QString("Calibration failed."));
        QCOMPARE(rig.view.foreColour(Result), controls::colour::Red);
        QVERIFY(!rig.view.isVisible(Progress));
        QVERIFY(rig.view.windowEnabled());
        QVERIFY(!rig.dialogs.waitCursor);
        QCOMPARE(rig.view.selectedTabKey(2), QString("KEY:6")); // the logger
        QVERIFY(!rig.logger.loggerOnErrorFlag());
        QCOMPARE(rig.logger.texts().filter("Temperature sensor calibration failed.").size(), 1);
        TemperatureSensorCalibration &sensor = *rig.window->sensorPage().procedure();
        if (cause == "offline") {
            QVERIFY(sensor.restorePending());
            QCOMPARE(rig.cp("CM 1.06", "nciTmpOffset"), QString("0\t0")); // not reachable yet
            rig.setOnline("CM 1.06", true);
            rig.clock.advanceMs(TemperatureSensorCalibration::RestoreRetryTicks * TickMs);
        }
        QVERIFY(!sensor.restorePending());
        QVERIFY(!rig.window->sensorPage().timer()->isActive());
        QCOMPARE(rig.cp("CM 1.06", "nciTmpOffset"), QString("255\t156"));
        QCOMPARE(rig.cp("CM 1.06", "nciTempMode"), QString("0"));
        QCOMPARE(rig.cp("CM 1.06", "nciTmpMinDelta"), QString("0\t50"));
    }

    // Not answering at the start: nothing is written, both calibrate buttons are disabled.
    void silentDeviceIsNotCalibrated()
    {
        WindowRig rig;
        rig.open("CM 1.06", 2);
        rig.setOnline("CM 1.06", false);
        QVERIFY(rig.view.clickCommandButton(calibration::button::SensorCalibrate));
        QVERIFY(!rig.window->sensorPage().timer()->isActive());
        QCOMPARE(rig.view.caption(Result), QString("Calibration not possible."));
        QCOMPARE(rig.view.foreColour(Result), controls::colour::Red);
        QVERIFY(!rig.view.isEnabled(Element::commandButton(calibration::button::SensorCalibrate)));
        QVERIFY(!rig.view.isEnabled(Element::commandButton(calibration::button::KnobCalibrate)));
        QCOMPARE(rig.logger.texts().filter("because the device is not accessible").size(), 1);
    }

    void copyWithNothingPickedDoesNothing()
    {
        WindowRig rig;
        calibration::WriteTempSensorCalibrated({rig.module("CM 1.06"), {}, nullptr, 0, &rig.clock}); // copy offered
        rig.open("CM 1.06", 2);
        rig.view.statusHistory.clear();
        QVERIFY(rig.view.clickCommandButton(calibration::button::SensorCopy));
        QVERIFY(rig.trace.contains("multi:CM 1.06 / CommandModule"));
        QVERIFY(rig.view.windowEnabled());
        QCOMPARE(rig.view.statusHistory, QStringList{"Scanning project ..."});
        QCOMPARE(rig.session.system->openSeriesCount(), 0);
        QVERIFY(rig.logger.texts().filter("temperature sensor").isEmpty());
    }

    // The devices CalibTransfer accepts are offered; a picked device gets the offset only when it
    // answers, runs the newer calibration and still has its manufacturer's calibration, and the
    // copy is recorded on it as such.
    void copyFollowsTheDeviceRules()
    {
        WindowRig rig(IniEdits{{"CalibTransfer@TQM_CM_STD = 6,4", "CalibTransfer@TQM_CM_STD = 6,4,3,2,1"}});
        rig.setCp("CM 1.06", "nciTmpOffset", "255\t176");
        cpaccess::writeRawText(*rig.device("CM 1.04")->configProperties()->item("TempCalib"), "0\t0");
        rig.setOnline("CM 1.03", false);
        calibration::WriteTempSensorCalibrated({rig.module("CM 1.06"), {}, nullptr, 0, &rig.clock});
        rig.open("CM 1.06", 2);
        rig.picks = QStringList{"CM 1.01", "CM 1.02", "CM 1.03", "CM 1.04"};
        QVERIFY(rig.view.clickCommandButton(calibration::button::SensorCopy));

        QCOMPARE(rig.trace.filter("offered:"),
                 (QStringList{"offered:CM 1.01", "offered:CM 1.02", "offered:CM 1.03", "offered:CM 1.04"}));
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
};

QTEST_GUILESS_MAIN(TestSensorCalibration)
#include "tst_sensorcalibration.moc"
