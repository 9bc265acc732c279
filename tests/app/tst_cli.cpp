// Runs the built varuno-cli, copied into a throw-away program folder that holds the demo project, the
// way a user runs it: arguments in, exit status, standard output and standard error out.

#include "bus/busaddress.h"
#include "link/transfertext.h"
#include "model/functionlist.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "workspace/projectlock.h"

#include "cliprocess.h"
#include "freeport.h"
#include "httpserver.h"
#include "programfolder.h"
#include "redisserver.h"
#include "smallfilesystem.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

namespace {

constexpr int Patience = 30000;

const QString Items = u"bticino.items"_s;
const QByteArray ItemsKey = "/var/lib/docker/volumes/openhab_conf/_data/items/bticino.items";

// The items file of a small project for the check: groups EG and EG2, then the item lines.
QByteArray itemsFile(const QByteArray& itemLines)
{
    return "//Gruppen\r\nGroup EG\r\nGroup EG2\r\n\r\n//Schaltelemente\r\n" + itemLines;
}

QByteArray switchLine(const QByteArray& alias, const QByteArray& label, const QByteArray& groups,
                      const QByteArray& where)
{
    const QByteArray groupPart = groups.isEmpty() ? QByteArray() : " (" + groups + ")";
    return "Switch " + alias + " \"" + label + "\" <light>" + groupPart +
           " {bticino=\"if=webserver;who=1;what=0;where=" + where + "\"}\r\n";
}

// A receive takes only a gateway that holds all seven files: this puts the project's own there,
// for a test to replace the ones it is about.
void storeProjectOnGateway(const RedisServer& redis, const QString& projectDir)
{
    const QString conf = u"/var/lib/docker/volumes/openhab_conf/_data/"_s;
    const QString userdata = u"/var/lib/docker/volumes/openhab_userdata/_data/"_s;
    const QList<QPair<QString, QString>> files = {
        {conf + u"services/"_s, u"bticino.cfg"_s},      {conf + u"items/"_s, u"bticino.items"_s},
        {conf + u"services/"_s, u"openhabcloud.cfg"_s}, {conf + u"rules/"_s, u"bticino.rules"_s},
        {conf + u"sitemaps/"_s, u"bticino.sitemap"_s},  {userdata, u"uuid"_s},
        {userdata + u"openhabcloud/"_s, u"secret"_s},
    };
    for (const auto& [folder, name] : files)
        redis.cli({u"HSET"_s, folder + name, u"text"_s}, readBytes(projectDir + name));
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void usage_data();
    void usage();
    void speaksTheChosenLanguage_data();
    void speaksTheChosenLanguage();
    void projects();
    void regenerateWritesWhatTheProgramWrites();
    void regenerateProjectFolderByPath();
    void regenerateReportsAnUnreadableProject();
    void regenerateKeepsPermissionBits();
    void exportCsv_data();
    void exportCsv();
    void exportCsvToFile();
    void exportCsvToAnUnwritableFile();
    void importCsvReplacesOrAppends();
    void importCsvDryRunWritesNothing();
    void importCsvRefusedRowsWriteNothing();
    void checkDemoFindsNothingAndChangesNothing();
    void check_data();
    void check();
    void checkWarnsWithoutFailing();
    void checkInEnglishWithControlsEscaped();
    void transfer_data();
    void transfer();
    void sendUsesTheAddressInProjectIni();
    void sendWithoutStore();
    void backupsAndRestore();
    void compare_data();
    void compare();
    void compareWithAnUnknownBackup();
    void dryRunWithoutStore();
    void ctrlCStopsATransfer();
    void lookup_data();
    void lookup();
    void lookupWithoutService();
    void strayWordIsNoProject_data();
    void strayWordIsNoProject();
    void projectHeldByTheWindow_data();
    void projectHeldByTheWindow();
    void twoCommandLineRuns();
    void fullDiskKeepsEveryFile_data();
    void fullDiskKeepsEveryFile();
    void exportCsvToADeviceThatRefuses();
    void exportCsvNeverIntoAProject_data();
    void exportCsvNeverIntoAProject();
    void exportOpenHab5WritesFourFiles();
    void exportOpenHab5NeverIntoAProject();
    void exportOpenHab5ReplacesOnlyWhenAsked();
    void exportOpenHab5FailedWriteKeepsTheOldFiles();
    void exportOpenHab5WaitsForTheFolder();
    void outputToAFullDevice_data();
    void regenerateKeepsWhatItCannotWrite();
    void outputToAFullDevice();

private:
    CliResult run(const QStringList& arguments) const;
    QStringList transferArguments(const QString& command, quint16 port) const;
    QString demo() const { return m_folder->projectsDir() + u"Demo/"_s; }
    bool setBusServer(const QByteArray& host) const;
    // Every key of the store with its value as DUMP gives it.
    QMap<QString, QByteArray> storeContent() const;

    std::unique_ptr<TestProgramFolder> m_folder;
    QString m_program;
    RedisServer m_redis;
    HttpServer m_http;
};

void TestCli::initTestCase()
{
    QVERIFY2(QFile::exists(QStringLiteral(VARUNO_PROGRAM_DIR "/varuno-cli")), "varuno-cli is not built");
    QVERIFY2(m_redis.start(), qPrintable(m_redis.errorString()));
    QVERIFY2(m_http.start(), qPrintable(m_http.errorString()));
}

// A fresh program folder for every test: the program beside config/ and projects/Demo.
void TestCli::init()
{
    m_folder = std::make_unique<TestProgramFolder>();
    QVERIFY(m_folder->isValid());
    m_program = m_folder->path() + u"varuno-cli"_s;
    QVERIFY(QFile::copy(QStringLiteral(VARUNO_PROGRAM_DIR "/varuno-cli"), m_program));
    QVERIFY(m_folder->addProject(QStringLiteral(VARUNO_DEMO_DIR "/Demo"), u"Demo"_s));
    QVERIFY(m_redis.flushAll());
}

CliResult TestCli::run(const QStringList& arguments) const
{
    // Run from the program folder, where a stray word like "config" names a folder.
    return RunCli(m_program, arguments, m_folder->path(), Patience);
}

// An IPv6 bus server is never pinged: the check answers "no bus server" at once, so every transfer
// asks whether to go on, and no test waits for the check's pause.
bool TestCli::setBusServer(const QByteArray& host) const
{
    QByteArray cfg = readBytes(demo() + u"bticino.cfg"_s);
    cfg.replace("webserver.host=127.0.0.1", QByteArray("webserver.host=" + host));
    return writeBytes(demo() + u"bticino.cfg"_s, cfg);
}

void TestCli::usage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");

    QTest::newRow("no command") << QStringList() << 2 << QByteArray()
                                << QByteArray("Aufruf: varuno-cli BEFEHL");
    QTest::newRow("general help") << QStringList{u"--help"_s} << 0 << QByteArray("check PROJEKT")
                                  << QByteArray();
    QTest::newRow("version") << QStringList{u"--version"_s} << 0 << QByteArray("varuno-cli ") << QByteArray();
    QTest::newRow("unknown command") << QStringList{u"bogus"_s} << 2 << QByteArray()
                                     << QByteArray("Unbekannter Befehl \"bogus\".\nHilfe: varuno-cli --help");
    QTest::newRow("missing project") << QStringList{u"check"_s} << 2 << QByteArray()
                                     << QByteArray(
                                            "Falsche Anzahl von Argumenten.\nHilfe: varuno-cli check --help");
    QTest::newRow("extra argument") << QStringList{u"regenerate"_s, u"Demo"_s, u"x"_s} << 2 << QByteArray()
                                    << QByteArray("Falsche Anzahl von Argumenten.");
    QTest::newRow("unknown option") << QStringList{u"send"_s, u"Demo"_s, u"--bogus"_s} << 2 << QByteArray()
                                    << QByteArray("Hilfe: varuno-cli send --help");
    QTest::newRow("option of another command")
        << QStringList{u"check"_s, u"Demo"_s, u"--yes"_s} << 2 << QByteArray()
        << QByteArray("Hilfe: varuno-cli check --help");
    QTest::newRow("option without value") << QStringList{u"send"_s, u"Demo"_s, u"--ip"_s} << 2 << QByteArray()
                                          << QByteArray("Hilfe: varuno-cli send --help");
    QTest::newRow("unknown project") << QStringList{u"check"_s, u"Nirgends"_s} << 2 << QByteArray()
                                     << QByteArray("Unbekanntes Projekt \"Nirgends\"");
    QTest::newRow("port out of range") << QStringList{u"send"_s, u"Demo"_s, u"--port"_s, u"65536"_s} << 2
                                       << QByteArray() << QByteArray("Ungültiger Port \"65536\".");
    QTest::newRow("unknown language")
        << QStringList{u"check"_s, u"Demo"_s, u"--language"_s, u"Latein"_s} << 2 << QByteArray()
        << QByteArray("Unbekannte Sprache \"Latein\"; config/language.ini kennt: "
                      "Deutsch, English.");
    // Options may come before the command word, values included.
    QTest::newRow("options first") << QStringList{u"--language"_s, u"English"_s, u"projects"_s} << 0
                                   << QByteArray("Demo\n") << QByteArray();
    const char* commands[][2] = {{"projects", ""},
                                 {"regenerate", " PROJEKT"},
                                 {"export-csv", " PROJEKT [DATEI]"},
                                 {"send", " PROJEKT"},
                                 {"receive", " PROJEKT"},
                                 {"lookup", " PROJEKT"},
                                 {"check", " PROJEKT"},
                                 {"export-openhab5", " PROJEKT ORDNER"}};
    for (const auto& [command, syntax] : commands) {
        QTest::addRow("%s --help", command)
            << QStringList{QString::fromLatin1(command), u"--help"_s} << 0
            << QByteArray("Aufruf: varuno-cli ") + command + syntax + " [Optionen]" << QByteArray();
    }
}

