#include "bus/busaddress.h"
#include "functionlistgenerator.h"
#include "model/captions.h"
#include "model/csvexport.h"
#include "model/functionvocabulary.h"
#include "model/language.h"
#include "openhab/csvimport.h"
#include "openhab/openhabgenerator.h"
#include "programfolder.h"
#include "randomrun.h"
#include "saveproject.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// What a row means: its address as the bus reads it (the editor reads an area stored as "05" as
// the light point 0.5, the same WHERE), the reversed text for individual scenes only, the tick never.
QString describe(const FunctionEntry& e)
{
    const bool scene = e.kind == FunctionEntry::GroupScene;
    return QStringList{QString::number(e.kind),
                       e.alias,
                       e.label,
                       scene ? Vocabulary::AddressText(e)
                             : OpenHabGenerator::BusWhere(e.kind, e.address, e.bus, e.cen),
                       Vocabulary::KeyText(e),
                       Vocabulary::VoiceText(e.voice, u"Ja"_s),
                       e.groups,
                       scene ? (e.reverse ? u"Ja"_s : u"Nein"_s) : QString()}
        .join(u'|');
}

const QString header = u"Bezeichnung;Art;Adresse;Taste;Gruppenzugehörigkeit;Alexa/Siri\r\n"_s;
const QString goodRow = u"Flur;Lichter/Schalter;1.3;;EG;Ja\r\n"_s;

} // namespace

class TstCsvImport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void exportReadsBack_data();
    void exportReadsBack();
    void refusedRow_data();
    void refusedRow();
    void installersList();

private:
    QByteArray generated(const QString& name) const { return readBytes(m_openHab.sProjPath + name); }

    TestProgramFolder m_folder;
    TestSaveProject m_project;
    Language m_language{m_folder.configDir()};
    OpenHabGenerator m_openHab{m_language, m_folder.configDir()};
};

void TstCsvImport::initTestCase()
{
    QVERIFY(m_folder.isValid());
    QVERIFY(m_project.open(m_openHab, m_folder));
}

void TstCsvImport::init()
{
    m_language.LoadLanguage(u"Deutsch"_s);
    m_openHab.slGroups = {u"EG"_s, u"OG"_s};
}

void TstCsvImport::exportReadsBack_data()
{
    QTest::addColumn<QString>("exportLanguage");
    QTest::newRow("exported in German") << u"Deutsch"_s;
    QTest::newRow("exported in English") << u"English"_s;
}

// Whatever the editor can build, the export writes and the import takes back unchanged: the same
// rows, and a save of them writes the very same files.
void TstCsvImport::exportReadsBack()
{
    QFETCH(QString, exportLanguage);
    RandomRun run;
    FunctionListGenerator generator(m_openHab, run.seed());
    QRandomGenerator sizes(run.seed());
    const QString files[] = {m_openHab.sItemsFile, m_openHab.sCloudFile, m_openHab.sRulesFile,
                             m_openHab.sSitemapFile};
    for (run.project = 0; run.project < 300; ++run.project) {
        m_openHab.slGroups = generator.groups();
        QList<FunctionEntry> rows = generator.functions(m_openHab.slGroups, sizes.bounded(25));
        Vocabulary::RenumberAliases(rows);
        QVERIFY(m_openHab.SaveItems(rows).isEmpty());
        QByteArray saved[std::size(files)];
        for (size_t i = 0; i < std::size(files); ++i)
            saved[i] = generated(files[i]);

        m_language.LoadLanguage(exportLanguage);
        const QByteArray csv = CsvExport::Build(rows, Captions::CsvColumnTexts(m_language),
                                                Captions::GroupHeaderTexts(m_language),
                                                m_language.GetMsg(Msg::Yes), m_language.GetMsg(Msg::No));
        m_language.LoadLanguage(u"Deutsch"_s);
        CsvImport::Result result = CsvImport::Read(csv, m_openHab);
        QCOMPARE(CsvImport::Report(result, m_language), QStringList());
        Vocabulary::RenumberAliases(result.rows);
        QCOMPARE(result.rows.size(), rows.size());
        for (qsizetype i = 0; i < rows.size(); ++i)
            QCOMPARE(describe(result.rows.at(i)), describe(rows.at(i)));

        QVERIFY(m_openHab.SaveItems(result.rows).isEmpty());
        for (size_t i = 0; i < std::size(files); ++i)
            QCOMPARE(generated(files[i]), saved[i]);
    }
}

