#include "model/functionlist.h"
#include "ui/functionlistview.h"
#include "ui/kindgroupmodel.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

namespace {

FunctionEntry entry(const QString& caption, int kind)
{
    FunctionEntry result;
    result.label = caption;
    result.address = QStringLiteral("01.12");
    result.kind = kind;
    return result;
}

// Rows of kinds 2, 0, 2, 5, 0: groups 0, 2 and 5 have rows, 1, 3 and 4 none.
QList<FunctionEntry> mixedRows()
{
    return {entry(QStringLiteral("Jalousie"), 2), entry(QStringLiteral("Licht"), 0),
            entry(QStringLiteral("Markise"), 2), entry(QStringLiteral("Kino"), 5),
            entry(QStringLiteral("Flur"), 0)};
}

// The view's content as text: group headers as "[header]", rows by label, in display order.
QStringList shown(const QAbstractItemModel& model)
{
    QStringList result;
    for (int top = 0; top < model.rowCount(); ++top) {
        const QModelIndex index = model.index(top, 0);
        if (!model.hasChildren(index)) {
            result << index.data().toString();
            continue;
        }
        result << QLatin1Char('[') + index.data().toString() + QLatin1Char(']');
        for (int row = 0; row < model.rowCount(index); ++row)
            result << model.index(row, 0, index).data().toString();
    }
    return result;
}

} // namespace

class TestFunctionListView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void groupViewShowsTheKindsWithRows();
    void flatViewShowsStoredOrder();
    void headersFollowTheCatalogue();
    void changesOfTheListRegroup();
    void checkBoxWritesTheList();
    void groupHeadersAreNeitherSelectableNorCheckable();
    void doubleClickOpensOnlyRows_data();
    void doubleClickOpensOnlyRows();
    void keyboardGoesFromFunctionToFunction_data();
    void keyboardGoesFromFunctionToFunction();

private:
    std::unique_ptr<FunctionList> m_list;
    std::unique_ptr<FunctionListView> m_view;
    // Every change of the list is checked against the model rules, in the list and in the grouping
    // proxy in front of it.
    std::unique_ptr<QAbstractItemModelTester> m_listTester;
    std::unique_ptr<QAbstractItemModelTester> m_groupTester;
};

