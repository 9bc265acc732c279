#include "redisserver.h"
#include "smallfilesystem.h"
#include "tst_transferfixture.h"
#include "workspace/projectbackups.h"

#include "model/fileerror.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocale>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QThread>

#include <memory>

namespace {

const QString Msg32 = QStringLiteral("error: Bitte eine IP-Adresse eingeben");
const QString Msg34 = QStringLiteral("error: Es konnte keine Verbindung zum Varuno aufgebaut werden!");
const QString Msg37 = QStringLiteral("error: Fehler: Daten konnten nicht übermittelt werden!");
const QString Msg90 = QStringLiteral(
    "error: Auf dem Varuno wurde keine Konfiguration gefunden. Das Projekt wurde nicht verändert.");
const QString Msg222 = QStringLiteral(
    "error: Der Varuno meldet keine Uhrzeit (rpi-timestamp fehlt). Es wurde nichts übertragen.");
const QString Msg73 =
    QStringLiteral("errorYesNo: Ihr Varuno unterstütz noch keine Szenebefehle. Bitte führen Sie ein "
                   "Update durch. Wollen Sie die Konfiguration trotzdem senden?");

constexpr qint64 PcTime = 1'700'000'000;

QStringList keysOf(const QByteArray& cliOutput)
{
    QStringList keys = QString::fromUtf8(cliOutput).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    keys.sort();
    return keys;
}

QByteArray withoutLastLineBreak(QByteArray bytes)
{
    if (bytes.endsWith("\r\n"))
        bytes.chop(2);
    return bytes;
}

// Stands between the transfer and the store and passes on only the first budget bytes of the
// transfer's requests, then drops both connections: to the store, the transfer dies there as it
// would when its process is killed. Runs in a thread of its own, as the transfer blocks the test's.
class CutProxy : public QThread
{
public:
    CutProxy(quint16 storePort, qint64 budget) : m_storePort(storePort), m_budget(budget)
    {
        start();
        m_listening.acquire();
    }
    ~CutProxy() override { wait(); }

