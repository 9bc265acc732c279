#include "csvimport.h"

#include "bus/busaddress.h"
#include "functioncheck.h"
#include "model/captions.h"
#include "model/csvreader.h"
#include "model/functionvocabulary.h"
#include "model/groupnames.h"
#include "model/language.h"
#include "openhabgenerator.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <optional>

namespace CsvImport {

namespace {

enum Column
{
    LabelColumn,
    AddressColumn,
    VoiceColumn,
    GroupsColumn,
    KindColumn,
    KeyColumn,
    ReversedColumn,
    ColumnCount
};

// The export names the kind column so in every language.
const QString kindCaption = QStringLiteral("Art");

const std::array<Caption, ColumnCount> columnCaptions = {Captions::LabelColumn,
                                                         Captions::AddressColumn,
                                                         Captions::VoiceColumn,
                                                         Captions::GroupsColumn,
                                                         Caption{},
                                                         Captions::KeyColumn,
                                                         Caption{}};

// The words for kinds: the export's list group headers, the kind messages and the function
// editor's kind buttons.
const std::array<Msg, FunctionEntry::KindCount> kindMessages = {Msg::KindLights,    Msg::KindDimmers,
                                                                Msg::KindBlinds,    Msg::KindCen,
                                                                Msg::KindScenarios, Msg::KindGroupScenes};

// What a file may call columns and values, in every language of the catalogue and German as built in.
struct Words
{
    std::array<QStringList, ColumnCount> columns;
    std::array<QStringList, FunctionEntry::KindCount> kinds;
    QStringList yes;
    QStringList no;
    QStringList stopAllBlinds;

    void add(const Language& language)
    {
        for (int column = 0; column < ColumnCount; ++column) {
            if (columnCaptions[column].tag > 0)
                columns[column] << Captions::Text(language, columnCaptions[column]);
        }
        columns[ReversedColumn] << language.GetMsg(Msg::CsvReversedColumn);
        for (int kind = 0; kind < FunctionEntry::KindCount; ++kind)
            kinds[kind] << Captions::Text(language, Captions::GroupHeaders[kind])
                        << language.GetMsg(kindMessages[kind])
                        << Captions::Text(language, Captions::KindButtons[kind]);
        yes << language.GetMsg(Msg::Yes);
        no << language.GetMsg(Msg::No);
        stopAllBlinds << language.GetMsg(Msg::StopAllBlinds);
    }

    explicit Words(const Language& current)
    {
        for (int column = 0; column < ColumnCount; ++column) {
            if (columnCaptions[column].tag > 0)
                columns[column] << columnCaptions[column].german.toString();
        }
        columns[KindColumn] << kindCaption;
        for (int kind = 0; kind < FunctionEntry::KindCount; ++kind)
            kinds[kind] << Captions::GroupHeaders[kind].german.toString() << QString::number(kind);
        stopAllBlinds << Vocabulary::StopAllBlinds.toString();
        add(current);
        const QString folder = QFileInfo(current.languageFile()).path();
        for (const QString& name : current.GetLanguages()) {
            Language each(folder);
            each.LoadLanguage(name);
            add(each);
        }
    }
};

bool isOneOf(const QStringList& words, const QString& text)
{
    return std::any_of(words.cbegin(), words.cend(), [&](const QString& word) {
        return !word.isEmpty() && word.compare(text, Qt::CaseInsensitive) == 0;
    });
}

class Importer
{
public:
    explicit Importer(const OpenHabGenerator& openHab)
        : m_openHab(openHab), m_language(openHab.language()), m_words(m_language)
    {
        m_at.fill(-1);
    }

