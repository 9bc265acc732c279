#include "model/tlanguage.h"
#include "programfolder.h"

#include <QTemporaryDir>
#include <QTest>

class TestLanguage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void emptyCatalogueGivesGerman();
    void loadedLanguage_data();
    void loadedLanguage();
    void missingSectionEmptiesCatalogue();
    void languagesInFileOrder();
    void fill_data();
    void fill();

private:
    QTemporaryDir m_dir;
};

void TestLanguage::initTestCase()
{
    QVERIFY(writeBytes(m_dir.filePath(QStringLiteral("language.ini")),
                       "[Deutsch]\r\nM.4=Projekt bereits vorhanden\r\n31=Speichern\r\n"
                       "[English]\r\nm.4=Project already exists\r\nM.7=\r\n31=Save\r\n61.0=No\r\n14.3=CEN\r\n"
                       "[Français]\r\nM.4=Projet existe\r\n"));
}

void TestLanguage::emptyCatalogueGivesGerman()
{
    const TLanguage language(m_dir.path());
    QCOMPARE(language.GetMsg(4, QStringLiteral("Projekt bereits vorhanden")), QStringLiteral("Projekt bereits vorhanden"));
    QCOMPARE(language.Caption(QStringLiteral("31")), QString());
}

void TestLanguage::loadedLanguage_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("message, other letter case") << QStringLiteral("M.4") << QStringLiteral("Project already exists");
    QTest::newRow("empty message value") << QStringLiteral("M.7") << QStringLiteral("Ungültiger Port!");
    QTest::newRow("message absent") << QStringLiteral("M.8") << QStringLiteral("Ungültiges OpenWeb-Passwort!");
    QTest::newRow("caption") << QStringLiteral("31") << QStringLiteral("Save");
    QTest::newRow("toggle caption") << QStringLiteral("61.0") << QStringLiteral("No");
    QTest::newRow("list group header") << QStringLiteral("14.3") << QStringLiteral("CEN");
    QTest::newRow("caption absent") << QStringLiteral("32") << QString();
}

void TestLanguage::loadedLanguage()
{
    QFETCH(QString, key);
    QFETCH(QString, expected);
    TLanguage language(m_dir.path());
    language.LoadLanguage(QStringLiteral("English"));
    if (key.startsWith(QStringLiteral("M."))) {
        const QHash<int, QString> german = {{4, QStringLiteral("Projekt bereits vorhanden")},
                                            {7, QStringLiteral("Ungültiger Port!")},
                                            {8, QStringLiteral("Ungültiges OpenWeb-Passwort!")}};
        const int id = key.mid(2).toInt();
        QCOMPARE(language.GetMsg(id, german.value(id)), expected);
    } else {
        QCOMPARE(language.Caption(key), expected);
    }
}

void TestLanguage::missingSectionEmptiesCatalogue()
{
    TLanguage language(m_dir.path());
    language.LoadLanguage(QStringLiteral("English"));
    language.LoadLanguage(QStringLiteral("Klingonisch"));
    QCOMPARE(language.Caption(QStringLiteral("31")), QString());
    QCOMPARE(language.GetMsg(4, QStringLiteral("de")), QStringLiteral("de"));
    TLanguage nowhere(m_dir.filePath(QStringLiteral("missing")));
    nowhere.LoadLanguage(QStringLiteral("English"));
    QCOMPARE(nowhere.GetLanguages(), QStringList());
}

void TestLanguage::languagesInFileOrder()
{
    const TLanguage language(m_dir.path() + QLatin1Char('/'));
    QCOMPARE(language.GetLanguages(),
             QStringList({QStringLiteral("Deutsch"), QStringLiteral("English"), QStringLiteral("Français")}));
}

void TestLanguage::fill_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("both") << QStringLiteral("zwischen $1 und $2!") << QStringLiteral("zwischen 0.1 und 10.15!");
    QTest::newRow("first occurrence only") << QStringLiteral("$1 $1") << QStringLiteral("0.1 $1");
    QTest::newRow("reversed order") << QStringLiteral("$2 vor $1") << QStringLiteral("10.15 vor 0.1");
    QTest::newRow("none") << QStringLiteral("ohne") << QStringLiteral("ohne");
}

void TestLanguage::fill()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(TLanguage::Fill(text, QStringLiteral("0.1"), QStringLiteral("10.15")), expected);
    // A value that holds a placeholder itself is not replaced again.
    QCOMPARE(TLanguage::Fill(QStringLiteral("\"$1\" und $2"), QStringLiteral("$2"), QStringLiteral("x")),
             QStringLiteral("\"$2\" und x"));
}

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_tlanguage.moc"
