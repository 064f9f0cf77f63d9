#include "lns/unattended.h"

#include <QTest>

class TstUnattended : public QObject
{
    Q_OBJECT
private slots:
    void messageLine_data();
    void messageLine();
};

void TstUnattended::messageLine_data()
{
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("line");
    QTest::newRow("CR LF") << int(MsgIcon::Exclamation) << "The transmitted CommandId (99) is not\r\nsupported"
                           << "[exclamation] Title: The transmitted CommandId (99) is not\\nsupported";
    QTest::newRow("two breaks") << int(MsgIcon::Critical) << "a\r\n\r\nb" << "[critical] Title: a\\n\\nb";
    QTest::newRow("lone LF and CR") << int(MsgIcon::Question) << "a\nb\rc" << "[question] Title: a\\nb\\nc";
    QTest::newRow("no icon") << int(MsgIcon::None) << "plain" << "[message] Title: plain";
}

void TstUnattended::messageLine()
{
    QFETCH(int, icon);
    QFETCH(QString, text);
    const MessageRequest request{text, QStringLiteral("Title"), MsgIcon(icon)};
    const QString line = UnattendedDialogs::messageLine(request);
    QTEST(line, "line");
    QVERIFY(!line.contains(QLatin1Char('\n')));
}

QTEST_GUILESS_MAIN(TstUnattended)
#include "tst_unattended.moc"
