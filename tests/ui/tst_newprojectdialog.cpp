#include "modaldialog.h"
#include "model/functionlist.h"
#include "model/projectini.h"
#include "openhab/openhabgenerator.h"
#include "programfolder.h"
#include "scriptedprompts.h"
#include "ui/mainwindow.h"
#include "ui/newprojectdialog.h"
#include "ui/startup.h"
#include "ui/toggleswitch.h"
#include "undeletablefile.h"
#include "workspace/settings.h"
#include "workspace/workspace.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString demo = u"" VARUNO_DEMO_DIR "/Demo"_s;
const QString msgNoName = u"error: Bitte Projektname eingeben"_s;
const QString msgNoSerial = u"error: Bitte Seriennummer eingeben"_s;
const QString msgExists = u"error: Projekt bereits vorhanden"_s;
const QString msgInvalidName = u"error: Projekt konnte nicht angelegt werden. Ungültiger Projektname."_s;
const QString msgNotDeleted = u"error: Das Projekt konnte nicht gelöscht werden."_s;

QString askDelete(const QString& name)
{
    // Deleting asks with No as the button Enter presses.
    return u"confirm, default No: Wollen Sie das Projekt \""_s + name + u"\" wirklich löschen?"_s;
}

} // namespace

// The project dialog, opened from the main window's buttons as the user opens it. Two projects
// exist: Alpha (no SITEMAP, no serial) and Demo (serial, SITEMAP=1); Demo is open. Each test's steps
// run inside the dialog's modal loop; a dialog they leave open is closed after them.
class ProjectDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newModeChecksTheInput_data();
    void newModeChecksTheInput();
    void newProjectIsCreatedByTheMainWindow_data();
    void newProjectIsCreatedByTheMainWindow();
    void newProjectRefusedAfterTheDialog_data();
    void newProjectRefusedAfterTheDialog();
    void cancelCreatesNothing();
    void editShowsTheOpenProject_data();
    void editShowsTheOpenProject();
    void editChecksTheInput_data();
    void editChecksTheInput();
    void editSavesSerialAndLayout();
    void editRenames();
    void editRenameRefusedKeepsTheDialogOpen();
    void editClosedStoresNothing();
    void deleteAnsweredNo();
    void deleteAnsweredYes();
    void deleteFailureClosesTheDialog();
    void toggleCarriesOverToNewMode();

private:
    NewProjectDialog& dlg() { return *m_startup->program().newProjectDialog; }
    MainWindow& w() { return m_startup->mainWindow(); }
    Workspace& ws() { return *m_startup->program().workspace; }
    QString projectDir(const QString& name) const { return m_folder->projectsDir() + name + u'/'; }
    void open(const QString& name);
    // Presses the button of the main window that opens the dialog and runs steps while it is open.
    void press(QPushButton* button, const std::function<void()>& steps);
    void type(const QString& name, const QString& serial);

    std::unique_ptr<TestProgramFolder> m_folder;
    ScriptedPrompts m_prompts;
    std::unique_ptr<Startup> m_startup;
};

void ProjectDialogTest::init()
{
    m_folder = std::make_unique<TestProgramFolder>();
    QVERIFY(m_folder->addProject(demo, u"Demo"_s));
    QVERIFY(m_folder->addProject(demo, u"Alpha"_s));
    QVERIFY(QFile::remove(projectDir(u"Alpha"_s) + u"project.ini"_s));
    QVERIFY(Settings(m_folder->configDir() + u"settings.ini"_s).setLanguage(u"Deutsch"_s));
    QVERIFY(Settings(m_folder->configDir() + u"settings.ini"_s).setLastProject(u"Demo"_s));
    m_prompts.reset();
    m_startup = std::make_unique<Startup>(m_folder->path(), m_prompts);
    w().show();
    QCOMPARE(m_startup->program().openHab.sProj, u"Demo"_s);
}

void ProjectDialogTest::cleanup()
{
    QVERIFY2(m_prompts.allAnswered(), "an answer was queued but never asked for");
    m_startup.reset();
    m_folder.reset();
}

void ProjectDialogTest::open(const QString& name)
{
    const int index = w().cbProj->findText(name);
    w().cbProj->setCurrentIndex(index);
    emit w().cbProj->activated(index);
    QCOMPARE(m_startup->program().openHab.sProj, name);
}

void ProjectDialogTest::press(QPushButton* button, const std::function<void()>& steps)
{
    whileModal(
        dlg(), [button] { button->click(); },
        [this, steps] {
            QVERIFY(dlg().isVisible());
            steps();
        });
    QVERIFY(!dlg().isVisible());
}

