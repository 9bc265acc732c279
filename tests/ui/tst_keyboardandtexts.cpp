#include "programfolder.h"
#include "scriptedprompts.h"
#include "ui/functionbustools.h"
#include "ui/functioneditor.h"
#include "ui/functionlistview.h"
#include "ui/groupeditor.h"
#include "ui/mainwindow.h"
#include "ui/newprojectdialog.h"
#include "ui/qtprompts.h"
#include "ui/settingsdialog.h"
#include "ui/startup.h"
#include "ui/toggleswitch.h"
#include "ui/transferdialog.h"
#include "workspace/settings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString demo = u"" VARUNO_DEMO_DIR "/Demo"_s;

// Runs steps as soon as a modal window (a message box, a dialog) is open.
void whenModal(const std::function<void(QWidget*)>& steps)
{
    QTimer::singleShot(0, qApp, [steps] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        steps(modal);
        if (modal->isVisible())
            modal->close();
    });
}

QStringList buttonTexts(QMessageBox* box)
{
    QStringList texts;
    for (QAbstractButton* button : box->buttons())
        texts << button->text().remove(u'&');
    texts.sort();
    return texts;
}

// The widgets of expected in the order Tab visits them, starting at the first.
QList<QWidget*> tabOrder(const QList<QWidget*>& expected)
{
    QList<QWidget*> order;
    QWidget* widget = expected.first();
    do {
        if (expected.contains(widget))
            order << widget;
        widget = widget->nextInFocusChain();
    } while (widget != expected.first());
    return order;
}

QImage rendering(QWidget* widget)
{
    return widget->grab().toImage();
}

int textWidth(const QWidget* widget, const QString& text)
{
    return widget->fontMetrics().horizontalAdvance(text);
}

} // namespace

// The desktop side of the windows: Qt's own texts in the program's language, the keyboard, and
// captions that fit. The program runs on a copy of the demo installation in German.
class KeyboardAndTextsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void messageBoxButtonsFollowTheLanguage();
    void toggleShowsItsFocus();
    void kindButtonShowsItsFocus();
    void enterAndF2OpenTheEditor_data();
    void enterAndF2OpenTheEditor();
    void menuKeysOpenThePopup_data();
    void menuKeysOpenThePopup();
    void deleteKeyAsksForTheMarkedOrSelectedFunctions();
    void mainWindowTabOrder();
    void dialogTabOrders();
    void windowsHaveTitlesAndThePicture();
    void mnemonicsAndShortcuts();
    void captionsFit();
    void englishLeavesNoGermanLabel();
    void shortenedCellShowsATooltip();
    void editorControlsKeepTheirPlaces();

private:
    void start(Prompts& prompts);
    MainWindow& w() { return m_startup->mainWindow(); }
    Program& program() { return m_startup->program(); }

    std::unique_ptr<TestProgramFolder> m_folder;
    ScriptedPrompts m_prompts;
    std::unique_ptr<Startup> m_startup;
};

void KeyboardAndTextsTest::init()
{
    m_folder = std::make_unique<TestProgramFolder>();
    QVERIFY(m_folder->addProject(demo, u"Demo"_s));
    QVERIFY(Settings(m_folder->configDir() + u"settings.ini"_s).setLanguage(u"Deutsch"_s));
    m_prompts.reset();
}

void KeyboardAndTextsTest::cleanup()
{
    QVERIFY2(m_prompts.allAnswered(), "an answer was queued but never asked for");
    m_startup.reset();
    m_folder.reset();
}

void KeyboardAndTextsTest::start(Prompts& prompts)
{
    m_startup = std::make_unique<Startup>(m_folder->path(), prompts);
    w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&w()));
}

void KeyboardAndTextsTest::messageBoxButtonsFollowTheLanguage()
{
    QtPrompts prompts;
    start(prompts);
    const auto buttonsOfAQuestion = [&] {
        QStringList texts;
        whenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            texts = buttonTexts(box);
        });
        prompts.confirm(u"?"_s);
        return texts;
    };
    QCOMPARE(buttonsOfAQuestion(), (QStringList{u"Ja"_s, u"Nein"_s}));
    w().tsLanguage->setChecked(true);
    QCOMPARE(buttonsOfAQuestion(), (QStringList{u"No"_s, u"Yes"_s}));
    w().tsLanguage->setChecked(false);
    QCOMPARE(buttonsOfAQuestion(), (QStringList{u"Ja"_s, u"Nein"_s}));
}

