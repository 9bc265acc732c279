#include "model/language.h"
#include "model/problem.h"
#include "programfolder.h"

#include <QTemporaryDir>
#include <QTest>

namespace {
// The built-in text of message 9, which serves whenever the catalogue has none.
const QString german9 = QStringLiteral("Ungültige Statusabfragezeit-Sekunden!");
} // namespace

class TestLanguage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void emptyCatalogueGivesGerman();
    void loadedLanguage_data();
    void loadedLanguage();
    void missingSectionEmptiesCatalogue();
    void switchingLanguageReplacesCatalogue();
    void messageKeysInOtherForms_data();
    void messageKeysInOtherForms();
    void languagesInFileOrder();
    void fill_data();
    void fill();
    void problemFillsEmptyTexts();

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
    const Language language(m_dir.path());
    QCOMPARE(language.GetMsg(Msg::ProjectExists), QStringLiteral("Projekt bereits vorhanden"));
    QCOMPARE(language.GetMsg(Msg::AddressRange, QStringLiteral("0.1"), QStringLiteral("10.15")),
             QStringLiteral("Adresse muss zwischen 0.1 und 10.15 liegen!"));
    QCOMPARE(language.caption(QStringLiteral("31")), QString());
}

void TestLanguage::loadedLanguage_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("message, other letter case")
        << QStringLiteral("M.4") << QStringLiteral("Project already exists");
    QTest::newRow("empty message value") << QStringLiteral("M.7") << QStringLiteral("Ungültiger Port!");
    QTest::newRow("message absent") << QStringLiteral("M.8")
                                    << QStringLiteral("Ungültiges OpenWeb-Passwort!");
    QTest::newRow("caption") << QStringLiteral("31") << QStringLiteral("Save");
    QTest::newRow("toggle caption") << QStringLiteral("61.0") << QStringLiteral("No");
    QTest::newRow("list group header") << QStringLiteral("14.3") << QStringLiteral("CEN");
    QTest::newRow("caption absent") << QStringLiteral("32") << QString();
}

void TestLanguage::loadedLanguage()
{
    QFETCH(QString, key);
    QFETCH(QString, expected);
    Language language(m_dir.path());
    language.LoadLanguage(QStringLiteral("English"));
    if (key.startsWith(QStringLiteral("M."))) {
        QCOMPARE(language.GetMsg(static_cast<Msg>(key.mid(2).toInt())), expected);
    } else {
        QCOMPARE(language.caption(key), expected);
    }
}

void TestLanguage::missingSectionEmptiesCatalogue()
{
    Language language(m_dir.path());
    language.LoadLanguage(QStringLiteral("English"));
    language.LoadLanguage(QStringLiteral("Klingonisch"));
    QCOMPARE(language.caption(QStringLiteral("31")), QString());
    QCOMPARE(language.GetMsg(Msg::ProjectExists), QStringLiteral("Projekt bereits vorhanden"));
    Language nowhere(m_dir.filePath(QStringLiteral("missing")));
    nowhere.LoadLanguage(QStringLiteral("English"));
    QCOMPARE(nowhere.GetLanguages(), QStringList());
}

void TestLanguage::switchingLanguageReplacesCatalogue()
{
    Language language(m_dir.path());
    language.LoadLanguage(QStringLiteral("English"));
    QCOMPARE(language.GetMsg(Msg::ProjectExists), QStringLiteral("Project already exists"));
    language.LoadLanguage(QStringLiteral("Français"));
    QCOMPARE(language.GetMsg(Msg::ProjectExists), QStringLiteral("Projet existe"));
    QCOMPARE(language.caption(QStringLiteral("31")), QString());
    QCOMPARE(language.caption(QStringLiteral("m.4")), QStringLiteral("Projet existe"));
}

// A message is found under "M." and its number exactly as GetMsg writes it, in any letter case;
// other spellings of the number are captions of their own. Of two keys that differ only in letter
// case the first one counts, even when it is empty.
void TestLanguage::messageKeysInOtherForms_data()
{
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<QString>("message9");
    QTest::addColumn<QString>("captionKey");
    QTest::addColumn<QString>("caption");
    QTest::newRow("leading zero") << QByteArray("M.09=Nine\r\n") << german9 << QStringLiteral("m.09")
                                  << QStringLiteral("Nine");
    QTest::newRow("plus sign") << QByteArray("M.+9=Nine\r\n") << german9 << QStringLiteral("M.+9")
                               << QStringLiteral("Nine");
    QTest::newRow("first of two cases")
        << QByteArray("m.9=First\r\nM.9=Second\r\n") << QStringLiteral("First") << QStringLiteral("M.9")
        << QStringLiteral("First");
    QTest::newRow("empty first of two cases")
        << QByteArray("M.9=\r\nm.9=Second\r\n") << german9 << QStringLiteral("m.9") << QString();
}

void TestLanguage::messageKeysInOtherForms()
{
    QFETCH(QByteArray, lines);
    QFETCH(QString, message9);
    QFETCH(QString, captionKey);
    QFETCH(QString, caption);
    QTemporaryDir dir;
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("language.ini")), "[Test]\r\n" + lines));
    Language language(dir.path());
    language.LoadLanguage(QStringLiteral("Test"));
    QCOMPARE(language.GetMsg(Msg::InvalidPollSeconds), message9);
    QCOMPARE(language.caption(captionKey), caption);
}

void TestLanguage::languagesInFileOrder()
{
    const Language language(m_dir.path() + QLatin1Char('/'));
    QCOMPARE(language.GetLanguages(),
             QStringList({QStringLiteral("Deutsch"), QStringLiteral("English"), QStringLiteral("Français")}));
}

void TestLanguage::fill_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("both") << QStringLiteral("zwischen $1 und $2!")
                          << QStringLiteral("zwischen 0.1 und 10.15!");
    QTest::newRow("first occurrence only") << QStringLiteral("$1 $1") << QStringLiteral("0.1 $1");
    QTest::newRow("reversed order") << QStringLiteral("$2 vor $1") << QStringLiteral("10.15 vor 0.1");
    QTest::newRow("none") << QStringLiteral("ohne") << QStringLiteral("ohne");
}

void TestLanguage::fill()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(Language::Fill(text, QStringLiteral("0.1"), QStringLiteral("10.15")), expected);
    // A value that holds a placeholder itself is not replaced again.
    QCOMPARE(Language::Fill(QStringLiteral("\"$1\" und $2"), QStringLiteral("$2"), QStringLiteral("x")),
             QStringLiteral("\"$2\" und x"));
}

void TestLanguage::problemFillsEmptyTexts()
{
    const Language german(m_dir.path());
    QCOMPARE(Problem{Msg::TransferFailedBecause}.text(german),
             QStringLiteral("Fehler: Daten konnten nicht übermittelt werden. "));
    QCOMPARE((Problem{Msg::AddressRange, QStringLiteral("0.1"), QStringLiteral("10.15")}.text(german)),
             QStringLiteral("Adresse muss zwischen 0.1 und 10.15 liegen!"));
}

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_language.moc"
