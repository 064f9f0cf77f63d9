#include "calibration/calibrationrecords.h"

#include "lns/extensionvalue.h"
#include "params/numbers.h"
#include "strings/resstrings.h"

#include <QLocale>

namespace calibration {

namespace {

std::shared_ptr<lns::ExtensionRecords> extensionsOf(const lns::LonMarkObjectPtr &lonMarkObject)
{
    if (!lonMarkObject)
        throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("calibration"),
                       QStringLiteral("No LonMark object to keep the calibration records."));
    return lonMarkObject->extensions();
}

QString notCalibratedText(int language)
{
    return GetResStringIn(language, NotCalibratedMessage, 1);
}

// The record keeps the time in ISO 8601 with its offset, whatever the language of the session
// that wrote it; each session shows it in its own language.
QString nowText(const DeviceContext &context)
{
    const QDateTime now = context.clock->now();
    return now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate);
}

QString readDateRecord(const DeviceContext &context, const QString &recordName)
{
    QString text;
    try {
        text = LnsUtility::ReadExtensionValue(extensionsOf(context.lonMarkObject), recordName,
                                              notCalibratedText(context.language), 1);
    } catch (const TqmError &) {
        return {};
    }
    // Records written before carry the text as it was shown then.
    const QDateTime when = QDateTime::fromString(text, Qt::ISODate);
    return when.isValid() ? CalibrationTimeText(when.toLocalTime(), languageLocale(context.language)) : text;
}

void writeField(const lns::LonMarkObjectPtr &lonMarkObject, const QString &recordName, const QString &value,
                int fieldNumber)
{
    LnsUtility::WriteExtensionValue(extensionsOf(lonMarkObject), recordName, value, fieldNumber);
}

} // namespace

QString CalibrationTimeText(const QDateTime &when, const QLocale &locale)
{
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ')
        + locale.toString(when.time(), QLocale::LongFormat);
}

QString ReadTempSensorCalibrated(const DeviceContext &context)
{
    return readDateRecord(context, TempSensorCalibratedRecord);
}

void WriteTempSensorCalibrated(const DeviceContext &context, const lns::LonMarkObjectPtr &target)
{
    try {
        if (target)
            writeField(target, TempSensorCalibratedRecord, QStringLiteral("1"), 2);
        writeField(target ? target : context.lonMarkObject, TempSensorCalibratedRecord, nowText(context), 1);
    } catch (const TqmError &) {
    }
}

bool TempSensorIsCalibrated(const DeviceContext &context)
{
    const QString text = ReadTempSensorCalibrated(context);
    try {
        return text != notCalibratedText(ResStrings::English) && text != notCalibratedText(ResStrings::German);
    } catch (const TqmError &) {
        return true; // without the table nothing reads as the default
    }
}

QString ReadRegulatorCalibrated(const DeviceContext &context)
{
    return readDateRecord(context, RegulatorCalibratedRecord);
}

void WriteRegulatorCalibrated(const DeviceContext &context)
{
    try {
        writeField(context.lonMarkObject, RegulatorCalibratedRecord, nowText(context), 1);
    } catch (const TqmError &) {
    }
}

qint32 ReadFanCoilStepCount(const DeviceContext &context)
{
    try {
        const QString text = LnsUtility::ReadExtensionValue(extensionsOf(context.lonMarkObject),
                                                            FanCoilStepCountRecord, QStringLiteral("1"), 1);
        return numbers::toInt32(numbers::leadingNumber(text));
    } catch (const TqmError &) {
        return 0;
    }
}

void WriteFanCoilStepCount(const DeviceContext &context, qint32 count)
{
    try {
        writeField(context.lonMarkObject, FanCoilStepCountRecord, QString::number(count), 1);
    } catch (const TqmError &) {
    }
}

} // namespace calibration
