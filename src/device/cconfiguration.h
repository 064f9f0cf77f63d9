#pragma once

// The command module's configuration: the parameter table that binds every parameter of the
// device to its configuration property and to a control of the main window (FetchCPs), and the
// user-level workflows that read the set from the device, write it back, and write it to
// several devices picked in the multi-device window.

#include "calibration/devicecontext.h"
#include "device/multidevicewindow.h"
#include "params/cparams.h"
#include "session/erroranswer.h"
#include "session/services.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

class ConfigurationWindow;
class DeviceHeading;

// Creates the multi-device window for one multi-device write.
using MultiDeviceWindowFactory = std::function<std::unique_ptr<device::MultiDeviceWindow>()>;

// The outcome of the last multi-device write, device by device (LonMark object names as the
// multi-device window names them).
struct SpreadResult
{
    QStringList written;
    QStringList failed;
};

class cConfiguration : public QObject
{
    Q_OBJECT
public:
    // The services are the session's (the host builds them once) and must outlive the
    // configuration; the window shows its controls. Without a factory the multi-device write
    // picks every device on offer (ScriptedMultiDeviceWindow).
    cConfiguration(const Services &services, ConfigurationWindow &window,
                   MultiDeviceWindowFactory createMultiDeviceWindow = {}, QObject *parent = nullptr);
    ~cConfiguration() override;

    cParams *Parameters() const { return m_parameters.get(); }

    // ---- the parameter table ----
    void FetchCPs();

    // Each fetches the CP of the current LonMark object (or, FromDevice, of the current device)
    // through the plug-in INI file, creates the parameter under ParameterName (or the CP name)
    // even when the CP is missing, and answers whether the CP was found.
    bool BindTextBoxParameter(const QString &CpName, int ControlIndex, cParamTextBox *&Parameter,
                              const QString &ParameterName = {}, bool FromDevice = false);
    bool BindComboBoxParameter(const QString &CpName, int ControlIndex, cParamComboBox *&Parameter,
                               const QString &ParameterName = {}, bool FromDevice = false);
    bool BindOptionButtonParameter(const QString &CpName, cParamOptBtn *&Parameter,
                                   const QString &ParameterName = {}, bool FromDevice = false);
    bool Bind1ByteParameter(const QString &CpName, cParam1Byte *&Parameter, const QString &ParameterName = {},
                            bool FromDevice = false);
    bool Bind2ByteParameter(const QString &CpName, cParam2Byte *&Parameter, const QString &ParameterName = {},
                            bool FromDevice = false);

    // ---- workflows ----
    void ReadSettings();
    void WriteSettings();
    // Whether every shown value may be written. Otherwise names the first invalid field and
    // what it accepts, puts the focus there and answers false: nothing is written or saved.
    bool checkValues() const;
    // A heartbeat time of 0 switches the heartbeat off: its field shows no value and is not
    // checked; any other time is editable. Run after every read or load of the set.
    void SetHeartbeatLocks();
    void ReadParameters();
    bool WriteParameters();
    void WriteParametersEx();
    // The multi-device write without the window: the set to each of `targets` in turn (the
    // opened device's own LonMark object may be among them), each in its own transaction,
    // inside one series. Refuses, with a message, while part of the set has no value.
    const SpreadResult &WriteParametersTo(const QList<lns::LonMarkObjectPtr> &targets);

    // Handlers of the multi-device window's events.
    void mobjMultiDevWin_Progress();
    void mobjMultiDevWin_SearchCompleted();

    // The fan-coil step count that the window keeps (number of fan levels) and every write
    // records on the device's LonMark object.
    qint32 FanCoilStepCount() const { return m_fanCoilStepCount; }
    void setFanCoilStepCount(qint32 count) { m_fanCoilStepCount = count; }

    // Devices written and failed by the last multi-device write. The failed ones are offered
    // preselected by the next one.
    const SpreadResult &LastSpreadResult() const { return m_lastSpread; }

signals:
    // Around each device of a multi-device write; `written` as LastSpreadResult counts it.
    void spreadDeviceStarting(int index, int count, const lns::LonMarkObjectPtr &lonMarkObject);
    void spreadDeviceFinished(int index, int count, const lns::LonMarkObjectPtr &lonMarkObject, bool written);

private:
    template <class P, class Add>
    bool bind(const QString &cpName, const QString &parameterName, bool fromDevice, P *&parameter, Add add);
    // The CP the INI file's entry leads to; null when the entry is missing or faulty (a fault is
    // reported by reportIniFault).
    lns::ConfigPropertyPtr fetchCp(const QString &cpName, bool fromDevice);
    // A red line naming the INI file, line and entry that is listed for the device's template but
    // leads nowhere (`failure`) or holds an unreadable number; once per entry and configuration.
    // True when the entry is faulty.
    bool reportIniFault(const QString &cpName, const QString &failure);
    void setParametersChanged(bool changed) const;

    void fetchButtonMode();
    void fetchConfigurationRows();
    // The two panel counts (PanelType_1, PanelType_2); false when the device has no panel.
    bool fetchPanelCounts();
    void fetchPanelRows();
    void fetchTemperatureRows();
    void fillSwitchAssignments(cParamComboBox *parameter) const;

    DeviceContext deviceContext(const lns::LonMarkObjectPtr &lonMarkObject = {}) const;
    const Clock &clock() const;
    void log(const QString &label) const;
    void logTimed(int messageId, int piece, qint32 colour) const;
    void showLoggerOnError() const;
    // A red line with the error's description and number; the multi-device write goes on after it.
    void logError(const TqmError &error) const;
    void runLoggingErrors(const std::function<void()> &step) const;
    bool writeToDevice(int index, int count, const lns::LonMarkObjectPtr &lonMarkObject, DeviceHeading &heading);
    device::MultiDeviceRequest multiDeviceRequest() const;
    void logSpreadSummary() const;
    // Whether every value of the set to write came from the device (or was set since); says
    // which did not otherwise.
    bool setIsComplete() const;

    // Runs the routine's steps in order; an error goes to the error handler, whose answer
    // repeats the step, goes on with the next one, or leaves the routine.
    void runSteps(const QString &moduleName, const QString &routineName,
                  const QList<std::function<void()>> &steps);

    const Services &m_services;
    ConfigurationWindow &m_window;
    MultiDeviceWindowFactory m_createMultiDeviceWindow;
    std::unique_ptr<DeviceHeading> m_ownDeviceHeading;
    std::unique_ptr<cParams> m_parameters;
    qint32 m_fanCoilStepCount = 1;
    float m_lastRefreshSeconds = 0; // seconds since midnight
    SpreadResult m_lastSpread;
    QStringList m_reportedIniFaults; // INI entries already reported in this start
};
