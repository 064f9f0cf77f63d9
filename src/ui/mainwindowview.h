#pragma once

// The main-window view seam: everything the window's logic (FrmMain) asks of a window, named by
// the identities the window design fixes. The Qt view in src/widgets implements it with widgets;
// MemoryMainWindowView implements it in memory for tests and unattended runs.
//
// Identities:
// - control arrays by index: text boxes 0-14, combo boxes 0-18, check boxes 0-1, option buttons
//   0-2 (the controls of src/lns/controls, so the parameter binding works on either view), and
//   command buttons 0-6;
// - labels by number: the caption message where one label alone has that caption (1055, 1056),
//   the numbers in `labels` below, otherwise a number of the view's own choosing; named frames,
//   the seven page frames 0-6 and the progress bars; all of these through `Element`;
// - the button bar (one group, items by key "0", "1", "2", each with its caption tag);
// - tab strips 0, 1, 2 with tabs at 1-based positions, each tab with key ("KEY:n"), caption,
//   tool tip and tag;
// - menu tools by band and key ("File"/"SaveFile");
// - the OK / Cancel / Apply line, the status text, the window caption, position and state.
// Geometry is in twips throughout.
//
// Notifications: the controls raise their own (see controls.h). The view raises the signals
// below for what the user does: a button, a button-bar item, a tab or a menu tool clicked, F1
// pressed, the window asked to close. Changes made by the program through this interface raise
// nothing (selecting a tab or a button-bar item, removing a tab); the logic runs what follows
// from them itself. All notifications are delivered synchronously on the caller's thread.
//
// Wait cursor and message boxes are not part of the view: they are the UserDialogs seam's.

#include "lns/controls/controls.h"
#include "session/logview.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

// Window states as the automation interface exchanges them.
enum class WindowState : qint16 { Normal = 0, Minimized = 1, Maximized = 2 };

namespace ui {

// A rectangle in twips.
struct Rect
{
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    bool operator==(const Rect &) const = default;
};

// The named frames of the pages (page frames are Element::page(n)).
enum class Frame : int {
    SwitchPosition0 = 0,    // page 1: toggle switch in mode switching (combo boxes 2, 3)
    SwitchPosition1 = 1,    // page 1: toggle switch in fan mode (combo boxes 4, 5, 6)
    SwitchPosition2 = 2,    // page 1: toggle switch in occupancy mode (combo boxes 7, 8)
    // The two push-button frames are out of view (hidden, top 30000) by design; Display shows
    // them for the variants with push buttons.
    SetPointButtons = 3,    // page 1: set-point push buttons (combo boxes 9-12, text box 13)
    FanSpeedButtons = 4,    // page 1: fan-speed push buttons (combo boxes 13-18, text box 14)
    MonitorSetPointOffset = 5,      // page 4: text box 5
    MonitorControllerFunction = 6,  // page 4: text box 6
    MonitorFanSpeed = 7,            // page 4: text boxes 7, 8, 9
    MonitorOccupancy = 8,           // page 4: text box 10
    SensorCopy = 9,         // page 2: copy the sensor calibration (button 2)
    KnobTwoStop = 10,       // page 3: two-stop knob calibration (button 1, progress bar 1)
    KnobReset = 11,         // page 3: reset knob calibrations (buttons 3, 4)
    KnobCentre = 12,        // page 3: centre knob calibration (buttons 5, 6)
};
constexpr int FrameCount = 13;
constexpr int PageCount = 7;
constexpr int TabStripCount = 3;
constexpr int CommandButtonCount = 7;
constexpr int ProgressBarCount = 2;   // 0: sensor calibration (page 2), 1: knob calibration (page 3)

// Any window element that has a place, a visibility, an enabled state and maybe a caption.
struct Element
{
    enum class Kind { Label, Frame, Page, ProgressBar, CommandButton, TextBox, ComboBox, CheckBox, OptionButton };
    Kind kind = Kind::Label;
    int id = 0; // label number, Frame value, page number, or index within its array

