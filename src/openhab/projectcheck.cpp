#include "projectcheck.h"

#include "bushints.h"

#include "model/captions.h"
#include "model/functionlist.h"
#include "model/functionvocabulary.h"
#include "model/groupnames.h"
#include "model/language.h"
#include "openhab5export.h"
#include "openhabgenerator.h"
#include "openhabgrammar.h"

#include <QHash>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// Rows that share a key, keys in the order of their first row.
class RowGroups
{
public:
    void add(const QString& key, int row)
    {
        auto found = m_rowsOfKey.find(key);
        if (found == m_rowsOfKey.end()) {
            m_keys << key;
            found = m_rowsOfKey.insert(key, {});
        }
        found->append(row);
    }
    const QStringList& keys() const { return m_keys; }
    const QList<int>& rows(const QString& key) const { return *m_rowsOfKey.constFind(key); }

private:
    QStringList m_keys;
    QHash<QString, QList<int>> m_rowsOfKey;
};

QString quoted(const QString& text)
{
    return u'"' + text + u'"';
}

// A number as the bus reads it: leading zeros mean nothing. Text that is no number stays as it is.
QString busNumber(QStringView text)
{
    bool number = false;
    const uint value = text.toUInt(&number);
    return number ? QString::number(value) : text.toString();
}

// What the bus sees of a stored address: a point-to-point address is its room and light point, a
// group its number, whatever zeros they were written with ("1.1" and "01.01", "#12" and "#012").
// An area or the general address is compared as written: the loader reads "05" as a point-to-point
// address, "0005" as another, and "5" as an area, so zeros there change the meaning.
QString busAddress(const QString& sAdr)
{
    const qsizetype dot = sAdr.indexOf(u'.');
    if (dot >= 0)
        return busNumber(QStringView(sAdr).left(dot)) + u'.' + busNumber(QStringView(sAdr).sliced(dot + 1));
    if (sAdr.startsWith(u'#'))
        return u'#' + busNumber(QStringView(sAdr).sliced(1));
    return sAdr;
}

} // namespace

ProjectCheck::ProjectCheck(const OpenHabGenerator& openHab, const QList<FunctionEntry>& rows)
    : m_openHab(openHab), m_language(openHab.language()), m_rows(rows),
      m_fieldCaptions(Captions::ColumnTexts(m_language) << Captions::Text(m_language, Captions::KeyColumn)),
      m_kindNames(Captions::GroupHeaderTexts(m_language))
{
}

bool ProjectCheck::Run(QStringList& problems)
{
    DuplicateAddresses(problems);
    DuplicateAliases(problems);
    MissingGroups(problems);
    EmptyScenes(problems);
    RejectedByOpenHab(problems);
    return SaveAndLoad(problems);
}

QStringList ProjectCheck::warnings() const
{
    return BusHints(m_openHab, m_rows).forProject();
}

QStringList ProjectCheck::openHab5LeftOut() const
{
    return OpenHab5Export(m_openHab, m_rows).leftOut();
}

QString ProjectCheck::Named(const FunctionEntry& row) const
{
    return row.alias + u' ' + quoted(row.label);
}

QString ProjectCheck::GroupNamed(const QString& name) const
{
    return m_language.GetMsg(Msg::Group) + u' ' + quoted(GroupLabel(m_openHab.groupLabels, name));
}

// Two functions of a kind on the same address drive the same device. A CEN scene or scenario is
// one key of its address, so the key belongs to its address; individual scenes have none.
void ProjectCheck::DuplicateAddresses(QStringList& problems) const
{
    RowGroups sameAddress;
    for (int i = 0; i < m_rows.size(); ++i) {
        const FunctionEntry& row = m_rows.at(i);
        if (row.kind == FunctionEntry::GroupScene)
            continue;
        const bool keyed = row.kind == FunctionEntry::CenScene || row.kind == FunctionEntry::ScenarioModule;
        QStringList key{QString::number(row.kind), busAddress(row.address), QString::number(row.bus)};
        if (keyed)
            key << busNumber(row.key) << QString::number(row.cen);
        sameAddress.add(key.join(u'\n'), i);
    }
    for (const QString& key : sameAddress.keys()) {
        const QList<int>& rows = sameAddress.rows(key);
        if (rows.size() < 2)
            continue;
        const FunctionEntry& first = m_rows.at(rows.first());
        QString address = Vocabulary::AddressText(first);
        if (!first.key.isEmpty())
            address += u' ' + m_fieldCaptions.value(4) + u' ' + Vocabulary::KeyText(first);
        QStringList names;
        for (int row : rows)
            names << Named(m_rows.at(row));
        problems << m_language.GetMsg(Msg::CheckDuplicateAddress,
                                      address + u" ("_s + m_kindNames.value(first.kind) + u')',
                                      names.join(u", "_s));
    }
}

