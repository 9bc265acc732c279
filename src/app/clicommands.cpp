#include "clicommands.h"
#include "cliterminaltext.h"

#include "clibus.h"
#include "cliprompts.h"
#include "clitransferview.h"
#include "link/gatewaylookup.h"
#include "model/captions.h"
#include "model/csvexport.h"
#include "model/functionlist.h"
#include "model/language.h"
#include "model/projectini.h"
#include "openhab/openhabgenerator.h"
#include "openhab/projectcheck.h"
#include "openhab/projectdiff.h"
#include "varunoversion.h"
#include "workspace/csvimportrun.h"
#include "workspace/itemssave.h"
#include "workspace/openhab5run.h"
#include "workspace/projectbackups.h"
#include "workspace/projectlock.h"
#include "workspace/qttranslations.h"
#include "workspace/workspace.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileDevice>
#include <QFileInfo>
#include <QIODevice>

#include <algorithm>
#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

bool holdsProject(const QDir& folder)
{
    return folder.exists(ProjectIni::FileName) || folder.exists(OpenHabGenerator::sItemsFile);
}

// A backup holds a project's files but is none: what a command wrote there would be taken for the
// saved state by the next restore.
bool isBackupFolder(const QDir& folder)
{
    QDir parent(folder);
    if (!parent.cdUp() || parent.dirName() != u"backups")
        return false;
    return parent.cdUp() && holdsProject(parent);
}

const QString programName = u"varuno-cli"_s;

enum OptionFlag
{
    IpOption = 1,
    YesOption = 2,
    PortOption = 4,
    SerialOption = 8,
    BusOption = 16,
    DiffOption = 32,
    UnifiedOption = 64,
    DryRunOption = 128,
    ImportOptions = 256,
};

struct CliOption
{
    int flag; // 0: every command has it
    QStringList names;
    std::optional<Msg> valueName; // only an option that takes a value has one
    Msg description;
};

const CliOption cliOptions[] = {
    {0, {u"h"_s, u"help"_s}, {}, Msg::CliHelpOption},
    {0, {u"language"_s}, Msg::CliValueName, Msg::CliLanguageOption},
    {IpOption, {u"ip"_s}, Msg::CliValueAddress, Msg::CliIpOption},
    {PortOption, {u"port"_s}, Msg::CliValuePort, Msg::CliPortOption},
    {YesOption, {u"yes"_s}, {}, Msg::CliYesOption},
    {SerialOption, {u"serial"_s}, Msg::CliValueSerial, Msg::CliSerialOption},
    {BusOption, {u"bus-ip"_s}, Msg::CliValueAddress, Msg::CliBusIpOption},
    {BusOption, {u"bus-port"_s}, Msg::CliValuePort, Msg::CliBusPortOption},
    {BusOption, {u"password"_s}, Msg::CliValuePassword, Msg::CliPasswordOption},
    {BusOption, {u"hmac"_s}, {}, Msg::CliHmacOption},
    {BusOption, {u"timeout"_s}, Msg::CliValueSeconds, Msg::CliTimeoutOption},
    {ImportOptions, {u"replace"_s}, {}, Msg::CliReplaceOption},
    {ImportOptions, {u"append"_s}, {}, Msg::CliAppendOption},
    {ImportOptions, {u"accept-valid"_s}, {}, Msg::CliAcceptValidOption},
    {ImportOptions, {u"dry-run"_s}, {}, Msg::CliImportDryRunOption},
    {DiffOption, {u"diff"_s}, Msg::CliValueName, Msg::CliDiffOption},
    {DryRunOption, {u"dry-run"_s}, {}, Msg::CliSendDryRunOption},
    {UnifiedOption, {u"unified"_s}, {}, Msg::CliUnifiedOption},
};

QString optionSyntax(const CliOption& option, const Language& language)
{
    QStringList names;
    for (const QString& name : option.names)
        names << (name.size() == 1 ? u"-"_s : u"--"_s) + name;
    return names.join(u", "_s) + (option.valueName ? u' ' + language.GetMsg(*option.valueName) : QString());
}

// One line of a help's table: what is typed, then what it does.
QString helpLine(const QString& call, const QString& text)
{
    return u"  "_s + call.leftJustified(26) + u' ' + text + u'\n';
}

