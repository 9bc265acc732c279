#include "workspace/tprojectini.h"

#include "programfolder.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TstTProjectIni : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void sitemap_data();
    void sitemap();
    void writesKeepTheOtherKeys();

private:
    QString projPath() const { return m_dir.path() + u'/'; }
    QString fileName() const { return projPath() + u"project.ini"_s; }

    QTemporaryDir m_dir;
};

void TstTProjectIni::init()
{
    QFile::remove(fileName());
}

void TstTProjectIni::sitemap_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("byRooms");

    QTest::newRow("no file") << QByteArray() << false;
    QTest::newRow("no key") << QByteArray("[CFG]\r\nSERIAL=1\r\n") << false;
    QTest::newRow("1") << QByteArray("[CFG]\r\nSITEMAP=1\r\n") << false;
    QTest::newRow("1 with blanks") << QByteArray("[CFG]\r\nsitemap = 1 \r\n") << false;
    QTest::newRow("2") << QByteArray("[CFG]\r\nSITEMAP=2\r\n") << true;
    QTest::newRow("0") << QByteArray("[CFG]\r\nSITEMAP=0\r\n") << true;
    QTest::newRow("empty") << QByteArray("[CFG]\r\nSITEMAP=\r\n") << true;
}

void TstTProjectIni::sitemap()
{
    QFETCH(QByteArray, content);
    if (!content.isEmpty())
        QVERIFY(writeBytes(fileName(), content));
    QTEST(TProjectIni(projPath()).GroupByRooms(), "byRooms");
}

void TstTProjectIni::writesKeepTheOtherKeys()
{
    TProjectIni ini(projPath());
    QCOMPARE(ini.Serial(), QString());
    QCOMPARE(ini.IP(), QString());

    QVERIFY(ini.setSerial(u"VA-00042"_s));
    QVERIFY(ini.setGroupByRooms(true));
    QVERIFY(ini.setIP(u"192.168.1.20"_s));
    QVERIFY(ini.setSerial(u"VA-00043"_s));

    QCOMPARE(QString::fromUtf8(readBytes(fileName())),
             u"[CFG]\r\nSERIAL=VA-00043\r\nSITEMAP=2\r\nIP=192.168.1.20\r\n"_s);
    const TProjectIni again(projPath());
    QCOMPARE(again.Serial(), u"VA-00043"_s);
    QCOMPARE(again.GroupByRooms(), true);
    QCOMPARE(again.IP(), u"192.168.1.20"_s);
}

QTEST_GUILESS_MAIN(TstTProjectIni)
#include "tst_tprojectini.moc"
