#pragma once

// Until the main window exists, the program does its configure job without one: it builds the
// command module's parameter table on a window of in-memory controls, reads the device, and
// prints every parameter as the window would show it.

#include "device/cconfiguration.h"

#include <QStringList>

class PlugInHost;

namespace configurationlisting {

// One line per parameter, "Name = shown value", or "Name: not available".
QStringList readAndList(PlugInHost &host, MultiDeviceWindowFactory createMultiDeviceWindow = {});

} // namespace configurationlisting
