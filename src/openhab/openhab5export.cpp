#include "openhab5export.h"

#include "openhab5text.h"
#include "rulesbuilder.h"
#include "sitemapbuilder.h"

#include "bus/busaddress.h"
#include "model/functionvocabulary.h"
#include "model/groupnames.h"
#include "model/language.h"

#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString bridgeUid = u"openwebnet:bus_gateway:bticino"_s;

// How the kinds appear as items.
struct KindItem
{
    QStringView type;
    QStringView icon;
};
const KindItem kindItems[FunctionEntry::KindCount] = {
    {u"Switch", u"light"},        {u"Dimmer", u"light"},  {u"Rollershutter", u"rollershutter"},
    {u"Switch", u"mediacontrol"}, {u"Switch", u"cinema"}, {u"Switch", u"groundfloor"},
};

// The area of a light point's stored form ("01.12" lies in area 1) or of an area's ("100" is area
// 10); -1 for the other address kinds.
int areaOf(const QString& stored, AddressKind addressKind)
{
    if (addressKind == AddressKind::PointToPoint)
        return stored.section(u'.', 0, 0).toInt();
    if (addressKind == AddressKind::Area)
        return stored == u"100" ? 10 : stored.toInt();
    return -1;
}

// A CEN key as the binding numbers its buttons; -1 for a key it has no button for.
int buttonOf(const QString& key)
{
    bool number = false;
    const int button = key.toInt(&number);
    return number && button >= 0 && button <= 31 ? button : -1;
}

// The press that the openHAB 2 files send for a key: the start of a CEN press, the short or the
// extended CEN+ press.
QStringView pressOf(int iCEN)
{
    return iCEN == 1 ? u"SHORT_PRESS" : iCEN == 2 ? u"EXTENDED_PRESS" : u"START_PRESS";
}

QString automationFrame(QStringView what, const QString& where)
{
    return u"*2*"_s + what + u'*' + where + u"##"_s;
}

QString sendMessage(const QString& frame)
{
    return u"getActions(\"openwebnet\", \""_s + bridgeUid + u"\").sendMessage(" + openHab5Quoted(frame) +
           u')';
}

// A rule run by a command to the item, with its body.
void addRule(QStringList& rules, QStringView what, const FunctionEntry& v, const QStringList& body)
{
    rules << u"rule "_s + openHab5Quoted(what + u' ' + v.label) << u"when"_s
          << u"  Item "_s + v.alias + u" received command"_s << u"then"_s;
    for (const QString& line : body)
        rules << u"  "_s + line;
    rules << u"end"_s << QString();
}

QString lfText(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + u'\n';
    return text;
}

} // namespace

OpenHab5Export::OpenHab5Export(const OpenHabGenerator& openHab, const QList<FunctionEntry>& rows)
    : m_openHab(openHab)
{
    for (const QString& group : openHab.slGroups) {
        if (IsValidGroupName(group) && !m_groups.contains(group))
            m_groups << group;
    }
    // The lights first: a light group needs a light point among them.
    QList<Function> candidates;
    QList<AddressKind> addressKinds;
    QList<Function> lights;
    for (const FunctionEntry& row : rows) {
        if (row.kind < 0 || row.kind >= FunctionEntry::KindCount)
            continue;
        Function f{&row, row, {}, {}, {}, {}};
        const BusAddress::Form stored = BusAddress::storedForm(f.v.address, f.v.kind);
        const AddressKind addressKind = stored.kind;
        f.v.address = stored.text;
        f.where = OpenHabGenerator::BusWhere(f.v.kind, stored.text, f.v.bus, f.v.cen);
        candidates << f;
        addressKinds << addressKind;
        // A light point's reason never asks for the other lights.
        const bool light = row.kind == FunctionEntry::Switch || row.kind == FunctionEntry::Dimmer;
        if (light && addressKind == AddressKind::PointToPoint && reason(f, addressKind, {}).isEmpty())
            lights << f;
    }
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        Function& f = candidates[i];
        const AddressKind addressKind = addressKinds.at(i);
        const QString why = reason(f, addressKind, lights);
        if (!why.isEmpty()) {
            m_leftOut << openHab.language().GetMsg(Msg::OpenHab5LeftOut,
                                                   f.v.alias + u" \""_s + f.row->label + u'"', why);
            continue;
        }
        static const QStringView pointTypes[] = {u"bus_on_off_switch", u"bus_dimmer", u"bus_automation"};
        static const QStringView channels[] = {u"switch", u"brightness", u"shutter"};
        const int kind = f.v.kind;
        if (kind == FunctionEntry::Switch && addressKind != AddressKind::PointToPoint) {
            f.thingType = u"bus_light_group"_s;
            f.thingId = f.v.alias;
            f.channel = u"switch"_s;
        } else if (kind <= FunctionEntry::Automation && addressKind == AddressKind::PointToPoint) {
            f.thingType = pointTypes[kind].toString();
            f.thingId = f.v.alias;
            f.channel = channels[kind].toString();
        } else if (kind == FunctionEntry::CenScene) {
            const bool cenPlus = f.v.cen == 1 || f.v.cen == 2;
            f.thingType = cenPlus ? u"bus_cenplus_scenario_control"_s : u"bus_cen_scenario_control"_s;
            f.thingId = (cenPlus ? u"cenplus_"_s : u"cen_"_s) + QString(f.where).replace(u'#', u'_');
        }
        if (!f.channel.isEmpty())
            f.channel = u"openwebnet:"_s + f.thingType + u":bticino:"_s + f.thingId + u':' + f.channel;
        m_functions << f;
        m_rows << *f.row;
    }
    // The rows the scenes find their members in are these copies, no longer the caller's.
    for (qsizetype i = 0; i < m_functions.size(); ++i)
        m_functions[i].row = &m_rows.at(i);
}

