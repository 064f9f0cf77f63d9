// Numbers as the parameters round, format and read them, and the display rules on top: typed
// values put on a resolution's grid (halves to even), steps and resolutions mapping both ways,
// and the key filter of a range.

#include "base/tqmerror.h"
#include "params/displayrules.h"
#include "params/numbers.h"
#include "support/raised.h"

#include <QTest>

using E = cParamEnums;

class TestNumbers : public QObject
{
    Q_OBJECT
private slots:
    void toInt32_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("half down to even") << 2.5 << 2;
        QTest::newRow("half up to even") << 3.5 << 4;
        QTest::newRow("negative half") << -2.5 << -2;
        QTest::newRow("negative half odd") << -3.5 << -4;
        QTest::newRow("above half") << 2.5000001 << 3;
        QTest::newRow("temperature raw") << 21.57 * 100 << 2157;
        QTest::newRow("max") << 2147483647.0 << 2147483647;
        QTest::newRow("min") << -2147483648.0 << int(-2147483647 - 1);
        QTest::newRow("max plus half rounds to even below") << 2147483646.5 << 2147483646;
    }
    void toInt32()
    {
        QFETCH(double, value);
        QTEST(numbers::toInt32(value), "expected");
    }

    void toInt32Overflow_data()
    {
        QTest::addColumn<double>("value");
        QTest::newRow("above") << 2147483648.0;
        QTest::newRow("half above max rounds up") << 2147483647.5;
        QTest::newRow("below") << -2147483649.0;
        QTest::newRow("nan") << std::nan("");
    }
    void toInt32Overflow()
    {
        QFETCH(double, value);
        QCOMPARE(raised([&] { numbers::toInt32(value); }).number(), TqmError::Overflow);
    }

    void roundDecimals_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<double>("expected");
        QTest::newRow("one place half even down") << 0.25 << 1 << 0.2;
        QTest::newRow("one place half even up") << 0.35 << 1 << 0.4;
        QTest::newRow("two places") << 1.005 << 2 << 1.0;
        QTest::newRow("two places, binary noise") << 2.675 << 2 << 2.68;
        QTest::newRow("whole") << 42.6 << 0 << 43.0;
    }
    void roundDecimals()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QTEST(numbers::roundHalfEven(value, decimals), "expected");
    }

    void formatFixed_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("half away from zero") << 2.5 << 0 << "C" << "3";
        QTest::newRow("negative half away") << -2.5 << 0 << "C" << "-3";
        QTest::newRow("german separator") << 21.5 << 1 << "de_DE" << "21,5";
        QTest::newRow("padding") << 0.05 << 2 << "C" << "0.05";
        QTest::newRow("pads whole") << 30.0 << 1 << "C" << "30.0";
        QTest::newRow("binary noise half") << 2.675 << 2 << "C" << "2.68";
        QTest::newRow("rounds up over a digit") << 9.96 << 1 << "C" << "10.0";
        QTest::newRow("negative to zero has no sign") << -0.04 << 1 << "C" << "0.0";
        QTest::newRow("no group separator") << 65535.0 << 0 << "de_DE" << "65535";
    }
    void formatFixed()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(QString, locale);
        QTEST(numbers::formatFixed(value, decimals, QLocale(locale)), "expected");
    }

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::addColumn<double>("typed");
        QTest::newRow("plain") << "21.5" << 21.5 << 21.5;
        QTest::newRow("comma") << "21,5" << 21.0 << 21.5;
        QTest::newRow("leading blanks") << "  7" << 7.0 << 7.0;
        QTest::newRow("trailing unit") << "30 °C" << 30.0 << 30.0;
        QTest::newRow("negative") << "-10" << -10.0 << -10.0;
        QTest::newRow("plus") << "+3" << 3.0 << 3.0;
        QTest::newRow("empty") << "" << 0.0 << 0.0;
        QTest::newRow("sign only") << "-" << 0.0 << 0.0;
        QTest::newRow("second point stops") << "1.2.3" << 1.2 << 1.2;
        QTest::newRow("leading point") << ".5" << 0.5 << 0.5;
        QTest::newRow("trailing point") << "5." << 5.0 << 5.0;
        QTest::newRow("exponent") << "1e3" << 1000.0 << 1000.0;
        QTest::newRow("exponent without digits") << "2e" << 2.0 << 2.0;
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QTEST(numbers::leadingNumber(text), "expected");
        QTEST(numbers::readTypedNumber(text), "typed");
    }

    void numberText_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("single shortest") << 21.3f << "C" << "21.3";
        QTest::newRow("german") << 21.3f << "de_DE" << "21,3";
        QTest::newRow("whole") << 31.0f << "C" << "31";
        QTest::newRow("negative") << -273.17f << "C" << "-273.17";
        QTest::newRow("large") << 65535.0f << "de_DE" << "65535";
        QTest::newRow("exponent") << 1.0e8f << "C" << "1E+08";
    }
    void numberText()
    {
        QFETCH(float, value);
        QFETCH(QString, locale);
        QTEST(numbers::numberText(value, QLocale(locale)), "expected");
    }

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

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
