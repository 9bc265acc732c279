#pragma once

#include "model/functionentry.h"

#include <QList>
#include <QString>
#include <QStringList>

class OpenHabGenerator;

// The traps of the bus in functions that the editor rightly accepts: warnings, one line each in the
// loaded language, never a reason to refuse. A CEN key above 31 (the bus carries keys 0 to 31); a
// CEN+ key whose address, "2" and its own address, the bus also reads as a light point of the
// project; an area, group or general address of lights or blinds that reaches no function of the
// project. The project check lists them for the whole project, the function editor for the function
// being edited.
class BusHints
{
public:
    // rows: the project's function list.
    BusHints(const OpenHabGenerator& openHab, const QList<FunctionEntry>& rows);

    // The hints for function v called name. self: its row in the list, left out of every
    // comparison; -1 for a function not in the list yet.
    QStringList forFunction(const FunctionEntry& v, const QString& name, qsizetype self) const;
    // Every row's hints in list order; a CEN+ key and a light that share an address are named once.
    QStringList forProject() const;

private:
    QStringList hints(const FunctionEntry& v, const QString& name, qsizetype self, bool lightSide) const;
    QString named(const FunctionEntry& row) const;

    const OpenHabGenerator& m_openHab;
    const QList<FunctionEntry>& m_rows;
};
