#include "widgets/qtmainwindowview.h"

#include "ui/windowdesign.h"
#include "widgets/buttonbar.h"
#include "widgets/qtcontrols.h"
#include "widgets/qtviewsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QShortcut>

namespace widgets {

using ui::Element;
using namespace qtview;

QtMainWindowView::QtMainWindowView(bool interactive, QObject *parent)
    : ui::MainWindowView(parent), QtTopLevel(interactive, *this), QtButtonBar(central(), *this),
      QtTabStrips(central(), *this), QtControlArrays(static_cast<ui::MainWindowView *>(this)), QtElements(central(), static_cast<QtControlArrays &>(*this), *this),
      QtButtonLine(central(), *this), QtMenuBar(window(), *this)
{
    onDialogKey([this](ui::LineButton button) { clickLineButton(button); });
    addShortcuts();
    // Until the logic lays the window out, it has the design's size.
    layOutAround(ui::design::PageWidth, ui::design::PageHeight);
}

QtMainWindowView::~QtMainWindowView() = default;

void QtMainWindowView::addShortcuts()
{
    auto *help = new QShortcut(QKeySequence(Qt::Key_F1), window());
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, &QtMainWindowView::helpRequested);
    // Ctrl+Tab and Ctrl+PgDn go to the next tab of the view, with Shift or PgUp to the one before.
    const auto tabKeys = [this](const QList<QKeySequence> &keys, int step) {
        for (const QKeySequence &key : keys) {
            auto *shortcut = new QShortcut(key, window());
            shortcut->setContext(Qt::WindowShortcut);
            connect(shortcut, &QShortcut::activated, this, [this, step] { stepTab(step); });
        }
    };
    tabKeys({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, 1);
    tabKeys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::Key_PageUp)}, -1);
}

QList<QWidget *> QtMainWindowView::pageWidgets() const
{
    realiseAllPages();
    QList<QWidget *> list;
    for (QWidget *page : pages()) {
        for (QWidget *child : page->findChildren<QWidget *>()) {
            if (qobject_cast<QLabel *>(child) || qobject_cast<QAbstractButton *>(child)
                || qobject_cast<QComboBox *>(child) || qobject_cast<QLineEdit *>(child))
                list.append(child);
        }
    }
    return list;
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
    // A colour of its own does not change with the desktop's theme, and a system colour is not
    // painted: the pages need painting only when the colour changed (not at every layout).
    if (m_paintedBackground == m_background)
        return;
    m_paintedBackground = m_background;
    const bool themed = m_background & 0x80000000u;
    const QColor colour = toQColor(m_background, QApplication::palette(central()));
    for (QWidget *page : pages()) {
        page->setAutoFillBackground(!themed);
        QPalette palette = page->palette();
        palette.setColor(QPalette::Window, colour);
        page->setPalette(palette);
    }
}

void QtMainWindowView::layOutAround(double pageWidth, double pageHeight)
{
    // The button bar on the left, the strips right of it, and the button line under both.
    const int barWidth = buttonBarWidget()->neededWidth();
    const QRect panes = placeStrips(Margin + barWidth + Margin, Margin, pageWidth, pageHeight);
    const int panesBottom = panes.y() + panes.height();
    buttonBarWidget()->setGeometry(Margin, Margin, barWidth, panesBottom - Margin);
    const int right = panes.x() + panes.width();
    const int lineTop = panesBottom + Margin;
    const int lineHeight = placeButtonLine(Margin, lineTop, right);

    // The pages lie stacked in the client area, as the page selection puts them.
    const QRect client = pixelsOf(clientArea(visibleTabStrip()));
    for (QWidget *page : pages()) {
        page->setGeometry(client.left(), client.top(), pixels(pageWidth), pixels(pageHeight));
        page->raise();
    }
    raiseTabs();

    central()->setFixedSize(right + Margin, lineTop + lineHeight + Margin);
    window()->setFixedSize(window()->sizeHint());
    paintBackground();
}

// ---- what a user does ----

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
    return window()->close();
}

} // namespace widgets