// What the command line holds before the command's own options are known.
struct CommandLine
{
    QString word;                    // the first argument that is neither an option nor its value
    std::optional<QString> language; // the value of the last --language
};

CommandLine scanCommandLine(const QStringList& arguments)
{
    static const QString languageOption = u"--language"_s;
    CommandLine line;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == u"--") {
            if (line.word.isEmpty())
                line.word = arguments.value(i + 1);
            break;
        }
        if (!argument.startsWith(u'-')) {
            if (line.word.isEmpty())
                line.word = argument;
            continue;
        }
        if (argument.startsWith(languageOption + u'='))
            line.language = argument.mid(languageOption.size() + 1);
        const bool bTakesValue =
            std::any_of(std::begin(cliOptions), std::end(cliOptions),
                        [&](const CliOption& o) { return o.valueName && o.names.contains(argument.mid(2)); });
        if (!bTakesValue || !argument.startsWith(u"--"))
            continue;
        if (argument == languageOption && i + 1 < arguments.size())
            line.language = arguments.at(i + 1);
        ++i;
    }
    return line;
}

// The value of an option the command line holds; the parser warns about options a command does not
// have, so those are asked for by name among the options found.
std::optional<QString> optionValue(const QCommandLineParser& parser, const QString& name)
{
    if (!parser.optionNames().contains(name))
        return std::nullopt;
    return parser.value(name);
}

// The main window's language at its first start is the first of two languages; the command line
// stays German unless asked otherwise.
QString defaultLanguage(const QStringList& languages)
{
    return languages.size() == 2 ? languages.constFirst() : u"Deutsch"_s;
}

} // namespace

// What a command does with the project one of its arguments names, before its own work.
enum class ProjectUse
{
    None,        // it names no project
    Find,        // only finds it: nothing is written there, not even a lock
    Read,        // reads it as it is, without its lock, beside a window that has it open
    Inspect,     // takes its lock when free, which repairs the project, and goes on without
    Lock,        // holds its lock
    LockAndRead, // holds its lock and reads the project as it is
    Open,        // holds its lock and opens the project as the window does, which may complete it
};

// One command: its word, its arguments, the options it takes besides the common ones, what it runs
// and what it does with its project.
struct CliCommand
{
    QString name;
    std::optional<Msg> syntax;
    qsizetype minArguments;
    qsizetype maxArguments;
    int options;
    Msg summary;                // one line for the general help
    std::optional<Msg> details; // further sentences for the command's own help
    int (CliCommands::*run)(CliSession& session, const QStringList& args);
    ProjectUse use = ProjectUse::None;
    // With --dry-run a command writes nothing into the project, and may use it otherwise.
    std::optional<ProjectUse> dryRunUse = std::nullopt;
    qsizetype projectArgument = 0;
};

// Everything one command works with: the program's long-lived objects, the project list and the
// open project's function list.
struct CliSession
{
    CliSession(const QString& programDir, Language& language, QIODevice& err, QIODevice* terminal,
               const QCommandLineParser& parser)
        : parser(parser), language(language), openHab(language, programDir + u"/config/"_s),
          prompts(err, terminal, optionValue(parser, u"yes"_s).has_value()),
          workspace(programDir, openHab, language), lock(language)
    {
    }

    const QCommandLineParser& parser;
    Language& language;
    OpenHabGenerator openHab;
    TerminalPrompts prompts;
    Workspace workspace;
    ProjectLock lock;
    FunctionList items;
    ProjectUse projectUse = ProjectUse::None;
    qsizetype projectArgument = 0;
};

namespace {

// Tells on the terminal what an operation reported; the command's exit status.
int shown(CliSession& session, const Outcome& outcome)
{
    session.prompts.show(outcome.notices, session.language);
    return outcome.ok ? CliCommands::Success : CliCommands::Failure;
}

} // namespace