    quint16 port() const { return m_port; }
    // How many bytes of requests reached the store.
    qint64 passed() const { return m_passed; }

private:
    void run() override
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost);
        m_port = server.serverPort();
        m_listening.release();
        if (!server.waitForNewConnection(10'000))
            return;
        std::unique_ptr<QTcpSocket> client(server.nextPendingConnection());
        QTcpSocket store;
        store.connectToHost(QHostAddress::LocalHost, m_storePort);
        if (!store.waitForConnected(5000))
            return;
        const QDeadlineTimer patience(20'000);
        while (client->state() == QAbstractSocket::ConnectedState && m_passed < m_budget &&
               !patience.hasExpired()) {
            if (!client->waitForReadyRead(2) && client->error() == QAbstractSocket::RemoteHostClosedError)
                break;
            const QByteArray request = client->read(std::min<qint64>(m_budget - m_passed, 1 << 20));
            m_passed += request.size();
            store.write(request);
            store.waitForBytesWritten(5000);
            store.waitForReadyRead(2);
            client->write(store.readAll());
            client->waitForBytesWritten(5000);
        }
        // The store gets what was passed on, then the end of the connection; the transfer hears
        // nothing more.
        client->abort();
        store.disconnectFromHost();
        if (store.state() != QAbstractSocket::UnconnectedState)
            store.waitForDisconnected(5000);
    }

    quint16 m_storePort;
    qint64 m_budget;
    quint16 m_port = 0;
    qint64 m_passed = 0;
    QSemaphore m_listening;
};

} // namespace

class TestTransfer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void send_data();
    void send();
    void clock_data();
    void clock();
    void absentTimestamp_data();
    void absentTimestamp();
    void sceneCommandTest_data();
    void sceneCommandTest();
    void unreadableItemsInSceneTest();
    void busServerCheck_data();
    void busServerCheck();
    void sendFailureChangesNothing_data();
    void sendFailureChangesNothing();
    void sendCutAnywhereLeavesOldOrNew();
    void sendThenReceive();
    void receivePartialStore();
    void receiveUnwritableFile();
    void receiveOnAFullDiskChangesNothing();
    void receiveFromAnEmptyGateway();
    void receiveKeepsTheProjectsFilesInABackup();
    void sendKeepsTheGatewaysFilesInABackup();
    void noBackupNoTransfer_data();
    void noBackupNoTransfer();
    void emptyAddress();
    void storeUnreachable();
    void sendReadsBackWhatItWrote();
    void previewShowsWhatASendChanges();

private:
    bool run(TransferProject& project, TransferMode mode, quint16 port = 0);
    QByteArray cli(const QStringList& args) const { return m_redis.cli(args); }
    QByteArray fileField(const QString& name, const char* field) const;
    QStringList fileKeysOnGateway() const
    {
        return keysOf(cli({QStringLiteral("KEYS"), QStringLiteral("/*")}));
    }
    // A receive takes only a gateway that holds all seven files.
    void storeSevenFiles() const
    {
        for (const auto& [file, key] : gatewayKeys().first(7))
            cli({QStringLiteral("HSET"), QString::fromLatin1(key), QStringLiteral("text"), file});
    }
    // Every entry of the project folder with the bytes of each file.
    QMap<QString, QByteArray> projectFiles() const
    {
        QMap<QString, QByteArray> files;
        const QDir dir(m_project->openHab.sProjPath);
        for (const QString& name : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
            files[name] = readBytes(dir.filePath(name));
        return files;
    }
    // Everything a send writes, as the gateway holds it.
    QByteArray gatewayState() const;
    void setGatewayTime(const QByteArray& text)
    {
        cli({QStringLiteral("SET"), QStringLiteral("rpi-timestamp"), QString::fromLatin1(text)});
    }

    RedisServer m_redis;
    std::unique_ptr<TransferProject> m_project;
    RecordingView m_view;
    qint64 m_now = PcTime;
};

// A value that another client changes right after the send wrote it fails the send, naming the
// file.
void TestTransfer::sendReadsBackWhatItWrote()
{
    const QString itemsKey = QString::fromLatin1(gatewayKeys().at(1).second);
    m_view.afterProgress = [&](int step) {
        if (step == GatewayTransfer::ProgressSteps)
            cli({QStringLiteral("HSET"), itemsKey, QStringLiteral("text"), QStringLiteral("fremd")});
    };
    QVERIFY(!run(*m_project, TransferMode::Send));
    QCOMPARE(m_view.scripted.shown,
             QStringList{QStringLiteral("error: Nach dem Senden hält der Varuno für bticino.items nicht, was "
                                        "gesendet wurde.")});
    QVERIFY(!m_view.progressTexts.contains(QStringLiteral("Daten erfolgreich gesendet!")));
}

// The preview reads the gateway and the project as a send would and writes nothing anywhere.
void TestTransfer::previewShowsWhatASendChanges()
{
    const QString itemsKey = QString::fromLatin1(gatewayKeys().at(1).second);
    cli({QStringLiteral("HSET"), itemsKey, QStringLiteral("text"),
         QStringLiteral("Switch SWITCH_7 \"Alt\" {bticino=\"if=webserver;who=1;what=0;where=17\"}")});
    const QByteArray gatewayBefore = cli({QStringLiteral("DUMP"), itemsKey});
    const auto filesBefore = projectFiles();
    TransferSettings settings;
    settings.storePort = m_redis.port();
    SendPreview preview;
    QCOMPARE(GatewayTransfer(m_project->openHab, m_project->language, m_view, settings).PreviewSend(preview),
             std::nullopt);
    QCOMPARE(preview.gateway.keys(), QStringList{QStringLiteral("bticino.items")});
    QCOMPARE(preview.sent.size(), 9);
    QVERIFY(preview.sent.value(QStringLiteral("homekit.cfg"))
                .endsWith("networkInterface=127.0.0.1\r\n"
                          "org.openhab.homekit:name=Varuno"));
    const ProjectDiff diff(m_project->openHab, preview.gateway, preview.sent);
    QCOMPARE(diff.count(FunctionChange::Added), 2);
    QCOMPARE(diff.count(FunctionChange::Removed), 1);
    QCOMPARE(cli({QStringLiteral("DUMP"), itemsKey}), gatewayBefore);
    QCOMPARE(projectFiles(), filesBefore);
    QCOMPARE(m_view.scripted.shown, QStringList());

    settings.storePort = 1;
    const auto failure =
        GatewayTransfer(m_project->openHab, m_project->language, m_view, settings).PreviewSend(preview);
    QVERIFY(failure && failure->startsWith(QStringLiteral("Die Konfiguration auf dem Varuno konnte nicht")));
}

void TestTransfer::initTestCase()
{
    // The program's language sets the default locale; the texts here are the German ones.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QVERIFY2(m_redis.start(), qPrintable(m_redis.errorString()));
}

void TestTransfer::init()
{
    QVERIFY(m_redis.flushAll());
    m_project = std::make_unique<TransferProject>();
    QVERIFY(m_project->writeFiles());
    m_view = RecordingView();
    m_now = PcTime;
    // A gateway a minute behind the PC, with scene commands.
    setGatewayTime(QByteArray::number(PcTime - 60));
    cli({QStringLiteral("SET"), QStringLiteral("rpi-firmware"), QStringLiteral("2.1")});
}

bool TestTransfer::run(TransferProject& project, TransferMode mode, quint16 port)
{
    m_view.eMode = mode;
    TransferSettings settings;
    settings.storePort = port ? port : m_redis.port();
    settings.busServerWaitMs = 2000;
    settings.busServerPauseMs = 0;
    settings.connectTimeoutMs = 2000;
    settings.replyTimeoutMs = 2000;
    settings.now = [this] { return m_now; };
    return GatewayTransfer(project.openHab, project.language, m_view, settings).RunTransfer();
}

QByteArray TestTransfer::fileField(const QString& name, const char* field) const
{
    for (const auto& [file, key] : gatewayKeys()) {
        if (file == name)
            return cli({QStringLiteral("HGET"), QString::fromLatin1(key), QLatin1String(field)});
    }
    return "no such file";
}

void TestTransfer::send_data()
{
    QTest::addColumn<bool>("reboot");
    QTest::addColumn<QByteArray>("commandsAfter");
    QTest::newRow("restart queued") << true << QByteArray("#1\ndocker restart openhab");
    QTest::newRow("no restart") << false << QByteArray("old 1\nold 2\nold 3");
}

void TestTransfer::send()
{
    QFETCH(bool, reboot);
    QFETCH(QByteArray, commandsAfter);
    TransferProject& project = *m_project;
    project.openHab.reboot = reboot;
    QVERIFY(project.openHab.SaveCfg().isEmpty());
    const QByteArray cfgBefore = readBytes(project.file(QStringLiteral("bticino.cfg")));
    QMap<QString, QByteArray> expected;
    for (const auto& [file, key] : gatewayKeys())
        expected[file] = withoutLastLineBreak(readBytes(project.file(file)));
    expected[QStringLiteral("bticino.cfg")] = "#hmac=true\r\n#settime=false\r\nwebserver.host=127.0.0."
                                              "1\r\nwebserver.port=20000\r\nwebserver.passwd=12345";
    expected[QStringLiteral("homekit.cfg")] = "org.openhab.homekit:port=9124\r\n"
                                              "org.openhab.homekit:pin=482-17-306\r\n"
                                              "org.openhab.homekit:useFahrenheitTemperature=false\r\n"
                                              "org.openhab.homekit:thermostatCoolMode=CoolOn\r\n"
                                              "org.openhab.homekit:thermostatHeatMode=HeatOn\r\n"
                                              "org.openhab.homekit:thermostatAutoMode=Auto\r\n"
                                              "org.openhab.homekit:thermostatOffMode=Off\r\n"
                                              "org.openhab.homekit:networkInterface=127.0.0.1\r\n"
                                              "org.openhab.homekit:name=Varuno";
    cli({QStringLiteral("RPUSH"), QStringLiteral("cmds"), QStringLiteral("old 1"), QStringLiteral("old 2"),
         QStringLiteral("old 3")});

    QVERIFY(run(project, TransferMode::Send));

    QCOMPARE(m_view.scripted.shown, QStringList());
    QStringList keys = {QStringLiteral("bt"), QStringLiteral("cmds"), QStringLiteral("rpi-firmware"),
                        QStringLiteral("rpi-timestamp")};
    for (const auto& [file, key] : gatewayKeys()) {
        keys << QString::fromLatin1(key);
        QCOMPARE(fileField(file, "text"), expected[file]);
        QCOMPARE(fileField(file, "modify"), QByteArray::number(PcTime - 60 + 1));
        QCOMPARE(cli({QStringLiteral("HLEN"), QString::fromLatin1(key)}), "2");
    }
    keys.sort();
    QCOMPARE(keysOf(cli({QStringLiteral("KEYS"), QStringLiteral("*")})), keys);
    QCOMPARE(cli({QStringLiteral("HGETALL"), QStringLiteral("bt")}),
             "ip\n127.0.0.1\nport\n20000\npw\n12345\nhmac\n1\nset\n0");
    QCOMPARE(
        cli({QStringLiteral("LRANGE"), QStringLiteral("cmds"), QStringLiteral("0"), QStringLiteral("-1")}),
        commandsAfter);

    QCOMPARE(project.openHab.reboot, false);
    QCOMPARE(m_view.rebootNote, reboot);
    const QByteArray cfgAfter = readBytes(project.file(QStringLiteral("bticino.cfg")));
    QCOMPARE(cfgAfter, reboot ? QByteArray(cfgBefore).replace("#reboot=true", "#reboot=false") : cfgBefore);
    QCOMPARE(readBytes(project.file(QStringLiteral("homekit.cfg"))),
             expected[QStringLiteral("homekit.cfg")] + "\r\n");

    QCOMPARE(m_view.progress, GatewayTransfer::ProgressSteps);
    QCOMPARE(m_view.maximum, GatewayTransfer::ProgressSteps);
    QCOMPARE(m_view.progressTexts,
             QStringList({QStringLiteral("Prüfe BTicino-Server-Adresse…"),
                          QStringLiteral("Verbinde mit Varuno…"), QStringLiteral("bticino.cfg"),
                          QStringLiteral("bticino.items"), QStringLiteral("openhabcloud.cfg"),
                          QStringLiteral("bticino.rules"), QStringLiteral("bticino.sitemap"),
                          QStringLiteral("uuid"), QStringLiteral("secret"), QStringLiteral("homekit.cfg"),
                          QStringLiteral("mqtt.cfg"), QStringLiteral("Daten erfolgreich gesendet!")}));
}

void TestTransfer::clock_data()
{
    QTest::addColumn<TransferMode>("mode");
    QTest::addColumn<QByteArray>("gatewayTime");
    QTest::addColumn<qint64>("pcTime");
    QTest::addColumn<QByteArray>("clockSet"); // empty: no request to set the gateway's clock
    QTest::addColumn<QByteArray>("stamp");    // "modify" of every file sent
    QTest::addColumn<QString>("caption");     // empty: no server time shown

    const QString ten = QStringLiteral("Server-Zeit: 14.11.2023 21:12");
    for (const TransferMode mode : {TransferMode::Send, TransferMode::Receive}) {
        const char* direction = mode == TransferMode::Send ? "send" : "receive";
        QTest::addRow("%s: PC 120 min 59 s ahead", direction)
            << mode << QByteArray("1699992741") << PcTime << QByteArray() << QByteArray("1699992742") << ten;
        QTest::addRow("%s: PC 121 min ahead", direction)
            << mode << QByteArray("1699992740") << PcTime << QByteArray("1700000000")
            << QByteArray("1700000001") << ten;
        QTest::addRow("%s: gateway ahead", direction)
            << mode << QByteArray("1700100000") << PcTime << QByteArray() << QByteArray("1700100001")
            << QStringLiteral("Server-Zeit: 16.11.2023 03:00");
        QTest::addRow("%s: zero", direction)
            << mode << QByteArray("0") << PcTime << QByteArray() << QByteArray("1700000001") << QString();
        QTest::addRow("%s: not a number", direction) << mode << QByteArray("17000x") << PcTime << QByteArray()
                                                     << QByteArray("1700000001") << QString();
        QTest::addRow("%s: negative", direction)
            << mode << QByteArray("-5") << PcTime << QByteArray() << QByteArray("1700000001") << QString();
        QTest::addRow("%s: last second of 32 bits", direction)
            << mode << QByteArray("2147483647") << qint64(2147483647) << QByteArray()
            << QByteArray("2147483648") << QStringLiteral("Server-Zeit: 19.01.2038 04:14");
        // A clock beyond 32 bits is no clock the gateway can have: it counts as not a number.
        QTest::addRow("%s: beyond 32 bits", direction)
            << mode << QByteArray("4102444800") << qint64(4102444800 + 7260) << QByteArray()
            << QByteArray("4102452061") << QString();
        QTest::addRow("%s: largest 64-bit number", direction)
            << mode << QByteArray("9223372036854775807") << PcTime << QByteArray() << QByteArray("1700000001")
            << QString();
        QTest::addRow("%s: below 32 bits", direction)
            << mode << QByteArray("-2147483649") << PcTime << QByteArray() << QByteArray("1700000001")
            << QString();
    }
}

void TestTransfer::clock()
{
    QFETCH(TransferMode, mode);
    QFETCH(QByteArray, gatewayTime);
    QFETCH(qint64, pcTime);
    QFETCH(QByteArray, clockSet);
    QFETCH(QByteArray, stamp);
    QFETCH(QString, caption);
    m_now = pcTime;
    setGatewayTime(gatewayTime);
    storeSevenFiles();

    QVERIFY(run(*m_project, mode));

    QCOMPARE(cli({QStringLiteral("GET"), QStringLiteral("rpi-timestamp-set")}), clockSet);
    QCOMPARE(m_view.serverCaption, caption);
    if (!caption.isEmpty())
        QCOMPARE(m_view.serverHint, QStringLiteral("RPI: ") + QString::fromLatin1(gatewayTime) +
                                        QStringLiteral(" / PC: ") + QString::number(pcTime));
    if (mode == TransferMode::Send) {
        for (const auto& [file, key] : gatewayKeys())
            QCOMPARE(fileField(file, "modify"), stamp);
    }
}

// A store without a clock is refused; one with no file either is no gateway's configuration at all.
void TestTransfer::absentTimestamp_data()
{
    QTest::addColumn<TransferMode>("mode");
    QTest::addColumn<bool>("filesOnGateway");
    QTest::addColumn<QString>("message");
    QTest::newRow("send") << TransferMode::Send << false << Msg222;
    QTest::newRow("send, files on the gateway") << TransferMode::Send << true << Msg222;
    QTest::newRow("receive") << TransferMode::Receive << false << Msg90;
    QTest::newRow("receive, files on the gateway") << TransferMode::Receive << true << Msg222;
}

void TestTransfer::absentTimestamp()
{
    QFETCH(TransferMode, mode);
    QFETCH(bool, filesOnGateway);
    QFETCH(QString, message);
    cli({QStringLiteral("DEL"), QStringLiteral("rpi-timestamp")});
    if (filesOnGateway)
        storeSevenFiles();
    const QByteArray gateway = gatewayState();
    const QByteArray items = readBytes(m_project->file(QStringLiteral("bticino.items")));

    QVERIFY(!run(*m_project, mode));

    QCOMPARE(m_view.scripted.shown, QStringList({message}));
    QCOMPARE(gatewayState(), gateway);
    QCOMPARE(readBytes(m_project->file(QStringLiteral("bticino.items"))), items);
}

void TestTransfer::sceneCommandTest_data()
{
    QTest::addColumn<TransferMode>("mode");
    QTest::addColumn<QString>("firmware"); // "absent" for no key at all
    QTest::addColumn<bool>("sceneCommands");
    QTest::addColumn<QString>("answer"); // empty: no question expected
    QTest::addColumn<bool>("result");

    const QString absent = QStringLiteral("absent");
    QTest::newRow("absent, MQTT, No")
        << TransferMode::Send << absent << true << QStringLiteral("no") << false;
    QTest::newRow("absent, MQTT, Yes")
        << TransferMode::Send << absent << true << QStringLiteral("yes") << true;
    QTest::newRow("empty, MQTT, No") << TransferMode::Send << QString() << true << QStringLiteral("no")
                                     << false;
    QTest::newRow("absent, no MQTT") << TransferMode::Send << absent << false << QString() << true;
    QTest::newRow("present, MQTT") << TransferMode::Send << QStringLiteral("1.0") << true << QString()
                                   << true;
    QTest::newRow("receiving never asks") << TransferMode::Receive << absent << true << QString() << true;
}

void TestTransfer::sceneCommandTest()
{
    QFETCH(TransferMode, mode);
    QFETCH(QString, firmware);
    QFETCH(bool, sceneCommands);
    QFETCH(QString, answer);
    QFETCH(bool, result);
    QVERIFY(m_project->writeFiles(sceneCommands));
    if (firmware == QStringLiteral("absent"))
        cli({QStringLiteral("DEL"), QStringLiteral("rpi-firmware")});
    else
        cli({QStringLiteral("SET"), QStringLiteral("rpi-firmware"), firmware});
    if (answer == QStringLiteral("yes"))
        m_view.scripted.queueYes();
    else if (answer == QStringLiteral("no"))
        m_view.scripted.queueNo();
    if (mode == TransferMode::Receive)
        storeSevenFiles();

    QCOMPARE(run(*m_project, mode), result);

    QCOMPARE(m_view.scripted.shown, answer.isEmpty() ? QStringList() : QStringList({Msg73}));
    QVERIFY(m_view.scripted.allAnswered());
    QCOMPARE(fileKeysOnGateway().size(), !result ? 0 : mode == TransferMode::Send ? 9 : 7);
}

void TestTransfer::unreadableItemsInSceneTest()
{
    cli({QStringLiteral("DEL"), QStringLiteral("rpi-firmware")});
    QVERIFY(QFile::remove(m_project->file(QStringLiteral("bticino.items"))));

    QVERIFY(!run(*m_project, TransferMode::Send));

    QCOMPARE(m_view.scripted.shown.size(), 2);
    QVERIFY(m_view.scripted.shown.constFirst().startsWith(QStringLiteral("error: Datei ")));
    QCOMPARE(m_view.scripted.shown.constLast(), Msg37);
    QCOMPARE(fileKeysOnGateway(), QStringList());
}

using namespace Qt::StringLiterals;

void TestTransfer::busServerCheck_data()
{
    QTest::addColumn<TransferMode>("mode");
    QTest::addColumn<QString>("server");
    QTest::addColumn<bool>("answer");
    QTest::newRow("send, No") << TransferMode::Send << u"invalid.invalid"_s << false;
    QTest::newRow("send, Yes") << TransferMode::Send << u"invalid.invalid"_s << true;
    QTest::newRow("receive, No") << TransferMode::Receive << u"invalid.invalid"_s << false;
    // A new project has no bus server yet: nothing to look for, the question names the setting.
    QTest::newRow("no address, No") << TransferMode::Send << u" "_s << false;
}

void TestTransfer::busServerCheck()
{
    QFETCH(TransferMode, mode);
    QFETCH(QString, server);
    QFETCH(bool, answer);
    m_project->openHab.serverIP = server;
    answer ? m_view.scripted.queueYes() : m_view.scripted.queueNo();
    const QByteArray items = readBytes(m_project->file(QStringLiteral("bticino.items")));

    QCOMPARE(run(*m_project, mode), answer);

    const QString question =
        server.trimmed().isEmpty()
            ? u"confirm, default No: Für dieses Projekt ist kein BTicino-Server eingetragen "
              u"(Server-Einstellungen: "
              u"IP-Adresse des BTicino-Gateways). Wollen Sie die Konfiguration trotzdem übertragen?"_s
            : u"confirm, default No: Es konnte kein BTicino-Server unter der IP " + server +
                  u" gefunden werden! Wollen Sie die Konfiguration trotzdem senden?"_s;
    QCOMPARE(m_view.scripted.shown, QStringList{question});
    if (!answer) {
        QCOMPARE(m_view.progressTexts, server.trimmed().isEmpty()
                                           ? QStringList()
                                           : QStringList({QStringLiteral("Prüfe BTicino-Server-Adresse…")}));
        QCOMPARE(fileKeysOnGateway(), QStringList());
        QCOMPARE(readBytes(m_project->file(QStringLiteral("bticino.items"))), items);
    }
}

QByteArray TestTransfer::gatewayState() const
{
    QByteArray state;
    for (const auto& [file, key] : gatewayKeys())
        state += cli({QStringLiteral("HGETALL"), QString::fromLatin1(key)}) + '\n';
    return state + cli({QStringLiteral("HGETALL"), QStringLiteral("bt")}) + '\n' +
           cli({QStringLiteral("LRANGE"), QStringLiteral("cmds"), QStringLiteral("0"),
                QStringLiteral("-1")}) +
           '\n' + cli({QStringLiteral("GET"), QStringLiteral("rpi-timestamp-set")});
}

// Whatever stops a send, the gateway keeps every old file, its bus-server settings and its
// commands, and the restart stays pending. The user learns which file failed and why.
void TestTransfer::sendFailureChangesNothing_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message"); // the first box begins so; %1 is the failed file
    const QString notOpened = QStringLiteral("error: Datei %1 kann nicht geöffnet werden. ");
    QTest::newRow("project file missing") << QStringLiteral("missing") << notOpened;
    QTest::newRow("project file is a folder") << QStringLiteral("folder") << notOpened;
    QTest::newRow("project file unreadable") << QStringLiteral("unreadable") << notOpened;
    QTest::newRow("gateway file is no hash")
        << QStringLiteral("list")
        << QStringLiteral("error: Fehler: Daten konnten nicht übermittelt werden. "
                          "/var/lib/docker/volumes/openhab_conf/_data/rules/bticino.rules holds a list, "
                          "not a hash");
}

