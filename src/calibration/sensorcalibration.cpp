#include "calibration/sensorcalibration.h"

#include "calibration/calibrationrecords.h"
#include "calibration/pagearrangement.h"
#include "calibration/sensorrestore.h"
#include "calibration/severaldevices.h"
#include "lns/clock.h"
#include "lns/controls/windowutility.h"
#include "lns/inilocator.h"
#include "lns/logger.h"
#include "lns/product.h"
#include "lns/timer.h"
#include "lns/userdialogs.h"
#include "monitoring/cmonitorpoints.h"
#include "monitoring/outputtexts.h"
#include "params/cconfigprop.h"
#include "params/choiceparams.h"
#include "params/cpaccess.h"
#include "params/cparamenums.h"
#include "params/cparamtextbox.h"
#include "params/displayrules.h"
#include "params/numbers.h"
#include "params/rawparams.h"
#include "session/session.h"
#include "strings/resstrings.h"
#include "transfer/transferparts.h"

namespace calibration {

namespace {

const QString TempModeName = QStringLiteral("TempMode");
const QString OffsetTempName = QStringLiteral("OffsetTemp");
const QString MinDeltaTempName = QStringLiteral("MinDeltaTemp");
const QString SpaceTempPoint = QStringLiteral("nvoSpaceTemp");
// While measuring, every change of a tenth of a kelvin is sent.
constexpr float MeasuringMinDelta = 0.1f;
// The value a temperature sensor sends when it has no valid reading.
constexpr qint32 InvalidTemperature = 32767;
constexpr int RangeMessage = 1420;          // "\"%1\" must lie between %2 and %3 %4."
constexpr int RoomTemperatureCaption = 1101;

// Writes the parameter to the device; false when the write did not reach it, after a red line
// naming the parameter, its CP and the error.
bool writeToDevice(const CalibrationEnvironment &env, cParam &parameter)
{
    parameter.WriteToLns();
    if (const auto &failure = parameter.lastWriteFailure()) {
        transfer::logRedLine(env.services.logger, parameter.describe() + QStringLiteral(": ") + failure->description());
        return false;
    }
    return true;
}

// The CP a parameter lives in; null when it has none.
lns::ConfigPropertyPtr cpOf(const cParam *parameter)
{
    if (!parameter)
        return {};
    return parameter->CpIsExternal() ? parameter->ConfigPropExt()->ConfigProperty() : parameter->ConfigProperty();
}

// The LonMark object of `device` that corresponds to the session's: the first one after the
// node object with the same functional profile, so that devices whose templates order their
// objects differently still match.
lns::LonMarkObjectPtr matchingLonMarkObject(const lns::AppDevicePtr &device, const lns::LonMarkObjectPtr &pattern)
{
    const auto objects = device->lonMarkObjects();
    for (int i = 2; i <= objects->count(); ++i) {
        if (objects->item(i)->type() == pattern->type())
            return objects->item(i);
    }
    throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("CopyFinalCalibration"),
                   QStringLiteral("The device \"%1\" has no LonMark object of profile %2.")
                       .arg(device->name())
                       .arg(pattern->type()));
}

} // namespace

qint32 SignedOffset(qint32 value1, qint32 value2)
{
    const qint32 raw = value1 * 256 + value2;
    return raw > 32768 ? raw - 65536 : raw;
}

std::pair<qint32, qint32> OffsetBytes(qint32 offset)
{
    const qint32 unsignedOffset = offset < 0 ? offset + 65536 : offset;
    return {unsignedOffset / 256, unsignedOffset % 256};
}

std::optional<qint32> SpaceTempHundredths(const QString &rawText)
{
    const std::optional<qint32> value = outputtexts::signedRawValue(rawText);
    if (value == InvalidTemperature)
        return std::nullopt;
    return value;
}

TemperatureSensorCalibration::TemperatureSensorCalibration(CalibrationEnvironment env, Timer *timer)
    : m_env(std::move(env)), m_timer(timer)
{
}

