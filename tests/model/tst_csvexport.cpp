#include "model/csvexport.h"
#include "programfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QStringList columns = {QStringLiteral("Bezeichnung"), QStringLiteral("Adresse"),
                             QStringLiteral("Alexa/Siri"),  QStringLiteral("Gruppenzugehörigkeit"),
                             QStringLiteral("Taste"),       QStringLiteral("Umgekehrt")};
const QStringList groups = {QStringLiteral("Lichter/Schalter"),
                            QStringLiteral("Dimmer"),
                            QStringLiteral("Raffstore/Jalousien/Automation"),
                            QStringLiteral("CEN"),
                            QStringLiteral("Szenarien"),
                            QStringLiteral("individuelle Szenen")};
const QByteArray bom = "\xEF\xBB\xBF";
const QByteArray header =
    "Bezeichnung;Adresse;Alexa/Siri;Gruppenzugeh\xC3\xB6rigkeit;Art;Taste;Umgekehrt;\r\n";

FunctionEntry row(const QString& caption, int kind, const QString& address = QStringLiteral("01.12"))
{
    FunctionEntry entry;
    entry.label = caption;
    entry.address = address;
    entry.voice = FunctionEntry::Voice::On;
    entry.groups = QStringLiteral("EG, OG");
    entry.alias = QStringLiteral("SWITCH_1");
    entry.key = QStringLiteral("01");
    entry.kind = kind;
    return entry;
}

} // namespace

class TestCsvExport : public QObject
{
    Q_OBJECT

private slots:
    void build_data();
    void build();
    void translatedCaptionsButArtStays();
    void writeReplacesTheFile();
    void failedWriteKeepsTheOldFile();
};

void TestCsvExport::build_data()
{
    QTest::addColumn<QList<FunctionEntry>>("rows");
    QTest::addColumn<QByteArray>("lines");

    FunctionEntry scene = row(QStringLiteral("Szene"), FunctionEntry::GroupScene);
    scene.reverse = true;
    FunctionEntry plainScene = row(QStringLiteral("Szene"), FunctionEntry::GroupScene);
    plainScene.voice = FunctionEntry::Voice::None;
    FunctionEntry blind = row(QStringLiteral("Rollo"), FunctionEntry::Automation);
    blind.voice = FunctionEntry::Voice::Home;

    QTest::newRow("empty list: header only") << QList<FunctionEntry>() << QByteArray();
    QTest::newRow("stored order, blank before the address, header of the kind's group")
        << QList<FunctionEntry>{row(QStringLiteral("Küche"), 2),
                                row(QStringLiteral("Bad"), 0, QStringLiteral("#3 (2)"))}
        << QByteArray("K\xC3\xBC"
                      "che; 01.12;Ja;EG, OG;Raffstore/Jalousien/Automation;01;;\r\n"
                      "Bad; #3 (2);Ja;EG, OG;Lichter/Schalter;01;;\r\n");
    QTest::newRow("scenario module under group 4") << QList<FunctionEntry>{row(QStringLiteral("F420"), 4)}
                                                   << QByteArray("F420; 01.12;Ja;EG, OG;Szenarien;01;;\r\n");
    QTest::newRow("separator quoted")
        << QList<FunctionEntry>{row(QStringLiteral("Licht; Flur"), 0)}
        << QByteArray("\"Licht; Flur\"; 01.12;Ja;EG, OG;Lichter/Schalter;01;;\r\n");
    QTest::newRow("quote doubled") << QList<FunctionEntry>{row(QStringLiteral("Der \"Saal\""), 0)}
                                   << QByteArray(
                                          "\"Der \"\"Saal\"\"\"; 01.12;Ja;EG, OG;Lichter/Schalter;01;;\r\n");
    QTest::newRow("line breaks quoted")
        << QList<FunctionEntry>{row(QStringLiteral("a\rb\nc"), 0)}
        << QByteArray("\"a\rb\nc\"; 01.12;Ja;EG, OG;Lichter/Schalter;01;;\r\n");
    QTest::newRow("individual scene: reversed, its key as the row holds it")
        << QList<FunctionEntry>{scene} << QByteArray("Szene; 01.12;Ja;EG, OG;individuelle Szenen;01;Ja;\r\n");
    QTest::newRow("voice and reversing in words")
        << QList<FunctionEntry>{blind, plainScene}
        << QByteArray("Rollo; 01.12;Siri/Home;EG, OG;Raffstore/Jalousien/Automation;01;;\r\n"
                      "Szene; 01.12;;EG, OG;individuelle Szenen;01;Nein;\r\n");
    QTest::newRow("unknown kind: empty group field")
        << QList<FunctionEntry>{row(QStringLiteral("X"), 9)} << QByteArray("X; 01.12;Ja;EG, OG;;01;;\r\n");
}

void TestCsvExport::build()
{
    QFETCH(QList<FunctionEntry>, rows);
    QFETCH(QByteArray, lines);
    QCOMPARE(CsvExport::Build(rows, columns, groups, QStringLiteral("Ja"), QStringLiteral("Nein")),
             bom + header + lines);
}

void TestCsvExport::translatedCaptionsButArtStays()
{
    const QStringList english = {QStringLiteral("Label"), QStringLiteral("Address"),
                                 QStringLiteral("Voice"), QStringLiteral("Groups; rooms"),
                                 QStringLiteral("Key"),   QStringLiteral("Reversed")};
    QCOMPARE(CsvExport::Build({}, english, groups, QStringLiteral("Yes"), QStringLiteral("No")),
             bom + "Label;Address;Voice;\"Groups; rooms\";Art;Key;Reversed;\r\n");
}

void TestCsvExport::writeReplacesTheFile()
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("export.csv"));
    QVERIFY(writeBytes(fileName, "old content that is longer than the new one"));
    QCOMPARE(CsvExport::Write(fileName, bom + header), std::nullopt);
    QCOMPARE(readBytes(fileName), bom + header);
}

void TestCsvExport::failedWriteKeepsTheOldFile()
{
    QTemporaryDir dir;
    // A folder in the place of the file cannot be replaced by a file.
    const QString fileName = dir.filePath(QStringLiteral("export.csv"));
    QVERIFY(QDir().mkpath(fileName + QStringLiteral("/inside")));
    const std::optional<QString> failure = CsvExport::Write(fileName, bom + header);
    QVERIFY(failure.has_value());
    QVERIFY(!failure->isEmpty());
    QVERIFY(QFileInfo(fileName).isDir());

    QCOMPARE(CsvExport::Write(dir.filePath(QStringLiteral("missing/export.csv")), header).has_value(), true);
}

QTEST_MAIN(TestCsvExport)
#include "tst_csvexport.moc"
