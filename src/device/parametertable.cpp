// The command module's parameter table: which CP each parameter is bound to, which control
// shows it, which choices it offers and how its numbers are scaled and limited.

#include "device/cconfiguration.h"

#include "base/textutility.h"
#include "calibration/devicevariants.h"
#include "device/configurationwindow.h"
#include "lns/inifile.h"
#include "lns/inilocator.h"
#include "lns/logger.h"
#include "lns/product.h"
#include "params/choiceparams.h"
#include "params/cpaccess.h"
#include "params/cparamtextbox.h"
#include "params/rawparams.h"
#include "session/session.h"
#include "strings/resstrings.h"

using E = cParamEnums;

namespace {

// One choice of a list: piece of the list's message and the value it stands for.
struct Choice
{
    int piece;
    qint32 data;
};

void addChoices(cParamComboBox *parameter, int messageId, std::initializer_list<Choice> choices)
{
    for (const Choice &choice : choices)
        parameter->AddComboBoxItem(GetResString(messageId, choice.piece), choice.data);
}

constexpr int ButtonModeMessage = 1057;
constexpr int SetPtDeltaRangeMessage = 1052;
constexpr int HvacModeMessage = 1065;
constexpr int OccupancyMessage = 1067;
constexpr int SwitchAssignmentMessage = 1073;
constexpr int LedModeMessage = 1075;

// "is not available" first: a device without button modes then shows it as its only choice.
constexpr Choice ButtonModes[] = {{4, E::BM_NUL}, {1, E::BM_MODE}, {2, E::BM_FAN}, {3, E::BM_OCC}};

void addOccupancyChoices(cParamComboBox *parameter)
{
    addChoices(parameter, OccupancyMessage, {{1, E::OC_OCCUPIED}, {2, E::OC_UNOCCUPIED}, {3, E::OC_STANDBY}});
}

// The seventh mode is "Off" with the value HVAC_OFF (6), not the 8 (HVAC_EMERG_HEAT) that
// stands next to the text "Emerg. Heat" in the message: the device's HVAC-mode CPs carry
// SNVT_hvac_mode values, and the device itself defaults the mode "off" position to 6. With 8
// an unconfigured device would show its own default as invalid and writing "Off" would command
// emergency heat.
void addHvacModeChoices(cParamComboBox *parameter)
{
    addChoices(parameter, HvacModeMessage,
               {{1, E::HVAC_AUTO}, {2, E::HVAC_HEAT}, {3, E::HVAC_MRNG_WRMUP}, {4, E::HVAC_COOL},
                {5, E::HVAC_NIGHT_PURGE}, {6, E::HVAC_PRE_COOL}, {7, E::HVAC_OFF}});
}

void addSetPointLedChoices(cParamComboBox *parameter)
{
    addChoices(parameter, LedModeMessage,
               {{7, E::LEDTYPE_PRESSED}, {9, E::LEDTYPE_TEMP_MINUS}, {10, E::LEDTYPE_TEMP_PLUS}, {1, E::LEDTYPE_NUL}});
}

void addFanSpeedLedChoices(cParamComboBox *parameter)
{
    addChoices(parameter, LedModeMessage,
               {{7, E::LEDTYPE_PRESSED}, {11, E::LEDTYPE_AUTO}, {12, E::LEDTYPE_MAN}, {1, E::LEDTYPE_NUL}});
}

void addManualOccupancyChoices(cParamComboBox *parameter)
{
    addChoices(parameter, OccupancyMessage,
               {{1, E::OC_OCCUPIED}, {2, E::OC_UNOCCUPIED}, {3, E::OC_STANDBY}, {4, E::OC_INVALID}});
}

QString numbered(int messageId, int piece, int number)
{
    return TextUtility::FillPlaceholders(GetResString(messageId, piece), {QString::number(number)});
}

void setHeartbeat(cParamTextBox *parameter, int titleMessage)
{
    parameter->setSnvtType(E::SNVT_time_sec);
    parameter->setRangeMin(0);
    parameter->setTextBoxRangeMin(1);
    parameter->setTextBoxTitle(GetResString(titleMessage, 2));
}

// The panel CP describes the hardware, not a setting: read once, never written or saved. The
// flags come first, so that a read that fails cannot leave the count to be written.
void keepPanelCount(cParam1Byte *parameter, qint16 bytePos)
{
    parameter->setDontReadFromLns(true);
    parameter->setDontWriteToLns(true);
    parameter->setDontWriteToFile(true);
    parameter->ConsiderPartOfCpOnly(bytePos);
}

// The counts of one CP from one read of it.
void readPanelCounts(const QList<cParam1Byte *> &counts)
{
    const QByteArray bytes = cpaccess::readBytes(*counts.first()->ConfigProperty());
    for (cParam1Byte *count : counts)
        count->takeValueFrom(bytes, count->boundShape());
}

// Whether the device's CP holds the value already; false when it cannot be read.
bool holdsValue(cParamComboBox *parameter, qint32 value)
{
    try {
        parameter->ReadFromLns();
        return parameter->valueKnown() && parameter->Value() == value;
    } catch (const TqmError &) {
        return false;
    }
}

} // namespace

