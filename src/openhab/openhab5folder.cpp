#include "openhab5folder.h"

#include "model/safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <list>
#include <sys/stat.h>

namespace {

QString inFolder(const QString& folder, const QString& path)
{
    return QDir(folder).filePath(path);
}

TFileError fileError(const QString& fileName, const QString& reason)
{
    return {QDir::toNativeSeparators(fileName), reason};
}

// Creates the folder of fileName and the ones above it that are missing.
std::optional<TFileError> makeFolderOf(const QString& fileName)
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

std::optional<TFileError> OpenHab5Folder::write(const QString& folder,
                                                const QList<std::pair<QString, QString>>& files)
{
    std::list<TSafeFile> written;
    for (const auto& [path, text] : files) {
        const QString fileName = inFolder(folder, path);
        if (const auto failure = makeFolderOf(fileName))
            return failure;
        TSafeFile& file = written.emplace_back(fileName);
        if (!file.open() || !file.write(text.toUtf8()) || !file.finish())
            return fileError(fileName, file.errorString());
    }
    for (TSafeFile& file : written) {
        if (!file.commit())
            return fileError(file.fileName(), file.errorString());
    }
    return std::nullopt;
}
