#include "ui/windowdesign.h"

#include "params/displayrules.h"
#include "ui/tabs.h"

#include <QHash>

namespace ui::design {

namespace {

using ui::Element;
using ui::Frame;
using E = cParamEnums;

// Rows of controls: a field is RowHeight high, rows follow every Pitch twips; headings are a
// little lower than a field. Headings start at Left, the labels under them at Indent; the right
// edge of the widest items is Right.
constexpr double RowHeight = 330;
constexpr double Pitch = 405;
constexpr double HeadingHeight = 300;
constexpr double ButtonWidth = 1680;
constexpr double UnitWidth = 390;
constexpr double Left = 120;
constexpr double Indent = 360;
constexpr double Right = 5040;
constexpr double FullWidth = Right - Left;
constexpr double InputLeft = 2760; // the fields of a page line up here
// The "Last calibration" dates start further left: a date, a long time and its zone need the room.
constexpr double DateLeft = Indent + 1920;

// The groups of items that take turns at one place.
enum Group : int {
    SwitchOrPushButtons = 1, // the toggle-switch section, or the push-button frames
    SwitchPositions,         // the three switch-position frames
    SensorProgress,          // the sensor calibration's progress bar, or its result
    KnobProgress,            // the two-stop calibration's progress bar, or its result
    KnobProcedures,          // the three knob calibration frames
    MonitoredMode,           // the three mode-dependent monitoring frames
};

class Builder
{
public:
    explicit Builder(QList<Item> &items) : m_items(items) {}

    void into(Container container) { m_in = container; }

    Item &add(Widget widget, std::optional<Element> element, const QString &tag, ui::Rect rect)
    {
        Item item;
        item.widget = widget;
        item.element = element;
        item.tag = tag;
        item.in = m_in;
        item.rect = rect;
        m_items.append(item);
        return m_items.last();
    }

