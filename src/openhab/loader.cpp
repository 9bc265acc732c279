#include "openhabgenerator.h"

#include "bus/busaddress.h"
#include "groupline.h"
#include "model/functionlist.h"
#include "model/functionvocabulary.h"
#include "model/language.h"
#include "nametable.h"

#include "model/safefile.h"
#include "model/textencoding.h"

#include <QDir>
#include <QFile>
#include <QStringMatcher>

#include <array>
#include <string_view>

using namespace Qt::StringLiterals;

namespace {

// A text the scanner collects. Nearly always it is one run of the line and stays a view of it;
// only a text that comes together from several runs is copied.
class ScannedText
{
public:
    void append(QStringView run)
    {
        if (m_first.isEmpty()) {
            m_first = run;
            return;
        }
        if (m_joined.isEmpty())
            m_joined = m_first.toString();
        m_joined += run;
    }
    bool isEmpty() const { return m_first.isEmpty(); }
    QStringView view() const { return m_joined.isEmpty() ? m_first : QStringView(m_joined); }
    QString toString() const { return m_joined.isEmpty() ? m_first.toString() : m_joined; }

private:
    QStringView m_first; // never empty once anything was appended
    QString m_joined;
};

// The texts the scanner collects from the rest of one item line; views of the line.
struct ScannedLine
{
    ScannedText name;
    ScannedText label;
    ScannedText groups;
    ScannedText binding;
    ScannedText icon;
    ScannedText tags;
};

enum Section
{
    GroupsSection,
    BindingSection,
    IconSection,
    TagsSection,
    SectionCount
};

// The characters that can switch the scanner: the blank that ends the name, the quote of the
// label and the section brackets. A table, because the scanner asks for every character.
constexpr auto scannerMarks = [] {
    std::array<bool, 128> marks{};
    for (const char16_t c : std::u16string_view(u" \"(){}<>[]"))
        marks[c] = true;
    return marks;
}();

bool isScannerMark(QChar c)
{
    return c.unicode() < scannerMarks.size() && scannerMarks[c.unicode()];
}

// Where c stands in "(){}<>[]", the opening and closing characters of the groups, binding, icon
// and tags sections, pairwise; -1 for any other character.
int sectionBracket(QChar c)
{
    switch (c.unicode()) {
    case u'(':
        return 0;
    case u')':
        return 1;
    case u'{':
        return 2;
    case u'}':
        return 3;
    case u'<':
        return 4;
    case u'>':
        return 5;
    case u'[':
        return 6;
    case u']':
        return 7;
    default:
        return -1;
    }
}

// One pass over the line, so that no content (a huge line, unbalanced brackets, binary garbage) can
// make loading slow. The quoted label keeps every character up to its closing quote: a label such
// as "Küche (EG)" must survive a save and a load.
// Only a blank, a quote or a bracket can change where characters go, so the characters between two
// of them that switch something are appended to their text in one piece.
ScannedLine scanItemLine(QStringView text)
{
    ScannedLine line;
    bool inName = true;
    bool inQuote = false;
    bool inSection[SectionCount] = {};
    const auto target = [&]() -> ScannedText* {
        return inQuote                     ? &line.label
               : inSection[GroupsSection]  ? &line.groups
               : inSection[BindingSection] ? &line.binding
               : inName                    ? &line.name
               : inSection[IconSection]    ? &line.icon
               : inSection[TagsSection]    ? &line.tags
                                           : nullptr;
    };
    // The first character is the blank after the type word.
    qsizetype runStart = 1;
    ScannedText* runTarget = target();
    const auto endRun = [&](qsizetype end) {
        if (runTarget && end > runStart)
            runTarget->append(text.sliced(runStart, end - runStart));
    };
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!isScannerMark(c))
            continue;
        const int bracket = sectionBracket(c);
        if (c == u' ' && inName)
            inName = false;
        // The label is complete here: its characters only come while the quote is on.
        else if (c == u'"' && (inQuote || line.label.isEmpty()))
            inQuote = !inQuote;
        else if (bracket >= 0 && !inQuote)
            inSection[bracket / 2] = bracket % 2 == 0;
        else
            continue; // a blank, quote or bracket that is text: it stays in the run
        // The character switched something and is itself dropped.
        endRun(i);
        runStart = i + 1;
        runTarget = target();
    }
    endRun(text.size());
    return line;
}

// The values of a function that its binding carries.
struct BusValues
{
    int kind = 0;
    QString address;
    QString key;
    int bus = 0;
    int cen = 0;
};

// The frame an MQTT binding sends on ON, without its closing "##"; empty when there is none.
QString onFrame(QStringView binding)
{
    static const QString on = u":command:ON:"_s;
    const qsizetype at = binding.indexOf(on);
    if (at < 0)
        return {};
    const qsizetype begin = at + on.size();
    const qsizetype end = binding.indexOf(u"##", begin);
    return end < 0 ? QString() : binding.sliced(begin, end - begin).toString();
}

