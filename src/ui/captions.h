#pragma once

// The window's texts from the string table in the current language: captions and tool tips from
// the design tags, the menu tools (windowdesign.h), the button bar and the button line; and the
// menu entries each command offers.

#include "ui/mainwindowview.h"

#include <QList>

namespace ui {

// Captions and tool tips of every tagged element and every tab. A tag is a caption number or a
// caption and a tool-tip number separated by "/"; a number below 1 means none. Tool tips are
// given only once start-up has completed its initialisation (`initialised`); before, they are
// set empty.
void LoadResStringsToForm(MainWindowView &view, bool initialised);
void LoadResStringsToMenu(MainWindowView &view);
// The button bar's group and item captions, and OK / Cancel / Apply.
void LoadResStringsToButtons(MainWindowView &view);

// The commands that do not configure (calibrate, monitor, controlling) offer no file handling.
void ApplyMenuForCommand(MainWindowView &view, int commandIndex);

} // namespace ui
