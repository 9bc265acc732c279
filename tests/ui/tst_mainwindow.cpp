#include "model/filetransaction.h"
#include "model/functionlist.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "programfolder.h"
#include "scriptedprompts.h"
#include "smallfilesystem.h"
#include "ui/functioneditor.h"
#include "ui/functionlistview.h"
#include "ui/mainwindow.h"
#include "ui/startup.h"
#include "ui/toggleswitch.h"
#include "workspace/projectbackups.h"
#include "workspace/projectlock.h"
#include "workspace/settings.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QCollator>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {

const QString demo = QStringLiteral(VARUNO_DEMO_DIR "/Demo");
const QDateTime longAgo(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC);
// The files every save rewrites.
const QStringList savedFiles = {QStringLiteral("bticino.items"), QStringLiteral("openhabcloud.cfg"),
                                QStringLiteral("bticino.rules"), QStringLiteral("bticino.sitemap")};

QStringList captions(const FunctionList& list)
{
    QStringList result;
    for (const FunctionEntry& entry : list.entries())
        result << entry.label;
    return result;
}

// The CSV file as Python's csv module reads it: a list of rows of fields.
QJsonArray readCsvWithPython(const QString& fileName)
{
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import csv, json, sys\n"
                                 "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                                 "    print(json.dumps(list(csv.reader(f, delimiter=';'))))\n"),
                  fileName});
    if (!python.waitForFinished(30000) || python.exitCode() != 0)
        return {};
    return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}

} // namespace

// A program folder with the installation data; each start() runs the program's start-up on it
// and shows the main window, as a restart of the program would.
class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void noProjectDisablesTheProjectCommands();
    void startOpensTheLastProject_data();
    void startOpensTheLastProject();
    void firstStartChoosesTheSecondLanguage_data();
    void firstStartChoosesTheSecondLanguage();
    void installationStartsInGerman();
    void firstLanguageKeepsTheToggleOff();
    void languageSwitchRebuildsTranslatedCells();
    void groupViewSurvivesARestart();
    void moveAtTheEndsChangesNothing_data();
    void moveAtTheEndsChangesNothing();
    void moveExchangesRowsAndSaves();
    void deleteWithNothingTicked();
    void deleteRefusedAndConfirmed();
    void sortThenAddAppendsAtTheEnd();
    void saveFailureIsShown();
    void saveOnAFullDiskKeepsEveryFile();
    void failedOpenLeavesNoProjectOpen();
    void projectHeldElsewhereIsNotOpened();
    void itemsFileNotInUtf8IsOnlyShown();
    void readOnlyNoteFollowsTheOpeningsReports();
    void csvExportReadsBackAsWritten_data();
    void csvExportReadsBackAsWritten();
    void csvWriteFailureIsShown();
    void csvExportCancelledWritesNothing();
    void openHab5ExportTellsWhatItLeftOut();
    void startupFillsTheProgram();
    void restoreBackupFromThePopupMenu();
    void undoTakesBackEveryChange();
    void csvImportIsOneUndoableStep();

private:
    void start();
    MainWindow& w() { return m_startup->mainWindow(); }
    Settings settings() const { return Settings(m_folder->configDir() + QStringLiteral("settings.ini")); }
    QString projectFile(const QString& project, const QString& name) const
    {
        return m_folder->projectsDir() + project + QLatin1Char('/') + name;
    }
    void ageSavedFiles(const QString& project);
    // How many of the saved files still carry the time ageSavedFiles gave them.
    qsizetype untouchedFiles(const QString& project) const;

    std::unique_ptr<TestProgramFolder> m_folder;
    ScriptedPrompts m_prompts;
    std::unique_ptr<Startup> m_startup;
};

void MainWindowTest::init()
{
    m_folder = std::make_unique<TestProgramFolder>();
    QVERIFY(m_folder->isValid());
    m_prompts.reset();
}

void MainWindowTest::cleanup()
{
    QVERIFY2(m_prompts.allAnswered(), "an answer was queued but never asked for");
    m_startup.reset();
    m_folder.reset();
}

void MainWindowTest::start()
{
    m_startup.reset();
    m_startup = std::make_unique<Startup>(m_folder->path(), m_prompts);
    w().show();
}

// Writes the project's files once, so that all of them exist, and dates them back.
void MainWindowTest::ageSavedFiles(const QString& project)
{
    QVERIFY(m_startup->program().openHab.SaveItems(w().items().entries()).isEmpty());
    for (const QString& name : savedFiles) {
        QFile file(projectFile(project, name));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(longAgo, QFileDevice::FileModificationTime));
    }
}

qsizetype MainWindowTest::untouchedFiles(const QString& project) const
{
    return std::count_if(savedFiles.cbegin(), savedFiles.cend(), [&](const QString& name) {
        return QFileInfo(projectFile(project, name)).lastModified() == longAgo;
    });
}

