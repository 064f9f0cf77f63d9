#include "lns/pathutility.h"

#include <QtTest>

class TestPathUtility : public QObject
{
    Q_OBJECT
private slots:
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
};

QTEST_GUILESS_MAIN(TestPathUtility)
#include "tst_pathutility.moc"
