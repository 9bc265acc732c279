#include "bus/busaddress.h"
#include "modaldialog.h"
#include "model/functionlist.h"
#include "model/functionvocabulary.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "programfolder.h"
#include "programstack.h"
#include "scriptedprompts.h"
#include "ui/devicebox.h"
#include "ui/functioneditor.h"
#include "ui/groupeditor.h"
#include "ui/program.h"
#include "ui/toggleswitch.h"
#include "voiceword.h"
#include "workspace/workspace.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString demo = QStringLiteral(VARUNO_DEMO_DIR "/Demo");
const QStringList savedFiles = {u"bticino.items"_s, u"openhabcloud.cfg"_s, u"bticino.rules"_s,
                                u"bticino.sitemap"_s};
// Rows of the demo project.
constexpr int kueche = 0;
constexpr int terrasse = 1;
constexpr int kinderzimmer = 6;
constexpr int markise = 7;
constexpr int szeneAbend = 8;
constexpr int erdgeschossScene = 11;
constexpr int demoRows = 14;

QStringList aliases(const FunctionList& lv)
{
    QStringList result;
    for (const FunctionEntry& entry : lv.entries())
        result << entry.alias;
    return result;
}

// The texts of the list's entries in the check state, or of all of them.
QStringList entryTexts(const QListWidget* list, std::optional<Qt::CheckState> state = std::nullopt)
{
    QStringList result;
    for (int row = 0; row < list->count(); ++row) {
        if (!state || list->item(row)->checkState() == *state)
            result << list->item(row)->text();
    }
    return result;
}

} // namespace

// The demo project opened through the workspace, and the function editor with the group editor
// beside it, as the program creates them.
class FunctionEditorTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void addSwitch();
    void addStartsFromTheDefaults();
    void blindVoiceAssistant_data();
    void blindVoiceAssistant();
    void voiceHint_data();
    void voiceHint();
    void keyLimits_data();
    void keyLimits();
    void addressKindPlaceholders();
    void generalStoresZero();
    void labelRules_data();
    void labelRules();
    void savingAnUnchangedRowKeepsIt_data();
    void savingAnUnchangedRowKeepsIt();
    void editMarksExactGroupNames();
    void groupsShowTheirLabels();
    void sceneWhoseGroupVanished();
    void sceneGroupExactSpellingFirst_data();
    void sceneGroupExactSpellingFirst();
    void individualScene_data();
    void individualScene();
    void scenarioKindsFollowTheSetting_data();
    void scenarioKindsFollowTheSetting();
    void aliasesRenumberedAfterADelete();
    void groupEditorChangesReachTheEditor();
    void sceneKeepsItsGroupAcrossTheGroupEditor();
    void groupEditorAddsACaseVariant();
    void leavingWithoutSavingChangesNothing_data();
    void leavingWithoutSavingChangesNothing();
    void enterSaves();
    void saveFailureIsShown();
    void sessionLeavesWhatTheGeneratorWrites();

private:
    // Creates the workspace and the two dialogs and opens the demo project.
    void start();
    // Runs open (DoAdd or DoEdit) while script acts on the shown editor; a script that leaves the
    // editor open (a failed check) cancels it, so no test waits for a window.
    void add(const std::function<void()>& script);
    void edit(int row, const std::function<void()>& script);
    void check(const QString& group);
    QToolButton* kindButton(int kind) const;
    QString projectFile(const QString& name) const { return m_stack->openHab().sProjPath + name; }
    QMap<QString, QByteArray> files() const;
    QString items() const { return QString::fromUtf8(readBytes(projectFile(u"bticino.items"_s))); }

    std::unique_ptr<TestProgramStack> m_stack;
    std::unique_ptr<Program> m_program;
    std::unique_ptr<FunctionEditor> m_item;
    std::unique_ptr<GroupEditor> m_groups;
    ScriptedPrompts m_prompts;
    FunctionList m_lv;
};

void FunctionEditorTest::init()
{
    m_prompts.reset();
    m_stack = std::make_unique<TestProgramStack>();
    QVERIFY(m_stack->folder().isValid());
    QVERIFY(m_stack->folder().addProject(demo, u"Demo"_s));
    start();
}

void FunctionEditorTest::start()
{
    m_item.reset();
    m_groups.reset();
    m_program.reset();
    m_stack->start();
    QVERIFY(m_stack->startWorkspace().OpenSelectedProject(m_lv).ok);
    QCOMPARE(m_lv.count(), demoRows);
    // The demo's files are hand-written; from here on they are the generator's.
    QVERIFY(m_stack->openHab().SaveItems(m_lv.entries()).isEmpty());

    m_program = std::make_unique<Program>(Program{m_stack->openHab(), m_stack->language(), m_prompts});
    m_program->workspace = &m_stack->workspace();
    m_item = std::make_unique<FunctionEditor>(*m_program);
    m_groups = std::make_unique<GroupEditor>(*m_program);
    m_program->functionEditor = m_item.get();
    m_program->groupEditor = m_groups.get();
}

void FunctionEditorTest::cleanup()
{
    QVERIFY2(m_prompts.allAnswered(), "an answer was queued but never asked for");
    m_item.reset();
    m_groups.reset();
    m_program.reset();
    m_stack.reset();
    m_lv.clear();
}

