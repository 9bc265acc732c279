#include "link/gatewaylookup.h"
#include "model/language.h"
#include "model/projectini.h"

#include "httpserver.h"
#include "programfolder.h"
#include "scriptedprompts.h"

#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <atomic>
#include <future>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

const QString Serial = u"VAR-0815"_s;
const QString OldIp = u"10.0.0.9"_s;
const QByteArray Address = "192.168.1.5";
const QByteArray OldIni = "[CFG]\r\nIP=10.0.0.9\r\n";
const QByteArray IniWithSerial = OldIni + "SERIAL=VAR-0815\r\n";
const QByteArray IniWithAddress = "[CFG]\r\nIP=192.168.1.5\r\nSERIAL=VAR-0815\r\n";

const QString Found = u"information: IP-Adresse gefunden: 192.168.1.5"_s;
const QString NotFound =
    u"error: Es konnte keine IP-Adresse für Seriennummer \"VAR-0815\" gefunden werden!"_s;
const QString NoConnection = u"error: Suche nicht möglich. Keine Verbindung zum Cloudserver!"_s;
const QString NoAddress = u"error: Fehler: Daten konnten nicht übermittelt werden!"_s;
const QString SerialPrompt = u"prompt: Suche IP-Adresse / Seriennummer des Varuno:"_s;

// How a lookup service may send its answer: with its length announced, in chunks, or until it
// closes the connection.
enum class Framing
{
    ContentLength,
    Chunked,
    UntilClose,
};

// A lookup service on loopback that answers one request with a body of digits of the given size,
// framed as asked, and counts the body bytes it got out before the client hung up. It runs on a
// thread of its own, because the lookup blocks the test's thread.
class StreamingService
{
public:
    StreamingService(Framing framing, qint64 bodySize) : m_framing(framing), m_bodySize(bodySize)
    {
        std::promise<quint16> listening;
        std::future<quint16> port = listening.get_future();
        m_thread = std::thread([this, listening = std::move(listening)]() mutable { serve(listening); });
        m_port = port.get();
    }
    ~StreamingService() { m_thread.join(); }

    QString url() const { return u"http://127.0.0.1:"_s + QString::number(m_port) + u"/lookup"_s; }
    qint64 sent() const { return m_sent; }

private:
    void serve(std::promise<quint16>& listening)
    {
        QTcpServer server;
        listening.set_value(server.listen(QHostAddress::LocalHost) ? server.serverPort() : 0);
        if (!server.waitForNewConnection(5000))
            return;
        QTcpSocket* socket = server.nextPendingConnection();
        QByteArray request;
        while (!request.contains("\r\n\r\n") && socket->waitForReadyRead(5000))
            request += socket->readAll();
        QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n";
        if (m_framing == Framing::ContentLength)
            head += "Content-Length: " + QByteArray::number(m_bodySize) + "\r\n";
        else if (m_framing == Framing::Chunked)
            head += "Transfer-Encoding: chunked\r\n";
        else
            head += "Connection: close\r\n";
        if (!write(*socket, head + "\r\n"))
            return;
        constexpr qint64 Block = 16 * 1024;
        for (qint64 at = 0; at < m_bodySize; at += Block) {
            const QByteArray block(std::min(Block, m_bodySize - at), '1');
            const bool chunked = m_framing == Framing::Chunked;
            if (!write(*socket,
                       chunked ? QByteArray::number(block.size(), 16) + "\r\n" + block + "\r\n" : block))
                return;
            m_sent += block.size();
        }
        if (m_framing == Framing::Chunked)
            write(*socket, "0\r\n\r\n");
        socket->disconnectFromHost();
        if (socket->state() != QAbstractSocket::UnconnectedState)
            socket->waitForDisconnected(5000);
    }

    static bool write(QTcpSocket& socket, const QByteArray& bytes)
    {
        socket.write(bytes);
        while (socket.bytesToWrite() > 0) {
            if (!socket.waitForBytesWritten(2000))
                return false;
        }
        return socket.state() == QAbstractSocket::ConnectedState;
    }

    const Framing m_framing;
    const qint64 m_bodySize;
    quint16 m_port = 0;
    std::atomic<qint64> m_sent = 0;
    std::thread m_thread;
};

// Shows what a search reported through prompts, as the window does; whether it found an address.
bool reported(ScriptedPrompts& prompts, const Language& language, const Outcome& outcome)
{
    prompts.show(outcome.notices, language);
    return outcome.ok;
}

} // namespace