void TstCsvImport::refusedRow_data()
{
    QTest::addColumn<QString>("csv");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("valid");

    const auto bad = [&](const char* name, const QString& row, const QString& reason) {
        QTest::newRow(name) << header + goodRow + row + u"\r\n"_s + goodRow << 3 << reason << 2;
    };
    bad("address out of range", u"Bad;Lichter/Schalter;1.99;;EG;Ja"_s,
        u"Adresse muss zwischen 0.1 und 10.15 liegen!"_s);
    bad("address no number", u"Bad;Dimmer;abc;;;"_s, u"Adresse ungültig!"_s);
    bad("address empty", u"Bad;Dimmer;;;;"_s, u"Adresse darf nicht leer sein!"_s);
    bad("group address out of range", u"Bad;Raffstore/Jalousien/Automation;#300;;;Alexa"_s,
        u"Gruppe muss zwischen 1 und 255 liegen!"_s);
    bad("unknown kind", u"Bad;Heizung;1.1;;;"_s, u"Unbekannter Wert \"Heizung\" in der Spalte \"Art\"."_s);
    bad("CEN key out of range", u"Bad;CEN;1.4;100;;"_s, u"Szenarien-Taste muss zwischen 1 und 99 liegen!"_s);
    bad("scenario key out of range", u"Bad;Szenarien;1.4;17;;"_s,
        u"Szenarien-Taste muss zwischen 1 und 16 liegen!"_s);
    bad("empty label", u";Dimmer;1.5;;;"_s, u"Bezeichnung darf nicht leer sein!"_s);
    bad("quote in label", u"\"Der \"\"Saal\"\"\";Dimmer;1.5;;;"_s,
        u"Bezeichnung darf weder Anführungszeichen (\") noch Backslash (\\) enthalten!"_s);
    bad("group the project lacks", u"Bad;Dimmer;1.5;;EG, Keller;"_s,
        u"Gruppe \"Keller\" fehlt in der Gruppenliste, verwendet von: \"Bad\""_s);
    bad("scene without its group", u"Bad;individuelle Szenen;;;;"_s,
        u"Es muss eine individuelle Szene ausgewählt werden, welche geschalten werden soll!"_s);
    bad("unknown voice", u"Bad;Dimmer;1.5;;;Vielleicht"_s,
        u"Unbekannter Wert \"Vielleicht\" in der Spalte \"Alexa/Siri\"."_s);
    bad("too few fields", u"Bad;Dimmer;1.5"_s, u"3 Felder statt 6."_s);
    bad("too many fields", u"Bad;Dimmer;1.5;;;;"_s, u"7 Felder statt 6."_s);

    const QString unreadable = u"Die Datei lässt sich ab hier nicht als CSV lesen: Anführungszeichen nicht "
                               u"paarweise, zu viele Felder oder größer als 2 MB."_s;
    QTest::newRow("unclosed quote: nothing is taken")
        << header + goodRow + u"\"Bad;Dimmer;1.5;;;\r\n"_s + goodRow << 3 << unreadable << 0;
    QTest::newRow("stray quote: nothing is taken")
        << header + goodRow + u"Ba\"d;Dimmer;1.5;;;\r\n"_s << 3 << unreadable << 0;
    QTest::newRow("line counted across a quoted line break")
        << header + u"\"zwei\r\nZeilen\";Dimmer;1.5;;;\r\n"_s + u"Bad;Dimmer;1.99;;;\r\n"_s << 4
        << u"Adresse muss zwischen 0.1 und 10.15 liegen!"_s << 1;
    QTest::newRow("unknown column: nothing is taken")
        << u"Bezeichnung;Art;Adresse;Farbe\r\nFlur;Dimmer;1.5;rot\r\n"_s << 1
        << u"Unbekannte Spalte \"Farbe\"."_s << 0;
    QTest::newRow("column missing: nothing is taken")
        << u"Bezeichnung;Art\r\nFlur;Dimmer\r\n"_s << 1 << u"Die Kopfzeile nennt keine Spalte \"Adresse\"."_s
        << 0;
    QTest::newRow("no header at all")
        << QString() << 1 << u"Die Kopfzeile nennt keine Spalte \"Bezeichnung\"."_s << 0;
}

// A bad row gives exactly one finding, at its line, and the other rows stay valid unless the file
// as a whole cannot be read.
void TstCsvImport::refusedRow()
{
    QFETCH(QString, csv);
    QFETCH(int, line);
    QFETCH(QString, reason);
    QFETCH(int, valid);
    const CsvImport::Result result = CsvImport::Read(csv.toUtf8(), m_openHab);
    QCOMPARE(result.rows.size(), valid);
    QCOMPARE(result.unreadable, valid == 0);
    QCOMPARE(CsvImport::Report(result, m_language),
             QStringList{u"Zeile "_s + QString::number(line) + u": "_s + reason});
}

// The columns of a spreadsheet in their own order, English captions and kind words, "," as the
// delimiter, a byte-order mark, the editor's forms of typed addresses.
void TstCsvImport::installersList()
{
    const QByteArray csv = "\xEF\xBB\xBF"
                           "Voice,Group membership,Key,Address,Art,Label\n"
                           "Yes,\"EG, OG\",,1.3,Lights/Switches,Flur\n"
                           "Siri/Home,,,#3,Shutter/Blind,Markise\n"
                           ",OG,5 (++),2.7 (4),CEN scene,Taster\n"
                           "No,Stop all blinds/shutters,,,Individual scenes,Alles zu\n"
                           ",,,5,1,Wohnen\n";
    const CsvImport::Result result = CsvImport::Read(csv, m_openHab);
    QCOMPARE(CsvImport::Report(result, m_language), QStringList());
    // Addresses as the bus reads them: a light point, a group, a CEN+ long press on local bus 4, an area.
    const QStringList expected = {u"0||Flur|13||Ja|EG, OG|"_s, u"2||Markise|#3||Siri/Home||"_s,
                                  u"3||Taster|227#4#04|5 (++)||OG|"_s, u"5||Alles zu||||_STOP_|Nein"_s,
                                  u"1||Wohnen|5||||"_s};
    QStringList rows;
    for (const FunctionEntry& row : result.rows)
        rows << describe(row);
    QCOMPARE(rows, expected);
}

QTEST_GUILESS_MAIN(TstCsvImport)
#include "tst_csvimport.moc"