void FunctionEditorTest::add(const std::function<void()>& script)
{
    whileModal(
        *m_item, [this] { m_item->DoAdd(m_lv); }, script);
}

void FunctionEditorTest::edit(int row, const std::function<void()>& script)
{
    whileModal(
        *m_item, [this, row] { m_item->DoEdit(row, m_lv); }, script);
}

void FunctionEditorTest::check(const QString& group)
{
    const QList<QListWidgetItem*> found = m_item->lbGruppe->findItems(group, Qt::MatchExactly);
    QVERIFY2(found.size() == 1, qPrintable(group));
    found.constFirst()->setCheckState(Qt::Checked);
}

QToolButton* FunctionEditorTest::kindButton(int kind) const
{
    QToolButton* const buttons[] = {m_item->btnSchalter, m_item->btnDimmer,   m_item->btnAutomation,
                                    m_item->btnCEN,      m_item->btnSzenario, m_item->btnGruppe};
    return buttons[kind];
}

QMap<QString, QByteArray> FunctionEditorTest::files() const
{
    QMap<QString, QByteArray> result;
    for (const QString& name : savedFiles)
        result.insert(name, readBytes(projectFile(name)));
    return result;
}

void FunctionEditorTest::addSwitch()
{
    QString title;
    add([&] {
        title = m_item->lblTitle->text();
        m_item->btnSchalter->click();
        m_item->edBez->setText(u"Küche"_s);
        m_item->edAdresse->setText(u"1.12"_s);
        m_item->tsSprache->setChecked(true);
        check(u"Erdgeschoss"_s);
        m_item->btnSave->click();
        QVERIFY(!m_item->isVisible());
    });

    QCOMPARE(title, u"Neue Funktion"_s);
    QVERIFY(m_prompts.shown.isEmpty());
    QCOMPARE(m_lv.count(), demoRows + 1);
    const FunctionEntry& row = m_lv.at(demoRows);
    QCOMPARE(row.kind, int(FunctionEntry::Switch));
    QCOMPARE(row.label, u"Küche"_s);
    QCOMPARE(row.address, u"01.12"_s);
    QCOMPARE(row.voice, FunctionEntry::Voice::On);
    QCOMPARE(row.groups, u"Erdgeschoss"_s);
    QCOMPARE(row.key, QString());
    QCOMPARE(row.alias, u"SWITCH_15"_s);
    QCOMPARE(m_item->edAdresse->text(), u"01.12"_s);
    QVERIFY(items().contains(u"Switch SWITCH_15 \"Küche\" <light> (Erdgeschoss) [\"Lighting\"] "
                             "{bticino=\"if=webserver;who=1;what=0;where=0112\"}\r\n"_s));
}

void FunctionEditorTest::addStartsFromTheDefaults()
{
    add([&] {
        m_item->btnAutomation->click();
        m_item->edBez->setText(u"Markise"_s);
        m_item->edAdresse->setText(u"2.1"_s);
        m_item->tsHome->setChecked(true);
        m_item->btnSave->click();
    });
    bool fresh = false;
    add([&] {
        fresh = m_item->edBez->text().isEmpty() && m_item->edAdresse->text() == u"0.0"_s &&
                m_item->edCENKey->text().isEmpty() && m_item->cbAdrArt->currentIndex() == 0 &&
                m_item->cbBus->currentIndex() == 0 && entryTexts(m_item->lbGruppe, Qt::Checked).isEmpty();
        // Not the blind with Siri/Home that was added before.
        QCOMPARE(m_item->kind(), int(FunctionEntry::Switch));
        QVERIFY(m_item->tsSprache->isChecked());
        QVERIFY(!m_item->tsHome->isChecked());
        QVERIFY(!m_item->tsReverse->isChecked());
    });
    QVERIFY(fresh);
    QCOMPARE(m_lv.at(demoRows).voice, FunctionEntry::Voice::Home);
}

void FunctionEditorTest::blindVoiceAssistant_data()
{
    QTest::addColumn<bool>("voice");
    QTest::addColumn<bool>("home");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("homeShown");
    QTest::addColumn<QString>("companion");

    QTest::newRow("Siri/Home") << true << true << u"Siri/Home"_s << true
                               << u"Switch AUTO_15_HOME \"Markise\" <rollershutter> [\"Switchable\"]"_s;
    QTest::newRow("Alexa") << true << false << u"Alexa"_s << true
                           << u"Dimmer AUTO_15_ALEXA \"Markise\" <rollershutter> [\"Switchable\"]"_s;
    QTest::newRow("no voice control") << false << true << QString() << false << QString();
}

