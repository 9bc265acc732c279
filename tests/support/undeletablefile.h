#pragma once

#include <QString>

// Makes one file undeletable for the lifetime of the guard: a read-only folder for a normal user,
// the immutable attribute for root, who may delete from read-only folders. isActive() tells
// whether that worked (chattr may be refused by the file system).
class UndeletableFile
{
public:
    explicit UndeletableFile(const QString& fileName);
    ~UndeletableFile();
    UndeletableFile(const UndeletableFile&) = delete;
    UndeletableFile& operator=(const UndeletableFile&) = delete;

    bool isActive() const { return m_active; }

private:
    QString m_file;
    QString m_folder;
    bool m_active = false;
};
