#include "csvimportrun.h"

#include "itemssave.h"
#include "model/csvreader.h"
#include "model/fileerror.h"
#include "model/functionvocabulary.h"
#include "model/tlanguage.h"
#include "openhab/topenhab.h"
#include "prompts.h"
#include "tbackups.h"

#include <QDir>
#include <QFile>

namespace CsvImportRun {

std::optional<CsvImport::Result> read(const QString& fileName, const TopenHab& openHab, Prompts& prompts)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        prompts.error(
            EFileError(QDir::toNativeSeparators(fileName), file.errorString()).text(openHab.language()));
        return std::nullopt;
    }
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

bool save(TopenHab& openHab, Prompts& prompts, const QList<FunctionEntry>& rows)
{
    const TLanguage& language = openHab.language();
    if (!ItemsSave::prepare(openHab, language, prompts))
        return false;
    TBackups backups(openHab.sProjPath, language);
    if (const auto failure = backups.BackupProjectFiles(
            TBackupKind::BeforeSave,
            {TopenHab::sItemsFile, TopenHab::sCloudFile, TopenHab::sRulesFile, TopenHab::sSitemapFile})) {
        prompts.error(language.GetMsg(Msg::SaveBackupFailed, *failure));
        return false;
    }
    const TFileErrors failures = openHab.SaveItems(rows);
    for (const TFileError& failure : failures)
        prompts.error(failure.text(language));
    return failures.isEmpty();
}

} // namespace CsvImportRun
