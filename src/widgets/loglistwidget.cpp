#include "widgets/loglistwidget.h"

#include "widgets/qtcontrols.h"

namespace widgets {

LogListWidget::LogListWidget(QWidget *parent) : QListWidget(parent)
{
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void LogListWidget::addLine(const LogViewLine &line)
{
    auto *item = new QListWidgetItem(line.text, this);
    // Black lines take the text colour of the desktop, so that they stay readable on a dark one.
    if (line.colour != logcolour::Black)
        item->setForeground(toQColor(controls::Colour(line.colour), palette()));
    scrollToItem(item);
}

} // namespace widgets
