#include "busaddress.h"

#include "model/functionentry.h"

#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString busSuffix = u"#4#0"_s;

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isSigned(const QString& s)
{
    return s.startsWith(u'+') || s.startsWith(u'-');
}

// Decimal digits with an optional sign, within 32 bits; anything else is no number at all, so
// that blanks, hex prefixes or a stray dot inside an address never pass as a value.
std::optional<int> toNumber(const QString& s)
{
    const qsizetype start = isSigned(s) ? 1 : 0;
    if (s.size() == start)
        return std::nullopt;
    const qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    qint64 value = 0;
    for (qsizetype i = start; i < s.size(); ++i) {
        if (!isAsciiDigit(s[i]))
            return std::nullopt;
        value = value * 10 + (s[i].unicode() - u'0');
        if (value > limit)
            return std::nullopt;
    }
    if (s.startsWith(u'-'))
        value = -value;
    if (value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

bool inRange(std::optional<int> value, int min, int max)
{
    return value && *value >= min && *value <= max;
}

bool isTrimmable(QChar c)
{
    return c == u' ' || c.category() == QChar::Other_Control;
}

// Users type "1.12", "1 . 12" or "112" for the same actuator: only the first dot separates A from
// PL, so it is dropped together with the blanks and the digits alone decide the split.
QString cleaned(QString s)
{
    const qsizetype dot = s.indexOf(u'.');
    if (dot >= 0)
        s.remove(dot, 1);
    s.remove(u' ');
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isTrimmable(s[begin]))
        ++begin;
    while (end > begin && isTrimmable(s[end - 1]))
        --end;
    return s.mid(begin, end - begin);
}

struct PointToPoint
{
    QString a;
    QString pl;
};

// A is the room 0 to 10 and PL the light point 0 to 15; three digits starting with "10" can only
// mean room 10 with a one-digit light point.
PointToPoint split(const QString& s)
{
    switch (s.size()) {
    case 2:
        return {s.left(1), s.mid(1)};
    case 3:
        if (s.startsWith(u"10"))
            return {u"10"_s, u"0"_s + s.mid(2)};
        return {u"0"_s + s.left(1), s.mid(1)};
    case 4:
        return {s.left(2), s.mid(2)};
    default:
        return {};
    }
}

QString withoutLeadingZero(const QString& part)
{
    return part.size() == 2 && part.startsWith(u'0') ? part.mid(1) : part;
}

AddressKind addressKindOf(const QString& address)
{
    if (address.contains(u'#'))
        return AddressKind::Group;
    if (address == u"0")
        return AddressKind::General;
    if (address.size() == 1 || address == u"00" || address == u"100")
        return AddressKind::Area;
    return AddressKind::PointToPoint;
}

} // namespace

Result<QString> BusAddress::check(const QString& typed, const QString& key, int kind, AddressKind addressKind)
{
    if (addressKind == AddressKind::General)
        return u"0"_s;
    if (kind == FunctionEntry::GroupScene)
        return QString();
    if (typed.isEmpty())
        return Problem{Msg::AddressEmpty};

    const Problem invalid{Msg::AddressInvalid};
    const QString s = cleaned(typed);
    const std::optional<int> value = toNumber(s);
    if (!value || *value == -1)
        return invalid;

    QString stored;
    switch (addressKind) {
    case AddressKind::PointToPoint: {
        const PointToPoint parts = split(s);
        const std::optional<int> room = toNumber(parts.a);
        // Room 0 with light point 0 would be the bus form 00, which is area 0.
        const int minPoint = room == 0 ? 1 : 0;
        if (!inRange(room, 0, 10) || !inRange(toNumber(parts.pl), minPoint, 15))
            return Problem{Msg::AddressRange, u"0.1"_s, u"10.15"_s};
        stored = parts.pl.isEmpty() ? parts.a : parts.a + u'.' + parts.pl;
        break;
    }
    case AddressKind::Area:
        if (!inRange(value, 0, 10))
            return Problem{Msg::AreaRange};
        // The bus writes area 0 as "00" and area 10 as "100"; plain "0" and "10" would be read back
        // as the general address and as a point-to-point address. Longer texts with leading zeros
        // ("005", "0010") would be point-to-point addresses on the bus, so they are stored by value.
        if (s.size() >= 3 && s != u"100")
            stored = *value == 0 ? u"00"_s : *value == 10 ? u"100"_s : QString::number(*value);
        else
            stored = s == u"0" ? u"00"_s : s == u"10" ? u"100"_s : s;
        break;
    case AddressKind::Group:
        if (!inRange(value, 1, 255))
            return Problem{Msg::GroupRange};
        stored = u"#"_s + s;
        break;
    case AddressKind::General:
        break;
    }
    // A sign passes as a number but would end up verbatim in the WHERE of the binding.
    if (!stored.isEmpty() && isSigned(s))
        return invalid;

    const int maxKey = kind == FunctionEntry::CenScene ? 99 : kind == FunctionEntry::ScenarioModule ? 16 : 0;
    if (maxKey > 0) {
        // The key is written into the binding as typed, so a signed one counts as no number.
        const std::optional<int> number = isSigned(key) ? std::nullopt : toNumber(key);
        if (!inRange(number.value_or(0), 1, maxKey))
            return Problem{Msg::ScenarioKeyRange, u"1"_s, QString::number(maxKey)};
    }
    return stored;
}

