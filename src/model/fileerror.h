#pragma once

#include "problem.h"

#include <QList>
#include <QString>

#include <stdexcept>

class TLanguage;

// A file the program could not write: its full name and the system's reason.
struct TFileError
{
    QString fileName;
    QString reason;

    Problem problem() const;
    // The text shown in the error box.
    QString text(const TLanguage& language) const;
    bool operator==(const TFileError&) const = default;
};
using TFileErrors = QList<TFileError>;

// The system's own words for an errno value ("No space left on device").
QString SystemReason(int error);

// Raised when a file cannot be opened for reading; ends the whole operation that read it.
class EFileError : public std::runtime_error
{
public:
    EFileError(QString fileName, QString reason);

    Problem problem() const;
    QString text(const TLanguage& language) const;

private:
    QString m_fileName;
    QString m_reason;
};
