#include "bus/busaddress.h"
#include "model/functionlist.h"
#include "model/inifile.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "workspace/projectlock.h"
#include "workspace/workspace.h"

#include "programfolder.h"
#include "programstack.h"
#include "scriptedprompts.h"
#include "undeletablefile.h"

#include <QDirIterator>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString msgNotDeleted = u"error: Das Projekt konnte nicht gelöscht werden."_s;
const QString msgExists = u"error: Projekt bereits vorhanden"_s;
const QString msgInvalidName = u"error: Projekt konnte nicht angelegt werden. Ungültiger Projektname."_s;
const QStringList templateFiles = {u"bticino.items"_s, u"bticino.cfg"_s, u"uuid"_s, u"secret"_s,
                                   u"mqtt.cfg"_s};

} // namespace

class TstWorkspace : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void start_data();
    void start();
    void caseVariantsOpenEachTheirOwn();
    void startReadsInstallationSettings_data();
    void startReadsInstallationSettings();
    void openFailureShowsErrorAndKeepsLastProject();
    void failedOpenLeavesNoProjectOpen();
    void secondWriterIsRefused();

    void create_data();
    void create();
    void createExistingChangesNothing_data();
    void createExistingChangesNothing();
    void createRefusesUnsafeNames_data();
    void createRefusesUnsafeNames();
    void createWithoutProjectsFolder();

    void rename();
    void renameLetterCaseOnly();
    void renameOntoExistingProject_data();
    void renameOntoExistingProject();
    void renameRefusesUnsafeNames_data();
    void renameRefusesUnsafeNames();

    void deleteOpensFirstRemaining();
    void deleteLastProjectLeavesEmptyState();
    void deleteFailureKeepsProject();
    void deleteLinkedProjectKeepsLinkedFiles();

private:
    // Builds a project folder from the templates, as a creation would.
    void makeProject(const QString& name);
    void setSettings(const QByteArray& content);
    QString settingsValue(const QString& key) const;
    Workspace& startWorkspace();
    // Shows what an operation reported through the scripted prompts, as the window does; whether
    // it did what was asked.
    bool shown(const Outcome& outcome);

    std::unique_ptr<TestProgramStack> m_stack;
    ScriptedPrompts m_prompts;
    FunctionList m_lv;
};

void TstWorkspace::init()
{
    m_prompts.reset();
    m_lv.clear();
    m_stack = std::make_unique<TestProgramStack>();
    QVERIFY(m_stack->folder().isValid());
    m_stack->start(QString());
}

void TstWorkspace::cleanup()
{
    QVERIFY(m_prompts.allAnswered());
    m_stack.reset();
}

void TstWorkspace::makeProject(const QString& name)
{
    const QString folder = m_stack->folder().projectsDir() + name + u'/';
    QVERIFY(QDir().mkpath(folder));
    for (const QString& file : templateFiles)
        QVERIFY(QFile::copy(m_stack->folder().configDir() + file, folder + file));
}

void TstWorkspace::setSettings(const QByteArray& content)
{
    QVERIFY(writeBytes(m_stack->folder().configDir() + u"settings.ini"_s, content));
}

QString TstWorkspace::settingsValue(const QString& key) const
{
    return IniFile(m_stack->folder().configDir() + u"settings.ini"_s).value(u"CFG"_s, key, u"<absent>"_s);
}

Workspace& TstWorkspace::startWorkspace()
{
    return m_stack->startWorkspace();
}

bool TstWorkspace::shown(const Outcome& outcome)
{
    m_prompts.show(outcome.notices, m_stack->language());
    return outcome.ok;
}