const QList<CliCommand>& CliCommands::Commands()
{
    static const QList<CliCommand> commands = {
        {u"projects"_s, {}, 0, 0, 0, Msg::CliProjectsSummary, {}, &CliCommands::Projects},
        {u"regenerate"_s, Msg::CliProjectArgument, 1, 1, 0, Msg::CliRegenerateSummary,
         Msg::CliRegenerateDetails, &CliCommands::Regenerate, ProjectUse::Open},
        {u"export-csv"_s, Msg::CliExportArguments, 1, 2, 0, Msg::CliExportSummary, Msg::CliExportDetails,
         &CliCommands::ExportCsv, ProjectUse::Open},
        {u"import-csv"_s,
         Msg::CliImportArguments,
         2,
         2,
         ImportOptions,
         Msg::CliImportSummary,
         {},
         &CliCommands::ImportCsv,
         ProjectUse::Open,
         ProjectUse::LockAndRead},
        {u"export-openhab5"_s, Msg::CliExportOpenHab5Arguments, 2, 2, YesOption,
         Msg::CliExportOpenHab5Summary, Msg::CliExportOpenHab5Details, &CliCommands::ExportOpenHab5,
         ProjectUse::LockAndRead},
        // A look at what a send would change must not change what it looks at, the window's
        // project included.
        {u"send"_s, Msg::CliProjectArgument, 1, 1,
         IpOption | PortOption | YesOption | DryRunOption | UnifiedOption, Msg::CliSendSummary,
         Msg::CliTransferDetails, &CliCommands::Send, ProjectUse::Open, ProjectUse::Find},
        {u"receive"_s, Msg::CliProjectArgument, 1, 1, IpOption | PortOption | YesOption,
         Msg::CliReceiveSummary, Msg::CliTransferDetails, &CliCommands::Receive, ProjectUse::Open},
        {u"lookup"_s, Msg::CliProjectArgument, 1, 1, SerialOption, Msg::CliLookupSummary,
         Msg::CliLookupDetails, &CliCommands::Lookup, ProjectUse::Lock},
        // Listing changes nothing, so a project held elsewhere is listed all the same; a free one
        // is repaired first, so that the list is what a restore would find.
        {u"backups"_s, Msg::CliProjectArgument, 1, 1, DiffOption | UnifiedOption, Msg::CliBackupsSummary,
         Msg::CliBackupsDetails, &CliCommands::Backups, ProjectUse::Inspect},
        {u"restore"_s, Msg::CliRestoreArguments, 2, 2, 0, Msg::CliRestoreSummary, Msg::CliRestoreDetails,
         &CliCommands::Restore, ProjectUse::Lock},
        {u"check"_s, Msg::CliProjectArgument, 1, 1, 0, Msg::CliCheckSummary, Msg::CliCheckDetails,
         &CliCommands::Check, ProjectUse::Open},
        // The bus tools run beside the window that has the project open: a user watches the
        // monitor while testing a function there.
        {u"bus"_s, Msg::CliBusArguments, 2, 4, BusOption, Msg::CliBusSummary, Msg::CliBusDetails,
         &CliCommands::Bus, ProjectUse::Read, std::nullopt, 1},
    };
    return commands;
}

CliCommands::CliCommands(QString programDir, QIODevice& out, QIODevice& err, QIODevice* terminal)
    : m_programDir(std::move(programDir)), m_out(out), m_err(err), m_terminal(terminal),
      m_language(m_programDir + u"/config/"_s)
{
}

int CliCommands::Run(const QStringList& arguments)
{
    return FinishOutput(RunArguments(arguments));
}

int CliCommands::RunArguments(const QStringList& arguments)
{
    const CommandLine line = scanCommandLine(arguments);
    // An unknown language is reported once the command's options have been read.
    LoadLanguage(line.language);
    if (line.word.isEmpty()) {
        const QStringList options = arguments.mid(1);
        if (options.contains(u"--version"_s)) {
            Write(m_out, programName + u' ' + QStringLiteral(VARUNO_VERSION) + u'\n');
            return Success;
        }
        if (options.contains(u"-h"_s) || options.contains(u"--help"_s)) {
            Write(m_out, GeneralHelp());
            return Success;
        }
        Write(m_err, GeneralHelp());
        return UsageError;
    }
    const auto& commands = Commands();
    const auto command = std::find_if(commands.cbegin(), commands.cend(),
                                      [&](const CliCommand& c) { return c.name == line.word; });
    if (command == commands.cend())
        return UsageFailure(m_language.GetMsg(Msg::CliUnknownCommand, line.word));
    return RunCommand(*command, arguments);
}

