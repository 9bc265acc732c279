#include "httpserver.h"
#include "link/gatewaytransfer.h"
#include "modaldialog.h"
#include "model/projectini.h"
#include "openhab/openhabgenerator.h"
#include "programfolder.h"
#include "redisserver.h"
#include "scriptedprompts.h"
#include "ui/mainwindow.h"
#include "ui/startup.h"
#include "ui/transferdialog.h"
#include "workspace/settings.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TransferMode)

namespace {

const QString demo = u"" VARUNO_DEMO_DIR "/Demo"_s;
const QString askBusServer =
    u"confirm, default No: Es konnte kein BTicino-Server unter der IP 127.0.0.1 gefunden werden! "
    u"Wollen Sie die Konfiguration trotzdem senden?"_s;
// The question before a send, its summary of what changes left out (see asked()).
const QString askSend = u"confirm: …\n\nKonfiguration senden?"_s;
const QString msgNoAddress = u"error: Bitte eine IP-Adresse eingeben"_s;
const QString msgNoConnection = u"error: Es konnte keine Verbindung zum Varuno aufgebaut werden!"_s;
const QString msgSucceeded = u"Datenübertragung erfolgreich!"_s;
const QString msgFailed = u"Fehler bei Datenübertragung!"_s;
const QByteArray itemsKey = "/var/lib/docker/volumes/openhab_conf/_data/items/bticino.items";
const QByteArray cfgKey = "/var/lib/docker/volumes/openhab_conf/_data/services/bticino.cfg";

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

// Counts how often a widget is painted.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// What the window shows and allows while the transfer runs.
struct RunningView
{
    bool seen = false;
    bool progressShown = false;
    bool barShown = false;
    bool anyEnabled = true; // besides the close button
    bool closeEnabled = false;
    QString ipInProjectIni;
};

quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

} // namespace

// The transfer dialog of the demo project, opened from the main window, against a real store on
// loopback. The bus-server check gets no time to wait, so every transfer asks whether to go on
// without the bus server (message 67). Each test's steps run inside the dialog's modal loop; a
// dialog they leave open is closed after them.
class TransferDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void readyState_data();
    void readyState();
    void searchButtonOnlyWithALookupService_data();
    void searchButtonOnlyWithALookupService();
    void runningStateTakesOnlyTheCloseButton();
    void closingCancelsARunningTransfer_data();
    void closingCancelsARunningTransfer();
    void sendSucceeds_data();
    void checkBeforeSending_data();
    void checkBeforeSending();
    void sendSucceeds();
    void sendQuestionTellsWhatChanges_data();
    void sendQuestionTellsWhatChanges();
    void receiveSucceedsAndTheProjectIsReopened();
    void failuresKeepTheWindowReadyForAnotherTry_data();
    void failuresKeepTheWindowReadyForAnotherTry();
    void failedSendCanBeRepeated();
    void unwritableAddressStopsBeforeStarting();
    void reopeningAfterSuccessIsReadyAgain();
    void searchFillsTheAddress();
    void searchAsksForAMissingSerial();

private:
    void start(const QString& cloudServer = {});
    TransferDialog& dlg() { return *m_startup->program().transferDialog; }
    MainWindow& w() { return m_startup->mainWindow(); }
    QString projectDir() const { return m_folder->projectsDir() + u"Demo/"_s; }
    QString ipInProjectIni() const { return ProjectIni(projectDir()).IP(); }
    // What the prompts showed, with the summary of each question before a send cut to "…".
    QStringList asked() const;
    // Presses the main window's button that opens the dialog and runs steps while it is open.
    void press(QPushButton* button, const std::function<void()>& steps);
    // Notes the running state at the transfer's first report.
    void watchRunning(RunningView& view);

    RedisServer m_redis;
    std::unique_ptr<TestProgramFolder> m_folder;
    ScriptedPrompts m_prompts;
    std::unique_ptr<Startup> m_startup;
};

void TransferDialogTest::initTestCase()
{
    QVERIFY2(m_redis.start(), qPrintable(m_redis.errorString()));
}

