#include "calibration/calibrationrecords.h"
#include "lnsfakes.h"
#include "support/demorig.h"

#include <QtTest>

namespace {

// Two command modules of the demo network, their records watched.
struct Records : DemoRig
{
    Records() : DemoRig(2, {}, {}, false) {}
    static void setField(ObservedLonMarkObject &object, const QString &record, int number, const QString &value)
    {
        object.extensions()->add(record)->setField(number, value);
        object.writes.clear();
    }

    std::shared_ptr<ObservedLonMarkObject> own = std::make_shared<ObservedLonMarkObject>(module("CM 1.01"));
    std::shared_ptr<ObservedLonMarkObject> other = std::make_shared<ObservedLonMarkObject>(module("CM 1.02"));
};

const QString TempRecord = calibration::TempSensorCalibratedRecord;

} // namespace

class TestCalibrationRecords : public QObject
{
    Q_OBJECT

    ManualClock m_clock{QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7))};

    DeviceContext context(const std::shared_ptr<ObservedLonMarkObject> &lmo, int language = ResStrings::English)
    {
        return DeviceContext{lmo, "TQM_CM_L1", nullptr, language, &m_clock};
    }
    // The time as the record keeps it.
    QString nowText() const { return m_clock.now().toOffsetFromUtc(m_clock.now().offsetFromUtc()).toString(Qt::ISODate); }

private slots:
    // Never calibrated reads the default text of the session's language; the default a session of
    // the other language stored counts as not calibrated either. The record keeps the time of a
    // calibration; each session shows it in its language's date format.
    void readsInTheSessionsLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("stored"); // "calibrated", "German default" or nothing
        QTest::addColumn<QString>("date");   // of a calibration
        QTest::newRow("English") << int(ResStrings::English) << "" << "";
        QTest::newRow("German") << int(ResStrings::German) << "" << "";
        QTest::newRow("German text, English session") << int(ResStrings::English) << "German default" << "";
        QTest::newRow("calibrated, English") << int(ResStrings::English) << "calibrated" << "04/03/2026";
        QTest::newRow("calibrated, German") << int(ResStrings::German) << "calibrated" << "04.03.26";
    }
    void readsInTheSessionsLanguage()
    {
        QFETCH(int, language);
        QFETCH(QString, stored);
        QFETCH(QString, date);
        Records records;
        const int textLanguage = stored == "German default" ? int(ResStrings::German) : language;
        QString shown = GetResStringIn(textLanguage, calibration::NotCalibratedMessage, 1);
        if (stored == "German default")
            Records::setField(*records.own, TempRecord, 1, shown);
        if (!date.isEmpty()) {
            calibration::WriteTempSensorCalibrated(context(records.own));
            calibration::WriteRegulatorCalibrated(context(records.own));
            shown = calibration::CalibrationTimeText(m_clock.now().toLocalTime(), languageLocale(language));
            QCOMPARE(shown.section(QLatin1Char(' '), 0, 0), date);
        }
        const DeviceContext ctx = context(records.own, language);
        QCOMPARE(calibration::ReadTempSensorCalibrated(ctx), shown);
        if (stored != "German default")
            QCOMPARE(calibration::ReadRegulatorCalibrated(ctx), shown);
        QCOMPARE(calibration::TempSensorIsCalibrated(ctx), !date.isEmpty());
    }

    // The device's own calibration writes the time only; a copy marks the target as copied
    // (field 2) before it writes the time.
    void sensorCalibrationRecord()
    {
        Records records;
        Records::setField(*records.own, TempRecord, 2, "1");
        calibration::WriteTempSensorCalibrated(context(records.own));
        QCOMPARE(records.own->writes, (FieldWrites{{TempRecord, 1}}));
        records.own->writes.clear();

        calibration::WriteTempSensorCalibrated(context(records.own), records.other);
        QCOMPARE(records.other->writes, (FieldWrites{{TempRecord, 2}, {TempRecord, 1}}));
        QVERIFY(records.own->writes.isEmpty());
        QCOMPARE(records.other->extensions()->item(TempRecord)->field(1), nowText());
    }

    // A stored count as read back; "-7" is also written through the writer first.
    void fanCoilStepCount_data()
    {
        QTest::addColumn<QString>("stored"); // empty: no record
        QTest::addColumn<int>("expected");
        QTest::newRow("no record") << QString() << 1;
        QTest::newRow("written") << "-7" << -7;
        QTest::newRow("leading number") << "4 steps" << 4;
        QTest::newRow("not a number") << "many" << 0;
        QTest::newRow("beyond 32 bits") << "99999999999" << 0;
    }
    void fanCoilStepCount()
    {
        QFETCH(QString, stored);
        Records records;
        if (stored == "-7")
            calibration::WriteFanCoilStepCount(context(records.own), -7);
        else if (!stored.isEmpty())
            Records::setField(*records.own, calibration::FanCoilStepCountRecord, 1, stored);
        QTEST(calibration::ReadFanCoilStepCount(context(records.own)), "expected");
    }

    void failingDatabaseIsSwallowed()
    {
        Records records;
        const auto &lmo = records.own;
        lmo->recordsLocked = true;
        const DeviceContext ctx = context(lmo);
        QCOMPARE(calibration::ReadTempSensorCalibrated(ctx), QString());
        QCOMPARE(calibration::ReadRegulatorCalibrated(ctx), QString());
        QCOMPARE(calibration::ReadFanCoilStepCount(ctx), 0);
        calibration::WriteTempSensorCalibrated(ctx);
        calibration::WriteTempSensorCalibrated(ctx, lmo);
        calibration::WriteRegulatorCalibrated(ctx);
        calibration::WriteFanCoilStepCount(ctx, 2);
        QVERIFY(lmo->writes.isEmpty());
        // No object at all behaves the same.
        QCOMPARE(calibration::ReadTempSensorCalibrated(DeviceContext{}), QString());
        calibration::WriteFanCoilStepCount(DeviceContext{}, 2);
    }
};

QTEST_GUILESS_MAIN(TestCalibrationRecords)
#include "tst_calibrationrecords.moc"
