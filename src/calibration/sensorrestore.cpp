#include "calibration/sensorrestore.h"

#include "lns/clock.h"
#include "lns/extensionvalue.h"
#include "lns/logger.h"
#include "params/cpaccess.h"
#include "session/services.h"
#include "session/session.h"
#include "strings/resstrings.h"
#include "transfer/transferparts.h"

#include <QCoreApplication>

#include <cerrno>
#include <signal.h>

namespace calibration {

namespace {

constexpr int DeviceField = 1;
constexpr int TimeField = 2;
constexpr int ProcessField = 3;
constexpr int FirstCpField = 4;

// "NAME" for a CP of the object, "NVNAME/NAME" for one of its network variables'.
QString cpPath(const lns::ConfigPropertyPtr &cp)
{
    const lns::ObjectPtr nv = lns::ancestorByClassId(cp->parent(), lns::NetworkVariableClass);
    return nv ? nv->name() + QLatin1Char('/') + cp->name() : cp->name();
}

lns::ConfigPropertyPtr cpAt(const lns::LonMarkObjectPtr &lonMarkObject, const QString &path)
{
    const qsizetype slash = path.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return lonMarkObject->configProperties()->item(path);
    return lonMarkObject->networkVariables()->item(path.left(slash))->configProperties()->item(path.mid(slash + 1));
}

QString field(const lns::ExtensionRecordPtr &record, int number)
{
    return number <= record->fieldCount() ? record->field(number) : QString();
}

bool processAlive(qint64 pid)
{
    if (pid <= 0)
        return false;
    if (pid == QCoreApplication::applicationPid())
        return true; // this process's own run clears its record itself
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

void startTransaction(transfer::Transaction &transaction)
{
    if (!transaction.started())
        throw TqmError(TqmError::LnsDatabase, QStringLiteral("SensorRestore"), transaction.startFailure());
}

} // namespace

void RecordSensorRestore(const lns::SystemPtr &system, const lns::LonMarkObjectPtr &lonMarkObject,
                         const QList<lns::ConfigPropertyPtr> &cps, const QDateTime &now)
{
    QStringList saved;
    for (const lns::ConfigPropertyPtr &cp : cps) {
        const QString entry = cpPath(cp) + QLatin1Char('=') + cpaccess::readRawText(*cp);
        if (!saved.contains(entry))
            saved.append(entry);
    }
    const auto extensions = lonMarkObject->extensions();
    transfer::Transaction transaction(system);
    startTransaction(transaction);
    const QString device = lonMarkObject->appDevice() ? lonMarkObject->appDevice()->name() : QString();
    LnsUtility::WriteExtensionValue(extensions, SensorRestoreRecord, device, DeviceField);
    LnsUtility::WriteExtensionValue(extensions, SensorRestoreRecord, now.toUTC().toString(Qt::ISODate), TimeField);
    LnsUtility::WriteExtensionValue(extensions, SensorRestoreRecord,
                                    QString::number(QCoreApplication::applicationPid()), ProcessField);
    for (int i = 0; i < saved.size(); ++i)
        LnsUtility::WriteExtensionValue(extensions, SensorRestoreRecord, saved[i], FirstCpField + i);
    transaction.commit();
}

void ClearSensorRestore(const lns::LonMarkObjectPtr &lonMarkObject)
{
    const auto extensions = lonMarkObject->extensions();
    if (!extensions->contains(SensorRestoreRecord))
        return;
    const lns::ExtensionRecordPtr record = extensions->item(SensorRestoreRecord);
    for (int n = 1; n <= record->fieldCount(); ++n) {
        if (!record->field(n).isEmpty())
            record->setField(n, QStringLiteral(""));
    }
}

void ReleaseSensorRestore(const lns::LonMarkObjectPtr &lonMarkObject) noexcept
{
    try {
        if (SensorRestorePending(lonMarkObject))
            LnsUtility::WriteExtensionValue(lonMarkObject->extensions(), SensorRestoreRecord, QStringLiteral("0"),
                                            ProcessField);
    } catch (const TqmError &) {
        // The record keeps its process; once that is gone (or the record old) it is restored.
    }
}

bool SensorRestorePending(const lns::LonMarkObjectPtr &lonMarkObject)
{
    const auto extensions = lonMarkObject->extensions();
    return extensions->contains(SensorRestoreRecord)
        && !field(extensions->item(SensorRestoreRecord), FirstCpField).isEmpty();
}

RestoreOutcome RestoreInterruptedSensorCalibration(const lns::SystemPtr &system,
                                                   const lns::LonMarkObjectPtr &lonMarkObject, const QDateTime &now)
{
    RestoreOutcome outcome;
    try {
        if (!lonMarkObject || !SensorRestorePending(lonMarkObject))
            return outcome;
        const lns::ExtensionRecordPtr record = lonMarkObject->extensions()->item(SensorRestoreRecord);
        outcome.deviceName = field(record, DeviceField);
        outcome.startedAt = field(record, TimeField);
        outcome.processId = field(record, ProcessField).toLongLong();
        const QDateTime started = QDateTime::fromString(outcome.startedAt, Qt::ISODate);
        const bool recent = started.isValid() && started.secsTo(now) < RestoreRecordMaxAgeSeconds;
        if (recent && processAlive(outcome.processId)) {
            outcome.kind = RestoreOutcome::RunningElsewhere;
            return outcome;
        }
        transfer::Transaction transaction(system);
        startTransaction(transaction);
        for (int n = FirstCpField; n <= record->fieldCount(); ++n) {
            const QString entry = record->field(n);
            const qsizetype equals = entry.indexOf(QLatin1Char('='));
            if (equals > 0)
                cpaccess::writeRawText(*cpAt(lonMarkObject, entry.left(equals)), entry.mid(equals + 1));
        }
        ClearSensorRestore(lonMarkObject);
        transaction.commit();
        outcome.kind = RestoreOutcome::Restored;
    } catch (const TqmError &error) {
        outcome.kind = RestoreOutcome::Failed;
        outcome.failure = error.description();
    }
    return outcome;
}

QString RestoreOutcomeText(const RestoreOutcome &outcome)
{
    switch (outcome.kind) {
    case RestoreOutcome::Nothing:
        break;
    case RestoreOutcome::Restored:
        return GetResString(1210, 1, {outcome.deviceName, outcome.startedAt});
    case RestoreOutcome::Failed:
        return GetResString(1210, 2, {outcome.deviceName, outcome.startedAt, outcome.failure});
    case RestoreOutcome::RunningElsewhere:
        return GetResString(1210, 3, {outcome.deviceName, QString::number(outcome.processId)});
    }
    return {};
}

RestoreOutcome RestoreInterruptedSensorCalibration(const Services &services)
{
    const SessionState &session = *services.session;
    const QDateTime now = services.clock->now();
    const RestoreOutcome outcome = RestoreInterruptedSensorCalibration(session.system, session.lonMarkObject, now);
    if (outcome.kind != RestoreOutcome::Nothing && services.logger) {
        services.logger->logLine(QStringLiteral("[calibration] restore record of the sensor calibration: ")
                                 + RestoreOutcomeText(outcome));
        services.logger->addLogLine(RestoreOutcomeText(outcome),
                                    outcome.kind == RestoreOutcome::Failed ? logcolour::Red : logcolour::Blue, 0,
                                    true);
    }
    return outcome;
}

} // namespace calibration
