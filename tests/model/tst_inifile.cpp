#include "model/inifile.h"
#include "programfolder.h"

#include <QTemporaryDir>
#include <QTest>

class TestIniFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readingRules_data();
    void readingRules();
    void sectionsAndKeys();
    void setValueKeepsTheRest();
    void setValueCreatesFileAndSection();
    void failedWriteKeepsTheFile();

private:
    QTemporaryDir m_dir;
};

void TestIniFile::readingRules_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("trimmed") << QByteArray("k=  value  ") << QStringLiteral("value");
    QTest::newRow("double quotes") << QByteArray("k=\" a b \"") << QStringLiteral(" a b ");
    QTest::newRow("single quotes") << QByteArray("k='x'") << QStringLiteral("x");
    QTest::newRow("one pair only") << QByteArray("k=\"\"quoted\"\"") << QStringLiteral("\"quoted\"");
    QTest::newRow("unequal quotes") << QByteArray("k=\"x'") << QStringLiteral("\"x'");
    QTest::newRow("lone quote") << QByteArray("k=\"") << QStringLiteral("\"");
    QTest::newRow("equals in value") << QByteArray("k=a=b") << QStringLiteral("a=b");
    QTest::newRow("utf-8") << QByteArray("k=Schließen") << QStringLiteral("Schließen");
    QTest::newRow("cut at 2047") << QByteArray("k=") + QByteArray(3000, 'x')
                                 << QString(2047, QLatin1Char('x'));
    QTest::newRow("key letter case") << QByteArray("K=v") << QStringLiteral("v");
    QTest::newRow("key blanks") << QByteArray("  k  =v") << QStringLiteral("v");
}

void TestIniFile::readingRules()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, expected);
    const QString file = m_dir.filePath(QStringLiteral("rules.ini"));
    QVERIFY(writeBytes(file, "\xEF\xBB\xBF[cfg]\r\n" + line + "\r\nk=second\r\n"));
    QCOMPARE(IniFile(file).value(QStringLiteral("CFG"), QStringLiteral("k"), QStringLiteral("default")),
             expected);
}

void TestIniFile::sectionsAndKeys()
{
    const QString file = m_dir.filePath(QStringLiteral("sections.ini"));
    QVERIFY(
        writeBytes(file, "; comment\n[Deutsch]\nM.1=Eins\nm.1=doppelt\n\n[English]\r\nM.1=One\rM.2=Two\n"));
    const IniFile ini(file);
    QCOMPARE(ini.sections(), QStringList({QStringLiteral("Deutsch"), QStringLiteral("English")}));
    QCOMPARE(ini.keys(QStringLiteral("english")),
             QStringList({QStringLiteral("M.1"), QStringLiteral("M.2")}));
    QCOMPARE(ini.value(QStringLiteral("Deutsch"), QStringLiteral("M.1")), QStringLiteral("Eins"));
    QCOMPARE(ini.value(QStringLiteral("Deutsch"), QStringLiteral("M.2"), QStringLiteral("none")),
             QStringLiteral("none"));
    QCOMPARE(IniFile(m_dir.filePath(QStringLiteral("missing.ini"))).sections(), QStringList());
}

void TestIniFile::setValueKeepsTheRest()
{
    const QString file = m_dir.filePath(QStringLiteral("keep.ini"));
    QVERIFY(writeBytes(file, "[CFG]\r\n; note\r\nLastProject=Alt\r\nScenario=1\r\n\r\n[Other]\r\nx=1\r\n"));
    IniFile ini(file);
    QVERIFY(ini.setValue(QStringLiteral("cfg"), QStringLiteral("lastproject"), QStringLiteral("Neu")));
    QVERIFY(ini.setValue(QStringLiteral("CFG"), QStringLiteral("Language"), QStringLiteral("English")));
    QCOMPARE(readBytes(file),
             QByteArray("[CFG]\r\n; note\r\nLastProject=Neu\r\nScenario=1\r\nLanguage=English\r\n"
                        "\r\n[Other]\r\nx=1\r\n"));
}

void TestIniFile::setValueCreatesFileAndSection()
{
    const QString file = m_dir.filePath(QStringLiteral("new.ini"));
    IniFile ini(file);
    QVERIFY(ini.setValue(QStringLiteral("CFG"), QStringLiteral("SERIAL"), QStringLiteral("V123")));
    QVERIFY(ini.setValue(QStringLiteral("Other"), QStringLiteral("a"), QStringLiteral("b")));
    QCOMPARE(readBytes(file), QByteArray("[CFG]\r\nSERIAL=V123\r\n\r\n[Other]\r\na=b\r\n"));
}

void TestIniFile::failedWriteKeepsTheFile()
{
    IniFile ini(m_dir.filePath(QStringLiteral("no/such/folder/x.ini")));
    QVERIFY(!ini.setValue(QStringLiteral("CFG"), QStringLiteral("a"), QStringLiteral("b")));
    QVERIFY(!ini.errorString().isEmpty());
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("no"))));

    // A value with a line break would smuggle lines of its own into the file.
    const QString file = m_dir.filePath(QStringLiteral("breaks.ini"));
    QVERIFY(writeBytes(file, "[CFG]\r\nIP=1\r\n"));
    IniFile existing(file);
    QVERIFY(
        !existing.setValue(QStringLiteral("CFG"), QStringLiteral("IP"), QStringLiteral("2\r\n[X]\r\nY=1")));
    QVERIFY(!existing.setValue(QStringLiteral("CFG"), QStringLiteral("A=B"), QStringLiteral("1")));
    QCOMPARE(readBytes(file), QByteArray("[CFG]\r\nIP=1\r\n"));
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
