#include "kindgroupmodel.h"

#include "model/captions.h"
#include "model/functionentry.h"
#include "model/functionlist.h"
#include "style.h"

#include <algorithm>

KindGroupModel::KindGroupModel(FunctionList& list, QObject* parent)
    : QAbstractProxyModel(parent), m_list(list), m_rowsOfGroup(FunctionEntry::KindCount)
{
    // The design's headers; the catalogue replaces them when the window is translated.
    m_groupHeaders = Captions::GermanGroupHeaders();
    for (int kind = 0; kind < FunctionEntry::KindCount; ++kind)
        m_kindIcons << Style::icon(Style::kindPicture(kind), Style::accent(), {24, 24});
    QAbstractProxyModel::setSourceModel(&list);
    connectSource();
    regroup();
}

void KindGroupModel::connectSource()
{
    // Any change of the rows' number or order regroups from scratch: the list is small and the
    // views only need to know that everything may have moved.
    const auto begin = [this] { beginResetModel(); };
    const auto end = [this] {
        regroup();
        endResetModel();
    };
    connect(&m_list, &QAbstractItemModel::modelAboutToBeReset, this, begin);
    connect(&m_list, &QAbstractItemModel::modelReset, this, end);
    connect(&m_list, &QAbstractItemModel::rowsAboutToBeInserted, this, begin);
    connect(&m_list, &QAbstractItemModel::rowsInserted, this, end);
    connect(&m_list, &QAbstractItemModel::rowsAboutToBeRemoved, this, begin);
    connect(&m_list, &QAbstractItemModel::rowsRemoved, this, end);
    connect(&m_list, &QAbstractItemModel::rowsAboutToBeMoved, this, begin);
    connect(&m_list, &QAbstractItemModel::rowsMoved, this, end);
    connect(&m_list, &QAbstractItemModel::layoutAboutToBeChanged, this, begin);
    connect(&m_list, &QAbstractItemModel::layoutChanged, this, end);
    connect(&m_list, &QAbstractItemModel::dataChanged, this, &KindGroupModel::sourceDataChanged);
    connect(&m_list, &QAbstractItemModel::headerDataChanged, this, &QAbstractItemModel::headerDataChanged);
}

void KindGroupModel::regroup()
{
    for (QList<int>& rows : m_rowsOfGroup)
        rows.clear();
    m_groupOfRow.resize(m_list.count());
    m_positionInGroup.resize(m_list.count());
    for (int row = 0; row < m_list.count(); ++row) {
        const int kind = std::clamp(m_list.at(row).kind, 0, FunctionEntry::KindCount - 1);
        m_groupOfRow[row] = kind;
        m_positionInGroup[row] = int(m_rowsOfGroup[kind].size());
        m_rowsOfGroup[kind] << row;
    }
    m_shownGroups.clear();
    for (int kind = 0; kind < FunctionEntry::KindCount; ++kind) {
        if (!m_rowsOfGroup.at(kind).isEmpty())
            m_shownGroups << kind;
    }
}

void KindGroupModel::sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                       const QList<int>& roles)
{
    // A row whose kind changed belongs to another group now.
    for (int row = topLeft.row(); m_groupView && row <= bottomRight.row(); ++row) {
        if (m_list.at(row).kind != m_groupOfRow.at(row)) {
            beginResetModel();
            regroup();
            endResetModel();
            return;
        }
    }
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        const QModelIndex first = mapFromSource(m_list.index(row, topLeft.column()));
        const QModelIndex last = mapFromSource(m_list.index(row, bottomRight.column()));
        Q_EMIT dataChanged(first, last, roles);
    }
}

void KindGroupModel::setGroupView(bool on)
{
    if (on == m_groupView)
        return;
    beginResetModel();
    m_groupView = on;
    endResetModel();
}

void KindGroupModel::setGroupHeaders(const QStringList& headers)
{
    m_groupHeaders = headers;
    m_groupHeaders.resize(FunctionEntry::KindCount);
    if (m_groupView && !m_shownGroups.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(int(m_shownGroups.size()) - 1, 0), {Qt::DisplayRole});
}

bool KindGroupModel::isGroupHeader(const QModelIndex& index) const
{
    return m_groupView && index.isValid() && index.internalId() == TopLevel;
}

QModelIndex KindGroupModel::index(int row, int column, const QModelIndex& parent) const
{
    if (!hasIndex(row, column, parent))
        return {};
    if (!parent.isValid())
        return createIndex(row, column, TopLevel);
    return createIndex(row, column, quintptr(groupOfTopRow(parent.row()) + 1));
}

QModelIndex KindGroupModel::parent(const QModelIndex& child) const
{
    if (!child.isValid() || child.internalId() == TopLevel)
        return {};
    const int group = int(child.internalId()) - 1;
    return createIndex(int(m_shownGroups.indexOf(group)), 0, TopLevel);
}

int KindGroupModel::rowCount(const QModelIndex& parent) const
{
    if (!m_groupView)
        return parent.isValid() ? 0 : m_list.count();
    if (!parent.isValid())
        return int(m_shownGroups.size());
    if (parent.column() != 0 || parent.internalId() != TopLevel)
        return 0;
    return int(m_rowsOfGroup.at(groupOfTopRow(parent.row())).size());
}

int KindGroupModel::columnCount(const QModelIndex&) const
{
    return FunctionList::ColumnCount;
}

bool KindGroupModel::hasChildren(const QModelIndex& parent) const
{
    return rowCount(parent) > 0;
}

QModelIndex KindGroupModel::mapToSource(const QModelIndex& proxyIndex) const
{
    if (!proxyIndex.isValid() || isGroupHeader(proxyIndex))
        return {};
    if (!m_groupView)
        return m_list.index(proxyIndex.row(), proxyIndex.column());
    const int group = int(proxyIndex.internalId()) - 1;
    return m_list.index(m_rowsOfGroup.at(group).at(proxyIndex.row()), proxyIndex.column());
}

QModelIndex KindGroupModel::mapFromSource(const QModelIndex& sourceIndex) const
{
    if (!sourceIndex.isValid())
        return {};
    const int row = sourceIndex.row();
    if (!m_groupView)
        return createIndex(row, sourceIndex.column(), TopLevel);
    const int group = m_groupOfRow.at(row);
    return createIndex(m_positionInGroup.at(row), sourceIndex.column(), quintptr(group + 1));
}

QVariant KindGroupModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (isGroupHeader(index)) {
        if (index.column() != 0)
            return {};
        switch (role) {
        case Qt::DisplayRole:
            return m_groupHeaders.value(groupOfTopRow(index.row()));
        case FunctionList::KindRole:
            return groupOfTopRow(index.row());
        default:
            return {};
        }
    }
    if (role == Qt::DecorationRole && index.column() == FunctionList::LabelColumn) {
        const int kind = mapToSource(index).data(FunctionList::KindRole).toInt();
        return m_kindIcons.value(kind);
    }
    return mapToSource(index).data(role);
}

Qt::ItemFlags KindGroupModel::flags(const QModelIndex& index) const
{
    if (isGroupHeader(index))
        return Qt::ItemIsEnabled;
    return QAbstractProxyModel::flags(index);
}

QVariant KindGroupModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return m_list.headerData(section, orientation, role);
}

bool KindGroupModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role)
{
    return m_list.setHeaderData(section, orientation, value, role);
}