void MainWindowTest::noProjectDisablesTheProjectCommands()
{
    start();
    for (QPushButton* command :
         {w().btnSettings, w().btnReceive, w().btnSend, w().btnAddItem, w().btnDelItems})
        QVERIFY2(!command->isEnabled(), qPrintable(command->text()));
    for (QPushButton* command : {w().btnNewProject, w().btnEditProject, w().btnExit})
        QVERIFY2(command->isEnabled(), qPrintable(command->text()));
    for (QAction* command : {w().pmSort, w().pmMoveup, w().pmMoveDown, w().csvExport})
        QVERIFY2(!command->isEnabled(), qPrintable(command->text()));
    QVERIFY(w().pmGroupview->isEnabled());
    QVERIFY(w().tsLanguage->isEnabled());

    QCOMPARE(w().cbProj->count(), 0);
    QCOMPARE(w().cbProj->currentText(), QString());
    QVERIFY(m_startup->program().openHab.sProjPath.isEmpty());
    QCOMPARE(w().items().count(), 0);
    QCOMPARE(settings().LastProject(), QString());
    // The project dialog in edit mode has nothing to edit: nothing is asked.
    w().btnEditProject->click();
    QVERIFY(m_prompts.shown.isEmpty());
}

void MainWindowTest::startOpensTheLastProject_data()
{
    QTest::addColumn<QString>("lastProject");
    QTest::addColumn<QString>("opened");

    QTest::newRow("no LastProject") << QStringLiteral("") << QStringLiteral("Alpha");
    QTest::newRow("exact name") << QStringLiteral("beta") << QStringLiteral("beta");
    QTest::newRow("other letter case") << QStringLiteral("BETA") << QStringLiteral("beta");
    QTest::newRow("folder gone") << QStringLiteral("Gamma") << QStringLiteral("Alpha");
}

void MainWindowTest::startOpensTheLastProject()
{
    QFETCH(QString, lastProject);
    QFETCH(QString, opened);

    QVERIFY(m_folder->addProject(demo, QStringLiteral("beta")));
    QVERIFY(m_folder->addProject(demo, QStringLiteral("Alpha")));
    if (!lastProject.isEmpty())
        QVERIFY(settings().setLastProject(lastProject));
    start();

    QCOMPARE(w().cbProj->count(), 2);
    QCOMPARE(w().cbProj->currentText(), opened);
    QCOMPARE(m_startup->program().openHab.sProj, opened);
    QCOMPARE(settings().LastProject(), opened);
    QCOMPARE(w().windowTitle(), opened + QStringLiteral(" – Varuno Builder"));
    QVERIFY(w().items().count() > 0);
    for (QPushButton* command :
         {w().btnSettings, w().btnReceive, w().btnSend, w().btnAddItem, w().btnDelItems})
        QVERIFY2(command->isEnabled(), qPrintable(command->text()));
    QVERIFY(w().pmSort->isEnabled());
}

void MainWindowTest::firstStartChoosesTheSecondLanguage_data()
{
    QTest::addColumn<QString>("stored");
    // An installation whose settings.ini predates the key.
    QTest::newRow("no Language") << "";
    QTest::newRow("first language in other letter case") << "deutsch";
    QTest::newRow("unknown language") << "Klingonisch";
}

void MainWindowTest::firstStartChoosesTheSecondLanguage()
{
    QFETCH(QString, stored);
    if (stored.isEmpty())
        QVERIFY(
            writeBytes(m_folder->configDir() + QStringLiteral("settings.ini"), "[CFG]\r\nScenario=1\r\n"));
    else
        QVERIFY(settings().setLanguage(stored));
    start();

    QVERIFY(w().tsLanguage->isChecked());
    QCOMPARE(w().tsLanguage->caption(), QStringLiteral("English"));
    QCOMPARE(settings().language(), QStringLiteral("English"));
    QCOMPARE(w().btnAddItem->text(), QStringLiteral("&Add function"));
    QCOMPARE(w().items().headerData(FunctionList::LabelColumn, Qt::Horizontal).toString(),
             QStringLiteral("Label"));
    QCOMPARE(w().windowTitle(), QStringLiteral("Varuno Builder")); // no project to open
}

void MainWindowTest::installationStartsInGerman()
{
    start();
    QVERIFY(!w().tsLanguage->isChecked());
    QCOMPARE(settings().language(), QStringLiteral("Deutsch"));
    QCOMPARE(w().btnAddItem->text(), QStringLiteral("&Funktion hinzufügen"));
}

void MainWindowTest::firstLanguageKeepsTheToggleOff()
{
    QVERIFY(settings().setLanguage(QStringLiteral("Deutsch")));
    start();
    QVERIFY(!w().tsLanguage->isChecked());
    QCOMPARE(settings().language(), QStringLiteral("Deutsch"));
    QCOMPARE(w().btnAddItem->text(), QStringLiteral("&Funktion hinzufügen"));
    QCOMPARE(w().pmMoveup->text(), QStringLiteral("Nach oben verschieben"));
}

