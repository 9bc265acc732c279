#include "bus/tbticino.h"

#include "model/tlanguage.h"

#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr int kindGeneral = 3;
constexpr int kindArea = 1;
constexpr int kindGroup = 2;
constexpr int typeCEN = 3;
constexpr int typeScenario = 4;
constexpr int typeIndividualScene = 5;

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

int addressKindOf(const QString& sAdr)
{
    if (sAdr.contains(u'#'))
        return kindGroup;
    if (sAdr == u"0")
        return kindGeneral;
    if (sAdr.size() == 1 || sAdr == u"00" || sAdr == u"100")
        return kindArea;
    return 0;
}

} // namespace

Tbticino::Tbticino(const TLanguage& language) : m_language(language) {}

QString Tbticino::CheckAdr(const QString& sAdr, const QString& sCEN, int iType, int iAdrArt, QString& a,
                           QString& pl) const
{
    a.clear();
    pl.clear();
    if (iAdrArt == kindGeneral) {
        a = u"0"_s;
        return {};
    }
    if (iType == typeIndividualScene)
        return {};
    if (sAdr.isEmpty())
        return m_language.GetMsg(Msg::AddressEmpty);

    const QString invalid = m_language.GetMsg(Msg::AddressInvalid);
    const QString s = cleaned(sAdr);
    const std::optional<int> value = toNumber(s);
    if (!value || *value == -1)
        return invalid;

    switch (iAdrArt) {
    case 0: {
        const PointToPoint parts = split(s);
        const std::optional<int> room = toNumber(parts.a);
        // Room 0 with light point 0 would be the bus form 00, which is area 0.
        const int minPoint = room == 0 ? 1 : 0;
        if (!inRange(room, 0, 10) || !inRange(toNumber(parts.pl), minPoint, 15))
            return m_language.GetMsg(Msg::AddressRange, u"0.1"_s, u"10.15"_s);
        a = parts.a;
        pl = parts.pl;
        break;
    }
    case kindArea:
        if (!inRange(value, 0, 10))
            return m_language.GetMsg(Msg::AreaRange);
        // The bus writes area 0 as "00" and area 10 as "100"; plain "0" and "10" would be read back
        // as the general address and as a point-to-point address. Longer texts with leading zeros
        // ("005", "0010") would be point-to-point addresses on the bus, so they are stored by value.
        if (s.size() >= 3 && s != u"100")
            a = *value == 0 ? u"00"_s : *value == 10 ? u"100"_s : QString::number(*value);
        else
            a = s == u"0" ? u"00"_s : s == u"10" ? u"100"_s : s;
        break;
    case kindGroup:
        if (!inRange(value, 1, 255))
            return m_language.GetMsg(Msg::GroupRange);
        a = u"#"_s + s;
        break;
    default:
        break;
    }
    // A sign passes as a number but would end up verbatim in the WHERE of the binding.
    if (!a.isEmpty() && isSigned(s))
        return invalid;

    const int maxKey = iType == typeCEN ? 99 : iType == typeScenario ? 16 : 0;
    if (maxKey > 0) {
        // The key is written into the binding as typed, so a signed one counts as no number.
        const std::optional<int> key = isSigned(sCEN) ? std::nullopt : toNumber(sCEN);
        if (!inRange(key.value_or(0), 1, maxKey))
            return m_language.GetMsg(Msg::ScenarioKeyRange, u"1"_s, QString::number(maxKey));
    }
    return {};
}

QString Tbticino::FormatAdr(const QString& sAdr, int iType, int& iAdrArt, bool bFormat4Edit) const
{
    iAdrArt = 0;
    if (iType == typeIndividualScene)
        return {};
    iAdrArt = addressKindOf(sAdr);

    QString s = cleaned(sAdr);
    const qsizetype hash = s.indexOf(u'#');
    if (hash >= 0)
        s.remove(hash, 1);

    PointToPoint parts;
    if (s.size() == 1 || iAdrArt == kindArea || iAdrArt == kindGroup) {
        parts.a = s;
        if (bFormat4Edit && iAdrArt == kindArea)
            parts.a = s == u"00" ? u"0"_s : s == u"100" ? u"10"_s : s;
    } else {
        parts = split(s);
    }

    if (!parts.a.isEmpty() && !parts.pl.isEmpty()) {
        if (bFormat4Edit)
            return withoutLeadingZero(parts.a) + u'.' + withoutLeadingZero(parts.pl);
        return parts.a + u'.' + parts.pl;
    }
    if (!parts.a.isEmpty())
        return iAdrArt == kindGroup && !bFormat4Edit ? u"#"_s + parts.a : parts.a;
    return sAdr;
}

QString Tbticino::CheckBusForm(const QString& address, int kind) const
{
    const QString invalid = m_language.GetMsg(Msg::AddressInvalid);
    QString where = address;
    // The last one: a group 4 starts with the same characters ("#4#4#01").
    const qsizetype at = address.lastIndexOf(busSuffix.left(3));
    if (at == 0)
        return invalid;
    if (at > 0) {
        const QString iface = address.mid(at + 3);
        const std::optional<int> number = iface.size() == 2 ? toNumber(iface) : std::nullopt;
        if (inRange(number, 11, 15))
            return m_language.GetMsg(Msg::BusLocalUnsupported, iface);
        if (!iface.startsWith(u'0') || !inRange(number, 1, 9))
            return invalid;
        where.truncate(at);
    }
    int addressKind = 0;
    QString busForm = FormatAdr(where, kind, addressKind, false);
    const qsizetype dot = busForm.indexOf(u'.');
    if (dot >= 0)
        busForm.remove(dot, 1);
    return busForm == where ? QString() : invalid;
}

int Tbticino::GetBus(QString& sAdr) const
{
    // A suffix at the very start would leave no address, so such a text is no local-bus address.
    const qsizetype at = sAdr.indexOf(busSuffix);
    if (at <= 0)
        return 0;
    const qsizetype digitAt = at + busSuffix.size();
    const int iBus =
        digitAt < sAdr.size() && isAsciiDigit(sAdr[digitAt]) ? sAdr[digitAt].unicode() - u'0' : 0;
    const QString suffix = busSuffix + QString::number(iBus);
    const qsizetype suffixAt = sAdr.indexOf(suffix);
    if (suffixAt >= 0)
        sAdr.remove(suffixAt, suffix.size());
    return iBus;
}