void ProjectDialogTest::type(const QString& name, const QString& serial)
{
    dlg().edName->setText(name);
    dlg().edSerial->setText(serial);
}

void ProjectDialogTest::newModeChecksTheInput_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("shown");

    QTest::newRow("both empty") << QString() << QString() << msgNoName;
    QTest::newRow("serial only") << QString() << u"VAR-1"_s << msgNoName;
    QTest::newRow("name only") << u"Haus"_s << QString() << msgNoSerial;
}

void ProjectDialogTest::newModeChecksTheInput()
{
    QFETCH(QString, name);
    QFETCH(QString, serial);
    QFETCH(QString, shown);

    press(w().btnNewProject, [&] {
        type(name, serial);
        dlg().btnOK->click();
        QVERIFY(dlg().isVisible());
        QCOMPARE(dlg().edName->text(), name);
        QCOMPARE(dlg().edSerial->text(), serial);
        dlg().btnCancel->click();
    });
    QCOMPARE(m_prompts.shown, QStringList{shown});
    QCOMPARE(ws().projects(), (QStringList{u"Alpha"_s, u"Demo"_s}));
}

void ProjectDialogTest::newProjectIsCreatedByTheMainWindow_data()
{
    QTest::addColumn<bool>("byRooms");
    QTest::addColumn<QByteArray>("sitemap");

    QTest::newRow("by kind") << false << QByteArray("1");
    QTest::newRow("by rooms") << true << QByteArray("2");
}

void ProjectDialogTest::newProjectIsCreatedByTheMainWindow()
{
    QFETCH(bool, byRooms);
    QFETCH(QByteArray, sitemap);

    press(w().btnNewProject, [&] {
        QCOMPARE(dlg().windowTitle(), u"Neues Projekt"_s);
        QVERIFY(dlg().btnOK->isVisible() && dlg().btnCancel->isVisible());
        QVERIFY(!dlg().btnSave->isVisible() && !dlg().btnDel->isVisible());
        type(u"Ferienhaus"_s, u"VAR-0042"_s);
        dlg().tsSitemap->setChecked(byRooms);
        dlg().btnOK->click();
    });
    QVERIFY(m_prompts.shown.isEmpty());
    QCOMPARE(dlg().sName, u"Ferienhaus"_s);
    QCOMPARE(dlg().sSerial, u"VAR-0042"_s);
    QCOMPARE(ws().projects(), (QStringList{u"Alpha"_s, u"Demo"_s, u"Ferienhaus"_s}));
    QCOMPARE(w().cbProj->currentText(), u"Ferienhaus"_s);
    QCOMPARE(m_startup->program().openHab.sProj, u"Ferienhaus"_s);
    QCOMPARE(readBytes(projectDir(u"Ferienhaus"_s) + u"project.ini"_s),
             "[CFG]\r\nSERIAL=VAR-0042\r\nSITEMAP=" + sitemap + "\r\n");
}

// Only emptiness is judged in the dialog; the creation refuses the rest after it closed.
void ProjectDialogTest::newProjectRefusedAfterTheDialog_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");

    QTest::newRow("existing") << u"Alpha"_s << msgExists;
    QTest::newRow("unusable") << u"Haus: neu?"_s << msgInvalidName;
}

void ProjectDialogTest::newProjectRefusedAfterTheDialog()
{
    QFETCH(QString, name);
    QFETCH(QString, shown);

    press(w().btnNewProject, [&] {
        type(name, u"VAR-1"_s);
        dlg().btnOK->click();
        QVERIFY(!dlg().isVisible());
        QVERIFY(m_prompts.shown.isEmpty());
    });
    QCOMPARE(m_prompts.shown, QStringList{shown});
    QCOMPARE(ws().projects(), (QStringList{u"Alpha"_s, u"Demo"_s}));
    QCOMPARE(ws().selectedProject(), u"Demo"_s);
}

void ProjectDialogTest::cancelCreatesNothing()
{
    press(w().btnNewProject, [this] {
        type(u"Ferienhaus"_s, u"VAR-0042"_s);
        dlg().btnCancel->click();
    });
    QVERIFY(dlg().sName.isEmpty());
    QVERIFY(dlg().sSerial.isEmpty());
    QVERIFY(m_prompts.shown.isEmpty());
    QCOMPARE(ws().projects(), (QStringList{u"Alpha"_s, u"Demo"_s}));

    // Opening it again starts empty, although the last opening was cancelled with input.
    press(w().btnNewProject, [this] {
        QVERIFY(dlg().edName->text().isEmpty());
        QVERIFY(dlg().edSerial->text().isEmpty());
    });
}

