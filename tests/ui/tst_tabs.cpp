// The tab model on the in-memory view: tabs hidden and shown again at their designed places,
// look-ups by designed position, and the layout check after the tabs took more room.

#include "ui/memorymainwindowview.h"
#include "ui/tabs.h"

#include <QTest>

using namespace ui;

class TestTabs : public QObject
{
    Q_OBJECT

private slots:
    // Strip 0 is designed as KEY:0, KEY:1, KEY:5, KEY:6. Each step is "hide n", "show n" or
    // "tabs a,b,..." (ShowTabs).
    void tabsComeBackAtTheirDesignedPlace_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("shown");
        const QStringList all{"KEY:0", "KEY:1", "KEY:5", "KEY:6"};
        QTest::newRow("hidden and shown again") << QStringList{"hide 1", "show 1"} << all;
        QTest::newRow("shown twice") << QStringList{"show 5"} << all;
        QTest::newRow("hiding a key not shown") << QStringList{"hide 9", "hide 1", "hide 1"}
                                                << QStringList{"KEY:0", "KEY:5", "KEY:6"};
        QTest::newRow("first tab back in front") << QStringList{"hide 0", "hide 1", "show 0"}
                                                 << QStringList{"KEY:0", "KEY:5", "KEY:6"};
        QTest::newRow("last tab appended") << QStringList{"hide 6", "hide 5", "show 6"}
                                           << QStringList{"KEY:0", "KEY:1", "KEY:6"};
        QTest::newRow("an empty set") << QStringList{"tabs "} << QStringList{};
        QTest::newRow("a set after hiding") << QStringList{"hide 0", "hide 5", "tabs 5,1,0"}
                                            << QStringList{"KEY:0", "KEY:1", "KEY:5"};
    }
    void tabsComeBackAtTheirDesignedPlace()
    {
        QFETCH(QStringList, steps);
        MemoryMainWindowView view;
        cTabStrips strips(view);
        cTabStrip *strip = strips.Add(0);
        for (const QString &step : steps) {
            const QString argument = step.section(' ', 1);
            if (step.startsWith("hide")) {
                strip->Tabs().HideTabByKeyNo(qint16(argument.toInt()));
            } else if (step.startsWith("show")) {
                strip->Tabs().ShowTabByKeyNo(qint16(argument.toInt()));
            } else {
                QList<qint16> keys;
                for (const QString &key : argument.split(',', Qt::SkipEmptyParts))
                    keys.append(qint16(key.toInt()));
                strip->ShowTabs(keys);
            }
        }
        QTEST(view.tabKeys(0), "shown");
        QCOMPARE(strip->Tabs().Count(), qint16(4)); // the model keeps every designed tab
    }

    void modelKeepsDesignedPositionsAndTexts()
    {
        MemoryMainWindowView view;
        view.setTabCaption(2, 2, "Turning knob");
        view.setTabToolTip(2, 2, "Knob tip");
        cTabStrips strips(view);
        cTabStrip *strip = strips.Add(2);
        strip->Tabs().HideTabByKeyNo(2);
        QCOMPARE(strip->Tabs().Item(3)->Key(), QStringLiteral("KEY:6"));
        QCOMPARE(strip->Tabs().Item(4), nullptr);
        QCOMPARE(strip->Tabs().ItemByKey("key:3"), nullptr); // keys compare exactly

        strip->Tabs().HideTabByKeyNo(3);
        strip->Tabs().ShowTabByKeyNo(3);
        QCOMPARE(view.tab(2, 1), (Tab{"KEY:3", "Turning knob", "Knob tip", "1021"}));
        QCOMPARE(strips.Item(2), strip);
        QCOMPARE(strips.Item(1), nullptr);
        // A key's number: none without the colon or the number.
        QCOMPARE(keyNumber("KEY:6"), 6);
        QCOMPARE(keyNumber("KEY6"), -1);
        QCOMPARE(keyNumber("KEY:"), -1);
    }

    // The page of the selected tab is laid out again only when the tabs of the strip that
    // holds the pages now need more room.
    void layoutCheckAfterTabsGrow_data()
    {
        QTest::addColumn<int>("visibleStrip");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QList<int>>("laidOut");
        const QString longCaption(200, QChar('x'));
        QTest::newRow("longer caption on the visible strip") << 0 << longCaption << QList<int>{5};
        QTest::newRow("same room") << 0 << QStringLiteral("Nv") << QList<int>{};
        QTest::newRow("strip not visible") << 1 << longCaption << QList<int>{};
    }
    void layoutCheckAfterTabsGrow()
    {
        QFETCH(int, visibleStrip);
        QFETCH(QString, caption);
        MemoryMainWindowView view;
        QList<int> laidOut;
        cTabStrips strips(view, [&](int keyNo) { laidOut.append(keyNo); });
        cTabStrip *strip = strips.Add(0);
        view.showTabStrip(visibleStrip);
        view.selectTab(0, 3);
        strip->Tabs().ItemByKey("KEY:1")->setCaption(caption);
        QCOMPARE(view.tab(0, 2).caption, caption);
        QTEST(laidOut, "laidOut");
    }
};

QTEST_GUILESS_MAIN(TestTabs)
#include "tst_tabs.moc"
