#include "ui/tabs.h"

namespace ui {

namespace {

// Position (1-based) of the first shown tab with that key; 0 when none.
int shownPosition(const MainWindowView &view, int strip, const QString &key)
{
    for (int position = 1; position <= view.tabCount(strip); ++position) {
        if (view.tab(strip, position).key == key)
            return position;
    }
    return 0;
}

} // namespace

int keyNumber(const QString &key)
{
    const qsizetype colon = key.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return -1;
    bool ok = false;
    const int number = key.mid(colon + 1).toInt(&ok);
    return ok ? number : -1;
}

QString keyOfNumber(int keyNumber)
{
    return QStringLiteral("KEY:") + QString::number(keyNumber);
}

// ---- cTab ----

cTab::cTab(cTabs *parent, qint16 index, const Tab &designed)
    : m_parent(parent), m_index(index), m_tag(designed.tag), m_key(designed.key), m_caption(designed.caption),
      m_toolTip(designed.toolTip)
{
}

void cTab::setCaption(const QString &caption)
{
    m_caption = caption;
    cTabStrip &strip = *m_parent->Parent();
    MainWindowView &view = strip.view();
    const double top = view.clientArea(strip.strip()).top;
    const int position = shownPosition(view, strip.strip(), m_key);
    if (position > 0)
        view.setTabCaption(strip.strip(), position, caption);
    strip.checkLayout(top);
}

// ---- cTabs ----

cTab *cTabs::Add(const Tab &newTab, qint16 index)
{
    m_tabs.push_back(std::make_unique<cTab>(this, index, newTab));
    return m_tabs.back().get();
}

cTab *cTabs::Item(qint16 index) const
{
    for (const auto &tab : m_tabs) {
        if (tab->Index() == index)
            return tab.get();
    }
    return nullptr;
}

cTab *cTabs::ItemByKey(const QString &key) const
{
    for (const auto &tab : m_tabs) {
        if (tab->Key() == key)
            return tab.get();
    }
    return nullptr;
}

void cTabs::ShowTabByKeyNo(qint16 keyNo)
{
    MainWindowView &view = m_parent->view();
    const int strip = m_parent->strip();
    const double top = view.clientArea(strip).top;
    const cTab *tab = ItemByKey(keyOfNumber(keyNo));
    if (tab && shownPosition(view, strip, tab->Key()) == 0) {
        // Before the first shown tab that comes after it in the design.
        int insertAt = view.tabCount(strip) + 1;
        for (int position = 1; position <= view.tabCount(strip) && insertAt > view.tabCount(strip); ++position) {
            const QString shownKey = view.tab(strip, position).key;
            for (qint16 later = tab->Index() + 1; later <= Count(); ++later) {
                const cTab *next = Item(later);
                if (next && next->Key() == shownKey) {
                    insertAt = position;
                    break;
                }
            }
        }
        view.insertTab(strip, insertAt, tab->asTab());
    }
    m_parent->checkLayout(top);
}

void cTabs::HideTabByKeyNo(qint16 keyNo)
{
    MainWindowView &view = m_parent->view();
    const int strip = m_parent->strip();
    for (int position = 1; position <= view.tabCount(strip); ++position) {
        if (keyNumber(view.tab(strip, position).key) == keyNo) {
            view.removeTab(strip, position);
            return;
        }
    }
}

// ---- cTabStrip ----

cTabStrip::cTabStrip(cTabStrips *parent, MainWindowView &view, int strip)
    : m_parent(parent), m_view(view), m_strip(strip), m_tabs(this)
{
}

void cTabStrip::ShowTabs(const QList<qint16> &tabKeys)
{
    QStringList notWanted;
    for (int position = 1; position <= m_view.tabCount(m_strip); ++position) {
        const QString key = m_view.tab(m_strip, position).key;
        if (!tabKeys.contains(qint16(keyNumber(key))))
            notWanted.append(key);
    }
    for (const QString &key : notWanted)
        m_view.removeTab(m_strip, shownPosition(m_view, m_strip, key));
    for (qint16 keyNo : tabKeys)
        m_tabs.ShowTabByKeyNo(keyNo);
}

void cTabStrip::checkLayout(double previousTop)
{
    if (m_view.visibleTabStrip() != m_strip || m_view.clientArea(m_strip).top <= previousTop)
        return;
    const int selected = m_view.selectedTab(m_strip);
    if (selected > 0)
        m_parent->layOutPage(keyNumber(m_view.tab(m_strip, selected).key));
}

// ---- cTabStrips ----

cTabStrips::cTabStrips(MainWindowView &view, std::function<void(int)> layOutPage)
    : m_view(view), m_layOutPage(std::move(layOutPage))
{
}

cTabStrip *cTabStrips::Add(int strip)
{
    m_strips.push_back(std::make_unique<cTabStrip>(this, m_view, strip));
    cTabStrip *added = m_strips.back().get();
    for (int position = 1; position <= m_view.tabCount(strip); ++position)
        added->Tabs().Add(m_view.tab(strip, position), qint16(position));
    return added;
}

cTabStrip *cTabStrips::Item(int strip) const
{
    for (const auto &added : m_strips) {
        if (added->strip() == strip)
            return added.get();
    }
    return nullptr;
}

void cTabStrips::layOutPage(int keyNo) const
{
    if (m_layOutPage)
        m_layOutPage(keyNo);
}

} // namespace ui
