#include "itemssave.h"

#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "projectbackups.h"

#include <QDir>

#include <algorithm>
#include <utility>

std::optional<Problem> ItemsSave::readOnlyReason(const OpenHabGenerator& openHab)
{
    const std::optional<qsizetype> line = openHab.itemsFileReport.notUtf8Line;
    if (!line)
        return std::nullopt;
    return Problem{Msg::ItemsFileNotUtf8,
                   QDir::toNativeSeparators(openHab.sProjPath + OpenHabGenerator::sItemsFile),
                   QString::number(*line)};
}

Outcome ItemsSave::prepare(OpenHabGenerator& openHab, const Language& language)
{
    Outcome outcome;
    if (const auto reason = readOnlyReason(openHab))
        return outcome.fail(*reason);
    if (openHab.itemsFileReport.droppedLines == 0)
        return outcome;
    ProjectBackups backups(openHab.sProjPath, language);
    if (const auto failure =
            backups.BackupProjectFiles(BackupKind::BeforeSave, {OpenHabGenerator::sItemsFile}))
        return outcome.fail(Problem{Msg::SaveBackupFailed, *failure});
    const QList<Backup> list = backups.List();
    const auto newest = std::find_if(list.cbegin(), list.cend(), [](const Backup& backup) {
        return backup.kind == BackupKind::BeforeSave;
    });
    const QString folder = newest == list.cend() ? backups.folder() : backups.folder() + newest->name;
    const qsizetype dropped = std::exchange(openHab.itemsFileReport.droppedLines, 0);
    outcome.notices << Notice::information(
        Problem{Msg::ItemsLinesDropped, QString::number(dropped), QDir::toNativeSeparators(folder)});
    return outcome;
}
