#pragma once

// The client's side of opening an OpenWebNet session on arbitrary bytes from the server.
//
// Input: one byte whose lowest bit chooses an event session over a command session, one byte for
// the size of the pieces in which the server's bytes arrive (0: all at once), the server's bytes,
// NUL, and the password (UTF-8). The bytes go through the frame reader, and each frame to the
// handshake, until it is open or has failed. Besides not crashing:
// - while the handshake goes on, its answer to each frame is one frame;
// - the numeric scheme answers the nonce with its number for the password; the hash scheme sends
//   its random value and the proof for the server's value, and opens only for the server's proof
//   of the same password;
// - a failure names its reason, with the frame that was no answer for Garbage;
// - once open or failed, nothing changes any more.

#include "fuzzcheck.h"
#include "link/openwebnetauth.h"
#include "link/openwebnetframe.h"
#include "link/openwebnethandshake.h"

namespace fuzz {

namespace ownhandshake {

using Step = OwnHandshake::Step;

// The client's random value: fixed, so that the check can follow the hash scheme.
inline QByteArray fixedRandom(qsizetype bytes)
{
    return QByteArray(bytes, '\x5a').toHex();
}

inline QByteArray digitFrame(const QByteArray& hex)
{
    return "*#" + OpenWebNetAuth::toDigits(hex) + "##";
}

// What the client must answer to frame in step, when the step goes on; nothing when the check
// does not know it in advance.
class Expectation
{
public:
    explicit Expectation(QString password) : m_password(std::move(password)) {}

    void see(Step step, const QByteArray& frame)
    {
        if (step == Step::Identifying && frame.startsWith("*98*"))
            m_algorithm = frame == "*98*1##" ? QCryptographicHash::Sha1 : QCryptographicHash::Sha256;
        if (step == Step::HashRandom) {
            const auto ra = OpenWebNetAuth::fromDigits(frame.mid(2, frame.size() - 4));
            const QByteArray rb = fixedRandom(QCryptographicHash::hashLength(m_algorithm));
            m_proof = OpenWebNetAuth::hashProof(m_algorithm, m_password, ra.value_or(QByteArray()), rb);
            m_reply = "*#" + OpenWebNetAuth::toDigits(rb) + '*' +
                      OpenWebNetAuth::toDigits(m_proof.clientProof) + "##";
        } else if (step == Step::Identifying && frame.startsWith("*#")) {
            const auto answer = OpenWebNetAuth::numericAnswer(
                m_password, QString::fromLatin1(frame.mid(2, frame.size() - 4)));
            m_reply = "*#" + QByteArray::number(answer.value_or(0)) + "##";
        } else {
            m_reply.clear();
        }
    }
    const QByteArray& reply() const { return m_reply; }
    QByteArray serverProof() const { return digitFrame(m_proof.expectedServer); }

private:
    QString m_password;
    QCryptographicHash::Algorithm m_algorithm = QCryptographicHash::Sha256;
    OpenWebNetAuth::HashProof m_proof;
    QByteArray m_reply;
};

inline bool isOneFrame(const QByteArray& bytes)
{
    OwnFrameReader reader;
    if (!reader.feed(bytes) || !reader.hasFrame())
        return false;
    return reader.takeFrame() == bytes && !reader.hasFrame();
}

inline QString checkStep(OwnHandshake& handshake, Expectation& expected, const QByteArray& frame)
{
    const Step before = handshake.step();
    expected.see(before, frame);
    const QByteArray reply = handshake.take(frame);
    const Step after = handshake.step();
    const QString seen = QStringLiteral("in step %1, %2 gives step %3 and %4")
                             .arg(int(before))
                             .arg(QString::fromLatin1(frame))
                             .arg(int(after))
                             .arg(QString::fromLatin1(reply));
    if (after == Step::Failed) {
        const bool named =
            handshake.error() != BusError::None &&
            (handshake.error() != BusError::Garbage || handshake.detail() == QString::fromLatin1(frame));
        return named && reply.isEmpty() ? QString() : seen + QStringLiteral(": failure unnamed or answered");
    }
    if (after == Step::Open) {
        const bool proven = before != Step::HashConfirm || frame == expected.serverProof();
        const bool acked = before == Step::HashConfirm ? reply == OpenWebNetFrame::Ack : reply.isEmpty();
        return proven && acked ? QString() : seen + QStringLiteral(": opened without proof or answer");
    }
    if (!isOneFrame(reply))
        return seen + QStringLiteral(": the answer is no frame");
    if (!expected.reply().isEmpty() && reply != expected.reply())
        return seen + QStringLiteral(": expected ") + QString::fromLatin1(expected.reply());
    return {};
}

} // namespace ownhandshake

inline QString CheckOwnHandshake(const QByteArray& input)
{
    using namespace ownhandshake;
    if (input.size() < 2)
        return {};
    const QList<QByteArray> parts = splitTail(input.mid(2), 1);
    const QByteArray& bytes = parts[0];
    const QString password = parts.size() > 1 ? QString::fromUtf8(parts[1]) : QString();
    const qsizetype piece = quint8(input[1]) > 0 ? quint8(input[1]) : std::max<qsizetype>(bytes.size(), 1);
    const QByteArray sessionFrame =
        input[0] & 1 ? OpenWebNetFrame::EventSession : OpenWebNetFrame::CommandSession;

    OwnHandshake handshake(sessionFrame, BusServer{QStringLiteral("gateway"), 20000, password}, fixedRandom);
    Expectation expected(password);
    OwnFrameReader reader;
    for (qsizetype at = 0; at < bytes.size() && reader.feed(bytes.mid(at, piece)); at += piece) {
        while (reader.hasFrame()) {
            const QByteArray frame = reader.takeFrame();
            const Step before = handshake.step();
            if (before == Step::Open || before == Step::Failed) {
                const BusError error = handshake.error();
                if (!handshake.take(frame).isEmpty() || handshake.step() != before ||
                    handshake.error() != error)
                    return QStringLiteral("a frame after the end changed the handshake");
                continue;
            }
            const QString failure = checkStep(handshake, expected, frame);
            if (!failure.isEmpty())
                return failure;
        }
    }
    return {};
}

} // namespace fuzz