// The rows hold their voice control as a value; a switch of language rewords the list without
// reading the project again.
void MainWindowTest::languageSwitchRebuildsTranslatedCells()
{
    QVERIFY(m_folder->addProject(demo, QStringLiteral("Demo")));
    QVERIFY(settings().setLanguage(QStringLiteral("Deutsch")));
    start();
    const auto voiceOf = [this](const QString& caption) {
        const FunctionList& items = w().items();
        for (int row = 0; row < items.count(); ++row) {
            if (items.at(row).label == caption)
                return items.index(row, FunctionList::VoiceColumn).data().toString();
        }
        return QStringLiteral("<missing>");
    };
    QCOMPARE(voiceOf(QStringLiteral("Küche")), QStringLiteral("Ja"));
    const QList<FunctionEntry> rows = w().items().entries();
    // What another program writes meanwhile is not what a switch of language shows.
    QVERIFY(writeBytes(projectFile(QStringLiteral("Demo"), QStringLiteral("bticino.items")), "Group EG\r\n"));

    w().tsLanguage->click();
    QCOMPARE(settings().language(), QStringLiteral("English"));
    QCOMPARE(voiceOf(QStringLiteral("Küche")), QStringLiteral("Yes"));
    QCOMPARE(w().lvItems->groupHeaders().value(0), QStringLiteral("Lights/Switches"));

    w().tsLanguage->click();
    QCOMPARE(settings().language(), QStringLiteral("Deutsch"));
    QCOMPARE(voiceOf(QStringLiteral("Küche")), QStringLiteral("Ja"));
    QCOMPARE(w().lvItems->groupHeaders().value(0), QStringLiteral("Lichter/Schalter"));
    QCOMPARE(w().items().entries(), rows);
}

void MainWindowTest::groupViewSurvivesARestart()
{
    QVERIFY(m_folder->addProject(demo, QStringLiteral("Demo")));
    start();
    QVERIFY(w().lvItems->groupView());
    QVERIFY(w().pmGroupview->isChecked());
    QVERIFY(!w().pmMoveup->isVisible() && !w().pmMoveDown->isVisible());

    w().pmGroupview->trigger();
    QCOMPARE(settings().inif().value(QStringLiteral("CFG"), QStringLiteral("Groupview")),
             QStringLiteral("0"));
    start();
    QVERIFY(!w().lvItems->groupView());
    QVERIFY(!w().pmGroupview->isChecked());
    QVERIFY(w().pmMoveup->isVisible() && w().pmMoveDown->isVisible());
    // Flat: every row at the top level, in stored order; the hidden column stays hidden.
    QCOMPARE(w().lvItems->model()->rowCount(), w().items().count());
    QVERIFY(w().lvItems->isColumnHidden(FunctionList::AliasColumn));

    w().pmGroupview->trigger();
    QCOMPARE(settings().inif().value(QStringLiteral("CFG"), QStringLiteral("Groupview")),
             QStringLiteral("1"));
    start();
    QVERIFY(w().lvItems->groupView());
    QVERIFY(w().lvItems->isColumnHidden(FunctionList::AliasColumn));
}

void MainWindowTest::moveAtTheEndsChangesNothing_data()
{
    QTest::addColumn<bool>("up");
    QTest::newRow("up on the first row") << true;
    QTest::newRow("down on the last row") << false;
}

void MainWindowTest::moveAtTheEndsChangesNothing()
{
    QFETCH(bool, up);
    QVERIFY(m_folder->addProject(demo, QStringLiteral("Demo")));
    QVERIFY(settings().setGroupview(false));
    start();
    const QStringList before = captions(w().items());
    const QByteArray itemsBefore =
        readBytes(projectFile(QStringLiteral("Demo"), QStringLiteral("bticino.items")));
    ageSavedFiles(QStringLiteral("Demo"));

    w().lvItems->selectRow(up ? 0 : w().items().count() - 1);
    (up ? w().pmMoveup : w().pmMoveDown)->trigger();

    QCOMPARE(captions(w().items()), before);
    QCOMPARE(untouchedFiles(QStringLiteral("Demo")), savedFiles.size());
    QCOMPARE(readBytes(projectFile(QStringLiteral("Demo"), QStringLiteral("bticino.items"))), itemsBefore);
    QVERIFY(m_prompts.shown.isEmpty());
}

void MainWindowTest::moveExchangesRowsAndSaves()
{
    QVERIFY(m_folder->addProject(demo, QStringLiteral("Demo")));
    QVERIFY(settings().setGroupview(false));
    start();
    QStringList expected = captions(w().items());
    expected.swapItemsAt(1, 2);
    ageSavedFiles(QStringLiteral("Demo"));

    w().lvItems->selectRow(2);
    w().pmMoveup->trigger();

    QCOMPARE(captions(w().items()), expected);
    // The selection stays where it was and now shows the other row.
    QCOMPARE(w().lvItems->selectedRow(), 2);
    QCOMPARE(untouchedFiles(QStringLiteral("Demo")), 0);
    // The files hold the new order: reading the project back gives it.
    w().OpenSelectedProject();
    QCOMPARE(captions(w().items()), expected);
}