void TestTransfer::sendFailureChangesNothing()
{
    QFETCH(QString, fault);
    QFETCH(QString, message);
    QVERIFY(run(*m_project, TransferMode::Send));
    m_project->openHab.reboot = true;
    QVERIFY(m_project->openHab.SaveCfg().isEmpty());
    cli({QStringLiteral("RPUSH"), QStringLiteral("cmds"), QStringLiteral("old")});
    m_now = PcTime + 3 * 3600; // asks the gateway to set its clock
    const QString rules = m_project->file(QStringLiteral("bticino.rules"));
    QVERIFY(writeBytes(m_project->file(QStringLiteral("bticino.items")), "neu\r\n"));
    if (fault == QStringLiteral("list")) {
        const QString key = QString::fromLatin1(gatewayKeys().at(3).second);
        cli({QStringLiteral("DEL"), key});
        cli({QStringLiteral("RPUSH"), key, QStringLiteral("x")});
    } else {
        QVERIFY(QFile::remove(rules));
        if (fault == QStringLiteral("folder"))
            QVERIFY(QDir().mkpath(rules));
        if (fault == QStringLiteral("unreadable")) {
            QVERIFY(writeBytes(rules, "x\r\n"));
            QVERIFY(QFile::setPermissions(rules, QFileDevice::WriteOwner));
            if (QFile file(rules); file.open(QIODevice::ReadOnly))
                QSKIP("this user reads any file");
        }
    }
    const QByteArray before = gatewayState();
    m_view = RecordingView();

    QVERIFY(!run(*m_project, TransferMode::Send));

    QCOMPARE(m_view.scripted.shown.size(), fault == QStringLiteral("list") ? 1 : 2);
    if (message.contains(QStringLiteral("%1")))
        message = message.arg(QDir::toNativeSeparators(rules));
    QVERIFY2(m_view.scripted.shown.constFirst().startsWith(message),
             qPrintable(m_view.scripted.shown.constFirst()));
    if (m_view.scripted.shown.size() == 2)
        QCOMPARE(m_view.scripted.shown.constLast(), Msg37);
    QCOMPARE(gatewayState(), before);
    QCOMPARE(m_project->openHab.reboot, true);
    QVERIFY(readBytes(m_project->file(QStringLiteral("bticino.cfg"))).contains("#reboot=true"));
}

