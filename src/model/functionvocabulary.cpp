#include "functionvocabulary.h"

#include "functionlist.h"

#include <iterator>

using namespace Qt::StringLiterals;

namespace Vocabulary {

namespace {

constexpr QStringView aliasPrefixes[] = {u"SWITCH_", u"DIMMER_", u"AUTO_", u"CEN_", u"SCENE_", u"GROUP_"};
static_assert(std::size(aliasPrefixes) == FunctionEntry::KindCount);

QString numberedAlias(const FunctionEntry& row, int position)
{
    const bool reversing = row.kind == FunctionEntry::GroupScene && row.reverse;
    return AliasPrefix(row.kind, reversing).toString() + QString::number(position + 1);
}

} // namespace

QStringView AliasPrefix(int kind, bool reversingScene)
{
    if (reversingScene)
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

QString AddressText(const FunctionEntry& row)
{
    return row.bus <= 0 ? row.address : row.address + u" ("_s + QString::number(row.bus) + u')';
}

QString KeyText(const FunctionEntry& row)
{
    static const QString markers[] = {QString(), u" (+)"_s, u" (++)"_s};
    const bool marked = row.kind == FunctionEntry::CenScene && row.cen >= 1 && row.cen <= 2;
    return marked ? row.key + markers[row.cen] : row.key;
}

namespace {

// Removes blanks and control characters at both ends, as the file formats' own trimming does.
QString trimControl(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

AddressWords ReadAddressText(const QString& text)
{
    const qsizetype paren = text.indexOf(u'(');
    if (paren < 0)
        return {text, 0};
    const QChar bus = paren + 1 < text.size() ? text.at(paren + 1) : QChar();
    return {trimControl(text.left(paren)), bus.isDigit() && bus.unicode() < 0x80 ? bus.digitValue() : 0};
}

KeyWords ReadKeyText(const QString& text)
{
    static const QString markers[] = {u"(+)"_s, u"(++)"_s};
    for (int variant = 1; variant <= 2; ++variant) {
        const qsizetype at = text.indexOf(markers[variant - 1]);
        if (at >= 1)
            return {trimControl(QString(text).remove(at, markers[variant - 1].size())), variant};
    }
    return {text, 0};
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
