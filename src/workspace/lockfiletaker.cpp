#include "lockfiletaker.h"

#include <QLockFile>
#include <QSysInfo>
#include <QThread>

namespace {

// A lock file that holds no holder yet is asked this often, this far apart, before giving up.
constexpr int Attempts = 5;
constexpr unsigned long AttemptPauseMs = 20;

} // namespace

LockFileTaker::Attempt LockFileTaker::take(QLockFile& lockFile)
{
    lockFile.setStaleLockTime(0);
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        if (lockFile.tryLock())
            return {Outcome::Taken, {}};
        if (lockFile.error() != QLockFile::LockFailedError)
            return {Outcome::Impossible, {}};
        Holder holder;
        if (lockFile.getLockInfo(&holder.pid, &holder.hostname, &holder.appname)) {
            if (holder.hostname == QSysInfo::machineHostName())
                holder.hostname.clear();
            return {Outcome::Held, holder};
        }
        // No holder can be read: the lock vanished meanwhile, or its maker died between creating
        // and writing it, or is writing it right now. Qt removes a lock file only when no process
        // holds it open, so a lock being made survives; it is asked again a moment later.
        if (!lockFile.removeStaleLockFile())
            QThread::msleep(AttemptPauseMs);
    }
    return {Outcome::Busy, {}};
}
