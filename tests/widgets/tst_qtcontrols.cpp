// The Qt adapters of the control seam against the in-memory controls: the same actions, by the
// program or by a user, raise the same notifications in the same order and leave the same state.

#include "base/tqmerror.h"
#include "lns/controls/memorycontrols.h"
#include "widgets/qtcontrols.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <functional>

using namespace controls;

namespace {

// Every notification as one line, with the state it reports.
class Recorder
{
public:
    void watch(TextBoxControl *box, bool refuse)
    {
        QObject::connect(box, &TextBoxControl::changed, [this, box] { lines << "changed " + box->text(); });
        QObject::connect(box, &TextBoxControl::keyPress, [this](int *key) {
            lines << QStringLiteral("key %1").arg(*key);
            if (*key == 'x')
                *key = 0;          // swallowed
            else if (*key == ',')
                *key = '.';        // replaced
        });
        QObject::connect(box, &TextBoxControl::validate, [this, refuse](bool *cancel) {
            lines << "validate";
            *cancel = refuse;
        });
        QObject::connect(box, &TextBoxControl::lostFocus, [this] { lines << "lostFocus"; });
    }
    void watch(ComboBoxControl *box)
    {
        QObject::connect(box, &ComboBoxControl::changed,
                         [this, box] { lines << QStringLiteral("changed %1").arg(box->listIndex()); });
    }
    void watch(CheckBoxControl *box)
    {
        QObject::connect(box, &CheckBoxControl::clicked,
                         [this, box] { lines << QStringLiteral("clicked %1").arg(box->value()); });
    }
    void watch(OptionButtonControl *button)
    {
        QObject::connect(button, &OptionButtonControl::clicked,
                         [this, button] { lines << QStringLiteral("clicked %1").arg(button->controlIndex()); });
    }

    QStringList lines;
};

// A shown window with the Qt widgets and a button that can take the focus.
struct QtRig
{
    QtRig()
    {
        auto *layout = new QHBoxLayout(&window);
        layout->addWidget(edit);
        layout->addWidget(combo);
        layout->addWidget(check);
        auto *group = new QWidget(&window);
        auto *groupLayout = new QHBoxLayout(group);
        for (int i = 0; i < 3; ++i) {
            radios[i] = new QRadioButton(QStringLiteral("option %1").arg(i), group);
            groupLayout->addWidget(radios[i]);
        }
        layout->addWidget(group);
        layout->addWidget(other);
        window.show();
        window.activateWindow();
    }

    QWidget window;
    QLineEdit *edit = new QLineEdit(&window);
    QComboBox *combo = new QComboBox(&window);
    widgets::TqmCheckBoxWidget *check = new widgets::TqmCheckBoxWidget(QStringLiteral("check"), &window);
    QRadioButton *radios[3] = {};
    QPushButton *other = new QPushButton(QStringLiteral("other"), &window);
};

QPoint centreOf(QWidget *widget)
{
    return widget->rect().center();
}

} // namespace

