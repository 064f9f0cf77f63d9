#include "lns/unattended.h"

#include <QTest>

class TstUnattended : public QObject
{
    Q_OBJECT
private slots:
    void messageLine_data()
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
    void messageLine()
    {
        QFETCH(int, icon);
        QFETCH(QString, text);
        const MessageRequest request{text, QStringLiteral("Title"), MsgIcon(icon)};
        const QString line = UnattendedDialogs::messageLine(request);
        QTEST(line, "line");
        QVERIFY(!line.contains(QLatin1Char('\n')));
    }

    void switchedOnBy_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("on");
        for (const char *value : {"1", "yes", "true", "on", "YES", "True", " on "})
            QTest::newRow(value) << QString::fromLatin1(value) << true;
        for (const char *value : {"", "0", "no", "false", "off", "2", "yesterday"})
            QTest::newRow(value) << QString::fromLatin1(value) << false;
    }
    void switchedOnBy()
    {
        QFETCH(QString, value);
        QTEST(unattended::isOnValue(value), "on");
    }

    // Environment as "NAME=value" entries.
    void screen_data()
    {
        using unattended::Screen;
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<int>("screen");
        QTest::newRow("X display") << QStringList{"DISPLAY=:0"} << int(Screen::Display);
        QTest::newRow("Wayland display") << QStringList{"WAYLAND_DISPLAY=wayland-0"} << int(Screen::Display);
        QTest::newRow("nothing") << QStringList{} << int(Screen::None);
        QTest::newRow("empty display") << QStringList{"DISPLAY="} << int(Screen::None);
        QTest::newRow("unattended wins over a display") << QStringList{"DISPLAY=:0", "TQM_UNATTENDED=yes"} << int(Screen::Offscreen);
        QTest::newRow("unattended without a display") << QStringList{"TQM_UNATTENDED=on"} << int(Screen::Offscreen);
        QTest::newRow("offscreen chosen by the user") << QStringList{"QT_QPA_PLATFORM=offscreen"} << int(Screen::Display);
        QTest::newRow("xcb without X") << QStringList{"QT_QPA_PLATFORM=xcb", "WAYLAND_DISPLAY=w"} << int(Screen::None);
        QTest::newRow("wayland without Wayland") << QStringList{"QT_QPA_PLATFORM=wayland", "DISPLAY=:0"} << int(Screen::None);
        QTest::newRow("xcb with options") << QStringList{"QT_QPA_PLATFORM=xcb:foo", "DISPLAY=:1"} << int(Screen::Display);
    }
    void screen()
    {
        QFETCH(QStringList, environment);
        QProcessEnvironment env;
        for (const QString &entry : environment)
            env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
        QTEST(int(unattended::screenFor(env)), "screen");
    }
};

QTEST_GUILESS_MAIN(TstUnattended)
#include "tst_unattended.moc"
