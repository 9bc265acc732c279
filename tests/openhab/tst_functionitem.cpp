#include "bus/busaddress.h"
#include "model/functionvocabulary.h"
#include "model/tlanguage.h"
#include "openhab/topenhab.h"
#include "programfolder.h"
#include "voiceword.h"

#include <QTemporaryDir>
#include <QTest>

// FillItem and ExtractItem: the conversion between a list row's texts and the typed values.
class TestFunctionItem : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fillItem_data();
    void fillItem();
    void extractItem_data();
    void extractItem();

private:
    QTemporaryDir m_dir;
    TLanguage m_language{m_dir.path()};
    TopenHab m_openHab{m_language, m_dir.path()};
};

void TestFunctionItem::fillItem_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("bus");
    QTest::addColumn<int>("cen");
    QTest::addColumn<QString>("caption");
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
}

void TestFunctionItem::fillItem()
{
    QFETCH(int, type);
    QFETCH(QString, label);
    QFETCH(QString, key);
    QFETCH(int, bus);
    QFETCH(int, cen);
    FunctionEntry entry;
    entry.key = QStringLiteral("old");
    m_openHab.FillItem(entry, type, label, QStringLiteral("01.12"), QStringLiteral("SWITCH_1"),
                       QStringLiteral("EG, OG"), FunctionEntry::Voice::Alexa, key, false, bus, cen);
    QCOMPARE(entry.kind, type);
    QTEST(entry.caption, "caption");
    QTEST(Vocabulary::AddressText(entry), "addressText");
    QTEST(Vocabulary::KeyText(entry), "keyText");
    QCOMPARE(entry.voice, FunctionEntry::Voice::Alexa);
    QCOMPARE(entry.groups, QStringLiteral("EG, OG"));
    QCOMPARE(entry.alias, QStringLiteral("SWITCH_1"));
    QVERIFY(!entry.reverse);
    QVERIFY(!entry.checked);

    const TItemValues values = m_openHab.ExtractItem(entry);
    QCOMPARE(values.kind, type);
    QCOMPARE(values.address, QStringLiteral("01.12"));
    QCOMPARE(values.bus, bus);
    QCOMPARE(values.cen, type == 3 ? cen : 0);
    QCOMPARE(values.key, type == 3 || type == 4 ? key : QString());
}

void TestFunctionItem::extractItem_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("voice");
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("reverse");
    QTest::addColumn<QString>("sAdr");
    QTest::addColumn<int>("iBus");
    QTest::addColumn<bool>("bAlexa");
    QTest::addColumn<bool>("bHome");
    QTest::addColumn<QString>("sCENKey");
    QTest::addColumn<int>("iCEN");
    QTest::addColumn<bool>("bReverse");
    QTest::newRow("plain") << " 01.12 "
                           << ""
                           << "SWITCH_1"
                           << ""
                           << "Nein"
                           << " 01.12 " << 0 << false << false << "" << 0 << false;
    QTest::newRow("bus trims") << " 01.12 (3)"
                               << "Alexa"
                               << "AUTO_2"
                               << ""
                               << "Nein"
                               << "01.12" << 3 << true << false << "" << 0 << false;
    QTest::newRow("bus not a digit") << "01.12 (x)"
                                     << "Siri/Home"
                                     << "AUTO_2"
                                     << ""
                                     << "Nein"
                                     << "01.12" << 0 << true << true << "" << 0 << false;
    QTest::newRow("voice Ja") << "00"
                              << "Ja"
                              << "SWITCH_1"
                              << ""
                              << "Nein"
                              << "00" << 0 << true << false << "" << 0 << false;
    QTest::newRow("reverse from alias, not text") << ""
                                                  << ""
                                                  << "GROUPX_4"
                                                  << ""
                                                  << "Nein"
                                                  << "" << 0 << false << false << "" << 0 << true;
    QTest::newRow("reverse text ignored") << ""
                                          << ""
                                          << "SWITCH_4"
                                          << ""
                                          << "Ja"
                                          << "" << 0 << false << false << "" << 0 << false;
    QTest::newRow("CEN+") << "01.15"
                          << ""
                          << "CEN_4"
                          << "01 (+)"
                          << "Nein"
                          << "01.15" << 0 << false << false << "01" << 1 << false;
    QTest::newRow("CEN++") << "01.15"
                           << ""
                           << "CEN_4"
                           << "7 (++)"
                           << "Nein"
                           << "01.15" << 0 << false << false << "7" << 2 << false;
    QTest::newRow("marker at first character ignored")
        << "01.15"
        << ""
        << "CEN_4"
        << "(+)"
        << "Nein"
        << "01.15" << 0 << false << false << "(+)" << 0 << false;
}

void TestFunctionItem::extractItem()
{
    FunctionEntry entry;
    entry.kind = 3;
    entry.caption = QStringLiteral("Label");
    QFETCH(QString, address);
    QFETCH(QString, voice);
    QFETCH(QString, alias);
    QFETCH(QString, key);
    QFETCH(QString, reverse);
    // The address and key as the list shows them, read back as from a CSV file.
    const Vocabulary::AddressWords readAddress = Vocabulary::ReadAddressText(address);
    entry.address = readAddress.address;
    entry.bus = readAddress.bus;
    const Vocabulary::KeyWords readKey = Vocabulary::ReadKeyText(key);
    // The table names the voice control as the list shows it in German.
    const QStringList voices = {QString(), QStringLiteral("Ja"), QStringLiteral("Alexa"),
                                QStringLiteral("Siri/Home")};
    entry.voice = FunctionEntry::Voice(voices.indexOf(voice));
    entry.alias = alias;
    entry.key = readKey.key;
    entry.cen = readKey.cen;
    entry.reverse = reverse == QStringLiteral("Ja");
    const TItemValues v = m_openHab.ExtractItem(entry);
    QCOMPARE(v.label, QStringLiteral("Label"));
    QTEST(v.address, "sAdr");
    QTEST(v.bus, "iBus");
    QTEST(v.voiceOn, "bAlexa");
    QTEST(v.homeVoice, "bHome");
    QTEST(v.key, "sCENKey");
    QTEST(v.cen, "iCEN");
    QTEST(v.reverse, "bReverse");
}

QTEST_GUILESS_MAIN(TestFunctionItem)
#include "tst_functionitem.moc"