lns::ConfigPropertyPtr cConfiguration::fetchCp(const QString &cpName, bool fromDevice)
{
    const SessionState &session = *m_services.session;
    if (!m_services.iniFile || !(fromDevice ? bool(session.appDevice) : bool(session.lonMarkObject)))
        return {};
    const IniLocator locator(*m_services.iniFile, session.deviceTemplate);
    const auto found = fromDevice ? locator.devCp(cpName, product::CpSection, session.appDevice)
                                  : locator.lmoCp(cpName, product::CpSection, session.lonMarkObject);
    // A field that cannot be read counts as 0 and may lead to some other CP: none is bound then.
    return reportIniFault(cpName, found.failure) ? nullptr : found.object;
}

bool cConfiguration::reportIniFault(const QString &cpName, const QString &failure)
{
    const IniFile &ini = *m_services.iniFile;
    const QString &deviceTemplate = m_services.session->deviceTemplate;
    const QString unreadable = ini.unreadableField(cpName, product::CpSection, deviceTemplate);
    if (unreadable.isEmpty() && failure.isEmpty())
        return false;
    const int line = ini.templateLineOf(cpName, product::CpSection, deviceTemplate);
    if (line == 0)
        return false;
    if (!m_reportedIniFaults.contains(cpName)) {
        m_reportedIniFaults.append(cpName);
        const QStringList fill{ini.fileName(), QString::number(line), cpName, unreadable.isEmpty() ? failure : unreadable};
        m_services.logger->addLogLine(
            TextUtility::FillPlaceholders(GetResString(1590, unreadable.isEmpty() ? 1 : 2), fill), logcolour::Red);
    }
    return true;
}

template <class P, class Add>
bool cConfiguration::bind(const QString &cpName, const QString &parameterName, bool fromDevice, P *&parameter,
                          Add add)
{
    const lns::ConfigPropertyPtr cp = fetchCp(cpName, fromDevice);
    parameter = add(parameterName.isEmpty() ? cpName : parameterName, cp);
    return cp != nullptr;
}

bool cConfiguration::BindTextBoxParameter(const QString &CpName, int ControlIndex, cParamTextBox *&Parameter,
                                          const QString &ParameterName, bool FromDevice)
{
    return bind(CpName, ParameterName, FromDevice, Parameter, [&](const QString &name, lns::ConfigPropertyPtr cp) {
        return m_parameters->AddTextBoxParameter(name, m_window.TextBox(ControlIndex), cp, CpName);
    });
}

bool cConfiguration::BindComboBoxParameter(const QString &CpName, int ControlIndex, cParamComboBox *&Parameter,
                                           const QString &ParameterName, bool FromDevice)
{
    return bind(CpName, ParameterName, FromDevice, Parameter, [&](const QString &name, lns::ConfigPropertyPtr cp) {
        return m_parameters->AddComboBoxParameter(name, m_window.ComboBox(ControlIndex), cp, CpName);
    });
}

bool cConfiguration::BindOptionButtonParameter(const QString &CpName, cParamOptBtn *&Parameter,
                                               const QString &ParameterName, bool FromDevice)
{
    return bind(CpName, ParameterName, FromDevice, Parameter, [&](const QString &name, lns::ConfigPropertyPtr cp) {
        return m_parameters->AddOptionButtonParameter(name, cp, CpName);
    });
}

bool cConfiguration::Bind1ByteParameter(const QString &CpName, cParam1Byte *&Parameter, const QString &ParameterName,
                                        bool FromDevice)
{
    return bind(CpName, ParameterName, FromDevice, Parameter, [&](const QString &name, lns::ConfigPropertyPtr cp) {
        return m_parameters->Add1ByteParameter(name, cp, CpName);
    });
}

bool cConfiguration::Bind2ByteParameter(const QString &CpName, cParam2Byte *&Parameter, const QString &ParameterName,
                                        bool FromDevice)
{
    return bind(CpName, ParameterName, FromDevice, Parameter, [&](const QString &name, lns::ConfigPropertyPtr cp) {
        return m_parameters->Add2ByteParameter(name, cp, CpName);
    });
}

