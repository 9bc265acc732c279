#include "model/csvexport.h"
#include "model/csvreader.h"
#include "model/functionvocabulary.h"

#include <QTest>

using CsvReader::Error;
using CsvReader::Record;
using Records = QList<Record>;

Q_DECLARE_METATYPE(Record)
Q_DECLARE_METATYPE(Error)

namespace {

Records records(const QByteArray& bytes)
{
    const CsvReader::Result result = CsvReader::read(bytes);
    if (const Error* error = std::get_if<Error>(&result)) {
        qWarning("error %d in line %d", int(error->kind), error->line);
        return {};
    }
    return std::get<Records>(result);
}

} // namespace

class TestCsvReader : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void errors_data();
    void errors();
    void readsWhatTheExportWrites();
};

void TestCsvReader::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Records>("expected");

    QTest::newRow("semicolons closing every field, byte-order mark, CR LF")
        << QByteArray("\xEF\xBB\xBFName;Adresse;\r\nK\xC3\xBC"
                      "che; 01.12;\r\n;;\r\n")
        << Records{{1, {"Name", "Adresse"}}, {2, {"K\u00fcche", " 01.12"}}, {3, {"", ""}}};
    QTest::newRow("semicolons between fields: a last empty field stays")
        << QByteArray("a;b;c\na;b;\n") << Records{{1, {"a", "b", "c"}}, {2, {"a", "b", ""}}};
    QTest::newRow("commas when the first line has no semicolon")
        << QByteArray("a,b\r\n\"x;y\",z") << Records{{1, {"a", "b"}}, {2, {"x;y", "z"}}};
    QTest::newRow("semicolons win over commas") << QByteArray("a,b;c\n") << Records{{1, {"a,b", "c"}}};
    QTest::newRow("quoted delimiter, doubled quotes, line breaks kept and counted")
        << QByteArray("h;\r\n\"a;\"\"b\"\"\r\nc\rd\ne\";\r\nnext;\r\n")
        << Records{{1, {"h"}}, {2, {"a;\"b\"\r\nc\rd\ne"}}, {6, {"next"}}};
    QTest::newRow("empty lines hold no record; CR alone ends a line")
        << QByteArray("\r\n\na;b\r\rc;d\r\n\r\n") << Records{{3, {"a", "b"}}, {5, {"c", "d"}}};
    QTest::newRow("delimiter found after leading empty lines")
        << QByteArray("\n\na,b,\nc,\n") << Records{{3, {"a", "b"}}, {4, {"c"}}};
    QTest::newRow("one column, no delimiter") << QByteArray("x\ny") << Records{{1, {"x"}}, {2, {"y"}}};
    QTest::newRow("quoted delimiter in the first line does not count")
        << QByteArray("\"a;b\",c\n") << Records{{1, {"a;b", "c"}}};
    QTest::newRow("empty quoted field") << QByteArray("\"\";x") << Records{{1, {"", "x"}}};
    QTest::newRow("nothing") << QByteArray() << Records{};
}

void TestCsvReader::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Records, expected);
    QCOMPARE(CsvReader::read(bytes), CsvReader::Result(expected));
}

void TestCsvReader::errors_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Error>("expected");

    QTest::newRow("unclosed quote: the line where it opens")
        << QByteArray("a;b;\r\nc;\"d\r\ne;\r\n") << Error{Error::UnclosedQuote, 2};
    QTest::newRow("quote inside a plain field") << QByteArray("a;b\nc;d\"e\n") << Error{Error::StrayQuote, 2};
    QTest::newRow("text after the closing quote, line after the quoted break")
        << QByteArray("a;b\n\"c\nd\"x;e\n") << Error{Error::TextAfterQuote, 3};
    QTest::newRow("too many fields") << QByteArray("a\n") + QByteArray(CsvReader::MaxFields, ';')
                                     << Error{Error::TooManyFields, 2};
    QTest::newRow("too large") << QByteArray(CsvReader::MaxBytes + 1, 'a') << Error{Error::TooLarge, 1};
}

void TestCsvReader::errors()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Error, expected);
    QCOMPARE(CsvReader::read(bytes), CsvReader::Result(expected));
}

// Every text the export may meet, in every field, comes back as written.
void TestCsvReader::readsWhatTheExportWrites()
{
    const QStringList texts = {"",          "plain", "a;b",       "\"quoted\"", "x\r\ny",       "\r",
                               "\n\n",      " lead", "trail; ",   "a,b,c,d,e",  "\u00e4\u20ac", "\"",
                               "\ufeffbom", ";",     "\"\";\"\"", "tab\there"};
    QList<FunctionEntry> rows;
    Records expected;
    const QStringList captions = {"Name, first", "Adresse;", "\"Voice\"", "Gruppen\r\n"};
    const QStringList groups = {"Licht", "Dimmer;", "", "a\nb"};
    expected << Record{1, captions + QStringList{"Art", "", ""}};
    int line = 3; // the fourth caption's line break
    const QString yes = texts.at(3);
    for (qsizetype i = 0; i < texts.size(); ++i) {
        FunctionEntry entry;
        entry.label = texts[i];
        entry.address = texts[(i + 1) % texts.size()];
        entry.voice = FunctionEntry::Voice(i % 4);
        entry.groups = texts[(i + 3) % texts.size()];
        entry.key = texts[(i + 4) % texts.size()];
        entry.kind = int(i % 5); // 4: no header
        rows << entry;
        const Record record{line,
                            {entry.label, u' ' + entry.address, Vocabulary::VoiceText(entry.voice, yes),
                             entry.groups, groups.value(entry.kind), entry.key, ""}};
        expected << record;
        for (const QString& field : record.fields)
            line += int(field.count(u'\n') + field.count(u'\r') - field.count(u"\r\n"));
        ++line;
    }
    QCOMPARE(records(CsvExport::Build(rows, captions, groups, yes, QStringLiteral("no"))), expected);
}

QTEST_GUILESS_MAIN(TestCsvReader)
#include "tst_csvreader.moc"
