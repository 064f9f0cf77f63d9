#include "widgets/qtmainwindowview.h"

#include "base/tqmerror.h"
#include "ui/windowdesign.h"
#include "widgets/accessiblefields.h"
#include "widgets/buttonbar.h"
#include "widgets/loglistwidget.h"
#include "widgets/qtcontrols.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSet>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QToolButton>
#include <QtMath>

namespace widgets {

using ui::Element;
using ui::Rect;
namespace design = ui::design;

namespace {

const QString ViewSource = QStringLiteral("QtMainWindowView");

// Spacing of the window's own layout, in pixels.
constexpr int Margin = 8;
constexpr int LineButtonWidth = 88;

[[noreturn]] void noSuch(const QString &what)
{
    throw TqmError(TqmError::SubscriptOutOfRange, ViewSource, what);
}

int pixels(double twips)
{
    return qRound(twips / design::TwipsPerPixel);
}

double twips(int pixels)
{
    return pixels * design::TwipsPerPixel;
}

Rect twipsOf(const QRect &rect)
{
    return {twips(rect.x()), twips(rect.y()), twips(rect.width()), twips(rect.height())};
}

QRect pixelsOf(const Rect &rect)
{
    return QRect(pixels(rect.left), pixels(rect.top), pixels(rect.width), pixels(rect.height));
}

quint64 keyOf(Element element)
{
    return (quint64(element.kind) << 32) | quint32(element.id);
}

QString toolKey(const ui::MenuTool &tool)
{
    return tool.band + QLatin1Char('/') + tool.key;
}

// The picture of a view's button: message 1000 + n names the view that picture 200 + n shows.
int pictureOf(int captionTag)
{
    return 200 + (captionTag - 1000);
}

// A heading: bold text and a rule across the rest of its width.
class HeadingLabel : public QLabel
{
public:
    explicit HeadingLabel(QWidget *parent) : QLabel(parent)
    {
        QFont bold = font();
        bold.setBold(true);
        setFont(bold);
        setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QLabel::paintEvent(event);
        const int textEnd = fontMetrics().horizontalAdvance(text()) + 8;
        if (textEnd >= width())
            return;
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Mid));
        const int y = height() / 2;
        painter.drawLine(textEnd, y, width() - 1, y);
    }
};

// The frame under a tab bar that holds the page, drawn as the style draws a tab widget's pane.
class TabPane : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QStyleOptionTabWidgetFrame option;
        option.initFrom(this);
        option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
        option.shape = QTabBar::RoundedNorth;
        style()->drawPrimitive(QStyle::PE_FrameTabWidget, &option, &painter, this);
    }
};

} // namespace

// The window that the user closes and presses F1 in.
class MainWindowWidget : public QMainWindow
{
public:
    explicit MainWindowWidget(QtMainWindowView &view) : m_view(view) {}

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (m_view.m_closing || m_view.userClosing())
            event->accept();
        else
            event->ignore();
    }
    // Keys that no field took: Escape means Cancel, Enter means OK, as in a dialog.
    void keyPressEvent(QKeyEvent *event) override
    {
        if ((event->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier)) == Qt::NoModifier) {
            switch (event->key()) {
            case Qt::Key_Escape:
                m_view.clickLineButton(ui::LineButton::Cancel);
                return;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                m_view.clickLineButton(ui::LineButton::Ok);
                return;
            default:
                break;
            }
        }
        QMainWindow::keyPressEvent(event);
    }

private:
    QtMainWindowView &m_view;
};

QtMainWindowView::QtMainWindowView(bool interactive, QObject *parent)
    : ui::MainWindowView(parent), m_interactive(interactive), m_window(std::make_unique<MainWindowWidget>(*this))
{
    buildWindow();
}

QtMainWindowView::~QtMainWindowView()
{
    // The adapters and lists die with their widgets.
    m_closing = true;
}

QMainWindow *QtMainWindowView::window() const
{
    return m_window.get();
}

// ---- building ----

