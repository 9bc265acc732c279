#include "openhab5folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

namespace {

QString inFolder(const QString& folder, const QString& path)
{
    return QDir(folder).filePath(path);
}

FileError fileError(const QString& fileName, const QString& reason)
{
    return {QDir::toNativeSeparators(fileName), reason};
}

// Creates the folder of fileName and the ones above it that are missing.
std::optional<FileError> makeFolderOf(const QString& fileName)
{
    const QString folder = QFileInfo(fileName).absolutePath();
    if (QFileInfo(folder).isDir())
        return std::nullopt;
    if (QFileInfo::exists(folder))
        return fileError(folder, SystemReason(ENOTDIR));
    if (const auto failure = makeFolderOf(folder))
        return failure;
    if (::mkdir(QFile::encodeName(folder).constData(), 0777) != 0 && errno != EEXIST)
        return fileError(folder, SystemReason(errno));
    return std::nullopt;
}

QStringList paths(const QList<std::pair<QString, QString>>& files)
{
    QStringList paths;
    for (const auto& file : files)
        paths << file.first;
    return paths;
}

} // namespace

QStringList OpenHab5Folder::existingFiles(const QString& folder,
                                          const QList<std::pair<QString, QString>>& files)
{
    QStringList existing;
    for (const auto& file : files) {
        if (QFileInfo::exists(inFolder(folder, file.first)))
            existing << file.first;
    }
    return existing;
}

FileTransaction::Recovery OpenHab5Folder::recover(const QString& folder,
                                                  const QList<std::pair<QString, QString>>& files)
{
    return FileTransaction::Recover(folder, paths(files));
}

std::optional<FileError> OpenHab5Folder::write(const QString& folder,
                                               const QList<std::pair<QString, QString>>& files)
{
    FileTransaction transaction(folder);
    for (const auto& [path, text] : files) {
        const QString fileName = inFolder(folder, path);
        if (const auto failure = makeFolderOf(fileName))
            return failure;
        SafeFile& file = transaction.add(path);
        if (!file.open() || !file.write(text.toUtf8()))
            return fileError(fileName, file.errorString());
    }
    if (!transaction.commit())
        return transaction.error();
    return std::nullopt;
}
