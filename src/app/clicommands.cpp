#include "clicommands.h"
#include "cliterminaltext.h"

#include "bus/tbticino.h"
#include "clibus.h"
#include "cliprompts.h"
#include "clitransferview.h"
#include "link/gatewaylookup.h"
#include "model/captions.h"
#include "model/csvexport.h"
#include "model/functionlist.h"
#include "model/tlanguage.h"
#include "model/tprojectini.h"
#include "openhab/projectcheck.h"
#include "openhab/topenhab.h"
#include "varunoversion.h"
#include "workspace/tbackups.h"
#include "workspace/tprojectlock.h"
#include "workspace/tworkspace.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>

#include <algorithm>
#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

const QString programName = u"varuno-cli"_s;

enum OptionFlag
{
    IpOption = 1,
    YesOption = 2,
    PortOption = 4,
    SerialOption = 8,
    BusOption = 16,
};

struct TCliOption
{
    int flag; // 0: every command has it
    QStringList names;
    QString valueName;
    QString description;
};

const TCliOption cliOptions[] = {
    {0, {u"h"_s, u"help"_s}, {}, u"Zeigt diese Hilfe."_s},
    {0,
     {u"language"_s},
     u"NAME"_s,
     u"Sprache der Meldungen und Überschriften: ein Abschnitt von config/language.ini (Standard: Deutsch)."_s},
    {IpOption,
     {u"ip"_s},
     u"ADRESSE"_s,
     u"Adresse des Varuno im lokalen Netz (Standard: IP aus project.ini)."_s},
    {PortOption, {u"port"_s}, u"PORT"_s, u"Port des Redis-Speichers auf dem Varuno (Standard: 6379)."_s},
    {YesOption, {u"yes"_s}, {}, u"Beantwortet jede Rückfrage mit Ja."_s},
    {SerialOption,
     {u"serial"_s},
     u"SERIENNUMMER"_s,
     u"Seriennummer des Varuno (Standard: SERIAL aus project.ini)."_s},
    {BusOption,
     {u"bus-ip"_s},
     u"ADRESSE"_s,
     u"Adresse des Busservers (Standard: aus den Server-Einstellungen des Projekts)."_s},
    {BusOption, {u"bus-port"_s}, u"PORT"_s, u"Port des Busservers (Standard: Server-Einstellungen)."_s},
    {BusOption, {u"password"_s}, u"PASSWORT"_s, u"OpenWeb-Passwort (Standard: Server-Einstellungen)."_s},
    {BusOption,
     {u"hmac"_s},
     {},
     u"Der Busserver verlangt HMAC (Standard: aus den Server-Einstellungen). Das Verfahren wählt immer der "
     "Busserver; der Schalter ändert es nicht."_s},
    {BusOption,
     {u"timeout"_s},
     u"SEKUNDEN"_s,
     u"learn: Wartezeit auf einen Tastendruck (Standard: 30); monitor: Ende nach so vielen "
     "Sekunden (Standard: bis Strg-C)."_s},
};

const QString projectHelp =
    u"PROJEKT ist der Name eines Projekts in projects/ neben dem Programm oder ein Pfad mit \"/\" zu einem "
    "Projektordner (einem Ordner mit project.ini oder bticino.items); die Einstellungen kommen immer aus "
    "config/ neben dem Programm."_s;

QString optionSyntax(const TCliOption& option)
{
    QStringList names;
    for (const QString& name : option.names)
        names << (name.size() == 1 ? u"-"_s : u"--"_s) + name;
    return names.join(u", "_s) + (option.valueName.isEmpty() ? QString() : u' ' + option.valueName);
}

// The command word: the first argument that is neither an option nor an option's value.
QString commandWord(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == u"--")
            return arguments.value(i + 1);
        if (!argument.startsWith(u'-'))
            return argument;
        const bool bTakesValue =
            std::any_of(std::begin(cliOptions), std::end(cliOptions), [&](const TCliOption& o) {
                return !o.valueName.isEmpty() && o.names.contains(argument.mid(2));
            });
        if (bTakesValue && argument.startsWith(u"--"))
            ++i;
    }
    return {};
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

