#include "lonip/port.h"
#include "lonip/address.h"
#include "strings/resstrings.h"

#include <QSocketNotifier>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lonip {

namespace {

sockaddr_in socketAddress(const IpAddress &ip, quint16 port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(ip.toIPv4Address());
    address.sin_port = htons(port);
    return address;
}

QString bindFailure(int error)
{
    switch (error) {
    case EADDRINUSE: return GetResString(1650, 1);
    case EACCES:
    case EPERM: return GetResString(1650, 2);
    case EADDRNOTAVAIL: return GetResString(1650, 3);
    default: return GetResString(1650, 4, {qt_error_string(error)});
    }
}

// An LS/UDP datagram carries one LonTalk packet, a few hundred bytes at most: anything longer is
// no peer's and is dropped.
constexpr qsizetype LongestDatagram = 2048;

} // namespace

UdpPort::UdpPort(const IpAddress &local, quint16 port, QObject *parent) : DatagramPort(parent), m_local(local), m_port(port)
{
}

UdpPort::~UdpPort()
{
    close();
}

void UdpPort::close()
{
    delete std::exchange(m_notifier, nullptr); // before its descriptor goes
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
}

bool UdpPort::open(QString *error)
{
    close();
    int failure = EADDRNOTAVAIL;
    if (!m_local.isNull()) {
        m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        // No SO_REUSEADDR: a second socket on this address and port must fail to bind.
        const sockaddr_in address = socketAddress(m_local, m_port);
        if (m_fd >= 0 && ::bind(m_fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0) {
            m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
            connect(m_notifier, &QSocketNotifier::activated, this, &UdpPort::readPending);
            return true;
        }
        failure = errno;
        close();
    }
    if (error)
        *error = bindFailure(failure);
    return false;
}

bool UdpPort::send(const IpAddress &to, const QByteArray &datagram)
{
    if (m_fd < 0 || (!m_anyAddress && !isLoopback(to)))
        return false;
    const sockaddr_in address = socketAddress(to, m_port);
    const ssize_t sent = ::sendto(m_fd, datagram.constData(), size_t(datagram.size()), 0,
                                  reinterpret_cast<const sockaddr *>(&address), sizeof address);
    return sent == datagram.size();
}

bool UdpPort::waitForDatagrams(int ms)
{
    if (m_fd < 0)
        return false;
    pollfd watched{m_fd, POLLIN, 0};
    if (::poll(&watched, 1, ms) <= 0 || !(watched.revents & POLLIN))
        return false; // an interrupted wait counts as one that saw nothing: callers wait again
    readPending();
    return true;
}

void UdpPort::readPending()
{
    // Copied out before each delivery, so a receiver that waits on this port again (and comes
    // back here) cannot spoil a datagram being delivered.
    static char buffer[LongestDatagram];
    while (m_fd >= 0) {
        sockaddr_in sender{};
        socklen_t senderSize = sizeof sender;
        const ssize_t size = ::recvfrom(m_fd, buffer, sizeof buffer, MSG_TRUNC, reinterpret_cast<sockaddr *>(&sender),
                                        &senderSize);
        if (size < 0)
            return; // drained (or a failure the next notification will report again)
        if (size > LongestDatagram || ntohs(sender.sin_port) != m_port)
            continue; // LS/UDP peers send from the port they listen on
        emit received(IpAddress(ntohl(sender.sin_addr.s_addr)), QByteArray(buffer, size));
    }
}

} // namespace lonip