void QtMainWindowView::buildWindow()
{
    m_central = new QWidget(m_window.get());
    m_window->setCentralWidget(m_central);

    m_buttonBar = new ButtonBar(200, m_central);
    for (const ui::ButtonBarItem &item : design::buttonBarItems())
        m_buttonBar->addItem(item, pictureOf(item.tag));
    connect(m_buttonBar, &ButtonBar::itemClicked, this, &QtMainWindowView::buttonBarItemClicked);

    buildStrips();
    buildPages();
    buildButtonLine();
    buildMenus();

    auto *help = new QShortcut(QKeySequence(Qt::Key_F1), m_window.get());
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, &QtMainWindowView::helpRequested);
    // Ctrl+Tab and Ctrl+PgDn go to the next tab of the view, with Shift or PgUp to the one before.
    const auto tabKeys = [this](const QList<QKeySequence> &keys, int step) {
        for (const QKeySequence &key : keys) {
            auto *shortcut = new QShortcut(key, m_window.get());
            shortcut->setContext(Qt::WindowShortcut);
            connect(shortcut, &QShortcut::activated, this, [this, step] { stepTab(step); });
        }
    };
    tabKeys({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, 1);
    tabKeys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::Key_PageUp)}, -1);

    // Until the logic lays the window out, it has the design's size.
    layOutAround(design::PageWidth, design::PageHeight);
}

void QtMainWindowView::buildStrips()
{
    // Panes first, so that the tab bars lie on them and the selected tab joins its pane.
    for (Strip &s : m_strips)
        s.pane = new TabPane(m_central);
    for (int number = 0; number < ui::TabStripCount; ++number) {
        Strip &s = m_strips[number];
        s.tabs = new QTabBar(m_central);
        s.tabs->setDrawBase(false);
        s.tabs->setExpanding(false);
        s.tabs->setUsesScrollButtons(false);
        s.tabs->setElideMode(Qt::ElideNone);
        s.tabs->setFocusPolicy(Qt::TabFocus);
        for (const ui::Tab &t : design::tabs(number)) {
            s.tabs->addTab(t.caption);
            s.designed.append(t);
        }
        connect(s.tabs, &QTabBar::currentChanged, this, [this, number](int index) {
            if (m_programSelectsTab || index < 0)
                return;
            emit tabClicked(number, m_strips[number].designed.value(index).key);
        });
        // A click on the tab already chosen changes nothing in the bar, but is a click all the same.
        connect(s.tabs, &QTabBar::tabBarClicked, this, [this, number](int index) {
            if (index >= 0 && index == m_strips[number].tabs->currentIndex())
                emit tabClicked(number, m_strips[number].designed.value(index).key);
        });
    }
    showTabStrip(0);
}

QWidget *QtMainWindowView::createItemWidget(const design::Item &item, QWidget *parent)
{
    using design::Widget;
    const int index = item.element ? item.element->id : -1;
    switch (item.widget) {
    case Widget::Label:
    case Widget::Unit: {
        auto *label = new QLabel(item.fixedText, parent);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return label;
    }
    case Widget::Heading:
        return new HeadingLabel(parent);
    case Widget::Note:
    case Widget::Warning: {
        auto *label = new QLabel(parent);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (item.widget == Widget::Warning) {
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, toQColor(controls::colour::Red, palette));
            label->setPalette(palette);
            QFont bold = label->font();
            bold.setBold(true);
            label->setFont(bold);
        }
        return label;
    }
    case Widget::TextBox:
    case Widget::ReadOnlyBox: {
        auto *edit = new QLineEdit(parent);
        edit->setReadOnly(item.widget == Widget::ReadOnlyBox);
        auto *adapter = new QtTextBox(edit, index);
        m_textBoxes[index] = adapter;
        return edit;
    }
    case Widget::ComboBox: {
        auto *box = new QComboBox(parent);
        box->setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
        m_comboBoxes[index] = new QtComboBox(box, index);
        return box;
    }
    case Widget::CheckBox: {
        auto *box = new TqmCheckBoxWidget(parent);
        m_checkBoxes[index] = new QtCheckBox(box, index);
        return box;
    }
    case Widget::OptionButton: {
        auto *button = new QRadioButton(parent);
        m_optionButtons[index] = new QtOptionButton(button, index);
        return button;
    }
    case Widget::CommandButton: {
        auto *button = new QPushButton(parent);
        button->setAutoDefault(true); // Enter on the focused button presses it, not OK
        connect(button, &QPushButton::clicked, this, [this, index] { emit commandButtonClicked(index); });
        return button;
    }
    case Widget::ProgressBar: {
        auto *bar = new QProgressBar(parent);
        bar->setRange(0, item.maximum);
        bar->setValue(0);
        bar->setFormat(QString());
        bar->setAlignment(Qt::AlignCenter);
        return bar;
    }
    case Widget::Frame:
        return new QWidget(parent);
    case Widget::LogList:
        return m_logList = new LogListWidget(parent);
    case Widget::TimedList:
        return m_timedList = new LogListWidget(parent);
    }
    return new QWidget(parent);
}

