#include "projectdiff.h"

#include "model/filediff.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"

#include <QHash>

#include <algorithm>
#include <utility>

namespace {

QList<FunctionEntry> functionsOf(const OpenHabGenerator& openHab, const ProjectFiles& files)
{
    const auto items = files.constFind(OpenHabGenerator::sItemsFile);
    return items == files.cend() ? QList<FunctionEntry>() : openHab.parseItems(*items).rows;
}

// The first function of each alias; an alias given twice is the items file's own fault, which
// the project check reports.
QHash<QString, const FunctionEntry*> byAlias(const QList<FunctionEntry>& rows)
{
    QHash<QString, const FunctionEntry*> index;
    index.reserve(rows.size());
    for (const FunctionEntry& row : rows)
        if (!index.contains(row.alias))
            index.insert(row.alias, &row);
    return index;
}

QStringList fileNames(const ProjectFiles& before, const ProjectFiles& after)
{
    QStringList names = before.keys() + after.keys();
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

constexpr char Marks[] = {'+', '~', '-'};

} // namespace

ProjectDiff::ProjectDiff(const OpenHabGenerator& openHab, ProjectFiles before, ProjectFiles after)
    : m_before(std::move(before)), m_after(std::move(after))
{
    const QList<FunctionEntry> oldRows = functionsOf(openHab, m_before);
    const QList<FunctionEntry> newRows = functionsOf(openHab, m_after);
    const auto oldIndex = byAlias(oldRows);
    const auto newIndex = byAlias(newRows);
    for (const FunctionEntry& row : newRows) {
        if (newIndex.value(row.alias) != &row)
            continue;
        const FunctionEntry* old = oldIndex.value(row.alias);
        if (!old)
            m_functions.append({FunctionChange::Added, row.alias, row.label});
        else if (*old != row)
            m_functions.append({FunctionChange::Changed, row.alias, row.label});
    }
    for (const FunctionEntry& row : oldRows) {
        if (oldIndex.value(row.alias) == &row && !newIndex.contains(row.alias))
            m_functions.append({FunctionChange::Removed, row.alias, row.label});
    }
}

qsizetype ProjectDiff::count(FunctionChange::Kind kind) const
{
    return std::ranges::count(m_functions, kind, &FunctionChange::kind);
}

QStringList ProjectDiff::changedFiles() const
{
    QStringList changed;
    for (const QString& name : fileNames(m_before, m_after)) {
        if (!FileDiff::unified(m_before.value(name), m_after.value(name), {}, {}).isEmpty())
            changed << name;
    }
    return changed;
}

QString ProjectDiff::summary(const Language& language) const
{
    QString text = language.GetMsg(Msg::FunctionChangesSummary, QString::number(count(FunctionChange::Added)),
                                   QString::number(count(FunctionChange::Changed)));
    if (const qsizetype at = text.indexOf(u"$3"); at >= 0)
        text.replace(at, 2, QString::number(count(FunctionChange::Removed)));
    if (const QStringList files = changedFiles(); !files.isEmpty())
        text += u'\n' + language.GetMsg(Msg::ChangedFiles, files.join(u", "));
    return text;
}

QString ProjectDiff::report(const Language& language) const
{
    QString text = summary(language) + u'\n';
    for (const FunctionChange& change : m_functions)
        text += QLatin1Char(Marks[change.kind]) + u' ' + change.alias + u'\t' + change.label + u'\n';
    return text;
}

QByteArray ProjectDiff::unified(const QString& beforeSide, const QString& afterSide) const
{
    QByteArray out;
    for (const QString& name : fileNames(m_before, m_after))
        out += FileDiff::unified(m_before.value(name), m_after.value(name),
                                 (beforeSide + u'/' + name).toUtf8(), (afterSide + u'/' + name).toUtf8());
    return out;
}
