#include "lns/extensionvalue.h"

namespace LnsUtility {

namespace {

void requireCollection(const std::shared_ptr<lns::ExtensionRecords> &extensions, const QString &recordName)
{
    if (!extensions)
        throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("LnsUtility"),
                       QStringLiteral("No extension records to hold \"%1\".").arg(recordName));
}

} // namespace

QString ReadExtensionValue(const std::shared_ptr<lns::ExtensionRecords> &extensions, const QString &recordName,
                           const QString &defaultValue, int fieldNumber)
{
    requireCollection(extensions, recordName);
    if (!extensions->contains(recordName))
        return defaultValue;
    const lns::ExtensionRecordPtr record = extensions->item(recordName);
    if (fieldNumber < 1 || fieldNumber > record->fieldCount())
        return defaultValue;
    return record->field(fieldNumber);
}

void WriteExtensionValue(const std::shared_ptr<lns::ExtensionRecords> &extensions, const QString &recordName,
                         const QString &value, int fieldNumber)
{
    requireCollection(extensions, recordName);
    extensions->add(recordName)->setField(fieldNumber, value);
}

} // namespace LnsUtility
