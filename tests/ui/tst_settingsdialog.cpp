#include "modaldialog.h"
#include "openhab/openhabgenerator.h"
#include "programfolder.h"
#include "scriptedprompts.h"
#include "ui/externallinks.h"
#include "ui/mainwindow.h"
#include "ui/settingsdialog.h"
#include "ui/startup.h"
#include "ui/toggleswitch.h"
#include "workspace/settings.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString demo = u"" VARUNO_DEMO_DIR "/Demo"_s;
const QString msgTimeSync =
    u"information: Hinweis: Zeitsynchronisation ist eingeschaltet. Im Bussystem müssen "
    u"dann alle Zeitgeber auf \"Slave\" gestellt werden!"_s;

// Scripted prompts that also note what bticino.cfg held when the information box came up.
class WatchingPrompts : public ScriptedPrompts
{
public:
    QString watchedFile;
    QByteArray fileAtInformation;

    void information(const QString& text) override
    {
        fileAtInformation = readBytes(watchedFile);
        ScriptedPrompts::information(text);
    }
};

} // namespace

// The settings dialog of the demo project, opened as the main window opens it. Each test's steps
// run inside the dialog's modal loop; a dialog they leave open is closed after them.
class SettingsDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void showsTheStoredValues();
    void cancelStoresNothing();
    void checkInput_data();
    void checkInput();
    void refusedInputStoresNothing();
    void saveStoresAsTypedAndQueuesARestart_data();
    void saveStoresAsTypedAndQueuesARestart();
    void saveFailureIsShownAndKeepsTheDialogOpen();
    void webButtonsOpenTheCloudServicePages();
    void captionsFollowTheLanguage();

private:
    SettingsDialog& dlg() { return *m_startup->program().settingsDialog; }
    OpenHabGenerator& openHab() { return m_startup->program().openHab; }
    QString cfgFile() const { return m_folder->projectsDir() + u"Demo/bticino.cfg"_s; }
    // Opens the dialog as the main window does and runs steps while it is open.
    void execute(const std::function<void()>& steps);
    void fill(const QString& port, const QString& pass, const QString& rescan);

    std::unique_ptr<TestProgramFolder> m_folder;
    WatchingPrompts m_prompts;
    std::unique_ptr<Startup> m_startup;
};

void SettingsDialogTest::init()
{
    m_folder = std::make_unique<TestProgramFolder>();
    QVERIFY(m_folder->addProject(demo, u"Demo"_s));
    m_prompts.reset();
    m_prompts.watchedFile = cfgFile();
    QVERIFY(Settings(m_folder->configDir() + u"settings.ini"_s).setLanguage(u"Deutsch"_s));
    m_startup = std::make_unique<Startup>(m_folder->path(), m_prompts);
    m_startup->mainWindow().show();
    QCOMPARE(openHab().sProj, u"Demo"_s);
}

void SettingsDialogTest::cleanup()
{
    QVERIFY2(m_prompts.allAnswered(), "an answer was queued but never asked for");
    m_startup.reset();
    m_folder.reset();
}

void SettingsDialogTest::execute(const std::function<void()>& steps)
{
    whileModal(
        dlg(), [this] { m_startup->mainWindow().btnSettings->click(); },
        [this, steps] {
            QVERIFY(dlg().isVisible());
            steps();
        });
    QVERIFY(!dlg().isVisible());
}

void SettingsDialogTest::fill(const QString& port, const QString& pass, const QString& rescan)
{
    dlg().edPort->setText(port);
    dlg().edPass->setText(pass);
    dlg().edRescan->setText(rescan);
}

void SettingsDialogTest::showsTheStoredValues()
{
    openHab().serverIP = u"10.1.2.3"_s;
    openHab().serverPort = u"20000"_s;
    openHab().serverPass = u"4711"_s;
    openHab().serverRescan = u""_s;
    openHab().uuid = u"the-uuid"_s;
    openHab().secret = u"the-secret"_s;
    openHab().settime = true;
    openHab().hmac = true;

    execute([this] {
        QCOMPARE(dlg().edAdr->text(), u"10.1.2.3"_s);
        QCOMPARE(dlg().edPort->text(), u"20000"_s);
        QCOMPARE(dlg().edPass->text(), u"4711"_s);
        QCOMPARE(dlg().edRescan->text(), QString());
        QCOMPARE(dlg().edUUID->text(), u"the-uuid"_s);
        QCOMPARE(dlg().edSecret->text(), u"the-secret"_s);
        QCOMPARE(dlg().edPin->text(), u"482-17-306"_s);
        QVERIFY(dlg().tsSetTime->isChecked());
        QVERIFY(dlg().tsHMAC->isChecked());
        QVERIFY(!dlg().tsHMAC->isVisible());
        for (QLineEdit* shownOnly : {dlg().edUUID, dlg().edSecret, dlg().edPin})
            QVERIFY(shownOnly->isReadOnly());
        QVERIFY(!dlg().edAdr->isReadOnly());
    });
}

