#include "app/cliprompts.h"

#include <QBuffer>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Question = u"Wollen Sie die Konfiguration trotzdem senden?"_s;

} // namespace

class TestCliPrompts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void question_data();
    void question();
    void textPrompt_data();
    void textPrompt();
    void textsGoToStandardError();
};

void TestCliPrompts::question_data()
{
    QTest::addColumn<bool>("assumeYes");
    QTest::addColumn<bool>("terminal");
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QByteArray>("shown");

    const QByteArray asked = Question.toUtf8() + " [y/n] ";
    QTest::newRow("--yes, no terminal") << true << false << QByteArray() << true << asked + "y\n";
    // --yes does not wait for the terminal either.
    QTest::newRow("--yes, terminal") << true << true << QByteArray("n\n") << true << asked + "y\n";
    QTest::newRow("no terminal") << false << false << QByteArray() << false << asked + "n\n";
    QTest::newRow("y") << false << true << QByteArray("y\n") << true << asked;
    QTest::newRow("ja, blanks, CR LF") << false << true << QByteArray(" Ja \r\n") << true << asked;
    QTest::newRow("n") << false << true << QByteArray("n\n") << false << asked;
    QTest::newRow("nein") << false << true << QByteArray("NEIN\n") << false << asked;
    QTest::newRow("asked again until answered")
        << false << true << QByteArray("\nvielleicht\nj\n") << true << asked + asked + asked;
    QTest::newRow("end of input") << false << true << QByteArray("vielleicht\n") << false
                                  << asked + asked + "\n";
}

void TestCliPrompts::question()
{
    QFETCH(bool, assumeYes);
    QFETCH(bool, terminal);
    QFETCH(QByteArray, typed);
    QFETCH(bool, answer);
    QFETCH(QByteArray, shown);

    // confirm and errorYesNo ask alike.
    for (const bool bError : {false, true}) {
        QByteArray input = typed;
        QBuffer in(&input);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QBuffer err;
        QVERIFY(err.open(QIODevice::WriteOnly));
        TerminalPrompts prompts(err, terminal ? &in : nullptr, assumeYes);
        QCOMPARE(bError ? prompts.errorYesNo(Question) : prompts.confirm(Question), answer);
        QCOMPARE(err.data(), shown);
    }
}

void TestCliPrompts::textPrompt_data()
{
    QTest::addColumn<bool>("terminal");
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("value");

    QTest::newRow("typed") << true << QByteArray("VAR-0815\n") << true << u"VAR-0815"_s;
    QTest::newRow("empty line") << true << QByteArray("\n") << true << QString();
    QTest::newRow("end of input") << true << QByteArray() << false << u"alt"_s;
    QTest::newRow("no terminal") << false << QByteArray("VAR-0815\n") << false << u"alt"_s;
}

void TestCliPrompts::textPrompt()
{
    QFETCH(bool, terminal);
    QFETCH(QByteArray, typed);
    QFETCH(bool, ok);
    QFETCH(QString, value);

    QBuffer in(&typed);
    QVERIFY(in.open(QIODevice::ReadOnly));
    QBuffer err;
    QVERIFY(err.open(QIODevice::WriteOnly));
    TerminalPrompts prompts(err, terminal ? &in : nullptr, true);
    QString text = u"alt"_s;
    QCOMPARE(prompts.textPrompt(u"Suche IP-Adresse"_s, u"Seriennummer des Varuno:"_s, text), ok);
    QCOMPARE(text, value);
    QCOMPARE(err.data(), terminal ? QByteArray("Suche IP-Adresse\nSeriennummer des Varuno: ") : QByteArray());
}

void TestCliPrompts::textsGoToStandardError()
{
    QBuffer err;
    QVERIFY(err.open(QIODevice::WriteOnly));
    TerminalPrompts prompts(err, nullptr, false);
    prompts.error(u"Projekt bereits vorhanden"_s);
    prompts.information(u"IP-Adresse gefunden: 192.168.1.5"_s);
    QCOMPARE(err.data(), QByteArray("Projekt bereits vorhanden\nIP-Adresse gefunden: 192.168.1.5\n"));
    QCOMPARE(prompts.saveFileName(u"CSV speichern unter"_s, {}, u"*.csv"_s), QString());
}

QTEST_GUILESS_MAIN(TestCliPrompts)
#include "tst_cliprompts.moc"
