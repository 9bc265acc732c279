#pragma once

// The OpenWebNet frame reader on arbitrary bytes from a bus server.
//
// Input: one byte for the size of the pieces in which the bytes arrive (0: all at once), then the
// bytes. Besides not crashing or holding more than a frame's worth of bytes it has not handed on:
// - the frames are the input's bytes in order, each "*", digits, "*" and "#", ended by its first
//   "##"; once the stream is bad no frame follows, and what it shows of the bad bytes is printable;
// - when no frame is longer than the reader's bound, the pieces do not matter: reading all at once
//   gives the same frames and the same verdict;
// - a frame read as a command has the parts that make it up again.

#include "fuzzcheck.h"
#include "link/openwebnetframe.h"

namespace fuzz {

namespace ownframe {

struct Reading
{
    QList<QByteArray> frames;
    bool bad = false;
    QString badBytes;
};

inline Reading read(const QByteArray& bytes, qsizetype piece)
{
    OwnFrameReader reader;
    Reading reading;
    for (qsizetype at = 0; at < bytes.size() && !reading.bad; at += piece) {
        reading.bad = !reader.feed(bytes.mid(at, piece));
        while (reader.hasFrame())
            reading.frames << reader.takeFrame();
    }
    reading.badBytes = reader.badBytes();
    if (reading.bad != reader.isBad())
        reading.badBytes = QStringLiteral("<feed and isBad disagree>");
    return reading;
}

inline bool isFrame(const QByteArray& frame)
{
    if (frame.size() < 3 || !frame.startsWith('*') || frame.indexOf("##") != frame.size() - 2)
        return false;
    return std::all_of(frame.cbegin(), frame.cend(),
                       [](char c) { return (c >= '0' && c <= '9') || c == '*' || c == '#'; });
}

inline QString checkFrames(const QByteArray& bytes, const Reading& reading)
{
    QByteArray joined;
    for (const QByteArray& frame : reading.frames) {
        if (!isFrame(frame))
            return QStringLiteral("%1 is no frame").arg(QString::fromLatin1(frame.toHex()));
        joined += frame;
        if (const auto command = OpenWebNetFrame::ParseCommand(frame)) {
            const QString again = u'*' + command->who + u'*' + command->what + u'*' + command->where + u"##";
            if (again.toLatin1() != frame)
                return QStringLiteral("command %1 reads as %2").arg(QString::fromLatin1(frame), again);
        }
    }
    if (!bytes.startsWith(joined))
        return QStringLiteral("the frames are not the input's bytes");
    if (reading.badBytes.size() > 40 ||
        std::any_of(reading.badBytes.cbegin(), reading.badBytes.cend(), [](QChar c) { return !c.isPrint(); }))
        return QStringLiteral("bad bytes shown as %1").arg(reading.badBytes);
    if (!reading.bad && bytes.size() - joined.size() > OwnFrameReader::maxFrame)
        return QStringLiteral("%1 bytes held back").arg(bytes.size() - joined.size());
    return {};
}

} // namespace ownframe

inline QString CheckOwnFrame(const QByteArray& input)
{
    using namespace ownframe;
    if (input.isEmpty())
        return {};
    const QByteArray bytes = input.mid(1);
    const qsizetype piece = quint8(input[0]) > 0 ? quint8(input[0]) : std::max<qsizetype>(bytes.size(), 1);
    const Reading pieces = read(bytes, piece);
    const QString failure = checkFrames(bytes, pieces);
    if (!failure.isEmpty())
        return failure;
    const Reading whole = read(bytes, std::max<qsizetype>(bytes.size(), 1));
    const bool bounded = std::all_of(whole.frames.cbegin(), whole.frames.cend(), [](const QByteArray& frame) {
        return frame.size() <= OwnFrameReader::maxFrame;
    });
    if (bounded && (whole.frames != pieces.frames || whole.bad != pieces.bad))
        return QStringLiteral("in pieces of %1: %2 frames%3, at once: %4 frames%5")
            .arg(piece)
            .arg(pieces.frames.size())
            .arg(pieces.bad ? QStringLiteral(", bad") : QString())
            .arg(whole.frames.size())
            .arg(whole.bad ? QStringLiteral(", bad") : QString());
    return {};
}

} // namespace fuzz
