#include "initext.h"

namespace {

QStringList splitLines(const QByteArray& bytes)
{
    QString text = QString::fromUtf8(bytes);
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

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool breaksLine(const QString& text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

} // namespace

IniText::Line IniText::parse(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']')))
        return {Line::Section, trimmed.mid(1, trimmed.size() - 2).trimmed(), {}};
    if (trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
        return {};
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return {};
    const QString key = line.left(eq).trimmed();
    if (key.isEmpty())
        return {};
    return {Line::Entry, key, line.mid(eq + 1)};
}

IniText::IniText(const QByteArray& bytes) : m_lines(splitLines(bytes))
{
    m_parsed.reserve(m_lines.size());
    for (const QString& line : m_lines)
        m_parsed << parse(line);
}

template <typename Visit> void IniText::forEachEntry(const QString& section, Visit visit) const
{
    bool inSection = false;
    for (qsizetype i = 0; i < m_parsed.size(); ++i) {
        const Line& parsed = m_parsed[i];
        if (parsed.kind == Line::Section)
            inSection = sameName(parsed.name, section);
        else if (inSection && parsed.kind == Line::Entry)
            visit(parsed, i);
    }
}

void IniText::insertLine(qsizetype at, const QString& text)
{
    m_lines.insert(at, text);
    m_parsed.insert(at, parse(text));
}

QString IniText::readValue(QString raw)
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

QStringList IniText::sections() const
{
    QStringList result;
    for (const Line& parsed : m_parsed) {
        if (parsed.kind == Line::Section && !result.contains(parsed.name, Qt::CaseInsensitive))
            result << parsed.name;
    }
    return result;
}

QList<QPair<QString, QString>> IniText::values(const QString& section) const
{
    QList<QPair<QString, QString>> result;
    QStringList seen;
    forEachEntry(section, [&](const Line& entry, qsizetype) {
        if (seen.contains(entry.name, Qt::CaseInsensitive))
            return;
        seen << entry.name;
        result.append({entry.name, readValue(entry.value)});
    });
    return result;
}

QStringList IniText::keys(const QString& section) const
{
    QStringList result;
    for (const auto& [key, value] : values(section))
        result << key;
    return result;
}

QString IniText::value(const QString& section, const QString& key, const QString& defaultValue) const
{
    for (const auto& [name, value] : values(section)) {
        if (sameName(name, key))
            return value;
    }
    return defaultValue;
}

bool IniText::setValue(const QString& section, const QString& key, const QString& value)
{
    // A line break would add lines of its own to the text, "=" in a key would split it elsewhere.
    if (breaksLine(section) || breaksLine(key) || breaksLine(value) || key.contains(QLatin1Char('=')) ||
        section.contains(QLatin1Char(']')))
        return false;
    qsizetype keyLine = -1;
    forEachEntry(section, [&](const Line& entry, qsizetype index) {
        if (keyLine < 0 && sameName(entry.name, key))
            keyLine = index;
    });
    if (keyLine >= 0) {
        const QString written = m_lines[keyLine].left(m_lines[keyLine].indexOf(QLatin1Char('=')));
        m_lines[keyLine] = written + QLatin1Char('=') + value;
        m_parsed[keyLine] = parse(m_lines[keyLine]);
        return true;
    }
    // Insert after the last non-empty line of the section, or add the section at the end.
    qsizetype insertAt = -1;
    bool inSection = false;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Line& parsed = m_parsed[i];
        if (parsed.kind == Line::Section)
            inSection = sameName(parsed.name, section);
        if (inSection && !m_lines[i].trimmed().isEmpty())
            insertAt = i + 1;
    }
    const QString entry = key + QLatin1Char('=') + value;
    if (insertAt >= 0) {
        insertLine(insertAt, entry);
    } else {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
            insertLine(m_lines.size(), QString());
        insertLine(m_lines.size(), QLatin1Char('[') + section + QLatin1Char(']'));
        insertLine(m_lines.size(), entry);
    }
    return true;
}

QByteArray IniText::toBytes() const
{
    return (m_lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}
