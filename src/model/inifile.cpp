#include "inifile.h"

#include "safefile.h"

#include <QFile>

namespace {

struct IniLine
{
    enum Kind
    {
        Other,
        Section,
        Entry
    } kind = Other;
    QString name;  // section name or key, trimmed
    QString value; // raw value text after the first "=" (entries only)
};

QStringList readLines(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    // Every byte-order mark at the start goes: one left in front of a section header would hide
    // it until the next write, which drops the marks, shows it and moves keys between sections.
    while (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

IniLine parse(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']')))
        return {IniLine::Section, trimmed.mid(1, trimmed.size() - 2).trimmed(), {}};
    if (trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
        return {};
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return {};
    const QString key = line.left(eq).trimmed();
    if (key.isEmpty())
        return {};
    return {IniLine::Entry, key, line.mid(eq + 1)};
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Calls visit(line, index) for every entry of the section, in file order.
template <typename Visit> void forEachEntry(const QStringList& lines, const QString& section, Visit visit)
{
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const IniLine parsed = parse(lines[i]);
        if (parsed.kind == IniLine::Section)
            inSection = sameName(parsed.name, section);
        else if (inSection && parsed.kind == IniLine::Entry)
            visit(parsed, i);
    }
}

} // namespace

TIniFile::TIniFile(QString fileName) : m_fileName(std::move(fileName)) {}

QString TIniFile::readValue(QString raw)
{
    raw = raw.trimmed();
    if (raw.size() >= 2) {
        const QChar first = raw.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && raw.back() == first)
            raw = raw.mid(1, raw.size() - 2);
    }
    raw.truncate(MaxValueLength);
    return raw;
}

QStringList TIniFile::sections() const
{
    QStringList result;
    for (const QString& line : readLines(m_fileName)) {
        const IniLine parsed = parse(line);
        if (parsed.kind == IniLine::Section && !result.contains(parsed.name, Qt::CaseInsensitive))
            result << parsed.name;
    }
    return result;
}

QList<QPair<QString, QString>> TIniFile::values(const QString& section) const
{
    QList<QPair<QString, QString>> result;
    QStringList seen;
    forEachEntry(readLines(m_fileName), section, [&](const IniLine& entry, qsizetype) {
        if (seen.contains(entry.name, Qt::CaseInsensitive))
            return;
        seen << entry.name;
        result.append({entry.name, readValue(entry.value)});
    });
    return result;
}

QStringList TIniFile::keys(const QString& section) const
{
    QStringList result;
    for (const auto& [key, value] : values(section))
        result << key;
    return result;
}

QString TIniFile::value(const QString& section, const QString& key, const QString& defaultValue) const
{
    for (const auto& [name, value] : values(section)) {
        if (sameName(name, key))
            return value;
    }
    return defaultValue;
}

bool TIniFile::setValueAsGiven(const QString& section, const QString& key, const QString& value)
{
    const bool keepsShape = readValue(value) == value;
    return setValue(section, key, keepsShape ? value : QLatin1Char('"') + value + QLatin1Char('"'));
}

bool TIniFile::setValue(const QString& section, const QString& key, const QString& value)
{
    // A line break would add lines of its own to the file, "=" in a key would split it elsewhere.
    const auto breaksLine = [](const QString& text) {
        return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
    };
    if (breaksLine(section) || breaksLine(key) || breaksLine(value) || key.contains(QLatin1Char('=')) ||
        section.contains(QLatin1Char(']'))) {
        m_error = QStringLiteral("Invalid INI entry");
        return false;
    }
    QStringList lines = readLines(m_fileName);
    qsizetype keyLine = -1;
    forEachEntry(lines, section, [&](const IniLine& entry, qsizetype index) {
        if (keyLine < 0 && sameName(entry.name, key))
            keyLine = index;
    });
    if (keyLine >= 0) {
        const QString written = lines[keyLine].left(lines[keyLine].indexOf(QLatin1Char('=')));
        lines[keyLine] = written + QLatin1Char('=') + value;
    } else {
        // Insert after the last non-empty line of the section, or add the section at the end.
        qsizetype insertAt = -1;
        bool inSection = false;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const IniLine parsed = parse(lines[i]);
            if (parsed.kind == IniLine::Section)
                inSection = sameName(parsed.name, section);
            if (inSection && !lines[i].trimmed().isEmpty())
                insertAt = i + 1;
        }
        const QString entry = key + QLatin1Char('=') + value;
        if (insertAt >= 0) {
            lines.insert(insertAt, entry);
        } else {
            if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
                lines << QString();
            lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
        }
    }

    const std::optional<QString> failure =
        WriteWholeFile(m_fileName, (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    if (failure) {
        m_error = *failure;
        return false;
    }
    m_error.clear();
    return true;
}
