#include "tst_transferfixture.h"

#include "link/transfertext.h"
#include "scriptedresppeer.h"

#include <QDir>
#include <QElapsedTimer>

#include <QTest>

namespace {

// Messages 37 and 221 both begin so; 221 goes on with the reason.
const QString TransferFailed = QStringLiteral("error: Fehler: Daten konnten nicht übermittelt werden");
constexpr int ShortReplyTimeout = 300;

// What a healthy gateway answers to each request of a transfer, in order: the firmware marker, a
// clock a minute behind the PC, and plain confirmations; file texts for a receive.
QByteArray bulk(const QByteArray& value)
{
    return '$' + QByteArray::number(value.size()) + "\r\n" + value + "\r\n";
}

// What the send reads back after its transaction: each file's text and stamp, then the bus-server
// settings, as they were written.
QList<QByteArray> readBack(const TransferProject& project)
{
    QList<QByteArray> replies;
    for (const auto& [file, key] : gatewayKeys()) {
        replies << bulk(file == OpenHabGenerator::sHomeKitFile
                            ? OpenHabGenerator::HomekitLines(QStringLiteral("127.0.0.1"))
                                  .join(QStringLiteral("\r\n"))
                                  .toUtf8()
                            : ReadTransferText(project.file(file)))
                << bulk("1699999941");
    }
    for (const QByteArray value : {"127.0.0.1", "20000", "12345", "1", "0"})
        replies << bulk(value);
    return replies;
}

QList<QByteArray> healthyReplies(TransferMode mode, const TransferProject& project)
{
    if (mode == TransferMode::Receive)
        return QList<QByteArray>{"$10\r\n1699999940\r\n"} + QList<QByteArray>(7, "$6\r\nline 1\r\n");
    // The two GETs, the watch on the 10 hashes and their types, the backup's reads of the 9 files,
    // then the transaction of 9 files of two fields, 5 bus-server fields and the three list commands.
    constexpr int Writes = 18 + 5 + 3;
    return QList<QByteArray>{"$3\r\n2.1\r\n", "$10\r\n1699999940\r\n", "+OK\r\n"} +
           QList<QByteArray>(10, "+hash\r\n") + QList<QByteArray>(9, "$3\r\nalt\r\n") +
           QList<QByteArray>{"+OK\r\n"} + QList<QByteArray>(Writes, "+QUEUED\r\n") +
           QList<QByteArray>{"*" + QByteArray::number(Writes) + "\r\n" +
                             QByteArray(":1\r\n").repeated(Writes)} +
           readBack(project);
}

} // namespace

class TestTransferFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void requestsOfASend();
    void faultyReply_data();
    void faultyReply();
    void receiveChangesNothingOnAFault_data();
    void receiveChangesNothingOnAFault();
    void cancelledTransferStopsAtOnce_data();
    void cancelledTransferStopsAtOnce();

private:
    bool run(RecordingView& view, quint16 port, int replyTimeoutMs = ShortReplyTimeout);
    // Every entry of the project folder, hidden ones included, with the bytes of each file.
    QMap<QString, QByteArray> projectFolder() const;

    // One project serves every case: a failed transfer changes no project file that a later case
    // reads, and writing files anew for every case would only slow the tests down.
    TransferProject m_project;
};

void TestTransferFaults::initTestCase()
{
    QVERIFY(m_project.writeFiles());
}

void TestTransferFaults::init()
{
    m_project.openHab.reboot = true;
}

