#include "busservercheck.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QHostInfo>
#include <QRandomGenerator>
#include <QtEndian>
#include <QThread>
#include <QTimer>

#include <optional>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <linux/errqueue.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int EchoPayloadSize = 32;
constexpr qsizetype IcmpHeaderSize = 8;
constexpr qsizetype IpHeaderMinSize = 20;

constexpr quint8 IcmpEchoReply = 0;
constexpr quint8 IcmpDestinationUnreachable = 3;
constexpr quint8 IcmpEchoRequest = 8;
constexpr quint8 IcmpTimeExceeded = 11;
constexpr quint8 IcmpParameterProblem = 12;

// Reports that tell the sender its datagram went no further; each quotes the start of it.
bool isErrorReport(quint8 type)
{
    return type == IcmpDestinationUnreachable || type == IcmpTimeExceeded || type == IcmpParameterProblem;
}

// Errors a socket takes over from an ICMP error report; the report itself is read separately.
bool isReportedError(int error)
{
    return error == ECONNREFUSED || error == EHOSTUNREACH || error == ENETUNREACH || error == EHOSTDOWN ||
           error == EPROTO || error == EMSGSIZE || error == ENOPROTOOPT || error == EOPNOTSUPP;
}

// The echo request sent, with what identifies its answers.
struct Echo
{
    quint32 target = 0; // IPv4 address in host order
    quint16 identifier = 0;
    quint16 sequence = 0;
};