// Frame heads of the scene items, most specific first: the kind and CEN variant each one means
// and how much of it comes before the key. An unknown CEN+ frame keeps its head.
struct FrameHead
{
    QString head;
    int kind;
    int cen;
    qsizetype drop;
};
const FrameHead frameHeads[] = {
    {u"*0*"_s, FunctionEntry::ScenarioModule, 0, 3}, {u"*15*"_s, FunctionEntry::CenScene, 0, 4},
    {u"*25*21#"_s, FunctionEntry::CenScene, 1, 7},   {u"*25*23#"_s, FunctionEntry::CenScene, 2, 7},
    {u"*25*"_s, FunctionEntry::CenScene, 0, 0},
};

// Scene items are written as Switch lines only; an MQTT binding on any other type word carries
// nothing the program wrote.
void decodeMqtt(QStringView binding, BusValues& v)
{
    QString frame = onFrame(binding);
    const FrameHead* match = nullptr;
    if (v.kind == FunctionEntry::Switch) {
        for (const FrameHead& head : frameHeads) {
            if (frame.startsWith(head.head)) {
                match = &head;
                break;
            }
        }
    }
    if (!match)
        return;
    v.kind = match->kind;
    v.cen = match->cen;
    frame.remove(0, match->drop);
    // A frame without a "*" after the key names no address, and the line is dropped.
    const qsizetype star = frame.indexOf(u'*');
    if (star < 0)
        return;
    v.key = frame.left(star);
    QString where = frame.mid(star + 1);
    v.bus = BusAddress::takeBus(where);
    // A CEN+ address carries a leading "2".
    if (v.cen == 1 || v.cen == 2)
        where.remove(0, 1);
    v.address = BusAddress::storedForm(where, v.kind).text;
}

void decodeBticino(QStringView binding, QStringView icon, BusValues& v)
{
    // Searched for in every line; the matcher prepares its search once.
    static const QStringMatcher whereKey(u";where=");
    const qsizetype at = whereKey.indexIn(binding);
    if (at >= 1) {
        QString where = binding.sliced(at + whereKey.pattern().size()).toString();
        v.bus = BusAddress::takeBus(where);
        const qsizetype quote = where.indexOf(u'"');
        if (quote >= 0)
            where.truncate(quote);
        v.address = BusAddress::storedForm(where, v.kind).text;
    }
    if (v.kind == FunctionEntry::Switch && v.address.isEmpty() && icon == u"groundfloor")
        v.kind = FunctionEntry::GroupScene;
}

bool isCompanionName(const QString& name)
{
    return name.contains(Vocabulary::AlexaSuffix) || name.contains(Vocabulary::HomeSuffix);
}

void removeFirst(QString& text, QStringView part)
{
    const qsizetype at = text.indexOf(part);
    if (at >= 0)
        text.remove(at, part.size());
}

} // namespace

FileErrors OpenHabGenerator::LoadFiles(FunctionList& lv, LoadMode mode)
{
    itemsFileReport = {};
    const QStringList cfg = ReadFile(projectFile(sCfgFile), true);
    serverIP = KeyValue(cfg, u"webserver.host"_s);
    serverPort = KeyValue(cfg, u"webserver.port"_s);
    serverPass = KeyValue(cfg, u"webserver.passwd"_s);
    serverRescan = KeyValue(cfg, u"webserver.rescan_secs"_s);
    reboot = KeyValue(cfg, u"#reboot"_s) == u"true";
    hmac = KeyValue(cfg, u"#hmac"_s) == u"true";
    settime = KeyValue(cfg, u"#settime"_s) == u"true";

    uuid = ReadFile(projectFile(sUUIDFile), false).value(0);
    secret = ReadFile(projectFile(sSecretFile), false).value(0);
    // A new project comes with empty identity files. Should they not be writable, the next
    // opening makes another identity; the caller tells the user, since until then the gateway
    // would be sent the empty one.
    FileErrors errors;
    const bool repair = mode == LoadMode::Repair;
    if (repair && uuid.isEmpty() && secret.isEmpty())
        errors << GenerateCloudkey();

    lv.clear();
    slGroups.clear();
    groupLabels.clear();
    // The rows are handed to the list at once: a list shown in a view would otherwise announce
    // every single row.
    ItemsContent items = parseItems(ReadBytes(projectFile(sItemsFile)));
    slGroups = std::move(items.groups);
    groupLabels = std::move(items.groupLabels);
    lv.setGroupLabels(groupLabels);
    itemsFileReport = items.report;
    lv.setEntries(items.rows);

    // mqtt.cfg is installation data that the program never writes; a project that lost it gets
    // the template again, but one that has it keeps its own.
    const QString mqtt = projectFile(sMQTTFile);
    QFile mqttTemplate(sCfgDir() + sMQTTFile);
    if (repair && !QFile::exists(mqtt) && mqttTemplate.open(QIODevice::ReadOnly)) {
        if (const std::optional<QString> failure = WriteWholeFile(mqtt, mqttTemplate.readAll()))
            errors << FileError{QDir::toNativeSeparators(mqtt), *failure};
    }
    return errors;
}