void QtMainWindowView::buildPages()
{
    using Kind = Element::Kind;
    m_textBoxes.resize(design::countOf(Kind::TextBox));
    m_comboBoxes.resize(design::countOf(Kind::ComboBox));
    m_checkBoxes.resize(design::countOf(Kind::CheckBox));
    m_optionButtons.resize(design::countOf(Kind::OptionButton));
    for (int page = 0; page < ui::PageCount; ++page) {
        auto *widget = new QWidget(m_central);
        widget->setGeometry(pixelsOf(design::pageRect()));
        m_pages.append(widget);
        m_elements.insert(keyOf(Element::page(page)), widget);
    }
    for (const design::Item &item : design::items()) {
        QWidget *parent = item.in.kind == design::Container::Kind::Page
                              ? m_pages[item.in.id]
                              : m_elements.value(keyOf(Element::frame(ui::Frame(item.in.id))));
        QWidget *widget = createItemWidget(item, parent);
        widget->setGeometry(pixelsOf(item.rect));
        if (!item.visible)
            widget->setVisible(false);
        if (!item.enabled())
            widget->setEnabled(false);
        if (item.element) {
            m_elements.insert(keyOf(*item.element), widget);
            if (!item.tag.isEmpty())
                m_captionTags.append({*item.element, item.tag});
        }
        if (!item.labelledBy.isEmpty()) {
            for (const Element &label : item.labelledBy)
                m_namedBy.insert(keyOf(label), int(m_namings.size()));
            m_namings.append({widget, item.labelledBy});
            if (auto *box = qobject_cast<QComboBox *>(widget))
                exposeAsLabelledField(box);
        }
    }
    // A field with a label of its own is that label's buddy: screen readers tie the two.
    for (const Naming &naming : m_namings) {
        if (naming.labels.size() == 1) {
            if (auto *label = qobject_cast<QLabel *>(m_elements.value(keyOf(naming.labels.first()))))
                label->setBuddy(naming.field);
        }
    }
}

void QtMainWindowView::nameFieldsLabelledBy(Element label)
{
    for (int index : m_namedBy.values(keyOf(label))) {
        const Naming &naming = m_namings[index];
        QStringList parts;
        for (const Element &part : naming.labels) {
            const QString text = caption(part).remove(QLatin1Char('&')).trimmed();
            if (!text.isEmpty())
                parts.append(text);
        }
        naming.field->setAccessibleName(parts.join(QStringLiteral(": ")));
    }
}

void QtMainWindowView::buildButtonLine()
{
    m_status = new QLabel(m_central);
    m_status->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_status->setTextFormat(Qt::PlainText);
    m_status->setMargin(2);
    for (ui::LineButton button : {ui::LineButton::Ok, ui::LineButton::Cancel, ui::LineButton::Apply}) {
        auto *widget = new QPushButton(m_central);
        widget->setAutoDefault(true);
        connect(widget, &QPushButton::clicked, this, [this, button] { emit lineButtonClicked(button); });
        m_lineButtons[int(button)] = widget;
    }
}

void QtMainWindowView::buildMenus()
{
    QSet<QString> bands;
    for (const design::MenuToolDesign &designed : design::menuTools())
        bands.insert(designed.tool.band);
    // The menu of each band; a tool named after a band opens it.
    QHash<QString, QMenu *> menus;
    for (const design::MenuToolDesign &designed : design::menuTools()) {
        const ui::MenuTool tool = designed.tool;
        QAction *action = nullptr;
        if (tool.band == design::MenuBarBand || bands.contains(tool.key)) {
            QMenu *menu = tool.band == design::MenuBarBand ? m_window->menuBar()->addMenu(QString())
                                                           : menus.value(tool.band)->addMenu(QString());
            menus.insert(tool.key, menu);
            action = menu->menuAction();
        } else if (designed.isSeparator()) {
            action = menus.value(tool.band)->addSeparator();
        } else {
            action = menus.value(tool.band)->addAction(QString());
            connect(action, &QAction::triggered, this, [this, tool] { emit menuToolClicked(tool); });
        }
        m_actions.insert(toolKey(tool), action);
    }
}

