#pragma once

// Opening and closing the chain of network objects the plug-in works in: object server,
// network, system, subsystem, devices. Every Open... answers a success flag instead of throwing,
// and keeps the reason of the last failure for the log.

#include "lns/lns.h"

#include <QStringList>
#include <functional>

// Hands out the object server (the embedded one in the product, a prepared one in tests).
using ObjectServerProvider = std::function<lns::ObjectServerPtr()>;

// The eleven objects a session holds, as references to the holder's own fields, so that
// CloseAll can release them wherever the holder keeps them.
struct LnsSessionObjects
{
    lns::ObjectServerPtr &objectServer;
    std::shared_ptr<lns::Networks> &networks;
    lns::NetworkPtr &network;
    std::shared_ptr<lns::Systems> &systems;
    lns::SystemPtr &system;
    std::shared_ptr<lns::Subsystems> &subsystems;
    lns::SubsystemPtr &subsystem;
    std::shared_ptr<lns::AppDevices> &appDevices;
    lns::AppDevicePtr &appDevice;
    std::shared_ptr<lns::LonMarkObjects> &lonMarkObjects;
    lns::LonMarkObjectPtr &lonMarkObject;
};

class LnsSession
{
public:
    struct ServerResult
    {
        lns::ObjectServerPtr objectServer;
        std::shared_ptr<lns::Networks> networks;
        bool success = false;
    };
    struct NetworkResult
    {
        lns::NetworkPtr network;
        std::shared_ptr<lns::Systems> systems;
        lns::SystemPtr system; // item 1 of the systems
        std::shared_ptr<lns::Subsystems> subsystems;
        bool success = false;
    };
    struct SubsystemResult
    {
        lns::SubsystemPtr subsystem;
        std::shared_ptr<lns::AppDevices> appDevices;
        bool success = false;
    };

    // Takes the server from the provider and opens it in the mode unless it is open already.
    ServerResult OpenServer(const ObjectServerProvider &serverProvider, lns::ConnectionMode mode);
    // `remote` is accepted for the callers' sake; the connection mode was fixed when the server
    // was opened, and a network of an open server is open for either kind of client.
    NetworkResult OpenNetwork(const std::shared_ptr<lns::Networks> &networks, const QString &networkName,
                              bool remote);
    // Walks the path ("/"-separated levels) down from the system's top subsystems.
    SubsystemResult OpenSubsystem(const std::shared_ptr<lns::Subsystems> &subsystems, const QString &path);
    // The same with the levels given one by one, for level names that contain "/".
    SubsystemResult OpenSubsystem(const std::shared_ptr<lns::Subsystems> &subsystems, const QStringList &levels);
    // Closes the network and the server and releases all eleven objects; errors while closing
    // are ignored, since nothing more can be done with a session that is going away.
    void CloseAll(const LnsSessionObjects &objects);

    // Why the last Open... failed; empty after a success.
    QString lastError() const { return m_lastError; }

private:
    void fail(const QString &what, const TqmError *error = nullptr);

    QString m_lastError;
};
