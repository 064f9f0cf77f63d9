#pragma once

// What the calibration records and the device-variant queries need to know about the device the
// plug-in works on. The host fills it from its session; tests fill it with their own objects.

#include "lns/clock.h"
#include "lns/lns.h"

class IniFile;

struct DeviceContext
{
    lns::LonMarkObjectPtr lonMarkObject; // the session's LonMark object
    QString deviceTemplate;              // the template name of its device
    const IniFile *iniFile = nullptr;    // the plug-in INI file
    int language = 0;                    // 0 English, 1000 German
    const Clock *clock = nullptr;        // null means the system clock
};
