// The configure command through the Qt main window, on a device of every demo template: the
// user edits, an invalid value turns red and keeps Apply from writing, Apply writes to the
// device, parameter sets go to and come from files, the set is copied to other devices, and
// the closing question may keep the window. By keyboard and for a screen reader: every field is
// named, the view bar and the tabs follow the keys, Escape cancels and Enter confirms.

#include "host/hosttestkit.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/rawtext.h"
#include "session/settings.h"
#include "ui/frmmain.h"
#include "widgets/multidevicewindow/qtmultidevicewindow.h"
#include "widgets/qtmainwindowview.h"

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QCheckBox>
#include <QToolButton>
#include <QMainWindow>
#include <QPushButton>
#include <QTimer>

using namespace ui;

namespace {

const QString Network = QStringLiteral("Demo");
// The demo network gives its devices the templates in the INI file's order.
const QStringList Templates = {"TQM_CM_L1", "TQM_CM_L2", "TQM_CM_L3", "TQM_CM_L4", "TQM_CM_L5", "TQM_CM_STD"};
constexpr int TemperatureDifference = 2; // text box of MinDeltaTemp, on every template
constexpr int MinDeltaTempCp = 3;        // its CP index on the command-module object

// Device n of the demo network, eight to a floor of "Building A" (n up to 16).
QString objectOf(int device)
{
    const int floor = (device - 1) / 8 + 1;
    return QStringLiteral("%1.Building A.Floor %2.CM %2\\.%3.CommandModule")
        .arg(Network)
        .arg(floor)
        .arg((device - 1) % 8 + 1, 2, 10, QLatin1Char('0'));
}

// The host with the Qt window on a demo network of two devices per template.
class DesktopRig
{
public:
    DesktopRig() : box(false)
    {
        box.productDemoNetwork(2 * int(Templates.size()));
        HostEnvironment env = box.environment(view);
        env.createMultiDeviceWindow = [this] {
            auto window = std::make_unique<::ui::QtMultiDeviceWindow>();
            window->setOwnerWidget(view.window());
            QObject::connect(window.get(), &::ui::QtMultiDeviceWindow::offerShown, [this](::ui::MultiDeviceDialog *dialog) {
                offered = dialog->shownCount();
                QTimer::singleShot(0, dialog, [dialog] {
                    dialog->checkShown(true);
                    dialog->accept();
                });
            });
            return window;
        };
        host = std::make_unique<PlugInHost>(env);
    }

    bool open(int device)
    {
        host->Main(QStringLiteral("/CLASSID:28/COMMANDID:13/OBJECTNAME:") + objectOf(device));
        return !host->ended() && view.isWindowVisible();
    }

    // The CP's value as the network database holds it now.
    QString minDeltaTemp(int device) const
    {
        auto server = embedded::EmbeddedObjectServer::create(box.home.path(), box.clock);
        server->open(lns::ConnectionMode::Local);
        const lns::ConfigPropertyPtr cp = server->lonMarkObject(objectOf(device))->configProperties()->item(MinDeltaTempCp);
        cp->setFormatSpec(QStringLiteral("RAW"));
        return cp->value();
    }

    QLineEdit *edit(int index) const { return qobject_cast<QLineEdit *>(view.widgetOf(Element::textBox(index))); }

    HostSandbox box;
    widgets::QtMainWindowView view{false};
    std::unique_ptr<PlugInHost> host;
    int offered = -1;
};

QString raw(int hundredths)
{
    return QStringLiteral("%1\t%2").arg(hundredths >> 8).arg(hundredths & 0xFF);
}

bool asked(const ScriptedDialogs &dialogs, int messageId, int piece)
{
    for (const MessageRequest &request : dialogs.messages) {
        if (request.text == GetResString(messageId, piece))
            return true;
    }
    return false;
}

} // namespace