    // Finds the columns; the reason when the header cannot be taken.
    QString readHeader(const QStringList& fields)
    {
        m_fieldCount = int(fields.size());
        for (int at = 0; at < m_fieldCount; ++at) {
            const QString name = fields.at(at).trimmed();
            // An empty caption is a column the file leaves unused.
            if (name.isEmpty())
                continue;
            const auto column = std::find_if(m_words.columns.cbegin(), m_words.columns.cend(),
                                             [&](const QStringList& words) { return isOneOf(words, name); });
            const auto index = column - m_words.columns.cbegin();
            if (column == m_words.columns.cend() || m_at[index] >= 0)
                return m_language.GetMsg(Msg::CsvColumnUnknown, name);
            m_at[index] = at;
        }
        for (const Column needed : {LabelColumn, KindColumn, AddressColumn}) {
            if (m_at[needed] < 0)
                return m_language.GetMsg(Msg::CsvColumnMissing, m_words.columns[needed].constFirst());
        }
        return {};
    }

    // Fills row from the fields of one line; the reason when the line is refused.
    QString readRow(const QStringList& fields, FunctionEntry& row) const
    {
        if (fields.size() != m_fieldCount)
            return m_language.GetMsg(Msg::CsvFieldCount, QString::number(fields.size()),
                                     QString::number(m_fieldCount));
        const QString kindText = field(fields, KindColumn);
        const auto found = std::find_if(m_words.kinds.cbegin(), m_words.kinds.cend(),
                                        [&](const QStringList& words) { return isOneOf(words, kindText); });
        if (found == m_words.kinds.cend())
            return unknownValue(kindText, KindColumn);
        const int kind = int(found - m_words.kinds.cbegin());

        // The address and key as the list shows them: with the local bus and the CEN variant.
        const Vocabulary::AddressWords address = Vocabulary::ReadAddressText(field(fields, AddressColumn));
        const Vocabulary::KeyWords key = Vocabulary::ReadKeyText(field(fields, KeyColumn));
        FunctionCheck::Input input = typedInput(fields, kind, address.address, key.key);
        if (const std::optional<Problem> problem = FunctionCheck::Validate(input))
            return problem->text(m_language);

        const std::optional<FunctionEntry::Voice> voice = voiceOf(field(fields, VoiceColumn), kind);
        if (!voice)
            return unknownValue(field(fields, VoiceColumn), VoiceColumn);
        const QString reversed = field(fields, ReversedColumn);
        if (!reversed.isEmpty() && !isOneOf(m_words.yes, reversed) && !isOneOf(m_words.no, reversed))
            return unknownValue(reversed, ReversedColumn);
        QString memberships;
        if (const QString error = readGroups(field(fields, GroupsColumn), input, memberships);
            !error.isEmpty())
            return error;

        // A scene keeps its address as it came.
        const Vocabulary::AddressWords kept = kind == FunctionEntry::GroupScene
                                                  ? sceneAddress(input.address)
                                                  : Vocabulary::AddressWords{input.address, address.bus};
        row =
            FunctionEntry{
                .label = input.label,
                .address = kept.address,
                .groups = memberships,
                .key = input.key,
                .kind = kind,
                .bus = kept.bus,
                .cen = key.cen,
                .voice = *voice,
                .reverse = isOneOf(m_words.yes, reversed),
            }
                .normalized();
        return {};
    }

private:
    // A scene's address is never checked nor written to the gateway: the export's words for it are
    // taken back exactly, "A (n)" as address A on bus n, anything else as it stands.
    static Vocabulary::AddressWords sceneAddress(const QString& text)
    {
        static const QRegularExpression onBus(QStringLiteral("^(.*) \\(([1-9][0-9]{0,8})\\)$"),
                                              QRegularExpression::DotMatchesEverythingOption);
        const QRegularExpressionMatch match = onBus.match(text);
        if (!match.hasMatch())
            return {text, 0};
        return {match.captured(1), match.captured(2).toInt()};
    }

    // The function as the editor would hold it before its checks.
    FunctionCheck::Input typedInput(const QStringList& fields, int kind, const QString& stored,
                                    const QString& key) const
    {
        FunctionCheck::Input input = FunctionCheck::EditedAddress(stored, kind);
        if (kind == FunctionEntry::GroupScene) {
            // A scene's address is kept as it came, its bus included, without the blank the export
            // puts in front.
            input.address = rawField(fields, AddressColumn);
            if (input.address.startsWith(QLatin1Char(' ')))
                input.address.remove(0, 1);
        }
        input.label = rawField(fields, LabelColumn);
        input.key = key;
        input.sceneChosen = !field(fields, GroupsColumn).isEmpty();
        return input;
    }