void TstWorkspace::start_data()
{
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QStringList>("expectedList");
    QTest::addColumn<QString>("expectedOpen");

    const QStringList three = {u"gamma"_s, u"Alpha"_s, u"beta"_s};
    const QStringList sorted = {u"Alpha"_s, u"beta"_s, u"gamma"_s};
    QTest::newRow("empty projects folder")
        << QStringList() << QByteArray("[CFG]\r\n") << QStringList() << QString();
    QTest::newRow("no LastProject: first") << three << QByteArray("[CFG]\r\n") << sorted << u"Alpha"_s;
    QTest::newRow("LastProject") << three << QByteArray("[CFG]\r\nLastProject=beta\r\n") << sorted
                                 << u"beta"_s;
    QTest::newRow("LastProject in other case")
        << three << QByteArray("[CFG]\r\nLastProject=GAMMA\r\n") << sorted << u"gamma"_s;
    QTest::newRow("LastProject gone: first")
        << three << QByteArray("[CFG]\r\nLastProject=Deleted\r\n") << sorted << u"Alpha"_s;
    QTest::newRow("no settings.ini") << three << QByteArray() << sorted << u"Alpha"_s;
    // Written quoted, or the reading rules would take the blank away.
    QTest::newRow("blank at the start of a name") << QStringList{u"Zeta"_s, u" Keller"_s} << QByteArray()
                                                  << QStringList{u" Keller"_s, u"Zeta"_s} << u" Keller"_s;
    // On a case-sensitive file system both spellings can exist; the exact one is the last project.
    const QStringList variants = {u"demo"_s, u"Demo"_s};
    const QStringList variantsSorted = {u"Demo"_s, u"demo"_s};
    for (const QString& last : variants)
        QTest::newRow(qPrintable(u"case variants, LastProject "_s + last))
            << variants << (QByteArray("[CFG]\r\nLastProject=") + last.toUtf8() + "\r\n") << variantsSorted
            << last;
    QTest::newRow("case variants, LastProject in a third case")
        << variants << QByteArray("[CFG]\r\nLastProject=DEMO\r\n") << variantsSorted << u"Demo"_s;
}

// The project list, the project opened first and LastProject after opening it.
void TstWorkspace::start()
{
    QFETCH(QStringList, folders);
    QFETCH(QByteArray, settings);
    QFETCH(QStringList, expectedList);
    QFETCH(QString, expectedOpen);

    for (const QString& name : folders)
        makeProject(name);
    if (settings.isEmpty())
        QVERIFY(QFile::remove(m_stack->folder().configDir() + u"settings.ini"_s));
    else
        setSettings(settings);
    // Neither a file nor a hidden folder is a project.
    QVERIFY(writeBytes(m_stack->folder().projectsDir() + u"notes.txt"_s, "x"));
    QVERIFY(QDir().mkpath(m_stack->folder().projectsDir() + u".hidden"_s));

    Workspace& ws = startWorkspace();
    QCOMPARE(ws.projectsDir(), m_stack->folder().path() + u"projects/"_s);
    QCOMPARE(ws.sCfgDir(), m_stack->folder().path() + u"config/"_s);
    QCOMPARE(ws.projects(), expectedList);
    QCOMPARE(ws.projectCount(), expectedList.size());
    QCOMPARE(ws.selectedProject(), expectedOpen);
    QCOMPARE(ws.selectedIndex(), int(expectedList.indexOf(expectedOpen)));

    const QString lastBefore = settingsValue(u"LastProject"_s);
    QCOMPARE(shown(ws.OpenSelectedProject(m_lv)), !expectedOpen.isEmpty());
    QVERIFY(m_prompts.shown.isEmpty());
    if (expectedOpen.isEmpty()) {
        QCOMPARE(m_lv.count(), 0);
        QCOMPARE(settingsValue(u"LastProject"_s), lastBefore);
        return;
    }
    QCOMPARE(m_stack->openHab().sProj, expectedOpen);
    QCOMPARE(m_stack->openHab().sProjPath, m_stack->folder().projectsDir() + expectedOpen + u'/');
    QCOMPARE(settingsValue(u"LastProject"_s), expectedOpen);
}

