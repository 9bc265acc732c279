#include "initext.h"

#include <utility>

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

bool breaksLine(const QString& text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

} // namespace

IniText::Line IniText::parse(const QString& line)
{
    const QStringView trimmed = QStringView(line).trimmed();
    if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']')))
        return {Line::Section, trimmed.sliced(1, trimmed.size() - 2).trimmed().toString()};
    if (trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
        return {};
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return {};
    const QStringView key = QStringView(line).left(eq).trimmed();
    if (key.isEmpty())
        return {};
    return {Line::Entry, key.toString(), eq + 1};
}

IniText::IniText(const QByteArray& bytes) : m_lines(splitLines(bytes))
{
    m_parsed.reserve(m_lines.size());
    for (const QString& line : m_lines)
        m_parsed << parse(line);
    index();
}

void IniText::index()
{
    m_sections.clear();
    m_sectionOfName.clear();
    SectionIndex* current = nullptr; // entries before the first header belong to no section
    for (qsizetype i = 0; i < m_parsed.size(); ++i) {
        const Line& parsed = m_parsed[i];
        if (parsed.kind == Line::Section) {
            const QString name = parsed.name.toCaseFolded();
            auto at = m_sectionOfName.constFind(name);
            if (at == m_sectionOfName.cend()) {
                at = m_sectionOfName.insert(name, m_sections.size());
                m_sections.append({parsed.name, {}, {}});
            }
            current = &m_sections[*at];
        } else if (current && parsed.kind == Line::Entry) {
            const QString key = parsed.name.toCaseFolded();
            if (!current->lineOfKey.contains(key)) {
                current->lineOfKey.insert(key, i);
                current->entries << i;
            }
        }
    }
}

const IniText::SectionIndex* IniText::find(const QString& section) const
{
    const auto at = m_sectionOfName.constFind(section.toCaseFolded());
    return at == m_sectionOfName.cend() ? nullptr : &m_sections[*at];
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
    result.reserve(m_sections.size());
    for (const SectionIndex& section : m_sections)
        result << section.name;
    return result;
}

QList<QPair<QString, QString>> IniText::values(const QString& section) const
{
    QList<QPair<QString, QString>> result;
    if (const SectionIndex* found = find(section)) {
        result.reserve(found->entries.size());
        for (const qsizetype line : found->entries)
            result.append({m_parsed[line].name, valueOf(line)});
    }
    return result;
}

QStringList IniText::keys(const QString& section) const
{
    QStringList result;
    if (const SectionIndex* found = find(section)) {
        result.reserve(found->entries.size());
        for (const qsizetype line : found->entries)
            result << m_parsed[line].name;
    }
    return result;
}

QString IniText::value(const QString& section, const QString& key, const QString& defaultValue) const
{
    const SectionIndex* found = find(section);
    const auto line =
        found ? found->lineOfKey.constFind(key.toCaseFolded()) : QHash<QString, qsizetype>::const_iterator();
    return found && line != found->lineOfKey.cend() ? valueOf(*line) : defaultValue;
}

bool IniText::setValue(const QString& section, const QString& key, const QString& value)
{
    // A line break would add lines of its own to the text, "=" in a key would split it elsewhere.
    if (breaksLine(section) || breaksLine(key) || breaksLine(value) || key.contains(QLatin1Char('=')) ||
        section.contains(QLatin1Char(']')))
        return false;
    const SectionIndex* found = find(section);
    const auto keyLine =
        found ? found->lineOfKey.constFind(key.toCaseFolded()) : QHash<QString, qsizetype>::const_iterator();
    if (found && keyLine != found->lineOfKey.cend()) {
        QString& line = m_lines[*keyLine];
        line = line.left(line.indexOf(QLatin1Char('='))) + QLatin1Char('=') + value;
        const Line before = std::exchange(m_parsed[*keyLine], parse(line));
        // The new value can make the line read otherwise, e.g. a key "[a" with the value "b]".
        if (m_parsed[*keyLine].kind != before.kind || m_parsed[*keyLine].name != before.name)
            index();
        return true;
    }
    // Insert after the last non-empty line of the section, or add the section at the end.
    const QString folded = section.toCaseFolded();
    qsizetype insertAt = -1;
    bool inSection = false;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Line& parsed = m_parsed[i];
        if (parsed.kind == Line::Section)
            inSection = parsed.name.toCaseFolded() == folded;
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
    index();
    return true;
}

QByteArray IniText::toBytes() const
{
    return (m_lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}
