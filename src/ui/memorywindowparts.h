#pragma once

// The in-memory button bar, tab strips, menu bar, button line, window, layout and logger lists,
// as the window design gives them. Parts of MemoryMainWindowView.

#include "session/logview.h"
#include "ui/mainwindowview.h"

#include <QHash>
#include <QMap>

namespace ui {

class MemoryButtonBar : public virtual ButtonBarView
{
public:
    MemoryButtonBar();

    void setButtonBarCaption(const QString &caption) override { buttonBarCaption = caption; }
    QList<ButtonBarItem> buttonBarItems() const override { return m_items; }
    void setButtonBarItemCaption(const QString &key, const QString &caption) override;
    void removeButtonBarItem(const QString &key) override;
    void selectButtonBarItem(const QString &key) override;
    QString selectedButtonBarItem() const override { return m_selectedItem; }
    void setButtonBarEnabled(bool enabled) override { m_buttonBarEnabled = enabled; }
    bool buttonBarEnabled() const override { return m_buttonBarEnabled; }

    QString buttonBarCaption;

private:
    int indexOf(const QString &key) const;

    QList<ButtonBarItem> m_items;
    QString m_selectedItem;
    bool m_buttonBarEnabled = true;
};

class MemoryTabStrips : public virtual TabStripsView
{
public:
    MemoryTabStrips();

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

    // The keys of the tabs the strip shows, in order.
    QStringList tabKeys(int strip) const;
    QString selectedTabKey(int strip) const;
    // Makes every strip hold page frames of this size.
    void fitPages(double pageWidth, double pageHeight);

private:
    void checkStrip(int strip) const;
    void checkPosition(int strip, int position, bool insert = false) const;

    QList<Tab> m_tabs[TabStripCount];
    int m_selected[TabStripCount] = {0, 0, 0};
    Rect m_strips[TabStripCount];
    int m_visibleStrip = 0;
};

class MemoryMenuBar : public virtual MenuBarView
{
public:
    MemoryMenuBar();

    QString menuToolCaption(const MenuTool &tool) const override;
    void setMenuToolCaption(const MenuTool &tool, const QString &caption) override;
    bool menuToolVisible(const MenuTool &tool) const override;
    void setMenuToolVisible(const MenuTool &tool, bool visible) override;
    bool menuToolEnabled(const MenuTool &tool) const override;
    void setMenuToolEnabled(const MenuTool &tool, bool enabled) override;
    bool menuToolChecked(const MenuTool &tool) const override;
    void setMenuToolChecked(const MenuTool &tool, bool checked) override;

    // The band of a tool key; empty when no band has it.
    QString bandOf(const QString &key) const;

private:
    struct ToolState
    {
        QString caption;
        bool visible = true;
        bool enabled = true;
        bool checked = false;
    };
    ToolState &toolState(const MenuTool &tool);
    const ToolState &toolState(const MenuTool &tool) const;

    QMap<QString, QMap<QString, ToolState>> m_tools; // band -> key -> state
};

class MemoryButtonLine : public virtual ButtonLineView
{
public:
    void setLineButtonCaption(LineButton button, const QString &caption) override;
    bool lineButtonEnabled(LineButton button) const override;
    void setLineButtonEnabled(LineButton button, bool enabled) override;
    QString statusText() const override { return m_statusText; }
    void setStatusText(const QString &text) override;

    QString lineButtonCaption(LineButton button) const;
    QStringList statusHistory;

private:
    struct LineButtonState
    {
        QString caption;
        bool enabled = true;
    };
    LineButtonState m_buttons[3];
    QString m_statusText;
};

class MemoryTopLevel : public virtual TopLevelView
{
public:
    QString windowCaption() const override { return m_caption; }
    void setWindowCaption(const QString &caption) override { m_caption = caption; }
    Rect windowGeometry() const override { return m_windowRect; }
    void setWindowGeometry(const Rect &rect) override { m_windowRect = rect; }
    QList<Rect> screenAreas() const override { return screens; }
    WindowState windowState() const override { return m_state; }
    void setWindowState(WindowState state) override { m_state = state; }
    void showWindow() override { m_visible = true; }
    void hideWindow() override { m_visible = false; }
    bool isWindowVisible() const override { return m_visible; }
    void closeWindow() override;
    void setWindowEnabled(bool enabled) override;
    bool windowEnabled() const override { return m_enabled; }
    void refresh() override { ++refreshCount; }
    bool isInteractive() const override { return false; }

    // One screen of 1920 x 1080 pixels unless a test gives others.
    QList<Rect> screens{{0, 0, 28800, 16200}};
    QList<bool> enabledHistory;
    int refreshCount = 0;
    int closeCount = 0;

private:
    QString m_caption;
    Rect m_windowRect{1200, 900, 9855, 8760};
    WindowState m_state = WindowState::Normal;
    bool m_visible = false;
    bool m_enabled = true;
};

class MemoryLayout : public virtual LayoutView
{
public:
    explicit MemoryLayout(MemoryTabStrips &strips) : m_strips(strips) {}

    bool themeActive() const override { return theme; }
    void setBackgroundColour(controls::Colour colour, const QStringList &kinds) override;
    void layOutAround(double pageWidth, double pageHeight) override;

    bool theme = true;
    controls::Colour backgroundColour = 0;
    QStringList backgroundKinds;
    double laidOutPageWidth = 0;
    double laidOutPageHeight = 0;

private:
    MemoryTabStrips &m_strips;
};

class MemoryLoggerLists : public virtual LoggerListsView
{
public:
    LogView *loggerList() override { return &loggerLines; }
    LogView *timedList() override { return &timedLines; }

    MemoryLogView loggerLines;
    MemoryLogView timedLines;
};

} // namespace ui