    static Element label(int number) { return {Kind::Label, number}; }
    static Element frame(Frame frame) { return {Kind::Frame, int(frame)}; }
    static Element page(int number) { return {Kind::Page, number}; }
    static Element progressBar(int index) { return {Kind::ProgressBar, index}; }
    static Element commandButton(int index) { return {Kind::CommandButton, index}; }
    static Element textBox(int index) { return {Kind::TextBox, index}; }
    static Element comboBox(int index) { return {Kind::ComboBox, index}; }
    static Element checkBox(int index) { return {Kind::CheckBox, index}; }
    static Element optionButton(int index) { return {Kind::OptionButton, index}; }
    bool operator==(const Element &) const = default;
};

// Label numbers that are not caption messages.
namespace labels {
constexpr int ChangedNotice = 30;      // page 4: "ATTENTION: The parameters have not been written." (1140)
constexpr int SensorResult = 31;       // page 2: result of the sensor calibration
constexpr int KnobResult = 32;         // page 3: result of the knob calibration
constexpr int KnobResetResult = 33;    // page 3: result of resetting this device's knob calibration
constexpr int KnobCentreResult = 34;   // page 3: result of the centre calibration of this device
} // namespace labels

// An element and the tag its design gives it: a caption number, or caption and tool-tip
// numbers separated by "/" ("1036" or "1102/1103").
struct ElementTag
{
    Element element;
    QString tag;
};

struct ButtonBarItem
{
    QString key;     // "0" configuration, "1" monitoring, "2" calibration
    int tag = 0;     // caption message: 1001, 1002, 1004
    QString caption;
};

struct Tab
{
    QString key;     // "KEY:" and the page number
    QString caption;
    QString toolTip;
    QString tag;     // caption message number as text
    bool operator==(const Tab &) const = default;
};

enum class LineButton { Ok, Cancel, Apply };

// A menu tool: band and key as the menu bar names them.
struct MenuTool
{
    QString band;
    QString key;
    bool operator==(const MenuTool &) const = default;
};

// The seam in parts, one per concern, so that each page's logic depends only on what it uses.
// Both views implement all of them through MainWindowView; the parts are virtual bases of it, so
// a view may implement each part in a small class of its own.

// The control arrays (null outside the array).
class ControlArraysView
{
public:
    virtual ~ControlArraysView() = default;
    virtual controls::TextBoxControl *textBox(int index) const = 0;
    virtual controls::ComboBoxControl *comboBox(int index) const = 0;
    virtual controls::CheckBoxControl *checkBox(int index) const = 0;
    virtual controls::OptionButtonControl *optionButton(int index) const = 0;
};

// Place, visibility, enabling and caption of any element.
class ElementsView
{
public:
    virtual ~ElementsView() = default;
    virtual Rect geometry(Element element) const = 0;
    // Moves the element (left, top); the size stays.
    virtual void move(Element element, double left, double top) = 0;
    virtual void setGeometry(Element element, const Rect &rect) = 0;
    virtual bool isVisible(Element element) const = 0;
    virtual void setVisible(Element element, bool visible) = 0;
    virtual bool isEnabled(Element element) const = 0;
    virtual void setEnabled(Element element, bool enabled) = 0;
    // Puts the keyboard focus into the element.
    virtual void setFocus(Element element) = 0;
    virtual QString caption(Element element) const = 0;
    virtual void setCaption(Element element, const QString &caption) = 0;
    virtual void setToolTip(Element element, const QString &toolTip) = 0;
    // The text colour of a label (the calibration results: red 255 for a failure, green
    // 0x008000 for success); other elements ignore it. A view without colours keeps none.
    virtual void setForeColour(Element element, controls::Colour colour) { Q_UNUSED(element) Q_UNUSED(colour) }
    virtual controls::Colour foreColour(Element element) const
    {
        Q_UNUSED(element)
        return controls::colour::WindowText;
    }
    // Every element that takes its caption (and tool tip) from a design tag.
    virtual QList<ElementTag> captionTags() const = 0;
    virtual void setProgress(int bar, int value) = 0;
    virtual int progress(int bar) const = 0;
};

// The button bar (one group).
class ButtonBarView
{
public:
    virtual ~ButtonBarView() = default;
    virtual void setButtonBarCaption(const QString &caption) = 0;
    // The items in their order.
    virtual QList<ButtonBarItem> buttonBarItems() const = 0;
    virtual void setButtonBarItemCaption(const QString &key, const QString &caption) = 0;
    virtual void removeButtonBarItem(const QString &key) = 0;
    virtual void selectButtonBarItem(const QString &key) = 0;
    virtual QString selectedButtonBarItem() const = 0;
    virtual void setButtonBarEnabled(bool enabled) = 0;
    virtual bool buttonBarEnabled() const = 0;
};

// Tab strips 0, 1, 2; tab positions are 1-based.
class TabStripsView
{
public:
    virtual ~TabStripsView() = default;
    virtual int tabCount(int strip) const = 0;
    virtual Tab tab(int strip, int position) const = 0;
    // Inserts before `position` (1 .. count + 1).
    virtual void insertTab(int strip, int position, const Tab &tab) = 0;
    virtual void removeTab(int strip, int position) = 0;
    virtual void setTabCaption(int strip, int position, const QString &caption) = 0;
    virtual void setTabToolTip(int strip, int position, const QString &toolTip) = 0;
    // 0 when the strip has no tab.
    virtual int selectedTab(int strip) const = 0;
    virtual void selectTab(int strip, int position) = 0;
    // The area of the strip that holds a page frame; its top grows when the tabs need more rows.
    virtual Rect clientArea(int strip) const = 0;
    // Shows this strip and hides the others.
    virtual void showTabStrip(int strip) = 0;
    virtual int visibleTabStrip() const = 0;
};

class MenuBarView
{
public:
    virtual ~MenuBarView() = default;
    virtual QString menuToolCaption(const MenuTool &tool) const = 0;
    virtual void setMenuToolCaption(const MenuTool &tool, const QString &caption) = 0;
    virtual bool menuToolVisible(const MenuTool &tool) const = 0;
    virtual void setMenuToolVisible(const MenuTool &tool, bool visible) = 0;
    virtual bool menuToolEnabled(const MenuTool &tool) const = 0;
    virtual void setMenuToolEnabled(const MenuTool &tool, bool enabled) = 0;
    // A tool marked as the choice in force (the language in use).
    virtual bool menuToolChecked(const MenuTool &tool) const = 0;
    virtual void setMenuToolChecked(const MenuTool &tool, bool checked) = 0;
};

// OK / Cancel / Apply and the status text.
class ButtonLineView
{
public:
    virtual ~ButtonLineView() = default;
    virtual void setLineButtonCaption(LineButton button, const QString &caption) = 0;
    virtual bool lineButtonEnabled(LineButton button) const = 0;
    virtual void setLineButtonEnabled(LineButton button, bool enabled) = 0;
    virtual QString statusText() const = 0;
    virtual void setStatusText(const QString &text) = 0;
};

// The window as a whole.
class TopLevelView
{
public:
    virtual ~TopLevelView() = default;
    virtual QString windowCaption() const = 0;
    virtual void setWindowCaption(const QString &caption) = 0;
    virtual Rect windowGeometry() const = 0;
    virtual void setWindowGeometry(const Rect &rect) = 0;
    // The area of each screen that windows may take (without panels); empty when unknown.
    virtual QList<Rect> screenAreas() const { return {}; }
    virtual WindowState windowState() const = 0;
    virtual void setWindowState(WindowState state) = 0;
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
    virtual bool isWindowVisible() const = 0;
    // Closes the window for good; raises nothing (the logic asked its question before).
    virtual void closeWindow() = 0;
    // A disabled window takes no input (long operations, calibrations).
    virtual void setWindowEnabled(bool enabled) = 0;
    virtual bool windowEnabled() const = 0;
    // Repaints at once, during a long operation.
    virtual void refresh() = 0;
    // True when the window waits for its user; an in-memory view lets the program end at once.
    virtual bool isInteractive() const = 0;
};

// Layout and theme.
class LayoutView
{
public:
    virtual ~LayoutView() = default;
    // Whether the desktop draws with a visual-style theme; false when it cannot tell.
    virtual bool themeActive() const = 0;
    // Paints every control whose lower-case type name is in `kinds` in `colour`; picture boxes
    // also lose their border.
    virtual void setBackgroundColour(controls::Colour colour, const QStringList &kinds) = 0;
    // Places the button bar, the tab strips and the button line around page frames of this size.
    virtual void layOutAround(double pageWidth, double pageHeight) = 0;
};

// The logger page.
class LoggerListsView
{
public:
    virtual ~LoggerListsView() = default;
    // The coloured lines of the logger page (newest visible) and the second, timed list.
    virtual LogView *loggerList() = 0;
    virtual LogView *timedList() = 0;
};

// The whole seam and the notifications of what the user does.
class MainWindowView : public QObject,
                       public virtual ControlArraysView,
                       public virtual ElementsView,
                       public virtual ButtonBarView,
                       public virtual TabStripsView,
                       public virtual MenuBarView,
                       public virtual ButtonLineView,
                       public virtual TopLevelView,
                       public virtual LayoutView,
                       public virtual LoggerListsView
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~MainWindowView() override = default;

signals:
    void commandButtonClicked(int index);
    void buttonBarItemClicked(const QString &key);
    void tabClicked(int strip, const QString &key);
    void menuToolClicked(const ui::MenuTool &tool);
    void lineButtonClicked(ui::LineButton button);
    // F1 (key code 112) in the window.
    void helpRequested();
    // The user closes the window (title bar, system menu). The receiver either sets *cancel,
    // and the window stays, or has unloaded the logic and called closeWindow() on return.
    void closeRequested(bool *cancel);
};

} // namespace ui
