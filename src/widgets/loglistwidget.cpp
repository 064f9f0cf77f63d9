#include "widgets/loglistwidget.h"

#include "strings/resstrings.h"
#include "widgets/qtcontrols.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

namespace widgets {

namespace {

constexpr int CopyCaption = 1570;

} // namespace

LogListWidget::LogListWidget(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    // A red line names its cause at its end: the whole line is shown, wrapped, never elided.
    setWordWrap(true);
    setTextElideMode(Qt::ElideNone);
    setResizeMode(QListView::Adjust);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void LogListWidget::addLine(const LogViewLine &line)
{
    auto *item = new QListWidgetItem(line.text, this);
    item->setToolTip(line.text);
    // Black lines take the text colour of the desktop, so that they stay readable on a dark one.
    if (line.colour != logcolour::Black)
        item->setForeground(toQColor(controls::Colour(line.colour), palette()));
    scrollToItem(item);
}

void LogListWidget::copySelection()
{
    QStringList lines;
    for (int row = 0; row < count(); ++row) {
        if (item(row)->isSelected())
            lines.append(item(row)->text());
    }
    if (!lines.isEmpty())
        QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void LogListWidget::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void LogListWidget::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    QAction *copy = menu.addAction(GetResString(CopyCaption));
    connect(copy, &QAction::triggered, this, &LogListWidget::copySelection);
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(!selectedItems().isEmpty());
    menu.exec(event->globalPos());
}

} // namespace widgets
