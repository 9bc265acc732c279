#include "model/filediff.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray withoutHeader(const QByteArray& diff)
{
    QList<QByteArray> lines = diff.split('\n');
    return lines.size() < 2 ? diff : lines.mid(2).join('\n');
}

// What the system's diff prints for the two texts, without its two header lines.
QByteArray systemDiff(const QByteArray& oldText, const QByteArray& newText, const QString& option)
{
    QTemporaryDir dir;
    const auto write = [&](const QString& name, const QByteArray& text) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    };
    QProcess diff;
    diff.start(QStringLiteral("diff"), {option, write("old", oldText), write("new", newText)});
    if (!diff.waitForFinished())
        qFatal("diff did not run");
    return withoutHeader(diff.readAllStandardOutput());
}

qsizetype editedLines(const QByteArray& diff)
{
    qsizetype count = 0;
    for (const QByteArray& line : diff.split('\n'))
        count += (line.startsWith('+') || line.startsWith('-')) && !line.startsWith("+++") &&
                 !line.startsWith("---");
    return count;
}

} // namespace

class TestFileDiff : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void printsAsDiffDoes_data();
    void printsAsDiffDoes();
    void namesBothSidesAndIgnoresCarriageReturns();
    void findsAShortestScript();
};

void TestFileDiff::printsAsDiffDoes_data()
{
    QTest::addColumn<QByteArray>("oldText");
    QTest::addColumn<QByteArray>("newText");
    const QByteArray ten = "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n";
    QTest::newRow("one line changed") << ten << QByteArray(ten).replace("5\n", "five\n");
    QTest::newRow("line added at the start") << ten << "0\n" + ten;
    QTest::newRow("line removed at the end") << ten << ten.chopped(3);
    QTest::newRow("two changes share a hunk")
        << ten << QByteArray(ten).replace("2\n", "b\n").replace("8\n", "h\n");
    QTest::newRow("two hunks") << ten + ten.toUpper() + "x\ny\nz\n"
                               << QByteArray(ten).replace("1\n", "one\n") + ten + "x\ny\nZ\n";
    QTest::newRow("from empty") << QByteArray() << QByteArray("a\nb\n");
    QTest::newRow("to empty") << QByteArray("a\nb\n") << QByteArray();
    QTest::newRow("no newline at the end") << QByteArray("a\nb\nc") << QByteArray("a\nb\nc\n");
    QTest::newRow("last line changed without newline") << QByteArray("a\nb") << QByteArray("a\nc");
    QTest::newRow("equal") << ten << ten;
    QTest::newRow("umlauts") << QByteArray("Küche\nBad\n") << QByteArray("Küche\nBäder\nFlur\n");
}

void TestFileDiff::printsAsDiffDoes()
{
    QFETCH(QByteArray, oldText);
    QFETCH(QByteArray, newText);
    const QByteArray ours = FileDiff::unified(oldText, newText, "old", "new");
    QCOMPARE(withoutHeader(ours), systemDiff(oldText, newText, QStringLiteral("-u")));
}

void TestFileDiff::namesBothSidesAndIgnoresCarriageReturns()
{
    QCOMPARE(FileDiff::unified("a\r\nb\r\n", "a\r\nc\r\n", "gateway/x", "project/x"),
             QByteArray("--- gateway/x\n+++ project/x\n@@ -1,2 +1,2 @@\n a\n-b\n+c\n"));
    QVERIFY(FileDiff::unified("a\r\nb\r\n", "a\nb\n", "x", "y").isEmpty());
}

// Random texts from a few repeated lines have many edit scripts of the same length; any is right
// as long as none is longer than the one diff finds when it searches for the shortest.
void TestFileDiff::findsAShortestScript()
{
    QRandomGenerator random(20261211);
    const auto text = [&] {
        QByteArray out;
        for (int i = random.bounded(40); i > 0; --i)
            out += char('a' + random.bounded(4)) + QByteArray("\n");
        return out;
    };
    for (int round = 0; round < 200; ++round) {
        const QByteArray oldText = text();
        const QByteArray newText = text();
        const QByteArray ours = FileDiff::unified(oldText, newText, "a", "b");
        QCOMPARE(editedLines(ours), editedLines(systemDiff(oldText, newText, QStringLiteral("-u"))));
        QCOMPARE(ours.isEmpty(), oldText == newText);
    }
}

QTEST_GUILESS_MAIN(TestFileDiff)
#include "tst_filediff.moc"
