#pragma once

// A network of three command modules for the transfer tests: "Own" (the opened device) and
// "Other" of one template, "Third" of another whose entry for OffsetTemp the plug-in INI file
// lacks. The INI file is the shipped one plus that gap and an entry for the fan-level array. `params` holds a parameter of every
// kind on Own's command-module object, two 1-byte parameters sharing one CP, one that is not
// read, one without a CP, and an image of the fan-level array with a parameter bound to it. The
// combo box offers 1 to 5, the option buttons 3, 4 and 7, the text box takes -200 to 200.

#include "lns/controls/memorycontrols.h"
#include "lns/embedded/embeddedobjectserver.h"
#include "lns/inifile.h"
#include "lns/logger.h"
#include "lns/product.h"
#include "lns/userdialogs.h"
#include "params/cconfigprop.h"
#include "params/choiceparams.h"
#include "params/cparams.h"
#include "params/cparamtextbox.h"
#include "params/cpaccess.h"
#include "params/rawparams.h"
#include "transfer/lnstransfer.h"
#include "transfer/paramsetfile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

class TransferNet
{
public:
    static inline const QString OwnTemplate = QStringLiteral("TQM_CM_L4");

    TransferNet()
    {
        QVERIFY2(dir.isValid(), "no temporary directory");
        const QJsonArray devices = {device("Own", "TQM_CM_L4"), device("Other", "TQM_CM_L4"),
                                    device("Third", "TQM_CM_L3")};
        embedded::createNetwork(dir.path(),
                                QJsonObject{{"name", "Xfer"},
                                            {"subsystems", QJsonArray{QJsonObject{{"path", "Site"},
                                                                                  {"devices", devices}}}}});
        server = embedded::EmbeddedObjectServer::create(dir.path());
        server->open(lns::ConnectionMode::Local);
        system = server->network(QStringLiteral("Xfer"))->systems()->item(1);
        own = lmo(QStringLiteral("Own"));
        other = lmo(QStringLiteral("Other"));
        third = lmo(QStringLiteral("Third"));
        writeIniFile();

        params.setContext({&dialogs, QStringLiteral("Title"), &ini, OwnTemplate, QLocale::c(), &logger});
        params.setSystem(system);
        addParameters();
    }

    lns::LonMarkObjectPtr lmo(const QString &deviceName)
    {
        return server->lonMarkObject(QStringLiteral("Xfer.Site.") + deviceName + QStringLiteral(".CommandModule"));
    }
    static lns::ConfigPropertyPtr cp(const lns::LonMarkObjectPtr &object, const QString &name)
    {
        return object->configProperties()->item(name);
    }
    static QString raw(const lns::LonMarkObjectPtr &object, const QString &name)
    {
        return cpaccess::readRawText(*cp(object, name));
    }
    static void setRaw(const lns::LonMarkObjectPtr &object, const QString &name, const QString &text)
    {
        cpaccess::writeRawText(*cp(object, name), text);
    }
    static QString deviceOf(const lns::ObjectPtr &object)
    {
        const auto device = lns::ancestorByClassId(object, lns::AppDeviceClass);
        return device ? device->name() : QString();
    }
    // Every CP value of the object's device, for comparing byte for byte.
    static QStringList snapshot(const lns::LonMarkObjectPtr &object)
    {
        QStringList values;
        for (const auto &c : object->configProperties()->items())
            values.append(c->name() + QLatin1Char('=') + cpaccess::readRawText(*c));
        for (const auto &c : object->appDevice()->configProperties()->items())
            values.append(c->name() + QLatin1Char('=') + cpaccess::readRawText(*c));
        return values;
    }
    static void setOnline(const lns::LonMarkObjectPtr &object, bool online)
    {
        embedded::EmbeddedObjectServer::setDeviceOnline(object->appDevice(), online);
    }

    QTemporaryDir dir;
    embedded::EmbeddedObjectServerPtr server;
    lns::SystemPtr system;
    lns::LonMarkObjectPtr own, other, third;
    IniFile ini;
    MemoryLogger logger;
    ScriptedDialogs dialogs;
    cParams params;
    transfer::LnsTransfer transfer{params};
    transfer::ParamSetFile file{params};
    controls::MemoryTextBox textBox;
    controls::MemoryComboBox comboBox;
    controls::MemoryCheckBox checkBox;
    controls::OptionGroup ledGroup;
    controls::MemoryOptionButton ledButton3{0, &ledGroup}, ledButton4{1, &ledGroup}, ledButton7{2, &ledGroup};

    // The parameters, by kind.
    cParam1Byte *buttonMode = nullptr;  // nciButtonMode, whole CP
    cParam1Byte *switchMapA = nullptr;  // nciSwitchMap byte 1
    cParam1Byte *switchMapB = nullptr;  // nciSwitchMap byte 2
    cParam1Byte *tempMode = nullptr;    // nciTempMode, DontReadFromLns
    cParam1Byte *unbound = nullptr;     // no CP
    cParam1Byte *fanLevel2 = nullptr;   // byte 2 of the fan-level image
    cParam2Byte *offsetTemp = nullptr;  // nciTmpOffset (missing on Third)
    cParamCheckBox *occCmdOn = nullptr; // nciOccCmdOn
    cParamComboBox *discLevels = nullptr; // nciDiscLevels
    cParamOptBtn *ledMode1 = nullptr;   // nciLedMode1, raw text
    cParamTextBox *deltaStep = nullptr; // nciSetPtDeltaStep
    cConfigProp *fanLevels = nullptr;   // nciFanLevels, 5 elements

private:
    static QJsonObject device(const char *name, const char *deviceTemplate)
    {
        return QJsonObject{{"name", name}, {"template", deviceTemplate}, {"online", true}};
    }

    void writeIniFile()
    {
        QFile shipped(QStringLiteral(":/TqmCmdModule.ini"));
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        const QString path = dir.filePath(product::PlugInIniFileName);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(shipped.readAll());
        file.write("\r\n[" + product::CpSection.toUtf8() + "]\r\nOffsetTemp@TQM_CM_L3 =\r\nFanLevels = 31,0,0\r\n");
        file.close();
        ini.setFileName(path);
    }

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
        occCmdOn->setValueChecked(1);
        occCmdOn->setValueUnchecked(0);
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