void TestCli::usage()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);

    const CliResult result = run(arguments);
    QCOMPARE(result.status, status);
    QVERIFY2(result.out.contains(out), result.out.constData());
    QVERIFY2(result.err.contains(err), result.err.constData());
    // A usage error never gets as far as the program's output.
    if (status == 2)
        QVERIFY(result.out.isEmpty());
}

// Help, usage errors and the command line's own errors in the language asked for; German without
// --language. The other language's sentence must not show, nor a German word in English.
void TestCli::speaksTheChosenLanguage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("text"); // on standard output with status 0, else on standard error
    QTest::addColumn<QByteArray>("otherText");
    QTest::addColumn<bool>("bEnglish");

    struct Case
    {
        const char* name;
        QStringList arguments;
        int status;
        QByteArray german;
        QByteArray english;
    };
    const Case cases[] = {
        {"general help",
         {u"--help"_s},
         0,
         "Aufruf: varuno-cli BEFEHL [Optionen] [Argumente]\n\nBefehle:\n",
         "Usage: varuno-cli COMMAND [options] [arguments]\n\nCommands:\n"},
        {"command help",
         {u"regenerate"_s, u"--help"_s},
         0,
         "Aufruf: varuno-cli regenerate PROJEKT [Optionen]\n\nSchreibt die erzeugten Dateien des Projekts "
         "neu.\n",
         "Usage: varuno-cli regenerate PROJECT [options]\n\nWrites the project's generated files anew.\n"},
        {"unknown command",
         {u"bogus"_s},
         2,
         "varuno-cli: Unbekannter Befehl \"bogus\".\nHilfe: varuno-cli --help\n",
         "varuno-cli: Unknown command \"bogus\".\nHelp: varuno-cli --help\n"},
        {"argument count",
         {u"regenerate"_s, u"Demo"_s, u"x"_s},
         2,
         "Falsche Anzahl von Argumenten.\nHilfe: varuno-cli regenerate --help\n",
         "Wrong number of arguments.\nHelp: varuno-cli regenerate --help\n"},
        {"unknown project",
         {u"check"_s, u"Nirgends"_s},
         2,
         "Unbekanntes Projekt \"Nirgends\": weder ein Projekt in ",
         "Unknown project \"Nirgends\": neither a project in "},
        {"bad port",
         {u"send"_s, u"Demo"_s, u"--port"_s, u"0"_s},
         2,
         "Ungültiger Port \"0\".",
         "Invalid port \"0\"."},
        {"no lookup service",
         {u"lookup"_s, u"Demo"_s},
         1,
         "Keine Suche möglich: in config/settings.ini ist kein Cloudserver eingetragen.\n",
         "No lookup possible: config/settings.ini names no Cloudserver.\n"},
        {"unknown alias",
         {u"bus"_s, u"test"_s, u"Demo"_s, u"NOPE"_s},
         2,
         "Das Projekt hat keine Funktion mit dem Alias \"NOPE\".",
         "The project has no function with the alias \"NOPE\"."},
        {"unknown option",
         {u"regenerate"_s, u"Demo"_s, u"--bogus"_s},
         2,
         "varuno-cli: Unbekannte Option 'bogus'.\nHilfe: varuno-cli regenerate --help\n",
         "varuno-cli: Unknown option 'bogus'.\nHelp: varuno-cli regenerate --help\n"},
        {"file error",
         {u"restore"_s, u"Demo"_s, u"nosuch"_s},
         1,
         "kann nicht geöffnet werden. Keine solche Sicherung.\n",
         "cannot be opened. No such backup.\n"},
    };
    // The option counts wherever it stands: before the command word or after the arguments.
    const QStringList english = {u"--language"_s, u"English"_s};
    bool bFirst = true;
    for (const Case& c : cases) {
        QTest::addRow("Deutsch: %s", c.name) << c.arguments << c.status << c.german << c.english << false;
        QTest::addRow("English: %s", c.name) << (bFirst ? english + c.arguments : c.arguments + english)
                                             << c.status << c.english << c.german << true;
        bFirst = !bFirst;
    }
}

void TestCli::speaksTheChosenLanguage()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, otherText);
    QFETCH(bool, bEnglish);

    const CliResult result = run(arguments);
    QCOMPARE(result.status, status);
    const QByteArray& shown = status == 0 ? result.out : result.err;
    QVERIFY2(shown.contains(text), shown.constData());
    QVERIFY2(!shown.contains(otherText), shown.constData());
    QCOMPARE((status == 0 ? result.err : result.out), QByteArray());
    if (!bEnglish)
        return;
    for (const char* german :
         {"Aufruf", "Befehl", "Optionen", "Hilfe", "Unbekannt", "PROJEKT", " der ", " die "})
        QVERIFY2(!shown.contains(german), shown.constData());
}

void TestCli::projects()
{
    QVERIFY(m_folder->addProject(QStringLiteral(VARUNO_DEMO_DIR "/Demo"), u"alpha"_s));
    QVERIFY(writeBytes(m_folder->projectsDir() + u"notes.txt"_s, "not a project"));

    const CliResult result = run({u"projects"_s});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.out, QByteArray("alpha\nDemo\n"));
    QCOMPARE(result.err, QByteArray());
}

void TestCli::regenerateWritesWhatTheProgramWrites()
{
    // The same project opened and saved by the program's own code, in a folder of its own.
    TestProgramFolder reference;
    QVERIFY(reference.addProject(QStringLiteral(VARUNO_DEMO_DIR "/Demo"), u"Demo"_s));
    Language language(reference.configDir());
    language.LoadLanguage(u"Deutsch"_s);
    OpenHabGenerator openHab(language, reference.configDir());
    openHab.sProjPath = reference.projectsDir() + u"Demo/"_s;
    openHab.sProj = u"Demo"_s;
    FunctionList rows;
    openHab.LoadFiles(rows);
    QVERIFY(openHab.SaveItems(rows.entries()).isEmpty());

    // Without its generated files, so that regenerate has to write them all.
    for (const QString& name : {u"bticino.rules"_s, u"bticino.sitemap"_s, u"openhabcloud.cfg"_s})
        QVERIFY(QFile::remove(demo() + name));
    const QByteArray settings = readBytes(m_folder->configDir() + u"settings.ini"_s);

    const CliResult result = run({u"regenerate"_s, u"Demo"_s});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.err, QByteArray());
    for (const QString& name : {Items, u"bticino.rules"_s, u"bticino.sitemap"_s, u"openhabcloud.cfg"_s}) {
        const QByteArray expected = readBytes(openHab.sProjPath + name);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(readBytes(demo() + name), expected);
    }
    // The window's last project is its own business.
    QCOMPARE(readBytes(m_folder->configDir() + u"settings.ini"_s), settings);
}

void TestCli::regenerateProjectFolderByPath()
{
    // A project outside projects/ still takes its templates from the program's config/.
    QTemporaryDir outside;
    const QString folder = outside.path() + u"/Werkstatt"_s;
    QVERIFY(QDir().mkpath(folder));
    for (const QString& name : {u"bticino.cfg"_s, u"uuid"_s, u"secret"_s, Items})
        QVERIFY(QFile::copy(demo() + name, folder + u'/' + name));

    QCOMPARE(run({u"regenerate"_s, folder}).status, 0);
    QCOMPARE(run({u"regenerate"_s, u"Demo"_s}).status, 0);
    QVERIFY(!readBytes(folder + u"/bticino.rules"_s).isEmpty());
    QCOMPARE(readBytes(folder + u"/bticino.rules"_s), readBytes(demo() + u"bticino.rules"_s));
    // The sitemap is labelled with the folder's name.
    QVERIFY(readBytes(folder + u"/bticino.sitemap"_s).startsWith("sitemap bticino label=\"Werkstatt\""));
    QCOMPARE(readBytes(folder + u"/mqtt.cfg"_s), readBytes(m_folder->configDir() + u"mqtt.cfg"_s));
}

void TestCli::regenerateReportsAnUnreadableProject()
{
    QVERIFY(QFile::remove(demo() + Items));
    const CliResult result = run({u"regenerate"_s, u"Demo"_s});
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.startsWith(QByteArray("Datei " + QDir::toNativeSeparators(demo() + Items).toUtf8() +
                                              " kann nicht geöffnet werden.")),
             result.err.constData());
    QVERIFY(!QFile::exists(demo() + Items));
}