// The connection ends after any number of bytes of the send's requests, as when the program is
// killed: the gateway holds all of the old configuration or all of the new one, nothing between.
void TestTransfer::sendCutAnywhereLeavesOldOrNew()
{
    TransferProject& project = *m_project;
    // The old configuration on the gateway, and a new one in the project that differs in a file,
    // the bus-server settings and the restart.
    const auto sendOld = [&] {
        QVERIFY(m_redis.flushAll());
        setGatewayTime(QByteArray::number(PcTime - 60));
        cli({QStringLiteral("SET"), QStringLiteral("rpi-firmware"), QStringLiteral("2.1")});
        project.openHab.serverPort = QStringLiteral("20000");
        project.openHab.reboot = false;
        QVERIFY(project.writeFiles());
        m_view = RecordingView();
        QVERIFY(run(project, TransferMode::Send));
        project.openHab.serverPort = QStringLiteral("20001");
        project.openHab.reboot = true;
        QVERIFY(project.openHab.SaveCfg().isEmpty());
        QVERIFY(writeBytes(project.file(QStringLiteral("bticino.items")), "Switch SWITCH_9 \"Neu\"\r\n"));
        m_view = RecordingView();
    };
    const auto sendNew = [&](qint64 budget) {
        CutProxy proxy(m_redis.port(), budget);
        run(project, TransferMode::Send, proxy.port());
        return proxy.passed();
    };
    sendOld();
    const QByteArray oldState = gatewayState();
    const qint64 whole = sendNew(std::numeric_limits<qint64>::max());
    const QByteArray newState = gatewayState();
    QVERIFY(newState != oldState);

    // The send reads back what it wrote once the transaction ran, so a cut late in its bytes
    // may already find the new configuration in place.
    for (const qint64 budget : {qint64(1), whole / 3, whole / 2, whole - 100, whole - 1, whole}) {
        sendOld();
        QCOMPARE(gatewayState(), oldState);
        QCOMPARE(sendNew(budget), budget);
        const QByteArray state = gatewayState();
        QVERIFY(state == oldState || state == newState);
        QVERIFY(budget != whole || state == newState);
        QVERIFY(budget != 1 || state == oldState);
    }
}

