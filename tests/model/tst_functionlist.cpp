#include "model/functionlist.h"

#include <QAbstractItemModelTester>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>

class TestFunctionList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void sortByLabel();
    void moveAndRemoveChecked();
    void checkStateOnLabelColumn();
    void stopAllBlindsShowsInWords();
    void voiceShowsInTheListsWords();

private:
    static void fill(FunctionList& list, const QStringList& labels);
    static QStringList labels(const FunctionList& list);
};

void TestFunctionList::fill(FunctionList& list, const QStringList& labels)
{
    for (const QString& label : labels) {
        FunctionEntry entry;
        entry.label = label;
        entry.alias = QStringLiteral("SWITCH_") + QString::number(list.count() + 1);
        list.append(entry);
    }
}

QStringList TestFunctionList::labels(const FunctionList& list)
{
    QStringList result;
    for (const FunctionEntry& entry : list.entries())
        result << entry.label;
    return result;
}

void TestFunctionList::sortByLabel()
{
    FunctionList list;
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::QtTest);
    fill(list, {QStringLiteral("Zimmer"), QStringLiteral("bad"), QStringLiteral("Äpfel"),
                QStringLiteral("Bad"), QStringLiteral("Küche")});
    list.sortByLabel();
    // Umlauts sort with their base letter; "bad" and "Bad" are tied but for letter case.
    const QStringList sorted = labels(list);
    QCOMPARE(sorted.first(), QStringLiteral("Äpfel"));
    QCOMPARE(sorted.mid(3), QStringList({QStringLiteral("Küche"), QStringLiteral("Zimmer")}));
    QVERIFY(sorted.mid(1, 2).contains(QStringLiteral("bad")) &&
            sorted.mid(1, 2).contains(QStringLiteral("Bad")));
}

void TestFunctionList::moveAndRemoveChecked()
{
    FunctionList list;
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::QtTest);
    fill(list, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    list.move(0, 2);
    QCOMPARE(labels(list), QStringList({QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("a")}));
    list.move(2, 1);
    QCOMPARE(labels(list), QStringList({QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("c")}));

    QVERIFY(!list.hasChecked());
    QCOMPARE(list.removeChecked(), 0);
    for (int row : {0, 1}) {
        FunctionEntry entry = list.at(row);
        entry.checked = true;
        list.replace(row, entry);
    }
    QCOMPARE(list.removeChecked(), 2);
    QCOMPARE(labels(list), QStringList({QStringLiteral("c")}));
}

void TestFunctionList::checkStateOnLabelColumn()
{
    FunctionList list;
    fill(list, {QStringLiteral("a")});
    QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
    QVERIFY(!list.setData(list.index(0, FunctionList::AddressColumn), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(list.setData(list.index(0, FunctionList::LabelColumn), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(list.at(0).checked);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(list.data(list.index(0, FunctionList::AliasColumn)).toString(), QStringLiteral("SWITCH_1"));
    QVERIFY(!(list.flags(list.index(0, FunctionList::KeyColumn)) & Qt::ItemIsUserCheckable));
}

QTEST_GUILESS_MAIN(TestFunctionList)
// The scene that stops every blind stores a token; people read words, and the row keeps the token.
void TestFunctionList::stopAllBlindsShowsInWords()
{
    FunctionList list;
    FunctionEntry stop;
    stop.kind = FunctionEntry::GroupScene;
    stop.groups = QStringLiteral("_STOP_");
    FunctionEntry light; // a switch in a group of that name shows the name
    light.groups = QStringLiteral("_STOP_");
    list.setEntries({stop, light});
    const auto shown = [&](int row) { return list.index(row, FunctionList::GroupsColumn).data().toString(); };
    QCOMPARE(shown(0), QStringLiteral("_STOP_"));

    QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
    list.setStopAllBlindsText(QStringLiteral("Alle Jalousien/Raffstore stoppen"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(shown(0), QStringLiteral("Alle Jalousien/Raffstore stoppen"));
    QCOMPARE(shown(1), QStringLiteral("_STOP_"));
    QCOMPARE(list.at(0).groups, QStringLiteral("_STOP_"));
}

// A row holds its voice control as a value; a change of language only rewords the column.
void TestFunctionList::voiceShowsInTheListsWords()
{
    FunctionList list;
    QList<FunctionEntry> rows(4);
    for (int voice = 0; voice < 4; ++voice)
        rows[voice].voice = FunctionEntry::Voice(voice);
    list.setEntries(rows);
    const auto shown = [&] {
        QStringList texts;
        for (int row = 0; row < list.count(); ++row)
            texts << list.index(row, FunctionList::VoiceColumn).data().toString();
        return texts;
    };
    list.setVoiceOnText(QStringLiteral("Ja"));
    QCOMPARE(shown(), QStringList({QString(), QStringLiteral("Ja"), QStringLiteral("Alexa"),
                                   QStringLiteral("Siri/Home")}));

    QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
    list.setVoiceOnText(QStringLiteral("Yes"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(shown().at(1), QStringLiteral("Yes"));
    QCOMPARE(list.entries(), rows);
}

#include "tst_functionlist.moc"