void TestFunctionListView::init()
{
    m_groupTester.reset();
    m_listTester.reset();
    m_view.reset();
    m_list = std::make_unique<FunctionList>();
    m_listTester = std::make_unique<QAbstractItemModelTester>(
        m_list.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_list->setEntries(mixedRows());
    m_view = std::make_unique<FunctionListView>(*m_list);
    m_groupTester = std::make_unique<QAbstractItemModelTester>(
        m_view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
}

void TestFunctionListView::groupViewShowsTheKindsWithRows()
{
    QVERIFY(m_view->groupView());
    QCOMPARE(shown(*m_view->model()),
             (QStringList{"[Lichter/Schalter]", "Licht", "Flur", "[Raffstore/Jalousien/Automation]",
                          "Jalousie", "Markise", "[individuelle Szenen]", "Kino"}));
    const QModelIndex kino = m_view->model()->index(0, 0, m_view->model()->index(2, 0));
    QVERIFY(!kino.data(Qt::DecorationRole).value<QIcon>().isNull());
    QCOMPARE(kino.data(FunctionList::KindRole).toInt(), 5);
}

void TestFunctionListView::flatViewShowsStoredOrder()
{
    m_view->setGroupView(false);
    QCOMPARE(shown(*m_view->model()), (QStringList{"Jalousie", "Licht", "Markise", "Kino", "Flur"}));
    m_view->setGroupView(true);
    QCOMPARE(m_view->model()->rowCount(), 3);
}

void TestFunctionListView::headersFollowTheCatalogue()
{
    QStringList headers = m_view->property("groupHeaders").toStringList();
    QCOMPARE(headers.size(), FunctionEntry::KindCount);
    headers[0] = QStringLiteral("Lights");
    QVERIFY(m_view->setProperty("groupHeaders", headers));
    QCOMPARE(m_view->model()->index(0, 0).data().toString(), QStringLiteral("Lights"));
}

void TestFunctionListView::changesOfTheListRegroup()
{
    m_list->append(entry(QStringLiteral("Dimmer Bad"), 1));
    m_list->replace(3, entry(QStringLiteral("Kino"), 0));
    m_list->removeAt(0);
    QCOMPARE(shown(*m_view->model()),
             (QStringList{"[Lichter/Schalter]", "Licht", "Kino", "Flur", "[Dimmer]", "Dimmer Bad",
                          "[Raffstore/Jalousien/Automation]", "Markise"}));
    // Every group stays open, and its header spans the row.
    for (int top = 0; top < m_view->model()->rowCount(); ++top) {
        QVERIFY(m_view->isExpanded(m_view->model()->index(top, 0)));
        QVERIFY(m_view->isFirstColumnSpanned(top, {}));
    }
    m_list->clear();
    QCOMPARE(m_view->model()->rowCount(), 0);
}

void TestFunctionListView::checkBoxWritesTheList()
{
    QAbstractItemModel& model = *m_view->model();
    const QModelIndex flur = model.index(1, 0, model.index(0, 0));
    QCOMPARE(flur.data().toString(), QStringLiteral("Flur"));
    QVERIFY(model.setData(flur, Qt::Checked, Qt::CheckStateRole));
    QVERIFY(m_list->at(4).checked);
    QCOMPARE(flur.data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
}

void TestFunctionListView::groupHeadersAreNeitherSelectableNorCheckable()
{
    const Qt::ItemFlags flags = m_view->model()->index(0, 0).flags();
    QVERIFY(!(flags & Qt::ItemIsSelectable));
    QVERIFY(!(flags & Qt::ItemIsUserCheckable));
    QVERIFY(!m_view->model()->setData(m_view->model()->index(0, 0), Qt::Checked, Qt::CheckStateRole));
}

void TestFunctionListView::doubleClickOpensOnlyRows_data()
{
    QTest::addColumn<bool>("groupView");
    QTest::addColumn<QString>("where");
    QTest::addColumn<int>("expected");

    QTest::newRow("group view: on a row's label") << true << "label Markise" << 2;
    QTest::newRow("group view: on a row's check box") << true << "check Flur" << 4;
    QTest::newRow("group view: on a group header") << true << "header" << -1;
    QTest::newRow("group view: below the rows") << true << "below" << -1;
    QTest::newRow("flat: on a row's cell") << false << "label Markise" << 2;
    QTest::newRow("flat: right of the columns") << false << "right" << -1;
    QTest::newRow("flat: below the rows") << false << "below" << -1;
}

void TestFunctionListView::doubleClickOpensOnlyRows()
{
    QFETCH(bool, groupView);
    QFETCH(QString, where);
    QFETCH(int, expected);

    m_view->setGroupView(groupView);
    m_view->resize(900, 500);
    for (int column = 0; column < 4; ++column)
        m_view->header()->resizeSection(column, 100);
    m_view->setColumnHidden(FunctionList::KeyColumn, true);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));

    const auto* model = static_cast<const KindGroupModel*>(m_view->model());
    const auto rectOf = [&](int row) {
        return m_view->visualRect(model->mapFromSource(m_list->index(row, 0)));
    };
    QPoint pos;
    if (where == QStringLiteral("label Markise"))
        pos = rectOf(2).center();
    else if (where == QStringLiteral("check Flur"))
        pos = rectOf(4).topLeft() + QPoint(12, rectOf(4).height() / 2);
    else if (where == QStringLiteral("header"))
        pos = m_view->visualRect(m_view->model()->index(0, 0)).center();
    else if (where == QStringLiteral("right"))
        pos = QPoint(850, rectOf(2).center().y());
    else
        pos = QPoint(50, 480);

    QCOMPARE(m_view->rowAt(pos), expected);
    QSignalSpy spy(m_view.get(), &FunctionListView::rowDoubleClicked);
    QTest::mouseDClick(m_view->viewport(), Qt::LeftButton, {}, pos);
    if (expected < 0) {
        QCOMPARE(spy.count(), 0);
    } else {
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.constFirst().constFirst().toInt(), expected);
    }
}

QTEST_MAIN(TestFunctionListView)
void TestFunctionListView::keyboardGoesFromFunctionToFunction_data()
{
    QTest::addColumn<bool>("groupView");
    QTest::addColumn<int>("rows");
    // Keys after arriving by Tab: "down", "up", "home", "end"; then the label selected after each.
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("selected");

    QTest::newRow("one function") << true << 1 << QStringList{"down", "up", "end", "home"}
                                  << QStringList{"Jalousie", "Jalousie", "Jalousie", "Jalousie"};
    QTest::newRow("over the group headers")
        << true << 5 << QStringList{"down", "down", "up", "up", "up", "end", "home"}
        << QStringList{"Flur", "Jalousie", "Flur", "Licht", "Licht", "Kino", "Licht"};
    QTest::newRow("flat") << false << 5 << QStringList{"down", "end", "up"}
                          << QStringList{"Licht", "Flur", "Kino"};
}

void TestFunctionListView::keyboardGoesFromFunctionToFunction()
{
    QFETCH(bool, groupView);
    QFETCH(int, rows);
    QFETCH(QStringList, keys);
    QFETCH(QStringList, selected);

    m_list->setEntries(mixedRows().mid(0, rows));
    m_view->setGroupView(groupView);
    m_view->resize(900, 500);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    QFocusEvent tab(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(m_view.get(), &tab);
    QVERIFY(m_view->selectedRow() >= 0);
    QSignalSpy opened(m_view.get(), &FunctionListView::rowDoubleClicked);

    const QMap<QString, Qt::Key> named = {
        {"down", Qt::Key_Down}, {"up", Qt::Key_Up}, {"home", Qt::Key_Home}, {"end", Qt::Key_End}};
    QStringList seen;
    for (const QString& key : keys) {
        QTest::keyClick(m_view.get(), named.value(key));
        const int row = m_view->selectedRow();
        seen << (row >= 0 ? m_list->at(row).label : QStringLiteral("<none>"));
    }
    QCOMPARE(seen, selected);
    QTest::keyClick(m_view.get(), Qt::Key_F2);
    QCOMPARE(opened.count(), 1);
}

#include "tst_functionlistview.moc"
