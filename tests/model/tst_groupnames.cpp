#include "model/groupnames.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestGroupNames : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void renameInRows_data();
    void renameInRows();
};

void TestGroupNames::renameInRows_data()
{
    QTest::addColumn<QStringList>("groups");
    QTest::addColumn<QString>("oldName");
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");

    const QStringList rows = {u"EG, Licht"_s, u"eg"_s, u"Licht, EGx"_s};
    QTest::newRow("rename, any case when unambiguous")
        << QStringList{u"EG"_s, u"Licht"_s} << u"eg"_s << u"OG"_s << rows
        << QStringList{u"OG, Licht"_s, u"OG"_s, u"Licht, EGx"_s};
    QTest::newRow("rename one of two case variants")
        << QStringList{u"EG"_s, u"eg"_s, u"Licht"_s} << u"eg"_s << u"OG"_s << rows
        << QStringList{u"EG, Licht"_s, u"OG"_s, u"Licht, EGx"_s};
    QTest::newRow("delete one of two case variants")
        << QStringList{u"EG"_s, u"eg"_s, u"Licht"_s} << u"EG"_s << QString() << rows
        << QStringList{u"Licht"_s, u"eg"_s, u"Licht, EGx"_s};
}

void TestGroupNames::renameInRows()
{
    QFETCH(QStringList, groups);
    QFETCH(QString, oldName);
    QFETCH(QString, newName);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);

    QList<FunctionEntry> rows;
    for (const QString& text : before) {
        FunctionEntry row;
        row.groups = text;
        rows << row;
    }
    RenameGroupInRows(rows, oldName, newName, groups);
    QStringList result;
    for (const FunctionEntry& row : rows)
        result << row.groups;
    QCOMPARE(result, after);
}

QTEST_GUILESS_MAIN(TestGroupNames)
#include "tst_groupnames.moc"
