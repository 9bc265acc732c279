#pragma once

#include "problem.h"

#include <QList>
#include <QString>

#include <stdexcept>

class Language;

// A file the program could not write: its full name and the system's reason.
struct FileError
{
    QString fileName;
    QString reason;

    Problem problem() const;
    // The text shown in the error box.
    QString text(const Language& language) const;
    bool operator==(const FileError&) const = default;
};
using FileErrors = QList<FileError>;

// The system's own words for an errno value ("No space left on device").
QString SystemReason(int error);

// Raised when a file cannot be opened for reading; ends the whole operation that read it.
class FileReadError : public std::runtime_error
{
public:
    FileReadError(QString fileName, QString reason);

    Problem problem() const;
    QString text(const Language& language) const;

private:
    QString m_fileName;
    QString m_reason;
};
