#include "widgets/qtwindowparts.h"

#include "ui/windowdesign.h"
#include "widgets/buttonbar.h"
#include "widgets/qtviewsupport.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QToolButton>

namespace widgets {

using ui::Rect;
using namespace qtview;
namespace design = ui::design;

namespace {

constexpr int LineButtonWidth = 88;

QString toolKey(const ui::MenuTool &tool)
{
    return tool.band + QLatin1Char('/') + tool.key;
}

// The picture of a view's button: message 1000 + n names the view that picture 200 + n shows.
int pictureOf(int captionTag)
{
    return 200 + (captionTag - 1000);
}

} // namespace

// The window that the user closes and presses F1 in.
class MainWindowWidget : public QMainWindow
{
public:
    explicit MainWindowWidget(QtTopLevel &top) : m_top(top) {}

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (m_top.m_closing || m_top.userClosing())
            event->accept();
        else
            event->ignore();
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        if ((event->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier)) == Qt::NoModifier) {
            switch (event->key()) {
            case Qt::Key_Escape:
                m_top.m_dialogKey(ui::LineButton::Cancel);
                return;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                m_top.m_dialogKey(ui::LineButton::Ok);
                return;
            default:
                break;
            }
        }
        QMainWindow::keyPressEvent(event);
    }

private:
    QtTopLevel &m_top;
};

// ---- the window ----

QtTopLevel::QtTopLevel(bool interactive, ui::MainWindowView &view)
    : m_view(view), m_interactive(interactive), m_dialogKey([](ui::LineButton) {}),
      m_window(std::make_unique<MainWindowWidget>(*this)), m_central(new QWidget(m_window.get()))
{
    m_window->setCentralWidget(m_central);
}

QtTopLevel::~QtTopLevel()
{
    // The other parts' widgets die with the window.
    m_closing = true;
}

QMainWindow *QtTopLevel::window() const
{
    return m_window.get();
}

QString QtTopLevel::windowCaption() const
{
    return m_window->windowTitle();
}

void QtTopLevel::setWindowCaption(const QString &caption)
{
    m_window->setWindowTitle(caption);
}

Rect QtTopLevel::windowGeometry() const
{
    const QRect shown = m_window->frameGeometry();
    if (m_givenWindowGeometry && pixelsOf(*m_givenWindowGeometry) == shown)
        return *m_givenWindowGeometry;
    return twipsOf(shown);
}

void QtTopLevel::setWindowGeometry(const Rect &rect)
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

QList<Rect> QtTopLevel::screenAreas() const
{
    QList<Rect> areas;
    for (const QScreen *screen : QGuiApplication::screens())
        areas.append(twipsOf(screen->availableGeometry()));
    return areas;
}

WindowState QtTopLevel::windowState() const
{
    const Qt::WindowStates state = m_window->windowState();
    if (state & Qt::WindowMinimized)
        return WindowState::Minimized;
    if (state & Qt::WindowMaximized)
        return WindowState::Maximized;
    return WindowState::Normal;
}

void QtTopLevel::setWindowState(WindowState state)
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

void QtTopLevel::showWindow()
{
    m_window->show();
    m_window->raise();
}

void QtTopLevel::hideWindow()
{
    m_window->hide();
}

bool QtTopLevel::isWindowVisible() const
{
    return m_window->isVisible();
}

void QtTopLevel::closeWindow()
{
    m_closing = true;
    m_window->close();
}

bool QtTopLevel::userClosing()
{
    bool cancel = false;
    emit m_view.closeRequested(&cancel);
    return !cancel;
}

void QtTopLevel::setWindowEnabled(bool enabled)
{
    m_window->setEnabled(enabled);
}

bool QtTopLevel::windowEnabled() const
{
    return !m_window->testAttribute(Qt::WA_ForceDisabled);
}

