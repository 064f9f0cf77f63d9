#include "base/tqmerror.h"
#include "params/bytewindow.h"

#include <QTest>

using bytewindow::Window;

static QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(quint8(v)));
    return out;
}

class TestByteWindow : public QObject
{
    Q_OBJECT
private slots:
    void readNumber_data()
    {
        QTest::addColumn<QByteArray>("cp");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("used");
        QTest::addColumn<bool>("isSigned");
        QTest::addColumn<qint64>("expected");
        const QByteArray four = bytes({10, 20, 30, 40});
        QTest::newRow("1 byte at 3") << four << 3 << 1 << 0 << false << qint64(30);
        QTest::newRow("2 bytes big-endian") << bytes({0x12, 0x34}) << 1 << 2 << 0 << false << qint64(0x1234);
        QTest::newRow("255 254 unsigned") << bytes({255, 254}) << 1 << 2 << 0 << false << qint64(65534);
        QTest::newRow("255 254 signed") << bytes({255, 254}) << 1 << 2 << 0 << true << qint64(-2);
        QTest::newRow("signed positive") << bytes({0x7F, 0xFF}) << 1 << 2 << 0 << true << qint64(32767);
        QTest::newRow("signed minimum") << bytes({0x80, 0x00}) << 1 << 2 << 0 << true << qint64(-32768);
        QTest::newRow("signed 1 byte") << bytes({255}) << 1 << 1 << 0 << true << qint64(-1);
        QTest::newRow("4 bytes") << bytes({0, 0, 1, 44}) << 1 << 4 << 0 << false << qint64(300);
        QTest::newRow("4 bytes unsigned max") << bytes({255, 255, 255, 255}) << 1 << 4 << 0 << false << qint64(4294967295LL);
        QTest::newRow("used 1 of 2") << bytes({0x85, 0x01}) << 1 << 2 << 1 << false << qint64(0x85);
        QTest::newRow("used 1 of 2 signed") << bytes({0x85, 0x01}) << 1 << 2 << 1 << true << qint64(-123);
        QTest::newRow("used equal width is whole") << bytes({1, 2}) << 1 << 2 << 2 << false << qint64(258);
        QTest::newRow("window in the middle") << bytes({1, 0xFF, 0xFE, 9}) << 2 << 2 << 0 << true << qint64(-2);
    }
    void readNumber()
    {
        QFETCH(QByteArray, cp);
        QFETCH(int, start);
        QFETCH(int, width);
        QFETCH(int, used);
        QFETCH(bool, isSigned);
        QFETCH(qint64, expected);
        QCOMPARE(bytewindow::readNumber(cp, Window{start, width, used, isSigned}), expected);
    }

    void writeNumber_data()
    {
        QTest::addColumn<QByteArray>("cp");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("used");
        QTest::addColumn<bool>("isSigned");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray four = bytes({10, 20, 30, 40});
        QTest::newRow("1 byte at 3 keeps neighbours") << four << 3 << 1 << 0 << false << qint64(255) << bytes({10, 20, 255, 40});
        QTest::newRow("2 bytes at 2") << four << 2 << 2 << 0 << false << qint64(0x1234) << bytes({10, 0x12, 0x34, 40});
        QTest::newRow("signed -2") << bytes({0, 0}) << 1 << 2 << 0 << true << qint64(-2) << bytes({255, 254});
        QTest::newRow("-300 two bytes") << bytes({0, 0}) << 1 << 2 << 0 << true << qint64(-300) << bytes({0xFE, 0xD4});
        QTest::newRow("used 1 of 2 fills zero") << bytes({9, 9}) << 1 << 2 << 1 << true << qint64(-1) << bytes({255, 0});
        QTest::newRow("too wide keeps low byte") << bytes({0}) << 1 << 1 << 0 << false << qint64(300) << bytes({44});
        QTest::newRow("grows short value") << bytes({7}) << 2 << 2 << 0 << false << qint64(1) << bytes({7, 0, 1});
    }
    void writeNumber()
    {
        QFETCH(QByteArray, cp);
        QFETCH(int, start);
        QFETCH(int, width);
        QFETCH(int, used);
        QFETCH(bool, isSigned);
        QFETCH(qint64, value);
        QFETCH(QByteArray, expected);
        const Window window{start, width, used, isSigned};
        bytewindow::writeNumber(cp, window, value);
        QCOMPARE(cp, expected);
        if (value >= -32768 && value <= 65535 && width == 2 && used == 0)
            QCOMPARE(bytewindow::readNumber(cp, window), value);
    }

    void windowOutsideBytes()
    {
        QVERIFY_THROWS_EXCEPTION(TqmError, bytewindow::readNumber(bytes({1, 2}), Window{2, 2, 0, false}));
        QVERIFY_THROWS_EXCEPTION(TqmError, bytewindow::readNumber(bytes({1, 2}), Window{0, 1, 0, false}));
        QVERIFY_THROWS_EXCEPTION(TqmError, bytewindow::readNumber(QByteArray(8, '\1'), Window{1, 8, 0, false}));
    }

    void fits_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("expected");
        QTest::newRow("2 at 3 of 4") << 3 << 2 << 4 << true;
        QTest::newRow("2 at 4 of 4") << 4 << 2 << 4 << false;
        QTest::newRow("4 at 3 of 6") << 3 << 4 << 6 << true;
        QTest::newRow("4 at 3 of 5") << 3 << 4 << 5 << false;
        QTest::newRow("position 0") << 0 << 1 << 4 << false;
        QTest::newRow("width 0") << 1 << 0 << 4 << false;
    }
    void fits()
    {
        QFETCH(int, start);
        QFETCH(int, width);
        QFETCH(int, length);
        QFETCH(bool, expected);
        QCOMPARE(bytewindow::fits(start, width, length), expected);
    }

    void text()
    {
        QCOMPARE(bytewindow::decodeText(QByteArray("Room\0xy", 7)), QStringLiteral("Room"));
        QCOMPARE(bytewindow::encodeText(QStringLiteral("Ab"), 4), QByteArray("Ab\0\0", 4));
        QCOMPARE(bytewindow::encodeText(QStringLiteral("Abcdef"), 3), QByteArray("Abc"));
        QCOMPARE(bytewindow::encodeText(QStringLiteral("Ä€"), 2), QByteArray("\xC4?"));
    }
};

QTEST_GUILESS_MAIN(TestByteWindow)
#include "tst_bytewindow.moc"
