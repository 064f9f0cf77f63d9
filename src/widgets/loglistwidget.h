#pragma once

// A list of the logger's lines on the logger page: each line in its colour, the newest one
// scrolled into view. A line is never cut off: long lines wrap at the list's width, and each
// line's full text is its tool tip. Lines can be selected and copied (Ctrl+C or the context
// menu's "Copy"), one per text line.

#include "session/logview.h"

#include <QListWidget>

namespace widgets {

class LogListWidget : public QListWidget, public LogView
{
    Q_OBJECT
public:
    explicit LogListWidget(QWidget *parent = nullptr);
    void addLine(const LogViewLine &line) override;
    // The selected lines, in the list's order, to the clipboard.
    void copySelection();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
};

} // namespace widgets
