#pragma once

// Where coloured logger lines are shown. The main window's logger list implements it; until it
// exists, lines only reach the log file.

#include "lns/logger.h"

class LogView
{
public:
    virtual ~LogView() = default;
    virtual void addLine(const LogViewLine &line) = 0;
};

// Keeps the lines it is shown, for tests and for a window that attaches later.
class MemoryLogView : public LogView
{
public:
    void addLine(const LogViewLine &line) override { lines.append(line); }
    QList<LogViewLine> lines;
};
