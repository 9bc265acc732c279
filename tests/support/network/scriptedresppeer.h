#pragma once

#include <QByteArray>
#include <QList>

#include <thread>

class QTcpServer;
class QTcpSocket;

// A stand-in Redis store on loopback that answers each request with the next scripted reply, to see
// how the program copes with replies a real store never sends. It serves one connection on a thread
// of its own, because the client blocks the test's thread while it waits. After its last reply it
// ends as told, then collects whatever else comes until the client closes the connection.
class ScriptedRespPeer
{
public:
    // How long the peer waits for the client before it gives up on the test.
    static constexpr int Patience = 5000;
    // A reply that announces a value of 1000 bytes and then sends one byte of it every TrickleMs,
    // until the client closes the connection; it ends the script.
    static inline const QByteArray Trickle = "trickle";
    static constexpr int TrickleMs = 40;

    enum Ending
    {
        KeepSilent,
        HangUp, // shuts its sending side: the client reads the end of the stream
        Close,  // closes the connection
    };

    explicit ScriptedRespPeer(QList<QByteArray> replies, Ending ending = KeepSilent);
    ~ScriptedRespPeer();
    ScriptedRespPeer(const ScriptedRespPeer&) = delete;
    ScriptedRespPeer& operator=(const ScriptedRespPeer&) = delete;

    quint16 port() const { return m_port; }
    // The following wait until the client has closed the connection (or the peer gave up on it).
    // Each complete request (an array of bulk strings) as it came, and by its parts.
    QList<QByteArray> rawRequests();
    QList<QList<QByteArray>> requests();
    bool clientClosed();

private:
    void finish();
    void serve(QTcpServer& server);
    static void trickle(QTcpSocket& socket);

    const QList<QByteArray> m_replies;
    const Ending m_ending;
    quint16 m_port = 0;
    std::thread m_thread;
    QList<QByteArray> m_rawRequests;
    QList<QList<QByteArray>> m_requests;
    bool m_clientClosed = false;
};
