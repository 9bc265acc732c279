#pragma once

#include "generatedtext.h"
#include "model/fileerror.h"
#include "model/functionentry.h"
#include "model/groupnames.h"

#include <functional>
#include <optional>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

class FunctionList;
class Language;

// The open project's values beyond the function list: what the generator writes besides the rows'
// files, and what it read back from them.
struct ProjectValues
{
    QString sProjPath; // folder of the open project, ending with "/"
    QString sProj;     // name of the open project
    QString serverIP;
    QString serverPort;
    QString serverPass;
    QString serverRescan;
    QString uuid;
    QString secret;
    bool hmac = false;
    bool reboot = false;
    bool settime = false;
    QStringList slGroups;
    GroupLabels groupLabels;
};

// What loading found in the items file that a save of the function list would not write back.
struct ItemsFileReport
{
    // The line of the first byte that is not UTF-8 text, when there is one: the file holds characters
    // the program reads only as replacement characters, so it must not be rewritten from the list.
    std::optional<qsizetype> notUtf8Line;
    // Non-empty lines that became neither a group, a function nor a function's companion, and are
    // not the file's two headings: a save leaves them out.
    qsizetype droppedLines = 0;
};

// The generator: holds the open project's values, writes every openHAB file of the project from the
// function list and reads the project back from its files.
class OpenHabGenerator : public ProjectValues
{
public:
    // configDir: the program's config folder (templates), with or without a trailing "/".
    OpenHabGenerator(const Language& language, QString configDir);

    // The project's files, by their names in the project folder.
    static inline const QString sMQTTFile = QStringLiteral("mqtt.cfg");
    static inline const QString sHomeKitFile = QStringLiteral("homekit.cfg");
    static inline const QString sCfgFile = QStringLiteral("bticino.cfg");
    static inline const QString sUUIDFile = QStringLiteral("uuid");
    static inline const QString sSecretFile = QStringLiteral("secret");
    static inline const QString sItemsFile = QStringLiteral("bticino.items");
    static inline const QString sCloudFile = QStringLiteral("openhabcloud.cfg");
    static inline const QString sRulesFile = QStringLiteral("bticino.rules");
    static inline const QString sSitemapFile = QStringLiteral("bticino.sitemap");
    // The headings above the groups and above the functions of the items file.
    static inline const QString ItemsGroupsHeading = QStringLiteral("//Gruppen");
    static inline const QString ItemsFunctionsHeading = QStringLiteral("//Schaltelemente");

    const ProjectValues& projectValues() const { return *this; }
    void setProjectValues(const ProjectValues& values) { static_cast<ProjectValues&>(*this) = values; }

    const QString& sCfgDir() const { return m_cfgDir; }
    const Language& language() const { return m_language; }

    // Reads a whole UTF-8 text file (BOM skipped) split at CR LF, LF or CR. With bKeyValue only the
    // lines with "=" at the second character or later are kept. Throws FileReadError when the file
    // cannot be opened.
    static QStringList ReadFile(const QString& filename, bool bKeyValue);
    // A whole file's bytes; throws FileReadError when it cannot be read.
    static QByteArray ReadBytes(const QString& filename);
    // ReadFile's lines, from bytes already read.
    static QStringList TextLines(const QByteArray& bytes, bool keyValueOnly);
    // Replaces the file atomically with the lines, UTF-8 without BOM, CR LF after every line.
    // On failure the old file stays as it was and the failure is returned.
    static std::optional<FileError> WriteFile(const QString& filename, const QStringList& sl);
    // The same for lines that a generator put together.
    static std::optional<FileError> WriteLines(const QString& filename, const GeneratedText& lines);
    // The value of the first line whose text before its first "=" equals key (any letter case).
    static QString KeyValue(const QStringList& lines, const QString& key);

    // The OpenWebNet address (WHERE) of a function as its binding names it: the stored form
    // without its dot, "2" in front for a CEN+ key, "#4#0<bus>" after it on a local bus.
    static QString BusWhere(int iType, const QString& sAdr, int iBus, int iCEN);
    // The whole frame that a CEN scene or scenario module sends when it is switched.
    static QString KeyFrame(int iType, const QString& sAdr, const QString& sCENKey, int iBus, int iCEN);