TemperatureSensorCalibration::~TemperatureSensorCalibration() = default;

bool TemperatureSensorCalibration::isRunning() const
{
    return m_timer && m_timer->isActive() && !m_restorePending;
}

// ---------------------------------------------------------------------------------------------
// The room-temperature entry

void TemperatureSensorCalibration::RoomTemperatureChanged()
{
    controls::TextBoxControl &entry = *m_env.page->TextBox(RoomTemperatureBox);
    const double number = numbers::readTypedNumber(entry.text());
    WindowUtility::MarkRange(entry, number, LowestRoomTemperature, HighestRoomTemperature);
    try {
        m_target = numbers::toInt32(number * 100);
    } catch (const TqmError &) {
        // Far out of range: marked red above, so nothing can be calibrated with it.
    }
    const bool inRange = entry.foreColor() != controls::colour::Red;
    m_env.page->setButtonEnabled(button::SensorCalibrate, inRange);
    // A result of an earlier run no longer holds for a new entry; an entry out of range says
    // why "Calibrate" is off.
    if (inRange) {
        m_env.page->setResultVisible(Indicator::Sensor, false);
        return;
    }
    const QString range = GetResString(RangeMessage, 1,
                                       {GetResString(RoomTemperatureCaption),
                                        numbers::numberText(double(LowestRoomTemperature), m_env.locale),
                                        numbers::numberText(double(HighestRoomTemperature), m_env.locale),
                                        displayrules::unitMnemonic(cParamEnums::UNIT_DegreesCelsius)});
    m_env.page->setResult(Indicator::Sensor, range.trimmed(), FailureColour);
    m_env.page->setResultVisible(Indicator::Sensor, true);
}

void TemperatureSensorCalibration::RoomTemperatureValidate(bool *cancel)
{
    controls::TextBoxControl &entry = *m_env.page->TextBox(RoomTemperatureBox);
    if (entry.foreColor() == controls::colour::Red) {
        *cancel = true;
        return;
    }
    const double rounded = numbers::roundHalfEven(numbers::readTypedNumber(entry.text()), 1);
    entry.setText(numbers::formatFixed(rounded, 1, m_env.locale).trimmed());
}

// ---------------------------------------------------------------------------------------------
// The run

void TemperatureSensorCalibration::showResult(int piece, controls::Colour colour)
{
    m_env.page->setResult(Indicator::Sensor, GetResString(1104, piece), colour);
    m_env.page->setResultVisible(Indicator::Sensor, true);
}

void TemperatureSensorCalibration::Start()
{
    CalibrationPage &page = *m_env.page;
    // Without its offset CP the device cannot be calibrated: nothing would be written.
    const bool possible = parameterAvailable(m_env, OffsetTempName) && m_env.deviceIsAccessible
                          && m_env.deviceIsAccessible(true);
    if (!possible) {
        showResult(3, FailureColour);
        logMessage(m_env, 1209, 3, logcolour::Red);
        page.setButtonEnabled(button::SensorCalibrate, false);
        page.setButtonEnabled(button::KnobCalibrate, false);
        return;
    }
    m_env.services.dialogs->setWaitCursor(true);
    page.setEnabled(false);
    page.setResultVisible(Indicator::Sensor, false);
    m_tick = 0;
    m_preparationFailed = false;
    // A new run takes over from a restoration still waiting for the device: the parameters
    // hold the values from before the failed run, which this run keeps in turn.
    m_restorePending = false;
    m_timer->start(IntervalMs);
}

