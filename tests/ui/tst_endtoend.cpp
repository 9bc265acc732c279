#include "freeport.h"
#include "modaldialog.h"
#include "model/functionentry.h"
#include "model/functionlist.h"
#include "model/projectini.h"
#include "openhab/openhabgenerator.h"
#include "programfolder.h"
#include "scriptedprompts.h"
#include "ui/functioneditor.h"
#include "ui/groupeditor.h"
#include "ui/mainwindow.h"
#include "ui/newprojectdialog.h"
#include "ui/settingsdialog.h"
#include "ui/startup.h"
#include "ui/toggleswitch.h"
#include "ui/transferdialog.h"
#include "workspace/settings.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString simulatorScript = u"" VARUNO_TESTS_DIR "/../tools/gateway-simulator"_s;

// The project files with the folder the gateway keeps each in; the first seven travel both ways.
const QList<QPair<QString, QString>> gatewayFiles = {
    {u"bticino.cfg"_s, u"var/lib/docker/volumes/openhab_conf/_data/services/"_s},
    {u"bticino.items"_s, u"var/lib/docker/volumes/openhab_conf/_data/items/"_s},
    {u"openhabcloud.cfg"_s, u"var/lib/docker/volumes/openhab_conf/_data/services/"_s},
    {u"bticino.rules"_s, u"var/lib/docker/volumes/openhab_conf/_data/rules/"_s},
    {u"bticino.sitemap"_s, u"var/lib/docker/volumes/openhab_conf/_data/sitemaps/"_s},
    {u"uuid"_s, u"var/lib/docker/volumes/openhab_userdata/_data/"_s},
    {u"secret"_s, u"var/lib/docker/volumes/openhab_userdata/_data/openhabcloud/"_s},
    {u"homekit.cfg"_s, u"var/lib/docker/volumes/openhab_conf/_data/services/"_s},
    {u"mqtt.cfg"_s, u"var/lib/docker/volumes/openhab_conf/_data/services/"_s},
};
constexpr int sharedFiles = 7;

// What the gateway gets of a project file: its lines without the program's restart flag, joined
// with CR LF, without empty lines at the start and without a line break at the end.
QByteArray sentText(const QByteArray& file)
{
    QList<QByteArray> lines = file.split('\n');
    if (file.endsWith('\n'))
        lines.removeLast();
    QByteArray text;
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith("#reboot"))
            continue;
        if (!text.isEmpty())
            text += "\r\n";
        text += line;
    }
    return text;
}

// The gateway simulator on a free loopback port, mirroring the sent files below a folder of its
// own; stopped when the object goes.
class GatewaySimulator
{
public:
    ~GatewaySimulator() { stop(); }

    // Empty on success, else why it did not start.
    QString start()
    {
        QString failure;
        const bool started = StartOnFreePort([this, &failure](quint16 port) {
            m_port = port;
            m_process.setProcessChannelMode(QProcess::MergedChannels);
            m_process.start(u"python3"_s, {simulatorScript, m_mirror.path(), u"--port"_s,
                                           QString::number(port), u"--interval"_s, u"0.05"_s});
            QByteArray output;
            while (m_process.waitForReadyRead(10000)) {
                output += m_process.readAll();
                if (output.contains("ready on"))
                    return true;
            }
            failure =
                u"gateway simulator did not start: "_s + QString::fromLocal8Bit(output + m_process.readAll());
            stop();
            return false;
        });
        return started ? QString() : failure;
    }

    quint16 port() const { return m_port; }
    QByteArray mirrored(const QString& dir, const QString& name) const
    {
        return readBytes(m_mirror.path() + u'/' + dir + name);
    }

private:
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }

    QTemporaryDir m_mirror;
    QProcess m_process;
    quint16 m_port = 0;
};

// One function as the user enters it in the function editor.
struct FunctionInput
{
    QToolButton* FunctionEditor::*kindButton;
    QString label;
    QString address;
    QString key;
    bool voice;
};

} // namespace

// The whole road through the real windows: a new project, a function of every kind, the server
// settings, a send to the gateway simulator and a receive back into the project.
class EndToEndTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void projectToGatewayAndBack();

private:
    Program& program() { return m_startup->program(); }
    MainWindow& w() { return m_startup->mainWindow(); }
    QString projectFile(const QString& name) const { return m_folder.projectsDir() + u"Haus/"_s + name; }
    // Runs steps inside the modal loop of dialog, which open() shows.
    static void whileOpen(QDialog* dialog, const std::function<void()>& open,
                          const std::function<void()>& steps);

    void createProject();
    void addGroup(const QString& name);
    void addFunction(const FunctionInput& input);
    void addGroupScene(const QString& group);
    void setServerSettings();
    void transfer(QPushButton* mainButton, TransferMode mode);
    void checkMirror();

    TestProgramFolder m_folder;
    ScriptedPrompts m_prompts;
    std::unique_ptr<Startup> m_startup;
    GatewaySimulator m_gateway;
};

