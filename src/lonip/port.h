#pragma once

// Where LS/UDP datagrams go in and out: a UDP socket on the event loop, or (in tests) anything
// else that delivers datagrams.

#include "address.h"
#include <QObject>

class QUdpSocket;

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
    // Binds the socket; false (with the system's reason in `error`) when it cannot.
    bool open(QString *error = nullptr);
    void allowNonLoopback(bool allow) { m_anyAddress = allow; }
    IpAddress localAddress() const override { return m_local; }
    bool send(const IpAddress &to, const QByteArray &datagram) override;
    // Blocks up to `ms` for datagrams, without the event loop; they are delivered (received)
    // before it returns. False when none came.
    bool waitForDatagrams(int ms);

private:
    void readPending();

    IpAddress m_local;
    quint16 m_port;
    QUdpSocket *m_socket;
    bool m_anyAddress = false;
};

} // namespace lonip
