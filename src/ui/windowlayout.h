#pragma once

// The layout step before the window is filled: every page frame gets the same size, the
// controls take the background colour that suits the desktop theme, the button bar, tab strips
// and button line are placed around the pages, and the tab strips are registered in the tab
// model. The page frames drawn at different places in the design then stack exactly inside the
// tab strips (the page selection moves them into the visible strip's client area).

#include "lns/controls/controls.h"

#include <QStringList>

namespace ui {

class MainWindowView;
class cTabStrips;

constexpr double DefaultPageWidth = 5100;
constexpr double DisplayPageHeight = 7050;

// The control kinds (lower-case type names) that take the background colour.
const QStringList &backgroundKinds();

// The window-background colour with a theme, the button-face colour without.
controls::Colour backgroundColourFor(bool themeActive);

// Runs the step; a page width of 0 means the default width. Answers whether a theme is active
// (false when the desktop cannot tell).
bool LayOutWindow(MainWindowView &view, cTabStrips &tabStrips, double pageHeight, double pageWidth = 0);

} // namespace ui
