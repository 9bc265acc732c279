#include "tredisclient.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace {

// The store's own limits: longer lines or larger values can only come from a broken or hostile
// peer, and must not make the client hold unbounded memory.
constexpr qsizetype MaxLineLength = 16'384'000;
constexpr qint64 MaxBulkLength = 512LL * 1024 * 1024;

QString notAString()
{
    return QStringLiteral("Not a valid string response");
}

QString notAnInteger()
{
    return QStringLiteral("Not a valid integer response");
}

QString lineTooLong()
{
    return QStringLiteral("Reply line longer than %1 bytes").arg(MaxLineLength);
}

// A strict decimal number: optional minus sign and digits only, within the range of T.
template <typename T> std::optional<T> decimal(QByteArrayView digits)
{
    T value{};
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

char kindOf(const QByteArray& line)
{
    return line.isEmpty() ? '\0' : line.front();
}

ERedisException errorReply(const QByteArray& line)
{
    return ERedisException(QString::fromUtf8(line.mid(1)));
}

} // namespace

ERedisError::ERedisError(const QString& message) : m_message(message), m_what(message.toUtf8()) {}

QByteArray RedisValue(const TRedisNullable& value)
{
    if (!value)
        throw ERedisException(QStringLiteral("Value is null"));
    return *value;
}

TRedisClient::TRedisClient(QString host, quint16 port) : m_host(std::move(host)), m_port(port) {}

// The socket reads a negative wait as "forever"; the client never waits without a bound.
void TRedisClient::SetConnectTimeout(int msecs)
{
    m_connectTimeout = std::max(msecs, 1);
}

void TRedisClient::SetReplyTimeout(int msecs)
{
    m_replyTimeout = std::max(msecs, 1);
}

void TRedisClient::Connect()
{
    m_socket.connectToHost(m_host, m_port);
    if (m_socket.waitForConnected(m_connectTimeout))
        return;
    const QString reason = m_socket.error() == QAbstractSocket::SocketTimeoutError
                               ? QStringLiteral("no answer within %1 ms").arg(m_connectTimeout)
                               : m_socket.errorString();
    m_socket.abort();
    throw ERedisConnectionError(QStringLiteral("Cannot connect to %1: %2").arg(peerName(), reason));
}

TRedisNullable TRedisClient::GET(const QByteArray& key)
{
    send({"GET", key});
    return readValueReply();
}

bool TRedisClient::SET(const QByteArray& key, const QByteArray& value)
{
    send({"SET", key, value});
    return readValueReply().has_value();
}

qint64 TRedisClient::HSET(const QByteArray& key, const QByteArray& field, const QByteArray& value)
{
    send({"HSET", key, field, value});
    return readIntegerReply();
}

bool TRedisClient::HGET(const QByteArray& key, const QByteArray& field, QByteArray& value)
{
    send({"HGET", key, field});
    const TRedisNullable reply = readValueReply();
    value = reply.value_or(QByteArray());
    return reply.has_value();
}

qint64 TRedisClient::DEL(const QList<QByteArray>& keys)
{
    send(TRedisCommand{"DEL"} + keys);
    return readIntegerReply();
}

qint64 TRedisClient::RPUSH(const QByteArray& key, const QList<QByteArray>& values)
{
    send(TRedisCommand{"RPUSH", key} + values);
    return readIntegerReply();
}

qint64 TRedisClient::LPUSH(const QByteArray& key, const QList<QByteArray>& values)
{
    send(TRedisCommand{"LPUSH", key} + values);
    return readIntegerReply();
}

void TRedisClient::Disconnect()
{
    m_socket.abort();
    m_received.clear();
}

