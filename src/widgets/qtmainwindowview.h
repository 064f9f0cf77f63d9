#pragma once

// The main window on the desktop: a QMainWindow built from the window design (ui/windowdesign.h)
// with the button bar on the left, one tab strip per view, the seven page frames, the OK /
// Cancel / Apply line with the status text, and the menu bar. It implements the view seam:
// the logic places pages and frames in twips (1 twip = 1/15 pixel at 96 dpi), the controls are
// the Qt adapters of the control seam, and what a user does raises the seam's notifications;
// what the program does through the seam raises none.
//
// Each part of the seam is a small Qt class of its own (qtwindowparts.h, qttabstrips.h,
// qtelements.h), built in the order the widgets stack; this class joins them and adds the
// layout, the background, the keyboard shortcuts and the user's side of what the parts lack.

#include "widgets/qtelements.h"
#include "widgets/qttabstrips.h"
#include "widgets/qtwindowparts.h"

#include <optional>

namespace widgets {

class QtMainWindowView : public ui::MainWindowView,
                         public QtTopLevel,
                         public QtButtonBar,
                         public QtTabStrips,
                         public QtControlArrays,
                         public QtElements,
                         public QtButtonLine,
                         public QtMenuBar
{
    Q_OBJECT
public:
    // An unattended run shows the same window on the offscreen platform, but nobody waits at it.
    explicit QtMainWindowView(bool interactive = true, QObject *parent = nullptr);
    ~QtMainWindowView() override;

    // Every widget of the pages that shows a text, with the page it lies on (for checks that
    // every caption fits).
    QList<QWidget *> pageWidgets() const;

    bool themeActive() const override { return true; }
    void setBackgroundColour(controls::Colour colour, const QStringList &kinds) override;
    void layOutAround(double pageWidth, double pageHeight) override;

    // ---- what a user does, through the widgets (as a click would); each answers false when the
    // user could not do it (the target is absent, hidden or disabled). Tabs, button-bar items,
    // menu tools and line buttons are clicked through their parts. ----
    bool clickCommandButton(int index);
    // Types over the whole text of a text box key by key, as a user who selected it does.
    bool typeInto(int textBox, const QString &text);
    // Asks to close the window; answers whether it closed.
    bool requestClose();

private:
    void addShortcuts();
    void paintBackground();

    controls::Colour m_background = controls::colour::WindowBackground;
    std::optional<controls::Colour> m_paintedBackground; // what the pages were last painted with
};

} // namespace widgets
