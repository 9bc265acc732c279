#include "openhab5run.h"

#include "lockfiletaker.h"
#include "prompts.h"
#include "tprojectlock.h"
#include "tworkspace.h"

#include "model/fileerror.h"
#include "model/tlanguage.h"
#include "model/tprojectini.h"
#include "openhab/openhab5export.h"
#include "openhab/openhab5folder.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#include <algorithm>
#include <cerrno>

namespace {

// Why the folder's lock was not taken; empty when it was.
QString lockRefusal(const LockFileTaker::Attempt& attempt, const QString& shown, const TLanguage& language)
{
    switch (attempt.outcome) {
    case LockFileTaker::Outcome::Taken:
        return {};
    case LockFileTaker::Outcome::Held:
        return attempt.holder.hostname.isEmpty()
                   ? language.GetMsg(Msg::OpenHab5FolderLocked, shown, QString::number(attempt.holder.pid))
                   : language.GetMsg(Msg::OpenHab5FolderLockedElsewhere, shown, attempt.holder.hostname);
    case LockFileTaker::Outcome::Busy:
        return language.GetMsg(Msg::OpenHab5FolderBusy, shown);
    case LockFileTaker::Outcome::Impossible:
        break;
    }
    return language.GetMsg(Msg::OpenHab5FolderUnlockable, shown);
}

} // namespace

bool OpenHab5Run::exportTo(const TopenHab& openHab, const QList<FunctionEntry>& rows,
                           const TWorkspace& workspace, Prompts& prompts, const QString& folder)
{
    const TLanguage& language = openHab.language();
    const QString shown = QDir::toNativeSeparators(folder);
    if (!QFileInfo(folder).isDir()) {
        prompts.error(TFileError{shown, SystemReason(ENOENT)}.text(language));
        return false;
    }
    const OpenHab5Export project(openHab, rows);
    const auto files = project.files(!TProjectIni(openHab.sProjPath).GroupByRooms());
    // The folder itself and every file's own folder, which may be a link to elsewhere.
    const bool intoProjects = workspace.isInProjectsFolder(QDir(folder).filePath(QStringLiteral("x"))) ||
                              std::any_of(files.cbegin(), files.cend(), [&](const auto& file) {
                                  return workspace.isInProjectsFolder(QDir(folder).filePath(file.first));
                              });
    if (intoProjects) {
        prompts.error(language.GetMsg(Msg::ExportIntoProjects, shown));
        return false;
    }
    // Another export into the same folder, even of another project, waits its turn.
    QLockFile lock(QDir(folder).filePath(TProjectLock::FileName));
    if (const QString refusal = lockRefusal(LockFileTaker::take(lock), shown, language); !refusal.isEmpty()) {
        prompts.error(refusal);
        return false;
    }
    if (const auto failure = OpenHab5Folder::recover(folder, files).failure) {
        prompts.error(language.GetMsg(Msg::OpenHab5RepairFailed, shown, failure->text(language)));
        return false;
    }
    const QStringList existing = OpenHab5Folder::existingFiles(folder, files);
    if (!existing.isEmpty() && !prompts.confirm(language.GetMsg(Msg::ReplaceOpenHab5Files, shown,
                                                                existing.join(QStringLiteral(", "))),
                                                Prompts::Default::No)) {
        prompts.error(language.GetMsg(Msg::Cancelled));
        return false;
    }
    if (const auto failure = OpenHab5Folder::write(folder, files)) {
        prompts.error(failure->text(language));
        return false;
    }
    if (!project.leftOut().isEmpty())
        prompts.information(project.leftOut().join(u'\n'));
    return true;
}