// The whole request goes out in one write, as an array of bulk strings.
void TRedisClient::send(const TRedisCommand& command)
{
    if (m_socket.state() != QAbstractSocket::ConnectedState)
        throw ERedisConnectionError(QStringLiteral("Not connected to %1").arg(peerName()));
    QByteArray request = "*" + QByteArray::number(command.size()) + "\r\n";
    for (const QByteArray& part : command)
        request += "$" + QByteArray::number(part.size()) + "\r\n" + part + "\r\n";
    bool sent = m_socket.write(request) == request.size();
    while (sent && m_socket.bytesToWrite() > 0)
        sent = m_socket.waitForBytesWritten(m_replyTimeout);
    if (!sent)
        throw broken(QStringLiteral("Cannot send to %1: %2").arg(peerName(), m_socket.errorString()));
}

TRedisNullable TRedisClient::readValueReply()
{
    const QByteArray line = readLine();
    if (line == "$-1" || line == "*-1")
        return std::nullopt;
    switch (kindOf(line)) {
    case '-':
        throw errorReply(line);
    case '+':
    case ':':
        return line.mid(1);
    case '$': {
        const std::optional<qint64> length = decimal<qint64>(QByteArrayView(line).sliced(1));
        if (!length || *length < 0 || *length > MaxBulkLength)
            throw malformed(notAString());
        QByteArray value = readBytes(*length);
        // A value that does not end where its length says would leave every later reply misread.
        if (readBytes(2) != "\r\n")
            throw malformed(notAString());
        return value;
    }
    default:
        throw malformed(notAString());
    }
}

qint64 TRedisClient::readIntegerReply()
{
    const QByteArray line = readLine();
    switch (kindOf(line)) {
    case '-':
        throw errorReply(line);
    case '$':
        if (line == "$-1")
            return -1;
        throw malformed(notAnInteger());
    case ':':
        if (const std::optional<qint32> value = decimal<qint32>(QByteArrayView(line).sliced(1)))
            return *value;
        throw malformed(notAnInteger() % QStringLiteral(" - Expected Integer got [") %
                        QString::fromUtf8(line) % QLatin1Char(']'));
    default:
        throw malformed(notAnInteger());
    }
}

// A line ends at LF; a CR right before it is dropped.
QByteArray TRedisClient::readLine()
{
    qsizetype searched = 0;
    qsizetype end = -1;
    while ((end = m_received.indexOf('\n', searched)) < 0) {
        // Even with a CR still to come before the LF, the line is already too long.
        if (m_received.size() > MaxLineLength + 1)
            throw malformed(lineTooLong());
        searched = m_received.size();
        receiveMore();
    }
    QByteArray line = m_received.first(end);
    m_received.remove(0, end + 1);
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.size() > MaxLineLength)
        throw malformed(lineTooLong());
    return line;
}

QByteArray TRedisClient::readBytes(qsizetype count)
{
    while (m_received.size() < count)
        receiveMore();
    QByteArray bytes = m_received.first(count);
    m_received.remove(0, count);
    return bytes;
}

void TRedisClient::receiveMore()
{
    if (m_socket.bytesAvailable() == 0 && !m_socket.waitForReadyRead(m_replyTimeout)) {
        if (m_socket.error() == QAbstractSocket::SocketTimeoutError)
            throw broken(QStringLiteral("No reply from %1 within %2 ms").arg(peerName()).arg(m_replyTimeout));
        if (m_socket.error() == QAbstractSocket::RemoteHostClosedError)
            throw broken(QStringLiteral("Connection to %1 closed by the peer").arg(peerName()));
        throw broken(QStringLiteral("Connection to %1 lost: %2").arg(peerName(), m_socket.errorString()));
    }
    m_received += m_socket.readAll();
}

// A reply that was not read to its end leaves the connection out of step with the store: whatever
// arrives later would be taken for the reply to the next request. Closing the connection makes every
// later operation fail instead. Only an error reply, read completely, keeps the connection.
ERedisException TRedisClient::malformed(const QString& message)
{
    Disconnect();
    return ERedisException(message);
}

ERedisConnectionError TRedisClient::broken(const QString& message)
{
    Disconnect();
    return ERedisConnectionError(message);
}

QString TRedisClient::peerName() const
{
    return m_host % QLatin1Char(':') % QString::number(m_port);
}
