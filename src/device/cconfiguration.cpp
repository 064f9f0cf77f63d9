// The read and write workflows of the command-module configuration: what the user sees around
// the generic transfer (cursor, disabled window, status text, coloured log lines, questions)
// and the multi-device write with its per-device results.

#include "device/cconfiguration.h"

#include "calibration/calibrationrecords.h"
#include "device/configurationwindow.h"
#include "lns/inifile.h"
#include "lns/logger.h"
#include "lns/product.h"
#include "lns/userdialogs.h"
#include "params/choiceparams.h"
#include "params/cparamtextbox.h"
#include "params/numbers.h"
#include "session/devicelog.h"
#include "session/erroranswer.h"
#include "session/session.h"
#include "strings/resstrings.h"
#include "transfer/lnstransfer.h"
#include "transfer/transferparts.h"

namespace {

constexpr int RepeatHeadingAfterSeconds = 15;
constexpr int SeriesValue = 100;

// Steps whose failure must not keep the following ones from running.
template <class F>
void ignoringErrors(F &&step)
{
    try {
        step();
    } catch (const TqmError &) {
    }
}

float secondsSinceMidnight(const QDateTime &when)
{
    return float(when.time().msecsSinceStartOfDay()) / 1000.0f;
}

} // namespace

cConfiguration::cConfiguration(const Services &services, ConfigurationWindow &window,
                               MultiDeviceWindowFactory createMultiDeviceWindow, QObject *parent)
    : QObject(parent), m_services(services), m_window(window),
      m_createMultiDeviceWindow(std::move(createMultiDeviceWindow)),
      m_parameters(std::make_unique<cParams>(ParamsContext::of(services, window.Caption())))
{
    m_parameters->setSystem(m_services.session->system);
    // A CP the other device's template lacks is no failure of the write: the set has nothing to
    // put there. The user learns which part of the set the device did not get.
    connect(m_parameters.get(), &cParams::CpNotFoundWhileWriting, this,
            [this](const lns::ObjectPtr &object, const QString &cpName) {
                m_services.logger->addLogLine(GetResString(1569, 1, {transfer::objectLocation(object), cpName}),
                                              logcolour::Black);
            });
}

cConfiguration::~cConfiguration() = default;

DeviceContext cConfiguration::deviceContext(const lns::LonMarkObjectPtr &lonMarkObject) const
{
    return DeviceContext::of(m_services, lonMarkObject);
}

const Clock &cConfiguration::clock() const
{
    return m_services.clock;
}

void cConfiguration::log(const QString &label) const
{
    m_services.logger->logLine(label);
}

void cConfiguration::logTimed(int messageId, int piece, qint32 colour) const
{
    m_services.logger->addLogLine(GetResString(messageId, piece), colour, 0, true);
}

void cConfiguration::showLoggerOnError() const
{
    if (m_services.logger->loggerOnErrorFlag())
        m_window.ShowLogger();
}

void cConfiguration::logError(const TqmError &error) const
{
    m_services.logger->addLogLine(error.description() + QStringLiteral(" (") + QString::number(error.number())
                                 + QLatin1Char(')'),
                             logcolour::Red);
}

void cConfiguration::runLoggingErrors(const std::function<void()> &step) const
{
    try {
        step();
    } catch (const TqmError &error) {
        logError(error);
    }
}

void cConfiguration::runSteps(const QString &moduleName, const QString &routineName,
                              const QList<std::function<void()>> &steps)
{
    ErrorHandler handler = m_services.handleError;
    if (!handler) {
        handler = [this](const TqmError &error, const QString &, const QString &) {
            logError(error);
            return ErrorAnswer::Leave;
        };
    }
    if (session::runSteps(handler, moduleName, routineName, steps) == session::RoutineOutcome::EndRequested
        && m_services.endProgram)
        m_services.endProgram();
}

// ---- one device ----

namespace {

constexpr int MsgMustLieBetween = 1420;
constexpr int MsgNothingWritten = 1580;
constexpr int MsgNoChoice = 1581;

QString invalidValueText(const cParam &invalid, const QLocale &locale)
{
    if (const auto *text = dynamic_cast<const cParamTextBox *>(&invalid)) {
        return GetResString(MsgMustLieBetween, 1,
                            {text->TextBoxTitle(), numbers::numberText(text->TextBoxRangeMin(), locale),
                             numbers::numberText(text->TextBoxRangeMax(), locale), text->UnitMnemonic()});
    }
    return GetResString(MsgNoChoice, 1, {invalid.Name()});
}

controls::Control *controlOf(const cParam &parameter)
{
    if (const auto *text = dynamic_cast<const cParamTextBox *>(&parameter))
        return text->TextBoxControl();
    if (const auto *combo = dynamic_cast<const cParamComboBox *>(&parameter))
        return combo->ComboBoxControl();
    return nullptr;
}

} // namespace