void MainWindowTest::deleteWithNothingTicked()
{
    QVERIFY(m_folder->addProject(demo, QStringLiteral("Demo")));
    QVERIFY(settings().setLanguage(QStringLiteral("Deutsch")));
    start();
    const int rows = w().items().count();
    ageSavedFiles(QStringLiteral("Demo"));

    w().btnDelItems->click();

    QCOMPARE(m_prompts.shown,
             QStringList{QStringLiteral("error: Sie müssen die zu löschenden Funktionen zuerst markieren")});
    QCOMPARE(w().items().count(), rows);
    QCOMPARE(untouchedFiles(QStringLiteral("Demo")), savedFiles.size());
}

void MainWindowTest::deleteRefusedAndConfirmed()
{
    QVERIFY(m_folder->addProject(demo, QStringLiteral("Demo")));
    QVERIFY(settings().setLanguage(QStringLiteral("Deutsch")));
    start();
    FunctionList& items = w().items();
    QStringList kept = captions(items);
    // Two neighbours, so that the row moving up into a deleted row's place is examined too.
    for (int row : {1, 2, 4})
        QVERIFY(items.setData(items.index(row, 0), Qt::Checked, Qt::CheckStateRole));
    for (int row : {4, 2, 1})
        kept.removeAt(row);
    ageSavedFiles(QStringLiteral("Demo"));

    m_prompts.queueNo();
    w().btnDelItems->click();
    QCOMPARE(m_prompts.shown, QStringList{QStringLiteral(
                                  "confirm, default No: Wollen Sie die markierten Funktionen löschen?")});
    QCOMPARE(items.count(), kept.size() + 3);
    QCOMPARE(untouchedFiles(QStringLiteral("Demo")), savedFiles.size());

    m_prompts.queueYes();
    w().btnDelItems->click();
    QCOMPARE(captions(items), kept);
    QCOMPARE(untouchedFiles(QStringLiteral("Demo")), 0);
    w().OpenSelectedProject();
    QCOMPARE(captions(items), kept);
}

void MainWindowTest::sortThenAddAppendsAtTheEnd()
{
    QVERIFY(m_folder->addProject(demo, QStringLiteral("Demo")));
    start();
    w().pmSort->trigger();
    QStringList sorted = captions(w().items());
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QVERIFY(std::is_sorted(sorted.cbegin(), sorted.cend(),
                           [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; }));

    // What the function editor does on save: append a row and write the files.
    OpenHabGenerator& openHab = m_startup->program().openHab;
    w().items().append(FunctionEntry{.label = QStringLiteral("Aaa Flur"),
                                     .address = QStringLiteral("01.11"),
                                     .alias = QStringLiteral("SWITCH_99"),
                                     .kind = FunctionEntry::Switch});
    QVERIFY(openHab.SaveItems(w().items().entries()).isEmpty());

    sorted << QStringLiteral("Aaa Flur");
    QCOMPARE(captions(w().items()), sorted);
    w().OpenSelectedProject();
    QCOMPARE(captions(w().items()).constLast(), QStringLiteral("Aaa Flur"));
}

// A file that cannot be written is named in an error box; the other files are still written.
void MainWindowTest::saveFailureIsShown()
{
    QVERIFY(m_folder->addProject(demo, QStringLiteral("Demo")));
    start();
    const QString rules = projectFile(QStringLiteral("Demo"), QStringLiteral("bticino.rules"));
    QFile::remove(rules);
    QVERIFY(QDir().mkpath(rules + QStringLiteral("/blocked")));

    w().pmSort->trigger();

    QCOMPARE(m_prompts.shown.size(), 1);
    QVERIFY2(m_prompts.shown.constFirst().startsWith(QStringLiteral("error: ")) &&
                 m_prompts.shown.constFirst().contains(QStringLiteral("bticino.rules")),
             qPrintable(m_prompts.shown.constFirst()));
}