// Folders apart only in letter case are two projects: each opens its own files.
void TstWorkspace::caseVariantsOpenEachTheirOwn()
{
    for (const QString& name : {u"Demo"_s, u"demo"_s}) {
        makeProject(name);
        QVERIFY(writeBytes(m_stack->folder().projectsDir() + name + u"/bticino.items"_s,
                           "Group G" + name.toUtf8() + "\r\n"));
    }
    setSettings("[CFG]\r\nLastProject=demo\r\n");
    Workspace& ws = startWorkspace();

    for (const QString& name : {u"demo"_s, u"Demo"_s}) {
        ws.selectProject(int(ws.projects().indexOf(name)));
        QCOMPARE(ws.selectedProject(), name);
        QVERIFY(shown(ws.OpenSelectedProject(m_lv)));
        QCOMPARE(m_stack->openHab().sProjPath, m_stack->folder().projectsDir() + name + u'/');
        QCOMPARE(m_stack->openHab().slGroups, QStringList{u"G"_s + name});
        QCOMPARE(settingsValue(u"LastProject"_s), name);
    }
    QVERIFY(m_prompts.shown.isEmpty());
}

void TstWorkspace::startReadsInstallationSettings_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("cloudServer");
    QTest::addColumn<bool>("scenario");

    QTest::newRow("absent") << QByteArray("[CFG]\r\n") << QString() << false;
    QTest::newRow("Scenario=1") << QByteArray(
                                       "[cfg]\r\nscenario=1\r\nCloudserver=https://lookup.example/\r\n")
                                << u"https://lookup.example/"_s << true;
    QTest::newRow("Scenario=true") << QByteArray("[CFG]\r\nScenario=true\r\n") << QString() << false;
    QTest::newRow("Scenario=0") << QByteArray("[CFG]\r\nScenario=0\r\n") << QString() << false;
}

void TstWorkspace::startReadsInstallationSettings()
{
    QFETCH(QByteArray, settings);
    setSettings(settings);
    const QByteArray before = readBytes(m_stack->folder().configDir() + u"settings.ini"_s);

    Workspace& ws = startWorkspace();
    QTEST(ws.sCloudServer(), "cloudServer");
    QTEST(ws.scenarioEnabled(), "scenario");
    QCOMPARE(readBytes(m_stack->folder().configDir() + u"settings.ini"_s), before);
}

void TstWorkspace::openFailureShowsErrorAndKeepsLastProject()
{
    makeProject(u"Haus"_s);
    QVERIFY(QFile::remove(m_stack->folder().projectsDir() + u"Haus/bticino.items"_s));
    setSettings("[CFG]\r\nLastProject=Other\r\n");

    Workspace& ws = startWorkspace();
    QVERIFY(!shown(ws.OpenSelectedProject(m_lv)));
    QCOMPARE(m_prompts.shown.size(), 1);
    const QString shown = m_prompts.shown.first();
    QVERIFY2(shown.startsWith(u"error: Datei "_s), qPrintable(shown));
    QVERIFY2(shown.contains(u"bticino.items kann nicht geöffnet werden."_s), qPrintable(shown));
    QCOMPARE(settingsValue(u"LastProject"_s), u"Other"_s);
}

