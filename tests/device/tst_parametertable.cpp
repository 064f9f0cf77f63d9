// The command module's parameter table on the demo network: which parameters each device
// template gets, their lists and byte windows. The text boxes' scaling and ranges are
// tst_parameterbounds'.

#include "support/configurationrig.h"

#include "params/choiceparams.h"
#include "params/cparamtextbox.h"
#include "params/rawparams.h"

using E = cParamEnums;

namespace {

// The parameters the configuration creates for a device, in creation order; all of them
// available unless `available` names the available ones.
QStringList tableOf(const char *device, int command = 1, QStringList available = {})
{
    ConfigurationRig rig;
    cConfiguration &config = rig.open(device, command);
    config.FetchCPs();
    QStringList all;
    QStringList availableNow;
    for (const cParam *parameter : config.Parameters()->AllParameters()) {
        all.append(parameter->Name());
        if (parameter->Available())
            availableNow.append(parameter->Name());
    }
    if (available.isEmpty())
        available = all;
    if (availableNow != available || rig.logger.loggerOnErrorFlag())
        return QStringList{QStringLiteral("unexpected availability or log: ")} + availableNow;
    return all;
}

// "text=data" per item, as the control shows them.
QStringList items(const controls::ComboBoxControl *box)
{
    QStringList all;
    for (int i = 0; i < box->count(); ++i)
        all.append(box->itemText(i) + QLatin1Char('=') + QString::number(box->itemData(i)));
    return all;
}

} // namespace

class TestParameterTable : public QObject
{
    Q_OBJECT

private slots:
    // Every template with a panel gets the same table; one without a panel CP gets the panel
    // count parameter (unavailable) but none of the buttons and switches that depend on it.
    // The calibration and monitoring commands need only the few parameters their pages use.
    void tableOfEachTemplate()
    {
        const QStringList full = tableOf("CM 1.02");
        QVERIFY(full.contains("PanelType_1") && full.contains("OffsetTemp"));
        QCOMPARE(tableOf("CM 1.04"), full);
        // A template that offers no button mode has the parameter, unavailable.
        QStringList standardAvailable = full;
        standardAvailable.removeAll("ButtonMode");
        QCOMPARE(tableOf("CM 1.06", 1, standardAvailable), full);

        QStringList withoutPanel = full;
        const qsizetype first = withoutPanel.indexOf("PanelType_2");
        withoutPanel.remove(first, withoutPanel.indexOf("PushEvent2FanSpeed") - first + 1);
        QStringList available = withoutPanel;
        available.removeAll("PanelType_1");
        QCOMPARE(tableOf("CM 1.01", 1, available), withoutPanel);

        // The calibration view also needs the panel: it decides the knob procedure.
        const QStringList calibration{"ButtonMode", "PanelType_1", "PanelType_2", "MinDeltaTemp", "OffsetTemp", "TempMode"};
        QCOMPARE(tableOf("CM 1.04", 2), calibration);
        const QStringList monitoring{"ButtonMode", "MinDeltaTemp", "OffsetTemp", "TempMode"};
        QCOMPARE(tableOf("CM 1.02", 3), monitoring);
    }

