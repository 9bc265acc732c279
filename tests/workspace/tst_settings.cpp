#include "workspace/settings.h"

#include "programfolder.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TstSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void defaultsWithoutFile();
    void reads_data();
    void reads();
    void writesReachTheFileAtOnce();
    void valuesReadBackAsWritten_data();
    void valuesReadBackAsWritten();

private:
    QString fileName() const { return m_dir.path() + u"/settings.ini"_s; }

    QTemporaryDir m_dir;
};

void TstSettings::init()
{
    QFile::remove(fileName());
}

void TstSettings::defaultsWithoutFile()
{
    const Settings settings(fileName());
    QCOMPARE(settings.Cloudserver(), QString());
    QCOMPARE(settings.Scenario(), false);
    QCOMPARE(settings.LastProject(), QString());
    QCOMPARE(settings.language(), QString());
    QCOMPARE(settings.Groupview(), true);
    QVERIFY(!QFileInfo::exists(fileName()));
}

void TstSettings::reads_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("scenario");
    QTest::addColumn<bool>("groupview");

    QTest::newRow("1 and 0") << QByteArray("[CFG]\r\nScenario=1\r\nGroupview=0\r\n") << true << false;
    QTest::newRow("other words") << QByteArray("[CFG]\r\nScenario=true\r\nGroupview=yes\r\n") << false
                                 << false;
    QTest::newRow("keys in other case, blanks")
        << QByteArray("[cfg]\nSCENARIO = 1 \ngroupview=\"1\"\n") << true << true;
    QTest::newRow("other section only")
        << QByteArray("[X]\r\nScenario=1\r\nGroupview=0\r\n") << false << true;
}

void TstSettings::reads()
{
    QFETCH(QByteArray, content);
    QVERIFY(writeBytes(fileName(), content));
    const Settings settings(fileName());
    QTEST(settings.Scenario(), "scenario");
    QTEST(settings.Groupview(), "groupview");
}

// Another program (or the next start) must see each choice without the settings being closed.
void TstSettings::writesReachTheFileAtOnce()
{
    QVERIFY(writeBytes(fileName(), "[CFG]\r\nCloudserver=https://lookup.example/\r\nScenario=1\r\n"));
    Settings settings(fileName());
    QVERIFY(settings.setLanguage(u"English"_s));
    QVERIFY(settings.setGroupview(false));
    QVERIFY(settings.setLastProject(u"Haus"_s));

    const QString text = QString::fromUtf8(readBytes(fileName()));
    for (const QString& line : {u"Cloudserver=https://lookup.example/"_s, u"Scenario=1"_s,
                                u"Language=English"_s, u"Groupview=0"_s, u"LastProject=Haus"_s})
        QVERIFY2(text.contains(line + u"\r\n"_s), qPrintable(text));

    QVERIFY(settings.setGroupview(true));
    QCOMPARE(Settings(fileName()).Groupview(), true);
    QCOMPARE(Settings(fileName()).language(), u"English"_s);
}

void TstSettings::valuesReadBackAsWritten_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("plain") << u"Haus"_s;
    QTest::newRow("leading blank") << u"  Keller"_s;
    QTest::newRow("single quotes") << u"'Alt'"_s;
    QTest::newRow("umlaut") << u"Gartenhäuschen"_s;
}

void TstSettings::valuesReadBackAsWritten()
{
    QFETCH(QString, name);
    QVERIFY(Settings(fileName()).setLastProject(name));
    QCOMPARE(Settings(fileName()).LastProject(), name);
}

QTEST_GUILESS_MAIN(TstSettings)
#include "tst_settings.moc"