// ---- lookups ----

QWidget *QtMainWindowView::elementWidget(Element element) const
{
    QWidget *widget = m_elements.value(keyOf(element));
    if (!widget)
        noSuch(QStringLiteral("The window has no element %1 of kind %2.").arg(element.id).arg(int(element.kind)));
    return widget;
}

QWidget *QtMainWindowView::widgetOf(Element element) const
{
    return m_elements.value(keyOf(element));
}

QTabBar *QtMainWindowView::tabBar(int number) const
{
    return strip(number).tabs;
}

QPushButton *QtMainWindowView::lineButton(ui::LineButton button) const
{
    return m_lineButtons[int(button)];
}

QWidget *QtMainWindowView::buttonBarItem(const QString &key) const
{
    return m_buttonBar->item(key);
}

QAction *QtMainWindowView::menuAction(const ui::MenuTool &tool) const
{
    return m_actions.value(toolKey(tool));
}

QList<QWidget *> QtMainWindowView::pageWidgets() const
{
    QList<QWidget *> list;
    for (QWidget *page : m_pages) {
        for (QWidget *child : page->findChildren<QWidget *>()) {
            if (qobject_cast<QLabel *>(child) || qobject_cast<QAbstractButton *>(child)
                || qobject_cast<QComboBox *>(child) || qobject_cast<QLineEdit *>(child))
                list.append(child);
        }
    }
    return list;
}

// ---- control arrays ----

controls::TextBoxControl *QtMainWindowView::textBox(int index) const
{
    return index >= 0 && index < m_textBoxes.size() ? m_textBoxes[index] : nullptr;
}

controls::ComboBoxControl *QtMainWindowView::comboBox(int index) const
{
    return index >= 0 && index < m_comboBoxes.size() ? m_comboBoxes[index] : nullptr;
}

controls::CheckBoxControl *QtMainWindowView::checkBox(int index) const
{
    return index >= 0 && index < m_checkBoxes.size() ? m_checkBoxes[index] : nullptr;
}

controls::OptionButtonControl *QtMainWindowView::optionButton(int index) const
{
    return index >= 0 && index < m_optionButtons.size() ? m_optionButtons[index] : nullptr;
}

// ---- elements ----

Rect QtMainWindowView::geometry(Element element) const
{
    // The twips the program gave, as long as the element is where they put it: pixels are
    // coarser than twips, and the program compares places it set (-20000 is "out of view").
    const QRect shown = elementWidget(element)->geometry();
    const auto given = m_givenGeometry.constFind(keyOf(element));
    if (given != m_givenGeometry.cend() && pixelsOf(*given) == shown)
        return *given;
    return twipsOf(shown);
}

void QtMainWindowView::move(Element element, double left, double top)
{
    Rect rect = geometry(element);
    rect.left = left;
    rect.top = top;
    setGeometry(element, rect);
}

void QtMainWindowView::setGeometry(Element element, const Rect &rect)
{
    elementWidget(element)->setGeometry(pixelsOf(rect));
    m_givenGeometry.insert(keyOf(element), rect);
}

bool QtMainWindowView::isVisible(Element element) const
{
    // The element's own state, whether or not the window or its page is on the screen.
    return !elementWidget(element)->isHidden();
}

void QtMainWindowView::setVisible(Element element, bool visible)
{
    elementWidget(element)->setVisible(visible);
}

bool QtMainWindowView::isEnabled(Element element) const
{
    return !elementWidget(element)->testAttribute(Qt::WA_ForceDisabled);
}

void QtMainWindowView::setEnabled(Element element, bool enabled)
{
    elementWidget(element)->setEnabled(enabled);
}

void QtMainWindowView::setFocus(Element element)
{
    elementWidget(element)->setFocus(Qt::OtherFocusReason);
}

QString QtMainWindowView::caption(Element element) const
{
    QWidget *widget = elementWidget(element);
    if (auto *label = qobject_cast<QLabel *>(widget))
        return label->text();
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        return button->text();
    if (auto *bar = qobject_cast<QProgressBar *>(widget))
        return bar->format();
    return m_frameCaptions.value(keyOf(element));
}

void QtMainWindowView::setCaption(Element element, const QString &caption)
{
    QWidget *widget = elementWidget(element);
    if (auto *label = qobject_cast<QLabel *>(widget))
        label->setText(caption);
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        button->setText(caption);
    else if (auto *bar = qobject_cast<QProgressBar *>(widget))
        bar->setFormat(caption);
    else
        m_frameCaptions.insert(keyOf(element), caption); // frames draw no caption of their own
    nameFieldsLabelledBy(element);
}

