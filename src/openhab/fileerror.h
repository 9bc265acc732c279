#pragma once

#include <QList>
#include <QString>

#include <stdexcept>

// A file the program could not write: its full name and the system's reason.
struct TFileError
{
    QString fileName;
    QString reason;

    // The text shown in the error box.
    QString text() const
    {
        return QStringLiteral("Datei %1 kann nicht geschrieben werden. %2").arg(fileName, reason);
    }
    bool operator==(const TFileError&) const = default;
};
using TFileErrors = QList<TFileError>;

// Raised when a file cannot be opened for reading; ends the whole operation that read it.
class EFileError : public std::runtime_error
{
public:
    EFileError(const QString& fileName, const QString& reason)
        : std::runtime_error("file cannot be opened"),
          m_text(QStringLiteral("Datei %1 kann nicht geöffnet werden. %2").arg(fileName, reason))
    {
    }
    const QString& text() const { return m_text; }

private:
    QString m_text;
};
