#pragma once

#include "model/fileerror.h"
#include "model/filetransaction.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// openHAB's conf folder as the export fills it: files by their paths inside it (things/…,
// items/…), written all of them or none.
namespace OpenHab5Folder {

// The paths of files that exist in folder already and an export would replace.
QStringList existingFiles(const QString& folder, const QList<std::pair<QString, QString>>& files);

// Completes or undoes an export into folder that was cut short; whoever takes the folder's lock
// runs it before anything else. Only the export's own files are touched: the folder is the user's.
FileTransaction::Recovery recover(const QString& folder, const QList<std::pair<QString, QString>>& files);

// Writes every text as UTF-8 into its path below folder, creating the subfolders, as one
// FileTransaction: after a failure, or a kill at any instant and recover(), the folder holds every
// old file or every new one. Returns the failure.
std::optional<FileError> write(const QString& folder, const QList<std::pair<QString, QString>>& files);

} // namespace OpenHab5Folder
