#include "lns/rawtext.h"
#include "support/raised.h"
#include "base/tqmerror.h"

#include <QtTest>

class TestRawText : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("four bytes") << "0\t0\t1\t44" << QByteArray("\x00\x00\x01\x2c", 4);
        QTest::newRow("one byte") << "200" << QByteArray("\xc8", 1);
        QTest::newRow("setpoints") << "8\t252\t9\t196\t10\t240\t8\t52\t7\t108\t6\t64"
                                   << QByteArray("\x08\xfc\x09\xc4\x0a\xf0\x08\x34\x07\x6c\x06\x40", 12);
        QTest::newRow("empty") << "" << QByteArray();
    }
    void roundTrip()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(rawtext::parse(text), bytes);
        QCOMPARE(rawtext::format(bytes), text);
    }
    void trailingTabEndsList() { QCOMPARE(rawtext::parse("1\t2\t"), QByteArray("\x01\x02", 2)); }
    void badField_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("too big") << "1\t256";
        QTest::newRow("negative") << "-1";
        QTest::newRow("letters") << "1\tx";
        QTest::newRow("empty middle") << "1\t\t2";
    }
    void badField()
    {
        QFETCH(QString, text);
        QCOMPARE(raised([&] { rawtext::parse(text); }).number(), TqmError::TypeMismatch);
    }
};

QTEST_GUILESS_MAIN(TestRawText)
#include "tst_rawtext.moc"
