#include "host/unattended.h"

#include <QTest>

class TstUnattended : public QObject
{
    Q_OBJECT
private slots:
    void messageLine_data();
    void messageLine();
    void answersWithTheDefault_data();
    void answersWithTheDefault();
    void fileDialogsCancel();
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

void TstUnattended::answersWithTheDefault_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("defaultAnswer");
    QTest::newRow("yes/no, no") << int(MsgButtons::YesNo) << int(MsgAnswer::No);
    QTest::newRow("yes/no/cancel, yes") << int(MsgButtons::YesNoCancel) << int(MsgAnswer::Yes);
    QTest::newRow("abort/retry/ignore, abort") << int(MsgButtons::AbortRetryIgnore) << int(MsgAnswer::Abort);
}

void TstUnattended::answersWithTheDefault()
{
    QFETCH(int, buttons);
    QFETCH(int, defaultAnswer);
    UnattendedDialogs dialogs;
    const MsgAnswer answer = dialogs.message(QStringLiteral("Question?"), QStringLiteral("Title"), MsgIcon::Question,
                                             MsgButtons(buttons), MsgAnswer(defaultAnswer));
    QCOMPARE(int(answer), defaultAnswer);
}

void TstUnattended::fileDialogsCancel()
{
    UnattendedDialogs dialogs;
    QVERIFY(dialogs.fileName({QStringLiteral("Open"), QStringLiteral("Data (*.dat)|*.dat"), QString(), false}).isEmpty());
}

QTEST_GUILESS_MAIN(TstUnattended)
#include "tst_unattended.moc"
