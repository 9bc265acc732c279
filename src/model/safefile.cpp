#include "safefile.h"

#include "fileerror.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

QByteArray encoded(const QString& fileName)
{
    return QFile::encodeName(fileName);
}

} // namespace

void SyncFolder(const QString& folder)
{
    const int fd = ::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

SafeFile::SafeFile(QString fileName) : m_fileName(std::move(fileName)) {}

SafeFile::~SafeFile()
{
    discard();
}

bool SafeFile::fail(int error)
{
    m_error = SystemReason(error);
    m_failed = true;
    discard();
    return false;
}

bool SafeFile::open()
{
    discard();
    m_failed = false;
    m_finished = false;
    m_direct = false;
    m_error.clear();

    const QByteArray target = encoded(m_fileName);
    struct stat old = {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        return fail(EISDIR);
    if (exists && ::access(target.constData(), W_OK) != 0)
        return fail(errno);
    if (exists && !S_ISREG(old.st_mode)) {
        // A device or pipe (say /dev/full or /dev/stdout) cannot be replaced by a rename, and must
        // not be: it is written in place, and its refusals are reported all the same.
        m_direct = true;
        m_fd = ::open(target.constData(), O_WRONLY | O_CLOEXEC);
        return m_fd >= 0 || fail(errno);
    }

    const QFileInfo info(m_fileName);
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_tempName = info.absolutePath() + QLatin1String("/.") + info.fileName() + QLatin1Char('.') +
                     QString::number(QRandomGenerator::global()->generate(), 36) + QLatin1String(".tmp");
        m_fd = ::open(encoded(m_tempName).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0 || errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        const int error = errno;
        m_tempName.clear();
        return fail(error);
    }
    if (!exists)
        return true;
    // Only root may give a file away; everyone else keeps the owner a new file gets. The owner
    // comes first, as changing it clears the set-user and set-group bits.
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid())
        (void)!::fchown(m_fd, old.st_uid, old.st_gid);
    if (::fchmod(m_fd, old.st_mode & 07777) != 0)
        return fail(errno);
    return true;
}

bool SafeFile::write(QByteArrayView bytes)
{
    if (m_fd < 0 || m_finished)
        return m_failed ? false : fail(EBADF);
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(m_fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        if (written == 0)
            return fail(ENOSPC);
        data += written;
        left -= written;
    }
    return true;
}

bool SafeFile::finish()
{
    if (m_finished)
        return true;
    if (m_fd < 0)
        return m_failed ? false : fail(EBADF);
    // Space on some file systems is only claimed when the data reach the disk: the sync is where a
    // full disk shows.
    if (::fsync(m_fd) != 0 && !(m_direct && (errno == EINVAL || errno == EROFS)))
        return fail(errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        return fail(errno);
    m_finished = true;
    return true;
}

bool SafeFile::commit()
{
    if (!finish())
        return false;
    if (m_direct)
        return true;
    if (::rename(encoded(m_tempName).constData(), encoded(m_fileName).constData()) != 0)
        return fail(errno);
    m_tempName.clear();
    m_finished = false;
    SyncFolder(QFileInfo(m_fileName).absolutePath());
    return true;
}

void SafeFile::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_tempName.isEmpty()) {
        ::unlink(encoded(m_tempName).constData());
        m_tempName.clear();
    }
    m_finished = false;
}

void SafeFile::release()
{
    m_tempName.clear();
    m_finished = false;
}

std::optional<QString> WriteWholeFile(const QString& fileName, QByteArrayView bytes)
{
    SafeFile file(fileName);
    if (!file.open() || !file.write(bytes) || !file.commit())
        return file.errorString();
    return std::nullopt;
}