    // The groups text the editor would store: the checked groups joined by its separator, or the
    // one group (or the stop-all token) a scene switches. The reason when a group is not the
    // project's.
    QString readGroups(const QString& groups, const FunctionCheck::Input& input, QString& memberships) const
    {
        QStringList names;
        if (input.kind == FunctionEntry::GroupScene) {
            if (isOneOf(m_words.stopAllBlinds, groups)) {
                memberships = Vocabulary::StopAllBlinds.toString();
                return {};
            }
            names << groups;
        } else {
            for (const QStringView name : GeneratorGroupNames(groups)) {
                if (!name.isEmpty())
                    names << name.toString();
            }
        }
        memberships = names.join(GroupSeparator);
        for (const QString& name : names) {
            if (!m_openHab.slGroups.contains(name))
                return missingGroup(name, input.label);
        }
        return {};
    }

    QString rawField(const QStringList& fields, Column column) const
    {
        return m_at[column] < 0 ? QString() : fields.at(m_at[column]);
    }
    QString field(const QStringList& fields, Column column) const
    {
        return rawField(fields, column).trimmed();
    }

    QString columnName(Column column) const { return m_words.columns[column].constFirst(); }

    QString unknownValue(const QString& value, Column column) const
    {
        return m_language.GetMsg(Msg::CsvValueUnknown, value, columnName(column));
    }

    QString missingGroup(const QString& group, const QString& label) const
    {
        const QChar quote = QLatin1Char('"');
        return m_language.GetMsg(Msg::CheckMissingGroup, quote + group + quote, quote + label + quote);
    }

    // The voice control the editor would store for the kind; none for a word the file cannot mean.
    std::optional<FunctionEntry::Voice> voiceOf(const QString& text, int kind) const
    {
        using Voice = FunctionEntry::Voice;
        const bool home = text.compare(Vocabulary::HomeVoice, Qt::CaseInsensitive) == 0;
        const bool on = home || text.compare(Vocabulary::AlexaVoice, Qt::CaseInsensitive) == 0 ||
                        isOneOf(m_words.yes, text);
        if (!on)
            return text.isEmpty() || isOneOf(m_words.no, text) ? std::optional<Voice>(Voice::None)
                                                               : std::nullopt;
        if (kind == FunctionEntry::Automation)
            return home ? Voice::Home : Voice::Alexa;
        return Voice::On;
    }

    const OpenHabGenerator& m_openHab;
    const Language& m_language;
    const Words m_words;
    std::array<int, ColumnCount> m_at;
    int m_fieldCount = 0;
};

} // namespace

Result Read(const QByteArray& bytes, const OpenHabGenerator& openHab)
{
    const Language& language = openHab.language();
    Result result;
    const CsvReader::Result parsed = CsvReader::read(bytes);
    if (const auto* error = std::get_if<CsvReader::Error>(&parsed)) {
        result.refused << Refusal{error->line, language.GetMsg(Msg::CsvUnreadable)};
        result.unreadable = true;
        return result;
    }
    const QList<CsvReader::Record>& records = std::get<QList<CsvReader::Record>>(parsed);
    Importer importer(openHab);
    const CsvReader::Record header = records.value(0, CsvReader::Record{1, {}});
    if (const QString error = importer.readHeader(header.fields); !error.isEmpty()) {
        result.refused << Refusal{header.line, error};
        result.unreadable = true;
        return result;
    }
    for (qsizetype at = 1; at < records.size(); ++at) {
        FunctionEntry row;
        if (const QString error = importer.readRow(records.at(at).fields, row); !error.isEmpty())
            result.refused << Refusal{records.at(at).line, error};
        else
            result.rows << row;
    }
    return result;
}

QStringList Report(const Result& result, const Language& language)
{
    QStringList lines;
    for (const Refusal& refusal : result.refused)
        lines << language.GetMsg(Msg::CsvRefusedRow, QString::number(refusal.line), refusal.reason);
    return lines;
}

} // namespace CsvImport