class TstConfigureWindow : public QObject
{
    Q_OBJECT
private slots:
    void everyTemplate_data();
    void everyTemplate();
    void parameterSetFilesAndCopies();
    void everyFieldIsNamed_data();
    void everyFieldIsNamed();
    void viewBarAndTabsByKeys();
    void escapeCancelsEnterConfirms_data();
    void escapeCancelsEnterConfirms();
};

void TstConfigureWindow::everyTemplate_data()
{
    QTest::addColumn<int>("device");
    for (int i = 0; i < Templates.size(); ++i)
        QTest::newRow(qPrintable(Templates[i])) << i + 1;
}

void TstConfigureWindow::everyTemplate()
{
    QFETCH(int, device);
    DesktopRig rig;
    QVERIFY(rig.open(device));
    QVERIFY(QTest::qWaitForWindowActive(rig.view.window()));
    QVERIFY(!rig.view.lineButtonEnabled(LineButton::Apply));
    QVERIFY(rig.view.clickButtonBarItem(QStringLiteral("0")));
    QVERIFY(rig.view.clickTab(QStringLiteral("KEY:5")));

    // An edit: the value is taken, Apply writes it to the device.
    QVERIFY(rig.view.typeInto(TemperatureDifference, QStringLiteral("0.7")));
    QVERIFY(rig.view.lineButtonEnabled(LineButton::Apply));
    QVERIFY(rig.view.clickLineButton(LineButton::Apply));
    QCOMPARE(rig.minDeltaTemp(device), raw(70));
    QVERIFY(!rig.view.lineButtonEnabled(LineButton::Apply));

    // An invalid value turns red; clicking Apply only brings the range message, and the focus
    // stays in the box: nothing is written.
    QVERIFY(rig.view.typeInto(TemperatureDifference, QStringLiteral("9")));
    QCOMPARE(rig.view.textBox(TemperatureDifference)->foreColor(), controls::colour::Red);
    QCOMPARE(rig.edit(TemperatureDifference)->palette().color(QPalette::Active, QPalette::Text), QColor(255, 0, 0));
    // A screen reader hears the range the value misses.
    const QString range = QAccessible::queryAccessibleInterface(rig.edit(TemperatureDifference))->text(QAccessible::Description);
    QVERIFY2(range.startsWith(QLatin1Char('"')) && range.contains(QStringLiteral(" 0")), qPrintable(range));
    const int messagesBefore = int(rig.box.dialogs.messages.size());
    QPushButton *apply = rig.view.lineButton(LineButton::Apply);
    QTest::mouseClick(apply, Qt::LeftButton, {}, apply->rect().center());
    QCoreApplication::processEvents();
    QCOMPARE(rig.box.dialogs.messages.size(), messagesBefore + 1);
    QCOMPARE(rig.box.dialogs.messages.last().icon, MsgIcon::Exclamation);
    QVERIFY(rig.edit(TemperatureDifference)->hasFocus());
    QCOMPARE(rig.minDeltaTemp(device), raw(70));

    // Closing with unwritten changes asks; No keeps the window, Yes ends the plug-in.
    rig.box.dialogs.answers.enqueue(MsgAnswer::No);
    QVERIFY(!rig.view.requestClose());
    QVERIFY(rig.view.isWindowVisible());
    QVERIFY(asked(rig.box.dialogs, 1428, 3));
    QVERIFY(!rig.host->ended());
    rig.box.dialogs.answers.enqueue(MsgAnswer::Yes);
    QVERIFY(rig.view.requestClose());
    QVERIFY(rig.host->ended());
    QCOMPARE(rig.minDeltaTemp(device), raw(70));
}

