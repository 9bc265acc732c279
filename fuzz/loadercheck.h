#pragma once

// The items-file loader on arbitrary file content, in memory: the bytes are read as LoadFiles reads
// the items file, and a save is the items file SaveItems would write.
//
// Input: the bytes of bticino.items. Loading must not crash, and saving must settle the project:
// - when the loaded list is one the program could have made (every alias once and of letters,
//   digits and "_"; addresses of digits, "#" and one "." at most; keys of digits; labels and groups without
//   quotes or brackets; blinds moved by a named assistant), saving and loading again gives exactly
//   the loaded list and groups, except that a one-digit CEN key comes back with a leading "0";
// - any other list settles: round after round of save and load, the items file never comes back
//   to an earlier text, and within as many rounds as the input has bytes a round writes what the
//   round before wrote.
//
// The looser rule is all that odd input allows. The scanner takes its texts from whatever it meets,
// so such a list holds characters with a meaning of their own in an item line, and a save and load
// can drop more than once: the line Rollershutter "L""{i;where=a loads an entry whose alias is a
// quote, which the save writes where the next load takes it for the start of the label, so that the
// entry is gone from the second load on. An address holding several "," loses one per round, an
// address such as "1,.21" is written as 121 and then reads as 01.21, and a blind's voice control
// moves to the first blind of the same name.

#include "bus/busaddress.h"
#include "fuzzcheck.h"
#include "model/functionentry.h"
#include "model/functionvocabulary.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"

#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

namespace fuzz {

namespace loader {

// A program folder without a catalogue (German built-in texts) and a project folder without
// project.ini (the sitemap's defaults): nothing of the project is on disk.
class Project
{
public:
    QString configDir() const { return m_dir.path() + QStringLiteral("/"); }
    QString projectDir() const { return m_dir.path() + QStringLiteral("/"); }

private:
    QTemporaryDir m_dir;
};

using Rows = QList<FunctionEntry>;

// Reads the bytes as the items file, as LoadFiles does, and gives the rows it hands to the list.
inline Rows load(OpenHabGenerator& openHab, const QByteArray& bytes)
{
    OpenHabGenerator::ItemsContent items = openHab.parseItems(bytes);
    openHab.slGroups = std::move(items.groups);
    openHab.groupLabels = std::move(items.groupLabels);
    return std::move(items.rows);
}

// A CEN scene's key goes out with two digits at least, so a one-digit key comes back with a
// leading "0"; the description shows it so from the start.
inline QString savedKey(const FunctionEntry& e)
{
    static const QRegularExpression oneDigit(QStringLiteral("^[0-9]( |$)"));
    const QString key = Vocabulary::KeyText(e);
    return e.kind == FunctionEntry::CenScene && oneDigit.match(key).hasMatch() ? QLatin1Char('0') + key : key;
}

inline QString describe(const Rows& list, const QStringList& groups, const GroupLabels& labels)
{
    QStringList shown;
    for (const QString& group : groups)
        shown << group + QStringLiteral(" = ") + GroupLabel(labels, group);
    QStringList rows{QStringLiteral("groups: ") + shown.join(QStringLiteral(" | "))};
    for (const FunctionEntry& e : list)
        rows << QStringList{QString::number(e.kind),
                            e.alias,
                            e.label,
                            Vocabulary::AddressText(e),
                            savedKey(e),
                            QString::number(int(e.voice)),
                            e.groups,
                            e.reverse ? QStringLiteral("reversing") : QString()}
                    .join(QStringLiteral(" | "));
    return rows.join(QLatin1Char('\n'));
}

inline bool isPlain(const FunctionEntry& entry)
{
    static const QRegularExpression alias(QStringLiteral("^\\w+$"));
    // The row's texts as the list shows them, with the bus and the CEN variant.
    // An address has one "." at most: the file's form has none, and the save takes out only the
    // first.
    static const QRegularExpression where(QStringLiteral("^([0-9#]*\\.?[0-9#]*( \\([1-9]\\))?)?$"));
    static const QRegularExpression key(QStringLiteral("^([0-9]+( \\(\\+\\+?\\))?)?$"));
    static const QRegularExpression text(QStringLiteral("^[^\"(){}<>\\[\\]]*$"));
    // A blind is moved by voice through a named assistant; a blind line with tags of its own only
    // says "voice on", which the save turns into Alexa.
    const bool namedAssistant =
        entry.kind != FunctionEntry::Automation || entry.voice != FunctionEntry::Voice::On;
    return alias.match(entry.alias).hasMatch() && where.match(Vocabulary::AddressText(entry)).hasMatch() &&
           key.match(Vocabulary::KeyText(entry)).hasMatch() && text.match(entry.label).hasMatch() &&
           text.match(entry.groups).hasMatch() && namedAssistant;
}

// A list as the program makes it: plain texts, and every alias once (a blind's companion line
// finds the first blind of its name only).
inline bool isPlain(const Rows& list)
{
    QSet<QString> aliases;
    for (const FunctionEntry& entry : list) {
        if (!isPlain(entry) || aliases.contains(entry.alias))
            return false;
        aliases.insert(entry.alias);
    }
    return true;
}

// The items file a save of the list writes.
inline QByteArray save(const OpenHabGenerator& openHab, const Rows& list)
{
    const GeneratedText lines = openHab.itemsFile(list);
    QByteArray items;
    for (const QString& chunk : lines.chunks())
        items += chunk.toUtf8();
    return items;
}

} // namespace loader

inline QString CheckLoader(const QByteArray& input)
{
    using namespace loader;
    static const Project project;
    static const Language german(project.configDir());

    OpenHabGenerator openHab(german, project.configDir());
    openHab.sProjPath = project.projectDir();
    openHab.sProj = QStringLiteral("Fuzz");
    const Rows loaded = load(openHab, input);
    // Only a plain list is compared as a whole; any other is held to settling.
    const bool plain = isPlain(loaded);
    const QString first = plain ? describe(loaded, openHab.slGroups, openHab.groupLabels) : QString();
    QByteArray saved = save(openHab, loaded);
    QSet<QByteArray> earlier;
    for (int round = 2;; ++round) {
        const Rows reloaded = load(openHab, saved);
        if (round == 2 && plain) {
            const QString again = describe(reloaded, openHab.slGroups, openHab.groupLabels);
            if (again != first)
                return QStringLiteral("loaded as\n%1\nsaved as\n%2\nloaded again as\n%3")
                    .arg(first, QString::fromUtf8(saved), again);
        }
        const QByteArray savedAgain = save(openHab, reloaded);
        if (savedAgain == saved)
            return {};
        earlier.insert(saved);
        if (earlier.contains(savedAgain) || round > input.size() + 2)
            return QStringLiteral("round %1 does not settle:\n%2\nthen\n%3")
                .arg(round)
                .arg(QString::fromUtf8(saved), QString::fromUtf8(savedAgain));
        saved = savedAgain;
    }
}

} // namespace fuzz