void KeyboardAndTextsTest::toggleShowsItsFocus()
{
    start(m_prompts);
    QVERIFY(QTest::qWaitForWindowActive(&w()));
    ToggleSwitch* toggle = w().tsLanguage;
    w().lvItems->setFocus();
    const QImage withoutFocus = rendering(toggle);
    toggle->setFocus();
    QVERIFY(toggle->hasFocus());
    QVERIFY(rendering(toggle) != withoutFocus);
}

void KeyboardAndTextsTest::kindButtonShowsItsFocus()
{
    start(m_prompts);
    FunctionEditor& editor = *program().functionEditor;
    whenModal([&](QWidget*) {
        QApplication::setActiveWindow(&editor);
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        // The pressed kind: its pressed look alone must not hide where the keyboard is.
        editor.edBez->setFocus();
        const QImage withoutFocus = rendering(editor.btnSchalter);
        editor.btnSchalter->setFocus();
        QVERIFY(editor.btnSchalter->hasFocus());
        QVERIFY(rendering(editor.btnSchalter) != withoutFocus);
    });
    w().btnAddItem->click();
}

void KeyboardAndTextsTest::enterAndF2OpenTheEditor_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
    QTest::newRow("F2") << int(Qt::Key_F2);
}

void KeyboardAndTextsTest::enterAndF2OpenTheEditor()
{
    QFETCH(int, key);
    start(m_prompts);
    w().lvItems->selectRow(1);
    QString edited;
    whenModal([&](QWidget* modal) {
        QCOMPARE(modal, program().functionEditor);
        edited = program().functionEditor->edBez->text();
    });
    QTest::keyClick(w().lvItems, Qt::Key(key));
    QCOMPARE(edited, w().items().at(1).label);
}

void KeyboardAndTextsTest::menuKeysOpenThePopup_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("menu key") << int(Qt::Key_Menu) << int(Qt::NoModifier);
    QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier);
}

void KeyboardAndTextsTest::menuKeysOpenThePopup()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    start(m_prompts);
    w().lvItems->selectRow(0);
    QTest::keyClick(w().lvItems, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QTRY_VERIFY(w().pmItems->isVisible());
    w().pmItems->close();
}

void KeyboardAndTextsTest::deleteKeyAsksForTheMarkedOrSelectedFunctions()
{
    start(m_prompts);
    const qsizetype rows = w().items().count();
    const QString question = u"confirm, default No: Wollen Sie die markierten Funktionen löschen?"_s;
    w().lvItems->clearSelection();
    QTest::keyClick(w().lvItems, Qt::Key_Delete);
    QCOMPARE(m_prompts.shown.value(0), u"error: Sie müssen die zu löschenden Funktionen zuerst markieren"_s);

    // Nothing marked: the selected function goes, after the same question.
    const FunctionEntry second = w().items().at(1);
    w().lvItems->selectRow(1);
    m_prompts.queueYes();
    QTest::keyClick(w().lvItems, Qt::Key_Delete);
    QCOMPARE(m_prompts.shown.value(1), question);
    QCOMPARE(w().items().count(), rows - 1);
    QVERIFY(!w().items().entries().contains(second));

    // Marked functions come before the selection.
    w().items().setData(w().items().index(0, 0), Qt::Checked, Qt::CheckStateRole);
    m_prompts.queueNo();
    QTest::keyClick(w().lvItems, Qt::Key_Delete);
    QCOMPARE(m_prompts.shown.value(2), question);
    QCOMPARE(w().items().count(), rows - 1);
}

void KeyboardAndTextsTest::mainWindowTabOrder()
{
    start(m_prompts);
    const QList<QWidget*> expected = {w().cbProj,     w().btnNewProject, w().btnEditProject, w().btnSettings,
                                      w().btnReceive, w().btnSend,       w().btnExit,        w().tsLanguage,
                                      w().lvItems,    w().btnAddItem,    w().btnDelItems};
    QCOMPARE(tabOrder(expected), expected);
}

