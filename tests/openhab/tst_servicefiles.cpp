// The service files (bticino.cfg, uuid, secret, homekit.cfg), the cloud identity, and how the
// generator reports files it could not write.
#include "bus/busaddress.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"

#include "crlftext.h"
#include "germangenerator.h"
#include "programfolder.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

class TestServiceFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void saveCfg_data();
    void saveCfg();
    void saveHomekit_data();
    void saveHomekit();
    void generateCloudkey();
    void randomStringUsesEveryCharacter();
    void failedWrite_data();
    void failedWrite();

private:
    QString projectFile(const QString& name) const { return m_gen->sProjPath + name; }

    std::unique_ptr<GermanGenerator> m_fixture;
    OpenHabGenerator* m_gen = nullptr;
};

void TestServiceFiles::init()
{
    m_fixture = std::make_unique<GermanGenerator>();
    m_gen = &m_fixture->gen;
}

void TestServiceFiles::saveCfg_data()
{
    QTest::addColumn<bool>("reboot");
    QTest::addColumn<bool>("hmac");
    QTest::addColumn<bool>("settime");
    QTest::addColumn<QString>("rescan");
    QTest::addColumn<QString>("identity"); // uuid and secret alike
    QTest::addColumn<QStringList>("cfg");

    QTest::newRow("without rescan") << true << false << true << QString() << u"4f1c"_s
                                    << QStringList{
                                           u"#reboot=true"_s,         u"#hmac=false"_s,
                                           u"#settime=true"_s,        u"webserver.host=192.168.1.35"_s,
                                           u"webserver.port=20000"_s, u"webserver.passwd=12345"_s};
    QTest::newRow("with rescan and empty identity") << false << true << false << u"43200"_s << QString()
                                                    << QStringList{u"#reboot=false"_s,
                                                                   u"#hmac=true"_s,
                                                                   u"#settime=false"_s,
                                                                   u"webserver.host=192.168.1.35"_s,
                                                                   u"webserver.port=20000"_s,
                                                                   u"webserver.passwd=12345"_s,
                                                                   u"webserver.rescan_secs=43200"_s};
}

void TestServiceFiles::saveCfg()
{
    QFETCH(bool, reboot);
    QFETCH(bool, hmac);
    QFETCH(bool, settime);
    QFETCH(QString, rescan);
    QFETCH(QString, identity);
    QFETCH(QStringList, cfg);

    m_gen->reboot = reboot;
    m_gen->hmac = hmac;
    m_gen->settime = settime;
    m_gen->serverIP = u"192.168.1.35"_s;
    m_gen->serverPort = u"20000"_s;
    m_gen->serverPass = u"12345"_s;
    m_gen->serverRescan = rescan;
    m_gen->uuid = identity;
    m_gen->secret = identity;

    QCOMPARE(m_gen->SaveCfg(), FileErrors());
    QCOMPARE(readBytes(projectFile(u"bticino.cfg"_s)), crlf(cfg));
    QCOMPARE(readBytes(projectFile(u"uuid"_s)), crlf({identity}));
    QCOMPARE(readBytes(projectFile(u"secret"_s)), crlf({identity}));
}

void TestServiceFiles::saveHomekit_data()
{
    QTest::addColumn<QString>("ip");
    QTest::newRow("gateway address") << u"192.168.0.35"_s;
    QTest::newRow("no address") << QString();
}

void TestServiceFiles::saveHomekit()
{
    QFETCH(QString, ip);

    QCOMPARE(m_gen->SaveHomekit(ip), FileErrors());
    QCOMPARE(readBytes(projectFile(u"homekit.cfg"_s)),
             crlf({
                 u"org.openhab.homekit:port=9124"_s,
                 u"org.openhab.homekit:pin=482-17-306"_s,
                 u"org.openhab.homekit:useFahrenheitTemperature=false"_s,
                 u"org.openhab.homekit:thermostatCoolMode=CoolOn"_s,
                 u"org.openhab.homekit:thermostatHeatMode=HeatOn"_s,
                 u"org.openhab.homekit:thermostatAutoMode=Auto"_s,
                 u"org.openhab.homekit:thermostatOffMode=Off"_s,
                 u"org.openhab.homekit:networkInterface="_s + ip,
                 u"org.openhab.homekit:name=Varuno"_s,
             }));
}

void TestServiceFiles::generateCloudkey()
{
    // A version-4 UUID in lower case without braces, and 20 digits or lower-case letters.
    static const QRegularExpression uuidForm(
        u"^[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}$"_s);
    static const QRegularExpression secretForm(u"^[0-9a-z]{20}$"_s);

    QCOMPARE(m_gen->GenerateCloudkey(), FileErrors());
    const QString uuid = m_gen->uuid;
    const QString secret = m_gen->secret;
    QVERIFY2(uuidForm.match(uuid).hasMatch(), qPrintable(uuid));
    QVERIFY2(secretForm.match(secret).hasMatch(), qPrintable(secret));
    QCOMPARE(readBytes(projectFile(u"uuid"_s)), crlf({uuid}));
    QCOMPARE(readBytes(projectFile(u"secret"_s)), crlf({secret}));

    QCOMPARE(m_gen->GenerateCloudkey(), FileErrors());
    QVERIFY(m_gen->uuid != uuid);
    QVERIFY(m_gen->secret != secret);
    QCOMPARE(readBytes(projectFile(u"secret"_s)), crlf({m_gen->secret}));
}

