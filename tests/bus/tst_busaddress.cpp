#include "bus/busaddress.h"
#include "model/functionentry.h"
#include "model/language.h"

#include "../support/programfolder.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QString emptyAddress = u"Adresse darf nicht leer sein!"_s;
const QString invalidAddress = u"Adresse ungültig!"_s;
const QString pointRange = u"Adresse muss zwischen 0.1 und 10.15 liegen!"_s;
const QString areaRange = u"Bereich muss zwischen 0 und 10 liegen!"_s;
const QString groupRange = u"Gruppe muss zwischen 1 und 255 liegen!"_s;
const QString cenKeyRange = u"Szenarien-Taste muss zwischen 1 und 99 liegen!"_s;
const QString scenarioKeyRange = u"Szenarien-Taste muss zwischen 1 und 16 liegen!"_s;

} // namespace

class TestBusAddress : public QObject
{
    Q_OBJECT

private slots:
    void check_data();
    void check();
    void problemsAreWordedInTheChosenLanguage();
    void forms_data();
    void forms();
    void takeBus_data();
    void takeBus();

private:
    // No language.ini in the folder: every message comes in German.
    QTemporaryDir m_emptyConfig;
    Language m_german{m_emptyConfig.path()};
};

void TestBusAddress::check_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("addressKind");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("pl");

    const auto ok = [](const char* name, const QString& typed, int addressKind, const QString& a,
                       const QString& pl = {}) {
        QTest::newRow(name) << typed << QString() << 0 << addressKind << QString() << a << pl;
    };
    const auto fails = [](const char* name, const QString& typed, int addressKind, const QString& error) {
        QTest::newRow(name) << typed << QString() << 0 << addressKind << error << QString() << QString();
    };

    // Point-to-point: the first dot is dropped and the digit count decides the split.
    ok("1.12", u"1.12"_s, 0, u"01"_s, u"12"_s);
    ok("112", u"112"_s, 0, u"01"_s, u"12"_s);
    ok("1.1", u"1.1"_s, 0, u"1"_s, u"1"_s);
    ok("1.05 is room 10", u"1.05"_s, 0, u"10"_s, u"05"_s);
    ok("10.15", u"10.15"_s, 0, u"10"_s, u"15"_s);
    ok("0.5", u"0.5"_s, 0, u"0"_s, u"5"_s);
    ok("0.05", u"0.05"_s, 0, u"00"_s, u"05"_s);
    ok("1.0 allows light point 0", u"1.0"_s, 0, u"1"_s, u"0"_s);
    ok("10.0", u"10.0"_s, 0, u"10"_s, u"00"_s);
    ok("blanks around and between", u" 1 . 5 "_s, 0, u"1"_s, u"5"_s);
    ok("control characters at the ends", u"\t1.5\r\n"_s, 0, u"1"_s, u"5"_s);
    fails("10.16", u"10.16"_s, 0, pointRange);
    fails("0.0 needs a light point", u"0.0"_s, 0, pointRange);
    fails("one digit cannot be split", u"5"_s, 0, pointRange);
    fails("five digits", u"13579"_s, 0, pointRange);
    fails("second dot", u"1.2.3"_s, 0, invalidAddress);
    fails("letters", u"abc"_s, 0, invalidAddress);
    fails("empty", QString(), 0, emptyAddress);
    fails("only blanks", u"   "_s, 0, invalidAddress);
    fails("signed point-to-point", u"+1.12"_s, 0, invalidAddress);
    fails("negative point-to-point", u"-0.12"_s, 0, invalidAddress);

    // Area: stored as typed, except the two values the bus writes with an extra digit.
    ok("area 0", u"0"_s, 1, u"00"_s);
    ok("area 10", u"10"_s, 1, u"100"_s);
    ok("area 1.0 drops the dot", u"1.0"_s, 1, u"100"_s);
    ok("area 5", u"5"_s, 1, u"5"_s);
    ok("area 05 kept", u"05"_s, 1, u"05"_s);
    // Longer texts with leading zeros would be point-to-point addresses on the bus.
    ok("area 005 by value", u"005"_s, 1, u"5"_s);
    ok("area 010 by value", u"010"_s, 1, u"100"_s);
    ok("area 000 by value", u"000"_s, 1, u"00"_s);
    ok("area 0007 by value", u"0007"_s, 1, u"7"_s);
    fails("area 11", u"11"_s, 1, areaRange);
    fails("area -1 is no number", u"-1"_s, 1, invalidAddress);
    fails("area -5 out of range", u"-5"_s, 1, areaRange);
    fails("area with sign", u"+5"_s, 1, invalidAddress);
    fails("area beyond 32 bits", u"4294967306"_s, 1, invalidAddress);
    fails("area in hex", u"0x5"_s, 1, invalidAddress);

    // Group.
    ok("group 1", u"1"_s, 2, u"#1"_s);
    ok("group 255", u"255"_s, 2, u"#255"_s);
    ok("group 012 kept", u"012"_s, 2, u"#012"_s);
    fails("group 0", u"0"_s, 2, groupRange);
    fails("group 256", u"256"_s, 2, groupRange);
    fails("group typed with #", u"#5"_s, 2, invalidAddress);
    fails("group with sign", u"+12"_s, 2, invalidAddress);

    // General: the text is not even looked at.
    ok("general, empty", QString(), 3, u"0"_s);
    ok("general, garbage", u"abc"_s, 3, u"0"_s);
    QTest::newRow("general ignores the key")
        << u"x"_s << QString() << 3 << 3 << QString() << u"0"_s << QString();

    // Other kinds follow the same address rules; an individual scene has no address at all.
    QTest::newRow("blind") << u"1.12"_s << QString() << 2 << 0 << QString() << u"01"_s << u"12"_s;
    QTest::newRow("blind, general") << u"x"_s << QString() << 2 << 3 << QString() << u"0"_s << QString();
    QTest::newRow("individual scene")
        << u"abc"_s << QString() << 5 << 0 << QString() << QString() << QString();

    // Keys of CEN scenes (1 to 99) and scenario modules (1 to 16).
    const auto key = [](const char* name, int kind, const QString& key, const QString& error) {
        QTest::newRow(name) << u"1.12"_s << key << kind << 0 << error << u"01"_s << u"12"_s;
    };
    key("cen key 1", 3, u"1"_s, {});
    key("cen key 99", 3, u"99"_s, {});
    key("cen key 07", 3, u"07"_s, {});
    key("cen key 100", 3, u"100"_s, cenKeyRange);
    key("cen key 0", 3, u"0"_s, cenKeyRange);
    key("cen key empty", 3, QString(), cenKeyRange);
    key("cen key letters", 3, u"x"_s, cenKeyRange);
    key("cen key signed", 3, u"+7"_s, cenKeyRange);
    key("scenario key 16", 4, u"16"_s, {});
    key("scenario key 17", 4, u"17"_s, scenarioKeyRange);
    key("scenario key empty", 4, QString(), scenarioKeyRange);
    key("light ignores the key", 0, QString(), {});
    QTest::newRow("address reported before key")
        << u"11"_s << u"0"_s << 3 << 1 << areaRange << QString() << QString();
}

