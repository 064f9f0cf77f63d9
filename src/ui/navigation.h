#pragma once

// Views and pages of the main window: the button-bar views a command offers, the view selection
// (which shows its tab strip and the selected tab's page) and the page selection (which moves the
// page frame into the visible strip's client area and the others out of view).

#include "ui/mainwindowview.h"

#include <functional>

namespace ui {

// View bits: the button-bar views by their caption tags.
namespace views {
constexpr int Configuration = 1;       // tag 1001
constexpr int ObjectConfiguration = 2; // tag 1005
constexpr int Monitoring = 4;          // tag 1002
constexpr int Controlling = 8;         // tag 1003
constexpr int Calibration = 16;        // tag 1004
int tagOf(int viewBit);
// The views a command does not offer; `accessible` counts for the configure command only.
int removedForCommand(int commandIndex, bool accessible);
} // namespace views

// Key numbers of the pages.
namespace pages {
constexpr int Operation = 1;
constexpr int NvTiming = 5;
constexpr int Logger = 6;
} // namespace pages

// The position of the tab with this key number on the strip; 0 when it has none.
int positionOfKey(const TabStripsView &tabs, int strip, int keyNo);

class Navigation
{
public:
    explicit Navigation(MainWindowView &view);

    // Hears a view selected (its strip), and a page the user brought to the front.
    std::function<void(int strip)> viewSelected;
    std::function<void(int keyNo)> pageChosen;

    // Removes the button-bar views of the bits set in `mask`.
    void RemoveViews(int mask);
    // Whether the button bar offers the view of this bit.
    bool ViewIsOffered(int viewBit) const;
    void selectFirstView();
    // The view selection for a button-bar item, the page selection for a key number.
    void SelectView(const QString &itemKey);
    void SelectPage(int keyNo);
    // A tab of the visible strip clicked.
    void tabClicked(const QString &key);
    // Key number of the page shown last (0 to 6); the help context is 1000 + this.
    int currentPageKey() const { return m_currentPageKey; }

    // Brings the page of a parameter's control to the front and puts the focus there.
    void showControl(controls::Control &control);

private:
    MainWindowView &m_view;
    int m_currentPageKey = 0;
};

} // namespace ui
