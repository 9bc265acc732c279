#include "bushints.h"

#include "model/language.h"
#include "openhabgenerator.h"

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
AddressKind kindOf(const QString& address)
{
    if (address.startsWith(u'#'))
        return AddressKind::Group;
    if (address == u"0")
        return AddressKind::General;
    return address.contains(u'.') ? AddressKind::Point : AddressKind::Area;
}

QString number(QStringView digits)
{
    return QString::number(digits.toUInt());
}

// A light point as the bus reads its WHERE without dot: two digits are room and point, three
// either room 10 and a point or a room and two digits of point, four two digits each. Empty for
// any other length.
QString pointOfWhere(const QString& where)
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
QString pointOf(const QString& address)
{
    return number(address.section(u'.', 0, 0)) + u'.' + number(address.section(u'.', 1));
}

// The light point that the bus reads in a CEN+ key's WHERE ("2" and the key's address).
QString pointOfCenPlus(const QString& address)
{
    return pointOfWhere(u'2' + QString(address).remove(u'.'));
}

bool isLight(int kind)
{
    return kind == FunctionEntry::Switch || kind == FunctionEntry::Dimmer;
}

bool isCenPlus(const FunctionEntry& v)
{
    return v.kind == FunctionEntry::CenScene && v.cen != 0 && kindOf(v.address) == AddressKind::Point;
}

// Whether a point of the same kind of actuator (lights and dimmers, or blinds) on the same bus
// lies in the area, group or general address of v. A bus group's members are not known to the
// project; it can only tell that none of its points could be one.
bool ReachesAnyRow(const FunctionEntry& v, const QList<FunctionEntry>& values, qsizetype self)
{
    const AddressKind kind = kindOf(v.address);
    const uint area = v.address.toUInt() == 100 ? 10 : v.address.toUInt();
    for (qsizetype i = 0; i < values.size(); ++i) {
        const FunctionEntry& other = values.at(i);
        if (i == self || other.bus != v.bus || kindOf(other.address) != AddressKind::Point)
            continue;
        const bool sameActuators = isLight(v.kind) ? isLight(other.kind) : other.kind == v.kind;
        if (!sameActuators)
            continue;
        if (kind != AddressKind::Area || other.address.section(u'.', 0, 0).toUInt() == area)
            return true;
    }
    return false;
}

} // namespace

BusHints::BusHints(const OpenHabGenerator& openHab, const QList<FunctionEntry>& rows)
    : m_openHab(openHab), m_rows(rows)
{
}

QStringList BusHints::forFunction(const FunctionEntry& v, const QString& name, qsizetype self) const
{
    return hints(v, name, self, true);
}

QStringList BusHints::forProject() const
{
    QStringList found;
    for (qsizetype i = 0; i < m_rows.size(); ++i)
        found << hints(m_rows.at(i), named(m_rows.at(i)), i, false);
    return found;
}

QString BusHints::named(const FunctionEntry& row) const
{
    return row.alias + u" \""_s + row.label + u'"';
}

QStringList BusHints::hints(const FunctionEntry& v, const QString& name, qsizetype self, bool lightSide) const
{
    const Language& language = m_openHab.language();
    QStringList found;
    if (v.kind == FunctionEntry::CenScene && v.cen == 0 && v.key.toInt() > highestCenKey)
        found << language.GetMsg(Msg::CheckCenKeyAboveBus, name, QString::number(v.key.toInt()));

    // A CEN+ key and a light point the bus cannot tell apart by their WHERE.
    const bool lightPoint = isLight(v.kind) && kindOf(v.address) == AddressKind::Point;
    if (isCenPlus(v) || (lightSide && lightPoint)) {
        const QString point = isCenPlus(v) ? pointOfCenPlus(v.address) : pointOf(v.address);
        for (qsizetype i = 0; i < m_rows.size(); ++i) {
            const FunctionEntry& other = m_rows.at(i);
            if (i == self || other.bus != v.bus)
                continue;
            if (isCenPlus(v) && isLight(other.kind) && kindOf(other.address) == AddressKind::Point &&
                pointOf(other.address) == point)
                found << language.GetMsg(Msg::CheckCenPlusSharesWhere, name, named(m_rows.at(i)));
            else if (!isCenPlus(v) && isCenPlus(other) && pointOfCenPlus(other.address) == point)
                found << language.GetMsg(Msg::CheckCenPlusSharesWhere, named(m_rows.at(i)), name);
        }
    }

    const AddressKind kind = kindOf(v.address);
    const bool actuator = isLight(v.kind) || v.kind == FunctionEntry::Automation;
    if (actuator && kind != AddressKind::Point && !ReachesAnyRow(v, m_rows, self)) {
        QString address = language.GetMsg(Msg::General);
        if (kind == AddressKind::Area)
            address = language.GetMsg(Msg::Area) + u' ' +
                      QString::number(v.address.toUInt() == 100 ? 10 : v.address.toUInt());
        else if (kind == AddressKind::Group)
            address = language.GetMsg(Msg::Group) + u' ' + v.address.mid(1);
        found << language.GetMsg(Msg::CheckAddressWithoutMembers, name, address);
    }
    return found;
}
