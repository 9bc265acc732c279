#include "rulesbuilder.h"

#include "topenhab.h"

#include <QStringTokenizer>

#include <initializer_list>
#include <span>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

using TPlaceholders = std::initializer_list<std::pair<QStringView, QString>>;

// Appends the template to text with every «name» replaced by its value, in one pass, so a label
// that itself holds such a marker is written as it stands.
void expandInto(QString& text, QStringView tmpl, TPlaceholders values)
{
    qsizetype pos = 0;
    for (qsizetype open; (open = tmpl.indexOf(u'«', pos)) >= 0;) {
        const qsizetype close = tmpl.indexOf(u'»', open);
        const QStringView name = tmpl.sliced(open + 1, close - open - 1);
        text += tmpl.sliced(pos, open - pos);
        for (const auto& [key, value] : values) {
            if (key == name)
                text += value;
        }
        pos = close + 1;
    }
    text += tmpl.sliced(pos);
}

void appendExpanded(TTextLines& lines, std::span<const QStringView> tmpl, TPlaceholders values)
{
    // One buffer serves every line.
    QString line;
    for (const QStringView lineTemplate : tmpl) {
        line.resize(0);
        expandInto(line, lineTemplate, values);
        lines.add(line);
    }
}

const QStringView groupRuleHead[] = {
    u"rule \"Groupcommand «label»\"",
    u"when",
    u"  Item «alias» received command",
    u"then",
    u"  logInfo(\"group.rules\",\"Switch group «alias»\")",
    u"  if (receivedCommand == ON) {",
};

// clang-format off
// «item» is the companion item that Alexa or Siri drive, «name» the assistant's word in the log,
// «off» and «on» the blind's direction for off (0) and on (100).
const QStringView automationRuleHead[] = {
    u"rule \"Alexa-Home-Automation «label»\"",
    u"when",
    u"  Item «item» changed or",
    u"  Item «item» received command",
    u"then",
};

const QStringView homeValueLines[] = {
    u"  var int wert = 0",
    u"  if (receivedCommand == OFF) {",
    u"    wert = 0",
    u"  } else if (receivedCommand == ON) {",
    u"    wert = 100",
    u"  } else {",
    u"    wert = («item».state as DecimalType ).intValue",
    u"  }",
};

const QStringView alexaValueLines[] = {
    u"  var int wert = («item».state as DecimalType ).intValue",
};

const QStringView automationRuleTail[] = {
    u"  if (receivedCommand == OFF || wert==0) {",
    u"    logInfo(\"automation.rules\",\"Switch off «name»-Automation «item»\")",
    u"    «alias».sendCommand(«off»)",
    u"  } else if (receivedCommand == ON || wert==100) { ",
    u"    logInfo(\"automation.rules\",\"Switch on «name»-Automation «item»\")",
    u"    «alias».sendCommand(«on»)",
    u"  } else if (previousState !== null) {",
    u"    logInfo(\"automation.rules\",\"Switch «name»-Automation «item» \" + previousState + \"->\"+«item».state)",
    u"    var int wertalt = (previousState as DecimalType ).intValue",
    u"    if (wertalt>wert && wert>0) {",
    u"      «alias».sendCommand(«off»)",
    u"    } else if (wertalt<wert && wert<100) {",
    u"      «alias».sendCommand(«on»)",
    u"    }",
    u"  }",
    u"end",
    u"",
};
// clang-format on

void addSendCommand(TTextLines& lines, const QString& sAlias, QStringView command)
{
    lines.add(u"    sendCommand("_s + sAlias + u", "_s + command + u")"_s);
}

} // namespace

TRulesBuilder::TRulesBuilder(const QList<FunctionEntry>& rows)
    : m_rows(rows)
{
}

void TRulesBuilder::BuildRowRules(const TItemValues& v)
{
    if (v.iType == FunctionEntry::GroupScene)
        AddGroupRule(v);
    else if (v.iType == FunctionEntry::Automation && v.bAlexa)
        AddAutomationRule(v);
}

