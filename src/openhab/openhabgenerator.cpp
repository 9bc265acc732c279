#include "openhabgenerator.h"

#include "model/functionvocabulary.h"
#include "model/language.h"
#include "model/safefile.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace {

QStringList splitLines(QStringView text)
{
    // The next CR and the next LF (text.size() when there is none), each searched again only once
    // the lines have passed it, so that the text is searched in long strides and only once.
    const auto next = [text](char16_t c, qsizetype from) {
        const qsizetype at = text.indexOf(QChar(c), from);
        return at < 0 ? text.size() : at;
    };
    QStringList lines;
    qsizetype cr = next(u'\r', 0);
    qsizetype lf = next(u'\n', 0);
    for (qsizetype start = 0; start < text.size();) {
        if (cr < start)
            cr = next(u'\r', start);
        if (lf < start)
            lf = next(u'\n', start);
        const qsizetype end = std::min(cr, lf);
        lines << text.sliced(start, end - start).toString();
        start = end == cr && lf == cr + 1 ? end + 2 : end + 1;
    }
    return lines;
}

} // namespace

OpenHabGenerator::OpenHabGenerator(const Language& language, QString configDir)
    : m_language(language), m_cfgDir(std::move(configDir))
{
    if (!m_cfgDir.isEmpty() && !m_cfgDir.endsWith(QLatin1Char('/')))
        m_cfgDir += QLatin1Char('/');
}

QStringList OpenHabGenerator::ReadFile(const QString& filename, bool bKeyValue)
{
    return TextLines(ReadBytes(filename), bKeyValue);
}

QByteArray OpenHabGenerator::ReadBytes(const QString& filename)
{
    QFile file(filename);
    if (!file.open(QIODevice::ReadOnly))
        throw FileReadError(QDir::toNativeSeparators(filename), file.errorString());
    return file.readAll();
}

QStringList OpenHabGenerator::TextLines(const QByteArray& bytes, bool keyValueOnly)
{
    const QString text = QString::fromUtf8(bytes);
    QStringView withoutBom = text;
    if (withoutBom.startsWith(QChar(0xFEFF)))
        withoutBom = withoutBom.sliced(1);
    QStringList lines = splitLines(withoutBom);
    if (keyValueOnly)
        lines.removeIf([](const QString& line) { return line.indexOf(QLatin1Char('=')) < 1; });
    return lines;
}

std::optional<FileError> OpenHabGenerator::WriteFile(const QString& filename, const QStringList& sl)
{
    return WriteLines(filename, GeneratedText(sl));
}

std::optional<FileError> OpenHabGenerator::WriteLines(const QString& filename, const GeneratedText& lines)
{
    SafeFile file(filename);
    bool bWritten = file.open();
    // Piece by piece: the pieces end at line ends, so no character is cut in two.
    for (qsizetype i = 0; bWritten && i < lines.chunks().size(); ++i)
        bWritten = file.write(lines.chunks().at(i).toUtf8());
    if (!bWritten || !file.commit())
        return FileError{QDir::toNativeSeparators(filename), file.errorString()};
    return std::nullopt;
}

QString OpenHabGenerator::KeyValue(const QStringList& lines, const QString& key)
{
    for (const QString& line : lines) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq >= 0 && line.left(eq).compare(key, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1);
    }
    return {};
}
