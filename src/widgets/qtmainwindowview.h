#pragma once

// The main window on the desktop: a QMainWindow built from the window design (ui/windowdesign.h)
// with the button bar on the left, one tab strip per view, the seven page frames, the OK /
// Cancel / Apply line with the status text, and the menu bar. It implements the view seam:
// the logic places pages and frames in twips (1 twip = 1/15 pixel at 96 dpi), the controls are
// the Qt adapters of the control seam, and what a user does raises the seam's notifications;
// what the program does through the seam raises none.

#include "ui/mainwindowview.h"

#include <QHash>
#include <QList>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class QPushButton;
class QTabBar;
class QWidget;

namespace ui::design {
struct Item;
}

namespace widgets {

class ButtonBar;
class LogListWidget;
class MainWindowWidget;
class QtCheckBox;
class QtComboBox;
class QtOptionButton;
class QtTextBox;

class QtMainWindowView : public ui::MainWindowView
{
    Q_OBJECT
public:
    // An unattended run shows the same window on the offscreen platform, but nobody waits at it.
    explicit QtMainWindowView(bool interactive = true, QObject *parent = nullptr);
    ~QtMainWindowView() override;

    // The window itself: the owner of the program's dialogs, and what pictures are taken of.
    QMainWindow *window() const;
    // The widget of an element; null when the window has none.
    QWidget *widgetOf(ui::Element element) const;
    QTabBar *tabBar(int strip) const;
    QPushButton *lineButton(ui::LineButton button) const;
    QWidget *buttonBarItem(const QString &key) const;
    QAction *menuAction(const ui::MenuTool &tool) const;
    // Every widget of the pages that shows a text, with the page it lies on (for checks that
    // every caption fits).
    QList<QWidget *> pageWidgets() const;

    controls::TextBoxControl *textBox(int index) const override;
    controls::ComboBoxControl *comboBox(int index) const override;
    controls::CheckBoxControl *checkBox(int index) const override;
    controls::OptionButtonControl *optionButton(int index) const override;

    ui::Rect geometry(ui::Element element) const override;
    void move(ui::Element element, double left, double top) override;
    void setGeometry(ui::Element element, const ui::Rect &rect) override;
    bool isVisible(ui::Element element) const override;
    void setVisible(ui::Element element, bool visible) override;
    bool isEnabled(ui::Element element) const override;
    void setEnabled(ui::Element element, bool enabled) override;
    void setFocus(ui::Element element) override;
    QString caption(ui::Element element) const override;
    void setCaption(ui::Element element, const QString &caption) override;
    void setToolTip(ui::Element element, const QString &toolTip) override;
    void setForeColour(ui::Element element, controls::Colour colour) override;
    controls::Colour foreColour(ui::Element element) const override;
    QList<ui::ElementTag> captionTags() const override;
    void setProgress(int bar, int value) override;
    int progress(int bar) const override;

    void setButtonBarCaption(const QString &caption) override;
    QList<ui::ButtonBarItem> buttonBarItems() const override;
    void setButtonBarItemCaption(const QString &key, const QString &caption) override;
    void removeButtonBarItem(const QString &key) override;
    void selectButtonBarItem(const QString &key) override;
    QString selectedButtonBarItem() const override;
    void setButtonBarEnabled(bool enabled) override;
    bool buttonBarEnabled() const override;

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
    int visibleTabStrip() const override;

    QString menuToolCaption(const ui::MenuTool &tool) const override;
    void setMenuToolCaption(const ui::MenuTool &tool, const QString &caption) override;
    bool menuToolVisible(const ui::MenuTool &tool) const override;
    void setMenuToolVisible(const ui::MenuTool &tool, bool visible) override;
    bool menuToolEnabled(const ui::MenuTool &tool) const override;
    void setMenuToolEnabled(const ui::MenuTool &tool, bool enabled) override;
    bool menuToolChecked(const ui::MenuTool &tool) const override;
    void setMenuToolChecked(const ui::MenuTool &tool, bool checked) override;

    void setLineButtonCaption(ui::LineButton button, const QString &caption) override;
    bool lineButtonEnabled(ui::LineButton button) const override;
    void setLineButtonEnabled(ui::LineButton button, bool enabled) override;
    QString statusText() const override;
    void setStatusText(const QString &text) override;

