#include "ui/memorywindowparts.h"

#include "ui/memoryelements.h"
#include "ui/windowdesign.h"

#include <QtMath>

namespace ui {

using memoryview::noSuch;

namespace {

// One strip row holds this many twips of tabs; a tab takes its caption and a margin.
constexpr double TabRowHeight = 360;
constexpr double TabMargin = 300;
constexpr double TwipsPerCharacter = 90;

} // namespace

// ---- button bar ----

MemoryButtonBar::MemoryButtonBar() : m_items(design::buttonBarItems()) {}

int MemoryButtonBar::indexOf(const QString &key) const
{
    for (int i = 0; i < m_items.size(); ++i) {
        if (m_items[i].key == key)
            return i;
    }
    noSuch(QStringLiteral("The button bar has no item \"%1\".").arg(key));
}

void MemoryButtonBar::setButtonBarItemCaption(const QString &key, const QString &caption)
{
    m_items[indexOf(key)].caption = caption;
}

void MemoryButtonBar::removeButtonBarItem(const QString &key)
{
    m_items.removeAt(indexOf(key));
    if (m_selectedItem == key)
        m_selectedItem.clear();
}

void MemoryButtonBar::selectButtonBarItem(const QString &key)
{
    indexOf(key);
    m_selectedItem = key;
}

// ---- tab strips ----

MemoryTabStrips::MemoryTabStrips()
{
    for (int strip = 0; strip < TabStripCount; ++strip) {
        m_tabs[strip] = design::tabs(strip);
        m_selected[strip] = m_tabs[strip].isEmpty() ? 0 : 1;
        m_strips[strip] = {1800, 120, 5400, 7400};
    }
}

void MemoryTabStrips::checkStrip(int strip) const
{
    if (strip < 0 || strip >= TabStripCount)
        noSuch(QStringLiteral("The window has no tab strip %1.").arg(strip));
}

void MemoryTabStrips::checkPosition(int strip, int position, bool insert) const
{
    checkStrip(strip);
    const int last = int(m_tabs[strip].size()) + (insert ? 1 : 0);
    if (position < 1 || position > last)
        noSuch(QStringLiteral("Tab strip %1 has no position %2.").arg(strip).arg(position));
}

int MemoryTabStrips::tabCount(int strip) const
{
    checkStrip(strip);
    return int(m_tabs[strip].size());
}

Tab MemoryTabStrips::tab(int strip, int position) const
{
    checkPosition(strip, position);
    return m_tabs[strip][position - 1];
}

void MemoryTabStrips::insertTab(int strip, int position, const Tab &tab)
{
    checkPosition(strip, position, true);
    m_tabs[strip].insert(position - 1, tab);
    // Like the widget: the selected tab stays selected; the first tab of an empty strip is selected.
    if (m_selected[strip] >= position)
        ++m_selected[strip];
    if (m_selected[strip] == 0)
        m_selected[strip] = 1;
}

void MemoryTabStrips::removeTab(int strip, int position)
{
    checkPosition(strip, position);
    m_tabs[strip].removeAt(position - 1);
    int &selected = m_selected[strip];
    if (selected > position || (selected == position && selected > m_tabs[strip].size()))
        --selected;
}

void MemoryTabStrips::setTabCaption(int strip, int position, const QString &caption)
{
    checkPosition(strip, position);
    m_tabs[strip][position - 1].caption = caption;
}

void MemoryTabStrips::setTabToolTip(int strip, int position, const QString &toolTip)
{
    checkPosition(strip, position);
    m_tabs[strip][position - 1].toolTip = toolTip;
}

int MemoryTabStrips::selectedTab(int strip) const
{
    checkStrip(strip);
    return m_selected[strip];
}

void MemoryTabStrips::selectTab(int strip, int position)
{
    checkPosition(strip, position);
    m_selected[strip] = position;
}

Rect MemoryTabStrips::clientArea(int strip) const
{
    checkStrip(strip);
    double used = 0;
    for (const Tab &tab : m_tabs[strip])
        used += TabMargin + TwipsPerCharacter * tab.caption.size();
    const Rect &outer = m_strips[strip];
    const int rows = qMax(1, int(qCeil(used / outer.width)));
    const double top = outer.top + TabRowHeight * rows;
    return {outer.left + 60, top, outer.width - 120, outer.height - (top - outer.top) - 60};
}

void MemoryTabStrips::showTabStrip(int strip)
{
    checkStrip(strip);
    m_visibleStrip = strip;
}

QStringList MemoryTabStrips::tabKeys(int strip) const
{
    checkStrip(strip);
    QStringList keys;
    for (const Tab &tab : m_tabs[strip])
        keys.append(tab.key);
    return keys;
}

QString MemoryTabStrips::selectedTabKey(int strip) const
{
    const int selected = selectedTab(strip);
    return selected > 0 ? m_tabs[strip][selected - 1].key : QString();
}

void MemoryTabStrips::fitPages(double pageWidth, double pageHeight)
{
    for (Rect &strip : m_strips) {
        strip.width = pageWidth + 240;
        strip.height = pageHeight + TabRowHeight + 120;
    }
}

// ---- menu bar ----

MemoryMenuBar::MemoryMenuBar()
{
    for (const design::MenuToolDesign &tool : design::menuTools())
        m_tools[tool.tool.band][tool.tool.key] = ToolState{};
}

MemoryMenuBar::ToolState &MemoryMenuBar::toolState(const MenuTool &tool)
{
    const auto band = m_tools.find(tool.band);
    if (band == m_tools.end() || !band->contains(tool.key))
        noSuch(QStringLiteral("The menu has no tool %1/%2.").arg(tool.band, tool.key));
    return *band->find(tool.key);
}

const MemoryMenuBar::ToolState &MemoryMenuBar::toolState(const MenuTool &tool) const
{
    return const_cast<MemoryMenuBar *>(this)->toolState(tool);
}

QString MemoryMenuBar::menuToolCaption(const MenuTool &tool) const
{
    return toolState(tool).caption;
}

void MemoryMenuBar::setMenuToolCaption(const MenuTool &tool, const QString &caption)
{
    toolState(tool).caption = caption;
}

bool MemoryMenuBar::menuToolVisible(const MenuTool &tool) const
{
    return toolState(tool).visible;
}

void MemoryMenuBar::setMenuToolVisible(const MenuTool &tool, bool visible)
{
    toolState(tool).visible = visible;
}

bool MemoryMenuBar::menuToolEnabled(const MenuTool &tool) const
{
    return toolState(tool).enabled;
}

void MemoryMenuBar::setMenuToolEnabled(const MenuTool &tool, bool enabled)
{
    toolState(tool).enabled = enabled;
}

bool MemoryMenuBar::menuToolChecked(const MenuTool &tool) const
{
    return toolState(tool).checked;
}

void MemoryMenuBar::setMenuToolChecked(const MenuTool &tool, bool checked)
{
    toolState(tool).checked = checked;
}

QString MemoryMenuBar::bandOf(const QString &key) const
{
    for (auto band = m_tools.cbegin(); band != m_tools.cend(); ++band) {
        if (band.key() != QLatin1String("MainMenu") && band->contains(key))
            return band.key();
    }
    return {};
}

// ---- button line and status ----

void MemoryButtonLine::setLineButtonCaption(LineButton button, const QString &caption)
{
    m_buttons[int(button)].caption = caption;
}

bool MemoryButtonLine::lineButtonEnabled(LineButton button) const
{
    return m_buttons[int(button)].enabled;
}

void MemoryButtonLine::setLineButtonEnabled(LineButton button, bool enabled)
{
    m_buttons[int(button)].enabled = enabled;
}

QString MemoryButtonLine::lineButtonCaption(LineButton button) const
{
    return m_buttons[int(button)].caption;
}

void MemoryButtonLine::setStatusText(const QString &text)
{
    m_statusText = text;
    statusHistory.append(text);
}

// ---- window and layout ----

void MemoryTopLevel::closeWindow()
{
    m_visible = false;
    ++closeCount;
}

void MemoryTopLevel::setWindowEnabled(bool enabled)
{
    m_enabled = enabled;
    enabledHistory.append(enabled);
}

void MemoryLayout::setBackgroundColour(controls::Colour colour, const QStringList &kinds)
{
    backgroundColour = colour;
    backgroundKinds = kinds;
}

void MemoryLayout::layOutAround(double pageWidth, double pageHeight)
{
    laidOutPageWidth = pageWidth;
    laidOutPageHeight = pageHeight;
    m_strips.fitPages(pageWidth, pageHeight);
}

} // namespace ui
