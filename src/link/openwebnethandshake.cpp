#include "openwebnethandshake.h"

#include "openwebnetauth.h"
#include "openwebnetframe.h"

#include <QRandomGenerator>

namespace Frame = OpenWebNetFrame;

namespace {

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

} // namespace

OwnHandshake::OwnHandshake(QByteArray sessionFrame, BusServer server, RandomHex random)
    : m_sessionFrame(std::move(sessionFrame)), m_server(std::move(server)), m_random(std::move(random))
{
}

QByteArray OwnHandshake::systemRandomHex(qsizetype bytes)
{
    QByteArray random(bytes, Qt::Uninitialized);
    QRandomGenerator::system()->generate(random.begin(), random.end());
    return random.toHex();
}

QByteArray OwnHandshake::take(const QByteArray& frame)
{
    switch (m_step) {
    case Step::Greeting:
        if (frame != Frame::Ack)
            return fail(BusError::Garbage, QString::fromLatin1(frame));
        return advance(Step::Identifying, m_sessionFrame);
    case Step::Identifying:
        return takeIdentity(frame);
    case Step::NumericCheck:
        if (frame == Frame::Ack)
            return advance(Step::Open, {});
        return fail(frame == Frame::Nack ? BusError::PasswordRefused : BusError::Garbage,
                    QString::fromLatin1(frame));
    case Step::HashRandom:
        return takeHashRandom(frame);
    case Step::HashConfirm:
        return takeHashConfirm(frame);
    case Step::Open:
    case Step::Failed:
        return {};
    }
    return {};
}

QByteArray OwnHandshake::takeIdentity(const QByteArray& frame)
{
    if (frame == Frame::Ack)
        return advance(Step::Open, {});
    // No password was asked for yet: the server refuses this computer, not a password.
    if (frame == Frame::Nack)
        return fail(BusError::SessionRefused, m_server.address());
    if (frame == "*98*1##" || frame == "*98*2##") {
        m_algorithm = frame == "*98*1##" ? QCryptographicHash::Sha1 : QCryptographicHash::Sha256;
        return advance(Step::HashRandom, Frame::Ack);
    }
    if (const auto nonce = digitsValue(frame)) {
        const auto answer = OpenWebNetAuth::numericAnswer(m_server.password, QString::fromLatin1(*nonce));
        // The numeric scheme knows digits only: another password can never be right.
        if (!answer)
            return fail(BusError::PasswordRefused);
        return advance(Step::NumericCheck, "*#" + QByteArray::number(*answer) + "##");
    }
    return fail(BusError::Garbage, QString::fromLatin1(frame));
}

QByteArray OwnHandshake::takeHashRandom(const QByteArray& frame)
{
    if (frame == Frame::Nack)
        return fail(BusError::PasswordRefused);
    const qsizetype hashBytes = QCryptographicHash::hashLength(m_algorithm);
    const auto digits = digitsValue(frame);
    const auto ra = digits ? OpenWebNetAuth::fromDigits(*digits) : std::nullopt;
    if (!ra || ra->size() != hashBytes * 2)
        return fail(BusError::Garbage, QString::fromLatin1(frame));
    const QByteArray rb = m_random(hashBytes);
    const auto proof = OpenWebNetAuth::hashProof(m_algorithm, m_server.password, *ra, rb);
    m_expectedServer = proof.expectedServer;
    return advance(Step::HashConfirm, "*#" + OpenWebNetAuth::toDigits(rb) + '*' +
                                          OpenWebNetAuth::toDigits(proof.clientProof) + "##");
}

QByteArray OwnHandshake::takeHashConfirm(const QByteArray& frame)
{
    const auto digits = digitsValue(frame);
    const auto hash = digits ? OpenWebNetAuth::fromDigits(*digits) : std::nullopt;
    // A server that cannot prove it knows the password is refused like a wrong password.
    if (!hash || *hash != m_expectedServer)
        return fail(frame == Frame::Nack || hash ? BusError::PasswordRefused : BusError::Garbage,
                    QString::fromLatin1(frame));
    return advance(Step::Open, Frame::Ack);
}

QByteArray OwnHandshake::advance(Step next, QByteArray reply)
{
    m_step = next;
    return reply;
}

QByteArray OwnHandshake::fail(BusError error, const QString& detail)
{
    m_step = Step::Failed;
    m_error = error;
    m_detail = detail;
    return {};
}
