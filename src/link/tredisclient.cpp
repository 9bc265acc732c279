#include "tredisclient.h"

#include <algorithm>
#include <utility>

TRedisClient::TRedisClient(QString host, quint16 port)
    : m_host(std::move(host)), m_port(port), m_reader(m_socket, [this] { waitForReply(); })
{
}

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

// A reply that was not read to its end leaves the connection out of step with the store: whatever
// arrives later would be taken for the reply to the next request. Closing the connection makes every
// later operation fail instead. Only an error reply, read completely, keeps the connection.
template <typename T> T TRedisClient::readReply(T (TRespReader::*read)())
{
    try {
        return (m_reader.*read)();
    } catch (const ERedisError&) {
        if (!m_reader.InStep())
            Disconnect();
        throw;
    }
}

TRedisNullable TRedisClient::GET(const QByteArray& key)
{
    send({"GET", key});
    return readReply(&TRespReader::ReadValue);
}

bool TRedisClient::SET(const QByteArray& key, const QByteArray& value)
{
    send({"SET", key, value});
    return readReply(&TRespReader::ReadValue).has_value();
}

qint64 TRedisClient::HSET(const QByteArray& key, const QByteArray& field, const QByteArray& value)
{
    send({"HSET", key, field, value});
    return readReply(&TRespReader::ReadInteger);
}

bool TRedisClient::HGET(const QByteArray& key, const QByteArray& field, QByteArray& value)
{
    send({"HGET", key, field});
    const TRedisNullable reply = readReply(&TRespReader::ReadValue);
    value = reply.value_or(QByteArray());
    return reply.has_value();
}

qint64 TRedisClient::DEL(const QList<QByteArray>& keys)
{
    send(TRedisCommand{"DEL"} + keys);
    return readReply(&TRespReader::ReadInteger);
}

qint64 TRedisClient::RPUSH(const QByteArray& key, const QList<QByteArray>& values)
{
    send(TRedisCommand{"RPUSH", key} + values);
    return readReply(&TRespReader::ReadInteger);
}

qint64 TRedisClient::LPUSH(const QByteArray& key, const QList<QByteArray>& values)
{
    send(TRedisCommand{"LPUSH", key} + values);
    return readReply(&TRespReader::ReadInteger);
}

void TRedisClient::Disconnect()
{
    m_socket.abort();
    m_reader.Clear();
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

void TRedisClient::waitForReply()
{
    if (m_socket.waitForReadyRead(m_replyTimeout))
        return;
    if (m_socket.error() == QAbstractSocket::SocketTimeoutError)
        throw ERedisConnectionError(
            QStringLiteral("No reply from %1 within %2 ms").arg(peerName()).arg(m_replyTimeout));
    if (m_socket.error() == QAbstractSocket::RemoteHostClosedError)
        throw ERedisConnectionError(QStringLiteral("Connection to %1 closed by the peer").arg(peerName()));
    throw ERedisConnectionError(
        QStringLiteral("Connection to %1 lost: %2").arg(peerName(), m_socket.errorString()));
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