void cConfiguration::SetHeartbeatLocks()
{
    for (const QString &name : {QStringLiteral("MaxSendTime"), QStringLiteral("MaxReceiveTime")}) {
        if (auto *time = dynamic_cast<cParamTextBox *>(m_parameters->ParameterAllByName(name)))
            time->setLockMode(time->Value() != 0 ? cParamEnums::LM_UNLOCKED : cParamEnums::LM_DISABLED_GREY_NO_VALUE);
    }
}

// The flag and the Apply button go together: Apply offers exactly the edits not yet written.
void cConfiguration::setParametersChanged(bool changed) const
{
    m_services.session->parametersChangedFlag = changed;
    m_window.setApplyEnabled(changed);
}

bool cConfiguration::checkValues() const
{
    const cParam *invalid = m_parameters->FirstInvalidParameter();
    if (!invalid)
        return true;
    const QString reason = invalidValueText(*invalid, m_parameters->context().locale);
    m_services.logger->addLogLine(reason, logcolour::Black);
    m_services.dialogs->message(GetResString(MsgNothingWritten, 1, {reason}), m_window.Caption(),
                                MsgIcon::Exclamation);
    if (controls::Control *control = controlOf(*invalid))
        m_window.showControl(*control);
    return false;
}

void cConfiguration::ReadSettings()
{
    log(QStringLiteral("[M_PlugIn] Public Sub ReadSettings()"));
    runSteps(QStringLiteral("M_PlugInSpecific"), QStringLiteral("ReadSettings"),
             {[this] { transfer::LnsTransfer(*m_parameters).ReadFromLns(); },
              [this] { m_fanCoilStepCount = calibration::ReadFanCoilStepCount(deviceContext()); }});
    // A heartbeat time of 0 means "off", not a value below the range: what was read is valid.
    SetHeartbeatLocks();
}

void cConfiguration::WriteSettings()
{
    log(QStringLiteral("[M_PlugIn] Public Sub WriteSettings()"));
    const lns::SystemPtr system = m_services.session->system;
    ignoringErrors([&] { system->openSeries(SeriesValue); });
    // The step count belongs to the set: it is kept with the device's CPs or not at all.
    ignoringErrors([&] {
        transfer::LnsTransfer(*m_parameters).WriteToLns(true, [this] {
            calibration::WriteFanCoilStepCount(deviceContext(), m_fanCoilStepCount);
        });
    });
    ignoringErrors([&] { system->closeSeries(); });
}

void cConfiguration::ReadParameters()
{
    log(QStringLiteral("[frmMain] Private Sub ReadParameters()"));
    SessionState &session = *m_services.session;
    ConfigurationWindow &window = m_window;
    if (session.parametersChangedFlag) {
        const QString question = GetResString(1428, 1, {session.lonMarkObject ? session.lonMarkObject->name() : QString()});
        if (m_services.dialogs->message(question, window.Caption(), MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No)
            != MsgAnswer::Yes)
            return;
    }
    runSteps(QStringLiteral("frmMain"), QStringLiteral("ReadParameters"),
             {[&] {
                  m_services.dialogs->setWaitCursor(true);
                  window.setEnabled(false);
                  window.setStatusText(GetResString(1501, 1));
              },
              [&] { logTimed(1550, 1, logcolour::Blue); },
              [&] {
                  window.setUpdatingControls(true);
                  ReadSettings();
                  window.setUpdatingControls(false);
                  // The window now shows the device's values: nothing is left unwritten.
                  setParametersChanged(false);
                  window.setChangedNoticeVisible(false);
              },
              [&] { logTimed(1550, 2, logcolour::Blue); },
              [&] {
                  showLoggerOnError();
                  m_services.logger->setLoggerOnErrorFlag(false);
              },
              [&] { window.SetControls(); },
              [&] {
                  m_services.dialogs->setWaitCursor(false);
                  window.setStatusText(GetResString(1517));
                  window.setEnabled(true);
              }});
}

