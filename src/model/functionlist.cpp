#include "functionlist.h"

#include "model/functionvocabulary.h"
#include "model/groupnames.h"

#include <QCollator>

#include <algorithm>

FunctionList::FunctionList(QObject* parent) : QAbstractTableModel(parent), m_headers(ColumnCount) {}

void FunctionList::append(const FunctionEntry& entry)
{
    beginInsertRows({}, count(), count());
    m_entries.append(entry);
    endInsertRows();
}

void FunctionList::replace(int row, const FunctionEntry& entry)
{
    m_entries[row] = entry;
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void FunctionList::removeAt(int row)
{
    beginRemoveRows({}, row, row);
    m_entries.removeAt(row);
    endRemoveRows();
}

void FunctionList::move(int from, int to)
{
    if (from == to)
        return;
    // Qt's destination is the row before which the moved row lands, counted before the move.
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    m_entries.move(from, to);
    endMoveRows();
}

void FunctionList::clear()
{
    setEntries({});
}

void FunctionList::setEntries(const QList<FunctionEntry>& entries)
{
    beginResetModel();
    m_entries = entries;
    endResetModel();
}

void FunctionList::sortByLabel()
{
    // The locale's collation compares letters first; letter case only breaks ties.
    const QCollator collator;
    QList<FunctionEntry> sorted = m_entries;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&collator](const FunctionEntry& a, const FunctionEntry& b) {
                         return collator.compare(a.label, b.label) < 0;
                     });
    setEntries(sorted);
}

int FunctionList::removeChecked()
{
    QList<FunctionEntry> kept;
    for (const FunctionEntry& entry : std::as_const(m_entries)) {
        if (!entry.checked)
            kept << entry;
    }
    const int removed = count() - int(kept.size());
    if (removed > 0)
        setEntries(kept);
    return removed;
}

bool FunctionList::hasChecked() const
{
    return std::any_of(m_entries.cbegin(), m_entries.cend(),
                       [](const FunctionEntry& e) { return e.checked; });
}

int FunctionList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

int FunctionList::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

void FunctionList::setStopAllBlindsText(const QString& text)
{
    m_stopAllBlindsText = text;
    groupsColumnChanged();
}

void FunctionList::setVoiceOnText(const QString& text)
{
    m_voiceOnText = text;
    if (count() > 0)
        Q_EMIT dataChanged(index(0, VoiceColumn), index(count() - 1, VoiceColumn), {Qt::DisplayRole});
}

void FunctionList::setGroupLabels(const GroupLabels& labels)
{
    m_groupLabels = labels;
    groupsColumnChanged();
}

void FunctionList::groupsColumnChanged()
{
    if (count() > 0)
        Q_EMIT dataChanged(index(0, GroupsColumn), index(count() - 1, GroupsColumn), {Qt::DisplayRole});
}

QString FunctionList::columnText(const FunctionEntry& entry, int column) const
{
    switch (column) {
    case LabelColumn:
        return entry.label;
    case AddressColumn:
        return Vocabulary::AddressText(entry);
    case VoiceColumn:
        return Vocabulary::VoiceText(entry.voice, m_voiceOnText);
    case GroupsColumn:
        if (entry.kind == FunctionEntry::GroupScene && entry.groups == Vocabulary::StopAllBlinds &&
            !m_stopAllBlindsText.isEmpty())
            return m_stopAllBlindsText;
        return GroupLabelsText(m_groupLabels, entry.groups);
    case AliasColumn:
        return entry.alias;
    case KeyColumn:
        return Vocabulary::KeyText(entry);
    default:
        return {};
    }
}

QVariant FunctionList::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    const FunctionEntry& entry = m_entries.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return columnText(entry, index.column());
    case Qt::CheckStateRole:
        if (index.column() == LabelColumn)
            return entry.checked ? Qt::Checked : Qt::Unchecked;
        return {};
    case KindRole:
        return entry.kind;
    default:
        return {};
    }
}

bool FunctionList::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != LabelColumn || role != Qt::CheckStateRole)
        return false;
    m_entries[index.row()].checked = value.value<Qt::CheckState>() == Qt::Checked;
    Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags FunctionList::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == LabelColumn)
        result |= Qt::ItemIsUserCheckable;
    return result;
}

QVariant FunctionList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    return m_headers.at(section);
}

bool FunctionList::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role)
{
    if (orientation != Qt::Horizontal || role != Qt::EditRole || section < 0 || section >= ColumnCount)
        return false;
    m_headers[section] = value.toString();
    Q_EMIT headerDataChanged(orientation, section, section);
    return true;
}