void ProjectDialogTest::editShowsTheOpenProject_data()
{
    QTest::addColumn<QString>("project");
    QTest::addColumn<QByteArray>("projectIni");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<bool>("byRooms");

    QTest::newRow("no project.ini") << u"Alpha"_s << QByteArray() << QString() << false;
    QTest::newRow("no SITEMAP") << u"Alpha"_s << QByteArray("[CFG]\r\nSERIAL=VAR-7\r\n") << u"VAR-7"_s
                                << false;
    QTest::newRow("SITEMAP 1") << u"Demo"_s << QByteArray() << u"VAR-DEMO-0001"_s << false;
    QTest::newRow("SITEMAP 2") << u"Alpha"_s << QByteArray("[CFG]\r\nSITEMAP=2\r\n") << QString() << true;
    QTest::newRow("SITEMAP 0") << u"Alpha"_s << QByteArray("[CFG]\r\nSITEMAP=0\r\n") << QString() << true;
}

void ProjectDialogTest::editShowsTheOpenProject()
{
    QFETCH(QString, project);
    QFETCH(QByteArray, projectIni);
    QFETCH(QString, serial);
    QFETCH(bool, byRooms);

    if (!projectIni.isEmpty())
        QVERIFY(writeBytes(projectDir(project) + u"project.ini"_s, projectIni));
    open(project);
    // The toggle starts in the other state, so the dialog has to set it.
    dlg().tsSitemap->setChecked(!byRooms);

    press(w().btnEditProject, [&] {
        QCOMPARE(dlg().windowTitle(), u"Projekt bearbeiten"_s);
        QVERIFY(dlg().btnSave->isVisible() && dlg().btnDel->isVisible() && dlg().btnCancel->isVisible());
        QVERIFY(!dlg().btnOK->isVisible());
        // Abbrechen stands where it stands in the new mode, deleting apart from it.
        QVERIFY(dlg().btnDel->x() < dlg().btnSave->x() && dlg().btnSave->x() < dlg().btnCancel->x());
        QCOMPARE(dlg().edName->text(), project);
        QCOMPARE(dlg().edSerial->text(), serial);
        QCOMPARE(dlg().sName, project);
        QCOMPARE(dlg().sSerial, serial);
        QCOMPARE(dlg().tsSitemap->isChecked(), byRooms);
        QCOMPARE(dlg().tsSitemap->caption(),
                 byRooms ? u"gruppieren nach Räumen/Gruppen"_s : u"gruppieren nach Schalter-Art"_s);
    });
}

void ProjectDialogTest::editChecksTheInput_data()
{
    newModeChecksTheInput_data();
}

void ProjectDialogTest::editChecksTheInput()
{
    QFETCH(QString, name);
    QFETCH(QString, serial);
    QFETCH(QString, shown);
    const QByteArray projectIni = readBytes(projectDir(u"Demo"_s) + u"project.ini"_s);

    press(w().btnEditProject, [&] {
        type(name, serial);
        dlg().btnSave->click();
        QVERIFY(dlg().isVisible());
    });
    QCOMPARE(m_prompts.shown, QStringList{shown});
    QCOMPARE(readBytes(projectDir(u"Demo"_s) + u"project.ini"_s), projectIni);
}

void ProjectDialogTest::editSavesSerialAndLayout()
{
    QTimer::singleShot(0, &dlg(), [this] {
        dlg().edSerial->setText(u"VAR-NEU"_s);
        dlg().tsSitemap->setChecked(true);
        dlg().btnSave->click();
    });
    const bool saved = dlg().Edit();

    QVERIFY(saved);
    QVERIFY(m_prompts.shown.isEmpty());
    const ProjectIni projectIni(projectDir(u"Demo"_s));
    QCOMPARE(projectIni.Serial(), u"VAR-NEU"_s);
    QVERIFY(projectIni.GroupByRooms());
    QCOMPARE(projectIni.IP(), u"127.0.0.1"_s);
    QCOMPARE(ws().projects(), (QStringList{u"Alpha"_s, u"Demo"_s}));
    QCOMPARE(w().cbProj->currentText(), u"Demo"_s);
}

void ProjectDialogTest::editRenames()
{
    const int rows = w().items().count();
    press(w().btnEditProject, [this] {
        dlg().edName->setText(u"Zuhause"_s);
        dlg().btnSave->click();
    });
    QVERIFY(m_prompts.shown.isEmpty());
    QVERIFY(!QFileInfo::exists(projectDir(u"Demo"_s)));
    QCOMPARE(ProjectIni(projectDir(u"Zuhause"_s)).Serial(), u"VAR-DEMO-0001"_s);
    QCOMPARE(ws().projects(), (QStringList{u"Alpha"_s, u"Zuhause"_s}));
    QCOMPARE(w().cbProj->currentText(), u"Zuhause"_s);
    QCOMPARE(m_startup->program().openHab.sProjPath, projectDir(u"Zuhause"_s));
    QCOMPARE(w().items().count(), rows);
}

