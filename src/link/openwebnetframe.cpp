#include "openwebnetframe.h"

#include <algorithm>

namespace OpenWebNetFrame {

std::optional<OwnCommand> ParseCommand(const QByteArray& frame)
{
    if (!frame.startsWith('*') || !frame.endsWith("##") || frame.startsWith("*#"))
        return std::nullopt;
    const QList<QByteArray> parts = frame.mid(1, frame.size() - 3).split('*');
    if (parts.size() != 3 || parts.at(0).isEmpty() || parts.at(1).isEmpty() || parts.at(2).isEmpty())
        return std::nullopt;
    return OwnCommand{QString::fromLatin1(parts.at(0)), QString::fromLatin1(parts.at(1)),
                      QString::fromLatin1(parts.at(2))};
}

} // namespace OpenWebNetFrame

bool OwnFrameReader::feed(const QByteArray& bytes)
{
    if (m_bBad)
        return false;
    m_pending += bytes;
    qsizetype start = 0;
    while (start < m_pending.size()) {
        const qsizetype end = m_pending.indexOf("##", start);
        const qsizetype stop = end < 0 ? m_pending.size() : end;
        // Everything up to the end marker must be a frame's head and body: a "*" first, so that
        // an end marker right after the last frame is no frame of its own.
        for (qsizetype i = start; i < std::max(stop, start + 1); ++i) {
            const char c = m_pending.at(i);
            const bool bFrameByte = (c >= '0' && c <= '9') || c == '*' || c == '#';
            if (!bFrameByte || (i == start && c != '*')) {
                markBad(m_pending.mid(start));
                return false;
            }
        }
        if (end < 0)
            break;
        m_frames << m_pending.mid(start, end + 2 - start);
        start = end + 2;
    }
    m_pending.remove(0, start);
    if (m_pending.size() > maxFrame) {
        markBad(m_pending);
        return false;
    }
    return true;
}

void OwnFrameReader::markBad(const QByteArray& bytes)
{
    m_bBad = true;
    // bytes may be m_pending itself: copy what is shown before the buffer is dropped.
    QByteArray shown = bytes.left(40);
    m_pending.clear();
    for (char& c : shown) {
        if (c < 32 || c > 126)
            c = '?';
    }
    m_badBytes = QString::fromLatin1(shown);
}
