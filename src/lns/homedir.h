#pragma once

#include <QString>

// The directory where the program keeps its machine-wide data (network databases, the settings
// that stand in for the registry, plug-in registrations): `fromEnvironment` when it is not
// empty (the programs pass $TQM_HOME, which is how tests and side-by-side installations get a
// home of their own), otherwise "tqm" under the user's generic data location. Every file the
// program keeps outside its program directory is found from here; the core reads no
// environment itself.
QString tqmHome(const QString &fromEnvironment);