void TransferDialogTest::init()
{
    QVERIFY(m_redis.flushAll());
    m_redis.cli({u"SET"_s, u"rpi-timestamp"_s, QString::number(QDateTime::currentSecsSinceEpoch())});
    m_redis.cli({u"SET"_s, u"rpi-firmware"_s, u"1.2"_s});
    m_folder = std::make_unique<TestProgramFolder>();
    QVERIFY(m_folder->addProject(demo, u"Demo"_s));
    QVERIFY(Settings(m_folder->configDir() + u"settings.ini"_s).setLanguage(u"Deutsch"_s));
    m_prompts.reset();
}

void TransferDialogTest::cleanup()
{
    QVERIFY2(m_prompts.allAnswered(), "an answer was queued but never asked for");
    m_startup.reset();
    m_folder.reset();
}

void TransferDialogTest::start(const QString& cloudServer)
{
    if (!cloudServer.isEmpty()) {
        QVERIFY(writeBytes(m_folder->configDir() + u"settings.ini"_s,
                           "[CFG]\r\nLanguage=Deutsch\r\nCloudserver=" + cloudServer.toUtf8() + "\r\n"));
    }
    m_startup = std::make_unique<Startup>(m_folder->path(), m_prompts);
    w().show();
    QCOMPARE(m_startup->program().openHab.sProj, u"Demo"_s);
    // The demo project comes without the files a save generates; a send needs all of them.
    QVERIFY(m_startup->program().openHab.SaveItems(w().items().entries()).isEmpty());
    TransferSettings settings;
    settings.storePort = m_redis.port();
    settings.busServerWaitMs = 0;
    settings.busServerPauseMs = 0;
    dlg().setTransferSettings(settings);
}

QStringList TransferDialogTest::asked() const
{
    static const QRegularExpression summary(u"^confirm: .*\n\nKonfiguration senden\\?$"_s,
                                            QRegularExpression::DotMatchesEverythingOption);
    QStringList shown = m_prompts.shown;
    for (QString& text : shown) {
        if (summary.match(text).hasMatch())
            text = askSend;
    }
    return shown;
}

void TransferDialogTest::press(QPushButton* button, const std::function<void()>& steps)
{
    whileModal(
        dlg(), [button] { button->click(); },
        [this, steps] {
            QVERIFY(dlg().isVisible());
            steps();
        });
    QVERIFY(!dlg().isVisible());
}

void TransferDialogTest::watchRunning(RunningView& view)
{
    QTimer::singleShot(0, &dlg(), [this, &view] {
        view.seen = dlg().isRunning();
        view.progressShown = dlg().lblProgress->isVisible();
        view.barShown = dlg().pb->isVisible();
        view.anyEnabled = dlg().btnSend->isEnabled() || dlg().btnReceive->isEnabled() ||
                          dlg().edIP->isEnabled() || dlg().btnSearch->isEnabled();
        view.closeEnabled = dlg().btnClose->isEnabled();
        view.ipInProjectIni = ipInProjectIni();
        // A second transfer cannot start.
        QTest::mouseClick(dlg().btnSend, Qt::LeftButton);
    });
}

void TransferDialogTest::readyState_data()
{
    QTest::addColumn<TransferMode>("mode");
    QTest::newRow("send") << TransferMode::Send;
    QTest::newRow("receive") << TransferMode::Receive;
}

void TransferDialogTest::readyState()
{
    QFETCH(TransferMode, mode);
    start();
    const bool sending = mode == TransferMode::Send;

    press(sending ? w().btnSend : w().btnReceive, [&] {
        QCOMPARE(dlg().mode, mode);
        QCOMPARE(dlg().lblSend->isVisible(), sending);
        QCOMPARE(dlg().btnSend->isVisible(), sending);
        QCOMPARE(dlg().lblHintSend->isVisible(), sending);
        QCOMPARE(dlg().lblReceive->isVisible(), !sending);
        QCOMPARE(dlg().btnReceive->isVisible(), !sending);
        QCOMPARE(dlg().lblHintReceive->isVisible(), !sending);
        QVERIFY(dlg().lblHint->isVisible());
        QVERIFY(!dlg().lblProgress->isVisible());
        QVERIFY(!dlg().pb->isVisible());
        QVERIFY(!dlg().lblRefresh->isVisible());
        QVERIFY(!dlg().lblReboot->isVisible());
        QCOMPARE(dlg().lblSend->text(), u"Konfiguration senden"_s);
        QCOMPARE(dlg().lblReceive->text(), u"Konfiguration empfangen"_s);
        QCOMPARE(dlg().edIP->text(), u"127.0.0.1"_s);
        QVERIFY(dlg().edIP->isEnabled());
        QCOMPARE(dlg().sSerial, u"VAR-DEMO-0001"_s);
        QCOMPARE(dlg().lblSerial->text(), u"Seriennummer: VAR-DEMO-0001"_s);
        QVERIFY(dlg().lblServerTime->text().isEmpty());
        QVERIFY(dlg().btnClose->isEnabled());
    });
}