QString OpenHab5Export::reason(const Function& f, AddressKind addressKind,
                               const QList<Function>& lights) const
{
    const Language& language = m_openHab.language();
    const QString quotedAddress = u'"' + Vocabulary::AddressText(*f.row) + u'"';
    if (!isOpenHab5Name(f.v.alias))
        return language.GetMsg(Msg::OpenHab5NotAccepted, u'"' + f.v.alias + u'"');
    const int kind = f.v.kind;
    if (kind == FunctionEntry::CenScene && buttonOf(f.v.key) < 0)
        return language.GetMsg(Msg::OpenHab5CenKeyOutOfRange, f.v.key);
    if ((kind == FunctionEntry::Dimmer || kind == FunctionEntry::CenScene) &&
        addressKind != AddressKind::PointToPoint)
        return language.GetMsg(
            Msg::OpenHab5NotAccepted,
            language.GetMsg(kind == FunctionEntry::Dimmer ? Msg::KindDimmers : Msg::KindCen) + u' ' +
                quotedAddress);
    if (kind != FunctionEntry::Switch || addressKind == AddressKind::PointToPoint)
        return {};
    // A bus group's members are set in the devices, not in the project: any light point on its bus
    // may belong to it. The general address reaches every bus.
    const int area = areaOf(f.v.address, addressKind);
    const bool member = std::any_of(lights.cbegin(), lights.cend(), [&](const Function& light) {
        const bool sameBus = light.v.bus == f.v.bus;
        return addressKind == AddressKind::General ||
               (sameBus && (addressKind == AddressKind::Group ||
                            areaOf(light.v.address, AddressKind::PointToPoint) == area));
    });
    return member ? QString() : language.GetMsg(Msg::OpenHab5GroupWithoutLight, quotedAddress);
}

QList<std::pair<QString, QString>> OpenHab5Export::files(bool kindFrames) const
{
    return {{ThingsFile, things()},
            {ItemsFile, items()},
            {RulesFile, rules()},
            {SitemapFile, sitemap(kindFrames)}};
}

QString OpenHab5Export::things() const
{
    QString bridge =
        u"Bridge "_s + bridgeUid + u" \"BTicino\" [ host="_s + openHab5Quoted(m_openHab.serverIP);
    bool portNumber = false;
    const ushort port = m_openHab.serverPort.toUShort(&portNumber);
    if (portNumber && port > 0)
        bridge += u", port="_s + QString::number(port);
    if (!m_openHab.serverPass.isEmpty())
        bridge += u", passwd="_s + openHab5Quoted(m_openHab.serverPass);
    QStringList lines{bridge + u" ] {"_s};
    // A CEN or CEN+ thing stands for every key of its address.
    QStringList cenIds;
    QList<QStringList> cenLines;
    for (const Function& f : m_functions) {
        if (f.thingType.isEmpty())
            continue;
        const QString head = u"    "_s + f.thingType + u' ' + f.thingId + u' ';
        if (f.v.kind != FunctionEntry::CenScene) {
            // The project knows no run time of its blinds: the binding measures it on first use.
            const QString run =
                f.v.kind == FunctionEntry::Automation ? u", shutterRun=\"AUTO\""_s : QString();
            lines << head + openHab5Quoted(f.v.label) + u" [ where="_s + openHab5Quoted(f.where) + run +
                         u" ]"_s;
            continue;
        }
        qsizetype at = cenIds.indexOf(f.thingId);
        if (at < 0) {
            at = cenIds.size();
            cenIds << f.thingId;
            const QString label = (f.v.cen == 0 ? u"CEN "_s : u"CEN+ "_s) + Vocabulary::AddressText(*f.row);
            cenLines.append({head + openHab5Quoted(label) + u" [ where="_s + openHab5Quoted(f.where)});
        }
        const QString button = QString::number(buttonOf(f.v.key));
        if (!cenLines[at].mid(1).contains(button))
            cenLines[at] << button;
    }
    for (const QStringList& cen : cenLines)
        lines << cen.first() + u", buttons=\""_s + cen.mid(1).join(u',') + u"\" ]"_s;
    lines << u"}"_s;
    return lfText(lines);
}