bool cConfiguration::WriteParameters()
{
    log(QStringLiteral("[frmMain] Private Sub WriteParameters()"));
    if (!checkValues())
        return false;
    ConfigurationWindow &window = m_window;
    Logger &logger = *m_services.logger;
    bool written = false;
    runSteps(QStringLiteral("frmMain"), QStringLiteral("WriteParameters"),
             {[&] {
                  m_services.dialogs->setWaitCursor(true);
                  window.setEnabled(false);
                  window.setStatusText(GetResString(1500, 1));
              },
              [&] { logTimed(1551, 1, logcolour::Blue); },
              [&] { WriteSettings(); },
              [&] { logTimed(1551, 2, logcolour::Blue); },
              [&] {
                  showLoggerOnError();
                  written = !logger.loggerOnErrorFlag();
                  window.setChangedNoticeVisible(false);
              },
              [&] {
                  m_services.dialogs->setWaitCursor(false);
                  window.setStatusText(GetResString(1517));
                  // A failed write stays pending: Apply offers another attempt.
                  setParametersChanged(logger.loggerOnErrorFlag());
                  window.setEnabled(true);
              },
              [&] { logger.setLoggerOnErrorFlag(false); }});
    return written;
}

// ---- several devices ----

device::MultiDeviceRequest cConfiguration::multiDeviceRequest() const
{
    // The window handle that the platform passed besides the owner has no counterpart here:
    // the owner object carries the window.
    device::MultiDeviceRequest request = device::MultiDeviceRequest::forSession(
        *m_services.session, m_window.ownerObject(), m_window.Caption(),
        m_services.iniFile ? m_services.iniFile->fileName() : QString());
    // A parameter set belongs to one application: other programs read the same CP bytes
    // differently, so only devices of the opened device's program are offered.
    request.sameProgramIdOnly = true;
    request.items = device::MultiDeviceItems::LonMarkObjects;
    // Devices that failed last time come preselected, so retrying them is one click.
    request.preselected = m_lastSpread.failed;
    return request;
}

bool cConfiguration::writeToDevice(int index, int count, const lns::LonMarkObjectPtr &lonMarkObject,
                                   DeviceHeading &heading)
{
    Logger &logger = *m_services.logger;
    const bool errorsBefore = logger.loggerOnErrorFlag();
    logger.setLoggerOnErrorFlag(false);
    bool written = false;
    const auto step = [this](const std::function<void()> &action) { runLoggingErrors(action); };

    step([&] {
        m_window.setStatusText(
            GetResString(1500, 2, {QString::number(index) + QLatin1Char('/') + QString::number(count)}));
    });
    lns::AppDevicePtr appDevice;
    step([&] { appDevice = lonMarkObject->appDevice(); });
    step([&] {
        if (appDevice)
            heading.log(appDevice, lonMarkObject, -1, RepeatHeadingAfterSeconds);
    });
    step([&] {
        if (!m_services.iniFile)
            throw TqmError(TqmError::IniFileError, product::ProductName,
                           QStringLiteral("INI - File Error : ") + product::PlugInIniFileName);
        // The step count goes with the device's set, in the same commit.
        written = transfer::LnsTransfer(*m_parameters)
                      .WriteToLnsLmo(lonMarkObject, *m_services.iniFile, product::CpSection, [&] {
                          calibration::WriteFanCoilStepCount(deviceContext(lonMarkObject), m_fanCoilStepCount);
                      });
    });
    if (!written)
        logger.addLogLine(GetResString(1535), logcolour::Red);

    // A red line about this device (from the transfer or from here) marks it as failed.
    const bool failed = !written || logger.loggerOnErrorFlag();
    logger.setLoggerOnErrorFlag(errorsBefore || logger.loggerOnErrorFlag());
    return !failed;
}

bool cConfiguration::setIsComplete() const
{
    // The other devices get the set as it stands: a part of it that never came from the opened
    // device would reach them as zeros.
    const QStringList withoutValue = transfer::LnsTransfer(*m_parameters).ParametersWithoutValue();
    if (withoutValue.isEmpty())
        return true;
    m_services.dialogs->message(GetResString(1562, 1, {withoutValue.join(QStringLiteral(", "))}), m_window.Caption(),
                                MsgIcon::Exclamation);
    return false;
}

