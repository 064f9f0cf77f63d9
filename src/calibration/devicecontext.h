#pragma once

// What the calibration records and the device-variant queries need to know about the device the
// plug-in works on: a narrow view of the session's services; tests fill it with their own objects.

#include "lns/clock.h"
#include "lns/lns.h"
#include "session/services.h"
#include "session/session.h"

class IniFile;

struct DeviceContext
{
    lns::LonMarkObjectPtr lonMarkObject; // the session's LonMark object
    QString deviceTemplate;              // the template name of its device
    const IniFile *iniFile = nullptr;    // the plug-in INI file
    int language = 0;                    // 0 English, 1000 German
    ClockRef clock{};

    // The session's view: its LonMark object, or `lonMarkObject` (another device's during a
    // copy), with the session's template, INI file, language and clock.
    static DeviceContext of(const Services &services, lns::LonMarkObjectPtr lonMarkObject = {})
    {
        const SessionState &session = *services.session;
        return {lonMarkObject ? std::move(lonMarkObject) : session.lonMarkObject, session.deviceTemplate,
                services.iniFile, session.language, services.clock};
    }
};
