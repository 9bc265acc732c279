#include "model/safefile.h"
#include "programfolder.h"
#include "smallfilesystem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class TestSafeFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replacesAndKeepsPermissions();
    void fullDiskKeepsOldFile_data();
    void fullDiskKeepsOldFile();
    void deviceThatRefusesWrites();
    void severalFilesAllOrNothing();
};

void TestSafeFile::replacesAndKeepsPermissions()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("project.ini"));
    QVERIFY(writeBytes(file, "old"));
    const auto bits = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    QVERIFY(QFile::setPermissions(file, bits));
    const QFileDevice::Permissions before = QFile::permissions(file);

    QCOMPARE(WriteWholeFile(file, "new"), std::nullopt);
    QCOMPARE(readBytes(file), QByteArray("new"));
    QCOMPARE(QFile::permissions(file), before);
    QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("project.ini")});

    // Run as root (sudo), the program must not hand the user's files over to root.
    if (::geteuid() == 0) {
        QVERIFY(::chown(QFile::encodeName(file).constData(), 65534, 65534) == 0);
        QCOMPARE(WriteWholeFile(file, "root"), std::nullopt);
        struct stat written = {};
        QVERIFY(::stat(QFile::encodeName(file).constData(), &written) == 0);
        QCOMPARE(written.st_uid, uid_t(65534));
        QCOMPARE(written.st_gid, gid_t(65534));
        QCOMPARE(QFile::permissions(file), before);
    }

    // A folder standing where the file should go is refused and left alone.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    QVERIFY(WriteWholeFile(dir.filePath(QStringLiteral("folder")), "x").has_value());
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder"))).isDir());
}

void TestSafeFile::fullDiskKeepsOldFile_data()
{
    QTest::addColumn<qint64>("freeBytes");
    QTest::addColumn<int>("newSize");
    // No room at all, and room for the first pieces only: a file cut at a block boundary must not
    // replace the old one either.
    QTest::newRow("no room") << qint64(0) << 10000;
    QTest::newRow("room for part of it") << qint64(8192) << 40000;
}

void TestSafeFile::fullDiskKeepsOldFile()
{
    QFETCH(qint64, freeBytes);
    QFETCH(int, newSize);
    SmallFileSystem fs(128);
    if (!fs.isActive())
        QSKIP("no small file system can be mounted here");
    const QString file = fs.path() + QStringLiteral("/bticino.items");
    const QByteArray old(3000, 'o');
    QVERIFY(writeBytes(file, old));
    QVERIFY(fs.fill(freeBytes));

    SafeFile writer(file);
    const bool written = writer.open() && writer.write(QByteArray(newSize, 'n')) && writer.commit();
    QVERIFY(!written);
    QCOMPARE(writer.errorString(), QStringLiteral("No space left on device"));
    QCOMPARE(readBytes(file), old);
    QCOMPARE(entries(fs.path()), QStringList({QStringLiteral(".ballast"), QStringLiteral("bticino.items")}));
}

void TestSafeFile::deviceThatRefusesWrites()
{
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full here");
    const std::optional<QString> failure = WriteWholeFile(QStringLiteral("/dev/full"), "a;b\r\n");
    QCOMPARE(failure, std::optional<QString>(QStringLiteral("No space left on device")));
    // The device is still a device, not a file put in its place.
    QVERIFY(!QFileInfo(QStringLiteral("/dev/full")).isFile());
}

void TestSafeFile::severalFilesAllOrNothing()
{
    SmallFileSystem fs(64);
    if (!fs.isActive())
        QSKIP("no small file system can be mounted here");
    const QString first = fs.path() + QStringLiteral("/first");
    const QString second = fs.path() + QStringLiteral("/second");
    QVERIFY(writeBytes(first, "1"));
    QVERIFY(writeBytes(second, "2"));
    QVERIFY(fs.fill(4096));

    // The first file fits, the second does not: neither is replaced.
    SafeFile a(first);
    SafeFile b(second);
    QVERIFY(a.open() && a.write(QByteArray(100, 'a')) && a.finish());
    QVERIFY(!(b.open() && b.write(QByteArray(60000, 'b')) && b.finish()));
    a.discard();
    QCOMPARE(readBytes(first), QByteArray("1"));
    QCOMPARE(readBytes(second), QByteArray("2"));
    QCOMPARE(entries(fs.path()),
             QStringList({QStringLiteral(".ballast"), QStringLiteral("first"), QStringLiteral("second")}));
}

QTEST_GUILESS_MAIN(TestSafeFile)
#include "tst_safefile.moc"