OpenHabGenerator::ItemsContent OpenHabGenerator::parseItems(const QByteArray& bytes) const
{
    static const struct
    {
        QString word;
        int kind;
    } typeWords[] = {
        {u"Switch "_s, FunctionEntry::Switch},
        {u"Rollershutter "_s, FunctionEntry::Automation},
        {u"Dimmer "_s, FunctionEntry::Dimmer},
    };
    static const QString groupWord = u"Group "_s;
    ItemsContent items;
    // Judged on the bytes: once decoded, a replacement character that the file holds and one that
    // stands for a foreign byte look the same.
    items.report.notUtf8Line = TextEncoding::firstNonUtf8Line(bytes);
    const QStringList lines = TextLines(bytes, false);
    items.rows.reserve(lines.size());
    QList<CompanionLine> companions;
    for (const QString& line : lines) {
        if (line.startsWith(groupWord)) {
            GroupNaming group = ReadGroupItemLine(QStringView(line).sliced(groupWord.size()));
            if (!group.label.isEmpty())
                items.groupLabels.insert(group.name, group.label);
            items.groups << std::move(group.name);
            continue;
        }
        // A save writes the headings and the blank line between them again.
        bool taken = QStringView(line).trimmed().isEmpty() || line == ItemsGroupsHeading ||
                     line == ItemsFunctionsHeading;
        for (const auto& type : typeWords) {
            if (line.startsWith(type.word)) {
                // The text keeps the blank after the type word.
                taken = ParseItemLine(QStringView(line).sliced(type.word.size() - 1), items.rows, companions,
                                      type.kind);
                break;
            }
        }
        if (!taken)
            ++items.report.droppedLines;
    }
    items.report.droppedLines += ApplyCompanionLines(items.rows, companions);
    return items;
}

bool OpenHabGenerator::ParseItemLine(QStringView text, QList<FunctionEntry>& rows,
                                     QList<CompanionLine>& companions, int iType) const
{
    const ScannedLine line = scanItemLine(text);
    BusValues v;
    v.kind = iType;
    if (line.binding.view().startsWith(u"mqtt="))
        decodeMqtt(line.binding.view(), v);
    else
        decodeBticino(line.binding.view(), line.icon.view(), v);

    const QString name = line.name.toString();
    const QString label = line.label.toString();
    if ((!v.address.isEmpty() || v.kind == FunctionEntry::GroupScene) &&
        !FunctionEntry::storedLabel(label).isEmpty() && !name.isEmpty() && !isCompanionName(name)) {
        const FunctionEntry entry{
            .label = label,
            .address = v.address,
            .groups = line.groups.toString(),
            .alias = name,
            .key = v.key,
            .kind = v.kind,
            .bus = v.bus,
            .cen = v.cen,
            .voice = line.tags.isEmpty() ? FunctionEntry::Voice::None : FunctionEntry::Voice::On,
            .reverse = name.startsWith(Vocabulary::ReversingScenePrefix),
        };
        rows.append(entry.normalized());
        return true;
    }
    if (line.tags.isEmpty() || !isCompanionName(name))
        return false;
    // The companion item of a voice-controlled blind says through which assistant it is moved.
    QString base = name;
    removeFirst(base, Vocabulary::AlexaSuffix);
    removeFirst(base, Vocabulary::HomeSuffix);
    const auto voice =
        name.contains(Vocabulary::AlexaSuffix) ? FunctionEntry::Voice::Alexa : FunctionEntry::Voice::Home;
    companions.append({base, voice, rows.size()});
    return true;
}

qsizetype OpenHabGenerator::ApplyCompanionLines(QList<FunctionEntry>& rows,
                                                const QList<CompanionLine>& companions)
{
    if (companions.isEmpty())
        return 0;
    // Each companion marks the first row of its blind's alias. Only the aliases that companions
    // name are looked for, in one pass over the rows; a row found stays the first one whatever
    // is read after it, so marking after the whole file was read changes nothing.
    NameTable<qsizetype> firstRow;
    for (const CompanionLine& companion : companions)
        firstRow.try_emplace(companion.base, -1);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const auto row = firstRow.find(rows.at(i).alias);
        if (row != firstRow.end() && row->second < 0)
            row->second = i;
    }
    qsizetype unmatched = 0;
    for (const CompanionLine& companion : companions) {
        const qsizetype row = firstRow.at(companion.base);
        // Only a blind gets a companion from a save; on any other row it would say what the row's
        // own line cannot, and the next save would write it otherwise.
        if (row >= 0 && row < companion.rowsBefore && rows.at(row).kind == FunctionEntry::Automation)
            rows[row].voice = companion.voice;
        else
            ++unmatched;
    }
    return unmatched;
}