// The rows of the project open before must neither show under the failed project's name nor be
// saved into its folder; the name stays selected, and once mended the project opens.
void TstWorkspace::failedOpenLeavesNoProjectOpen()
{
    makeProject(u"Alpha"_s);
    makeProject(u"Haus"_s);
    const QString alpha = m_stack->folder().projectsDir() + u"Alpha/"_s;
    QVERIFY(writeBytes(m_stack->folder().projectsDir() + u"Haus/bticino.items"_s,
                       "Group EG\r\nSwitch SWITCH_1 \"Flur\" <light> (EG) "
                       "{bticino=\"if=webserver;who=1;what=0;where=0112\"}\r\n"));
    setSettings("[CFG]\r\nLastProject=Haus\r\n");
    Workspace& ws = startWorkspace();
    QVERIFY(shown(ws.OpenSelectedProject(m_lv)));
    QCOMPARE(m_lv.count(), 1);

    const QByteArray cfg = readBytes(alpha + u"bticino.cfg"_s);
    QVERIFY(QFile::remove(alpha + u"bticino.cfg"_s));
    const QMap<QString, QByteArray> before = snapshot(alpha);
    ws.selectProject(0);
    QVERIFY(!shown(ws.OpenSelectedProject(m_lv)));
    QCOMPARE(m_prompts.shown.size(), 1);
    QVERIFY2(m_prompts.shown.constFirst().contains(u"bticino.cfg kann nicht geöffnet werden."_s),
             qPrintable(m_prompts.shown.constFirst()));
    QVERIFY(!ws.isProjectOpen());
    QCOMPARE(ws.selectedProject(), u"Alpha"_s);
    QCOMPARE(m_lv.count(), 0);
    QVERIFY(m_stack->openHab().slGroups.isEmpty());
    // A save that slips through still has no folder to write into.
    QVERIFY(!m_stack->openHab().SaveItems(m_lv.entries()).isEmpty());
    QCOMPARE(snapshot(alpha), before);
    QCOMPARE(settingsValue(u"LastProject"_s), u"Haus"_s);

    QVERIFY(writeBytes(alpha + u"bticino.cfg"_s, cfg));
    QVERIFY(shown(ws.OpenSelectedProject(m_lv)));
    QVERIFY(ws.isProjectOpen());
    QCOMPARE(m_stack->openHab().sProjPath, alpha);
}

// A project another writer holds is not opened, and the user learns who holds it; a lock left by a
// process that ended does not count.
void TstWorkspace::secondWriterIsRefused()
{
    makeProject(u"Haus"_s);
    const QString haus = m_stack->folder().projectsDir() + u"Haus/"_s;
    Language language(m_stack->folder().configDir());
    ProjectLock other(language);
    QVERIFY(other.lock(haus));

    Workspace& ws = startWorkspace();
    const QMap<QString, QByteArray> before = snapshot(haus);
    QVERIFY(!shown(ws.OpenSelectedProject(m_lv)));
    QCOMPARE(m_prompts.shown,
             QStringList{u"error: Das Projekt wird gerade bearbeitet: Programmfenster, Prozess %1. Es wurde "
                         "nichts geändert."_s.arg(QCoreApplication::applicationPid())});
    QVERIFY(!ws.isProjectOpen());
    QCOMPARE(snapshot(haus), before);
    // Neither deleting nor renaming gets past the lock.
    QVERIFY(!shown(ws.DeleteProject(m_lv)));
    QVERIFY(!shown(ws.SaveProjectSettings(u"Haus"_s, u"Villa"_s, u"S1"_s, false)));
    QVERIFY(QFileInfo::exists(haus));
    QCOMPARE(snapshot(haus), before);

    // The holder ends without releasing its lock, as a crash would leave it.
    QProcess ended;
    ended.start(u"sleep"_s, {u"0.1"_s});
    QVERIFY(ended.waitForStarted());
    const qint64 pid = ended.processId();
    QVERIFY(ended.waitForFinished());
    other.unlock();
    QVERIFY(writeBytes(haus + ProjectLock::FileName, QByteArray::number(pid) + "\nvaruno-cli\n" +
                                                         QSysInfo::machineHostName().toUtf8() + "\n"));
    m_prompts.reset();
    QVERIFY(shown(ws.OpenSelectedProject(m_lv)));
    QVERIFY(m_prompts.shown.isEmpty());
    // The window now holds it.
    QVERIFY(!other.lock(haus));
}

