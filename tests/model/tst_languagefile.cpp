// The installed language.ini: both languages complete, the German texts exactly as the program
// shows them, and every translation usable in place of its German text.
#include "model/inifile.h"

#include <QFile>
#include <QSet>
#include <QStringDecoder>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QString German = u"Deutsch"_s;
const QString English = u"English"_s;

// Messages whose texts are shown as a quoted voice command.
const QList<int> QuotedVoiceCommands = {49, 50, 51, 52, 77};

QString languageFile()
{
    return QStringLiteral(VARUNO_DATA_DIR "/language.ini");
}

// Every message and every caption key the windows read.
QStringList requiredKeys()
{
    QStringList keys;
    for (int msg = 1; msg <= 83; ++msg)
        keys << u"M."_s + QString::number(msg);
    for (int msg = 100; msg <= 109; ++msg)
        keys << u"M."_s + QString::number(msg);
    const QList<int> toggles = {34, 61, 63, 68, 69};
    for (int tag = 0; tag <= 73; ++tag) {
        const QString key = QString::number(tag);
        if (tag == 14) {
            for (int group = 0; group <= 5; ++group)
                keys << key + u'.' + QString::number(group);
        } else if (toggles.contains(tag)) {
            keys << key + u".0"_s << key + u".1"_s;
        } else {
            keys << key;
        }
    }
    return keys;
}

QSet<QString> upperCased(const QStringList& keys)
{
    QSet<QString> set;
    for (const QString& key : keys)
        set.insert(key.toUpper());
    return set;
}

} // namespace

class TestLanguageFile : public QObject
{
    Q_OBJECT

private slots:
    void fileFormat();
    void sectionsHoldEveryKey();
    void germanTexts_data();
    void germanTexts();
    void voiceCommandsKeepTheirQuotes();
    void translationsKeepPlaceholders();

private:
    TIniFile m_ini{languageFile()};
};

// The raw file: the reader forgives other line ends, silently cuts over-long values and lets the
// first of two equal keys win, so none of these would show in the values read.
void TestLanguageFile::fileFormat()
{
    QFile file(languageFile());
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(languageFile()));
    const QByteArray bytes = file.readAll();
    QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    QVERIFY(!decoder.hasError());
    QVERIFY(text.endsWith(u"\r\n"_s));
    QCOMPARE(text.count(u'\n'), text.count(u"\r\n"_s));
    QSet<QString> sectionKeys;
    for (const QString& line : text.split(u"\r\n"_s)) {
        if (line.startsWith(u'['))
            sectionKeys.clear();
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            continue;
        QVERIFY2(line.size() - equals - 1 <= TIniFile::MaxValueLength, qPrintable(line));
        const QString key = line.left(equals).trimmed().toUpper();
        QVERIFY2(!sectionKeys.contains(key), qPrintable(u"twice: "_s + key));
        sectionKeys.insert(key);
    }
}

void TestLanguageFile::sectionsHoldEveryKey()
{
    QCOMPARE(m_ini.sections(), QStringList({German, English}));

    QCOMPARE(upperCased(m_ini.keys(German)), upperCased(m_ini.keys(English)));

    // A missing or empty key blanks a caption; only key 0 (the hidden list column) is empty.
    for (const QString& key : requiredKeys()) {
        for (const QString& section : {German, English}) {
            const QString missing = u"<missing>"_s;
            const QString value = m_ini.value(section, key, missing);
            QVERIFY2(value != missing, qPrintable(section + u": "_s + key));
            QVERIFY2(value.isEmpty() == (key == u"0"_s), qPrintable(section + u": "_s + key));
        }
    }
}

void TestLanguageFile::germanTexts_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");

    QTest::newRow("placeholder in quotes")
        << u"M.2"_s << u"Wollen Sie das Projekt \"$1\" wirklich löschen?"_s;
    QTest::newRow("two placeholders") << u"M.14"_s << u"Adresse muss zwischen $1 und $2 liegen!"_s;
    QTest::newRow("Alexa example") << u"M.49"_s << u"\"Alexa, $1 ein-/ausschalten\""_s;
    QTest::newRow("Siri example") << u"M.77"_s << u"\"Hey Siri, schalte $1 ein/aus\""_s;
    QTest::newRow("quote and backslash")
        << u"M.83"_s << u"Bezeichnung darf weder Anführungszeichen (\") noch Backslash (\\) enthalten!"_s;
    QTest::newRow("blanks on both sides") << u"17"_s << u" Bticino Webserver "_s;
    QTest::newRow("leading blank") << u"18"_s << u" OpenHAB Account"_s;
    QTest::newRow("trailing blank") << u"45"_s << u"Hinweis: OpenHAB wird jetzt neu gestartet. "_s;
    QTest::newRow("toggle with quotes")
        << u"63.1"_s << u"Jalousie-Schaltung umkehren (\"ein\" ist herunterfahren)"_s;
    QTest::newRow("long note")
        << u"44"_s
        << u"OpenHAB wird aktualisiert. Dies kann bis zu 3 Minuten dauern. Wenn neue "
           "Funktionen hinzugefügt wurden, dann Alexa nach neuen Geräten suchen lassen! "
           "HomeKit aktualisiert sich automatisch."_s;
    QTest::newRow("cell value") << u"M.44"_s << u"Ja"_s;
}

void TestLanguageFile::germanTexts()
{
    QFETCH(QString, key);
    QFETCH(QString, text);
    QCOMPARE(m_ini.value(German, key), text);
}

void TestLanguageFile::voiceCommandsKeepTheirQuotes()
{
    for (int msg : QuotedVoiceCommands) {
        for (const QString& section : {German, English}) {
            const QString value = m_ini.value(section, u"M."_s + QString::number(msg));
            const QString where = section + u": "_s + value;
            QVERIFY2(value.size() > 2 && value.startsWith(u'"') && value.endsWith(u'"'), qPrintable(where));
            QVERIFY2(value.contains(u"$1"_s), qPrintable(where));
        }
    }
}

// Callers fill "$1" and "$2" after the lookup: a translation that drops one loses the value, one
// that adds one shows it literally.
void TestLanguageFile::translationsKeepPlaceholders()
{
    for (const auto& [key, german] : m_ini.values(German)) {
        const QString english = m_ini.value(English, key);
        for (const QString& placeholder : {u"$1"_s, u"$2"_s})
            QVERIFY2(german.contains(placeholder) == english.contains(placeholder),
                     qPrintable(key + u": "_s + english));
    }
}

QTEST_GUILESS_MAIN(TestLanguageFile)
#include "tst_languagefile.moc"
