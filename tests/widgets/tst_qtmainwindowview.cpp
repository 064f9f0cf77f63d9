// The Qt main window: its design has room for every caption in both languages and no two
// controls that show together overlap; it behaves as the in-memory view built from the same
// design does (what the program does raises nothing, what a user does raises the seam's
// notifications); geometry is in twips.

#include "ui/windowrig.h"
#include "strings/resstrings.h"
#include "ui/captions.h"
#include "ui/memorymainwindowview.h"
#include "widgets/qtmainwindowview.h"
#include "ui/windowdesign.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTest>

using namespace ui;
namespace design = ui::design;

namespace {

// Captions from the design tags, as the window's logic loads them.
void loadCaptions(MainWindowView &view)
{
    LoadResStringsToForm(view, true);
    LoadResStringsToButtons(view);
}

// Every text a combo box is given in the session's language: what the window's logic puts into
// it on every template, the fan positions also with the most fan levels.
QList<QStringList> choiceLists(int language)
{
    QList<QStringList> lists(19);
    for (int device = 1; device <= 6; ++device) {
        WindowRig rig;
        setLanguage(language);
        rig.open(QStringLiteral("CM 1.0%1").arg(device));
        controls::MemoryComboBox *levels = rig.view.comboBox(4);
        for (const bool mostLevels : {false, true}) {
            if (mostLevels)
                levels->setListIndex(levels->count() - 1);
            for (int box = 0; box < lists.size(); ++box) {
                for (int i = 0; i < rig.view.comboBox(box)->count(); ++i)
                    lists[box].append(rig.view.comboBox(box)->itemText(i));
            }
        }
    }
    return lists;
}

// What does not fit into its widget, one line each.
QStringList tooSmall(widgets::QtMainWindowView &view)
{
    QStringList problems;
    const auto check = [&problems](QWidget *widget, QSize needed) {
        if (needed.width() > widget->width() || needed.height() > widget->height())
            problems << QStringLiteral("%1 \"%2\" needs %3x%4, has %5x%6")
                            .arg(QLatin1String(widget->metaObject()->className()), widget->property("text").toString())
                            .arg(needed.width()).arg(needed.height()).arg(widget->width()).arg(widget->height());
    };
    for (QWidget *widget : view.pageWidgets()) {
        if (auto *label = qobject_cast<QLabel *>(widget)) {
            check(label, label->wordWrap() ? QSize(0, label->heightForWidth(label->width())) : label->sizeHint());
        } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
            check(button, button->sizeHint());
        } else if (auto *box = qobject_cast<QComboBox *>(widget)) {
            QStyleOptionComboBox option;
            option.initFrom(box);
            const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                             QStyle::SC_ComboBoxEditField, box);
            for (int i = 0; i < box->count(); ++i) {
                const int needed = box->fontMetrics().horizontalAdvance(box->itemText(i)) + 4;
                if (needed > field.width())
                    problems << QStringLiteral("combo box item \"%1\" needs %2, has %3").arg(box->itemText(i))
                                    .arg(needed).arg(field.width());
            }
        }
    }
    return problems;
}

// The notifications of a view, one line each.
class Heard
{
public:
    explicit Heard(MainWindowView &view)
    {
        QObject::connect(&view, &MainWindowView::commandButtonClicked, [this](int i) { lines << QStringLiteral("button %1").arg(i); });
        QObject::connect(&view, &MainWindowView::buttonBarItemClicked, [this](const QString &key) { lines << "view " + key; });
        QObject::connect(&view, &MainWindowView::tabClicked,
                         [this](int strip, const QString &key) { lines << QStringLiteral("tab %1 %2").arg(strip).arg(key); });
        QObject::connect(&view, &MainWindowView::menuToolClicked,
                         [this](const MenuTool &tool) { lines << "menu " + tool.band + "/" + tool.key; });
        QObject::connect(&view, &MainWindowView::lineButtonClicked,
                         [this](LineButton button) { lines << QStringLiteral("line %1").arg(int(button)); });
        QObject::connect(&view, &MainWindowView::helpRequested, [this] { lines << "help"; });
        QObject::connect(&view, &MainWindowView::closeRequested, [this](bool *cancel) {
            lines << "close";
            *cancel = refuseClose;
        });
    }
    QStringList lines;
    bool refuseClose = false;
};

// Both views in the same state: shown, with captions, page 0 in the client area of strip 0.
struct Views
{
    Views()
    {
        for (MainWindowView *view : both()) {
            loadCaptions(*view);
            view->layOutAround(design::PageWidth, design::PageHeight);
            view->showWindow();
        }
        selectPage(0);
        qt.window()->activateWindow();
    }
    QList<MainWindowView *> both() { return {&qt, &memory}; }
    // The logic's page selection: the page into the client area and shown, the others hidden.
    void selectPage(int shown)
    {
        for (MainWindowView *view : both()) {
            const Rect area = view->clientArea(view->visibleTabStrip());
            for (int page = 0; page < PageCount; ++page) {
                view->move(Element::page(page), area.left, area.top);
                view->setVisible(Element::page(page), page == shown);
            }
        }
    }
    widgets::QtMainWindowView qt;
    MemoryMainWindowView memory;
};

