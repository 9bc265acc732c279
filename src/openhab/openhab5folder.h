#pragma once

#include "model/fileerror.h"

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

// Writes every text as UTF-8 into its path below folder, creating the subfolders. Each file is
// written and synced beside its target first; only when all of them made it are they renamed into
// place, so that a failure before leaves every old file as it was. Returns the failure.
std::optional<TFileError> write(const QString& folder, const QList<std::pair<QString, QString>>& files);

} // namespace OpenHab5Folder
