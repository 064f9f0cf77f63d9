#pragma once

// The transfer tests' set on the demo network: "CM 1.04" is the opened device ("own"), "CM 2.02"
// another of its template ("other"), "CM 1.03" one of another template ("third") whose entry
// for OffsetTemp the plug-in INI file lacks; the INI file also has an entry for the fan-level
// array. `params` holds a parameter of every kind on own's command-module object, two 1-byte
// parameters sharing one CP, one that is not read, one without a CP, and an image of the
// fan-level array with a parameter bound to it. The combo box offers 1 to 5, the option
// buttons 3, 4 and 7, the text box takes -200 to 200.

#include "support/configurationrig.h"

#include "params/cconfigprop.h"
#include "params/choiceparams.h"
#include "params/cparams.h"
#include "params/cparamtextbox.h"
#include "params/rawparams.h"
#include "transfer/lnstransfer.h"
#include "transfer/paramsetfile.h"

class TransferNet : public ConfigurationRig
{
public:
    TransferNet() : ConfigurationRig("OffsetTemp@TQM_CM_L3 =\nFanLevels = 31,0,0")
    {
        own = module(QStringLiteral("CM 1.04"));
        other = module(QStringLiteral("CM 2.02"));
        third = module(QStringLiteral("CM 1.03"));
        params.setContext({&dialogs, "Title", &ini, "TQM_CM_L4", QLocale::c(), &logger});
        params.setSystem(session.system);
        addParameters();
    }

    static lns::ConfigPropertyPtr cp(const lns::LonMarkObjectPtr &object, const QString &name)
    {
        return object->configProperties()->item(name);
    }
    static QString deviceOf(const lns::ObjectPtr &object)
    {
        const auto device = lns::ancestorByClassId(object, lns::AppDeviceClass);
        return device ? device->name() : QString();
    }

    lns::LonMarkObjectPtr own, other, third;
    cParams params;
    transfer::LnsTransfer transfer{params};
    transfer::ParamSetFile file{params};
    controls::MemoryTextBox textBox;
    controls::MemoryComboBox comboBox;
    controls::MemoryCheckBox checkBox;
    controls::OptionGroup ledGroup;
    controls::MemoryOptionButton ledButton3{0, &ledGroup}, ledButton4{1, &ledGroup}, ledButton7{2, &ledGroup};

    cParam1Byte *buttonMode = nullptr;  // nciButtonMode, whole CP
    cParam1Byte *switchMapA = nullptr;  // nciSwitchMap byte 1
    cParam1Byte *switchMapB = nullptr;  // nciSwitchMap byte 2
    cParam1Byte *tempMode = nullptr;    // nciTempMode, DontReadFromLns
    cParam1Byte *unbound = nullptr;     // no CP
    cParam1Byte *fanLevel2 = nullptr;   // byte 2 of the fan-level image
    cParam2Byte *offsetTemp = nullptr;  // nciTmpOffset (missing on third)
    cParamCheckBox *occCmdOn = nullptr; // nciOccCmdOn
    cParamComboBox *discLevels = nullptr; // nciDiscLevels
    cParamOptBtn *ledMode1 = nullptr;   // nciLedMode1, raw text
    cParamTextBox *deltaStep = nullptr; // nciSetPtDeltaStep
    cConfigProp *fanLevels = nullptr;   // nciFanLevels, 5 elements

private:
    void addParameters()
    {
        buttonMode = params.Add1ByteParameter("ButtonMode", cp(own, "nciButtonMode"), "ButtonMode");
        switchMapA = params.Add1ByteParameter("SwitchMapA", cp(own, "nciSwitchMap"), "SwitchMap");
        switchMapA->ConsiderPartOfCpOnly(1);
        switchMapB = params.Add1ByteParameter("SwitchMapB", cp(own, "nciSwitchMap"), "SwitchMap");
        switchMapB->ConsiderPartOfCpOnly(2);
        tempMode = params.Add1ByteParameter("TempMode", cp(own, "nciTempMode"), "TempMode");
        tempMode->setDontReadFromLns(true);
        unbound = params.Add1ByteParameter("Unbound", nullptr, "Nowhere");
        fanLevels = params.AddConfigProp("FanLevels", cp(own, "nciFanLevels"), "FanLevels");
        fanLevel2 = params.Add1ByteParameterExtCp("FanLevel2", fanLevels);
        fanLevel2->ConsiderPartOfCpOnly(2);
        offsetTemp = params.Add2ByteParameter("OffsetTemp", cp(own, "nciTmpOffset"), "OffsetTemp");
        offsetTemp->setSignedValue(true);
        occCmdOn = params.AddCheckBoxParameter("OccCmdOn", &checkBox, cp(own, "nciOccCmdOn"), "OccCmdOn");
        discLevels = params.AddComboBoxParameter("DiscLevels", &comboBox, cp(own, "nciDiscLevels"), "DiscLevels");
        for (int level = 1; level <= 5; ++level)
            discLevels->AddComboBoxItem(QString::number(level), level);
        ledMode1 = params.AddOptionButtonParameter("LedMode1", cp(own, "nciLedMode1"), "LedMode1");
        ledMode1->AddOptionButton(&ledButton3, QStringLiteral("3"));
        ledMode1->AddOptionButton(&ledButton4, QStringLiteral("4"));
        ledMode1->AddOptionButton(&ledButton7, QStringLiteral("7"));
        deltaStep = params.AddTextBoxParameter("DeltaStep", &textBox, cp(own, "nciSetPtDeltaStep"), "SetPtDeltaStep");
        deltaStep->setRangeMin(-200);
        deltaStep->setRangeMax(200);
    }
};
