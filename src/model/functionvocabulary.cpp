#include "functionvocabulary.h"

#include "functionlist.h"

#include <iterator>

namespace Vocabulary {

namespace {

constexpr QStringView aliasPrefixes[] = {u"SWITCH_", u"DIMMER_", u"AUTO_", u"CEN_", u"SCENE_", u"GROUP_"};
static_assert(std::size(aliasPrefixes) == FunctionEntry::KindCount);

QString numberedAlias(const FunctionEntry& row, int position)
{
    const bool bReversing = row.kind == FunctionEntry::GroupScene && row.reverse;
    return AliasPrefix(row.kind, bReversing).toString() + QString::number(position + 1);
}

} // namespace

QStringView AliasPrefix(int kind, bool bReversingScene)
{
    if (bReversingScene)
        return ReversingScenePrefix;
    return kind >= 0 && kind < FunctionEntry::KindCount ? aliasPrefixes[kind] : aliasPrefixes[0];
}

void RenumberAliases(FunctionList& list)
{
    for (int row = 0; row < list.count(); ++row) {
        const QString alias = numberedAlias(list.at(row), row);
        if (list.at(row).alias != alias) {
            FunctionEntry renamed = list.at(row);
            renamed.alias = alias;
            list.replace(row, renamed);
        }
    }
}

void RenumberAliases(QList<FunctionEntry>& rows)
{
    for (qsizetype row = 0; row < rows.size(); ++row)
        rows[row].alias = numberedAlias(rows.at(row), int(row));
}

QString VoiceText(FunctionEntry::Voice voice, const QString& yes)
{
    switch (voice) {
    case FunctionEntry::Voice::None:
        break;
    case FunctionEntry::Voice::On:
        return yes;
    case FunctionEntry::Voice::Alexa:
        return AlexaVoice.toString();
    case FunctionEntry::Voice::Home:
        return HomeVoice.toString();
    }
    return {};
}

} // namespace Vocabulary
