#pragma once

// What the plug-in host asks of its main window: loading, the pages of the command, showing
// and hiding, geometry and state for the automation interface. The window's logic (FrmMain)
// implements it over a view; the host's recording window stands in for host tests.

#include "ui/mainwindowview.h"

class PlugInWindow
{
public:
    virtual ~PlugInWindow() = default;

    // Loads the window without showing it (the session takes its object-server control).
    virtual void load() = 0;
    virtual bool isLoaded() const = 0;
    // Builds the pages and captions of the command and removes the views it does not offer.
    virtual void buildPages(int commandIndex) = 0;
    // Shows the window modeless; hides it.
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
    virtual bool isVisible() const = 0;
    virtual void unload() = 0;
    // True when the window waits for its user; a stand-in ends the program at once instead.
    virtual bool isInteractive() const = 0;

    // Geometry in twips.
    virtual double left() const = 0;
    virtual double top() const = 0;
    virtual double width() const = 0;
    virtual double height() const = 0;
    virtual void setLeft(double twips) = 0;
    virtual void setTop(double twips) = 0;
    virtual void setWidth(double twips) = 0;
    virtual void setHeight(double twips) = 0;

    virtual WindowState windowState() const = 0;
    virtual void setWindowState(WindowState state) = 0;
};
