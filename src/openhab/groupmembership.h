#pragma once

#include <QString>

// Whether a function belongs to the group sGroup: one of the names in its groups text (names
// separated by ",", blanks around each name ignored) equals sGroup exactly, letter case counting.
// A plain text search would put a member of "EG2" or "XEG" into "EG" as well, and a scene for EG
// would then switch devices of another room.
bool IsInGroup(const QString& sGroups, const QString& sGroup);