void TransferDialogTest::searchButtonOnlyWithALookupService_data()
{
    QTest::addColumn<QString>("cloudServer");
    QTest::addColumn<bool>("shown");
    QTest::newRow("none") << QString() << false;
    QTest::newRow("configured") << u"https://lookup.example/ip"_s << true;
}

void TransferDialogTest::searchButtonOnlyWithALookupService()
{
    QFETCH(QString, cloudServer);
    QFETCH(bool, shown);
    start(cloudServer);
    press(w().btnSend, [&] { QCOMPARE(dlg().btnSearch->isVisible(), shown); });
}

void TransferDialogTest::runningStateTakesOnlyTheCloseButton()
{
    QVERIFY(writeBytes(projectDir() + u"project.ini"_s, "[CFG]\r\nIP=10.9.9.9\r\n"));
    start(u"http://127.0.0.1:1/"_s);
    m_prompts.queueYes();
    m_prompts.queueYes();
    RunningView running;
    std::unique_ptr<PaintCounter> barPaints;
    press(w().btnSend, [&] {
        dlg().edIP->setText(u"127.0.0.1"_s);
        barPaints = std::make_unique<PaintCounter>(dlg().pb);
        watchRunning(running);
        dlg().btnSend->click();
        QVERIFY(dlg().isVisible());
    });

    QVERIFY(running.seen);
    QVERIFY(running.progressShown);
    QVERIFY(running.barShown);
    QVERIFY(!running.anyEnabled);
    QVERIFY(running.closeEnabled);
    // Written before the transfer started, then again at its end.
    QCOMPARE(running.ipInProjectIni, u"127.0.0.1"_s);
    QCOMPARE(ipInProjectIni(), u"127.0.0.1"_s);
    // One transfer: a second one would have asked both questions again.
    QCOMPARE(asked(), (QStringList{askSend, askBusServer}));
    QVERIFY2(barPaints->count >= 2, qPrintable(QString::number(barPaints->count)));
}

// A gateway that accepts the connection and then never answers: the close button (or the window's
// own way of closing) cancels the transfer at once, the window closes, and a receive changes no file.
void TransferDialogTest::closingCancelsARunningTransfer_data()
{
    QTest::addColumn<TransferMode>("mode");
    QTest::addColumn<bool>("escape");
    QTest::newRow("receive, close button") << TransferMode::Receive << false;
    QTest::newRow("receive, Escape") << TransferMode::Receive << true;
    QTest::newRow("send, close button") << TransferMode::Send << false;
}

