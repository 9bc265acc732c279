#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A real redis-server of its own for a test: loopback only, on a free port, nothing saved to disk,
// stopped when the fixture is destroyed. Typical use in a test class:
//
//     RedisServer m_redis;
//     void initTestCase() { QVERIFY2(m_redis.start(), qPrintable(m_redis.errorString())); }
//     void init() { QVERIFY(m_redis.flushAll()); }
//
// A missing redis-server or redis-cli makes start() fail with a message that says so.
class RedisServer
{
public:
    RedisServer() = default;
    ~RedisServer();
    RedisServer(const RedisServer&) = delete;
    RedisServer& operator=(const RedisServer&) = delete;

    // Starts the server and waits until it answers; false with errorString() when it cannot.
    bool start();
    QString errorString() const { return m_error; }
    quint16 port() const { return m_port; }

    // Runs "redis-cli --raw" with args against the server and returns its output without the final
    // line break: a value byte for byte, an integer in decimal, "OK", list elements one per line.
    // A missing key and an empty value both give an empty result; ask EXISTS or HEXISTS when the
    // difference matters.
    QByteArray cli(const QStringList& args) const;
    // The same with one more argument after args, passed byte for byte (any bytes, CR LF included).
    QByteArray cli(const QStringList& args, const QByteArray& lastArgument) const;
    // Empties the store; false when the server did not confirm.
    bool flushAll() const;

private:
    bool launch();
    bool waitUntilAnswering();
    QByteArray runCli(const QStringList& args, const QByteArray* lastArgument) const;
    void stop();

    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_error;
};
