#pragma once

// What the parts of the Qt main-window view share: twips and pixels, the spacing of the window's
// own layout, and one way to refuse an element, tab or tool the window does not have.

#include "base/tqmerror.h"
#include "ui/mainwindowview.h"
#include "ui/windowdesign.h"

#include <QRect>

namespace widgets::qtview {

// Spacing of the window's own layout, in pixels.
constexpr int Margin = 8;

[[noreturn]] inline void noSuch(const QString &what)
{
    throw TqmError(TqmError::SubscriptOutOfRange, QStringLiteral("QtMainWindowView"), what);
}

inline int pixels(double twips)
{
    return qRound(twips / ui::design::TwipsPerPixel);
}

inline double twips(int pixels)
{
    return pixels * ui::design::TwipsPerPixel;
}

inline ui::Rect twipsOf(const QRect &rect)
{
    return {twips(rect.x()), twips(rect.y()), twips(rect.width()), twips(rect.height())};
}

inline QRect pixelsOf(const ui::Rect &rect)
{
    return QRect(pixels(rect.left), pixels(rect.top), pixels(rect.width), pixels(rect.height));
}

} // namespace widgets::qtview