// A project shared in a group, or kept private, stays so after its files were replaced.
void TestCli::regenerateKeepsPermissionBits()
{
    const auto groupShared = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                             QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::WriteGroup;
    const auto ownerOnly =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser;
    QVERIFY(QFile::setPermissions(demo() + Items, groupShared));
    QVERIFY(QFile::setPermissions(demo() + u"bticino.rules"_s, ownerOnly));
    QCOMPARE(run({u"regenerate"_s, u"Demo"_s}).status, 0);
    QCOMPARE(QFile::permissions(demo() + Items), groupShared);
    QCOMPARE(QFile::permissions(demo() + u"bticino.rules"_s), ownerOnly);
}

void TestCli::exportCsv_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QByteArray>("rows");

    // Group 4 shows the catalogue's header, not the window design's "Temperatur".
    QTest::newRow("German")
        << QStringList()
        << QByteArray("\xEF\xBB\xBF"
                      "Bezeichnung;Adresse;Alexa/Siri;Gruppenzugeh\xC3\xB6rigkeit;Art;Taste;Umgekehrt;\r\n")
        << QByteArray("K\xC3\xBC"
                      "che; 01.12;Ja;Erdgeschoss;Lichter/Schalter;;;\r\n"
                      "Terrasse; 02.15;;Erdgeschoss, Garten;Lichter/Schalter;;;\r\n");
    QTest::newRow("English") << QStringList{u"--language"_s, u"English"_s}
                             << QByteArray("\xEF\xBB\xBF"
                                           "Label;Address;Voice;Group membership;Art;Key;Reversed;\r\n")
                             << QByteArray("Kino; 0.5;Yes;;Scenarios;3;;\r\n"
                                           "Erdgeschoss; ;Yes;Erdgeschoss;Individual scenes;;No;\r\n");
}

void TestCli::exportCsv()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArray, header);
    QFETCH(QByteArray, rows);

    const CliResult result = run(QStringList{u"export-csv"_s, u"Demo"_s} + options);
    QCOMPARE(result.status, 0);
    QCOMPARE(result.err, QByteArray());
    QVERIFY2(result.out.startsWith(header), result.out.constData());
    QVERIFY2(result.out.contains(rows), result.out.constData());
    QCOMPARE(result.out.count("\r\n"), 15);
}

void TestCli::exportCsvToFile()
{
    const QString file = m_folder->path() + u"liste.csv"_s;
    const CliResult toFile = run({u"export-csv"_s, u"Demo"_s, file});
    QCOMPARE(toFile.status, 0);
    QCOMPARE(toFile.out, QByteArray());
    QCOMPARE(readBytes(file), run({u"export-csv"_s, u"Demo"_s}).out);
}

void TestCli::exportCsvToAnUnwritableFile()
{
    const QString file = m_folder->path() + u"fehlt/liste.csv"_s;
    const CliResult result = run({u"export-csv"_s, u"Demo"_s, file});
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.startsWith(QByteArray("Datei " + QDir::toNativeSeparators(file).toUtf8() +
                                              " kann nicht geschrieben werden.")),
             result.err.constData());
    QVERIFY(!QFile::exists(file));
}

// --replace gives back the list the export wrote; the default appends, under new aliases; the
// replaced files are backed up first.
void TestCli::importCsvReplacesOrAppends()
{
    const QString file = m_folder->path() + u"liste.csv"_s;
    QCOMPARE(run({u"export-csv"_s, u"Demo"_s, file}).status, 0);
    const QByteArray exported = readBytes(file);
    const QByteArray items = readBytes(demo() + Items);

    const CliResult replaced = run({u"import-csv"_s, u"Demo"_s, file, u"--replace"_s});
    QCOMPARE(replaced.status, 0);
    QCOMPARE(replaced.out, QByteArray("Gültige Funktionen: 14, abgelehnte Zeilen: 0.\n"));
    QCOMPARE(readBytes(demo() + Items), items);
    const QStringList backups = QDir(demo() + u"backups"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(backups.size(), 1);
    QVERIFY(backups.constFirst().endsWith(u"-before-save"_s));
    QCOMPARE(readBytes(demo() + u"backups/"_s + backups.constFirst() + u'/' + Items), items);

    QCOMPARE(run({u"import-csv"_s, u"Demo"_s, file}).status, 0);
    const QByteArray twice = run({u"export-csv"_s, u"Demo"_s}).out;
    QCOMPARE(twice.count("\r\n"), 1 + 2 * 14);
    QVERIFY(twice.startsWith(exported));
    QVERIFY(readBytes(demo() + Items)
                .contains("Switch SWITCH_15 \"K\xC3\xBC"
                          "che\""));

    QCOMPARE(run({u"import-csv"_s, u"Demo"_s, file, u"--replace"_s, u"--append"_s}).status, 2);
}

void TestCli::importCsvDryRunWritesNothing()
{
    const QString file = m_folder->path() + u"liste.csv"_s;
    QVERIFY(writeBytes(file, "Bezeichnung;Art;Adresse\r\nFlur;Dimmer;1.5\r\n"));
    const QMap<QString, QByteArray> before = snapshot(demo());
    const CliResult result = run({u"import-csv"_s, u"Demo"_s, file, u"--dry-run"_s, u"--replace"_s});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.out, QByteArray("Gültige Funktionen: 1, abgelehnte Zeilen: 0.\n"));
    QCOMPARE(snapshot(demo()), before);
}

// A refused row keeps the whole file out unless the valid rows are accepted.
void TestCli::importCsvRefusedRowsWriteNothing()
{
    const QString file = m_folder->path() + u"liste.csv"_s;
    QVERIFY(writeBytes(file, "Bezeichnung;Art;Adresse\r\nFlur;Dimmer;1.5\r\nBad;Dimmer;1.99\r\n"));
    // Opening the demo the first time completes it (a cloud identity, mqtt.cfg), as every command does.
    QCOMPARE(run({u"regenerate"_s, u"Demo"_s}).status, 0);
    const QMap<QString, QByteArray> before = snapshot(demo());
    const QByteArray report = "Zeile 3: Adresse muss zwischen 0.1 und 10.15 liegen!\n"
                              "G\xC3\xBCltige Funktionen: 1, abgelehnte Zeilen: 1.\n";

    const CliResult refused = run({u"import-csv"_s, u"Demo"_s, file});
    QCOMPARE(refused.status, 1);
    QCOMPARE(refused.out, report);
    QVERIFY2(refused.err.startsWith("Es wurde nichts importiert"), refused.err.constData());
    QCOMPARE(snapshot(demo()), before);

    const CliResult accepted = run({u"import-csv"_s, u"Demo"_s, file, u"--accept-valid"_s});
    QCOMPARE(accepted.status, 0);
    QCOMPARE(accepted.out, report);
    QVERIFY(readBytes(demo() + Items).contains("Dimmer DIMMER_15 \"Flur\""));
    QVERIFY(!readBytes(demo() + Items).contains("Bad"));
}

void TestCli::checkDemoFindsNothingAndChangesNothing()
{
    // The first opening of the demo makes its cloud identity, as the program's does.
    QCOMPARE(run({u"regenerate"_s, u"Demo"_s}).status, 0);
    const QMap<QString, QByteArray> before = snapshot(m_folder->path());
    const CliResult result = run({u"check"_s, u"Demo"_s});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.out, QByteArray());
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(snapshot(m_folder->path()), before);
}

