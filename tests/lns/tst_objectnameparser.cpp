#include "lns/objectnameparser.h"
#include "support/raised.h"
#include "base/tqmerror.h"

#include <QtTest>

class TestObjectNameParser : public QObject
{
    Q_OBJECT
private slots:
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
        QFETCH(QString, subsystemPath);
        if (network.isEmpty()) {
            const QString error = raised([&] { ObjectNameParser::Split(objectName); }).description();
            QVERIFY2(error.contains(QStringLiteral("\"%1\"").arg(objectName.trimmed())), qPrintable(error));
            QVERIFY(error.contains("Network.Subsystem.Device.LonMarkObject"));
            return;
        }
        const ObjectNameParts parts = ObjectNameParser::Split(objectName);
        QCOMPARE(parts.networkName, network);
        QCOMPARE(parts.subsystemPath, subsystemPath);
        QTEST(parts.deviceName, "device");
        QTEST(parts.lonMarkObjectName, "lonMarkObject");
    }

    void levelsKeepSlashesOfNames()
    {
        const ObjectNameParts parts = ObjectNameParser::Split("N.A\\sB.C.D.E");
        QCOMPARE(parts.subsystemLevels, (QStringList{"A/B", "C"}));
    }
};

QTEST_GUILESS_MAIN(TestObjectNameParser)
#include "tst_objectnameparser.moc"
