#include "link/transfertext.h"
#include "programfolder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestTransferText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readTransferText_data();
    void readTransferText();
    void readMissingFileRaises();
    void writeReceivedText_data();
    void writeReceivedText();
    void writeReceivedTextReportsFailure();
    void roundTrip_data();
    void roundTrip();

private:
    QString path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }
    QTemporaryDir m_dir;
};

void TestTransferText::readTransferText_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("restart flag left out, other flags sent")
        << QByteArray("#reboot=true\r\n#hmac=true\r\n#settime=true\r\nwebserver.host=10.0.0.5\r\n")
        << QByteArray("#hmac=true\r\n#settime=true\r\nwebserver.host=10.0.0.5");
    QTest::newRow("every #reboot line left out")
        << QByteArray("a\r\n#rebooted\r\n#reboot\r\nb\r\n") << QByteArray("a\r\nb");
    QTest::newRow("#Reboot is another line") << QByteArray("#Reboot=true\r\n") << QByteArray("#Reboot=true");
    QTest::newRow("leading empty lines dropped") << QByteArray("\r\n\r\nA\r\n") << QByteArray("A");
    QTest::newRow("inner empty line kept") << QByteArray("A\r\n\r\nB\r\n") << QByteArray("A\r\n\r\nB");
    QTest::newRow("LF and CR line breaks") << QByteArray("A\nB\rC") << QByteArray("A\r\nB\r\nC");
    QTest::newRow("BOM skipped") << QByteArray("\xEF\xBB\xBF") + "A\r\n" << QByteArray("A");
    QTest::newRow("empty file") << QByteArray() << QByteArray();
    QTest::newRow("Küche") << QByteArray("Küche") << QByteArray("\x4B\xC3\xBC\x63\x68\x65");
    QTest::newRow("the seven umlauts")
        << QByteArray("äÄöÖüÜß") << QByteArray("\xC3\xA4\xC3\x84\xC3\xB6\xC3\x96\xC3\xBC\xC3\x9C\xC3\x9F");
    QTest::newRow("Café as UTF-8") << QByteArray("Café") << QByteArray("Caf\xC3\xA9");
    QTest::newRow("euro and ł as UTF-8") << QByteArray("€ ł") << QByteArray("\xE2\x82\xAC \xC5\x82");
    QTest::newRow("malformed UTF-8 becomes U+FFFD")
        << QByteArray("Caf\xE9\r\n") << QByteArray("Caf\xEF\xBF\xBD");
}

void TestTransferText::readTransferText()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, sent);
    QVERIFY(writeBytes(path("send.cfg"), file));
    QCOMPARE(ReadTransferText(path("send.cfg")), sent);
}

void TestTransferText::readMissingFileRaises()
{
    QVERIFY_THROWS_EXCEPTION(FileReadError, ReadTransferText(path("missing.items")));
}

void TestTransferText::writeReceivedText_data()
{
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("CR LF") << QByteArray("x\r\ny\r\n") << QByteArray("x\r\ny\r\n");
    QTest::newRow("LF LF keeps the empty line") << QByteArray("x\n\ny") << QByteArray("x\r\n\r\ny\r\n");
    QTest::newRow("last line without LF") << QByteArray("x\r\ny") << QByteArray("x\r\ny\r\n");
    QTest::newRow("CR bytes dropped anywhere") << QByteArray("a\rb\r\n\r") << QByteArray("ab\r\n");
    QTest::newRow("empty text") << QByteArray() << QByteArray();
    QTest::newRow("only a line break") << QByteArray("\n") << QByteArray("\r\n");
    QTest::newRow("UTF-8 decoded") << QByteArray("Küche €") << QByteArray("Küche €\r\n");
    QTest::newRow("malformed UTF-8 becomes U+FFFD")
        << QByteArray("Caf\xE9\n") << QByteArray("Caf\xEF\xBF\xBD\r\n");
    QTest::newRow("sequence cut by a line break")
        << QByteArray("a\xC3\nb\xC3") << QByteArray("a\xEF\xBF\xBD\r\nb\xEF\xBF\xBD\r\n");
    QTest::newRow("CR inside a sequence dropped") << QByteArray("\xC3\r\xA4") << QByteArray("\xC3\xA4\r\n");
    QTest::newRow("byte-order mark kept") << QByteArray("\xEF\xBB\xBFx") << QByteArray("\xEF\xBB\xBFx\r\n");
    // The text is converted in pieces of a mebibyte: a character or a CR LF across the cut stays whole.
    const QByteArray mebibyte(1024 * 1024 - 1, 'a');
    QTest::newRow("character across pieces") << mebibyte + "\xC3\xA4\n" << mebibyte + "\xC3\xA4\r\n";
    QTest::newRow("CR LF across pieces") << mebibyte + "\r\nb" << mebibyte + "\r\nb\r\n";
    // Overlong forms, surrogates, values beyond U+10FFFF, bytes that start nothing and cut sequences
    // are replaced as Qt's own decoder replaces them.
    const QByteArray malformed = "\xC0\xAF \xED\xA0\x80 \xF4\x90\x80\x80 \xF5 \x80 \xE2\x82x \xF0\x9F\x92";
    QTest::newRow("malformed sequences") << malformed << QString::fromUtf8(malformed).toUtf8() + "\r\n";
    // Megabytes without a single ASCII byte, with sequences cut by every piece boundary.
    const QByteArray noAscii = QByteArray("\xE2\x82\xAC\xFF\xFE").repeated(700'000);
    QTest::newRow("no ASCII across pieces") << noAscii << QString::fromUtf8(noAscii).toUtf8() + "\r\n";
    QTest::newRow("only line breaks")
        << QByteArray(3 * 1024 * 1024, '\n') << QByteArray(3 * 1024 * 1024, '\n').replace("\n", "\r\n");
}

void TestTransferText::writeReceivedText()
{
    QFETCH(QByteArray, received);
    QFETCH(QByteArray, file);
    QVERIFY(writeBytes(path("received.items"), "old content\r\n"));
    QCOMPARE(WriteReceivedText(path("received.items"), received), std::nullopt);
    QCOMPARE(readBytes(path("received.items")), file);
}

void TestTransferText::writeReceivedTextReportsFailure()
{
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("folder.items")));
    const std::optional<FileError> error = WriteReceivedText(path("folder.items"), "x");
    QVERIFY(error);
    QCOMPARE(error->fileName, QDir::toNativeSeparators(path("folder.items")));
}

// What a send stores comes back as the same file from a receive, whatever the characters.
void TestTransferText::roundTrip_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("items") << QByteArray(
        "Switch SWITCH_1 \"Küche\" {bticino=\"where=0112\"}\r\nSwitch SWITCH_2 \"Café € ł 💡\"\r\n");
    QTest::newRow("inner empty lines") << QByteArray("rule \"x\"\r\n\r\n\r\nend\r\n");
    QTest::newRow("single line") << QByteArray("x\r\n");
}

void TestTransferText::roundTrip()
{
    QFETCH(QByteArray, file);
    QVERIFY(writeBytes(path("original"), file));
    QCOMPARE(WriteReceivedText(path("copy"), ReadTransferText(path("original"))), std::nullopt);
    QCOMPARE(readBytes(path("copy")), file);
}

QTEST_GUILESS_MAIN(TestTransferText)
#include "tst_transfertext.moc"
