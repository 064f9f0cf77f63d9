#include "calibration/calibrationrecords.h"
#include "strings/resstrings.h"

#include <QtTest>

namespace {

using WriteLog = QList<QPair<QString, int>>; // record name, field number, in write order

class FakeRecord : public lns::ExtensionRecord
{
public:
    FakeRecord(QString name, WriteLog *log) : m_name(std::move(name)), m_log(log) {}
    lns::ObjectPtr parent() const override { return {}; }
    QString name() const override { return m_name; }
    int fieldCount() const override { return int(m_fields.size()); }
    QString field(int number) const override
    {
        if (number < 1 || number > m_fields.size())
            throw TqmError(TqmError::LnsObjectNotFound, "FakeRecord", "no field");
        return m_fields[number - 1];
    }
    void setField(int number, const QString &value) override
    {
        while (m_fields.size() < number)
            m_fields.append(QString());
        m_fields[number - 1] = value;
        m_log->append({m_name, number});
    }

private:
    QString m_name;
    QStringList m_fields;
    WriteLog *m_log;
};

class FakeRecords : public lns::ExtensionRecords
{
public:
    explicit FakeRecords(WriteLog *log) : m_log(log) {}
    lns::ObjectPtr parent() const override { return {}; }
    QString name() const override { return "Extensions"; }
    int count() const override { return int(m_records.size()); }
    lns::ExtensionRecordPtr item(int index) const override { return m_records.at(index - 1); }
    lns::ExtensionRecordPtr item(const QString &name) const override
    {
        for (const auto &r : m_records)
            if (r->name() == name)
                return r;
        throw TqmError(TqmError::LnsObjectNotFound, "FakeRecords", name);
    }
    bool contains(const QString &name) const override
    {
        for (const auto &r : m_records)
            if (r->name() == name)
                return true;
        return false;
    }
    lns::ExtensionRecordPtr add(const QString &name) override
    {
        if (!contains(name))
            m_records.append(std::make_shared<FakeRecord>(name, m_log));
        return item(name);
    }

private:
    QList<lns::ExtensionRecordPtr> m_records;
    WriteLog *m_log;
};

class FakeLonMarkObject : public lns::LonMarkObject
{
public:
    WriteLog writes;
    bool locked = false; // every access to the records fails, as with a locked database

    lns::ObjectPtr parent() const override { return {}; }
    QString name() const override { return "CommandModule"; }
    int index() const override { return 1; }
    int type() const override { return 8090; }
    std::shared_ptr<lns::ConfigProperties> configProperties() const override { return {}; }
    std::shared_ptr<lns::NetworkVariables> networkVariables() const override { return {}; }
    std::shared_ptr<lns::ExtensionRecords> extensions() const override
    {
        if (locked)
            throw TqmError(TqmError::LnsDatabase, "FakeLonMarkObject", "database locked");
        return m_records;
    }
    lns::AppDevicePtr appDevice() const override { return {}; }
    void setField(const QString &record, int number, const QString &value)
    {
        m_records->add(record)->setField(number, value);
        writes.clear();
    }

private:
    std::shared_ptr<FakeRecords> m_records = std::make_shared<FakeRecords>(&writes);
};

const QString TempRecord = calibration::TempSensorCalibratedRecord;

} // namespace

class TestCalibrationRecords : public QObject
{
    Q_OBJECT

    ManualClock m_clock{QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7))};

    DeviceContext context(const std::shared_ptr<FakeLonMarkObject> &lmo, int language = ResStrings::English)
    {
        return DeviceContext{lmo, "TQM_CM_L1", nullptr, language, &m_clock};
    }
    QString nowText() const { return calibration::CalibrationTimeText(m_clock.now(), QLocale::system()); }

