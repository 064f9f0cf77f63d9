#include "lns/embedded/sqlitedb.h"
#include "support/raised.h"

#include <QTemporaryDir>
#include <QTest>

using embedded::sqlite::Connection;
using embedded::sqlite::OpenMode;

// A failed statement reports SQLite's reason and its own text, and leaves the connection usable.
class TestSqliteDb : public QObject
{
    Q_OBJECT
private slots:
    void failureNamesStatementAndReason_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<QString>("reason");
        QTest::newRow("prepare") << "SELECT x FROM nowhere" << QVariantList{} << "no such table: nowhere";
        QTest::newRow("step") << "INSERT INTO t(v) VALUES(?)" << QVariantList{QString()} << "NOT NULL constraint failed";
    }
    void failureNamesStatementAndReason()
    {
        QFETCH(QString, sql);
        QFETCH(QVariantList, values);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        Connection db(dir.filePath("t.db"), OpenMode::ReadWrite, "Test");
        db.exec("CREATE TABLE t(v TEXT NOT NULL)");
        const TqmError error = raised([&] { db.exec(sql, values); });
        QCOMPARE(error.number(), TqmError::LnsDatabase);
        QVERIFY2(error.description().startsWith(sql + ": ") && error.description().contains(reason),
                 qPrintable(error.description()));
        db.exec("INSERT INTO t(v) VALUES(?)", {QString("")});
        Connection other(dir.filePath("t.db"), OpenMode::ReadWrite, "Test");
        other.exec("BEGIN IMMEDIATE"); // nothing of the failure holds a lock
        QCOMPARE(other.scalar("SELECT count(*) FROM t").toInt(), 1);
        other.exec("ROLLBACK");
    }
};

QTEST_GUILESS_MAIN(TestSqliteDb)
#include "tst_sqlitedb.moc"
