#pragma once

// The names under which the automation object is found on the bus.

#include <QString>

namespace dbusactivation {

inline const QString ServiceName = QStringLiteral("org.velto.veltoTqmCmdModule");
inline const QString ObjectPath = QStringLiteral("/Application");
inline const QString InterfaceName = QStringLiteral("org.velto.veltoTqmCmdModule.Application");

} // namespace dbusactivation