void FunctionEditorTest::blindVoiceAssistant()
{
    QFETCH(bool, voice);
    QFETCH(bool, home);
    QFETCH(QString, stored);
    QFETCH(bool, homeShown);
    QFETCH(QString, companion);

    bool shown = false;
    add([&] {
        m_item->btnAutomation->click();
        m_item->edBez->setText(u"Markise"_s);
        m_item->edAdresse->setText(u"2.1"_s);
        m_item->tsHome->setChecked(home);
        m_item->tsSprache->setChecked(voice);
        shown = m_item->tsHome->isVisible();
        m_item->btnSave->click();
    });

    QCOMPARE(shown, homeShown);
    QCOMPARE(m_lv.at(demoRows).voice, voiceOf(stored));
    QCOMPARE(m_lv.at(demoRows).alias, u"AUTO_15"_s);
    const QString text = items();
    QVERIFY(text.contains(u"Rollershutter AUTO_15 \"Markise\" <rollershutter> "
                          "{bticino=\"if=webserver;who=2;what=0;where=21\"}\r\n"_s +
                          companion));
    QCOMPARE(text.contains(u"AUTO_15_"_s), !companion.isEmpty());
}

void FunctionEditorTest::voiceHint_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("home");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<bool>("homeShown");

    const QString de = u"Deutsch"_s;
    QTest::newRow("switch") << de << 0 << false << u"\"Alexa, Flur EG ein-/ausschalten\""_s << false;
    QTest::newRow("dimmer") << de << 1 << false << u"\"Alexa, Flur EG auf 50%\""_s << false;
    QTest::newRow("blind, Alexa") << de << 2 << false << u"\"Alexa, fahre Flur EG hoch/runter\""_s << true;
    QTest::newRow("blind, Siri") << de << 2 << true << u"\"Hey Siri, schalte Flur EG ein/aus\""_s << true;
    QTest::newRow("CEN scene") << de << 3 << false << u"\"Alexa, führe Flur EG aus\""_s << false;
    QTest::newRow("scenario module") << de << 4 << true << u"\"Alexa, führe Flur EG aus\""_s << false;
    QTest::newRow("individual scene")
        << de << 5 << false << u"\"Alexa, Flur EG ein-/ausschalten\""_s << false;
    QTest::newRow("English") << u"English"_s << 2 << true << u"\"Hey Siri, turn Flur EG on/off\""_s << true;
}

// The example command carries one pair of quotes, however the catalogue holds the text.
void FunctionEditorTest::voiceHint()
{
    QFETCH(QString, language);
    QFETCH(int, kind);
    QFETCH(bool, home);
    QFETCH(QString, hint);
    QFETCH(bool, homeShown);

    m_stack->language().LoadLanguage(language);
    add([&] {
        m_item->tsHome->setChecked(home);
        kindButton(kind)->click();
        QCOMPARE(m_item->kind(), kind);
        QTest::keyClicks(m_item->edBez, u"Flur EG"_s);
        QCOMPARE(m_item->lblAlexaAuto->text(), hint);
        QVERIFY(m_item->lblAlexaAuto->isVisible());
        QCOMPARE(m_item->tsHome->isVisible(), homeShown);
        m_item->tsSprache->setChecked(false);
        QVERIFY(!m_item->lblAlexaAuto->isVisible());
        QVERIFY(!m_item->tsHome->isVisible());
    });
}

void FunctionEditorTest::keyLimits_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("cen");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("stored");

    const QString cenLimits = u"Szenarien-Taste muss zwischen 1 und 99 liegen!"_s;
    const QString moduleLimits = u"Szenarien-Taste muss zwischen 1 und 16 liegen!"_s;
    QTest::newRow("CEN key 0") << 3 << u"0"_s << 0 << cenLimits << QString();
    QTest::newRow("CEN key 100") << 3 << u"100"_s << 0 << cenLimits << QString();
    QTest::newRow("CEN key empty") << 3 << QString() << 0 << cenLimits << QString();
    QTest::newRow("CEN key 99") << 3 << u"99"_s << 0 << QString() << u"99"_s;
    QTest::newRow("CEN+ short") << 3 << u"5"_s << 1 << QString() << u"5 (+)"_s;
    QTest::newRow("CEN+ long") << 3 << u"5"_s << 2 << QString() << u"5 (++)"_s;
    QTest::newRow("scenario 17") << 4 << u"17"_s << 0 << moduleLimits << QString();
    QTest::newRow("scenario 16") << 4 << u"16"_s << 0 << QString() << u"16"_s;
}

void FunctionEditorTest::keyLimits()
{
    QFETCH(int, kind);
    QFETCH(QString, key);
    QFETCH(int, cen);
    QFETCH(QString, error);
    QFETCH(QString, stored);

    bool stayedOpen = false;
    add([&] {
        (kind == 3 ? m_item->btnCEN : m_item->btnSzenario)->click();
        QVERIFY(m_item->edCENKey->isVisible());
        QCOMPARE(m_item->cbCEN->isVisible(), kind == 3);
        m_item->edBez->setText(u"Szene"_s);
        m_item->edAdresse->setText(u"1.15"_s);
        m_item->edCENKey->setText(key);
        m_item->cbCEN->setCurrentIndex(cen);
        m_item->btnSave->click();
        stayedOpen = m_item->isVisible();
    });

    QCOMPARE(stayedOpen, !error.isEmpty());
    if (!error.isEmpty()) {
        QCOMPARE(m_prompts.shown, QStringList{u"error: "_s + error});
        QCOMPARE(m_lv.count(), demoRows);
        return;
    }
    QVERIFY(m_prompts.shown.isEmpty());
    QCOMPARE(Vocabulary::KeyText(m_lv.at(demoRows)), stored);
    QCOMPARE(m_lv.at(demoRows).address, u"01.15"_s);
}