void EndToEndTest::initTestCase()
{
    QVERIFY(m_folder.isValid());
    QVERIFY(Settings(m_folder.configDir() + u"settings.ini"_s).setLanguage(u"Deutsch"_s));
    const QString failure = m_gateway.start();
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    m_startup = std::make_unique<Startup>(m_folder.path(), m_prompts);
    w().show();
}

void EndToEndTest::cleanupTestCase()
{
    m_startup.reset();
}

void EndToEndTest::whileOpen(QDialog* dialog, const std::function<void()>& open,
                             const std::function<void()>& steps)
{
    whileModal(*dialog, open, [dialog, steps] {
        QVERIFY(dialog->isVisible());
        steps();
    });
    QVERIFY(!dialog->isVisible());
}

void EndToEndTest::createProject()
{
    NewProjectDialog* dlg = program().newProjectDialog;
    whileOpen(
        dlg, [this] { w().btnNewProject->click(); },
        [dlg] {
            dlg->edName->setText(u"Haus"_s);
            dlg->edSerial->setText(u"VAR-4711"_s);
            dlg->tsSitemap->setChecked(true);
            dlg->btnOK->click();
        });
    QCOMPARE(w().cbProj->currentText(), u"Haus"_s);
    QCOMPARE(program().openHab.sProj, u"Haus"_s);
    QVERIFY(w().btnSend->isEnabled());
}

// Through the function editor's button, as the user reaches the group editor.
void EndToEndTest::addGroup(const QString& name)
{
    FunctionEditor* item = program().functionEditor;
    GroupEditor* groups = program().groupEditor;
    m_prompts.queueText(name);
    whileOpen(
        item, [this, item] { item->DoAdd(w().items()); },
        [item, groups] {
            whileOpen(
                groups, [item] { item->btnGroups->click(); },
                [groups] {
                    groups->btnAdd->click();
                    groups->btnSave->click();
                });
            item->btnClose->click();
        });
    QVERIFY(program().openHab.slGroups.contains(name));
    QCOMPARE(m_prompts.shown, QStringList{u"prompt: Gruppe hinzufügen / Gruppenbezeichnung"_s});
    m_prompts.reset();
}

void EndToEndTest::addFunction(const FunctionInput& input)
{
    FunctionEditor* item = program().functionEditor;
    const int rows = w().items().count();
    whileOpen(
        item, [this] { w().btnAddItem->click(); },
        [item, &input] {
            (item->*input.kindButton)->click();
            item->edBez->setText(input.label);
            item->tsSprache->setChecked(input.voice);
            item->edAdresse->setText(input.address);
            item->edCENKey->setText(input.key);
            for (int row = 0; row < item->lbGruppe->count(); ++row)
                item->lbGruppe->item(row)->setCheckState(Qt::Checked);
            item->btnSave->click();
        });
    QCOMPARE(m_prompts.shown, QStringList());
    QCOMPARE(w().items().count(), rows + 1);
    QCOMPARE(w().items().entries().constLast().label, input.label);
}

void EndToEndTest::addGroupScene(const QString& group)
{
    FunctionEditor* item = program().functionEditor;
    whileOpen(
        item, [this] { w().btnAddItem->click(); },
        [item, &group] {
            item->btnGruppe->click();
            item->edBez->setText(u"Alles im "_s + group);
            item->tsSprache->setChecked(true);
            item->cbSzene->setCurrentIndex(item->cbSzene->findText(group));
            item->btnSave->click();
        });
    QCOMPARE(m_prompts.shown, QStringList());
    QCOMPARE(w().items().entries().constLast().kind, int(FunctionEntry::GroupScene));
}

void EndToEndTest::setServerSettings()
{
    SettingsDialog* dlg = program().settingsDialog;
    whileOpen(
        dlg, [this] { w().btnSettings->click(); },
        [dlg] {
            dlg->edAdr->setText(u"192.168.1.35"_s);
            dlg->edPort->setText(u"20000"_s);
            dlg->edPass->setText(u"4711"_s);
            dlg->edRescan->setText(u"600"_s);
            dlg->tsSetTime->setChecked(true);
            dlg->btnSave->click();
        });
    QCOMPARE(m_prompts.shown.size(), 1);
    QVERIFY(m_prompts.shown.constFirst().startsWith(u"information: Hinweis: Zeitsynchronisation"_s));
    QVERIFY(program().openHab.reboot);
    m_prompts.reset();
}

