#include "functionentry.h"

#include <algorithm>

FunctionEntry FunctionEntry::normalized() const
{
    FunctionEntry row = *this;
    row.label = storedLabel(label);
    row.bus = std::max(bus, 0);
    const bool keyed = kind == ScenarioModule || (kind == CenScene && cen >= 0 && cen <= 2);
    if (!keyed)
        row.key.clear();
    if (kind != CenScene || !keyed)
        row.cen = 0;
    row.reverse = kind == GroupScene && reverse;
    return row;
}

QString FunctionEntry::storedLabel(const QString& label)
{
    static const QString temperatureFormat = QStringLiteral(" %.1f C");
    QString stored = label;
    while (stored.contains(temperatureFormat))
        stored.remove(temperatureFormat);
    return stored;
}
