#include "lonip/nmclient.h"

namespace lonip {

Target Target::node(const DomainId &domain, quint8 subnet, quint8 node)
{
    return Target{nodeIp(domain, subnet, node), Destination::toNode(subnet, node)};
}

Target Target::neuronId(const IpAddress &ip, const NeuronId &id)
{
    return Target{ip, Destination::toNeuronId(id)};
}

Target Target::anyAt(const IpAddress &ip)
{
    return Target{ip, Destination::broadcast(0)};
}

NetworkClient::NetworkClient(Endpoint &endpoint, QObject *parent) : QObject(parent), m_endpoint(endpoint)
{
    m_endpoint.setHandler([this](const Incoming &message) { return messageReceived(message); });
}

namespace {
constexpr quint16 HighestBoundSelector = 0x2FFF; // from 0x3000 on, selectors of unbound NVs
}

quint16 NetworkClient::addInput(const IpAddress &from, NvInput updated)
{
    for (quint16 selector = HighestBoundSelector; selector > 0; --selector) {
        if (!m_inputs.contains(selector)) {
            m_inputs.emplace(selector, Input{from, std::move(updated)});
            return selector;
        }
    }
    return 0;
}

void NetworkClient::removeInput(quint16 selector)
{
    m_inputs.erase(selector);
}

std::optional<QByteArray> NetworkClient::nvUpdateReceived(const Incoming &message)
{
    const auto nv = decodeNv(message.apdu());
    const auto input = nv ? m_inputs.find(nv->selector) : m_inputs.end();
    if (input == m_inputs.end() || input->second.from != message.from || nv->data.isEmpty()
        || message.service == Service::Request)
        return std::nullopt; // no input of ours, or a poll: the node has no outputs
    const NvInput updated = input->second.updated; // it may remove the input
    updated(nv->data);
    return QByteArray();
}

std::optional<QByteArray> NetworkClient::messageReceived(const Incoming &message)
{
    if (apduKind(message.apdu()) == ApduKind::NetworkVariable)
        return nvUpdateReceived(message);
    if (!message.apdu().isEmpty() && quint8(message.apdu()[0]) == nm::ServicePin) {
        if (const auto identity = decodeIdentity(message.apdu()))
            emit servicePin(message.from, *identity);
    }
    if (message.service == Service::Request)
        return std::nullopt; // the tool's node serves no requests
    return QByteArray(); // acknowledged
}

void NetworkClient::request(const Target &target, const QByteArray &apdu, Reply reply, Timing timing)
{
    const quint8 code = quint8(apdu.at(0));
    m_endpoint.send(target.ip, target.destination, Service::Request, apdu,
        [code, reply = std::move(reply)](const Outcome &outcome) {
            if (!reply)
                return;
            if (!outcome.ok())
                return reply(Result{Result::Status::Timeout, {}});
            const QByteArray &r = outcome.response;
            const bool success = !r.isEmpty() && quint8(r[0]) == successCode(code);
            reply(Result{success ? Result::Status::Ok : Result::Status::Failed, r.mid(1)});
        },
        timing);
}

void NetworkClient::poll(const Target &target, quint16 selector, Reply reply, Timing timing)
{
    m_endpoint.send(target.ip, target.destination, Service::Request, encodeNv({selector, true, {}}),
        [selector, reply = std::move(reply)](const Outcome &outcome) {
            if (!reply)
                return;
            if (!outcome.ok())
                return reply(Result{Result::Status::Timeout, {}});
            const auto nv = decodeNv(outcome.response);
            const bool answered = nv && nv->selector == selector && !nv->data.isEmpty();
            reply(Result{answered ? Result::Status::Ok : Result::Status::Failed, answered ? nv->data : QByteArray()});
        },
        timing);
}

void NetworkClient::update(const Target &target, quint16 selector, const QByteArray &value, Reply reply, Timing timing)
{
    m_endpoint.send(target.ip, target.destination, Service::Acknowledged, encodeNv({selector, false, value}),
        [reply = std::move(reply)](const Outcome &outcome) {
            if (reply)
                reply(Result{outcome.ok() ? Result::Status::Ok : Result::Status::Timeout, {}});
        },
        timing);
}

} // namespace lonip