class TestGatewayLookup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void search_data();
    void search();
    void answerIsCappedHoweverSent_data();
    void answerIsCappedHoweverSent();
    void serialIsPercentEncoded_data();
    void serialIsPercentEncoded();
    void serialPrompt_data();
    void serialPrompt();
    void typedSerialIsKeptForTheNextSearch();
    void messagesInTheLoadedLanguage_data();
    void messagesInTheLoadedLanguage();

private:
    QString iniPath() const { return m_folder.projectsDir() + u"P/project.ini"_s; }
    qsizetype requestCount() const { return m_http.requests().size() + m_https.requests().size(); }
    QString closedPortUrl() const;

    TestProgramFolder m_folder;
    Language m_german{m_folder.configDir()};
    HttpServer m_http{HttpServer::Scheme::Http};
    HttpServer m_https{HttpServer::Scheme::Https};
    QList<QSslCertificate> m_testCa;
};

void TestGatewayLookup::initTestCase()
{
    QVERIFY(m_folder.isValid());
    QVERIFY2(QSslSocket::supportsSsl(), "no TLS backend");
    QVERIFY2(m_http.start(), qPrintable(m_http.errorString()));
    QVERIFY2(m_https.start(), qPrintable(m_https.errorString()));
    m_testCa = QSslCertificate::fromPath(m_https.caCertificateFile());
    QCOMPARE(m_testCa.size(), 1);
}

void TestGatewayLookup::init()
{
    QVERIFY(writeBytes(iniPath(), OldIni));
}

QString TestGatewayLookup::closedPortUrl() const
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost))
        return {};
    return u"http://127.0.0.1:"_s + QString::number(probe.serverPort()) + u"/lookup"_s;
}

void TestGatewayLookup::search_data()
{
    QTest::addColumn<QString>("cloudServer");
    QTest::addColumn<bool>("trustTestCa");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("edIP");
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("requests");

    const QString address = QString::fromLatin1(Address);
    QTest::newRow("found") << m_http.replyUrl(200, Address) << false << 5000 << true << Found << address
                           << IniWithAddress << 1;
    QTest::newRow("found, trailing line break") << m_http.replyUrl(200, Address + "\r\n") << false << 5000
                                                << true << Found << address << IniWithAddress << 1;
    QTest::newRow("found over https")
        << m_https.replyUrl(200, Address) << true << 5000 << true << Found << address << IniWithAddress << 1;
    QTest::newRow("unknown") << m_http.replyUrl(200, "unknown") << false << 5000 << false << NotFound << OldIp
                             << IniWithSerial << 1;
    QTest::newRow("unknown, trailing line break") << m_http.replyUrl(200, "unknown\n") << false << 5000
                                                  << false << NotFound << OldIp << IniWithSerial << 1;
    QTest::newRow("empty body") << m_http.replyUrl(200, {}) << false << 5000 << false << NotFound << OldIp
                                << IniWithSerial << 1;
    QTest::newRow("IPv6 address") << m_http.replyUrl(200, "fd00::5") << false << 5000 << true
                                  << u"information: IP-Adresse gefunden: fd00::5"_s << u"fd00::5"_s
                                  << QByteArray("[CFG]\r\nIP=fd00::5\r\nSERIAL=VAR-0815\r\n") << 1;
    QTest::newRow("host name") << m_http.replyUrl(200, "varuno-42.fritz.box") << false << 5000 << true
                               << u"information: IP-Adresse gefunden: varuno-42.fritz.box"_s
                               << u"varuno-42.fritz.box"_s
                               << QByteArray("[CFG]\r\nIP=varuno-42.fritz.box\r\nSERIAL=VAR-0815\r\n") << 1;
    // Anything else is no address, and nothing of it is kept: a line break inside it would write a
    // line of its own into project.ini.
    const QList<std::pair<const char*, QByteArray>> noAddresses = {
        {"line break inside", QByteArray(Address + "\r\nSERIAL=x")},
        {"invalid UTF-8", "192.168.\xff\xfe.5"},
        {"right-to-left override", "5.1.861.291\xe2\x80\xae"},
        {"blank inside", "192.168.1.5 x"},
        {"label too long", QByteArray(QByteArray(64, 'a') + ".lan")},
        {"name too long", QByteArray(QByteArray(62, 'a') + '.').repeated(4) + "aa"},
        {"hyphen first", "-varuno.lan"},
    };
    for (const auto& [name, answer] : noAddresses)
        QTest::newRow(name) << m_http.replyUrl(200, answer) << false << 5000 << false << NoAddress << OldIp
                            << OldIni << 1;
    QTest::newRow("404") << m_http.replyUrl(404, Address) << false << 5000 << false << NoConnection << OldIp
                         << OldIni << 1;
    QTest::newRow("redirect not followed")
        << m_http.replyUrl(302, Address) << false << 5000 << false << NoConnection << OldIp << OldIni << 1;
    QTest::newRow("untrusted certificate")
        << m_https.replyUrl(200, Address) << false << 5000 << false << NoConnection << OldIp << OldIni << 0;
    QTest::newRow("closed port") << closedPortUrl() << false << 5000 << false << NoConnection << OldIp
                                 << OldIni << 0;
    QTest::newRow("no answer within the time-out")
        << m_http.hangUrl() << false << 300 << false << NoConnection << OldIp << OldIni << 1;
    QTest::newRow("not a web address")
        << u"file:///etc/hostname"_s << false << 5000 << false << NoConnection << OldIp << OldIni << 0;
}