void TstWorkspace::create_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<bool>("byRooms");
    QTest::addColumn<QString>("expectedSerial");
    QTest::addColumn<QString>("expectedSitemap");

    QTest::newRow("grouped by rooms") << u"VA-1234"_s << true << u"VA-1234"_s << u"2"_s;
    QTest::newRow("grouped by kind") << u"42"_s << false << u"42"_s << u"1"_s;
    QTest::newRow("no serial") << QString() << false << u"<absent>"_s << u"1"_s;
}

void TstWorkspace::create()
{
    QFETCH(QString, serial);
    QFETCH(bool, byRooms);
    makeProject(u"Zeta"_s);
    Workspace& ws = startWorkspace();
    QSignalSpy changed(&ws, &Workspace::projectsChanged);

    QVERIFY(shown(ws.CreateProject(m_lv, u"Neues Haus"_s, serial, byRooms)));
    QVERIFY(m_prompts.shown.isEmpty());

    const QString folder = m_stack->folder().projectsDir() + u"Neues Haus/"_s;
    for (const QString& file : templateFiles)
        QVERIFY2(QFileInfo::exists(folder + file), qPrintable(file));
    const IniFile projectIni(folder + u"project.ini"_s);
    QTEST(projectIni.value(u"CFG"_s, u"SERIAL"_s, u"<absent>"_s), "expectedSerial");
    QTEST(projectIni.value(u"CFG"_s, u"SITEMAP"_s, u"<absent>"_s), "expectedSitemap");

    // The templates carry no cloud identity: opening the new project made one and wrote it.
    QVERIFY(!m_stack->openHab().uuid.isEmpty());
    QVERIFY(!m_stack->openHab().secret.isEmpty());
    QCOMPARE(QString::fromUtf8(readBytes(folder + u"uuid"_s)).trimmed(), m_stack->openHab().uuid);
    QCOMPARE(QString::fromUtf8(readBytes(folder + u"secret"_s)).trimmed(), m_stack->openHab().secret);

    QCOMPARE(ws.projects(), (QStringList{u"Neues Haus"_s, u"Zeta"_s}));
    QCOMPARE(ws.selectedProject(), u"Neues Haus"_s);
    QVERIFY(!changed.isEmpty());
    QCOMPARE(m_stack->openHab().sProj, u"Neues Haus"_s);
    QCOMPARE(settingsValue(u"LastProject"_s), u"Neues Haus"_s);
}

void TstWorkspace::createExistingChangesNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("same spelling") << u"Haus"_s;
    // Two projects apart only in letter case are too easily mistaken for one another.
    QTest::newRow("other letter case") << u"haus"_s;
    QTest::newRow("capitals") << u"HAUS"_s;
}

void TstWorkspace::createExistingChangesNothing()
{
    QFETCH(QString, name);
    makeProject(u"Haus"_s);
    QVERIFY(QFile::remove(m_stack->folder().projectsDir() + u"Haus/mqtt.cfg"_s));
    Workspace& ws = startWorkspace();
    const auto before = snapshot(m_stack->folder().path());

    QVERIFY(!shown(ws.CreateProject(m_lv, name, u"1"_s, false)));
    QCOMPARE(m_prompts.shown, QStringList{msgExists});
    QCOMPARE(snapshot(m_stack->folder().path()), before);
    QCOMPARE(ws.projects(), QStringList{u"Haus"_s});
}

void TstWorkspace::createRefusesUnsafeNames_data()
{
    QTest::addColumn<QString>("name");

    // %1 stands for the program folder: an absolute name must not be taken as a path either.
    for (const QString& name :
         {u":"_s,    u"a:b"_s,       u"?"_s,    u"*"_s,       u"<x>"_s, u"a|b"_s,        u"\"q\""_s,
          u"a\\b"_s, u"tab\tname"_s, u"../x"_s, u"../../x"_s, u"a/b"_s, u"%1absolute"_s, u"."_s,
          u".."_s,   u"x."_s,        u"x "_s,   u".hidden"_s, u"NUL"_s, u"com1.txt"_s})
        QTest::newRow(qPrintable(name)) << name;
}

