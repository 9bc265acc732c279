#pragma once

// The INI reader on arbitrary file bytes, and a write followed by reads, all in memory: a write is
// checked on the bytes it would put into the file, read anew.
//
// Input: the file's bytes, optionally followed by NUL, section, NUL, key, NUL, value. Reading any
// file must not crash and gives values of at most MaxValueLength characters. When section, key and
// value are given, setValue must
// - refuse what would break the file (a line break anywhere, "=" in the key, "]" in the section)
//   and leave the text as it was;
// - otherwise succeed, and value() must return the value (cut to MaxValueLength) whenever the
//   reading rules let it come back as written: section, key and value without blanks at their ends,
//   a key that does not start like a comment or a section header, a value without one enclosing
//   pair of quotes;
// - and in both cases leave every other key of every section reading as before.

#include "fuzzcheck.h"
#include "model/initext.h"

#include <QMap>

namespace fuzz {

namespace inifile {

using Entries = QMap<QPair<QString, QString>, QString>;

// Every readable (section, key) with its value; names case-folded as they match.
inline Entries readAll(const IniText& ini, QString& failure)
{
    Entries entries;
    for (const QString& section : ini.sections()) {
        const auto values = ini.values(section);
        const QStringList keys = ini.keys(section);
        if (keys.size() != values.size())
            failure = QStringLiteral("keys() and values() disagree in [%1]").arg(section);
        for (const auto& [key, value] : values) {
            if (value.size() > IniText::MaxValueLength)
                failure = QStringLiteral("value of %1 longer than %2").arg(key).arg(IniText::MaxValueLength);
            entries.insert({section.toCaseFolded(), key.toCaseFolded()}, value);
        }
    }
    return entries;
}

inline bool breaksLine(const QString& text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

inline bool isQuotedPair(const QString& value)
{
    return value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
           value.back() == value.front();
}

} // namespace inifile

inline QString CheckIniFile(const QByteArray& input)
{
    using namespace inifile;
    const QList<QByteArray> parts = splitTail(input, 3);
    IniText ini(parts[0]);
    QString failure;
    Entries before = readAll(ini, failure);
    if (!failure.isEmpty() || parts.size() < 4)
        return failure;

    const QString section = QString::fromUtf8(parts[1]);
    const QString key = QString::fromUtf8(parts[2]);
    const QString value = QString::fromUtf8(parts[3]);
    const bool refused = breaksLine(section) || breaksLine(key) || breaksLine(value) ||
                         key.contains(QLatin1Char('=')) || section.contains(QLatin1Char(']'));
    const QByteArray unchanged = ini.toBytes();
    const bool written = ini.setValue(section, key, value);
    if (refused) {
        if (written || ini.toBytes() != unchanged)
            return QStringLiteral("setValue of [%1] %2 = %3 went ahead").arg(section, key, value);
        return {};
    }
    if (!written)
        return QStringLiteral("setValue of [%1] %2 = %3 refused").arg(section, key, value);
    // What the file holds after the write, read anew.
    ini = IniText(ini.toBytes());

    const bool readable = section.trimmed() == section && key.trimmed() == key && value.trimmed() == value &&
                          !key.isEmpty() && !key.startsWith(u';') && !key.startsWith(u'#') &&
                          !key.startsWith(u'[') && !isQuotedPair(value);
    const QString expected = value.left(IniText::MaxValueLength);
    const QString readBack = ini.value(section, key, QStringLiteral("<absent>"));
    if (readable && readBack != expected)
        return QStringLiteral("[%1] %2 set to \"%3\" reads \"%4\"").arg(section, key, expected, readBack);

    Entries after = readAll(ini, failure);
    if (!failure.isEmpty())
        return failure;
    const QPair<QString, QString> touched{section.trimmed().toCaseFolded(), key.trimmed().toCaseFolded()};
    before.remove(touched);
    after.remove(touched);
    if (before != after)
        return QStringLiteral("setValue of [%1] %2 changed other entries").arg(section, key);
    return {};
}

} // namespace fuzz
