#pragma once

#include "fileerror.h"
#include "safefile.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <list>
#include <optional>

// Replaces several files of one folder (or of its subfolders) as one change: after a crash or a kill at any
// instant, the folder holds either every old file or every new one once Recover() has run, and no temporary
// file is left behind.
//
// Each new file is written and synced as a temporary file beside its target (SafeFile). Commit()
// then writes an intent, a file in the folder that lists every (temporary file, target) pair, makes
// it durable and only then renames the temporary files into place and removes the intent. Recover(),
// run by whoever takes the folder's lock next, finishes the renames of an intent it finds and removes
// every temporary file of the program that no intent names, which undoes a change that never got
// as far as its intent.
class FileTransaction
{
public:
    static const QString IntentName;

    // folder ends with "/".
    explicit FileTransaction(QString folder);
    FileTransaction(const FileTransaction&) = delete;
    FileTransaction& operator=(const FileTransaction&) = delete;

    // A new file by its name in the folder, or in one of its subfolders ("sub/name"), which must
    // exist: open and write it, then commit the whole
    // transaction. Files not committed are dropped with the transaction.
    SafeFile& add(const QString& name);
    // Syncs every file, records the intent and renames the files into place. On failure before the
    // intent was written every old file stays; after it, Recover() completes the change.
    bool commit();
    // The file that failed and the system's reason.
    const FileError& error() const { return m_error; }

    // What Recover() did: files put into place from an intent, temporary files removed, or why an
    // intent could not be completed (it then stays for the next attempt).
    struct Recovery
    {
        int completed = 0;
        int removed = 0;
        std::optional<FileError> failure;
    };
    static Recovery Recover(const QString& folder);
    // The same for a folder that is not the program's own: only the temporary files of targets
    // (paths inside folder, as add() took them) and of the intent are removed.
    static Recovery Recover(const QString& folder, const QStringList& targets);
    // Removes the program's temporary files (".NAME.xxxx.tmp") in folder; how many there were.
    static int RemoveTemporaries(const QString& folder);

private:
    static Recovery recover(const QString& folder, const std::function<int(const QString&)>& sweep);
    bool fail(const QString& fileName, const QString& reason);

    QString m_folder;
    std::list<SafeFile> m_files;
    FileError m_error;
};
