#pragma once

// The network-management and diagnostic client of the tool's own node: requests to one device,
// their response codes checked, service-pin messages announced. A device is reached at its IP
// address, by subnet/node once configured, by Neuron ID (in the broadcast form) before.

#include "lonip/apdu.h"
#include "lonip/endpoint.h"

#include <QObject>

namespace lonip {

struct Target
{
    IpAddress ip;
    Destination destination;

    // A configured device: its IP address comes from the domain, subnet and node.
    static Target node(const DomainId &domain, quint8 subnet, quint8 node);
    // Any device at `ip`, configured or not.
    static Target neuronId(const IpAddress &ip, const NeuronId &id);
    // Whichever node answers at `ip` (a broadcast sent there only).
    static Target anyAt(const IpAddress &ip);
};

struct Result
{
    enum class Status { Ok, Failed, Timeout };
    Status status = Status::Ok;
    QByteArray data; // the response after its code
    bool ok() const { return status == Status::Ok; }
};

class NetworkClient : public QObject
{
    Q_OBJECT
public:
    using Reply = std::function<void(const Result &)>;

    explicit NetworkClient(Endpoint &endpoint, QObject *parent = nullptr);

    // A network-management or diagnostic request (its code first); Failed when the device answers
    // the failure code or anything that is not the request's success code.
    void request(const Target &target, const QByteArray &apdu, Reply reply, Timing timing = {});
    // NV poll by selector: the data of the NV response.
    void poll(const Target &target, quint16 selector, Reply reply, Timing timing = {});
    // Acknowledged NV update by selector.
    void update(const Target &target, quint16 selector, const QByteArray &value, Reply reply, Timing timing = {});

    Endpoint &endpoint() const { return m_endpoint; }

signals:
    void servicePin(const IpAddress &from, const lonip::Identity &identity);

private:
    std::optional<QByteArray> messageReceived(const Incoming &message);

    Endpoint &m_endpoint;
};

} // namespace lonip
