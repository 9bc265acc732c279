#pragma once

#include "model/functionentry.h"

#include <QList>
#include <QStringList>

struct TItemValues;

// Builds the openHAB rules of the functions that no binding drives on its own: individual scenes,
// which switch every member of their group, and voice-controlled blinds, whose companion item's
// on/off or percentage commands become UP and DOWN for the blind.
class TRulesBuilder
{
public:
    // rows: the whole function list, searched for the members of each scene.
    explicit TRulesBuilder(const QList<FunctionEntry>& rows);

    // Appends the rules of one function, given by its typed values.
    void BuildRowRules(const TItemValues& v);
    // The rules file: every function's rules, then the start-up rule when one is needed. No lines
    // at all when there is nothing to rule.
    QStringList Build() const;

private:
    void AddGroupRule(const TItemValues& v);
    void AddAutomationRule(const TItemValues& v);

    const QList<FunctionEntry>& m_rows;
    QStringList m_rules;
    QStringList m_init;
};
