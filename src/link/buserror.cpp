#include "buserror.h"

#include "model/tlanguage.h"

using namespace Qt::StringLiterals;

QString TBusServer::address() const
{
    return host + u':' + QString::number(port);
}

QString BusErrorText(const TLanguage& language, TBusError error, const QString& detail)
{
    switch (error) {
    case TBusError::None:
        return language.GetMsg(Msg::BusConfirmed, detail);
    case TBusError::NoServer:
        return language.GetMsg(Msg::BusUnreachable, detail);
    case TBusError::PasswordRefused:
        return language.GetMsg(Msg::BusPasswordRejected);
    case TBusError::CommandRefused:
        return language.GetMsg(Msg::BusCommandRejected, detail);
    case TBusError::NoAnswer:
        return language.GetMsg(Msg::BusNoAnswer);
    case TBusError::ConnectionLost:
        return language.GetMsg(Msg::BusDisconnected);
    case TBusError::Garbage:
        return language.GetMsg(Msg::BusGarbled, detail);
    case TBusError::SessionRefused:
        return language.GetMsg(Msg::BusSessionRefused, detail);
    case TBusError::NoGreeting:
        return language.GetMsg(Msg::BusNoGreeting, detail);
    case TBusError::Cancelled:
        return detail.isEmpty() ? language.GetMsg(Msg::Cancelled)
                                : language.GetMsg(Msg::BusTestSwitchedBack, detail);
    }
    return {};
}