void TestCli::check_data()
{
    QTest::addColumn<QByteArray>("itemLines");
    QTest::addColumn<QByteArrayList>("problems");

    // Nothing wrong here: the same address in another kind, on another bus or under another CEN key;
    // labels with brackets, blanks at the ends, a backslash; a member of EG that is not in "EG2".
    const QByteArray clean =
        switchLine("SWITCH_1",
                   "  K\xC3\xBC"
                   "che (EG) [1] ",
                   "EG", "0112") +
        "Dimmer DIMMER_2 \"C:\\\\Pfad\" <heating> (EG) "
        "{bticino=\"if=webserver;who=1;what=0;where=0112\"}\r\n" +
        switchLine("SWITCH_3", "Flur", "EG", "0112#4#01") +
        "Switch CEN_4 \"Szene 1\" <mediacontrol> "
        "{mqtt=\">[cmdbroker:bticino/cmd/set:command:ON:*15*01*0115##],"
        ">[cmdbroker:bticino/cmd/set:command:OFF:*15*01*0115##]\",autoupdate=\"false\"}\r\n"
        "Switch CEN_5 \"Szene 2\" <mediacontrol> "
        "{mqtt=\">[cmdbroker:bticino/cmd/set:command:ON:*15*02*0115##],"
        ">[cmdbroker:bticino/cmd/set:command:OFF:*15*02*0115##]\",autoupdate=\"false\"}\r\n"
        "Switch GROUP_6 \"Alles EG\" <groundfloor> (EG)\r\n";
    QTest::newRow("clean") << clean << QByteArrayList();
    QTest::newRow("duplicate address")
        << clean + switchLine("SWITCH_7", "Bad", "EG", "0112")
        << QByteArrayList{"Doppelte Busadresse 01.12 (Lichter/Schalter): SWITCH_1 \"  K\xC3\xBC"
                          "che (EG) [1] \", "
                          "SWITCH_7 \"Bad\""};
    QTest::newRow("duplicate alias") << clean + switchLine("SWITCH_3", "Bad", "EG", "0113")
                                     << QByteArrayList{"Alias SWITCH_3 mehrfach vergeben: \"Flur\", \"Bad\""};
    QTest::newRow("group missing from the group list")
        << clean + switchLine("SWITCH_7", "Bad", "EG, Keller", "0113") +
               switchLine("SWITCH_8", "Gang", "Keller", "0114")
        << QByteArrayList{"Gruppe \"Keller\" fehlt in der Gruppenliste, verwendet von: SWITCH_7 \"Bad\", "
                          "SWITCH_8 \"Gang\""};
    QTest::newRow("scene without members")
        << clean + "Switch GROUPX_7 \"Nacht\" <groundfloor> (EG2)\r\n"
        << QByteArrayList{"Individuelle Szene GROUPX_7 \"Nacht\" schaltet nichts: keine Funktion in Gruppe "
                          "\"EG2\""};
    QTest::newRow("stop scene without blinds")
        << clean + "Switch GROUP_7 \"Stopp\" <groundfloor> (_STOP_)\r\n"
        << QByteArrayList{"Individuelle Szene GROUP_7 \"Stopp\" schaltet nichts: keine Funktion in "
                          "Raffstore/Jalousien/Automation"};
    const QByteArray quoted = switchLine("SWITCH_7", "Sag \"Hallo\"", "EG", "0113");
    QTest::newRow("double quote in a label")
        << clean + quoted
        << QByteArrayList{"bticino.items:12 \xC3\xA4ndert sich beim n\xC3\xA4"
                          "chsten Speichern oder f\xC3\xA4llt "
                          "weg: " +
                          quoted.chopped(2)};
    // The format is dropped on loading, also where dropping it once leaves it whole again.
    const QByteArray format = switchLine("SWITCH_7", "Wert %.1 %.1f Cf C", "EG", "0113");
    QTest::newRow("temperature format in a label")
        << clean + format
        << QByteArrayList{"bticino.items:12 \xC3\xA4ndert sich beim n\xC3\xA4"
                          "chsten Speichern oder f\xC3\xA4llt "
                          "weg: " +
                          format.chopped(2)};
    const QByteArray noAddress = switchLine("SWITCH_7", "Bad", "EG", "");
    QTest::newRow("line the loader drops")
        << clean + noAddress
        << QByteArrayList{"bticino.items:12 \xC3\xA4ndert sich beim n\xC3\xA4"
                          "chsten Speichern oder f\xC3\xA4llt "
                          "weg: " +
                          noAddress.chopped(2)};
}

void TestCli::check()
{
    QFETCH(QByteArray, itemLines);
    QFETCH(QByteArrayList, problems);

    QVERIFY(writeBytes(demo() + Items, itemsFile(itemLines)));
    const CliResult result = run({u"check"_s, u"Demo"_s});
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.out, problems.isEmpty() ? QByteArray() : problems.join('\n') + '\n');
    QCOMPARE(result.status, problems.isEmpty() ? 0 : 1);
}

// A trap of the bus is a warning beside the faults: standard output and the status stay as they are.
void TestCli::checkWarnsWithoutFailing()
{
    QVERIFY(writeBytes(demo() + Items, itemsFile(switchLine("SWITCH_1", "Flur", "EG", "0112") +
                                                 switchLine("SWITCH_2", "Keller", "EG", "5"))));
    const CliResult result = run({u"check"_s, u"Demo"_s});
    QCOMPARE(result.out, QByteArray());
    QCOMPARE(result.err,
             "SWITCH_2 \"Keller\" schaltet Bereich 5, doch keine Funktion des Projekts gehört dazu.\n"
             "SWITCH_2 \"Keller\" wird nicht für openHAB 5 exportiert: Zu der Adresse \"5\" gehört keine "
             "Licht-Funktion an einem Lichtpunkt, und das OpenWebNet-Binding braucht eine.\n");
    QCOMPARE(result.status, 0);
}

// A label from a received items file must not reach the terminal as an escape sequence.
void TestCli::checkInEnglishWithControlsEscaped()
{
    const QByteArray lines = switchLine("SWITCH_1", "Flur", "EG", "0112") +
                             switchLine("SWITCH_1", "Bad\x1b[2J\a\xC2\x9B\xE2\x80\xAE", "EG", "0113");
    QVERIFY(writeBytes(demo() + Items, itemsFile(lines)));
    const CliResult result = run({u"check"_s, u"Demo"_s, u"--language"_s, u"English"_s});
    QCOMPARE(result.out, QByteArray("Alias SWITCH_1 used more than once: \"Flur\", "
                                    "\"Bad\\x1b[2J\\x07\\u009b\\u202e\"\n"));
    QCOMPARE(result.status, 1);
}

QMap<QString, QByteArray> TestCli::storeContent() const
{
    QMap<QString, QByteArray> content;
    for (const QByteArray& key : m_redis.cli({u"KEYS"_s, u"*"_s}).split('\n')) {
        if (!key.isEmpty())
            content.insert(QString::fromUtf8(key), m_redis.cli({u"DUMP"_s, QString::fromUtf8(key)}));
    }
    return content;
}

void TestCli::transfer_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArrayList>("err");

    const QByteArray question =
        "Es konnte kein BTicino-Server unter der IP ::1 gefunden werden! Wollen Sie die "
        "Konfiguration trotzdem senden? [y/n] ";
    QTest::newRow("send, yes") << u"send"_s << true << 0
                               << QByteArrayList{
                                      "13 neu, 1 geändert, 0 entfernt\nGeänderte Dateien: bticino.cfg, "
                                      "bticino.items, bticino.rules, bticino.sitemap, homekit.cfg, mqtt.cfg, "
                                      "openhabcloud.cfg, secret, uuid\n\nKonfiguration senden? [y/n] y\n",
                                      question + "y\n",
                                      "[0/8] Verbinde mit Varuno…\n",
                                      "[8/8] Daten erfolgreich gesendet!\n",
                                      "Datenübertragung erfolgreich!\n",
                                      "openHAB wird aktualisiert."};
    // Without a terminal the first question, the send's own, is answered No.
    QTest::newRow("send, no") << u"send"_s << false << 1
                              << QByteArrayList{"\n\nKonfiguration senden? [y/n] n\nFehler bei "
                                                "Datenübertragung!\n"};
    QTest::newRow("receive, yes") << u"receive"_s << true << 0
                                  << QByteArrayList{question + "y\n", "[8/8] Daten erfolgreich empfangen!\n",
                                                    "Datenübertragung erfolgreich!\n"};
    QTest::newRow("receive, no") << u"receive"_s << false << 1
                                 << QByteArrayList{question + "n\n", "Fehler bei Datenübertragung!\n"};
}

void TestCli::transfer()
{
    QFETCH(QString, command);
    QFETCH(bool, yes);
    QFETCH(int, status);
    QFETCH(QByteArrayList, err);

    QVERIFY(setBusServer("::1"));
    QCOMPARE(run({u"regenerate"_s, u"Demo"_s}).status, 0);
    QVERIFY(writeBytes(demo() + u"project.ini"_s, "[CFG]\r\nSERIAL=VAR-DEMO-0001\r\nIP=10.0.0.9\r\n"));
    m_redis.cli({u"SET"_s, u"rpi-firmware"_s, u"2.0"_s});
    m_redis.cli({u"SET"_s, u"rpi-timestamp"_s, QString::number(QDateTime::currentSecsSinceEpoch())});
    const QByteArray gatewayItems = "Group Garage\r\nSwitch SWITCH_1 \"Tor\" <light> "
                                    "{bticino=\"if=webserver;who=1;what=0;where=0412\"}";
    storeProjectOnGateway(m_redis, demo());
    m_redis.cli({u"HSET"_s, QString::fromLatin1(ItemsKey), u"text"_s}, gatewayItems);
    const QByteArray localItems = readBytes(demo() + Items);

    QStringList arguments{command,        u"Demo"_s,   u"--ip"_s,
                          u"127.0.0.1"_s, u"--port"_s, QString::number(m_redis.port())};
    if (yes)
        arguments << u"--yes"_s;
    const CliResult result = run(arguments);
    QCOMPARE(result.status, status);
    for (const QByteArray& text : err)
        QVERIFY2(result.err.contains(text), result.err.constData());
    // The address typed is kept, also when the transfer is refused.
    QVERIFY(readBytes(demo() + u"project.ini"_s).contains("IP=127.0.0.1\r\n"));

    const bool sent = command == u"send" && yes;
    const bool received = command == u"receive" && yes;
    QCOMPARE(m_redis.cli({u"HGET"_s, QString::fromLatin1(ItemsKey), u"text"_s}),
             sent ? ReadTransferText(demo() + Items) : gatewayItems);
    QCOMPARE(readBytes(demo() + Items), received ? gatewayItems + "\r\n" : localItems);
}