void TemperatureSensorCalibration::Tick()
{
    if (m_restorePending) {
        retryRestore();
        return;
    }
    CalibrationPage &page = *m_env.page;
    page.setResultVisible(Indicator::Sensor, false);
    page.setProgressVisible(Indicator::Sensor, true);
    page.setProgress(Indicator::Sensor, m_tick);
    page.setProgressText(Indicator::Sensor, m_tick % 2 == 1 ? GetResString(1103) : QString());
    if (m_tick == PreparationTick) {
        prepare();
    } else if (m_tick == MeasurementTick) {
        if (!measure())
            return;
    } else if (m_tick >= CompletionTick) {
        complete();
        return;
    }
    ++m_tick;
}

void TemperatureSensorCalibration::prepare()
{
    auto *tempMode = dynamic_cast<cParamOptBtn *>(parameter(m_env, TempModeName));
    auto *offset = dynamic_cast<cParam2Byte *>(parameter(m_env, OffsetTempName));
    auto *minDelta = dynamic_cast<cParamTextBox *>(parameter(m_env, MinDeltaTempName));
    const bool hasTempMode = tempMode && tempMode->Available();
    m_savedTempMode.reset();
    if (hasTempMode)
        m_savedTempMode = qint32(numbers::leadingNumber(tempMode->Value()));
    m_savedOffset = SignedOffset(offset->Value1(), offset->Value2());
    m_savedMinDelta = minDelta ? minDelta->ValueCalc() : 0;
    m_preparationFailed = true;

    // What goes back if this run is cut short is in the network database before the device
    // changes; without that record the device is not touched.
    const SessionState &session = *m_env.services.session;
    QList<lns::ConfigPropertyPtr> cps;
    for (const cParam *changed : {static_cast<const cParam *>(hasTempMode ? tempMode : nullptr),
                                  static_cast<const cParam *>(offset), static_cast<const cParam *>(minDelta)}) {
        if (lns::ConfigPropertyPtr cp = cpOf(changed))
            cps.append(cp);
    }
    try {
        const Clock &clock = m_env.services.clock.get();
        RecordSensorRestore(session.system, session.lonMarkObject, cps, clock.now());
    } catch (const TqmError &error) {
        transfer::logRedLine(m_env.services.logger, error.description());
        return;
    }
    m_recorded = true;

    m_preparationFailed = !inTransaction([&] {
        bool written = true;
        m_env.page->setUpdatingControls(true);
        if (hasTempMode) {
            tempMode->setValue(QString::number(cParamEnums::TM_INTERNAL));
            written = written && writeToDevice(m_env, *tempMode);
        }
        offset->setValue1(0);
        offset->setValue2(0);
        written = written && writeToDevice(m_env, *offset);
        if (minDelta) {
            minDelta->setValueCalc(MeasuringMinDelta);
            written = written && writeToDevice(m_env, *minDelta);
        }
        m_env.page->setUpdatingControls(false);
        return written;
    }, false);
}

bool TemperatureSensorCalibration::inTransaction(const std::function<bool()> &writes, bool clearRecord)
{
    const SessionState &session = *m_env.services.session;
    transfer::Transaction transaction(session.system);
    if (!transaction.started()) {
        transfer::logRedLine(m_env.services.logger, transaction.startFailure());
        return false;
    }
    try {
        if (!writes())
            return false; // the transaction is cancelled: nothing of it reached the device
        if (clearRecord)
            ClearSensorRestore(session.lonMarkObject);
        transaction.commit();
    } catch (const TqmError &error) {
        transfer::logRedLine(m_env.services.logger, error.description());
        return false;
    }
    if (clearRecord)
        m_recorded = false;
    return true;
}

bool TemperatureSensorCalibration::measure()
{
    const SessionState &session = *m_env.services.session;
    bool failed = session.communicationFailed || m_preparationFailed;
    if (!failed) {
        const std::optional<qint32> measured = readSpaceTemp();
        // The offset must fit the CP's signed 16 bits; anything else is no reading to trust.
        const qint64 difference = measured ? qint64(m_target) - *measured : 0;
        if (!measured || difference < -32768 || difference > 32767) {
            logMessage(m_env, 1528, 1, logcolour::Red);
            failed = true;
        } else {
            // The offset, TempMode and MinDeltaTemp back, and the restore record cleared, in
            // one transaction: a write that does not reach the device fails the run, so that
            // the device is not left measuring without its offset.
            failed = !inTransaction([&] {
                const bool offsetWritten = writeOffset(qint32(difference));
                return offsetWritten && writeSavedModeAndMinDelta();
            });
        }
    }
    if (failed)
        fail();
    return !failed;
}