// Top to bottom, and left to right within a line, as the dialogs are read.
void KeyboardAndTextsTest::dialogTabOrders()
{
    start(m_prompts);
    const Program& p = program();
    const TransferDialog& transfer = *p.transferDialog;
    const NewProjectDialog& project = *p.newProjectDialog;
    const SettingsDialog& settings = *p.settingsDialog;
    const GroupEditor& groups = *p.groupEditor;
    const FunctionEditor& item = *p.functionEditor;
    const QList<QList<QWidget*>> windows = {
        QList<QWidget*>{item.btnSchalter, item.btnCEN, item.edBez, item.tsSprache, item.edAdresse,
                        item.lbGruppe, item.btnGroups, item.busTools->btnTest, item.busTools->btnLearn,
                        item.btnSave, item.btnClose},
        QList<QWidget*>{transfer.edIP, transfer.btnSearch, transfer.btnSend, transfer.btnReceive,
                        transfer.btnClose},
        QList<QWidget*>{project.edName, project.edSerial, project.tsSitemap, project.btnDel, project.btnOK,
                        project.btnSave, project.btnCancel},
        QList<QWidget*>{settings.edAdr, settings.edPort, settings.edPass, settings.tsSetTime,
                        settings.edRescan, settings.btnReg, settings.btnCheck, settings.edUUID,
                        settings.edSecret, settings.edPin, settings.btnSave, settings.btnCancel},
        QList<QWidget*>{groups.btnAdd, groups.btnDeleteMarked, groups.lbGruppe, groups.btnSave,
                        groups.btnClose},
    };
    for (const QList<QWidget*>& expected : windows) {
        const QList<QWidget*> order = tabOrder(expected);
        QStringList names;
        for (QWidget* widget : order)
            names << widget->metaObject()->className() + (u' ' + widget->property("text").toString());
        QVERIFY2(order == expected, qPrintable(names.join(u", "_s)));
    }
}

// A window manager shows these titles in the title bar and the task bar, with the program's picture.
void KeyboardAndTextsTest::windowsHaveTitlesAndThePicture()
{
    start(m_prompts);
    Program& p = program();
    QVERIFY(!QApplication::windowIcon().isNull());
    const QList<std::pair<QString, std::function<void()>>> windows = {
        {u"Einstellungen"_s, [&] { p.settingsDialog->Execute(); }},
        {u"Konfiguration senden"_s, [&] { p.transferDialog->DoTransfer(TransferMode::Send); }},
        {u"Konfiguration empfangen"_s, [&] { p.transferDialog->DoTransfer(TransferMode::Receive); }},
    };
    for (const auto& [title, open] : windows) {
        QString shown;
        whenModal([&](QWidget* modal) { shown = modal->windowTitle(); });
        open();
        QCOMPARE(shown, title);
    }
}

