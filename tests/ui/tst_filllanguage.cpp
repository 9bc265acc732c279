#include "model/language.h"
#include "programfolder.h"
#include "ui/filllanguage.h"
#include "ui/headerband.h"
#include "ui/toggleswitch.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include <memory>

namespace {

const QByteArray catalogue = "[Test]\r\n"
                             "0=Null\r\n1=Eins\r\n2=Zwei\r\n3=Drei\r\n4=Vier\r\n5=Fenster\r\n"
                             "7=\r\n10=Spalte\r\n14.0=Gruppe Null\r\n14.1=Gruppe Eins\r\n"
                             "15=Export\r\n16=Speichern unter\r\n61.0=Aus\r\n61.1=An\r\n70=Sortieren\r\n";

template <typename T> T* tagged(QWidget* parent, const char* name, int tag)
{
    auto* object = new T(parent);
    object->setObjectName(QLatin1String(name));
    setTag(object, tag);
    return object;
}

QTreeView* listView(QWidget* parent, const char* name, int tag, const QList<int>& columnTags)
{
    auto* view = tagged<QTreeView>(parent, name, tag);
    auto* model = new QStandardItemModel(0, 3, view);
    model->setHorizontalHeaderLabels({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    view->setModel(model);
    setColumnTags(view, columnTags);
    view->setProperty(Tags::groupHeaders, QStringList{QStringLiteral("g0"), QStringLiteral("g1")});
    return view;
}

QString header(const QWidget* view, int column)
{
    return static_cast<const QTreeView*>(view)->model()->headerData(column, Qt::Horizontal).toString();
}

QAction* menuItem(QMenu* menu, const char* name, int tag)
{
    QAction* item = menu->addAction(QStringLiteral("design"));
    item->setObjectName(QLatin1String(name));
    if (tag != 0)
        setTag(item, tag);
    return item;
}

} // namespace

class TestFillLanguage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void caption_data();
    void caption();
    void untaggedWindowKeepsItsTitle();
    void toggleSignalsStateChangesOnly();
    void headerBandTitleIsTranslated();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Language> m_language;
    std::unique_ptr<QWidget> m_window;
};

void TestFillLanguage::initTestCase()
{
    QVERIFY(writeBytes(m_dir.filePath(QStringLiteral("language.ini")), catalogue));
    m_language = std::make_unique<Language>(m_dir.path());
    m_language->LoadLanguage(QStringLiteral("Test"));

    m_window = std::make_unique<QWidget>();
    setTag(m_window.get(), 5);
    QWidget* w = m_window.get();
    for (auto [name, tag] : {std::pair{"label", 1},
                             {"labelTag0", 0},
                             {"labelTagMinus", -1},
                             {"labelEmpty", 7},
                             {"labelMissing", 8}})
        tagged<QLabel>(w, name, tag)->setText(QStringLiteral("design"));
    tagged<QPushButton>(w, "button", 2)->setText(QStringLiteral("design"));
    tagged<QToolButton>(w, "toolButton", 3)->setText(QStringLiteral("design"));
    tagged<QGroupBox>(w, "groupBox", 4)->setTitle(QStringLiteral("design"));
    // A control inside a control is one of the window's components too.
    tagged<QLabel>(w->findChild<QGroupBox*>(), "nestedLabel", 2)->setText(QStringLiteral("design"));
    listView(w, "listView", 14, {10, 0});
    listView(w, "listViewTag0", 0, {10, 10, 10});

    auto* menu = tagged<QMenu>(w, "menu", 15);
    menuItem(menu, "itemTag70", 70);
    menuItem(menu, "itemTag0", 0);
    addSeparator(menu);
    menu->actions().constLast()->setObjectName(QStringLiteral("separator"));
    menu->actions().constLast()->setText(QStringLiteral("design"));
    auto* menuTag0 = tagged<QMenu>(w, "menuTag0", 0);
    menuItem(menuTag0, "untranslatedItem", 70);

    auto* dialog = new QObject(w);
    dialog->setObjectName(QStringLiteral("saveDialog"));
    setTag(dialog, 16);
    dialog->setProperty(Tags::dialogTitle, QStringLiteral("design"));

    auto* toggle = tagged<ToggleSwitch>(w, "toggle", 61);
    toggle->setOffCaption(QStringLiteral("design off"));
    toggle->setOnCaption(QStringLiteral("design on"));

    FillLanguage(w, *m_language);
}

void TestFillLanguage::caption_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("expected");

