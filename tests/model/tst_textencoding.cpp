#include "model/textencoding.h"

#include <QTest>

class TestTextEncoding : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstNonUtf8Line_data();
    void firstNonUtf8Line();
};

void TestTextEncoding::firstNonUtf8Line_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line"); // 0: all text

    const QByteArray eight = "Switch A";
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("ASCII and umlauts") << QByteArray(eight + "\r\nK\xc3\xbc"
                                                             "che \xe2\x82\xac \xf0\x9f\x92\xa1\n")
                                       << 0;
    QTest::newRow("with byte-order mark") << QByteArray("\xef\xbb\xbf" + eight) << 0;
    QTest::newRow("Latin-1 after CR LF") << QByteArray(eight + "\r\n" + eight +
                                                       "\r\nK\xfc"
                                                       "che")
                                         << 3;
    QTest::newRow("lines ended by CR and LF") << QByteArray("a\rb\nc\r\r\nd\xe4") << 5;
    QTest::newRow("CR right before the fault") << QByteArray(eight + '\r' + '\xff') << 2;
    QTest::newRow("NUL in a word of eight") << QByteArray("Swi\0ch A", 8) << 1;
    QTest::newRow("NUL at the end") << QByteArray(eight + eight + '\0') << 1;
    // Where eight bytes at a time end and one byte at a time begins.
    for (int at : {7, 8, 9, 15, 16, 17})
        QTest::addRow("Latin-1 at byte %d", at) << QByteArray(QByteArray(at, 'x') + '\xe9' + eight) << 1;
    QTest::newRow("sequence cut at the end") << QByteArray(eight + "\xc3") << 1;
    QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << 1;
    QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << 1;
    QTest::newRow("beyond U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << 1;
    QTest::newRow("UTF-16") << QByteArray("\xff\xfeS\0w\0", 6) << 1;
}

void TestTextEncoding::firstNonUtf8Line()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, line);
    QCOMPARE(TextEncoding::firstNonUtf8Line(bytes).value_or(0), qsizetype(line));
}

QTEST_GUILESS_MAIN(TestTextEncoding)
#include "tst_textencoding.moc"
