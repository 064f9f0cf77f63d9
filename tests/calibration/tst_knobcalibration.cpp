#include "calibrationrig.h"

#include "calibration/calibrationrecords.h"
#include "calibration/pagearrangement.h"

#include <QtTest>

using calibration::TurningKnobCalibration;
using embedded::EmbeddedObjectServer;

namespace {

constexpr controls::Colour Red = controls::colour::Red;
constexpr controls::Colour Green = 0x008000;
// Ticks fire every 500 ms from the first press: tick n at (n + 1) * 500 ms.
constexpr int TickMs = TurningKnobCalibration::IntervalMs;

// CM 1.01 is a TQM_CM_L1: no push-button panel, and no "ApbVersionNewCalib" unless edited in.
const QPair<QString, QString> NewCalibForL1{"ApbVersionNewCalib@TQM_CM_L1 =", "ApbVersionNewCalib@TQM_CM_L1 = 2.1"};

QStringList outcomes(const MemoryLogger &logger)
{
    QStringList found;
    for (const LogViewLine &line : logger.lines) {
        if (line.text.startsWith("     - "))
            found.append(line.text.mid(7));
    }
    return found;
}

} // namespace

class TestKnobCalibration : public QObject
{
    Q_OBJECT

private slots:
    void arrangement_data()
    {
        QTest::addColumn<QString>("deviceName");
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("newCalibForL1");
        QTest::addColumn<double>("version");     // 0: the template's
        QTest::addColumn<bool>("online");
        QTest::addColumn<QString>("tempCalib");  // empty: as delivered ("1\t23")
        QTest::addColumn<bool>("calibrated");    // a sensor calibration is on record
        QTest::addColumn<QString>("arrangement"); // frames shown, "+copy" with the copy frame
        // A panel decides alone; the copy frame keeps its (designed) state.
        QTest::newRow("panel: centre") << "CM 1.06" << 1 << false << 0.0 << true << "" << false << "centre+copy";
        // The calibrate command reads no panel CP (its configuration holds four parameters).
        QTest::newRow("panel unread: by version") << "CM 1.06" << 2 << false << 0.0 << true << "" << false << "reset";
        QTest::newRow("no ApbVersionNewCalib: two-stop") << "CM 1.01" << 2 << false << 2.4 << true << "" << true << "two-stop";
        QTest::newRow("2.1 of 2.1: reset") << "CM 1.01" << 2 << true << 2.1 << true << "" << false << "reset";
        QTest::newRow("2.0 of 2.1: two-stop") << "CM 1.01" << 2 << true << 2.0 << true << "" << true << "two-stop";
        QTest::newRow("reset, calibrated: copy") << "CM 1.01" << 2 << true << 2.2 << true << "" << true << "reset+copy";
        QTest::newRow("no manufacturer calibration: no copy") << "CM 1.01" << 2 << true << 2.2 << true << "0\t0" << true << "reset";
        QTest::newRow("silent, no panel: as designed") << "CM 1.01" << 2 << true << 2.2 << false << "" << true
                                                      << "two-stop|reset|centre+copy";
    }
    void arrangement()
    {
        QFETCH(QString, deviceName);
        QFETCH(int, command);
        QFETCH(bool, newCalibForL1);
        QFETCH(double, version);
        QFETCH(bool, online);
        QFETCH(QString, tempCalib);
        QFETCH(bool, calibrated);
        QFETCH(QString, arrangement);
        CalibrationRig rig(newCalibForL1 ? IniEdits{NewCalibForL1} : IniEdits{});
        if (version != 0)
            EmbeddedObjectServer::setApplicationVersion(rig.device(deviceName), version);
        if (!tempCalib.isEmpty())
            cpaccess::writeRawText(*rig.device(deviceName)->configProperties()->item("TempCalib"), tempCalib);
        rig.open(deviceName, command);
        if (calibrated)
            calibration::WriteTempSensorCalibrated({rig.session.lonMarkObject, rig.session.deviceTemplate, &rig.ini, 0, &rig.clock});
        rig.setOnline(deviceName, online);
        calibration::CalibrationEnvironment env;
        env.services.session = &rig.session;
        env.services.iniFile = &rig.ini;
        env.page = &rig.page;
        env.configuration = rig.configuration.get();
        calibration::ArrangeCalibrationPages(env);
        QCOMPARE(rig.page.arrangement(), arrangement);
        if (!online) {
            QCOMPARE(rig.page.frameMoves, 0);
            return;
        }
        if (rig.page.frames[PageFrame::KnobTwoStop].visible)
            QCOMPARE(rig.page.frames[PageFrame::KnobTwoStop].left, 180.0);
        for (PageFrame frame : {PageFrame::KnobTwoStop, PageFrame::KnobReset, PageFrame::KnobCentre}) {
            if (rig.page.frames[frame].visible)
                QCOMPARE(rig.page.frames[frame].top, 180.0);
        }
    }