void TestGatewayLookup::search()
{
    QFETCH(QString, cloudServer);
    QFETCH(bool, trustTestCa);
    QFETCH(int, timeoutMs);
    QFETCH(bool, found);
    QFETCH(QString, shown);
    QFETCH(QString, edIP);
    QFETCH(QByteArray, ini);
    QFETCH(int, requests);

    ScriptedPrompts prompts;
    GatewayLookup lookup(m_german, prompts, cloudServer, iniPath());
    lookup.setTimeout(timeoutMs);
    if (trustTestCa)
        lookup.addCaCertificates(m_testCa);
    QString sSerial = Serial;
    QString lblSerial = u"Seriennummer: VAR-0815"_s;
    QString field = OldIp;
    const qsizetype before = requestCount();

    QCOMPARE(reported(prompts, m_german, lookup.Search(sSerial, lblSerial, field)), found);
    QCOMPARE(prompts.shown, QStringList{shown});
    QCOMPARE(field, edIP);
    QCOMPARE(readBytes(iniPath()), ini);
    QCOMPARE(requestCount() - before, requests);
    QCOMPARE(sSerial, Serial);
    QCOMPARE(lblSerial, u"Seriennummer: VAR-0815"_s);
}

// An answer beyond 64 KiB is not even read, whether its length is announced, it comes in chunks or
// it runs until the service hangs up: reading stops soon after the limit and the lookup fails.
void TestGatewayLookup::answerIsCappedHoweverSent_data()
{
    QTest::addColumn<Framing>("framing");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("read");
    constexpr qint64 Cap = 64 * 1024;
    constexpr qint64 Huge = 100 * 1024 * 1024;
    const QList<std::pair<const char*, Framing>> framings = {
        {"Content-Length", Framing::ContentLength},
        {"chunked", Framing::Chunked},
        {"until close", Framing::UntilClose},
    };
    for (const auto& [name, framing] : framings) {
        // Read whole, but 64 KiB of letters are no host name.
        QTest::addRow("%s, 64 KiB", name) << framing << Cap << true;
        QTest::addRow("%s, one byte more", name) << framing << Cap + 1 << false;
        QTest::addRow("%s, 100 MiB", name) << framing << Huge << false;
    }
}

void TestGatewayLookup::answerIsCappedHoweverSent()
{
    QFETCH(Framing, framing);
    QFETCH(qint64, size);
    QFETCH(bool, read);
    StreamingService service(framing, size);
    ScriptedPrompts prompts;
    GatewayLookup lookup(m_german, prompts, service.url(), iniPath());
    QString sSerial = Serial;
    QString lblSerial;
    QString field = OldIp;

    QVERIFY(!reported(prompts, m_german, lookup.Search(sSerial, lblSerial, field)));

    QCOMPARE(prompts.shown, QStringList{read ? NoAddress : NoConnection});
    QCOMPARE(readBytes(iniPath()), OldIni);
    if (!read) {
        // What the socket buffers hold besides the answer read, not the hundred megabytes.
        QVERIFY2(service.sent() < 32 * 1024 * 1024, qPrintable(QString::number(service.sent())));
    }
}

void TestGatewayLookup::serialIsPercentEncoded_data()
{
    QTest::addColumn<QString>("serial");
    QTest::newRow("blank and ampersand") << u"VAR 08&f=x"_s;
    QTest::newRow("hash, plus, percent") << u"A#1+2%41"_s;
    QTest::newRow("non-ASCII") << u"Zähler-ß"_s;
    QTest::newRow("blanks at both ends") << u" VAR-0815 "_s;
    QTest::newRow("in quotes") << u"\"VAR-0815\""_s;
}

