#include "groupnames.h"

#include "functionvocabulary.h"

#include <QStringTokenizer>

#include <algorithm>
#include <iterator>

namespace {

bool lessIgnoringCase(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

bool isItemNameCharacter(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
}

// The item name for a text that is none: German letters spelled out, anything else a "_".
QString derivedItemName(const QString& text)
{
    static const QHash<QChar, QString> spelledOut = {
        {u'ä', QStringLiteral("ae")}, {u'ö', QStringLiteral("oe")}, {u'ü', QStringLiteral("ue")},
        {u'Ä', QStringLiteral("Ae")}, {u'Ö', QStringLiteral("Oe")}, {u'Ü', QStringLiteral("Ue")},
        {u'ß', QStringLiteral("ss")},
    };
    QString name;
    name.reserve(text.size() + 4);
    for (const QChar c : text) {
        if (isItemNameCharacter(c))
            name += c;
        else
            name += spelledOut.value(c, QStringLiteral("_"));
    }
    if (!IsValidGroupName(name))
        name += u'_';
    return name;
}

} // namespace

QStringList EditorGroupNames(const QString& groups)
{
    return groups.split(GroupSeparator.toString());
}

QList<QStringView> GeneratorGroupNames(QStringView groups)
{
    QList<QStringView> names;
    for (const QStringView name : QStringTokenizer(groups, u','))
        names << name.trimmed();
    return names;
}

bool IsInGroup(const QString& groups, const QString& group)
{
    if (group.isEmpty())
        return false;
    const QList<QStringView> names = GeneratorGroupNames(groups);
    return std::find(names.cbegin(), names.cend(), group) != names.cend();
}

bool IsValidGroupName(const QString& name)
{
    // openHAB's item type words, refused in any letter case.
    static const char* const typeWords[] = {"DIMMER",   "SWITCH",  "GROUP",  "ROLLERSHUTTER",
                                            "NUMBER",   "PLAYER",  "STRING", "IMAGE",
                                            "DATETIME", "CONTACT", "COLOR",  "LOCATION"};
    // The keywords of the items grammar (group functions and literals). They are case-sensitive, so
    // only this spelling is a keyword; "Group AND" would make openHAB drop the whole items file.
    static const char* const keywords[] = {"AND",      "AVG",    "COUNT", "Call", "EARLIEST",
                                           "EQUALITY", "LATEST", "MAX",   "MIN",  "NAND",
                                           "NOR",      "OR",     "SUM",   "true", "false"};
    if (name.isEmpty() || name == Vocabulary::StopAllBlinds)
        return false;
    const bool plain = std::all_of(name.begin(), name.end(), isItemNameCharacter);
    const auto equals = [&name](Qt::CaseSensitivity cs) {
        return [&name, cs](const char* word) { return name.compare(QLatin1String(word), cs) == 0; };
    };
    return plain && std::none_of(std::begin(typeWords), std::end(typeWords), equals(Qt::CaseInsensitive)) &&
           std::none_of(std::begin(keywords), std::end(keywords), equals(Qt::CaseSensitive));
}

QString GroupLabel(const GroupLabels& labels, const QString& name)
{
    return labels.value(name, name);
}

QString GroupLabelsText(const GroupLabels& labels, const QString& groups)
{
    if (labels.isEmpty() || groups.isEmpty())
        return groups;
    QStringList names = EditorGroupNames(groups);
    for (QString& name : names)
        name = GroupLabel(labels, name);
    return names.join(GroupSeparator);
}

GroupNaming NameGroup(const QString& text, const QStringList& names, const GroupLabels& labels)
{
    const QString typed = text.trimmed();
    if (typed.isEmpty())
        return {};
    for (const QString& name : names) {
        if (GroupLabel(labels, name) == typed)
            return {name, labels.value(name)};
    }
    const QString base = IsValidGroupName(typed) ? typed : derivedItemName(typed);
    // Letter case counts, as it does for memberships: "keller" beside "Keller" is a group of its own.
    QString name = base;
    for (int suffix = 2; names.contains(name); ++suffix)
        name = base + u'_' + QString::number(suffix);
    return {name, name == typed ? QString() : typed};
}

bool CanDeleteGroup(const QList<FunctionEntry>& rows, const QString& name)
{
    return std::none_of(rows.begin(), rows.end(), [&name](const FunctionEntry& row) {
        return row.kind == FunctionEntry::GroupScene && row.groups.compare(name, Qt::CaseInsensitive) == 0;
    });
}

void RenameGroupInRows(QList<FunctionEntry>& rows, const QString& oldName, const QString& newName,
                       const QStringList& groups)
{
    // Letter case is ignored only while it cannot pick another group: with "EG" and "eg" both in the
    // list, renaming "eg" must leave the members of "EG" alone.
    const auto variants = std::count_if(groups.begin(), groups.end(), [&oldName](const QString& group) {
        return group.compare(oldName, Qt::CaseInsensitive) == 0;
    });
    const Qt::CaseSensitivity cs = variants > 1 ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (FunctionEntry& row : rows) {
        if (row.groups.isEmpty())
            continue;
        QStringList names = EditorGroupNames(row.groups);
        const auto match = std::find_if(names.begin(), names.end(), [&oldName, cs](const QString& name) {
            return name.compare(oldName, cs) == 0;
        });
        if (match == names.end())
            continue;
        if (newName.isEmpty())
            names.erase(match);
        else
            *match = newName;
        row.groups = names.join(GroupSeparator);
    }
}

QStringList SortedGroupNames(QStringList names, const GroupLabels& labels)
{
    std::stable_sort(names.begin(), names.end(), [&labels](const QString& a, const QString& b) {
        return lessIgnoringCase(GroupLabel(labels, a), GroupLabel(labels, b));
    });
    return names;
}

qsizetype SortedGroupPosition(const QStringList& names, const QString& name)
{
    return std::upper_bound(names.begin(), names.end(), name, lessIgnoringCase) - names.begin();
}
