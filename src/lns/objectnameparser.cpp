#include "lns/objectnameparser.h"

#include "lns/objectname.h"
#include "base/tqmerror.h"

namespace {

TqmError badObjectName(const QString &objectName, const QString &reason)
{
    return TqmError(TqmError::LnsObjectNotFound, QStringLiteral("ObjectNameParser"),
                    QStringLiteral("The object name \"%1\" %2; expected the form "
                                   "\"Network.Subsystem.Device.LonMarkObject\".")
                        .arg(objectName, reason));
}

} // namespace

ObjectNameParts ObjectNameParser::Split(const QString &objectName)
{
    const QString trimmed = objectName.trimmed();
    QStringList parts;
    try {
        parts = objectname::split(trimmed);
    } catch (const TqmError &) {
        throw badObjectName(trimmed, QStringLiteral("holds an invalid escape"));
    }
    if (parts.size() < 4)
        throw badObjectName(trimmed, QStringLiteral("has %1 parts instead of at least 4").arg(parts.size()));
    for (int i = 0; i < parts.size(); ++i) {
        if (parts[i].isEmpty())
            throw badObjectName(trimmed, QStringLiteral("has an empty part %1").arg(i + 1));
    }

    ObjectNameParts result;
    result.networkName = parts.first();
    result.lonMarkObjectName = parts.last();
    result.deviceName = parts[parts.size() - 2];
    result.subsystemLevels = parts.mid(1, parts.size() - 3);
    QStringList escaped;
    for (const QString &level : std::as_const(result.subsystemLevels))
        escaped.append(objectname::escapePart(level));
    result.subsystemPath = escaped.join(QLatin1Char('/'));
    return result;
}
