#pragma once

// The main window's design as data, the one both views are built from: every label, control,
// frame, button, progress bar and list of the seven pages, with the place it sits on (a page or a
// frame of a page), its rectangle in twips relative to that place, its caption tag, and how it is
// drawn; the items of the button bar, the tabs of the three strips, and the menu bands with their
// tools. Pages are PageWidth x PageHeight.
//
// Label numbers follow the window's identities (mainwindowview.h): the caption message when one
// label alone carries it, the numbers of ui::labels, and for a caption used again the caption
// plus 10000 per further use (1060, 11060, 21060).

#include "ui/mainwindowview.h"

#include <QList>
#include <QString>
#include <optional>

namespace ui::design {

constexpr double PageWidth = 5100;
constexpr double PageHeight = 7050;
constexpr double TwipsPerPixel = 15; // at 96 dots per inch

// A label number for the further uses of a caption.
constexpr int again(int caption, int occurrence)
{
    return caption + 10000 * occurrence;
}

enum class Widget {
    Label,       // one line, vertically centred
    Heading,     // bold, with a rule to its right
    Note,        // wrapped explanatory text
    Warning,     // wrapped, red
    Unit,        // the unit after a field; a fixed text, no caption tag
    TextBox,
    ReadOnlyBox, // a display field: the program fills it, the user cannot type into it
    ComboBox,
    CheckBox,
    OptionButton,
    CommandButton,
    ProgressBar,
    Frame,       // a borderless group that the program moves and hides as a whole
    LogList,     // the logger's coloured lines
    TimedList,   // the logger's second list, timed lines
};

// Where an item sits: on a page frame, or inside a named frame.
struct Container
{
    enum class Kind { Page, Frame };
    Kind kind = Kind::Page;
    int id = 0;
    static Container page(int number) { return {Kind::Page, number}; }
    static Container frame(ui::Frame frame) { return {Kind::Frame, int(frame)}; }
    bool operator==(const Container &) const = default;
};

// Items that take turns at one place: a group, and the option of it that the item belongs to.
// Items of different options of one group are never shown together; items of one option are.
struct Turn
{
    int group = 0;
    int option = 0;
};

struct Item
{
    Widget widget = Widget::Label;
    // What the window logic calls it; none for units and lists.
    std::optional<ui::Element> element;
    QString tag;       // caption tag ("1051", "1102/1103"); empty: none
    QString fixedText; // units
    Container in;
    ui::Rect rect;     // twips, relative to the container
    bool visible = true;
    QList<Turn> turns;
    int maximum = 0;   // progress bars: the value of a finished run
    // Input fields: the labels (or check box) whose captions name the field for a screen
    // reader, the heading of its column or row first.
    QList<ui::Element> labelledBy;

    // False when the two take turns, so that they may share a place.
    bool mayShowWith(const Item &other) const;
    // A frame hidden by design is out of the user's reach as well, until the window shows it.
    bool enabled() const { return visible || widget != Widget::Frame; }
};

// Where a page lies before the window lays its pages out, relative to the window's client area.
constexpr ui::Rect pageRect() { return {0, 0, PageWidth, PageHeight}; }

// The items in drawing order: a frame comes before what it holds.
const QList<Item> &items();

// The page a container lies on.
int pageOf(Container container);

// How many elements of that kind the design has (the control arrays run from 0 to count - 1).
int countOf(ui::Element::Kind kind);

// The button bar's items, top to bottom.
const QList<ui::ButtonBarItem> &buttonBarItems();

// The tabs strip 0, 1 or 2 is designed with, in order; captions and tool tips empty.
const QList<ui::Tab> &tabs(int strip);

// A menu tool and where its caption comes from (message and piece; 0 for a separator). A tool
// whose key is also the name of a band opens that band as its menu; the band "MainMenu" is the
// menu bar itself.
struct MenuToolDesign
{
    ui::MenuTool tool;
    int message = 0;
    int piece = 0;
    bool isSeparator() const { return message == 0; }
};
const QString MenuBarBand = QStringLiteral("MainMenu");

// Every tool of the menu bar, band by band, each band in its order.
const QList<MenuToolDesign> &menuTools();

} // namespace ui::design
