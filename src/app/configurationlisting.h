#pragma once

// The unattended print of the configure command: every parameter as the window shows it.

#include <QStringList>

class cConfiguration;

namespace configurationlisting {

// One line per parameter, "Name = shown value", or "Name: not available".
QStringList list(const cConfiguration &configuration);

} // namespace configurationlisting
