#include "widgets/buttonbar.h"

#include "base/tqmerror.h"
#include "widgets/accessiblefields.h"
#include "widgets/pictures.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace widgets {

namespace {

constexpr int PictureSize = 32;
constexpr int ItemPadding = 12;

[[noreturn]] void noItem(const QString &key)
{
    throw TqmError(TqmError::SubscriptOutOfRange, QStringLiteral("ButtonBar"),
                   QStringLiteral("The button bar has no item \"%1\".").arg(key));
}

} // namespace

ButtonBar::ButtonBar(int groupPicture, QWidget *parent)
    : QFrame(parent), m_groupPicture(new QLabel(this)), m_groupCaption(new QLabel(this))
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);

    // The group's title row, drawn like a header over the items.
    auto *header = new QFrame(this);
    header->setBackgroundRole(QPalette::Button);
    header->setAutoFillBackground(true);
    header->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    auto *headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(6, 4, 6, 4);
    headerLayout->setSpacing(6);
    m_groupPicture->setParent(header);
    m_groupPicture->setPixmap(widgets::picture(groupPicture).scaled(QSize(20, 20), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    // The caption keeps the window's one face: the header strip sets it apart, and a bold face
    // would cost the window's start a second font file and its shaping tables.
    m_groupCaption->setParent(header);
    headerLayout->addWidget(m_groupPicture);
    headerLayout->addWidget(m_groupCaption, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    layout->addWidget(header);
    m_items = new QVBoxLayout;
    m_items->setContentsMargins(4, 8, 4, 8);
    m_items->setSpacing(6);
    layout->addLayout(m_items);
    layout->addStretch(1);
}

void ButtonBar::setCaption(const QString &caption)
{
    m_groupCaption->setText(caption);
}

QString ButtonBar::caption() const
{
    return m_groupCaption->text();
}

void ButtonBar::addItem(const ui::ButtonBarItem &item, int picture)
{
    auto *button = new QToolButton(this);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setIcon(pictureIcon(picture));
    button->setIconSize(QSize(PictureSize, PictureSize));
    button->setText(item.caption);
    button->setCheckable(true);
    button->setAutoExclusive(true);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::StrongFocus);
    button->installEventFilter(this);
    exposeAsViewButton(button);
    // Over an item the pointer says it can be clicked; over the group's heading it does not.
    button->setCursor(Qt::PointingHandCursor);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    const QString key = item.key;
    connect(button, &QToolButton::clicked, this, [this, key] { emit itemClicked(key); });
    m_items->addWidget(button);
    m_entries.append({item, button});
}

QList<ui::ButtonBarItem> ButtonBar::items() const
{
    QList<ui::ButtonBarItem> list;
    for (const Entry &entry : m_entries)
        list.append(entry.item);
    return list;
}

const ButtonBar::Entry *ButtonBar::find(const QString &key) const
{
    for (const Entry &entry : m_entries) {
        if (entry.item.key == key)
            return &entry;
    }
    return nullptr;
}

QToolButton *ButtonBar::item(const QString &key) const
{
    const Entry *entry = find(key);
    return entry ? entry->button : nullptr;
}

void ButtonBar::setItemCaption(const QString &key, const QString &caption)
{
    for (Entry &entry : m_entries) {
        if (entry.item.key == key) {
            entry.item.caption = caption;
            entry.button->setText(caption);
            return;
        }
    }
    noItem(key);
}

void ButtonBar::removeItem(const QString &key)
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].item.key == key) {
            delete m_entries[i].button;
            m_entries.removeAt(i);
            return;
        }
    }
    noItem(key);
}

void ButtonBar::select(const QString &key)
{
    const Entry *entry = find(key);
    if (!entry)
        noItem(key);
    entry->button->setChecked(true);
}

QString ButtonBar::selected() const
{
    for (const Entry &entry : m_entries) {
        if (entry.button->isChecked())
            return entry.item.key;
    }
    return {};
}

bool ButtonBar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QFrame::eventFilter(watched, event);
    int at = -1;
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].button == watched)
            at = i;
    }
    if (at < 0)
        return QFrame::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    int step = 0;
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        step = -1;
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        step = 1;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_entries[at].button->click();
        return true;
    default:
        return QFrame::eventFilter(watched, event);
    }
    const int count = int(m_entries.size());
    m_entries[(at + step + count) % count].button->setFocus(Qt::TabFocusReason);
    return true;
}

int ButtonBar::neededWidth() const
{
    const int picturesWidth = PictureSize + 4 * ItemPadding;
    // Without captions (as the window is built) the pictures set the width; measuring the empty
    // captions would only load the bold font early.
    const bool captioned = !m_groupCaption->text().isEmpty()
                           || std::any_of(m_entries.cbegin(), m_entries.cend(),
                                          [](const Entry &entry) { return !entry.item.caption.isEmpty(); });
    if (!captioned)
        return picturesWidth;
    int width = m_groupPicture->sizeHint().width() + m_groupCaption->sizeHint().width() + 6 + 12;
    for (const Entry &entry : m_entries)
        width = qMax(width, entry.button->sizeHint().width() + ItemPadding);
    return qMax(width + 2 * frameWidth() + 8, picturesWidth);
}

} // namespace widgets
