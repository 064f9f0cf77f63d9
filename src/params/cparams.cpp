#include "params/cparams.h"

#include "lns/controls/controls.h"
#include "lns/product.h"
#include "params/cconfigprop.h"
#include "params/choiceparams.h"
#include "params/cparamtextbox.h"
#include "params/rawparams.h"
#include "session/services.h"
#include "session/session.h"
#include "strings/resstrings.h"
#include "lns/inilocator.h"

using E = cParamEnums;

ParamsContext ParamsContext::of(const Services &services, const QString &messageTitle)
{
    ParamsContext context;
    context.dialogs = services.dialogs;
    context.messageTitle = messageTitle;
    context.iniFile = services.iniFile;
    context.deviceTemplate = services.session ? services.session->deviceTemplate : QString();
    context.logger = services.logger;
    context.locale = languageLocale(services.session ? services.session->language : language());
    return context;
}

cParams::cParams(QObject *parent) : cParams(Context{}, parent) {}

cParams::cParams(Context context, QObject *parent)
    : QObject(parent), m_context(std::move(context)),
      m_textBoxes(QStringLiteral("text-box parameter list")),
      m_comboBoxes(QStringLiteral("combo-box parameter list")),
      m_checkBoxes(QStringLiteral("check-box parameter list")),
      m_optionButtons(QStringLiteral("option-button parameter list")),
      m_twoBytes(QStringLiteral("2-byte parameter list")),
      m_oneBytes(QStringLiteral("1-byte parameter list")),
      m_asciis(QStringLiteral("text parameter list")),
      m_configProps(QStringLiteral("CP image list"))
{
}

cParams::~cParams() = default;

// ---- creation ----

template <class T>
T *cParams::registerParameter(KeyedList<T> &list, std::unique_ptr<T> parameter, bool available)
{
    const QString name = parameter->Name();
    list.checkNewKey(name); // before the parameter touches its control
    parameter->initAvailable(available);
    T *added = list.add(name, std::move(parameter));
    m_allParameters.append(added);
    return added;
}

namespace {

template <class Control>
Control *requireControl(Control *control, const QString &name)
{
    if (!control)
        throw TqmError(TqmError::LnsInvalidOperation, QStringLiteral("cParams"),
                       QStringLiteral("Parameter \"%1\" needs a control.").arg(name));
    return control;
}

} // namespace

cParamTextBox *cParams::AddTextBoxParameter(const QString &Name, controls::TextBoxControl *TextBoxControl,
                                            lns::ConfigPropertyPtr ConfigProperty, const QString &CpIniName)
{
    requireControl(TextBoxControl, Name)->setTag(Name);
    const bool available = ConfigProperty != nullptr;
    std::unique_ptr<cParamTextBox> p(new cParamTextBox(
        {this, Name, ConfigProperty, available ? CpIniName : QString(), nullptr}, TextBoxControl));
    cParamTextBox *added = registerParameter(m_textBoxes, std::move(p), available);
    added->setSnvtType(E::Unsigned);
    return added;
}

cParamTextBox *cParams::AddTextBoxParameterExtCp(const QString &Name, controls::TextBoxControl *TextBoxControl,
                                                 cConfigProp *ConfigProp)
{
    requireControl(TextBoxControl, Name)->setTag(Name);
    std::unique_ptr<cParamTextBox> p(new cParamTextBox({this, Name, nullptr, QString(), ConfigProp}, TextBoxControl));
    cParamTextBox *added = registerParameter(m_textBoxes, std::move(p), ConfigProp->Available());
    added->setSnvtType(E::Unsigned);
    return added;
}

cParamComboBox *cParams::AddComboBoxParameter(const QString &Name, controls::ComboBoxControl *ComboBoxControl,
                                              lns::ConfigPropertyPtr ConfigProperty, const QString &CpIniName)
{
    requireControl(ComboBoxControl, Name)->setTag(Name);
    const bool available = ConfigProperty != nullptr;
    std::unique_ptr<cParamComboBox> p(new cParamComboBox(
        {this, Name, ConfigProperty, available ? CpIniName : QString(), nullptr}, ComboBoxControl));
    return registerParameter(m_comboBoxes, std::move(p), available);
}

cParamComboBox *cParams::AddComboBoxParameterExtCp(const QString &Name, controls::ComboBoxControl *ComboBoxControl,
                                                   cConfigProp *ConfigProp)
{
    requireControl(ComboBoxControl, Name)->setTag(Name);
    std::unique_ptr<cParamComboBox> p(new cParamComboBox({this, Name, nullptr, QString(), ConfigProp}, ComboBoxControl));
    return registerParameter(m_comboBoxes, std::move(p), ConfigProp->Available());
}

