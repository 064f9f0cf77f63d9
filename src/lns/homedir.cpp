#include "lns/homedir.h"

#include <QStandardPaths>

QString tqmHome(const QString &fromEnvironment)
{
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/tqm");
}