void TransferDialogTest::closingCancelsARunningTransfer()
{
    QFETCH(TransferMode, mode);
    QFETCH(bool, escape);
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    start();
    TransferSettings settings;
    settings.storePort = silent.serverPort();
    settings.busServerWaitMs = 0;
    settings.busServerPauseMs = 0;
    settings.replyTimeoutMs = 60'000;
    dlg().setTransferSettings(settings);
    QMap<QString, QByteArray> before;
    for (const QString& name : QDir(projectDir()).entryList(QDir::Files | QDir::Hidden))
        before[name] = readBytes(projectDir() + name);
    // A send is cancelled while it reads the gateway for its question, which is then not asked.
    if (mode == TransferMode::Receive)
        m_prompts.queueYes();
    QElapsedTimer elapsed;

    press(mode == TransferMode::Send ? w().btnSend : w().btnReceive, [&] {
        QTimer::singleShot(300, &dlg(), [&] {
            QVERIFY(dlg().isRunning());
            if (escape)
                QTest::keyClick(&dlg(), Qt::Key_Escape);
            else
                QTest::mouseClick(dlg().btnClose, Qt::LeftButton);
        });
        elapsed.start();
        (mode == TransferMode::Send ? dlg().btnSend : dlg().btnReceive)->click();
        QVERIFY(!dlg().isVisible());
    });

    QVERIFY2(elapsed.elapsed() < 10'000, qPrintable(QString::number(elapsed.elapsed())));
    QCOMPARE(m_prompts.shown, mode == TransferMode::Receive ? QStringList{askBusServer} : QStringList());
    QMap<QString, QByteArray> after;
    for (const QString& name : QDir(projectDir()).entryList(QDir::Files | QDir::Hidden))
        after[name] = readBytes(projectDir() + name);
    if (mode == TransferMode::Receive)
        QCOMPARE(after, before);
}

void TransferDialogTest::checkBeforeSending_data()
{
    QTest::addColumn<bool>("sendAnyway");
    QTest::newRow("No stops the send") << false;
    QTest::newRow("Yes sends") << true;
}

// A project with faults lists them and asks first; the clean demo of the other tests is sent
// without that question.
void TransferDialogTest::checkBeforeSending()
{
    QFETCH(bool, sendAnyway);
    QByteArray items = readBytes(projectDir() + u"bticino.items"_s);
    items += "Switch SWITCH_99 \"K\\\\che 2\" <light> (Keller) "
             "{bticino=\"if=webserver;who=1;what=0;where=1.12\"}\r\n";
    QVERIFY(writeBytes(projectDir() + u"bticino.items"_s, items));
    start();
    if (sendAnyway) {
        m_prompts.queueYes();
        m_prompts.queueYes();
        m_prompts.queueYes();
    } else {
        m_prompts.queueNo();
    }

    press(w().btnSend, [&] {
        dlg().edIP->setText(u"127.0.0.1"_s);
        dlg().btnSend->click();
        QCOMPARE(dlg().lblProgress->text(), sendAnyway ? msgSucceeded : QString());
        QCOMPARE(dlg().btnSend->isVisible(), !sendAnyway);
    });

    const QString question = m_prompts.shown.value(0);
    QVERIFY2(
        question.startsWith(u"confirm, default No: Doppelte Busadresse 01.12 (Lichter/Schalter): SWITCH_1 "
                            u"\"Küche\""_s),
        qPrintable(question));
    QVERIFY2(question.contains(u"\nGruppe \"Keller\" fehlt in der Gruppenliste"_s), qPrintable(question));
    QVERIFY(question.endsWith(u"\n\nDie Prüfung des Projekts hat diese Fehler gefunden. Trotzdem senden?"_s));
    QCOMPARE(asked().mid(1), sendAnyway ? (QStringList{askSend, askBusServer}) : QStringList());
    QCOMPARE(m_redis.cli({u"EXISTS"_s, QString::fromLatin1(itemsKey)}), sendAnyway ? "1" : "0");
    QCOMPARE(ipInProjectIni(), u"127.0.0.1"_s);
}

void TransferDialogTest::sendSucceeds_data()
{
    QTest::addColumn<bool>("reboot");
    QTest::newRow("no restart") << false;
    QTest::newRow("restart") << true;
}

void TransferDialogTest::sendSucceeds()
{
    QFETCH(bool, reboot);
    start();
    m_startup->program().openHab.reboot = reboot;
    m_prompts.queueYes();
    m_prompts.queueYes();

    press(w().btnSend, [&] {
        dlg().btnSend->click();
        QCOMPARE(dlg().lblProgress->text(), msgSucceeded);
        QVERIFY(!dlg().btnSend->isVisible());
        QVERIFY(!dlg().pb->isVisible());
        QVERIFY(!dlg().edIP->isEnabled());
        QVERIFY(!dlg().lblHint->isVisible() && !dlg().lblHintSend->isVisible());
        QVERIFY(dlg().lblRefresh->isVisible());
        QCOMPARE(dlg().lblReboot->isVisible(), reboot);
        QVERIFY(dlg().lblServerTime->text().startsWith(u"Server-Zeit: "_s));
        QVERIFY(dlg().btnClose->isEnabled());
        dlg().btnClose->click();
    });

    QCOMPARE(asked(), (QStringList{askSend, askBusServer}));
    QCOMPARE(m_redis.cli({u"HGET"_s, QString::fromLatin1(itemsKey), u"text"_s}),
             readBytes(projectDir() + u"bticino.items"_s).chopped(2));
    QCOMPARE(m_redis.cli({u"EXISTS"_s, u"cmds"_s}), reboot ? "1" : "0");
    QVERIFY(!m_startup->program().openHab.reboot);
}

void TransferDialogTest::sendQuestionTellsWhatChanges_data()
{
    QTest::addColumn<bool>("storeReachable");
    QTest::addColumn<QString>("summary");
    QTest::newRow("gateway read") << true
                                  << u"1 neu, 1 geändert, 1 entfernt\nGeänderte Dateien: bticino.items"_s;
    QTest::newRow("gateway unreadable")
        << false << u"Die Konfiguration auf dem Varuno konnte nicht gelesen werden: "_s;
}

// The gateway holds the demo as the window sent it, but for its items: one function more, one
// less and one with another label. A gateway that cannot be read is named, and No sends nothing.
void TransferDialogTest::sendQuestionTellsWhatChanges()
{
    QFETCH(bool, storeReachable);
    QFETCH(QString, summary);
    start();
    m_prompts.queueYes();
    m_prompts.queueYes();
    press(w().btnSend, [&] { dlg().btnSend->click(); });
    const QString itemsField = QString::fromLatin1(itemsKey);
    QByteArray items = m_redis.cli({u"HGET"_s, itemsField, u"text"_s});
    const qsizetype second = items.indexOf("Switch SWITCH_2 ");
    QVERIFY(second > 0 && items.contains("\"Küche\""));
    items.remove(second, items.indexOf("\r\n", second) + 2 - second);
    items.replace("\"Küche\"", "\"Küche alt\"");
    items += "\r\nSwitch SWITCH_99 \"Keller\" <light> {bticino=\"if=webserver;who=1;what=0;where=0999\"}";
    m_redis.cli({u"HSET"_s, itemsField, u"text"_s}, items);
    if (!storeReachable) {
        TransferSettings settings;
        settings.storePort = closedPort();
        dlg().setTransferSettings(settings);
    }
    m_prompts.reset();
    m_prompts.queueNo();

    press(w().btnSend, [&] { dlg().btnSend->click(); });

    QCOMPARE(m_prompts.shown.size(), 1);
    const QString question = m_prompts.shown.constFirst();
    QVERIFY2(question.startsWith(u"confirm: "_s + summary), qPrintable(question));
    QVERIFY2(question.endsWith(u"\n\nKonfiguration senden?"_s), qPrintable(question));
    // On request, each function that changes and the lines of each file.
    if (storeReachable) {
        for (const QString& shown : {u"SWITCH_99\tKeller\n"_s, u"--- varuno/bticino.items\n"_s,
                                     u"+++ Demo/bticino.items\n"_s, u"-Switch SWITCH_99 \"Keller\""_s})
            QVERIFY2(m_prompts.lastDetails.contains(shown), qPrintable(m_prompts.lastDetails));
    }
    QCOMPARE(m_redis.cli({u"HGET"_s, itemsField, u"text"_s}), items);
}

void TransferDialogTest::receiveSucceedsAndTheProjectIsReopened()
{
    start();
    storeProjectOnGateway(m_redis, projectDir());
    m_redis.cli({u"HSET"_s, QString::fromLatin1(cfgKey), u"text"_s},
                "#reboot=false\r\n#hmac=false\r\n#settime=true\r\nwebserver.host=10.0.0.77\r\n"
                "webserver.port=20000\r\nwebserver.passwd=12345");
    m_prompts.queueYes();

    press(w().btnReceive, [this] {
        dlg().btnReceive->click();
        QCOMPARE(dlg().lblProgress->text(), msgSucceeded);
        QVERIFY(!dlg().btnReceive->isVisible());
        QVERIFY(!dlg().lblRefresh->isVisible());
        QVERIFY(!dlg().lblReboot->isVisible());
        dlg().btnClose->click();
    });

    QCOMPARE(readBytes(projectDir() + u"bticino.cfg"_s),
             "#reboot=false\r\n#hmac=false\r\n#settime=true\r\nwebserver.host=10.0.0.77\r\n"
             "webserver.port=20000\r\nwebserver.passwd=12345\r\n");
    // The main window opened the received project again.
    QCOMPARE(m_startup->program().openHab.serverIP, u"10.0.0.77"_s);
    QVERIFY(m_startup->program().openHab.settime);
}

void TransferDialogTest::failuresKeepTheWindowReadyForAnotherTry_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<bool>("storeReachable");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("no address") << QString() << QList<bool>() << true << QStringList{msgNoAddress};
    QTest::newRow("refused at the send question")
        << u"127.0.0.1"_s << QList<bool>{false} << true << QStringList{askSend};
    QTest::newRow("refused at the bus-server question")
        << u"127.0.0.1"_s << QList<bool>{true, false} << true << QStringList{askSend, askBusServer};
    QTest::newRow("store unreachable") << u"127.0.0.1"_s << QList<bool>{true, true} << false
                                       << QStringList{askSend, askBusServer, msgNoConnection};
}

