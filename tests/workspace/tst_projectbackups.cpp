#include "model/language.h"
#include "model/safefile.h"
#include "programfolder.h"
#include "smallfilesystem.h"
#include "workspace/projectbackups.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QStringList ProjectFiles = {QStringLiteral("bticino.cfg"), QStringLiteral("bticino.items"),
                                  QStringLiteral("uuid")};

} // namespace

class TestBackups : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void namesAndOrder();
    void describe();
    void onlyTheNewestOfEachKindStay();
    void backupLeavesOutMissingFiles();
    void restoreBacksUpWhatItReplaces();
    void restoreChangesNothingOnFailure();
    void restoreOnAFullDiskChangesNothing();

private:
    // Failures are told in the program's own German.
    const Language m_language{QString()};
    QString project() const { return m_dir->path() + QLatin1Char('/'); }
    ProjectBackups backups()
    {
        return ProjectBackups(project(), m_language, [this] { return m_now; });
    }
    bool writeProject(const QByteArray& prefix, const QString& at = {});

    std::unique_ptr<QTemporaryDir> m_dir;
    QDateTime m_now;
};

void TestBackups::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_now = QDateTime(QDate(2026, 12, 10), QTime(13, 45, 7));
}

bool TestBackups::writeProject(const QByteArray& prefix, const QString& at)
{
    for (const QString& file : ProjectFiles) {
        if (!writeBytes((at.isEmpty() ? project() : at) + file, prefix + file.toUtf8() + "\r\n"))
            return false;
    }
    return true;
}

void TestBackups::namesAndOrder()
{
    QVERIFY(writeProject("alt "));
    ProjectBackups b = backups();
    QCOMPARE(b.BackupProjectFiles(BackupKind::BeforeReceive, ProjectFiles), std::nullopt);
    QCOMPARE(b.BackupProjectFiles(BackupKind::BeforeReceive, ProjectFiles), std::nullopt);
    // The clock going back (the end of summer time) does not make the newest backup the oldest.
    m_now = m_now.addSecs(-3600);
    QCOMPARE(b.BackupProjectFiles(BackupKind::GatewayBeforeSend, ProjectFiles), std::nullopt);
    // Folders that are no backup of this program are not listed, nor is a backup being written;
    // one of an older version without a sequence counts as older than every numbered one.
    QVERIFY(QDir().mkpath(b.folder() + QStringLiteral("Fotos")));
    QVERIFY(QDir().mkpath(b.folder() + QStringLiteral(".staging-abc")));
    QVERIFY(writeProject("", b.folder() + QStringLiteral("20261231-235959-before-receive/")));

    QStringList names;
    for (const Backup& backup : b.List())
        names << backup.name;
    QCOMPARE(names, QStringList({QStringLiteral("000003-20261210-124507-gateway-before-send"),
                                 QStringLiteral("000002-20261210-134507-before-receive"),
                                 QStringLiteral("000001-20261210-134507-before-receive"),
                                 QStringLiteral("20261231-235959-before-receive")}));
    const Backup newest = b.List().constFirst();
    QCOMPARE(newest.kind, BackupKind::GatewayBeforeSend);
    QCOMPARE(newest.time, m_now);
    QCOMPARE(newest.files, QStringList({QStringLiteral("bticino.cfg"), QStringLiteral("bticino.items"),
                                        QStringLiteral("uuid")}));
    QCOMPARE(readBytes(b.folder() + newest.name + QStringLiteral("/uuid")), QByteArray("alt uuid\r\n"));
}

void TestBackups::describe()
{
    Language language(QStringLiteral(VARUNO_DATA_DIR "/"));
    const Backup backup{
        QStringLiteral("x"), BackupKind::GatewayBeforeSend, {}, {QStringLiteral("a"), QStringLiteral("b")}};
    QCOMPARE(ProjectBackups::Describe(backup, language),
             QStringLiteral("Varuno vor dem Senden (Dateien: 2)"));
    language.LoadLanguage(QStringLiteral("English"));
    QCOMPARE(ProjectBackups::Describe(backup, language), QStringLiteral("Varuno before sending (files: 2)"));
}

void TestBackups::onlyTheNewestOfEachKindStay()
{
    QVERIFY(writeProject("alt "));
    ProjectBackups b = backups();
    for (int i = 0; i < 3; ++i)
        QCOMPARE(b.BackupProjectFiles(BackupKind::GatewayBeforeSend, ProjectFiles), std::nullopt);
    // The clock runs backwards: what is kept is still the newest by the order of making.
    for (int i = 0; i < ProjectBackups::Kept + 5; ++i) {
        m_now = m_now.addSecs(-60);
        QCOMPARE(b.BackupProjectFiles(BackupKind::BeforeReceive, ProjectFiles), std::nullopt);
    }

    QList<Backup> receive;
    int send = 0;
    for (const Backup& backup : b.List())
        backup.kind == BackupKind::BeforeReceive ? void(receive << backup) : void(++send);
    QCOMPARE(send, 3);
    QCOMPARE(receive.size(), ProjectBackups::Kept);
    QCOMPARE(receive.constFirst().time, m_now);
    QCOMPARE(receive.constLast().time, m_now.addSecs(60 * (ProjectBackups::Kept - 1)));
}