void QtMainWindowView::setToolTip(Element element, const QString &toolTip)
{
    elementWidget(element)->setToolTip(toolTip);
}

void QtMainWindowView::setForeColour(Element element, controls::Colour colour)
{
    auto *label = qobject_cast<QLabel *>(elementWidget(element));
    if (!label)
        return;
    m_foreColours.insert(keyOf(element), colour);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, toQColor(colour, QApplication::palette(label)));
    label->setPalette(palette);
}

controls::Colour QtMainWindowView::foreColour(Element element) const
{
    return m_foreColours.value(keyOf(element), controls::colour::WindowText);
}

QList<ui::ElementTag> QtMainWindowView::captionTags() const
{
    return m_captionTags;
}

void QtMainWindowView::setProgress(int bar, int value)
{
    auto *widget = static_cast<QProgressBar *>(elementWidget(Element::progressBar(bar)));
    widget->setValue(qBound(widget->minimum(), value, widget->maximum()));
}

int QtMainWindowView::progress(int bar) const
{
    return static_cast<QProgressBar *>(elementWidget(Element::progressBar(bar)))->value();
}

// ---- button bar ----

void QtMainWindowView::setButtonBarCaption(const QString &caption)
{
    m_buttonBar->setCaption(caption);
}

QList<ui::ButtonBarItem> QtMainWindowView::buttonBarItems() const
{
    return m_buttonBar->items();
}

void QtMainWindowView::setButtonBarItemCaption(const QString &key, const QString &caption)
{
    m_buttonBar->setItemCaption(key, caption);
}

void QtMainWindowView::removeButtonBarItem(const QString &key)
{
    m_buttonBar->removeItem(key);
}

void QtMainWindowView::selectButtonBarItem(const QString &key)
{
    m_buttonBar->select(key);
}

QString QtMainWindowView::selectedButtonBarItem() const
{
    return m_buttonBar->selected();
}

void QtMainWindowView::setButtonBarEnabled(bool enabled)
{
    m_buttonBar->setEnabled(enabled);
}

bool QtMainWindowView::buttonBarEnabled() const
{
    return !m_buttonBar->testAttribute(Qt::WA_ForceDisabled);
}

// ---- tab strips ----

QtMainWindowView::Strip &QtMainWindowView::strip(int number)
{
    if (number < 0 || number >= ui::TabStripCount)
        noSuch(QStringLiteral("The window has no tab strip %1.").arg(number));
    return m_strips[number];
}

const QtMainWindowView::Strip &QtMainWindowView::strip(int number) const
{
    return const_cast<QtMainWindowView *>(this)->strip(number);
}

void QtMainWindowView::checkPosition(int number, int position, bool insert) const
{
    const int last = strip(number).tabs->count() + (insert ? 1 : 0);
    if (position < 1 || position > last)
        noSuch(QStringLiteral("Tab strip %1 has no position %2.").arg(number).arg(position));
}

int QtMainWindowView::tabCount(int number) const
{
    return strip(number).tabs->count();
}

ui::Tab QtMainWindowView::tab(int number, int position) const
{
    checkPosition(number, position);
    const Strip &s = strip(number);
    ui::Tab t = s.designed[position - 1];
    t.caption = s.tabs->tabText(position - 1);
    t.toolTip = s.tabs->tabToolTip(position - 1);
    return t;
}

void QtMainWindowView::insertTab(int number, int position, const ui::Tab &tab)
{
    checkPosition(number, position, true);
    Strip &s = strip(number);
    m_programSelectsTab = true;
    s.tabs->insertTab(position - 1, tab.caption);
    s.tabs->setTabToolTip(position - 1, tab.toolTip);
    m_programSelectsTab = false;
    s.designed.insert(position - 1, tab);
}

void QtMainWindowView::removeTab(int number, int position)
{
    checkPosition(number, position);
    Strip &s = strip(number);
    // The list first: the bar announces its new current tab while it removes.
    s.designed.removeAt(position - 1);
    m_programSelectsTab = true;
    s.tabs->removeTab(position - 1);
    m_programSelectsTab = false;
}

