#include "widgets/deferredicons.h"

#include <QApplication>
#include <QIconEngine>
#include <QPointer>
#include <QStyleOption>

#include <functional>

namespace widgets {

namespace {

// An icon whose pictures are fetched from the style the first time anything asks for them.
class DeferredIconEngine final : public QIconEngine
{
public:
    explicit DeferredIconEngine(std::function<QIcon()> make) : m_make(std::move(make)) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    // Only icons the style has pictures for are deferred: asking is no reason to fetch them.
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("deferred"); }
    QIconEngine *clone() const override { return new DeferredIconEngine(*this); }

private:
    DeferredIconEngine(const DeferredIconEngine &) = default;

    const QIcon &icon()
    {
        if (m_make) {
            m_icon = m_make();
            m_make = nullptr;
        }
        return m_icon;
    }

    std::function<QIcon()> m_make;
    QIcon m_icon;
};

} // namespace

QIcon DeferredIconStyle::standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const
{
    if (icon != SP_ToolBarHorizontalExtensionButton && icon != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(icon, option, widget);
    // The arrow points the way the widget's text runs; without a style option the style asks
    // the application, as it does here.
    QStyleOption direction;
    direction.direction = option ? option->direction : QGuiApplication::layoutDirection();
    const QPointer<QStyle> base = baseStyle();
    return QIcon(new DeferredIconEngine([base, icon, direction] {
        return base ? base->standardIcon(icon, &direction) : QIcon();
    }));
}

void useDeferredIconStyle()
{
    QApplication::setStyle(new DeferredIconStyle);
}

} // namespace widgets
