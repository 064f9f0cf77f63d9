// The display rules on their own: typed values put on a resolution's grid (halves to even),
// steps and resolutions mapping both ways, and the key filter of a range.

#include "params/displayrules.h"

#include <QTest>

using E = cParamEnums;

class TestDisplayRules : public QObject
{
    Q_OBJECT
private slots:
    void roundToResolution_data()
    {
        QTest::addColumn<int>("resolution");
        QTest::addColumn<float>("typed");
        QTest::addColumn<float>("expected");
        QTest::newRow("50: half a step up to even") << int(E::RES_50) << 75.0f << 100.0f;
        QTest::newRow("50: half a step down to even") << int(E::RES_50) << 125.0f << 100.0f;
        QTest::newRow("1: never rounded") << int(E::RES_1) << 1.7f << 1.7f;
        QTest::newRow("0.5: half down to even") << int(E::RES_0_5) << 1.25f << 1.0f;
        QTest::newRow("0.5: half up to even") << int(E::RES_0_5) << 1.75f << 2.0f;
        QTest::newRow("0.5: negative") << int(E::RES_0_5) << -1.25f << -1.0f;
        QTest::newRow("0.2: onto the grid") << int(E::RES_0_2) << 0.75f << 0.8f;
        QTest::newRow("0.1: half to even") << int(E::RES_0_1) << 0.25f << 0.2f;
        QTest::newRow("0.01: nearest") << int(E::RES_0_0_1) << 21.456f << 21.46f;
        QTest::newRow("0.002: nearest") << int(E::RES_0_0_0_2) << 0.0031f << 0.004f;
        QTest::newRow("unknown resolution: kept") << 11 << 1.23456f << 1.23456f;
    }
    void roundToResolution()
    {
        QFETCH(int, resolution);
        QFETCH(float, typed);
        QTEST(displayrules::roundToResolution(typed, resolution), "expected");
    }

    void stepsAndResolutionsMapBothWays()
    {
        for (qint32 r = E::RES_50; r <= E::RES_0_0_0_1; ++r) {
            QVERIFY(displayrules::isKnownResolution(r));
            QCOMPARE(displayrules::resolutionForStep(displayrules::minStep(r)), std::optional<qint32>(r));
            // The pattern shows exactly the step's decimals.
            const float step = displayrules::minStep(r);
            QCOMPARE(QString::number(step, 'f', displayrules::decimals(r)).toFloat(), step);
        }
        QVERIFY(!displayrules::isKnownResolution(11));
        QCOMPARE(displayrules::minStep(-1), 0.0f);
        QCOMPARE(displayrules::decimals(11), 0);
        QVERIFY(!displayrules::resolutionForStep(0.3f));
    }

    void keysAllowed_data()
    {
        QTest::addColumn<int>("resolution");
        QTest::addColumn<float>("rangeMin");
        QTest::addColumn<float>("rangeMax");
        QTest::addColumn<int>("keys");
        QTest::newRow("coarse, positive") << int(E::RES_50) << 0.0f << 1000.0f << int(E::KA_Numbers);
        QTest::newRow("whole, negative minimum") << int(E::RES_1) << -5.0f << 5.0f << int(E::KA_NumbersNeg);
        QTest::newRow("decimals, positive") << int(E::RES_0_1) << 0.0f << 10.0f << int(E::KA_NumbersFloat);
        QTest::newRow("decimals, negative maximum") << int(E::RES_0_0_1) << -10.0f << -1.0f
                                                    << int(E::KA_NumbersFloatNeg);
    }
    void keysAllowed()
    {
        QFETCH(int, resolution);
        QFETCH(float, rangeMin);
        QFETCH(float, rangeMax);
        QTEST(int(displayrules::keysAllowed(resolution, rangeMin, rangeMax)), "keys");
    }
};

QTEST_GUILESS_MAIN(TestDisplayRules)
#include "tst_displayrules.moc"