void QtTopLevel::refresh()
{
    m_window->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// ---- button bar ----

QtButtonBar::QtButtonBar(QWidget *parent, ui::MainWindowView &view) : m_bar(new ButtonBar(200, parent))
{
    for (const ui::ButtonBarItem &item : design::buttonBarItems())
        m_bar->addItem(item, pictureOf(item.tag));
    QObject::connect(m_bar, &ButtonBar::itemClicked, &view, &ui::MainWindowView::buttonBarItemClicked);
}

void QtButtonBar::setButtonBarCaption(const QString &caption)
{
    m_bar->setCaption(caption);
}

QList<ui::ButtonBarItem> QtButtonBar::buttonBarItems() const
{
    return m_bar->items();
}

void QtButtonBar::setButtonBarItemCaption(const QString &key, const QString &caption)
{
    m_bar->setItemCaption(key, caption);
}

void QtButtonBar::removeButtonBarItem(const QString &key)
{
    m_bar->removeItem(key);
}

void QtButtonBar::selectButtonBarItem(const QString &key)
{
    m_bar->select(key);
}

QString QtButtonBar::selectedButtonBarItem() const
{
    return m_bar->selected();
}

void QtButtonBar::setButtonBarEnabled(bool enabled)
{
    m_bar->setEnabled(enabled);
}

bool QtButtonBar::buttonBarEnabled() const
{
    return !m_bar->testAttribute(Qt::WA_ForceDisabled);
}

QWidget *QtButtonBar::buttonBarItem(const QString &key) const
{
    return m_bar->item(key);
}

bool QtButtonBar::clickButtonBarItem(const QString &key)
{
    QToolButton *item = m_bar->item(key);
    if (!item || !item->isVisible() || !item->isEnabled())
        return false;
    item->click();
    return true;
}

// ---- button line and status ----

QtButtonLine::QtButtonLine(QWidget *parent, ui::MainWindowView &view) : m_status(new QLabel(parent))
{
    m_status->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_status->setTextFormat(Qt::PlainText);
    m_status->setMargin(2);
    for (ui::LineButton button : {ui::LineButton::Ok, ui::LineButton::Cancel, ui::LineButton::Apply}) {
        auto *widget = new QPushButton(parent);
        widget->setAutoDefault(true);
        QObject::connect(widget, &QPushButton::clicked, &view, [&view, button] { emit view.lineButtonClicked(button); });
        m_lineButtons[int(button)] = widget;
    }
}

void QtButtonLine::setLineButtonCaption(ui::LineButton button, const QString &caption)
{
    m_lineButtons[int(button)]->setText(caption);
}

bool QtButtonLine::lineButtonEnabled(ui::LineButton button) const
{
    return !m_lineButtons[int(button)]->testAttribute(Qt::WA_ForceDisabled);
}

void QtButtonLine::setLineButtonEnabled(ui::LineButton button, bool enabled)
{
    m_lineButtons[int(button)]->setEnabled(enabled);
}

QString QtButtonLine::statusText() const
{
    return m_status->text();
}

void QtButtonLine::setStatusText(const QString &text)
{
    m_status->setText(text);
    // Long operations report their progress here while they keep the event loop waiting.
    if (m_status->isVisible())
        m_status->repaint();
}

QPushButton *QtButtonLine::lineButton(ui::LineButton button) const
{
    return m_lineButtons[int(button)];
}

bool QtButtonLine::clickLineButton(ui::LineButton button)
{
    QPushButton *widget = m_lineButtons[int(button)];
    if (!widget->isVisible() || !widget->isEnabled())
        return false;
    widget->click();
    return true;
}

int QtButtonLine::placeButtonLine(int left, int top, int right)
{
    // Without captions (as the window is built) the buttons keep the design's width and the
    // height of a line of text: a button without text measures a stand-in text instead, which
    // only costs time before the captions arrive and the line is placed again.
    int buttonHeight = m_status->fontMetrics().height() + 2 * m_status->margin();
    int buttonWidth = LineButtonWidth;
    for (QPushButton *button : m_lineButtons) {
        if (button->text().isEmpty())
            continue;
        buttonHeight = qMax(buttonHeight, button->sizeHint().height());
        buttonWidth = qMax(buttonWidth, button->sizeHint().width());
    }
    for (int i = 0; i < 3; ++i) {
        const int buttonLeft = right - (3 - i) * buttonWidth - (2 - i) * (Margin / 2);
        m_lineButtons[i]->setGeometry(buttonLeft, top, buttonWidth, buttonHeight);
    }
    const int statusRight = m_lineButtons[0]->geometry().left() - Margin;
    m_status->setGeometry(left, top, statusRight - left, buttonHeight);
    return buttonHeight;
}

// ---- menu bar ----

QtMenuBar::QtMenuBar(QMainWindow *window, ui::MainWindowView &view) : m_menuWindow(window)
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
            QMenu *menu = tool.band == design::MenuBarBand ? window->menuBar()->addMenu(QString())
                                                           : menus.value(tool.band)->addMenu(QString());
            menus.insert(tool.key, menu);
            action = menu->menuAction();
        } else if (designed.isSeparator()) {
            action = menus.value(tool.band)->addSeparator();
        } else {
            action = menus.value(tool.band)->addAction(QString());
            QObject::connect(action, &QAction::triggered, &view, [&view, tool] { emit view.menuToolClicked(tool); });
        }
        m_actions.insert(toolKey(tool), action);
    }
}

QAction *QtMenuBar::action(const ui::MenuTool &tool) const
{
    QAction *found = m_actions.value(toolKey(tool));
    if (!found)
        noSuch(QStringLiteral("The menu has no tool %1/%2.").arg(tool.band, tool.key));
    return found;
}

QString QtMenuBar::menuToolCaption(const ui::MenuTool &tool) const
{
    return action(tool)->text();
}

void QtMenuBar::setMenuToolCaption(const ui::MenuTool &tool, const QString &caption)
{
    QAction *a = action(tool);
    if (a->menu())
        a->menu()->setTitle(caption);
    else
        a->setText(caption);
}

bool QtMenuBar::menuToolVisible(const ui::MenuTool &tool) const
{
    return action(tool)->isVisible();
}

void QtMenuBar::setMenuToolVisible(const ui::MenuTool &tool, bool visible)
{
    action(tool)->setVisible(visible);
}

bool QtMenuBar::menuToolEnabled(const ui::MenuTool &tool) const
{
    return action(tool)->isEnabled();
}

void QtMenuBar::setMenuToolEnabled(const ui::MenuTool &tool, bool enabled)
{
    action(tool)->setEnabled(enabled);
}

bool QtMenuBar::menuToolChecked(const ui::MenuTool &tool) const
{
    return action(tool)->isChecked();
}

void QtMenuBar::setMenuToolChecked(const ui::MenuTool &tool, bool checked)
{
    QAction *a = action(tool);
    a->setCheckable(checked || a->isCheckable());
    a->setChecked(checked);
}

QAction *QtMenuBar::menuAction(const ui::MenuTool &tool) const
{
    return m_actions.value(toolKey(tool));
}

bool QtMenuBar::clickMenuTool(const ui::MenuTool &tool)
{
    QAction *a = m_actions.value(toolKey(tool));
    if (!a || !m_menuWindow->isVisible() || !m_menuWindow->isEnabled() || !a->isVisible() || !a->isEnabled())
        return false;
    a->trigger();
    return true;
}

} // namespace widgets