void TestCli::sendUsesTheAddressInProjectIni()
{
    QVERIFY(setBusServer("::1"));
    QCOMPARE(run({u"regenerate"_s, u"Demo"_s}).status, 0);
    m_redis.cli({u"SET"_s, u"rpi-firmware"_s, u"2.0"_s});
    m_redis.cli({u"SET"_s, u"rpi-timestamp"_s, QString::number(QDateTime::currentSecsSinceEpoch())});
    // The demo's project.ini names 127.0.0.1.
    const CliResult result =
        run({u"send"_s, u"Demo"_s, u"--port"_s, QString::number(m_redis.port()), u"--yes"_s});
    QCOMPARE(result.status, 0);
    QCOMPARE(m_redis.cli({u"HGET"_s, QString::fromLatin1(ItemsKey), u"text"_s}),
             ReadTransferText(demo() + Items));
}

void TestCli::sendWithoutStore()
{
    QVERIFY(setBusServer("::1"));
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const QString port = QString::number(closed.serverPort());
    closed.close();
    const CliResult result = run({u"send"_s, u"Demo"_s, u"--port"_s, port, u"--yes"_s});
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.contains("Es konnte keine Verbindung zum Varuno aufgebaut werden!\n"),
             result.err.constData());
}

// A receive and a send each leave a backup; "backups" lists them newest first, "restore" brings one
// back, and an unknown name changes nothing.
void TestCli::backupsAndRestore()
{
    QVERIFY(setBusServer("::1"));
    QCOMPARE(run({u"regenerate"_s, u"Demo"_s}).status, 0);
    m_redis.cli({u"SET"_s, u"rpi-firmware"_s, u"2.0"_s});
    m_redis.cli({u"SET"_s, u"rpi-timestamp"_s, QString::number(QDateTime::currentSecsSinceEpoch())});
    storeProjectOnGateway(m_redis, demo());
    m_redis.cli({u"HSET"_s, QString::fromLatin1(ItemsKey), u"text"_s}, "Group Garage");
    const QByteArray localItems = readBytes(demo() + Items);
    const QStringList port = {u"--ip"_s, u"127.0.0.1"_s, u"--port"_s, QString::number(m_redis.port()),
                              u"--yes"_s};
    QCOMPARE(run(QStringList{u"receive"_s, u"Demo"_s} + port).status, 0);
    QCOMPARE(run(QStringList{u"send"_s, u"Demo"_s} + port).status, 0);

    const CliResult list = run({u"backups"_s, u"Demo"_s});
    QCOMPARE(list.status, 0);
    const QStringList lines = QString::fromUtf8(list.out).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    const QRegularExpression send(
        u"^\\d{6}-\\d{8}-\\d{6}-gateway-before-send\tVaruno vor dem Senden \\(Dateien: 7\\)$"_s);
    const QRegularExpression receive(
        u"^\\d{6}-\\d{8}-\\d{6}-before-receive\tProjekt vor dem Empfangen \\(Dateien: 7\\)$"_s);
    QVERIFY2(send.match(lines.at(0)).hasMatch(), qPrintable(lines.at(0)));
    QVERIFY2(receive.match(lines.at(1)).hasMatch(), qPrintable(lines.at(1)));
    QCOMPARE(readBytes(demo() + Items), QByteArray("Group Garage\r\n"));

    const QMap<QString, QByteArray> before = snapshot(demo());
    const CliResult unknown = run({u"restore"_s, u"Demo"_s, u"20000101-000000-before-receive"_s});
    QCOMPARE(unknown.status, 1);
    QVERIFY2(unknown.err.contains("Die Sicherung konnte nicht wiederhergestellt werden."),
             unknown.err.constData());
    QCOMPARE(snapshot(demo()), before);

    const QString name = lines.at(1).section(u'\t', 0, 0);
    QCOMPARE(run({u"restore"_s, u"Demo"_s, name}).status, 0);
    QCOMPARE(readBytes(demo() + Items), localItems);
}

void TestCli::compare_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("unified");
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<QByteArrayList>("hunks");

    // The send would bring back what the gateway lacks; the backup is the gateway before the send.
    const QByteArray sendReport = "1 neu, 1 geändert, 1 entfernt\nGeänderte Dateien: bticino.items\n"
                                  "~ SWITCH_1\tKüche\n+ SWITCH_2\tTerrasse\n- SWITCH_99\tKeller\n";
    // The gateway's bticino.cfg lacks the restart line that only the project keeps.
    const QByteArray backupReport = "1 neu, 1 geändert, 1 entfernt\nGeänderte Dateien: bticino.cfg, "
                                    "bticino.items\n"
                                    "~ SWITCH_1\tKüche alt\n+ SWITCH_99\tKeller\n- SWITCH_2\tTerrasse\n";
    const QByteArrayList sendHunks = {"--- varuno/bticino.items\n+++ Demo/bticino.items\n@@ -",
                                      "\n-Switch SWITCH_1 \"Küche alt\"", "\n+Switch SWITCH_1 \"Küche\"",
                                      "\n+Switch SWITCH_2 \"Terrasse\"", "\n-Switch SWITCH_99 \"Keller\""};
    const QByteArrayList backupHunks = {"--- Demo/bticino.items\n+++ backups/",
                                        "\n+Switch SWITCH_1 \"Küche alt\"", "\n-Switch SWITCH_1 \"Küche\"",
                                        "\n-Switch SWITCH_2 \"Terrasse\"", "\n+Switch SWITCH_99 \"Keller\""};
    QTest::newRow("send --dry-run") << u"send"_s << false << sendReport << QByteArrayList();
    QTest::newRow("send --dry-run --unified") << u"send"_s << true << sendReport << sendHunks;
    QTest::newRow("backups --diff") << u"backups"_s << false << backupReport << QByteArrayList();
    QTest::newRow("backups --diff --unified") << u"backups"_s << true << backupReport << backupHunks;
}

// The project was sent to a gateway whose items then changed again: one function more, one less,
// one with another label. Looking at either difference writes nothing to the store or the project.
void TestCli::compare()
{
    QFETCH(QString, command);
    QFETCH(bool, unified);
    QFETCH(QByteArray, report);
    QFETCH(QByteArrayList, hunks);

    QVERIFY(setBusServer("::1"));
    QCOMPARE(run({u"regenerate"_s, u"Demo"_s}).status, 0);
    m_redis.cli({u"SET"_s, u"rpi-firmware"_s, u"2.0"_s});
    m_redis.cli({u"SET"_s, u"rpi-timestamp"_s, QString::number(QDateTime::currentSecsSinceEpoch())});
    QCOMPARE(run(transferArguments(u"send"_s, m_redis.port())).status, 0);
    const QString itemsField = QString::fromLatin1(ItemsKey);
    QByteArray items = m_redis.cli({u"HGET"_s, itemsField, u"text"_s});
    const qsizetype second = items.indexOf("Switch SWITCH_2 ");
    QVERIFY(second > 0 && items.contains("\"Küche\""));
    items.remove(second, items.indexOf("\r\n", second) + 2 - second);
    items.replace("\"Küche\"", "\"Küche alt\"");
    items += "\r\nSwitch SWITCH_99 \"Keller\" <light> {bticino=\"if=webserver;who=1;what=0;where=0999\"}";
    m_redis.cli({u"HSET"_s, itemsField, u"text"_s}, items);
    // The second send keeps that gateway in its backup, and the gateway then differs again.
    QCOMPARE(run(transferArguments(u"send"_s, m_redis.port())).status, 0);
    m_redis.cli({u"HSET"_s, itemsField, u"text"_s}, items);
    const QString backup = QString::fromUtf8(run({u"backups"_s, u"Demo"_s}).out).section(u'\t', 0, 0);
    QVERIFY2(backup.endsWith(u"-gateway-before-send"_s), qPrintable(backup));
    const QMap<QString, QByteArray> project = snapshot(m_folder->path());
    const QMap<QString, QByteArray> store = storeContent();

    QStringList arguments{command, u"Demo"_s};
    if (command == u"send")
        arguments << u"--dry-run"_s << u"--port"_s << QString::number(m_redis.port());
    else
        arguments << u"--diff"_s << backup;
    if (unified)
        arguments << u"--unified"_s;
    const CliResult result = run(arguments);

    QCOMPARE(result.status, 0);
    QVERIFY2(result.out.startsWith(report), result.out.constData());
    if (unified) {
        for (const QByteArray& hunk : hunks)
            QVERIFY2(result.out.contains(hunk), result.out.constData());
    } else {
        QCOMPARE(result.out, report);
    }
    QCOMPARE(result.err,
             command == u"send" ? QByteArray("Probelauf: Es wurde nichts gesendet.\n") : QByteArray());
    QCOMPARE(snapshot(m_folder->path()), project);
    QCOMPARE(storeContent(), store);
}

void TestCli::compareWithAnUnknownBackup()
{
    const QMap<QString, QByteArray> before = snapshot(m_folder->path());
    const CliResult result =
        run({u"backups"_s, u"Demo"_s, u"--diff"_s, u"000009-20000101-000000-before-receive"_s});
    QCOMPARE(result.status, 1);
    QCOMPARE(result.out, QByteArray());
    QVERIFY2(result.err.contains("000009-20000101-000000-before-receive"), result.err.constData());
    QVERIFY2(result.err.contains("Sicherung"), result.err.constData());
    QCOMPARE(snapshot(m_folder->path()), before);
}