// One command: its word, its arguments, the options it takes besides the common ones, and what it
// runs.
struct TCliCommand
{
    QString name;
    QString syntax;
    qsizetype minArguments;
    qsizetype maxArguments;
    int options;
    QString summary; // one line for the general help
    QString details; // further sentences for the command's own help
    int (TCliCommands::*run)(TCliSession& session, const QStringList& args);
};

// Everything one command works with: the program's long-lived objects, the project list and the
// open project's function list.
struct TCliSession
{
    TCliSession(const QString& programDir, QIODevice& err, QIODevice* terminal,
                const QCommandLineParser& parser)
        : parser(parser), language(programDir + u"/config/"_s), bticino(language),
          openHab(language, bticino, programDir + u"/config/"_s),
          prompts(err, terminal, optionValue(parser, u"yes"_s).has_value()),
          workspace(programDir, openHab, language, prompts), lock(language)
    {
    }

    const QCommandLineParser& parser;
    TLanguage language;
    Tbticino bticino;
    TopenHab openHab;
    TTerminalPrompts prompts;
    TWorkspace workspace;
    TProjectLock lock;
    FunctionList items;
};

const QList<TCliCommand>& TCliCommands::Commands()
{
    static const QList<TCliCommand> commands = {
        {u"projects"_s,
         {},
         0,
         0,
         0,
         u"Listet die Projekte auf, eines je Zeile."_s,
         {},
         &TCliCommands::Projects},
        {u"regenerate"_s, u"PROJEKT"_s, 1, 1, 0, u"Schreibt die erzeugten Dateien des Projekts neu."_s,
         u"Wie Öffnen und Speichern im Programm: Das Projekt wird aus seinen Dateien geladen und seine "
         "Items-, Cloud-, Rules- und Sitemap-Datei werden daraus neu geschrieben."_s,
         &TCliCommands::Regenerate},
        {u"export-csv"_s, u"PROJEKT [DATEI]"_s, 1, 2, 0, u"Exportiert die Funktionen als CSV."_s,
         u"Dieselbe Datei wie \"Funktionen in CSV/Excel exportieren...\" im Hauptfenster; ohne DATEI auf die "
         "Standardausgabe."_s,
         &TCliCommands::ExportCsv},
        {u"send"_s, u"PROJEKT"_s, 1, 1, IpOption | PortOption | YesOption,
         u"Sendet die Konfiguration des Projekts an den Varuno."_s,
         u"Der Fortschritt erscheint auf der Standardfehlerausgabe. Rückfragen werden am Terminal gestellt; "
         u"ohne "
         "Terminal und ohne --yes gilt Nein. Die Adresse wird als IP in project.ini gespeichert."_s,
         &TCliCommands::Send},
        {u"receive"_s, u"PROJEKT"_s, 1, 1, IpOption | PortOption | YesOption,
         u"Empfängt die Konfiguration vom Varuno in das Projekt."_s,
         u"Der Fortschritt erscheint auf der Standardfehlerausgabe. Rückfragen werden am Terminal gestellt; "
         u"ohne "
         "Terminal und ohne --yes gilt Nein. Die Adresse wird als IP in project.ini gespeichert."_s,
         &TCliCommands::Receive},
        {u"lookup"_s, u"PROJEKT"_s, 1, 1, SerialOption,
         u"Sucht die IP-Adresse des Varuno und gibt sie aus."_s,
         u"Fragt den Suchdienst aus config/settings.ini (Cloudserver) nach der Adresse zur Seriennummer; "
         u"eine "
         "gefundene Adresse wird als IP in project.ini gespeichert."_s,
         &TCliCommands::Lookup},
        {u"backups"_s, u"PROJEKT"_s, 1, 1, 0,
         u"Listet die Sicherungen des Projekts auf, die neueste zuerst."_s,
         u"Je Zeile der Name der Sicherung, ein Tabulator, was sie enthält und die Zahl ihrer Dateien. "
         u"Empfangen und Wiederherstellen sichern vorher die Dateien des Projekts, Senden die Dateien auf "
         u"dem Varuno; von jeder Art bleiben die 20 neuesten."_s,
         &TCliCommands::Backups},
        {u"restore"_s, u"PROJEKT SICHERUNG"_s, 2, 2, 0,
         u"Stellt die Dateien einer Sicherung im Projekt wieder her."_s,
         u"Die Dateien des Projekts, die dabei ersetzt werden, werden vorher selbst gesichert; "
         u"misslingt etwas, bleibt das Projekt unverändert. Eine Sicherung des Varuno kommt auf den Varuno "
         u"zurück, indem man sie wiederherstellt und das Projekt dann sendet."_s,
         &TCliCommands::Restore},
        {u"check"_s, u"PROJEKT"_s, 1, 1, 0,
         u"Prüft das Projekt auf Fehler, die den Varuno erreichen würden."_s,
         u"Jeder Fehler steht in einer Zeile der Standardausgabe: doppelte Busadressen, mehrfach vergebene "
         "Aliase, fehlende Gruppen, individuelle Szenen ohne Mitglieder und alles, was Speichern und Laden "
         "verändern würden. Exit-Status 1, wenn es Fehler gibt."_s,
         &TCliCommands::Check},
        {u"bus"_s, u"test|learn|discover|monitor PROJEKT [ALIAS [WORT]]"_s, 2, 4, BusOption,
         u"Testet Funktionen am Bus, lernt Adressen und sucht Busgeräte."_s,
         u"test ALIAS [on|off|up|down|stop|PROZENT] schaltet die Funktion wie openHAB (ohne WORT "
         "wie \"Funktion testen\": Licht ein und nach 2 s aus, Dimmer auf 100 % und nach 2 s aus, "
         "Jalousie auf, CEN-Taste kurz, Szenario, Szene ein) und gibt jedes bestätigte Telegramm aus. "
         "learn gibt Art, Adresse, Bus und Taste des ersten Telegramms eines Geräts aus. discover gibt "
         "je gefundenem Gerät Art, Adresse, Bus und Alias (oder -) aus, danach jede Funktion des "
         "Projekts, deren Adresse nicht antwortet. monitor gibt jedes Telegramm des Busses aus, bis "
         "Strg-C. Exit-Status 1, wenn der Bus ablehnt oder nicht antwortet."_s,
         &TCliCommands::Bus},
    };
    return commands;
}

