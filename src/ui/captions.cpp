#include "ui/captions.h"

#include "session/session.h"
#include "strings/resstrings.h"
#include "ui/windowdesign.h"

namespace ui {

namespace {

struct TagNumbers
{
    int caption = 0;
    int toolTip = 0;
};

TagNumbers splitTag(const QString &tag)
{
    const QStringList parts = tag.split(QLatin1Char('/'));
    TagNumbers numbers;
    numbers.caption = parts.value(0).trimmed().toInt();
    numbers.toolTip = parts.value(1).trimmed().toInt();
    return numbers;
}

QString toolTipOf(const TagNumbers &numbers, bool initialised)
{
    return numbers.toolTip > 0 && initialised ? GetResString(numbers.toolTip) : QString();
}

MenuTool tool(const char *band, const char *key)
{
    return {QString::fromLatin1(band), QString::fromLatin1(key)};
}

} // namespace

void LoadResStringsToForm(MainWindowView &view, bool initialised)
{
    for (const ElementTag &tagged : view.captionTags()) {
        const TagNumbers numbers = splitTag(tagged.tag);
        if (numbers.caption > 0)
            view.setCaption(tagged.element, GetResString(numbers.caption));
        view.setToolTip(tagged.element, toolTipOf(numbers, initialised));
    }
    for (int strip = 0; strip < TabStripCount; ++strip) {
        for (int position = 1; position <= view.tabCount(strip); ++position) {
            const TagNumbers numbers = splitTag(view.tab(strip, position).tag);
            if (numbers.caption > 0)
                view.setTabCaption(strip, position, GetResString(numbers.caption));
            view.setTabToolTip(strip, position, toolTipOf(numbers, initialised));
        }
    }
}

void LoadResStringsToMenu(MainWindowView &view)
{
    for (const design::MenuToolDesign &text : design::menuTools()) {
        if (!text.isSeparator())
            view.setMenuToolCaption(text.tool, GetResString(text.message, text.piece));
    }
}

void LoadResStringsToButtons(MainWindowView &view)
{
    view.setButtonBarCaption(GetResString(1000));
    for (const ButtonBarItem &item : view.buttonBarItems())
        view.setButtonBarItemCaption(item.key, GetResString(item.tag));
    view.setLineButtonCaption(LineButton::Ok, GetResString(1374, 1));
    view.setLineButtonCaption(LineButton::Cancel, GetResString(1374, 2));
    view.setLineButtonCaption(LineButton::Apply, GetResString(1374, 3));
}

void ApplyMenuForCommand(MainWindowView &view, int commandIndex)
{
    if (commandIndex == commands::StandAlone) {
        // Without a device there is nothing to read, write, save, load, copy or describe.
        for (const char *key : {"OpenFile", "SaveFile", "ReadParameters", "WriteParameters", "SpreadParameters"})
            view.setMenuToolEnabled(tool("File", key), false);
        view.setMenuToolEnabled(tool("Help", "DeviceInfo"), false);
        return;
    }
    if (commandIndex < 2 || commandIndex > 4)
        return;
    for (const char *key : {"OpenFile", "SaveFile", "FileSeperator", "ReadParameters", "WriteParameters",
                            "SpreadParameters", "ParameterSeperator"})
        view.setMenuToolVisible(tool("File", key), false);
}

} // namespace ui
