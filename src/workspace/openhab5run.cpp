#include "openhab5run.h"

#include "lockfiletaker.h"
#include "projectlock.h"
#include "prompts.h"
#include "workspace.h"

#include "model/fileerror.h"
#include "model/language.h"
#include "model/projectini.h"
#include "openhab/openhab5export.h"
#include "openhab/openhab5folder.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#include <algorithm>
#include <cerrno>

namespace {

// Why the folder's lock was not taken; nothing when it was.
std::optional<Problem> lockRefusal(const LockFileTaker::Attempt& attempt, const QString& shown)
{
    switch (attempt.outcome) {
    case LockFileTaker::Outcome::Taken:
        return std::nullopt;
    case LockFileTaker::Outcome::Held:
        return attempt.holder.hostname.isEmpty()
                   ? Problem{Msg::OpenHab5FolderLocked, shown, QString::number(attempt.holder.pid)}
                   : Problem{Msg::OpenHab5FolderLockedElsewhere, shown, attempt.holder.hostname};
    case LockFileTaker::Outcome::Busy:
        return Problem{Msg::OpenHab5FolderBusy, shown};
    case LockFileTaker::Outcome::Impossible:
        break;
    }
    return Problem{Msg::OpenHab5FolderUnlockable, shown};
}

} // namespace

Outcome OpenHab5Run::exportTo(const OpenHabGenerator& openHab, const QList<FunctionEntry>& rows,
                              const Workspace& workspace, Prompts& prompts, const QString& folder)
{
    Outcome outcome;
    const QString shown = QDir::toNativeSeparators(folder);
    if (!QFileInfo(folder).isDir())
        return outcome.fail(FileError{shown, SystemReason(ENOENT)}.problem());
    const OpenHab5Export project(openHab, rows);
    const auto files = project.files(!ProjectIni(openHab.sProjPath).GroupByRooms());
    // The folder itself and every file's own folder, which may be a link to elsewhere.
    const bool intoProjects = workspace.isInProjectsFolder(QDir(folder).filePath(QStringLiteral("x"))) ||
                              std::any_of(files.cbegin(), files.cend(), [&](const auto& file) {
                                  return workspace.isInProjectsFolder(QDir(folder).filePath(file.first));
                              });
    if (intoProjects)
        return outcome.fail(Problem{Msg::ExportIntoProjects, shown});
    // Another export into the same folder, even of another project, waits its turn.
    QLockFile lock(QDir(folder).filePath(ProjectLock::FileName));
    if (const auto refusal = lockRefusal(LockFileTaker::take(lock), shown))
        return outcome.fail(*refusal);
    const Language& language = openHab.language();
    if (const auto failure = OpenHab5Folder::recover(folder, files).failure)
        return outcome.fail(Problem{Msg::OpenHab5RepairFailed, shown, failure->text(language)});
    const QStringList existing = OpenHab5Folder::existingFiles(folder, files);
    if (!existing.isEmpty() && !prompts.confirm(language.GetMsg(Msg::ReplaceOpenHab5Files, shown,
                                                                existing.join(QStringLiteral(", "))),
                                                Prompts::Default::No))
        return outcome.fail(Problem{Msg::Cancelled});
    if (const auto failure = OpenHab5Folder::write(folder, files))
        return outcome.fail(failure->problem());
    if (!project.leftOut().isEmpty())
        outcome.notices << Notice::information(project.leftOut().join(u'\n'));
    return outcome;
}
