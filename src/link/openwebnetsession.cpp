#include "openwebnetsession.h"

namespace Frame = OpenWebNetFrame;

namespace {

// A status request may be answered by many frames before its ACK; more than this is no bus.
constexpr qsizetype maxAnswers = 4096;

} // namespace

TOwnSession::TOwnSession(Kind kind, QObject* parent) : QObject(parent), m_kind(kind)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TOwnSession::onTimeout);
    connect(&m_socket, &QTcpSocket::connected, this, &TOwnSession::onConnected);
    connect(&m_socket, &QTcpSocket::readyRead, this, &TOwnSession::onReadyRead);
    connect(&m_socket, &QTcpSocket::disconnected, this, &TOwnSession::onDisconnected);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        if (m_state == State::Connecting)
            fail(TBusError::NoServer, m_server.address());
        else if (m_state != State::Closed)
            onDisconnected();
    });
}

void TOwnSession::setWaits(int connectMs, int answerMs)
{
    m_connectMs = connectMs;
    m_answerMs = answerMs;
}

void TOwnSession::open(const TBusServer& server)
{
    close();
    m_server = server;
    m_reader = TOwnFrameReader();
    m_state = State::Connecting;
    m_timer.start(m_connectMs);
    m_socket.connectToHost(server.host, server.port);
}

void TOwnSession::send(const QByteArray& frame)
{
    if (m_kind != Kind::Command || m_state != State::Open)
        return;
    m_command = frame;
    m_answers.clear();
    write(frame, State::Waiting);
}

void TOwnSession::close()
{
    m_state = State::Closed;
    m_timer.stop();
    m_socket.abort();
}

void TOwnSession::Discard(TOwnSession*& session, const QObject* receiver)
{
    if (!session)
        return;
    session->disconnect(receiver);
    session->close();
    session->deleteLater();
    session = nullptr;
}

void TOwnSession::onConnected()
{
    // The greeting belongs to the connection: it must come within the connection's bound.
    m_state = State::Opening;
    m_handshake.emplace(m_kind == Kind::Command ? Frame::CommandSession : Frame::EventSession, m_server);
}

void TOwnSession::onReadyRead()
{
    if (!m_reader.feed(m_socket.readAll())) {
        fail(TBusError::Garbage, m_reader.badBytes());
        return;
    }
    // A handler may end the session; then the rest is dropped.
    while (m_reader.hasFrame() && m_state != State::Closed)
        handleFrame(m_reader.takeFrame());
}

void TOwnSession::onDisconnected()
{
    if (m_state == State::Closed)
        return;
    // A server that hangs up before its greeting is no bus server this program can talk to.
    if (m_state == State::Connecting || awaitsGreeting())
        fail(TBusError::NoServer, m_server.address());
    else
        fail(TBusError::ConnectionLost);
}

void TOwnSession::onTimeout()
{
    if (m_state == State::Connecting)
        fail(TBusError::NoServer, m_server.address());
    else if (awaitsGreeting())
        fail(TBusError::NoGreeting, m_server.address());
    else
        fail(TBusError::NoAnswer);
}

void TOwnSession::handleFrame(const QByteArray& frame)
{
    switch (m_state) {
    case State::Opening:
        return handleHandshake(frame);
    case State::Open:
        if (m_kind == Kind::Event)
            emit eventFrame(frame);
        // A command session's server speaks only when asked; anything else is ignored.
        return;
    case State::Waiting:
        return handleAnswer(frame);
    case State::Closed:
    case State::Connecting:
        return;
    }
}

void TOwnSession::handleHandshake(const QByteArray& frame)
{
    const QByteArray reply = m_handshake->take(frame);
    switch (m_handshake->step()) {
    case OwnHandshake::Step::Failed:
        return fail(m_handshake->error(), m_handshake->detail());
    case OwnHandshake::Step::Open:
        if (!reply.isEmpty())
            m_socket.write(reply);
        return becomeOpen();
    default:
        return write(reply, State::Opening);
    }
}

bool TOwnSession::awaitsGreeting() const
{
    return m_state == State::Opening && m_handshake->step() == OwnHandshake::Step::Greeting;
}

void TOwnSession::handleAnswer(const QByteArray& frame)
{
    if (frame == Frame::Ack) {
        m_timer.stop();
        m_state = State::Open;
        emit answered(std::exchange(m_answers, {}));
        return;
    }
    if (frame == Frame::Nack) {
        m_timer.stop();
        m_state = State::Open;
        emit refused(m_command);
        return;
    }
    if (m_answers.size() >= maxAnswers)
        return fail(TBusError::Garbage, QString::fromLatin1(frame));
    m_answers << frame;
    // Every answer frame shows the server is still at it.
    m_timer.start(m_answerMs);
}

void TOwnSession::write(const QByteArray& frame, State next)
{
    m_state = next;
    m_timer.start(m_answerMs);
    m_socket.write(frame);
}

void TOwnSession::becomeOpen()
{
    m_timer.stop();
    m_state = State::Open;
    emit opened();
}

void TOwnSession::fail(TBusError error, const QString& detail)
{
    if (m_state == State::Closed)
        return;
    close();
    emit failed(error, detail);
}
