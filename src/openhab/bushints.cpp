#include "bushints.h"

#include "model/tlanguage.h"
#include "topenhab.h"

using namespace Qt::StringLiterals;

namespace {

// The highest key a CEN frame (WHO 15) carries; the editor takes keys up to 99.
constexpr int highestCenKey = 31;

enum class AddressKind
{
    Point,
    Area,
    Group,
    General
};

// The kind of a stored address: a light point holds its dot, a group its "#", the general
// address is "0", anything else names an area.
AddressKind KindOf(const QString& sAdr)
{
    if (sAdr.startsWith(u'#'))
        return AddressKind::Group;
    if (sAdr == u"0")
        return AddressKind::General;
    return sAdr.contains(u'.') ? AddressKind::Point : AddressKind::Area;
}

QString number(QStringView digits)
{
    return QString::number(digits.toUInt());
}

// A light point as the bus reads its WHERE without dot: two digits are room and point, three
// either room 10 and a point or a room and two digits of point, four two digits each. Empty for
// any other length.
QString PointOfWhere(const QString& where)
{
    switch (where.size()) {
    case 2:
        return number(where.left(1)) + u'.' + number(where.mid(1));
    case 3:
        if (where.startsWith(u"10"))
            return u"10."_s + number(where.mid(2));
        return number(where.left(1)) + u'.' + number(where.mid(1));
    case 4:
        return number(where.left(2)) + u'.' + number(where.mid(2));
    default:
        return {};
    }
}

// A light point's room and point without leading zeros, as the bus compares them.
QString PointOf(const QString& sAdr)
{
    return number(sAdr.section(u'.', 0, 0)) + u'.' + number(sAdr.section(u'.', 1));
}

// The light point that the bus reads in a CEN+ key's WHERE ("2" and the key's address).
QString PointOfCenPlus(const QString& sAdr)
{
    return PointOfWhere(u'2' + QString(sAdr).remove(u'.'));
}

bool IsLight(int iType)
{
    return iType == FunctionEntry::Switch || iType == FunctionEntry::Dimmer;
}

bool IsCenPlus(const TItemValues& v)
{
    return v.iType == FunctionEntry::CenScene && v.iCEN != 0 && KindOf(v.sAdr) == AddressKind::Point;
}

// Whether a point of the same kind of actuator (lights and dimmers, or blinds) on the same bus
// lies in the area, group or general address of v. A bus group's members are not known to the
// project; it can only tell that none of its points could be one.
bool ReachesAnyRow(const TItemValues& v, const QList<TItemValues>& values, qsizetype self)
{
    const AddressKind kind = KindOf(v.sAdr);
    const uint area = v.sAdr.toUInt() == 100 ? 10 : v.sAdr.toUInt();
    for (qsizetype i = 0; i < values.size(); ++i) {
        const TItemValues& other = values.at(i);
        if (i == self || other.iBus != v.iBus || KindOf(other.sAdr) != AddressKind::Point)
            continue;
        const bool bSameActuators = IsLight(v.iType) ? IsLight(other.iType) : other.iType == v.iType;
        if (!bSameActuators)
            continue;
        if (kind != AddressKind::Area || other.sAdr.section(u'.', 0, 0).toUInt() == area)
            return true;
    }
    return false;
}

} // namespace

TBusHints::TBusHints(const TopenHab& openHab, const QList<FunctionEntry>& rows)
    : m_openHab(openHab), m_rows(rows)
{
    m_values.reserve(rows.size());
    for (const FunctionEntry& row : rows)
        m_values << openHab.ExtractItem(row);
}

QStringList TBusHints::ForFunction(const TItemValues& v, const QString& name, qsizetype self) const
{
    return hints(v, name, self, true);
}

QStringList TBusHints::ForProject() const
{
    QStringList found;
    for (qsizetype i = 0; i < m_rows.size(); ++i)
        found << hints(m_values.at(i), Named(m_rows.at(i)), i, false);
    return found;
}

QString TBusHints::Named(const FunctionEntry& row) const
{
    return row.alias + u" \""_s + row.caption + u'"';
}

QStringList TBusHints::hints(const TItemValues& v, const QString& name, qsizetype self, bool bLightSide) const
{
    const TLanguage& language = m_openHab.language();
    QStringList found;
    if (v.iType == FunctionEntry::CenScene && v.iCEN == 0 && v.sCENKey.toInt() > highestCenKey)
        found << language.GetMsg(Msg::CheckCenKeyAboveBus, name, QString::number(v.sCENKey.toInt()));

    // A CEN+ key and a light point the bus cannot tell apart by their WHERE.
    const bool bLightPoint = IsLight(v.iType) && KindOf(v.sAdr) == AddressKind::Point;
    if (IsCenPlus(v) || (bLightSide && bLightPoint)) {
        const QString point = IsCenPlus(v) ? PointOfCenPlus(v.sAdr) : PointOf(v.sAdr);
        for (qsizetype i = 0; i < m_values.size(); ++i) {
            const TItemValues& other = m_values.at(i);
            if (i == self || other.iBus != v.iBus)
                continue;
            if (IsCenPlus(v) && IsLight(other.iType) && KindOf(other.sAdr) == AddressKind::Point &&
                PointOf(other.sAdr) == point)
                found << language.GetMsg(Msg::CheckCenPlusSharesWhere, name, Named(m_rows.at(i)));
            else if (!IsCenPlus(v) && IsCenPlus(other) && PointOfCenPlus(other.sAdr) == point)
                found << language.GetMsg(Msg::CheckCenPlusSharesWhere, Named(m_rows.at(i)), name);
        }
    }

    const AddressKind kind = KindOf(v.sAdr);
    const bool bActuator = IsLight(v.iType) || v.iType == FunctionEntry::Automation;
    if (bActuator && kind != AddressKind::Point && !ReachesAnyRow(v, m_values, self)) {
        QString address = language.GetMsg(Msg::General);
        if (kind == AddressKind::Area)
            address = language.GetMsg(Msg::Area) + u' ' +
                      QString::number(v.sAdr.toUInt() == 100 ? 10 : v.sAdr.toUInt());
        else if (kind == AddressKind::Group)
            address = language.GetMsg(Msg::Group) + u' ' + v.sAdr.mid(1);
        found << language.GetMsg(Msg::CheckAddressWithoutMembers, name, address);
    }
    return found;
}
