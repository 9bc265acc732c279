#pragma once

#include "functionentry.h"
#include "groupnames.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

// The function list of the open project: the one store of its rows. The main window shows it
// through Qt's model/view, every generator reads it, the loader fills it.
class FunctionList : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        LabelColumn,
        AddressColumn,
        VoiceColumn,
        GroupsColumn,
        AliasColumn,
        KeyColumn,
        ColumnCount
    };
    enum Role
    {
        KindRole = Qt::UserRole,
        EntryRole
    };

    explicit FunctionList(QObject* parent = nullptr);

    int count() const { return int(m_entries.size()); }
    const FunctionEntry& at(int row) const { return m_entries.at(row); }
    const QList<FunctionEntry>& entries() const { return m_entries; }

    void append(const FunctionEntry& entry);
    void replace(int row, const FunctionEntry& entry);
    void removeAt(int row);
    // Moves the row at from to position to (both valid rows).
    void move(int from, int to);
    void clear();
    void setEntries(const QList<FunctionEntry>& entries);
    // Sorts by label, locale-aware (letter case only breaks ties); equal labels keep their order.
    void sortByLabel();
    // Removes the checked rows; returns how many went.
    int removeChecked();
    bool hasChecked() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;

    // The words the list shows for a scene that stops every blind, in the current language; the
    // row itself keeps the stored token.
    void setStopAllBlindsText(const QString& text);
    // The word the list shows for voice control through an item's tags (the catalogue's "Ja").
    void setVoiceOnText(const QString& text);
    // The labels the list shows for groups in place of their item names; the rows keep the names.
    void setGroupLabels(const GroupLabels& labels);
    const GroupLabels& groupLabels() const { return m_groupLabels; }

private:
    QString columnText(const FunctionEntry& entry, int column) const;
    void groupsColumnChanged();

    QList<FunctionEntry> m_entries;
    QStringList m_headers;
    QString m_stopAllBlindsText;
    QString m_voiceOnText;
    GroupLabels m_groupLabels;
};