void cConfiguration::WriteParametersEx()
{
    if (!checkValues() || !setIsComplete())
        return;
    const auto step = [this](const std::function<void()> &action) { runLoggingErrors(action); };

    step([&] {
        m_window.Refresh();
        m_services.dialogs->setWaitCursor(true);
        m_window.setStatusText(GetResString(1519));
    });

    std::unique_ptr<device::MultiDeviceWindow> multiDeviceWindow;
    device::MultiDeviceSelectionPtr selection;
    step([&] {
        multiDeviceWindow = m_createMultiDeviceWindow
                                ? m_createMultiDeviceWindow()
                                : std::make_unique<device::ScriptedMultiDeviceWindow>();
        connect(multiDeviceWindow.get(), &device::MultiDeviceWindow::progress, this,
                &cConfiguration::mobjMultiDevWin_Progress);
        connect(multiDeviceWindow.get(), &device::MultiDeviceWindow::searchCompleted, this,
                &cConfiguration::mobjMultiDevWin_SearchCompleted);
        selection = multiDeviceWindow->open(multiDeviceRequest());
    });
    QList<lns::LonMarkObjectPtr> targets;
    for (int i = 1; selection && i <= selection->count(); ++i) {
        lns::LonMarkObjectPtr lonMarkObject;
        step([&] { lonMarkObject = std::dynamic_pointer_cast<lns::LonMarkObject>(selection->item(i)); });
        if (lonMarkObject)
            targets.append(lonMarkObject);
    }
    if (targets.isEmpty()) {
        m_services.dialogs->setWaitCursor(false);
        return;
    }
    WriteParametersTo(targets);
}

const SpreadResult &cConfiguration::WriteParametersTo(const QList<lns::LonMarkObjectPtr> &targets)
{
    if (!checkValues() || !setIsComplete()) {
        m_lastSpread = {};
        return m_lastSpread;
    }
    SessionState &session = *m_services.session;
    ConfigurationWindow &window = m_window;
    Logger &logger = *m_services.logger;
    const auto step = [this](const std::function<void()> &action) { runLoggingErrors(action); };

    step([&] { session.system->openSeries(SeriesValue); });
    step([&] {
        m_services.dialogs->setWaitCursor(true);
        window.setEnabled(false);
    });
    step([&] { logTimed(1551, 1, logcolour::Blue); });
    step([&] { transfer::LnsTransfer(*m_parameters).logCpNames(); });

    SpreadResult result;
    if (!m_services.deviceHeading && !m_ownDeviceHeading)
        m_ownDeviceHeading = std::make_unique<DeviceHeading>(logger, clock());
    DeviceHeading &heading = m_services.deviceHeading ? *m_services.deviceHeading : *m_ownDeviceHeading;
    const int count = int(targets.size());
    for (int i = 1; i <= count; ++i) {
        const lns::LonMarkObjectPtr &lonMarkObject = targets.at(i - 1);
        emit spreadDeviceStarting(i, count, lonMarkObject);
        const bool written = writeToDevice(i, count, lonMarkObject, heading);
        step([&] {
            const QString name = device::lonMarkObjectName(session.network, lonMarkObject);
            (written ? result.written : result.failed).append(name);
        });
        emit spreadDeviceFinished(i, count, lonMarkObject, written);
    }
    m_lastSpread = result;

    step([&] { logTimed(1551, 2, logcolour::Blue); });
    step([&] { logSpreadSummary(); });
    step([&] {
        showLoggerOnError();
        logger.setLoggerOnErrorFlag(false);
    });
    step([&] {
        m_services.dialogs->setWaitCursor(false);
        window.setStatusText(GetResString(1517));
        window.setEnabled(true);
        setParametersChanged(false);
    });
    step([&] { session.system->closeSeries(); });
    return m_lastSpread;
}

// Composed from the existing "written to %1 devices" text with "written/selected" as the
// count, so that it reads in both languages without a new entry in the fixed string table;
// the failed count is the difference, and each failed device has its own red line above.
void cConfiguration::logSpreadSummary() const
{
    const qsizetype selected = m_lastSpread.written.size() + m_lastSpread.failed.size();
    const QString counts = QString::number(m_lastSpread.written.size()) + QLatin1Char('/') + QString::number(selected);
    m_services.logger->addLogLine(GetResString(1555, 1, {counts}),
                             m_lastSpread.failed.isEmpty() ? logcolour::Green : logcolour::Black);
}

void cConfiguration::mobjMultiDevWin_Progress()
{
    const float now = secondsSinceMidnight(clock().now());
    // Also when the clock went backwards: the search ran over midnight.
    if (now - m_lastRefreshSeconds > 2.0f || now < m_lastRefreshSeconds) {
        m_window.Refresh();
        m_lastRefreshSeconds = now;
    }
}

void cConfiguration::mobjMultiDevWin_SearchCompleted()
{
    m_window.setStatusText(GetResString(1517));
}
