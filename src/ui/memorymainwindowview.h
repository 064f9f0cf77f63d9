#pragma once

// The main window without a screen: in-memory controls and elements built from the window design
// (windowdesign.h), as the Qt view is, and what a user does with it (click a tab, a menu tool, a
// button; press F1; close the window). It raises the view's notifications exactly as the Qt view
// does; changes the program makes raise nothing. Tests and unattended runs use it.
//
// Each part of the seam is a small in-memory class of its own (memoryelements.h,
// memorywindowparts.h); this class joins them and adds the user's side.

#include "ui/memoryelements.h"
#include "ui/memorywindowparts.h"

namespace ui {

class MemoryMainWindowView : public MainWindowView,
                             public MemoryControlArrays,
                             public MemoryElements,
                             public MemoryButtonBar,
                             public MemoryTabStrips,
                             public MemoryMenuBar,
                             public MemoryButtonLine,
                             public MemoryTopLevel,
                             public MemoryLayout,
                             public MemoryLoggerLists
{
    Q_OBJECT
public:
    explicit MemoryMainWindowView(QObject *parent = nullptr);
    ~MemoryMainWindowView() override;

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

private:
    bool windowTakesInput() const;
};

} // namespace ui