void TestTransfer::sendThenReceive()
{
    QVERIFY(run(*m_project, TransferMode::Send));
    QVERIFY(fileField(QStringLiteral("bticino.items"), "text").contains("\x4B\xC3\xBC\x63\x68\x65"));
    QVERIFY(fileField(QStringLiteral("bticino.items"), "text").contains("Caf\xC3\xA9 \xE2\x82\xAC \xC5\x82"));

    TransferProject fresh(QStringLiteral("Neu"));
    m_view = RecordingView();
    QVERIFY(run(fresh, TransferMode::Receive));

    QCOMPARE(m_view.scripted.shown, QStringList());
    for (const auto& [file, key] : gatewayKeys().first(7)) {
        QByteArray original = readBytes(m_project->file(file));
        // The restart flag is the program's own and never leaves the PC.
        if (file == QStringLiteral("bticino.cfg"))
            original.replace("#reboot=false\r\n", "");
        QCOMPARE(readBytes(fresh.file(file)), original);
    }
    QVERIFY(!QFile::exists(fresh.file(QStringLiteral("homekit.cfg"))));
    QVERIFY(!QFile::exists(fresh.file(QStringLiteral("mqtt.cfg"))));
    QCOMPARE(m_view.progress, GatewayTransfer::ProgressSteps);
    QCOMPARE(m_view.progressTexts.last(), QStringLiteral("Daten erfolgreich empfangen!"));
    QCOMPARE(
        m_view.progressTexts.mid(2, 7),
        QStringList({QStringLiteral("bticino.cfg"), QStringLiteral("bticino.items"),
                     QStringLiteral("openhabcloud.cfg"), QStringLiteral("bticino.rules"),
                     QStringLiteral("bticino.sitemap"), QStringLiteral("uuid"), QStringLiteral("secret")}));
}