// The project lives on a nearly full file system of its own, linked into projects/.
void MainWindowTest::saveOnAFullDiskKeepsEveryFile()
{
    SmallFileSystem fs(256);
    if (!fs.isActive())
        QSKIP("no small file system can be mounted here");
    const QString project = fs.path() + QStringLiteral("/Demo/");
    QVERIFY(QDir().mkpath(project));
    for (const QString& name : QDir(demo).entryList(QDir::Files))
        QVERIFY(QFile::copy(demo + QLatin1Char('/') + name, project + name));
    QVERIFY(QFile::link(project, m_folder->projectsDir() + QStringLiteral("Demo")));
    start();
    QVERIFY(m_prompts.shown.isEmpty());
    const QMap<QString, QByteArray> before = snapshot(project);
    QVERIFY(fs.fill(8192));

    w().pmSort->trigger();

    QCOMPARE(m_prompts.shown.size(), 1);
    QVERIFY2(
        m_prompts.shown.constFirst().startsWith(QStringLiteral("error: Datei ") + m_folder->projectsDir()) &&
            m_prompts.shown.constFirst().endsWith(
                QStringLiteral(" kann nicht geschrieben werden. No space left on device")),
        qPrintable(m_prompts.shown.constFirst()));
    QCOMPARE(snapshot(project), before);
}

// The list must not show the rows of the project open before under the failed one's name, and no
// command may save them into its folder; picking the name again once it is mended opens it.
void MainWindowTest::failedOpenLeavesNoProjectOpen()
{
    QVERIFY(m_folder->addProject(demo, QStringLiteral("Demo")));
    QVERIFY(m_folder->addProject(demo, QStringLiteral("Alt")));
    QVERIFY(settings().setLastProject(QStringLiteral("Demo")));
    start();
    QVERIFY(w().items().count() > 0);
    const QString cfg = projectFile(QStringLiteral("Alt"), QStringLiteral("bticino.cfg"));
    const QByteArray cfgBytes = readBytes(cfg);
    QVERIFY(QFile::remove(cfg));
    const QMap<QString, QByteArray> before = snapshot(m_folder->projectsDir() + QStringLiteral("Alt"));

    w().cbProj->activated(0);

    QCOMPARE(m_prompts.shown.size(), 1);
    QVERIFY2(m_prompts.shown.constFirst().contains(QStringLiteral("bticino.cfg kann nicht geöffnet werden.")),
             qPrintable(m_prompts.shown.constFirst()));
    QCOMPARE(w().cbProj->currentText(), QStringLiteral("Alt"));
    QCOMPARE(w().items().count(), 0);
    for (QWidget* command : std::initializer_list<QWidget*>{w().btnAddItem, w().btnDelItems, w().btnSettings,
                                                            w().btnSend, w().btnReceive})
        QVERIFY(!command->isEnabled());
    for (QAction* command : {w().pmSort, w().pmMoveup, w().pmMoveDown, w().csvExport})
        QVERIFY(!command->isEnabled());
    w().pmSort->trigger();
    QCOMPARE(snapshot(m_folder->projectsDir() + QStringLiteral("Alt")), before);
    QCOMPARE(settings().LastProject(), QStringLiteral("Demo"));

    QVERIFY(writeBytes(cfg, cfgBytes));
    w().cbProj->activated(0);
    QCOMPARE(m_prompts.shown.size(), 1);
    QVERIFY(w().items().count() > 0);
    QVERIFY(w().btnAddItem->isEnabled());
    QCOMPARE(settings().LastProject(), QStringLiteral("Alt"));
}

// A Latin-1 items file would lose its umlauts in a save: the window says so once, shows the
// functions, and offers no command that rewrites the file.
void MainWindowTest::itemsFileNotInUtf8IsOnlyShown()
{
    QVERIFY(m_folder->addProject(demo, QStringLiteral("Demo")));
    const QString items = projectFile(QStringLiteral("Demo"), QStringLiteral("bticino.items"));
    QVERIFY(writeBytes(items, readBytes(items).replace("K\xc3\xbc"
                                                       "che",
                                                       "K\xfc"
                                                       "che")));
    QVERIFY(settings().setLanguage(QStringLiteral("Deutsch")));
    const QByteArray latin1 = readBytes(items);
    start();
    QCOMPARE(m_prompts.shown.size(), 1);
    QVERIFY2(m_prompts.shown.constFirst().contains(QStringLiteral("ist nicht als UTF-8 gespeichert (Zeile ")),
             qPrintable(m_prompts.shown.constFirst()));
    QVERIFY(w().items().count() > 0);
    for (QPushButton* command : {w().btnAddItem, w().btnDelItems})
        QVERIFY(!command->isEnabled());
    for (QAction* command : {w().pmSort, w().pmMoveup, w().pmMoveDown})
        QVERIFY(!command->isEnabled());
    QVERIFY(w().btnReceive->isEnabled());
    QCOMPARE(readBytes(items), latin1);
}

