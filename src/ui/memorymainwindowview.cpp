#include "ui/memorymainwindowview.h"

namespace ui {

MemoryMainWindowView::MemoryMainWindowView(QObject *parent)
    : MainWindowView(parent), MemoryControlArrays(this),
      MemoryElements(static_cast<const MemoryControlArrays &>(*this)), MemoryLayout(static_cast<MemoryTabStrips &>(*this))
{
}

MemoryMainWindowView::~MemoryMainWindowView() = default;

bool MemoryMainWindowView::windowTakesInput() const
{
    return isWindowVisible() && windowEnabled();
}

bool MemoryMainWindowView::clickTab(const QString &key)
{
    if (!windowTakesInput())
        return false;
    const int strip = visibleTabStrip();
    const int position = int(tabKeys(strip).indexOf(key)) + 1;
    if (position == 0)
        return false;
    selectTab(strip, position);
    emit tabClicked(strip, key);
    return true;
}

bool MemoryMainWindowView::clickButtonBarItem(const QString &key)
{
    if (!windowTakesInput() || !buttonBarEnabled())
        return false;
    for (const ButtonBarItem &item : buttonBarItems()) {
        if (item.key == key) {
            selectButtonBarItem(key);
            emit buttonBarItemClicked(key);
            return true;
        }
    }
    return false;
}

bool MemoryMainWindowView::clickMenuTool(const QString &key)
{
    const QString band = bandOf(key);
    if (!windowTakesInput() || band.isEmpty())
        return false;
    const MenuTool target{band, key};
    if (!menuToolVisible(target) || !menuToolEnabled(target))
        return false;
    emit menuToolClicked(target);
    return true;
}

bool MemoryMainWindowView::clickLineButton(LineButton button)
{
    if (!windowTakesInput() || !lineButtonEnabled(button))
        return false;
    emit lineButtonClicked(button);
    return true;
}

bool MemoryMainWindowView::clickCommandButton(int index)
{
    const Element button = Element::commandButton(index);
    if (!windowTakesInput() || !isVisible(button) || !isEnabled(button))
        return false;
    emit commandButtonClicked(index);
    return true;
}

void MemoryMainWindowView::pressF1()
{
    emit helpRequested();
}

bool MemoryMainWindowView::requestClose()
{
    bool cancel = false;
    emit closeRequested(&cancel);
    if (cancel)
        return false;
    hideWindow();
    return true;
}

} // namespace ui
