#include "csvexport.h"

#include "functionvocabulary.h"
#include "safefile.h"

#include <algorithm>

namespace {

const QString separator = QStringLiteral(";");

QString field(const QString& text)
{
    static const QString needsQuotes = QStringLiteral(";\"\r\n");
    if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return needsQuotes.contains(c); }))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString line(const QStringList& fields)
{
    QString text;
    for (const QString& value : fields)
        text += field(value) + separator;
    return text + QStringLiteral("\r\n");
}

} // namespace

namespace CsvExport {

QByteArray Build(const QList<FunctionEntry>& rows, const QStringList& columnCaptions,
                 const QStringList& groupHeaders, const QString& yes, const QString& no)
{
    QStringList captions = columnCaptions;
    captions.resize(6);
    // "Art" has no caption of its own in the window and stays as it is.
    QString text = line(captions.mid(0, 4) << QStringLiteral("Art") << captions.mid(4));
    for (const FunctionEntry& row : rows) {
        // The blank before the address is part of the format spreadsheets have been reading.
        const QString reversed = row.reverse ? yes : no;
        text +=
            line({row.label, QLatin1Char(' ') + Vocabulary::AddressText(row),
                  Vocabulary::VoiceText(row.voice, yes), row.groups, groupHeaders.value(row.kind),
                  Vocabulary::KeyText(row), row.kind == FunctionEntry::GroupScene ? reversed : QString()});
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

std::optional<QString> Write(const QString& fileName, const QByteArray& bytes)
{
    return WriteWholeFile(fileName, bytes);
}

} // namespace CsvExport
