#pragma once

#include "model/functionentry.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// The rules for the project's group names and for the group memberships held in the rows' groups
// texts (names joined by ", "; an individual scene names the one group it switches).

// The editors join the names of a groups text with this separator.
inline constexpr QStringView GroupSeparator = u", ";

// The names of a groups text as the editors read it: split at GroupSeparator exactly.
QStringList EditorGroupNames(const QString& sGroups);
// The names of a groups text as the generator and its checks read it: split at ",", blanks around
// each name removed, empty names kept.
QList<QStringView> GeneratorGroupNames(QStringView sGroups);

// Whether a function belongs to the group sGroup: one of its generator names equals sGroup exactly,
// letter case counting. A plain text search would put a member of "EG2" or "XEG" into "EG" as well,
// and a scene for EG would then switch devices of another room.
bool IsInGroup(const QString& sGroups, const QString& sGroup);

// A group name becomes an openHAB group item name: letters A-Z, a-z and digits only, none of
// openHAB's item type words (in any letter case) and none of the items grammar's keywords (spelled
// exactly as the grammar has them).
bool IsValidGroupName(const QString& name);

// False when an individual scene switches the group name (compared without regard to case): its
// group must not disappear under it.
bool CanDeleteGroup(const QList<FunctionEntry>& rows, const QString& name);

// In every row, the first whole name in the groups text equal to oldName becomes newName, or is
// removed with its separator when newName is empty. Names that merely contain oldName stay as they
// are. The comparison ignores letter case unless groups, the project's group list, holds another
// spelling of oldName.
void RenameGroupInRows(QList<FunctionEntry>& rows, const QString& oldName, const QString& newName,
                       const QStringList& groups);

// The group editor shows the names sorted alphabetically without regard to case; equal names keep
// their order.
QStringList SortedGroupNames(QStringList names);
// Position at which name joins the sorted list names: behind the names equal to it.
qsizetype SortedGroupPosition(const QStringList& names, const QString& name);
