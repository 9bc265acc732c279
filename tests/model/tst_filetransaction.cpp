#include "model/filetransaction.h"
#include "programfolder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Two files of a change: their temporary files as SafeFile names them, and the intent that
// commits them.
const QString FirstTemp = u".a.items.1x.tmp"_s;
const QString SecondTemp = u".b.rules.2y.tmp"_s;
const QByteArray WholeIntent =
    "varuno-transaction 1\n.a.items.1x.tmp/a.items\n.b.rules.2y.tmp/b.rules\nend\n";

} // namespace

class TestFileTransaction : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commitReplacesAll();
    void recover_data();
    void recover();
    void subfolders();
};

void TestFileTransaction::commitReplacesAll()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    QVERIFY(writeBytes(folder + u"a.items"_s, "old a"));
    FileTransaction transaction(folder);
    for (const QString& name : {u"a.items"_s, u"b.rules"_s}) {
        SafeFile& file = transaction.add(name);
        QVERIFY(file.open());
        QVERIFY(file.write(QByteArray("new " + name.toUtf8())));
    }
    QVERIFY(transaction.commit());
    QCOMPARE(snapshot(folder),
             (QMap<QString, QByteArray>{{u"a.items"_s, "new a.items"}, {u"b.rules"_s, "new b.rules"}}));
}

// What a change cut short at some instant leaves, and what the next lock holder makes of it: a
// whole intent is carried out, anything else is undone, and no temporary file stays.
void TestFileTransaction::recover_data()
{
    QTest::addColumn<QByteArray>("intent"); // empty: none
    QTest::addColumn<QStringList>("temporaries");
    QTest::addColumn<QByteArray>("expectedA");
    QTest::addColumn<QByteArray>("expectedB");
    QTest::addColumn<int>("completed");
    QTest::addColumn<int>("removed");

    QTest::newRow("cut before the intent") << QByteArray() << QStringList{FirstTemp, SecondTemp}
                                           << QByteArray("old a") << QByteArray("old b") << 0 << 2;
    QTest::newRow("cut while the intent was written")
        << WholeIntent.left(40) << QStringList{FirstTemp, SecondTemp} << QByteArray("old a")
        << QByteArray("old b") << 0 << 2;
    QTest::newRow("cut before the renames") << WholeIntent << QStringList{FirstTemp, SecondTemp}
                                            << QByteArray("new a") << QByteArray("new b") << 2 << 0;
    QTest::newRow("cut between the renames")
        << WholeIntent << QStringList{SecondTemp} << QByteArray("new a") << QByteArray("new b") << 1 << 0;
    // An intent only ever moves a file's own temporary file onto it.
    QTest::newRow("intent naming another file")
        << QByteArray("varuno-transaction 1\n.b.rules.2y.tmp/../a.items\nend\n")
        << QStringList{FirstTemp, SecondTemp} << QByteArray("old a") << QByteArray("old b") << 0 << 2;
}

void TestFileTransaction::recover()
{
    QFETCH(QByteArray, intent);
    QFETCH(QStringList, temporaries);
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    QVERIFY(writeBytes(folder + u"a.items"_s, "old a"));
    QVERIFY(writeBytes(folder + u"b.rules"_s, "old b"));
    // The first temporary file already renamed shows as the new file in place.
    if (!temporaries.contains(FirstTemp))
        QVERIFY(writeBytes(folder + u"a.items"_s, "new a"));
    for (const QString& temp : temporaries)
        QVERIFY(writeBytes(folder + temp, temp == FirstTemp ? "new a" : "new b"));
    if (!intent.isEmpty())
        QVERIFY(writeBytes(folder + FileTransaction::IntentName, intent));

    const FileTransaction::Recovery recovery = FileTransaction::Recover(folder);
    QVERIFY(!recovery.failure);
    QTEST(recovery.completed, "completed");
    QTEST(recovery.removed, "removed");
    QFETCH(QByteArray, expectedA);
    QFETCH(QByteArray, expectedB);
    QCOMPARE(snapshot(folder),
             (QMap<QString, QByteArray>{{u"a.items"_s, expectedA}, {u"b.rules"_s, expectedB}}));
}

// A change of files in subfolders of a folder that is not the program's own: the same all or none,
// and a repair that leaves every other file alone, temporary or not.
void TestFileTransaction::subfolders()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    QVERIFY(QDir(folder).mkpath(u"items"_s) && QDir(folder).mkpath(u"rules"_s));
    FileTransaction transaction(folder);
    for (const QString& name : {u"items/a.items"_s, u"rules/b.rules"_s}) {
        SafeFile& file = transaction.add(name);
        QVERIFY(file.open());
        QVERIFY(file.write(QByteArray("new " + name.toUtf8())));
    }
    QVERIFY(transaction.commit());
    QCOMPARE(snapshot(folder), (QMap<QString, QByteArray>{{u"items"_s, ""},
                                                          {u"items/a.items"_s, "new items/a.items"},
                                                          {u"rules"_s, ""},
                                                          {u"rules/b.rules"_s, "new rules/b.rules"}}));

    // Cut between the renames: the first file is in place, the second still beside its target.
    QVERIFY(writeBytes(folder + u"rules/.b.rules.2y.tmp"_s, "newer b"));
    QVERIFY(writeBytes(folder + u"items/.a.items.1x.tmp"_s, "lost a"));
    QVERIFY(writeBytes(folder + u"items/.other.items.3z.tmp"_s, "someone else's"));
    QVERIFY(writeBytes(folder + u"..varuno.intent.5u.tmp"_s, "varuno-transaction 1\nit"));
    QVERIFY(writeBytes(
        folder + FileTransaction::IntentName,
        "varuno-transaction 1\nitems/.a.items.0w.tmp/a.items\nrules/.b.rules.2y.tmp/b.rules\nend\n"));
    const QStringList targets{u"items/a.items"_s, u"rules/b.rules"_s};
    const FileTransaction::Recovery recovery = FileTransaction::Recover(folder, targets);
    QVERIFY(!recovery.failure);
    QCOMPARE(recovery.completed, 1);
    QCOMPARE(recovery.removed, 2);
    QCOMPARE(snapshot(folder), (QMap<QString, QByteArray>{{u"items"_s, ""},
                                                          {u"items/.other.items.3z.tmp"_s, "someone else's"},
                                                          {u"rules"_s, ""},
                                                          {u"items/a.items"_s, "new items/a.items"},
                                                          {u"rules/b.rules"_s, "newer b"}}));

    // An intent never moves a file out of or into another folder than its temporary's.
    QVERIFY(writeBytes(folder + u"rules/.b.rules.4v.tmp"_s, "moved"));
    for (const QByteArray& line :
         {QByteArray("rules/.b.rules.4v.tmp/../b.rules"), QByteArray("../rules/.b.rules.4v.tmp/b.rules"),
          QByteArray("../.b.rules.4v.tmp/b.rules")}) {
        QVERIFY(
            writeBytes(folder + FileTransaction::IntentName, "varuno-transaction 1\n" + line + "\nend\n"));
        QCOMPARE(FileTransaction::Recover(folder, {u"items/a.items"_s}).completed, 0);
        QCOMPARE(readBytes(folder + u"rules/b.rules"_s), QByteArray("newer b"));
    }
}

QTEST_GUILESS_MAIN(TestFileTransaction)
#include "tst_filetransaction.moc"
