#include "textencoding.h"

namespace {

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The length of the UTF-8 sequence that starts at bytes[at], or 0 when none does. Overlong forms,
// surrogates and code points beyond U+10FFFF are not UTF-8.
qsizetype sequenceLength(QByteArrayView bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[at + i]); };
    const unsigned char lead = byte(0);
    if (lead >= 0x01 && lead <= 0x7F)
        return 1;
    qsizetype length = 0;
    unsigned char secondMin = 0x80;
    unsigned char secondMax = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            secondMin = 0xA0;
        else if (lead == 0xED)
            secondMax = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            secondMin = 0x90;
        else if (lead == 0xF4)
            secondMax = 0x8F;
    } else {
        return 0;
    }
    if (at + length > bytes.size() || byte(1) < secondMin || byte(1) > secondMax)
        return 0;
    for (qsizetype i = 2; i < length; ++i) {
        if (!isContinuation(byte(i)))
            return 0;
    }
    return length;
}

} // namespace

std::optional<qsizetype> TextEncoding::firstNonUtf8Line(QByteArrayView bytes)
{
    qsizetype line = 1;
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype length = sequenceLength(bytes, at);
        if (length == 0)
            return line;
        // CR LF ends one line: the LF counts it.
        if (bytes[at] == '\n' || (bytes[at] == '\r' && (at + 1 == bytes.size() || bytes[at + 1] != '\n')))
            ++line;
        at += length;
    }
    return std::nullopt;
}
