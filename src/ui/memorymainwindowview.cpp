#include "ui/memorymainwindowview.h"

#include "base/tqmerror.h"
#include "ui/windowdesign.h"

#include <QtMath>

namespace ui {

namespace {

const QString ViewSource = QStringLiteral("MemoryMainWindowView");

[[noreturn]] void noSuch(const QString &what)
{
    throw TqmError(TqmError::SubscriptOutOfRange, ViewSource, what);
}

template <class T>
T *at(const std::vector<T *> &list, int index)
{
    return index >= 0 && index < int(list.size()) ? list[std::size_t(index)] : nullptr;
}

// One strip row holds this many twips of tabs; a tab takes its caption and a margin.
constexpr double TabRowHeight = 360;
constexpr double TabMargin = 300;
constexpr double TwipsPerCharacter = 90;

} // namespace

MemoryMainWindowView::MemoryMainWindowView(QObject *parent)
    : MainWindowView(parent), m_optionGroup(new controls::OptionGroup(this))
{
    using Kind = Element::Kind;
    for (int i = 0; i < design::countOf(Kind::TextBox); ++i)
        m_textBoxes.push_back(new controls::MemoryTextBox(i, this));
    for (int i = 0; i < design::countOf(Kind::ComboBox); ++i)
        m_comboBoxes.push_back(new controls::MemoryComboBox(i, this));
    for (int i = 0; i < design::countOf(Kind::CheckBox); ++i)
        m_checkBoxes.push_back(new controls::MemoryCheckBox(i, this));
    for (int i = 0; i < design::countOf(Kind::OptionButton); ++i)
        m_optionButtons.push_back(new controls::MemoryOptionButton(i, m_optionGroup, this));
    buildDesign();
}

MemoryMainWindowView::~MemoryMainWindowView() = default;

// The window as designed: every element at its place with its caption tag, shown or hidden,
// the button bar, the tabs of each strip and the menu tools.
void MemoryMainWindowView::buildDesign()
{
    for (int page = 0; page < PageCount; ++page)
        addElement(Element::page(page), design::pageRect());
    for (const design::Item &item : design::items()) {
        if (!item.element)
            continue;
        addElement(*item.element, item.rect, item.tag);
        ElementState &designed = state(*item.element);
        designed.visible = item.visible;
        designed.enabled = item.enabled();
    }
    m_items = design::buttonBarItems();
    for (int strip = 0; strip < TabStripCount; ++strip) {
        m_tabs[strip] = design::tabs(strip);
        m_selected[strip] = m_tabs[strip].isEmpty() ? 0 : 1;
        m_strips[strip] = {1800, 120, 5400, 7400};
    }
    for (const design::MenuToolDesign &tool : design::menuTools())
        m_tools[tool.tool.band][tool.tool.key] = ToolState{};
    for (LineButton button : {LineButton::Ok, LineButton::Cancel, LineButton::Apply})
        m_lineButtons[int(button)] = LineButtonState{};
}

quint64 MemoryMainWindowView::keyOf(Element element)
{
    return (quint64(element.kind) << 32) | quint32(element.id);
}

void MemoryMainWindowView::addElement(Element element, const Rect &rect, const QString &tag)
{
    ElementState state;
    state.rect = rect;
    state.tag = tag;
    m_elements.insert(keyOf(element), state);
    m_designOrder.append(element);
}

MemoryMainWindowView::ElementState &MemoryMainWindowView::state(Element element)
{
    const auto it = m_elements.find(keyOf(element));
    if (it == m_elements.end())
        noSuch(QStringLiteral("The window has no element %1 of kind %2.").arg(element.id).arg(int(element.kind)));
    return *it;
}

const MemoryMainWindowView::ElementState &MemoryMainWindowView::state(Element element) const
{
    return const_cast<MemoryMainWindowView *>(this)->state(element);
}

controls::MemoryTextBox *MemoryMainWindowView::textBox(int index) const
{
    return at(m_textBoxes, index);
}

controls::MemoryComboBox *MemoryMainWindowView::comboBox(int index) const
{
    return at(m_comboBoxes, index);
}

controls::MemoryCheckBox *MemoryMainWindowView::checkBox(int index) const
{
    return at(m_checkBoxes, index);
}

controls::MemoryOptionButton *MemoryMainWindowView::optionButton(int index) const
{
    return at(m_optionButtons, index);
}

Rect MemoryMainWindowView::geometry(Element element) const
{
    return state(element).rect;
}

void MemoryMainWindowView::move(Element element, double left, double top)
{
    Rect &rect = state(element).rect;
    rect.left = left;
    rect.top = top;
}

void MemoryMainWindowView::setGeometry(Element element, const Rect &rect)
{
    state(element).rect = rect;
}

bool MemoryMainWindowView::isVisible(Element element) const
{
    return state(element).visible;
}

void MemoryMainWindowView::setVisible(Element element, bool visible)
{
    state(element).visible = visible;
}

bool MemoryMainWindowView::isEnabled(Element element) const
{
    const ElementState &s = state(element);
    switch (element.kind) {
    case Element::Kind::TextBox:
        return textBox(element.id)->enabled();
    case Element::Kind::ComboBox:
        return comboBox(element.id)->enabled();
    case Element::Kind::CheckBox:
        return checkBox(element.id)->enabled();
    case Element::Kind::OptionButton:
        return optionButton(element.id)->enabled();
    default:
        return s.enabled;
    }
}

void MemoryMainWindowView::setEnabled(Element element, bool enabled)
{
    state(element).enabled = enabled;
    // Array controls keep one enabled state, whichever way it is set.
    switch (element.kind) {
    case Element::Kind::TextBox:
        textBox(element.id)->setEnabled(enabled);
        break;
    case Element::Kind::ComboBox:
        comboBox(element.id)->setEnabled(enabled);
        break;
    case Element::Kind::CheckBox:
        checkBox(element.id)->setEnabled(enabled);
        break;
    case Element::Kind::OptionButton:
        optionButton(element.id)->setEnabled(enabled);
        break;
    default:
        break;
    }
}

QString MemoryMainWindowView::caption(Element element) const
{
    return state(element).caption;
}

void MemoryMainWindowView::setCaption(Element element, const QString &caption)
{
    state(element).caption = caption;
}

void MemoryMainWindowView::setForeColour(Element element, controls::Colour colour)
{
    state(element).foreColour = colour;
}

controls::Colour MemoryMainWindowView::foreColour(Element element) const
{
    return state(element).foreColour;
}

void MemoryMainWindowView::setToolTip(Element element, const QString &toolTip)
{
    state(element).toolTip = toolTip;
}

QList<ElementTag> MemoryMainWindowView::captionTags() const
{
    QList<ElementTag> tags;
    for (const Element &element : m_designOrder) {
        const QString &tag = state(element).tag;
        if (!tag.isEmpty())
            tags.append({element, tag});
    }
    return tags;
}

void MemoryMainWindowView::setProgress(int bar, int value)
{
    state(Element::progressBar(bar));
    m_progress[bar] = value;
}

int MemoryMainWindowView::progress(int bar) const
{
    state(Element::progressBar(bar));
    return m_progress.value(bar);
}

// ---- button bar ----

void MemoryMainWindowView::setButtonBarItemCaption(const QString &key, const QString &caption)
{
    for (ButtonBarItem &item : m_items) {
        if (item.key == key) {
            item.caption = caption;
            return;
        }
    }
    noSuch(QStringLiteral("The button bar has no item \"%1\".").arg(key));
}

void MemoryMainWindowView::removeButtonBarItem(const QString &key)
{
    for (int i = 0; i < m_items.size(); ++i) {
        if (m_items[i].key == key) {
            m_items.removeAt(i);
            if (m_selectedItem == key)
                m_selectedItem.clear();
            return;
        }
    }
    noSuch(QStringLiteral("The button bar has no item \"%1\".").arg(key));
}

void MemoryMainWindowView::selectButtonBarItem(const QString &key)
{
    for (const ButtonBarItem &item : m_items) {
        if (item.key == key) {
            m_selectedItem = key;
            return;
        }
    }
    noSuch(QStringLiteral("The button bar has no item \"%1\".").arg(key));
}

// ---- tab strips ----

void MemoryMainWindowView::checkStrip(int strip) const
{
    if (strip < 0 || strip >= TabStripCount)
        noSuch(QStringLiteral("The window has no tab strip %1.").arg(strip));
}

void MemoryMainWindowView::checkPosition(int strip, int position, bool insert) const
{
    checkStrip(strip);
    const int last = int(m_tabs[strip].size()) + (insert ? 1 : 0);
    if (position < 1 || position > last)
        noSuch(QStringLiteral("Tab strip %1 has no position %2.").arg(strip).arg(position));
}

int MemoryMainWindowView::tabCount(int strip) const
{
    checkStrip(strip);
    return int(m_tabs[strip].size());
}

Tab MemoryMainWindowView::tab(int strip, int position) const
{
    checkPosition(strip, position);
    return m_tabs[strip][position - 1];
}

void MemoryMainWindowView::insertTab(int strip, int position, const Tab &tab)
{
    checkPosition(strip, position, true);
    m_tabs[strip].insert(position - 1, tab);
    // Like the widget: the selected tab stays selected; the first tab of an empty strip is selected.
    if (m_selected[strip] >= position)
        ++m_selected[strip];
    if (m_selected[strip] == 0)
        m_selected[strip] = 1;
}

void MemoryMainWindowView::removeTab(int strip, int position)
{
    checkPosition(strip, position);
    m_tabs[strip].removeAt(position - 1);
    int &selected = m_selected[strip];
    if (selected > position || (selected == position && selected > m_tabs[strip].size()))
        --selected;
}

void MemoryMainWindowView::setTabCaption(int strip, int position, const QString &caption)
{
    checkPosition(strip, position);
    m_tabs[strip][position - 1].caption = caption;
}

void MemoryMainWindowView::setTabToolTip(int strip, int position, const QString &toolTip)
{
    checkPosition(strip, position);
    m_tabs[strip][position - 1].toolTip = toolTip;
}

int MemoryMainWindowView::selectedTab(int strip) const
{
    checkStrip(strip);
    return m_selected[strip];
}

void MemoryMainWindowView::selectTab(int strip, int position)
{
    checkPosition(strip, position);
    m_selected[strip] = position;
}

Rect MemoryMainWindowView::clientArea(int strip) const
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

void MemoryMainWindowView::showTabStrip(int strip)
{
    checkStrip(strip);
    m_visibleStrip = strip;
}

QStringList MemoryMainWindowView::tabKeys(int strip) const
{
    checkStrip(strip);
    QStringList keys;
    for (const Tab &tab : m_tabs[strip])
        keys.append(tab.key);
    return keys;
}

QString MemoryMainWindowView::selectedTabKey(int strip) const
{
    const int selected = selectedTab(strip);
    return selected > 0 ? m_tabs[strip][selected - 1].key : QString();
}

// ---- menu bar ----

const MemoryMainWindowView::ToolState &MemoryMainWindowView::tool(const MenuTool &tool) const
{
    const auto band = m_tools.constFind(tool.band);
    if (band == m_tools.cend() || !band->contains(tool.key))
        noSuch(QStringLiteral("The menu has no tool %1/%2.").arg(tool.band, tool.key));
    return *band->constFind(tool.key);
}

QString MemoryMainWindowView::menuToolCaption(const MenuTool &tool) const
{
    return this->tool(tool).caption;
}

void MemoryMainWindowView::setMenuToolCaption(const MenuTool &tool, const QString &caption)
{
    this->tool(tool);
    m_tools[tool.band][tool.key].caption = caption;
}

bool MemoryMainWindowView::menuToolVisible(const MenuTool &tool) const
{
    return this->tool(tool).visible;
}

void MemoryMainWindowView::setMenuToolVisible(const MenuTool &tool, bool visible)
{
    this->tool(tool);
    m_tools[tool.band][tool.key].visible = visible;
}

bool MemoryMainWindowView::menuToolEnabled(const MenuTool &tool) const
{
    return this->tool(tool).enabled;
}

void MemoryMainWindowView::setMenuToolEnabled(const MenuTool &tool, bool enabled)
{
    this->tool(tool);
    m_tools[tool.band][tool.key].enabled = enabled;
}

bool MemoryMainWindowView::menuToolChecked(const MenuTool &tool) const
{
    return this->tool(tool).checked;
}

void MemoryMainWindowView::setMenuToolChecked(const MenuTool &tool, bool checked)
{
    this->tool(tool);
    m_tools[tool.band][tool.key].checked = checked;
}

QString MemoryMainWindowView::bandOf(const QString &key) const
{
    for (auto band = m_tools.cbegin(); band != m_tools.cend(); ++band) {
        if (band.key() != QLatin1String("MainMenu") && band->contains(key))
            return band.key();
    }
    return {};
}

// ---- button line, status, window ----

void MemoryMainWindowView::setLineButtonCaption(LineButton button, const QString &caption)
{
    m_lineButtons[int(button)].caption = caption;
}

bool MemoryMainWindowView::lineButtonEnabled(LineButton button) const
{
    return m_lineButtons.value(int(button)).enabled;
}

void MemoryMainWindowView::setLineButtonEnabled(LineButton button, bool enabled)
{
    m_lineButtons[int(button)].enabled = enabled;
}

QString MemoryMainWindowView::lineButtonCaption(LineButton button) const
{
    return m_lineButtons.value(int(button)).caption;
}

void MemoryMainWindowView::setStatusText(const QString &text)
{
    m_statusText = text;
    statusHistory.append(text);
}

void MemoryMainWindowView::showWindow()
{
    m_visible = true;
}

void MemoryMainWindowView::closeWindow()
{
    m_visible = false;
    ++closeCount;
}

void MemoryMainWindowView::setWindowEnabled(bool enabled)
{
    m_enabled = enabled;
    enabledHistory.append(enabled);
}

void MemoryMainWindowView::setBackgroundColour(controls::Colour colour, const QStringList &kinds)
{
    backgroundColour = colour;
    backgroundKinds = kinds;
}

void MemoryMainWindowView::layOutAround(double pageWidth, double pageHeight)
{
    laidOutPageWidth = pageWidth;
    laidOutPageHeight = pageHeight;
    for (Rect &strip : m_strips) {
        strip.width = pageWidth + 240;
        strip.height = pageHeight + TabRowHeight + 120;
    }
}

// ---- what a user does ----

bool MemoryMainWindowView::userCanReach(Element element) const
{
    return m_visible && m_enabled && state(element).visible && isEnabled(element);
}

bool MemoryMainWindowView::clickTab(const QString &key)
{
    if (!m_visible || !m_enabled)
        return false;
    const int strip = m_visibleStrip;
    const int position = int(tabKeys(strip).indexOf(key)) + 1;
    if (position == 0)
        return false;
    m_selected[strip] = position;
    emit tabClicked(strip, key);
    return true;
}

bool MemoryMainWindowView::clickButtonBarItem(const QString &key)
{
    if (!m_visible || !m_enabled || !m_buttonBarEnabled)
        return false;
    for (const ButtonBarItem &item : m_items) {
        if (item.key == key) {
            m_selectedItem = key;
            emit buttonBarItemClicked(key);
            return true;
        }
    }
    return false;
}

bool MemoryMainWindowView::clickMenuTool(const QString &key)
{
    const QString band = bandOf(key);
    if (!m_visible || !m_enabled || band.isEmpty())
        return false;
    const MenuTool target{band, key};
    const ToolState &state = tool(target);
    if (!state.visible || !state.enabled)
        return false;
    emit menuToolClicked(target);
    return true;
}

bool MemoryMainWindowView::clickLineButton(LineButton button)
{
    if (!m_visible || !m_enabled || !lineButtonEnabled(button))
        return false;
    emit lineButtonClicked(button);
    return true;
}

bool MemoryMainWindowView::clickCommandButton(int index)
{
    if (!userCanReach(Element::commandButton(index)))
        return false;
    emit commandButtonClicked(index);
    return true;
}

void MemoryMainWindowView::pressF1()
{
    emit helpRequested();
}

bool MemoryMainWindowView::requestClose()
{
    bool cancel = false;
    emit closeRequested(&cancel);
    if (cancel)
        return false;
    m_visible = false;
    return true;
}

} // namespace ui
