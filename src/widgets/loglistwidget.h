#pragma once

// A list of the logger's lines on the logger page: each line in its colour, the newest one
// scrolled into view.

#include "session/logview.h"

#include <QListWidget>

namespace widgets {

class LogListWidget : public QListWidget, public LogView
{
    Q_OBJECT
public:
    explicit LogListWidget(QWidget *parent = nullptr);
    void addLine(const LogViewLine &line) override;
};

} // namespace widgets