// A dry run that cannot read the gateway says why and fails; a real send asks all the same, and
// Yes goes on to the send, which then finds no gateway either.
void TestCli::dryRunWithoutStore()
{
    QVERIFY(setBusServer("::1"));
    QCOMPARE(run({u"regenerate"_s, u"Demo"_s}).status, 0);
    const QString port = QString::number(FreeLoopbackPort());
    const CliResult dryRun = run({u"send"_s, u"Demo"_s, u"--dry-run"_s, u"--port"_s, port});
    QCOMPARE(dryRun.status, 1);
    QCOMPARE(dryRun.out, QByteArray());
    QVERIFY2(dryRun.err.startsWith("Die Konfiguration auf dem Varuno konnte nicht gelesen werden: "),
             dryRun.err.constData());

    const CliResult send = run(transferArguments(u"send"_s, FreeLoopbackPort()));
    QCOMPARE(send.status, 1);
    QVERIFY2(send.err.startsWith("Die Konfiguration auf dem Varuno konnte nicht gelesen werden: "),
             send.err.constData());
    QVERIFY2(send.err.contains("\n\nKonfiguration senden? [y/n] y\n"), send.err.constData());
    QVERIFY2(send.err.contains("Es konnte keine Verbindung zum Varuno aufgebaut werden!\n"),
             send.err.constData());
}

// Ctrl-C ends a transfer that waits for a silent gateway at once, long before the reply's
// deadline, and a receive leaves the project as it was.
void TestCli::ctrlCStopsATransfer()
{
    QVERIFY(setBusServer("::1"));
    QCOMPARE(run({u"regenerate"_s, u"Demo"_s}).status, 0);
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    const QMap<QString, QByteArray> before = snapshot(demo());
    QProcess process;
    process.start(m_program, {u"receive"_s, u"Demo"_s, u"--ip"_s, u"127.0.0.1"_s, u"--port"_s,
                              QString::number(silent.serverPort()), u"--yes"_s});
    process.closeWriteChannel();
    process.setReadChannel(QProcess::StandardError);
    QByteArray err;
    while (!err.contains("Verbinde mit Varuno") && process.waitForReadyRead(Patience))
        err += process.readAllStandardError();
    QVERIFY2(silent.waitForNewConnection(Patience), err.constData());
    QTest::qWait(200);
    QElapsedTimer elapsed;
    elapsed.start();
    ::kill(pid_t(process.processId()), SIGINT);

    QVERIFY(process.waitForFinished(10'000));
    QVERIFY2(elapsed.elapsed() < 10'000, qPrintable(QString::number(elapsed.elapsed())));
    err += process.readAllStandardError();
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    QVERIFY2(err.contains("Die Übertragung wurde abgebrochen.\n"), err.constData());
    // Only the address is kept, as after every transfer.
    QMap<QString, QByteArray> after = snapshot(demo());
    after[u"project.ini"_s] = before.value(u"project.ini"_s);
    QCOMPARE(after.keys(), before.keys());
    for (auto file = before.cbegin(); file != before.cend(); ++file)
        QVERIFY2(after.value(file.key()) == file.value(), qPrintable(file.key()));
}

void TestCli::lookup_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    QTest::addColumn<QString>("serialSent");
    QTest::addColumn<QByteArray>("ini");

    QTest::newRow("found") << QByteArray("192.168.1.5") << QStringList() << 0 << QByteArray("192.168.1.5\n")
                           << QByteArray("IP-Adresse gefunden: 192.168.1.5\n") << u"VAR-DEMO-0001"_s
                           << QByteArray("[CFG]\r\nSERIAL=VAR-DEMO-0001\r\nSITEMAP=1\r\nIP=192.168.1.5\r\n");
    QTest::newRow("serial given") << QByteArray("192.168.1.6") << QStringList{u"--serial"_s, u"VAR-7"_s} << 0
                                  << QByteArray("192.168.1.6\n") << QByteArray() << u"VAR-7"_s
                                  << QByteArray("[CFG]\r\nSERIAL=VAR-7\r\nSITEMAP=1\r\nIP=192.168.1.6\r\n");
    QTest::newRow("unknown") << QByteArray("unknown") << QStringList() << 1 << QByteArray()
                             << QByteArray(
                                    "Es konnte keine IP-Adresse für Seriennummer \"VAR-DEMO-0001\" gefunden "
                                    "werden!\n")
                             << u"VAR-DEMO-0001"_s
                             << QByteArray("[CFG]\r\nSERIAL=VAR-DEMO-0001\r\nSITEMAP=1\r\nIP=127.0.0.1\r\n");
}

void TestCli::lookup()
{
    QFETCH(QByteArray, answer);
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QFETCH(QString, serialSent);
    QFETCH(QByteArray, ini);

    QVERIFY(writeBytes(m_folder->configDir() + u"settings.ini"_s,
                       "[CFG]\r\nCloudserver=" + m_http.replyUrl(200, answer).toUtf8() + "\r\n"));
    const qsizetype requests = m_http.requests().size();
    const CliResult result = run(QStringList{u"lookup"_s, u"Demo"_s} + options);
    QCOMPARE(result.status, status);
    QCOMPARE(result.out, out);
    QVERIFY2(result.err.contains(err), result.err.constData());
    QCOMPARE(m_http.requests().size(), requests + 1);
    QCOMPARE(m_http.requests().constLast().params.value(u"serial"_s), QStringList{serialSent});
    QCOMPARE(readBytes(demo() + u"project.ini"_s), ini);
}

void TestCli::lookupWithoutService()
{
    const CliResult noService = run({u"lookup"_s, u"Demo"_s});
    QCOMPARE(noService.status, 1);
    QCOMPARE(noService.err,
             QByteArray("Keine Suche möglich: in config/settings.ini ist kein Cloudserver eingetragen.\n"));

    // Without a serial and without a terminal to ask for one there is nothing to look up.
    QVERIFY(writeBytes(m_folder->configDir() + u"settings.ini"_s,
                       "[CFG]\r\nCloudserver=" + m_http.replyUrl(200, "192.168.1.5").toUtf8() + "\r\n"));
    QVERIFY(writeBytes(demo() + u"project.ini"_s, "[CFG]\r\nSITEMAP=1\r\n"));
    const CliResult noSerial = run({u"lookup"_s, u"Demo"_s});
    QCOMPARE(noSerial.status, 2);
    QVERIFY2(noSerial.err.contains("Das Projekt hat keine Seriennummer; bitte --serial angeben."),
             noSerial.err.constData());
}

QStringList TestCli::transferArguments(const QString& command, quint16 port) const
{
    return {command, u"Demo"_s, u"--ip"_s, u"127.0.0.1"_s, u"--port"_s, QString::number(port), u"--yes"_s};
}

void TestCli::strayWordIsNoProject_data()
{
    QTest::addColumn<QStringList>("arguments");

    // Each would otherwise have been taken as a folder: the templates, the program folder, a hidden
    // or empty folder. Every new project copies the templates' uuid and secret.
    const QStringList words = {u"config"_s,
                               u"./config"_s,
                               u"config/"_s,
                               u"projects/../config"_s,
                               u"link-to-config/"_s,
                               u".."_s,
                               u"."_s,
                               u".hidden"_s,
                               u"leer/"_s,
                               u"projects/"_s,
                               u"projects/Demo/backups/1-x/"_s};
    for (const QString& word : words) {
        QTest::addRow("regenerate %s", qPrintable(word)) << QStringList{u"regenerate"_s, word};
        QTest::addRow("lookup %s", qPrintable(word))
            << QStringList{u"lookup"_s, word, u"--serial"_s, u"V1"_s};
    }
    QTest::newRow("config by its full path") << QStringList{u"regenerate"_s, u"<config>"_s};
}

void TestCli::strayWordIsNoProject()
{
    QFETCH(QStringList, arguments);
    if (arguments.at(1) == u"<config>")
        arguments[1] = m_folder->configDir();
    QVERIFY(QFile::link(m_folder->configDir(), m_folder->path() + u"link-to-config"_s));
    QVERIFY(QDir().mkpath(m_folder->path() + u"leer"_s));
    QVERIFY(QDir().mkpath(m_folder->path() + u".hidden"_s));
    QVERIFY(m_folder->addProject(QStringLiteral(VARUNO_DEMO_DIR "/Demo"), u".hidden"_s));
    QVERIFY(m_folder->addProject(QStringLiteral(VARUNO_DEMO_DIR "/Demo"), u"Demo/backups/1-x"_s));
    QVERIFY(writeBytes(m_folder->configDir() + u"settings.ini"_s,
                       "[CFG]\r\nCloudserver=" + m_http.replyUrl(200, "192.168.1.5").toUtf8() + "\r\n"));
    const QMap<QString, QByteArray> before = snapshot(m_folder->path());

    const CliResult result = run(arguments);
    QCOMPARE(result.status, 2);
    QVERIFY2(result.err.contains("Unbekanntes Projekt"), result.err.constData());
    QCOMPARE(snapshot(m_folder->path()), before);
}

void TestCli::projectHeldByTheWindow_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("regenerate") << QStringList{u"regenerate"_s, u"Demo"_s};
    QTest::newRow("receive") << transferArguments(u"receive"_s, m_redis.port());
    QTest::newRow("lookup") << QStringList{u"lookup"_s, u"Demo"_s, u"--serial"_s, u"V1"_s};
    QTest::newRow("restore") << QStringList{u"restore"_s, u"Demo"_s,
                                            u"000001-20261210-134507-before-receive"_s};
}

// The test process plays the program window that has the project open.
void TestCli::projectHeldByTheWindow()
{
    QFETCH(QStringList, arguments);
    QVERIFY(setBusServer("::1"));
    m_redis.cli({u"SET"_s, u"rpi-timestamp"_s, QString::number(QDateTime::currentSecsSinceEpoch())});
    QVERIFY(writeBytes(m_folder->configDir() + u"settings.ini"_s,
                       "[CFG]\r\nCloudserver=" + m_http.replyUrl(200, "192.168.1.5").toUtf8() + "\r\n"));
    Language language(m_folder->configDir());
    ProjectLock window(language);
    QVERIFY(window.lock(demo()));
    if (arguments.first() == u"restore")
        QVERIFY(writeBytes(demo() + u"backups/%1/bticino.items"_s.arg(arguments.last()), "Group Alt\r\n"));
    const QMap<QString, QByteArray> before = snapshot(m_folder->path());

    const CliResult result = run(arguments);
    QCOMPARE(result.status, 1);
    QCOMPARE(result.err, "Das Projekt wird gerade bearbeitet: Programmfenster, Prozess " +
                             QByteArray::number(QCoreApplication::applicationPid()) +
                             ". Es wurde nichts geändert.\n");
    QCOMPARE(snapshot(m_folder->path()), before);
}

// A receive that waits for a gateway holds the project; a regenerate meanwhile is refused and names
// it. Killed, the receive leaves its lock file behind, and that no longer blocks anyone.
void TestCli::twoCommandLineRuns()
{
    QVERIFY(setBusServer("::1"));
    QCOMPARE(run({u"regenerate"_s, u"Demo"_s}).status, 0);
    QTcpServer silentGateway;
    QVERIFY(silentGateway.listen(QHostAddress::LocalHost));
    QProcess receive;
    receive.setWorkingDirectory(m_folder->path());
    receive.start(m_program, transferArguments(u"receive"_s, silentGateway.serverPort()));
    receive.closeWriteChannel();
    QVERIFY(receive.waitForStarted());
    // Waiting for the gateway's answer, after every write of its own.
    QByteArray progress;
    QTRY_VERIFY_WITH_TIMEOUT((progress += receive.readAllStandardError()).contains("Verbinde mit Varuno"),
                             Patience);
    QVERIFY(QFileInfo::exists(demo() + ProjectLock::FileName));
    const QMap<QString, QByteArray> before = snapshot(demo());

    const CliResult refused = run({u"regenerate"_s, u"Demo"_s});
    QCOMPARE(refused.status, 1);
    QCOMPARE(refused.err, "Das Projekt wird gerade bearbeitet: Kommandozeile, Prozess " +
                              QByteArray::number(receive.processId()) + ". Es wurde nichts geändert.\n");
    QCOMPARE(snapshot(demo()), before);

    receive.kill();
    QVERIFY(receive.waitForFinished());
    QVERIFY(QFileInfo::exists(demo() + ProjectLock::FileName));
    const CliResult after = run({u"regenerate"_s, u"Demo"_s});
    QCOMPARE(after.err, QByteArray());
    QCOMPARE(after.status, 0);
    QVERIFY(!QFileInfo::exists(demo() + ProjectLock::FileName));
}

void TestCli::fullDiskKeepsEveryFile_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<qint64>("freeBytes");
    QTest::addColumn<QByteArray>("error");

    // A page for each lock file, and then no room at all, or room for the first files only.
    constexpr qint64 page = 4096;
    const QByteArray noSpace = " kann nicht geschrieben werden. No space left on device\n";
    QTest::newRow("regenerate, no room") << u"regenerate"_s << page << noSpace;
    QTest::newRow("regenerate, room for two files") << u"regenerate"_s << 3 * page << noSpace;
    QTest::newRow("send") << u"send"_s << page << noSpace;
    QTest::newRow("receive, no room") << u"receive"_s << page << noSpace;
    QTest::newRow("receive, room for project.ini") << u"receive"_s << 3 * page << noSpace;
    QTest::newRow("export-csv") << u"export-csv"_s << page << noSpace;
    QTest::newRow("import-csv") << u"import-csv"_s << page << noSpace;
    QTest::newRow("export-openhab5, no room") << u"export-openhab5"_s << 2 * page << noSpace;
    QTest::newRow("export-openhab5, room for two files") << u"export-openhab5"_s << 4 * page << noSpace;
    QTest::newRow("not even room for the lock")
        << u"regenerate"_s << qint64(0) << QByteArray("Das Projekt kann nicht gesperrt werden");
}

