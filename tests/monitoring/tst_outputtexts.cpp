// How reported values show in the monitoring page's fields: RAW temperatures as signed
// hundredths, the set-point offset's sign, the fan speed's three fields and its equivalent level.

#include "monitoring/outputtexts.h"
#include "strings/resstrings.h"

#include <QTest>

using namespace outputtexts;

class TestOutputTexts : public QObject
{
    Q_OBJECT

    const QLocale english = QLocale::c();
    const QLocale german{QLocale::German, QLocale::Germany};

private slots:
    void initTestCase() { setLanguage(ResStrings::English); }

    void temperatures_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<bool>("germanLocale");
        QTest::addColumn<QString>("spaceTemp");
        QTest::addColumn<QString>("setPointOffset");
        QTest::newRow("half away from zero") << "8\t77" << false << "21.3" << "+21.3";       // 2125
        QTest::newRow("negative half") << "247\t179" << false << "-21.3" << "-21.3";       // -2125
        QTest::newRow("0, no sign") << "0\t0" << false << "0.0" << "0.0";
        QTest::newRow("below a tenth, positive") << "0\t4" << false << "0.0" << "+0.0";
        QTest::newRow("German decimal comma") << "8\t187" << true << "22,4" << "+22,4";  // 2235
        QTest::newRow("smallest") << "128\t0" << false << "-327.7" << "-327.7";
        QTest::newRow("failed read") << "" << false << "" << "";
        QTest::newRow("three bytes") << "0\t8\t52" << false << "" << "";
    }
    void temperatures()
    {
        QFETCH(QString, raw);
        QFETCH(bool, germanLocale);
        const QLocale &locale = germanLocale ? german : english;
        QTEST(spaceTemperatureText(raw, locale), "spaceTemp");
        QTEST(setPointOffsetText(raw, locale), "setPointOffset");
    }

    // level = (2 v + step - 1) div step with step = 200 div N.
    void equivalentFanLevel_data()
    {
        QTest::addColumn<double>("percent");
        QTest::addColumn<int>("stepCount");
        QTest::addColumn<int>("level"); // -1: none
        QTest::newRow("one step, off") << 0.0 << 1 << 0;
        QTest::newRow("one step, anything above 0") << 0.5 << 1 << 1;
        QTest::newRow("two steps, 50") << 50.0 << 2 << 1;
        QTest::newRow("two steps, 50.5") << 50.5 << 2 << 2;
        QTest::newRow("three steps, full: 265 div 66") << 100.0 << 3 << 4;
        QTest::newRow("no steps") << 50.0 << 0 << -1;
        QTest::newRow("more steps than half-percents") << 50.0 << 201 << -1;
    }
    void equivalentFanLevel()
    {
        QFETCH(double, percent);
        QFETCH(int, stepCount);
        QTEST(outputtexts::equivalentFanLevel(percent, stepCount).value_or(-1), "level");
    }

    void fanSpeed_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("stepCount");
        QTest::addColumn<bool>("germanLocale");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("full, three steps") << "100.0 1" << 3 << false << QStringList{"100", "on", "4"};
        QTest::newRow("off") << "0.0 0" << 1 << false << QStringList{"0", "off", "0"};
        QTest::newRow("invalid state") << "50.0 -1" << 2 << false << QStringList{"50", "invalid", "1"};
        QTest::newRow("half percent, German") << "50.5 1" << 2 << true << QStringList{"50,5", "on", "2"};
        QTest::newRow("step count unknown") << "33.0 1" << 0 << false << QStringList{"33", "on", ""};
        QTest::newRow("failed read") << "" << 3 << false << QStringList{"", "", ""};
    }
    void fanSpeed()
    {
        QFETCH(QString, value);
        QFETCH(int, stepCount);
        QFETCH(bool, germanLocale);
        const FanSpeedTexts texts = fanSpeedTexts(value, stepCount, germanLocale ? german : english);
        QTEST((QStringList{texts.level, texts.state, texts.equivalentLevel}), "shown");
    }
};

QTEST_GUILESS_MAIN(TestOutputTexts)
#include "tst_outputtexts.moc"
