// The configure command through the Qt main window: what only the Qt widgets can get wrong. An
// invalid value turns red and keeps Apply from writing; Escape cancels and Enter confirms; for a
// screen reader every field is named; the view bar and the tabs follow the keys. (The
// multi-device dialog: tst_multidevicedialog; the spread it starts: tst_configurationworkflows.)

#include "host/hosttestkit.h"
#include "params/cpaccess.h"
#include "ui/frmmain.h"
#include "widgets/qtmainwindowview.h"

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QCheckBox>
#include <QMainWindow>
#include <QPushButton>

using namespace ui;

namespace {

// The host with the Qt window (not waiting for a user) on a device per template.
struct DesktopRig : HostWindowRig<widgets::QtMainWindowView>
{
    DesktopRig() : HostWindowRig(false) {}

    bool open(const QString &device) { return start(13, device); }

    // The RAW value of MinDeltaTemp's CP as the network database holds it now.
    QString minDeltaTemp(const QString &device) const
    {
        return cpaccess::readRawText(*otherDevice(device)->lonMarkObjects()->item(QStringLiteral("CommandModule"))
                                          ->configProperties()->item(QStringLiteral("nciTmpMinDelta")));
    }
};

constexpr int TemperatureDifference = 2; // text box of MinDeltaTemp, on every template

} // namespace

class TstConfigureWindow : public QObject
{
    Q_OBJECT
private slots:
    // An edit of the temperature difference, then a click on Apply or a key. A screen reader says
    // why an invalid value is red, and Apply only brings the range message (the red, and the click
    // a refused value eats: tst_qtcontrols; what Apply writes: tst_parameterbounds).
    // Escape asks about the edit and writes nothing; Enter writes it without asking.
    void editThenApplyOrKey_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key"); // 0: a click on Apply
        QTest::addColumn<QString>("written"); // empty: the CP keeps its value
        QTest::newRow("invalid, Apply") << "9" << 0 << "";
        QTest::newRow("Escape") << "0.7" << int(Qt::Key_Escape) << "";
        QTest::newRow("Enter") << "0.7" << int(Qt::Key_Return) << "0\t70"; // RAW: 70 hundredths
    }
    void editThenApplyOrKey()
    {
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QString, written);
        DesktopRig rig;
        QVERIFY(rig.open("CM 1.01"));
        QVERIFY(QTest::qWaitForWindowActive(rig.view.window()));
        const QString before = rig.minDeltaTemp("CM 1.01");
        QVERIFY(rig.view.clickTab(QStringLiteral("KEY:5")));
        QVERIFY(rig.view.typeInto(TemperatureDifference, typed));
        auto *edit = qobject_cast<QLineEdit *>(rig.view.widgetOf(Element::textBox(TemperatureDifference)));
        rig.box.dialogs.answers.enqueue(MsgAnswer::Yes);
        if (key) {
            QTest::keyClick(edit, Qt::Key(key));
        } else {
            const QString range = QAccessible::queryAccessibleInterface(edit)->text(QAccessible::Description);
            QVERIFY2(range.startsWith(QLatin1Char('"')) && range.contains(QStringLiteral(" 0")), qPrintable(range));
            QPushButton *apply = rig.view.lineButton(LineButton::Apply);
            QTest::mouseClick(apply, Qt::LeftButton, {}, apply->rect().center());
        }
        QCOMPARE(rig.box.dialogs.messages.size(), key == Qt::Key_Return ? 0 : 1);
        QCOMPARE(rig.box.dialogs.messages.value(0).text == GetResString(1428, 3), key == Qt::Key_Escape);
        QCOMPARE(rig.host->ended(), key != 0);
        QCOMPARE(rig.minDeltaTemp("CM 1.01"), written.isEmpty() ? before : written);
        rig.host->EndApp();
    }

    // What a screen reader says of each input field of every page: its label, never nothing nor
    // its value; the view bar's items are buttons. (That the German captions exist as the English
    // ones do: tst_resstrings.)
    void everyFieldIsNamed()
    {
        DesktopRig rig;
        QVERIFY(rig.open("CM 1.06"));
        QStringList problems;
        int fields = 0;
        for (int page = 0; page < PageCount; ++page) {
            for (QWidget *widget : rig.view.widgetOf(Element::page(page))->findChildren<QWidget *>()) {
                if (!qobject_cast<QLineEdit *>(widget) && !qobject_cast<QComboBox *>(widget)
                    && !qobject_cast<QCheckBox *>(widget) && !qobject_cast<QRadioButton *>(widget))
                    continue;
                if (qobject_cast<QLineEdit *>(widget) && qobject_cast<QComboBox *>(widget->parent()))
                    continue;
                ++fields;
                QAccessibleInterface *field = QAccessible::queryAccessibleInterface(widget);
                const QString name = field->text(QAccessible::Name);
                const QString value = field->text(QAccessible::Value);
                if (name.isEmpty() || (name == value && !qobject_cast<QAbstractButton *>(widget)))
                    problems << QStringLiteral("page %1: %2 is named \"%3\" (value \"%4\")").arg(page)
                                    .arg(QLatin1String(widget->metaObject()->className()), name, value);
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
        QCOMPARE(fields, 15 + 19 + 2 + 3); // every text box, combo box, check box and option button
        for (const ButtonBarItem &item : rig.view.buttonBarItems()) {
            QAccessibleInterface *button = QAccessible::queryAccessibleInterface(rig.view.buttonBarItem(item.key));
            QCOMPARE(button->role(), QAccessible::PushButton);
            QCOMPARE(button->text(QAccessible::Name), item.caption);
        }
        rig.host->EndApp();
    }

    // The view bar takes the focus and follows the arrow keys and Enter; Ctrl+Tab and Ctrl+PgDn
    // go through the tabs of the view.
    void viewBarAndTabsByKeys()
    {
        DesktopRig rig;
        QVERIFY(rig.open("CM 1.06"));
        QVERIFY(QTest::qWaitForWindowActive(rig.view.window()));
        QWidget *configuration = rig.view.buttonBarItem(QStringLiteral("0"));
        configuration->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), rig.view.buttonBarItem(QStringLiteral("2")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(rig.view.visibleTabStrip(), 2);
        QCOMPARE(rig.host->mainWindow()->currentPageKey(), 2);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(rig.host->mainWindow()->currentPageKey(), 3);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(rig.host->mainWindow()->currentPageKey(), 6);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(rig.view.visibleTabStrip(), 0);
        rig.host->EndApp();
    }
};

QTEST_MAIN(TstConfigureWindow)
#include "tst_configurewindow.moc"
