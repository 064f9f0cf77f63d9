#pragma once

// The Qt window, button bar, button line and menu bar: parts of QtMainWindowView, each built from
// the window design. What a user does with them raises the notifications of the view they are
// given; what the program does through them raises none.

#include "ui/mainwindowview.h"

#include <QHash>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QMainWindow;
class QPushButton;
class QWidget;

namespace widgets {

class ButtonBar;
class MainWindowWidget;

class QtTopLevel : public virtual ui::TopLevelView
{
public:
    // An unattended run shows the same window on the offscreen platform, but nobody waits at it.
    // A user closing the window raises `view`'s closeRequested.
    QtTopLevel(bool interactive, ui::MainWindowView &view);
    ~QtTopLevel() override;

    // The window itself: the owner of the program's dialogs, and what pictures are taken of.
    QMainWindow *window() const;
    // Where the other parts lie.
    QWidget *central() const { return m_central; }

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

protected:
    // Keys that no field took go to `press`: Escape for Cancel, Enter for OK, as in a dialog.
    void onDialogKey(std::function<void(ui::LineButton)> press) { m_dialogKey = std::move(press); }

private:
    friend class MainWindowWidget;
    // The user asks to close the window; answers whether it may close.
    bool userClosing();

    ui::MainWindowView &m_view;
    bool m_interactive;
    std::function<void(ui::LineButton)> m_dialogKey;
    std::unique_ptr<MainWindowWidget> m_window;
    QWidget *m_central;
    std::optional<ui::Rect> m_givenWindowGeometry;
    bool m_closing = false;
};

class QtButtonBar : public virtual ui::ButtonBarView
{
public:
    QtButtonBar(QWidget *parent, ui::MainWindowView &view);

    void setButtonBarCaption(const QString &caption) override;
    QList<ui::ButtonBarItem> buttonBarItems() const override;
    void setButtonBarItemCaption(const QString &key, const QString &caption) override;
    void removeButtonBarItem(const QString &key) override;
    void selectButtonBarItem(const QString &key) override;
    QString selectedButtonBarItem() const override;
    void setButtonBarEnabled(bool enabled) override;
    bool buttonBarEnabled() const override;

    QWidget *buttonBarItem(const QString &key) const;
    // As a user clicks; false when the item is absent, hidden or disabled.
    bool clickButtonBarItem(const QString &key);

protected:
    ButtonBar *buttonBarWidget() const { return m_bar; }

private:
    ButtonBar *m_bar;
};

// OK / Cancel / Apply and the status text.
class QtButtonLine : public virtual ui::ButtonLineView
{
public:
    QtButtonLine(QWidget *parent, ui::MainWindowView &view);

    void setLineButtonCaption(ui::LineButton button, const QString &caption) override;
    bool lineButtonEnabled(ui::LineButton button) const override;
    void setLineButtonEnabled(ui::LineButton button, bool enabled) override;
    QString statusText() const override;
    void setStatusText(const QString &text) override;

    QPushButton *lineButton(ui::LineButton button) const;
    // As a user clicks; false when the button is hidden or disabled.
    bool clickLineButton(ui::LineButton button);

protected:
    // Places the status text from `left`, then OK, Cancel and Apply ending at `right`; answers
    // the line's height.
    int placeButtonLine(int left, int top, int right);

private:
    QLabel *m_status;
    QPushButton *m_lineButtons[3] = {};
};

class QtMenuBar : public virtual ui::MenuBarView
{
public:
    QtMenuBar(QMainWindow *window, ui::MainWindowView &view);

    QString menuToolCaption(const ui::MenuTool &tool) const override;
    void setMenuToolCaption(const ui::MenuTool &tool, const QString &caption) override;
    bool menuToolVisible(const ui::MenuTool &tool) const override;
    void setMenuToolVisible(const ui::MenuTool &tool, bool visible) override;
    bool menuToolEnabled(const ui::MenuTool &tool) const override;
    void setMenuToolEnabled(const ui::MenuTool &tool, bool enabled) override;
    bool menuToolChecked(const ui::MenuTool &tool) const override;
    void setMenuToolChecked(const ui::MenuTool &tool, bool checked) override;

    // Null when the menu has no such tool.
    QAction *menuAction(const ui::MenuTool &tool) const;
    // As a user chooses it; false when the tool is absent, hidden or disabled, or the window is
    // hidden or disabled.
    bool clickMenuTool(const ui::MenuTool &tool);

private:
    QAction *action(const ui::MenuTool &tool) const;

    QMainWindow *m_menuWindow;
    QHash<QString, QAction *> m_actions; // "band/key"
};

} // namespace widgets