// The opening's own reports come first: here the repair that put a Latin-1 items file in place
// is told before the window says that the file may only be shown.
void MainWindowTest::readOnlyNoteFollowsTheOpeningsReports()
{
    QVERIFY(m_folder->addProject(demo, QStringLiteral("Demo")));
    const QString folder = m_folder->projectsDir() + QStringLiteral("Demo/");
    const QString items = folder + QStringLiteral("bticino.items");
    QVERIFY(writeBytes(folder + QStringLiteral(".bticino.items.1x.tmp"), readBytes(items).replace("K\xc3\xbc"
                                                                                                  "che",
                                                                                                  "K\xfc"
                                                                                                  "che")));
    QVERIFY(writeBytes(folder + FileTransaction::IntentName,
                       "varuno-transaction 1\n.bticino.items.1x.tmp/bticino.items\nend\n"));
    QVERIFY(settings().setLanguage(QStringLiteral("Deutsch")));
    start();
    QCOMPARE(m_prompts.shown.size(), 2);
    QVERIFY2(
        m_prompts.shown.constFirst().startsWith(QStringLiteral("information: Eine unterbrochene Änderung")),
        qPrintable(m_prompts.shown.constFirst()));
    QVERIFY2(m_prompts.shown.constLast().contains(QStringLiteral("ist nicht als UTF-8 gespeichert (Zeile ")),
             qPrintable(m_prompts.shown.constLast()));
}

// Another process writing the project (here a lock the test holds) keeps the window from opening
// it; the window names the holder.
void MainWindowTest::projectHeldElsewhereIsNotOpened()
{
    QVERIFY(m_folder->addProject(demo, QStringLiteral("Demo")));
    Language language(m_folder->configDir());
    ProjectLock other(language);
    QVERIFY(other.lock(m_folder->projectsDir() + QStringLiteral("Demo/")));
    QVERIFY(settings().setLanguage(QStringLiteral("Deutsch")));
    const QMap<QString, QByteArray> before = snapshot(m_folder->projectsDir());
    start();
    QVERIFY(!m_prompts.shown.isEmpty());
    QCOMPARE(
        m_prompts.shown.constFirst(),
        QStringLiteral("error: Das Projekt wird gerade bearbeitet: Programmfenster, Prozess %1. Es wurde "
                       "nichts geändert.")
            .arg(QCoreApplication::applicationPid()));
    QCOMPARE(w().items().count(), 0);
    QVERIFY(!w().btnAddItem->isEnabled());
    QCOMPARE(snapshot(m_folder->projectsDir()), before);

    // Once the other writer is done, picking the project opens it, and the window holds it.
    other.unlock();
    m_prompts.reset();
    w().cbProj->activated(0);
    QVERIFY(m_prompts.shown.isEmpty());
    QVERIFY(w().items().count() > 0);
    QVERIFY(!other.lock(m_folder->projectsDir() + QStringLiteral("Demo/")));
}

void MainWindowTest::csvExportReadsBackAsWritten_data()
{
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("empty list") << QStringList();
    QTest::newRow("label with separator, quote and line break")
        << QStringList{QStringLiteral("Licht; Flur"), QStringLiteral("Der \"große\" Saal"),
                       QStringLiteral("zwei\r\nZeilen"), QStringLiteral("Garage")};
}

void MainWindowTest::csvExportReadsBackAsWritten()
{
    QFETCH(QStringList, labels);
    QVERIFY(m_folder->addProject(demo, QStringLiteral("Demo")));
    QVERIFY(settings().setLanguage(QStringLiteral("Deutsch")));
    start();
    QList<FunctionEntry> rows;
    for (const QString& label : labels)
        rows << FunctionEntry{.label = label,
                              .address = QStringLiteral("01.13"),
                              .groups = QStringLiteral("Erdgeschoss"),
                              .alias = QStringLiteral("DIMMER_1"),
                              .kind = FunctionEntry::Dimmer};
    w().items().setEntries(rows);
    const QString fileName = m_folder->path() + QStringLiteral("export.csv");
    m_prompts.queueText(fileName);

    w().csvExport->trigger();

    // The dialog proposes the project's name among the user's documents and, having asked before
    // replacing a file, asks nothing more.
    QCOMPARE(m_prompts.shown, QStringList{QStringLiteral("save: CSV speichern unter")});
    QCOMPARE(m_prompts.lastSaveProposal,
             QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                 .filePath(QStringLiteral("Demo.csv")));
    QVERIFY(readBytes(fileName).startsWith(
        "\xEF\xBB\xBF"
        "Bezeichnung;Adresse;Alexa/Siri;Gruppenzugeh\xC3\xB6rigkeit;Art;Taste;Umgekehrt;\r\n"));
    const QJsonArray read = readCsvWithPython(fileName);
    QCOMPARE(read.size(), labels.size() + 1);
    for (int row = 0; row < labels.size(); ++row) {
        const QJsonArray fields = read.at(row + 1).toArray();
        QCOMPARE(fields.size(), 8); // seven fields, each followed by ";"
        QCOMPARE(fields.at(0).toString(), labels.at(row));
        QCOMPARE(fields.at(1).toString(), QStringLiteral(" 01.13"));
        QCOMPARE(fields.at(4).toString(), QStringLiteral("Dimmer"));
    }
}

