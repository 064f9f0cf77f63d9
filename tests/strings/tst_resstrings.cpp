#include "strings/resstrings.h"
#include "support/raised.h"
#include "base/tqmerror.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

namespace {

QHash<int, QString> compiledTable(const QString &file)
{
    QFile resource(QStringLiteral(":/strings/") + file);
    if (!resource.open(QIODevice::ReadOnly))
        return {};
    return ResStrings::ParseTable(QString::fromUtf8(resource.readAll()), file);
}

QStringList placeholdersOf(const QString &piece)
{
    static const QRegularExpression placeholder(QStringLiteral("%[1-9]"));
    QStringList found;
    for (const auto &match : placeholder.globalMatch(piece))
        found << match.captured();
    found.sort();
    return found;
}

} // namespace

class TestResStrings : public QObject
{
    Q_OBJECT
private slots:
    void init() { setLanguage(ResStrings::English); }

    // Every number has a text in both languages, their pieces agree, and no other number has one.
    void languagesAgree_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("german");
        const QHash<int, QString> en = compiledTable(QStringLiteral("en.txt"));
        const QHash<int, QString> de = compiledTable(QStringLiteral("de.txt"));
        for (int number : ResStrings::EnglishNumbers)
            QTest::newRow(qPrintable(QString::number(number)))
                << number << en.value(number) << de.value(number + ResStrings::German);
    }
    void languagesAgree()
    {
        QFETCH(int, number);
        QFETCH(QString, english);
        QFETCH(QString, german);
        QVERIFY(ResStringExists(number) && ResStringExists(number + ResStrings::German));
        const QStringList en = english.split(ResStrings::PieceSeparator);
        const QStringList de = german.split(ResStrings::PieceSeparator);
        QCOMPARE(de.size(), en.size());
        for (qsizetype i = 0; i < en.size(); ++i) {
            QCOMPARE(placeholdersOf(de[i]), placeholdersOf(en[i]));
            QVERIFY2(!de[i].trimmed().isEmpty(), "empty German piece");
        }
    }
    void noOtherNumbers()
    {
        // Each number listed once, all of them loaded in both languages: then there is no other.
        const QSet<int> numbers(ResStrings::EnglishNumbers.begin(), ResStrings::EnglishNumbers.end());
        QCOMPARE(numbers.size(), qsizetype(ResStrings::EnglishNumbers.size()));
        QCOMPARE(ResStrings::LoadedNumbers().size(), 2 * qsizetype(ResStrings::EnglishNumbers.size()));
    }

    // Editors like to strip or add blanks at line ends; only this one piece carries them.
    void onlyKnownPiecesHaveOuterBlanks()
    {
        const QHash<int, QString> tables[] = {compiledTable(QStringLiteral("en.txt")),
                                              compiledTable(QStringLiteral("de.txt"))};
        QStringList withBlanks;
        for (const auto &table : tables)
            for (auto it = table.begin(); it != table.end(); ++it) {
                const QStringList pieces = it.value().split(ResStrings::PieceSeparator);
                for (qsizetype i = 0; i < pieces.size(); ++i)
                    if (pieces[i] != pieces[i].trimmed())
                        withBlanks << QStringLiteral("%1/%2").arg(it.key()).arg(i + 1);
            }
        withBlanks.sort();
        QCOMPARE(withBlanks, QStringList({QStringLiteral("1073/3"), QStringLiteral("2073/3")}));
    }

    void lookup_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("piece");
        QTest::addColumn<QString>("expected");
        QTest::newRow("line breaks as CR LF")
            << 0 << 1428 << 3
            << "Parameters have been changed !\r\n\r\nDo you want to quit the plug-in?";
        QTest::newRow("piece 0 of a split text") << 0 << 1374 << 0 << "OK";
        QTest::newRow("beyond the last piece") << 0 << 1374 << 4 << "";
        QTest::newRow("negative piece") << 0 << 1374 << -1 << "";
        QTest::newRow("German piece") << 1000 << 1104 << 2 << "Kalibrierung fehlgeschlagen.";
        QTest::newRow("unknown language reads English") << 7 << 1123 << 1 << "not calibrated";
    }
    void lookup()
    {
        QFETCH(int, language);
        QFETCH(int, id);
        QFETCH(int, piece);
        setLanguage(language);
        QTEST(GetResString(id, piece), "expected");
        // Asked for explicitly, the same text while the other language is the session's, which stays.
        const int current = ::language();
        setLanguage(ResStrings::German - current);
        QTEST(GetResStringIn(current, id, piece), "expected");
        QCOMPARE(::language(), ResStrings::German - current);
    }

    void placeholdersFilledAfterLineBreaks()
    {
        const QStringList values{GetResString(1411), "35", "°C", "10", "30", "°C", "Set¶point", "30", "°C"};
        QCOMPARE(GetResString(1421, 0, values), QStringLiteral("The value 35 °C is too high. The valid range is from 10 up "
                                                               "to 30 °C.\r\n\r\n\"Set¶point\" is set to 30 °C."));
    }

    void missingNumberRaises_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("named");
        QTest::newRow("never numbered") << 0 << 1700 << "1700";
        QTest::newRow("below the table") << 0 << 999 << "999";
        QTest::newRow("German offset applied") << 1000 << 1700 << "2700";
    }
    void missingNumberRaises()
    {
        QFETCH(int, language);
        QFETCH(int, id);
        QFETCH(QString, named);
        setLanguage(language);
        const TqmError error = raised([&] { GetResString(id, 1); });
        QCOMPARE(error.number(), TqmError::ResourceMissing);
        QCOMPARE(error.source(), QStringLiteral("GetResString"));
        QVERIFY2(error.description().contains(named), qPrintable(error.description()));
    }

    void parseKeepsTextsExactly()
    {
        const QHash<int, QString> texts = ResStrings::ParseTable(
            QStringLiteral("# comment = not an entry\n\n1000 = a = b¦c \r\n1001 = \n1002 =  x"),
            QStringLiteral("t.txt"));
        QCOMPARE(texts, (QHash<int, QString>{{1000, "a = b¦c "}, {1001, ""}, {1002, " x"}}));
    }

    void parseRejectsBadLines_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("where");
        QTest::newRow("no blanks around =") << "1000 = a\n1001=b" << "t.txt, line 2";
        QTest::newRow("three-digit number") << "999 = a" << "t.txt, line 1";
        QTest::newRow("five-digit number") << "10000 = a" << "t.txt, line 1";
        QTest::newRow("letter in the number") << "10a0 = a" << "t.txt, line 1";
        QTest::newRow("text without number") << "\n\nHello" << "t.txt, line 3";
        QTest::newRow("indented comment") << " # note" << "t.txt, line 1";
        QTest::newRow("number twice") << "1000 = a\n# x\n1000 = b" << "t.txt, line 3";
    }
    void parseRejectsBadLines()
    {
        QFETCH(QString, content);
        QFETCH(QString, where);
        const QString error = raised([&] { ResStrings::ParseTable(content, QStringLiteral("t.txt")); }).description();
        QVERIFY2(error.startsWith(where), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestResStrings)
#include "tst_resstrings.moc"
