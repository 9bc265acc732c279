#include "functionlistgenerator.h"

#include "bus/busaddress.h"
#include "model/functionvocabulary.h"
#include "model/groupnames.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"

#include <tuple>

using namespace Qt::StringLiterals;

namespace {

const QString groupChars = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"_s;
// Everything a label field takes but the double quote and the backslash, which the editor refuses.
const QString labelChars = u"AaEeKkZz09 äöüÄÖÜßéÉèçñ€()[]{}<>-_/.,:;'!?&+*#=@|~^$°"_s;
// A row drops this from every label, also where dropping it once leaves it whole again.
const QString temperatureFormat = u" %.1f C"_s;
const QString nestedTemperatureFormat = u" %.1 %.1f Cf C"_s;

QString swappedCase(const QString& name)
{
    QString result = name;
    for (QChar& c : result)
        c = c.isUpper() ? c.toLower() : c.toUpper();
    return result;
}

} // namespace

FunctionListGenerator::FunctionListGenerator(const OpenHabGenerator& openHab, quint32 seed)
    : m_openHab(openHab), m_random(seed)
{
}

QStringList FunctionListGenerator::groups(int maxCount)
{
    QStringList names;
    const int count = m_random.bounded(maxCount + 1);
    while (names.size() < count) {
        QString name;
        const int pick = names.isEmpty() ? 2 : m_random.bounded(8);
        if (pick == 0) {
            name = names.at(m_random.bounded(int(names.size())));
        } else if (pick == 1) {
            // The same name in other letter case is another group.
            name = swappedCase(names.at(m_random.bounded(int(names.size()))));
        } else {
            const int length = 1 + m_random.bounded(10);
            for (int i = 0; i < length; ++i)
                name += groupChars.at(m_random.bounded(int(groupChars.size())));
        }
        if (IsValidGroupName(name))
            names << name;
    }
    return names;
}

QList<FunctionEntry> FunctionListGenerator::functions(const QStringList& groups, int count)
{
    QList<FunctionEntry> rows;
    for (int i = 0; i < count; ++i)
        rows << function(groups);
    Vocabulary::RenumberAliases(rows);
    // The main window deletes and moves rows without renumbering them.
    if (!rows.isEmpty() && m_random.bounded(3) == 0) {
        for (int n = m_random.bounded(int(rows.size())); n > 0; --n)
            rows.removeAt(m_random.bounded(int(rows.size())));
    }
    if (rows.size() > 1 && m_random.bounded(3) == 0) {
        for (int n = m_random.bounded(5); n > 0; --n)
            rows.move(m_random.bounded(int(rows.size())), m_random.bounded(int(rows.size())));
    }
    for (FunctionEntry& row : rows)
        row.checked = m_random.bounded(10) == 0;
    return rows;
}

QString FunctionListGenerator::label()
{
    switch (m_random.bounded(12)) {
    case 0:
        return QString(1 + m_random.bounded(3), u' ');
    case 1:
        return u"Küche (EG)"_s;
    default:
        break;
    }
    // Starts with a character of its own so that dropping the temperature format leaves something.
    QString text = labelChars.at(m_random.bounded(int(labelChars.size())));
    const int length = m_random.bounded(20);
    for (int i = 0; i < length; ++i) {
        const int pick = m_random.bounded(int(labelChars.size()) + 3);
        if (pick == labelChars.size())
            text += temperatureFormat;
        else if (pick == labelChars.size() + 1)
            text += nestedTemperatureFormat;
        else if (pick == labelChars.size() + 2)
            text += u"😀"_s;
        else
            text += labelChars.at(pick);
    }
    return text;
}

FunctionEntry FunctionListGenerator::function(const QStringList& groups)
{
    const int iType = m_random.bounded(FunctionEntry::KindCount);
    const bool bVoice = m_random.bounded(3) != 0;
    const bool bHome = m_random.bounded(2) == 0;
    const bool bReverse = m_random.bounded(2) == 0;
    const int iBus = m_random.bounded(10);
    const int iCEN = m_random.bounded(3);

    QString sAdr;
    QString sCENKey;
    QString sGroups;
    if (iType == FunctionEntry::GroupScene) {
        // The hidden address and key fields keep whatever they held before.
        sAdr = m_random.bounded(2) == 0 ? u"0.0"_s : typedAddress(0);
        sCENKey = typedKey(99);
        const int scene = m_random.bounded(int(groups.size()) + 1);
        sGroups = scene == 0 ? Vocabulary::StopAllBlinds.toString() : groups.at(scene - 1);
    } else {
        std::tie(sAdr, sCENKey) = checkedAddress(iType);
        QStringList checked;
        for (const QString& group : groups) {
            if (m_random.bounded(3) == 0)
                checked << group;
        }
        sGroups = checked.join(u", "_s);
    }

    using Voice = FunctionEntry::Voice;
    Voice voice = Voice::None;
    if (bVoice && iType == FunctionEntry::Automation)
        voice = bHome ? Voice::Home : Voice::Alexa;
    else if (bVoice)
        voice = Voice::On;

    return FunctionEntry{.label = label(),
                         .address = sAdr,
                         .groups = sGroups,
                         .alias = u"NEW"_s,
                         .key = sCENKey,
                         .kind = iType,
                         .bus = iBus,
                         .cen = iCEN,
                         .voice = voice,
                         .reverse = bReverse}
        .normalized();
}

std::pair<QString, QString> FunctionListGenerator::checkedAddress(int iType)
{
    const bool bKeyed = iType == FunctionEntry::CenScene || iType == FunctionEntry::ScenarioModule;
    for (;;) {
        // CEN scenes and scenario modules are offered point-to-point addresses only.
        const int addressKind = bKeyed ? 0 : m_random.bounded(4);
        const QString typed = typedAddress(addressKind);
        const QString key = iType == FunctionEntry::CenScene         ? typedKey(99)
                            : iType == FunctionEntry::ScenarioModule ? typedKey(16)
                                                                     : QString();
        if (const Result<QString> stored = BusAddress::check(typed, key, iType, AddressKind(addressKind)))
            return {*stored, key};
    }
}

QString FunctionListGenerator::typedAddress(int addressKind)
{
    switch (addressKind) {
    case 0: {
        const int a = m_random.bounded(11);
        const int pl = a == 0 ? 1 + m_random.bounded(15) : m_random.bounded(16);
        const QString sA = padded(a, 1 + m_random.bounded(2));
        const QString sPl = padded(pl, 1 + m_random.bounded(2));
        switch (m_random.bounded(4)) {
        case 0:
            return sA + sPl;
        case 1:
            return u" "_s + sA + u" . "_s + sPl + u" "_s;
        default:
            return sA + u'.' + sPl;
        }
    }
    case 1: {
        const int area = m_random.bounded(11);
        switch (m_random.bounded(6)) {
        case 0:
            return padded(area, 2);
        case 1:
            return padded(area, 3);
        case 2:
            return padded(area, 4);
        case 3:
            return area == 10 ? u"1.0"_s : QString::number(area);
        default:
            return QString::number(area);
        }
    }
    case 2:
        return padded(1 + m_random.bounded(255), 1 + m_random.bounded(3));
    default:
        return m_random.bounded(2) == 0 ? QString() : u"0"_s;
    }
}

QString FunctionListGenerator::typedKey(int maxKey)
{
    return padded(1 + m_random.bounded(maxKey), 1 + m_random.bounded(3));
}

QString FunctionListGenerator::padded(int value, int width)
{
    return QString::number(value).rightJustified(width, u'0');
}
