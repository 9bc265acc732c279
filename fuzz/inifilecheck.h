#pragma once

// The INI reader on arbitrary file bytes, and a write followed by reads.
//
// Input: the file's bytes, optionally followed by NUL, section, NUL, key, NUL, value. Reading any
// file must not crash and gives values of at most MaxValueLength characters. When section, key and
// value are given, they are made writable first (no line breaks anywhere; the key without "=",
// without blanks at its ends and not starting like a comment or a section header; the value without
// blanks at its ends and without one enclosing pair of quotes), then setValue must make value()
// return the value, and every other key of every section must read as before.

#include "fuzzcheck.h"
#include "model/inifile.h"

#include <QMap>
#include <QTemporaryDir>

namespace fuzz {

namespace inifile {

using Entries = QMap<QPair<QString, QString>, QString>;

// Every readable (section, key) with its value; names case-folded as they match.
inline Entries readAll(const TIniFile& ini, QString& failure)
{
    Entries entries;
    for (const QString& section : ini.sections()) {
        const auto values = ini.values(section);
        const QStringList keys = ini.keys(section);
        if (keys.size() != values.size())
            failure = QStringLiteral("keys() and values() disagree in [%1]").arg(section);
        for (const auto& [key, value] : values) {
            if (value.size() > TIniFile::MaxValueLength)
                failure = QStringLiteral("value of %1 longer than %2").arg(key).arg(TIniFile::MaxValueLength);
            entries.insert({section.toCaseFolded(), key.toCaseFolded()}, value);
        }
    }
    return entries;
}

inline QString writable(const QByteArray& bytes)
{
    QString text = QString::fromUtf8(bytes);
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text.trimmed();
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
    static QTemporaryDir dir;
    const QList<QByteArray> parts = splitTail(input, 3);
    const QString fileName = dir.filePath(QStringLiteral("fuzz.ini"));
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(parts[0]) != parts[0].size())
        return QStringLiteral("cannot prepare %1").arg(fileName);
    file.close();

    TIniFile ini(fileName);
    QString failure;
    Entries before = readAll(ini, failure);
    if (!failure.isEmpty() || parts.size() < 4)
        return failure;

    const QString section = writable(parts[1]);
    QString key = writable(parts[2]);
    key.remove(QLatin1Char('='));
    key = key.trimmed();
    const QString value = writable(parts[3]);
    if (key.isEmpty() || key.startsWith(u';') || key.startsWith(u'#') || key.startsWith(u'[') ||
        isQuotedPair(value))
        return {};

    if (!ini.setValue(section, key, value))
        return QStringLiteral("setValue failed: %1").arg(ini.errorString());
    const QString expected = value.left(TIniFile::MaxValueLength);
    const QString readBack = ini.value(section, key, QStringLiteral("<absent>"));
    if (readBack != expected)
        return QStringLiteral("[%1] %2 set to \"%3\" reads \"%4\"").arg(section, key, expected, readBack);

    Entries after = readAll(ini, failure);
    if (!failure.isEmpty())
        return failure;
    before.remove({section.toCaseFolded(), key.toCaseFolded()});
    after.remove({section.toCaseFolded(), key.toCaseFolded()});
    if (before != after)
        return QStringLiteral("setValue of [%1] %2 changed other entries").arg(section, key);
    return {};
}

} // namespace fuzz
