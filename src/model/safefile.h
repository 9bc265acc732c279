#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

// Replaces one file so that it is either wholly the new text or byte for byte the old one: the bytes
// go to a temporary file beside the target, every write, the final flush and the sync are checked,
// and only then is the temporary file renamed over the target. A full disk, a device that refuses
// writes or a crash in between leave the old file as it was. The new file keeps the old one's
// permission bits, and its owner and group where the process may set them (a run as root must not
// leave the user's files to root); an existing file its owner may not write is refused rather than
// replaced. A device or pipe is written in place, with every write and the sync still checked.
//
// Several files can be replaced together: finish() every one of them first, and commit() them only
// when all finished, so that a failure before the renames changes none of them.
class SafeFile
{
public:
    explicit SafeFile(QString fileName);
    ~SafeFile(); // an unfinished or uncommitted temporary file is removed
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    // Creates the temporary file beside the target.
    bool open();
    bool write(QByteArrayView bytes);
    // Syncs and closes the temporary file; the target is not touched yet.
    bool finish();
    // Renames the finished temporary file over the target and syncs the folder (finishes first when
    // that was not done yet).
    bool commit();
    // Drops the temporary file; the target stays as it was.
    void discard();
    // Hands the finished temporary file over to a FileTransaction, which renames it: this object
    // neither removes nor renames it any more.
    void release();

    // The temporary file beside the target; empty for a device or pipe, and once committed.
    const QString& tempName() const { return m_tempName; }

    const QString& fileName() const { return m_fileName; }
    // The system's own reason for the last failure ("No space left on device").
    const QString& errorString() const { return m_error; }

private:
    bool fail(int error);

    QString m_fileName;
    QString m_tempName;
    QString m_error;
    int m_fd = -1;
    bool m_finished = false;
    bool m_failed = false;
    bool m_direct = false; // the target is a device or pipe, written in place
};

// Makes the renames in folder durable; a file system that cannot sync folders is no failure.
void SyncFolder(const QString& folder);

// Writes the whole file in one go through SafeFile; the system's reason on failure.
std::optional<QString> WriteWholeFile(const QString& fileName, QByteArrayView bytes);
