#pragma once

// The network-management and diagnostic client of the tool's own node: requests to one device,
// their response codes checked, service-pin messages announced. A device is reached at its IP
// address, by subnet/node once configured, by Neuron ID (in the broadcast form) before.

#include "lonip/apdu.h"
#include "lonip/endpoint.h"

#include <QObject>
#include <map>

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

    // The node's own input NVs, the ones devices' outputs are bound to. An NV update that the node
    // at `from` sends to an input's selector is acknowledged (when asked) and handed to
    // `updated`; the node takes no other NV update. Answers the input's selector: one not in use,
    // from the top of the bound selectors (0x2FFF) down, where a network's own bindings are least
    // likely to reach; 0 when every one is taken.
    using NvInput = std::function<void(const QByteArray &value)>;
    quint16 addInput(const IpAddress &from, NvInput updated);
    void removeInput(quint16 selector);

    Endpoint &endpoint() const { return m_endpoint; }

signals:
    void servicePin(const IpAddress &from, const lonip::Identity &identity);

private:
    std::optional<QByteArray> messageReceived(const Incoming &message);
    std::optional<QByteArray> nvUpdateReceived(const Incoming &message);

    struct Input
    {
        IpAddress from;
        NvInput updated;
    };
    Endpoint &m_endpoint;
    std::map<quint16, Input> m_inputs; // by selector
};

} // namespace lonip
