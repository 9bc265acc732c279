#pragma once

#include "model/functionentry.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// The rules for the project's group names and for the group memberships held in the rows' groups
// texts (names joined by ", "; an individual scene names the one group it switches).

// The editors join the names of a groups text with this separator.
inline constexpr QStringView GroupSeparator = u", ";

// The names of a groups text as the editors read it: split at GroupSeparator exactly.
QStringList EditorGroupNames(const QString& groups);
// The names of a groups text as the generator and its checks read it: split at ",", blanks around
// each name removed, empty names kept.
QList<QStringView> GeneratorGroupNames(QStringView groups);

// Whether a function with the groups text belongs to group: one of its generator names equals it exactly,
// letter case counting. A plain text search would put a member of "EG2" or "XEG" into "EG" as well,
// and a scene for EG would then switch devices of another room.
bool IsInGroup(const QString& groups, const QString& group);

// A group name becomes an openHAB group item name: letters A-Z, a-z, digits and "_" only, none of
// openHAB's item type words (in any letter case), none of the items grammar's keywords (spelled
// exactly as the grammar has them) and not the stop-all scene's token.
bool IsValidGroupName(const QString& name);

// What people read for a group (the room "Küche") when it differs from its item name ("Kueche"), by
// item name. A group without an entry is read by its item name.
using GroupLabels = QHash<QString, QString>;
QString GroupLabel(const GroupLabels& labels, const QString& name);
// The groups of a groups text as people read them, joined by GroupSeparator.
QString GroupLabelsText(const GroupLabels& labels, const QString& groups);

// A group as the user typed it: the item name the files use, and the typed text as its label when
// the two differ.
struct GroupNaming
{
    QString name;
    QString label;
};
// The naming of the group the user typed as text, among the groups names (with their labels) that
// it must not be confused with. A valid item name stays as typed. Any other text gives a derived
// item name: ä, ö, ü, ß become ae, oe, ue, ss, every other character outside A-Z, a-z and 0-9
// becomes "_", and a type word or keyword gets a trailing "_"; when another group already has that
// item name, a suffix "_2", "_3", … makes it unique. Typing what an existing group shows gives
// that group again (the list takes the same group twice, as it always did). Empty when text is
// blank.
GroupNaming NameGroup(const QString& text, const QStringList& names, const GroupLabels& labels);

// False when an individual scene switches the group name (compared without regard to case): its
// group must not disappear under it.
bool CanDeleteGroup(const QList<FunctionEntry>& rows, const QString& name);

// In every row, the first whole name in the groups text equal to oldName becomes newName, or is
// removed with its separator when newName is empty. Names that merely contain oldName stay as they
// are. The comparison ignores letter case unless groups, the project's group list, holds another
// spelling of oldName.
void RenameGroupInRows(QList<FunctionEntry>& rows, const QString& oldName, const QString& newName,
                       const QStringList& groups);

// The group editor shows the groups sorted alphabetically by their labels without regard to case;
// equal labels keep their order.
QStringList SortedGroupNames(QStringList names, const GroupLabels& labels = {});
// Position at which name joins the sorted list names: behind the names equal to it.
qsizetype SortedGroupPosition(const QStringList& names, const QString& name);
