#pragma once

// Until the widget view exists, the program fills the window in memory and prints every
// parameter as the window shows it.

#include <QStringList>

class cConfiguration;

namespace configurationlisting {

// One line per parameter, "Name = shown value", or "Name: not available".
QStringList list(const cConfiguration &configuration);

} // namespace configurationlisting