int CliCommands::RunCommand(const CliCommand& command, const QStringList& arguments)
{
    QCommandLineParser parser;
    for (const CliOption& option : cliOptions) {
        if (option.flag == 0 || (command.options & option.flag))
            parser.addOption(
                QCommandLineOption(option.names, m_language.GetMsg(option.description),
                                   option.valueName ? m_language.GetMsg(*option.valueName) : QString()));
    }
    m_command = command.name;
    if (!parser.parse(arguments))
        return UsageFailure(parser.errorText());
    if (parser.isSet(u"help"_s)) {
        Write(m_out, CommandHelp(command));
        return Success;
    }
    // The first positional argument is the command word itself.
    const QStringList args = parser.positionalArguments().mid(1);
    if (args.size() < command.minArguments || args.size() > command.maxArguments)
        return UsageFailure(m_language.GetMsg(Msg::CliWrongArgumentCount));
    if (const auto port = optionValue(parser, u"port"_s)) {
        bool number = false;
        if (port->toUShort(&number) == 0 || !number)
            return UsageFailure(m_language.GetMsg(Msg::CliInvalidPort, *port));
    }
    const auto language = optionValue(parser, u"language"_s);
    if (!LoadLanguage(language))
        return UsageFailure(
            m_language.GetMsg(Msg::CliUnknownLanguage, *language, m_language.GetLanguages().join(u", "_s)));

    CliSession session(m_programDir, m_language, m_err, m_terminal, parser);
    session.projectUse = command.dryRunUse && parser.isSet(u"dry-run"_s) ? *command.dryRunUse : command.use;
    session.projectArgument = command.projectArgument;
    return (this->*command.run)(session, args);
}

bool CliCommands::LoadLanguage(const std::optional<QString>& chosen)
{
    const QStringList languages = m_language.GetLanguages();
    const bool bKnown = !chosen || languages.contains(*chosen, Qt::CaseInsensitive);
    m_language.LoadLanguage(chosen && bKnown ? *chosen : defaultLanguage(languages));
    ApplyQtTranslations(m_language);
    return bKnown;
}

QString CliCommands::GeneralHelp() const
{
    QString text = m_language.GetMsg(Msg::CliGeneralUsage, programName) + u"\n\n"_s +
                   m_language.GetMsg(Msg::CliCommandsHeading) + u'\n';
    for (const CliCommand& command : Commands())
        text += helpLine(Call(command), m_language.GetMsg(command.summary));
    text += u'\n' + m_language.GetMsg(Msg::CliGeneralOptionsHeading) + u'\n';
    for (const CliOption& option : cliOptions) {
        if (option.flag == 0)
            text += helpLine(optionSyntax(option, m_language), m_language.GetMsg(option.description));
    }
    return text + helpLine(u"--version"_s, m_language.GetMsg(Msg::CliVersionOption)) + u'\n' +
           m_language.GetMsg(Msg::CliProjectHelp) + u'\n' +
           m_language.GetMsg(Msg::CliCommandHelpHint, programName) + u'\n';
}

QString CliCommands::CommandHelp(const CliCommand& command) const
{
    QString text = m_language.GetMsg(Msg::CliCommandUsage, programName, Call(command)) + u"\n\n"_s +
                   m_language.GetMsg(command.summary) + u'\n';
    if (command.details)
        text += m_language.GetMsg(*command.details) + u'\n';
    text += u'\n' + m_language.GetMsg(Msg::CliOptionsHeading) + u'\n';
    for (const CliOption& option : cliOptions) {
        if (option.flag == 0 || (command.options & option.flag))
            text += helpLine(optionSyntax(option, m_language), m_language.GetMsg(option.description));
    }
    if (command.minArguments > 0)
        text += u'\n' + m_language.GetMsg(Msg::CliProjectHelp) + u'\n';
    return text;
}

QString CliCommands::Call(const CliCommand& command) const
{
    return command.syntax ? command.name + u' ' + m_language.GetMsg(*command.syntax) : command.name;
}

int CliCommands::UsageFailure(const QString& text)
{
    const QString call = m_command.isEmpty() ? programName : programName + u' ' + m_command;
    Write(m_err, programName + u": "_s + text + u'\n' + m_language.GetMsg(Msg::CliHelpHint, call) + u'\n');
    return UsageError;
}

void CliCommands::Write(QIODevice& device, const QString& text)
{
    WriteBytes(device, TerminalText(text));
}