    // The first press triggers and blinks "Other Limit Stop ..."; the second triggers again,
    // and the device's knob is calibrated and the calibration recorded.
    void twoStopCalibration()
    {
        CalibrationRig rig;
        rig.open("CM 1.01");
        rig.knob->Calibrate();
        QVERIFY(rig.knob->KnobCalibPending());
        QCOMPARE(rig.knobTimer->interval(), TickMs);
        QCOMPARE(EmbeddedObjectServer::knobCalibrationText(rig.device("CM 1.01")), QString("waiting for the second stop"));
        rig.clock.advanceMs(TickMs);
        QVERIFY(rig.page.bars[Indicator::Knob].visible);
        QCOMPARE(rig.page.bars[Indicator::Knob].text, QString("Other Limit Stop ..."));
        rig.clock.advanceMs(TickMs);
        QCOMPARE(rig.page.bars[Indicator::Knob].value, 1);
        QCOMPARE(rig.page.bars[Indicator::Knob].text, QString());

        rig.knob->Calibrate();
        QVERIFY(!rig.knob->KnobCalibPending());
        QVERIFY(!rig.knobTimer->isActive());
        QVERIFY(!rig.page.bars[Indicator::Knob].visible);
        QCOMPARE(rig.page.results[Indicator::Knob].caption, QString("Calibration succeeded."));
        QCOMPARE(rig.page.results[Indicator::Knob].colour, Green);
        QCOMPARE(EmbeddedObjectServer::calibrationTriggers(rig.device("CM 1.01")).size(), 2);
        QCOMPARE(EmbeddedObjectServer::knobCalibrationText(rig.device("CM 1.01")), QString("calibrated"));
        QCOMPARE(rig.window.TextBox(calibration::KnobCalibratedBox)->text(),
                 calibration::CalibrationTimeText(rig.clock.now(), QLocale::system()));
    }

    // After about 30 s the page says the calibration failed, but a later press still completes
    // it, because the device still waits for its second stop.
    void secondPressAfterTheTimeout()
    {
        CalibrationRig rig;
        rig.open("CM 1.01");
        rig.knob->Calibrate();
        rig.clock.advanceMs(61 * TickMs); // ticks 0 to 60
        QVERIFY(rig.page.bars[Indicator::Knob].visible);
        QCOMPARE(rig.page.bars[Indicator::Knob].value, 60);
        rig.clock.advanceMs(TickMs); // tick 61
        QVERIFY(!rig.page.bars[Indicator::Knob].visible);
        QVERIFY(!rig.knobTimer->isActive());
        QCOMPARE(rig.page.results[Indicator::Knob].caption, QString("Calibration failed."));
        QCOMPARE(rig.page.results[Indicator::Knob].colour, Red);
        QVERIFY(rig.page.results[Indicator::Knob].visible);
        QVERIFY(rig.knob->KnobCalibPending());

        rig.clock.advanceSeconds(60);
        rig.knob->Calibrate();
        QCOMPARE(rig.page.results[Indicator::Knob].caption, QString("Calibration succeeded."));
        QCOMPARE(EmbeddedObjectServer::knobCalibrationText(rig.device("CM 1.01")), QString("calibrated"));
        QVERIFY(calibration::ReadRegulatorCalibrated({rig.session.lonMarkObject, {}, nullptr, 0, nullptr}) != "not calibrated");
    }

