#pragma once

#include <QAbstractProxyModel>
#include <QIcon>
#include <QList>
#include <QStringList>

class FunctionList;

// The function list as the main window shows it, without a copy of its rows: in group view a
// tree whose top level is the header of each kind that has rows, with that kind's rows below it
// in stored order; otherwise the rows as one flat list in stored order. Adds the kind's picture to
// each row.
class KindGroupModel : public QAbstractProxyModel
{
    Q_OBJECT

public:
    explicit KindGroupModel(FunctionList& list, QObject* parent = nullptr);

    bool groupView() const { return m_groupView; }
    void setGroupView(bool on);

    // Header of each list group, indexed by group ID (the kind).
    const QStringList& groupHeaders() const { return m_groupHeaders; }
    void setGroupHeaders(const QStringList& headers);

    // True for the top-level rows of group view that stand for a group.
    bool isGroupHeader(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;

private:
    // internalId of an index: 0 for a top-level row, group ID + 1 for a row below a group header.
    static constexpr quintptr TopLevel = 0;

    void connectSource();
    void regroup();
    void sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                           const QList<int>& roles);
    int groupOfTopRow(int row) const { return m_shownGroups.at(row); }

    FunctionList& m_list;
    bool m_groupView = true;
    QStringList m_groupHeaders;
    QList<QIcon> m_kindIcons;
    // Group view: the groups that have rows, in group ID order, and the source rows of each group.
    QList<int> m_shownGroups;
    QList<QList<int>> m_rowsOfGroup;
    // Source row -> (group, position within the group).
    QList<int> m_groupOfRow;
    QList<int> m_positionInGroup;
};
