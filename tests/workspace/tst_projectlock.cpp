#include "model/filetransaction.h"
#include "model/language.h"
#include "programfolder.h"
#include "workspace/projectlock.h"

#include <QDir>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestProjectLock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leftLockFiles_data();
    void leftLockFiles();
    void repairIsReported();
};

// What a lock file can hold when its maker is gone or elsewhere. Only a lock of another computer
// still counts, and the user learns which computer and which file to delete.
void TestProjectLock::leftLockFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("taken");

    QProcess ended;
    ended.start(u"true"_s, QStringList());
    ended.waitForFinished();
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    QTest::newRow("empty, its maker killed before writing") << QByteArray() << true;
    QTest::newRow("garbage") << QByteArray("\xff\xfe\x00zz\n", 6) << true;
    QTest::newRow("process gone") << QByteArray::number(ended.processId()) + "\nvaruno-cli\n" + host + "\n"
                                  << true;
    QTest::newRow("another computer") << QByteArray("4242\nvaruno-builder\nwerkstatt-pc\n") << false;
}

void TestProjectLock::leftLockFiles()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    QVERIFY(writeBytes(folder + ProjectLock::FileName, content));

    const Language language{QString()};
    ProjectLock lock(language);
    QTEST(lock.lock(folder), "taken");
    if (lock.isLocked())
        return;
    QCOMPARE(lock.errorString(),
             u"Das Projekt ist auf dem Rechner werkstatt-pc geöffnet. Ist es dort geschlossen, "
             u"löschen Sie die Sperrdatei %1 und versuchen Sie es erneut. Es wurde nichts "
             u"geändert."_s.arg(QDir::toNativeSeparators(folder + ProjectLock::FileName)));
    QCOMPARE(readBytes(folder + ProjectLock::FileName), content);
}

// The lock's next holder completes a change that was recorded whole, in one line to the user.
void TestProjectLock::repairIsReported()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    QVERIFY(writeBytes(folder + u"a.items"_s, "old"));
    QVERIFY(writeBytes(folder + u".a.items.1x.tmp"_s, "new"));
    QVERIFY(writeBytes(folder + FileTransaction::IntentName,
                       "varuno-transaction 1\n.a.items.1x.tmp/a.items\nend\n"));

    const Language language{QString()};
    ProjectLock lock(language);
    QVERIFY(lock.lock(folder));
    QCOMPARE(lock.report(), u"Eine unterbrochene Änderung des Projekts wurde abgeschlossen (Dateien: 1)."_s);
    QCOMPARE(readBytes(folder + u"a.items"_s), QByteArray("new"));
    lock.unlock();
    QVERIFY(lock.lock(folder));
    QCOMPARE(lock.report(), QString());
}

QTEST_GUILESS_MAIN(TestProjectLock)
#include "tst_projectlock.moc"
