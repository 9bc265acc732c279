#include "filetransaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <unistd.h>
#include <utility>

using namespace Qt::StringLiterals;

const QString FileTransaction::IntentName = u".varuno.intent"_s;

namespace {

const QByteArray IntentHeader = "varuno-transaction 1";
const QByteArray IntentEnd = "end";
// An intent names a handful of files; anything longer is none the program wrote.
constexpr qint64 MaxIntentSize = 64 * 1024;

// One temporary file and the target it replaces, beside each other in the folder or in one of its
// subfolders.
struct Rename
{
    QString subfolder; // empty, or a plain name and "/"
    QString temp;
    QString target;

    QString tempPath() const { return subfolder + temp; }
    QString targetPath() const { return subfolder + target; }
};

FileError fileError(const QString& fileName, const QString& reason)
{
    return {QDir::toNativeSeparators(fileName), reason};
}

// The names SafeFile gives its temporary files: a dot, the target's name, a random word, ".tmp".
const QRegularExpression& temporaryPattern()
{
    static const QRegularExpression pattern(u"^\\.(.+)\\.[0-9a-z]+\\.tmp$"_s);
    return pattern;
}

// "sub/" for a path "sub/name", empty for a plain name.
QString subfolderOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? QString() : path.left(slash + 1);
}

// Removes the program's temporary files in folder, only those of the file named target unless it
// is empty; how many there were.
int removeTemporaries(const QString& folder, const QString& target)
{
    const QDir dir(folder);
    int removed = 0;
    for (const QString& name : dir.entryList({u".*.tmp"_s}, QDir::Files | QDir::Hidden)) {
        const QRegularExpressionMatch match = temporaryPattern().match(name);
        if (match.hasMatch() && (target.isEmpty() || match.captured(1) == target) &&
            QFile::remove(dir.filePath(name)))
            ++removed;
    }
    return removed;
}

bool isPlainName(const QString& name)
{
    return !name.isEmpty() && name != u"."_s && name != u".."_s && !name.contains(u'/') &&
           !name.contains(u'\n');
}

// An intent only ever moves a target's own temporary file onto it, inside the folder: whatever an
// intent file says, it cannot move any other file.
bool isOwnTemporary(const Rename& rename)
{
    const QRegularExpressionMatch match = temporaryPattern().match(rename.temp);
    return (rename.subfolder.isEmpty() || isPlainName(rename.subfolder.chopped(1))) &&
           isPlainName(rename.temp) && isPlainName(rename.target) && match.hasMatch() &&
           match.captured(1) == rename.target;
}

// A line names the temporary file by its path and the target by its name, as it lies beside it.
QByteArray intentLine(const Rename& rename)
{
    return rename.tempPath().toUtf8() + '/' + rename.target.toUtf8();
}

std::optional<Rename> parseIntentLine(const QByteArray& line)
{
    const QList<QByteArray> names = line.split('/');
    if (names.size() == 2)
        return Rename{QString(), QString::fromUtf8(names.at(0)), QString::fromUtf8(names.at(1))};
    if (names.size() == 3)
        return Rename{QString::fromUtf8(names.at(0)) + u'/', QString::fromUtf8(names.at(1)),
                      QString::fromUtf8(names.at(2))};
    return std::nullopt;
}

QByteArray intentText(const QList<Rename>& renames)
{
    QByteArray text = IntentHeader + '\n';
    for (const Rename& rename : renames)
        text += intentLine(rename) + '\n';
    return text + IntentEnd + '\n';
}

// The renames of an intent the program wrote in full; none for any other text.
std::optional<QList<Rename>> parseIntent(const QByteArray& text)
{
    const QList<QByteArray> lines = text.split('\n');
    if (lines.size() < 3 || lines.first() != IntentHeader || !lines.last().isEmpty() ||
        lines.at(lines.size() - 2) != IntentEnd)
        return std::nullopt;
    QList<Rename> renames;
    for (qsizetype i = 1; i < lines.size() - 2; ++i) {
        const std::optional<Rename> rename = parseIntentLine(lines.at(i));
        if (!rename || !isOwnTemporary(*rename))
            return std::nullopt;
        renames << *rename;
    }
    return renames;
}