void QtMainWindowView::setTabCaption(int number, int position, const QString &caption)
{
    checkPosition(number, position);
    strip(number).tabs->setTabText(position - 1, caption);
}

void QtMainWindowView::setTabToolTip(int number, int position, const QString &toolTip)
{
    checkPosition(number, position);
    strip(number).tabs->setTabToolTip(position - 1, toolTip);
}

int QtMainWindowView::selectedTab(int number) const
{
    return strip(number).tabs->currentIndex() + 1;
}

void QtMainWindowView::selectTab(int number, int position)
{
    checkPosition(number, position);
    m_programSelectsTab = true;
    strip(number).tabs->setCurrentIndex(position - 1);
    m_programSelectsTab = false;
}

Rect QtMainWindowView::clientArea(int number) const
{
    const Strip &s = strip(number);
    const QRect pane = s.pane->geometry();
    const int frame = s.pane->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, s.pane);
    const int pageWidth = pixels(m_pageWidth);
    // A pane wider than a page (for long tab captions) holds the page in its middle.
    const int left = pane.left() + qMax(frame, (pane.width() - pageWidth) / 2);
    const int top = pane.top() + frame;
    return twipsOf(QRect(left, top, pageWidth, pane.height() - 2 * frame));
}

void QtMainWindowView::showTabStrip(int number)
{
    strip(number);
    for (int i = 0; i < ui::TabStripCount; ++i) {
        m_strips[i].tabs->setVisible(i == number);
        m_strips[i].pane->setVisible(i == number);
    }
    m_visibleStrip = number;
}

int QtMainWindowView::visibleTabStrip() const
{
    return m_visibleStrip;
}

// ---- menu bar ----

QAction *QtMainWindowView::action(const ui::MenuTool &tool) const
{
    QAction *found = m_actions.value(toolKey(tool));
    if (!found)
        noSuch(QStringLiteral("The menu has no tool %1/%2.").arg(tool.band, tool.key));
    return found;
}

QString QtMainWindowView::menuToolCaption(const ui::MenuTool &tool) const
{
    return action(tool)->text();
}

void QtMainWindowView::setMenuToolCaption(const ui::MenuTool &tool, const QString &caption)
{
    QAction *a = action(tool);
    if (a->menu())
        a->menu()->setTitle(caption);
    else
        a->setText(caption);
}

bool QtMainWindowView::menuToolVisible(const ui::MenuTool &tool) const
{
    return action(tool)->isVisible();
}

void QtMainWindowView::setMenuToolVisible(const ui::MenuTool &tool, bool visible)
{
    action(tool)->setVisible(visible);
}

bool QtMainWindowView::menuToolEnabled(const ui::MenuTool &tool) const
{
    return action(tool)->isEnabled();
}

void QtMainWindowView::setMenuToolEnabled(const ui::MenuTool &tool, bool enabled)
{
    action(tool)->setEnabled(enabled);
}

bool QtMainWindowView::menuToolChecked(const ui::MenuTool &tool) const
{
    return action(tool)->isChecked();
}

void QtMainWindowView::setMenuToolChecked(const ui::MenuTool &tool, bool checked)
{
    QAction *a = action(tool);
    a->setCheckable(checked || a->isCheckable());
    a->setChecked(checked);
}

// ---- button line and status ----

void QtMainWindowView::setLineButtonCaption(ui::LineButton button, const QString &caption)
{
    m_lineButtons[int(button)]->setText(caption);
}

bool QtMainWindowView::lineButtonEnabled(ui::LineButton button) const
{
    return !m_lineButtons[int(button)]->testAttribute(Qt::WA_ForceDisabled);
}

void QtMainWindowView::setLineButtonEnabled(ui::LineButton button, bool enabled)
{
    m_lineButtons[int(button)]->setEnabled(enabled);
}

QString QtMainWindowView::statusText() const
{
    return m_status->text();
}

void QtMainWindowView::setStatusText(const QString &text)
{
    m_status->setText(text);
    // Long operations report their progress here while they keep the event loop waiting.
    if (m_status->isVisible())
        m_status->repaint();
}

// ---- the window ----

QString QtMainWindowView::windowCaption() const
{
    return m_window->windowTitle();
}

void QtMainWindowView::setWindowCaption(const QString &caption)
{
    m_window->setWindowTitle(caption);
}

Rect QtMainWindowView::windowGeometry() const
{
    const QRect shown = m_window->frameGeometry();
    if (m_givenWindowGeometry && pixelsOf(*m_givenWindowGeometry) == shown)
        return *m_givenWindowGeometry;
    return twipsOf(shown);
}

