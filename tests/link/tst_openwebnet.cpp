// The OpenWebNet client: both password schemes against public vectors, the frame reader, and
// sessions against the bus simulator in every password mode and every way a server can fail.

#include "link/buserror.h"
#include "link/openwebnetauth.h"
#include "link/openwebnetframe.h"
#include "link/openwebnetsession.h"

#include "bussimulator.h"
#include "programfolder.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Short waits keep the failure tests quick; the bounds themselves are what is tested.
constexpr int ShortWait = 400;
constexpr int Patience = 10000;

const QByteArray devicesJson = R"({"devices": [{"kind": "light", "where": "0112"}]})";

struct SessionOutcome
{
    bool bOpened = false;
    BusError error = BusError::None;
    QString detail;
};

// Opens a session and waits for it to open or fail.
SessionOutcome openSession(OwnSession& session, quint16 port, const QString& password)
{
    QSignalSpy opened(&session, &OwnSession::opened);
    QSignalSpy failed(&session, &OwnSession::failed);
    session.open(BusServer{u"127.0.0.1"_s, port, password});
    QDeadlineTimer deadline(Patience);
    while (opened.isEmpty() && failed.isEmpty() && !deadline.hasExpired())
        QTest::qWait(10);
    if (!failed.isEmpty())
        return {false, failed.first().at(0).value<BusError>(), failed.first().at(1).toString()};
    return {true, BusError::None, {}};
}

} // namespace

class TestOpenWebNet : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void numericScheme_data();
    void numericScheme();
    void hashProof_data();
    void hashProof();
    void digitsRefuseWhatIsNoEncoding_data();
    void digitsRefuseWhatIsNoEncoding();
    void frameReader();
    void frameReaderStaysBounded();
    void sessionInEveryPasswordMode_data();
    void sessionInEveryPasswordMode();
    void wrongPasswordIsRefused_data();
    void wrongPasswordIsRefused();
    void failingServerEndsWithinBounds_data();
    void failingServerEndsWithinBounds();
    void nothingListening();

private:
    QTemporaryDir m_dir;
    QString m_devices;
};

void TestOpenWebNet::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_devices = m_dir.filePath(u"devices.json"_s);
    QVERIFY(writeBytes(m_devices, devicesJson));
}

void TestOpenWebNet::numericScheme_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("nonce");
    QTest::addColumn<qint64>("answer");
    QTest::newRow("603356072") << u"12345"_s << u"603356072"_s << qint64(25280520);
    QTest::newRow("410501656") << u"12345"_s << u"410501656"_s << qint64(119537670);
    QTest::newRow("630292165") << u"12345"_s << u"630292165"_s << qint64(4269684735);
    QTest::newRow("523781130") << u"12345"_s << u"523781130"_s << qint64(537331200);
    QTest::newRow("letters in the password") << u"12a45"_s << u"603356072"_s << qint64(-1);
    QTest::newRow("empty password") << QString() << u"603356072"_s << qint64(-1);
}

void TestOpenWebNet::numericScheme()
{
    QFETCH(QString, password);
    QFETCH(QString, nonce);
    QFETCH(qint64, answer);
    const auto result = OpenWebNetAuth::numericAnswer(password, nonce);
    QCOMPARE(result ? qint64(*result) : qint64(-1), answer);
}

void TestOpenWebNet::hashProof_data()
{
    // Worked out from the public description of the handshake with Python's hashlib: the
    // password Open2024, ra = 0123456789abcdef repeated, rb = fedcba9876543210 repeated.
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<QByteArray>("client");
    QTest::addColumn<QByteArray>("server");
    QTest::newRow("SHA-256") << int(QCryptographicHash::Sha256)
                             << QByteArray("03101308081201150505070706080605121011040611020312060810000308100"
                                           "200150807111301001308130306031"
                                           "508010803000712150803001511150207")
                             << QByteArray("03071012090407140703131310011305150009011409071213020508041008090"
                                           "402140513100510010306051404050"
                                           "407000214071212091507040715140004");
    QTest::newRow("SHA-1")
        << int(QCryptographicHash::Sha1)
        << QByteArray("11030100020203060909031100130511141310131108021208120306060507060604011103080002")
        << QByteArray("03080302050010010614031212020415071303020109020601150407000606111100021211000707");
}

