#pragma once

// The parameter collection of one device configuration: it creates and owns every parameter
// and every CP image, finds them by kind and name, index or control, forwards the window
// controls' notifications to the right parameter, tells whether a shown value is invalid, and
// selects what must be written. Lists are 1-based; a name is unique within its kind. Moving the
// values through the network services and parameter set files is src/transfer's
// (transfer::LnsTransfer, transfer::ParamSetFile), on this collection.

#include "lns/lns.h"
#include "params/cparamenums.h"
#include "params/keyedlist.h"

#include <QLocale>
#include <QObject>
#include <QString>
#include <QStringList>

class IniFile;
class Logger;
class UserDialogs;
struct Services;
class cParam;
class cConfigProp;
class cParamTextBox;
class cParamComboBox;
class cParamCheckBox;
class cParamOptBtn;
class cParam1Byte;
class cParam2Byte;
class cParamASCII;

namespace controls {
class TextBoxControl;
class ComboBoxControl;
class CheckBoxControl;
class OptionButtonControl;
} // namespace controls

// What the parameter collection (and the transfer on it) needs of its surroundings: a narrow
// view of the session's services.
struct ParamsContext
{
    UserDialogs *dialogs = nullptr;      // range messages; none: messages are not shown
    QString messageTitle;                // the main window's caption
    const IniFile *iniFile = nullptr;    // the plug-in INI file; none: no CP can be fetched
    QString deviceTemplate;              // template of the opened device
    QLocale locale = QLocale::system();  // decimal separator of the display
    Logger *logger = nullptr;            // routine labels and the red lines of failed CP writes

    // The session's dialogs, INI file, device template and logger, with the window's caption.
    static ParamsContext of(const Services &services, const QString &messageTitle);
};

class cParams : public QObject
{
    Q_OBJECT
public:
    using Context = ParamsContext;

    explicit cParams(QObject *parent = nullptr);
    explicit cParams(Context context, QObject *parent = nullptr);
    ~cParams() override;

    qint16 ClassId() const { return cParamEnums::PA_PARAMETERS; }
    const Context &context() const { return m_context; }
    void setContext(const Context &context) { m_context = context; }
    lns::SystemPtr System() const { return m_system; }
    void setSystem(lns::SystemPtr system) { m_system = std::move(system); }

    // ---- creation (a null CP makes a parameter that is not Available) ----
    cParamTextBox *AddTextBoxParameter(const QString &Name, controls::TextBoxControl *TextBoxControl,
                                       lns::ConfigPropertyPtr ConfigProperty, const QString &CpIniName);
    cParamTextBox *AddTextBoxParameterExtCp(const QString &Name, controls::TextBoxControl *TextBoxControl,
                                            cConfigProp *ConfigProp);
    cParamComboBox *AddComboBoxParameter(const QString &Name, controls::ComboBoxControl *ComboBoxControl,
                                         lns::ConfigPropertyPtr ConfigProperty, const QString &CpIniName);
    cParamComboBox *AddComboBoxParameterExtCp(const QString &Name, controls::ComboBoxControl *ComboBoxControl,
                                              cConfigProp *ConfigProp);
    cParamCheckBox *AddCheckBoxParameter(const QString &Name, controls::CheckBoxControl *CheckBoxControl,
                                         lns::ConfigPropertyPtr ConfigProperty, const QString &CpIniName);
    cParamOptBtn *AddOptionButtonParameter(const QString &Name, lns::ConfigPropertyPtr ConfigProperty,
                                           const QString &CpIniName);
    cParam2Byte *Add2ByteParameter(const QString &Name, lns::ConfigPropertyPtr ConfigProperty, const QString &CpIniName);
    cParam1Byte *Add1ByteParameter(const QString &Name, lns::ConfigPropertyPtr ConfigProperty, const QString &CpIniName);
    cParamASCII *AddAsciiParameter(const QString &Name, lns::ConfigPropertyPtr ConfigProperty, const QString &CpIniName);
    cParam2Byte *Add2ByteParameterExtCp(const QString &Name, cConfigProp *ConfigProp);
    cParam1Byte *Add1ByteParameterExtCp(const QString &Name, cConfigProp *ConfigProp);
    cParamASCII *AddAsciiParameterExtCp(const QString &Name, cConfigProp *ConfigProp);
    cConfigProp *AddConfigProp(const QString &Name, lns::ConfigPropertyPtr ConfigProperty, const QString &CpIniName);

    // ---- look-ups: 1-based index or name; both throw TqmError when there is no such element ----
    cParamTextBox *TextBoxParameter(int Index) const;
    cParamTextBox *TextBoxParameterByName(const QString &Name) const;
    int TextBoxParameterCount() const;
    cParamComboBox *ComboBoxParameter(int Index) const;
    cParamComboBox *ComboBoxParameterByName(const QString &Name) const;
    int ComboBoxParameterCount() const;
    cParamCheckBox *CheckBoxParameter(int Index) const;
    cParamCheckBox *CheckBoxParameterByName(const QString &Name) const;
    int CheckBoxParameterCount() const;
    cParamOptBtn *OptionButtonParameter(int Index) const;
    cParamOptBtn *OptionButtonParameterByName(const QString &Name) const;
    int OptionButtonParameterCount() const;
    cParam2Byte *Parameter2Byte(int Index) const;
    cParam2Byte *Parameter2ByteByName(const QString &Name) const;
    int Parameter2ByteCount() const;
    cParam1Byte *Parameter1Byte(int Index) const;
    cParam1Byte *Parameter1ByteByName(const QString &Name) const;
    int Parameter1ByteCount() const;
    cParamASCII *ParameterAscii(int Index) const;
    cParamASCII *ParameterAsciiByName(const QString &Name) const;
    int ParameterAsciiCount() const;
    cConfigProp *ConfigProps(int Index) const;
    cConfigProp *ConfigPropByName(const QString &Name) const;
    int ConfigPropsCount() const;