// openHAB knows an item by its alias; a second item of the same name replaces the first.
void ProjectCheck::DuplicateAliases(QStringList& problems) const
{
    RowGroups sameAlias;
    for (int i = 0; i < m_rows.size(); ++i)
        sameAlias.add(m_rows.at(i).alias, i);
    for (const QString& alias : sameAlias.keys()) {
        const QList<int>& rows = sameAlias.rows(alias);
        if (rows.size() < 2)
            continue;
        QStringList labels;
        for (int row : rows)
            labels << quoted(m_rows.at(row).label);
        problems << m_language.GetMsg(Msg::CheckDuplicateAlias, alias, labels.join(u", "_s));
    }
}

// An item in a group that the items file does not declare belongs to no group on the gateway.
void ProjectCheck::MissingGroups(QStringList& problems) const
{
    // The group list can be long; only the names the rows use are collected and looked up in it.
    QSet<QStringView> used;
    for (const FunctionEntry& row : m_rows) {
        for (const QStringView name : GeneratorGroupNames(row.groups))
            used.insert(name);
    }
    QSet<QStringView> declared;
    for (const QString& name : m_openHab.slGroups) {
        if (used.contains(name))
            declared.insert(name);
    }
    RowGroups users;
    for (int i = 0; i < m_rows.size(); ++i) {
        for (const QStringView name : GeneratorGroupNames(m_rows.at(i).groups)) {
            const bool bStopScene =
                m_rows.at(i).kind == FunctionEntry::GroupScene && name == Vocabulary::StopAllBlinds;
            if (!name.isEmpty() && !bStopScene && !declared.contains(name))
                users.add(name.toString(), i);
        }
    }
    for (const QString& name : users.keys()) {
        QStringList names;
        for (int row : users.rows(name)) {
            if (names.isEmpty() || names.constLast() != Named(m_rows.at(row)))
                names << Named(m_rows.at(row));
        }
        problems << m_language.GetMsg(Msg::CheckMissingGroup, quoted(name), names.join(u", "_s));
    }
}

// Membership is decided exactly as the rules generator decides it (IsInGroup: whole names, letter
// case counting), so a scene reported here is one whose rule switches nothing. The groups that have
// members are collected once, so the check does not walk the list for every scene.
void ProjectCheck::EmptyScenes(QStringList& problems) const
{
    QSet<QStringView> groupsWithMembers;
    bool bHasBlind = false;
    for (const FunctionEntry& row : m_rows) {
        if (row.kind == FunctionEntry::GroupScene)
            continue;
        bHasBlind = bHasBlind || row.kind == FunctionEntry::Automation;
        for (const QStringView name : GeneratorGroupNames(row.groups)) {
            if (!name.isEmpty())
                groupsWithMembers.insert(name);
        }
    }
    for (const FunctionEntry& scene : m_rows) {
        if (scene.kind != FunctionEntry::GroupScene)
            continue;
        const bool bStopAll = scene.groups == Vocabulary::StopAllBlinds;
        if (bStopAll ? bHasBlind : groupsWithMembers.contains(scene.groups))
            continue;
        const QString none =
            bStopAll ? m_kindNames.value(FunctionEntry::Automation) : GroupNamed(scene.groups);
        problems << m_language.GetMsg(Msg::CheckEmptyScene, Named(scene), none);
    }
}

// A hand-edited or received items file can hold what the program's own editors refuse; openHAB
// then rejects the file, the sitemap or the rules on the gateway.
void ProjectCheck::RejectedByOpenHab(QStringList& problems) const
{
    const auto reject = [&](const QString& what, const QString& piece) {
        problems << m_language.GetMsg(Msg::CheckRejectedByOpenHab, what, quoted(piece));
    };
    for (const QString& name : m_openHab.slGroups) {
        if (!IsValidGroupName(name))
            reject(GroupNamed(name), name);
    }
    for (const FunctionEntry& row : m_rows) {
        if (IsSitemapOrRulesKeyword(row.alias))
            reject(Named(row), row.alias);
        const QString piece = RejectedLabelPiece(row.label);
        if (!piece.isEmpty())
            reject(Named(row), piece);
    }
    // The project name is the sitemap's label.
    for (const QChar c : {u'"', u'\\'}) {
        if (m_openHab.sProj.contains(c)) {
            reject(Captions::Text(m_language, Captions::ProjectName) + u' ' + quoted(m_openHab.sProj), c);
            break;
        }
    }
}