void SettingsDialogTest::cancelStoresNothing()
{
    const QByteArray cfg = readBytes(cfgFile());
    execute([this] {
        dlg().edAdr->setText(u"10.9.9.9"_s);
        fill(u"1234"_s, u"99"_s, u"5"_s);
        dlg().tsSetTime->setChecked(true);
        dlg().btnCancel->click();
    });
    QCOMPARE(openHab().serverIP, u"127.0.0.1"_s);
    QVERIFY(!openHab().settime);
    QVERIFY(!openHab().reboot);
    QCOMPARE(readBytes(cfgFile()), cfg);

    execute([this] {
        QCOMPARE(dlg().edAdr->text(), u"127.0.0.1"_s);
        QCOMPARE(dlg().edPort->text(), u"20000"_s);
        QVERIFY(!dlg().tsSetTime->isChecked());
    });
}

void SettingsDialogTest::checkInput_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("pass");
    QTest::addColumn<QString>("rescan");
    QTest::addColumn<QString>("shown");

    const QString badPort = u"error: Ungültiger Port!"_s;
    const QString badPass = u"error: Ungültiges OpenWeb-Passwort!"_s;
    const QString badRescan = u"error: Ungültige Statusabfragezeit-Sekunden!"_s;
    // The port is judged first: the password and the interval are not looked at.
    QTest::newRow("port 0") << u"0"_s << u""_s << u"x"_s << badPort;
    QTest::newRow("port empty") << u""_s << u"12345"_s << u"0"_s << badPort;
    QTest::newRow("port abc") << u"abc"_s << u"12345"_s << u"0"_s << badPort;
    QTest::newRow("port negative") << u"-1"_s << u"12345"_s << u"0"_s << badPort;
    QTest::newRow("port 65536") << u"65536"_s << u"12345"_s << u"0"_s << badPort;
    QTest::newRow("port 70000") << u"70000"_s << u"12345"_s << u"0"_s << badPort;
    QTest::newRow("port beyond int") << u"99999999999"_s << u"12345"_s << u"0"_s << badPort;
    QTest::newRow("port 1") << u"1"_s << u"12345"_s << u"0"_s << QString();
    QTest::newRow("port 65535") << u"65535"_s << u"12345"_s << u"0"_s << QString();
    QTest::newRow("pass 0") << u"20000"_s << u"0"_s << u""_s << badPass;
    QTest::newRow("pass empty") << u"20000"_s << u""_s << u"0"_s << badPass;
    QTest::newRow("pass text") << u"20000"_s << u"geheim"_s << u"0"_s << badPass;
    QTest::newRow("pass negative") << u"20000"_s << u"-5"_s << u"0"_s << QString();
    QTest::newRow("rescan 0") << u"20000"_s << u"12345"_s << u"0"_s << QString();
    QTest::newRow("rescan 43200") << u"20000"_s << u"12345"_s << u"43200"_s << QString();
    QTest::newRow("rescan -1") << u"20000"_s << u"12345"_s << u"-1"_s << badRescan;
    QTest::newRow("rescan empty") << u"20000"_s << u"12345"_s << u""_s << badRescan;
    QTest::newRow("rescan abc") << u"20000"_s << u"12345"_s << u"abc"_s << badRescan;
}

void SettingsDialogTest::checkInput()
{
    QFETCH(QString, port);
    QFETCH(QString, pass);
    QFETCH(QString, rescan);
    QFETCH(QString, shown);

    fill(port, pass, rescan);
    QCOMPARE(dlg().CheckInput(), shown.isEmpty());
    QCOMPARE(m_prompts.shown, shown.isEmpty() ? QStringList() : QStringList{shown});
}

