#include "lns/pathutility.h"

namespace PathUtility {

QString WithTrailingBackslash(const QString &directory)
{
    if (directory.isEmpty())
        return QStringLiteral("./");
    qsizetype end = directory.size();
    while (end > 0 && directory[end - 1] == QLatin1Char('/'))
        --end;
    return directory.left(end) + QLatin1Char('/');
}

} // namespace PathUtility
