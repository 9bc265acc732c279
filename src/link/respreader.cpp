#include "respreader.h"

#include <charconv>
#include <utility>

namespace {

QString notAString()
{
    return QStringLiteral("Not a valid string response");
}

QString notAnInteger()
{
    return QStringLiteral("Not a valid integer response");
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

QString lineTooLong()
{
    return QStringLiteral("Reply line longer than %1 bytes").arg(RespReader::MaxLineLength);
}

char kindOf(const QByteArray& line)
{
    return line.isEmpty() ? '\0' : line.front();
}

RedisException errorReply(const QByteArray& line)
{
    return RedisException(QString::fromUtf8(line.mid(1)));
}

} // namespace

RedisError::RedisError(const QString& message) : m_message(message), m_what(message.toUtf8()) {}

QByteArray RedisValue(const RedisNullable& value)
{
    if (!value)
        throw RedisException(QStringLiteral("Value is null"));
    return *value;
}

RespReader::RespReader(std::function<QByteArray()> receive) : m_receive(std::move(receive)) {}

RespReader::RespReader(QIODevice& device, std::function<void()> waitForMore)
    : m_receive([&device, waitForMore = std::move(waitForMore)] {
          if (device.bytesAvailable() == 0)
              waitForMore();
          return device.readAll();
      })
{
}

RedisNullable RespReader::ReadValue()
{
    m_inStep = false;
    const QByteArray line = readLine();
    m_inStep = true;
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
        m_inStep = false;
        QByteArray value = readBulk(*length);
        m_inStep = true;
        return value;
    }
    default:
        throw malformed(notAString());
    }
}

qint64 RespReader::ReadInteger()
{
    m_inStep = false;
    const QByteArray line = readLine();
    m_inStep = true;
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

void RespReader::Clear()
{
    m_received.clear();
    m_inStep = true;
}

// A line ends at LF; a CR right before it is dropped.
QByteArray RespReader::readLine()
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

// The value and the CR LF after it. The bytes are kept only as they arrive, so a length that
// promises more than comes costs nothing; a value that ends with the last bytes received, as a
// reply to one request does, is taken over without a copy.
QByteArray RespReader::readBulk(qsizetype length)
{
    while (m_received.size() < length + 2)
        receiveMore();
    // A value that does not end where its length says would leave every later reply misread.
    if (m_received.at(length) != '\r' || m_received.at(length + 1) != '\n')
        throw malformed(notAString());
    if (m_received.size() == length + 2) {
        m_received.chop(2);
        return std::exchange(m_received, {});
    }
    QByteArray value = m_received.first(length);
    m_received.remove(0, length + 2);
    return value;
}

void RespReader::receiveMore()
{
    m_received += m_receive();
}

// A malformed reply is never read to its end: whatever of it is still to come is out of step.
RedisException RespReader::malformed(const QString& message)
{
    m_inStep = false;
    return RedisException(message);
}