void TransferDialogTest::failuresKeepTheWindowReadyForAnotherTry()
{
    QFETCH(QString, address);
    QFETCH(QList<bool>, answers);
    QFETCH(bool, storeReachable);
    QFETCH(QStringList, shown);
    start();
    if (!storeReachable) {
        TransferSettings settings;
        settings.storePort = closedPort();
        settings.busServerWaitMs = 0;
        settings.busServerPauseMs = 0;
        dlg().setTransferSettings(settings);
    }
    for (const bool yes : answers)
        yes ? m_prompts.queueYes() : m_prompts.queueNo();

    press(w().btnSend, [&] {
        dlg().edIP->setText(address);
        dlg().btnSend->click();
        QCOMPARE(dlg().lblProgress->text(), msgFailed);
        QVERIFY(dlg().lblProgress->isVisible());
        QVERIFY(!dlg().pb->isVisible());
        QVERIFY(!dlg().lblHint->isVisible() && !dlg().lblHintSend->isVisible());
        QVERIFY(dlg().edIP->isEnabled());
        QVERIFY(dlg().btnSend->isVisible() && dlg().btnSend->isEnabled());
        QVERIFY(dlg().btnClose->isEnabled());
        QVERIFY(!dlg().lblRefresh->isVisible());
    });

    QCOMPARE(asked(), shown);
    // The address typed is remembered even when the transfer never started.
    QCOMPARE(ipInProjectIni(), address);
}

