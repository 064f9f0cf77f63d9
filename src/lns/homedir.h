#pragma once

#include <QString>

// The directory where the program keeps its machine-wide data (network databases, the settings
// that stand in for the registry). TQM_HOME overrides it, which is how tests and side-by-side
// installations get a home of their own; otherwise it is "tqm" under the user's generic data
// location. Every file the program keeps outside its program directory is found from here.
QString tqmHome();
