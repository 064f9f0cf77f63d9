#pragma once

// The main window without a screen: in-memory controls and elements built from the window design
// (windowdesign.h), as the Qt view is, and what a user does with it (click a tab, a menu tool, a
// button; press F1; close the window). It raises the view's notifications exactly as the Qt view
// does; changes the program makes raise nothing. Tests and unattended runs use it.

#include "lns/controls/memorycontrols.h"
#include "ui/mainwindowview.h"

#include <QHash>
#include <QMap>
#include <vector>

namespace ui {

class MemoryMainWindowView : public MainWindowView
{
    Q_OBJECT
public:
    explicit MemoryMainWindowView(QObject *parent = nullptr);
    ~MemoryMainWindowView() override;

    controls::MemoryTextBox *textBox(int index) const override;
    controls::MemoryComboBox *comboBox(int index) const override;
    controls::MemoryCheckBox *checkBox(int index) const override;
    controls::MemoryOptionButton *optionButton(int index) const override;

    Rect geometry(Element element) const override;
    void move(Element element, double left, double top) override;
    void setGeometry(Element element, const Rect &rect) override;
    bool isVisible(Element element) const override;
    void setVisible(Element element, bool visible) override;
    bool isEnabled(Element element) const override;
    void setFocus(Element element) override { m_focus = element; }
    // The element that got the focus last; none: a label with id -1.
    Element focusedElement() const { return m_focus; }
    void setEnabled(Element element, bool enabled) override;
    QString caption(Element element) const override;
    void setCaption(Element element, const QString &caption) override;
    void setToolTip(Element element, const QString &toolTip) override;
    void setForeColour(Element element, controls::Colour colour) override;
    controls::Colour foreColour(Element element) const override;
    QList<ElementTag> captionTags() const override;
    void setProgress(int bar, int value) override;
    int progress(int bar) const override;

    void setButtonBarCaption(const QString &caption) override { buttonBarCaption = caption; }
    QList<ButtonBarItem> buttonBarItems() const override { return m_items; }
    void setButtonBarItemCaption(const QString &key, const QString &caption) override;
    void removeButtonBarItem(const QString &key) override;
    void selectButtonBarItem(const QString &key) override;
    QString selectedButtonBarItem() const override { return m_selectedItem; }
    void setButtonBarEnabled(bool enabled) override { m_buttonBarEnabled = enabled; }
    bool buttonBarEnabled() const override { return m_buttonBarEnabled; }

    int tabCount(int strip) const override;
    Tab tab(int strip, int position) const override;
    void insertTab(int strip, int position, const Tab &tab) override;
    void removeTab(int strip, int position) override;
    void setTabCaption(int strip, int position, const QString &caption) override;
    void setTabToolTip(int strip, int position, const QString &toolTip) override;
    int selectedTab(int strip) const override;
    void selectTab(int strip, int position) override;
    Rect clientArea(int strip) const override;
    void showTabStrip(int strip) override;
    int visibleTabStrip() const override { return m_visibleStrip; }

    QString menuToolCaption(const MenuTool &tool) const override;
    void setMenuToolCaption(const MenuTool &tool, const QString &caption) override;
    bool menuToolVisible(const MenuTool &tool) const override;
    void setMenuToolVisible(const MenuTool &tool, bool visible) override;
    bool menuToolEnabled(const MenuTool &tool) const override;
    bool menuToolChecked(const MenuTool &tool) const override;
    void setMenuToolChecked(const MenuTool &tool, bool checked) override;
    void setMenuToolEnabled(const MenuTool &tool, bool enabled) override;

    void setLineButtonCaption(LineButton button, const QString &caption) override;
    bool lineButtonEnabled(LineButton button) const override;
    void setLineButtonEnabled(LineButton button, bool enabled) override;
    QString statusText() const override { return m_statusText; }
    void setStatusText(const QString &text) override;

