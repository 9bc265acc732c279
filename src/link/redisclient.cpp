#include "redisclient.h"

#include <QScopeGuard>

#include <algorithm>
#include <utility>

RedisClient::RedisClient(QString host, quint16 port)
    : m_host(std::move(host)), m_port(port), m_reader(m_socket, [this] { waitForReply(); })
{
}

// The socket reads a negative wait as "forever"; the client never waits without a bound.
void RedisClient::SetConnectTimeout(int msecs)
{
    m_connectTimeout = std::max(msecs, 1);
}

void RedisClient::SetReplyTimeout(int msecs)
{
    m_replyTimeout = std::max(msecs, 1);
}

namespace {

// How long one slice of a wait lasts before the interrupt is asked again.
constexpr int SliceMs = 50;

// Requests go out in pieces of this size, each sent before the next is handed to the socket, so
// that a long value is never copied whole into the socket's buffer.
constexpr qsizetype SendPiece = 1024 * 1024;

} // namespace

bool RedisClient::waitSliced(const QDeadlineTimer& deadline, const std::function<bool(int)>& ready)
{
    for (;;) {
        if (m_interrupt && m_interrupt())
            throw RedisCancelled();
        const qint64 left = deadline.remainingTime();
        if (left == 0)
            return false;
        if (ready(int(std::min<qint64>(left, SliceMs))))
            return true;
        if (m_socket.state() == QAbstractSocket::UnconnectedState)
            return false;
        if (m_socket.error() != QAbstractSocket::SocketTimeoutError &&
            m_socket.error() != QAbstractSocket::UnknownSocketError)
            return false;
    }
}

void RedisClient::Connect()
{
    m_socket.connectToHost(m_host, m_port);
    if (waitSliced(QDeadlineTimer(m_connectTimeout), [this](int ms) {
            return m_socket.state() == QAbstractSocket::ConnectedState || m_socket.waitForConnected(ms);
        }))
        return;
    if (m_socket.state() == QAbstractSocket::ConnectedState)
        return;
    const QString reason = m_socket.error() == QAbstractSocket::SocketTimeoutError ||
                                   m_socket.error() == QAbstractSocket::UnknownSocketError
                               ? QStringLiteral("no answer within %1 ms").arg(m_connectTimeout)
                               : m_socket.errorString();
    m_socket.abort();
    throw RedisConnectionError(QStringLiteral("Cannot connect to %1: %2").arg(peerName(), reason));
}

// A reply that was not read to its end leaves the connection out of step with the store: whatever
// arrives later would be taken for the reply to the next request. Closing the connection makes every
// later operation fail instead. Only an error reply, read completely, keeps the connection.
template <typename T> T RedisClient::readReply(T (RespReader::*read)())
{
    try {
        return (m_reader.*read)();
    } catch (const RedisError&) {
        if (!m_reader.InStep())
            Disconnect();
        throw;
    }
}

RedisNullable RedisClient::GET(const QByteArray& key)
{
    send({"GET", key});
    return readReply(&RespReader::ReadValue);
}

bool RedisClient::SET(const QByteArray& key, const QByteArray& value)
{
    send({"SET", key, value});
    return readReply(&RespReader::ReadValue).has_value();
}

qint64 RedisClient::HSET(const QByteArray& key, const QByteArray& field, const QByteArray& value)
{
    send({"HSET", key, field, value});
    return readReply(&RespReader::ReadInteger);
}

bool RedisClient::HGET(const QByteArray& key, const QByteArray& field, QByteArray& value)
{
    send({"HGET", key, field});
    const RedisNullable reply = readReply(&RespReader::ReadValue);
    value = reply.value_or(QByteArray());
    return reply.has_value();
}

qint64 RedisClient::DEL(const QList<QByteArray>& keys)
{
    send(RedisCommand{"DEL"} + keys);
    return readReply(&RespReader::ReadInteger);
}

qint64 RedisClient::RPUSH(const QByteArray& key, const QList<QByteArray>& values)
{
    send(RedisCommand{"RPUSH", key} + values);
    return readReply(&RespReader::ReadInteger);
}

qint64 RedisClient::LPUSH(const QByteArray& key, const QList<QByteArray>& values)
{
    send(RedisCommand{"LPUSH", key} + values);
    return readReply(&RespReader::ReadInteger);
}

bool RedisClient::HEXISTS(const QByteArray& key, const QByteArray& field)
{
    send({"HEXISTS", key, field});
    return readReply(&RespReader::ReadInteger) == 1;
}

QByteArray RedisClient::TYPE(const QByteArray& key)
{
    send({"TYPE", key});
    return RedisValue(readReply(&RespReader::ReadValue));
}