void CliCommands::WriteBytes(QIODevice& device, const QByteArray& bytes)
{
    if (device.write(bytes) != bytes.size() && &device == &m_out && m_outError.isEmpty())
        m_outError = device.errorString();
}

// Output that never reached its reader (a full disk, a closed pipe) is a failure like any other:
// a script must not go on with half a list.
int CliCommands::FinishOutput(int status)
{
    if (auto* file = qobject_cast<QFileDevice*>(&m_out); file && !file->flush() && m_outError.isEmpty())
        m_outError = file->errorString();
    if (m_outError.isEmpty())
        return status;
    Write(m_err, m_language.GetMsg(Msg::OutputNotWritten, m_outError) + u'\n');
    return status == Success ? Failure : status;
}

bool CliCommands::SelectProject(CliSession& session, const QString& project)
{
    OpenHabGenerator& openHab = session.openHab;
    const QString folder = ProjectFolder(session.workspace, project);
    if (folder.isEmpty()) {
        UsageFailure(session.language.GetMsg(Msg::CliUnknownProject, project,
                                             QDir::toNativeSeparators(session.workspace.projectsDir())));
        return false;
    }
    openHab.sProjPath = folder;
    openHab.sProj = QFileInfo(folder.chopped(1)).fileName();
    return true;
}

// A bare word only ever names a project in projects/, so that a stray word cannot turn another
// folder into a project; a path has to say so with a "/" and lead to a folder that already holds a
// project. The templates in config/ are never a project, however the path spells them: every new
// project would copy what a command wrote there. Empty when the word names no project.
QString CliCommands::ProjectFolder(const Workspace& workspace, const QString& project)
{
    if (!project.contains(u'/')) {
        const QStringList& names = workspace.projects();
        // Looked up as the project list finds LastProject: the exact name first, then without
        // regard to case.
        auto name = std::find(names.cbegin(), names.cend(), project);
        if (name == names.cend())
            name = std::find_if(names.cbegin(), names.cend(), [&](const QString& n) {
                return n.compare(project, Qt::CaseInsensitive) == 0;
            });
        return name == names.cend() ? QString() : workspace.projectsDir() + *name + u'/';
    }
    const QFileInfo info(project);
    const QString canonical = info.canonicalFilePath();
    if (!info.isDir() || canonical.isEmpty() ||
        canonical == QFileInfo(workspace.sCfgDir()).canonicalFilePath())
        return {};
    const QDir folder(canonical);
    if (!holdsProject(folder) || isBackupFolder(folder))
        return {};
    return QDir::cleanPath(info.absoluteFilePath()) + u'/';
}

std::optional<int> CliCommands::UseProject(CliSession& session, const QStringList& args)
{
    if (session.projectUse == ProjectUse::None)
        return std::nullopt;
    if (!SelectProject(session, args.at(session.projectArgument)))
        return UsageError;
    bool used = true;
    switch (session.projectUse) {
    case ProjectUse::None:
    case ProjectUse::Find:
        break;
    case ProjectUse::Read:
        used = ReadProject(session);
        break;
    case ProjectUse::Inspect:
        if (session.lock.lock(session.openHab.sProjPath) && !session.lock.report().isEmpty())
            session.prompts.information(session.lock.report());
        break;
    case ProjectUse::Lock:
        used = LockProject(session);
        break;
    case ProjectUse::LockAndRead:
        used = LockProject(session) && ReadProject(session);
        break;
    case ProjectUse::Open:
        used = OpenProject(session);
        break;
    }
    return used ? std::nullopt : std::optional<int>(Failure);
}

// Opening a project may already write into it (a new cloud identity, a lost mqtt.cfg), so every
// command that opens one holds its lock first; a window or another command working on it is named.
// Taking the lock also repairs what an interrupted run left in the project, which is told in a line.
bool CliCommands::LockProject(CliSession& session)
{
    if (!session.lock.lock(session.openHab.sProjPath)) {
        session.prompts.error(session.lock.errorString());
        return false;
    }
    if (!session.lock.report().isEmpty())
        session.prompts.information(session.lock.report());
    return true;
}