    QString windowCaption() const override { return m_caption; }
    void setWindowCaption(const QString &caption) override { m_caption = caption; }
    Rect windowGeometry() const override { return m_windowRect; }
    void setWindowGeometry(const Rect &rect) override { m_windowRect = rect; }
    QList<Rect> screenAreas() const override { return screens; }
    // One screen of 1920 x 1080 pixels unless a test gives others.
    QList<Rect> screens{{0, 0, 28800, 16200}};
    WindowState windowState() const override { return m_state; }
    void setWindowState(WindowState state) override { m_state = state; }
    void showWindow() override;
    void hideWindow() override { m_visible = false; }
    bool isWindowVisible() const override { return m_visible; }
    void closeWindow() override;
    void setWindowEnabled(bool enabled) override;
    bool windowEnabled() const override { return m_enabled; }
    void refresh() override { ++refreshCount; }
    bool isInteractive() const override { return false; }

    bool themeActive() const override { return theme; }
    void setBackgroundColour(controls::Colour colour, const QStringList &kinds) override;
    void layOutAround(double pageWidth, double pageHeight) override;

    LogView *loggerList() override { return &loggerLines; }
    LogView *timedList() override { return &timedLines; }

    // ---- what a user does; each answers false when the user could not do it (the target is
    // absent, hidden or disabled, or the window is disabled) ----
    bool clickTab(const QString &key);               // on the visible strip, e.g. "KEY:5"
    bool clickButtonBarItem(const QString &key);
    bool clickMenuTool(const QString &key);          // tool keys are unique across bands
    bool clickLineButton(LineButton button);
    bool clickCommandButton(int index);
    void pressF1();
    // Asks to close the window; answers whether it closed.
    bool requestClose();

    // ---- for tests ----
    // The keys of the tabs the strip shows, in order.
    QStringList tabKeys(int strip) const;
    QString selectedTabKey(int strip) const;
    QString lineButtonCaption(LineButton button) const;
    // The band of a tool key; empty when no band has it.
    QString bandOf(const QString &key) const;

    bool theme = true;
    QString buttonBarCaption;
    controls::Colour backgroundColour = 0;
    QStringList backgroundKinds;
    double laidOutPageWidth = 0;
    double laidOutPageHeight = 0;
    MemoryLogView loggerLines;
    MemoryLogView timedLines;
    QStringList statusHistory;
    QList<bool> enabledHistory;
    int refreshCount = 0;
    int closeCount = 0;

private:
    Element m_focus{Element::Kind::Label, -1};
    struct ElementState
    {
        Rect rect;
        bool visible = true;
        bool enabled = true;
        QString caption;
        QString toolTip;
        QString tag;
        controls::Colour foreColour = controls::colour::WindowText;
    };
    struct ToolState
    {
        QString caption;
        bool visible = true;
        bool enabled = true;
        bool checked = false;
    };
    struct LineButtonState
    {
        QString caption;
        bool enabled = true;
    };
    static quint64 keyOf(Element element);
    ElementState &state(Element element);
    const ElementState &state(Element element) const;
    void addElement(Element element, const Rect &rect, const QString &tag = {});
    void checkStrip(int strip) const;
    void checkPosition(int strip, int position, bool insert = false) const;
    const ToolState &tool(const MenuTool &tool) const;
    bool userCanReach(Element element) const;
    void buildDesign();

    controls::OptionGroup *m_optionGroup;
    std::vector<controls::MemoryTextBox *> m_textBoxes;
    std::vector<controls::MemoryComboBox *> m_comboBoxes;
    std::vector<controls::MemoryCheckBox *> m_checkBoxes;
    std::vector<controls::MemoryOptionButton *> m_optionButtons;
    QHash<quint64, ElementState> m_elements;
    QList<Element> m_designOrder;
    QHash<int, int> m_progress;

    QList<ButtonBarItem> m_items;
    QString m_selectedItem;
    bool m_buttonBarEnabled = true;

    QList<Tab> m_tabs[TabStripCount];
    int m_selected[TabStripCount] = {0, 0, 0};
    Rect m_strips[TabStripCount];
    int m_visibleStrip = 0;

    QMap<QString, QMap<QString, ToolState>> m_tools; // band -> key -> state
    QHash<int, LineButtonState> m_lineButtons;
    QString m_statusText;
    QString m_caption;
    Rect m_windowRect{1200, 900, 9855, 8760};
    WindowState m_state = WindowState::Normal;
    bool m_visible = false;
    bool m_enabled = true;
};

} // namespace ui