void QtMainWindowView::setWindowGeometry(const Rect &rect)
{
    // The window's size follows from its pages; a host that asks for another one gets it (the
    // window keeps it: it is not for the user to resize).
    const QRect outer = pixelsOf(rect);
    const QRect frame = m_window->frameGeometry();
    const QSize margins = frame.size() - m_window->size();
    if (outer.size() != frame.size())
        m_window->setFixedSize(outer.size() - margins);
    m_window->move(outer.topLeft());
    m_givenWindowGeometry = rect;
}

QList<Rect> QtMainWindowView::screenAreas() const
{
    QList<Rect> areas;
    for (const QScreen *screen : QGuiApplication::screens())
        areas.append(twipsOf(screen->availableGeometry()));
    return areas;
}

WindowState QtMainWindowView::windowState() const
{
    const Qt::WindowStates state = m_window->windowState();
    if (state & Qt::WindowMinimized)
        return WindowState::Minimized;
    if (state & Qt::WindowMaximized)
        return WindowState::Maximized;
    return WindowState::Normal;
}

void QtMainWindowView::setWindowState(WindowState state)
{
    switch (state) {
    case WindowState::Minimized:
        m_window->setWindowState(Qt::WindowMinimized);
        break;
    case WindowState::Maximized:
        m_window->setWindowState(Qt::WindowMaximized);
        break;
    case WindowState::Normal:
        m_window->setWindowState(Qt::WindowNoState);
        break;
    }
}

void QtMainWindowView::showWindow()
{
    m_window->show();
    m_window->raise();
}

void QtMainWindowView::hideWindow()
{
    m_window->hide();
}

bool QtMainWindowView::isWindowVisible() const
{
    return m_window->isVisible();
}

void QtMainWindowView::closeWindow()
{
    m_closing = true;
    m_window->close();
}

bool QtMainWindowView::userClosing()
{
    bool cancel = false;
    emit closeRequested(&cancel);
    return !cancel;
}

void QtMainWindowView::setWindowEnabled(bool enabled)
{
    m_window->setEnabled(enabled);
}

bool QtMainWindowView::windowEnabled() const
{
    return !m_window->testAttribute(Qt::WA_ForceDisabled);
}

void QtMainWindowView::refresh()
{
    m_window->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// ---- layout and theme ----

void QtMainWindowView::setBackgroundColour(controls::Colour colour, const QStringList &kinds)
{
    // Labels, check boxes and option buttons draw on their page; the pages and the panes
    // around them are the frames that take the colour.
    if (!kinds.contains(QStringLiteral("frame")))
        return;
    m_background = colour;
    paintBackground();
}

void QtMainWindowView::paintBackground()
{
    // A system colour asks for the colour that suits the desktop's theme: on the desktop that
    // is the style's own tab page, so the pages let their pane show through. A colour of its
    // own is painted.
    const bool themed = m_background & 0x80000000u;
    const QColor colour = toQColor(m_background, QApplication::palette(m_central));
    for (QWidget *page : m_pages) {
        page->setAutoFillBackground(!themed);
        QPalette palette = page->palette();
        palette.setColor(QPalette::Window, colour);
        page->setPalette(palette);
    }
}

void QtMainWindowView::layOutAround(double pageWidth, double pageHeight)
{
    m_pageWidth = pageWidth;
    m_pageHeight = pageHeight;
    const int page = pixels(pageWidth);
    const int pageTall = pixels(pageHeight);
    QStyle *style = m_central->style();
    const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, m_strips[0].pane);
    const int overlap = style->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, m_strips[0].tabs);

    // The strips are as wide as a page, or as their tabs when these need more.
    int tabsWidth = 0;
    int tabsHeight = 0;
    for (const Strip &s : m_strips) {
        tabsWidth = qMax(tabsWidth, s.tabs->sizeHint().width());
        tabsHeight = qMax(tabsHeight, s.tabs->sizeHint().height());
    }
    const int barWidth = m_buttonBar->neededWidth();
    const int stripLeft = Margin + barWidth + Margin;
    const int stripWidth = qMax(page + 2 * frame, tabsWidth + 2 * Margin);
    const int paneTop = Margin + tabsHeight - overlap;
    const int paneHeight = pageTall + 2 * frame;
    for (Strip &s : m_strips) {
        s.tabs->setGeometry(stripLeft + Margin / 2, Margin, stripWidth - Margin, tabsHeight);
        s.pane->setGeometry(stripLeft, paneTop, stripWidth, paneHeight);
    }
    const int paneBottom = paneTop + paneHeight;
    m_buttonBar->setGeometry(Margin, Margin, barWidth, paneBottom - Margin);

    // The button line: the status text, then OK, Cancel and Apply at the right.
    int buttonHeight = 0;
    int buttonWidth = LineButtonWidth;
    for (QPushButton *button : m_lineButtons) {
        buttonHeight = qMax(buttonHeight, button->sizeHint().height());
        buttonWidth = qMax(buttonWidth, button->sizeHint().width());
    }
    const int lineTop = paneBottom + Margin;
    const int right = stripLeft + stripWidth;
    for (int i = 0; i < 3; ++i) {
        const int left = right - (3 - i) * buttonWidth - (2 - i) * (Margin / 2);
        m_lineButtons[i]->setGeometry(left, lineTop, buttonWidth, buttonHeight);
    }
    const int statusRight = m_lineButtons[0]->geometry().left() - Margin;
    m_status->setGeometry(Margin, lineTop, statusRight - Margin, buttonHeight);

    // The pages lie stacked in the client area, as the page selection puts them.
    const QRect client = pixelsOf(clientArea(m_visibleStrip));
    for (QWidget *pageWidget : m_pages) {
        pageWidget->setGeometry(client.left(), client.top(), page, pageTall);
        pageWidget->raise();
    }
    for (const Strip &s : m_strips)
        s.tabs->raise();

    m_central->setFixedSize(right + Margin, lineTop + buttonHeight + Margin);
    m_window->setFixedSize(m_window->sizeHint());
    paintBackground();
}

