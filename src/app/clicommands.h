#pragma once

#include "link/gatewaytransfer.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class ProjectDiff;
class QIODevice;
struct CliCommand;
struct CliSession;
class Workspace;

// varuno-cli: the program's project operations without windows. Each command opens the program
// folder as the program does (config/ and projects/ beside the executable), loads the catalogue and
// runs the same code the windows run; texts for the user go to standard error, results to
// standard output.
class CliCommands
{
public:
    enum ExitStatus
    {
        Success = 0,
        Failure = 1,    // the command ran and failed, or check found problems
        UsageError = 2, // the command line cannot be carried out as written
    };

    // programDir: the folder with config/ and projects/; out, err: standard output and error;
    // terminal: where questions are answered, nullptr when there is no terminal.
    CliCommands(QString programDir, QIODevice& out, QIODevice& err, QIODevice* terminal);

    // The store port (unless --port names one) and the bus-server check's waits of send and
    // receive; the program's defaults unless changed.
    void setTransferSettings(const TransferSettings& settings) { m_transferSettings = settings; }

    // Runs one command line (arguments.first() is the program's name); returns the exit status.
    int Run(const QStringList& arguments);

private:
    int Projects(CliSession& session, const QStringList& args);
    int Regenerate(CliSession& session, const QStringList& args);
    int ExportCsv(CliSession& session, const QStringList& args);
    int ImportCsv(CliSession& session, const QStringList& args);
    int ExportOpenHab5(CliSession& session, const QStringList& args);
    int Send(CliSession& session, const QStringList& args);
    // send --dry-run: what a send would change on the gateway.
    int SendDryRun(CliSession& session, const QStringList& args);
    // The summary and the functions of diff; the lines of each file too with --unified.
    void WriteDiff(CliSession& session, const ProjectDiff& diff, const QString& beforeSide,
                   const QString& afterSide);
    int Receive(CliSession& session, const QStringList& args);
    int Transfer(CliSession& session, const QStringList& args, TransferMode mode);
    int Backups(CliSession& session, const QStringList& args);
    int Restore(CliSession& session, const QStringList& args);
    int Lookup(CliSession& session, const QStringList& args);
    int Check(CliSession& session, const QStringList& args);
    int Bus(CliSession& session, const QStringList& args);

    // The commands with their arguments, options and descriptions.
    static const QList<CliCommand>& Commands();
    int RunCommand(const CliCommand& command, const QStringList& arguments);
    // Finds, locks, reads or opens the project named on the command line, as the command declares
    // (with --dry-run, as it declares for a dry run); the exit status after an error, nothing when
    // the command may go on. Each command calls it once it has checked the rest of its command
    // line, so that a usage error leaves the project untouched.
    std::optional<int> UseProject(CliSession& session, const QStringList& args);
    // Selects the project named on the command line; false after a usage error.
    bool SelectProject(CliSession& session, const QString& project);
    static QString ProjectFolder(const Workspace& workspace, const QString& project);
    // Takes the selected project's lock; false after an error naming the holder.
    bool LockProject(CliSession& session);
    // Locks and loads the selected project as opening it in the program does; false after an error.
    bool OpenProject(CliSession& session);
    // Reads the selected project once, without its lock and without writing into it, for the
    // commands that only look at it while the window may be working on it; false after an error.
    bool ReadProject(CliSession& session);
    bool LoadProject(CliSession& session, OpenHabGenerator::LoadMode mode);
    // Loads the language asked for, or the default one when none is asked for; false, with the
    // default one loaded, when config/language.ini does not know the one asked for.
    bool LoadLanguage(const std::optional<QString>& chosen);
    QString GeneralHelp() const;
    QString CommandHelp(const CliCommand& command) const;
    // The command with its arguments as the help shows it.
    QString Call(const CliCommand& command) const;
    // Reports a command line that cannot be carried out as written.
    int UsageFailure(const QString& text);
    void Write(QIODevice& device, const QString& text);
    void WriteBytes(QIODevice& device, const QByteArray& bytes);
    int FinishOutput(int status);
    int RunArguments(const QStringList& arguments);

    QString m_programDir;
    QIODevice& m_out;
    QIODevice& m_err;
    QIODevice* m_terminal;
    // Why standard output failed, empty while it works.
    QString m_outError;
    // The language of every text, known before the command line is read so that its errors are
    // already in it.
    Language m_language;
    TransferSettings m_transferSettings;
    QString m_command; // the command being run, for the help hint of usage errors
};