private slots:
    void neverCalibratedReadsDefaultInContextLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("English") << int(ResStrings::English);
        QTest::newRow("German") << int(ResStrings::German);
    }
    void neverCalibratedReadsDefaultInContextLanguage()
    {
        QFETCH(int, language);
        auto lmo = std::make_shared<FakeLonMarkObject>();
        const DeviceContext ctx = context(lmo, language);
        const QString expected = GetResStringIn(language, calibration::NotCalibratedMessage, 1);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(calibration::ReadTempSensorCalibrated(ctx), expected);
        QCOMPARE(calibration::ReadRegulatorCalibrated(ctx), expected);
        QVERIFY(!calibration::TempSensorIsCalibrated(ctx));
    }

    void defaultStoredUnderOtherLanguageIsNotCalibrated_data()
    {
        QTest::addColumn<int>("storedLanguage");
        QTest::addColumn<int>("readLanguage");
        QTest::newRow("German text, English session") << int(ResStrings::German) << int(ResStrings::English);
        QTest::newRow("English text, German session") << int(ResStrings::English) << int(ResStrings::German);
    }
    void defaultStoredUnderOtherLanguageIsNotCalibrated()
    {
        QFETCH(int, storedLanguage);
        QFETCH(int, readLanguage);
        auto lmo = std::make_shared<FakeLonMarkObject>();
        lmo->setField(TempRecord, 1, GetResStringIn(storedLanguage, calibration::NotCalibratedMessage, 1));
        QVERIFY(!calibration::TempSensorIsCalibrated(context(lmo, readLanguage)));
    }

    void calibrationWritesTimeOfClock()
    {
        auto lmo = std::make_shared<FakeLonMarkObject>();
        const DeviceContext ctx = context(lmo);
        calibration::WriteTempSensorCalibrated(ctx);
        calibration::WriteRegulatorCalibrated(ctx);
        QCOMPARE(calibration::ReadTempSensorCalibrated(ctx), nowText());
        QCOMPARE(calibration::ReadRegulatorCalibrated(ctx), nowText());
        QVERIFY(calibration::TempSensorIsCalibrated(ctx));
    }

    void copyTargetGetsField2BeforeField1()
    {
        auto own = std::make_shared<FakeLonMarkObject>();
        auto target = std::make_shared<FakeLonMarkObject>();
        calibration::WriteTempSensorCalibrated(context(own), target);
        QCOMPARE(target->writes, (WriteLog{{TempRecord, 2}, {TempRecord, 1}}));
        QVERIFY(own->writes.isEmpty());
        QCOMPARE(target->extensions()->item(TempRecord)->field(2), QStringLiteral("1"));
        QCOMPARE(target->extensions()->item(TempRecord)->field(1), nowText());
    }

    void ownCalibrationLeavesField2()
    {
        auto own = std::make_shared<FakeLonMarkObject>();
        own->setField(TempRecord, 2, "1");
        calibration::WriteTempSensorCalibrated(context(own));
        QCOMPARE(own->writes, (WriteLog{{TempRecord, 1}}));
        QCOMPARE(own->extensions()->item(TempRecord)->field(2), QStringLiteral("1"));
    }

    void fanCoilStepCount_data()
    {
        QTest::addColumn<QString>("stored"); // empty: no record
        QTest::addColumn<int>("expected");
        QTest::newRow("no record") << QString() << 1;
        QTest::newRow("number") << "3" << 3;
        QTest::newRow("negative") << "-2" << -2;
        QTest::newRow("leading number") << "4 steps" << 4;
        QTest::newRow("half to even") << "2.5" << 2;
        QTest::newRow("not a number") << "many" << 0;
        QTest::newRow("beyond 32 bits") << "99999999999" << 0;
    }
    void fanCoilStepCount()
    {
        QFETCH(QString, stored);
        QFETCH(int, expected);
        auto lmo = std::make_shared<FakeLonMarkObject>();
        if (!stored.isEmpty())
            lmo->setField(calibration::FanCoilStepCountRecord, 1, stored);
        QCOMPARE(calibration::ReadFanCoilStepCount(context(lmo)), expected);
    }

    void fanCoilStepCountRoundTrip()
    {
        auto lmo = std::make_shared<FakeLonMarkObject>();
        calibration::WriteFanCoilStepCount(context(lmo), -7);
        QCOMPARE(calibration::ReadFanCoilStepCount(context(lmo)), -7);
    }

    void failingDatabaseIsSwallowed()
    {
        auto lmo = std::make_shared<FakeLonMarkObject>();
        lmo->locked = true;
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