std::optional<qint32> TemperatureSensorCalibration::readSpaceTemp() const
{
    cMonitorPoints *points = m_env.monitorPoints ? m_env.monitorPoints() : nullptr;
    if (!points)
        return std::nullopt;
    try {
        return SpaceTempHundredths(points->GetMonitorPointByName(SpaceTempPoint)->Value());
    } catch (const TqmError &) {
        return std::nullopt; // the monitoring page has no such point
    }
}

bool TemperatureSensorCalibration::writeOffset(qint32 offset)
{
    auto *parameter2Byte = dynamic_cast<cParam2Byte *>(parameter(m_env, OffsetTempName));
    const auto [high, low] = OffsetBytes(offset);
    parameter2Byte->setValue1(high);
    parameter2Byte->setValue2(low);
    return writeToDevice(m_env, *parameter2Byte);
}

bool TemperatureSensorCalibration::writeSavedModeAndMinDelta()
{
    bool written = true;
    m_env.page->setUpdatingControls(true);
    auto *tempMode = dynamic_cast<cParamOptBtn *>(parameter(m_env, TempModeName));
    if (tempMode && tempMode->Available() && m_savedTempMode) {
        tempMode->setValue(QString::number(*m_savedTempMode));
        written = writeToDevice(m_env, *tempMode) && written;
    }
    if (auto *minDelta = dynamic_cast<cParamTextBox *>(parameter(m_env, MinDeltaTempName))) {
        minDelta->setValueCalc(m_savedMinDelta);
        written = writeToDevice(m_env, *minDelta) && written;
    }
    m_env.page->setUpdatingControls(false);
    return written;
}

bool TemperatureSensorCalibration::restoreSavedValues()
{
    return inTransaction([&] {
        const bool offsetWritten = writeOffset(m_savedOffset);
        return writeSavedModeAndMinDelta() && offsetWritten;
    });
}

// The values from before the run go back, the offset in exactly the bytes it had. A device that
// stopped answering gets them once it answers again: the timer goes on trying.
void TemperatureSensorCalibration::fail()
{
    CalibrationPage &page = *m_env.page;
    const bool restored = restoreSavedValues();
    page.setProgressVisible(Indicator::Sensor, false);
    showResult(2, FailureColour);
    logMessage(m_env, 1209, 2, logcolour::Red);
    page.ShowLogger();
    m_env.services.logger->setLoggerOnErrorFlag(false);
    m_tick = 0;
    page.setEnabled(true);
    m_env.services.dialogs->setWaitCursor(false);
    m_restorePending = !restored;
    m_restoreWait = 0;
    if (!m_restorePending)
        m_timer->stop();
}

void TemperatureSensorCalibration::retryRestore()
{
    if (++m_restoreWait < RestoreRetryTicks)
        return;
    m_restoreWait = 0;
    if (!m_env.deviceIsAccessible || !m_env.deviceIsAccessible(true))
        return;
    if (restoreSavedValues()) {
        m_restorePending = false;
        m_timer->stop();
    }
}

