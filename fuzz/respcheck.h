#pragma once

// The reader of the store's replies on arbitrary bytes.
//
// Input: one byte whose bits choose, reply by reply, between a value reply and an integer reply;
// one byte for the size of the pieces in which the bytes arrive (0: all at once); then the bytes
// the store sends. Replies are read until one fails. Besides not crashing, hanging or holding more
// than the input (a length that announces more than arrives costs no memory):
// - a value or an integer that was read comes back the same when the store sends it again in its
//   plain form (a bulk of that length, an integer line);
// - a read that returned normally, or failed with an error reply, leaves the reader in step;
//   a read that ran out of bytes leaves it out of step.

#include "fuzzcheck.h"
#include "link/respreader.h"

#include <limits>

namespace fuzz {

namespace resp {

// Bytes that arrive in pieces of `piece` bytes, each one only when the reader asks for more.
class Arrival
{
public:
    Arrival(QByteArray bytes, qsizetype piece)
        : m_bytes(std::move(bytes)), m_piece(piece > 0 ? piece : m_bytes.size())
    {
    }

    QByteArray next()
    {
        if (m_delivered >= m_bytes.size())
            throw RedisConnectionError(QStringLiteral("end of input"));
        const QByteArray piece = m_bytes.mid(m_delivered, m_piece);
        m_delivered += m_piece;
        return piece;
    }

private:
    QByteArray m_bytes;
    qsizetype m_piece;
    qsizetype m_delivered = 0;
};

template <typename T> std::optional<T> readAgain(const QByteArray& plain, T (RespReader::*read)())
{
    Arrival arrival(plain, 0);
    RespReader reader([&] { return arrival.next(); });
    try {
        return (reader.*read)();
    } catch (const RedisError&) {
        return std::nullopt;
    }
}

inline QString checkValue(const RedisNullable& value, qsizetype inputSize)
{
    if (!value)
        return {};
    if (value->size() > inputSize)
        return QStringLiteral("a value of %1 bytes from %2 bytes of input").arg(value->size()).arg(inputSize);
    const QByteArray plain = "$" + QByteArray::number(value->size()) + "\r\n" + *value + "\r\n";
    if (readAgain(plain, &RespReader::ReadValue) != RedisNullable(value))
        return QStringLiteral("the value %1 reads otherwise when sent again")
            .arg(QString::fromLatin1(value->toHex()));
    return {};
}

inline QString checkInteger(qint64 value)
{
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return QStringLiteral("integer %1 beyond 32 bits").arg(value);
    if (value != -1 && readAgain(":" + QByteArray::number(value) + "\r\n", &RespReader::ReadInteger) != value)
        return QStringLiteral("the integer %1 reads otherwise when sent again").arg(value);
    return {};
}

} // namespace resp

inline QString CheckResp(const QByteArray& input)
{
    using namespace resp;
    if (input.size() < 2)
        return {};
    const quint8 kinds = quint8(input[0]);
    const QByteArray bytes = input.mid(2);
    Arrival arrival(bytes, quint8(input[1]));
    RespReader reader([&] { return arrival.next(); });
    for (int reply = 0;; ++reply) {
        const bool integer = kinds & (1 << (reply % 8));
        QString failure;
        try {
            failure =
                integer ? checkInteger(reader.ReadInteger()) : checkValue(reader.ReadValue(), bytes.size());
        } catch (const RedisConnectionError&) {
            return reader.InStep() ? QStringLiteral("in step after running out of bytes") : QString();
        } catch (const RedisException&) {
            // Only an error reply ("-" line) is read whole; nothing more is read after either.
            return {};
        }
        if (!failure.isEmpty())
            return QStringLiteral("reply %1: ").arg(reply) + failure;
        if (!reader.InStep())
            return QStringLiteral("reply %1 read but out of step").arg(reply);
    }
}

} // namespace fuzz
