#include "projectbackups.h"

#include "model/fileerror.h"
#include "model/filetransaction.h"
#include "model/language.h"
#include "model/safefile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <tuple>
#include <utility>

namespace {

constexpr qint64 CopyPiece = 1024 * 1024;

const std::array<std::pair<BackupKind, const char*>, 4> KindWords = {{
    {BackupKind::BeforeReceive, "before-receive"},
    {BackupKind::GatewayBeforeSend, "gateway-before-send"},
    {BackupKind::BeforeRestore, "before-restore"},
    {BackupKind::BeforeSave, "before-save"},
}};

// Where a backup is put together before it is renamed into place; hidden, so it is never listed.
const QString StagingPrefix = QStringLiteral(".staging-");

const QRegularExpression& namePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^(?:(\\d{1,9})-)?(\\d{8}-\\d{6})-(before-receive|gateway-before-send|before-restore|"
                       "before-save)(?:-(\\d+))?$"));
    return pattern;
}

// The order of the backups: the sequence; among names without one, the second, then the number of
// the backup within it.
std::tuple<int, QString, int> age(const Backup& backup)
{
    const QRegularExpressionMatch match = namePattern().match(backup.name);
    return {backup.sequence, match.captured(2), match.captured(4).isEmpty() ? 1 : match.captured(4).toInt()};
}

} // namespace

QString ProjectBackups::writeError(const QString& fileName, const QString& reason) const
{
    return FileError{QDir::toNativeSeparators(fileName), reason}.text(m_language);
}

std::optional<QString> ProjectBackups::copyInto(const QString& source, SafeFile& target) const
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return FileReadError(QDir::toNativeSeparators(source), in.errorString()).text(m_language);
    QByteArray piece;
    while (!in.atEnd()) {
        piece = in.read(CopyPiece);
        if (in.error() != QFileDevice::NoError)
            return FileReadError(QDir::toNativeSeparators(source), in.errorString()).text(m_language);
        if (!target.write(piece))
            return writeError(target.fileName(), target.errorString());
    }
    return std::nullopt;
}

ProjectBackups::ProjectBackups(QString projPath, const Language& language, std::function<QDateTime()> now)
    : m_projPath(std::move(projPath)), m_language(language), m_now(std::move(now))
{
    if (!m_now)
        m_now = [] { return QDateTime::currentDateTime(); };
}

QString ProjectBackups::KindWord(BackupKind kind)
{
    for (const auto& [each, word] : KindWords) {
        if (each == kind)
            return QString::fromLatin1(word);
    }
    return {};
}

QString ProjectBackups::Describe(const Backup& backup, const Language& language)
{
    QString text;
    switch (backup.kind) {
    case BackupKind::BeforeReceive:
        text = language.GetMsg(Msg::BackupBeforeReceive);
        break;
    case BackupKind::GatewayBeforeSend:
        text = language.GetMsg(Msg::BackupBeforeSend);
        break;
    case BackupKind::BeforeRestore:
        text = language.GetMsg(Msg::BackupBeforeRestore);
        break;
    case BackupKind::BeforeSave:
        text = language.GetMsg(Msg::BackupBeforeSave);
        break;
    }
    return Language::Fill(text, QString::number(backup.files.size()));
}

QList<Backup> ProjectBackups::List() const
{
    QList<Backup> backups;
    const QDir dir(folder());
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QRegularExpressionMatch match = namePattern().match(name);
        if (!match.hasMatch())
            continue;
        const auto kind = std::find_if(KindWords.cbegin(), KindWords.cend(), [&](const auto& entry) {
            return match.captured(3) == QLatin1String(entry.second);
        });
        backups << Backup{
            name, kind->first, QDateTime::fromString(match.captured(2), QStringLiteral("yyyyMMdd-HHmmss")),
            QDir(dir.filePath(name)).entryList(QDir::Files, QDir::Name), match.captured(1).toInt()};
    }
    std::sort(backups.begin(), backups.end(),
              [](const Backup& a, const Backup& b) { return age(a) > age(b); });
    return backups;
}

// The sequence follows the highest one there, of whatever kind; the local time is only for people
// to read.
QString ProjectBackups::newName(BackupKind kind) const
{
    int sequence = 0;
    for (const Backup& backup : List())
        sequence = std::max(sequence, backup.sequence);
    return QStringLiteral("%1-%2-%3")
        .arg(sequence + 1, 6, 10, QLatin1Char('0'))
        .arg(m_now().toString(QStringLiteral("yyyyMMdd-HHmmss")), KindWord(kind));
}

