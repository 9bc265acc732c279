#include "tprojectlock.h"

#include "model/tlanguage.h"

#include <QDir>
#include <QLockFile>

using namespace Qt::StringLiterals;

const QString TProjectLock::FileName = u".varuno.lock"_s;

namespace {

// The executable of the command line; every other holder is a program window.
const QString commandLineProgram = u"varuno-cli"_s;

} // namespace

TProjectLock::TProjectLock(const TLanguage& language) : m_language(language) {}

TProjectLock::~TProjectLock() = default;

bool TProjectLock::lock(const QString& projPath)
{
    unlock();
    auto lockFile = std::make_unique<QLockFile>(projPath + FileName);
    // Only a holder that no longer runs makes a lock stale, never its age: the window keeps its
    // project locked as long as the project is open.
    lockFile->setStaleLockTime(0);
    // A lock that vanishes between the failed attempt and the reading of its holder is tried again.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (lockFile->tryLock()) {
            m_lockFile = std::move(lockFile);
            m_folder = projPath;
            m_error.clear();
            return true;
        }
        if (lockFile->error() != QLockFile::LockFailedError)
            break;
        m_error = holderText(*lockFile);
        if (!m_error.isEmpty())
            return false;
    }
    m_error = m_language.GetMsg(Msg::LockImpossible, QDir::toNativeSeparators(projPath));
    return false;
}

void TProjectLock::unlock()
{
    m_lockFile.reset(); // QLockFile removes its file when destroyed while locked
    m_folder.clear();
}

bool TProjectLock::isLocked() const
{
    return m_lockFile && m_lockFile->isLocked();
}

QString TProjectLock::holderText(const QLockFile& lockFile) const
{
    qint64 pid = 0;
    QString hostname;
    QString appname;
    if (!lockFile.getLockInfo(&pid, &hostname, &appname))
        return {};
    const QString holder = appname == commandLineProgram ? m_language.GetMsg(Msg::LockHolderCommandLine)
                                                         : m_language.GetMsg(Msg::LockHolderWindow);
    return m_language.GetMsg(Msg::ProjectLocked, holder, QString::number(pid));
}
