#pragma once

// The transaction layer of one LON/IP node: it sends APDUs with the four LonTalk services,
// retries on the transmit timer with the same transaction number until the acknowledgement or
// response arrives or the retries are spent, and on the receiving side answers a duplicate
// request from its record instead of running it twice.
//
// One transaction at a time per destination address, the others wait in order: a receiver keeps
// the last transaction number per sender, so interleaved transactions to one node would defeat
// its duplicate detection. Everything runs on the event loop through the timer seam; a test
// drives it with a ManualClock.

#include "lonip/frame.h"
#include "lns/clock.h"
#include "lns/timer.h"

#include <QDateTime>
#include <map>
#include <QObject>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

namespace lonip {

class DatagramPort;

enum class Service { Acknowledged, Request, Repeated, Unacknowledged };

struct Timing
{
    int transmitMs = 200; // transmit timer (the repeat timer for the repeated service)
    int retries = 3;
};

struct Outcome
{
    enum class Status { Ok, Timeout, NotSent };
    Status status = Status::Ok;
    QByteArray response; // a request's response APDU
    bool ok() const { return status == Status::Ok; }
};

// A message another node sent to this one.
struct Incoming
{
    IpAddress from;
    Service service = Service::Unacknowledged;
    Packet packet;
    const QByteArray &apdu() const { return packet.body; }
};

struct Counters
{
    int requests = 0;    // first transmissions of everything sent
    int retries = 0;     // repeated transmissions
    int replies = 0;     // acknowledgements and responses sent
    int received = 0;    // datagrams received
    int undecodable = 0; // of which not a frame
    int duplicates = 0;  // requests answered again from the record
    int timeouts = 0;    // transactions that ran out of retries
    qint64 ft10WireUs = 0; // what everything sent would take on an FT-10 channel
    qint64 ft10ReceivedUs = 0; // and everything received
};

class Endpoint : public QObject
{
    Q_OBJECT
public:
    using Done = std::function<void(const Outcome &)>;
    // Takes a message addressed to this node: nothing when the node does not accept it (no
    // acknowledgement, no response), else a request's response APDU (ignored for the other
    // services). Called once per transaction, duplicates are answered from the record.
    using Handler = std::function<std::optional<QByteArray>(const Incoming &)>;

    Endpoint(DatagramPort &port, TimerFactory &timers, Clock &clock, QObject *parent = nullptr);
    ~Endpoint() override;

    // The node's own LonTalk address, put into the packets it sends.
    void setOwnAddress(const DomainId &domain, SubnetNode address);
    // Marks every datagram sent as from an arbitrary source: for a node whose subnet/node is
    // not the one its IP address stands for.
    void setArbitrarySource(bool arbitrary) { m_options.arbitrarySource = arbitrary; }
    void setHandler(Handler handler) { m_handler = std::move(handler); }
    // How long a received transaction is remembered for duplicate detection.
    void setReceiveTimerMs(int ms) { m_receiveTimerMs = ms; }

    // Sends `apdu` to the node at `ip`; `done` is called exactly once, on the event loop or (for
    // the unacknowledged service, and when the datagram cannot be sent) before send returns.
    void send(const IpAddress &ip, const Destination &destination, Service service, const QByteArray &apdu,
              Done done = {}, Timing timing = {});
    // Ends every waiting transaction with a time-out, without calling back.
    void cancelAll();

    const Counters &counters() const { return m_counters; }
    void resetCounters() { m_counters = {}; }
    DatagramPort &port() const { return m_port; }

private:
    struct Transaction
    {
        Service service;
        Packet packet;
        Done done;
        Timing timing;
        QByteArray datagram; // as first sent, sent again unchanged
        int retriesLeft = 0;
    };
    // What is waiting for one destination: the head is the transaction on the wire.
    struct Peer
    {
        std::deque<Transaction> queue;
        std::unique_ptr<Timer> timer;
        quint8 lastTransaction = 0;
    };
    // The last transaction received from one sender, and what it was answered.
    struct ReceiveRecord
    {
        quint8 transaction = 0;
        PduFormat format = PduFormat::Tpdu;
        QByteArray reply; // empty: nothing to send again
        QDateTime at;
    };

    void datagramReceived(const IpAddress &from, const QByteArray &datagram);
    void replyReceived(const IpAddress &from, const Packet &packet);
    void requestReceived(const IpAddress &from, const Packet &packet);
    bool isDuplicate(const IpAddress &from, const Packet &packet);
    void startNext(const IpAddress &ip);
    void transmitTimedOut(const IpAddress &ip);
    void finish(const IpAddress &ip, const Outcome &outcome);
    bool transmit(const IpAddress &ip, const QByteArray &datagram);
    Packet packetTo(const Destination &destination) const;

    DatagramPort &m_port;
    TimerFactory &m_timers;
    Clock &m_clock;
    DomainId m_domain;
    SubnetNode m_address;
    Handler m_handler;
    DatagramOptions m_options;
    int m_receiveTimerMs = 8000;
    std::map<quint32, Peer> m_peers; // by IPv4 address
    std::map<quint32, ReceiveRecord> m_records;
    Counters m_counters;
};

} // namespace lonip
