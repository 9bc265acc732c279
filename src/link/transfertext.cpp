#include "transfertext.h"

#include "model/safefile.h"

#include <QDir>
#include <QFile>

namespace {

// Received text is converted and written in pieces of this size.
constexpr qsizetype PieceSize = 1024 * 1024;

// The line as UTF-8, every malformed sequence replaced by U+FFFD as QString::fromUtf8 does.
void appendValidUtf8(QByteArray& out, QByteArrayView line)
{
    if (line.isValidUtf8())
        out += line;
    else
        out += QString::fromUtf8(line).toUtf8();
}

// Where the piece that begins at start ends: after its last ASCII byte, so that no character and no
// malformed sequence is cut in two; a piece without any runs on to the next ASCII byte.
qsizetype pieceEnd(QByteArrayView text, qsizetype start)
{
    if (text.size() - start <= PieceSize)
        return text.size();
    for (qsizetype at = start + PieceSize; at > start; --at) {
        if (uchar(text.at(at - 1)) < 0x80)
            return at;
    }
    for (qsizetype at = start + PieceSize; at < text.size(); ++at) {
        if (uchar(text.at(at)) < 0x80)
            return at + 1;
    }
    return text.size();
}

} // namespace

QByteArray ReadTransferText(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFileError(QDir::toNativeSeparators(fileName), file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EFileError(QDir::toNativeSeparators(fileName), file.errorString());

    QByteArrayView rest(bytes);
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    QByteArray text;
    text.reserve(rest.size());
    // Lines end at CR LF, LF or CR; what follows the last line break is a line when anything is left.
    while (!rest.isEmpty()) {
        qsizetype end = 0;
        while (end < rest.size() && rest.at(end) != '\r' && rest.at(end) != '\n')
            ++end;
        const QByteArrayView line = rest.first(end);
        const qsizetype next = rest.sliced(end).startsWith("\r\n") ? end + 2 : std::min(end + 1, rest.size());
        rest = rest.sliced(next);
        if (line.startsWith("#reboot"))
            continue;
        if (!text.isEmpty())
            text += "\r\n";
        appendValidUtf8(text, line);
    }
    text.squeeze();
    return text;
}

bool WriteReceivedBytes(TSafeFile& file, QByteArrayView text)
{
    QByteArray out;
    for (qsizetype start = 0; start < text.size();) {
        const qsizetype end = pieceEnd(text, start);
        QByteArray piece = text.sliced(start, end - start).toByteArray();
        start = end;
        piece.removeIf([](char c) { return c == '\r'; });
        out.clear();
        if (piece.isValidUtf8()) {
            out.swap(piece.replace('\n', "\r\n"));
        } else {
            // Line by line, as decoding each line replaces its malformed sequences.
            for (QByteArrayView rest(piece); !rest.isEmpty();) {
                const qsizetype lf = rest.indexOf('\n');
                appendValidUtf8(out, lf < 0 ? rest : rest.first(lf));
                if (lf < 0)
                    break;
                out += "\r\n";
                rest = rest.sliced(lf + 1);
            }
        }
        if (!file.write(out))
            return false;
    }
    // What follows the last LF is a line of its own when anything other than CR is left of it.
    for (qsizetype at = text.size() - 1; at >= 0; --at) {
        if (text.at(at) == '\n')
            break;
        if (text.at(at) != '\r')
            return file.write("\r\n");
    }
    return true;
}

std::optional<TFileError> WriteReceivedText(const QString& fileName, const QByteArray& text)
{
    TSafeFile file(fileName);
    if (!file.open() || !WriteReceivedBytes(file, text) || !file.commit())
        return TFileError{QDir::toNativeSeparators(fileName), file.errorString()};
    return std::nullopt;
}