    const auto row = [](const char* title, const char* name, const char* part, const char* expected) {
        QTest::newRow(title) << QString::fromUtf8(name) << QString::fromUtf8(part)
                             << QString::fromUtf8(expected);
    };
    row("label", "label", "", "Eins");
    row("label with Tag 0 untouched", "labelTag0", "", "design");
    row("label with Tag -1 untouched", "labelTagMinus", "", "design");
    row("empty value blanks", "labelEmpty", "", "");
    row("missing key blanks", "labelMissing", "", "");
    row("push button, with its Alt+letter", "button", "", "&Zwei");
    row("tool button", "toolButton", "", "Drei");
    row("group box", "groupBox", "", "Vier");
    row("nested label", "nestedLabel", "", "Zwei");
    row("column with its Tag", "listView", "column0", "Spalte");
    row("column with Tag 0 reads key 0", "listView", "column1", "Null");
    row("column beyond the Tags reads key 0", "listView", "column2", "Null");
    row("group header", "listView", "group1", "Gruppe Eins");
    row("list view with Tag 0: columns untouched", "listViewTag0", "column0", "a");
    row("list view with Tag 0: groups untouched", "listViewTag0", "group0", "g0");
    row("menu item", "itemTag70", "", "Sortieren");
    row("menu item with Tag 0 reads key 0", "itemTag0", "", "Null");
    row("separator untouched", "separator", "", "design");
    row("menu with Tag 0 untouched", "untranslatedItem", "", "design");
    row("save dialog title", "saveDialog", "", "Speichern unter");
    row("toggle off caption", "toggle", "off", "Aus");
    row("toggle on caption", "toggle", "on", "An");
}

void TestFillLanguage::caption()
{
    QFETCH(QString, name);
    QFETCH(QString, part);
    QFETCH(QString, expected);

    QCOMPARE(m_window->windowTitle(), QStringLiteral("Fenster"));
    QObject* object = m_window->findChild<QObject*>(name);
    QVERIFY2(object, qPrintable(name));
    QString actual;
    if (auto* label = qobject_cast<QLabel*>(object))
        actual = label->text();
    else if (auto* toggle = qobject_cast<ToggleSwitch*>(object))
        actual = part == QStringLiteral("on") ? toggle->onCaption() : toggle->offCaption();
    else if (auto* button = qobject_cast<QAbstractButton*>(object))
        actual = button->text();
    else if (auto* box = qobject_cast<QGroupBox*>(object))
        actual = box->title();
    else if (auto* action = qobject_cast<QAction*>(object))
        actual = action->text();
    else if (part.startsWith(QStringLiteral("column")))
        actual = header(static_cast<QWidget*>(object), part.right(1).toInt());
    else if (part.startsWith(QStringLiteral("group")))
        actual = object->property(Tags::groupHeaders).toStringList().value(part.right(1).toInt());
    else
        actual = object->property(Tags::dialogTitle).toString();
    QCOMPARE(actual, expected);
}

void TestFillLanguage::untaggedWindowKeepsItsTitle()
{
    QWidget window;
    window.setWindowTitle(QStringLiteral("Varuno Builder 1.2.3"));
    setTag(&window, -1);
    FillLanguage(&window, *m_language);
    QCOMPARE(window.windowTitle(), QStringLiteral("Varuno Builder 1.2.3"));
}

// One handler serves the user's click and the program's setChecked.
void TestFillLanguage::toggleSignalsStateChangesOnly()
{
    ToggleSwitch toggle;
    toggle.setOffCaption(QStringLiteral("Deutsch"));
    toggle.setOnCaption(QStringLiteral("English"));
    QSignalSpy spy(&toggle, &QAbstractButton::toggled);

    toggle.setChecked(false);
    QCOMPARE(spy.count(), 0);
    toggle.setChecked(true);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(toggle.caption(), QStringLiteral("English"));
    toggle.setChecked(true);
    QCOMPARE(spy.count(), 1);
    toggle.click();
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.last().constFirst().toBool(), false);
    QCOMPARE(toggle.caption(), QStringLiteral("Deutsch"));
}

void TestFillLanguage::headerBandTitleIsTranslated()
{
    QWidget window;
    auto* band = new HeaderBand(QStringLiteral("settings"), QStringLiteral("design"), 4, &window);
    band->addLine(QStringLiteral("Seriennummer: 1"));
    FillLanguage(&window, *m_language);
    QCOMPARE(band->titleLabel()->text(), QStringLiteral("Vier"));
    QCOMPARE(band->height(), HeaderBand::Height);
}

QTEST_MAIN(TestFillLanguage)
#include "tst_filllanguage.moc"
