#include "scriptedresppeer.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include <sys/socket.h>

#include <future>

namespace {

// The first complete request in bytes (an array of bulk strings), removed from bytes together with
// its parts; false while the request is still incomplete.
bool takeRequest(QByteArray& bytes, QByteArray& raw, QList<QByteArray>& parts)
{
    qsizetype position = 0;
    auto header = [&](char kind) -> qsizetype {
        const qsizetype end = bytes.indexOf("\r\n", position);
        if (end < 0 || bytes.at(position) != kind)
            return -1;
        const qsizetype number = bytes.mid(position + 1, end - position - 1).toLongLong();
        position = end + 2;
        return number;
    };
    QList<QByteArray> found;
    qsizetype count = header('*');
    for (; count > 0; --count) {
        const qsizetype length = header('$');
        if (length < 0 || position + length + 2 > bytes.size())
            return false;
        found << bytes.mid(position, length);
        position += length + 2;
    }
    if (count != 0)
        return false;
    raw = bytes.first(position);
    parts = found;
    bytes.remove(0, position);
    return true;
}

} // namespace

ScriptedRespPeer::ScriptedRespPeer(QList<QByteArray> replies, Ending ending)
    : m_replies(std::move(replies)), m_ending(ending)
{
    std::promise<quint16> listening;
    std::future<quint16> port = listening.get_future();
    m_thread = std::thread([this, listening = std::move(listening)]() mutable {
        QTcpServer server;
        listening.set_value(server.listen(QHostAddress::LocalHost) ? server.serverPort() : 0);
        serve(server);
    });
    m_port = port.get();
}

ScriptedRespPeer::~ScriptedRespPeer()
{
    finish();
}

QList<QByteArray> ScriptedRespPeer::rawRequests()
{
    finish();
    return m_rawRequests;
}

QList<QList<QByteArray>> ScriptedRespPeer::requests()
{
    finish();
    return m_requests;
}

bool ScriptedRespPeer::clientClosed()
{
    finish();
    return m_clientClosed;
}

void ScriptedRespPeer::finish()
{
    if (m_thread.joinable())
        m_thread.join();
}

void ScriptedRespPeer::serve(QTcpServer& server)
{
    if (!server.isListening() || !server.waitForNewConnection(Patience))
        return;
    QTcpSocket* socket = server.nextPendingConnection();
    QByteArray received;
    QByteArray raw;
    QList<QByteArray> parts;
    for (const QByteArray& reply : m_replies) {
        while (!takeRequest(received, raw, parts)) {
            if (!socket->waitForReadyRead(Patience))
                return;
            received += socket->readAll();
        }
        m_rawRequests << raw;
        m_requests << parts;
        if (reply == Trickle) {
            trickle(*socket);
            return;
        }
        socket->write(reply);
        while (socket->bytesToWrite() > 0 && socket->waitForBytesWritten(Patience)) {
        }
    }
    if (m_ending == HangUp)
        ::shutdown(socket->socketDescriptor(), SHUT_WR);
    else if (m_ending == Close)
        socket->disconnectFromHost();
    while (socket->state() == QAbstractSocket::ConnectedState && socket->waitForReadyRead(Patience)) {
        received += socket->readAll();
        while (takeRequest(received, raw, parts)) {
            m_rawRequests << raw;
            m_requests << parts;
        }
    }
    m_clientClosed = socket->error() == QAbstractSocket::RemoteHostClosedError;
}

void ScriptedRespPeer::trickle(QTcpSocket& socket)
{
    socket.write("$1000\r\n");
    QElapsedTimer patience;
    patience.start();
    while (socket.state() == QAbstractSocket::ConnectedState && !patience.hasExpired(Patience)) {
        socket.write("x");
        socket.waitForBytesWritten(TrickleMs);
        socket.waitForReadyRead(TrickleMs);
    }
}
