#pragma once

#include <QByteArray>
#include <QString>

// The lookup service's answer to "where is the gateway with this serial": the body of its reply,
// an address or its word for a gateway it has not seen.
struct GatewayAnswer
{
    enum Kind
    {
        Unknown, // the service has not seen the gateway
        Address, // address holds where it was seen
        Invalid, // anything else: nothing of it may be kept
    };

    Kind kind = Invalid;
    // The address as project.ini keeps it: an IPv4 or IPv6 address, or a host name of letters,
    // digits, hyphens and dots (at most 253 bytes, labels of 1 to 63 that neither start nor end
    // with a hyphen).
    QString address;

    // The body is UTF-8; blanks around it do not count.
    static GatewayAnswer read(const QByteArray& body);
};
