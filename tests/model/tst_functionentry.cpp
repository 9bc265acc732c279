#include "model/functionentry.h"
#include "model/functionvocabulary.h"

#include <QTest>

// A row as the program keeps it, whoever filled it in.
class TstFunctionEntry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void normalized_data();
    void normalized();
};

void TstFunctionEntry::normalized_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("bus");
    QTest::addColumn<int>("cen");
    QTest::addColumn<QString>("storedLabel");
    QTest::addColumn<QString>("addressText");
    QTest::addColumn<QString>("keyText");
    QTest::newRow("CEN+ short on bus 2") << 3 << "Bad"
                                         << "5" << 2 << 1 << "Bad"
                                         << "01.12 (2)"
                                         << "5 (+)";
    QTest::newRow("CEN+ long") << 3 << "Bad"
                               << "5" << 0 << 2 << "Bad"
                               << "01.12"
                               << "5 (++)";
    QTest::newRow("CEN") << 3 << "Bad"
                         << "05" << 0 << 0 << "Bad"
                         << "01.12"
                         << "05";
    QTest::newRow("CEN of an unknown variant") << 3 << "Bad"
                                               << "05" << 0 << 3 << "Bad"
                                               << "01.12"
                                               << "";
    QTest::newRow("switch drops key") << 0 << "Licht"
                                      << "7" << 0 << 1 << "Licht"
                                      << "01.12"
                                      << "";
    QTest::newRow("scenario keeps key") << 4 << "Szene"
                                        << "7" << 0 << 1 << "Szene"
                                        << "01.12"
                                        << "7";
    QTest::newRow("temperature format removed") << 0 << "Küche %.1f C %.1f C"
                                                << "" << 0 << 0 << "Küche"
                                                << "01.12"
                                                << "";
    // Removing the format once can join its neighbours into a new one.
    QTest::newRow("temperature format nested") << 0 << "a %.1f %.1f C C"
                                               << "" << 0 << 0 << "a"
                                               << "01.12"
                                               << "";
    QTest::newRow("temperature format only") << 0 << " %.1 %.1f Cf C"
                                             << "" << 0 << 0 << ""
                                             << "01.12"
                                             << "";
    QTest::newRow("bus 12 written in full") << 0 << "x"
                                            << "" << 12 << 0 << "x"
                                            << "01.12 (12)"
                                            << "";
    QTest::newRow("no bus below 1") << 0 << "x"
                                    << "" << -3 << 0 << "x"
                                    << "01.12"
                                    << "";
    QTest::newRow("scene") << 5 << "Alles"
                           << "7" << 0 << 0 << "Alles"
                           << "01.12"
                           << "";
}

void TstFunctionEntry::normalized()
{
    QFETCH(int, kind);
    QFETCH(QString, label);
    QFETCH(QString, key);
    QFETCH(int, bus);
    QFETCH(int, cen);
    const FunctionEntry entry = FunctionEntry{.label = label,
                                              .address = QStringLiteral("01.12"),
                                              .groups = QStringLiteral("EG, OG"),
                                              .alias = QStringLiteral("SWITCH_1"),
                                              .key = key,
                                              .kind = kind,
                                              .bus = bus,
                                              .cen = cen,
                                              .voice = FunctionEntry::Voice::Alexa,
                                              .reverse = true,
                                              .checked = true}
                                    .normalized();
    QCOMPARE(entry.kind, kind);
    QTEST(entry.label, "storedLabel");
    QTEST(Vocabulary::AddressText(entry), "addressText");
    QTEST(Vocabulary::KeyText(entry), "keyText");
    QCOMPARE(entry.cen, kind == FunctionEntry::CenScene && cen <= 2 ? cen : 0);
    QCOMPARE(entry.reverse, kind == FunctionEntry::GroupScene);
    // What the rules do not touch stays.
    QCOMPARE(entry.address, QStringLiteral("01.12"));
    QCOMPARE(entry.voice, FunctionEntry::Voice::Alexa);
    QCOMPARE(entry.groups, QStringLiteral("EG, OG"));
    QCOMPARE(entry.alias, QStringLiteral("SWITCH_1"));
    QVERIFY(entry.checked);
}

QTEST_GUILESS_MAIN(TstFunctionEntry)
#include "tst_functionentry.moc"