bool ProjectCheck::SaveAndLoad(QStringList& problems)
{
    QTemporaryDir folder;
    if (!folder.isValid()) {
        m_error = folder.errorString();
        return false;
    }
    // A generator of its own, so that nothing of the open project changes.
    OpenHabGenerator probe(m_language, m_openHab.sCfgDir());
    probe.setProjectValues(m_openHab.projectValues());
    probe.sProjPath = folder.path() + u'/';
    FileErrors errors = probe.SaveCfg();
    errors << probe.SaveItems(m_rows);
    if (!errors.isEmpty()) {
        m_error = errors.constFirst().text(m_language);
        return false;
    }
    FunctionList loaded;
    QStringList regenerated;
    try {
        regenerated = OpenHabGenerator::ReadFile(probe.sProjPath + probe.sItemsFile, false);
        probe.LoadFiles(loaded);
    } catch (const FileReadError& e) {
        m_error = e.text(m_language);
        return false;
    }

    // Usually the very same list comes back, and comparing it costs less than hashing it.
    if (probe.slGroups != m_openHab.slGroups || probe.groupLabels != m_openHab.groupLabels) {
        const QSet<QString> loadedGroups(probe.slGroups.cbegin(), probe.slGroups.cend());
        for (const QString& group : m_openHab.slGroups) {
            if (!loadedGroups.contains(group) ||
                probe.groupLabels.value(group) != m_openHab.groupLabels.value(group))
                problems << m_language.GetMsg(Msg::CheckLostOnSave, GroupNamed(group));
        }
    }
    CompareRows(loaded.entries(), problems);
    CompareItemsFile(regenerated, problems);
    return true;
}

// The loader gives back the saved rows in order, leaving out the ones it cannot read, so each row
// is met again at the next place that holds its alias and kind, or not at all.
void ProjectCheck::CompareRows(const QList<FunctionEntry>& loaded, QStringList& problems) const
{
    // Each field as the function list shows it.
    using Text = QString (*)(const FunctionEntry&, const QString& yes);
    const std::pair<QString, Text> fields[] = {
        {m_fieldCaptions.value(0), [](const FunctionEntry& e, const QString&) { return e.label; }},
        {m_fieldCaptions.value(1),
         [](const FunctionEntry& e, const QString&) { return Vocabulary::AddressText(e); }},
        {m_fieldCaptions.value(2),
         [](const FunctionEntry& e, const QString& yes) { return Vocabulary::VoiceText(e.voice, yes); }},
        {m_fieldCaptions.value(3), [](const FunctionEntry& e, const QString&) { return e.groups; }},
        {m_fieldCaptions.value(4),
         [](const FunctionEntry& e, const QString&) { return Vocabulary::KeyText(e); }},
    };
    const QString yes = m_language.GetMsg(Msg::Yes);
    qsizetype next = 0;
    for (const FunctionEntry& row : m_rows) {
        if (next >= loaded.size() || loaded.at(next).alias != row.alias || loaded.at(next).kind != row.kind) {
            problems << m_language.GetMsg(Msg::CheckLostOnSave, Named(row));
            continue;
        }
        const FunctionEntry& back = loaded.at(next++);
        for (const auto& [name, text] : fields) {
            if (text(row, yes) != text(back, yes))
                problems << m_language.GetMsg(Msg::CheckChangedOnSave,
                                              Named(row) + u": "_s + name + u' ' + quoted(text(row, yes)),
                                              quoted(text(back, yes)));
        }
    }
}

// The items file on disk is what a send delivers. A line that the program would not write again
// from what it loaded (a label cut at a double quote, a line it cannot read) reaches the gateway
// as it stands now and changes with the next save.
void ProjectCheck::CompareItemsFile(const QStringList& regenerated, QStringList& problems) const
{
    QStringList onDisk;
    try {
        onDisk = OpenHabGenerator::ReadFile(m_openHab.sProjPath + m_openHab.sItemsFile, false);
    } catch (const FileReadError&) {
        // Loaded a moment ago; a file gone since is the next opening's error to report.
        return;
    }
    // A file the program wrote itself comes back line for line.
    if (onDisk == regenerated)
        return;
    QHash<QString, int> written;
    written.reserve(regenerated.size());
    for (const QString& line : regenerated)
        ++written[line];
    for (int i = 0; i < onDisk.size(); ++i) {
        const QString& line = onDisk.at(i);
        // Blank lines and comments mean nothing to openHAB.
        if (line.trimmed().isEmpty() || line.startsWith(u"//"))
            continue;
        int& count = written[line];
        if (count > 0) {
            --count;
            continue;
        }
        problems << m_language.GetMsg(Msg::CheckChangedNextSave,
                                      m_openHab.sItemsFile + u':' + QString::number(i + 1), line);
    }
}