TCliCommands::TCliCommands(QString programDir, QIODevice& out, QIODevice& err, QIODevice* terminal)
    : m_programDir(std::move(programDir)), m_out(out), m_err(err), m_terminal(terminal)
{
}

int TCliCommands::Run(const QStringList& arguments)
{
    const QString word = commandWord(arguments);
    if (word.isEmpty()) {
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
                                      [&](const TCliCommand& c) { return c.name == word; });
    if (command == commands.cend())
        return UsageFailure(u"Unbekannter Befehl \"%1\"."_s.arg(word));
    return RunCommand(*command, arguments);
}

int TCliCommands::RunCommand(const TCliCommand& command, const QStringList& arguments)
{
    QCommandLineParser parser;
    for (const TCliOption& option : cliOptions) {
        if (option.flag == 0 || (command.options & option.flag))
            parser.addOption(QCommandLineOption(option.names, option.description, option.valueName));
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
        return UsageFailure(u"Falsche Anzahl von Argumenten."_s);
    if (const auto port = optionValue(parser, u"port"_s)) {
        bool bNumber = false;
        if (port->toUShort(&bNumber) == 0 || !bNumber)
            return UsageFailure(u"Ungültiger Port \"%1\"."_s.arg(*port));
    }

    TCliSession session(m_programDir, m_err, m_terminal, parser);
    const QStringList languages = session.language.GetLanguages();
    QString language = defaultLanguage(languages);
    if (const auto chosen = optionValue(parser, u"language"_s)) {
        language = *chosen;
        if (!languages.contains(language, Qt::CaseInsensitive))
            return UsageFailure(u"Unbekannte Sprache \"%1\"; config/language.ini kennt: %2."_s.arg(
                language, languages.join(u", "_s)));
    }
    session.language.LoadLanguage(language);
    return (this->*command.run)(session, args);
}

QString TCliCommands::GeneralHelp()
{
    QString text = u"Aufruf: %1 BEFEHL [Optionen] [Argumente]\n\nBefehle:\n"_s.arg(programName);
    for (const TCliCommand& command : Commands()) {
        const QString call = command.syntax.isEmpty() ? command.name : command.name + u' ' + command.syntax;
        text += u"  "_s + call.leftJustified(26) + u' ' + command.summary + u'\n';
    }
    text += u"\nAllgemeine Optionen:\n"_s;
    for (const TCliOption& option : cliOptions) {
        if (option.flag == 0)
            text += u"  "_s + optionSyntax(option).leftJustified(26) + u' ' + option.description + u'\n';
    }
    text += u"  "_s + u"--version"_s.leftJustified(26) + u" Zeigt die Version.\n\n"_s + projectHelp +
            u"\nHilfe zu einem Befehl: %1 BEFEHL --help\n"_s.arg(programName);
    return text;
}

QString TCliCommands::CommandHelp(const TCliCommand& command)
{
    const QString call = command.syntax.isEmpty() ? command.name : command.name + u' ' + command.syntax;
    QString text = u"Aufruf: %1 %2 [Optionen]\n\n%3\n"_s.arg(programName, call, command.summary);
    if (!command.details.isEmpty())
        text += command.details + u'\n';
    text += u"\nOptionen:\n"_s;
    for (const TCliOption& option : cliOptions) {
        if (option.flag == 0 || (command.options & option.flag))
            text += u"  "_s + optionSyntax(option).leftJustified(26) + u' ' + option.description + u'\n';
    }
    if (command.minArguments > 0)
        text += u'\n' + projectHelp + u'\n';
    return text;
}

int TCliCommands::UsageFailure(const QString& text)
{
    const QString call = m_command.isEmpty() ? programName : programName + u' ' + m_command;
    Write(m_err, u"%1: %2\nHilfe: %3 --help\n"_s.arg(programName, text, call));
    return UsageError;
}

void TCliCommands::Write(QIODevice& device, const QString& text)
{
    device.write(TerminalText(text));
}

bool TCliCommands::SelectProject(TCliSession& session, const QString& project)
{
    TopenHab& openHab = session.openHab;
    const QString folder = ProjectFolder(session.workspace, project);
    if (folder.isEmpty()) {
        UsageFailure(
            u"Unbekanntes Projekt \"%1\": weder ein Projekt in %2 noch ein Projektordner (ein Pfad mit "
            "\"/\" zu einem Ordner mit project.ini oder bticino.items)."_s.arg(
                project, QDir::toNativeSeparators(session.workspace.sProjDir())));
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
QString TCliCommands::ProjectFolder(const TWorkspace& workspace, const QString& project)
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
        return name == names.cend() ? QString() : workspace.sProjDir() + *name + u'/';
    }
    const QFileInfo info(project);
    const QString canonical = info.canonicalFilePath();
    if (!info.isDir() || canonical.isEmpty() ||
        canonical == QFileInfo(workspace.sCfgDir()).canonicalFilePath())
        return {};
    const QDir folder(canonical);
    if (!folder.exists(TProjectIni::FileName) && !folder.exists(TopenHab::sItemsFile))
        return {};
    return QDir::cleanPath(info.absoluteFilePath()) + u'/';
}

// Opening a project may already write into it (a new cloud identity, a lost mqtt.cfg), so every
// command that opens one holds its lock first; a window or another command working on it is named.
bool TCliCommands::LockProject(TCliSession& session)
{
    if (session.lock.lock(session.openHab.sProjPath))
        return true;
    session.prompts.error(session.lock.errorString());
    return false;
}

// As the main window opens a project, but settings.ini is left alone: the window's last project
// is the user's choice, not the command line's.
bool TCliCommands::OpenProject(TCliSession& session)
{
    if (!session.lock.isLocked() && !LockProject(session))
        return false;
    try {
        const TFileErrors errors = session.openHab.LoadFiles(session.items);
        for (const TFileError& error : errors)
            session.prompts.error(error.text());
        return errors.isEmpty();
    } catch (const EFileError& e) {
        session.prompts.error(e.text());
        return false;
    }
}

int TCliCommands::Projects(TCliSession& session, const QStringList&)
{
    for (const QString& name : session.workspace.projects())
        Write(m_out, name + u'\n');
    return Success;
}

int TCliCommands::Regenerate(TCliSession& session, const QStringList& args)
{
    if (!SelectProject(session, args.at(0)))
        return UsageError;
    if (!OpenProject(session))
        return Failure;
    const TFileErrors errors = session.openHab.SaveItems(session.items.entries());
    for (const TFileError& error : errors)
        session.prompts.error(error.text());
    return errors.isEmpty() ? Success : Failure;
}

int TCliCommands::ExportCsv(TCliSession& session, const QStringList& args)
{
    if (!SelectProject(session, args.at(0)))
        return UsageError;
    if (!OpenProject(session))
        return Failure;
    const QByteArray bytes =
        CsvExport::Build(session.items.entries(), Captions::ColumnTexts(session.language),
                         Captions::GroupHeaderTexts(session.language));
    if (args.size() < 2) {
        m_out.write(bytes);
        return Success;
    }
    if (const auto reason = CsvExport::Write(args.at(1), bytes)) {
        session.prompts.error(TFileError{QDir::toNativeSeparators(args.at(1)), *reason}.text());
        return Failure;
    }
    return Success;
}

int TCliCommands::Send(TCliSession& session, const QStringList& args)
{
    return Transfer(session, args, TransferMode::Send);
}

int TCliCommands::Receive(TCliSession& session, const QStringList& args)
{
    return Transfer(session, args, TransferMode::Receive);
}

int TCliCommands::Transfer(TCliSession& session, const QStringList& args, TransferMode mode)
{
    if (!SelectProject(session, args.at(0)))
        return UsageError;
    if (!OpenProject(session))
        return Failure;
    TProjectIni ini(session.openHab.sProjPath);
    const QString address = optionValue(session.parser, u"ip"_s).value_or(ini.IP());
    // As in the transfer dialog, the address is kept for the next time, also when the transfer is
    // refused or fails. A project.ini that cannot take it says the disk or folder is not fit for the
    // files a transfer writes either.
    if (!ini.setIP(address)) {
        session.prompts.error(ini.writeError().text());
        return Failure;
    }

    TTransferSettings settings = m_transferSettings;
    if (const auto port = optionValue(session.parser, u"port"_s))
        settings.storePort = port->toUShort();
    const TLanguage& language = session.language;
    TTerminalTransferView view(address, mode, session.prompts, m_err,
                               Captions::Text(language, Captions::RebootNote));
    TTransfer transfer(session.openHab, language, view, settings);
    bool bOk = false;
    {
        const TCtrlCGuard ctrlC;
        bOk = transfer.RunTransfer();
    }
    session.prompts.information(bOk ? language.GetMsg(30, u"Datenübertragung erfolgreich!"_s)
                                    : language.GetMsg(31, u"Fehler bei Datenübertragung!"_s));
    if (bOk && mode == TransferMode::Send)
        session.prompts.information(Captions::Text(language, Captions::RefreshNote));
    // The main window opens the project again after every receive, whatever its outcome: the
    // received files are loaded at once, and one the program cannot read is reported now.
    if (mode == TransferMode::Receive && !OpenProject(session))
        return Failure;
    return bOk ? Success : Failure;
}

int TCliCommands::Backups(TCliSession& session, const QStringList& args)
{
    if (!SelectProject(session, args.at(0)))
        return UsageError;
    for (const TBackup& backup : TBackups(session.openHab.sProjPath).List())
        Write(m_out, backup.name + u'\t' + TBackups::Describe(backup, session.language) + u'\n');
    return Success;
}

int TCliCommands::Restore(TCliSession& session, const QStringList& args)
{
    if (!SelectProject(session, args.at(0)))
        return UsageError;
    if (const auto failure = TBackups(session.openHab.sProjPath).Restore(args.at(1))) {
        session.prompts.error(TLanguage::Fill(
            session.language.GetMsg(
                99,
                u"Die Sicherung konnte nicht wiederhergestellt werden. Das Projekt wurde nicht verändert. $1"_s),
            *failure));
        return Failure;
    }
    // As the main window opens the project again: a restored file the program cannot read shows now.
    return OpenProject(session) ? Success : Failure;
}

int TCliCommands::Lookup(TCliSession& session, const QStringList& args)
{
    if (!SelectProject(session, args.at(0)))
        return UsageError;
    if (!LockProject(session))
        return Failure;
    const QString& cloudServer = session.workspace.sCloudServer();
    if (cloudServer.isEmpty()) {
        session.prompts.error(
            u"Keine Suche möglich: in config/settings.ini ist kein Cloudserver eingetragen."_s);
        return Failure;
    }
    const QString projPath = session.openHab.sProjPath;
    const TProjectIni ini(projPath);
    QString serial = optionValue(session.parser, u"serial"_s).value_or(ini.Serial());
    if (serial.isEmpty() && !session.prompts.hasTerminal())
        return UsageFailure(u"Das Projekt hat keine Seriennummer; bitte --serial angeben."_s);
    QString serialLine;
    QString address = ini.IP();
    TGatewayLookup lookup(session.language, session.prompts, cloudServer, projPath + TProjectIni::FileName);
    if (lookup.Search(serial, serialLine, address)) {
        Write(m_out, address + u'\n');
        return Success;
    }
    if (serial.isEmpty())
        session.prompts.error(u"Keine Seriennummer angegeben."_s);
    return Failure;
}

int TCliCommands::Check(TCliSession& session, const QStringList& args)
{
    if (!SelectProject(session, args.at(0)))
        return UsageError;
    if (!OpenProject(session))
        return Failure;
    TProjectCheck check(session.openHab, session.bticino, session.items.entries());
    QStringList problems;
    const bool bRan = check.Run(problems);
    for (const QString& problem : problems)
        Write(m_out, problem + u'\n');
    if (!bRan) {
        session.prompts.error(check.errorString());
        return Failure;
    }
    return problems.isEmpty() ? Success : Failure;
}

int TCliCommands::Bus(TCliSession& session, const QStringList& args)
{
    const auto verb = TCliBus::ParseVerb(args.at(0));
    if (!verb)
        return UsageFailure(
            u"Unbekannte Aktion \"%1\": test, learn, discover oder monitor."_s.arg(args.at(0)));
    TCliBus::TOptions options;
    options.limitSeconds = *verb == TCliBus::Learn ? 30 : 0;
    if (const auto timeout = optionValue(session.parser, u"timeout"_s)) {
        bool bNumber = false;
        options.limitSeconds = timeout->toInt(&bNumber);
        if (!bNumber || options.limitSeconds <= 0 || options.limitSeconds > 86400)
            return UsageFailure(u"Ungültige Wartezeit \"%1\"."_s.arg(*timeout));
    }
    if (!SelectProject(session, args.at(1)))
        return UsageError;
    if (!OpenProject(session))
        return Failure;
    const TopenHab& openHab = session.openHab;
    options.server.host = optionValue(session.parser, u"bus-ip"_s).value_or(openHab.serverIP);
    options.server.password = optionValue(session.parser, u"password"_s).value_or(openHab.serverPass);
    const QString port = optionValue(session.parser, u"bus-port"_s).value_or(openHab.serverPort);
    bool bPort = false;
    options.server.port = port.toUShort(&bPort);
    if (!bPort || options.server.port == 0)
        return UsageFailure(u"Ungültiger Port des Busservers \"%1\"; bitte --bus-port angeben."_s.arg(port));
    if (options.server.host.isEmpty())
        return UsageFailure(u"Keine Adresse des Busservers; bitte --bus-ip angeben."_s);
    TCliBus bus(openHab, session.bticino, session.language, session.items, m_out, m_err,
                [this](const QString& text) { return UsageFailure(text); });
    return bus.Run(*verb, args.mid(2), options);
}