TTextLines TRulesBuilder::Build()
{
    if (!m_init.isEmpty()) {
        for (const QString& line : {QString(), u"rule \"Init\""_s, u"when"_s, u"  System started"_s, u"then"_s})
            m_rules.add(line);
        m_rules.append(m_init);
        m_rules.add(u"end"_s);
    }
    return std::move(m_rules);
}

void TRulesBuilder::IndexMembers()
{
    m_bIndexed = true;
    // Only the groups that scenes switch are indexed; no group has the empty name.
    for (const FunctionEntry& row : m_rows) {
        if (row.kind == FunctionEntry::GroupScene && !row.groups.isEmpty())
            m_membersOfGroup.insert(row.groups, {});
    }
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        const FunctionEntry& row = m_rows.at(i);
        if (row.kind == FunctionEntry::Automation)
            m_blinds << i;
        if (row.kind == FunctionEntry::GroupScene)
            continue;
        // The names as IsInGroup compares them: split at ",", blanks around each removed. A name
        // the row lists twice makes it a member once.
        for (const QStringView name : QStringTokenizer(row.groups, u',')) {
            const QStringView trimmed = name.trimmed();
            // Looked up without a copy of the name.
            const auto group = m_membersOfGroup.find(QString::fromRawData(trimmed.data(), trimmed.size()));
            if (group != m_membersOfGroup.end() && (group->isEmpty() || group->constLast() != i))
                group->append(i);
        }
    }
}

void TRulesBuilder::AddGroupRule(const TItemValues& v)
{
    if (!m_bIndexed)
        IndexMembers();
    // The stop-all scene stops every blind; any other scene switches the members of its group,
    // blinds moving up on ON unless the scene reverses them.
    const bool bStopAll = v.sGroups == u"_STOP_"_s;
    const QStringView blindOn = v.bReverse ? u"DOWN" : u"UP";
    const QStringView blindOff = v.bReverse ? u"UP" : u"DOWN";
    static const QList<qsizetype> none;
    const auto group = m_membersOfGroup.constFind(v.sGroups);
    const QList<qsizetype>& members = bStopAll ? m_blinds : group == m_membersOfGroup.cend() ? none : *group;
    appendExpanded(m_rules, groupRuleHead, {{u"label", v.sBez}, {u"alias", v.sAlias}});
    TTextLines offLines;
    for (const qsizetype i : members) {
        const FunctionEntry& row = m_rows.at(i);
        const bool bBlind = row.kind == FunctionEntry::Automation;
        if (bStopAll) {
            addSendCommand(m_rules, row.alias, u"STOP");
            addSendCommand(offLines, row.alias, u"STOP");
        } else {
            addSendCommand(m_rules, row.alias, bBlind ? blindOn : u"ON");
            addSendCommand(offLines, row.alias, bBlind ? blindOff : u"OFF");
        }
    }
    m_rules.add(u"  } else if (receivedCommand == OFF) {"_s);
    m_rules.append(offLines);
    for (const QString& line : {u"  }"_s, u"end"_s, QString()})
        m_rules.add(line);
}

void TRulesBuilder::AddAutomationRule(const TItemValues& v)
{
    // Siri and Google switch the companion on to close the blind; Alexa's "on" opens it.
    const QString item = v.sAlias + (v.bHome ? u"_HOME"_s : u"_ALEXA"_s);
    const TPlaceholders values = {{u"label", v.sBez},
                                  {u"alias", v.sAlias},
                                  {u"item", item},
                                  {u"name", v.bHome ? u"Home"_s : u"Alexa"_s},
                                  {u"off", v.bHome ? u"UP"_s : u"DOWN"_s},
                                  {u"on", v.bHome ? u"DOWN"_s : u"UP"_s}};
    appendExpanded(m_rules, automationRuleHead, values);
    appendExpanded(m_rules, v.bHome ? std::span<const QStringView>(homeValueLines) : alexaValueLines, values);
    appendExpanded(m_rules, automationRuleTail, values);
    if (!v.bHome) {
        m_init.add(u"  logInfo(\"init.rules\",\"Init Alexa-Automation "_s + item + u": 50\")"_s);
        m_init.add(u"  postUpdate("_s + item + u", 50)"_s);
    }
}
