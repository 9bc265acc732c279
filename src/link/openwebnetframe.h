#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// OpenWebNet frames: "*" followed by digits, "*" and "#", ended by "##".
namespace OpenWebNetFrame {

inline const QByteArray Ack = QByteArrayLiteral("*#*1##");
inline const QByteArray Nack = QByteArrayLiteral("*#*0##");
inline const QByteArray CommandSession = QByteArrayLiteral("*99*0##");
inline const QByteArray EventSession = QByteArrayLiteral("*99*1##");

// A frame "*WHO*WHAT*WHERE##"; WHAT may carry parameters after "#" (a CEN key's "07#1").
struct OwnCommand
{
    QString who;
    QString what;
    QString where;
};
// The parts of a command frame; nothing for any other frame (status requests, answers, ACK).
std::optional<OwnCommand> ParseCommand(const QByteArray& frame);

} // namespace OpenWebNetFrame

// Cuts the byte stream of a bus server into frames. Memory stays bounded: a frame longer than
// maxFrame bytes, or a byte that no frame holds, makes the stream bad for good.
class OwnFrameReader
{
public:
    static constexpr qsizetype maxFrame = 1024;

    // Takes the bytes; false once the stream is bad.
    bool feed(const QByteArray& bytes);
    bool isBad() const { return m_bBad; }
    // What made the stream bad, for the error text (printable, shortened).
    QString badBytes() const { return m_badBytes; }
    bool hasFrame() const { return !m_frames.isEmpty(); }
    QByteArray takeFrame() { return m_frames.takeFirst(); }

private:
    void markBad(const QByteArray& bytes);

    QByteArray m_pending;
    QList<QByteArray> m_frames;
    bool m_bBad = false;
    QString m_badBytes;
};
