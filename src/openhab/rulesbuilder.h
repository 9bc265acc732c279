#pragma once

#include "generatedtext.h"
#include "model/functionentry.h"
#include "nametable.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include <utility>

// Builds the openHAB rules of the functions that no binding drives on its own: individual scenes,
// which switch every member of their group, and voice-controlled blinds, whose companion item's
// on/off or percentage commands become UP and DOWN for the blind.
class RulesBuilder
{
public:
    // rows: the whole function list, where each scene finds its members.
    explicit RulesBuilder(const QList<FunctionEntry>& rows);

    // Appends the rules of one function of the rows, given by its typed values.
    void BuildRowRules(const FunctionEntry& v);
    // The rules file: every function's rules, then the start-up rule when one is needed. No lines
    // at all when there is nothing to rule. Hands the rules over: called once, after the last row.
    GeneratedText Build();

private:
    // The ON and OFF commands to the members of a scene. Scenes of the same group and direction
    // switch the same members, so their commands are put together once.
    struct MemberCommands
    {
        GeneratedText on;
        GeneratedText off;
    };
    const MemberCommands& memberCommands(const QString& sGroups, bool bReverse);
    void AddGroupRule(const FunctionEntry& v);
    void AddAutomationRule(const FunctionEntry& v);
    // Files every row under the groups it belongs to, once, before the first scene needs it.
    void IndexMembers();

    const QList<FunctionEntry>& m_rows;
    // The rows a scene switches, in list order: the members of each group that a scene switches
    // (IsInGroup's membership; scenes are never members), and the blinds, which the stop-all
    // scene stops.
    // Looking them up instead of searching the list per scene keeps the rules linear in the size
    // of the list.
    bool m_bIndexed = false;
    NameTable<QList<qsizetype>> m_membersOfGroup;
    QList<qsizetype> m_blinds;
    QHash<std::pair<QString, bool>, MemberCommands> m_memberCommands;
    GeneratedText m_rules;
    GeneratedText m_init;
};