// A second send in the same window runs the whole procedure again.
// A project.ini that cannot take the address stops the transfer before anything is asked or sent,
// and the user is told once.
void TransferDialogTest::unwritableAddressStopsBeforeStarting()
{
    start();
    const QString iniFile = projectDir() + u"project.ini"_s;
    QVERIFY(QFile::remove(iniFile) && QDir().mkdir(iniFile));

    press(w().btnSend, [&] {
        dlg().edIP->setText(u"127.0.0.1"_s);
        dlg().btnSend->click();
        QCOMPARE(dlg().lblProgress->text(), msgFailed);
        QVERIFY(dlg().btnSend->isEnabled());
    });

    QCOMPARE(m_prompts.shown.size(), 1);
    QVERIFY2(m_prompts.shown.constFirst().startsWith(u"error: Datei "_s),
             qPrintable(m_prompts.shown.join(u'\n')));
    QCOMPARE(m_redis.cli({u"EXISTS"_s, QString::fromLatin1(itemsKey)}), "0");
}

void TransferDialogTest::failedSendCanBeRepeated()
{
    start();
    m_prompts.queueYes();
    m_prompts.queueNo();
    m_prompts.queueYes();
    m_prompts.queueYes();
    press(w().btnSend, [this] {
        dlg().btnSend->click();
        QCOMPARE(dlg().lblProgress->text(), msgFailed);
        dlg().btnSend->click();
        QCOMPARE(dlg().lblProgress->text(), msgSucceeded);
    });
    QCOMPARE(asked(), (QStringList{askSend, askBusServer, askSend, askBusServer}));
    QCOMPARE(m_redis.cli({u"EXISTS"_s, QString::fromLatin1(itemsKey)}), "1");
}