class TstQtControls : public QObject
{
    Q_OBJECT
private slots:
    // Text box steps: "set T" (program), "max N" (program), "type T" (keys at the end of the text),
    // "back" (backspace), "leave" (the focus moves on with Tab), "click away" (another control is
    // clicked). The recorder swallows "x" and turns "," into ".".
    void textBox_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("refuse");
        QTest::newRow("program text, same text twice") << QStringList{"set 21.5", "set 21.5", "set 22"} << false;
        QTest::newRow("typing with swallowed and replaced keys") << QStringList{"type 1x2,5"} << false;
        QTest::newRow("backspace") << QStringList{"set 123", "back", "back"} << false;
        QTest::newRow("length limit stops typing, not the program")
            << QStringList{"max 3", "type 12345", "set 123456", "back"} << false;
        QTest::newRow("leaving validates, then loses the focus") << QStringList{"type 7", "leave"} << false;
        QTest::newRow("refused validation keeps the focus") << QStringList{"type 7", "leave", "type 8"} << true;
        QTest::newRow("a click elsewhere validates") << QStringList{"type 9", "click away"} << false;
        QTest::newRow("a refused click elsewhere keeps the focus") << QStringList{"type 9", "click away", "type 1"} << true;
        // A window disabled for a long operation takes the focus without asking the box.
        QTest::newRow("disabling the window is no leaving") << QStringList{"type 3", "disable"} << true;
    }
    void textBox()
    {
        QFETCH(QStringList, steps);
        QFETCH(bool, refuse);
        QtRig rig;
        QVERIFY(QTest::qWaitForWindowActive(&rig.window));
        auto *qt = new widgets::QtTextBox(rig.edit, 3);
        MemoryTextBox memory(3);
        Recorder qtHeard;
        Recorder memoryHeard;
        qtHeard.watch(qt, refuse);
        memoryHeard.watch(&memory, refuse);
        rig.edit->setFocus();

        for (const QString &step : steps) {
            const QString argument = step.section(QLatin1Char(' '), 1);
            if (step.startsWith(QLatin1String("set "))) {
                qt->setText(argument);
                memory.setText(argument);
            } else if (step.startsWith(QLatin1String("max "))) {
                qt->setMaxLength(argument.toInt());
                memory.setMaxLength(argument.toInt());
            } else if (step.startsWith(QLatin1String("type "))) {
                QTest::keyClick(rig.edit, Qt::Key_End);
                QTest::keyClicks(rig.edit, argument);
                for (QChar c : argument)
                    memory.pressKey(c.unicode());
            } else if (step == QLatin1String("back")) {
                QTest::keyClick(rig.edit, Qt::Key_End);
                QTest::keyClick(rig.edit, Qt::Key_Backspace);
                memory.pressKey(8);
            } else if (step == QLatin1String("leave")) {
                QTest::keyClick(rig.edit, Qt::Key_Tab);
                memory.leave();
            } else if (step == QLatin1String("disable")) {
                rig.window.setEnabled(false);
                memory.setEnabled(false);
            } else if (step == QLatin1String("click away")) {
                QTest::mouseClick(rig.other, Qt::LeftButton, {}, centreOf(rig.other));
                memory.leave();
            } else {
                QFAIL(qPrintable("unknown step " + step));
            }
        }
        QCOMPARE(qtHeard.lines, memoryHeard.lines);
        QCOMPARE(qt->text(), memory.text());
        QVERIFY(!qtHeard.lines.isEmpty());
    }

    void refusedValidationKeepsFocusAndEatsTheClick()
    {
        QtRig rig;
        QVERIFY(QTest::qWaitForWindowActive(&rig.window));
        auto *qt = new widgets::QtTextBox(rig.edit, 0);
        connect(qt, &TextBoxControl::validate, this, [](bool *cancel) { *cancel = true; });
        int clicks = 0;
        connect(rig.other, &QPushButton::clicked, this, [&clicks] { ++clicks; });
        rig.edit->setFocus();

        QTest::mouseClick(rig.other, Qt::LeftButton, {}, centreOf(rig.other));
        QCoreApplication::processEvents();
        QVERIFY(rig.edit->hasFocus());
        QCOMPARE(clicks, 0);

        // Once the user may leave, the next click acts normally.
        disconnect(qt, &TextBoxControl::validate, this, nullptr);
        QTest::mouseClick(rig.other, Qt::LeftButton, {}, centreOf(rig.other));
        QCOMPARE(clicks, 1);
        QVERIFY(!rig.edit->hasFocus());
    }

    // Combo box steps start from an empty list: "add T", "insert I T", "remove I", "clear",
    // "select I" (program), "choose T" (the user picks the item from the open list), "down" (the
    // user's arrow key).
    void comboBox_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("adding selects nothing") << QStringList{"add A", "add B"};
        QTest::newRow("program selection, same one twice") << QStringList{"add A", "add B", "select 1", "select 1", "select -1"};
        QTest::newRow("insert before the selection moves it")
            << QStringList{"add A", "add B", "select 1", "insert 0 Z", "insert 3 Y"};
        QTest::newRow("removing the selected item leaves none")
            << QStringList{"add A", "add B", "add C", "select 1", "remove 1"};
        QTest::newRow("removing before the selection moves it")
            << QStringList{"add A", "add B", "add C", "select 2", "remove 0", "remove 1"};
        QTest::newRow("clear") << QStringList{"add A", "select 0", "clear", "clear"};
        QTest::newRow("the user picks from the list") << QStringList{"add A", "add B", "add C", "choose C", "choose A"};
        QTest::newRow("the user's arrow key") << QStringList{"add A", "add B", "select 0", "down"};
    }
    void comboBox()
    {
        QFETCH(QStringList, steps);
        QtRig rig;
        QVERIFY(QTest::qWaitForWindowActive(&rig.window));
        auto *qt = new widgets::QtComboBox(rig.combo, 4);
        MemoryComboBox memory(4);
        Recorder qtHeard;
        Recorder memoryHeard;
        qtHeard.watch(qt);
        memoryHeard.watch(&memory);

        for (const QString &step : steps) {
            const QStringList words = step.split(QLatin1Char(' '));
            const QString &verb = words[0];
            if (verb == QLatin1String("add")) {
                QCOMPARE(qt->addItem(words[1]), memory.addItem(words[1]));
            } else if (verb == QLatin1String("insert")) {
                qt->insertItem(words[1].toInt(), words[2]);
                memory.insertItem(words[1].toInt(), words[2]);
            } else if (verb == QLatin1String("remove")) {
                qt->removeItem(words[1].toInt());
                memory.removeItem(words[1].toInt());
            } else if (verb == QLatin1String("clear")) {
                qt->clear();
                memory.clear();
            } else if (verb == QLatin1String("select")) {
                qt->setListIndex(words[1].toInt());
                memory.setListIndex(words[1].toInt());
            } else if (verb == QLatin1String("choose")) {
                rig.combo->showPopup();
                QAbstractItemView *list = rig.combo->view();
                QVERIFY(QTest::qWaitForWindowExposed(list->window()));
                const QModelIndex item = list->model()->index(rig.combo->findText(words[1]), 0);
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(item).center());
                QVERIFY(memory.chooseItem(words[1]));
            } else if (verb == QLatin1String("down")) {
                rig.combo->setFocus();
                QTest::keyClick(rig.combo, Qt::Key_Down);
                memory.setListIndex(memory.listIndex() + 1);
            } else {
                QFAIL(qPrintable("unknown step " + step));
            }
            QCOMPARE(qt->listIndex(), memory.listIndex());
        }
        QCOMPARE(qtHeard.lines, memoryHeard.lines);
        QCOMPARE(qt->count(), memory.count());
        for (int i = 0; i < memory.count(); ++i)
            QCOMPARE(qt->itemText(i), memory.itemText(i));
    }

    // Check box steps: "set V" (program), "click" (the user's mouse), "space" (the user's key).
    void checkBox_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("program values, same one twice") << QStringList{"set 1", "set 1", "set 2", "set 0"};
        QTest::newRow("clicks toggle") << QStringList{"click", "click", "space"};
        QTest::newRow("a click on a greyed box ticks it") << QStringList{"set 2", "click", "set 2", "space"};
    }
    void checkBox()
    {
        QFETCH(QStringList, steps);
        QtRig rig;
        QVERIFY(QTest::qWaitForWindowActive(&rig.window));
        auto *qt = new widgets::QtCheckBox(rig.check, 0);
        MemoryCheckBox memory(0);
        Recorder qtHeard;
        Recorder memoryHeard;
        qtHeard.watch(qt);
        memoryHeard.watch(&memory);

        for (const QString &step : steps) {
            if (step.startsWith(QLatin1String("set "))) {
                qt->setValue(step.mid(4).toInt());
                memory.setValue(step.mid(4).toInt());
            } else if (step == QLatin1String("click")) {
                QTest::mouseClick(rig.check, Qt::LeftButton, {}, QPoint(6, rig.check->height() / 2));
                memory.click();
            } else {
                rig.check->setFocus();
                QTest::keyClick(rig.check, Qt::Key_Space);
                memory.click();
            }
        }
        QCOMPARE(qtHeard.lines, memoryHeard.lines);
        QCOMPARE(qt->value(), memory.value());
    }

    // Option button steps on three buttons of one group: "set I 1|0" (program), "click I" (the
    // user), "right" (the user's arrow key on the selected button).
    void optionButtons_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("program selection deselects the others quietly")
            << QStringList{"set 0 1", "set 2 1", "set 2 1", "set 2 0", "set 1 0"};
        QTest::newRow("clicks, also on the selected button") << QStringList{"click 1", "click 1", "click 2"};
        QTest::newRow("the arrow key moves the selection") << QStringList{"click 0", "right"};
    }
    void optionButtons()
    {
        QFETCH(QStringList, steps);
        QtRig rig;
        QVERIFY(QTest::qWaitForWindowActive(&rig.window));
        OptionGroup group;
        Recorder qtHeard;
        Recorder memoryHeard;
        QList<widgets::QtOptionButton *> qt;
        QList<MemoryOptionButton *> memory;
        for (int i = 0; i < 3; ++i) {
            qt << new widgets::QtOptionButton(rig.radios[i], i);
            memory << new MemoryOptionButton(i, &group, &group);
            qtHeard.watch(qt[i]);
            memoryHeard.watch(memory[i]);
        }

        for (const QString &step : steps) {
            const QStringList words = step.split(QLatin1Char(' '));
            if (words[0] == QLatin1String("set")) {
                qt[words[1].toInt()]->setValue(words[2] == QLatin1String("1"));
                memory[words[1].toInt()]->setValue(words[2] == QLatin1String("1"));
            } else if (words[0] == QLatin1String("click")) {
                QRadioButton *radio = rig.radios[words[1].toInt()];
                QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
                memory[words[1].toInt()]->click();
            } else {
                int selected = 0;
                while (!memory[selected]->value())
                    ++selected;
                QTest::keyClick(rig.radios[selected], Qt::Key_Right);
                memory[selected + 1]->click();
            }
            for (int i = 0; i < 3; ++i)
                QCOMPARE(qt[i]->value(), memory[i]->value());
        }
        QCOMPARE(qtHeard.lines, memoryHeard.lines);
    }

    // An adapter made before its widget does what the in-memory control does; its widget, once
    // attached, takes over the state without a notification.
    void adapterBeforeItsWidget()
    {
        QtRig rig;
        OptionGroup qtGroup;
        OptionGroup memoryGroup;
        QList<Control *> qt{new widgets::QtTextBox(0, &rig.window), new widgets::QtComboBox(0, &rig.window),
                            new widgets::QtCheckBox(0, &rig.window)};
        QList<Control *> memory{new MemoryTextBox(0, &memoryGroup), new MemoryComboBox(0, &memoryGroup),
                                new MemoryCheckBox(0, &memoryGroup)};
        for (int i = 0; i < 3; ++i) {
            qt << new widgets::QtOptionButton(i, &qtGroup, &rig.window);
            memory << new MemoryOptionButton(i, &memoryGroup, &memoryGroup);
        }
        Recorder qtHeard;
        Recorder memoryHeard;
        const auto act = [](const QList<Control *> &c, int round) {
            auto *text = static_cast<TextBoxControl *>(c[0]);
            auto *combo = static_cast<ComboBoxControl *>(c[1]);
            text->setText(round ? QStringLiteral("7") : QStringLiteral("21.5"));
            text->setSelStart(2);
            text->setEnabled(round);
            combo->addItem(QStringLiteral("A"));
            combo->insertItem(0, QStringLiteral("B"));
            combo->setItemData(1, 40 + round);
            combo->setListIndex(round);
            static_cast<CheckBoxControl *>(c[2])->setValue(round ? 0 : 2);
            static_cast<OptionButtonControl *>(c[3 + round])->setValue(true);
        };
        const auto state = [](const QList<Control *> &c) {
            auto *text = static_cast<TextBoxControl *>(c[0]);
            auto *combo = static_cast<ComboBoxControl *>(c[1]);
            QStringList lines{text->text(), QString::number(text->selStart()), QString::number(combo->listIndex()),
                              QString::number(static_cast<CheckBoxControl *>(c[2])->value())};
            for (int i = 0; i < combo->count(); ++i)
                lines << combo->itemText(i) + QString::number(combo->itemData(i));
            for (Control *control : c)
                lines << QString::number(control->enabled());
            for (int i = 3; i < 6; ++i)
                lines << QString::number(static_cast<OptionButtonControl *>(c[i])->value());
            return lines;
        };
        for (int i = 0; i < 6; ++i) {
            qt[i]->setEnabled(i != 1);
            memory[i]->setEnabled(i != 1);
        }
        for (auto [controls, heard] : {std::pair{&qt, &qtHeard}, std::pair{&memory, &memoryHeard}}) {
            heard->watch(static_cast<TextBoxControl *>((*controls)[0]), false);
            heard->watch(static_cast<ComboBoxControl *>((*controls)[1]));
            heard->watch(static_cast<CheckBoxControl *>((*controls)[2]));
            for (int i = 3; i < 6; ++i)
                heard->watch(static_cast<OptionButtonControl *>((*controls)[i]));
            act(*controls, 0);
        }
        static_cast<widgets::QtTextBox *>(qt[0])->attach(rig.edit);
        static_cast<widgets::QtComboBox *>(qt[1])->attach(rig.combo);
        static_cast<widgets::QtCheckBox *>(qt[2])->attach(rig.check);
        for (int i = 0; i < 3; ++i)
            static_cast<widgets::QtOptionButton *>(qt[3 + i])->attach(rig.radios[i]);
        QCOMPARE(state(qt), state(memory));
        QCOMPARE(rig.combo->currentText(), QStringLiteral("B"));
        QVERIFY(!rig.combo->isEnabled() && rig.radios[0]->isChecked());
        act(qt, 1);
        act(memory, 1);
        QCOMPARE(state(qt), state(memory));
        QCOMPARE(qtHeard.lines, memoryHeard.lines);
    }

    void invalidValuesAreRed()
    {
        QtRig rig;
        auto *box = new widgets::QtTextBox(rig.edit, 0);
        box->setForeColor(colour::Red);
        QCOMPARE(rig.edit->palette().color(QPalette::Active, QPalette::Text), QColor(255, 0, 0));
        QCOMPARE(box->foreColor(), colour::Red);
        box->setForeColor(colour::WindowText);
        QCOMPARE(rig.edit->palette().color(QPalette::Active, QPalette::Text),
                 QApplication::palette(rig.edit).color(QPalette::Active, QPalette::Text));
        box->setBackColor(colour::ButtonFace);
        QCOMPARE(rig.edit->palette().color(QPalette::Base), QApplication::palette(rig.edit).color(QPalette::Button));

        auto *combo = new widgets::QtComboBox(rig.combo, 0);
        combo->setForeColor(colour::Red);
        QCOMPARE(rig.combo->palette().color(QPalette::Active, QPalette::ButtonText), QColor(255, 0, 0));
    }

    // Indices outside a list and impossible values fail as they do in memory.
    void failuresMatch()
    {
        QtRig rig;
        widgets::QtComboBox combo(rig.combo, 0);
        MemoryComboBox memory;
        combo.addItem(QStringLiteral("A"));
        memory.addItem(QStringLiteral("A"));
        const auto numberOf = [](const std::function<void()> &action) {
            try {
                action();
            } catch (const TqmError &error) {
                return error.number();
            }
            return 0;
        };
        QCOMPARE(numberOf([&] { combo.setListIndex(1); }), numberOf([&] { memory.setListIndex(1); }));
        QCOMPARE(numberOf([&] { combo.removeItem(-1); }), numberOf([&] { memory.removeItem(-1); }));
        QCOMPARE(numberOf([&] { combo.insertItem(3, {}); }), numberOf([&] { memory.insertItem(3, {}); }));
        QCOMPARE(numberOf([&] { combo.itemData(5); }), numberOf([&] { memory.itemData(5); }));
        widgets::QtCheckBox check(rig.check, 0);
        MemoryCheckBox memoryCheck;
        QCOMPARE(numberOf([&] { check.setValue(3); }), numberOf([&] { memoryCheck.setValue(3); }));
        QVERIFY(numberOf([&] { check.setValue(3); }) != 0);
    }
};

QTEST_MAIN(TstQtControls)
#include "tst_qtcontrols.moc"
