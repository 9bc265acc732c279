#include "redisserver.h"

#include "freeport.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>

namespace {

constexpr int StartPatience = 10000;
constexpr int CliPatience = 10000;

} // namespace

RedisServer::~RedisServer()
{
    stop();
}

bool RedisServer::start()
{
    for (const QString& program : {QStringLiteral("redis-server"), QStringLiteral("redis-cli")}) {
        if (QStandardPaths::findExecutable(program).isEmpty()) {
            m_error = program + QStringLiteral(" is not installed; these tests need a real Redis server "
                                               "(Debian package redis-server)");
            return false;
        }
    }
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("No temporary folder for redis-server: ") + m_dir.errorString();
        return false;
    }
    m_error = QStringLiteral("No free loopback port for redis-server");
    return StartOnFreePort([this](quint16 port) {
        m_port = port;
        if (launch() && waitUntilAnswering())
            return true;
        stop();
        return false;
    });
}

bool RedisServer::launch()
{
    // The log goes to a file: a pipe nobody reads could fill up and stall the server.
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(m_dir.filePath(QStringLiteral("redis.log")));
    m_process.start(QStringLiteral("redis-server"),
                    {QStringLiteral("--port"), QString::number(m_port), QStringLiteral("--bind"),
                     QStringLiteral("127.0.0.1"), QStringLiteral("--save"), QString(),
                     QStringLiteral("--appendonly"), QStringLiteral("no"), QStringLiteral("--daemonize"),
                     QStringLiteral("no"), QStringLiteral("--dir"), m_dir.path()});
    if (!m_process.waitForStarted(StartPatience)) {
        m_error = QStringLiteral("redis-server did not start: ") + m_process.errorString();
        return false;
    }
    return true;
}

bool RedisServer::waitUntilAnswering()
{
    const QDeadlineTimer deadline(StartPatience);
    while (!deadline.hasExpired()) {
        if (runCli({QStringLiteral("PING")}, nullptr) == "PONG")
            return true;
        // Doubles as the pause between attempts and notices a server that gave up (port taken).
        if (m_process.state() == QProcess::NotRunning || m_process.waitForFinished(20))
            break;
    }
    QFile log(m_dir.filePath(QStringLiteral("redis.log")));
    log.open(QIODevice::ReadOnly);
    m_error = QStringLiteral("redis-server on port %1 does not answer. Its log:\n").arg(m_port) +
              QString::fromUtf8(log.readAll());
    return false;
}

void RedisServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(StartPatience)) {
        m_process.kill();
        m_process.waitForFinished(StartPatience);
    }
}

QByteArray RedisServer::cli(const QStringList& args) const
{
    return runCli(args, nullptr);
}

QByteArray RedisServer::cli(const QStringList& args, const QByteArray& lastArgument) const
{
    return runCli(args, &lastArgument);
}

bool RedisServer::flushAll() const
{
    return cli({QStringLiteral("FLUSHALL")}) == "OK";
}

QByteArray RedisServer::runCli(const QStringList& args, const QByteArray* lastArgument) const
{
    QStringList arguments{QStringLiteral("-p"), QString::number(m_port), QStringLiteral("--raw")};
    QProcess process;
    if (lastArgument)
        arguments << QStringLiteral("-x");
    else
        process.setStandardInputFile(QProcess::nullDevice());
    process.start(QStringLiteral("redis-cli"), arguments + args);
    if (lastArgument) {
        process.write(*lastArgument);
        process.closeWriteChannel();
    }
    if (!process.waitForFinished(CliPatience))
        process.kill();
    QByteArray output = process.readAllStandardOutput();
    if (output.endsWith('\n'))
        output.chop(1);
    return output;
}
