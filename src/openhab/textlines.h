#pragma once

#include <QString>
#include <QStringList>

#include <span>

// The text of a generated file while it is being put together: its lines, each followed by CR LF
// as the files are written. The generators add their lines here rather than to a list, because a
// project of thousands of functions has tens of thousands of lines, and one string per line costs
// more than writing the file.
class TTextLines
{
public:
    TTextLines() = default;
    explicit TTextLines(const QStringList& lines)
    {
        for (const QString& line : lines)
            add(line);
    }

    // Appends one line: a string, a view or a string-builder expression such as u"a"_s + b.
    template <typename Line>
    void add(const Line& line)
    {
        m_text += line;
        m_text += QStringView(u"\r\n");
    }
    // Appends one line made of the parts in turn.
    void addParts(std::span<const QStringView> parts)
    {
        for (const QStringView part : parts)
            m_text += part;
        m_text += QStringView(u"\r\n");
    }
    void append(const TTextLines& lines) { m_text += lines.m_text; }

    bool isEmpty() const { return m_text.isEmpty(); }
    // The lines, each ending with CR LF.
    const QString& text() const { return m_text; }

private:
    QString m_text;
};
