#include "lns/objectname.h"
#include "base/textutility.h"

#include <QtTest>

class TestTextUtility : public QObject
{
    Q_OBJECT
private slots:
    void token_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("delimiter");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first") << "a¦b¦c" << 1 << "¦" << "a";
        QTest::newRow("last") << "a¦b¦c" << 3 << "¦" << "c";
        QTest::newRow("beyond") << "a¦b" << 3 << "¦" << "";
        QTest::newRow("no delimiter") << "abc" << 1 << "," << "abc";
        QTest::newRow("empty middle") << "0,,2" << 2 << "," << "";
        QTest::newRow("after empty") << "0,,2" << 3 << "," << "2";
        QTest::newRow("multi-char delimiter") << "x::y" << 2 << "::" << "y";
        QTest::newRow("zero piece") << "a,b" << 0 << "," << "";
    }
    void token()
    {
        QFETCH(QString, text);
        QFETCH(int, n);
        QFETCH(QString, delimiter);
        QTEST(TextUtility::Token(text, n, delimiter), "expected");
    }

    void fillPlaceholders_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two") << "%1 is %2" << QStringList{"a", "b"} << "a is b";
        QTest::newRow("repeated") << "%1%1" << QStringList{"x"} << "xx";
        QTest::newRow("value with placeholder") << "%1 %2" << QStringList{"%2", "b"} << "%2 b";
        QTest::newRow("missing value stays") << "%1 %3" << QStringList{"a"} << "a %3";
        QTest::newRow("nine") << "%9" << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9"} << "9";
        QTest::newRow("percent sign") << "50 % of %1" << QStringList{"x"} << "50 % of x";
    }
    void fillPlaceholders()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, values);
        QTEST(TextUtility::FillPlaceholders(text, values), "expected");
    }

    void filterKey_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("passes");
        using namespace KeyFilterUtility;
        QTest::newRow("digit numbers") << int(Numbers) << int('7') << true;
        QTest::newRow("minus numbers") << int(Numbers) << int('-') << false;
        QTest::newRow("minus neg") << int(NumbersNeg) << int('-') << true;
        QTest::newRow("point numbers") << int(NumbersNeg) << int('.') << false;
        QTest::newRow("point float") << int(NumbersFloat) << int('.') << true;
        QTest::newRow("comma float") << int(NumbersFloat) << int(',') << true;
        QTest::newRow("minus float") << int(NumbersFloat) << int('-') << false;
        QTest::newRow("minus float neg") << int(NumbersFloatNeg) << int('-') << true;
        QTest::newRow("backspace") << int(Numbers) << 8 << true;
        QTest::newRow("letter") << int(NumbersFloatNeg) << int('a') << false;
    }
    void filterKey()
    {
        QFETCH(int, mode);
        QFETCH(int, key);
        QFETCH(bool, passes);
        QCOMPARE(KeyFilterUtility::FilterKey(mode, key), passes ? key : 0);
    }

    void objectNameRoundTrip_data()
    {
        QTest::addColumn<QStringList>("parts");
        QTest::newRow("plain") << QStringList{"Demo", "Building A", "Floor 1", "CM 1", "CommandModule"};
        QTest::newRow("dots and colons") << QStringList{"Net.1", "A/B", "x:y", "back\\slash", "LMO"};
    }
    void objectNameRoundTrip()
    {
        QFETCH(QStringList, parts);
        const QString name = objectname::join(parts);
        QVERIFY2(!name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char(':')), qPrintable(name));
        QCOMPARE(objectname::split(name), parts);
    }
};

QTEST_GUILESS_MAIN(TestTextUtility)
#include "tst_textutility.moc"
