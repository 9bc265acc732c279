#include "tbackups.h"

#include "model/fileerror.h"
#include "model/safefile.h"
#include "model/tlanguage.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace {

constexpr qint64 CopyPiece = 1024 * 1024;

const std::array<std::pair<TBackupKind, const char*>, 3> KindWords = {{
    {TBackupKind::BeforeReceive, "before-receive"},
    {TBackupKind::GatewayBeforeSend, "gateway-before-send"},
    {TBackupKind::BeforeRestore, "before-restore"},
}};

const QRegularExpression& namePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{8}-\\d{6})-(before-receive|gateway-before-send|before-restore)(?:-(\\d+))?$"));
    return pattern;
}

// The order of the names in time: the second, then the number of the backup within it.
std::pair<QString, int> age(const QString& name)
{
    const QRegularExpressionMatch match = namePattern().match(name);
    return {match.captured(1), match.captured(3).isEmpty() ? 1 : match.captured(3).toInt()};
}

} // namespace

QString TBackups::writeError(const QString& fileName, const QString& reason) const
{
    return TFileError{QDir::toNativeSeparators(fileName), reason}.text(m_language);
}

std::optional<QString> TBackups::copyInto(const QString& source, TSafeFile& target) const
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return EFileError(QDir::toNativeSeparators(source), in.errorString()).text(m_language);
    QByteArray piece;
    while (!in.atEnd()) {
        piece = in.read(CopyPiece);
        if (in.error() != QFileDevice::NoError)
            return EFileError(QDir::toNativeSeparators(source), in.errorString()).text(m_language);
        if (!target.write(piece))
            return writeError(target.fileName(), target.errorString());
    }
    return std::nullopt;
}

TBackups::TBackups(QString projPath, const TLanguage& language, std::function<QDateTime()> now)
    : m_projPath(std::move(projPath)), m_language(language), m_now(std::move(now))
{
    if (!m_now)
        m_now = [] { return QDateTime::currentDateTime(); };
}

QString TBackups::KindWord(TBackupKind kind)
{
    for (const auto& [each, word] : KindWords) {
        if (each == kind)
            return QString::fromLatin1(word);
    }
    return {};
}

QString TBackups::Describe(const TBackup& backup, const TLanguage& language)
{
    QString text;
    switch (backup.kind) {
    case TBackupKind::BeforeReceive:
        text = language.GetMsg(Msg::BackupBeforeReceive);
        break;
    case TBackupKind::GatewayBeforeSend:
        text = language.GetMsg(Msg::BackupBeforeSend);
        break;
    case TBackupKind::BeforeRestore:
        text = language.GetMsg(Msg::BackupBeforeRestore);
        break;
    }
    return TLanguage::Fill(text, QString::number(backup.files.size()));
}

QList<TBackup> TBackups::List() const
{
    QList<TBackup> backups;
    const QDir dir(folder());
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QRegularExpressionMatch match = namePattern().match(name);
        if (!match.hasMatch())
            continue;
        const auto kind = std::find_if(KindWords.cbegin(), KindWords.cend(), [&](const auto& entry) {
            return match.captured(2) == QLatin1String(entry.second);
        });
        backups << TBackup{name, kind->first,
                           QDateTime::fromString(match.captured(1), QStringLiteral("yyyyMMdd-HHmmss")),
                           QDir(dir.filePath(name)).entryList(QDir::Files, QDir::Name)};
    }
    std::sort(backups.begin(), backups.end(),
              [](const TBackup& a, const TBackup& b) { return age(a.name) > age(b.name); });
    return backups;
}

// Backups made within the same second, of whatever kind, are numbered from the second one on, so
// that their order stays known.
QString TBackups::newName(TBackupKind kind) const
{
    const QString second = m_now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = second + QLatin1Char('-') + KindWord(kind);
    int number = 1;
    for (const QString& name : QDir(folder()).entryList({second + QStringLiteral("-*")}, QDir::Dirs))
        number = std::max(number, age(name).second + 1);
    return number == 1 ? base : base + QLatin1Char('-') + QString::number(number);
}

std::optional<QString> TBackups::Make(TBackupKind kind,
                                      const std::function<std::optional<QString>(const QString&)>& fill)
{
    const QString path = folder() + newName(kind);
    if (!QDir().mkpath(path))
        return writeError(path, m_language.GetMsg(Msg::FolderNotCreated));
    const std::optional<QString> failure = fill(path + QLatin1Char('/'));
    // A backup without a file has nothing to restore; it would only push a real one out.
    if (failure || QDir(path).isEmpty()) {
        QDir(path).removeRecursively();
        return failure;
    }
    prune(kind);
    return std::nullopt;
}

std::optional<QString> TBackups::BackupProjectFiles(TBackupKind kind, const QStringList& fileNames)
{
    return Make(kind, [&](const QString& backup) -> std::optional<QString> {
        for (const QString& name : fileNames) {
            if (!QFileInfo::exists(m_projPath + name))
                continue;
            TSafeFile copy(backup + name);
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

std::optional<QString> TBackups::Restore(const QString& name)
{
    const QList<TBackup> backups = List();
    const auto backup =
        std::find_if(backups.cbegin(), backups.cend(), [&](const TBackup& b) { return b.name == name; });
    if (backup == backups.cend())
        return EFileError(QDir::toNativeSeparators(folder() + name), m_language.GetMsg(Msg::NoSuchBackup))
            .text(m_language);

    // Every file is staged beside its target first; the project changes only once all are ready.
    std::vector<std::unique_ptr<TSafeFile>> staged;
    for (const QString& file : backup->files) {
        auto target = std::make_unique<TSafeFile>(m_projPath + file);
        if (!target->open())
            return writeError(target->fileName(), target->errorString());
        if (std::optional<QString> failure = copyInto(folder() + name + QLatin1Char('/') + file, *target))
            return failure;
        if (!target->finish())
            return writeError(target->fileName(), target->errorString());
        staged.push_back(std::move(target));
    }
    if (std::optional<QString> failure = BackupProjectFiles(TBackupKind::BeforeRestore, backup->files))
        return failure;
    for (const auto& target : staged) {
        if (!target->commit())
            return writeError(target->fileName(), target->errorString());
    }
    return std::nullopt;
}

void TBackups::prune(TBackupKind kind)
{
    int kept = 0;
    for (const TBackup& backup : List()) {
        if (backup.kind == kind && ++kept > Kept)
            QDir(folder() + backup.name).removeRecursively();
    }
}
