#pragma once

#include <QString>
#include <QStringList>

#include <span>

// The text of a generated file while it is being put together: its lines, each followed by CR LF
// as the files are written. The generators add their lines here rather than to a list, because a
// project of thousands of functions has tens of thousands of lines, and one string per line costs
// more than writing the file.
class GeneratedText
{
public:
    GeneratedText() = default;
    explicit GeneratedText(const QStringList& lines)
    {
        for (const QString& line : lines)
            add(line);
    }

    // Appends one line: a string, a view or a string-builder expression such as u"a"_s + b.
    template <typename Line> void add(const Line& line)
    {
        QString& chunk = openChunk();
        chunk += line;
        chunk += QStringView(u"\r\n");
    }
    // Appends one line made of the parts in turn.
    void addParts(std::span<const QStringView> parts)
    {
        QString& chunk = openChunk();
        for (const QStringView part : parts)
            chunk += part;
        chunk += QStringView(u"\r\n");
    }
    void append(const GeneratedText& lines) { m_chunks += lines.m_chunks; }

    bool isEmpty() const { return m_chunks.isEmpty(); }
    // The text in pieces, in order; together they are the lines, each ending with CR LF.
    const QStringList& chunks() const { return m_chunks; }
    QString text() const { return m_chunks.join(QString()); }

private:
    // The text is held in pieces of about this many characters. A text of megabytes in one
    // string would be copied to ever larger blocks as it grows, which takes longer than putting
    // it together; the pieces after the first are reserved with room for one more line of the
    // usual length. The first one grows with the text: most files are a few lines long, and a
    // full piece for each of them costs more than the lines.
    static constexpr qsizetype ChunkSize = 32 * 1024;
    static constexpr qsizetype LineRoom = 1024;

    QString& openChunk()
    {
        if (m_chunks.isEmpty() || m_chunks.constLast().size() >= ChunkSize) {
            m_chunks.append(QString());
            if (m_chunks.size() > 1)
                m_chunks.last().reserve(ChunkSize + LineRoom);
        }
        return m_chunks.last();
    }

    QStringList m_chunks;
};
