#pragma once

#include "buserror.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>

#include <functional>

// The client's part of opening an OpenWebNet session, without a socket: from the server's greeting
// to an open session, one server frame at a time. The password scheme is the one the server asks
// for: none, the numeric scheme, or the hash handshake with SHA-256 or SHA-1.
class OwnHandshake
{
public:
    enum class Step
    {
        Greeting,
        Identifying,
        NumericCheck,
        HashRandom,
        HashConfirm,
        Open,
        Failed,
    };
    // A hexadecimal random value of the given number of bytes, the client's own for the hash scheme.
    using RandomHex = std::function<QByteArray(qsizetype bytes)>;

    // sessionFrame: the frame that asks for a command or an event session.
    OwnHandshake(QByteArray sessionFrame, BusServer server, RandomHex random = systemRandomHex);

    // Takes the server's next frame and returns the frame to send back, empty for none. Once Open
    // or Failed, further frames change nothing.
    QByteArray take(const QByteArray& frame);

    Step step() const { return m_step; }
    // Why the handshake failed, with the detail the error text shows.
    BusError error() const { return m_error; }
    const QString& detail() const { return m_detail; }

    static QByteArray systemRandomHex(qsizetype bytes);

private:
    QByteArray takeIdentity(const QByteArray& frame);
    QByteArray takeHashRandom(const QByteArray& frame);
    QByteArray takeHashConfirm(const QByteArray& frame);
    QByteArray advance(Step next, QByteArray reply);
    QByteArray fail(BusError error, const QString& detail = {});

    QByteArray m_sessionFrame;
    BusServer m_server;
    RandomHex m_random;
    Step m_step = Step::Greeting;
    BusError m_error = BusError::None;
    QString m_detail;
    QCryptographicHash::Algorithm m_algorithm = QCryptographicHash::Sha256;
    QByteArray m_expectedServer;
};
