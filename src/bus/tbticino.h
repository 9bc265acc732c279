#pragma once

#include <QString>

class TLanguage;

// The rules for OpenWebNet addresses (the WHERE of a frame) and for the keys of CEN scenes and
// scenario modules. An address exists in three forms: the stored form kept in a function row
// (01.12, 00, #12, 0), the bus form written into the openHAB bindings (the stored form without its
// dot, plus "#4#0<bus>" on a local bus) and the short edit form shown in the function editor.
//
// Address kinds (iAdrArt): 0 point-to-point, 1 area, 2 group, 3 general. Errors come back as the
// translated message text; an empty text means valid.
class Tbticino
{
public:
    explicit Tbticino(const TLanguage& language);

    // Checks the typed address sAdr of address kind iAdrArt for a function of kind iType, and for
    // the key-driven kinds 3 and 4 also the key sCEN. On success the stored form is a + "." + pl
    // for point-to-point and a alone otherwise; a and pl mean nothing after a failure.
    QString CheckAdr(const QString& sAdr, const QString& sCEN, int iType, int iAdrArt, QString& a,
                     QString& pl) const;
    // Classifies an address in stored or bus form (without bus suffix) into iAdrArt and returns
    // its stored form, or its edit form when bFormat4Edit is set. Text that fits no rule comes
    // back unchanged.
    QString FormatAdr(const QString& sAdr, int iType, int& iAdrArt, bool bFormat4Edit) const;
    // Strips the local-bus suffix "#4#0<bus>" from an address in bus form and returns the bus
    // number; 0 (and sAdr untouched) when there is none.
    int GetBus(QString& sAdr) const;
    // Why the project cannot hold the address in bus form (a CEN+ WHERE without its "2")
    // exactly: a local bus 11 to 15, a suffix that names no bus, or a WHERE that the stored form
    // would not give back. Empty when it can; the ranges are CheckAdr's.
    QString CheckBusForm(const QString& address, int kind) const;

private:
    const TLanguage& m_language;
};