// As the main window opens a project, but settings.ini is left alone: the window's last project
// is the user's choice, not the command line's.
bool CliCommands::OpenProject(CliSession& session)
{
    if (!session.lock.isLocked() && !LockProject(session))
        return false;
    return LoadProject(session, OpenHabGenerator::LoadMode::Repair);
}

bool CliCommands::ReadProject(CliSession& session)
{
    return LoadProject(session, OpenHabGenerator::LoadMode::ReadOnly);
}

bool CliCommands::LoadProject(CliSession& session, OpenHabGenerator::LoadMode mode)
{
    try {
        const FileErrors errors = session.openHab.LoadFiles(session.items, mode);
        for (const FileError& error : errors)
            session.prompts.error(error.text(session.language));
        return errors.isEmpty();
    } catch (const FileReadError& e) {
        session.prompts.error(e.text(session.language));
        return false;
    }
}

int CliCommands::Projects(CliSession& session, const QStringList&)
{
    for (const QString& name : session.workspace.projects())
        Write(m_out, name + u'\n');
    return Success;
}

int CliCommands::Regenerate(CliSession& session, const QStringList& args)
{
    if (const auto status = UseProject(session, args))
        return *status;
    const Outcome prepared = ItemsSave::prepare(session.openHab, session.language);
    session.prompts.show(prepared.notices, session.language);
    if (!prepared.ok)
        return Failure;
    const FileErrors errors = session.openHab.SaveItems(session.items.entries());
    for (const FileError& error : errors)
        session.prompts.error(error.text(session.language));
    return errors.isEmpty() ? Success : Failure;
}

int CliCommands::ExportCsv(CliSession& session, const QStringList& args)
{
    if (const auto status = UseProject(session, args))
        return *status;
    const QByteArray bytes =
        CsvExport::Build(session.items.entries(), Captions::CsvColumnTexts(session.language),
                         Captions::GroupHeaderTexts(session.language), session.language.GetMsg(Msg::Yes),
                         session.language.GetMsg(Msg::No));
    if (args.size() < 2) {
        WriteBytes(m_out, bytes);
        return Success;
    }
    if (session.workspace.isInProjectsFolder(args.at(1))) {
        session.prompts.error(
            session.language.GetMsg(Msg::ExportIntoProjects, QDir::toNativeSeparators(args.at(1))));
        return Failure;
    }
    if (const auto reason = CsvExport::Write(args.at(1), bytes)) {
        session.prompts.error(
            FileError{QDir::toNativeSeparators(args.at(1)), *reason}.text(session.language));
        return Failure;
    }
    return Success;
}

// Every row is checked before anything is written; the list changes all at once or not at all.
int CliCommands::ImportCsv(CliSession& session, const QStringList& args)
{
    const bool replace = optionValue(session.parser, u"replace"_s).has_value();
    const bool dryRun = optionValue(session.parser, u"dry-run"_s).has_value();
    if (replace && optionValue(session.parser, u"append"_s))
        return UsageFailure(session.language.GetMsg(Msg::CliReplaceAndAppend));
    if (const auto status = UseProject(session, args))
        return *status;
    const auto result = CsvImportRun::read(args.at(1), session.openHab);
    if (!result) {
        session.prompts.error(result.problem().text(session.language));
        return Failure;
    }
    for (const QString& line : CsvImport::Report(*result, session.language))
        Write(m_out, line + u'\n');
    if (result->unreadable)
        return Failure;
    Write(m_out, session.language.GetMsg(Msg::CsvImportResult, QString::number(result->rows.size()),
                                         QString::number(result->refused.size())) +
                     u'\n');
    const bool takeValid = optionValue(session.parser, u"accept-valid"_s) && !result->rows.isEmpty();
    if (!result->refused.isEmpty() && !takeValid) {
        if (!dryRun)
            session.prompts.error(
                session.language.GetMsg(Msg::CsvNothingImported, QString::number(result->refused.size())));
        return Failure;
    }
    if (dryRun)
        return Success;
    const QList<FunctionEntry> rows = CsvImportRun::combine(session.items.entries(), result->rows, replace);
    return shown(session, CsvImportRun::save(session.openHab, rows));
}

// Only reads the project, but under its lock, so that the files are those of one saved state.
int CliCommands::ExportOpenHab5(CliSession& session, const QStringList& args)
{
    if (const auto status = UseProject(session, args))
        return *status;
    return shown(session, OpenHab5Run::exportTo(session.openHab, session.items.entries(), session.workspace,
                                                session.prompts, args.at(1)));
}