void EndToEndTest::transfer(QPushButton* mainButton, TransferMode mode)
{
    TransferDialog* dlg = program().transferDialog;
    TransferSettings settings;
    settings.storePort = m_gateway.port();
    // No bus server on loopback: the check answers "none" at once, and the user goes on.
    settings.busServerWaitMs = 0;
    settings.busServerPauseMs = 0;
    dlg->setTransferSettings(settings);
    const bool sending = mode == TransferMode::Send;
    // A send first asks with what it changes; the gateway holds nothing of the new project yet.
    if (sending)
        m_prompts.queueYes();
    m_prompts.queueYes();

    whileOpen(
        dlg, [mainButton] { mainButton->click(); },
        [dlg, mode] {
            QCOMPARE(dlg->lblSerial->text(), u"Seriennummer: VAR-4711"_s);
            dlg->edIP->setText(u"127.0.0.1"_s);
            (mode == TransferMode::Send ? dlg->btnSend : dlg->btnReceive)->click();
            QCOMPARE(dlg->lblProgress->text(), u"Datenübertragung erfolgreich!"_s);
            dlg->btnClose->click();
        });
    QStringList asked{u"confirm, default No: Es konnte kein BTicino-Server unter der IP 192.168.1.35 "
                      u"gefunden werden! Wollen Sie die Konfiguration trotzdem senden?"_s};
    if (sending)
        asked.prepend(u"confirm: 6 neu, 0 geändert, 0 entfernt\nGeänderte Dateien: bticino.cfg, "
                      u"bticino.items, bticino.rules, bticino.sitemap, homekit.cfg, mqtt.cfg, "
                      u"openhabcloud.cfg, secret, uuid\n\nKonfiguration senden?"_s);
    QCOMPARE(m_prompts.shown, asked);
    m_prompts.reset();
    QCOMPARE(ProjectIni(program().openHab.sProjPath).IP(), u"127.0.0.1"_s);
}

void EndToEndTest::checkMirror()
{
    for (const auto& [name, dir] : gatewayFiles) {
        const QByteArray expected = sentText(readBytes(projectFile(name)));
        QVERIFY2(!expected.isEmpty(), qPrintable(name));
        QTRY_COMPARE(m_gateway.mirrored(dir, name), expected);
    }
}

void EndToEndTest::projectToGatewayAndBack()
{
    createProject();
    addGroup(u"Erdgeschoss"_s);
    addFunction({&FunctionEditor::btnSchalter, u"Küche"_s, u"1.12"_s, {}, true});
    addFunction({&FunctionEditor::btnDimmer, u"Esszimmer"_s, u"1.13"_s, {}, false});
    addFunction({&FunctionEditor::btnAutomation, u"Wohnzimmer Jalousie"_s, u"2.1"_s, {}, true});
    addFunction({&FunctionEditor::btnCEN, u"Szene Abend"_s, u"1.15"_s, u"1"_s, true});
    addFunction({&FunctionEditor::btnSzenario, u"Kino"_s, u"0.5"_s, u"3"_s, false});
    addGroupScene(u"Erdgeschoss"_s);
    QList<int> kinds;
    for (const FunctionEntry& entry : w().items().entries())
        kinds << entry.kind;
    QCOMPARE(kinds, (QList<int>{0, 1, 2, 3, 4, 5}));
    setServerSettings();

    transfer(w().btnSend, TransferMode::Send);
    QVERIFY(!program().openHab.reboot);
    QVERIFY(readBytes(projectFile(u"homekit.cfg"_s)).contains("networkInterface=127.0.0.1\r\n"));
    checkMirror();

    QList<QByteArray> beforeReceive;
    for (int file = 0; file < sharedFiles; ++file)
        beforeReceive << readBytes(projectFile(gatewayFiles.at(file).first));
    // The rows as the project's files give them (the editor shows a key or a scene's address as
    // typed until the project is opened again).
    w().OpenSelectedProject();
    const QList<FunctionEntry> rows = w().items().entries();
    QCOMPARE(rows.size(), 6);
    // Spoilt here, so that only the receive can bring them back.
    for (int file = 0; file < sharedFiles; ++file)
        QVERIFY(writeBytes(projectFile(gatewayFiles.at(file).first), "spoilt\r\n"));

    transfer(w().btnReceive, TransferMode::Receive);
    for (int file = 0; file < sharedFiles; ++file) {
        const QString& name = gatewayFiles.at(file).first;
        const QByteArray received = readBytes(projectFile(name));
        // Only the program's own restart flag stays behind on the way through the gateway.
        if (name == u"bticino.cfg"_s) {
            QVERIFY(beforeReceive.at(file).startsWith("#reboot=false\r\n"));
            QCOMPARE(received, beforeReceive.at(file).mid(15));
        } else {
            QVERIFY2(received == beforeReceive.at(file), qPrintable(name));
        }
    }
    // The main window opened the received project again, with the same functions.
    QCOMPARE(w().items().entries(), rows);
    QCOMPARE(program().openHab.serverIP, u"192.168.1.35"_s);
    QVERIFY(program().openHab.settime);
}

QTEST_MAIN(EndToEndTest)
#include "tst_endtoend.moc"
