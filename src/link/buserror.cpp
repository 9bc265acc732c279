#include "buserror.h"

#include "model/tlanguage.h"

using namespace Qt::StringLiterals;

QString BusErrorText(const TLanguage& language, TBusError error, const QString& detail)
{
    switch (error) {
    case TBusError::None:
        return TLanguage::Fill(language.GetMsg(116, u"Vom Bus bestätigt: $1"_s), detail);
    case TBusError::NoServer:
        return TLanguage::Fill(language.GetMsg(110, u"Kein Busserver unter $1 erreichbar."_s), detail);
    case TBusError::PasswordRefused:
        return language.GetMsg(111, u"Das Passwort wurde vom Busserver abgelehnt."_s);
    case TBusError::CommandRefused:
        return TLanguage::Fill(language.GetMsg(112, u"Der Befehl $1 wurde vom Bus abgelehnt."_s), detail);
    case TBusError::NoAnswer:
        return language.GetMsg(113, u"Der Busserver antwortet nicht."_s);
    case TBusError::ConnectionLost:
        return language.GetMsg(114, u"Der Busserver hat die Verbindung getrennt."_s);
    case TBusError::Garbage:
        return TLanguage::Fill(language.GetMsg(115, u"Unverständliche Antwort vom Busserver: $1"_s), detail);
    case TBusError::Cancelled:
        return language.GetMsg(124, u"Abgebrochen."_s);
    }
    return {};
}
