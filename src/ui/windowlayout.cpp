#include "ui/windowlayout.h"

#include "base/tqmerror.h"
#include "ui/mainwindowview.h"
#include "ui/tabs.h"

namespace ui {

const QStringList &backgroundKinds()
{
    static const QStringList kinds{QStringLiteral("frame"),        QStringLiteral("label"),
                                   QStringLiteral("checkbox"),     QStringLiteral("qvlines"),
                                   QStringLiteral("picturebox"),   QStringLiteral("optionbutton"),
                                   QStringLiteral("commandbutton"), QStringLiteral("ciahslider30")};
    return kinds;
}

controls::Colour backgroundColourFor(bool themeActive)
{
    return themeActive ? controls::colour::WindowBackground : controls::colour::ButtonFace;
}

bool LayOutWindow(MainWindowView &view, cTabStrips &tabStrips, double pageHeight, double pageWidth)
{
    bool theme = false;
    try {
        theme = view.themeActive();
    } catch (const TqmError &) {
        theme = false;
    }
    const double width = pageWidth == 0 ? DefaultPageWidth : pageWidth;
    for (int page = 0; page < PageCount; ++page) {
        Rect rect = view.geometry(Element::page(page));
        rect.width = width;
        rect.height = pageHeight;
        view.setGeometry(Element::page(page), rect);
    }
    view.setBackgroundColour(backgroundColourFor(theme), backgroundKinds());
    view.layOutAround(width, pageHeight);
    if (tabStrips.Count() == 0) {
        for (int strip = 0; strip < TabStripCount; ++strip)
            tabStrips.Add(strip);
    }
    return theme;
}

} // namespace ui