// Taking some files of the gateway and leaving others would mix two configurations, and an empty
// uuid or secret would give the project a new cloud identity.
void TestTransfer::receivePartialStore()
{
    QVERIFY(run(*m_project, TransferMode::Send));
    cli({QStringLiteral("DEL"), QString::fromLatin1(gatewayKeys().at(3).second)});
    cli({QStringLiteral("HDEL"), QString::fromLatin1(gatewayKeys().at(6).second), QStringLiteral("text")});
    const QMap<QString, QByteArray> before = projectFiles();
    m_view = RecordingView();

    QVERIFY(!run(*m_project, TransferMode::Receive));

    QCOMPARE(
        m_view.scripted.shown,
        QStringList({QStringLiteral("error: Auf dem Varuno fehlen Dateien der Konfiguration: bticino.rules, "
                                    "secret. Das Projekt wurde nicht verändert.")}));
    QCOMPARE(projectFiles(), before);
}

// A file that cannot be written ends the receive with an error before any file is replaced.
void TestTransfer::receiveUnwritableFile()
{
    const QList<QPair<QString, QByteArray>> files = gatewayKeys().first(7);
    for (const auto& [file, key] : files)
        cli({QStringLiteral("HSET"), QString::fromLatin1(key), QStringLiteral("text"),
             QStringLiteral("neu ") + file});
    const QString rules = m_project->file(QStringLiteral("bticino.rules"));
    QVERIFY(QFile::remove(rules));
    QVERIFY(QDir().mkpath(rules));

    QVERIFY(!run(*m_project, TransferMode::Receive));

    // The user learns which file failed and why, then that the transfer failed.
    QCOMPARE(
        m_view.scripted.shown,
        QStringList({QStringLiteral("error: ") +
                         FileError{QDir::toNativeSeparators(rules), QStringLiteral("Is a directory")}.text(
                             m_project->language),
                     Msg37}));
    for (const auto& [file, key] : files)
        QVERIFY2(!readBytes(m_project->file(file)).startsWith("neu "), qPrintable(file));
    QCOMPARE(m_view.progress, 3);
    QVERIFY(!QFileInfo::exists(m_project->file(QStringLiteral("backups"))));
}