void SettingsDialogTest::refusedInputStoresNothing()
{
    const QByteArray cfg = readBytes(cfgFile());
    execute([this] {
        dlg().edAdr->setText(u"10.9.9.9"_s);
        fill(u"70000"_s, u"12345"_s, u"0"_s);
        dlg().btnSave->click();
        QVERIFY(dlg().isVisible());
        QCOMPARE(dlg().edPort->text(), u"70000"_s);
    });
    QCOMPARE(m_prompts.shown, QStringList{u"error: Ungültiger Port!"_s});
    QCOMPARE(openHab().serverIP, u"127.0.0.1"_s);
    QVERIFY(!openHab().reboot);
    QCOMPARE(readBytes(cfgFile()), cfg);
}

void SettingsDialogTest::saveStoresAsTypedAndQueuesARestart_data()
{
    QTest::addColumn<bool>("settime");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("bus time off") << false << QStringList();
    QTest::newRow("bus time on") << true << QStringList{msgTimeSync};
}

void SettingsDialogTest::saveStoresAsTypedAndQueuesARestart()
{
    QFETCH(bool, settime);
    QFETCH(QStringList, shown);
    openHab().hmac = true;

    execute([&] {
        dlg().edAdr->setText(u" 192.168.1.35 "_s);
        fill(u"20001"_s, u"987654"_s, u"600"_s);
        dlg().tsSetTime->setChecked(settime);
        dlg().btnSave->click();
        QVERIFY(!dlg().isVisible());
    });

    QCOMPARE(m_prompts.shown, shown);
    QCOMPARE(openHab().serverIP, u" 192.168.1.35 "_s);
    QCOMPARE(openHab().serverPort, u"20001"_s);
    QCOMPARE(openHab().serverPass, u"987654"_s);
    QCOMPARE(openHab().serverRescan, u"600"_s);
    QCOMPARE(openHab().settime, settime);
    QVERIFY(openHab().hmac);
    QVERIFY(openHab().reboot);
    const QByteArray expected =
        "#reboot=true\r\n#hmac=true\r\n#settime=" + QByteArray(settime ? "true" : "false") +
        "\r\nwebserver.host= 192.168.1.35 \r\nwebserver.port=20001\r\n"
        "webserver.passwd=987654\r\nwebserver.rescan_secs=600\r\n";
    QCOMPARE(readBytes(cfgFile()), expected);
    // The note comes after the file was written.
    if (settime)
        QCOMPARE(m_prompts.fileAtInformation, expected);
}

void SettingsDialogTest::saveFailureIsShownAndKeepsTheDialogOpen()
{
    QVERIFY(QFile::remove(cfgFile()));
    QVERIFY(QDir().mkpath(cfgFile() + u"/blocked"_s));

    execute([this] {
        dlg().tsSetTime->setChecked(true);
        dlg().btnSave->click();
        QVERIFY(dlg().isVisible());
        dlg().btnCancel->click();
    });

    QCOMPARE(m_prompts.shown.size(), 1);
    QVERIFY2(m_prompts.shown.constFirst().startsWith(u"error: "_s) &&
                 m_prompts.shown.constFirst().contains(u"bticino.cfg"_s),
             qPrintable(m_prompts.shown.constFirst()));
}

void SettingsDialogTest::webButtonsOpenTheCloudServicePages()
{
    QList<QUrl> opened;
    dlg().setUrlOpener([&opened](const QUrl& url) {
        opened << url;
        return true;
    });
    execute([this] {
        dlg().btnReg->click();
        dlg().btnCheck->click();
        QVERIFY(dlg().isVisible());
    });
    const QList<QUrl> expected = {QUrl(u"https://myopenhab.org/"_s), QUrl(u"https://status.openhab.org/"_s)};
    QCOMPARE(opened, expected);
}

void SettingsDialogTest::captionsFollowTheLanguage()
{
    m_startup->mainWindow().tsLanguage->setChecked(true);
    execute([this] {
        QCOMPARE(dlg().btnSave->text(), u"&Save"_s);
        QCOMPARE(dlg().findChildren<QGroupBox*>().constFirst()->title(), u" BTicino web server "_s);
        QCOMPARE(dlg().tsSetTime->caption(), u"Off"_s);
        QCOMPARE(dlg().btnCheck->text().remove(u'&'), u"Check myOpenHAB server status"_s);
    });
}

QTEST_MAIN(SettingsDialogTest)
#include "tst_settingsdialog.moc"