    QString windowCaption() const override;
    void setWindowCaption(const QString &caption) override;
    ui::Rect windowGeometry() const override;
    void setWindowGeometry(const ui::Rect &rect) override;
    QList<ui::Rect> screenAreas() const override;
    WindowState windowState() const override;
    void setWindowState(WindowState state) override;
    void showWindow() override;
    void hideWindow() override;
    bool isWindowVisible() const override;
    void closeWindow() override;
    void setWindowEnabled(bool enabled) override;
    bool windowEnabled() const override;
    void refresh() override;
    bool isInteractive() const override { return m_interactive; }

    bool themeActive() const override { return true; }
    void setBackgroundColour(controls::Colour colour, const QStringList &kinds) override;
    void layOutAround(double pageWidth, double pageHeight) override;

    LogView *loggerList() override;
    LogView *timedList() override;

    // ---- what a user does, through the widgets (as a click would); each answers false when the
    // user could not do it (the target is absent, hidden or disabled, or the window disabled) ----
    bool clickTab(const QString &key); // on the visible strip, e.g. "KEY:5"
    bool clickButtonBarItem(const QString &key);
    // The next (1) or previous (-1) tab of the visible strip, round, as Ctrl+Tab chooses it.
    void stepTab(int step);
    bool clickMenuTool(const ui::MenuTool &tool);
    bool clickLineButton(ui::LineButton button);
    bool clickCommandButton(int index);
    // Types over the whole text of a text box key by key, as a user who selected it does.
    bool typeInto(int textBox, const QString &text);
    // Asks to close the window; answers whether it closed.
    bool requestClose();

private:
    struct Strip
    {
        QTabBar *tabs = nullptr;
        QWidget *pane = nullptr;
        QList<ui::Tab> designed; // key and tag of every tab the bar holds, in its order
    };

    friend class MainWindowWidget;
    void buildWindow();
    void buildPages();
    void buildStrips();
    void buildButtonLine();
    void buildMenus();
    QWidget *createItemWidget(const ui::design::Item &item, QWidget *parent);
    QWidget *elementWidget(ui::Element element) const;
    // Gives the fields that `label` names their accessible names again.
    void nameFieldsLabelledBy(ui::Element label);
    Strip &strip(int number);
    const Strip &strip(int number) const;
    void checkPosition(int strip, int position, bool insert = false) const;
    QAction *action(const ui::MenuTool &tool) const;
    // The user asks to close the window; answers whether it may close.
    bool userClosing();
    void paintBackground();

    bool m_interactive;
    std::unique_ptr<MainWindowWidget> m_window;
    QWidget *m_central = nullptr;
    ButtonBar *m_buttonBar = nullptr;
    Strip m_strips[ui::TabStripCount];
    int m_visibleStrip = 0;
    QList<QWidget *> m_pages;
    QHash<quint64, QWidget *> m_elements;
    QHash<quint64, QString> m_frameCaptions;
    QHash<quint64, controls::Colour> m_foreColours;
    QHash<quint64, ui::Rect> m_givenGeometry; // twips as the program set them
    std::optional<ui::Rect> m_givenWindowGeometry;
    QList<ui::ElementTag> m_captionTags;
    struct Naming
    {
        QWidget *field = nullptr;
        QList<ui::Element> labels;
    };
    QList<Naming> m_namings;
    QMultiHash<quint64, int> m_namedBy; // label -> the namings it takes part in
    QList<QtTextBox *> m_textBoxes;
    QList<QtComboBox *> m_comboBoxes;
    QList<QtCheckBox *> m_checkBoxes;
    QList<QtOptionButton *> m_optionButtons;
    LogListWidget *m_logList = nullptr;
    LogListWidget *m_timedList = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_lineButtons[3] = {};
    QHash<QString, QAction *> m_actions; // "band/key"
    double m_pageWidth = 0;
    double m_pageHeight = 0;
    controls::Colour m_background = controls::colour::WindowBackground;
    bool m_programSelectsTab = false;
    bool m_closing = false;
};

} // namespace widgets