void TransferDialogTest::reopeningAfterSuccessIsReadyAgain()
{
    start();
    storeProjectOnGateway(m_redis, projectDir());
    m_redis.cli({u"HSET"_s, QString::fromLatin1(cfgKey), u"text"_s}, "webserver.host=127.0.0.1");
    m_prompts.queueYes();
    press(w().btnReceive, [this] {
        dlg().btnReceive->click();
        QCOMPARE(dlg().lblProgress->text(), msgSucceeded);
    });

    press(w().btnSend, [this] {
        QVERIFY(dlg().btnSend->isVisible() && dlg().btnSend->isEnabled());
        QVERIFY(!dlg().btnReceive->isVisible());
        QVERIFY(dlg().edIP->isEnabled());
        QVERIFY(dlg().lblHint->isVisible() && dlg().lblHintSend->isVisible());
        QVERIFY(!dlg().lblProgress->isVisible() && dlg().lblProgress->text().isEmpty());
        QVERIFY(dlg().lblServerTime->text().isEmpty());
    });
}

void TransferDialogTest::searchFillsTheAddress()
{
    HttpServer service;
    QVERIFY2(service.start(), qPrintable(service.errorString()));
    start(service.replyUrl(200, "192.168.1.5"));

    bool restedDuringSearch = false;
    press(w().btnSend, [&] {
        QVERIFY(dlg().btnSearch->isVisible());
        QTimer::singleShot(0, &dlg(), [&] {
            restedDuringSearch =
                dlg().isRunning() && !dlg().btnClose->isEnabled() && !dlg().btnSearch->isEnabled();
        });
        dlg().btnSearch->click();
        QCOMPARE(dlg().edIP->text(), u"192.168.1.5"_s);
        QVERIFY(dlg().btnSearch->isEnabled() && dlg().btnSend->isEnabled() && dlg().btnClose->isEnabled());
    });
    QVERIFY(restedDuringSearch);

    QCOMPARE(m_prompts.shown, QStringList{u"information: IP-Adresse gefunden: 192.168.1.5"_s});
    QCOMPARE(service.requests().size(), 1);
    QCOMPARE(service.requests().constFirst().params.value(u"serial"_s), QStringList{u"VAR-DEMO-0001"_s});
    QCOMPARE(ipInProjectIni(), u"192.168.1.5"_s);
}

void TransferDialogTest::searchAsksForAMissingSerial()
{
    HttpServer service;
    QVERIFY2(service.start(), qPrintable(service.errorString()));
    QVERIFY(writeBytes(projectDir() + u"project.ini"_s, "[CFG]\r\nIP=10.0.0.1\r\n"));
    start(service.replyUrl(200, "unknown"));
    m_prompts.queueText(u"VAR-0815"_s);

    press(w().btnSend, [this] {
        QVERIFY(dlg().lblSerial->text().isEmpty());
        dlg().btnSearch->click();
        QCOMPARE(dlg().sSerial, u"VAR-0815"_s);
        QCOMPARE(dlg().lblSerial->text(), u"Seriennummer: VAR-0815"_s);
        QCOMPARE(dlg().edIP->text(), u"10.0.0.1"_s);
        // The serial typed once serves the next search in the same window.
        dlg().btnSearch->click();
    });

    const QString notFound =
        u"error: Es konnte keine IP-Adresse für Seriennummer \"VAR-0815\" gefunden werden!"_s;
    QCOMPARE(m_prompts.shown,
             (QStringList{u"prompt: Suche IP-Adresse / Seriennummer des Varuno:"_s, notFound, notFound}));
    QCOMPARE(ProjectIni(projectDir()).Serial(), u"VAR-0815"_s);
}

QTEST_MAIN(TransferDialogTest)
#include "tst_transferdialog.moc"
