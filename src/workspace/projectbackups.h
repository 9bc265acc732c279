#pragma once

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class Language;
class SafeFile;

// What a backup holds: the project's files before a receive or a restore replaced them, or the
// gateway's files before a send overwrote them.
enum class BackupKind
{
    BeforeReceive,
    GatewayBeforeSend,
    BeforeRestore,
    BeforeSave, // the items file before a save left out lines that are not functions
};

struct Backup
{
    // The folder's name, "<sequence>-YYYYMMDD-HHMMSS-<kind>". Older versions of the program named
    // their backups without the sequence, "YYYYMMDD-HHMMSS-<kind>", followed by "-2", "-3" for the
    // second and third backup made within the same second; those count as older than any with one.
    QString name;
    BackupKind kind;
    QDateTime time; // local time, from the name
    QStringList files;
    int sequence = 0; // 0 for a name without one
};

// The backups of one project, kept in its folder under "backups/", one folder per event. A backup's
// place in time is its sequence number, one more than the highest one there, never the clock: a
// clock put back (the end of summer time, another time zone) must not make the newest backup look
// like the oldest. Only the newest Kept of each kind stay. A backup is written into a hidden staging
// folder and renamed into place once it is whole, so a listed backup is always complete; what a
// crash leaves of a staging folder is removed by RemoveLeftovers().
class ProjectBackups
{
public:
    static constexpr int Kept = 20;

    // projPath ends with the folder separator; failures are told in language; now gives the local
    // time (the system clock when empty).
    ProjectBackups(QString projPath, const Language& language, std::function<QDateTime()> now = {});

    QString folder() const { return m_projPath + QStringLiteral("backups/"); }
    // Removes the staging folders that backups cut short by a crash left in the project projPath,
    // and the temporary files in its backups; how many there were. Run under the project's lock.
    static int RemoveLeftovers(const QString& projPath);
    // Newest first.
    QList<Backup> List() const;

    // Writes a new backup of kind: fill puts the files into the folder it is given and returns the
    // failure's text. On failure the backup is removed and the text returned; a backup that got no
    // file is removed too, and neither leaves a backups/ folder that was not there before.
    // Otherwise the oldest backups of the kind beyond Kept are removed.
    std::optional<QString> Make(BackupKind kind,
                                const std::function<std::optional<QString>(const QString& folder)>& fill);
    // A backup of the project's files fileNames as they are now; files that do not exist are left out.
    std::optional<QString> BackupProjectFiles(BackupKind kind, const QStringList& fileNames);
    // Puts the files of backup name back into the project as one change (FileTransaction): all of
    // them or, on any failure or crash, none. The project's files it replaces are backed up first
    // (kind BeforeRestore). The caller holds the project's lock.
    std::optional<QString> Restore(const QString& name);

    // The files of backup name and, for comparing them, the project's files of the same names as
    // they are now (one the project lacks is left out); the failure's text otherwise.
    std::optional<QString> ReadForCompare(const QString& name, QMap<QString, QByteArray>& backup,
                                          QMap<QString, QByteArray>& project) const;

    static QString KindWord(BackupKind kind);
    // What the backup holds and how many files, in the user's language ("Projekt vor dem Empfangen
    // (Dateien: 7)").
    static QString Describe(const Backup& backup, const Language& language);

private:
    QString newName(BackupKind kind) const;
    void prune(BackupKind kind);
    QString writeError(const QString& fileName, const QString& reason) const;
    // Copies the file source into the open file target piece by piece; the failure's text, naming
    // the file that failed.
    std::optional<QString> copyInto(const QString& source, SafeFile& target) const;

    QString m_projPath;
    const Language& m_language;
    std::function<QDateTime()> m_now;
};
