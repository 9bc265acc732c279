#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <exception>
#include <functional>
#include <optional>

// Any failure of a store operation. Callers that only need to know that an operation failed catch
// this; the two kinds below tell the store's refusals from a broken connection.
class RedisError : public std::exception
{
public:
    explicit RedisError(const QString& message);
    const QString& message() const { return m_message; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    QString m_message;
    QByteArray m_what;
};

// The store answered with an error reply (the message is the store's own text after the "-") or
// with a reply the client cannot read.
class RedisException : public RedisError
{
public:
    using RedisError::RedisError;
};

// The connection could not be made, broke, or the store stayed silent past the time-out.
class RedisConnectionError : public RedisError
{
public:
    using RedisError::RedisError;
};

// A value result: absent when the store answered nil; a present value may be empty.
using RedisNullable = std::optional<QByteArray>;

// The bytes of a present value; fails with RedisException "Value is null" when it is absent.
QByteArray RedisValue(const RedisNullable& value);

// Reads the store's replies (RESP) from bytes as they arrive, one whole reply per call. Bytes that
// arrive beyond the reply are kept for the next one. Whatever the peer sends, memory follows the
// bytes that arrived, never a length the reply announces: lines longer than MaxLineLength and
// values announced longer than MaxBulkLength are malformed replies.
class RespReader
{
public:
    static constexpr qsizetype MaxLineLength = 16'384'000;
    static constexpr qint64 MaxBulkLength = 512LL * 1024 * 1024;

    // receive runs whenever the reply needs more bytes than have arrived: it returns the next
    // bytes (at least one), or throws RedisConnectionError when no more will come.
    explicit RespReader(std::function<QByteArray()> receive);
    // Reads from a device: waitForMore runs whenever the device has nothing to read yet; it returns
    // once it has, or throws (RedisConnectionError) when no more will come.
    RespReader(QIODevice& device, std::function<void()> waitForMore);

    // A reply to GET, HGET or SET: absent for nil, the value of a bulk, simple-string or integer
    // reply otherwise.
    RedisNullable ReadValue();
    // A reply to HSET, DEL, RPUSH or LPUSH: a 32-bit integer, or -1 for a nil bulk.
    qint64 ReadInteger();

    // False after a read that failed part-way through a reply: the rest of it may still arrive and
    // would be taken for the next reply. An error reply is read whole and keeps the reader in step.
    bool InStep() const { return m_inStep; }
    // Drops the bytes received but not yet read.
    void Clear();

private:
    QByteArray readLine();
    QByteArray readBulk(qsizetype length);
    void receiveMore();
    RedisException malformed(const QString& message);

    std::function<QByteArray()> m_receive;
    // Bytes received but not yet taken by a reply.
    QByteArray m_received;
    bool m_inStep = true;
};
