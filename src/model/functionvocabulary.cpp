#include "functionvocabulary.h"

#include "functionlist.h"

#include <iterator>

namespace Vocabulary {

namespace {

constexpr QStringView aliasPrefixes[] = {u"SWITCH_", u"DIMMER_", u"AUTO_", u"CEN_", u"SCENE_", u"GROUP_"};
static_assert(std::size(aliasPrefixes) == FunctionEntry::KindCount);

QString numberedAlias(const FunctionEntry& row, int position, const QString& yes)
{
    const bool bReversing = row.kind == FunctionEntry::GroupScene && row.reverse == yes;
    return AliasPrefix(row.kind, bReversing).toString() + QString::number(position + 1);
}

} // namespace

QStringView AliasPrefix(int kind, bool bReversingScene)
{
    if (bReversingScene)
        return ReversingScenePrefix;
    return kind >= 0 && kind < FunctionEntry::KindCount ? aliasPrefixes[kind] : aliasPrefixes[0];
}

void RenumberAliases(FunctionList& list, const QString& yes)
{
    for (int row = 0; row < list.count(); ++row) {
        const QString alias = numberedAlias(list.at(row), row, yes);
        if (list.at(row).alias != alias) {
            FunctionEntry renamed = list.at(row);
            renamed.alias = alias;
            list.replace(row, renamed);
        }
    }
}

void RenumberAliases(QList<FunctionEntry>& rows, const QString& yes)
{
    for (qsizetype row = 0; row < rows.size(); ++row)
        rows[row].alias = numberedAlias(rows.at(row), int(row), yes);
}

} // namespace Vocabulary
