#include "tprojectlock.h"

#include "model/filetransaction.h"
#include "model/tlanguage.h"
#include "tbackups.h"

#include <QDir>
#include <QLockFile>
#include <QSysInfo>
#include <QThread>

using namespace Qt::StringLiterals;

const QString TProjectLock::FileName = u".varuno.lock"_s;

namespace {

// The executable of the command line; every other holder is a program window.
const QString commandLineProgram = u"varuno-cli"_s;

// A lock file that holds no holder yet is asked this often, this far apart, before giving up.
constexpr int Attempts = 5;
constexpr unsigned long AttemptPauseMs = 20;

} // namespace

TProjectLock::TProjectLock(const TLanguage& language) : m_language(language) {}

TProjectLock::~TProjectLock() = default;

bool TProjectLock::lock(const QString& projPath)
{
    unlock();
    m_report.clear();
    auto lockFile = std::make_unique<QLockFile>(projPath + FileName);
    // Only a holder that no longer runs makes a lock stale, never its age: the window keeps its
    // project locked as long as the project is open.
    lockFile->setStaleLockTime(0);
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        if (lockFile->tryLock()) {
            m_lockFile = std::move(lockFile);
            m_folder = projPath;
            m_error.clear();
            return repair();
        }
        if (lockFile->error() != QLockFile::LockFailedError) {
            m_error = m_language.GetMsg(Msg::LockImpossible, QDir::toNativeSeparators(projPath));
            return false;
        }
        m_error = holderText(*lockFile);
        if (!m_error.isEmpty())
            return false;
        // No holder can be read: the lock vanished meanwhile, or its maker died between creating
        // and writing it, or is writing it right now. Qt removes a lock file only when no process
        // holds it open, so a lock being made survives; it is asked again a moment later.
        if (!lockFile->removeStaleLockFile())
            QThread::msleep(AttemptPauseMs);
    }
    m_error = m_language.GetMsg(Msg::LockBusy);
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
    // Whether a process of another computer still runs cannot be told from here.
    if (!hostname.isEmpty() && hostname != QSysInfo::machineHostName())
        return m_language.GetMsg(Msg::LockOtherComputer, hostname,
                                 QDir::toNativeSeparators(lockFile.fileName()));
    const QString holder = appname == commandLineProgram ? m_language.GetMsg(Msg::LockHolderCommandLine)
                                                         : m_language.GetMsg(Msg::LockHolderWindow);
    return m_language.GetMsg(Msg::ProjectLocked, holder, QString::number(pid));
}

bool TProjectLock::repair()
{
    const FileTransaction::Recovery recovery = FileTransaction::Recover(m_folder);
    if (recovery.failure) {
        m_error = m_language.GetMsg(Msg::RepairFailed, recovery.failure->text(m_language));
        unlock();
        return false;
    }
    const int removed = recovery.removed + TBackups::RemoveLeftovers(m_folder);
    if (recovery.completed > 0)
        m_report = m_language.GetMsg(Msg::ChangeCompleted, QString::number(recovery.completed));
    else if (removed > 0)
        m_report = m_language.GetMsg(Msg::ChangeDiscarded, QString::number(removed));
    return true;
}
