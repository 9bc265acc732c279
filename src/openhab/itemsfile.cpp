#include "openhabgenerator.h"

#include "groupline.h"
#include "model/functionvocabulary.h"
#include "model/projectini.h"
#include "rulesbuilder.h"
#include "sitemapbuilder.h"

using namespace Qt::StringLiterals;

namespace {

// How each kind of function appears in the items file.
struct KindItem
{
    const char16_t* type;
    const char16_t* icon;
    const char16_t* tag; // for voice control; the blind's own item has none, its companion carries it
};

const KindItem kindItems[FunctionEntry::KindCount] = {
    {u"Switch", u"light", u"Lighting"},
    {u"Dimmer", u"heating", u"Lighting"},
    {u"Rollershutter", u"rollershutter", nullptr},
    {u"Switch", u"mediacontrol", u"Switchable"},
    {u"Switch", u"cinema", u"Switchable"},
    {u"Switch", u"groundfloor", u"Switchable"},
};

} // namespace

FileErrors OpenHabGenerator::SaveItems(const QList<FunctionEntry>& rows)
{
    return WriteProjectFiles(itemFiles(rows));
}

QList<std::pair<QString, GeneratedText>> OpenHabGenerator::itemFiles(const QList<FunctionEntry>& rows) const
{
    SitemapBuilder sitemap(m_language, !ProjectIni(sProjPath).GroupByRooms(), slGroups, groupLabels);
    RulesBuilder rules(rows);
    QStringList exposed;
    const GeneratedText items = itemsFile(rows, [&](const FunctionEntry& row, const ItemLines& lines) {
        exposed << lines.exposed;
        sitemap.Add(row.kind, row.alias, row.groups);
        rules.BuildRowRules(row);
    });

    return {{sItemsFile, items},
            {sCloudFile, GeneratedText(BuildCloudFile(exposed))},
            {sRulesFile, rules.Build()},
            {sSitemapFile, sitemap.Build(sProj)}};
}

GeneratedText OpenHabGenerator::itemsFile(const QList<FunctionEntry>& rows, const ItemVisitor& visit) const
{
    GeneratedText items;
    items.add(ItemsGroupsHeading);
    for (const QString& group : slGroups)
        items.add(GroupItemLine(group, groupLabels));
    items.add(QString());
    items.add(ItemsFunctionsHeading);
    for (const FunctionEntry& li : rows) {
        // Rows come from the editor or the items file and always have a known kind; a row of any
        // other kind has no item to write.
        if (li.kind < 0 || li.kind >= FunctionEntry::KindCount)
            continue;
        const ItemLines lines = BuildItemLine(li);
        items.add(lines.line);
        if (!lines.companion.isEmpty())
            items.add(lines.companion);
        if (visit)
            visit(li, lines);
    }
    return items;
}

OpenHabGenerator::ItemLines OpenHabGenerator::BuildItemLine(const FunctionEntry& v) const
{
    const KindItem& kind = kindItems[v.kind];
    const bool bGroups = !v.groups.isEmpty();
    const bool bTag = v.voiceOn() && kind.tag;
    const bool bBinding = v.kind != FunctionEntry::GroupScene;
    const QString binding = bBinding ? BuildBinding(v.kind, v.address, v.key, v.bus, v.cen) : QString();
    ItemLines lines;
    // One expression, so that the line is allocated once; a part the function lacks is empty.
    lines.line = QStringView(kind.type) % u' ' % v.alias % u" \"" % v.label % u"\" <" % kind.icon % u'>' %
                 (bGroups ? u" (" : u"") % v.groups % (bGroups ? u")" : u"") % (bTag ? u" [\"" : u"") %
                 (bTag ? kind.tag : u"") % (bTag ? u"\"]" : u"") % (bBinding ? u" {" : u"") % binding %
                 (bBinding ? u"}" : u"");
    if (v.voiceOn())
        lines.exposed << v.alias;
    if (v.kind == FunctionEntry::Automation && v.voiceOn()) {
        // Siri switches its companion on and off; Alexa sets a percentage.
        const QStringView type = v.homeVoice() ? u"Switch" : u"Dimmer";
        const QString name = v.alias + (v.homeVoice() ? Vocabulary::HomeSuffix : Vocabulary::AlexaSuffix);
        lines.companion = type % u' ' % name % u" \"" % v.label % u"\" <rollershutter> [\"Switchable\"]";
        lines.exposed << name;
    }
    return lines;
}

QString OpenHabGenerator::BusWhere(int iType, const QString& sAdr, int iBus, int iCEN)
{
    QString where = sAdr;
    for (const QChar separator : {u',', u'.'}) {
        const qsizetype at = where.indexOf(separator);
        if (at >= 0)
            where.remove(at, 1);
    }
    const bool bCenPlus = iType == FunctionEntry::CenScene && (iCEN == 1 || iCEN == 2);
    if (bCenPlus)
        where.prepend(u'2');
    if (iBus > 0)
        where += u"#4#0"_s + QString::number(iBus);
    return where;
}

QString OpenHabGenerator::KeyFrame(int iType, const QString& sAdr, const QString& sCENKey, int iBus, int iCEN)
{
    QString head = u"*0*"_s;
    QString key = sCENKey;
    if (iType == FunctionEntry::CenScene) {
        head = iCEN == 1 ? u"*25*21#"_s : iCEN == 2 ? u"*25*23#"_s : u"*15*"_s;
        if (key.size() == 1)
            key.prepend(u'0');
    }
    return head + key + u'*' + BusWhere(iType, sAdr, iBus, iCEN) + u"##"_s;
}

QString OpenHabGenerator::BuildBinding(int iType, const QString& sAdr, const QString& sCENKey, int iBus,
                                       int iCEN)
{
    if (iType == FunctionEntry::Switch || iType == FunctionEntry::Dimmer ||
        iType == FunctionEntry::Automation) {
        const QString who = iType == FunctionEntry::Automation ? u"2"_s : u"1"_s;
        return u"bticino=\"if=webserver;who="_s + who + u";what=0;where="_s +
               BusWhere(iType, sAdr, iBus, iCEN) + u'"';
    }

    // CEN scenes and scenario modules go out as a whole OpenWebNet frame, the same on ON and OFF.
    const QString frame = KeyFrame(iType, sAdr, sCENKey, iBus, iCEN);
    return u"mqtt=\">[cmdbroker:bticino/cmd/set:command:ON:"_s + frame +
           u"],>[cmdbroker:bticino/cmd/set:command:OFF:"_s + frame + u"]\",autoupdate=\"false\""_s;
}