// Switching the address kind swaps the placeholders 0.0 and 0; General hides the field. A kind
// with point-to-point only selects it, and it stays selected when the kind changes back.
void FunctionEditorTest::addressKindPlaceholders()
{
    add([&] {
        m_item->btnSchalter->click();
        QCOMPARE(m_item->cbAdrArt->count(), 4);
        QCOMPARE(m_item->cbAdrArt->itemText(2), u"Gruppe (GR)"_s);
        m_item->cbAdrArt->setCurrentIndex(1);
        QCOMPARE(m_item->edAdresse->text(), u"0"_s);
        m_item->cbAdrArt->setCurrentIndex(0);
        QCOMPARE(m_item->edAdresse->text(), u"0.0"_s);
        m_item->cbAdrArt->setCurrentIndex(2);
        QCOMPARE(m_item->edAdresse->text(), u"0"_s);
        m_item->edAdresse->setText(u"12"_s);
        m_item->cbAdrArt->setCurrentIndex(0);
        QCOMPARE(m_item->edAdresse->text(), u"12"_s);
        m_item->edAdresse->setText(u"0"_s);
        m_item->cbAdrArt->setCurrentIndex(2);

        m_item->btnCEN->click();
        QCOMPARE(m_item->cbAdrArt->count(), 1);
        QCOMPARE(m_item->cbAdrArt->currentIndex(), 0);
        QCOMPARE(m_item->edAdresse->text(), u"0.0"_s);
        m_item->btnDimmer->click();
        QCOMPARE(m_item->cbAdrArt->count(), 4);
        QCOMPARE(m_item->cbAdrArt->currentIndex(), 0);

        m_item->cbAdrArt->setCurrentIndex(3);
        QVERIFY(!m_item->edAdresse->isVisible());
        m_item->cbAdrArt->setCurrentIndex(1);
        QVERIFY(m_item->edAdresse->isVisible());
    });
}

void FunctionEditorTest::generalStoresZero()
{
    add([&] {
        m_item->btnSchalter->click();
        m_item->edBez->setText(u"Alles"_s);
        m_item->edAdresse->setText(u"7.7"_s);
        m_item->cbAdrArt->setCurrentIndex(3);
        m_item->cbBus->setCurrentIndex(3);
        m_item->btnSave->click();
    });

    QCOMPARE(Vocabulary::AddressText(m_lv.at(demoRows)), u"0 (3)"_s);
    QVERIFY(items().contains(
        u"\"Alles\" <light> [\"Lighting\"] {bticino=\"if=webserver;who=1;what=0;where=0#4#03\"}"_s));
}

void FunctionEditorTest::labelRules_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("stored");

    const QString noQuotes =
        u"Bezeichnung darf weder Anführungszeichen (\") noch Backslash (\\) enthalten!"_s;
    const QString empty = u"Bezeichnung darf nicht leer sein!"_s;
    QTest::newRow("double quote") << u"Flur \"EG\""_s << noQuotes << QString();
    QTest::newRow("backslash") << u"Flur\\EG"_s << noQuotes << QString();
    QTest::newRow("empty") << QString() << empty << QString();
    QTest::newRow("blanks only") << u"   "_s << QString() << u"   "_s;
    QTest::newRow("single quote and brackets") << u"Flur 'EG' (Süd)"_s << QString() << u"Flur 'EG' (Süd)"_s;
    // The label is judged as it will be stored, without the temperature format.
    QTest::newRow("only a temperature format") << u" %.1f C"_s << empty << QString();
    QTest::newRow("only a nested temperature format") << u" %.1 %.1f Cf C"_s << empty << QString();
    QTest::newRow("nested temperature format") << u"a %.1f %.1f C C"_s << QString() << u"a"_s;
}

void FunctionEditorTest::labelRules()
{
    QFETCH(QString, label);
    QFETCH(QString, error);
    QFETCH(QString, stored);

    const QMap<QString, QByteArray> before = files();
    add([&] {
        m_item->btnSchalter->click();
        m_item->edBez->setText(label);
        m_item->edAdresse->setText(u"1.12"_s);
        m_item->btnSave->click();
        QCOMPARE(m_item->isVisible(), !error.isEmpty());
        QCOMPARE(m_item->edBez->text(), label);
    });

    if (error.isEmpty()) {
        QCOMPARE(m_lv.at(demoRows).label, stored);
        return;
    }
    QCOMPARE(m_prompts.shown, QStringList{u"error: "_s + error});
    QCOMPARE(m_lv.count(), demoRows);
    QCOMPARE(files(), before);
}

