#include "app/configurationlisting.h"

#include "device/cconfiguration.h"
#include "device/configurationwindow.h"
#include "host/host.h"
#include "lns/controls/controls.h"
#include "params/choiceparams.h"
#include "params/cparamenums.h"
#include "params/cparamtextbox.h"
#include "params/rawparams.h"

namespace configurationlisting {

namespace {

QString shownValue(const cParam &parameter)
{
    switch (parameter.ClassId()) {
    case cParamEnums::PA_CLASSID_TEXTBOX_PARAMETER: {
        const auto &textBox = static_cast<const cParamTextBox &>(parameter);
        return (textBox.TextBoxControl()->text() + QLatin1Char(' ') + textBox.UnitMnemonic()).trimmed();
    }
    case cParamEnums::PA_CLASSID_COMBOBOX_PARAMTER: {
        const auto &comboBox = static_cast<const cParamComboBox &>(parameter);
        const int index = comboBox.ComboBoxControl()->listIndex();
        const QString item = index >= 0 ? comboBox.ComboBoxControl()->itemText(index) : QStringLiteral("?");
        return QStringLiteral("%1 (%2)").arg(item).arg(comboBox.Value());
    }
    case cParamEnums::PA_CLASSID_CHECKBOX_PARAMETER:
        return QString::number(static_cast<const cParamCheckBox &>(parameter).Value());
    case cParamEnums::PA_CLASSID_OPTIONBUTTON_PARAMETER:
        return static_cast<const cParamOptBtn &>(parameter).Value();
    case cParamEnums::PA_CLASSID_1BYTE_PARAMETER:
        return QString::number(static_cast<const cParam1Byte &>(parameter).Value());
    case cParamEnums::PA_CLASSID_2BYTE_PARAMETER: {
        const auto &twoByte = static_cast<const cParam2Byte &>(parameter);
        return QStringLiteral("%1,%2").arg(twoByte.Value1()).arg(twoByte.Value2());
    }
    default:
        return static_cast<const cParamASCII &>(parameter).Value();
    }
}

} // namespace

QStringList readAndList(PlugInHost &host, MultiDeviceWindowFactory createMultiDeviceWindow)
{
    MemoryConfigurationWindow window(host.session().windowTitle());
    cConfiguration configuration(host.services(), window, std::move(createMultiDeviceWindow));
    window.setUpdatingControls(true);
    configuration.FetchCPs();
    configuration.ReadSettings();
    window.setUpdatingControls(false);

    QStringList lines;
    for (const cParam *parameter : configuration.Parameters()->AllParameters()) {
        lines.append(parameter->Available() ? parameter->Name() + QStringLiteral(" = ") + shownValue(*parameter)
                                            : parameter->Name() + QStringLiteral(": not available"));
    }
    return lines;
}

} // namespace configurationlisting