int CliCommands::Send(CliSession& session, const QStringList& args)
{
    if (optionValue(session.parser, u"dry-run"_s))
        return SendDryRun(session, args);
    return Transfer(session, args, TransferMode::Send);
}

// Writes nothing anywhere, not even the project's lock or its address.
int CliCommands::SendDryRun(CliSession& session, const QStringList& args)
{
    if (const auto status = UseProject(session, args))
        return *status;
    TransferSettings settings = m_transferSettings;
    if (const auto port = optionValue(session.parser, u"port"_s))
        settings.storePort = port->toUShort();
    const QString address =
        optionValue(session.parser, u"ip"_s).value_or(ProjectIni(session.openHab.sProjPath).IP());
    TerminalTransferView view(address, TransferMode::Send, session.prompts, session.language, m_err, {});
    SendPreview preview;
    std::optional<QString> failure;
    {
        const CtrlCGuard ctrlC;
        failure = GatewayTransfer(session.openHab, session.language, view, settings).PreviewSend(preview);
    }
    if (failure) {
        session.prompts.error(*failure);
        return Failure;
    }
    WriteDiff(session, ProjectDiff(session.openHab, preview.gateway, preview.sent), u"varuno"_s,
              session.openHab.sProj);
    session.prompts.information(session.language.GetMsg(Msg::DryRunNothingSent));
    return Success;
}

void CliCommands::WriteDiff(CliSession& session, const ProjectDiff& diff, const QString& beforeSide,
                            const QString& afterSide)
{
    Write(m_out, diff.report(session.language));
    if (optionValue(session.parser, u"unified"_s))
        WriteBytes(m_out, diff.unified(beforeSide, afterSide));
}

int CliCommands::Receive(CliSession& session, const QStringList& args)
{
    return Transfer(session, args, TransferMode::Receive);
}

int CliCommands::Transfer(CliSession& session, const QStringList& args, TransferMode mode)
{
    if (const auto status = UseProject(session, args))
        return *status;
    ProjectIni ini(session.openHab.sProjPath);
    const QString address = optionValue(session.parser, u"ip"_s).value_or(ini.IP());
    // As in the transfer dialog, the address is kept for the next time, also when the transfer is
    // refused or fails. A project.ini that cannot take it says the disk or folder is not fit for the
    // files a transfer writes either.
    if (!ini.setIP(address)) {
        session.prompts.error(ini.writeError().text(session.language));
        return Failure;
    }

    TransferSettings settings = m_transferSettings;
    if (const auto port = optionValue(session.parser, u"port"_s))
        settings.storePort = port->toUShort();
    const Language& language = session.language;
    TerminalTransferView view(address, mode, session.prompts, language, m_err,
                              Captions::Text(language, Captions::RebootNote));
    GatewayTransfer transfer(session.openHab, language, view, settings);
    bool bOk = false;
    {
        const CtrlCGuard ctrlC;
        bOk = (mode != TransferMode::Send || transfer.ConfirmSend()) && transfer.RunTransfer();
    }
    session.prompts.information(language.GetMsg(bOk ? Msg::TransferSucceeded : Msg::TransferFailed));
    if (bOk && mode == TransferMode::Send)
        session.prompts.information(Captions::Text(language, Captions::RefreshNote));
    // The main window opens the project again after every receive, whatever its outcome: the
    // received files are loaded at once, and one the program cannot read is reported now.
    if (mode == TransferMode::Receive && !OpenProject(session))
        return Failure;
    return bOk ? Success : Failure;
}

int CliCommands::Backups(CliSession& session, const QStringList& args)
{
    if (const auto status = UseProject(session, args))
        return *status;
    const ProjectBackups backups(session.openHab.sProjPath, session.language);
    if (const auto name = optionValue(session.parser, u"diff"_s)) {
        ProjectFiles backup;
        ProjectFiles project;
        if (const auto failure = backups.ReadForCompare(*name, backup, project)) {
            session.prompts.error(*failure);
            return Failure;
        }
        WriteDiff(session, ProjectDiff(session.openHab, project, backup), session.openHab.sProj,
                  u"backups/"_s + *name);
        return Success;
    }
    for (const Backup& backup : backups.List())
        Write(m_out, backup.name + u'\t' + ProjectBackups::Describe(backup, session.language) + u'\n');
    return Success;
}

