#include "cliprojectcheck.h"

#include "model/functionlist.h"
#include "model/functionvocabulary.h"
#include "model/groupnames.h"
#include "openhab/topenhab.h"

#include <QHash>
#include <QTemporaryDir>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// Rows that share a key, keys in the order of their first row.
class TRowGroups
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

} // namespace

TProjectCheck::TProjectCheck(const TopenHab& openHab, const Tbticino& bticino,
                             const QList<FunctionEntry>& rows, QStringList fieldCaptions,
                             QStringList kindNames)
    : m_openHab(openHab), m_bticino(bticino), m_rows(rows), m_fieldCaptions(std::move(fieldCaptions)),
      m_kindNames(std::move(kindNames))
{
}

bool TProjectCheck::Run(QStringList& problems)
{
    DuplicateAddresses(problems);
    DuplicateAliases(problems);
    MissingGroups(problems);
    EmptyScenes(problems);
    return SaveAndLoad(problems);
}

QString TProjectCheck::Named(const FunctionEntry& row) const
{
    return row.alias + u' ' + quoted(row.caption);
}

// Two functions of a kind on the same address drive the same device. A CEN scene or scenario is
// one key of its address, so the key belongs to its address; individual scenes have none.
void TProjectCheck::DuplicateAddresses(QStringList& problems) const
{
    TRowGroups sameAddress;
    for (int i = 0; i < m_rows.size(); ++i) {
        const FunctionEntry& row = m_rows.at(i);
        if (row.kind == FunctionEntry::GroupScene)
            continue;
        const TItemValues v = m_openHab.ExtractItem(row);
        const bool bKeyed = v.iType == FunctionEntry::CenScene || v.iType == FunctionEntry::ScenarioModule;
        QStringList key{QString::number(v.iType), v.sAdr, QString::number(v.iBus)};
        if (bKeyed)
            key << v.sCENKey << QString::number(v.iCEN);
        sameAddress.add(key.join(u'\n'), i);
    }
    for (const QString& key : sameAddress.keys()) {
        const QList<int>& rows = sameAddress.rows(key);
        if (rows.size() < 2)
            continue;
        const FunctionEntry& first = m_rows.at(rows.first());
        QString address = first.address;
        if (!first.key.isEmpty())
            address += u" Taste "_s + first.key;
        QStringList names;
        for (int row : rows)
            names << Named(m_rows.at(row));
        problems << u"Doppelte Busadresse %1 (%2): %3"_s.arg(address, m_kindNames.value(first.kind),
                                                             names.join(u", "_s));
    }
}

// openHAB knows an item by its alias; a second item of the same name replaces the first.
void TProjectCheck::DuplicateAliases(QStringList& problems) const
{
    TRowGroups sameAlias;
    for (int i = 0; i < m_rows.size(); ++i)
        sameAlias.add(m_rows.at(i).alias, i);
    for (const QString& alias : sameAlias.keys()) {
        const QList<int>& rows = sameAlias.rows(alias);
        if (rows.size() < 2)
            continue;
        QStringList labels;
        for (int row : rows)
            labels << quoted(m_rows.at(row).caption);
        problems << u"Alias %1 mehrfach vergeben: %2"_s.arg(alias, labels.join(u", "_s));
    }
}

// An item in a group that the items file does not declare belongs to no group on the gateway.
void TProjectCheck::MissingGroups(QStringList& problems) const
{
    TRowGroups users;
    for (int i = 0; i < m_rows.size(); ++i) {
        for (const QStringView name : GeneratorGroupNames(m_rows.at(i).groups)) {
            const bool bStopScene =
                m_rows.at(i).kind == FunctionEntry::GroupScene && name == Vocabulary::StopAllBlinds;
            if (!name.isEmpty() && !bStopScene && !m_openHab.slGroups.contains(name))
                users.add(name.toString(), i);
        }
    }
    for (const QString& name : users.keys()) {
        QStringList names;
        for (int row : users.rows(name)) {
            if (names.isEmpty() || names.constLast() != Named(m_rows.at(row)))
                names << Named(m_rows.at(row));
        }
        problems << u"Gruppe %1 fehlt in der Gruppenliste, verwendet von: %2"_s.arg(quoted(name),
                                                                                    names.join(u", "_s));
    }
}