// Every push button of a window answers its own Alt+letter; the main commands have keys, taught in
// their tooltips.
void KeyboardAndTextsTest::mnemonicsAndShortcuts()
{
    start(m_prompts);
    Program& p = program();
    const auto lettersOf = [](QWidget* window) {
        QStringList letters;
        for (const QPushButton* button : window->findChildren<QPushButton*>()) {
            if (button->window() != window)
                continue;
            const QString text = button->text();
            const qsizetype at = text.indexOf(u'&');
            if (!text.isEmpty())
                letters << (at >= 0 ? text.mid(at + 1, 1).toLower() : u"<none: "_s + text + u'>');
        }
        return letters;
    };
    const auto distinct = [](const QStringList& letters) {
        return QSet<QString>(letters.begin(), letters.end()).size() == letters.size() &&
               !letters.join(QString()).contains(u"<none"_s);
    };
    QVERIFY2(distinct(lettersOf(&w())), qPrintable(lettersOf(&w()).join(u' ')));
    const QList<std::function<void()>> dialogs = {
        [&] { p.settingsDialog->Execute(); },
        [&] { p.transferDialog->DoTransfer(TransferMode::Send); },
        [&] { p.groupEditor->DoEdit(w().items()); },
        [&] { p.functionEditor->DoAdd(w().items()); },
    };
    for (const auto& open : dialogs) {
        QStringList letters;
        whenModal([&](QWidget* modal) { letters = lettersOf(modal); });
        open();
        QVERIFY2(distinct(letters), qPrintable(letters.join(u' ')));
    }

    QCOMPARE(w().btnSend->toolTip(), u"Konfiguration senden (Strg+S)"_s);
    // The offscreen platform leaves the last dialog active after it closed.
    QApplication::setActiveWindow(&w());
    QString opened;
    whenModal([&](QWidget* modal) { opened = QString::fromLatin1(modal->metaObject()->className()); });
    QTest::keyClick(&w(), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(opened, u"FunctionEditor"_s);
    QApplication::setActiveWindow(&w());
    QTest::keyClick(&w(), Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!w().isVisible());
}

// The captions named here used to be cut off at the windows' fixed sizes.
void KeyboardAndTextsTest::captionsFit()
{
    start(m_prompts);
    const auto fits = [](ToggleSwitch* toggle) {
        QCoreApplication::sendPostedEvents();
        toggle->window()->layout()->activate();
        const QRect room = toggle->captionRect();
        const QRect needed = toggle->fontMetrics().boundingRect(
            QRect(room.topLeft(), QSize(room.width(), 10000)), Qt::TextWordWrap, toggle->caption());
        return toggle->isVisible() && needed.width() <= room.width() && needed.height() <= room.height();
    };
    FunctionEditor& editor = *program().functionEditor;
    whenModal([&](QWidget*) {
        editor.btnGruppe->click();
        QVERIFY(editor.cbSzene->count() > 1);
        editor.cbSzene->setCurrentIndex(1);
        editor.tsReverse->setChecked(true);
        QVERIFY(fits(editor.tsReverse));
        editor.tsReverse->setChecked(false);
        QVERIFY(fits(editor.tsReverse));
    });
    w().btnAddItem->click();

    NewProjectDialog& project = *program().newProjectDialog;
    whenModal([&](QWidget*) {
        project.tsSitemap->setChecked(true);
        QVERIFY(fits(project.tsSitemap));
    });
    w().btnNewProject->click();

    QHeaderView* header = w().lvItems->header();
    const int languageColumn = 2;
    const QString caption = w().items().headerData(languageColumn, Qt::Horizontal).toString();
    QCOMPARE(caption, u"Alexa/Siri"_s);
    // The header keeps a margin on either side of its text.
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    QVERIFY2(textWidth(header, caption) + 2 * margin <= header->sectionSize(languageColumn),
             qPrintable(QString::number(header->sectionSize(languageColumn))));
}

// The side panel's line and the new-project window's label follow a switch to English.
void KeyboardAndTextsTest::englishLeavesNoGermanLabel()
{
    start(m_prompts);
    w().tsLanguage->setChecked(true);
    QStringList labels;
    for (QWidget* window : QList<QWidget*>{&w(), program().newProjectDialog})
        for (const QLabel* label : window->findChildren<QLabel*>())
            labels << label->text();
    QVERIFY2(labels.contains(u"openHAB for BTicino MyHome"_s), qPrintable(labels.join(u" | "_s)));
    QVERIFY2(labels.contains(u"openHAB app"_s), qPrintable(labels.join(u" | "_s)));
    for (const QString& german : {u"für"_s, u"openHAB-App"_s})
        QVERIFY2(!labels.join(u' ').contains(german), qPrintable(german));
}

void KeyboardAndTextsTest::shortenedCellShowsATooltip()
{
    start(m_prompts);
    FunctionListView* view = w().lvItems;
    const QString longLabel = u"Ein sehr langer Name einer Funktion, der nicht in die Spalte passt"_s;
    FunctionEntry entry = w().items().at(0);
    entry.label = longLabel;
    w().items().replace(0, entry);
    view->selectRow(0);
    const QModelIndex cell = view->currentIndex().siblingAtColumn(0);
    QCOMPARE(cell.data().toString(), longLabel);
    const QPoint at = view->visualRect(cell).center();
    QHelpEvent help(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view->viewport(), &help);
    QTRY_COMPARE(QToolTip::text(), longLabel);
}

void KeyboardAndTextsTest::editorControlsKeepTheirPlaces()
{
    start(m_prompts);
    FunctionEditor& editor = *program().functionEditor;
    whenModal([&](QWidget*) {
        // The place once every pending layout has been done, as the user sees it.
        const auto place = [&] {
            QCoreApplication::sendPostedEvents();
            editor.layout()->activate();
            return editor.gbAdr->mapTo(&editor, QPoint(0, 0));
        };
        const QPoint before = place();
        editor.tsSprache->setChecked(!editor.tsSprache->isChecked());
        QCOMPARE(place(), before);
        editor.tsSprache->setChecked(true);
        editor.edBez->setText(u"Ein Name, so lang, dass das Beispiel der Sprachsteuerung darunter auf "
                              u"mehrere Zeilen umbrechen muss, um ganz zu erscheinen"_s);
        QCOMPARE(place(), before);
    });
    w().btnAddItem->click();
}

QTEST_MAIN(KeyboardAndTextsTest)
#include "tst_keyboardandtexts.moc"