cParamCheckBox *cParams::AddCheckBoxParameter(const QString &Name, controls::CheckBoxControl *CheckBoxControl,
                                              lns::ConfigPropertyPtr ConfigProperty, const QString &CpIniName)
{
    requireControl(CheckBoxControl, Name)->setTag(Name);
    const bool available = ConfigProperty != nullptr;
    std::unique_ptr<cParamCheckBox> p(new cParamCheckBox(
        {this, Name, ConfigProperty, available ? CpIniName : QString(), nullptr}, CheckBoxControl));
    return registerParameter(m_checkBoxes, std::move(p), available);
}

cParamOptBtn *cParams::AddOptionButtonParameter(const QString &Name, lns::ConfigPropertyPtr ConfigProperty,
                                                const QString &CpIniName)
{
    const bool available = ConfigProperty != nullptr;
    std::unique_ptr<cParamOptBtn> p(new cParamOptBtn({this, Name, ConfigProperty, available ? CpIniName : QString(), nullptr}));
    return registerParameter(m_optionButtons, std::move(p), available);
}

cParam2Byte *cParams::Add2ByteParameter(const QString &Name, lns::ConfigPropertyPtr ConfigProperty, const QString &CpIniName)
{
    const bool available = ConfigProperty != nullptr;
    std::unique_ptr<cParam2Byte> p(new cParam2Byte({this, Name, ConfigProperty, CpIniName, nullptr}));
    return registerParameter(m_twoBytes, std::move(p), available);
}

cParam1Byte *cParams::Add1ByteParameter(const QString &Name, lns::ConfigPropertyPtr ConfigProperty, const QString &CpIniName)
{
    const bool available = ConfigProperty != nullptr;
    std::unique_ptr<cParam1Byte> p(new cParam1Byte({this, Name, ConfigProperty, CpIniName, nullptr}));
    return registerParameter(m_oneBytes, std::move(p), available);
}

cParamASCII *cParams::AddAsciiParameter(const QString &Name, lns::ConfigPropertyPtr ConfigProperty, const QString &CpIniName)
{
    const bool available = ConfigProperty != nullptr;
    std::unique_ptr<cParamASCII> p(new cParamASCII({this, Name, ConfigProperty, CpIniName, nullptr}));
    return registerParameter(m_asciis, std::move(p), available);
}

cParam2Byte *cParams::Add2ByteParameterExtCp(const QString &Name, cConfigProp *ConfigProp)
{
    std::unique_ptr<cParam2Byte> p(new cParam2Byte({this, Name, nullptr, QString(), ConfigProp}));
    return registerParameter(m_twoBytes, std::move(p), ConfigProp->Available());
}

cParam1Byte *cParams::Add1ByteParameterExtCp(const QString &Name, cConfigProp *ConfigProp)
{
    std::unique_ptr<cParam1Byte> p(new cParam1Byte({this, Name, nullptr, QString(), ConfigProp}));
    return registerParameter(m_oneBytes, std::move(p), ConfigProp->Available());
}

cParamASCII *cParams::AddAsciiParameterExtCp(const QString &Name, cConfigProp *ConfigProp)
{
    std::unique_ptr<cParamASCII> p(new cParamASCII({this, Name, nullptr, QString(), ConfigProp}));
    return registerParameter(m_asciis, std::move(p), ConfigProp->Available());
}

cConfigProp *cParams::AddConfigProp(const QString &Name, lns::ConfigPropertyPtr ConfigProperty, const QString &CpIniName)
{
    std::unique_ptr<cConfigProp> image(new cConfigProp(this, Name, std::move(ConfigProperty), CpIniName));
    return m_configProps.add(Name, std::move(image));
}

// ---- look-ups ----

