#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "programfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
// The program's own German texts, as shown without a catalogue.
const Language builtIn{QString()};
} // namespace

class TestTextFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readFile_data();
    void readFile();
    void readMissingFileRaises();
    void writeFile();
    void writeAndReadLongFile();
    void writeIntoMissingFolder();
    void failedWriteKeepsOldContent();
    void keyValue();

private:
    QTemporaryDir m_dir;
};

void TestTextFiles::readFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("keyValue");
    QTest::addColumn<QStringList>("expected");
    const QStringList abc = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\nc\r\n") << false << abc;
    QTest::newRow("LF") << QByteArray("a\nb\nc") << false << abc;
    QTest::newRow("CR") << QByteArray("a\rb\rc\r") << false << abc;
    QTest::newRow("BOM") << QByteArray("\xEF\xBB\xBF"
                                       "a\r\nb\r\nc")
                         << false << abc;
    QTest::newRow("empty lines kept")
        << QByteArray("\r\na\n\nb\r\n") << false
        << QStringList({QString(), QStringLiteral("a"), QString(), QStringLiteral("b")});
    QTest::newRow("empty file") << QByteArray() << false << QStringList();
    QTest::newRow("utf-8") << QByteArray("K\xC3\xBC"
                                         "che")
                           << false << QStringList({QStringLiteral("Küche")});
    QTest::newRow("invalid utf-8 does not fail") << QByteArray("a\xFF"
                                                               "b")
                                                 << false
                                                 << QStringList({QStringLiteral("a\uFFFD"
                                                                                "b")});
    QTest::newRow("key-value filter")
        << QByteArray("webserver.host=10.0.0.5\r\n=x\r\nno equals sign\r\n#reboot=true\r\n") << true
        << QStringList({QStringLiteral("webserver.host=10.0.0.5"), QStringLiteral("#reboot=true")});
}

void TestTextFiles::readFile()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, keyValue);
    QFETCH(QStringList, expected);
    const QString file = m_dir.filePath(QStringLiteral("read.txt"));
    QVERIFY(writeBytes(file, content));
    QCOMPARE(OpenHabGenerator::ReadFile(file, keyValue), expected);
}

void TestTextFiles::readMissingFileRaises()
{
    const QString file = m_dir.filePath(QStringLiteral("missing.items"));
    try {
        OpenHabGenerator::ReadFile(file, false);
        QFAIL("no error raised");
    } catch (const FileReadError& error) {
        QVERIFY(error.text(builtIn).startsWith(QStringLiteral("Datei ") + QDir::toNativeSeparators(file) +
                                               QStringLiteral(" kann nicht geöffnet werden. ")));
        QVERIFY(error.text(builtIn).size() > file.size() + 35); // the system's reason follows
    }
}

void TestTextFiles::writeFile()
{
    const QString file = m_dir.filePath(QStringLiteral("write.txt"));
    QVERIFY(!OpenHabGenerator::WriteFile(file, {QStringLiteral("eins"), QString(), QStringLiteral("Grüße")}));
    QCOMPARE(readBytes(file), QByteArray("eins\r\n\r\nGr\xC3\xBC\xC3\x9F"
                                         "e\r\n"));
    QVERIFY(!OpenHabGenerator::WriteFile(file, {}));
    QVERIFY(QFile::exists(file));
    QCOMPARE(readBytes(file), QByteArray());
}

// A file of megabytes is written in pieces; no line or character may be cut or lost where one piece
// ends and the next begins.
void TestTextFiles::writeAndReadLongFile()
{
    QStringList lines;
    QByteArray expected;
    for (int i = 0; i < 20000; ++i) {
        const QString line = QStringLiteral("Zeile %1 Grüße \U0001F600 ").arg(i).repeated(1 + i % 7);
        lines << line << QString();
        expected += line.toUtf8() + "\r\n\r\n";
    }
    const QString file = m_dir.filePath(QStringLiteral("long.txt"));
    QVERIFY(!OpenHabGenerator::WriteFile(file, lines));
    QCOMPARE(readBytes(file), expected);
    QCOMPARE(OpenHabGenerator::ReadFile(file, false), lines);
}

void TestTextFiles::writeIntoMissingFolder()
{
    const QString file = m_dir.filePath(QStringLiteral("missing/x.txt"));
    const std::optional<FileError> error = OpenHabGenerator::WriteFile(file, {QStringLiteral("x")});
    QVERIFY(error);
    QCOMPARE(error->fileName, QDir::toNativeSeparators(file));
    QVERIFY(!error->reason.isEmpty());
    QVERIFY(error->text(builtIn).startsWith(QStringLiteral("Datei ")));
    QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("missing"))));
}

void TestTextFiles::failedWriteKeepsOldContent()
{
    // A folder standing where the file should go: the write fails and nothing in it is touched.
    const QString blocked = m_dir.filePath(QStringLiteral("blocked"));
    QVERIFY(writeBytes(blocked + QStringLiteral("/inside.txt"), "old\r\n"));
    QVERIFY(OpenHabGenerator::WriteFile(blocked, {QStringLiteral("new")}).has_value());
    QCOMPARE(readBytes(blocked + QStringLiteral("/inside.txt")), QByteArray("old\r\n"));

    // A read-only file is refused rather than replaced (root may write anyway, so only checked
    // for an ordinary user).
    const QString file = m_dir.filePath(QStringLiteral("readonly.txt"));
    QVERIFY(writeBytes(file, "old\r\n"));
    QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadUser));
    if (!QFileInfo(file).isWritable()) {
        QVERIFY(OpenHabGenerator::WriteFile(file, {QStringLiteral("new")}).has_value());
        QCOMPARE(readBytes(file), QByteArray("old\r\n"));
    }
    // No temporary file is left behind.
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("*readonly*")}, QDir::Files | QDir::Hidden),
             QStringList({QStringLiteral("readonly.txt")}));
}

void TestTextFiles::keyValue()
{
    const QStringList lines = {QStringLiteral("webserver.host= 10.0.0.5 "),
                               QStringLiteral("WEBSERVER.HOST=second"), QStringLiteral("#reboot=true")};
    QCOMPARE(OpenHabGenerator::KeyValue(lines, QStringLiteral("Webserver.Host")),
             QStringLiteral(" 10.0.0.5 "));
    QCOMPARE(OpenHabGenerator::KeyValue(lines, QStringLiteral("#reboot")), QStringLiteral("true"));
    QCOMPARE(OpenHabGenerator::KeyValue(lines, QStringLiteral("webserver.port")), QString());
}

QTEST_GUILESS_MAIN(TestTextFiles)
#include "tst_textfiles.moc"
