#include "openwebnetsession.h"

#include "openwebnetauth.h"

#include <QRandomGenerator>

using namespace Qt::StringLiterals;
namespace Frame = OpenWebNetFrame;

namespace {

// A status request may be answered by many frames before its ACK; more than this is no bus.
constexpr qsizetype maxAnswers = 4096;

// The value of a frame "*#<digits>##", or nothing.
std::optional<QByteArray> digitsValue(const QByteArray& frame)
{
    if (!frame.startsWith("*#") || !frame.endsWith("##") || frame.size() <= 4)
        return std::nullopt;
    const QByteArray value = frame.mid(2, frame.size() - 4);
    for (const char c : value) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    return value;
}

QByteArray randomHex(qsizetype bytes)
{
    QByteArray random(bytes, Qt::Uninitialized);
    QRandomGenerator::system()->generate(random.begin(), random.end());
    return random.toHex();
}

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
            fail(TBusError::NoServer, address());
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
    m_state = State::Greeting;
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
    if (m_state == State::Connecting || m_state == State::Greeting)
        fail(TBusError::NoServer, address());
    else
        fail(TBusError::ConnectionLost);
}

void TOwnSession::onTimeout()
{
    if (m_state == State::Connecting)
        fail(TBusError::NoServer, address());
    else if (m_state == State::Greeting)
        fail(TBusError::NoGreeting, address());
    else
        fail(TBusError::NoAnswer);
}

void TOwnSession::handleFrame(const QByteArray& frame)
{
    switch (m_state) {
    case State::Greeting:
        if (frame != Frame::Ack)
            return fail(TBusError::Garbage, QString::fromLatin1(frame));
        write(m_kind == Kind::Command ? Frame::CommandSession : Frame::EventSession, State::Identifying);
        return;
    case State::Identifying:
        return handleIdentity(frame);
    case State::NumericCheck:
        if (frame == Frame::Ack)
            return becomeOpen();
        return fail(frame == Frame::Nack ? TBusError::PasswordRefused : TBusError::Garbage,
                    QString::fromLatin1(frame));
    case State::HashRandom:
        return handleHashRandom(frame);
    case State::HashConfirm:
        return handleHashConfirm(frame);
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

void TOwnSession::handleIdentity(const QByteArray& frame)
{
    if (frame == Frame::Ack)
        return becomeOpen();
    // No password was asked for yet: the server refuses this computer, not a password.
    if (frame == Frame::Nack)
        return fail(TBusError::SessionRefused, address());
    if (frame == "*98*1##" || frame == "*98*2##") {
        m_algorithm = frame == "*98*1##" ? QCryptographicHash::Sha1 : QCryptographicHash::Sha256;
        write(Frame::Ack, State::HashRandom);
        return;
    }
    if (const auto nonce = digitsValue(frame)) {
        const auto answer = OpenWebNetAuth::NumericAnswer(m_server.password, QString::fromLatin1(*nonce));
        // The numeric scheme knows digits only: another password can never be right.
        if (!answer)
            return fail(TBusError::PasswordRefused);
        write("*#" + QByteArray::number(*answer) + "##", State::NumericCheck);
        return;
    }
    fail(TBusError::Garbage, QString::fromLatin1(frame));
}

void TOwnSession::handleHashRandom(const QByteArray& frame)
{
    if (frame == Frame::Nack)
        return fail(TBusError::PasswordRefused);
    const qsizetype hashBytes = QCryptographicHash::hashLength(m_algorithm);
    const auto digits = digitsValue(frame);
    const auto ra = digits ? OpenWebNetAuth::FromDigits(*digits) : std::nullopt;
    if (!ra || ra->size() != hashBytes * 2)
        return fail(TBusError::Garbage, QString::fromLatin1(frame));
    const QByteArray rb = randomHex(hashBytes);
    const auto proof = OpenWebNetAuth::HashProof(m_algorithm, m_server.password, *ra, rb);
    m_expectedServer = proof.expectedServer;
    write("*#" + OpenWebNetAuth::ToDigits(rb) + '*' + OpenWebNetAuth::ToDigits(proof.clientProof) + "##",
          State::HashConfirm);
}

void TOwnSession::handleHashConfirm(const QByteArray& frame)
{
    const auto digits = digitsValue(frame);
    const auto hash = digits ? OpenWebNetAuth::FromDigits(*digits) : std::nullopt;
    // A server that cannot prove it knows the password is refused like a wrong password.
    if (!hash || *hash != m_expectedServer)
        return fail(frame == Frame::Nack || hash ? TBusError::PasswordRefused : TBusError::Garbage,
                    QString::fromLatin1(frame));
    m_socket.write(Frame::Ack);
    becomeOpen();
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

QString TOwnSession::address() const
{
    return m_server.host + u':' + QString::number(m_server.port);
}
