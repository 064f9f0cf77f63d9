#pragma once

// The sub-commands of tqm-netdb that act on the simulated command modules:
//   sim NETWORK DEVICE [--room-temp T] [--sensor-error E] [--knob K] [--switch up|down]
//                      [--press setpt-|setpt+|fan-|fan+ ...] [--show]
//   watch NETWORK OBJECT NV... [--seconds N] [--poll TENTHS]
// Each takes the arguments after its name and answers the process exit code (0 done, 1 failed,
// 2 wrong arguments), writing its own messages.

#include "lns/embedded/embeddedobjectserver.h"
#include "lns/homedir.h"

#include <QStringList>

namespace netdbtool {

// The data directory this run works on: $TQM_HOME, else the user's default.
inline QString home()
{
    return tqmHome(qEnvironmentVariable("TQM_HOME"));
}

// The server of this run's home, open.
embedded::EmbeddedObjectServerPtr openServer();

extern const char SimUsage[];
int sim(const QStringList &arguments);
int watch(const QStringList &arguments);

} // namespace netdbtool