cParamTextBox *cParams::TextBoxParameter(int Index) const { return m_textBoxes.at(Index); }
cParamTextBox *cParams::TextBoxParameterByName(const QString &Name) const { return m_textBoxes.byKey(Name); }
int cParams::TextBoxParameterCount() const { return m_textBoxes.count(); }
cParamComboBox *cParams::ComboBoxParameter(int Index) const { return m_comboBoxes.at(Index); }
cParamComboBox *cParams::ComboBoxParameterByName(const QString &Name) const { return m_comboBoxes.byKey(Name); }
int cParams::ComboBoxParameterCount() const { return m_comboBoxes.count(); }
cParamCheckBox *cParams::CheckBoxParameter(int Index) const { return m_checkBoxes.at(Index); }
cParamCheckBox *cParams::CheckBoxParameterByName(const QString &Name) const { return m_checkBoxes.byKey(Name); }
int cParams::CheckBoxParameterCount() const { return m_checkBoxes.count(); }
cParamOptBtn *cParams::OptionButtonParameter(int Index) const { return m_optionButtons.at(Index); }
cParamOptBtn *cParams::OptionButtonParameterByName(const QString &Name) const { return m_optionButtons.byKey(Name); }
int cParams::OptionButtonParameterCount() const { return m_optionButtons.count(); }
cParam2Byte *cParams::Parameter2Byte(int Index) const { return m_twoBytes.at(Index); }
cParam2Byte *cParams::Parameter2ByteByName(const QString &Name) const { return m_twoBytes.byKey(Name); }
int cParams::Parameter2ByteCount() const { return m_twoBytes.count(); }
cParam1Byte *cParams::Parameter1Byte(int Index) const { return m_oneBytes.at(Index); }
cParam1Byte *cParams::Parameter1ByteByName(const QString &Name) const { return m_oneBytes.byKey(Name); }
int cParams::Parameter1ByteCount() const { return m_oneBytes.count(); }
cParamASCII *cParams::ParameterAscii(int Index) const { return m_asciis.at(Index); }
cParamASCII *cParams::ParameterAsciiByName(const QString &Name) const { return m_asciis.byKey(Name); }
int cParams::ParameterAsciiCount() const { return m_asciis.count(); }
cConfigProp *cParams::ConfigProps(int Index) const { return m_configProps.at(Index); }
cConfigProp *cParams::ConfigPropByName(const QString &Name) const { return m_configProps.byKey(Name); }
int cParams::ConfigPropsCount() const { return m_configProps.count(); }

cParamTextBox *cParams::TextBoxParameterByControlIndex(int ControlIndex) const
{
    cParamTextBox *found = nullptr;
    m_textBoxes.forEach([&](cParamTextBox *p) {
        if (!found && p->TextBoxControl()->controlIndex() == ControlIndex)
            found = p;
    });
    return found;
}

cParamComboBox *cParams::ComboBoxParameterByControlIndex(int ControlIndex) const
{
    cParamComboBox *found = nullptr;
    m_comboBoxes.forEach([&](cParamComboBox *p) {
        if (!found && p->ComboBoxControl()->controlIndex() == ControlIndex)
            found = p;
    });
    return found;
}

cParam *cParams::ParameterAllByName(const QString &Name, qint32 ParameterType) const
{
    switch (ParameterType) {
    case E::PA_CLASSID_TEXTBOX_PARAMETER: return TextBoxParameterByName(Name);
    case E::PA_CLASSID_COMBOBOX_PARAMTER: return ComboBoxParameterByName(Name);
    case E::PA_CLASSID_CHECKBOX_PARAMETER: return CheckBoxParameterByName(Name);
    case E::PA_CLASSID_OPTIONBUTTON_PARAMETER: return OptionButtonParameterByName(Name);
    case E::PA_CLASSID_1BYTE_PARAMETER: return Parameter1ByteByName(Name);
    case E::PA_CLASSID_2BYTE_PARAMETER: return Parameter2ByteByName(Name);
    default: break;
    }
    if (cParam *p = m_oneBytes.find(Name))
        return p;
    if (cParam *p = m_twoBytes.find(Name))
        return p;
    if (cParam *p = m_checkBoxes.find(Name))
        return p;
    if (cParam *p = m_comboBoxes.find(Name))
        return p;
    if (cParam *p = m_optionButtons.find(Name))
        return p;
    return m_textBoxes.find(Name);
}

QList<cConfigProp *> cParams::images() const
{
    QList<cConfigProp *> all;
    m_configProps.forEach([&all](cConfigProp *image) { all.append(image); });
    return all;
}

QList<cParam *> cParams::parametersInKindOrder() const
{
    QList<cParam *> all;
    const auto append = [&all](cParam *p) { all.append(p); };
    m_oneBytes.forEach(append);
    m_twoBytes.forEach(append);
    m_checkBoxes.forEach(append);
    m_comboBoxes.forEach(append);
    m_optionButtons.forEach(append);
    m_textBoxes.forEach(append);
    m_asciis.forEach(append);
    return all;
}

// ---- control notifications ----

void cParams::TextBox_Change_Event(controls::TextBoxControl *TextBoxControl)
{
    TextBoxParameterByName(TextBoxControl->tag())->TextBox_Change_Event();
}

void cParams::TextBox_KeyPress_Event(controls::TextBoxControl *TextBoxControl, int &KeyAscii)
{
    TextBoxParameterByName(TextBoxControl->tag())->TextBox_KeyPress_Event(KeyAscii);
}

