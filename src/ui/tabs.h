#pragma once

// The tab model: for every tab strip of the main window the full designed list of its tabs, so
// that a tab removed at run time (the command, the device variant or a missing parameter does
// not offer its page) can be shown again at its designed position with its caption, key, tool
// tip and tag. The strips' controls are the view's tab strips 0, 1, 2; the model is built once,
// while every designed tab is still present, and is read-only from then on.
//
// Keys have the form "KEY:" followed by the key number, the number of the page the tab shows.

#include "ui/mainwindowview.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace ui {

class cTabs;
class cTabStrip;
class cTabStrips;

// The key number of a key: the number after the ":" ("KEY:6" -> 6); -1 without one.
int keyNumber(const QString &key);
QString keyOfNumber(int keyNumber);

// One designed tab.
class cTab
{
public:
    cTab(cTabs *parent, qint16 index, const Tab &designed);

    cTabs *Parent() const { return m_parent; }
    // The tab's 1-based position in its strip when the model was built.
    qint16 Index() const { return m_index; }
    void setIndex(qint16 index) { m_index = index; }
    const QString &Tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }
    const QString &Key() const { return m_key; }
    void setKey(const QString &key) { m_key = key; }
    const QString &Caption() const { return m_caption; }
    // Also renames the shown tab with the same key, then checks the strip's layout.
    void setCaption(const QString &caption);
    const QString &ToolTipText() const { return m_toolTip; }
    void setToolTipText(const QString &toolTip) { m_toolTip = toolTip; }

    Tab asTab() const { return {m_key, m_caption, m_toolTip, m_tag}; }

private:
    cTabs *m_parent;
    qint16 m_index;
    QString m_tag;
    QString m_key;
    QString m_caption;
    QString m_toolTip;
};

// The designed tabs of one strip, in designed order.
class cTabs
{
public:
    explicit cTabs(cTabStrip *parent) : m_parent(parent) {}

    cTabStrip *Parent() const { return m_parent; }
    // A model tab copied from a tab of the strip at designed position `index`.
    cTab *Add(const Tab &newTab, qint16 index);
    // The first model tab whose designed position is `index`; null when none.
    cTab *Item(qint16 index) const;
    // The first model tab whose key is `key` exactly; null when none.
    cTab *ItemByKey(const QString &key) const;
    qint16 Count() const { return qint16(m_tabs.size()); }

    // Puts the designed tab back before the first shown tab that follows it in designed order
    // (at the end when none does), unless it is shown already; then checks the layout.
    void ShowTabByKeyNo(qint16 keyNo);
    // Removes the first shown tab with that key number; the model keeps it.
    void HideTabByKeyNo(qint16 keyNo);

private:
    cTabStrip *m_parent;
    std::vector<std::unique_ptr<cTab>> m_tabs;
};

// One tab strip of the window and its model.
class cTabStrip
{
public:
    cTabStrip(cTabStrips *parent, MainWindowView &view, int strip);

    cTabStrips *Parent() const { return m_parent; }
    cTabs &Tabs() { return m_tabs; }
    const cTabs &Tabs() const { return m_tabs; }
    MainWindowView &view() const { return m_view; }
    // The strip's number in the view (its control identity).
    int strip() const { return m_strip; }

    // Makes the strip show exactly these tabs, in their designed order.
    void ShowTabs(const QList<qint16> &tabKeys);

    // After a tab was shown or renamed: if this strip holds the pages and its client area now
    // starts lower than `previousTop`, lays out the selected tab's page again.
    void checkLayout(double previousTop);

private:
    cTabStrips *m_parent;
    MainWindowView &m_view;
    int m_strip;
    cTabs m_tabs;
};

// Every tab strip of the window, in the order added.
class cTabStrips
{
public:
    // `layOutPage` runs the page selection for a key number (the window's; the layout check
    // calls it when the tabs took more room).
    explicit cTabStrips(MainWindowView &view, std::function<void(int keyNo)> layOutPage = {});

    // Builds the model of the strip from the tabs it shows now.
    cTabStrip *Add(int strip);
    // The model of that strip; null when it was not added.
    cTabStrip *Item(int strip) const;
    qint16 Count() const { return qint16(m_strips.size()); }

    void layOutPage(int keyNo) const;

private:
    MainWindowView &m_view;
    std::function<void(int)> m_layOutPage;
    std::vector<std::unique_ptr<cTabStrip>> m_strips;
};

} // namespace ui