// Renames every temporary file of the intent that is still there (one already renamed is gone),
// then removes the intent. A failure leaves the intent for the next attempt.
std::optional<FileError> completeIntent(const QString& folder, const QList<Rename>& renames, int& completed)
{
    QStringList subfolders;
    for (const Rename& rename : renames) {
        const QByteArray temp = QFile::encodeName(folder + rename.tempPath());
        if (::access(temp.constData(), F_OK) != 0)
            continue;
        if (::rename(temp.constData(), QFile::encodeName(folder + rename.targetPath()).constData()) != 0)
            return fileError(folder + rename.targetPath(), SystemReason(errno));
        ++completed;
        if (!subfolders.contains(rename.subfolder))
            subfolders << rename.subfolder;
    }
    for (const QString& subfolder : subfolders)
        SyncFolder(folder + subfolder);
    const QString intent = folder + FileTransaction::IntentName;
    if (::unlink(QFile::encodeName(intent).constData()) != 0 && errno != ENOENT)
        return fileError(intent, SystemReason(errno));
    SyncFolder(folder);
    return std::nullopt;
}

} // namespace

FileTransaction::FileTransaction(QString folder) : m_folder(std::move(folder))
{
    if (!m_folder.endsWith(u'/'))
        m_folder += u'/';
}

SafeFile& FileTransaction::add(const QString& name)
{
    return m_files.emplace_back(m_folder + name);
}

bool FileTransaction::fail(const QString& fileName, const QString& reason)
{
    m_error = fileError(fileName, reason);
    return false;
}

bool FileTransaction::commit()
{
    for (SafeFile& file : m_files) {
        if (!file.finish())
            return fail(file.fileName(), file.errorString());
    }
    // A single rename needs no intent: it is done or not.
    if (m_files.size() == 1)
        return m_files.front().commit() || fail(m_files.front().fileName(), m_files.front().errorString());

    QList<Rename> renames;
    for (const SafeFile& file : m_files) {
        // A device or pipe was written in place; there is nothing to rename.
        if (!file.tempName().isEmpty())
            renames << Rename{subfolderOf(file.fileName().mid(m_folder.size())),
                              QFileInfo(file.tempName()).fileName(), QFileInfo(file.fileName()).fileName()};
    }
    if (const std::optional<QString> failure = WriteWholeFile(m_folder + IntentName, intentText(renames)))
        return fail(m_folder + IntentName, *failure);
    // From here on the intent owns the temporary files: should this process die, the next one
    // renames them.
    for (SafeFile& file : m_files)
        file.release();
    int completed = 0;
    if (const std::optional<FileError> failure = completeIntent(m_folder, renames, completed)) {
        m_error = *failure;
        return false;
    }
    return true;
}

FileTransaction::Recovery FileTransaction::Recover(const QString& folder)
{
    return recover(folder, [](const QString& path) { return RemoveTemporaries(path); });
}

FileTransaction::Recovery FileTransaction::Recover(const QString& folder, const QStringList& targets)
{
    return recover(folder, [&](const QString& path) {
        // The intent is written through a temporary file of its own, which a cut can leave.
        int removed = removeTemporaries(path, IntentName);
        for (const QString& target : targets)
            removed += removeTemporaries(path + subfolderOf(target), QFileInfo(target).fileName());
        return removed;
    });
}

FileTransaction::Recovery FileTransaction::recover(const QString& folder,
                                                   const std::function<int(const QString&)>& sweep)
{
    Recovery recovery;
    const QString path = folder.endsWith(u'/') ? folder : folder + u'/';
    QFile intent(path + IntentName);
    if (intent.exists()) {
        if (!intent.open(QIODevice::ReadOnly)) {
            recovery.failure = fileError(intent.fileName(), intent.errorString());
            return recovery;
        }
        const std::optional<QList<Rename>> renames = parseIntent(intent.read(MaxIntentSize + 1));
        intent.close();
        if (renames) {
            recovery.failure = completeIntent(path, *renames, recovery.completed);
            if (recovery.failure)
                return recovery;
        } else if (!intent.remove()) {
            // The program writes an intent whole or not at all, so this one renames nothing: its
            // temporary files are removed below like any others.
            recovery.failure = fileError(intent.fileName(), intent.errorString());
            return recovery;
        }
    }
    recovery.removed = sweep(path);
    return recovery;
}

int FileTransaction::RemoveTemporaries(const QString& folder)
{
    return removeTemporaries(folder, QString());
}