void TestGatewayLookup::serialIsPercentEncoded()
{
    QFETCH(QString, serial);
    ScriptedPrompts prompts;
    GatewayLookup lookup(m_german, prompts, m_http.replyUrl(200, Address), iniPath());
    QString lblSerial;
    QString edIP;
    QVERIFY(reported(prompts, m_german, lookup.Search(serial, lblSerial, edIP)));

    const HttpServer::Request request = m_http.requests().constLast();
    QCOMPARE(request.method, u"GET"_s);
    QCOMPARE(request.version, u"HTTP/1.1"_s);
    const QMap<QString, QStringList> expected{{u"serial"_s, {serial}}, {u"f"_s, {u"LocalIP"_s}}};
    QCOMPARE(request.params, expected);
    // Kept for the next search exactly as it was typed.
    QCOMPARE(ProjectIni::AtFile(iniPath()).Serial(), serial);
}

void TestGatewayLookup::serialPrompt_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("lblSerial");
    QTest::newRow("cancel") << true << QString();
    QTest::newRow("empty serial") << false << u"Seriennummer: "_s;
}

void TestGatewayLookup::serialPrompt()
{
    QFETCH(bool, cancel);
    QFETCH(QString, lblSerial);
    ScriptedPrompts prompts;
    if (cancel)
        prompts.queueCancel();
    else
        prompts.queueText({});
    GatewayLookup lookup(m_german, prompts, m_http.replyUrl(200, Address), iniPath());
    QString sSerial;
    QString label;
    QString edIP = OldIp;
    const qsizetype before = requestCount();

    QVERIFY(!reported(prompts, m_german, lookup.Search(sSerial, label, edIP)));
    QCOMPARE(prompts.shown, QStringList{SerialPrompt});
    QCOMPARE(label, lblSerial);
    QCOMPARE(sSerial, QString());
    QCOMPARE(edIP, OldIp);
    QCOMPARE(requestCount(), before);
    QCOMPARE(readBytes(iniPath()), OldIni);
}

void TestGatewayLookup::typedSerialIsKeptForTheNextSearch()
{
    ScriptedPrompts prompts;
    prompts.queueText(u"VAR 42"_s);
    QString sSerial;
    QString lblSerial;
    QString edIP;
    QVERIFY(!reported(prompts, m_german,
                      GatewayLookup(m_german, prompts, m_http.replyUrl(404, {}), iniPath())
                          .Search(sSerial, lblSerial, edIP)));
    QCOMPARE(prompts.shown, (QStringList{SerialPrompt, NoConnection}));
    QCOMPARE(sSerial, u"VAR 42"_s);
    QCOMPARE(lblSerial, u"Seriennummer: VAR 42"_s);

    // No answer is queued: a second question would fail the test.
    prompts.reset();
    QVERIFY(reported(prompts, m_german,
                     GatewayLookup(m_german, prompts, m_http.replyUrl(200, Address), iniPath())
                         .Search(sSerial, lblSerial, edIP)));
    QCOMPARE(prompts.shown, QStringList{Found});
    QCOMPARE(m_http.requests().constLast().params.value(u"serial"_s), QStringList{u"VAR 42"_s});
}

void TestGatewayLookup::messagesInTheLoadedLanguage_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("result");
    QTest::newRow("found") << 200 << Address << u"information: IP address found: 192.168.1.5"_s;
    QTest::newRow("unknown") << 200 << QByteArray("unknown")
                             << u"error: No IP address could be found for serial number \"S1\"!"_s;
    QTest::newRow("404") << 404 << Address
                         << u"error: Search not possible. No connection to the cloud server!"_s;
}

void TestGatewayLookup::messagesInTheLoadedLanguage()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, result);
    Language english(m_folder.configDir());
    english.LoadLanguage(u"English"_s);
    ScriptedPrompts prompts;
    prompts.queueText(u"S1"_s);
    QString sSerial;
    QString lblSerial;
    QString edIP;

    reported(prompts, english,
             GatewayLookup(english, prompts, m_http.replyUrl(status, body), iniPath())
                 .Search(sSerial, lblSerial, edIP));
    QCOMPARE(prompts.shown,
             (QStringList{u"prompt: Searching for IP address / Serial number of the Varuno:"_s, result}));
    QCOMPARE(lblSerial, u"Serial number: S1"_s);
}

QTEST_GUILESS_MAIN(TestGatewayLookup)
#include "tst_gatewaylookup.moc"