    Item &heading(int number, double left, double top, double width)
    {
        return add(Widget::Heading, Element::label(number), QString::number(number % 10000),
                   {left, top, width, HeadingHeight});
    }
    // A label whose caption is its own number, or another caption's further use.
    Item &label(int number, double left, double top, double width)
    {
        return add(Widget::Label, Element::label(number), QString::number(number % 10000), {left, top, width, RowHeight});
    }
    void note(int number, double left, double top, double width, double height)
    {
        add(Widget::Note, Element::label(number), QString::number(number % 10000), {left, top, width, height});
    }
    void unit(qint32 unit, double left, double top)
    {
        add(Widget::Unit, std::nullopt, {}, {left, top, UnitWidth, RowHeight}).fixedText = displayrules::unitMnemonic(unit);
    }
    void fixed(const QString &text, double left, double top)
    {
        add(Widget::Unit, std::nullopt, {}, {left, top, UnitWidth, RowHeight}).fixedText = text;
    }
    Item &textBox(int index, double left, double top, double width, Widget widget = Widget::TextBox)
    {
        return add(widget, Element::textBox(index), {}, {left, top, width, RowHeight});
    }
    Item &display(int index, double left, double top, double width)
    {
        return textBox(index, left, top, width, Widget::ReadOnlyBox);
    }
    Item &comboBox(int index, double left, double top, double width)
    {
        return add(Widget::ComboBox, Element::comboBox(index), {}, {left, top, width, RowHeight});
    }
    void button(int index, int caption, double left, double top)
    {
        add(Widget::CommandButton, Element::commandButton(index), QString::number(caption),
            {left, top, ButtonWidth, RowHeight});
    }
    Item &frame(Frame frame, ui::Rect rect, bool visible = true)
    {
        Item &item = add(Widget::Frame, Element::frame(frame), {}, rect);
        item.visible = visible;
        return item;
    }

private:
    QList<Item> &m_items;
    Container m_in;
};

// What names a field for a screen reader: label numbers (a check box's own caption as a
// negative number minus one: -1 is check box 0).
Item &named(Item &item, std::initializer_list<int> labels)
{
    for (int label : labels)
        item.labelledBy.append(label < 0 ? Element::checkBox(-label - 1) : Element::label(label));
    return item;
}

Item &takesTurns(Item &item, Group group, int option, bool visible = true)
{
    item.turns.append({group, option});
    item.visible = visible;
    return item;
}

// Page 0: where the room temperature comes from.
void temperatureMeasuring(Builder &b)
{
    b.into(Container::page(0));
    b.heading(1030, Left, 120, FullWidth);
    const char *captions[3] = {"1033", "1032", "1031"};
    for (int i = 0; i < 3; ++i)
        b.add(Widget::OptionButton, Element::optionButton(i), QString::fromLatin1(captions[i]),
              {Indent, 510 + Pitch * i, Right - Indent, RowHeight});
}

// Page 1: set-point range, the toggle switch with its three position frames, and the two
// push-button frames that only push-button variants show (the window moves them into place and
// hides the toggle-switch section then).
void operation(Builder &b)
{
    const double wideInput = 1560;
    b.into(Container::page(1));
    b.heading(1050, Left, 120, FullWidth);
    b.label(1051, Indent, 510, wideInput - Indent - 60);
    named(b.comboBox(0, wideInput, 510, Right - wideInput), {1051});
    takesTurns(b.heading(1055, Left, 1020, FullWidth), SwitchOrPushButtons, 0);
    takesTurns(b.label(1056, Indent, 1410, wideInput - Indent - 60), SwitchOrPushButtons, 0);
    takesTurns(named(b.comboBox(1, wideInput, 1410, Right - wideInput), {1056}), SwitchOrPushButtons, 0);

    // Frames start at Left; their rows line up with the page's labels and fields.
    const double frameWidth = Right - Left;
    const auto switchFrame = [&b, frameWidth](Frame frame, int option) {
        Item &item = b.frame(frame, {Left, 1920, frameWidth, RowHeight + 2 * Pitch});
        takesTurns(item, SwitchOrPushButtons, 0, option == 0);
        takesTurns(item, SwitchPositions, option, option == 0);
    };
    switchFrame(Frame::SwitchPosition0, 0);
    switchFrame(Frame::SwitchPosition1, 1);
    switchFrame(Frame::SwitchPosition2, 2);
    const auto positionRow = [&b, frameWidth](int label, int combo, int row) {
        b.label(label, Indent - Left, Pitch * row, InputLeft - Indent - 60);
        named(b.comboBox(combo, InputLeft - Left, Pitch * row, frameWidth - (InputLeft - Left)), {label});
    };
    b.into(Container::frame(Frame::SwitchPosition0));
    positionRow(1060, 2, 0);
    positionRow(1061, 3, 1);
    b.into(Container::frame(Frame::SwitchPosition1));
    positionRow(1062, 4, 0);
    positionRow(again(1060, 1), 5, 1);
    positionRow(again(1061, 1), 6, 2);
    b.into(Container::frame(Frame::SwitchPosition2));
    positionRow(again(1060, 2), 7, 0);
    positionRow(again(1061, 2), 8, 1);

    // Two columns: what the "-" and "+" buttons do, and what their LEDs show. The second
    // column is as wide as its longest choice needs.
    const double rowLabel = Indent - Left;
    const double columnA = 780;
    const double columnB = 2745;
    const double columnAWidth = 1920;
    const double columnBWidth = frameWidth - columnB;
    const double field = 3060; // the frames' text boxes, right of their long labels
    const auto buttonRows = [&](int minusLabel, int plusLabel, int first, int headingA, int headingB) {
        b.label(minusLabel, rowLabel, 390, columnA - rowLabel - 30);
        named(b.comboBox(first, columnA, 390, columnAWidth), {headingA, minusLabel});
        named(b.comboBox(first + 2, columnB, 390, columnBWidth), {headingB, minusLabel});
        b.label(plusLabel, rowLabel, 390 + Pitch, columnA - rowLabel - 30);
        named(b.comboBox(first + 1, columnA, 390 + Pitch, columnAWidth), {headingA, plusLabel});
        named(b.comboBox(first + 3, columnB, 390 + Pitch, columnBWidth), {headingB, plusLabel});
    };
    b.into(Container::page(1));
    takesTurns(b.frame(Frame::SetPointButtons, {Left, 1080, frameWidth, 1620}), SwitchOrPushButtons, 1, false);
    takesTurns(b.frame(Frame::FanSpeedButtons, {Left, 2820, frameWidth, 3240}), SwitchOrPushButtons, 1, false);

    b.into(Container::frame(Frame::SetPointButtons));
    b.heading(1070, 0, 0, columnB - 60);
    b.heading(1074, columnB, 0, columnBWidth);
    buttonRows(1071, 1072, 9, 1070, 1074);
    b.label(1076, rowLabel, 1245, field - rowLabel - 60);
    named(b.textBox(13, field, 1245, 900), {1076});
    b.unit(E::UNIT_DegreesCelsius, field + 960, 1245);

    b.into(Container::frame(Frame::FanSpeedButtons));
    b.heading(1077, 0, 0, columnB - 60);
    b.heading(1078, columnB, 0, columnBWidth);
    buttonRows(again(1071, 1), again(1072, 1), 13, 1077, 1078);
    b.heading(1079, 0, 1245, frameWidth);
    b.label(again(1062, 1), rowLabel, 1635, field - rowLabel - 60);
    named(b.textBox(14, field, 1635, 900), {again(1062, 1)});
    b.heading(1080, 0, 2085, frameWidth);
    b.label(1081, rowLabel, 2475, columnB - rowLabel - 60);
    named(b.comboBox(17, columnB, 2475, columnBWidth), {1081});
    b.label(1082, rowLabel, 2475 + Pitch, columnB - rowLabel - 60);
    named(b.comboBox(18, columnB, 2475 + Pitch, columnBWidth), {1082});
}

// Page 2: the final calibration of the temperature sensor, and copying it to other devices.
void temperatureSensor(Builder &b)
{
    b.into(Container::page(2));
    b.heading(1100, Left, 120, FullWidth);
    b.label(1101, Indent, 510, Right - Indent);
    named(b.textBox(3, Indent, 915, 900), {1101});
    b.unit(E::UNIT_DegreesCelsius, Indent + 960, 915);
    b.button(0, 1102, Right - ButtonWidth, 915);
    Item &bar = b.add(Widget::ProgressBar, Element::progressBar(0), {}, {Indent, 1365, Right - Indent, RowHeight});
    takesTurns(bar, SensorProgress, 0, false).maximum = 20; // ticks of 200 ms
    takesTurns(b.add(Widget::Label, Element::label(ui::labels::SensorResult), {}, {Indent, 1365, Right - Indent, RowHeight}),
               SensorProgress, 1, false);
    b.label(1120, Indent, 1815, DateLeft - Indent - 60);
    named(b.display(11, DateLeft, 1815, Right - DateLeft), {1120});
    b.note(1108, Indent, 2265, Right - Indent, 960);

    b.frame(Frame::SensorCopy, {Left, 3405, FullWidth, 1890});
    b.into(Container::frame(Frame::SensorCopy));
    b.heading(1105, 0, 0, FullWidth);
    b.note(1106, Indent - Left, 390, Right - Indent, 960);
    b.button(2, 1107, FullWidth - ButtonWidth, 1560);
}

// Page 3: one of the three knob calibrations, in frames stacked at one place.
void turningKnob(Builder &b)
{
    const double left = 180;
    const double width = Right - left;
    const double inner = Indent - left;
    b.into(Container::page(3));
    takesTurns(b.frame(Frame::KnobTwoStop, {left, 180, width, 2175}), KnobProcedures, 0);
    takesTurns(b.frame(Frame::KnobReset, {left, 180, width, 4050}), KnobProcedures, 1, false);
    takesTurns(b.frame(Frame::KnobCentre, {left, 180, width, 4050}), KnobProcedures, 2, false);

    b.into(Container::frame(Frame::KnobTwoStop));
    b.heading(1110, 0, 0, width);
    b.note(1111, inner, 390, width - inner, 960);
    b.button(1, 1112, inner, 1395);
    Item &bar = b.add(Widget::ProgressBar, Element::progressBar(1), {}, {inner + ButtonWidth + 120, 1395, 0, RowHeight});
    bar.rect.width = width - bar.rect.left;
    takesTurns(bar, KnobProgress, 0, false).maximum = 60; // ticks of 500 ms until the second stop is overdue
    Item &result = b.add(Widget::Label, Element::label(ui::labels::KnobResult), {}, bar.rect);
    takesTurns(result, KnobProgress, 1, false);
    b.label(again(1120, 1), inner, 1845, DateLeft - Indent - 60);
    named(b.display(12, DateLeft - left, 1845, width - (DateLeft - left)), {again(1120, 1)});

    // This device, then several devices: a heading, what to do, and the button.
    const auto procedure = [&](int thisDevice, int thisNote, int thisButton, int result, int severalDevices,
                               int severalNote, int severalButton, int caption, int severalCaption) {
        b.heading(thisDevice, 0, 0, width);
        b.note(thisNote, inner, 390, width - inner, 1140);
        b.button(thisButton, caption, width - ButtonWidth, 1575);
        // What the button did, beside it.
        b.add(Widget::Note, Element::label(result), {}, {inner, 1560, width - ButtonWidth - inner - 120, 480}).visible = false;
        b.heading(severalDevices, 0, 2070, width);
        b.note(severalNote, inner, 2460, width - inner, 1140);
        b.button(severalButton, severalCaption, width - ButtonWidth, 3645);
    };
    b.into(Container::frame(Frame::KnobReset));
    procedure(1115, 1116, 3, ui::labels::KnobResetResult, 1117, 1118, 4, 1124, 1125);
    b.into(Container::frame(Frame::KnobCentre));
    procedure(again(1115, 1), 1126, 5, ui::labels::KnobCentreResult, again(1117, 1), 1127, 6, 1112, 1112);
}

// Page 4: the module's outputs; the mode-dependent frames take turns at one place.
void monitoring(Builder &b)
{
    const double frameWidth = Right - Indent;
    const double input = InputLeft - Indent; // within the frames, which start where the labels do
    const double labelWidth = input - 60;
    b.into(Container::page(4));
    b.heading(1130, Left, 120, FullWidth);
    b.label(1131, Indent, 510, labelWidth);
    named(b.display(4, InputLeft, 510, 1200), {1131});
    b.unit(E::UNIT_DegreesCelsius, InputLeft + 1260, 510);

    b.frame(Frame::MonitorSetPointOffset, {Indent, 915, frameWidth, RowHeight});
    takesTurns(b.frame(Frame::MonitorControllerFunction, {Indent, 1500, frameWidth, RowHeight}), MonitoredMode, 0);
    takesTurns(b.frame(Frame::MonitorFanSpeed, {Indent, 1500, frameWidth, RowHeight + Pitch}), MonitoredMode, 1, false);
    takesTurns(b.frame(Frame::MonitorOccupancy, {Indent, 1500, frameWidth, RowHeight}), MonitoredMode, 2, false);
    Item &notice = b.add(Widget::Warning, Element::label(ui::labels::ChangedNotice), QStringLiteral("1140"),
                         {Indent, 2475, frameWidth, 660});
    notice.visible = false;

    b.into(Container::frame(Frame::MonitorSetPointOffset));
    b.label(1132, 0, 0, labelWidth);
    named(b.display(5, input, 0, 1200), {1132});
    b.unit(E::UNIT_DegreesCelsius, input + 1260, 0);
    b.into(Container::frame(Frame::MonitorControllerFunction));
    b.label(1133, 0, 0, labelWidth);
    named(b.display(6, input, 0, frameWidth - input), {1133});
    b.into(Container::frame(Frame::MonitorFanSpeed));
    b.label(1134, 0, 0, labelWidth);
    named(b.display(7, input, 0, 1200), {1134});
    b.unit(E::UNIT_Percent, input + 1260, 0);
    named(b.display(8, input + 1710, 0, frameWidth - input - 1710), {1134});
    b.label(1135, 0, Pitch, labelWidth);
    named(b.display(9, input, Pitch, 1200), {1135});
    b.fixed(QStringLiteral("-"), input + 1260, Pitch); // a level has no unit
    b.into(Container::frame(Frame::MonitorOccupancy));
    b.label(1136, 0, 0, labelWidth);
    named(b.display(10, input, 0, frameWidth - input), {1136});
}

// Page 5: the heartbeats and the send-on-delta of the space temperature.
void nvTiming(Builder &b)
{
    b.into(Container::page(5));
    const auto timeRow = [&b](int heading, int checkBox, int caption, int textBox, double top) {
        b.add(Widget::CheckBox, Element::checkBox(checkBox), QString::number(caption),
              {Indent, top, InputLeft - Indent - 60, RowHeight});
        named(b.textBox(textBox, InputLeft, top, 1200), {heading, -checkBox - 1});
        b.unit(E::UNIT_Second, InputLeft + 1260, top);
    };
    b.heading(1035, Left, 120, FullWidth);
    timeRow(1035, 0, 1036, 0, 510);
    b.heading(1037, Left, 1020, FullWidth);
    timeRow(1037, 1, 1038, 1, 1410);
    b.heading(1040, Left, 1920, FullWidth);
    b.label(1041, Indent, 2310, InputLeft - Indent - 60);
    named(b.textBox(2, InputLeft, 2310, 1200), {1041});
    b.unit(E::UNIT_DegreesCelsius, InputLeft + 1260, 2310);
}

// Page 6: the logger's lines, and below them its timed lines.
void logger(Builder &b)
{
    b.into(Container::page(6));
    b.heading(1381, Left, 120, FullWidth);
    named(b.add(Widget::LogList, std::nullopt, {}, {Left, 510, FullWidth, 5010}), {1381});
    named(b.add(Widget::TimedList, std::nullopt, {}, {Left, 5610, FullWidth, 1320}), {1381});
}

QList<Item> buildItems()
{
    QList<Item> list;
    Builder b(list);
    temperatureMeasuring(b);
    operation(b);
    temperatureSensor(b);
    turningKnob(b);
    monitoring(b);
    nvTiming(b);
    logger(b);
    return list;
}

} // namespace

const QList<Item> &items()
{
    static const QList<Item> list = buildItems();
    return list;
}

bool Item::mayShowWith(const Item &other) const
{
    for (const Turn &mine : turns) {
        for (const Turn &theirs : other.turns) {
            if (mine.group == theirs.group && mine.option != theirs.option)
                return false;
        }
    }
    return true;
}

int countOf(ui::Element::Kind kind)
{
    // Counted once: the arrays ask for their size on every step of the loop that fills them.
    static const QHash<int, int> counts = [] {
        QHash<int, int> highest;
        for (const Item &item : items()) {
            if (item.element) {
                int &count = highest[int(item.element->kind)];
                count = qMax(count, item.element->id + 1);
            }
        }
        return highest;
    }();
    return counts.value(int(kind));
}

// Each view names the picture of its button after its caption message.
const QList<ui::ButtonBarItem> &buttonBarItems()
{
    static const QList<ui::ButtonBarItem> list{
        {QStringLiteral("0"), 1001, {}}, {QStringLiteral("2"), 1004, {}}, {QStringLiteral("1"), 1002, {}}};
    return list;
}

const QList<ui::Tab> &tabs(int strip)
{
    const auto tab = [](int key, int tag) { return ui::Tab{keyOfNumber(key), {}, {}, QString::number(tag)}; };
    static const QList<ui::Tab> strips[ui::TabStripCount] = {
        {tab(0, 1010), tab(1, 1011), tab(5, 1012), tab(6, 1380)}, // configuration
        {tab(4, 1015)},                                           // monitoring
        {tab(2, 1020), tab(3, 1021), tab(6, 1380)},               // calibration
    };
    static const QList<ui::Tab> none;
    return strip >= 0 && strip < ui::TabStripCount ? strips[strip] : none;
}

const QList<MenuToolDesign> &menuTools()
{
    const auto tool = [](const char *band, const char *key, int message = 0, int piece = 0) {
        return MenuToolDesign{{QString::fromLatin1(band), QString::fromLatin1(key)}, message, piece};
    };
    static const QList<MenuToolDesign> list{
        tool("MainMenu", "File", 1370, 1),
        tool("MainMenu", "Help", 1370, 2),
        tool("File", "OpenFile", 1371, 1),
        tool("File", "SaveFile", 1371, 2),
        tool("File", "FileSeperator"),
        tool("File", "ReadParameters", 1371, 3),
        tool("File", "WriteParameters", 1371, 4),
        tool("File", "SpreadParameters", 1371, 5),
        tool("File", "ParameterSeperator"),
        tool("File", "Language", 1371, 6),
        tool("File", "LanguageSeperator"),
        tool("File", "Quit", 1371, 7),
        tool("Language", "English", 1373, 2),
        tool("Language", "German", 1373, 1),
        tool("Help", "Manual", 1372, 1),
        tool("Help", "AppDoc", 1372, 2),
        tool("Help", "InfoSeperator"),
        tool("Help", "DeviceInfo", 1372, 3),
        tool("Help", "AboutSeperator"),
        tool("Help", "About", 1372, 4),
    };
    return list;
}

int pageOf(Container container)
{
    if (container.kind == Container::Kind::Page)
        return container.id;
    for (const Item &item : items()) {
        if (item.widget == Widget::Frame && item.element == ui::Element::frame(ui::Frame(container.id)))
            return pageOf(item.in);
    }
    return -1;
}

} // namespace ui::design