void TestServiceFiles::randomStringUsesEveryCharacter()
{
    QCOMPARE(OpenHabGenerator::RandomString(0), QString());
    // 3600 draws miss one of the 36 characters with a chance of about 1e-41.
    const QString text = OpenHabGenerator::RandomString(3600);
    QCOMPARE(text.size(), 3600);
    QSet<QChar> seen(text.begin(), text.end());
    const QString alphabet = u"0123456789abcdefghijklmnopqrstuvwxyz"_s;
    QCOMPARE(seen, QSet<QChar>(alphabet.begin(), alphabet.end()));
}

void TestServiceFiles::failedWrite_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("blocker"); // "folder", "read-only" or "no project folder"
    QTest::addColumn<QStringList>("failed");
    // The operation's other files: all or none are written, so none of them may appear.
    QTest::addColumn<QStringList>("unwritten");

    const QString items = u"bticino.items"_s;
    const QString cloud = u"openhabcloud.cfg"_s;
    const QString rules = u"bticino.rules"_s;
    const QString sitemap = u"bticino.sitemap"_s;
    const QString cfg = u"bticino.cfg"_s;
    const QString uuid = u"uuid"_s;
    const QString secret = u"secret"_s;

    QTest::newRow("SaveItems, folder in place of the rules")
        << u"SaveItems"_s << u"folder"_s << QStringList{rules} << QStringList{items, cloud, sitemap};
    QTest::newRow("SaveItems, read-only items file")
        << u"SaveItems"_s << u"read-only"_s << QStringList{items} << QStringList{cloud, rules, sitemap};
    QTest::newRow("SaveItems, no project folder") << u"SaveItems"_s << u"no project folder"_s
                                                  << QStringList{items} << QStringList{cloud, rules, sitemap};
    QTest::newRow("SaveCfg, folder in place of uuid")
        << u"SaveCfg"_s << u"folder"_s << QStringList{uuid} << QStringList{cfg, secret};
    QTest::newRow("SaveCfg, read-only bticino.cfg")
        << u"SaveCfg"_s << u"read-only"_s << QStringList{cfg} << QStringList{uuid, secret};
    QTest::newRow("SaveCfg, no project folder")
        << u"SaveCfg"_s << u"no project folder"_s << QStringList{cfg} << QStringList{uuid, secret};
}

void TestServiceFiles::failedWrite()
{
    QFETCH(QString, operation);
    QFETCH(QString, blocker);
    QFETCH(QStringList, failed);
    QFETCH(QStringList, unwritten);

    const QString blocked = projectFile(failed.first());
    const QByteArray old = "old\r\n";
    if (blocker == u"folder"_s) {
        QVERIFY(writeBytes(blocked + u"/inside"_s, old));
    } else if (blocker == u"read-only"_s) {
        QVERIFY(writeBytes(blocked, old));
        QVERIFY(QFile::setPermissions(blocked, QFileDevice::ReadOwner | QFileDevice::ReadUser));
        if (QFileInfo(blocked).isWritable())
            QSKIP("this user may write read-only files");
    } else {
        m_gen->sProjPath += u"missing/"_s;
    }

    const FunctionEntry stopAll{.label = u"Alles stopp"_s,
                                .groups = u"_STOP_"_s,
                                .alias = u"GROUP_1"_s,
                                .kind = FunctionEntry::GroupScene};
    const FileErrors errors = operation == u"SaveItems"_s ? m_gen->SaveItems({stopAll}) : m_gen->SaveCfg();

    QStringList failedFiles;
    for (const FileError& error : errors) {
        failedFiles << error.fileName;
        QVERIFY(!error.reason.isEmpty());
    }
    QStringList expected;
    for (const QString& name : failed)
        expected << QDir::toNativeSeparators(projectFile(name));
    QCOMPARE(failedFiles, expected);

    if (blocker == u"folder"_s)
        QCOMPARE(readBytes(blocked + u"/inside"_s), old);
    else if (blocker == u"read-only"_s)
        QCOMPARE(readBytes(blocked), old);
    for (const QString& name : unwritten)
        QVERIFY2(!QFileInfo::exists(projectFile(name)), qPrintable(name));
    QCOMPARE(QDir(m_gen->sProjPath).entryList(QDir::Files | QDir::Hidden).filter(u".tmp"_s), QStringList());
}

QTEST_GUILESS_MAIN(TestServiceFiles)
#include "tst_servicefiles.moc"