void cConfiguration::FetchCPs()
{
    log(QStringLiteral("[M_PlugIn] Public Sub FetchCPs()"));
    QList<std::function<void()>> steps{[this] { fetchButtonMode(); }};
    const int command = m_services.session->commandIndex;
    if (command == commands::Configure)
        steps.append([this] { fetchConfigurationRows(); });
    // The calibration view offers the knob procedure of the device's panel, whichever command
    // shows it.
    else if (command == commands::Calibrate)
        steps.append([this] { fetchPanelCounts(); });
    steps.append([this] { fetchTemperatureRows(); });
    runSteps(QStringLiteral("M_PlugInSpecific"), QStringLiteral("FetchCPs"), steps);
}

void cConfiguration::fetchButtonMode()
{
    const QString name = QStringLiteral("ButtonMode");
    const DeviceContext context = deviceContext();
    QList<Choice> offered;
    for (const Choice &choice : ButtonModes) {
        if (calibration::ButtonModeIsAvailable(context, choice.data))
            offered.append(choice);
    }
    // A template that offers no mode leaves nothing to choose, check or write: the parameter
    // exists without its CP, so it is unavailable like one the device lacks.
    if (offered.isEmpty()) {
        m_parameters->AddComboBoxParameter(name, m_window.ComboBox(1), nullptr, name);
        return;
    }
    cParamComboBox *buttonMode = nullptr;
    if (!BindComboBoxParameter(name, 1, buttonMode))
        return;
    for (const Choice &choice : offered)
        buttonMode->AddComboBoxItem(GetResString(ButtonModeMessage, choice.piece), choice.data);
    // A single mode is no choice: the device gets it at once and the user cannot change it. A
    // device that holds it already is not written: opening the plug-in changes nothing then.
    if (buttonMode->ComboBoxControl()->count() == 1) {
        const qint32 only = buttonMode->ComboBoxControl()->itemData(0);
        const bool held = holdsValue(buttonMode, only);
        buttonMode->setValue(only);
        if (!held)
            buttonMode->WriteToLns();
        buttonMode->setLockMode(E::LM_DISABLED_GREY);
    }
}

void cConfiguration::fetchConfigurationRows()
{
    cParamComboBox *combo = nullptr;
    cParamTextBox *text = nullptr;
    cParam2Byte *twoBytes = nullptr;

    if (BindComboBoxParameter(QStringLiteral("SetPtDeltaRange"), 0, combo)) {
        for (int piece = 1; piece <= 11; ++piece)
            combo->AddComboBoxItem(GetResString(SetPtDeltaRangeMessage, piece), (piece - 1) * 50);
    }
    Bind2ByteParameter(QStringLiteral("FanSpeedOn"), twoBytes);
    Bind2ByteParameter(QStringLiteral("FanSpeedOff"), twoBytes);
    if (BindComboBoxParameter(QStringLiteral("OccCmdOn"), 7, combo))
        addOccupancyChoices(combo);
    if (BindComboBoxParameter(QStringLiteral("OccCmdOff"), 8, combo))
        addOccupancyChoices(combo);
    if (BindComboBoxParameter(QStringLiteral("HvacModeOn"), 2, combo))
        addHvacModeChoices(combo);
    if (BindComboBoxParameter(QStringLiteral("HvacModeOff"), 3, combo))
        addHvacModeChoices(combo);
    if (BindTextBoxParameter(QStringLiteral("MaxReceiveTime"), 0, text))
        setHeartbeat(text, 1036);
    if (BindTextBoxParameter(QStringLiteral("MaxSendTime"), 1, text))
        setHeartbeat(text, 1038);

    fetchPanelRows();

    if (BindTextBoxParameter(QStringLiteral("SetPtDeltaStep"), 13, text)) {
        text->setSnvtType(E::SNVT_temp_p);
        text->setResolution(E::RES_0_1);
        text->setRangeMin(0.1f);
        text->setRangeMax(2);
        text->setTextBoxTitle(GetResString(1076));
    }
    if (BindTextBoxParameter(QStringLiteral("DiscLevels"), 14, text)) {
        text->setRangeMin(1);
        text->setRangeMax(5);
        text->setTextBoxTitle(GetResString(1062));
    }
    if (BindComboBoxParameter(QStringLiteral("ManOccCmdOn"), 17, combo))
        addManualOccupancyChoices(combo);
    if (BindComboBoxParameter(QStringLiteral("ManOccCmdOff"), 18, combo))
        addManualOccupancyChoices(combo);
}

// Push buttons and the toggle switch exist only on devices with a panel CP; its two counts
// (menu buttons, further buttons or inputs) shape the switch-assignment lists.
bool cConfiguration::fetchPanelCounts()
{
    const QString panelType = QStringLiteral("PanelType");
    cParam1Byte *panel = nullptr;
    if (!Bind1ByteParameter(panelType, panel, QStringLiteral("PanelType_1"), true))
        return false;
    keepPanelCount(panel, 1);
    QList<cParam1Byte *> counts{panel};
    if (Bind1ByteParameter(panelType, panel, QStringLiteral("PanelType_2"), true)) {
        keepPanelCount(panel, 2);
        counts.append(panel);
    }
    readPanelCounts(counts);
    return true;
}

