#include "rulesbuilder.h"

#include "openhabgenerator.h"

#include "model/functionvocabulary.h"
#include "model/groupnames.h"

#include <QStringTokenizer>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <span>

using namespace Qt::StringLiterals;

namespace {

// The placeholders of the rule templates, in the order of the values that fill them in.
enum Placeholder
{
    Label,
    Alias,
    Item,
    Name,
    Off,
    On,
    PlaceholderCount
};
const QStringView placeholderNames[PlaceholderCount] = {u"label", u"alias", u"item", u"name", u"off", u"on"};
using Values = std::array<QStringView, PlaceholderCount>;

// A rule template cut at its «name» placeholders once, so that filling it in is only appending:
// a project with thousands of blinds fills in tens of thousands of lines. A placeholder of another
// name stands for nothing.
class RuleTemplate
{
public:
    explicit RuleTemplate(std::span<const QStringView> lines)
    {
        for (const QStringView line : lines) {
            QList<Part> parts;
            qsizetype pos = 0;
            for (qsizetype open; (open = line.indexOf(u'«', pos)) >= 0;) {
                const qsizetype close = line.indexOf(u'»', open);
                const auto name = std::find(std::begin(placeholderNames), std::end(placeholderNames),
                                            line.sliced(open + 1, close - open - 1));
                parts.append({line.sliced(pos, open - pos), int(name - std::begin(placeholderNames))});
                pos = close + 1;
            }
            parts.append({line.sliced(pos), PlaceholderCount});
            m_lines.append(parts);
        }
    }

    // Appends the lines with every placeholder replaced by its value, in one pass, so a label that
    // itself holds a placeholder is written as it stands.
    void AppendTo(GeneratedText& rules, const Values& values) const
    {
        QVarLengthArray<QStringView, 16> line;
        for (const QList<Part>& parts : m_lines) {
            line.clear();
            for (const Part& part : parts) {
                line.append(part.text);
                if (part.placeholder < PlaceholderCount)
                    line.append(values[part.placeholder]);
            }
            rules.addParts(line);
        }
    }

private:
    // The text up to a placeholder, and the placeholder (PlaceholderCount for none).
    struct Part
    {
        QStringView text;
        int placeholder;
    };
    QList<QList<Part>> m_lines;
};

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

const RuleTemplate groupRuleHeadTemplate(groupRuleHead);
const RuleTemplate automationRuleHeadTemplate(automationRuleHead);
const RuleTemplate homeValueTemplate(homeValueLines);
const RuleTemplate alexaValueTemplate(alexaValueLines);
const RuleTemplate automationRuleTailTemplate(automationRuleTail);

void addSendCommand(GeneratedText& lines, const QString& sAlias, QStringView command)
{
    lines.add(u"    sendCommand("_s + sAlias + u", "_s + command + u")"_s);
}

} // namespace

RulesBuilder::RulesBuilder(const QList<FunctionEntry>& rows) : m_rows(rows) {}

void RulesBuilder::BuildRowRules(const FunctionEntry& v)
{
    if (v.kind == FunctionEntry::GroupScene)
        AddGroupRule(v);
    else if (v.kind == FunctionEntry::Automation && v.voiceOn())
        AddAutomationRule(v);
}

GeneratedText RulesBuilder::Build()
{
    if (!m_init.isEmpty()) {
        for (const QString& line :
             {QString(), u"rule \"Init\""_s, u"when"_s, u"  System started"_s, u"then"_s})
            m_rules.add(line);
        m_rules.append(m_init);
        m_rules.add(u"end"_s);
    }
    return std::move(m_rules);
}

