#include "lonip/endpoint.h"
#include "lonip/port.h"

namespace lonip {

namespace {

quint32 keyOf(const IpAddress &ip)
{
    return ip.toIPv4Address();
}

bool isReply(const Packet &p)
{
    return (p.format == PduFormat::Tpdu && p.type == tpdu::Acknowledgement)
           || (p.format == PduFormat::Spdu && p.type == spdu::Response);
}

Service serviceOf(const Packet &p)
{
    if (p.format == PduFormat::Spdu)
        return Service::Request;
    if (p.format == PduFormat::Tpdu)
        return p.type == tpdu::Repeated ? Service::Repeated : Service::Acknowledged;
    return Service::Unacknowledged;
}

} // namespace

Endpoint::Endpoint(DatagramPort &port, TimerFactory &timers, Clock &clock, QObject *parent)
    : QObject(parent), m_port(port), m_timers(timers), m_clock(clock)
{
    connect(&m_port, &DatagramPort::received, this, &Endpoint::datagramReceived);
}

Endpoint::~Endpoint() = default;

void Endpoint::setOwnAddress(const DomainId &domain, SubnetNode address)
{
    m_domain = domain;
    m_address = address;
}

Packet Endpoint::packetTo(const Destination &destination) const
{
    Packet p;
    p.source = m_address;
    p.domain = m_domain;
    p.destination = destination;
    return p;
}

bool Endpoint::transmit(const IpAddress &ip, const QByteArray &datagram)
{
    if (const auto packet = decodeDatagram(datagram, m_port.localAddress(), ip))
        m_counters.ft10WireUs += ft10WireTimeUs(*packet);
    return m_port.send(ip, datagram);
}

void Endpoint::send(const IpAddress &ip, const Destination &destination, Service service, const QByteArray &apdu,
                    Done done, Timing timing)
{
    Packet p = packetTo(destination);
    p.body = apdu;
    if (service == Service::Unacknowledged) {
        p.format = PduFormat::Apdu;
        ++m_counters.requests;
        const bool sent = transmit(ip, encodeDatagram(p, m_options));
        if (done)
            done(Outcome{sent ? Outcome::Status::Ok : Outcome::Status::NotSent, {}});
        return;
    }
    p.format = service == Service::Request ? PduFormat::Spdu : PduFormat::Tpdu;
    p.type = service == Service::Repeated ? tpdu::Repeated : 0; // acknowledged and request are 0
    Peer &peer = m_peers[keyOf(ip)];
    if (!peer.timer) {
        peer.timer = m_timers.createTimer(this);
        peer.timer->setSingleShot(true);
        connect(peer.timer.get(), &Timer::timeout, this, [this, ip] { transmitTimedOut(ip); });
    }
    peer.queue.push_back(Transaction{service, p, std::move(done), timing, {}, timing.retries});
    if (peer.queue.size() == 1)
        startNext(ip);
}

void Endpoint::startNext(const IpAddress &ip)
{
    Peer &peer = m_peers[keyOf(ip)];
    if (peer.queue.empty())
        return;
    Transaction &t = peer.queue.front();
    // Numbers 1 to 15 in turn: never the same twice running, so the receiver tells them apart.
    peer.lastTransaction = quint8(peer.lastTransaction % 15 + 1);
    t.packet.transaction = peer.lastTransaction;
    t.datagram = encodeDatagram(t.packet, m_options);
    ++m_counters.requests;
    if (!transmit(ip, t.datagram)) {
        finish(ip, Outcome{Outcome::Status::NotSent, {}});
        return;
    }
    peer.timer->start(t.timing.transmitMs);
}

void Endpoint::transmitTimedOut(const IpAddress &ip)
{
    Peer &peer = m_peers[keyOf(ip)];
    if (peer.queue.empty())
        return;
    Transaction &t = peer.queue.front();
    if (t.retriesLeft > 0) {
        --t.retriesLeft;
        ++m_counters.retries;
        transmit(ip, t.datagram);
        peer.timer->start(t.timing.transmitMs);
        return;
    }
    if (t.service == Service::Repeated) {
        finish(ip, Outcome{}); // sent every time it should be: done
        return;
    }
    ++m_counters.timeouts;
    finish(ip, Outcome{Outcome::Status::Timeout, {}});
}

void Endpoint::finish(const IpAddress &ip, const Outcome &outcome)
{
    Peer &peer = m_peers[keyOf(ip)];
    peer.timer->stop();
    Done done = std::move(peer.queue.front().done);
    peer.queue.pop_front();
    // The next transaction goes out before the callback, which may queue more behind it.
    startNext(ip);
    if (done)
        done(outcome);
}

void Endpoint::cancelAll()
{
    for (auto &[key, peer] : m_peers) {
        peer.queue.clear();
        if (peer.timer)
            peer.timer->stop();
    }
}

void Endpoint::datagramReceived(const IpAddress &from, const QByteArray &datagram)
{
    ++m_counters.received;
    const std::optional<Packet> packet = decodeDatagram(datagram, from, m_port.localAddress());
    if (!packet || packet->authenticated) {
        ++m_counters.undecodable; // authentication is not spoken here either
        return;
    }
    m_counters.ft10ReceivedUs += ft10WireTimeUs(*packet);
    if (isReply(*packet))
        replyReceived(from, *packet);
    else if (packet->format != PduFormat::AuthPdu && !(packet->format != PduFormat::Apdu && packet->type >= tpdu::Reminder))
        requestReceived(from, *packet);
}

void Endpoint::replyReceived(const IpAddress &from, const Packet &packet)
{
    const auto it = m_peers.find(keyOf(from));
    if (it == m_peers.end() || it->second.queue.empty())
        return;
    const Transaction &t = it->second.queue.front();
    const bool expected = packet.transaction == t.packet.transaction
                          && (packet.format == PduFormat::Spdu) == (t.service == Service::Request)
                          && t.service != Service::Repeated;
    if (expected) // else a late answer to a transaction already over
        finish(from, Outcome{Outcome::Status::Ok, packet.body});
}

bool Endpoint::isDuplicate(const IpAddress &from, const Packet &packet)
{
    const auto it = m_records.find(keyOf(from));
    if (it == m_records.end())
        return false;
    const ReceiveRecord &r = it->second;
    if (r.transaction != packet.transaction || r.format != packet.format
        || r.at.msecsTo(m_clock.now()) > m_receiveTimerMs)
        return false;
    ++m_counters.duplicates;
    if (!r.reply.isEmpty()) {
        ++m_counters.replies;
        transmit(from, r.reply);
    }
    return true;
}

void Endpoint::requestReceived(const IpAddress &from, const Packet &packet)
{
    const Service service = serviceOf(packet);
    if (service != Service::Unacknowledged && isDuplicate(from, packet))
        return;
    const std::optional<QByteArray> response = m_handler ? m_handler(Incoming{from, service, packet}) : std::nullopt;
    if (service == Service::Unacknowledged || !response)
        return; // not for this node: no acknowledgement, no record
    QByteArray reply;
    Packet answer = packetTo(Destination::toNode(packet.source.subnet, packet.source.node));
    answer.transaction = packet.transaction;
    if (service == Service::Acknowledged) {
        answer.format = PduFormat::Tpdu;
        answer.type = tpdu::Acknowledgement;
        reply = encodeDatagram(answer, m_options);
    } else if (service == Service::Request) {
        answer.format = PduFormat::Spdu;
        answer.type = spdu::Response;
        answer.body = *response;
        reply = encodeDatagram(answer, m_options);
    }
    m_records[keyOf(from)] = ReceiveRecord{packet.transaction, packet.format, reply, m_clock.now()};
    if (!reply.isEmpty()) {
        ++m_counters.replies;
        transmit(from, reply);
    }
}

} // namespace lonip
