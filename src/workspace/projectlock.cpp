#include "projectlock.h"

#include "lockfiletaker.h"
#include "projectbackups.h"

#include "model/filetransaction.h"
#include "model/language.h"

#include <QDir>
#include <QLockFile>

using namespace Qt::StringLiterals;

const QString ProjectLock::FileName = u".varuno.lock"_s;

namespace {

// The executable of the command line; every other holder is a program window.
const QString commandLineProgram = u"varuno-cli"_s;

} // namespace

ProjectLock::ProjectLock(const Language& language) : m_language(language) {}

ProjectLock::~ProjectLock() = default;

bool ProjectLock::lock(const QString& projPath)
{
    unlock();
    m_report.clear();
    auto lockFile = std::make_unique<QLockFile>(projPath + FileName);
    // The window keeps its project locked as long as the project is open, however long that is.
    const LockFileTaker::Attempt attempt = LockFileTaker::take(*lockFile);
    switch (attempt.outcome) {
    case LockFileTaker::Outcome::Taken:
        m_lockFile = std::move(lockFile);
        m_folder = projPath;
        m_error.clear();
        return repair();
    case LockFileTaker::Outcome::Held:
        m_error = holderText(attempt.holder, lockFile->fileName());
        return false;
    case LockFileTaker::Outcome::Busy:
        m_error = m_language.GetMsg(Msg::LockBusy);
        return false;
    case LockFileTaker::Outcome::Impossible:
        break;
    }
    m_error = m_language.GetMsg(Msg::LockImpossible, QDir::toNativeSeparators(projPath));
    return false;
}

void ProjectLock::unlock()
{
    m_lockFile.reset(); // QLockFile removes its file when destroyed while locked
    m_folder.clear();
}

bool ProjectLock::isLocked() const
{
    return m_lockFile && m_lockFile->isLocked();
}

QString ProjectLock::holderText(const LockFileTaker::Holder& holder, const QString& lockFileName) const
{
    // Whether a process of another computer still runs cannot be told from here.
    if (!holder.hostname.isEmpty())
        return m_language.GetMsg(Msg::LockOtherComputer, holder.hostname,
                                 QDir::toNativeSeparators(lockFileName));
    const QString holderName = holder.appname == commandLineProgram
                                   ? m_language.GetMsg(Msg::LockHolderCommandLine)
                                   : m_language.GetMsg(Msg::LockHolderWindow);
    return m_language.GetMsg(Msg::ProjectLocked, holderName, QString::number(holder.pid));
}

bool ProjectLock::repair()
{
    const FileTransaction::Recovery recovery = FileTransaction::Recover(m_folder);
    if (recovery.failure) {
        m_error = m_language.GetMsg(Msg::RepairFailed, recovery.failure->text(m_language));
        unlock();
        return false;
    }
    const int removed = recovery.removed + ProjectBackups::RemoveLeftovers(m_folder);
    if (recovery.completed > 0)
        m_report = m_language.GetMsg(Msg::ChangeCompleted, QString::number(recovery.completed));
    else if (removed > 0)
        m_report = m_language.GetMsg(Msg::ChangeDiscarded, QString::number(removed));
    return true;
}