    // The first parameter (in list order) whose control has that control-array index; null
    // when none has.
    cParamTextBox *TextBoxParameterByControlIndex(int ControlIndex) const;
    cParamComboBox *ComboBoxParameterByControlIndex(int ControlIndex) const;

    // Every parameter in creation order.
    const QList<cParam *> &AllParameters() const { return m_allParameters; }

    // ParameterType 1001 to 1006: that kind's ByName look-up (throws for an unknown name).
    // Otherwise the first parameter of that name in the order 1-byte, 2-byte, check box,
    // combo box, option button, text box; null when none (texts are not searched).
    cParam *ParameterAllByName(const QString &Name, qint32 ParameterType = 0) const;

    // Every parameter of every kind in kind order: 1-byte, 2-byte, check box, combo box,
    // option button, text box, text.
    QList<cParam *> parametersInKindOrder() const;
    // Every image in list order.
    QList<cConfigProp *> images() const;

    // ---- notifications of the window's controls ----
    // Text boxes and option buttons are found by the control's tag (an unknown tag throws);
    // combo and check boxes by identity (a control of no parameter is ignored).
    void TextBox_Change_Event(controls::TextBoxControl *TextBoxControl);
    void TextBox_KeyPress_Event(controls::TextBoxControl *TextBoxControl, int &KeyAscii);
    void TextBox_LostFocus_Event(controls::TextBoxControl *TextBoxControl);
    void TextBox_Validate_Event(controls::TextBoxControl *TextBoxControl, bool &Cancel);
    void ComboBox_Change_Event(controls::ComboBoxControl *ComboBoxControl);
    void CheckBox_Click_Event(controls::CheckBoxControl *CheckBoxControl);
    void OptionButton_Click_Event(controls::OptionButtonControl *OptionButtonControl);

    // ---- validity and selection for writing ----
    // An available text box or combo box (in that order) whose value is invalid.
    bool AnyParameterValueIsInvalid() const;
    // The first of them; null when every value is valid.
    cParam *FirstInvalidParameter() const;
    // Available parameters without DontWriteToLns, in kind order; Changed is not looked at.
    QList<cParam *> GetAllParamsShouldBeWrittenToLns() const;
    // The CPs of those parameters (directly bound, or of their bound image), each LNS name once,
    // in the order of its first parameter.
    QList<lns::ConfigPropertyPtr> GetAllCpsShouldBeWrittenToLns() const;
    QStringList GetAllCpNamesShouldBeWrittenToLns() const;

    // ---- CP look-ups through the plug-in INI file ----
    // Without `Succeed` a failed look-up throws TqmError (IniFileError); with it, *Succeed
    // tells and the answer is null on failure.
    lns::ConfigPropertyPtr FetchLmoCp(const QString &CpName, const QString &Section, const IniFile &IniFile,
                                      const QString &DeviceTemplate, const lns::LonMarkObjectPtr &LonmarkObject,
                                      bool *Succeed = nullptr) const;
    lns::ConfigPropertyPtr FetchDevCp(const QString &CpName, const QString &Section, const IniFile &IniFile,
                                      const QString &DeviceTemplate, const lns::AppDevicePtr &AppDevice,
                                      bool *Succeed = nullptr) const;

    // The CP `cpIniName` of `superior` (a device or a LonMark object) in the CP section of the
    // plug-in INI file, for the opened device's template; null when it cannot be found.
    lns::ConfigPropertyPtr lookUpCp(const lns::ObjectPtr &superior, const QString &cpIniName) const;

signals:
    // A CP could not be found on another object during a write to it (raised by the transfer).
    void CpNotFoundWhileWriting(const lns::ObjectPtr &lnsObject, const QString &cpName);
    // Declared for completeness; not raised.
    void ParameterWrittenToLns();
    void ParameterWrittenToFile();

private:
    template <class T>
    T *registerParameter(KeyedList<T> &list, std::unique_ptr<T> parameter, bool available);

    Context m_context;
    lns::SystemPtr m_system;
    KeyedList<cParamTextBox> m_textBoxes;
    KeyedList<cParamComboBox> m_comboBoxes;
    KeyedList<cParamCheckBox> m_checkBoxes;
    KeyedList<cParamOptBtn> m_optionButtons;
    KeyedList<cParam2Byte> m_twoBytes;
    KeyedList<cParam1Byte> m_oneBytes;
    KeyedList<cParamASCII> m_asciis;
    KeyedList<cConfigProp> m_configProps;
    QList<cParam *> m_allParameters;
};
