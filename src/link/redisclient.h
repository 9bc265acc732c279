#pragma once

#include "respreader.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QString>
#include <QTcpSocket>

#include <functional>

// A wait ended because the caller's interrupt asked for it (the user cancelled). It is no store
// failure, so that no handler of those swallows it.
class RedisCancelled : public std::exception
{
public:
    const char* what() const noexcept override { return "cancelled"; }
};

// A small blocking client for the gateway's Redis store. Keys, fields and values are bytes and
// travel unchanged. One request at a time: every operation writes its request and reads its whole
// reply before it returns, waiting on the socket itself, so no event loop is needed. After any
// failure other than an error reply the connection is closed, and the client is not meant to be used
// again. Releasing the client closes an open connection.
class RedisClient
{
public:
    // The parts of one request: the command name, then its arguments.
    using RedisCommand = QList<QByteArray>;

    static constexpr int DefaultConnectTimeout = 5000;
    static constexpr int DefaultReplyTimeout = 30000;

    RedisClient(QString host, quint16 port);

    // Bounds, in milliseconds, for making the connection and for a whole operation: from the start
    // of sending its request to the last byte of its reply, however slowly the bytes arrive. An
    // expired bound fails the operation.
    void SetConnectTimeout(int msecs);
    void SetReplyTimeout(int msecs);
    // Asked every few milliseconds while the client waits; true ends the wait with RedisCancelled.
    // The window uses it to stay responsive, the command line to stop on Ctrl-C.
    void SetInterrupt(std::function<bool()> interrupt) { m_interrupt = std::move(interrupt); }

    void Connect();
    RedisNullable GET(const QByteArray& key);
    // True when the store confirmed the write, false when it answered nil.
    bool SET(const QByteArray& key, const QByteArray& value);
    qint64 HSET(const QByteArray& key, const QByteArray& field, const QByteArray& value);
    // True and the value when present; false and an empty value when the hash or field is missing.
    bool HGET(const QByteArray& key, const QByteArray& field, QByteArray& value);
    qint64 DEL(const QList<QByteArray>& keys);
    qint64 RPUSH(const QByteArray& key, const QList<QByteArray>& values);
    qint64 LPUSH(const QByteArray& key, const QList<QByteArray>& values);
    bool HEXISTS(const QByteArray& key, const QByteArray& field);
    // The kind of value under key: "hash", "string", "list" and so on, or "none".
    QByteArray TYPE(const QByteArray& key);
    // A later transaction fails, changing nothing, when any of keys changes before it runs.
    void WATCH(const QList<QByteArray>& keys);
    // Runs the commands as one transaction (MULTI, the commands, EXEC): the store applies all of
    // them at once or, when the connection ends before EXEC arrived whole, none. Fails with
    // RedisException when the store refused a command, dropped the transaction because a watched
    // key changed, or reports that a command failed.
    void Transaction(const QList<RedisCommand>& commands);
    // Closes the connection; never fails.
    void Disconnect();

private:
    void send(const RedisCommand& command);
    template <typename T> T readReply(T (RespReader::*read)());
    // Waits until more than have bytes can be read.
    void waitForReply(qint64 have = 0);
    void readTransactionReply(qsizetype count);
    // Waits in short slices until ready() or the deadline, asking the interrupt in between; false
    // when the deadline passed or the socket failed. The interrupt may run the event loop, which
    // can take the awaited bytes in already: ready() checks for them before it waits.
    bool waitSliced(const QDeadlineTimer& deadline, const std::function<bool(int)>& ready);
    RedisConnectionError broken(const QString& message);
    QString peerName() const;

    QString m_host;
    quint16 m_port;
    int m_connectTimeout = DefaultConnectTimeout;
    int m_replyTimeout = DefaultReplyTimeout;
    std::function<bool()> m_interrupt;
    QDeadlineTimer m_deadline; // of the operation under way
    QTcpSocket m_socket;
    RespReader m_reader;
};