    // An INI entry of the device's template that leads nowhere or holds an unreadable number
    // leaves its parameter unavailable and says so in one red line per start, naming the file,
    // the line and the entry. Where each kind of entry leads is tst_inifile's.
    void iniFaultIsShownOnce_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QString>("cause");
        QTest::newRow("past the CP list") << QByteArray("99,0,0") << "CP-Index=99";
        QTest::newRow("unreadable NV") << QByteArray("2,x,0") << "\"x\", which is not a whole number";
    }
    void iniFaultIsShownOnce()
    {
        QFETCH(QByteArray, entry);
        QFETCH(QString, cause);
        ConfigurationRig rig("OffsetTemp@TQM_CM_L2 = " + entry);
        cConfiguration &config = rig.open("CM 1.02");
        config.FetchCPs();
        QVERIFY(!config.Parameters()->ParameterAllByName("OffsetTemp")->Available());
        const QStringList red = rig.redTexts();
        QCOMPARE(red.size(), 1);
        const QString place = QStringLiteral("INI file %1, line %2: the entry \"OffsetTemp\"")
                                  .arg(rig.ini.fileName())
                                  .arg(rig.ini.lineOf(product::CpSection, "OffsetTemp@TQM_CM_L2"));
        QVERIFY2(red.first().startsWith(place) && red.first().contains(cause), qPrintable(red.first()));
    }

    void buttonModesOfTheTemplate_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("held"); // the device's value before opening
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("greyed"); // and its one mode written
        // Which modes a template lists is tst_devicevariants'; here one, several or none. The single
        // mode is written, unless the device holds it already; with no mode to offer the parameter
        // is unavailable and not written.
        const QStringList one{"changes HVAC app mode=0"};
        QTest::newRow("one mode") << "CM 1.01" << "2" << one << true;
        QTest::newRow("one mode held already") << "CM 1.01" << "0" << one << true;
        QTest::newRow("all modes") << "CM 1.02" << "2"
                                   << QStringList{"is not available=-1", "changes HVAC app mode=0",
                                                  "changes Fan speed level=1", "changes HVAC mode=2"} << false;
        QTest::newRow("no mode") << "CM 1.06" << "2" << QStringList{} << false;
    }
    void buttonModesOfTheTemplate()
    {
        QFETCH(QString, device);
        QFETCH(QString, held);
        QFETCH(QStringList, expected);
        QFETCH(bool, greyed);
        const QString stored = greyed ? "0" : held;
        ConfigurationRig rig;
        ConfigurationRig::setRaw(rig.module(device), "nciButtonMode", held);
        rig.server->resetMessageCounts();
        cConfiguration &config = rig.open(device);
        config.FetchCPs();

        const cParamComboBox *buttonMode = config.Parameters()->ComboBoxParameterByName("ButtonMode");
        QCOMPARE(items(buttonMode->ComboBoxControl()), expected);
        QCOMPARE(buttonMode->Available(), !expected.isEmpty());
        QCOMPARE(buttonMode->LockMode() == E::LM_DISABLED_GREY, greyed);
        QCOMPARE(buttonMode->ComboBoxControl()->enabled(), !greyed && !expected.isEmpty());
        QCOMPARE(ConfigurationRig::raw(rig.module(device), "nciButtonMode"), stored);
        QCOMPARE(rig.server->messageCounts(rig.device(device)).cpWrites, held == stored ? 0 : 1);
        if (greyed)
            QCOMPARE(buttonMode->ComboBoxControl()->listIndex(), 0);
    }

    void switchAssignmentsFollowPanelAndVariant_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QStringList>("expected");

        const QStringList menuButtons{"none=0", "menu button 1=1", "menu button 2=2", "menu button 3=3"};
        QTest::newRow("variant 4: button pairs") << "CM 1.04" << "3\t4"
            << menuButtons + QStringList{"button 1 (left) =5", "button 1 (right)=6", "button 2 (left) =7", "button 2 (right)=8"};
        QTest::newRow("variant 5: digital inputs") << "CM 1.05" << "3\t4"
            << menuButtons + QStringList{"digital input 1=5", "digital input 2=6", "digital input 3=7", "digital input 4=8"};
        QTest::newRow("no variant: menu buttons only") << "CM 1.06" << "2\t2"
                                                       << QStringList{"none=0", "menu button 1=1", "menu button 2=2"};
        QTest::newRow("empty panel") << "CM 1.04" << "0\t0" << QStringList{"none=0"};
    }
    void switchAssignmentsFollowPanelAndVariant()
    {
        QFETCH(QString, device);
        QFETCH(QString, panel);
        ConfigurationRig rig;
        cpaccess::writeRawText(*rig.device(device)->configProperties()->item("PanelType"), panel);
        cConfiguration &config = rig.open(device);
        config.FetchCPs();

        for (const char *name : {"SwitchMap_1", "SwitchMap_2", "SwitchMapFanSpeed_1", "SwitchMapFanSpeed_2"})
            QTEST(items(config.Parameters()->ComboBoxParameterByName(name)->ComboBoxControl()), "expected");
        // The panel counts shaped the lists; they are neither read again nor written nor saved.
        const cParam1Byte *second = config.Parameters()->Parameter1ByteByName("PanelType_2");
        QVERIFY(second->DontReadFromLns() && second->DontWriteToLns() && second->DontWriteToFile());
        QVERIFY(!config.Parameters()->GetAllCpNamesShouldBeWrittenToLns().contains("PanelType"));
    }

    // The device's own values read as valid: its default for the "off" HVAC mode is a choice, and
    // a heartbeat of 0 means "off" although the text box accepts only 1 s and more (the read greys
    // the field without a value). Two combo boxes share the switch-map CP, each with its byte; the
    // option buttons carry the temperature modes.
    void readAndWrittenValues()
    {
        ConfigurationRig rig;
        ConfigurationRig::setRaw(rig.module("CM 1.04"), "nciRcvHrtBt", "0\t0");
        cConfiguration &config = rig.openAndRead("CM 1.04");
        QCOMPARE(config.Parameters()->ComboBoxParameterByName("HvacModeOff")->Value(), qint32(E::HVAC_OFF));
        const cParamTextBox *receive = config.Parameters()->TextBoxParameterByName("MaxReceiveTime");
        QCOMPARE(receive->Value(), 0);
        QCOMPARE(receive->LockMode(), qint32(E::LM_DISABLED_GREY_NO_VALUE));
        QVERIFY(!config.Parameters()->FirstInvalidParameter());

        QVERIFY(qobject_cast<controls::MemoryComboBox *>(rig.window.ComboBox(9))->chooseItem("button 2 (right)"));
        QVERIFY(qobject_cast<controls::MemoryComboBox *>(rig.window.ComboBox(10))->chooseItem("menu button 3"));
        rig.window.OptionButton(0)->click();
        QCOMPARE(config.Parameters()->OptionButtonParameterByName("TempMode")->Value(), QStringLiteral("1"));
        rig.window.OptionButton(1)->click();
        config.WriteSettings();
        QCOMPARE(ConfigurationRig::raw(rig.module("CM 1.04"), "nciSwitchMap"), QStringLiteral("8\t3"));
        QCOMPARE(ConfigurationRig::raw(rig.module("CM 1.04"), "nciTempMode"), QStringLiteral("0"));
    }
};

QTEST_GUILESS_MAIN(TestParameterTable)
#include "tst_parametertable.moc"
