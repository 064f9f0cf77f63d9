#include "lns/controls/memorycontrols.h"
#include "lns/controls/windowutility.h"
#include "base/tqmerror.h"

#include <QSignalSpy>
#include <QTest>

using namespace controls;

class TestControls : public QObject
{
    Q_OBJECT
private slots:
    void textBoxChangeOnlyOnDifferentText()
    {
        MemoryTextBox box(3);
        QSignalSpy changed(&box, &TextBoxControl::changed);
        box.setText(QStringLiteral("21.5"));
        box.setText(QStringLiteral("21.5"));
        box.typeText(QStringLiteral("22"));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(box.controlIndex(), 3);
        QCOMPARE(box.selStart(), 2);
    }

    void textBoxKeysAndLeaving()
    {
        MemoryTextBox box;
        box.setMaxLength(3);
        connect(&box, &TextBoxControl::keyPress, this, [](int *key) {
            if (*key == 'x')
                *key = 0;
        });
        for (int key : {'1', 'x', '2', '3', '4'})
            box.pressKey(key);
        QCOMPARE(box.text(), QStringLiteral("123"));
        box.pressKey(8);
        QCOMPARE(box.text(), QStringLiteral("12"));

        QSignalSpy lost(&box, &TextBoxControl::lostFocus);
        bool refuse = true;
        connect(&box, &TextBoxControl::validate, this, [&refuse](bool *cancel) { *cancel = refuse; });
        QVERIFY(!box.leave());
        QCOMPARE(lost.count(), 0);
        refuse = false;
        QVERIFY(box.leave());
        QCOMPARE(lost.count(), 1);
    }

    void comboBoxListIndexNotifications_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("listIndexAfter");
        QTest::addColumn<int>("notifications");
        // Starting with items A, B, C and B selected.
        QTest::newRow("select same") << "select 1" << 1 << 0;
        QTest::newRow("select other") << "select 2" << 2 << 1;
        QTest::newRow("select none") << "select -1" << -1 << 1;
        QTest::newRow("insert before selection") << "insert 0" << 2 << 1;
        QTest::newRow("insert after selection") << "insert 3" << 1 << 0;
        QTest::newRow("remove selected") << "remove 1" << -1 << 1;
        QTest::newRow("remove before selection") << "remove 0" << 0 << 1;
        QTest::newRow("remove after selection") << "remove 2" << 1 << 0;
        QTest::newRow("clear") << "clear" << -1 << 1;
        QTest::newRow("user chooses") << "choose C" << 2 << 1;
    }
    void comboBoxListIndexNotifications()
    {
        QFETCH(QString, action);
        QFETCH(int, listIndexAfter);
        QFETCH(int, notifications);
        MemoryComboBox box;
        for (const char *text : {"A", "B", "C"})
            box.setItemData(box.addItem(QString::fromLatin1(text)), box.count() * 10);
        box.setListIndex(1);
        QSignalSpy changed(&box, &ComboBoxControl::changed);

        const QString verb = action.section(QLatin1Char(' '), 0, 0);
        const QString argument = action.section(QLatin1Char(' '), 1);
        if (verb == QLatin1String("select"))
            box.setListIndex(argument.toInt());
        else if (verb == QLatin1String("insert"))
            box.insertItem(argument.toInt(), QStringLiteral("new"));
        else if (verb == QLatin1String("remove"))
            box.removeItem(argument.toInt());
        else if (verb == QLatin1String("clear"))
            box.clear();
        else
            QVERIFY(box.chooseItem(argument));

        QCOMPARE(box.listIndex(), listIndexAfter);
        QCOMPARE(changed.count(), notifications);
        if (listIndexAfter >= 0 && verb != QLatin1String("select") && verb != QLatin1String("choose"))
            QCOMPARE(box.currentText(), QStringLiteral("B"));
    }

    void checkBoxClickOnEveryValueChange()
    {
        MemoryCheckBox box;
        QSignalSpy clicked(&box, &CheckBoxControl::clicked);
        box.setValue(Checked);
        box.setValue(Checked);
        box.setValue(Greyed);
        box.click();
        QCOMPARE(box.value(), int(Checked));
        box.click();
        QCOMPARE(box.value(), int(Unchecked));
        QCOMPARE(clicked.count(), 4);
        QVERIFY_THROWS_EXCEPTION(TqmError, box.setValue(3));
    }

    void optionButtonsOfOneGroup()
    {
        OptionGroup group;
        MemoryOptionButton first(0, &group), second(1, &group), alone(2);
        QSignalSpy firstClicked(&first, &OptionButtonControl::clicked);
        QSignalSpy secondClicked(&second, &OptionButtonControl::clicked);
        first.setValue(true);
        second.click();
        QVERIFY(!first.value());
        QVERIFY(second.value());
        second.setValue(true); // already selected: nothing happens
        second.click();        // the user clicks it again: the widget raises the click
        first.setValue(false);
        alone.setValue(true);
        QVERIFY(second.value());
        QCOMPARE(firstClicked.count(), 1);
        QCOMPARE(secondClicked.count(), 2);
    }

    void markRange_data()
    {
        QTest::addColumn<double>("number");
        QTest::addColumn<quint32>("colour");
        QTest::newRow("inside") << 20.0 << quint32(colour::WindowText);
        QTest::newRow("at minimum") << 5.0 << quint32(colour::WindowText);
        QTest::newRow("at maximum") << 30.0 << quint32(colour::WindowText);
        QTest::newRow("below") << 4.9 << quint32(colour::Red);
        QTest::newRow("above") << 30.2 << quint32(colour::Red);
    }
    void markRange()
    {
        QFETCH(double, number);
        QFETCH(quint32, colour);
        MemoryTextBox box;
        box.setForeColor(colour::Red);
        WindowUtility::MarkRange(box, number, 5.0, 30.0);
        QCOMPARE(box.foreColor(), colour);
    }
};

QTEST_GUILESS_MAIN(TestControls)
#include "tst_controls.moc"