std::optional<QString> ProjectBackups::Make(BackupKind kind,
                                            const std::function<std::optional<QString>(const QString&)>& fill)
{
    const QString root = folder();
    const bool newRoot = !QFileInfo::exists(root);
    const QString staging =
        root + StagingPrefix + QString::number(QRandomGenerator::global()->generate(), 36);
    std::optional<QString> failure;
    if (!QDir().mkpath(staging)) {
        failure = writeError(root, m_language.GetMsg(Msg::FolderNotCreated));
    } else if (failure = fill(staging + QLatin1Char('/')); !failure && !QDir(staging).isEmpty()) {
        // A backup without a file has nothing to restore; it would only push a real one out.
        const QString path = root + newName(kind);
        if (::rename(QFile::encodeName(staging).constData(), QFile::encodeName(path).constData()) == 0) {
            SyncFolder(root);
            prune(kind);
            return std::nullopt;
        }
        failure = writeError(path, SystemReason(errno));
    }
    QDir(staging).removeRecursively();
    if (newRoot)
        QDir().rmdir(root);
    return failure;
}

int ProjectBackups::RemoveLeftovers(const QString& projPath)
{
    const QDir root(projPath + QStringLiteral("backups/"));
    int removed = 0;
    const auto hidden = QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot;
    for (const QString& name : root.entryList({StagingPrefix + QLatin1Char('*')}, hidden)) {
        if (QDir(root.filePath(name)).removeRecursively())
            ++removed;
    }
    for (const QString& name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        removed += FileTransaction::RemoveTemporaries(root.filePath(name));
    return removed;
}

std::optional<QString> ProjectBackups::BackupProjectFiles(BackupKind kind, const QStringList& fileNames)
{
    return Make(kind, [&](const QString& backup) -> std::optional<QString> {
        for (const QString& name : fileNames) {
            if (!QFileInfo::exists(m_projPath + name))
                continue;
            SafeFile copy(backup + name);
            if (!copy.open())
                return writeError(copy.fileName(), copy.errorString());
            if (std::optional<QString> failure = copyInto(m_projPath + name, copy))
                return failure;
            if (!copy.commit())
                return writeError(copy.fileName(), copy.errorString());
        }
        return std::nullopt;
    });
}

std::optional<QString> ProjectBackups::Restore(const QString& name)
{
    const QList<Backup> backups = List();
    const auto backup =
        std::find_if(backups.cbegin(), backups.cend(), [&](const Backup& b) { return b.name == name; });
    if (backup == backups.cend())
        return FileReadError(QDir::toNativeSeparators(folder() + name), m_language.GetMsg(Msg::NoSuchBackup))
            .text(m_language);

    // Every file is staged beside its target first; the project changes only once all are ready,
    // and then as one change.
    FileTransaction transaction(m_projPath);
    for (const QString& file : backup->files) {
        SafeFile& target = transaction.add(file);
        if (!target.open())
            return writeError(target.fileName(), target.errorString());
        if (std::optional<QString> failure = copyInto(folder() + name + QLatin1Char('/') + file, target))
            return failure;
        if (!target.finish())
            return writeError(target.fileName(), target.errorString());
    }
    if (std::optional<QString> failure = BackupProjectFiles(BackupKind::BeforeRestore, backup->files))
        return failure;
    if (!transaction.commit())
        return transaction.error().text(m_language);
    return std::nullopt;
}

std::optional<QString> ProjectBackups::ReadForCompare(const QString& name, QMap<QString, QByteArray>& backup,
                                                      QMap<QString, QByteArray>& project) const
{
    const QList<Backup> backups = List();
    const auto found =
        std::find_if(backups.cbegin(), backups.cend(), [&](const Backup& b) { return b.name == name; });
    if (found == backups.cend())
        return FileReadError(QDir::toNativeSeparators(folder() + name), m_language.GetMsg(Msg::NoSuchBackup))
            .text(m_language);
    for (const QString& file : found->files) {
        const auto read = [&](const QString& fileName,
                              QMap<QString, QByteArray>& into) -> std::optional<QString> {
            QFile source(fileName);
            if (!source.open(QIODevice::ReadOnly))
                return source.exists()
                           ? FileReadError(QDir::toNativeSeparators(fileName), source.errorString())
                                 .text(m_language)
                           : std::optional<QString>();
            into.insert(file, source.readAll());
            if (source.error() != QFileDevice::NoError)
                return FileReadError(QDir::toNativeSeparators(fileName), source.errorString())
                    .text(m_language);
            return std::nullopt;
        };
        if (auto failure = read(folder() + name + QLatin1Char('/') + file, backup))
            return failure;
        if (auto failure = read(m_projPath + file, project))
            return failure;
    }
    return std::nullopt;
}

void ProjectBackups::prune(BackupKind kind)
{
    int kept = 0;
    for (const Backup& backup : List()) {
        if (backup.kind == kind && ++kept > Kept)
            QDir(folder() + backup.name).removeRecursively();
    }
}
