#pragma once

#include <QString>

#include <memory>

class QLockFile;
class TLanguage;

// The one writer of a project: a lock file in the project folder, held by the program window while
// the project is open and by every command-line run that opens it. A second writer is refused with
// a text that names the holder (program window or command line) and its process id. A lock whose
// process no longer runs (a crash, a power cut) is taken over, so it never blocks for good; a lock
// held for hours by a living window stays valid.
class TProjectLock
{
public:
    static const QString FileName;

    explicit TProjectLock(const TLanguage& language);
    ~TProjectLock();
    TProjectLock(const TProjectLock&) = delete;
    TProjectLock& operator=(const TProjectLock&) = delete;

    // Takes the lock of the project folder projPath (ending with "/"), giving up one held before.
    // False when another process holds it or the lock file cannot be made; errorString() then says
    // why, in the loaded language.
    bool lock(const QString& projPath);
    void unlock();
    bool isLocked() const;
    // The folder whose lock is held, empty when none is.
    const QString& folder() const { return m_folder; }
    const QString& errorString() const { return m_error; }

private:
    QString holderText(const QLockFile& lockFile) const;

    const TLanguage& m_language;
    std::unique_ptr<QLockFile> m_lockFile;
    QString m_folder;
    QString m_error;
};
