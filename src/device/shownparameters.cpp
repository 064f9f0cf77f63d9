#include "device/shownparameters.h"

#include "lns/controls/controls.h"
#include "params/choiceparams.h"
#include "params/cparamenums.h"
#include "params/cparams.h"
#include "params/cparamtextbox.h"
#include "params/rawparams.h"
#include "transfer/paramsetfile.h"

namespace device {

namespace {

ShownParameter shown(const cParam &parameter)
{
    ShownParameter entry;
    entry.name = parameter.Name();
    entry.available = parameter.Available();
    if (!entry.available)
        return entry;
    entry.stored = transfer::ParamSetFile::valueText(parameter);
    switch (parameter.ClassId()) {
    case cParamEnums::PA_CLASSID_TEXTBOX_PARAMETER: {
        const auto &textBox = static_cast<const cParamTextBox &>(parameter);
        entry.value = textBox.TextBoxControl()->text().trimmed();
        entry.unit = textBox.UnitMnemonic().trimmed();
        break;
    }
    case cParamEnums::PA_CLASSID_COMBOBOX_PARAMTER: {
        const controls::ComboBoxControl *list = static_cast<const cParamComboBox &>(parameter).ComboBoxControl();
        const int index = list->listIndex();
        // A value the list does not hold shows as an empty list; say so rather than show nothing.
        entry.value = index >= 0 ? list->itemText(index) : QStringLiteral("?");
        entry.listItem = true;
        break;
    }
    case cParamEnums::PA_CLASSID_ASCII_PARAMETER:
        entry.value = static_cast<const cParamASCII &>(parameter).Value();
        break;
    default:
        entry.value = entry.stored;
        break;
    }
    return entry;
}

} // namespace

QList<ShownParameter> shownParameters(const cParams &params)
{
    QList<ShownParameter> all;
    for (const cParam *parameter : params.AllParameters())
        all.append(shown(*parameter));
    return all;
}

} // namespace device
