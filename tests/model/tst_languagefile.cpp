// The installed language.ini: both languages complete, the German texts exactly as the program
// shows them, and every translation usable in place of its German text.
#include "model/inifile.h"
#include "model/language.h"
#include "model/messages.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
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
    for (const Messages::Entry& message : Messages::All())
        keys << u"M."_s + QString::number(static_cast<int>(message.id));
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

// The numbers of the message keys of one section.
QSet<int> messageNumbers(const IniFile& ini, const QString& section)
{
    QSet<int> numbers;
    for (const QString& key : ini.keys(section)) {
        if (key.startsWith(u"M."_s, Qt::CaseInsensitive))
            numbers.insert(key.mid(2).toInt());
    }
    return numbers;
}

// Every message name the program's sources mention outside the message table.
QSet<QString> namesUsedInSources()
{
    static const QRegularExpression use(u"\\bMsg::(\\w+)"_s);
    QSet<QString> names;
    QDirIterator files(QStringLiteral(VARUNO_SOURCE_DIR), {u"*.cpp"_s, u"*.h"_s}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (file.fileName().contains(u"/model/messages."_s) || !file.open(QIODevice::ReadOnly))
            continue;
        for (const auto& match : use.globalMatch(QString::fromUtf8(file.readAll())))
            names.insert(match.captured(1));
    }
    return names;
}

// The message names and numbers as the table's header declares them.
QMap<QString, int> declaredNames()
{
    static const QRegularExpression declaration(u"^    (\\w+) = (\\d+),$"_s,
                                                QRegularExpression::MultilineOption);
    QFile header(QStringLiteral(VARUNO_SOURCE_DIR "/model/messages.h"));
    if (!header.open(QIODevice::ReadOnly))
        return {};
    QMap<QString, int> names;
    for (const auto& match : declaration.globalMatch(QString::fromUtf8(header.readAll())))
        names.insert(match.captured(1), match.captured(2).toInt());
    return names;
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
    void messagesMatchTheProgram();
    void builtInGermanMatchesTheFile();
    void germanTexts_data();
    void germanTexts();
    void voiceCommandsKeepTheirQuotes();
    void translationsKeepPlaceholders();

private:
    IniFile m_ini{languageFile()};
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
        QVERIFY2(line.size() - equals - 1 <= IniFile::MaxValueLength, qPrintable(line));
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

// language.ini holds exactly the messages of the table, and the program uses every one of them.
void TestLanguageFile::messagesMatchTheProgram()
{
    QSet<int> inTable;
    for (const Messages::Entry& message : Messages::All())
        inTable.insert(static_cast<int>(message.id));
    QCOMPARE(messageNumbers(m_ini, German), inTable);
    QCOMPARE(messageNumbers(m_ini, English), inTable);

    const QMap<QString, int> declared = declaredNames();
    QCOMPARE(QSet<int>(declared.cbegin(), declared.cend()), inTable);
    const QSet<QString> used = namesUsedInSources();
    for (const QString& name : declared.keys())
        QVERIFY2(used.contains(name), qPrintable(u"never used: Msg::"_s + name));
}

// The text a message shows without a catalogue is the one the German catalogue has.
void TestLanguageFile::builtInGermanMatchesTheFile()
{
    Language builtIn(QString{});
    Language german(QStringLiteral(VARUNO_DATA_DIR));
    german.LoadLanguage(German);
    for (const Messages::Entry& message : Messages::All())
        QCOMPARE(builtIn.GetMsg(message.id), german.GetMsg(message.id));
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
    QTest::newRow("blanks on both sides") << u"17"_s << u" BTicino-Webserver "_s;
    QTest::newRow("leading blank") << u"18"_s << u" openHAB-Account"_s;
    QTest::newRow("trailing blank") << u"45"_s << u"Hinweis: openHAB wird jetzt neu gestartet. "_s;
    QTest::newRow("toggle with quotes")
        << u"63.1"_s << u"Jalousie-Schaltung umkehren (\"ein\" ist herunterfahren)"_s;
    QTest::newRow("long note")
        << u"44"_s
        << u"openHAB wird aktualisiert. Dies kann bis zu 3 Minuten dauern. Wenn neue "
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
