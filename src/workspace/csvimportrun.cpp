#include "csvimportrun.h"

#include "itemssave.h"
#include "model/csvreader.h"
#include "model/fileerror.h"
#include "model/functionvocabulary.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "projectbackups.h"

#include <QDir>
#include <QFile>

namespace CsvImportRun {

::Result<CsvImport::Result> read(const QString& fileName, const OpenHabGenerator& openHab)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return FileReadError(QDir::toNativeSeparators(fileName), file.errorString()).problem();
    // One byte beyond the reader's bound is enough to have a longer file refused.
    return CsvImport::Read(file.read(CsvReader::MaxBytes + 1), openHab);
}

QList<FunctionEntry> combine(const QList<FunctionEntry>& current, const QList<FunctionEntry>& imported,
                             bool replace)
{
    QList<FunctionEntry> rows = replace ? imported : current + imported;
    Vocabulary::RenumberAliases(rows);
    return rows;
}

Outcome save(OpenHabGenerator& openHab, const QList<FunctionEntry>& rows)
{
    const Language& language = openHab.language();
    Outcome outcome = ItemsSave::prepare(openHab, language);
    if (!outcome.ok)
        return outcome;
    ProjectBackups backups(openHab.sProjPath, language);
    if (const auto failure = backups.BackupProjectFiles(
            BackupKind::BeforeSave, {OpenHabGenerator::sItemsFile, OpenHabGenerator::sCloudFile,
                                     OpenHabGenerator::sRulesFile, OpenHabGenerator::sSitemapFile}))
        return outcome.fail(Problem{Msg::SaveBackupFailed, *failure});
    for (const FileError& failure : openHab.SaveItems(rows))
        outcome.fail(failure.problem());
    return outcome;
}

} // namespace CsvImportRun
