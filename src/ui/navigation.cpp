#include "ui/navigation.h"

#include "session/session.h"
#include "ui/pagecontext.h"
#include "ui/tabs.h"

namespace ui {

namespace views {

int tagOf(int viewBit)
{
    switch (viewBit) {
    case Configuration:
        return 1001;
    case ObjectConfiguration:
        return 1005;
    case Monitoring:
        return 1002;
    case Controlling:
        return 1003;
    case Calibration:
        return 1004;
    default:
        return 0;
    }
}

int removedForCommand(int commandIndex, bool accessible)
{
    switch (commandIndex) {
    case commands::Configure:
        return accessible ? 0 : Monitoring | Controlling | Calibration;
    case commands::Calibrate:
        return Configuration | ObjectConfiguration | Monitoring | Controlling;
    case commands::Monitor:
        return Configuration | ObjectConfiguration | Controlling | Calibration;
    case 4:
        return Configuration | ObjectConfiguration | Monitoring | Calibration;
    case commands::StandAlone:
        return Monitoring | Controlling | Calibration;
    default:
        return 0;
    }
}

} // namespace views

Navigation::Navigation(MainWindowView &view) : m_view(view)
{
}

void Navigation::RemoveViews(int mask)
{
    for (int bit = views::Configuration; bit <= views::Calibration; bit <<= 1) {
        if (!(mask & bit))
            continue;
        for (const ButtonBarItem &item : m_view.buttonBarItems()) {
            if (item.tag == views::tagOf(bit)) {
                m_view.removeButtonBarItem(item.key);
                break;
            }
        }
    }
}

bool Navigation::ViewIsOffered(int viewBit) const
{
    const int tag = views::tagOf(viewBit);
    if (tag == 0)
        return false;
    for (const ButtonBarItem &item : m_view.buttonBarItems()) {
        if (item.tag == tag)
            return true;
    }
    return false;
}

void Navigation::selectFirstView()
{
    const QList<ButtonBarItem> items = m_view.buttonBarItems();
    if (items.isEmpty())
        return;
    m_view.selectButtonBarItem(items.first().key);
    SelectView(items.first().key);
}

void Navigation::SelectView(const QString &itemKey)
{
    const int strip = itemKey.toInt();
    if (viewSelected)
        viewSelected(strip);
    m_view.showTabStrip(strip);
    const int selected = m_view.selectedTab(strip);
    if (selected == 0)
        return;
    tabClicked(m_view.tab(strip, selected).key);
}

void Navigation::tabClicked(const QString &key)
{
    const int keyNo = keyNumber(key);
    SelectPage(keyNo);
    if (pageChosen)
        pageChosen(keyNo);
}

void Navigation::SelectPage(int keyNo)
{
    const Rect client = m_view.clientArea(m_view.visibleTabStrip());
    for (int page = 0; page < PageCount; ++page) {
        const Element element = Element::page(page);
        const bool shown = page == keyNo;
        m_view.move(element, shown ? client.left : OutOfViewLeft, shown ? client.top : m_view.geometry(element).top);
        m_view.setEnabled(element, shown);
        m_view.setVisible(element, shown);
    }
    m_view.refresh();
    m_currentPageKey = keyNo;
}

int positionOfKey(const TabStripsView &tabs, int strip, int keyNo)
{
    for (int position = 1; position <= tabs.tabCount(strip); ++position) {
        if (keyNumber(tabs.tab(strip, position).key) == keyNo)
            return position;
    }
    return 0;
}

// Text boxes 0 to 2 lie on the Nv timing page; every other parameter control that can hold an
// invalid value (text boxes 13 and 14, the combo boxes) on the operation page.
void Navigation::showControl(controls::Control &control)
{
    const bool textBox = dynamic_cast<controls::TextBoxControl *>(&control) != nullptr;
    const int keyNo = textBox && control.controlIndex() <= 2 ? pages::NvTiming : pages::Operation;
    const QString configurationItem = QStringLiteral("0");
    if (m_view.visibleTabStrip() != 0) {
        m_view.selectButtonBarItem(configurationItem);
        SelectView(configurationItem);
    }
    if (const int position = positionOfKey(m_view, 0, keyNo)) {
        m_view.selectTab(0, position);
        SelectPage(keyNo);
    }
    m_view.setFocus(textBox ? Element::textBox(control.controlIndex()) : Element::comboBox(control.controlIndex()));
}

} // namespace ui