void cConfiguration::fetchPanelRows()
{
    if (!fetchPanelCounts())
        return;

    cParamComboBox *combo = nullptr;
    cParam1Byte *pushEvent = nullptr;
    const auto bindSwitchMap = [&](const QString &cpName, const QString &name, int controlIndex, qint16 bytePos) {
        if (BindComboBoxParameter(cpName, controlIndex, combo, name)) {
            combo->ConsiderPartOfCpOnly(bytePos, 1);
            fillSwitchAssignments(combo);
        }
    };
    bindSwitchMap(QStringLiteral("SwitchMap"), QStringLiteral("SwitchMap_1"), 9, 1);
    bindSwitchMap(QStringLiteral("SwitchMap"), QStringLiteral("SwitchMap_2"), 10, 2);
    if (BindComboBoxParameter(QStringLiteral("LedMode1"), 11, combo))
        addSetPointLedChoices(combo);
    if (BindComboBoxParameter(QStringLiteral("LedMode2"), 12, combo))
        addSetPointLedChoices(combo);
    Bind1ByteParameter(QStringLiteral("PushEvent1"), pushEvent);
    Bind1ByteParameter(QStringLiteral("PushEvent2"), pushEvent);
    bindSwitchMap(QStringLiteral("SwitchMapFanSpeed"), QStringLiteral("SwitchMapFanSpeed_1"), 13, 1);
    bindSwitchMap(QStringLiteral("SwitchMapFanSpeed"), QStringLiteral("SwitchMapFanSpeed_2"), 14, 2);
    if (BindComboBoxParameter(QStringLiteral("LedMode1FanSpeed"), 15, combo))
        addFanSpeedLedChoices(combo);
    if (BindComboBoxParameter(QStringLiteral("LedMode2FanSpeed"), 16, combo))
        addFanSpeedLedChoices(combo);
    Bind1ByteParameter(QStringLiteral("PushEvent1FanSpeed"), pushEvent);
    Bind1ByteParameter(QStringLiteral("PushEvent2FanSpeed"), pushEvent);
}

void cConfiguration::fillSwitchAssignments(cParamComboBox *parameter) const
{
    const auto count = [this](const QString &name) {
        const cParam1Byte *panel = m_parameters->Parameter1ByteByName(name);
        return panel->Available() ? panel->Value() : 0;
    };
    const int menuButtons = count(QStringLiteral("PanelType_1"));
    const int furtherInputs = count(QStringLiteral("PanelType_2"));
    const DeviceContext context = deviceContext();
    const bool pairedButtons = calibration::LimitationIs(context, 4);
    const bool digitalInputs = calibration::LimitationIs(context, 5);

    parameter->AddComboBoxItem(GetResString(SwitchAssignmentMessage, 1), 0);
    for (int i = 1; i <= menuButtons; ++i)
        parameter->AddComboBoxItem(numbered(SwitchAssignmentMessage, 2, i), i);
    for (int i = 1; i <= furtherInputs; ++i) {
        if (pairedButtons) {
            const bool left = i % 2 == 1;
            parameter->AddComboBoxItem(numbered(SwitchAssignmentMessage, left ? 3 : 4, left ? i / 2 + 1 : i / 2), i + 4);
        }
        if (digitalInputs)
            parameter->AddComboBoxItem(numbered(SwitchAssignmentMessage, 5, i), i + 4);
    }
}

void cConfiguration::fetchTemperatureRows()
{
    cParamTextBox *minDelta = nullptr;
    if (BindTextBoxParameter(QStringLiteral("MinDeltaTemp"), 2, minDelta)) {
        minDelta->setSnvtType(E::SNVT_temp_p);
        minDelta->setRangeMin(0.1f);
        minDelta->setRangeMax(1);
        minDelta->setResolution(E::RES_0_1);
        minDelta->setTextBoxTitle(GetResString(1041));
    }
    // The sensor offset belongs to the calibration, which writes it itself.
    cParam2Byte *offset = nullptr;
    if (Bind2ByteParameter(QStringLiteral("OffsetTemp"), offset))
        offset->setDontWriteToLns(true);
    cParamOptBtn *tempMode = nullptr;
    if (BindOptionButtonParameter(QStringLiteral("TempMode"), tempMode)) {
        tempMode->AddOptionButton(m_window.OptionButton(0), QString::number(E::TM_AVERAGE));
        tempMode->AddOptionButton(m_window.OptionButton(1), QString::number(E::TM_OVERRIDE));
        tempMode->AddOptionButton(m_window.OptionButton(2), QString::number(E::TM_INTERNAL));
    }
}
