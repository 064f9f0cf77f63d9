#include "ui/memorymainwindowview.h"

#include "base/tqmerror.h"

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

// A duplicate caption on the same window gets its own label number: the caption number plus
// 10000 times the occurrence.
constexpr int again(int caption, int occurrence)
{
    return caption + 10000 * occurrence;
}

// One strip row holds this many twips of tabs; a tab takes its caption and a margin.
constexpr double TabRowHeight = 360;
constexpr double TabMargin = 300;
constexpr double TwipsPerCharacter = 90;

} // namespace

MemoryMainWindowView::MemoryMainWindowView(QObject *parent)
    : MainWindowView(parent), m_optionGroup(new controls::OptionGroup(this))
{
    for (int i = 0; i < 15; ++i)
        m_textBoxes.push_back(new controls::MemoryTextBox(i, this));
    for (int i = 0; i < 19; ++i)
        m_comboBoxes.push_back(new controls::MemoryComboBox(i, this));
    for (int i = 0; i < 2; ++i)
        m_checkBoxes.push_back(new controls::MemoryCheckBox(i, this));
    for (int i = 0; i < 3; ++i)
        m_optionButtons.push_back(new controls::MemoryOptionButton(i, m_optionGroup, this));
    buildDesign();
}

MemoryMainWindowView::~MemoryMainWindowView() = default;