void MainWindowTest::csvWriteFailureIsShown()
{
    QVERIFY(m_folder->addProject(demo, QStringLiteral("Demo")));
    start();
    const QString fileName = m_folder->path() + QStringLiteral("missing/export.csv");
    m_prompts.queueText(fileName);
    w().csvExport->trigger();
    QCOMPARE(m_prompts.shown.size(), 2);
    QVERIFY2(m_prompts.shown.at(1).startsWith(QStringLiteral("error: ")) &&
                 m_prompts.shown.at(1).contains(fileName),
             qPrintable(m_prompts.shown.at(1)));
}

void MainWindowTest::csvExportCancelledWritesNothing()
{
    QVERIFY(m_folder->addProject(demo, QStringLiteral("Demo")));
    start();
    m_prompts.queueCancel();
    w().csvExport->trigger();
    QCOMPARE(m_prompts.shown.size(), 1);
    QCOMPARE(QDir(m_folder->path()).entryList({QStringLiteral("*.csv")}, QDir::Files), QStringList());
}

// The menu asks for a folder, writes the four files there and names the function it left out.
void MainWindowTest::openHab5ExportTellsWhatItLeftOut()
{
    QVERIFY(m_folder->addProject(demo, QStringLiteral("Demo")));
    start();
    QList<FunctionEntry> rows = w().items().entries();
    const FunctionEntry key{.label = QStringLiteral("Taste"),
                            .address = QStringLiteral("01.15"),
                            .alias = QStringLiteral("CEN_99"),
                            .key = QStringLiteral("40"),
                            .kind = FunctionEntry::CenScene};
    w().items().setEntries(rows << key);
    const QString folder = m_folder->path() + QStringLiteral("conf");
    QVERIFY(QDir().mkpath(folder));
    m_prompts.queueText(folder);

    w().openHab5Export->trigger();

    QCOMPARE(
        m_prompts.shown,
        QStringList({QStringLiteral("folder: Ordner für die openHAB-5-Dateien wählen"),
                     QStringLiteral("information: CEN_99 \"Taste\" wird nicht für openHAB 5 exportiert: Das "
                                    "OpenWebNet-Binding kennt nur die CEN-Tasten 0 bis 31, nicht 40.")}));
    for (const QString& file :
         {QStringLiteral("things/bticino.things"), QStringLiteral("items/bticino.items"),
          QStringLiteral("rules/bticino.rules"), QStringLiteral("sitemaps/bticino.sitemap")})
        QVERIFY2(!readBytes(folder + u'/' + file).isEmpty(), qPrintable(file));
    QVERIFY(!readBytes(folder + QStringLiteral("/items/bticino.items")).contains("CEN_99"));
}

void MainWindowTest::startupFillsTheProgram()
{
    start();
    const Program& program = m_startup->program();
    QCOMPARE(program.mainWindow, &w());
    QVERIFY(program.workspace == &w().workspace());
    QVERIFY(program.settingsDialog && program.functionEditor && program.groupEditor &&
            program.transferDialog && program.newProjectDialog);
    // The dialogs belong to the main window and go with it.
    QCOMPARE(static_cast<QObject*>(program.functionEditor)->parent(), static_cast<QObject*>(&w()));
}

// The popup menu lists the project's backups; the one picked replaces the project's files and the
// project is opened again from them.
void MainWindowTest::restoreBackupFromThePopupMenu()
{
    QVERIFY(m_folder->addProject(demo, QStringLiteral("Demo")));
    QVERIFY(settings().setLanguage(QStringLiteral("Deutsch")));
    start();
    w().pmRestore->trigger();
    QCOMPARE(m_prompts.shown,
             QStringList({QStringLiteral("information: Für dieses Projekt gibt es noch keine Sicherung.")}));

    const QStringList original = captions(w().items());
    ProjectBackups backups(m_startup->program().openHab.sProjPath, m_startup->program().language);
    QCOMPARE(backups.BackupProjectFiles(BackupKind::BeforeReceive, {QStringLiteral("bticino.items")}),
             std::nullopt);
    QVERIFY(
        writeBytes(projectFile(QStringLiteral("Demo"), QStringLiteral("bticino.items")),
                   "Switch SWITCH_1 \"Neu\" <light> {bticino=\"if=webserver;who=1;what=0;where=0112\"}\r\n"));
    w().OpenSelectedProject();
    QCOMPARE(captions(w().items()), QStringList({QStringLiteral("Neu")}));
    const Backup backup = backups.List().constFirst();
    const QString entry = backup.time.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")) +
                          QStringLiteral("  –  Projekt vor dem Empfangen (Dateien: 1)");
    m_prompts.reset();
    m_prompts.queueText(entry);

    w().pmRestore->trigger();

    QCOMPARE(m_prompts.shown,
             QStringList({QStringLiteral("choose: Sicherung wiederherstellen… / Welche Sicherung "
                                         "soll wiederhergestellt werden? / ") +
                          entry}));
    QCOMPARE(captions(w().items()), original);
    QCOMPARE(backups.List().constFirst().kind, BackupKind::BeforeRestore);
}

