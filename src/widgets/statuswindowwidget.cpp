#include "widgets/statuswindowwidget.h"
#include "widgets/pictures.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

StatusWindowWidget::StatusWindowWidget(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_picture(new QLabel(this)), m_version(new QLabel(this)), m_text(new QLabel(this)),
      m_progress(new QProgressBar(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_picture, 0, Qt::AlignHCenter);
    layout->addWidget(m_version, 0, Qt::AlignRight);
    layout->addWidget(m_text);
    layout->addWidget(m_progress);
    m_progress->setRange(0, 100);
    m_progress->setTextVisible(false);
    m_text->setMinimumWidth(320);
}

void StatusWindowWidget::repaintNow(QWidget *part)
{
    // The caller goes on with blocking work; the change must be on the screen before that. Only
    // the part that changed is painted again (a longer text still lays the window out anew).
    part->repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void StatusWindowWidget::show()
{
    QWidget::show();
    raise();
    repaintNow(this);
}

void StatusWindowWidget::hide()
{
    QWidget::hide();
}

void StatusWindowWidget::setProgress(int value)
{
    m_progress->setValue(qBound(0, value, 100));
    if (isVisible())
        repaintNow(m_progress);
}

void StatusWindowWidget::setStatusText(const QString &text)
{
    m_text->setText(text);
    if (isVisible())
        repaintNow(m_text);
}

void StatusWindowWidget::setPicture(int pictureId)
{
    const QPixmap picture = widgets::picture(pictureId);
    if (!picture.isNull())
        m_picture->setPixmap(picture);
}

void StatusWindowWidget::setFontName(const QString &family)
{
    // A family the desktop does not have would only be substituted, at the cost of a font engine
    // of its own: the window then keeps the desktop's font.
    if (!QFontDatabase::families().contains(family, Qt::CaseInsensitive))
        return;
    QFont font = m_text->font();
    font.setFamily(family);
    m_text->setFont(font);
    m_version->setFont(font);
}

void StatusWindowWidget::setVersionText(const QString &text)
{
    m_version->setText(text);
}

QString StatusWindowWidget::statusText() const
{
    return m_text->text();
}

QString StatusWindowWidget::versionText() const
{
    return m_version->text();
}