void TstWorkspace::createRefusesUnsafeNames()
{
    QFETCH(QString, name);
    name.replace(u"%1"_s, m_stack->folder().path());
    makeProject(u"a"_s);
    Workspace& ws = startWorkspace();
    const auto before = snapshot(m_stack->folder().path());
    // "../../x" would land beside the program folder.
    const QString beside = QFileInfo(m_stack->folder().path() + u"../x"_s).absoluteFilePath();
    const bool besideExisted = QFileInfo::exists(beside);

    QVERIFY(!shown(ws.CreateProject(m_lv, name, u"1"_s, false)));
    QCOMPARE(m_prompts.shown, QStringList{msgInvalidName});
    QCOMPARE(snapshot(m_stack->folder().path()), before);
    QCOMPARE(QFileInfo::exists(beside), besideExisted);
    QCOMPARE(ws.projects(), QStringList{u"a"_s});
}

void TstWorkspace::createWithoutProjectsFolder()
{
    QVERIFY(QDir(m_stack->folder().projectsDir()).removeRecursively());
    Workspace& ws = startWorkspace();
    QCOMPARE(ws.projectCount(), 0);

    QVERIFY(!shown(ws.CreateProject(m_lv, u"Haus"_s, u"1"_s, false)));
    QCOMPARE(m_prompts.shown, QStringList{msgInvalidName});
    QVERIFY(!QFileInfo::exists(m_stack->folder().projectsDir()));
    QCOMPARE(ws.projectCount(), 0);

    // An empty name is a cancelled dialog: nothing at all happens.
    m_prompts.reset();
    QVERIFY(!shown(ws.CreateProject(m_lv, QString(), u"1"_s, false)));
    QVERIFY(m_prompts.shown.isEmpty());
}

void TstWorkspace::rename()
{
    makeProject(u"Haus"_s);
    makeProject(u"Garten"_s);
    setSettings("[CFG]\r\nLastProject=Haus\r\n");
    Workspace& ws = startWorkspace();
    QVERIFY(shown(ws.OpenSelectedProject(m_lv)));
    m_lv.append(FunctionEntry());
    QSignalSpy changed(&ws, &Workspace::projectsChanged);

    QVERIFY(shown(ws.SaveProjectSettings(u"Haus"_s, u"Wohnung"_s, u"S-2"_s, true)));
    QVERIFY(m_prompts.shown.isEmpty());
    QVERIFY(!QFileInfo::exists(m_stack->folder().projectsDir() + u"Haus"_s));
    const QString folder = m_stack->folder().projectsDir() + u"Wohnung/"_s;
    for (const QString& file : templateFiles)
        QVERIFY2(QFileInfo::exists(folder + file), qPrintable(file));
    QCOMPARE(ws.projects(), (QStringList{u"Garten"_s, u"Wohnung"_s}));
    QCOMPARE(ws.selectedProject(), u"Wohnung"_s);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(m_stack->openHab().sProjPath, folder);
    QCOMPARE(m_stack->openHab().sProj, u"Wohnung"_s);
    QCOMPARE(settingsValue(u"LastProject"_s), u"Wohnung"_s);
    // The rows are the project's own, only its name changed: no reload.
    QCOMPARE(m_lv.count(), 1);
    const IniFile projectIni(folder + u"project.ini"_s);
    QCOMPARE(projectIni.value(u"CFG"_s, u"SERIAL"_s), u"S-2"_s);
    QCOMPARE(projectIni.value(u"CFG"_s, u"SITEMAP"_s), u"2"_s);
}