void TestBusAddress::check()
{
    QFETCH(QString, typed);
    QFETCH(QString, key);
    QFETCH(int, kind);
    QFETCH(int, addressKind);
    QFETCH(QString, error);
    QFETCH(QString, a);
    QFETCH(QString, pl);

    const Result<QString> stored = BusAddress::check(typed, key, kind, AddressKind(addressKind));
    QCOMPARE(stored ? QString() : stored.problem().text(m_german), error);
    if (error.isEmpty())
        QCOMPARE(*stored, pl.isEmpty() ? a : a + u'.' + pl);
}

void TestBusAddress::problemsAreWordedInTheChosenLanguage()
{
    QTemporaryDir config;
    QVERIFY(writeBytes(config.filePath(u"language.ini"_s),
                       "[Deutsch]\r\nM.14=Adresse muss zwischen $1 und $2 liegen!\r\n"
                       "[English]\r\nM.14=Address must be between $1 and $2!\r\n"));
    Language english(config.path());
    english.LoadLanguage(u"English"_s);

    const auto problem = [](const QString& typed) {
        return BusAddress::check(typed, {}, FunctionEntry::Switch, AddressKind::PointToPoint).problem();
    };
    QCOMPARE(problem(u"10.16"_s).text(english), u"Address must be between 0.1 and 10.15!"_s);
    // A message the catalogue lacks falls back to German.
    QCOMPARE(problem(u"abc"_s).text(english), invalidAddress);
}

