#pragma once

// The button bar on the left of the main window: one group with its caption and picture, and
// below it one big button per view, each with its picture and caption. A click on a view's
// button raises itemClicked; choosing an item from the program raises nothing. By keyboard the
// items take the focus in the window's tab order, the arrow keys move between them, and Enter
// or Space chooses the one with the focus.

#include "ui/mainwindowview.h"

#include <QFrame>
#include <QList>

class QLabel;
class QToolButton;
class QVBoxLayout;

namespace widgets {

class ButtonBar : public QFrame
{
    Q_OBJECT
public:
    // The group shows picture `groupPicture`; the pictures are those of widgets/pictures.h.
    ButtonBar(int groupPicture, QWidget *parent = nullptr);

    void setCaption(const QString &caption);
    QString caption() const;
    void addItem(const ui::ButtonBarItem &item, int picture);
    QList<ui::ButtonBarItem> items() const;
    // Null when there is no item with the key.
    QToolButton *item(const QString &key) const;
    void setItemCaption(const QString &key, const QString &caption);
    void removeItem(const QString &key);
    // Marks the item as the chosen one without raising itemClicked.
    void select(const QString &key);
    // Empty when no item is chosen.
    QString selected() const;
    // The width the captions need, at least the pictures' width.
    int neededWidth() const;

signals:
    void itemClicked(const QString &key);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Entry
    {
        ui::ButtonBarItem item;
        QToolButton *button = nullptr;
    };
    const Entry *find(const QString &key) const;

    QLabel *m_groupPicture;
    QLabel *m_groupCaption;
    QVBoxLayout *m_items;
    QList<Entry> m_entries;
};

} // namespace widgets
