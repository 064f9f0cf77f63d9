#include "lns/rawtext.h"
#include "support/raised.h"
#include "base/tqmerror.h"

#include <QtTest>

class TestRawText : public QObject
{
    Q_OBJECT
private slots:
    // Both ways, read only ("parse"), or refused.
    void rawText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("ways");
        QTest::newRow("four bytes") << "0\t0\t1\t44" << QByteArray("\x00\x00\x01\x2c", 4) << "both";
        QTest::newRow("one byte") << "200" << QByteArray("\xc8", 1) << "both";
        QTest::newRow("setpoints") << "8\t252\t9\t196\t10\t240\t8\t52\t7\t108\t6\t64"
                                   << QByteArray("\x08\xfc\x09\xc4\x0a\xf0\x08\x34\x07\x6c\x06\x40", 12) << "both";
        QTest::newRow("empty") << "" << QByteArray() << "both";
        QTest::newRow("trailing tab ends the list") << "1\t2\t" << QByteArray("\x01\x02", 2) << "parse";
        QTest::newRow("too big") << "1\t256" << QByteArray() << "refused";
        QTest::newRow("negative") << "-1" << QByteArray() << "refused";
        QTest::newRow("letters") << "1\tx" << QByteArray() << "refused";
        QTest::newRow("empty middle") << "1\t\t2" << QByteArray() << "refused";
    }
    void rawText()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, ways);
        if (ways == "refused") {
            QCOMPARE(raised([&] { rawtext::parse(text); }).number(), TqmError::TypeMismatch);
            return;
        }
        QCOMPARE(rawtext::parse(text), bytes);
        if (ways == "both")
            QCOMPARE(rawtext::format(bytes), text);
    }
};

QTEST_GUILESS_MAIN(TestRawText)
#include "tst_rawtext.moc"