void TestBackups::backupLeavesOutMissingFiles()
{
    ProjectBackups b = backups();
    QCOMPARE(b.BackupProjectFiles(BackupKind::BeforeReceive, ProjectFiles), std::nullopt);
    // Nothing to keep: no backup at all, and no empty backups folder.
    QVERIFY(b.List().isEmpty());
    QVERIFY(!QFileInfo::exists(b.folder()));

    QVERIFY(writeBytes(project() + QStringLiteral("uuid"), "u"));
    QCOMPARE(b.BackupProjectFiles(BackupKind::BeforeReceive, ProjectFiles), std::nullopt);
    QCOMPARE(b.List().constFirst().files, QStringList({QStringLiteral("uuid")}));
}

void TestBackups::restoreBacksUpWhatItReplaces()
{
    QVERIFY(writeProject("alt "));
    ProjectBackups b = backups();
    QCOMPARE(b.BackupProjectFiles(BackupKind::BeforeReceive, ProjectFiles), std::nullopt);
    const QString name = b.List().constFirst().name;
    QVERIFY(writeProject("neu "));
    QVERIFY(writeBytes(project() + QStringLiteral("mqtt.cfg"), "bleibt"));

    QCOMPARE(b.Restore(name), std::nullopt);

    for (const QString& file : ProjectFiles)
        QCOMPARE(readBytes(project() + file), "alt " + file.toUtf8() + "\r\n");
    QCOMPARE(readBytes(project() + QStringLiteral("mqtt.cfg")), QByteArray("bleibt"));
    const Backup before = b.List().constFirst();
    QCOMPARE(before.kind, BackupKind::BeforeRestore);
    for (const QString& file : ProjectFiles)
        QCOMPARE(readBytes(b.folder() + before.name + QLatin1Char('/') + file),
                 "neu " + file.toUtf8() + "\r\n");
    QVERIFY(b.Restore(QStringLiteral("20990101-000000-before-receive")).has_value());
}

// One file that cannot be replaced keeps every file as it was, and leaves no backup of its own.
void TestBackups::restoreChangesNothingOnFailure()
{
    QVERIFY(writeProject("alt "));
    ProjectBackups b = backups();
    QCOMPARE(b.BackupProjectFiles(BackupKind::BeforeReceive, ProjectFiles), std::nullopt);
    const QString name = b.List().constFirst().name;
    QVERIFY(writeProject("neu "));
    QVERIFY(QFile::remove(project() + QStringLiteral("uuid")));
    QVERIFY(QDir().mkpath(project() + QStringLiteral("uuid")));

    const std::optional<QString> failure = b.Restore(name);

    QVERIFY(failure);
    QVERIFY2(failure->contains(QStringLiteral("uuid")), qPrintable(*failure));
    for (const QString& file : ProjectFiles.first(2))
        QCOMPARE(readBytes(project() + file), "neu " + file.toUtf8() + "\r\n");
    QCOMPARE(b.List().size(), 1);
    QCOMPARE(QDir(project()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestBackups::restoreOnAFullDiskChangesNothing()
{
    SmallFileSystem disk(256);
    if (!disk.isActive())
        QSKIP("no small file system can be mounted here");
    const QString at = disk.path() + QLatin1Char('/');
    ProjectBackups b(at, m_language, [this] { return m_now; });
    QVERIFY(writeProject("alt "));
    QVERIFY(writeBytes(project() + QStringLiteral("bticino.items"), QByteArray(100 * 1024, 'x')));
    QVERIFY(QDir().mkpath(b.folder() + QStringLiteral("20261210-134507-before-receive")));
    for (const QString& file : ProjectFiles)
        QVERIFY(QFile::copy(project() + file,
                            b.folder() + QStringLiteral("20261210-134507-before-receive/") + file));
    QVERIFY(writeProject("neu ", at));
    QVERIFY(disk.fill(20 * 1024));

    const std::optional<QString> failure = b.Restore(QStringLiteral("20261210-134507-before-receive"));
    QVERIFY(failure.has_value());
    // The user learns which file could not be written, and the system's reason.
    QVERIFY2(failure->contains(QStringLiteral(" kann nicht geschrieben werden. No space left on device")),
             qPrintable(*failure));

    disk.release();
    for (const QString& file : ProjectFiles)
        QCOMPARE(readBytes(at + file), "neu " + file.toUtf8() + "\r\n");
    QCOMPARE(b.List().size(), 1);
}

QTEST_GUILESS_MAIN(TestBackups)
#include "tst_projectbackups.moc"