void TestBusAddress::forms_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("addressKind");
    QTest::addColumn<QString>("edit");

    const auto row = [](const QString& input, const QString& stored, int addressKind, const QString& edit) {
        QTest::newRow(qUtf8Printable(u'"' + input + u'"')) << input << 0 << stored << addressKind << edit;
    };
    row(u"0112"_s, u"01.12"_s, 0, u"1.12"_s);
    row(u"11"_s, u"1.1"_s, 0, u"1.1"_s);
    row(u"1005"_s, u"10.05"_s, 0, u"10.5"_s);
    row(u"0005"_s, u"00.05"_s, 0, u"0.5"_s);
    row(u"01.12"_s, u"01.12"_s, 0, u"1.12"_s);
    row(u"#12"_s, u"#12"_s, 2, u"12"_s);
    row(u"0"_s, u"0"_s, 3, u"0"_s);
    row(u"00"_s, u"00"_s, 1, u"0"_s);
    row(u"100"_s, u"100"_s, 1, u"10"_s);
    row(u"5"_s, u"5"_s, 1, u"5"_s);
    row(u"05"_s, u"0.5"_s, 0, u"0.5"_s);
    row(u"13579"_s, u"13579"_s, 0, u"13579"_s);
    row(QString(), QString(), 0, QString());
    QTest::newRow("individual scene") << u"0112"_s << 5 << QString() << 0 << QString();
    QTest::newRow("dimmer") << u"0112"_s << 1 << u"01.12"_s << 0 << u"1.12"_s;
}

void TestBusAddress::forms()
{
    QFETCH(QString, input);
    QFETCH(int, kind);

    const BusAddress::Form stored = BusAddress::storedForm(input, kind);
    QTEST(stored.text, "stored");
    QTEST(int(stored.kind), "addressKind");
    const BusAddress::Form edit = BusAddress::editForm(input, kind);
    QTEST(edit.text, "edit");
    QTEST(int(edit.kind), "addressKind");
}

void TestBusAddress::takeBus_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("bus");
    QTest::addColumn<QString>("rest");

    QTest::newRow("point on local bus 3") << u"0112#4#03"_s << 3 << u"0112"_s;
    QTest::newRow("group on local bus 1") << u"#5#4#01"_s << 1 << u"#5"_s;
    QTest::newRow("private riser") << u"12"_s << 0 << u"12"_s;
    QTest::newRow("suffix at the start") << u"#4#01"_s << 0 << u"#4#01"_s;
    QTest::newRow("no digit") << u"12#4#0"_s << 0 << u"12#4#0"_s;
    QTest::newRow("letter instead of digit") << u"12#4#0x"_s << 0 << u"12#4#0x"_s;
    QTest::newRow("bus digit 0") << u"12#4#00"_s << 0 << u"12"_s;
    QTest::newRow("two suffixes: the last counts") << u"1#4#08#4#01"_s << 1 << u"1#4#08"_s;
    QTest::newRow("the last without a digit") << u"1#4#08#4#0x"_s << 0 << u"1#4#08#4#0x"_s;
}

void TestBusAddress::takeBus()
{
    QFETCH(QString, input);

    QString address = input;
    QTEST(BusAddress::takeBus(address), "bus");
    QTEST(address, "rest");
}

QTEST_GUILESS_MAIN(TestBusAddress)
#include "tst_busaddress.moc"
