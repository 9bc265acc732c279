#include "link/gatewaylookup.h"
#include "model/tlanguage.h"

#include "httpserver.h"
#include "programfolder.h"
#include "scriptedprompts.h"

#include <QSslSocket>
#include <QTcpServer>
#include <QTest>

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
const QString SerialPrompt = u"prompt: Suche IP-Adresse / Seriennummer des Varuno:"_s;

} // namespace

class TestGatewayLookup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void search_data();
    void search();
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
    TLanguage m_german{m_folder.configDir()};
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
    // A line break inside the answer would write a line of its own into project.ini.
    QTest::newRow("line break inside the answer") << m_http.replyUrl(200, Address + "\r\nSERIAL=x") << false
                                                  << 5000 << false << NotFound << OldIp << IniWithSerial << 1;
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
    TGatewayLookup lookup(m_german, prompts, cloudServer, iniPath());
    lookup.setTimeout(timeoutMs);
    if (trustTestCa)
        lookup.addCaCertificates(m_testCa);
    QString sSerial = Serial;
    QString lblSerial = u"Seriennummer: VAR-0815"_s;
    QString field = OldIp;
    const qsizetype before = requestCount();

    QCOMPARE(lookup.Search(sSerial, lblSerial, field), found);
    QCOMPARE(prompts.shown, QStringList{shown});
    QCOMPARE(field, edIP);
    QCOMPARE(readBytes(iniPath()), ini);
    QCOMPARE(requestCount() - before, requests);
    QCOMPARE(sSerial, Serial);
    QCOMPARE(lblSerial, u"Seriennummer: VAR-0815"_s);
}

void TestGatewayLookup::serialIsPercentEncoded_data()
{
    QTest::addColumn<QString>("serial");
    QTest::newRow("blank and ampersand") << u"VAR 08&f=x"_s;
    QTest::newRow("hash, plus, percent") << u"A#1+2%41"_s;
    QTest::newRow("non-ASCII") << u"Zähler-ß"_s;
}

void TestGatewayLookup::serialIsPercentEncoded()
{
    QFETCH(QString, serial);
    ScriptedPrompts prompts;
    TGatewayLookup lookup(m_german, prompts, m_http.replyUrl(200, Address), iniPath());
    QString lblSerial;
    QString edIP;
    QVERIFY(lookup.Search(serial, lblSerial, edIP));

    const HttpServer::Request request = m_http.requests().constLast();
    QCOMPARE(request.method, u"GET"_s);
    QCOMPARE(request.version, u"HTTP/1.1"_s);
    const QMap<QString, QStringList> expected{{u"serial"_s, {serial}}, {u"f"_s, {u"LocalIP"_s}}};
    QCOMPARE(request.params, expected);
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
    TGatewayLookup lookup(m_german, prompts, m_http.replyUrl(200, Address), iniPath());
    QString sSerial;
    QString label;
    QString edIP = OldIp;
    const qsizetype before = requestCount();

    QVERIFY(!lookup.Search(sSerial, label, edIP));
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
    QVERIFY(!TGatewayLookup(m_german, prompts, m_http.replyUrl(404, {}), iniPath())
                 .Search(sSerial, lblSerial, edIP));
    QCOMPARE(prompts.shown, (QStringList{SerialPrompt, NoConnection}));
    QCOMPARE(sSerial, u"VAR 42"_s);
    QCOMPARE(lblSerial, u"Seriennummer: VAR 42"_s);

    // No answer is queued: a second question would fail the test.
    prompts.reset();
    QVERIFY(TGatewayLookup(m_german, prompts, m_http.replyUrl(200, Address), iniPath())
                .Search(sSerial, lblSerial, edIP));
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
    TLanguage english(m_folder.configDir());
    english.LoadLanguage(u"English"_s);
    ScriptedPrompts prompts;
    prompts.queueText(u"S1"_s);
    QString sSerial;
    QString lblSerial;
    QString edIP;

    TGatewayLookup(english, prompts, m_http.replyUrl(status, body), iniPath())
        .Search(sSerial, lblSerial, edIP);
    QCOMPARE(prompts.shown,
             (QStringList{u"prompt: Searching for IP address / Serial number of the Varuno:"_s, result}));
    QCOMPARE(lblSerial, u"Serial number: S1"_s);
}

QTEST_GUILESS_MAIN(TestGatewayLookup)
#include "tst_gatewaylookup.moc"