int CliCommands::Restore(CliSession& session, const QStringList& args)
{
    if (const auto status = UseProject(session, args))
        return *status;
    if (const auto failure =
            ProjectBackups(session.openHab.sProjPath, session.language).Restore(args.at(1))) {
        session.prompts.error(session.language.GetMsg(Msg::RestoreFailed, *failure));
        return Failure;
    }
    // As the main window opens the project again: a restored file the program cannot read shows now.
    return OpenProject(session) ? Success : Failure;
}

int CliCommands::Lookup(CliSession& session, const QStringList& args)
{
    if (const auto status = UseProject(session, args))
        return *status;
    const QString& cloudServer = session.workspace.sCloudServer();
    if (cloudServer.isEmpty()) {
        session.prompts.error(session.language.GetMsg(Msg::CliNoCloudServer));
        return Failure;
    }
    const QString projPath = session.openHab.sProjPath;
    const ProjectIni ini(projPath);
    QString serial = optionValue(session.parser, u"serial"_s).value_or(ini.Serial());
    if (serial.isEmpty() && !session.prompts.hasTerminal())
        return UsageFailure(session.language.GetMsg(Msg::CliProjectWithoutSerial));
    QString serialLine;
    QString address = ini.IP();
    GatewayLookup lookup(session.language, session.prompts, cloudServer, projPath + ProjectIni::FileName);
    const Outcome found = lookup.Search(serial, serialLine, address);
    session.prompts.show(found.notices, session.language);
    if (found.ok) {
        Write(m_out, address + u'\n');
        return Success;
    }
    if (serial.isEmpty())
        session.prompts.error(session.language.GetMsg(Msg::CliNoSerial));
    return Failure;
}

int CliCommands::Check(CliSession& session, const QStringList& args)
{
    if (const auto status = UseProject(session, args))
        return *status;
    ProjectCheck check(session.openHab, session.items.entries());
    QStringList problems;
    const bool bRan = check.Run(problems);
    for (const QString& problem : problems)
        Write(m_out, problem + u'\n');
    // Standard output stays the list of faults; the warnings go beside it and decide nothing.
    for (const QString& warning : check.warnings() + check.openHab5LeftOut())
        Write(m_err, warning + u'\n');
    if (!bRan) {
        session.prompts.error(check.errorString());
        return Failure;
    }
    return problems.isEmpty() ? Success : Failure;
}

int CliCommands::Bus(CliSession& session, const QStringList& args)
{
    const auto verb = CliBus::ParseVerb(args.at(0));
    if (!verb)
        return UsageFailure(session.language.GetMsg(Msg::CliUnknownBusVerb, args.at(0)));
    CliBus::Options options;
    options.limitSeconds = *verb == CliBus::Learn ? 30 : 0;
    if (const auto timeout = optionValue(session.parser, u"timeout"_s)) {
        bool number = false;
        options.limitSeconds = timeout->toInt(&number);
        if (!number || options.limitSeconds <= 0 || options.limitSeconds > 86400)
            return UsageFailure(session.language.GetMsg(Msg::CliInvalidTimeout, *timeout));
    }
    if (const auto status = UseProject(session, args))
        return *status;
    const OpenHabGenerator& openHab = session.openHab;
    options.server.host = optionValue(session.parser, u"bus-ip"_s).value_or(openHab.serverIP);
    options.server.password = optionValue(session.parser, u"password"_s).value_or(openHab.serverPass);
    const QString port = optionValue(session.parser, u"bus-port"_s).value_or(openHab.serverPort);
    bool portNumber = false;
    options.server.port = port.toUShort(&portNumber);
    if (!portNumber || options.server.port == 0)
        return UsageFailure(session.language.GetMsg(Msg::CliInvalidBusPort, port));
    if (options.server.host.isEmpty())
        return UsageFailure(session.language.GetMsg(Msg::CliNoBusAddress));
    CliBus bus(openHab, session.language, session.items, m_out, m_err,
               [this](const QString& text) { return UsageFailure(text); });
    return bus.Run(*verb, args.mid(2), options);
}