BusAddress::Form BusAddress::storedForm(const QString& address, int kind)
{
    return format(address, kind, false);
}

BusAddress::Form BusAddress::editForm(const QString& address, int kind)
{
    return format(address, kind, true);
}

BusAddress::Form BusAddress::format(const QString& address, int kind, bool forEditing)
{
    if (kind == FunctionEntry::GroupScene)
        return {};
    const AddressKind addressKind = addressKindOf(address);

    QString s = cleaned(address);
    const qsizetype hash = s.indexOf(u'#');
    if (hash >= 0)
        s.remove(hash, 1);

    PointToPoint parts;
    if (s.size() == 1 || addressKind == AddressKind::Area || addressKind == AddressKind::Group) {
        parts.a = s;
        if (forEditing && addressKind == AddressKind::Area)
            parts.a = s == u"00" ? u"0"_s : s == u"100" ? u"10"_s : s;
    } else {
        parts = split(s);
    }

    if (!parts.a.isEmpty() && !parts.pl.isEmpty()) {
        if (forEditing)
            return {withoutLeadingZero(parts.a) + u'.' + withoutLeadingZero(parts.pl), addressKind};
        return {parts.a + u'.' + parts.pl, addressKind};
    }
    if (!parts.a.isEmpty())
        return {addressKind == AddressKind::Group && !forEditing ? u"#"_s + parts.a : parts.a, addressKind};
    return {address, addressKind};
}

std::optional<Problem> BusAddress::busFormProblem(const QString& address, int kind)
{
    const Problem invalid{Msg::AddressInvalid};
    QString where = address;
    // The last one: a group 4 starts with the same characters ("#4#4#01").
    const qsizetype at = address.lastIndexOf(busSuffix.left(3));
    if (at == 0)
        return invalid;
    if (at > 0) {
        const QString iface = address.mid(at + 3);
        const std::optional<int> number = iface.size() == 2 ? toNumber(iface) : std::nullopt;
        if (inRange(number, 11, 15))
            return Problem{Msg::BusLocalUnsupported, iface};
        if (!iface.startsWith(u'0') || !inRange(number, 1, 9))
            return invalid;
        where.truncate(at);
    }
    QString busForm = storedForm(where, kind).text;
    const qsizetype dot = busForm.indexOf(u'.');
    if (dot >= 0)
        busForm.remove(dot, 1);
    if (busForm == where)
        return std::nullopt;
    return invalid;
}

int BusAddress::takeBus(QString& address)
{
    // The last one: the bus form puts the suffix at the end, so an address that holds two (which
    // the program never writes) reads back as it is written. A suffix at the very start would leave
    // no address, so such a text is no local-bus address.
    const qsizetype at = address.lastIndexOf(busSuffix);
    const qsizetype digitAt = at + busSuffix.size();
    if (at <= 0 || digitAt >= address.size() || !isAsciiDigit(address[digitAt]))
        return 0;
    const int bus = address[digitAt].unicode() - u'0';
    address.remove(at, busSuffix.size() + 1);
    return bus;
}
