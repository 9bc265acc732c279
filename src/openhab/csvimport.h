#pragma once

#include "model/functionentry.h"

#include <QByteArray>
#include <QList>
#include <QString>

class Language;
class OpenHabGenerator;

// Reads functions from CSV text: the file the CSV export writes, or a list an installer keeps in a
// spreadsheet with some of its columns (label, kind and address at least; key, groups, voice and
// reversed as needed). The header line names the columns, in any language of the catalogue, in any
// order. Every row passes the function editor's checks, and its groups must be the project's; a row
// that fails is refused with its line and the reason.
namespace CsvImport {

struct Refusal
{
    int line = 0;
    QString reason; // translated
    bool operator==(const Refusal&) const = default;
};

struct Result
{
    // The rows that passed, filled as the function editor fills them; their aliases are left empty
    // for the renumbering of the whole list.
    QList<FunctionEntry> rows;
    QList<Refusal> refused;
    // The text cannot be read as a list of functions at all (its quotes, its size, its header), so
    // none of it may be taken.
    bool unreadable = false;
};

// The rows of bytes for the project open in openHab, in the language of openHab.
Result Read(const QByteArray& bytes, const OpenHabGenerator& openHab);

// One line per refused row ("Zeile 4: Adresse ungültig!").
QStringList Report(const Result& result, const Language& language);

} // namespace CsvImport
