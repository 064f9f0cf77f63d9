#pragma once

// The sensor calibration's restore record: what a run changes on the device (the bytes of the
// CPs of TempMode, OffsetTemp and MinDeltaTemp as they were), with the device, the time and the
// process, kept in an extension record of the LonMark object. The run writes it in a
// transaction of its own before it touches the device and clears it in the transaction that
// writes its result or the restoration, so that a run cut short (killed, or its window closed)
// leaves a record behind. Whoever opens the device next (the plug-in, tqm-config, tqm-netdb)
// writes the recorded bytes back first, unless the run is still going on in a live process.
//
// Fields: 1 device name, 2 start time (ISO 8601, UTC), 3 process id, then one per CP:
// "NAME=RAW" or "NVNAME/NAME=RAW" for a CP of one of the object's network variables. A cleared
// record has only empty fields.

#include "lns/lns.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

class Logger;
struct Services;

namespace calibration {

inline const QString SensorRestoreRecord = QStringLiteral("5318C02-64107_TqmCmdModule_SensorRestore");
// A record of a live process older than this is taken as left behind (its id reused).
constexpr qint64 RestoreRecordMaxAgeSeconds = 600;

// Reads the CPs' bytes (from the network database) and records them, in a transaction of its
// own. Throws TqmError when that fails; the device must not be touched then.
void RecordSensorRestore(const lns::SystemPtr &system, const lns::LonMarkObjectPtr &lonMarkObject,
                         const QList<lns::ConfigPropertyPtr> &cps, const QDateTime &now);
// Empties the record, inside the caller's transaction (the one that writes the result or the
// restoration).
void ClearSensorRestore(const lns::LonMarkObjectPtr &lonMarkObject);
// Marks the record as nobody's (a run that could not write the old values back and ends): the
// next opener restores it, this process too.
void ReleaseSensorRestore(const lns::LonMarkObjectPtr &lonMarkObject) noexcept;
bool SensorRestorePending(const lns::LonMarkObjectPtr &lonMarkObject);

struct RestoreOutcome
{
    enum Kind { Nothing, Restored, Failed, RunningElsewhere };
    Kind kind = Nothing;
    QString deviceName;
    QString startedAt;  // as recorded
    QString failure;    // Failed: why
    qint64 processId = 0;
};

// Writes the recorded bytes back and clears the record in one transaction; nothing is written
// while the run's process is alive (and the record younger than the bound). Never throws.
RestoreOutcome RestoreInterruptedSensorCalibration(const lns::SystemPtr &system,
                                                   const lns::LonMarkObjectPtr &lonMarkObject, const QDateTime &now);
// The outcome as a line for the user in the session's language; empty for Nothing.
QString RestoreOutcomeText(const RestoreOutcome &outcome);
// The same for the session's device, told in the logger (red when it failed).
RestoreOutcome RestoreInterruptedSensorCalibration(const Services &services);

} // namespace calibration
