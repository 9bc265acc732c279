#pragma once

// Helpers for the fuzz targets. Each target's check takes the raw input and returns the broken
// invariant as text, empty when every invariant held; a crash or a sanitizer report is a finding of
// its own. The tests replay the kept inputs through the same checks (replay.h).

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace fuzz {

// Splits the input at its last `count` NUL bytes: the first part is everything before them (and may
// hold NULs itself), followed by `count` parts. Fewer NULs give fewer parts.
inline QList<QByteArray> splitTail(const QByteArray& input, int count)
{
    QList<QByteArray> parts;
    qsizetype end = input.size();
    for (int i = 0; i < count; ++i) {
        const qsizetype nul = input.lastIndexOf('\0', end - 1);
        if (end == 0 || nul < 0)
            break;
        parts.prepend(input.mid(nul + 1, end - nul - 1));
        end = nul;
    }
    parts.prepend(input.left(end));
    return parts;
}

inline bool writeFile(const QString& fileName, const QByteArray& bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The libFuzzer side: a broken invariant ends the run like a crash, so that libFuzzer keeps the input.
inline int report(const QString& failure)
{
    if (failure.isEmpty())
        return 0;
    // Written whole: texts read from the input may hold NUL characters.
    const QByteArray text = "invariant broken: " + failure.toUtf8() + "\n";
    std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
    std::abort();
}

} // namespace fuzz
