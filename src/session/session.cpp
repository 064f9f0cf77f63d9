#include "session/session.h"

lns::ConnectionMode SessionState::connectionMode() const
{
    if (!remote)
        return lns::ConnectionMode::Local;
    // The interface name is compared exactly: only "Internet" selects the Internet connection.
    return networkInterfaceName == QLatin1String("Internet") ? lns::ConnectionMode::RemoteInternet
                                                             : lns::ConnectionMode::Remote;
}
