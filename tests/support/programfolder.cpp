#include "programfolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {

bool copyTree(const QString& from, const QString& to)
{
    if (!QDir().mkpath(to))
        return false;
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString target = to + QLatin1Char('/') + info.fileName();
        if (info.isDir() ? !copyTree(info.filePath(), target) : !QFile::copy(info.filePath(), target))
            return false;
    }
    return true;
}

} // namespace

TestProgramFolder::TestProgramFolder()
{
    if (m_dir.isValid()) {
        copyTree(QStringLiteral(VARUNO_DATA_DIR), configDir());
        QDir().mkpath(projectsDir());
    }
}

bool TestProgramFolder::addProject(const QString& sourceFolder, const QString& name)
{
    return copyTree(sourceFolder, projectsDir() + name);
}

QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> result;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        result.insert(path.mid(folder.size()), readBytes(path));
    }
    return result;
}

QByteArray readBytes(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString& fileName, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}