// The window as designed: pages drawn at different places and sizes (the layout step stacks
// them), frames and labels with their caption tags, the views and their tabs, the menu tools.
void MemoryMainWindowView::buildDesign()
{
    for (int page = 0; page < PageCount; ++page)
        addElement(Element::page(page), {240.0 + 120 * page, 480.0 + 60 * page, 4800.0 + 40 * page, 6500.0 + 75 * page});

    const auto label = [this](int number, int tag) { addElement(Element::label(number), {120, 120, 2400, 240}, QString::number(tag)); };
    const auto labelled = [&](int number) { label(number, number); };
    // Page 0
    labelled(1030);
    // Page 1
    for (int number : {1050, 1051, 1055, 1056, 1060, 1061, 1062, 1070, 1071, 1072, 1074, 1076, 1077, 1078, 1079, 1080, 1081, 1082})
        labelled(number);
    for (int frame = 1; frame <= 2; ++frame) {
        label(again(1060, frame), 1060);
        label(again(1061, frame), 1061);
    }
    label(again(1062, 1), 1062);
    label(again(1071, 1), 1071);
    label(again(1072, 1), 1072);
    // Pages 2 and 3
    for (int number : {1100, 1101, 1105, 1106, 1108, 1120, 1110, 1111, 1115, 1116, 1117, 1118, 1126, 1127})
        labelled(number);
    label(again(1120, 1), 1120);
    label(again(1115, 1), 1115);
    label(again(1117, 1), 1117);
    addElement(Element::label(labels::SensorResult), {120, 3000, 2400, 240});
    addElement(Element::label(labels::KnobResult), {120, 3000, 2400, 240});
    addElement(Element::label(labels::KnobResetResult), {180, 1560, 2880, 480});
    addElement(Element::label(labels::KnobCentreResult), {180, 1560, 2880, 480});
    // Page 4
    for (int number : {1130, 1131, 1132, 1133, 1134, 1135, 1136})
        labelled(number);
    label(labels::ChangedNotice, 1140);
    // Page 5, 6
    for (int number : {1035, 1037, 1040, 1041, 1381})
        labelled(number);

    // Frames, at their design places on their pages.
    addElement(Element::frame(Frame::SwitchPosition0), {120, 1920, 4500, 1300});
    addElement(Element::frame(Frame::SwitchPosition1), {120, 1920, 4500, 1300});
    addElement(Element::frame(Frame::SwitchPosition2), {120, 1920, 4500, 1300});
    // The push-button frames are out of view until a variant with push buttons shows them.
    addElement(Element::frame(Frame::SetPointButtons), {120, 30000, 4500, 1500}, QStringLiteral("1070"));
    addElement(Element::frame(Frame::FanSpeedButtons), {120, 30000, 4500, 1900}, QStringLiteral("1077"));
    for (Frame hidden : {Frame::SetPointButtons, Frame::FanSpeedButtons}) {
        state(Element::frame(hidden)).visible = false;
        state(Element::frame(hidden)).enabled = false;
    }
    addElement(Element::frame(Frame::MonitorSetPointOffset), {120, 1200, 4500, 600});
    addElement(Element::frame(Frame::MonitorControllerFunction), {120, 1900, 4500, 600});
    addElement(Element::frame(Frame::MonitorFanSpeed), {120, 2600, 4500, 1200});
    addElement(Element::frame(Frame::MonitorOccupancy), {120, 3900, 4500, 600});
    addElement(Element::frame(Frame::SensorCopy), {120, 4200, 4500, 1500}, QStringLiteral("1105"));
    addElement(Element::frame(Frame::KnobTwoStop), {180, 180, 4500, 2500}, QStringLiteral("1110"));
    addElement(Element::frame(Frame::KnobReset), {180, 2800, 4500, 2500});
    addElement(Element::frame(Frame::KnobCentre), {180, 5400, 4500, 2500});

    for (int bar = 0; bar < ProgressBarCount; ++bar)
        addElement(Element::progressBar(bar), {120, 2600, 4500, 240});
    const char *buttonTags[CommandButtonCount] = {"1102", "1112", "1107", "1124", "1125", "1112", "1112"};
    for (int button = 0; button < CommandButtonCount; ++button)
        addElement(Element::commandButton(button), {3000, 2000, 1200, 360}, QString::fromLatin1(buttonTags[button]));
    for (int i = 0; i < 15; ++i)
        addElement(Element::textBox(i), {2400, 600, 1000, 300});
    for (int i = 0; i < 19; ++i)
        addElement(Element::comboBox(i), {2400, 600, 2000, 300});
    addElement(Element::checkBox(0), {120, 600, 2200, 300}, QStringLiteral("1036"));
    addElement(Element::checkBox(1), {120, 1200, 2200, 300}, QStringLiteral("1038"));
    const char *optionTags[3] = {"1033", "1032", "1031"};
    for (int i = 0; i < 3; ++i)
        addElement(Element::optionButton(i), {120, 600.0 + 360 * i, 4000, 300}, QString::fromLatin1(optionTags[i]));

    m_items = {{QStringLiteral("0"), 1001, {}}, {QStringLiteral("2"), 1004, {}}, {QStringLiteral("1"), 1002, {}}};
    const auto tab = [](int key, int tag) {
        return Tab{QStringLiteral("KEY:%1").arg(key), QString(), QString(), QString::number(tag)};
    };
    m_tabs[0] = {tab(0, 1010), tab(1, 1011), tab(5, 1012), tab(6, 1380)};
    m_tabs[1] = {tab(4, 1015)};
    m_tabs[2] = {tab(2, 1020), tab(3, 1021), tab(6, 1380)};
    for (int strip = 0; strip < TabStripCount; ++strip) {
        m_strips[strip] = {1800, 120, 5400, 7400};
        m_selected[strip] = 1;
    }

    const QStringList mainMenu{QStringLiteral("File"), QStringLiteral("Help")};
    const QStringList file{QStringLiteral("OpenFile"),       QStringLiteral("SaveFile"),         QStringLiteral("FileSeperator"),
                           QStringLiteral("ReadParameters"), QStringLiteral("WriteParameters"),  QStringLiteral("SpreadParameters"),
                           QStringLiteral("ParameterSeperator"), QStringLiteral("Language"), QStringLiteral("LanguageSeperator"),
                           QStringLiteral("Quit")};
    const QStringList language{QStringLiteral("English"), QStringLiteral("German")};
    const QStringList help{QStringLiteral("Manual"), QStringLiteral("AppDoc"), QStringLiteral("InfoSeperator"),
                           QStringLiteral("DeviceInfo"), QStringLiteral("AboutSeperator"), QStringLiteral("About")};
    const auto band = [this](const QString &name, const QStringList &keys) {
        for (const QString &key : keys)
            m_tools[name][key] = ToolState{};
    };
    band(QStringLiteral("MainMenu"), mainMenu);
    band(QStringLiteral("File"), file);
    band(QStringLiteral("Language"), language);
    band(QStringLiteral("Help"), help);
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