void FunctionEditorTest::savingAnUnchangedRowKeepsIt_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("shownAddress");
    QTest::addColumn<int>("shownAddressKind");
    QTest::addColumn<QString>("storedAddress");

    // A light point shows in the form the list shows and the file holds.
    QTest::newRow("switch") << 0 << u"01.12"_s << 0 << u"01.12"_s;
    QTest::newRow("switch, one-digit parts") << 2 << u"03.01"_s << 0 << u"03.01"_s;
    QTest::newRow("dimmer on a local bus") << 4 << u"1.5"_s << 0 << u"1.5"_s;
    QTest::newRow("blind, bus group") << 7 << u"3"_s << 2 << u"#3"_s;
    QTest::newRow("CEN scene") << 8 << u"01.15"_s << 0 << u"01.15"_s;
    QTest::newRow("CEN+ scene") << 9 << u"01.15"_s << 0 << u"01.15"_s;
    QTest::newRow("scenario module") << 10 << u"0.5"_s << 0 << u"0.5"_s;
    QTest::newRow("individual scene") << 11 << QString() << -1 << QString();
    QTest::newRow("reversing individual scene") << 12 << QString() << -1 << QString();
    QTest::newRow("stop-all scene") << 13 << QString() << -1 << QString();
}

// Opening a row and saving it again writes back what was loaded, for every kind.
void FunctionEditorTest::savingAnUnchangedRowKeepsIt()
{
    QFETCH(int, row);
    QFETCH(QString, shownAddress);
    QFETCH(int, shownAddressKind);
    QFETCH(QString, storedAddress);

    FunctionEntry expected = m_lv.at(row);
    expected.address = storedAddress;
    QString title;
    edit(row, [&] {
        title = m_item->lblTitle->text();
        QCOMPARE(m_item->kind(), expected.kind);
        QCOMPARE(m_item->edBez->text(), expected.label);
        QCOMPARE(m_item->edAdresse->text(), shownAddress);
        QCOMPARE(m_item->cbAdrArt->currentIndex(), shownAddressKind);
        m_item->btnSave->click();
        QVERIFY(!m_item->isVisible());
    });

    QCOMPARE(title, u"Funktion bearbeiten"_s);
    QVERIFY(m_prompts.shown.isEmpty());
    QCOMPARE(m_lv.at(row), expected);
}

// A name is checked only when the row names it exactly: group 11 does not check group 1.
void FunctionEditorTest::editMarksExactGroupNames()
{
    m_stack->openHab().slGroups =
        QStringList{u"1"_s, u"11"_s, u"Erdgeschoss"_s, u"Keller"_s, u"Weinkeller"_s};
    FunctionEntry row = m_lv.at(terrasse);
    row.groups = u"Erdgeschoss, 11, Weinkeller"_s;
    m_lv.replace(terrasse, row);

    QStringList checked;
    QStringList scenes;
    edit(terrasse, [&] {
        checked = entryTexts(m_item->lbGruppe, Qt::Checked);
        for (int entry = 0; entry < m_item->cbSzene->count(); ++entry)
            scenes << m_item->cbSzene->itemText(entry);
    });

    QCOMPARE(checked, QStringList({u"11"_s, u"Erdgeschoss"_s, u"Weinkeller"_s}));
    QCOMPARE(scenes, QStringList({u"Alle Jalousien/Raffstore stoppen"_s, u"1"_s, u"11"_s, u"Erdgeschoss"_s,
                                  u"Keller"_s, u"Weinkeller"_s}));
}

// The lists show what people read; the rows keep the item names the files use.
void FunctionEditorTest::groupsShowTheirLabels()
{
    m_stack->openHab().slGroups = QStringList{u"Kueche"_s, u"Keller"_s, u"Erdgeschoss"_s};
    m_stack->openHab().groupLabels = {{u"Kueche"_s, u"Küche"_s}, {u"Erdgeschoss"_s, u"EG Süd"_s}};
    FunctionEntry row = m_lv.at(terrasse);
    row.groups = u"Kueche"_s;
    m_lv.replace(terrasse, row);

    QStringList checked;
    edit(terrasse, [&] {
        checked = entryTexts(m_item->lbGruppe, Qt::Checked);
        m_item->lbGruppe->findItems(u"Keller"_s, Qt::MatchExactly).constFirst()->setCheckState(Qt::Checked);
        m_item->btnSave->click();
    });
    QCOMPARE(checked, QStringList{u"Küche"_s});
    QCOMPARE(m_lv.at(terrasse).groups, u"Kueche, Keller"_s);

    QString scene;
    edit(erdgeschossScene, [&] {
        m_item->cbSzene->setCurrentIndex(m_item->cbSzene->findText(u"EG Süd"_s));
        scene = m_item->cbSzene->currentText();
        m_item->btnSave->click();
    });
    QCOMPARE(scene, u"EG Süd"_s);
    QCOMPARE(m_lv.at(erdgeschossScene).groups, u"Erdgeschoss"_s);
}

void FunctionEditorTest::sceneWhoseGroupVanished()
{
    m_stack->openHab().slGroups.removeAll(u"Erdgeschoss"_s);
    const FunctionEntry before = m_lv.at(erdgeschossScene);
    bool stayedOpen = false;
    edit(erdgeschossScene, [&] {
        QCOMPARE(m_item->kind(), int(FunctionEntry::GroupScene));
        QCOMPARE(m_item->cbSzene->currentIndex(), -1);
        QVERIFY(!m_item->tsReverse->isVisible());
        m_item->btnSave->click();
        stayedOpen = m_item->isVisible();
    });

    QVERIFY(stayedOpen);
    QCOMPARE(
        m_prompts.shown,
        QStringList{
            u"error: Es muss eine individuelle Szene ausgewählt werden, welche geschalten werden soll!"_s});
    QCOMPARE(m_lv.at(erdgeschossScene), before);
}