void TestOpenWebNet::hashProof()
{
    QFETCH(int, algorithm);
    QFETCH(QByteArray, client);
    QFETCH(QByteArray, server);
    const auto hash = QCryptographicHash::Algorithm(algorithm);
    const qsizetype hexLength = QCryptographicHash::hashLength(hash) * 2;
    const QByteArray ra = QByteArray("0123456789abcdef").repeated(8).left(hexLength);
    const QByteArray rb = QByteArray("fedcba9876543210").repeated(8).left(hexLength);
    const auto proof = OpenWebNetAuth::hashProof(hash, u"Open2024"_s, ra, rb);
    QCOMPARE(OpenWebNetAuth::toDigits(proof.clientProof), client);
    QCOMPARE(OpenWebNetAuth::toDigits(proof.expectedServer), server);
    QCOMPARE(OpenWebNetAuth::fromDigits(client), proof.clientProof);
}

void TestOpenWebNet::digitsRefuseWhatIsNoEncoding_data()
{
    QTest::addColumn<QByteArray>("digits");
    QTest::newRow("odd length") << QByteArray("011");
    QTest::newRow("value above 15") << QByteArray("0116");
    QTest::newRow("not a digit") << QByteArray("0a");
    QTest::newRow("empty") << QByteArray();
}

void TestOpenWebNet::digitsRefuseWhatIsNoEncoding()
{
    QFETCH(QByteArray, digits);
    QVERIFY(!OpenWebNetAuth::fromDigits(digits));
}

void TestOpenWebNet::frameReader()
{
    OwnFrameReader reader;
    QVERIFY(reader.feed("*#*1##*1*1*01"));
    QCOMPARE(reader.takeFrame(), QByteArray("*#*1##"));
    QVERIFY(!reader.hasFrame());
    QVERIFY(reader.feed("12##*2*0*#3##"));
    QCOMPARE(reader.takeFrame(), QByteArray("*1*1*0112##"));
    QCOMPARE(reader.takeFrame(), QByteArray("*2*0*#3##"));

    OwnFrameReader garbage;
    QVERIFY(!garbage.feed("HTTP/1.1 400\r\n"));
    QVERIFY(garbage.isBad());
    QCOMPARE(garbage.badBytes(), u"HTTP/1.1 400??"_s);
    QVERIFY(!garbage.feed("*#*1##"));
    QVERIFY(!garbage.hasFrame());
}

void TestOpenWebNet::frameReaderStaysBounded()
{
    OwnFrameReader reader;
    QByteArray endless = "*1";
    bool bGood = true;
    for (int i = 0; i < 200 && bGood; ++i)
        bGood = reader.feed(endless.repeated(10));
    QVERIFY(!bGood);
    QVERIFY(reader.isBad());
    QCOMPARE(reader.badBytes(), QString::fromLatin1(endless.repeated(20)));

    // An answer of 1 500 digits without a frame end: the detail shows where it starts.
    OwnFrameReader digits;
    QVERIFY(!digits.feed("*" + QByteArray(1500, '7')));
    QCOMPARE(digits.badBytes(), QString::fromLatin1("*" + QByteArray(39, '7')));
}

void TestOpenWebNet::sessionInEveryPasswordMode_data()
{
    QTest::addColumn<QString>("auth");
    QTest::addColumn<QString>("password");
    QTest::newRow("no password") << u"none"_s << QString();
    QTest::newRow("numeric") << u"open"_s << u"12345"_s;
    QTest::newRow("hash SHA-1") << u"sha1"_s << u"Pass1word"_s;
    QTest::newRow("hash SHA-256") << u"sha2"_s << u"Pass1word"_s;
}

