#pragma once

#include "model/functionentry.h"
#include "model/notice.h"

#include <QList>
#include <QString>

class Prompts;
class OpenHabGenerator;
class Workspace;

// The export for openHAB 5 as the window and the command line both run it.
namespace OpenHab5Run {

// Writes the open project (openHab's values and groups, rows) for openHAB 5 into the existing
// folder: never into the projects folder, and replacing files there only when the user agrees
// (prompts asks). The four files are written all of them or none; the functions left out are told
// in one information, one line each. Not ok when nothing was written.
Outcome exportTo(const OpenHabGenerator& openHab, const QList<FunctionEntry>& rows,
                 const Workspace& workspace, Prompts& prompts, const QString& folder);

} // namespace OpenHab5Run
