#pragma once

#include "model/functionentry.h"

#include <QList>
#include <QString>
#include <QStringList>

// The rules for the project's group names and for the group memberships held in the rows' groups
// texts (names joined by ", "; an individual scene names the one group it switches).

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
