#pragma once

// The application's style, with the menu bar's and tool bars' extension arrows made when they
// are first drawn instead of when the bar is made: Qt reads those pictures from PNG files, and
// the first PNG read loads every image-format plug-in Qt has, before the window appears.
// Everything else is the platform's own style.

#include <QProxyStyle>

namespace widgets {

class DeferredIconStyle : public QProxyStyle
{
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;
    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};

// Makes DeferredIconStyle the application's style (after the application object is made).
void useDeferredIconStyle();

} // namespace widgets
