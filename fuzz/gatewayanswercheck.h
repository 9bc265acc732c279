#pragma once

// The reader of the lookup service's answer on arbitrary bytes.
//
// Input: the body of the service's reply. Besides not crashing:
// - an address is the body without the blanks around it, and reads again as itself;
// - it holds no blank, control character, quote, "=", ";" or "#", so that project.ini keeps it as
//   it is: written there as the IP, it reads back unchanged;
// - only an address carries text.

#include "fuzzcheck.h"
#include "link/gatewayanswer.h"
#include "model/initext.h"

namespace fuzz {

inline QString CheckGatewayAnswer(const QByteArray& input)
{
    const GatewayAnswer answer = GatewayAnswer::read(input);
    if (answer.kind != GatewayAnswer::Address)
        return answer.address.isEmpty() ? QString() : QStringLiteral("text without an address");
    const QString& address = answer.address;
    if (address != QString::fromUtf8(input).trimmed())
        return QStringLiteral("address %1 is not the answer").arg(address);
    const GatewayAnswer again = GatewayAnswer::read(address.toUtf8());
    if (again.kind != GatewayAnswer::Address || again.address != address)
        return QStringLiteral("address %1 reads otherwise again").arg(address);
    static const QString forbidden = QStringLiteral("\"'=;#[]");
    if (std::any_of(address.cbegin(), address.cend(), [](QChar c) {
            return c.unicode() <= 0x20 || c.isSpace() || !c.isPrint() || forbidden.contains(c);
        }))
        return QStringLiteral("address %1 holds a character it must not").arg(address);
    IniText ini(QByteArray("[Settings]\r\n"));
    if (!ini.setValue(QStringLiteral("Settings"), QStringLiteral("IP"), address) ||
        IniText(ini.toBytes()).value(QStringLiteral("Settings"), QStringLiteral("IP")) != address)
        return QStringLiteral("address %1 does not come back from project.ini").arg(address);
    return {};
}

} // namespace fuzz
