#pragma once

#include "respreader.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTcpSocket>

// A small blocking client for the gateway's Redis store. Keys, fields and values are bytes and
// travel unchanged. One request at a time: every operation writes its request and reads its whole
// reply before it returns, waiting on the socket itself, so no event loop is needed. After any
// failure other than an error reply the connection is closed, and the client is not meant to be used
// again. Releasing the client closes an open connection.
class TRedisClient
{
public:
    static constexpr int DefaultConnectTimeout = 5000;
    static constexpr int DefaultReplyTimeout = 30000;

    TRedisClient(QString host, quint16 port);

    // Bounds, in milliseconds, for making the connection and for each silence while a request is
    // sent or its reply awaited; an expired wait fails the operation.
    void SetConnectTimeout(int msecs);
    void SetReplyTimeout(int msecs);

    void Connect();
    TRedisNullable GET(const QByteArray& key);
    // True when the store confirmed the write, false when it answered nil.
    bool SET(const QByteArray& key, const QByteArray& value);
    qint64 HSET(const QByteArray& key, const QByteArray& field, const QByteArray& value);
    // True and the value when present; false and an empty value when the hash or field is missing.
    bool HGET(const QByteArray& key, const QByteArray& field, QByteArray& value);
    qint64 DEL(const QList<QByteArray>& keys);
    qint64 RPUSH(const QByteArray& key, const QList<QByteArray>& values);
    qint64 LPUSH(const QByteArray& key, const QList<QByteArray>& values);
    // Closes the connection; never fails.
    void Disconnect();

private:
    // The parts of one request: the command name, then its arguments.
    using TRedisCommand = QList<QByteArray>;

    void send(const TRedisCommand& command);
    template <typename T> T readReply(T (TRespReader::*read)());
    void waitForReply();
    ERedisConnectionError broken(const QString& message);
    QString peerName() const;

    QString m_host;
    quint16 m_port;
    int m_connectTimeout = DefaultConnectTimeout;
    int m_replyTimeout = DefaultReplyTimeout;
    QTcpSocket m_socket;
    TRespReader m_reader;
};