void cParams::TextBox_LostFocus_Event(controls::TextBoxControl *TextBoxControl)
{
    TextBoxParameterByName(TextBoxControl->tag())->TextBox_LostFocus_Event();
}

void cParams::TextBox_Validate_Event(controls::TextBoxControl *TextBoxControl, bool &Cancel)
{
    TextBoxParameterByName(TextBoxControl->tag())->TextBox_Validate_Event(Cancel);
}

void cParams::ComboBox_Change_Event(controls::ComboBoxControl *ComboBoxControl)
{
    cParamComboBox *found = nullptr;
    m_comboBoxes.forEach([&](cParamComboBox *p) {
        if (!found && p->ComboBoxControl() == ComboBoxControl)
            found = p;
    });
    if (found)
        found->ComboBox_Change_Event();
}

void cParams::CheckBox_Click_Event(controls::CheckBoxControl *CheckBoxControl)
{
    cParamCheckBox *found = nullptr;
    m_checkBoxes.forEach([&](cParamCheckBox *p) {
        if (!found && p->CheckBoxControl() == CheckBoxControl)
            found = p;
    });
    if (found)
        found->CheckBox_Click_Event();
}

void cParams::OptionButton_Click_Event(controls::OptionButtonControl *OptionButtonControl)
{
    cParamOptBtn *parameter = OptionButtonParameterByName(OptionButtonControl->tag());
    for (int i = 1; i <= parameter->OptionButtonsCount(); ++i) {
        if (parameter->OptionButton(i) == OptionButtonControl) {
            parameter->OptionButton_Click_Event(i);
            return;
        }
    }
}

// ---- validity and selection ----

bool cParams::AnyParameterValueIsInvalid() const
{
    return FirstInvalidParameter() != nullptr;
}

cParam *cParams::FirstInvalidParameter() const
{
    // A value never read is never written either (the transfer says so itself): only values that
    // would go to the device are checked.
    cParam *invalid = nullptr;
    const auto check = [&](auto *p) {
        if (!invalid && p->Available() && p->valueKnown() && p->ValueIsInvalid())
            invalid = p;
    };
    m_textBoxes.forEach(check);
    m_comboBoxes.forEach(check);
    return invalid;
}

QList<cParam *> cParams::GetAllParamsShouldBeWrittenToLns() const
{
    QList<cParam *> selected;
    for (cParam *p : parametersInKindOrder())
        if (p->Available() && !p->DontWriteToLns())
            selected.append(p);
    return selected;
}

QList<lns::ConfigPropertyPtr> cParams::GetAllCpsShouldBeWrittenToLns() const
{
    QList<lns::ConfigPropertyPtr> cps;
    QStringList names;
    for (cParam *p : GetAllParamsShouldBeWrittenToLns()) {
        lns::ConfigPropertyPtr cp = p->ConfigProperty();
        if (!cp && p->CpIsExternal())
            cp = p->ConfigPropExt()->ConfigProperty();
        if (!cp || names.contains(cp->name()))
            continue;
        names.append(cp->name());
        cps.append(cp);
    }
    return cps;
}

QStringList cParams::GetAllCpNamesShouldBeWrittenToLns() const
{
    QStringList names;
    for (const lns::ConfigPropertyPtr &cp : GetAllCpsShouldBeWrittenToLns())
        names.append(cp->name());
    return names;
}

// ---- CP look-ups ----

lns::ConfigPropertyPtr cParams::FetchLmoCp(const QString &CpName, const QString &Section, const IniFile &IniFile,
                                           const QString &DeviceTemplate, const lns::LonMarkObjectPtr &LonmarkObject,
                                           bool *Succeed) const
{
    return IniLocator(IniFile, DeviceTemplate).FetchLmoCp(CpName, Section, LonmarkObject, Succeed);
}

lns::ConfigPropertyPtr cParams::FetchDevCp(const QString &CpName, const QString &Section, const IniFile &IniFile,
                                           const QString &DeviceTemplate, const lns::AppDevicePtr &AppDevice,
                                           bool *Succeed) const
{
    return IniLocator(IniFile, DeviceTemplate).FetchDevCp(CpName, Section, AppDevice, Succeed);
}

lns::ConfigPropertyPtr cParams::lookUpCp(const lns::ObjectPtr &superior, const QString &cpIniName) const
{
    if (!m_context.iniFile)
        return {};
    return IniLocator(*m_context.iniFile, m_context.deviceTemplate).cpOf(superior, cpIniName, product::CpSection).object;
}
