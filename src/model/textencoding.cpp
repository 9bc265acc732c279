#include "textencoding.h"

#include <cstring>

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

// Eight bytes of text without a NUL or a byte of a multi-byte sequence.
bool isPlainAscii(const char* eight)
{
    quint64 word;
    std::memcpy(&word, eight, sizeof word);
    constexpr quint64 ones = 0x0101010101010101;
    constexpr quint64 highs = 0x8080808080808080;
    // The second term sets a byte's high bit where the byte is 0 (and maybe elsewhere after one).
    return (word & highs) == 0 && ((word - ones) & ~word & highs) == 0;
}

// The offset of the first byte that is not part of UTF-8 text; bytes.size() when all of them are.
// Items files are mostly ASCII, which is passed over eight bytes at a time.
qsizetype firstNonUtf8Byte(QByteArrayView bytes)
{
    qsizetype at = 0;
    while (at < bytes.size()) {
        if (at + 8 <= bytes.size() && isPlainAscii(bytes.data() + at)) {
            at += 8;
            continue;
        }
        const qsizetype length = sequenceLength(bytes, at);
        if (length == 0)
            return at;
        at += length;
    }
    return at;
}

} // namespace

std::optional<qsizetype> TextEncoding::firstNonUtf8Line(QByteArrayView bytes)
{
    const qsizetype bad = firstNonUtf8Byte(bytes);
    if (bad == bytes.size())
        return std::nullopt;
    // Lines are counted only for a file that has a fault, and only up to it.
    const QByteArrayView before = bytes.first(bad);
    // CR LF ends one line; a CR just before the fault is no CR LF, as a LF is text.
    return 1 + before.count('\n') + before.count('\r') - before.count("\r\n");
}
