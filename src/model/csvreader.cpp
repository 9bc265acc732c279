#include "csvreader.h"

#include <QStringDecoder>

namespace CsvReader {

namespace {

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// Walks the text once, record by record.
class Parser
{
public:
    explicit Parser(QString text) : m_text(std::move(text)) { readFirstLine(); }

    Result records()
    {
        QList<Record> records;
        while (m_pos < m_text.size()) {
            if (isLineEnd(m_text[m_pos])) {
                skipLineEnd(); // an empty line
                continue;
            }
            Record record{m_line, {}};
            if (const std::optional<Error> error = readRecord(record.fields))
                return *error;
            records << record;
        }
        return records;
    }

private:
    // The delimiter, and whether it closes fields, as the first line that is not empty shows them.
    void readFirstLine()
    {
        qsizetype semicolons = 0;
        qsizetype commas = 0;
        bool quoted = false;
        QChar last;
        for (const QChar c : m_text) {
            if (c == u'"')
                quoted = !quoted;
            else if (!quoted && isLineEnd(c) && !last.isNull())
                break;
            semicolons += !quoted && c == u';';
            commas += !quoted && c == u',';
            last = quoted || isLineEnd(c) ? QChar() : c;
        }
        m_delimiter = semicolons == 0 && commas > 0 ? u',' : u';';
        m_closing = last == m_delimiter;
    }

    bool atLineEnd() const { return m_pos >= m_text.size() || isLineEnd(m_text[m_pos]); }

    // Takes CR LF, LF or CR.
    void skipLineEnd()
    {
        if (m_text[m_pos] == u'\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'\n')
            ++m_pos;
        ++m_pos;
        ++m_line;
    }

    std::optional<Error> readRecord(QStringList& fields)
    {
        const int line = m_line;
        for (;;) {
            QString field;
            const std::optional<Error> error = m_text[m_pos] == u'"' ? readQuoted(field) : readPlain(field);
            if (error)
                return error;
            fields << field;
            if (fields.size() > MaxFields)
                return Error{Error::TooManyFields, line};
            if (m_pos < m_text.size() && m_text[m_pos] == m_delimiter) {
                ++m_pos;
                if (!(m_closing && atLineEnd()))
                    continue;
            }
            if (m_pos < m_text.size())
                skipLineEnd();
            return std::nullopt;
        }
    }

    std::optional<Error> readPlain(QString& field)
    {
        const qsizetype start = m_pos;
        while (!atLineEnd() && m_text[m_pos] != m_delimiter) {
            if (m_text[m_pos] == u'"')
                return Error{Error::StrayQuote, m_line};
            ++m_pos;
        }
        field = m_text.mid(start, m_pos - start);
        return std::nullopt;
    }

    // The field's text comes in runs up to the next double quote, which either closes the field or
    // is the first of two that stand for one.
    std::optional<Error> readQuoted(QString& field)
    {
        const int line = m_line;
        ++m_pos;
        for (;;) {
            const qsizetype quote = m_text.indexOf(u'"', m_pos);
            if (quote < 0)
                return Error{Error::UnclosedQuote, line};
            const QStringView run = QStringView(m_text).sliced(m_pos, quote - m_pos);
            m_line += int(run.count(u'\n') + run.count(u'\r') - run.count(u"\r\n"));
            field += run;
            m_pos = quote + 1;
            if (m_pos >= m_text.size() || m_text[m_pos] != u'"')
                break;
            field += u'"';
            ++m_pos;
        }
        if (!atLineEnd() && m_text[m_pos] != m_delimiter)
            return Error{Error::TextAfterQuote, m_line};
        return std::nullopt;
    }

    QString m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
    QChar m_delimiter = u';';
    bool m_closing = false;
};

} // namespace

Result read(const QByteArray& bytes)
{
    if (bytes.size() > MaxBytes)
        return Error{Error::TooLarge, 1};
    // QString::fromUtf8 would drop a byte-order mark by itself, and then a text's own U+FEFF right
    // behind the file's mark as well.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return Parser(std::move(text)).records();
}

} // namespace CsvReader
