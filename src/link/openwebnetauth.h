#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>

#include <optional>

// The two ways a bus server checks the password of an OpenWebNet client.
namespace OpenWebNetAuth {

// The numeric scheme: the answer to the server's nonce for a numeric password; nothing when the
// password or the nonce is not a number (the scheme knows digits only).
std::optional<quint32> numericAnswer(const QString& password, const QString& nonce);

// Random values and hashes travel in frames as two decimal digits per hexadecimal digit
// ("a" becomes "10"). Nothing when the digits are no such encoding.
QByteArray toDigits(const QByteArray& hex);
std::optional<QByteArray> fromDigits(const QByteArray& digits);

// The client's part of the hash handshake: its own random value rb and the proof for the server's
// random value ra (both lower-case hexadecimal), and the answer expected back from the server.
struct HashProof
{
    QByteArray clientProof;    // hex of hash(ra, rb, client id, server id, hash(password))
    QByteArray expectedServer; // hex of hash(ra, rb, hash(password))
};
HashProof hashProof(QCryptographicHash::Algorithm algorithm, const QString& password, const QByteArray& ra,
                    const QByteArray& rb);

} // namespace OpenWebNetAuth
