#include "transfertext.h"

#include "model/safefile.h"

#include <QDir>
#include <QFile>

namespace {

// Received text is converted and written in pieces of about this size.
constexpr qsizetype PieceSize = 1024 * 1024;

const QByteArrayView Replacement("\xEF\xBF\xBD"); // U+FFFD

// How the bytes at the start of a line begin: a well-formed UTF-8 sequence of that many bytes,
// a malformed byte, or a sequence that may still be completed by bytes not yet at hand.
enum : int
{
    Malformed = 0,
    Incomplete = -1,
};

// The sequence rules of QString::fromUtf8: overlong forms, surrogates and values beyond U+10FFFF
// are malformed, and a malformed sequence costs only its first byte, so that each byte after it
// is judged again.
int sequenceAt(QByteArrayView bytes)
{
    const uchar lead = uchar(bytes.front());
    if (lead < 0x80)
        return 1;
    int length = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if (lead >= 0xC2 && lead < 0xE0)
        length = 2, value = lead & 0x1F, smallest = 0x80;
    else if (lead >= 0xE0 && lead < 0xF0)
        length = 3, value = lead & 0x0F, smallest = 0x800;
    else if (lead >= 0xF0 && lead < 0xF5)
        length = 4, value = lead & 0x07, smallest = 0x10000;
    else
        return Malformed;
    for (int at = 1; at < length; ++at) {
        if (at == bytes.size())
            return Incomplete;
        const uchar next = uchar(bytes.at(at));
        if ((next & 0xC0) != 0x80)
            return Malformed;
        value = (value << 6) | (next & 0x3F);
    }
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return value >= smallest && !surrogate && value <= 0x10FFFF ? length : Malformed;
}

// Appends bytes as UTF-8 with every malformed byte replaced by U+FFFD, LF written as CR LF. Stops
// before a sequence that the end of bytes cuts off unless final; returns how many bytes it took.
qsizetype appendValidUtf8(QByteArray& out, QByteArrayView bytes, bool final = true)
{
    qsizetype at = 0;
    while (at < bytes.size()) {
        const int length = sequenceAt(bytes.sliced(at));
        if (length == Incomplete && !final)
            break;
        if (length > 0) {
            if (bytes.at(at) == '\n')
                out += '\r';
            out += bytes.sliced(at, length);
            at += length;
        } else {
            out += Replacement;
            ++at;
        }
    }
    return at;
}

} // namespace

QByteArray ReadTransferText(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw FileReadError(QDir::toNativeSeparators(fileName), file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileReadError(QDir::toNativeSeparators(fileName), file.errorString());

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
        if (line.isValidUtf8())
            text += line;
        else
            appendValidUtf8(text, line);
    }
    text.squeeze();
    return text;
}

bool WriteReceivedBytes(SafeFile& file, QByteArrayView text, const std::function<void()>& betweenPieces)
{
    // The bytes of the current piece without their CRs, after the few bytes of a sequence that the
    // previous piece cut off.
    QByteArray pending;
    QByteArray out;
    for (qsizetype start = 0; start < text.size(); start += PieceSize) {
        const QByteArrayView piece = text.sliced(start, std::min(PieceSize, text.size() - start));
        for (const char byte : piece) {
            if (byte != '\r')
                pending += byte;
        }
        const bool final = start + piece.size() == text.size();
        if (pending.isValidUtf8()) {
            out.swap(pending.replace('\n', "\r\n"));
            pending.clear();
        } else {
            out.clear();
            pending.remove(0, appendValidUtf8(out, pending, final));
        }
        if (!file.write(out))
            return false;
        if (betweenPieces)
            betweenPieces();
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

std::optional<FileError> WriteReceivedText(const QString& fileName, QByteArrayView text,
                                           const std::function<void()>& betweenPieces)
{
    SafeFile file(fileName);
    if (!file.open() || !WriteReceivedBytes(file, text, betweenPieces) || !file.commit())
        return FileError{QDir::toNativeSeparators(fileName), file.errorString()};
    return std::nullopt;
}