class IcmpSocket
{
public:
    // An unprivileged datagram socket where the system allows one, a raw socket otherwise. The
    // kernel keeps the IP header and foreign echo traffic away from a datagram socket and hands
    // it the error reports on its error queue; a raw socket sees every ICMP packet of the host.
    IcmpSocket()
    {
        m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (m_fd >= 0) {
            const int on = 1;
            ::setsockopt(m_fd, SOL_IP, IP_RECVERR, &on, sizeof on);
            return;
        }
        m_fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
        m_raw = true;
    }
    ~IcmpSocket()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    IcmpSocket(const IcmpSocket&) = delete;
    IcmpSocket& operator=(const IcmpSocket&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    bool isRaw() const { return m_raw; }
    int fd() const { return m_fd; }

private:
    int m_fd = -1;
    bool m_raw = false;
};

quint16 internetChecksum(const QByteArray& data)
{
    quint32 sum = 0;
    for (qsizetype i = 0; i + 1 < data.size(); i += 2)
        sum += quint32(quint8(data[i])) << 8 | quint8(data[i + 1]);
    if (data.size() % 2)
        sum += quint32(quint8(data.back())) << 8;
    while (sum >> 16)
        sum = (sum & 0xffff) + (sum >> 16);
    return quint16(~sum);
}

QByteArray echoRequestPacket(const Echo& echo)
{
    QByteArray packet(IcmpHeaderSize, '\0');
    packet[0] = char(IcmpEchoRequest);
    qToBigEndian(echo.identifier, packet.data() + 4);
    qToBigEndian(echo.sequence, packet.data() + 6);
    for (int i = 0; i < EchoPayloadSize; ++i)
        packet.append(char('a' + i % 23));
    qToBigEndian(internetChecksum(packet), packet.data() + 2);
    return packet;
}

// True when icmp starts with an echo header of the given type that carries the request's
// numbers. A datagram socket's identifier is chosen by the kernel, which also sorts the answers
// to the socket, so only the sequence is compared there.
bool isEchoOf(QByteArrayView icmp, quint8 type, const Echo& echo, bool compareIdentifier)
{
    if (icmp.size() < IcmpHeaderSize || quint8(icmp[0]) != type)
        return false;
    const bool sameIdentifier = qFromBigEndian<quint16>(icmp.data() + 4) == echo.identifier;
    return (sameIdentifier || !compareIdentifier) &&
           qFromBigEndian<quint16>(icmp.data() + 6) == echo.sequence;
}

struct IpPacket
{
    quint32 source = 0;
    quint32 destination = 0;
    QByteArrayView payload;
};

// The ICMP content of an IPv4 packet; a quoted packet may be cut short after its header.
std::optional<IpPacket> icmpInIp(QByteArrayView packet)
{
    if (packet.size() < IpHeaderMinSize || (quint8(packet[0]) >> 4) != 4 || quint8(packet[9]) != IPPROTO_ICMP)
        return std::nullopt;
    const qsizetype headerSize = (quint8(packet[0]) & 0x0f) * 4;
    if (headerSize < IpHeaderMinSize || headerSize > packet.size())
        return std::nullopt;
    return IpPacket{qFromBigEndian<quint32>(packet.data() + 12), qFromBigEndian<quint32>(packet.data() + 16),
                    packet.sliced(headerSize)};
}

// A packet read from the raw socket: the echo reply from the target, or an error report that
// quotes the request.
bool rawAnswers(QByteArrayView packet, const Echo& echo)
{
    const std::optional<IpPacket> ip = icmpInIp(packet);
    if (!ip || ip->payload.size() < IcmpHeaderSize)
        return false;
    const quint8 type = quint8(ip->payload[0]);
    if (type == IcmpEchoReply)
        return ip->source == echo.target && isEchoOf(ip->payload, IcmpEchoReply, echo, true);
    if (!isErrorReport(type))
        return false;
    const std::optional<IpPacket> quoted = icmpInIp(ip->payload.sliced(IcmpHeaderSize));
    return quoted && quoted->destination == echo.target &&
           isEchoOf(quoted->payload, IcmpEchoRequest, echo, true);
}

// Reads the socket's error queue empty; true when it held an error report on the request. The
// pending socket error that the report leaves behind is cleared too, so that poll stops
// signalling it.
bool drainErrorQueue(const IcmpSocket& socket, const Echo& echo)
{
    bool answered = false;
    for (;;) {
        char data[512];
        char control[512];
        iovec part{data, sizeof data};
        msghdr message{};
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const ssize_t size = ::recvmsg(socket.fd(), &message, MSG_ERRQUEUE | MSG_DONTWAIT);
        if (size < 0)
            break;
        for (cmsghdr* item = CMSG_FIRSTHDR(&message); item; item = CMSG_NXTHDR(&message, item)) {
            if (item->cmsg_level != SOL_IP || item->cmsg_type != IP_RECVERR)
                continue;
            sock_extended_err report;
            std::memcpy(&report, CMSG_DATA(item), sizeof report);
            // The queue returns the request as it was sent.
            if (report.ee_origin == SO_EE_ORIGIN_ICMP && isErrorReport(report.ee_type) &&
                isEchoOf(QByteArrayView(data, size), IcmpEchoRequest, echo, false))
                answered = true;
        }
    }
    int pending = 0;
    socklen_t length = sizeof pending;
    ::getsockopt(socket.fd(), SOL_SOCKET, SO_ERROR, &pending, &length);
    return answered;
}

enum class Outcome
{
    Answered,
    NoAnswer,
    Failed
};

// Reads one waiting packet; Answered when it is the answer to the request.
Outcome readPacket(const IcmpSocket& socket, const Echo& echo)
{
    char buffer[2048];
    const ssize_t size = ::recv(socket.fd(), buffer, sizeof buffer, MSG_DONTWAIT);
    if (size < 0) {
        const bool transient = errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        return transient || isReportedError(errno) ? Outcome::NoAnswer : Outcome::Failed;
    }
    const QByteArrayView packet(buffer, size);
    const bool answers =
        socket.isRaw() ? rawAnswers(packet, echo) : isEchoOf(packet, IcmpEchoReply, echo, false);
    return answers ? Outcome::Answered : Outcome::NoAnswer;
}

Outcome awaitAnswer(const IcmpSocket& socket, const Echo& echo, const QDeadlineTimer& deadline)
{
    while (!deadline.hasExpired()) {
        pollfd watched{socket.fd(), POLLIN, 0};
        const int ready = ::poll(&watched, 1, int(deadline.remainingTime()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0 || (watched.revents & POLLNVAL))
            return Outcome::Failed;
        if (ready == 0)
            break;
        if ((watched.revents & POLLERR) && drainErrorQueue(socket, echo))
            return Outcome::Answered;
        if (watched.revents & POLLIN) {
            const Outcome outcome = readPacket(socket, echo);
            if (outcome != Outcome::NoAnswer)
                return outcome;
        }
    }
    return Outcome::NoAnswer;
}

// The host's first IPv4 address. The name service gets what is left of the deadline: a lookup
// that hangs must not hold the caller longer than the check as a whole.
std::optional<quint32> resolveIPv4(const QString& host, const QDeadlineTimer& deadline)
{
    QHostAddress address;
    if (address.setAddress(host)) {
        if (address.protocol() != QAbstractSocket::IPv4Protocol)
            return std::nullopt;
        return address.toIPv4Address();
    }
    if (host.trimmed().isEmpty())
        return std::nullopt;

    QEventLoop loop;
    std::optional<QHostInfo> result;
    const int lookup = QHostInfo::lookupHost(host, &loop, [&](const QHostInfo& info) {
        result = info;
        loop.quit();
    });
    QTimer::singleShot(int(deadline.remainingTime()), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    if (!result)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!result) {
        QHostInfo::abortHostLookup(lookup);
        return std::nullopt;
    }
    for (const QHostAddress& found : result->addresses()) {
        if (found.protocol() == QAbstractSocket::IPv4Protocol)
            return found.toIPv4Address();
    }
    return std::nullopt;
}

bool sendEcho(const IcmpSocket& socket, const Echo& echo)
{
    const QByteArray packet = echoRequestPacket(echo);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(echo.target);
    const ssize_t sent = ::sendto(socket.fd(), packet.constData(), size_t(packet.size()), 0,
                                  reinterpret_cast<sockaddr*>(&to), sizeof to);
    return sent == packet.size();
}

} // namespace

bool CheckBusServer(const QString& host, int waitMs, int pauseMs)
{
    const QDeadlineTimer deadline(qMax(waitMs, 0), Qt::PreciseTimer);
    const std::optional<quint32> target = resolveIPv4(host, deadline);
    if (!target)
        return false;

    const IcmpSocket socket;
    if (!socket.isOpen())
        return false;
    Echo echo;
    echo.target = *target;
    echo.identifier = quint16(QRandomGenerator::global()->bounded(0x10000));
    echo.sequence = 1;
    if (!sendEcho(socket, echo))
        return false;

    const Outcome outcome = awaitAnswer(socket, echo, deadline);
    if (outcome == Outcome::Failed)
        return false;
    QThread::msleep(qMax(pauseMs, 0));
    return outcome == Outcome::Answered;
}