void FunctionEditorTest::sceneGroupExactSpellingFirst_data()
{
    QTest::addColumn<QStringList>("groups");
    QTest::addColumn<QString>("sceneGroup");
    QTest::addColumn<QString>("selected");

    QTest::newRow("second of two case variants") << QStringList{u"EG"_s, u"eg"_s} << u"eg"_s << u"eg"_s;
    QTest::newRow("first of two case variants") << QStringList{u"eg"_s, u"EG"_s} << u"EG"_s << u"EG"_s;
    QTest::newRow("only another letter case")
        << QStringList{u"Keller"_s, u"Erdgeschoss"_s} << u"ERDGESCHOSS"_s << u"Erdgeschoss"_s;
}

// Membership and the rules compare group names exactly, so the scene must keep the very group it
// names; only a group named in no exact spelling is found by letter-case-blind comparison.
void FunctionEditorTest::sceneGroupExactSpellingFirst()
{
    QFETCH(QStringList, groups);
    QFETCH(QString, sceneGroup);
    QFETCH(QString, selected);

    m_stack->openHab().slGroups = groups;
    FunctionEntry scene = m_lv.at(erdgeschossScene);
    scene.groups = sceneGroup;
    m_lv.replace(erdgeschossScene, scene);

    QString shown;
    edit(erdgeschossScene, [&] {
        shown = m_item->cbSzene->currentText();
        m_item->btnSave->click();
    });
    QCOMPARE(shown, selected);
    QCOMPARE(m_lv.at(erdgeschossScene).groups, selected);
}

void FunctionEditorTest::individualScene_data()
{
    QTest::addColumn<int>("sceneEntry");
    QTest::addColumn<bool>("reverse");
    QTest::addColumn<QString>("groups");
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QString>("itemLine");

    QTest::newRow("stop all") << 0 << false << u"_STOP_"_s << u"GROUP_15"_s
                              << u"Switch GROUP_15 \"Szene\" <groundfloor> (_STOP_) [\"Switchable\"]\r\n"_s;
    QTest::newRow("group, reversed")
        << 3 << true << u"Garten"_s << u"GROUPX_15"_s
        << u"Switch GROUPX_15 \"Szene\" <groundfloor> (Garten) [\"Switchable\"]\r\n"_s;
    QTest::newRow("group") << 1 << false << u"Erdgeschoss"_s << u"GROUP_15"_s
                           << u"Switch GROUP_15 \"Szene\" <groundfloor> (Erdgeschoss) [\"Switchable\"]\r\n"_s;
}

void FunctionEditorTest::individualScene()
{
    QFETCH(int, sceneEntry);
    QFETCH(bool, reverse);
    QFETCH(QString, groups);
    QFETCH(QString, alias);
    QFETCH(QString, itemLine);

    add([&] {
        m_item->btnGruppe->click();
        QVERIFY(m_item->gbSzene->isVisible());
        QVERIFY(!m_item->gbAdr->isVisible());
        QVERIFY(!m_item->gbSzenen->isVisible());
        for (DeviceBox* box : {m_item->gbAkt, m_item->gbDimmer, m_item->gbMH, m_item->gbScene})
            QVERIFY(!box->isVisible());
        QCOMPARE(m_item->cbSzene->currentIndex(), 0);
        QVERIFY(!m_item->tsReverse->isVisible());
        m_item->cbSzene->setCurrentIndex(sceneEntry);
        QCOMPARE(m_item->tsReverse->isVisible(), sceneEntry > 0);
        m_item->tsReverse->setChecked(reverse);
        m_item->edBez->setText(u"Szene"_s);
        m_item->btnSave->click();
    });

    const FunctionEntry& row = m_lv.at(demoRows);
    QCOMPARE(row.kind, int(FunctionEntry::GroupScene));
    QCOMPARE(row.groups, groups);
    QCOMPARE(row.alias, alias);
    QVERIFY(items().contains(itemLine));
}

void FunctionEditorTest::scenarioKindsFollowTheSetting_data()
{
    QTest::addColumn<QByteArray>("setting");
    QTest::addColumn<bool>("offered");

    QTest::newRow("on") << QByteArray("1") << true;
    QTest::newRow("off") << QByteArray("0") << false;
}

// With the setting off the two kinds are not offered, but a row of such a kind keeps it.
void FunctionEditorTest::scenarioKindsFollowTheSetting()
{
    QFETCH(QByteArray, setting);
    QFETCH(bool, offered);

    QVERIFY(writeBytes(m_stack->folder().configDir() + u"settings.ini"_s,
                       "[CFG]\r\nScenario=" + setting + "\r\n"));
    start();
    const FunctionEntry before = m_lv.at(szeneAbend);
    edit(szeneAbend, [&] {
        QCOMPARE(m_item->btnCEN->isVisible(), offered);
        QCOMPARE(m_item->btnSzenario->isVisible(), offered);
        QVERIFY(m_item->btnGruppe->isVisible());
        QCOMPARE(m_item->kind(), int(FunctionEntry::CenScene));
        QVERIFY(m_item->gbMH->isVisible());
        QCOMPARE(m_item->gbMH->caption(), u"Funktion schaltet z. B. CEN-Befehle vom MH200 oder MH202"_s);
        m_item->btnSave->click();
    });
    QCOMPARE(m_lv.at(szeneAbend), before);
}

