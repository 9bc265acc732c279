#include "buserror.h"

#include "model/language.h"

using namespace Qt::StringLiterals;

QString BusServer::address() const
{
    return host + u':' + QString::number(port);
}

QString BusErrorText(const Language& language, BusError error, const QString& detail)
{
    switch (error) {
    case BusError::None:
        return language.GetMsg(Msg::BusConfirmed, detail);
    case BusError::NoServer:
        return language.GetMsg(Msg::BusUnreachable, detail);
    case BusError::PasswordRefused:
        return language.GetMsg(Msg::BusPasswordRejected);
    case BusError::CommandRefused:
        return language.GetMsg(Msg::BusCommandRejected, detail);
    case BusError::NoAnswer:
        return language.GetMsg(Msg::BusNoAnswer);
    case BusError::ConnectionLost:
        return language.GetMsg(Msg::BusDisconnected);
    case BusError::Garbage:
        return language.GetMsg(Msg::BusGarbled, detail);
    case BusError::SessionRefused:
        return language.GetMsg(Msg::BusSessionRefused, detail);
    case BusError::NoGreeting:
        return language.GetMsg(Msg::BusNoGreeting, detail);
    case BusError::Cancelled:
        return detail.isEmpty() ? language.GetMsg(Msg::Cancelled)
                                : language.GetMsg(Msg::BusTestSwitchedBack, detail);
    }
    return {};
}
