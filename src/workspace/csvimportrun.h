#pragma once

#include "model/functionentry.h"
#include "model/notice.h"
#include "model/result.h"
#include "openhab/csvimport.h"

#include <QList>
#include <QString>

class OpenHabGenerator;

// The CSV import as the window and the command line both run it; each asks its own questions
// between reading and saving.
namespace CsvImportRun {

// The functions of the CSV file fileName for the open project, or why the file cannot be read.
::Result<CsvImport::Result> read(const QString& fileName, const OpenHabGenerator& openHab);

// The function list after an import: the imported rows in place of current or after it, aliases
// given by position as the function editor gives them.
QList<FunctionEntry> combine(const QList<FunctionEntry>& current, const QList<FunctionEntry>& imported,
                             bool replace);

// Saves rows as the open project's function list in one change, as every change of the list is
// saved, after a backup (kind before-save) of the files the save replaces. The caller holds the
// project's lock. Not ok when the project was not changed.
Outcome save(OpenHabGenerator& openHab, const QList<FunctionEntry>& rows);

} // namespace CsvImportRun
