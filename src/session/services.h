#pragma once

// The services bundle: everything the window's logic, the configuration, monitoring and
// calibration use of their surroundings, built once by the host for the session and handed down
// by reference. Tests build one from in-memory parts (MemoryLogger, ScriptedDialogs, ManualClock
// with a ManualTimerFactory, an embedded network).

#include "lns/clock.h"
#include "session/erroranswer.h"

#include <functional>

class DeviceHeading;
class IniFile;
class Logger;
class RegistryAccess;
class TimerFactory;
class UserDialogs;
struct SessionState;

struct Services
{
    SessionState *session = nullptr;        // network handles, CommandIndex, language, flags
    UserDialogs *dialogs = nullptr;         // message boxes, questions, file dialogs, cursor
    Logger *logger = nullptr;               // routine labels and the logger view's lines
    DeviceHeading *deviceHeading = nullptr; // the logger's memory of the last device heading
    const IniFile *iniFile = nullptr;       // the plug-in INI file
    RegistryAccess *registry = nullptr;     // window position, language
    ClockRef clock;
    TimerFactory *timers = nullptr;
    // The logger's error handler; none: the error is logged in red and the routine left.
    ErrorHandler handleError;
    // Asked when an error handler answers "end the program".
    std::function<void()> endProgram;
};