void RedisClient::WATCH(const QList<QByteArray>& keys)
{
    send(RedisCommand{"WATCH"} + keys);
    readReply(&RespReader::ReadValue);
}

// Whatever fails before EXEC went out closes the connection, and with it the store drops the
// commands queued so far.
void RedisClient::Transaction(const QList<RedisCommand>& commands)
{
    try {
        send({"MULTI"});
        readReply(&RespReader::ReadValue);
        for (const RedisCommand& command : commands) {
            send(command);
            const RedisNullable reply = readReply(&RespReader::ReadValue);
            if (reply != "QUEUED")
                throw RedisException(
                    QStringLiteral("%1 was not queued").arg(QString::fromUtf8(command.front())));
        }
    } catch (const RedisError&) {
        Disconnect();
        throw;
    }
    // Once EXEC is out the store decides, and a cancel could only hide what it did.
    const std::function<bool()> interrupt = std::exchange(m_interrupt, {});
    const auto restore = qScopeGuard([&] { m_interrupt = interrupt; });
    send({"EXEC"});
    readTransactionReply(commands.size());
}

// The reply to EXEC is an array of the commands' replies. Its first line is read here, straight
// from the socket: the reader holds no bytes at this point, since every earlier reply was read
// whole and the store sends nothing unasked.
void RedisClient::readTransactionReply(qsizetype count)
{
    constexpr qint64 LongestLine = 1024;
    while (!m_socket.canReadLine()) {
        if (m_socket.bytesAvailable() > LongestLine)
            throw broken(QStringLiteral("Not a valid transaction response"));
        waitForReply(m_socket.bytesAvailable());
    }
    const QByteArray line = m_socket.readLine(LongestLine).trimmed();
    if (line.startsWith('-'))
        throw RedisException(QString::fromUtf8(line.mid(1)));
    if (line == "*-1")
        throw RedisException(QStringLiteral("The store dropped the transaction: its keys changed meanwhile"));
    if (line != "*" + QByteArray::number(count))
        throw broken(QStringLiteral("Not a valid transaction response"));
    for (qsizetype reply = 0; reply < count; ++reply)
        readReply(&RespReader::ReadValue);
}

void RedisClient::Disconnect()
{
    m_socket.abort();
    m_reader.Clear();
}

// The request goes out as an array of bulk strings. The operation's deadline starts here.
void RedisClient::send(const RedisCommand& command)
{
    m_deadline = QDeadlineTimer(m_replyTimeout);
    if (m_socket.state() != QAbstractSocket::ConnectedState)
        throw RedisConnectionError(QStringLiteral("Not connected to %1").arg(peerName()));
    QByteArray request = "*" + QByteArray::number(command.size()) + "\r\n";
    auto flush = [this](QByteArrayView bytes) {
        bool sent = m_socket.write(bytes.data(), bytes.size()) == bytes.size();
        while (sent && m_socket.bytesToWrite() > 0)
            sent = waitSliced(m_deadline, [this](int ms) {
                return m_socket.bytesToWrite() == 0 || m_socket.waitForBytesWritten(ms);
            });
        if (!sent)
            throw broken(
                m_deadline.hasExpired()
                    ? QStringLiteral("Cannot send to %1 within %2 ms").arg(peerName()).arg(m_replyTimeout)
                    : QStringLiteral("Cannot send to %1: %2").arg(peerName(), m_socket.errorString()));
    };
    for (const QByteArray& part : command) {
        request += "$" + QByteArray::number(part.size()) + "\r\n";
        if (part.size() < SendPiece) {
            request += part + "\r\n";
            continue;
        }
        flush(request);
        request.clear();
        for (qsizetype at = 0; at < part.size(); at += SendPiece)
            flush(QByteArrayView(part).sliced(at, std::min(SendPiece, part.size() - at)));
        request = "\r\n";
    }
    flush(request);
}

void RedisClient::waitForReply(qint64 have)
{
    if (waitSliced(m_deadline, [this, have](int ms) {
            return m_socket.bytesAvailable() > have || m_socket.waitForReadyRead(ms);
        }))
        return;
    if (m_deadline.hasExpired())
        throw RedisConnectionError(
            QStringLiteral("No reply from %1 within %2 ms").arg(peerName()).arg(m_replyTimeout));
    if (m_socket.error() == QAbstractSocket::RemoteHostClosedError)
        throw RedisConnectionError(QStringLiteral("Connection to %1 closed by the peer").arg(peerName()));
    throw RedisConnectionError(
        QStringLiteral("Connection to %1 lost: %2").arg(peerName(), m_socket.errorString()));
}

RedisConnectionError RedisClient::broken(const QString& message)
{
    Disconnect();
    return RedisConnectionError(message);
}

QString RedisClient::peerName() const
{
    return m_host % QLatin1Char(':') % QString::number(m_port);
}
