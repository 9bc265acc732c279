#pragma once

// The address rules on arbitrary text.
//
// Input: one byte for the function kind, one for the address kind, then the address text, NUL and
// the key text (UTF-8). Besides not crashing:
// - an address that CheckAdr accepts as point-to-point, group or general is understood the same
//   way when read back: FormatAdr of its bus form and of its stored form give the same address
//   kind and the stored form again, its edit form passes CheckAdr again with the same edit form,
//   and GetBus takes every local-bus suffix off it again;
// - GetBus on any text either leaves it alone and gives 0, or takes exactly one "#4#0<bus>" off
//   the place where the text's first "#4#0" stands. (It does not promise that the suffix is gone
//   afterwards: "1#4#4#03#03" loses its "#4#03" and still holds one made from the two halves.)

#include "bus/tbticino.h"
#include "fuzzcheck.h"
#include "model/tlanguage.h"

#include <QTemporaryDir>

namespace fuzz {

namespace tbticino {

const QString busSuffix = QStringLiteral("#4#0");

inline QString storedForm(int iAdrArt, const QString& a, const QString& pl)
{
    return iAdrArt == 0 ? a + QLatin1Char('.') + pl : a;
}

inline QString withoutDot(QString s)
{
    const qsizetype dot = s.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        s.remove(dot, 1);
    return s;
}

inline QString withoutFirst(const QString& s, const QString& part)
{
    const qsizetype at = s.indexOf(part);
    return at < 0 ? s : s.left(at) + s.mid(at + part.size());
}

inline QString checkReadBack(const Tbticino& rules, const QString& sCEN, int iType, int iAdrArt,
                             const QString& a, const QString& pl)
{
    const QString stored = storedForm(iAdrArt, a, pl);
    const QString bus = withoutDot(stored);
    for (const QString& form : {bus, stored}) {
        int kind = -1;
        const QString read = rules.FormatAdr(form, iType, kind, false);
        if (kind != iAdrArt || read != stored)
            return QStringLiteral("stored %1 (kind %2) reads back from %3 as %4 (kind %5)")
                .arg(stored)
                .arg(iAdrArt)
                .arg(form, read)
                .arg(kind);
    }

    int kind = -1;
    const QString edit = rules.FormatAdr(stored, iType, kind, true);
    QString a2;
    QString pl2;
    const QString error = rules.CheckAdr(edit, sCEN, iType, iAdrArt, a2, pl2);
    int kind2 = -1;
    const QString edit2 =
        error.isEmpty() ? rules.FormatAdr(storedForm(iAdrArt, a2, pl2), iType, kind2, true) : QString();
    if (kind != iAdrArt || !error.isEmpty() || edit2 != edit)
        return QStringLiteral("stored %1 edits as %2, which checks as \"%3\" and edits as %4")
            .arg(stored, edit, error, edit2);

    for (int iBus = 1; iBus <= 9; ++iBus) {
        QString where = bus + busSuffix + QString::number(iBus);
        const int found = rules.GetBus(where);
        if (found != iBus || where != bus)
            return QStringLiteral("bus form %1 on bus %2 gives bus %3 and %4")
                .arg(bus)
                .arg(iBus)
                .arg(found)
                .arg(where);
    }
    return {};
}

inline QString checkGetBus(const Tbticino& rules, const QString& sAdr)
{
    QString text = sAdr;
    const int iBus = rules.GetBus(text);
    const qsizetype at = sAdr.indexOf(busSuffix);
    const qsizetype digitAt = at + busSuffix.size();
    bool expected = false;
    if (at <= 0)
        expected = iBus == 0 && text == sAdr;
    else if (digitAt < sAdr.size() && sAdr[digitAt] >= u'0' && sAdr[digitAt] <= u'9')
        expected = iBus == sAdr[digitAt].unicode() - u'0' && text == sAdr.left(at) + sAdr.mid(digitAt + 1);
    else // no digit gives bus 0, so the first "#4#00", if any, is what goes
        expected = iBus == 0 && text == withoutFirst(sAdr, busSuffix + QLatin1Char('0'));
    if (!expected)
        return QStringLiteral("GetBus(%1) gives %2 and leaves %3").arg(sAdr).arg(iBus).arg(text);
    return {};
}

} // namespace tbticino

inline QString CheckTbticino(const QByteArray& input)
{
    using namespace tbticino;
    static QTemporaryDir noCatalogue;
    static const TLanguage german(noCatalogue.path());
    static const Tbticino rules(german);
    if (input.size() < 2)
        return {};
    const int iType = quint8(input[0]) % 7;       // 6: no kind of the program
    const int iAdrArt = quint8(input[1]) % 5 - 1; // -1: no address kind
    const QList<QByteArray> parts = splitTail(input.mid(2), 1);
    const QString sAdr = QString::fromUtf8(parts[0]);
    const QString sCEN = parts.size() > 1 ? QString::fromUtf8(parts[1]) : QString();

    QString a;
    QString pl;
    const QString error = rules.CheckAdr(sAdr, sCEN, iType, iAdrArt, a, pl);
    if (error.isEmpty() && iType <= 4 && (iAdrArt == 0 || iAdrArt == 2 || iAdrArt == 3)) {
        const QString failure = checkReadBack(rules, sCEN, iType, iAdrArt, a, pl);
        if (!failure.isEmpty())
            return QStringLiteral("CheckAdr(%1, %2, %3, %4): ").arg(sAdr, sCEN).arg(iType).arg(iAdrArt) +
                   failure;
    }

    for (const bool bFormat4Edit : {false, true}) {
        int kind = -1;
        rules.FormatAdr(sAdr, iType, kind, bFormat4Edit);
        if (kind < 0 || kind > 3)
            return QStringLiteral("FormatAdr(%1) gives address kind %2").arg(sAdr).arg(kind);
    }
    return checkGetBus(rules, sAdr);
}

} // namespace fuzz
