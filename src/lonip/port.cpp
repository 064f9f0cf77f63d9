#include "lonip/port.h"
#include "lonip/address.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

namespace lonip {

UdpPort::UdpPort(const IpAddress &local, quint16 port, QObject *parent)
    : DatagramPort(parent), m_local(local), m_port(port), m_socket(new QUdpSocket(this))
{
    connect(m_socket, &QUdpSocket::readyRead, this, &UdpPort::readPending);
}

UdpPort::~UdpPort() = default;

bool UdpPort::open(QString *error)
{
    // Not shared: a second node on the same address would take the first one's datagrams.
    if (m_socket->bind(m_local, m_port, QAbstractSocket::DontShareAddress))
        return true;
    if (error)
        *error = m_socket->errorString();
    return false;
}

bool UdpPort::send(const IpAddress &to, const QByteArray &datagram)
{
    if (!m_anyAddress && !isLoopback(to))
        return false;
    return m_socket->writeDatagram(datagram, to, m_port) == datagram.size();
}

bool UdpPort::waitForDatagrams(int ms)
{
    if (!m_socket->waitForReadyRead(ms))
        return false;
    readPending(); // readyRead may have delivered them already
    return true;
}

void UdpPort::readPending()
{
    while (m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket->receiveDatagram();
        if (datagram.senderPort() != m_port)
            continue; // LS/UDP peers send from the port they listen on
        emit received(datagram.senderAddress(), datagram.data());
    }
}

} // namespace lonip
