#include "groupmembership.h"

#include <QStringTokenizer>

bool IsInGroup(const QString& sGroups, const QString& sGroup)
{
    if (sGroup.isEmpty())
        return false;
    for (const QStringView name : QStringTokenizer(sGroups, QLatin1Char(','))) {
        if (name.trimmed() == sGroup)
            return true;
    }
    return false;
}
