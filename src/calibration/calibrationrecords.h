#pragma once

// When the sensor and the knob of a command module were last calibrated, and the fan-coil step
// count of its last configuration: the device stores none of this, so the plug-in keeps it in
// extension records of the LonMark object. Every operation here swallows network errors (the
// records are a convenience; a locked database must not stop a calibration): a failed read
// answers "" (0 for the step count), a failed write changes nothing.

#include "calibration/devicecontext.h"

#include <QDateTime>
#include <QLocale>

namespace calibration {

inline const QString TempSensorCalibratedRecord = QStringLiteral("5318C02-64107_TqmCmdModule_TempSensorCalibrated");
inline const QString RegulatorCalibratedRecord = QStringLiteral("5318C02-64107_TqmCmdModule_RegulatorCalibrated");
inline const QString FanCoilStepCountRecord = QStringLiteral("5318C02-64107_TqmCmdModule_FanCoilStepCount");

// Message number of "not calibrated" (English; German is this + 1000).
constexpr int NotCalibratedMessage = 1123;

// The date and time of the last calibration, or "not calibrated" in the context's language.
QString ReadTempSensorCalibrated(const DeviceContext &context);
// Notes a sensor calibration now. With a target (a calibration copied to another device) field 2
// is set to "1" first; without one the context's object is meant and field 2 is left alone.
void WriteTempSensorCalibrated(const DeviceContext &context, const lns::LonMarkObjectPtr &target = nullptr);
// False while the record reads "not calibrated" in either language, whichever wrote it.
bool TempSensorIsCalibrated(const DeviceContext &context);

QString ReadRegulatorCalibrated(const DeviceContext &context);
void WriteRegulatorCalibrated(const DeviceContext &context);

// 1 when nothing was recorded yet.
qint32 ReadFanCoilStepCount(const DeviceContext &context);
void WriteFanCoilStepCount(const DeviceContext &context, qint32 count);

// The date-time text of a calibration record: the locale's short date, a blank, its long time.
QString CalibrationTimeText(const QDateTime &when, const QLocale &locale);

} // namespace calibration