void FunctionEditorTest::aliasesRenumberedAfterADelete()
{
    m_lv.removeAt(terrasse);
    edit(kueche, [&] { m_item->btnSave->click(); });

    QCOMPARE(aliases(m_lv), QStringList({u"SWITCH_1"_s, u"SWITCH_2"_s, u"DIMMER_3"_s, u"DIMMER_4"_s,
                                         u"AUTO_5"_s, u"AUTO_6"_s, u"AUTO_7"_s, u"CEN_8"_s, u"CEN_9"_s,
                                         u"SCENE_10"_s, u"GROUP_11"_s, u"GROUPX_12"_s, u"GROUP_13"_s}));
    const QString text = items();
    QVERIFY(text.contains(u"Switch AUTO_6_HOME \"Kinderzimmer Raffstore\""_s));
    QVERIFY(!text.contains(u"SWITCH_14"_s) && !text.contains(u"AUTO_7_HOME"_s));
}

// Groups saved in the group editor stay saved when the function editor is then cancelled, and
// the function editor's lists follow them.
void FunctionEditorTest::groupEditorChangesReachTheEditor()
{
    QStringList listed;
    QStringList checked;
    QStringList scenes;
    m_prompts.queueText(u"Aussen"_s);
    m_prompts.queueText(u"Keller"_s);
    edit(terrasse, [&] {
        QCOMPARE(entryTexts(m_item->lbGruppe, Qt::Checked), QStringList({u"Erdgeschoss"_s, u"Garten"_s}));
        check(u"Obergeschoss"_s);
        whileModal(
            *m_groups, [this] { m_item->btnGroups->click(); },
            [&] {
                QListWidget* list = m_groups->lbGruppe;
                list->setCurrentItem(list->findItems(u"Garten"_s, Qt::MatchExactly).constFirst());
                Q_EMIT list->itemDoubleClicked(list->currentItem());
                m_groups->btnAdd->click();
                m_groups->btnSave->click();
            });
        listed = entryTexts(m_item->lbGruppe);
        checked = entryTexts(m_item->lbGruppe, Qt::Checked);
        for (int entry = 1; entry < m_item->cbSzene->count(); ++entry)
            scenes << m_item->cbSzene->itemText(entry);
        m_item->btnClose->click();
    });

    QCOMPARE(m_stack->openHab().slGroups,
             QStringList({u"Erdgeschoss"_s, u"Aussen"_s, u"Keller"_s, u"Obergeschoss"_s}));
    QCOMPARE(listed, QStringList({u"Erdgeschoss"_s, u"Obergeschoss"_s, u"Aussen"_s, u"Keller"_s}));
    QCOMPARE(checked, QStringList({u"Erdgeschoss"_s, u"Obergeschoss"_s, u"Aussen"_s}));
    QCOMPARE(scenes, listed);
    QCOMPARE(m_lv.at(terrasse).groups, u"Erdgeschoss, Aussen"_s);
    QVERIFY(items().contains(u"Group Aussen\r\nGroup Keller\r\n"_s));
    QVERIFY(items().contains(u"\"Terrasse\" <light> (Erdgeschoss, Aussen)"_s));
}

// The scene being edited keeps its group while the group editor adds another one.
void FunctionEditorTest::sceneKeepsItsGroupAcrossTheGroupEditor()
{
    m_prompts.queueText(u"Keller"_s);
    edit(erdgeschossScene, [&] {
        QCOMPARE(m_item->cbSzene->currentText(), u"Erdgeschoss"_s);
        whileModal(
            *m_groups, [this] { m_item->btnGroups->click(); },
            [&] {
                m_groups->btnAdd->click();
                m_groups->btnSave->click();
            });
        QCOMPARE(m_item->cbSzene->currentText(), u"Erdgeschoss"_s);
        m_item->btnSave->click();
    });
    QCOMPARE(m_lv.at(erdgeschossScene).groups, u"Erdgeschoss"_s);
}

// A group apart from another only in letter case is a group of its own, offered at once.
void FunctionEditorTest::groupEditorAddsACaseVariant()
{
    m_prompts.queueText(u"erdgeschoss"_s);
    QStringList entries;
    edit(terrasse, [&] {
        whileModal(
            *m_groups, [this] { m_item->btnGroups->click(); },
            [&] {
                m_groups->btnAdd->click();
                m_groups->btnSave->click();
            });
        entries = entryTexts(m_item->lbGruppe);
        check(u"erdgeschoss"_s);
        m_item->btnSave->click();
    });
    QVERIFY(entries.contains(u"Erdgeschoss"_s));
    QVERIFY(entries.contains(u"erdgeschoss"_s));
    QVERIFY(m_lv.at(terrasse).groups.split(u", "_s).contains(u"erdgeschoss"_s));
}

