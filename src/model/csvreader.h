#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <variant>

// Reads CSV text as spreadsheets write it (RFC 4180): records of fields, a field in double quotes
// may hold the delimiter, CR, LF and doubled double quotes. The text is UTF-8, one byte-order mark
// in front is dropped. The delimiter is ";" when the first line holds one outside quotes, otherwise
// "," when it holds one, otherwise ";". A first line that ends with its delimiter says that every
// delimiter closes a field (as CsvExport writes it) rather than starting the next one, so a
// record's last delimiter opens no empty field. Lines end with CR LF, LF or CR; empty lines hold
// no record.
namespace CsvReader {

// Bounds that keep a malformed or hostile text from taking much memory: a function list is far
// below either.
constexpr qsizetype MaxBytes = 2 * 1024 * 1024;
constexpr qsizetype MaxFields = 256; // per record

// One record and the line of the text it starts on (from 1).
struct Record
{
    int line = 0;
    QStringList fields;
    bool operator==(const Record&) const = default;
};

// Why the text cannot be read, and the line where that shows.
struct Error
{
    enum Kind
    {
        UnclosedQuote,  // a quoted field runs to the end of the text
        StrayQuote,     // a double quote inside an unquoted field
        TextAfterQuote, // something other than a delimiter or a line end after a closing quote
        TooManyFields,  // a record with more than MaxFields fields
        TooLarge,       // more than MaxBytes bytes
    } kind;
    int line = 0;
    bool operator==(const Error&) const = default;
};

using Result = std::variant<QList<Record>, Error>;

Result read(const QByteArray& bytes);

} // namespace CsvReader