void TstWorkspace::renameLetterCaseOnly()
{
    makeProject(u"Haus"_s);
    Workspace& ws = startWorkspace();
    QVERIFY(shown(ws.OpenSelectedProject(m_lv)));

    QVERIFY(shown(ws.SaveProjectSettings(u"Haus"_s, u"HAUS"_s, u"S-3"_s, false)));
    QVERIFY(m_prompts.shown.isEmpty());
    QCOMPARE(QDir(m_stack->folder().projectsDir()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList{u"Haus"_s});
    QCOMPARE(ws.projects(), QStringList{u"Haus"_s});
    QCOMPARE(m_stack->openHab().sProj, u"Haus"_s);
    QCOMPARE(settingsValue(u"LastProject"_s), u"Haus"_s);
    const IniFile projectIni(m_stack->folder().projectsDir() + u"Haus/project.ini"_s);
    QCOMPARE(projectIni.value(u"CFG"_s, u"SERIAL"_s), u"S-3"_s);
    QCOMPARE(projectIni.value(u"CFG"_s, u"SITEMAP"_s), u"1"_s);
}

void TstWorkspace::renameOntoExistingProject_data()
{
    QTest::addColumn<QString>("newName");
    QTest::newRow("same spelling") << u"Garten"_s;
    QTest::newRow("other letter case") << u"gARTEN"_s;
}

void TstWorkspace::renameOntoExistingProject()
{
    QFETCH(QString, newName);
    makeProject(u"Haus"_s);
    makeProject(u"Garten"_s);
    QVERIFY(writeBytes(m_stack->folder().projectsDir() + u"Haus/project.ini"_s, "[CFG]\r\nSERIAL=old\r\n"));
    setSettings("[CFG]\r\nLastProject=Haus\r\n");
    Workspace& ws = startWorkspace();
    QVERIFY(shown(ws.OpenSelectedProject(m_lv)));
    const auto before = snapshot(m_stack->folder().path());

    QVERIFY(!shown(ws.SaveProjectSettings(u"Haus"_s, newName, u"new"_s, true)));
    QCOMPARE(m_prompts.shown, QStringList{msgExists});
    QCOMPARE(snapshot(m_stack->folder().path()), before);
    QCOMPARE(ws.projects(), (QStringList{u"Garten"_s, u"Haus"_s}));
    QCOMPARE(ws.selectedProject(), u"Haus"_s);
    QCOMPARE(m_stack->openHab().sProj, u"Haus"_s);
}

void TstWorkspace::renameRefusesUnsafeNames_data()
{
    createRefusesUnsafeNames_data();
}

void TstWorkspace::renameRefusesUnsafeNames()
{
    QFETCH(QString, name);
    name.replace(u"%1"_s, m_stack->folder().path());
    makeProject(u"Haus"_s);
    Workspace& ws = startWorkspace();
    QVERIFY(shown(ws.OpenSelectedProject(m_lv)));
    const auto before = snapshot(m_stack->folder().path());

    QVERIFY(!shown(ws.SaveProjectSettings(u"Haus"_s, name, u"1"_s, false)));
    QCOMPARE(m_prompts.shown, QStringList{msgInvalidName});
    QCOMPARE(snapshot(m_stack->folder().path()), before);
    QCOMPARE(ws.projects(), QStringList{u"Haus"_s});
    QCOMPARE(m_stack->openHab().sProj, u"Haus"_s);
}

void TstWorkspace::deleteOpensFirstRemaining()
{
    for (const QString& name : {u"Alpha"_s, u"Beta"_s, u"Gamma"_s})
        makeProject(name);
    setSettings("[CFG]\r\nLastProject=Beta\r\n");
    Workspace& ws = startWorkspace();
    QVERIFY(shown(ws.OpenSelectedProject(m_lv)));

    QVERIFY(shown(ws.DeleteProject(m_lv)));
    QVERIFY(m_prompts.shown.isEmpty());
    QVERIFY(!QFileInfo::exists(m_stack->folder().projectsDir() + u"Beta"_s));
    QCOMPARE(ws.projects(), (QStringList{u"Alpha"_s, u"Gamma"_s}));
    QCOMPARE(ws.selectedProject(), u"Alpha"_s);
    QCOMPARE(m_stack->openHab().sProj, u"Alpha"_s);
    QCOMPARE(settingsValue(u"LastProject"_s), u"Alpha"_s);
}

void TstWorkspace::deleteLastProjectLeavesEmptyState()
{
    makeProject(u"Haus"_s);
    Workspace& ws = startWorkspace();
    QVERIFY(shown(ws.OpenSelectedProject(m_lv)));
    m_lv.append(FunctionEntry());
    m_stack->openHab().slGroups = QStringList{u"Keller"_s};
    QSignalSpy changed(&ws, &Workspace::projectsChanged);

    QVERIFY(shown(ws.DeleteProject(m_lv)));
    QVERIFY(m_prompts.shown.isEmpty());
    QVERIFY(!QFileInfo::exists(m_stack->folder().projectsDir() + u"Haus"_s));
    QCOMPARE(ws.projectCount(), 0);
    QCOMPARE(ws.selectedIndex(), -1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(m_lv.count(), 0);
    QVERIFY(m_stack->openHab().slGroups.isEmpty());
    QVERIFY(m_stack->openHab().sProjPath.isEmpty());
    QVERIFY(m_stack->openHab().sProj.isEmpty());
    QVERIFY(!shown(ws.OpenSelectedProject(m_lv)));
    QVERIFY(!shown(ws.DeleteProject(m_lv)));
    QVERIFY(m_prompts.shown.isEmpty());
}

void TstWorkspace::deleteFailureKeepsProject()
{
    makeProject(u"Alpha"_s);
    makeProject(u"Haus"_s);
    setSettings("[CFG]\r\nLastProject=Haus\r\n");
    const QString locked = m_stack->folder().projectsDir() + u"Haus/backup/held.txt"_s;
    QVERIFY(writeBytes(locked, "x"));
    UndeletableFile guard(locked);
    if (!guard.isActive())
        QSKIP("no way to make a file undeletable here (root without chattr)");

    Workspace& ws = startWorkspace();
    QVERIFY(shown(ws.OpenSelectedProject(m_lv)));
    QVERIFY(!shown(ws.DeleteProject(m_lv)));
    QCOMPARE(m_prompts.shown, QStringList{msgNotDeleted});
    QVERIFY(QFileInfo::exists(locked));
    // What could go, went.
    QVERIFY(!QFileInfo::exists(m_stack->folder().projectsDir() + u"Haus/bticino.items"_s));
    QCOMPARE(ws.projects(), (QStringList{u"Alpha"_s, u"Haus"_s}));
    QCOMPARE(ws.selectedProject(), u"Haus"_s);
    QCOMPARE(m_stack->openHab().sProj, u"Haus"_s);
}

void TstWorkspace::deleteLinkedProjectKeepsLinkedFiles()
{
    const QString elsewhere = m_stack->folder().path() + u"elsewhere/"_s;
    QVERIFY(writeBytes(elsewhere + u"bticino.items"_s, "//Gruppen\r\n"));
    QVERIFY(QFile::link(elsewhere, m_stack->folder().projectsDir() + u"Linked"_s));
    makeProject(u"Zeta"_s);
    Workspace& ws = startWorkspace();
    QCOMPARE(ws.selectedProject(), u"Linked"_s);

    QVERIFY(shown(ws.DeleteProject(m_lv)));
    QVERIFY(!QFileInfo(m_stack->folder().projectsDir() + u"Linked"_s).isSymLink());
    QVERIFY(QFileInfo::exists(elsewhere + u"bticino.items"_s));
    QCOMPARE(ws.projects(), QStringList{u"Zeta"_s});
}

QTEST_GUILESS_MAIN(TstWorkspace)
#include "tst_workspace.moc"
