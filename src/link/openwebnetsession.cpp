#include "openwebnetsession.h"

namespace Frame = OpenWebNetFrame;

namespace {

// A status request may be answered by many frames before its ACK; more than this is no bus.
constexpr qsizetype maxAnswers = 4096;

} // namespace

OwnSession::OwnSession(Kind kind, QObject* parent) : QObject(parent), m_kind(kind)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &OwnSession::onTimeout);
    connect(&m_socket, &QTcpSocket::connected, this, &OwnSession::onConnected);
    connect(&m_socket, &QTcpSocket::readyRead, this, &OwnSession::onReadyRead);
    connect(&m_socket, &QTcpSocket::disconnected, this, &OwnSession::onDisconnected);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        if (m_state == State::Connecting)
            fail(BusError::NoServer, m_server.address());
        else if (m_state != State::Closed)
            onDisconnected();
    });
}

void OwnSession::setWaits(int connectMs, int answerMs)
{
    m_connectMs = connectMs;
    m_answerMs = answerMs;
}

void OwnSession::open(const BusServer& server)
{
    close();
    m_server = server;
    m_reader = OwnFrameReader();
    m_state = State::Connecting;
    m_timer.start(m_connectMs);
    m_socket.connectToHost(server.host, server.port);
}

void OwnSession::send(const QByteArray& frame)
{
    if (m_kind != Kind::Command || m_state != State::Open)
        return;
    m_command = frame;
    m_answers.clear();
    write(frame, State::Waiting);
}

void OwnSession::close()
{
    m_state = State::Closed;
    m_timer.stop();
    m_socket.abort();
}

void OwnSession::Discard(OwnSession*& session, const QObject* receiver)
{
    if (!session)
        return;
    session->disconnect(receiver);
    session->close();
    session->deleteLater();
    session = nullptr;
}

void OwnSession::onConnected()
{
    // The greeting belongs to the connection: it must come within the connection's bound.
    m_state = State::Opening;
    m_handshake.emplace(m_kind == Kind::Command ? Frame::CommandSession : Frame::EventSession, m_server);
}

void OwnSession::onReadyRead()
{
    if (!m_reader.feed(m_socket.readAll())) {
        fail(BusError::Garbage, m_reader.badBytes());
        return;
    }
    // A handler may end the session; then the rest is dropped.
    while (m_reader.hasFrame() && m_state != State::Closed)
        handleFrame(m_reader.takeFrame());
}

void OwnSession::onDisconnected()
{
    if (m_state == State::Closed)
        return;
    // A server that hangs up before its greeting is no bus server this program can talk to.
    if (m_state == State::Connecting || awaitsGreeting())
        fail(BusError::NoServer, m_server.address());
    else
        fail(BusError::ConnectionLost);
}

void OwnSession::onTimeout()
{
    if (m_state == State::Connecting)
        fail(BusError::NoServer, m_server.address());
    else if (awaitsGreeting())
        fail(BusError::NoGreeting, m_server.address());
    else
        fail(BusError::NoAnswer);
}

void OwnSession::handleFrame(const QByteArray& frame)
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

void OwnSession::handleHandshake(const QByteArray& frame)
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

bool OwnSession::awaitsGreeting() const
{
    return m_state == State::Opening && m_handshake->step() == OwnHandshake::Step::Greeting;
}

void OwnSession::handleAnswer(const QByteArray& frame)
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
        return fail(BusError::Garbage, QString::fromLatin1(frame));
    m_answers << frame;
    // Every answer frame shows the server is still at it.
    m_timer.start(m_answerMs);
}

void OwnSession::write(const QByteArray& frame, State next)
{
    m_state = next;
    m_timer.start(m_answerMs);
    m_socket.write(frame);
}

void OwnSession::becomeOpen()
{
    m_timer.stop();
    m_state = State::Open;
    emit opened();
}

void OwnSession::fail(BusError error, const QString& detail)
{
    if (m_state == State::Closed)
        return;
    close();
    emit failed(error, detail);
}