// Random moves, sorts and deletions, then undo to the very start and redo to the very end: every
// step gives back the items file that the change before it had written, byte for byte.
void MainWindowTest::undoTakesBackEveryChange()
{
    QVERIFY(m_folder->addProject(demo, QStringLiteral("Demo")));
    QVERIFY(settings().setGroupview(false));
    start();
    const QString itemsFile = projectFile(QStringLiteral("Demo"), QStringLiteral("bticino.items"));
    QVERIFY(!w().undoAction->isEnabled() && !w().redoAction->isEnabled());
    // The keys act with the popup menu closed.
    QVERIFY(w().actions().contains(w().undoAction) && w().actions().contains(w().redoAction));
    QCOMPARE(w().undoAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(w().redoAction->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    QList<QByteArray> versions = {readBytes(itemsFile)};
    QRandomGenerator random(20261211);
    FunctionList& items = w().items();
    for (int edit = 0; edit < 50; ++edit) {
        const int row = int(random.bounded(items.count()));
        switch (random.bounded(items.count() > 3 ? 10 : 9)) {
        case 0:
            w().pmSort->trigger();
            break;
        case 9:
            QVERIFY(items.setData(items.index(row, 0), Qt::Checked, Qt::CheckStateRole));
            m_prompts.queueYes();
            w().btnDelItems->click();
            break;
        default:
            w().lvItems->selectRow(row);
            (random.bounded(2) ? w().pmMoveup : w().pmMoveDown)->trigger();
        }
        if (readBytes(itemsFile) != versions.constLast())
            versions << readBytes(itemsFile);
    }
    QVERIFY(versions.size() > 30);

    for (qsizetype step = versions.size() - 2; step >= 0; --step) {
        QVERIFY(w().undoAction->isEnabled());
        w().undoAction->trigger();
        QCOMPARE(readBytes(itemsFile), versions.at(step));
    }
    QVERIFY(!w().undoAction->isEnabled());
    for (qsizetype step = 1; step < versions.size(); ++step) {
        w().redoAction->trigger();
        QCOMPARE(readBytes(itemsFile), versions.at(step));
    }
    QVERIFY(!w().redoAction->isEnabled());

    // A change after an undo leaves nothing to redo.
    w().undoAction->trigger();
    w().lvItems->selectRow(1);
    w().pmMoveup->trigger();
    QVERIFY(!w().redoAction->isEnabled());
    QVERIFY(m_prompts.allAnswered());
}

// The popup menu imports the valid rows of a file only when the user accepts them, appends them
// when asked so, and undo takes the whole import back.
void MainWindowTest::csvImportIsOneUndoableStep()
{
    QVERIFY(m_folder->addProject(demo, QStringLiteral("Demo")));
    QVERIFY(settings().setLanguage(QStringLiteral("Deutsch")));
    start();
    const QString itemsFile = projectFile(QStringLiteral("Demo"), QStringLiteral("bticino.items"));
    const QByteArray before = readBytes(itemsFile);
    const int rows = w().items().count();
    const QString fileName = m_folder->path() + QStringLiteral("liste.csv");
    QVERIFY(writeBytes(fileName, "Bezeichnung;Art;Adresse\r\nFlur;Dimmer;1.5\r\nBad;Dimmer;1.99\r\n"));
    const QString open = QStringLiteral("open: CSV-Datei importieren");
    const QString question =
        QStringLiteral("confirm, default No: Die gültigen Zeilen trotzdem importieren? Nicht "
                       "importiert werden:\nZeile 3: Adresse muss zwischen 0.1 und 10.15 "
                       "liegen!");

    m_prompts.queueText(fileName);
    m_prompts.queueNo();
    QVERIFY(w().csvImport->isEnabled());
    w().csvImport->trigger();
    QCOMPARE(m_prompts.shown, QStringList({open, question}));
    QCOMPARE(readBytes(itemsFile), before);
    QVERIFY(!w().undoAction->isEnabled());

    m_prompts.reset();
    m_prompts.queueText(fileName);
    m_prompts.queueYes();
    m_prompts.queueNo(); // append
    w().csvImport->trigger();
    QCOMPARE(m_prompts.shown,
             QStringList({open, question,
                          QStringLiteral("confirm, default No: Sollen die 1 Funktionen der Datei die "
                                         "Funktionsliste ersetzen? Bei Nein werden sie angehängt.")}));
    QCOMPARE(w().items().count(), rows + 1);
    QCOMPARE(w().items().entries().constLast().label, QStringLiteral("Flur"));
    const QByteArray line = "Dimmer DIMMER_" + QByteArray::number(rows + 1) + " \"Flur\"";
    QVERIFY(readBytes(itemsFile).contains(line));

    w().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w()));
    QTest::keyClick(&w(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w().items().count(), rows);
    QCOMPARE(readBytes(itemsFile), before);
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
