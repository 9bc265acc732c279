#include "treecopy.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

bool CopyTree(const QString& from, const QString& to)
{
    if (!QDir().mkpath(to))
        return false;
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString target = to + QLatin1Char('/') + info.fileName();
        if (info.isDir() ? !CopyTree(info.filePath(), target) : !QFile::copy(info.filePath(), target))
            return false;
    }
    return true;
}
