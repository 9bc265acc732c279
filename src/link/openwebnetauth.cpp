#include "openwebnetauth.h"

#include <algorithm>

namespace OpenWebNetAuth {

namespace {

// The identities of both ends, as the hash handshake names them.
constexpr char clientIdentity[] = "736F70653E";
constexpr char serverIdentity[] = "636F70653E";

bool allDigits(const QString& text)
{
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isDigit(); });
}

// One step of the numeric scheme: the two registers after the nonce digit c.
void numericStep(char c, quint32& n1, quint32& n2)
{
    switch (c) {
    case '1':
        n1 = (n2 & 0xFFFFFF80u) >> 7;
        n2 <<= 25;
        break;
    case '2':
        n1 = (n2 & 0xFFFFFFF0u) >> 4;
        n2 <<= 28;
        break;
    case '3':
        n1 = (n2 & 0xFFFFFFF8u) >> 3;
        n2 <<= 29;
        break;
    case '4':
        n1 = n2 << 1;
        n2 >>= 31;
        break;
    case '5':
        n1 = n2 << 5;
        n2 >>= 27;
        break;
    case '6':
        n1 = n2 << 12;
        n2 >>= 20;
        break;
    case '7':
        n1 = (n2 & 0x0000FF00u) | ((n2 & 0x000000FFu) << 24) | ((n2 & 0x00FF0000u) >> 16);
        n2 = (n2 & 0xFF000000u) >> 8;
        break;
    case '8':
        n1 = ((n2 & 0x0000FFFFu) << 16) | (n2 >> 24);
        n2 = (n2 & 0x00FF0000u) >> 8;
        break;
    case '9':
        n1 = ~n2;
        break;
    default:
        n1 = n2;
        break;
    }
    if (c != '0' && c != '9')
        n1 |= n2;
    n2 = n1;
}

QByteArray hexHash(QCryptographicHash::Algorithm algorithm, const QByteArray& data)
{
    return QCryptographicHash::hash(data, algorithm).toHex();
}

} // namespace

std::optional<quint32> numericAnswer(const QString& password, const QString& nonce)
{
    if (!allDigits(password) || !allDigits(nonce))
        return std::nullopt;
    // The password is taken modulo 2^32, as the 32-bit registers of the scheme hold it.
    quint32 value = 0;
    for (const QChar c : password)
        value = value * 10u + quint32(c.digitValue());
    quint32 n1 = 0;
    quint32 n2 = 0;
    bool bStarted = false;
    for (const QChar c : nonce) {
        if (c != u'0' && !bStarted) {
            n2 = value;
            bStarted = true;
        }
        numericStep(char(c.unicode()), n1, n2);
    }
    return n1;
}

QByteArray toDigits(const QByteArray& hex)
{
    QByteArray digits;
    digits.reserve(hex.size() * 2);
    for (const char c : hex) {
        const int value = QByteArray(1, c).toInt(nullptr, 16);
        digits += char('0' + value / 10);
        digits += char('0' + value % 10);
    }
    return digits;
}

std::optional<QByteArray> fromDigits(const QByteArray& digits)
{
    if (digits.isEmpty() || digits.size() % 2 != 0)
        return std::nullopt;
    QByteArray hex;
    hex.reserve(digits.size() / 2);
    for (qsizetype i = 0; i < digits.size(); i += 2) {
        const char high = digits.at(i);
        const char low = digits.at(i + 1);
        if (high < '0' || high > '1' || low < '0' || low > '9')
            return std::nullopt;
        const int value = (high - '0') * 10 + (low - '0');
        if (value > 15)
            return std::nullopt;
        hex += "0123456789abcdef"[value];
    }
    return hex;
}

HashProof hashProof(QCryptographicHash::Algorithm algorithm, const QString& password, const QByteArray& ra,
                    const QByteArray& rb)
{
    const QByteArray kab = hexHash(algorithm, password.toUtf8());
    return {hexHash(algorithm, ra + rb + clientIdentity + serverIdentity + kab),
            hexHash(algorithm, ra + rb + kab)};
}

} // namespace OpenWebNetAuth