QString OpenHab5Export::items() const
{
    QStringList lines;
    for (const QString& group : m_groups)
        lines << u"Group "_s + group + u' ' + openHab5Quoted(GroupLabel(m_openHab.groupLabels, group));
    if (!lines.isEmpty())
        lines << QString();
    const QSet<QString> declared(m_groups.cbegin(), m_groups.cend());
    for (const Function& f : m_functions) {
        const int kind = f.v.kind;
        QStringList groups;
        for (const QStringView name : GeneratorGroupNames(f.v.groups)) {
            if (declared.contains(name.toString()) && !groups.contains(name))
                groups << name.toString();
        }
        QStringList metadata;
        if (!f.channel.isEmpty())
            metadata << u"channel=\""_s + f.channel + u'"';
        if (kind == FunctionEntry::CenScene || kind == FunctionEntry::ScenarioModule)
            metadata << u"autoupdate=\"false\""_s;
        if (f.v.voiceOn() && kind == FunctionEntry::Automation)
            metadata << (f.v.homeVoice() ? u"homekit=\"WindowCovering\""_s : u"alexa=\"Blind\""_s);
        else if (f.v.voiceOn() && kind <= FunctionEntry::Dimmer)
            metadata << u"alexa=\"Light\""_s << u"homekit=\"Lighting\""_s;
        else if (f.v.voiceOn())
            metadata << u"alexa=\"Switch\""_s << u"homekit=\"Switchable\""_s;
        QString line = kindItems[kind].type + u' ' + f.v.alias + u' ' + openHab5Quoted(f.v.label) + u" <"_s +
                       kindItems[kind].icon + u'>';
        if (!groups.isEmpty())
            line += u" ("_s + groups.join(u", "_s) + u')';
        if (!metadata.isEmpty())
            line += u" { "_s + metadata.join(u", "_s) + u" }"_s;
        lines << line;
    }
    return lfText(lines);
}

QString OpenHab5Export::rules() const
{
    QStringList rules;
    RulesBuilder scenes(m_rows);
    // The local buses with blinds, which the stop-all scene stops besides the private riser.
    QStringList stopAll{automationFrame(u"0", u"0"_s)};
    for (const Function& f : m_functions) {
        const QString frame = automationFrame(u"0", u"0#4#0"_s + QString::number(f.v.bus));
        if (f.v.kind == FunctionEntry::Automation && f.v.bus > 0 && !stopAll.contains(frame))
            stopAll << frame;
    }
    for (const Function& f : m_functions) {
        const FunctionEntry& v = f.v;
        switch (v.kind) {
        case FunctionEntry::Automation:
            if (f.thingType.isEmpty())
                addRule(rules, u"Automation", v,
                        {u"if (receivedCommand == UP) {"_s,
                         u"  "_s + sendMessage(automationFrame(u"1", f.where)),
                         u"} else if (receivedCommand == DOWN) {"_s,
                         u"  "_s + sendMessage(automationFrame(u"2", f.where)),
                         u"} else if (receivedCommand == STOP) {"_s,
                         u"  "_s + sendMessage(automationFrame(u"0", f.where)), u"}"_s});
            break;
        case FunctionEntry::CenScene:
            addRule(rules, u"CEN", v,
                    {u"getActions(\"openwebnet\", \"openwebnet:"_s + f.thingType + u":bticino:"_s +
                     f.thingId + u"\").virtualPress(\""_s + pressOf(v.cen) + u"\", "_s +
                     QString::number(buttonOf(v.key)) + u')'});
            break;
        case FunctionEntry::ScenarioModule:
            addRule(rules, u"Scenario", v,
                    {sendMessage(OpenHabGenerator::KeyFrame(v.kind, v.address, v.key, v.bus, v.cen))});
            break;
        case FunctionEntry::GroupScene:
            if (v.groups == Vocabulary::StopAllBlinds) {
                QStringList body;
                for (const QString& frame : stopAll)
                    body << sendMessage(frame);
                addRule(rules, u"Groupcommand", v, body);
            } else {
                // The scene's label goes into the rule's name as the grammar reads it.
                FunctionEntry quoted = v;
                quoted.label = openHab5Quoted(v.label).mid(1).chopped(1);
                scenes.BuildRowRules(quoted);
            }
            break;
        default:
            break;
        }
    }
    // The scenes' rules follow the others, in list order among themselves.
    return lfText(rules) + scenes.Build().text().replace(u"\r\n"_s, u"\n"_s);
}

QString OpenHab5Export::sitemap(bool kindFrames) const
{
    SitemapBuilder sitemap(m_openHab.language(), kindFrames, m_groups, m_openHab.groupLabels);
    for (const Function& f : m_functions)
        sitemap.Add(f.v.kind, f.v.alias, f.v.groups);
    return sitemap.Build(openHab5Quoted(m_openHab.sProj).mid(1).chopped(1))
        .text()
        .replace(u"\r\n"_s, u"\n"_s);
}
