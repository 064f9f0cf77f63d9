#include "widgets/qttabstrips.h"

#include "ui/windowdesign.h"
#include "widgets/qtviewsupport.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

namespace widgets {

using namespace qtview;

namespace {

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

QtTabStrips::QtTabStrips(QWidget *parent, ui::MainWindowView &view) : m_view(view), m_area(parent)
{
    // Panes first, so that the tab bars lie on them and the selected tab joins its pane.
    for (Strip &s : m_strips)
        s.pane = new TabPane(parent);
    for (int number = 0; number < ui::TabStripCount; ++number) {
        Strip &s = m_strips[number];
        s.tabs = new QTabBar(parent);
        s.tabs->setDrawBase(false);
        s.tabs->setExpanding(false);
        s.tabs->setUsesScrollButtons(false);
        s.tabs->setElideMode(Qt::ElideNone);
        s.tabs->setFocusPolicy(Qt::TabFocus);
        for (const ui::Tab &t : ui::design::tabs(number)) {
            s.tabs->addTab(t.caption);
            s.designed.append(t);
        }
        QObject::connect(s.tabs, &QTabBar::currentChanged, &view, [this, number](int index) {
            if (m_programSelectsTab || index < 0)
                return;
            emit m_view.tabClicked(number, m_strips[number].designed.value(index).key);
        });
        // A click on the tab already chosen changes nothing in the bar, but is a click all the same.
        QObject::connect(s.tabs, &QTabBar::tabBarClicked, &view, [this, number](int index) {
            if (index >= 0 && index == m_strips[number].tabs->currentIndex())
                emit m_view.tabClicked(number, m_strips[number].designed.value(index).key);
        });
    }
    QtTabStrips::showTabStrip(0);
}

QtTabStrips::Strip &QtTabStrips::strip(int number)
{
    if (number < 0 || number >= ui::TabStripCount)
        noSuch(QStringLiteral("The window has no tab strip %1.").arg(number));
    return m_strips[number];
}

const QtTabStrips::Strip &QtTabStrips::strip(int number) const
{
    return const_cast<QtTabStrips *>(this)->strip(number);
}

void QtTabStrips::checkPosition(int number, int position, bool insert) const
{
    const int last = strip(number).tabs->count() + (insert ? 1 : 0);
    if (position < 1 || position > last)
        noSuch(QStringLiteral("Tab strip %1 has no position %2.").arg(number).arg(position));
}

int QtTabStrips::tabCount(int number) const
{
    return strip(number).tabs->count();
}

ui::Tab QtTabStrips::tab(int number, int position) const
{
    checkPosition(number, position);
    const Strip &s = strip(number);
    ui::Tab t = s.designed[position - 1];
    t.caption = s.tabs->tabText(position - 1);
    t.toolTip = s.tabs->tabToolTip(position - 1);
    return t;
}

void QtTabStrips::insertTab(int number, int position, const ui::Tab &tab)
{
    checkPosition(number, position, true);
    Strip &s = strip(number);
    m_programSelectsTab = true;
    s.tabs->insertTab(position - 1, tab.caption);
    s.tabs->setTabToolTip(position - 1, tab.toolTip);
    m_programSelectsTab = false;
    s.designed.insert(position - 1, tab);
}

void QtTabStrips::removeTab(int number, int position)
{
    checkPosition(number, position);
    Strip &s = strip(number);
    // The list first: the bar announces its new current tab while it removes.
    s.designed.removeAt(position - 1);
    m_programSelectsTab = true;
    s.tabs->removeTab(position - 1);
    m_programSelectsTab = false;
}

void QtTabStrips::setTabCaption(int number, int position, const QString &caption)
{
    checkPosition(number, position);
    strip(number).tabs->setTabText(position - 1, caption);
}

void QtTabStrips::setTabToolTip(int number, int position, const QString &toolTip)
{
    checkPosition(number, position);
    strip(number).tabs->setTabToolTip(position - 1, toolTip);
}

int QtTabStrips::selectedTab(int number) const
{
    return strip(number).tabs->currentIndex() + 1;
}

void QtTabStrips::selectTab(int number, int position)
{
    checkPosition(number, position);
    m_programSelectsTab = true;
    strip(number).tabs->setCurrentIndex(position - 1);
    m_programSelectsTab = false;
}

ui::Rect QtTabStrips::clientArea(int number) const
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

void QtTabStrips::showTabStrip(int number)
{
    strip(number);
    for (int i = 0; i < ui::TabStripCount; ++i) {
        m_strips[i].tabs->setVisible(i == number);
        m_strips[i].pane->setVisible(i == number);
    }
    m_visibleStrip = number;
}

QTabBar *QtTabStrips::tabBar(int number) const
{
    return strip(number).tabs;
}

bool QtTabStrips::clickTab(const QString &key)
{
    const QWidget *window = m_area->window();
    if (!window->isVisible() || !window->isEnabled())
        return false;
    Strip &s = m_strips[m_visibleStrip];
    for (int i = 0; i < s.designed.size(); ++i) {
        if (s.designed[i].key != key)
            continue;
        if (s.tabs->currentIndex() == i)
            emit m_view.tabClicked(m_visibleStrip, key); // the bar raises nothing for its current tab
        else
            s.tabs->setCurrentIndex(i);
        return true;
    }
    return false;
}

void QtTabStrips::stepTab(int step)
{
    QTabBar *tabs = m_strips[m_visibleStrip].tabs;
    const int count = tabs->count();
    if (count < 2 || !m_area->window()->isEnabled())
        return;
    tabs->setCurrentIndex((tabs->currentIndex() + step + count) % count);
}

QRect QtTabStrips::placeStrips(int left, int top, double pageWidth, double pageHeight)
{
    m_pageWidth = pageWidth;
    QStyle *style = m_area->style();
    const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, m_strips[0].pane);
    const int overlap = style->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, m_strips[0].tabs);

    // The strips are as wide as a page, or as their tabs when these need more.
    int tabsWidth = 0;
    int tabsHeight = 0;
    for (const Strip &s : m_strips) {
        tabsWidth = qMax(tabsWidth, s.tabs->sizeHint().width());
        tabsHeight = qMax(tabsHeight, s.tabs->sizeHint().height());
    }
    const int width = qMax(pixels(pageWidth) + 2 * frame, tabsWidth + 2 * Margin);
    const QRect panes(left, top + tabsHeight - overlap, width, pixels(pageHeight) + 2 * frame);
    for (Strip &s : m_strips) {
        s.tabs->setGeometry(left + Margin / 2, top, width - Margin, tabsHeight);
        s.pane->setGeometry(panes);
    }
    return panes;
}

void QtTabStrips::raiseTabs()
{
    for (const Strip &s : m_strips)
        s.tabs->raise();
}

} // namespace widgets