// Membership is decided exactly as the rules generator decides it, so a scene reported here is one
// whose rule switches nothing.
void TProjectCheck::EmptyScenes(QStringList& problems) const
{
    for (const FunctionEntry& scene : m_rows) {
        if (scene.kind != FunctionEntry::GroupScene)
            continue;
        const bool bStopAll = scene.groups == Vocabulary::StopAllBlinds;
        const bool bHasMember = std::any_of(m_rows.cbegin(), m_rows.cend(), [&](const FunctionEntry& row) {
            if (bStopAll)
                return row.kind == FunctionEntry::Automation;
            return row.kind != FunctionEntry::GroupScene && IsInGroup(row.groups, scene.groups);
        });
        if (bHasMember)
            continue;
        const QString reason = bStopAll ? u"keine Jalousie im Projekt"_s
                                        : u"keine Funktion in der Gruppe "_s + quoted(scene.groups);
        problems << u"Individuelle Szene %1 schaltet nichts: %2"_s.arg(Named(scene), reason);
    }
}

bool TProjectCheck::SaveAndLoad(QStringList& problems)
{
    QTemporaryDir folder;
    if (!folder.isValid()) {
        m_error = u"Kein temporärer Ordner für die Prüfung: "_s + folder.errorString();
        return false;
    }
    // A generator of its own, so that nothing of the open project changes.
    TopenHab probe(m_openHab.language(), m_bticino, m_openHab.sCfgDir());
    probe.setProjectValues(m_openHab.projectValues());
    probe.sProjPath = folder.path() + u'/';
    TFileErrors errors = probe.SaveCfg();
    errors << probe.SaveItems(m_rows);
    if (!errors.isEmpty()) {
        m_error = errors.constFirst().text();
        return false;
    }
    FunctionList loaded;
    QStringList regenerated;
    try {
        regenerated = TopenHab::ReadFile(probe.sProjPath + probe.sItemsFile, false);
        probe.LoadFiles(loaded);
    } catch (const EFileError& e) {
        m_error = e.text();
        return false;
    }

    for (const QString& group : m_openHab.slGroups) {
        if (!probe.slGroups.contains(group))
            problems << u"Gruppe %1 geht beim Speichern und Laden verloren"_s.arg(quoted(group));
    }
    CompareRows(loaded.entries(), problems);
    CompareItemsFile(regenerated, problems);
    return true;
}

// The loader gives back the saved rows in order, leaving out the ones it cannot read, so each row
// is met again at the next place that holds its alias and kind, or not at all.
void TProjectCheck::CompareRows(const QList<FunctionEntry>& loaded, QStringList& problems) const
{
    const std::pair<QString, QString FunctionEntry::*> fields[] = {
        {m_fieldCaptions.value(0), &FunctionEntry::caption},
        {m_fieldCaptions.value(1), &FunctionEntry::address},
        {m_fieldCaptions.value(2), &FunctionEntry::voice},
        {m_fieldCaptions.value(3), &FunctionEntry::groups},
        {m_fieldCaptions.value(4), &FunctionEntry::key},
    };
    qsizetype next = 0;
    for (const FunctionEntry& row : m_rows) {
        if (next >= loaded.size() || loaded.at(next).alias != row.alias || loaded.at(next).kind != row.kind) {
            problems << u"%1 geht beim Speichern und Laden verloren"_s.arg(Named(row));
            continue;
        }
        const FunctionEntry& back = loaded.at(next++);
        for (const auto& [name, field] : fields) {
            if (row.*field != back.*field)
                problems << u"%1: %2 %3 wird beim Speichern und Laden zu %4"_s.arg(
                    Named(row), name, quoted(row.*field), quoted(back.*field));
        }
    }
}

// The items file on disk is what a send delivers. A line that the program would not write again
// from what it loaded (a label cut at a double quote, a line it cannot read) reaches the gateway
// as it stands now and changes with the next save.
void TProjectCheck::CompareItemsFile(const QStringList& regenerated, QStringList& problems) const
{
    QHash<QString, int> written;
    for (const QString& line : regenerated)
        ++written[line];
    QStringList onDisk;
    try {
        onDisk = TopenHab::ReadFile(m_openHab.sProjPath + m_openHab.sItemsFile, false);
    } catch (const EFileError&) {
        // Loaded a moment ago; a file gone since is the next opening's error to report.
        return;
    }
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
        problems << u"%1, Zeile %2 ändert sich beim nächsten Speichern oder fällt weg: %3"_s.arg(
            m_openHab.sItemsFile, QString::number(i + 1), line);
    }
}
