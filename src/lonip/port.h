#pragma once

// Where LS/UDP datagrams go in and out: a UDP socket on the event loop, or (in tests) anything
// else that delivers datagrams. The socket is the system's own (no QtNetwork: that library and
// what it loads would cost every program's start).

#include "address.h"
#include <QObject>

class QSocketNotifier;

namespace lonip {

class DatagramPort : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    virtual IpAddress localAddress() const = 0;
    // False when the datagram could not be handed to the network.
    virtual bool send(const IpAddress &to, const QByteArray &datagram) = 0;

signals:
    void received(const IpAddress &from, const QByteArray &datagram);
};

// A UDP socket bound to one address and the LS/UDP port. It sends only to the loopback network
// (127.0.0.0/8) unless its owner allows other addresses.
class UdpPort : public DatagramPort
{
    Q_OBJECT
public:
    explicit UdpPort(const IpAddress &local, quint16 port, QObject *parent = nullptr);
    ~UdpPort() override;
    // Binds the socket; false (with the reason, in the session's language, in `error`) when it
    // cannot. The address is not shared: a second port on it fails ("already in use"), as a
    // second node there would take the first one's datagrams.
    bool open(QString *error = nullptr);
    void allowNonLoopback(bool allow) { m_anyAddress = allow; }
    IpAddress localAddress() const override { return m_local; }
    bool send(const IpAddress &to, const QByteArray &datagram) override;
    // Blocks up to `ms` for datagrams, without the event loop; they are delivered (received)
    // before it returns. False when none came.
    bool waitForDatagrams(int ms);

private:
    void readPending();
    void close();

    IpAddress m_local;
    quint16 m_port;
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    bool m_anyAddress = false;
};

} // namespace lonip
