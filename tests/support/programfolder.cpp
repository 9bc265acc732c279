#include "programfolder.h"

#include "treecopy.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

TestProgramFolder::TestProgramFolder()
{
    if (m_dir.isValid()) {
        CopyTree(QStringLiteral(VARUNO_DATA_DIR), configDir());
        QDir().mkpath(projectsDir());
    }
}

bool TestProgramFolder::addProject(const QString& sourceFolder, const QString& name)
{
    return CopyTree(sourceFolder, projectsDir() + name);
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
