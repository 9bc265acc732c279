#include "smallfilesystem.h"

#include <QFile>
#include <QProcess>

#include <sys/statvfs.h>

namespace {

const QString ballastName = QStringLiteral("/.ballast");

qint64 freeBytes(const QString& path)
{
    struct statvfs info = {};
    if (::statvfs(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return qint64(info.f_bavail) * qint64(info.f_frsize);
}

} // namespace

SmallFileSystem::SmallFileSystem(int kibibytes)
{
    if (!m_dir.isValid())
        return;
    QProcess mount;
    mount.start(QStringLiteral("mount"),
                {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                 QStringLiteral("size=%1k,mode=0755").arg(kibibytes), QStringLiteral("tmpfs"), m_dir.path()});
    m_active =
        mount.waitForFinished(10000) && mount.exitStatus() == QProcess::NormalExit && mount.exitCode() == 0;
}

SmallFileSystem::~SmallFileSystem()
{
    if (m_active)
        QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), m_dir.path()});
}

bool SmallFileSystem::fill(qint64 keepFree)
{
    QFile ballast(m_dir.path() + ballastName);
    if (!ballast.open(QIODevice::Append | QIODevice::Unbuffered))
        return false;
    const QByteArray block(1024, 'x');
    // Byte-wise at the end so that exactly keepFree bytes (rounded to the block size) stay free.
    while (freeBytes(m_dir.path()) > keepFree) {
        const qint64 room = freeBytes(m_dir.path()) - keepFree;
        if (ballast.write(block.constData(), qMin<qint64>(room, block.size())) <= 0)
            break;
    }
    return freeBytes(m_dir.path()) <= keepFree;
}

void SmallFileSystem::release()
{
    QFile::remove(m_dir.path() + ballastName);
}