void TestOpenWebNet::sessionInEveryPasswordMode()
{
    QFETCH(QString, auth);
    QFETCH(QString, password);
    BusSimulator sim;
    QVERIFY2(sim.start({u"--devices"_s, m_devices, u"--auth"_s, auth, u"--password"_s, password}),
             qPrintable(sim.errorString()));

    OwnSession session(OwnSession::Kind::Command);
    const SessionOutcome outcome = openSession(session, sim.port(), password);
    QVERIFY2(outcome.bOpened, qPrintable(outcome.detail));

    // A status request is answered by the device's state, then ACK; an unknown address by NACK.
    QSignalSpy answered(&session, &OwnSession::answered);
    QSignalSpy refused(&session, &OwnSession::refused);
    session.send("*#1*0##");
    QVERIFY(answered.wait(Patience));
    QCOMPARE(answered.first().at(0).value<QList<QByteArray>>(), QList<QByteArray>{"*1*0*0112##"});
    session.send("*1*1*0999##");
    QVERIFY(refused.wait(Patience));
    QCOMPARE(refused.first().at(0).toByteArray(), QByteArray("*1*1*0999##"));
    QVERIFY(session.isOpen());
}

void TestOpenWebNet::wrongPasswordIsRefused_data()
{
    QTest::addColumn<QString>("auth");
    QTest::addColumn<QString>("password");
    QTest::newRow("numeric, wrong number") << u"open"_s << u"54321"_s;
    QTest::newRow("numeric, not a number") << u"open"_s << u"secret"_s;
    QTest::newRow("hash SHA-1") << u"sha1"_s << u"wrong"_s;
    QTest::newRow("hash SHA-256") << u"sha2"_s << u"wrong"_s;
}

void TestOpenWebNet::wrongPasswordIsRefused()
{
    QFETCH(QString, auth);
    QFETCH(QString, password);
    BusSimulator sim;
    QVERIFY2(sim.start({u"--devices"_s, m_devices, u"--auth"_s, auth, u"--password"_s, u"12345"_s}),
             qPrintable(sim.errorString()));
    OwnSession session(OwnSession::Kind::Event);
    const SessionOutcome outcome = openSession(session, sim.port(), password);
    QVERIFY(!outcome.bOpened);
    QCOMPARE(outcome.error, BusError::PasswordRefused);
}

void TestOpenWebNet::failingServerEndsWithinBounds_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("bCommand");
    QTest::addColumn<BusError>("error");
    QTest::newRow("silent") << u"silent"_s << false << BusError::NoGreeting;
    QTest::newRow("closes at once") << u"close"_s << false << BusError::NoServer;
    QTest::newRow("garbage") << u"garbage"_s << false << BusError::Garbage;
    // A NACK to the session request: no password was asked for, so none was refused.
    QTest::newRow("refuses the session") << u"refuse"_s << false << BusError::SessionRefused;
    QTest::newRow("refuses commands") << u"nack"_s << true << BusError::CommandRefused;
    QTest::newRow("never answers a command") << u"mute"_s << true << BusError::NoAnswer;
}

void TestOpenWebNet::failingServerEndsWithinBounds()
{
    QFETCH(QString, mode);
    QFETCH(bool, bCommand);
    QFETCH(BusError, error);
    BusSimulator sim;
    QVERIFY2(sim.start({u"--devices"_s, m_devices, u"--auth"_s, u"none"_s}), qPrintable(sim.errorString()));
    QVERIFY(sim.setMode(mode));

    OwnSession session(OwnSession::Kind::Command);
    session.setWaits(ShortWait, ShortWait);
    QElapsedTimer clock;
    clock.start();
    SessionOutcome outcome = openSession(session, sim.port(), {});
    if (bCommand) {
        QVERIFY(outcome.bOpened);
        QSignalSpy refused(&session, &OwnSession::refused);
        QSignalSpy failed(&session, &OwnSession::failed);
        session.send("*1*1*0112##");
        QTRY_VERIFY_WITH_TIMEOUT(refused.size() + failed.size() > 0, Patience);
        outcome.error = refused.isEmpty() ? failed.first().at(0).value<BusError>() : BusError::CommandRefused;
    }
    QCOMPARE(outcome.error, error);
    // Each wait is bounded: connection and greeting, then one answer.
    QVERIFY2(clock.elapsed() < 2 * ShortWait + 1500, qPrintable(QString::number(clock.elapsed())));
}

void TestOpenWebNet::nothingListening()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();
    OwnSession session(OwnSession::Kind::Command);
    const SessionOutcome outcome = openSession(session, port, {});
    QCOMPARE(outcome.error, BusError::NoServer);
    QCOMPARE(outcome.detail, u"127.0.0.1:"_s + QString::number(port));
}

QTEST_GUILESS_MAIN(TestOpenWebNet)
#include "tst_openwebnet.moc"
