#pragma once

// The CSV reader on arbitrary bytes, and on what the CSV export writes from arbitrary texts.
//
// Input: the bytes of a CSV file; split at its NUL bytes, the same bytes are also the texts of an
// export: four column captions, two group headers, then four texts a row (label, address, a text
// whose length picks the voice control, groups), the key and reversed columns left without captions
// and values; the voice column's caption is the word yes. Besides not crashing and staying within
// its bounds:
// - a read gives records that are not empty, on lines that grow from 1, or an error on a line the
//   text has;
// - the export reads back as exactly its header and rows, each on the line where it starts.

#include "fuzzcheck.h"
#include "model/csvexport.h"
#include "model/csvreader.h"
#include "model/functionvocabulary.h"

namespace fuzz {

namespace csv {

using CsvReader::Error;
using CsvReader::Record;

inline int lineBreaks(const QString& text)
{
    return int(text.count(u'\n') + text.count(u'\r') - text.count(u"\r\n"));
}

inline int lineBreaks(const QStringList& fields)
{
    int breaks = 0;
    for (const QString& field : fields)
        breaks += lineBreaks(field);
    return breaks;
}

inline QString checkRead(const QByteArray& bytes)
{
    const CsvReader::Result result = CsvReader::read(bytes);
    const int lines = lineBreaks(QString::fromUtf8(bytes)) + 1;
    if (const Error* error = std::get_if<Error>(&result))
        return error->line >= 1 && error->line <= lines
                   ? QString()
                   : QStringLiteral("error %1 on line %2 of %3").arg(error->kind).arg(error->line).arg(lines);
    int line = 0;
    for (const Record& record : std::get<QList<Record>>(result)) {
        if (record.line <= line || record.line > lines || record.fields.isEmpty() ||
            record.fields.size() > CsvReader::MaxFields)
            return QStringLiteral("record of %1 fields on line %2 after line %3")
                .arg(record.fields.size())
                .arg(record.line)
                .arg(line);
        line = record.line;
    }
    return {};
}

// Where a read differs from the records expected, for the finding's text.
inline QString firstDifference(const CsvReader::Result& result, const QList<Record>& expected)
{
    if (const Error* error = std::get_if<Error>(&result))
        return QStringLiteral("error %1 on line %2").arg(error->kind).arg(error->line);
    const QList<Record>& records = std::get<QList<Record>>(result);
    for (qsizetype i = 0; i < std::min(records.size(), expected.size()); ++i) {
        if (!(records[i] == expected[i]))
            return QStringLiteral("record %1 on line %2 is [%3], not [%4] on line %5")
                .arg(i)
                .arg(records[i].line)
                .arg(records[i].fields.join(u'|'), expected[i].fields.join(u'|'))
                .arg(expected[i].line);
    }
    return QStringLiteral("%1 records, not %2").arg(records.size()).arg(expected.size());
}

inline QString checkExport(const QList<QByteArray>& parts)
{
    QStringList texts;
    for (const QByteArray& part : parts)
        texts << QString::fromUtf8(part);
    texts.resize(std::max<qsizetype>(texts.size(), 6));
    const QStringList captions = texts.mid(0, 4);
    const QStringList groupHeaders = texts.mid(4, 2);
    QList<FunctionEntry> rows;
    QList<Record> expected{{1, captions + QStringList{QStringLiteral("Art"), QString(), QString()}}};
    int line = 1 + lineBreaks(captions) + 1;
    for (qsizetype i = 6; i < texts.size(); i += 4) {
        FunctionEntry entry;
        entry.label = texts[i];
        entry.address = texts.value(i + 1);
        // The third text picks the voice control by its length; the voice column's caption is the
        // word yes.
        entry.voice = FunctionEntry::Voice(texts.value(i + 2).size() % 4);
        entry.groups = texts.value(i + 3);
        entry.kind = int(i % 3); // 2: no header
        rows << entry;
        const Record record{line,
                            {entry.label, u' ' + entry.address,
                             Vocabulary::VoiceText(entry.voice, captions[2]), entry.groups,
                             groupHeaders.value(entry.kind), QString(), QString()}};
        expected << record;
        line += lineBreaks(record.fields) + 1;
    }
    const QByteArray bytes = CsvExport::Build(rows, captions, groupHeaders, captions[2], captions[3]);
    const CsvReader::Result result = CsvReader::read(bytes);
    if (result != CsvReader::Result(expected))
        return QStringLiteral("the export\n%1\nreads otherwise: %2")
            .arg(QString::fromUtf8(bytes), firstDifference(result, expected));
    return {};
}

} // namespace csv

inline QString CheckCsv(const QByteArray& input)
{
    const QString failure = csv::checkRead(input);
    return failure.isEmpty() ? csv::checkExport(input.split('\0')) : failure;
}

} // namespace fuzz
