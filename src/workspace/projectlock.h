#pragma once

#include "lockfiletaker.h"

#include <QString>

#include <memory>

class QLockFile;
class Language;

// The one writer of a project: a lock file in the project folder, held by the program window while
// the project is open and by every command-line run that opens it. A second writer is refused with
// a text that names the holder (program window or command line) and its process id. A lock whose
// process no longer runs (a crash, a power cut) is taken over, and so is one left empty or
// unreadable by a process that died while making it, so a lock never blocks for good; a lock held
// for hours by a living window stays valid. A lock made on another computer (a project on a shared
// drive, or copied with its lock) cannot be checked from here: the text names that computer and the
// lock file to delete.
//
// Whoever takes the lock first repairs what an interrupted writer left in the project: a change it
// had recorded in full is completed, anything else it left is removed (FileTransaction, backups
// being written).
class ProjectLock
{
public:
    static const QString FileName;

    explicit ProjectLock(const Language& language);
    ~ProjectLock();
    ProjectLock(const ProjectLock&) = delete;
    ProjectLock& operator=(const ProjectLock&) = delete;

    // Takes the lock of the project folder projPath (ending with "/"), giving up one held before.
    // False when another process holds it, the lock file cannot be made or an interrupted change
    // cannot be completed; errorString() then says why, in the loaded language. report() tells in
    // one line what the repair did, empty when there was nothing to repair.
    bool lock(const QString& projPath);
    void unlock();
    bool isLocked() const;
    // The folder whose lock is held, empty when none is.
    const QString& folder() const { return m_folder; }
    const QString& errorString() const { return m_error; }
    const QString& report() const { return m_report; }

private:
    QString holderText(const LockFileTaker::Holder& holder, const QString& lockFileName) const;
    bool repair();

    const Language& m_language;
    std::unique_ptr<QLockFile> m_lockFile;
    QString m_folder;
    QString m_error;
    QString m_report;
};
