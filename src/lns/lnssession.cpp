#include "lns/lnssession.h"

void LnsSession::fail(const QString &what, const TqmError *error)
{
    m_lastError = error ? QStringLiteral("%1: %2").arg(what, error->description()) : what;
}

LnsSession::ServerResult LnsSession::OpenServer(const ObjectServerProvider &serverProvider,
                                                lns::ConnectionMode mode)
{
    m_lastError.clear();
    ServerResult result;
    try {
        result.objectServer = serverProvider ? serverProvider() : nullptr;
        if (!result.objectServer) {
            fail(QStringLiteral("No object server is available"));
            return {};
        }
        if (!result.objectServer->isOpen())
            result.objectServer->open(mode);
        result.networks = result.objectServer->networks();
        result.success = result.networks != nullptr;
    } catch (const TqmError &error) {
        fail(QStringLiteral("The object server cannot be opened"), &error);
        return {};
    }
    return result;
}

LnsSession::NetworkResult LnsSession::OpenNetwork(const std::shared_ptr<lns::Networks> &networks,
                                                  const QString &networkName, bool /*remote*/)
{
    m_lastError.clear();
    if (!networks) {
        fail(QStringLiteral("No networks to open \"%1\" from").arg(networkName));
        return {};
    }
    NetworkResult result;
    try {
        result.network = networks->item(networkName);
        result.systems = result.network->systems();
        result.system = result.systems->item(1);
        result.subsystems = result.system->subsystems();
        result.success = true;
    } catch (const TqmError &error) {
        fail(QStringLiteral("The network \"%1\" cannot be opened").arg(networkName), &error);
        return {};
    }
    return result;
}

LnsSession::SubsystemResult LnsSession::OpenSubsystem(const std::shared_ptr<lns::Subsystems> &subsystems,
                                                      const QString &path)
{
    return OpenSubsystem(subsystems, path.split(QLatin1Char('/')));
}

LnsSession::SubsystemResult LnsSession::OpenSubsystem(const std::shared_ptr<lns::Subsystems> &subsystems,
                                                      const QStringList &levels)
{
    m_lastError.clear();
    const QString path = levels.join(QLatin1Char('/'));
    if (!subsystems || levels.isEmpty() || levels.contains(QString())) {
        fail(QStringLiteral("The subsystem path \"%1\" is not valid").arg(path));
        return {};
    }
    SubsystemResult result;
    try {
        result.subsystem = subsystems->item(levels.first());
        for (qsizetype i = 1; i < levels.size(); ++i)
            result.subsystem = result.subsystem->subsystems()->item(levels[i]);
        result.appDevices = result.subsystem->appDevices();
        result.success = true;
    } catch (const TqmError &error) {
        fail(QStringLiteral("The subsystem \"%1\" cannot be opened").arg(path), &error);
        return {};
    }
    return result;
}

void LnsSession::CloseAll(const LnsSessionObjects &objects)
{
    objects.lonMarkObject.reset();
    objects.lonMarkObjects.reset();
    objects.appDevice.reset();
    objects.appDevices.reset();
    objects.subsystem.reset();
    objects.subsystems.reset();
    objects.system.reset();
    objects.systems.reset();
    if (objects.network) {
        try {
            objects.network->close();
        } catch (const TqmError &) {
        }
        objects.network.reset();
    }
    objects.networks.reset();
    if (objects.objectServer) {
        try {
            objects.objectServer->close();
        } catch (const TqmError &) {
        }
        objects.objectServer.reset();
    }
}
