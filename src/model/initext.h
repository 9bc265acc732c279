#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The text of an INI file in memory: "[section]" headers followed by "key=value" lines. Keys and
// section names match without regard to letter case. Values are read with blanks at both ends
// removed, one enclosing pair of equal quotes (" or ') removed, and cut to at most 2047
// characters. The bytes are UTF-8; every byte-order mark at the start is dropped, and CR LF, LF
// and CR all end a line.
class IniText
{
public:
    static constexpr int MaxValueLength = 2047;

    explicit IniText(const QByteArray& bytes);

    QStringList sections() const;
    QStringList keys(const QString& section) const;
    // Keys with their values, in text order (first occurrence of a key only).
    QList<QPair<QString, QString>> values(const QString& section) const;
    QString value(const QString& section, const QString& key, const QString& defaultValue = {}) const;

    // Replaces the key's value, or adds the key (and the section), keeping every other line as it
    // was. False, with the text as it was, when the entry would break the text: a line break
    // anywhere, "=" in the key or "]" in the section.
    bool setValue(const QString& section, const QString& key, const QString& value);

    // The text as the file holds it: UTF-8, CR LF after every line.
    QByteArray toBytes() const;

    // The reading rules applied to a raw value text.
    static QString readValue(QString raw);

private:
    // One line as the reading rules see it.
    struct Line
    {
        enum Kind
        {
            Other,
            Section,
            Entry
        } kind = Other;
        QString name;           // section name or key, trimmed
        qsizetype valueAt = -1; // where the raw value text starts: after the first "=" (entries only)
    };

    // A section as the questions see it: every block of its name together, each key's first
    // entry only, in text order. Names are case-folded for lookup.
    struct SectionIndex
    {
        QString name; // as its first header writes it
        QList<qsizetype> entries;
        QHash<QString, qsizetype> lineOfKey;
    };

    static Line parse(const QString& line);
    QString valueOf(qsizetype line) const { return readValue(m_lines[line].sliced(m_parsed[line].valueAt)); }
    // The lines are parsed once and indexed, so that a question costs no pass over the text: a
    // file of many sections or keys stays linear to read.
    void index();
    const SectionIndex* find(const QString& section) const;
    void insertLine(qsizetype at, const QString& text);

    QStringList m_lines;
    QList<Line> m_parsed;
    QList<SectionIndex> m_sections;
    QHash<QString, qsizetype> m_sectionOfName;
};