// The project lives on a nearly full file system of its own, linked into projects/.
void TestCli::fullDiskKeepsEveryFile()
{
    QFETCH(QString, command);
    QFETCH(qint64, freeBytes);
    QFETCH(QByteArray, error);
    SmallFileSystem fs(256);
    if (!fs.isActive())
        QSKIP("no small file system can be mounted here");
    const QString project = fs.path() + u"/Demo/"_s;
    QVERIFY(QDir().mkpath(project));
    for (const QString& name : QDir(demo()).entryList(QDir::Files))
        QVERIFY(QFile::copy(demo() + name, project + name));
    QVERIFY(QDir(demo()).removeRecursively());
    QVERIFY(QFile::link(project, m_folder->projectsDir() + u"Demo"_s));
    QVERIFY(setBusServer("::1"));
    // The first opening makes the cloud identity, while there is room.
    QCOMPARE(run({u"regenerate"_s, u"Demo"_s}).status, 0);
    QVERIFY(writeBytes(project + u"liste.csv"_s, "alt\r\n"));

    m_redis.cli({u"SET"_s, u"rpi-firmware"_s, u"2.0"_s});
    m_redis.cli({u"SET"_s, u"rpi-timestamp"_s, QString::number(QDateTime::currentSecsSinceEpoch())});
    const QByteArray bigConfig = QByteArray("webserver.host=::1\r\n").repeated(20000);
    m_redis.cli({u"HSET"_s, u"/var/lib/docker/volumes/openhab_conf/_data/services/bticino.cfg"_s, u"text"_s},
                bigConfig);
    // The openHAB 5 files of an earlier export, on the same small file system.
    const QString conf = fs.path() + u"/conf/"_s;
    QVERIFY(QDir().mkpath(conf));
    if (command == u"export-openhab5")
        QCOMPARE(run({command, u"Demo"_s, conf}).status, 0);
    // The list an import brings in, beside the small file system.
    const QString list = m_folder->path() + u"liste.csv"_s;
    if (command == u"import-csv")
        QCOMPARE(run({u"export-csv"_s, u"Demo"_s, list}).status, 0);
    const QString watched = command == u"export-openhab5" ? conf : project;
    const QMap<QString, QByteArray> before = snapshot(watched);
    QVERIFY(fs.fill(freeBytes));

    const QStringList arguments =
        command == u"export-csv"        ? QStringList{command, u"Demo"_s, project + u"liste.csv"_s}
        : command == u"export-openhab5" ? QStringList{command, u"Demo"_s, conf, u"--yes"_s}
        : command == u"import-csv"      ? QStringList{command, u"Demo"_s, list}
        : command == u"regenerate"      ? QStringList{command, u"Demo"_s}
                                        : transferArguments(command, m_redis.port());
    const CliResult result = run(arguments);
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.contains(error), result.err.constData());
    QCOMPARE(snapshot(watched), before);
}

void TestCli::exportCsvToADeviceThatRefuses()
{
    if (!QFileInfo::exists(u"/dev/full"_s))
        QSKIP("no /dev/full here");
    const CliResult result = run({u"export-csv"_s, u"Demo"_s, u"/dev/full"_s});
    QCOMPARE(result.status, 1);
    QCOMPARE(result.err,
             QByteArray("Datei /dev/full kann nicht geschrieben werden. No space left on device\n"));
}

void TestCli::exportCsvNeverIntoAProject_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("the items file") << u"projects/Demo/bticino.items"_s;
    QTest::newRow("a backup") << u"projects/Demo/backups/1-x/bticino.items"_s;
    QTest::newRow("the projects folder") << u"projects/liste.csv"_s;
    QTest::newRow("through a link") << u"link-to-demo/liste.csv"_s;
}

// What a user types by mistake must not replace a project's or a backup's file: the next save or
// restore would take the CSV for functions.
void TestCli::exportCsvNeverIntoAProject()
{
    QFETCH(QString, target);
    QVERIFY(m_folder->addProject(QStringLiteral(VARUNO_DEMO_DIR "/Demo"), u"Demo/backups/1-x"_s));
    QVERIFY(QFile::link(demo(), m_folder->path() + u"link-to-demo"_s));
    QCOMPARE(run({u"regenerate"_s, u"Demo"_s}).status, 0);
    const QMap<QString, QByteArray> before = snapshot(m_folder->path());

    const CliResult result = run({u"export-csv"_s, u"Demo"_s, target});
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.startsWith("In den Ordner der Projekte wird nicht exportiert"),
             result.err.constData());
    QCOMPARE(snapshot(m_folder->path()), before);
}