void ProjectDialogTest::editRenameRefusedKeepsTheDialogOpen()
{
    press(w().btnEditProject, [this] {
        dlg().edName->setText(u"Alpha"_s);
        dlg().edSerial->setText(u"VAR-NEU"_s);
        dlg().btnSave->click();
        QVERIFY(dlg().isVisible());
        QCOMPARE(dlg().edName->text(), u"Alpha"_s);
    });
    QCOMPARE(m_prompts.shown, QStringList{msgExists});
    QCOMPARE(ProjectIni(projectDir(u"Demo"_s)).Serial(), u"VAR-DEMO-0001"_s);
    QCOMPARE(ws().projects(), (QStringList{u"Alpha"_s, u"Demo"_s}));
}

void ProjectDialogTest::editClosedStoresNothing()
{
    const QByteArray projectIni = readBytes(projectDir(u"Demo"_s) + u"project.ini"_s);
    QTimer::singleShot(0, &dlg(), [this] {
        type(u"Zuhause"_s, u"VAR-NEU"_s);
        dlg().tsSitemap->setChecked(true);
        dlg().close();
    });
    const bool saved = dlg().Edit();

    QVERIFY(!saved);
    QCOMPARE(readBytes(projectDir(u"Demo"_s) + u"project.ini"_s), projectIni);
    QCOMPARE(ws().projects(), (QStringList{u"Alpha"_s, u"Demo"_s}));
}

void ProjectDialogTest::deleteAnsweredNo()
{
    m_prompts.queueNo();
    press(w().btnEditProject, [this] {
        dlg().btnDel->click();
        QVERIFY(dlg().isVisible());
    });
    QCOMPARE(m_prompts.shown, QStringList{askDelete(u"Demo"_s)});
    QVERIFY(QFileInfo::exists(projectDir(u"Demo"_s) + u"bticino.items"_s));
    QCOMPARE(ws().projects(), (QStringList{u"Alpha"_s, u"Demo"_s}));
}

void ProjectDialogTest::deleteAnsweredYes()
{
    m_prompts.queueYes();
    QTimer::singleShot(0, &dlg(), [this] { dlg().btnDel->click(); });
    const bool saved = dlg().Edit();

    QVERIFY(!saved);
    QCOMPARE(m_prompts.shown, QStringList{askDelete(u"Demo"_s)});
    QVERIFY(!QFileInfo::exists(projectDir(u"Demo"_s)));
    QCOMPARE(ws().projects(), QStringList{u"Alpha"_s});
    QCOMPARE(w().cbProj->currentText(), u"Alpha"_s);
    QCOMPARE(m_startup->program().openHab.sProj, u"Alpha"_s);
}

void ProjectDialogTest::deleteFailureClosesTheDialog()
{
    const QString held = projectDir(u"Demo"_s) + u"backup/held.txt"_s;
    QVERIFY(writeBytes(held, "x"));
    UndeletableFile guard(held);
    if (!guard.isActive())
        QSKIP("no way to make a file undeletable here");

    m_prompts.queueYes();
    press(w().btnEditProject, [this] { dlg().btnDel->click(); });
    QCOMPARE(m_prompts.shown, (QStringList{askDelete(u"Demo"_s), msgNotDeleted}));
    QCOMPARE(ws().projects(), (QStringList{u"Alpha"_s, u"Demo"_s}));
    QCOMPARE(ws().selectedProject(), u"Demo"_s);
}

// The toggle keeps the state of the last opening: after editing a project grouped by rooms, a new
// project starts grouped by rooms too.
void ProjectDialogTest::toggleCarriesOverToNewMode()
{
    QVERIFY(writeBytes(projectDir(u"Alpha"_s) + u"project.ini"_s, "[CFG]\r\nSITEMAP=2\r\n"));
    open(u"Alpha"_s);
    press(w().btnEditProject, [this] { QVERIFY(dlg().tsSitemap->isChecked()); });

    press(w().btnNewProject, [this] {
        QVERIFY(dlg().tsSitemap->isChecked());
        type(u"Neubau"_s, u"VAR-9"_s);
        dlg().btnOK->click();
    });
    QVERIFY(dlg().sitemapByRooms());
    QVERIFY(ProjectIni(projectDir(u"Neubau"_s)).GroupByRooms());
}

QTEST_MAIN(ProjectDialogTest)
#include "tst_newprojectdialog.moc"
