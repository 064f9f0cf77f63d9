#include "calibrationrig.h"

#include "calibration/calibrationrecords.h"
#include "lns/extensionvalue.h"

#include <QtTest>

using calibration::TemperatureSensorCalibration;

namespace {

constexpr controls::Colour Red = controls::colour::Red;
constexpr controls::Colour Green = 0x008000;
// Ticks fire every 200 ms from the start: tick n at (n + 1) * 200 ms.
constexpr int TickMs = TemperatureSensorCalibration::IntervalMs;

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
        QTest::newRow("+300") << 1 << 44 << 300;
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
        QTest::newRow("-4.97") << "254\t15" << -497;
        QTest::newRow("silent device reads empty") << "" << -1;
        QTest::newRow("one byte") << "8" << -1;
        QTest::newRow("three bytes") << "8\t52\t0" << -1;
        QTest::newRow("sensor's invalid value") << "127\t255" << -1;
        QTest::newRow("display text, not raw") << "21.00" << -1;
    }
    void spaceTempReading()
    {
        QFETCH(QString, raw);
        QFETCH(int, hundredths);
        const std::optional<qint32> read = calibration::SpaceTempHundredths(raw);
        QCOMPARE(read.has_value(), hundredths != -1);
        if (read)
            QCOMPARE(*read, hundredths);
    }

    void roomTemperatureEntry_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("target");
        QTest::addColumn<bool>("red");
        QTest::newRow("decimal comma") << "21,5" << 2150 << false;
        QTest::newRow("decimal point") << "21.25" << 2125 << false;
        QTest::newRow("lowest") << "-20" << -2000 << false;
        QTest::newRow("highest") << "50" << 5000 << false;
        QTest::newRow("above") << "50,1" << 5010 << true;
        QTest::newRow("below") << "-20,01" << -2001 << true;
        QTest::newRow("far beyond 32 bits") << "1e12" << 2100 << true;
    }
    // The entry colours itself and decides "Calibrate"; the target is kept in hundredths.
    void roomTemperatureEntry()
    {
        QFETCH(QString, text);
        QFETCH(int, target);
        QFETCH(bool, red);
        MemoryConfigurationWindow window;
        MemoryCalibrationPage page(window);
        calibration::CalibrationEnvironment env;
        env.page = &page;
        TemperatureSensorCalibration sensor(env, nullptr);
        window.TextBox(calibration::RoomTemperatureBox)->setText(text);
        sensor.RoomTemperatureChanged();
        QCOMPARE(sensor.RoomTemperatureTarget(), target);
        QCOMPARE(window.TextBox(calibration::RoomTemperatureBox)->foreColor() == Red, red);
        QCOMPARE(page.buttons[calibration::button::SensorCalibrate], !red);
    }

    void roomTemperatureValidation_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown"); // after leaving the entry
        QTest::addColumn<bool>("refused");
        QTest::newRow("one decimal") << "21,54" << "21,5" << false;
        QTest::newRow("rounded up") << "21.56" << "21,6" << false;
        QTest::newRow("whole number") << " -5" << "-5,0" << false;
        QTest::newRow("out of range keeps the focus") << "50,1" << "50,1" << true;
    }
    void roomTemperatureValidation()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QFETCH(bool, refused);
        MemoryConfigurationWindow window;
        MemoryCalibrationPage page(window);
        calibration::CalibrationEnvironment env;
        env.page = &page;
        env.locale = QLocale(QLocale::German);
        TemperatureSensorCalibration sensor(env, nullptr);
        window.TextBox(calibration::RoomTemperatureBox)->setText(text);
        sensor.RoomTemperatureChanged();
        bool cancel = false;
        sensor.RoomTemperatureValidate(&cancel);
        QCOMPARE(cancel, refused);
        QCOMPARE(window.TextBox(calibration::RoomTemperatureBox)->text(), shown);
    }

    // A room of 21.00 °C that the sensor reads 1.37 K too warm, with 21,5 entered: the device
    // reports 2237 while measuring and gets 2150 - 2237 = -87 as its offset. The run disables the
    // window, blinks its progress text, measures without offset, restores the mode and the
    // minimum change, and records the calibration.
    void calibrationWritesTheDifference()
    {
        CalibrationRig rig;
        rig.setRoom("CM 1.06", 2100, 137);
        rig.setCp("CM 1.06", "nciTempMode", "1"); // average, to see it restored
        rig.open("CM 1.06");
        rig.enterRoomTemperature("21,5");
        rig.sensor->Start();
        QVERIFY(rig.sensor->isRunning());
        QVERIFY(!rig.page.enabled());
        QVERIFY(rig.dialogs.waitCursor);

        rig.clock.advanceMs(TickMs); // tick 0: measuring without correction
        QCOMPARE(rig.cp("CM 1.06", "nciTmpOffset"), QString("0\t0"));
        QCOMPARE(rig.cp("CM 1.06", "nciTempMode"), QString("2"));
        QCOMPARE(rig.cp("CM 1.06", "nciTmpMinDelta"), QString("0\t10"));
        QVERIFY(rig.page.bars[Indicator::Sensor].visible);
        QCOMPARE(rig.page.bars[Indicator::Sensor].text, QString());
        rig.clock.advanceMs(TickMs);
        QCOMPARE(rig.page.bars[Indicator::Sensor].value, 1);
        QCOMPARE(rig.page.bars[Indicator::Sensor].text, QString("Calibrating ..."));

        rig.clock.advanceMs(9 * TickMs); // tick 10: the offset
        QCOMPARE(rig.cp("CM 1.06", "nciTmpOffset"), QString("255\t169"));
        QCOMPARE(rig.cp("CM 1.06", "nciTempMode"), QString("1"));
        QCOMPARE(rig.cp("CM 1.06", "nciTmpMinDelta"), QString("0\t50"));
        rig.clock.advanceMs(9 * TickMs);
        QVERIFY(rig.sensor->isRunning()); // tick 19

        rig.clock.advanceMs(TickMs); // tick 20: 4.2 s after the start
        QVERIFY(!rig.sensor->isRunning());
        QVERIFY(rig.page.enabled());
        QVERIFY(!rig.dialogs.waitCursor);
        QVERIFY(!rig.page.bars[Indicator::Sensor].visible);
        const MemoryCalibrationPage::Result result = rig.page.results[Indicator::Sensor];
        QCOMPARE(result.caption, QString("Calibration succeeded."));
        QCOMPARE(result.colour, Green);
        QVERIFY(result.visible);
        const QString today = calibration::CalibrationTimeText(rig.clock.now(), QLocale::system());
        QCOMPARE(rig.window.TextBox(calibration::SensorCalibratedBox)->text(), today);
        QCOMPARE(rig.linesWith("Temperature sensor calibration succeeded.").size(), 1);
        QCOMPARE(rig.logger.loggerOnErrorFlag(), false);

        rig.clock.advanceMs(1000);
        QCOMPARE(rig.points->GetMonitorPointByName("nvoSpaceTemp")->Value(), QString("8\t102")); // 21.50
    }

    // A device without a temperature-mode CP measures in its own mode, which stays untouched.
    void deviceWithoutTempModeKeepsItsMode()
    {
        CalibrationRig rig(IniEdits{{"TempMode = 30,0,0", "TempMode = 30,0,0\nTempMode@TQM_CM_STD ="}});
        rig.setRoom("CM 1.06", 2100, 50);
        rig.setCp("CM 1.06", "nciTempMode", "1");
        rig.open("CM 1.06");
        rig.enterRoomTemperature("21,0");
        rig.sensor->Start();
        rig.clock.advanceMs(TickMs);
        QCOMPARE(rig.cp("CM 1.06", "nciTmpOffset"), QString("0\t0"));
        QCOMPARE(rig.cp("CM 1.06", "nciTempMode"), QString("1"));
        rig.clock.advanceMs(20 * TickMs);
        QCOMPARE(rig.page.results[Indicator::Sensor].caption, QString("Calibration succeeded."));
        QCOMPARE(rig.cp("CM 1.06", "nciTempMode"), QString("1"));
        QCOMPARE(rig.cp("CM 1.06", "nciTmpOffset"), QString("255\t206")); // -50
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
        CalibrationRig rig;
        rig.setRoom("CM 1.06", 2100, 0);
        rig.setCp("CM 1.06", "nciTmpOffset", "255\t156"); // -1.00 K
        rig.setCp("CM 1.06", "nciTempMode", "0");
        rig.open("CM 1.06");
        rig.enterRoomTemperature("21,0");
        rig.sensor->Start();
        rig.clock.advanceMs(5 * TickMs);
        QCOMPARE(rig.cp("CM 1.06", "nciTmpOffset"), QString("0\t0"));
        if (cause == "offline")
            rig.setOnline("CM 1.06", false);
        else if (cause == "flag")
            rig.session.communicationFailed = true;
        else if (cause == "no point")
            rig.points->RemoveMonitorPointByName("nvoSpaceTemp");
        rig.clock.advanceMs(6 * TickMs); // tick 10

        QVERIFY(!rig.sensor->isRunning());
        QCOMPARE(rig.page.results[Indicator::Sensor].caption, QString("Calibration failed."));
        QCOMPARE(rig.page.results[Indicator::Sensor].colour, Red);
        QVERIFY(!rig.page.bars[Indicator::Sensor].visible);
        QVERIFY(rig.page.enabled());
        QVERIFY(!rig.dialogs.waitCursor);
        QCOMPARE(rig.page.loggerShown, 1);
        QCOMPARE(rig.logger.loggerOnErrorFlag(), false);
        QCOMPARE(rig.linesWith("Temperature sensor calibration failed.").size(), 1);
        QCOMPARE(rig.linesWith("Temperature sensor calibration failed.").first().colour, Red);
        if (cause == "offline") {
            QVERIFY(rig.sensor->restorePending());
            QCOMPARE(rig.cp("CM 1.06", "nciTmpOffset"), QString("0\t0")); // not reachable yet
            rig.setOnline("CM 1.06", true);
            rig.clock.advanceMs(TemperatureSensorCalibration::RestoreRetryTicks * TickMs);
        }
        QVERIFY(!rig.sensor->restorePending());
        QVERIFY(!rig.sensorTimer->isActive());
        QCOMPARE(rig.cp("CM 1.06", "nciTmpOffset"), QString("255\t156"));
        QCOMPARE(rig.cp("CM 1.06", "nciTempMode"), QString("0"));
        QCOMPARE(rig.cp("CM 1.06", "nciTmpMinDelta"), QString("0\t50"));
        QVERIFY(!calibration::TempSensorIsCalibrated({rig.session.lonMarkObject, rig.session.deviceTemplate, &rig.ini, 0, nullptr}));
    }

    // Not answering at the start: nothing is written, both calibrate buttons are disabled.
    void silentDeviceIsNotCalibrated()
    {
        CalibrationRig rig;
        rig.open("CM 1.06");
        rig.setOnline("CM 1.06", false);
        rig.sensor->Start();
        QVERIFY(!rig.sensor->isRunning());
        QCOMPARE(rig.page.results[Indicator::Sensor].caption, QString("Calibration not possible."));
        QCOMPARE(rig.page.results[Indicator::Sensor].colour, Red);
        QVERIFY(rig.page.results[Indicator::Sensor].visible);
        QCOMPARE(rig.page.buttons[calibration::button::SensorCalibrate], false);
        QCOMPARE(rig.page.buttons[calibration::button::KnobCalibrate], false);
        QCOMPARE(rig.linesWith("because the device is not accessible").first().colour, Red);
        QVERIFY(rig.page.windowEnabled.isEmpty());
    }

    void copyWithNothingPickedDoesNothing()
    {
        CalibrationRig rig;
        rig.open("CM 1.06");
        rig.sensor->CopyToSeveralSensors();
        QVERIFY(!rig.offered.isEmpty());
        QVERIFY(rig.page.windowEnabled.isEmpty());
        QCOMPARE(rig.page.statusTexts, (QStringList{"Scanning project ...", "Ready."}));
        QCOMPARE(rig.session.system->openSeriesCount(), 0);
        QVERIFY(rig.linesWith("temperature sensor").isEmpty());
    }

    // The devices CalibTransfer accepts are offered; each picked device gets the offset only when
    // it answers, runs the newer calibration and still has its manufacturer's calibration, and
    // the copy is recorded on it as such.
    void copyFollowsTheDeviceRules()
    {
        CalibrationRig rig(IniEdits{{"CalibTransfer@TQM_CM_STD = 6,4", "CalibTransfer@TQM_CM_STD = 6,4,3"}});
        rig.setCp("CM 1.06", "nciTmpOffset", "255\t176");
        rig.open("CM 1.06");
        cpaccess::writeRawText(*rig.device("CM 1.04")->configProperties()->item("TempCalib"), "0\t0");
        rig.setOnline("CM 2.01", false);
        embedded::EmbeddedObjectServer::setApplicationVersion(rig.device("CM 2.02"), 2.0);
        rig.picks = QStringList{"CM 1.03", "CM 1.04", "CM 2.01", "CM 2.02", "CM 2.04"};
        rig.sensor->CopyToSeveralSensors();

        QCOMPARE(rig.offered, rig.picks); // L3, L4 and STD devices; not the opened one
        QStringList outcomes;
        for (const LogViewLine &line : rig.logger.lines) {
            if (line.text.startsWith("     - "))
                outcomes.append(line.text.mid(7));
        }
        QCOMPARE(outcomes, (QStringList{GetResString(1207), GetResString(1206), GetResString(1203),
                                        GetResString(1204, 1), GetResString(1207)}));
        for (const char *name : {"CM 1.03", "CM 2.04"}) {
            QCOMPARE(rig.cp(name, "nciTmpOffset"), QString("255\t176"));
            const auto records = rig.module(name)->extensions();
            QCOMPARE(LnsUtility::ReadExtensionValue(records, calibration::TempSensorCalibratedRecord, "", 2), QString("1"));
            QVERIFY(!LnsUtility::ReadExtensionValue(records, calibration::TempSensorCalibratedRecord, "", 1).isEmpty());
        }
        for (const char *name : {"CM 1.04", "CM 2.01", "CM 2.02"})
            QCOMPARE(rig.cp(name, "nciTmpOffset"), QString("0\t0"));
        QVERIFY(rig.page.statusTexts.contains("Device 5/5"));
        QCOMPARE(rig.page.statusTexts.last(), QString("Ready."));
        QCOMPARE(rig.page.windowEnabled, (QList<bool>{false, true}));
        QCOMPARE(rig.session.system->openSeriesCount(), 0);
        QCOMPARE(rig.page.loggerShown, 1);
        QVERIFY(!rig.page.applyEnabled);
        QCOMPARE(rig.linesWith("Start calibrating temperature sensor").size(), 1);
        QCOMPARE(rig.linesWith("Temperature sensor calibration completed.").size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSensorCalibration)
#include "tst_sensorcalibration.moc"
