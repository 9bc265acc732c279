#include "itemssave.h"

#include "model/tlanguage.h"
#include "openhab/topenhab.h"
#include "prompts.h"
#include "tbackups.h"

#include <QDir>

#include <algorithm>
#include <utility>

QString ItemsSave::readOnlyReason(const TopenHab& openHab, const TLanguage& language)
{
    const std::optional<qsizetype> line = openHab.itemsFileReport.notUtf8Line;
    if (!line)
        return {};
    return language.GetMsg(Msg::ItemsFileNotUtf8,
                           QDir::toNativeSeparators(openHab.sProjPath + TopenHab::sItemsFile),
                           QString::number(*line));
}

bool ItemsSave::prepare(TopenHab& openHab, const TLanguage& language, Prompts& prompts)
{
    if (const QString reason = readOnlyReason(openHab, language); !reason.isEmpty()) {
        prompts.error(reason);
        return false;
    }
    if (openHab.itemsFileReport.droppedLines == 0)
        return true;
    TBackups backups(openHab.sProjPath, language);
    if (const auto failure = backups.BackupProjectFiles(TBackupKind::BeforeSave, {TopenHab::sItemsFile})) {
        prompts.error(language.GetMsg(Msg::SaveBackupFailed, *failure));
        return false;
    }
    const QList<TBackup> list = backups.List();
    const auto newest = std::find_if(list.cbegin(), list.cend(), [](const TBackup& backup) {
        return backup.kind == TBackupKind::BeforeSave;
    });
    const QString folder = newest == list.cend() ? backups.folder() : backups.folder() + newest->name;
    const qsizetype dropped = std::exchange(openHab.itemsFileReport.droppedLines, 0);
    prompts.information(
        language.GetMsg(Msg::ItemsLinesDropped, QString::number(dropped), QDir::toNativeSeparators(folder)));
    return true;
}
