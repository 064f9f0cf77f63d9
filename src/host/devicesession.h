#pragma once

// A session on one command module without the plug-in's window, for programs built on the core
// (tqm-config): the network objects of the LonMark object an object name names, found the way a
// command of the plug-in finds them (the same walk through network and subsystems, the same
// check of the device's template against the plug-in INI file), and the services of that
// session. Several sessions may share one object server. What a program takes from its
// environment (home, INI file, language) it hands in through the parts.

#include "lns/lnssession.h"
#include "session/services.h"
#include "session/session.h"

#include <memory>

class DeviceHeading;

struct DeviceSessionParts
{
    UserDialogs *dialogs = nullptr;
    Logger *logger = nullptr;
    const IniFile *iniFile = nullptr;
    RegistryAccess *registry = nullptr;
    ClockRef clock;
    TimerFactory *timers = nullptr;
    qint16 language = 0;
    // The logger's error handler; none: the error is logged in red and the routine left.
    ErrorHandler handleError;
};

class DeviceSession
{
public:
    // Opens the server (unless it is open) and finds the LonMark object. Throws TqmError naming
    // the object name and what of it was not found.
    DeviceSession(const ObjectServerProvider &server, const QString &objectName, int commandIndex,
                  const DeviceSessionParts &parts);
    ~DeviceSession();
    DeviceSession(const DeviceSession &) = delete;
    DeviceSession &operator=(const DeviceSession &) = delete;

    SessionState &state() { return m_state; }
    const SessionState &state() const { return m_state; }
    const Services &services() const { return m_services; }
    QString objectName() const { return m_objectName; }
    // What opening did about a sensor calibration cut short on the device; empty when nothing.
    const QString &restoreNote() const { return m_restoreNote; }

private:
    QString m_objectName;
    QString m_restoreNote;
    SessionState m_state;
    Services m_services;
    std::unique_ptr<DeviceHeading> m_deviceHeading;
};
