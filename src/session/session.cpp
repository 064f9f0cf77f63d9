#include "session/session.h"

#include "strings/resstrings.h"

lns::ConnectionMode SessionState::connectionMode() const
{
    if (!remote)
        return lns::ConnectionMode::Local;
    // The interface name is compared exactly: only "Internet" selects the Internet connection.
    return networkInterfaceName == QLatin1String("Internet") ? lns::ConnectionMode::RemoteInternet
                                                             : lns::ConnectionMode::Remote;
}

namespace {

constexpr int ProgramTitleMessage = 1809;

} // namespace

QString SessionState::windowTitle() const
{
    if (deviceName.isEmpty())
        return GetResString(ProgramTitleMessage);
    return deviceName + QStringLiteral(" / ") + lonMarkObjectName;
}
