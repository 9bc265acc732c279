#include "gatewayanswer.h"

#include <QHostAddress>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

// An address goes into project.ini and later into the bus-server check and the transfer, so only
// an address or a plain host name counts as one. An IPv6 address may name the interface after "%",
// and QHostAddress takes any text there; only letters, digits, ".", "-" and "_" name one.
bool isAddress(const QString& answer)
{
    static const QRegularExpression addressCharacters(u"^[0-9A-Za-z.:%_-]+$"_s);
    if (addressCharacters.match(answer).hasMatch() && !QHostAddress(answer).isNull())
        return true;
    static const QRegularExpression hostName(
        u"^(?=.{1,253}$)[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?(?:\\.[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?)*\\.?$"_s);
    return hostName.match(answer).hasMatch();
}

} // namespace

GatewayAnswer GatewayAnswer::read(const QByteArray& body)
{
    const QString answer = QString::fromUtf8(body).trimmed();
    if (answer.isEmpty() || answer == u"unknown")
        return {Unknown, {}};
    if (isAddress(answer))
        return {Address, answer};
    return {Invalid, {}};
}
