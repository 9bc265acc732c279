#pragma once

#include "model/groupnames.h"

#include <QString>
#include <QStringView>

// A line of the items file that declares one of the project's groups: "Group Kueche" for a group
// read by its item name, "Group Kueche \"Küche\"" for one with a label.
QString GroupItemLine(const QString& name, const GroupLabels& labels);

// The group that the text after "Group " declares. Only a valid item name followed by one blank and
// a label as GroupItemLine writes it gives a label; any other text is the name as it stands, so
// that a hand-edited line is written back unchanged.
GroupNaming ReadGroupItemLine(QStringView text);