void FunctionEditorTest::leavingWithoutSavingChangesNothing_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("Abbrechen") << 0;
    QTest::newRow("Escape") << 1;
    QTest::newRow("title-bar close") << 2;
}

void FunctionEditorTest::leavingWithoutSavingChangesNothing()
{
    QFETCH(int, how);

    const QList<FunctionEntry> rows = m_lv.entries();
    const QMap<QString, QByteArray> before = files();
    edit(kinderzimmer, [&] {
        m_item->btnDimmer->click();
        m_item->edBez->setText(u"Anders"_s);
        m_item->edAdresse->setText(u"9.9"_s);
        check(u"Garten"_s);
        if (how == 0)
            m_item->btnClose->click();
        else if (how == 1)
            QTest::keyClick(m_item->edBez, Qt::Key_Escape);
        else
            m_item->close();
        QVERIFY(!m_item->isVisible());
    });

    QCOMPARE(m_lv.entries(), rows);
    QCOMPARE(files(), before);
}

void FunctionEditorTest::enterSaves()
{
    add([&] {
        m_item->btnSchalter->click();
        m_item->edAdresse->setText(u"1.13"_s);
        m_item->edBez->setFocus();
        QTest::keyClicks(m_item->edBez, u"Flur"_s);
        QTest::keyClick(m_item->edBez, Qt::Key_Return);
        QVERIFY(!m_item->isVisible());
    });
    QCOMPARE(m_lv.count(), demoRows + 1);
    QCOMPARE(m_lv.at(demoRows).label, u"Flur"_s);
}

void FunctionEditorTest::saveFailureIsShown()
{
    const QString rules = projectFile(u"bticino.rules"_s);
    QFile::remove(rules);
    QVERIFY(QDir().mkpath(rules + u"/blocked"_s));

    add([&] {
        m_item->btnSchalter->click();
        m_item->edBez->setText(u"Flur"_s);
        m_item->edAdresse->setText(u"1.13"_s);
        m_item->btnSave->click();
        QVERIFY(!m_item->isVisible());
    });

    QCOMPARE(m_prompts.shown.size(), 1);
    QVERIFY2(m_prompts.shown.constFirst().startsWith(u"error: Datei "_s) &&
                 m_prompts.shown.constFirst().contains(rules),
             qPrintable(m_prompts.shown.constFirst()));
    // Nothing of the save reached the project's files; the row stays in the list.
    QCOMPARE(m_lv.count(), demoRows + 1);
    QVERIFY(!items().contains(u"\"Flur\""_s));
}

// After adds, edits, a delete and a group rename, the project's files are what the generator
// writes for the resulting list.
void FunctionEditorTest::sessionLeavesWhatTheGeneratorWrites()
{
    add([&] {
        m_item->btnDimmer->click();
        m_item->edBez->setText(u"Bad"_s);
        m_item->edAdresse->setText(u"4.2"_s);
        m_item->cbBus->setCurrentIndex(4);
        check(u"Obergeschoss"_s);
        m_item->btnSave->click();
    });
    edit(markise, [&] {
        m_item->tsSprache->setChecked(true);
        m_item->tsHome->setChecked(true);
        m_item->btnSave->click();
    });
    m_lv.removeAt(kueche);
    m_prompts.queueText(u"Aussen"_s);
    // Terrasse is the first row now.
    edit(0, [&] {
        whileModal(
            *m_groups, [this] { m_item->btnGroups->click(); },
            [&] {
                QListWidget* list = m_groups->lbGruppe;
                list->setCurrentItem(list->findItems(u"Garten"_s, Qt::MatchExactly).constFirst());
                Q_EMIT list->itemDoubleClicked(list->currentItem());
                m_groups->btnSave->click();
            });
        m_item->btnSave->click();
    });
    add([&] {
        m_item->btnCEN->click();
        m_item->edBez->setText(u"Abend"_s);
        m_item->edAdresse->setText(u"1.15"_s);
        m_item->edCENKey->setText(u"7"_s);
        m_item->btnSave->click();
    });
    QVERIFY(m_prompts.shown.size() == 1 && m_prompts.allAnswered());
    QCOMPARE(m_lv.count(), demoRows + 1);
    QCOMPARE(m_lv.at(0).groups, u"Erdgeschoss, Aussen"_s);

    QTemporaryDir other;
    QVERIFY(other.isValid());
    QVERIFY(QFile::copy(projectFile(u"project.ini"_s), other.filePath(u"project.ini"_s)));
    OpenHabGenerator fresh(m_stack->language(), m_stack->folder().configDir());
    fresh.sProjPath = other.path() + u'/';
    fresh.sProj = m_stack->openHab().sProj;
    fresh.slGroups = m_stack->openHab().slGroups;
    QVERIFY(fresh.SaveItems(m_lv.entries()).isEmpty());
    for (const QString& name : savedFiles)
        QVERIFY2(readBytes(projectFile(name)) == readBytes(fresh.sProjPath + name), qPrintable(name));
    QVERIFY(items().contains(u"where=42#4#04"_s) && items().contains(u"*15*07*0115##"_s));
}

QTEST_MAIN(FunctionEditorTest)
#include "tst_functioneditor.moc"