void TstConfigureWindow::parameterSetFilesAndCopies()
{
    DesktopRig rig;
    const int standard = int(Templates.indexOf(QStringLiteral("TQM_CM_STD"))) + 1;
    QVERIFY(rig.open(standard));
    QVERIFY(rig.view.clickButtonBarItem(QStringLiteral("0")));
    QVERIFY(rig.view.clickTab(QStringLiteral("KEY:5")));
    QVERIFY(rig.view.typeInto(TemperatureDifference, QStringLiteral("0.8")));

    // Saved through the file dialog, changed, loaded back.
    const QString file = rig.box.home.filePath(QStringLiteral("set.dat"));
    rig.box.dialogs.fileNames.enqueue(file);
    QVERIFY(rig.view.clickMenuTool({QStringLiteral("File"), QStringLiteral("SaveFile")}));
    QVERIFY(QFile::exists(file));
    QVERIFY(rig.box.dialogs.fileRequests.last().save);
    QVERIFY(rig.view.typeInto(TemperatureDifference, QStringLiteral("0.3")));
    rig.box.dialogs.answers.enqueue(MsgAnswer::Yes); // the unwritten edit may go
    rig.box.dialogs.fileNames.enqueue(file);
    QVERIFY(rig.view.clickMenuTool({QStringLiteral("File"), QStringLiteral("OpenFile")}));
    QVERIFY(asked(rig.box.dialogs, 1428, 2));
    QVERIFY(!rig.box.dialogs.fileRequests.last().save);
    QCOMPARE(rig.view.textBox(TemperatureDifference)->text(), QStringLiteral("0.8"));

    // Copied to the devices the multi-device window offers: the other standard device gets it.
    const int otherStandard = standard + int(Templates.size());
    QVERIFY(rig.minDeltaTemp(otherStandard) != raw(80));
    QVERIFY(rig.view.clickMenuTool({QStringLiteral("File"), QStringLiteral("SpreadParameters")}));
    QVERIFY(rig.offered > 0);
    QCOMPARE(rig.minDeltaTemp(otherStandard), raw(80));
    QVERIFY(rig.view.windowEnabled());
    rig.host->EndApp();
}

void TstConfigureWindow::everyFieldIsNamed_data()
{
    QTest::addColumn<int>("language");
    QTest::newRow("English") << ResStrings::English;
    QTest::newRow("German") << ResStrings::German;
}

// What a screen reader says of each input field of every page: its label, never nothing nor
// its value; the view bar's items are buttons.
void TstConfigureWindow::everyFieldIsNamed()
{
    QFETCH(int, language);
    DesktopRig rig;
    RegistryAccess registry = rig.box.registry();
    settings::writeLanguage(registry, qint16(language));
    QVERIFY(rig.open(int(Templates.indexOf(QStringLiteral("TQM_CM_STD"))) + 1));
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
                problems << QStringLiteral("page %1: %2 is named \"%3\" (value \"%4\")")
                                .arg(page)
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
void TstConfigureWindow::viewBarAndTabsByKeys()
{
    DesktopRig rig;
    QVERIFY(rig.open(int(Templates.indexOf(QStringLiteral("TQM_CM_STD"))) + 1));
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

void TstConfigureWindow::escapeCancelsEnterConfirms_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("writes");
    QTest::newRow("Escape asks about the edit") << int(Qt::Key_Escape) << true << false;
    QTest::newRow("Enter writes the edit") << int(Qt::Key_Return) << false << true;
}

void TstConfigureWindow::escapeCancelsEnterConfirms()
{
    QFETCH(int, key);
    DesktopRig rig;
    QVERIFY(rig.open(1));
    QVERIFY(QTest::qWaitForWindowActive(rig.view.window()));
    const QString before = rig.minDeltaTemp(1);
    QVERIFY(rig.view.clickTab(QStringLiteral("KEY:5")));
    QVERIFY(rig.view.typeInto(TemperatureDifference, QStringLiteral("0.7")));
    rig.box.dialogs.answers.enqueue(MsgAnswer::Yes);
    QTest::keyClick(rig.edit(TemperatureDifference), Qt::Key(key));
    QTEST(asked(rig.box.dialogs, 1428, 3), "asked");
    QVERIFY(rig.host->ended());
    QFETCH(bool, writes);
    QCOMPARE(rig.minDeltaTemp(1), writes ? raw(70) : before);
}

QTEST_MAIN(TstConfigureWindow)
#include "tst_configurewindow.moc"