    // Rewrites bticino.items, openhabcloud.cfg, bticino.rules and bticino.sitemap from the rows. All
    // of them or none: when one cannot be written, every one stays as it was and the failure is
    // returned.
    FileErrors SaveItems(const QList<FunctionEntry>& rows);
    // Writes bticino.cfg, uuid and secret from the fields.
    FileErrors SaveCfg();
    // Writes homekit.cfg for the gateway address ip.
    FileErrors SaveHomekit(const QString& ip);
    // The lines of homekit.cfg for the gateway address ip.
    static QStringList HomekitLines(const QString& ip);
    // A new cloud identity: sets uuid and secret and writes both files.
    FileErrors GenerateCloudkey();
    // strlength characters drawn uniformly from 0-9 and a-z by the system's secure generator.
    static QString RandomString(int strlength);

    // Repair: opening a project to work on it adds what it lacks (a cloud identity, mqtt.cfg).
    // ReadOnly: a look at the project by a tool that does not hold its lock writes nothing; what
    // is missing simply stays empty.
    enum class LoadMode
    {
        Repair,
        ReadOnly
    };
    // Replaces the function list, the group list and the project values from the files in sProjPath.
    // Throws FileReadError when a file cannot be read; what was done before stays done. Returns the
    // files it had to add to the project (a new cloud identity, the template mqtt.cfg) but could
    // not write.
    FileErrors LoadFiles(FunctionList& lv, LoadMode mode = LoadMode::Repair);
    // What the last LoadFiles found in the items file. Whoever backs the dropped lines up before a
    // save sets droppedLines to 0: from then on the save loses nothing that is not kept.
    ItemsFileReport itemsFileReport;

    // What an items file holds, read from its bytes alone: LoadFiles reads the file through it.
    struct ItemsContent
    {
        QStringList groups;
        GroupLabels groupLabels;
        QList<FunctionEntry> rows;
        ItemsFileReport report;
    };
    ItemsContent parseItems(const QByteArray& bytes) const;
    // The files SaveItems writes for rows and the project's groups (file name, lines), without
    // writing them.
    QList<std::pair<QString, GeneratedText>> itemFiles(const QList<FunctionEntry>& rows) const;
    // The first of them alone, the items file: the lines that a load reads back.
    GeneratedText itemsFile(const QList<FunctionEntry>& rows) const { return itemsFile(rows, {}); }

private:
    QString projectFile(const QString& name) const { return sProjPath + name; }
    // A companion line of the items file: the alias of the blind it belongs to, the voice control it
    // gives that blind, and how many rows were read before it, as it only marks a blind above it.
    struct CompanionLine
    {
        QString base;
        FunctionEntry::Voice voice = FunctionEntry::Voice::None;
        qsizetype rowsBefore = 0;
    };
    // False when the line gave neither a row nor a companion line.
    bool ParseItemLine(QStringView text, QList<FunctionEntry>& rows, QList<CompanionLine>& companions,
                       int iType) const;
    // Returns how many companion lines marked no row.
    static qsizetype ApplyCompanionLines(QList<FunctionEntry>& rows, const QList<CompanionLine>& companions);

    // One function's lines in the items file, and the names it exposes to voice assistants.
    struct ItemLines
    {
        QString line;
        QString companion;   // the item that Alexa or Siri drive for a blind; empty for others
        QStringList exposed; // the function's own name and its companion's, when voice control is on
    };
    ItemLines BuildItemLine(const FunctionEntry& v) const;
    // The items file, calling visit with each row that has an item and its lines.
    using ItemVisitor = std::function<void(const FunctionEntry&, const ItemLines&)>;
    GeneratedText itemsFile(const QList<FunctionEntry>& rows, const ItemVisitor& visit) const;
    static QString BuildBinding(int iType, const QString& sAdr, const QString& sCENKey, int iBus, int iCEN);
    static QStringList BuildCloudFile(const QStringList& exposed);
    // Writes the (file name, lines) pairs into the project folder as one change: all of them or,
    // on a failure, none (a crash in between included); the failure is returned.
    FileErrors WriteProjectFiles(const QList<std::pair<QString, GeneratedText>>& files) const;

    const Language& m_language;
    QString m_cfgDir;
};
