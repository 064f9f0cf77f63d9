#pragma once

// Text fields of named extension records: the program's own data kept in the network database
// beside an object (e.g. when a LonMark object was last calibrated).

#include "lns/lns.h"

namespace LnsUtility {

// Field `fieldNumber` (from 1) of the record `recordName`, or `defaultValue` when the record or
// the field does not exist. Throws TqmError when the collection is missing or cannot be read.
QString ReadExtensionValue(const std::shared_ptr<lns::ExtensionRecords> &extensions, const QString &recordName,
                           const QString &defaultValue, int fieldNumber);

// Creates the record when needed and sets the field. Throws TqmError on failure.
void WriteExtensionValue(const std::shared_ptr<lns::ExtensionRecords> &extensions, const QString &recordName,
                         const QString &value, int fieldNumber);

} // namespace LnsUtility