void TemperatureSensorCalibration::FinishBeforeClose()
{
    if (!m_timer || !m_timer->isActive())
        return;
    if (!m_restorePending && m_tick > MeasurementTick) {
        complete(); // the result is on the device already
        return;
    }
    m_timer->stop();
    const bool touched = m_restorePending || m_tick > PreparationTick;
    m_tick = 0;
    m_restorePending = false;
    m_env.page->setProgressVisible(Indicator::Sensor, false);
    m_env.page->setEnabled(true);
    m_env.services.dialogs->setWaitCursor(false);
    if (!touched || !m_recorded)
        return;
    if (restoreSavedValues()) {
        logMessage(m_env, 1209, 2, logcolour::Red);
        return;
    }
    // The device does not answer: whoever opens it next writes the old values back, this
    // process included.
    ReleaseSensorRestore(m_env.services.session->lonMarkObject);
    RestoreOutcome outcome;
    outcome.kind = RestoreOutcome::Failed;
    outcome.deviceName = m_env.services.session->deviceName;
    outcome.failure = GetResString(1528);
    transfer::logRedLine(m_env.services.logger, RestoreOutcomeText(outcome));
}

void TemperatureSensorCalibration::complete()
{
    CalibrationPage &page = *m_env.page;
    page.setProgressVisible(Indicator::Sensor, false);
    m_timer->stop();
    m_tick = 0;
    page.setEnabled(true);
    showResult(1, SuccessColour);
    const DeviceContext context = deviceContext(m_env);
    WriteTempSensorCalibrated(context);
    page.TextBox(SensorCalibratedBox)->setText(ReadTempSensorCalibrated(context));
    ArrangeCalibrationPages(m_env);
    m_env.services.dialogs->setWaitCursor(false);
    logMessage(m_env, 1209, 1, logcolour::Green);
}

// ---------------------------------------------------------------------------------------------
// Copy to several sensors

void TemperatureSensorCalibration::CopyToSeveralSensors()
{
    SeveralDevices several(m_env);
    const QList<lns::AppDevicePtr> devices = several.pick();
    if (devices.isEmpty())
        return;
    // The offset goes over as the bytes this device holds.
    auto *offset = dynamic_cast<cParam2Byte *>(parameter(m_env, OffsetTempName));
    const qint32 offsetToCopy = offset ? offset->Value1() * 256 + offset->Value2() : 0;
    several.run(devices, 1201, [&](const PickedDevice &target) { copyTo(target, offsetToCopy); });
}

void TemperatureSensorCalibration::copyTo(const PickedDevice &target, qint32 offsetToCopy)
{
    if (target.applicationVersion == 0) {
        logOutcome(m_env, GetResString(1203), logcolour::Red);
        return;
    }
    if (target.applicationVersion < target.newCalibVersion) {
        logOutcome(m_env, GetResString(1204, 1), logcolour::Red);
        return;
    }
    const std::optional<qint64> tempCalib = ReadTempCalib(m_env, target.device);
    if (!tempCalib)
        return; // a device without a manufacturer's calibration CP has nothing to correct
    if (*tempCalib == 0) {
        logOutcome(m_env, GetResString(1206), logcolour::Red);
        return;
    }
    const SessionState &session = *m_env.services.session;
    const lns::LonMarkObjectPtr lonMarkObject = matchingLonMarkObject(target.device, session.lonMarkObject);
    const lns::ConfigPropertyPtr cp = IniLocator(*m_env.services.iniFile, target.device->deviceTemplate()->name())
                                             .FetchLmoCp(OffsetTempName, product::CpSection, lonMarkObject);
    // The offset and the record that it was copied arrive together or not at all.
    transfer::Transaction transaction(session.system);
    if (!transaction.started())
        throw TqmError(TqmError::LnsDatabase, QStringLiteral("CopyFinalCalibration"), transaction.startFailure());
    QByteArray bytes(2, '\0');
    bytes[0] = char(offsetToCopy / 256);
    bytes[1] = char(offsetToCopy % 256);
    cpaccess::writeBytes(*cp, bytes);
    WriteTempSensorCalibrated(deviceContext(m_env, {}, lonMarkObject), lonMarkObject);
    transaction.commit();
    logOutcome(m_env, GetResString(1207), logcolour::Green);
}

} // namespace calibration
