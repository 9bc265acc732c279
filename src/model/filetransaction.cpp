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

// One temporary file (a plain name in the folder) and the target it replaces.
struct Rename
{
    QString temp;
    QString target;
};

TFileError fileError(const QString& fileName, const QString& reason)
{
    return {QDir::toNativeSeparators(fileName), reason};
}

// The names TSafeFile gives its temporary files: a dot, the target's name, a random word, ".tmp".
const QRegularExpression& temporaryPattern()
{
    static const QRegularExpression pattern(u"^\\.(.+)\\.[0-9a-z]+\\.tmp$"_s);
    return pattern;
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
    return isPlainName(rename.temp) && isPlainName(rename.target) && match.hasMatch() &&
           match.captured(1) == rename.target;
}

QByteArray intentText(const QList<Rename>& renames)
{
    QByteArray text = IntentHeader + '\n';
    for (const Rename& rename : renames)
        text += rename.temp.toUtf8() + '/' + rename.target.toUtf8() + '\n';
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
        const QList<QByteArray> names = lines.at(i).split('/');
        if (names.size() != 2)
            return std::nullopt;
        const Rename rename{QString::fromUtf8(names.at(0)), QString::fromUtf8(names.at(1))};
        if (!isOwnTemporary(rename))
            return std::nullopt;
        renames << rename;
    }
    return renames;
}

// Renames every temporary file of the intent that is still there (one already renamed is gone),
// then removes the intent. A failure leaves the intent for the next attempt.
std::optional<TFileError> completeIntent(const QString& folder, const QList<Rename>& renames, int& completed)
{
    for (const Rename& rename : renames) {
        const QByteArray temp = QFile::encodeName(folder + rename.temp);
        if (::access(temp.constData(), F_OK) != 0)
            continue;
        if (::rename(temp.constData(), QFile::encodeName(folder + rename.target).constData()) != 0)
            return fileError(folder + rename.target, SystemReason(errno));
        ++completed;
    }
    SyncFolder(folder);
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

TSafeFile& FileTransaction::add(const QString& name)
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
    for (TSafeFile& file : m_files) {
        if (!file.finish())
            return fail(file.fileName(), file.errorString());
    }
    // A single rename needs no intent: it is done or not.
    if (m_files.size() == 1)
        return m_files.front().commit() || fail(m_files.front().fileName(), m_files.front().errorString());

    QList<Rename> renames;
    for (const TSafeFile& file : m_files) {
        // A device or pipe was written in place; there is nothing to rename.
        if (!file.tempName().isEmpty())
            renames << Rename{QFileInfo(file.tempName()).fileName(), QFileInfo(file.fileName()).fileName()};
    }
    if (const std::optional<QString> failure = WriteWholeFile(m_folder + IntentName, intentText(renames)))
        return fail(m_folder + IntentName, *failure);
    // From here on the intent owns the temporary files: should this process die, the next one
    // renames them.
    for (TSafeFile& file : m_files)
        file.release();
    int completed = 0;
    if (const std::optional<TFileError> failure = completeIntent(m_folder, renames, completed)) {
        m_error = *failure;
        return false;
    }
    return true;
}

FileTransaction::Recovery FileTransaction::Recover(const QString& folder)
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
    recovery.removed = RemoveTemporaries(path);
    return recovery;
}

int FileTransaction::RemoveTemporaries(const QString& folder)
{
    const QDir dir(folder);
    int removed = 0;
    for (const QString& name : dir.entryList({u".*.tmp"_s}, QDir::Files | QDir::Hidden)) {
        if (temporaryPattern().match(name).hasMatch() && QFile::remove(dir.filePath(name)))
            ++removed;
    }
    return removed;
}
