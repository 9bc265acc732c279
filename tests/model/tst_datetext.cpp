#include "model/datetext.h"

#include <QLocale>
#include <QTest>

// Dates follow the program's language through the default locale, and keep the whole year.
class TestDateText : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void followsTheLanguage_data();
    void followsTheLanguage();
};

void TestDateText::followsTheLanguage_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("seconds");
    QTest::addColumn<QString>("expected");
    QTest::newRow("German") << "de" << false << "14.11.2023 21:12";
    QTest::newRow("German, seconds") << "de" << true << "14.11.2023 21:12:05";
    QTest::newRow("English") << "en" << false << "11/14/2023 9:12\u202fPM";
}

void TestDateText::followsTheLanguage()
{
    QFETCH(QString, locale);
    QFETCH(bool, seconds);
    QFETCH(QString, expected);
    QLocale::setDefault(QLocale(locale));
    const QDateTime time(QDate(2023, 11, 14), QTime(21, 12, 5));
    const QString shown = readableDateTime(time, seconds ? WithSeconds::Yes : WithSeconds::No);
    // Locale data differ in the blank before AM/PM; the digits and their order are what matter.
    QCOMPARE(QString(shown).replace(QChar(0x202f), u' '), QString(expected).replace(QChar(0x202f), u' '));
}

QTEST_GUILESS_MAIN(TestDateText)
#include "tst_datetext.moc"