void RulesBuilder::IndexMembers()
{
    m_bIndexed = true;
    // Only the groups that scenes switch are indexed; no group has the empty name.
    for (const FunctionEntry& row : m_rows) {
        if (row.kind == FunctionEntry::GroupScene && !row.groups.isEmpty())
            m_membersOfGroup.try_emplace(row.groups);
    }
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        const FunctionEntry& row = m_rows.at(i);
        if (row.kind == FunctionEntry::Automation)
            m_blinds << i;
        if (row.kind == FunctionEntry::GroupScene)
            continue;
        // The names as IsInGroup compares them. A name the row lists twice makes it a member once.
        for (const QStringView name : GeneratorGroupNames(row.groups)) {
            const auto group = m_membersOfGroup.find(name);
            if (group == m_membersOfGroup.end())
                continue;
            QList<qsizetype>& members = group->second;
            if (members.isEmpty() || members.constLast() != i)
                members.append(i);
        }
    }
}

const RulesBuilder::MemberCommands& RulesBuilder::memberCommands(const QString& sGroups, bool bReverse)
{
    const std::pair key(sGroups, bReverse);
    if (const auto known = m_memberCommands.constFind(key); known != m_memberCommands.cend())
        return *known;
    if (!m_bIndexed)
        IndexMembers();
    // The stop-all scene stops every blind; any other scene switches the members of its group,
    // blinds moving up on ON unless the scene reverses them.
    const bool bStopAll = sGroups == Vocabulary::StopAllBlinds;
    const QStringView blindOn = bReverse ? u"DOWN" : u"UP";
    const QStringView blindOff = bReverse ? u"UP" : u"DOWN";
    static const QList<qsizetype> none;
    const auto group = m_membersOfGroup.find(sGroups);
    const QList<qsizetype>& members = bStopAll                          ? m_blinds
                                      : group == m_membersOfGroup.end() ? none
                                                                        : group->second;
    MemberCommands commands;
    for (const qsizetype i : members) {
        const FunctionEntry& row = m_rows.at(i);
        const bool bBlind = row.kind == FunctionEntry::Automation;
        if (bStopAll) {
            addSendCommand(commands.on, row.alias, u"STOP");
            addSendCommand(commands.off, row.alias, u"STOP");
        } else {
            addSendCommand(commands.on, row.alias, bBlind ? blindOn : u"ON");
            addSendCommand(commands.off, row.alias, bBlind ? blindOff : u"OFF");
        }
    }
    return *m_memberCommands.insert(key, commands);
}

void RulesBuilder::AddGroupRule(const FunctionEntry& v)
{
    const MemberCommands& commands = memberCommands(v.groups, v.reverse);
    Values values;
    values[Label] = v.label;
    values[Alias] = v.alias;
    groupRuleHeadTemplate.AppendTo(m_rules, values);
    m_rules.append(commands.on);
    m_rules.add(u"  } else if (receivedCommand == OFF) {"_s);
    m_rules.append(commands.off);
    for (const QString& line : {u"  }"_s, u"end"_s, QString()})
        m_rules.add(line);
}

void RulesBuilder::AddAutomationRule(const FunctionEntry& v)
{
    // Siri and Google switch the companion on to close the blind; Alexa's "on" opens it.
    const QString item = v.alias + (v.homeVoice() ? Vocabulary::HomeSuffix : Vocabulary::AlexaSuffix);
    Values values;
    values[Label] = v.label;
    values[Alias] = v.alias;
    values[Item] = item;
    values[Name] = v.homeVoice() ? u"Home" : u"Alexa";
    values[Off] = v.homeVoice() ? u"UP" : u"DOWN";
    values[On] = v.homeVoice() ? u"DOWN" : u"UP";
    automationRuleHeadTemplate.AppendTo(m_rules, values);
    (v.homeVoice() ? homeValueTemplate : alexaValueTemplate).AppendTo(m_rules, values);
    automationRuleTailTemplate.AppendTo(m_rules, values);
    if (!v.homeVoice()) {
        m_init.add(u"  logInfo(\"init.rules\",\"Init Alexa-Automation "_s + item + u": 50\")"_s);
        m_init.add(u"  postUpdate("_s + item + u", 50)"_s);
    }
}