    void firstPressOnASilentDevice()
    {
        CalibrationRig rig;
        rig.open("CM 1.01");
        rig.setOnline("CM 1.01", false);
        rig.knob->Calibrate();
        QVERIFY(!rig.knob->KnobCalibPending());
        QVERIFY(!rig.knobTimer->isActive());
        QCOMPARE(rig.page.results[Indicator::Knob].caption, QString("Calibration not possible."));
        QCOMPARE(rig.page.results[Indicator::Knob].colour, Red);
        QCOMPARE(rig.page.buttons[calibration::button::SensorCalibrate], false);
        QCOMPARE(rig.page.buttons[calibration::button::KnobCalibrate], false);
        QVERIFY(EmbeddedObjectServer::calibrationTriggers(rig.device("CM 1.01")).isEmpty());
    }

    void resetThisDevice_data()
    {
        QTest::addColumn<bool>("online");
        QTest::newRow("answers") << true;
        QTest::newRow("silent") << false;
    }
    void resetThisDevice()
    {
        QFETCH(bool, online);
        CalibrationRig rig;
        rig.open("CM 1.06");
        rig.setOnline("CM 1.06", online);
        rig.knob->CalibrateThisDevice();
        QCOMPARE(rig.dialogs.waitCursorChanges, (QList<bool>{true, false}));
        QCOMPARE(EmbeddedObjectServer::calibrationTriggers(rig.device("CM 1.06")).size(), online ? 1 : 0);
        if (online) {
            QCOMPARE(rig.logTexts(), QStringList{"Resetting turning knob calibration succeeded. - 12:00:00"});
            QCOMPARE(rig.page.loggerShown, 0);
        } else {
            QCOMPARE(rig.logTexts().size(), 2);
            QCOMPARE(rig.logTexts().first(), QString("Resetting turning knob calibration failed. - 12:00:00"));
            QVERIFY(rig.logTexts().last().startsWith("Error: - "));
            QCOMPARE(rig.logger.lines.last().colour, Red);
            QCOMPARE(rig.page.loggerShown, 1);
        }
        QCOMPARE(rig.logger.loggerOnErrorFlag(), false);
    }

    void resetSeveralDevices_data()
    {
        QTest::addColumn<QString>("opened");
        QTest::addColumn<int>("command");
        QTest::addColumn<QStringList>("picks");
        QTest::addColumn<QStringList>("expected");   // outcome lines, in pick order
        QTest::addColumn<QStringList>("triggered");  // devices that got the trigger
        // A plug-in device with a panel sends to every pick; a silent one is tried and logged.
        QTest::newRow("panel") << "CM 1.06" << 1 << QStringList{"CM 1.04", "CM 2.02", "CM 2.04"}
                               << QStringList{"Ok", "Error:", "Ok"} << QStringList{"CM 1.04", "CM 2.04"};
        // Without a panel the version decides, and a silent device is not tried.
        QTest::newRow("versions") << "CM 1.01" << 2 << QStringList{"CM 1.03", "CM 1.07", "CM 2.01"}
                                  << QStringList{"Ok", GetResString(1204, 2), "Cannot communicate"}
                                  << QStringList{"CM 1.03"};
    }
    void resetSeveralDevices()
    {
        QFETCH(QString, opened);
        QFETCH(int, command);
        QFETCH(QStringList, picks);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, triggered);
        CalibrationRig rig(IniEdits{NewCalibForL1, {"CalibTransfer@TQM_CM_L1 = 1", "CalibTransfer@TQM_CM_L1 = 1,3"}});
        rig.setOnline("CM 2.02", false);
        rig.setOnline("CM 2.01", false);
        rig.open(opened, command);
        rig.picks = picks;
        rig.knob->CalibrateSeveralDevices();

        QStringList found = outcomes(rig.logger);
        for (QString &line : found) {
            if (line.startsWith("Error:"))
                line = "Error:";
        }
        QCOMPARE(found, expected);
        for (const QString &name : picks)
            QCOMPARE(EmbeddedObjectServer::calibrationTriggers(rig.device(name)).size(), triggered.contains(name) ? 1 : 0);
        QCOMPARE(rig.linesWith("Start resetting turning knob calibration").size(), 1);
        QCOMPARE(rig.linesWith("Resetting turning knob calibration completed.").size(), 1);
        QCOMPARE(rig.page.statusTexts.last(), QString("Ready."));
        QCOMPARE(rig.page.windowEnabled, (QList<bool>{false, true}));
        QCOMPARE(rig.session.system->openSeriesCount(), 0);
        QCOMPARE(rig.page.loggerShown, 1);
    }
};

QTEST_GUILESS_MAIN(TestKnobCalibration)
#include "tst_knobcalibration.moc"
