#include "model/projectini.h"

#include "programfolder.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TstProjectIni : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void sitemap_data();
    void sitemap();
    void writesKeepTheOtherKeys();
    void valuesReadBackAsTyped_data();
    void valuesReadBackAsTyped();

private:
    QString projPath() const { return m_dir.path() + u'/'; }
    QString fileName() const { return projPath() + u"project.ini"_s; }

    QTemporaryDir m_dir;
};

void TstProjectIni::init()
{
    QFile::remove(fileName());
}

void TstProjectIni::sitemap_data()
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

void TstProjectIni::sitemap()
{
    QFETCH(QByteArray, content);
    if (!content.isEmpty())
        QVERIFY(writeBytes(fileName(), content));
    QTEST(ProjectIni(projPath()).GroupByRooms(), "byRooms");
}

void TstProjectIni::writesKeepTheOtherKeys()
{
    ProjectIni ini(projPath());
    QCOMPARE(ini.Serial(), QString());
    QCOMPARE(ini.IP(), QString());

    QVERIFY(ini.setSerial(u"VA-00042"_s));
    QVERIFY(ini.setGroupByRooms(true));
    QVERIFY(ini.setIP(u"192.168.1.20"_s));
    QVERIFY(ini.setSerial(u"VA-00043"_s));

    QCOMPARE(QString::fromUtf8(readBytes(fileName())),
             u"[CFG]\r\nSERIAL=VA-00043\r\nSITEMAP=2\r\nIP=192.168.1.20\r\n"_s);
    const ProjectIni again(projPath());
    QCOMPARE(again.Serial(), u"VA-00043"_s);
    QCOMPARE(again.GroupByRooms(), true);
    QCOMPARE(again.IP(), u"192.168.1.20"_s);
}

void TstProjectIni::valuesReadBackAsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("plain") << u"VAR-0815"_s << QByteArray("SERIAL=VAR-0815");
    QTest::newRow("blank inside") << u"VAR 0815"_s << QByteArray("SERIAL=VAR 0815");
    QTest::newRow("blanks at both ends") << u" VAR-0815 "_s << QByteArray("SERIAL=\" VAR-0815 \"");
    QTest::newRow("in double quotes") << u"\"VAR-0815\""_s << QByteArray("SERIAL=\"\"VAR-0815\"\"");
    QTest::newRow("in single quotes") << u"'VAR'"_s << QByteArray("SERIAL=\"'VAR'\"");
    QTest::newRow("one quote") << u"VAR\""_s << QByteArray("SERIAL=VAR\"");
}

// The serial is typed by hand or handed over by the lookup; whatever it is, it must come back
// as it was typed, and a plain one is written as it is.
void TstProjectIni::valuesReadBackAsTyped()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, line);
    ProjectIni ini(projPath());
    QVERIFY(ini.setSerial(typed));
    QVERIFY(ini.setIP(typed));
    QCOMPARE(readBytes(fileName()), "[CFG]\r\n" + line + "\r\nIP=" + line.mid(7) + "\r\n");
    QCOMPARE(ProjectIni(projPath()).Serial(), typed);
    QCOMPARE(ProjectIni::AtFile(fileName()).IP(), typed);
}

QTEST_GUILESS_MAIN(TstProjectIni)
#include "tst_projectini.moc"
