#pragma once

// A command module's configuration without the window, as tqm-config, the benchmarks and the
// kill tests use it: the device's session, a configuration window in memory and the
// configuration bound to the device's CPs (FetchCPs). Reading the set and the program's own
// changes of values run with the window's controls updating, as the window runs them, so that
// no change counts as the user's edit.

#include "device/cconfiguration.h"
#include "device/configurationwindow.h"
#include "host/devicesession.h"
#include "lns/inifile.h"
#include "lns/logger.h"
#include "lns/userdialogs.h"

#include <functional>

class WindowlessConfiguration
{
public:
    // Throws what DeviceSession throws. The window's caption is the session's window title
    // unless one is given.
    WindowlessConfiguration(const ObjectServerProvider &server, const QString &objectName, int commandIndex,
                            const DeviceSessionParts &parts, const QString &caption = {},
                            MultiDeviceWindowFactory createMultiDeviceWindow = {});

    DeviceSession &session() { return m_session; }
    const DeviceSession &session() const { return m_session; }
    MemoryConfigurationWindow &window() { return m_window; }
    cConfiguration &configuration() { return m_configuration; }
    const cConfiguration &configuration() const { return m_configuration; }
    cParams &parameters() { return *m_configuration.Parameters(); }
    const cParams &parameters() const { return *m_configuration.Parameters(); }

    // Reads the set from the device (ReadSettings).
    void readSettings();
    // Runs `change` as the program's change of the shown values, not the user's.
    void asProgram(const std::function<void()> &change);

private:
    DeviceSession m_session;
    MemoryConfigurationWindow m_window;
    cConfiguration m_configuration;
};

// The parts of a session whose logger and dialogs stay in memory (benchmarks, kill tests): the
// plug-in INI file of `iniPath`, a MemoryLogger, ScriptedDialogs with their default answers.
struct MemorySessionParts
{
    explicit MemorySessionParts(const QString &iniPath) : iniFile(iniPath) {}
    DeviceSessionParts parts()
    {
        DeviceSessionParts parts;
        parts.logger = &logger;
        parts.dialogs = &dialogs;
        parts.iniFile = &iniFile;
        return parts;
    }

    IniFile iniFile;
    MemoryLogger logger;
    ScriptedDialogs dialogs;
};