namespace {

const QStringList openHab5Files = {u"things/bticino.things"_s, u"items/bticino.items"_s,
                                   u"rules/bticino.rules"_s, u"sitemaps/bticino.sitemap"_s};

} // namespace

// The demo project's four files, UTF-8 with LF line ends, the project itself untouched.
void TestCli::exportOpenHab5WritesFourFiles()
{
    const QString conf = m_folder->path() + u"conf/"_s;
    QVERIFY(QDir().mkpath(conf));
    const QMap<QString, QByteArray> project = snapshot(demo());
    const CliResult result = run({u"export-openhab5"_s, u"Demo"_s, conf});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(snapshot(demo()), project);
    QStringList written;
    for (QDirIterator it(conf, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
        written << QDir(conf).relativeFilePath(it.next());
    written.sort();
    QStringList expected = openHab5Files;
    expected.sort();
    QCOMPARE(written, expected);
    for (const QString& file : openHab5Files) {
        const QByteArray bytes = readBytes(conf + file);
        QVERIFY2(!bytes.isEmpty() && !bytes.contains('\r') && bytes.endsWith('\n'), qPrintable(file));
    }
    QVERIFY(
        readBytes(conf + openHab5Files.at(0)).contains("host=\"127.0.0.1\", port=20000, passwd=\"12345\""));
    QVERIFY(readBytes(conf + openHab5Files.at(1))
                .contains("Switch SWITCH_1 \"Küche\" <light> (Erdgeschoss) "
                          "{ channel=\"openwebnet:bus_on_off_switch:bticino:"
                          "SWITCH_1:switch\", alexa=\"Light\", "
                          "homekit=\"Lighting\" }\n"));
}

void TestCli::exportOpenHab5NeverIntoAProject()
{
    const QMap<QString, QByteArray> before = snapshot(m_folder->path());
    for (const QString& target : {m_folder->projectsDir(), demo()}) {
        const CliResult result = run({u"export-openhab5"_s, u"Demo"_s, target});
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.startsWith("In den Ordner der Projekte wird nicht exportiert"),
                 result.err.constData());
    }
    QCOMPARE(snapshot(m_folder->path()), before);
}

// Without a terminal and without --yes the question is answered No: nothing is replaced.
void TestCli::exportOpenHab5ReplacesOnlyWhenAsked()
{
    const QString conf = m_folder->path() + u"conf/"_s;
    QVERIFY(writeBytes(conf + u"items/bticino.items"_s, "alt\n"));
    const CliResult refused = run({u"export-openhab5"_s, u"Demo"_s, conf});
    QCOMPARE(refused.status, 1);
    QVERIFY2(refused.err.contains("items/bticino.items. Diese Dateien ersetzen? [y/n] n\nAbgebrochen.\n"),
             refused.err.constData());
    QCOMPARE(readBytes(conf + u"items/bticino.items"_s), QByteArray("alt\n"));
    QVERIFY(!QFileInfo::exists(conf + u"things"_s));

    const CliResult replaced = run({u"export-openhab5"_s, u"Demo"_s, conf, u"--yes"_s});
    QCOMPARE(replaced.status, 0);
    QVERIFY(readBytes(conf + u"items/bticino.items"_s).startsWith("Group Erdgeschoss"));
}

// A folder that cannot take its file fails the whole export before any file is replaced.
void TestCli::exportOpenHab5FailedWriteKeepsTheOldFiles()
{
    const QString conf = m_folder->path() + u"conf/"_s;
    for (const QString& file : openHab5Files.mid(0, 3))
        QVERIFY(writeBytes(conf + file, "alt " + file.toUtf8() + "\r\n"));
    QVERIFY(writeBytes(conf + u"sitemaps"_s, "no folder"));
    const QMap<QString, QByteArray> before = snapshot(conf);
    const CliResult result = run({u"export-openhab5"_s, u"Demo"_s, conf, u"--yes"_s});
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.contains("kann nicht geschrieben werden."), result.err.constData());
    QCOMPARE(snapshot(conf), before);
}

// Two exports into one folder, even of two projects, never mix their files: the second is refused
// while the first holds the folder, and finishes what a killed one left.
void TestCli::exportOpenHab5WaitsForTheFolder()
{
    const QString conf = m_folder->path() + u"conf/"_s;
    QVERIFY(QDir().mkpath(conf + u"items"_s));
    {
        QLockFile held(conf + ProjectLock::FileName);
        QVERIFY(held.tryLock());
        const CliResult refused = run({u"export-openhab5"_s, u"Demo"_s, conf, u"--yes"_s});
        QCOMPARE(refused.status, 1);
        const QByteArray text = "Ein anderes Programm (Prozess " +
                                QByteArray::number(QCoreApplication::applicationPid()) +
                                ") exportiert gerade in den Ordner " + QFile::encodeName(conf);
        QVERIFY2(refused.err.contains(text), refused.err.constData());
        QCOMPARE(snapshot(conf),
                 (QMap<QString, QByteArray>{{ProjectLock::FileName, readBytes(conf + ProjectLock::FileName)},
                                            {u"items"_s, ""}}));
    }
    // A killed export had written its intent and renamed nothing yet.
    QVERIFY(writeBytes(conf + u"items/.bticino.items.k1.tmp"_s, "Group Killed\n"));
    QVERIFY(writeBytes(conf + u".varuno.intent"_s,
                       "varuno-transaction 1\nitems/.bticino.items.k1.tmp/bticino.items\nend\n"));
    const CliResult refused = run({u"export-openhab5"_s, u"Demo"_s, conf});
    QCOMPARE(refused.status, 1);
    QCOMPARE(snapshot(conf),
             (QMap<QString, QByteArray>{{u"items"_s, ""}, {u"items/bticino.items"_s, "Group Killed\n"}}));
}

void TestCli::outputToAFullDevice_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("projects") << QStringList{u"projects"_s};
    QTest::newRow("export-csv") << QStringList{u"export-csv"_s, u"Demo"_s};
    QTest::newRow("backups") << QStringList{u"backups"_s, u"Demo"_s};
    QTest::newRow("help") << QStringList{u"--help"_s};
}

// A list that never reached its reader is no success: a script must not go on with nothing.
void TestCli::outputToAFullDevice()
{
    QFETCH(QStringList, arguments);
    if (!QFileInfo::exists(u"/dev/full"_s))
        QSKIP("no /dev/full here");
    QVERIFY(writeBytes(demo() + u"backups/000001-20261210-134507-before-receive/uuid"_s, "u"));
    const CliResult result =
        RunCli(u"/bin/sh"_s, QStringList{u"-c"_s, u"exec \"$0\" \"$@\" >/dev/full"_s, m_program} + arguments,
               m_folder->path(), Patience);
    QCOMPARE(result.status, 1);
    // The system's reason follows, in the chosen language as Qt words it.
    QVERIFY2(result.err.startsWith("Die Ausgabe konnte nicht geschrieben werden: "), result.err.constData());
}

// An items file in another encoding is never rewritten; lines that are no function are kept in a
// backup before a save leaves them out, and the user is told.
void TestCli::regenerateKeepsWhatItCannotWrite()
{
    QCOMPARE(run({u"regenerate"_s, u"Demo"_s}).status, 0);
    const QByteArray items = readBytes(demo() + Items);
    const QByteArray latin1 = QByteArray(items).replace("K\xc3\xbc"
                                                        "che",
                                                        "K\xfc"
                                                        "che");
    QVERIFY(latin1 != items);
    QVERIFY(writeBytes(demo() + Items, latin1));
    const QMap<QString, QByteArray> before = snapshot(demo());
    const CliResult refused = run({u"regenerate"_s, u"Demo"_s});
    QCOMPARE(refused.status, 1);
    QVERIFY2(
        refused.err.startsWith(QByteArray("Die Datei " + QDir::toNativeSeparators(demo() + Items).toUtf8() +
                                          " ist nicht als UTF-8 gespeichert (Zeile ")),
        refused.err.constData());
    QCOMPARE(snapshot(demo()), before);

    QVERIFY(writeBytes(demo() + Items, items + "Number Temperatur \"T\"\r\n"));
    const CliResult saved = run({u"regenerate"_s, u"Demo"_s});
    QCOMPARE(saved.status, 0);
    QVERIFY2(saved.err.contains("(Zeilen: 1). Die Datei ist gesichert: "), saved.err.constData());
    QCOMPARE(readBytes(demo() + Items), items);
    const QStringList backups = QDir(demo() + u"backups"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(backups.size(), 1);
    QVERIFY(backups.first().endsWith(u"-before-save"));
    QVERIFY(readBytes(demo() + u"backups/"_s + backups.first() + u'/' + Items)
                .endsWith("Number Temperatur \"T\"\r\n"));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