// The disk fills up while the received files are staged: the project keeps every file as it was,
// and no staged file stays behind.
void TestTransfer::receiveOnAFullDiskChangesNothing()
{
    SmallFileSystem disk(512);
    if (!disk.isActive())
        QSKIP("no small file system can be mounted here");
    TransferProject& project = *m_project;
    project.openHab.sProjPath = disk.path() + QLatin1Char('/');
    QVERIFY(project.writeFiles());
    const QByteArray large(100 * 1024, 'x');
    for (const auto& [file, key] : gatewayKeys().first(7))
        m_redis.cli({QStringLiteral("HSET"), QString::fromLatin1(key), QStringLiteral("text")}, large);
    const QStringList entries =
        QDir(disk.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QMap<QString, QByteArray> before;
    for (const QString& name : entries)
        before[name] = readBytes(project.file(name));
    QVERIFY(disk.fill(250 * 1024));

    QVERIFY(!run(project, TransferMode::Receive));

    disk.release();
    // The file that did not fit is named with the system's reason.
    QCOMPARE(m_view.scripted.shown.size(), 2);
    QVERIFY2(m_view.scripted.shown.constFirst().startsWith(QStringLiteral("error: Datei ")) &&
                 m_view.scripted.shown.constFirst().endsWith(QStringLiteral("No space left on device")),
             qPrintable(m_view.scripted.shown.constFirst()));
    QCOMPARE(m_view.scripted.shown.constLast(), Msg37);
    QCOMPARE(QDir(disk.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), entries);
    for (const QString& name : entries)
        QCOMPARE(readBytes(project.file(name)), before[name]);
}

// A store without any of the seven files is no configuration to take: a gateway never configured,
// or another store at the address typed.
void TestTransfer::receiveFromAnEmptyGateway()
{
    QMap<QString, QByteArray> before;
    for (const auto& [file, key] : gatewayKeys().first(7))
        before[file] = readBytes(m_project->file(file));

    QVERIFY(!run(*m_project, TransferMode::Receive));

    QCOMPARE(m_view.scripted.shown,
             QStringList({QStringLiteral("error: Auf dem Varuno wurde keine Konfiguration gefunden. Das "
                                         "Projekt wurde nicht verändert.")}));
    for (auto file = before.cbegin(); file != before.cend(); ++file)
        QCOMPARE(readBytes(m_project->file(file.key())), file.value());
    QCOMPARE(
        QDir(m_project->openHab.sProjPath).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QDir(m_project->openHab.sProjPath).entryList(QDir::Files | QDir::NoDotAndDotDot));
}

void TestTransfer::receiveKeepsTheProjectsFilesInABackup()
{
    const QList<QPair<QString, QByteArray>> files = gatewayKeys().first(7);
    QMap<QString, QByteArray> before;
    for (const auto& [file, key] : files) {
        before[file] = readBytes(m_project->file(file));
        cli({QStringLiteral("HSET"), QString::fromLatin1(key), QStringLiteral("text"),
             QStringLiteral("neu")});
    }

    QVERIFY(run(*m_project, TransferMode::Receive));
    QVERIFY(run(*m_project, TransferMode::Receive));

    ProjectBackups backups(m_project->openHab.sProjPath, m_project->language);
    const QList<Backup> list = backups.List();
    QCOMPARE(list.size(), 2);
    const Backup& first = list.last();
    QCOMPARE(first.kind, BackupKind::BeforeReceive);
    QCOMPARE(first.files.size(), 7);
    for (const auto& [file, key] : files) {
        QCOMPARE(readBytes(m_project->file(file)), QByteArray("neu\r\n"));
        QCOMPARE(readBytes(backups.folder() + first.name + QLatin1Char('/') + file), before[file]);
    }
    QCOMPARE(backups.Restore(first.name), std::nullopt);
    for (const auto& [file, key] : files)
        QCOMPARE(readBytes(m_project->file(file)), before[file]);
}

// What the gateway held before a send comes back by restoring the backup and sending again.
void TestTransfer::sendKeepsTheGatewaysFilesInABackup()
{
    const QList<QPair<QString, QByteArray>> kept = {gatewayKeys().at(1), gatewayKeys().at(8)};
    for (const auto& [file, key] : kept)
        cli({QStringLiteral("HSET"), QString::fromLatin1(key), QStringLiteral("text"),
             QStringLiteral("alt ") + file + QStringLiteral("\r\nKüche")});

    QVERIFY(run(*m_project, TransferMode::Send));

    ProjectBackups backups(m_project->openHab.sProjPath, m_project->language);
    QCOMPARE(backups.List().size(), 1);
    const Backup backup = backups.List().constFirst();
    QCOMPARE(backup.kind, BackupKind::GatewayBeforeSend);
    QCOMPARE(backup.files, QStringList({QStringLiteral("bticino.items"), QStringLiteral("mqtt.cfg")}));

    QCOMPARE(backups.Restore(backup.name), std::nullopt);
    QVERIFY(run(*m_project, TransferMode::Send));
    for (const auto& [file, key] : kept)
        QCOMPARE(fileField(file, "text"), QByteArray("alt ") + file.toUtf8() + "\r\nKüche");
}

// Without its backup a transfer changes nothing, on either side.
void TestTransfer::noBackupNoTransfer_data()
{
    QTest::addColumn<TransferMode>("mode");
    QTest::newRow("send") << TransferMode::Send;
    QTest::newRow("receive") << TransferMode::Receive;
}

void TestTransfer::noBackupNoTransfer()
{
    QFETCH(TransferMode, mode);
    for (const auto& [file, key] : gatewayKeys().first(7))
        cli({QStringLiteral("HSET"), QString::fromLatin1(key), QStringLiteral("text"),
             QStringLiteral("alt")});
    // A file where the backups' folder belongs.
    QVERIFY(writeBytes(m_project->file(QStringLiteral("backups")), "kein Ordner"));
    QMap<QString, QByteArray> before;
    for (const auto& [file, key] : gatewayKeys().first(7))
        before[file] = readBytes(m_project->file(file));

    QVERIFY(!run(*m_project, mode));

    QCOMPARE(m_view.scripted.shown.size(), 1);
    QVERIFY2(m_view.scripted.shown.constFirst().startsWith(QStringLiteral(
                 "error: Die Sicherung konnte nicht angelegt werden. Es wurde nichts übertragen.")),
             qPrintable(m_view.scripted.shown.constFirst()));
    for (const auto& [file, key] : gatewayKeys().first(7)) {
        QCOMPARE(readBytes(m_project->file(file)), before[file]);
        QCOMPARE(fileField(file, "text"), QByteArray("alt"));
    }
}

void TestTransfer::emptyAddress()
{
    m_view.sAddress.clear();
    QVERIFY(!run(*m_project, TransferMode::Send));
    QCOMPARE(m_view.scripted.shown, QStringList({Msg32}));
    QCOMPARE(m_view.progressTexts, QStringList());
}

void TestTransfer::storeUnreachable()
{
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();

    QVERIFY(!run(*m_project, TransferMode::Send, port));
    QCOMPARE(m_view.scripted.shown, QStringList({Msg34}));
}

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