QStringList tabKeysOf(const MainWindowView &view, int strip)
{
    QStringList keys;
    for (int position = 1; position <= view.tabCount(strip); ++position)
        keys << view.tab(strip, position).key;
    return keys;
}

// The state both views must agree on after every step.
QString stateOf(const MainWindowView &view)
{
    QStringList parts;
    for (int strip = 0; strip < TabStripCount; ++strip)
        parts << tabKeysOf(view, strip).join(',') + QStringLiteral("@%1").arg(view.selectedTab(strip));
    return parts.join(' ') + QStringLiteral(" strip %1 view %2 of %3 shown %4").arg(view.visibleTabStrip())
                                 .arg(view.selectedButtonBarItem()).arg(view.buttonBarItems().size())
                                 .arg(view.isWindowVisible());
}

} // namespace

class TstQtMainWindowView : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { setLanguage(ResStrings::English); }

    void everyCaptionFits_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("English") << ResStrings::English;
        QTest::newRow("German") << ResStrings::German;
    }

    void everyCaptionFits()
    {
        QFETCH(int, language);
        const QList<QStringList> choices = choiceLists(language);
        widgets::QtMainWindowView view;
        loadCaptions(view);
        for (int box = 0; box < choices.size(); ++box) {
            QVERIFY2(!choices[box].isEmpty(), qPrintable(QString::number(box)));
            for (const QString &text : choices[box])
                view.comboBox(box)->addItem(text);
        }
        view.layOutAround(design::PageWidth, design::PageHeight);
        const QStringList problems = tooSmall(view);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));

        for (const ButtonBarItem &item : view.buttonBarItems()) {
            QWidget *button = view.buttonBarItem(item.key);
            QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(item.key));
            QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
        }
        for (LineButton button : {LineButton::Ok, LineButton::Cancel, LineButton::Apply})
            QVERIFY(view.lineButton(button)->sizeHint().width() <= view.lineButton(button)->width());

        // The pages fill the client area of every strip, below its tabs and above the button line.
        for (int strip = 0; strip < TabStripCount; ++strip) {
            QVERIFY(view.tabBar(strip)->sizeHint().width() <= view.tabBar(strip)->width());
            const Rect area = view.clientArea(strip);
            QCOMPARE(area.width, design::PageWidth);
            QVERIFY(area.height >= design::PageHeight);
            QVERIFY(area.top >= view.tabBar(strip)->geometry().bottom() * design::TwipsPerPixel - 45);
            QVERIFY((area.left + area.width) / design::TwipsPerPixel <= view.window()->centralWidget()->width());
            const int okTop = view.lineButton(LineButton::Ok)->geometry().top();
            QVERIFY(okTop * design::TwipsPerPixel >= area.top + area.height);
        }
    }

    void nothingOverlapsWhatShowsWithIt()
    {
        const QList<design::Item> &items = design::items();
        const auto frameRect = [&items](design::Container container) {
            const auto frame = std::find_if(items.cbegin(), items.cend(), [&container](const design::Item &item) {
                return item.element == Element::frame(Frame(container.id));
            });
            return frame == items.cend() ? Rect{} : frame->rect;
        };
        const auto name = [](const design::Item &item) {
            return item.element ? QStringLiteral("element %1/%2").arg(int(item.element->kind)).arg(item.element->id)
                                : QStringLiteral("\"%1\"").arg(item.fixedText);
        };
        const auto area = [](const Rect &r) { return QRectF(r.left, r.top, r.width, r.height); };
        QStringList problems;
        for (int i = 0; i < items.size(); ++i) {
            const design::Item &a = items[i];
            const Rect room = a.in.kind == design::Container::Kind::Page ? Rect{0, 0, design::PageWidth, design::PageHeight}
                                                                         : frameRect(a.in);
            const QRectF own = area(a.rect);
            if (!QRectF(0, 0, room.width, room.height).contains(own))
                problems << name(a) + QStringLiteral(" leaves its place");
            for (int j = i + 1; j < items.size(); ++j) {
                const design::Item &b = items[j];
                if (b.in == a.in && a.mayShowWith(b) && own.intersects(area(b.rect)))
                    problems << name(a) + QStringLiteral(" and ") + name(b) + QStringLiteral(" overlap");
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    // Steps of the program, which raise nothing: "insert S P KEY", "remove S P", "select S P",
    // "show S", "view KEY" (select a button-bar item), "drop KEY" (remove one), "shut" (close the
    // window: the logic asked before). Steps of a user, with mouse and keys on the Qt window: "tab
    // KEY" (on the visible strip), "click KEY" (a button-bar item), "menu KEY", "line N", "button
    // N", "F1", "close" (asks the logic, which keeps the window); "page N" shows page N as the
    // logic does, "disable" turns the window off.
    void stepsAsInMemory_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("hide and show a tab again") << QStringList{"select 0 2", "remove 0 2", "insert 0 2 KEY:1"};
        QTest::newRow("removing the selected last tab selects the one before")
            << QStringList{"select 2 3", "remove 2 3", "remove 2 1"};
        QTest::newRow("an emptied strip selects the first tab put back")
            << QStringList{"remove 1 1", "insert 1 1 KEY:4", "show 1"};
        QTest::newRow("views by the program") << QStringList{"view 2", "drop 1", "view 0", "show 2"};
        QTest::newRow("tabs") << QStringList{"tab KEY:5", "tab KEY:6", "tab KEY:6", "tab KEY:0"};
        QTest::newRow("views by the user") << QStringList{"click 2", "click 1", "click 1"};
        QTest::newRow("menu tools") << QStringList{"menu SaveFile", "menu German", "menu About", "menu Quit"};
        QTest::newRow("button line") << QStringList{"line 0", "line 1", "line 2"};
        QTest::newRow("command buttons of the shown page") << QStringList{"page 2", "button 0", "button 2"};
        QTest::newRow("help key") << QStringList{"F1"};
        QTest::newRow("a disabled window takes nothing") << QStringList{"disable", "tab KEY:5", "click 2", "line 0"};
        QTest::newRow("closing") << QStringList{"close", "shut"};
    }

    void stepsAsInMemory()
    {
        QFETCH(QStringList, steps);
        Views views;
        widgets::QtMainWindowView &qt = views.qt;
        MemoryMainWindowView &memory = views.memory;
        QVERIFY(QTest::qWaitForWindowActive(qt.window()));
        Heard qtHeard(qt);
        Heard memoryHeard(memory);
        using Step = std::function<void(MainWindowView &, const QStringList &)>;
        const QHash<QString, Step> program{
            {"insert", [](auto &v, const auto &w) { v.insertTab(w[1].toInt(), w[2].toInt(), {w[3], w[3], {}, {}}); }},
            {"remove", [](auto &v, const auto &w) { v.removeTab(w[1].toInt(), w[2].toInt()); }},
            {"select", [](auto &v, const auto &w) { v.selectTab(w[1].toInt(), w[2].toInt()); }},
            {"show", [](auto &v, const auto &w) { v.showTabStrip(w[1].toInt()); }},
            {"view", [](auto &v, const auto &w) { v.selectButtonBarItem(w[1]); }},
            {"drop", [](auto &v, const auto &w) { v.removeButtonBarItem(w[1]); }},
            {"disable", [](auto &v, const auto &) { v.setWindowEnabled(false); }},
            {"shut", [](auto &v, const auto &) { v.closeWindow(); }}};
        const auto clickOn = [](QWidget *w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); };
        for (const QString &step : steps) {
            const QStringList w = step.split(QLatin1Char(' '));
            const qsizetype heardBefore = qtHeard.lines.size();
            for (MainWindowView *view : views.both())
                program.value(w[0], [](MainWindowView &, const QStringList &) {})(*view, w);
            if (w[0] == QLatin1String("page")) {
                views.selectPage(w[1].toInt());
            } else if (w[0] == QLatin1String("tab")) {
                QTabBar *tabs = qt.tabBar(qt.visibleTabStrip());
                const int index = int(tabKeysOf(qt, qt.visibleTabStrip()).indexOf(w[1]));
                QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
                memory.clickTab(w[1]);
            } else if (w[0] == QLatin1String("click")) {
                clickOn(qt.buttonBarItem(w[1]));
                memory.clickButtonBarItem(w[1]);
            } else if (w[0] == QLatin1String("menu")) {
                qt.menuAction({memory.bandOf(w[1]), w[1]})->trigger(); // what choosing it from its opened menu does
                memory.clickMenuTool(w[1]);
            } else if (w[0] == QLatin1String("line")) {
                clickOn(qt.lineButton(LineButton(w[1].toInt())));
                memory.clickLineButton(LineButton(w[1].toInt()));
            } else if (w[0] == QLatin1String("button")) {
                clickOn(qt.widgetOf(Element::commandButton(w[1].toInt())));
                memory.clickCommandButton(w[1].toInt());
            } else if (w[0] == QLatin1String("close")) {
                qtHeard.refuseClose = memoryHeard.refuseClose = true;
                QVERIFY(!qt.window()->close() && !memory.requestClose());
            } else if (w[0] == QLatin1String("F1")) {
                QTest::keyClick(qt.window(), Qt::Key_F1);
                memory.pressF1();
            }
            QCOMPARE(stateOf(qt), stateOf(memory));
            if (program.contains(w[0]))
                QCOMPARE(qtHeard.lines.size(), heardBefore);
        }
        QCOMPARE(qtHeard.lines, memoryHeard.lines);
    }

    void geometryIsInTwips()
    {
        widgets::QtMainWindowView view;
        const Element frame = Element::frame(Frame::MonitorFanSpeed);
        view.move(frame, 360, 1500);
        QCOMPARE(view.widgetOf(frame)->pos(), QPoint(24, 100));
        // Out of view, as hidden frames are put: the program finds them where it put them, to the
        // twip, though pixels are coarser.
        view.move(frame, -20000, 1507);
        QCOMPARE(QPointF(view.geometry(frame).left, view.geometry(frame).top), QPointF(-20000, 1507));
        view.setGeometry(Element::page(3), {600, 450, 5100, 7050});
        QCOMPARE(view.widgetOf(Element::page(3))->geometry(), QRect(40, 30, 340, 470));

        // Visible and enabled are the element's own, also inside a hidden frame.
        view.setVisible(frame, false);
        view.setEnabled(frame, false);
        QVERIFY(!view.isVisible(frame) && !view.isEnabled(frame));
        QVERIFY(view.isVisible(Element::textBox(7)) && view.isEnabled(Element::textBox(7)));

        const Element result = Element::label(labels::KnobResult);
        view.setForeColour(result, 0x008000);
        QCOMPARE(view.foreColour(result), controls::Colour(0x008000));
        QCOMPARE(view.widgetOf(result)->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    }

    // A page's widgets, made when the page is first needed, take the design's keyboard order
    // (before the button line), whichever page comes first.
    void keyboardOrderFollowsTheDesign()
    {
        QStringList orders[2];
        for (int reversed = 0; reversed < 2; ++reversed) {
            widgets::QtMainWindowView view;
            for (int i = 0; i < PageCount; ++i)
                view.widgetOf(Element::page(reversed ? PageCount - 1 - i : i));
            QWidget *ok = view.lineButton(LineButton::Ok);
            for (QWidget *w = view.window()->nextInFocusChain(); w != ok; w = w->nextInFocusChain()) {
                for (int page = 0; page < PageCount && (w->focusPolicy() & Qt::TabFocus); ++page) {
                    if (view.widgetOf(Element::page(page))->isAncestorOf(w))
                        orders[reversed] << QStringLiteral("%1 %2 %3,%4").arg(page).arg(QLatin1String(w->metaObject()->className())).arg(w->x()).arg(w->y());
                }
            }
        }
        QCOMPARE(orders[1], orders[0]);
        QVERIFY(orders[0].size() >= 15 + 19 + 2 + 3 + CommandButtonCount);
    }

    void loggerShowsColouredLinesNewestVisible()
    {
        widgets::QtMainWindowView view;
        view.widgetOf(Element::page(6)); // the lists come with their page
        auto *list = qobject_cast<QListWidget *>(dynamic_cast<QWidget *>(view.loggerList()));
        QVERIFY(list);
        const QString cause = QStringLiteral("CM 3.03 / CommandModule / nciFanSpeedOn (INI entry FanSpeedOn): Device \"CM 3.03\" does not respond.");
        for (int i = 0; i < 200; ++i)
            view.loggerList()->addLine({i == 199 ? cause : QStringLiteral("line %1").arg(i), i == 199 ? logcolour::Red : logcolour::DarkGreen, 0});
        QCOMPARE(list->item(199)->foreground().color(), QColor(255, 0, 0));
        QCOMPARE(list->item(0)->foreground().color(), QColor(0, 128, 0));
        list->show();
        QVERIFY(list->visualItemRect(list->item(199)).intersects(list->viewport()->rect()));
        QVERIFY(view.timedList() != view.loggerList());

        // The long line is shown whole (wrapped, never elided), and is its own tool tip.
        const QRect shown = list->visualItemRect(list->item(199));
        const QRect needed = list->fontMetrics().boundingRect(QRect(0, 0, shown.width() - 4, 100000), Qt::TextWordWrap, cause);
        QVERIFY2(needed.height() <= shown.height() && shown.right() <= list->viewport()->width(),
                 qPrintable(QStringLiteral("needs %1 px, has %2").arg(needed.height()).arg(shown.height())));
        QCOMPARE(list->item(199)->toolTip(), cause);

        // Selected lines go to the clipboard with Ctrl+C.
        list->item(198)->setSelected(true);
        list->item(199)->setSelected(true);
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("line 198\n") + cause + QLatin1Char('\n'));
    }
};

QTEST_MAIN(TstQtMainWindowView)
#include "tst_qtmainwindowview.moc"
