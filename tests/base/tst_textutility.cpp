// Text helpers: tokens, placeholders, the key filter, directory paths and object names.

#include "base/textutility.h"
#include "base/tqmerror.h"
#include "lns/objectnameparser.h"
#include "lns/pathutility.h"
#include "support/raised.h"

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

    void withTrailingSeparator_data()
    {
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << "/opt/tqm" << "/opt/tqm/";
        QTest::newRow("one") << "/opt/tqm/" << "/opt/tqm/";
        QTest::newRow("several") << "/opt/tqm///" << "/opt/tqm/";
        QTest::newRow("root") << "/" << "/";
        QTest::newRow("relative") << "bin" << "bin/";
        QTest::newRow("empty is the current directory") << "" << "./";
    }
    void withTrailingSeparator()
    {
        QFETCH(QString, directory);
        QTEST(PathUtility::WithTrailingBackslash(directory), "expected");
    }

    // A malformed name (no network in its row) is refused, naming itself and the form it should have.
    void split_data()
    {
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<QString>("network");
        QTest::addColumn<QString>("subsystemPath");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("lonMarkObject");
        QTest::newRow("four parts") << "Demo.Floor 1.CM 1.CommandModule" << "Demo" << "Floor 1" << "CM 1" << "CommandModule";
        QTest::newRow("nested subsystems")
            << "Demo.Building A.Floor 1.CM 1.CommandModule" << "Demo" << "Building A/Floor 1" << "CM 1" << "CommandModule";
        QTest::newRow("escaped dot in device") << "Demo.Floor.CM 1\\.01.CmdMod" << "Demo" << "Floor" << "CM 1.01" << "CmdMod";
        QTest::newRow("escaped colon and slash")
            << "Net\\c2.A\\sB.Dev.Lmo" << "Net:2" << "A\\sB" << "Dev" << "Lmo";
        QTest::newRow("blank from joined command line") << "  Demo.Floor.CM.Lmo " << "Demo" << "Floor" << "CM" << "Lmo";
        QTest::newRow("three parts") << "Demo.CM 1.CommandModule" << "" << "" << "" << "";
        QTest::newRow("empty") << "" << "" << "" << "" << "";
        QTest::newRow("blanks only") << "   " << "" << "" << "" << "";
        QTest::newRow("empty subsystem") << "Demo..CM.Lmo" << "" << "" << "" << "";
        QTest::newRow("empty object") << "Demo.Floor.CM." << "" << "" << "" << "";
        QTest::newRow("bad escape") << "Demo.Fl\\xoor.CM.Lmo" << "" << "" << "" << "";
        QTest::newRow("dangling escape") << "Demo.Floor.CM.Lmo\\" << "" << "" << "" << "";
    }
    void split()
    {
        QFETCH(QString, objectName);
        QFETCH(QString, network);
        if (network.isEmpty()) {
            const QString error = raised([&] { ObjectNameParser::Split(objectName); }).description();
            QVERIFY2(error.contains(QStringLiteral("\"%1\"").arg(objectName.trimmed())), qPrintable(error));
            QVERIFY(error.contains("Network.Subsystem.Device.LonMarkObject"));
            return;
        }
        const ObjectNameParts parts = ObjectNameParser::Split(objectName);
        QCOMPARE(parts.networkName, network);
        QTEST(parts.subsystemPath, "subsystemPath");
        QTEST(parts.deviceName, "device");
        QTEST(parts.lonMarkObjectName, "lonMarkObject");
    }

    void levelsKeepSlashesOfNames()
    {
        const ObjectNameParts parts = ObjectNameParser::Split("N.A\\sB.C.D.E");
        QCOMPARE(parts.subsystemLevels, (QStringList{"A/B", "C"}));
    }
};

QTEST_GUILESS_MAIN(TestTextUtility)
#include "tst_textutility.moc"