// ---- what a user does ----

bool QtMainWindowView::clickTab(const QString &key)
{
    if (!m_window->isVisible() || !m_window->isEnabled())
        return false;
    Strip &s = m_strips[m_visibleStrip];
    for (int i = 0; i < s.designed.size(); ++i) {
        if (s.designed[i].key != key)
            continue;
        if (s.tabs->currentIndex() == i)
            emit tabClicked(m_visibleStrip, key); // the bar raises nothing for its current tab
        else
            s.tabs->setCurrentIndex(i);
        return true;
    }
    return false;
}

void QtMainWindowView::stepTab(int step)
{
    QTabBar *tabs = m_strips[m_visibleStrip].tabs;
    const int count = tabs->count();
    if (count < 2 || !m_window->isEnabled())
        return;
    tabs->setCurrentIndex((tabs->currentIndex() + step + count) % count);
}

bool QtMainWindowView::clickButtonBarItem(const QString &key)
{
    QToolButton *item = m_buttonBar->item(key);
    if (!item || !item->isVisible() || !item->isEnabled())
        return false;
    item->click();
    return true;
}

bool QtMainWindowView::clickMenuTool(const ui::MenuTool &tool)
{
    QAction *a = m_actions.value(toolKey(tool));
    if (!a || !m_window->isVisible() || !m_window->isEnabled() || !a->isVisible() || !a->isEnabled())
        return false;
    a->trigger();
    return true;
}

bool QtMainWindowView::clickLineButton(ui::LineButton button)
{
    QPushButton *widget = m_lineButtons[int(button)];
    if (!widget->isVisible() || !widget->isEnabled())
        return false;
    widget->click();
    return true;
}

bool QtMainWindowView::clickCommandButton(int index)
{
    auto *button = qobject_cast<QPushButton *>(widgetOf(Element::commandButton(index)));
    if (!button || !button->isVisible() || !button->isEnabled())
        return false;
    button->click();
    return true;
}

bool QtMainWindowView::typeInto(int textBox, const QString &text)
{
    auto *edit = qobject_cast<QLineEdit *>(widgetOf(Element::textBox(textBox)));
    if (!edit || !edit->isVisible() || !edit->isEnabled())
        return false;
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(edit, &press);
        QCoreApplication::sendEvent(edit, &release);
    }
    return true;
}

bool QtMainWindowView::requestClose()
{
    return m_window->close();
}

LogView *QtMainWindowView::loggerList()
{
    return m_logList;
}

LogView *QtMainWindowView::timedList()
{
    return m_timedList;
}

} // namespace widgets