bool TestTransferFaults::run(RecordingView& view, quint16 port, int replyTimeoutMs)
{
    TransferSettings settings;
    settings.storePort = port;
    settings.busServerWaitMs = 2000;
    settings.busServerPauseMs = 0;
    settings.connectTimeoutMs = ScriptedRespPeer::Patience;
    settings.replyTimeoutMs = replyTimeoutMs;
    settings.now = [] { return qint64(1'700'000'000); };
    return GatewayTransfer(m_project.openHab, m_project.language, view, settings).RunTransfer();
}

// The order of the writes is the gateway's contract: text before modify, the bus server after the
// files, the command list replaced last.
void TestTransferFaults::requestsOfASend()
{
    RecordingView view;
    ScriptedRespPeer gateway(healthyReplies(TransferMode::Send, m_project));

    QVERIFY(run(view, gateway.port()));

    QList<QByteArray> commands;
    for (const QList<QByteArray>& request : gateway.requests())
        commands
            << (request.first() == "HSET" && request.at(2) == "text" ? request.first(3) : request).join(' ');
    QList<QByteArray> expected = {"GET rpi-firmware", "GET rpi-timestamp"};
    QList<QByteArray> hashes;
    for (const auto& [file, key] : gatewayKeys())
        hashes << key;
    hashes << "bt";
    expected << "WATCH " + hashes.join(' ');
    for (const QByteArray& hash : hashes)
        expected << "TYPE " + hash;
    for (const auto& [file, key] : gatewayKeys())
        expected << "HGET " + key + " text";
    expected << "MULTI";
    for (const auto& [file, key] : gatewayKeys())
        expected << "HSET " + key + " text"
                 << "HSET " + key + " modify 1699999941";
    expected << "HSET bt ip 127.0.0.1"
             << "HSET bt port 20000"
             << "HSET bt pw 12345"
             << "HSET bt hmac 1"
             << "HSET bt set 0"
             << "DEL cmds"
             << "RPUSH cmds docker restart openhab"
             << "LPUSH cmds #1"
             << "EXEC";
    for (const auto& [file, key] : gatewayKeys())
        expected << "HGET " + key + " text"
                 << "HGET " + key + " modify";
    for (const QByteArray field : {"ip", "port", "pw", "hmac", "set"})
        expected << "HGET bt " + field;
    QCOMPARE(commands, expected);
}

void TestTransferFaults::faultyReply_data()
{
    QTest::addColumn<TransferMode>("mode");
    QTest::addColumn<int>("faultAt");
    QTest::addColumn<QByteArray>("fault");
    QTest::addColumn<bool>("hangUp");
    QTest::addColumn<bool>("result");

    for (const TransferMode mode : {TransferMode::Send, TransferMode::Receive}) {
        const char* direction = mode == TransferMode::Send ? "send" : "receive";
        const QList<QByteArray> replies = healthyReplies(mode, m_project);
        for (int at = 0; at < replies.size(); ++at) {
            const QByteArray& reply = replies.at(at);
            // An unreadable firmware marker counts as none; only the store's refusal leaves the
            // connection usable, so the send goes on after it alone.
            const bool refusalIgnored = mode == TransferMode::Send && at == 0;
            QTest::addRow("%s, request %d: hang-up", direction, at)
                << mode << at << QByteArray() << true << false;
            QTest::addRow("%s, request %d: half a reply", direction, at)
                << mode << at << reply.first(reply.size() / 2) << true << false;
            QTest::addRow("%s, request %d: unknown reply kind", direction, at)
                << mode << at << QByteArray("!garbage\r\n") << false << false;
            QTest::addRow("%s, request %d: wrong length", direction, at)
                << mode << at << QByteArray("$5\r\nab\r\nxyz") << false << false;
            QTest::addRow("%s, request %d: error reply", direction, at)
                << mode << at << QByteArray("-ERR injected\r\n") << false << refusalIgnored;
        }
        for (const int at : {0, 1, int(replies.size()) - 1})
            QTest::addRow("%s, request %d: silence", direction, at)
                << mode << at << QByteArray() << false << false;
    }
}

void TestTransferFaults::faultyReply()
{
    QFETCH(TransferMode, mode);
    QFETCH(int, faultAt);
    QFETCH(QByteArray, fault);
    QFETCH(bool, hangUp);
    QFETCH(bool, result);
    RecordingView view;
    view.eMode = mode;
    QList<QByteArray> replies = healthyReplies(mode, m_project);
    replies[faultAt] = fault;
    // Only the store's refusal keeps the connection worth answering on.
    if (!fault.startsWith('-'))
        replies.resize(faultAt + 1);
    ScriptedRespPeer gateway(replies, hangUp ? ScriptedRespPeer::Close : ScriptedRespPeer::KeepSilent);

    QCOMPARE(run(view, gateway.port()), result);

    if (result) {
        QCOMPARE(view.scripted.shown, QStringList());
    } else {
        QCOMPARE(view.scripted.shown.size(), 1);
        QVERIFY2(view.scripted.shown.constFirst().startsWith(TransferFailed),
                 qPrintable(view.scripted.shown.constFirst()));
    }
    // Nothing is retried: the transfer stops at the failed request.
    QCOMPARE(gateway.requests().size(), result ? healthyReplies(mode, m_project).size() : faultAt + 1);
    // Once the transaction ran the restart is queued, whatever the reading back finds.
    const bool queued =
        result || (mode == TransferMode::Send &&
                   faultAt >= healthyReplies(mode, m_project).size() - readBack(m_project).size());
    QCOMPARE(m_project.openHab.reboot, !queued);
}

QMap<QString, QByteArray> TestTransferFaults::projectFolder() const
{
    const QDir dir(m_project.openHab.sProjPath);
    QMap<QString, QByteArray> entries;
    for (const QString& name : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        entries[name] = readBytes(dir.filePath(name));
    return entries;
}

// Whichever of the seven replies breaks, and however, the project stays as it was: no file
// replaced, none left behind, no backup made. A reply that never ends is cut off by the deadline.
void TestTransferFaults::receiveChangesNothingOnAFault_data()
{
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<bool>("hangUp");
    QTest::addColumn<QString>("message");

    const QList<std::tuple<const char*, QByteArray, bool>> faults = {
        {"error reply", "-ERR injected\r\n", false},   {"wrong type", "*1\r\n$1\r\nx\r\n", false},
        {"cut connection", "$6\r\nlin", true},         {"bad length", "$5\r\nline 1\r\n", false},
        {"bad terminator", "$6\r\nline 1XY", false},   {"silence", QByteArray(), false},
        {"trickle", ScriptedRespPeer::Trickle, false},
    };
    const QList<QByteArray> healthy = healthyReplies(TransferMode::Receive, m_project);
    for (int file = 1; file <= 7; ++file) {
        for (const auto& [name, fault, hangUp] : faults) {
            QList<QByteArray> replies = healthy;
            replies[file] = fault;
            if (!fault.startsWith('-'))
                replies.resize(file + 1);
            QTest::addRow("file %d: %s", file, name) << replies << hangUp << TransferFailed;
        }
    }
    QTest::newRow("no file on the gateway")
        << (healthy.first(1) + QList<QByteArray>(7, "$-1\r\n")) << false
        << QStringLiteral("error: Auf dem Varuno wurde keine Konfiguration gefunden. Das Projekt wurde nicht "
                          "verändert.");
    QList<QByteArray> partial = healthy;
    partial[2] = partial[7] = "$-1\r\n";
    QTest::newRow("two files missing")
        << partial << false
        << QStringLiteral("error: Auf dem Varuno fehlen Dateien der Konfiguration: bticino.items, secret. "
                          "Das Projekt wurde nicht verändert.");
}

void TestTransferFaults::receiveChangesNothingOnAFault()
{
    QFETCH(QList<QByteArray>, replies);
    QFETCH(bool, hangUp);
    QFETCH(QString, message);
    const QMap<QString, QByteArray> before = projectFolder();
    RecordingView view;
    view.eMode = TransferMode::Receive;
    ScriptedRespPeer gateway(replies, hangUp ? ScriptedRespPeer::Close : ScriptedRespPeer::KeepSilent);
    QElapsedTimer elapsed;
    elapsed.start();

    QVERIFY(!run(view, gateway.port()));

    // Well within the peer's patience: the deadline, not the peer, ended the wait.
    QVERIFY2(elapsed.elapsed() < ScriptedRespPeer::Patience / 2,
             qPrintable(QString::number(elapsed.elapsed())));
    QCOMPARE(view.scripted.shown.size(), 1);
    QVERIFY2(view.scripted.shown.constFirst().startsWith(message),
             qPrintable(view.scripted.shown.constFirst()));
    QCOMPARE(projectFolder(), before);
}

// The user's cancel ends the wait for the store at once, long before the deadline, and a receive
// leaves nothing behind.
void TestTransferFaults::cancelledTransferStopsAtOnce_data()
{
    QTest::addColumn<TransferMode>("mode");
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::newRow("receive, value trickling")
        << TransferMode::Receive
        << (healthyReplies(TransferMode::Receive, m_project).first(3) << ScriptedRespPeer::Trickle);
    QTest::newRow("send, gateway silent")
        << TransferMode::Send << healthyReplies(TransferMode::Send, m_project).first(2);
}

void TestTransferFaults::cancelledTransferStopsAtOnce()
{
    QFETCH(TransferMode, mode);
    QFETCH(QList<QByteArray>, replies);
    class CancellingView : public RecordingView
    {
    public:
        // Asked every few milliseconds while the transfer waits: this cancels half a second into
        // the wait for the reply that does not come.
        bool cancelRequested() override { return ++polls > 10; }
        int polls = 0;
    };
    const QMap<QString, QByteArray> before = projectFolder();
    CancellingView view;
    view.eMode = mode;
    ScriptedRespPeer gateway(replies);
    QElapsedTimer elapsed;
    elapsed.start();

    QVERIFY(!run(view, gateway.port(), 60'000));

    QVERIFY2(elapsed.elapsed() < ScriptedRespPeer::Patience / 2,
             qPrintable(QString::number(elapsed.elapsed())));
    QCOMPARE(view.scripted.shown, QStringList());
    QCOMPARE(view.progressTexts.last(), QStringLiteral("Die Übertragung wurde abgebrochen."));
    if (mode == TransferMode::Receive)
        QCOMPARE(projectFolder(), before);
}

QTEST_GUILESS_MAIN(TestTransferFaults)
#include "tst_transferfaults.moc"
