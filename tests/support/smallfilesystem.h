#pragma once

#include <QString>
#include <QTemporaryDir>

// A real, tiny file system for tests of full disks: a tmpfs of the given size mounted on a temporary
// folder (needs root or a user namespace that may mount), unmounted again by the destructor.
// isActive() tells whether the mount worked; tests skip the full-disk case when it did not.
class SmallFileSystem
{
public:
    explicit SmallFileSystem(int kibibytes = 64);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool isActive() const { return m_active; }
    QString path() const { return m_dir.path(); }
    // Fills the file system with a ballast file until at most freeBytes stay free.
    bool fill(qint64 freeBytes = 0);
    // Removes the ballast again.
    void release();

private:
    QTemporaryDir m_dir;
    bool m_active = false;
};
