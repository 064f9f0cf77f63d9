#include "calibration/devicevariants.h"
#include "lns/inifile.h"

#include <QtTest>

class TestDeviceVariants : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    IniFile m_ini;

    // Template "-": a session without an INI file.
    DeviceContext context(const QString &deviceTemplate) const
    {
        return DeviceContext{nullptr, deviceTemplate, deviceTemplate == "-" ? nullptr : &m_ini, 0};
    }

private slots:
    void initTestCase()
    {
        const QString name = m_dir.filePath("TqmCmdModule.ini");
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[velto TqmCommandModule CPs 1.0 ]\n"
                   "BMsAvailable@A = -1,0,1\n"
                   "BMsAvailable@C = 0,,2\n"
                   "BMsAvailable@D = 2, 1\n"
                   "BMsAvailable@E = 1, ,2\n"
                   "Limitation@A = 2\n"
                   "Limitation@B = 4.6\n"
                   "Limitation@C =\n"
                   "ApbVersionNewCalib@A = 2.1\n"
                   "ApbVersionNewCalib@C =\n"
                   "CalibTransfer@A = 3,1\n"
                   "CalibTransfer@B = 1,0,3\n"
                   "CalibTransfer@C = 1,,3\n"
                   "CalibTransfer@D = 9,3\n"
                   "[velto TqmCommandModule ProgramIds 1.0]\n"
                   "1 = 90:00:01\n"
                   "3 = 90:00:03\n");
        file.close();
        m_ini.setFileName(name);
        QCOMPARE(m_ini.problems(), QStringList());
    }

    void buttonModes_data()
    {
        QTest::addColumn<QString>("deviceTemplate");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("available");
        QTest::newRow("-1 in -1,0,1") << "A" << -1 << true;
        QTest::newRow("2 not in -1,0,1") << "A" << 2 << false;
        QTest::newRow("0 before gap in 0,,2") << "C" << 0 << true;
        QTest::newRow("2 after gap in 0,,2") << "C" << 2 << false;
        QTest::newRow("blank after comma") << "D" << 1 << true;
        QTest::newRow("blank item reads as 0") << "E" << 0 << true;
        QTest::newRow("blank item does not end the list") << "E" << 2 << true;
        QTest::newRow("missing key, 0") << "Z" << 0 << false;
    }
    void buttonModes()
    {
        QFETCH(QString, deviceTemplate);
        QFETCH(int, mode);
        QTEST(calibration::ButtonModeIsAvailable(context(deviceTemplate), mode), "available");
    }

    void limitation_data()
    {
        QTest::addColumn<QString>("deviceTemplate");
        QTest::addColumn<int>("limitation"); // 0: none of 1..5
        QTest::newRow("2") << "A" << 2;
        QTest::newRow("4.6 rounds to 5") << "B" << 5;
        QTest::newRow("empty override") << "C" << 0;
    }
    void limitation()
    {
        QFETCH(QString, deviceTemplate);
        QFETCH(int, limitation);
        for (int n = 1; n <= 5; ++n)
            QCOMPARE(calibration::LimitationIs(context(deviceTemplate), n), n == limitation);
    }

    // The device reports its version in single precision: 2.1 must compare equal to it.
    void newCalibrationVersion()
    {
        QCOMPARE(calibration::ApbVersionNewCalib(context("A")), 2.1f);
        QVERIFY(!(2.1f < calibration::ApbVersionNewCalib(context("A"))));
        QCOMPARE(calibration::ApbVersionNewCalib(context("C")), 0.0f);
    }

    void calibTransfer_data()
    {
        QTest::addColumn<QString>("deviceTemplate");
        QTest::addColumn<QStringList>("programIds");
        QTest::newRow("in list order") << "A" << QStringList{"90:00:03", "90:00:01"};
        QTest::newRow("0 ends the list") << "B" << QStringList{"90:00:01"};
        QTest::newRow("empty item ends the list") << "C" << QStringList{"90:00:01"};
        QTest::newRow("unknown number gives no id") << "D" << QStringList{"90:00:03"};
        // The INI file's program IDs are not asked for then.
        QTest::newRow("no INI file") << "-" << QStringList{};
    }
    void calibTransfer()
    {
        QFETCH(QString, deviceTemplate);
        QTEST(calibration::CalibTransferProgramIds(context(deviceTemplate)), "programIds");
    }
};

QTEST_GUILESS_MAIN(TestDeviceVariants)
#include "tst_devicevariants.moc"
