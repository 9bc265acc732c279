#pragma once

#include "buserror.h"
#include "openwebnetframe.h"
#include "openwebnethandshake.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>

#include <optional>

// One OpenWebNet session with the installation's bus server, on Qt's asynchronous socket: a
// command session sends frames and gets each one acknowledged or refused; an event session
// receives what happens on the bus. The password scheme is the one the server asks for: none, the
// numeric scheme, or the hash handshake with SHA-256 or SHA-1.
//
// Every wait is bounded: the connection and the server's greeting within connectMs, each answer
// within answerMs. Any failure ends the session with failed(); it is emitted once and nothing
// follows it. Deleting the session or calling close() ends it without a signal.
class OwnSession : public QObject
{
    Q_OBJECT

public:
    enum class Kind
    {
        Command,
        Event
    };
    static constexpr int defaultConnectMs = 5000;
    static constexpr int defaultAnswerMs = 5000;

    explicit OwnSession(Kind kind, QObject* parent = nullptr);

    void setWaits(int connectMs, int answerMs);
    void open(const BusServer& server);
    bool isOpen() const { return m_state == State::Open; }
    // A command session, open and not waiting: sends frame; answered() or refused() follows.
    void send(const QByteArray& frame);
    void close();
    // Closes session, keeps it from reaching receiver again and has it deleted once its own
    // events are done (a tool may end it from one of its signals); session becomes null.
    static void Discard(OwnSession*& session, const QObject* receiver);

Q_SIGNALS:
    void opened();
    // The server acknowledged the command; frames: what it sent before the ACK (status answers).
    void answered(const QList<QByteArray>& frames);
    // The server answered the command with NACK; the session stays open.
    void refused(const QByteArray& frame);
    // A frame of an event session.
    void eventFrame(const QByteArray& frame);
    void failed(BusError error, const QString& detail);

private:
    enum class State
    {
        Closed,
        Connecting,
        Opening, // the handshake runs
        Open,
        Waiting,
    };

    void onConnected();
    void onReadyRead();
    void onDisconnected();
    void onTimeout();
    void handleFrame(const QByteArray& frame);
    void handleHandshake(const QByteArray& frame);
    bool awaitsGreeting() const;
    void handleAnswer(const QByteArray& frame);
    void write(const QByteArray& frame, State next);
    void becomeOpen();
    void fail(BusError error, const QString& detail = {});

    Kind m_kind;
    int m_connectMs = defaultConnectMs;
    int m_answerMs = defaultAnswerMs;
    BusServer m_server;
    QTcpSocket m_socket;
    QTimer m_timer;
    OwnFrameReader m_reader;
    State m_state = State::Closed;
    std::optional<OwnHandshake> m_handshake;
    QByteArray m_command;
    QList<QByteArray> m_answers;
};
