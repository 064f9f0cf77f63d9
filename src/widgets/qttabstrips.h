#pragma once

// The three tab strips of the Qt main window, each a tab bar over the pane that holds the pages:
// a part of QtMainWindowView. A user choosing a tab raises the view's tabClicked; the program
// inserting, removing or selecting tabs raises nothing.

#include "ui/mainwindowview.h"

#include <QList>

class QRect;
class QTabBar;
class QWidget;

namespace widgets {

class QtTabStrips : public virtual ui::TabStripsView
{
public:
    QtTabStrips(QWidget *parent, ui::MainWindowView &view);

    int tabCount(int strip) const override;
    ui::Tab tab(int strip, int position) const override;
    void insertTab(int strip, int position, const ui::Tab &tab) override;
    void removeTab(int strip, int position) override;
    void setTabCaption(int strip, int position, const QString &caption) override;
    void setTabToolTip(int strip, int position, const QString &toolTip) override;
    int selectedTab(int strip) const override;
    void selectTab(int strip, int position) override;
    ui::Rect clientArea(int strip) const override;
    void showTabStrip(int strip) override;
    int visibleTabStrip() const override { return m_visibleStrip; }

    QTabBar *tabBar(int strip) const;
    // As a user clicks a tab of the visible strip, e.g. "KEY:5"; false when it has none with
    // that key, or the window is hidden or disabled.
    bool clickTab(const QString &key);
    // The next (1) or previous (-1) tab of the visible strip, round, as Ctrl+Tab chooses it.
    void stepTab(int step);

protected:
    // Places the strips from (left, top) around page frames of this size (twips); answers the
    // rectangle of the panes.
    QRect placeStrips(int left, int top, double pageWidth, double pageHeight);
    // Puts the tab bars over what lies on the panes, so that the selected tab joins its pane.
    void raiseTabs();

private:
    struct Strip
    {
        QTabBar *tabs = nullptr;
        QWidget *pane = nullptr;
        QList<ui::Tab> designed; // key and tag of every tab the bar holds, in its order
    };

    Strip &strip(int number);
    const Strip &strip(int number) const;
    void checkPosition(int strip, int position, bool insert = false) const;

    ui::MainWindowView &m_view;
    QWidget *m_area;
    Strip m_strips[ui::TabStripCount];
    int m_visibleStrip = 0;
    double m_pageWidth = 0;
    bool m_programSelectsTab = false;
};

} // namespace widgets
