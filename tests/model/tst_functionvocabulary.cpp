#include "model/functionlist.h"
#include "model/functionvocabulary.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

FunctionEntry row(int kind, const QString& alias, bool reverse = false)
{
    FunctionEntry entry;
    entry.kind = kind;
    entry.alias = alias;
    entry.reverse = reverse;
    return entry;
}

} // namespace

class TstFunctionVocabulary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aliasesFollowKindAndPlace();
    void onlyChangedRowsAreReplaced();
    void wordsReadBack_data();
    void wordsReadBack();
};

void TstFunctionVocabulary::aliasesFollowKindAndPlace()
{
    // A scene reverses only when its reverse text is the language's "Ja"; a kind the program does
    // not know is numbered as a switch.
    QList<FunctionEntry> rows{
        row(FunctionEntry::Switch, u"SWITCH_9"_s),        row(FunctionEntry::Dimmer, QString()),
        row(FunctionEntry::Automation, QString()),        row(FunctionEntry::CenScene, QString()),
        row(FunctionEntry::ScenarioModule, QString()),    row(FunctionEntry::GroupScene, QString()),
        row(FunctionEntry::GroupScene, QString(), false), row(FunctionEntry::GroupScene, QString(), true),
        row(FunctionEntry::Switch, QString(), true),      row(FunctionEntry::KindCount, QString())};
    Vocabulary::RenumberAliases(rows);
    QStringList aliases;
    for (const FunctionEntry& entry : rows)
        aliases << entry.alias;
    QCOMPARE(aliases,
             QStringList({u"SWITCH_1"_s, u"DIMMER_2"_s, u"AUTO_3"_s, u"CEN_4"_s, u"SCENE_5"_s, u"GROUP_6"_s,
                          u"GROUP_7"_s, u"GROUPX_8"_s, u"SWITCH_9"_s, u"SWITCH_10"_s}));
}

void TstFunctionVocabulary::onlyChangedRowsAreReplaced()
{
    FunctionList list;
    list.setEntries({row(FunctionEntry::Switch, u"SWITCH_1"_s), row(FunctionEntry::Dimmer, u"DIMMER_3"_s),
                     row(FunctionEntry::GroupScene, u"GROUPX_3"_s, true)});
    QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
    Vocabulary::RenumberAliases(list);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toModelIndex().row(), 1);
    QCOMPARE(list.at(1).alias, u"DIMMER_2"_s);
    QCOMPARE(list.at(2).alias, u"GROUPX_3"_s);
}

void TstFunctionVocabulary::wordsReadBack_data()
{
    QTest::addColumn<QString>("addressText");
    QTest::addColumn<QString>("keyText");
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("bus");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("cen");
    QTest::newRow("plain") << " 01.12 "
                           << ""
                           << " 01.12 " << 0 << "" << 0;
    QTest::newRow("bus trims") << " 01.12 (3)"
                               << ""
                               << "01.12" << 3 << "" << 0;
    QTest::newRow("bus not a digit") << "01.12 (x)"
                                     << ""
                                     << "01.12" << 0 << "" << 0;
    QTest::newRow("CEN+") << "01.15"
                          << "01 (+)"
                          << "01.15" << 0 << "01" << 1;
    QTest::newRow("CEN++") << "01.15"
                           << "7 (++)"
                           << "01.15" << 0 << "7" << 2;
    QTest::newRow("marker at first character ignored") << "01.15"
                                                       << "(+)"
                                                       << "01.15" << 0 << "(+)" << 0;
}

// The words that AddressText and KeyText write, as a CSV import reads them back.
void TstFunctionVocabulary::wordsReadBack()
{
    QFETCH(QString, addressText);
    QFETCH(QString, keyText);
    const Vocabulary::AddressWords address = Vocabulary::ReadAddressText(addressText);
    QTEST(address.address, "address");
    QTEST(address.bus, "bus");
    const Vocabulary::KeyWords key = Vocabulary::ReadKeyText(keyText);
    QTEST(key.key, "key");
    QTEST(key.cen, "cen");
}

QTEST_GUILESS_MAIN(TstFunctionVocabulary)
#include "tst_functionvocabulary.moc"
