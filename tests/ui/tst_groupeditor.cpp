#include "bus/busaddress.h"
#include "modaldialog.h"
#include "model/functionlist.h"
#include "model/functionvocabulary.h"
#include "model/groupnames.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "programfolder.h"
#include "programstack.h"
#include "scriptedprompts.h"
#include "ui/groupeditor.h"
#include "ui/program.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString demo = QStringLiteral(VARUNO_DEMO_DIR "/Demo");
const QStringList savedFiles = {u"bticino.items"_s, u"openhabcloud.cfg"_s, u"bticino.rules"_s,
                                u"bticino.sitemap"_s};
const QString askAdd = u"prompt: Gruppe hinzufügen / Gruppenbezeichnung"_s;
const QString askRename = u"prompt: Gruppe bearbeiten / Gruppenbezeichnung"_s;

QString sceneRefused(const QString& name)
{
    return u"error: Löschen von \""_s + name +
           u"\" nicht erlaubt, da eine individuelle Szene mit dieser Gruppe existiert!"_s;
}

QStringList groupsTexts(const FunctionList& lv)
{
    QStringList result;
    for (const FunctionEntry& entry : lv.entries())
        result << entry.groups;
    return result;
}

} // namespace

// A project "Haus" with the groups Keller, Erdgeschoss, Weinkeller and Lichter (in this order in its
// items file) and rows that belong to them or, as individual scenes, switch them.
class GroupEditorTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void showsTheGroupsSorted();
    void add_data();
    void add();
    void renameFollowsEveryRowAndScene();
    void renameToAnyText_data();
    void renameToAnyText();
    void deleteAsksAndSparesTheGroupsOfScenes_data();
    void deleteAsksAndSparesTheGroupsOfScenes();
    void leavingWithoutSavingChangesNothing_data();
    void leavingWithoutSavingChangesNothing();
    void enterSaves();
    void saveFailureIsShown();

private:
    void addRow(int kind, const QString& label, const QString& address, const QString& groups,
                bool reverse = false);
    // Opens the editor on the function list, runs script while it is shown and returns what DoEdit
    // returned. A script that leaves the editor open (a failed check) cancels it.
    bool edit(const std::function<void()>& script);
    QStringList shownNames() const;
    QListWidgetItem* entry(const QString& name) const;
    void doubleClick(const QString& name);
    QString projectFile(const QString& name) const { return m_stack->openHab().sProjPath + name; }
    QMap<QString, QByteArray> files() const;
    // The lines of the items file that declare groups.
    QStringList groupLines() const;

    std::unique_ptr<TestProgramStack> m_stack;
    std::unique_ptr<Program> m_program;
    std::unique_ptr<GroupEditor> m_frm;
    ScriptedPrompts m_prompts;
    FunctionList m_lv;
};

void GroupEditorTest::init()
{
    m_prompts.reset();
    m_stack = std::make_unique<TestProgramStack>();
    QVERIFY(m_stack->folder().isValid());
    QVERIFY(m_stack->folder().addProject(demo, u"Haus"_s));
    m_stack->start();
    QVERIFY(m_stack->startWorkspace().OpenSelectedProject(m_lv).ok);

    m_lv.clear();
    m_stack->openHab().slGroups = QStringList{u"Keller"_s, u"Erdgeschoss"_s, u"Weinkeller"_s, u"Lichter"_s};
    addRow(FunctionEntry::Switch, u"Flur"_s, u"01.12"_s, u"Erdgeschoss, Keller"_s);
    addRow(FunctionEntry::Switch, u"Regal"_s, u"01.13"_s, u"Weinkeller, Keller"_s);
    addRow(FunctionEntry::Switch, u"Garage"_s, u"01.14"_s, u"Erdgeschoss"_s);
    addRow(FunctionEntry::GroupScene, u"Kellerlicht"_s, QString(), u"Keller"_s);
    addRow(FunctionEntry::GroupScene, u"Alle Lichter"_s, QString(), u"Lichter"_s, true);
    addRow(FunctionEntry::GroupScene, u"Stopp"_s, QString(), u"_STOP_"_s);
    QVERIFY(m_stack->openHab().SaveItems(m_lv.entries()).isEmpty());
    // From the files, as the user meets the project.
    QVERIFY(m_stack->workspace().OpenSelectedProject(m_lv).ok);
    QCOMPARE(m_lv.count(), 6);

    m_program = std::make_unique<Program>(Program{m_stack->openHab(), m_stack->language(), m_prompts});
    m_program->workspace = &m_stack->workspace();
    m_frm = std::make_unique<GroupEditor>(*m_program);
    m_program->groupEditor = m_frm.get();
}

void GroupEditorTest::cleanup()
{
    QVERIFY2(m_prompts.allAnswered(), "an answer was queued but never asked for");
    m_frm.reset();
    m_program.reset();
    m_stack.reset();
    m_lv.clear();
}

void GroupEditorTest::addRow(int kind, const QString& label, const QString& address, const QString& groups,
                             bool reverse)
{
    const QString prefix = Vocabulary::AliasPrefix(kind, reverse).toString();
    m_lv.append(FunctionEntry{.label = label,
                              .address = address,
                              .groups = groups,
                              .alias = prefix + QString::number(m_lv.count() + 1),
                              .kind = kind,
                              .voice = FunctionEntry::Voice::On,
                              .reverse = reverse});
}

bool GroupEditorTest::edit(const std::function<void()>& script)
{
    return whileModal(
        *m_frm, [this] { return m_frm->DoEdit(m_lv); }, script);
}

QStringList GroupEditorTest::shownNames() const
{
    QStringList names;
    for (int row = 0; row < m_frm->lbGruppe->count(); ++row)
        names << m_frm->lbGruppe->item(row)->text();
    return names;
}

QListWidgetItem* GroupEditorTest::entry(const QString& name) const
{
    const QList<QListWidgetItem*> found = m_frm->lbGruppe->findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.constFirst();
}

void GroupEditorTest::doubleClick(const QString& name)
{
    QListWidgetItem* item = entry(name);
    QVERIFY2(item, qPrintable(name));
    QListWidget* list = m_frm->lbGruppe;
    const QPoint centre = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
}

QStringList GroupEditorTest::groupLines() const
{
    QStringList lines = QString::fromUtf8(readBytes(projectFile(u"bticino.items"_s))).split(u"\r\n"_s);
    lines.removeIf([](const QString& line) { return !line.startsWith(u"Group "_s); });
    return lines;
}

QMap<QString, QByteArray> GroupEditorTest::files() const
{
    QMap<QString, QByteArray> result;
    for (const QString& name : savedFiles)
        result.insert(name, readBytes(projectFile(name)));
    return result;
}

void GroupEditorTest::showsTheGroupsSorted()
{
    QStringList shown;
    bool unchecked = true;
    edit([&] {
        shown = shownNames();
        for (int row = 0; row < m_frm->lbGruppe->count(); ++row)
            unchecked = unchecked && m_frm->lbGruppe->item(row)->checkState() == Qt::Unchecked;
        QCOMPARE(m_frm->lblTitle->text(), u"Gruppen"_s);
    });
    QCOMPARE(shown, QStringList({u"Erdgeschoss"_s, u"Keller"_s, u"Lichter"_s, u"Weinkeller"_s}));
    QVERIFY(unchecked);
}

void GroupEditorTest::add_data()
{
    QTest::addColumn<QStringList>("answers"); // "<cancel>" cancels the prompt
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("lines"); // the items file's group lines

    const QStringList before = {u"Erdgeschoss"_s, u"Keller"_s, u"Lichter"_s, u"Weinkeller"_s};
    const auto linesOf = [](const QStringList& names) {
        QStringList lines;
        for (const QString& name : names)
            lines << u"Group "_s + name;
        return lines;
    };
    const auto row = [&](const char* name, const QStringList& answers, const QStringList& shown,
                         const QStringList& lines) { QTest::newRow(name) << answers << shown << lines; };
    const QStringList withOG = {u"Erdgeschoss"_s, u"Keller"_s, u"Lichter"_s, u"OG"_s, u"Weinkeller"_s};
    row("OG at its sorted place", {u"OG"_s}, withOG, linesOf(withOG));
    row("Bad first", {u"Bad"_s}, QStringList{u"Bad"_s} + before, linesOf(QStringList{u"Bad"_s} + before));
    const QStringList caseVariant = {u"Erdgeschoss"_s, u"Keller"_s, u"keller"_s, u"Lichter"_s,
                                     u"Weinkeller"_s};
    row("a name already there, in other case", {u"keller"_s}, caseVariant, linesOf(caseVariant));
    const QStringList twice = {u"Erdgeschoss"_s, u"Keller"_s, u"Keller"_s, u"Lichter"_s, u"Weinkeller"_s};
    row("a name already there, blanks around it", {u" Keller "_s}, twice, linesOf(twice));
    const QStringList underscore = {u"Erdgeschoss"_s, u"Keller"_s, u"Licht_EG"_s, u"Lichter"_s,
                                    u"Weinkeller"_s};
    row("underscore", {u"Licht_EG"_s}, underscore, linesOf(underscore));
    // Any other text is the label of a group whose item name follows from it.
    row("umlauts and sharp s", {u"Küche"_s, u"Straße"_s, u"ÄÖÜ äöü"_s},
        {u"Erdgeschoss"_s, u"Keller"_s, u"Küche"_s, u"Lichter"_s, u"Straße"_s, u"Weinkeller"_s, u"ÄÖÜ äöü"_s},
        {u"Group Erdgeschoss"_s, u"Group Keller"_s, u"Group Kueche \"Küche\""_s, u"Group Lichter"_s,
         u"Group Strasse \"Straße\""_s, u"Group Weinkeller"_s, u"Group AeOeUe_aeoeue \"ÄÖÜ äöü\""_s});
    row("blanks, signs, quotes", {u"Keller 2"_s, u"Bad \"oben\" \\ 1"_s},
        {u"Bad \"oben\" \\ 1"_s, u"Erdgeschoss"_s, u"Keller"_s, u"Keller 2"_s, u"Lichter"_s, u"Weinkeller"_s},
        {u"Group Bad__oben____1 \"Bad \\\"oben\\\" \\\\ 1\""_s, u"Group Erdgeschoss"_s, u"Group Keller"_s,
         u"Group Keller_2 \"Keller 2\""_s, u"Group Lichter"_s, u"Group Weinkeller"_s});
    row("two texts, one item name", {u"Wohn zimmer"_s, u"Wohn-zimmer"_s, u"Wohn_zimmer"_s},
        before + QStringList{u"Wohn zimmer"_s, u"Wohn-zimmer"_s, u"Wohn_zimmer"_s},
        linesOf(before) + QStringList{u"Group Wohn_zimmer \"Wohn zimmer\""_s,
                                      u"Group Wohn_zimmer_2 \"Wohn-zimmer\""_s,
                                      u"Group Wohn_zimmer_3 \"Wohn_zimmer\""_s});
    // Words the files' grammars or the program itself reserve never become item names.
    row("item type word", {u"switch"_s},
        QStringList{u"Erdgeschoss"_s, u"Keller"_s, u"Lichter"_s, u"switch"_s, u"Weinkeller"_s},
        {u"Group Erdgeschoss"_s, u"Group Keller"_s, u"Group Lichter"_s, u"Group switch_ \"switch\""_s,
         u"Group Weinkeller"_s});
    row("keyword AND", {u"AND"_s}, QStringList{u"AND"_s} + before,
        QStringList{u"Group AND_ \"AND\""_s} + linesOf(before));
    row("keyword in other case", {u"Or"_s},
        {u"Erdgeschoss"_s, u"Keller"_s, u"Lichter"_s, u"Or"_s, u"Weinkeller"_s},
        linesOf({u"Erdgeschoss"_s, u"Keller"_s, u"Lichter"_s, u"Or"_s, u"Weinkeller"_s}));
    row("the stop-all token", {u"_STOP_"_s}, QStringList{u"_STOP_"_s} + before,
        QStringList{u"Group _STOP__ \"_STOP_\""_s} + linesOf(before));
    row("empty", {QString()}, before, linesOf(before));
    row("blanks only", {u"   "_s}, before, linesOf(before));
    row("cancelled", {u"<cancel>"_s}, before, linesOf(before));
}

void GroupEditorTest::add()
{
    QFETCH(QStringList, answers);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, lines);

    for (const QString& answer : answers) {
        if (answer == u"<cancel>"_s)
            m_prompts.queueCancel();
        else
            m_prompts.queueText(answer);
    }
    QStringList shownAfter;
    const bool saved = edit([&] {
        for (qsizetype i = 0; i < answers.size(); ++i)
            m_frm->btnAdd->click();
        shownAfter = shownNames();
        m_frm->btnSave->click();
    });

    QVERIFY(saved);
    QCOMPARE(shownAfter, shown);
    QCOMPARE(groupLines(), lines);
    QCOMPARE(m_prompts.shown, QStringList(answers.size(), askAdd));
    // The next opening reads the labels back.
    QVERIFY(m_stack->workspace().OpenSelectedProject(m_lv).ok);
    QStringList labels;
    for (const QString& name : std::as_const(m_stack->openHab().slGroups))
        labels << GroupLabel(m_stack->openHab().groupLabels, name);
    QCOMPARE(SortedGroupNames(labels), shown);
}

void GroupEditorTest::renameFollowsEveryRowAndScene()
{
    m_prompts.queueText(u"Basement"_s);
    QStringList shown;
    const bool saved = edit([&] {
        doubleClick(u"Keller"_s);
        shown = shownNames();
        m_frm->btnSave->click();
    });

    QVERIFY(saved);
    QCOMPARE(m_prompts.shown, QStringList{askRename});
    // The renamed entry stays where it was; the stored group list follows the display.
    const QStringList order = {u"Erdgeschoss"_s, u"Basement"_s, u"Lichter"_s, u"Weinkeller"_s};
    QCOMPARE(shown, order);
    QCOMPARE(m_stack->openHab().slGroups, order);
    QCOMPARE(groupsTexts(m_lv), QStringList({u"Erdgeschoss, Basement"_s, u"Weinkeller, Basement"_s,
                                             u"Erdgeschoss"_s, u"Basement"_s, u"Lichter"_s, u"_STOP_"_s}));
    QCOMPARE(m_lv.at(3).label, u"Kellerlicht"_s);

    // The files were written from the renamed rows.
    const QString items = QString::fromUtf8(readBytes(projectFile(u"bticino.items"_s)));
    QVERIFY(items.startsWith(u"//Gruppen\r\nGroup Erdgeschoss\r\nGroup Basement\r\nGroup Lichter\r\n"
                             "Group Weinkeller\r\n\r\n"_s));
    QVERIFY(items.contains(u"\"Regal\" <light> (Weinkeller, Basement)"_s));
    QVERIFY(items.contains(u"GROUP_4 \"Kellerlicht\" <groundfloor> (Basement)"_s));
    QVERIFY(!items.contains(u"Keller)"_s) && !items.contains(u"Keller,"_s));
}

void GroupEditorTest::renameToAnyText_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("line");

    QTest::newRow("blank") << u"Keller Neu"_s << u"Keller Neu"_s << u"Keller_Neu"_s
                           << u"Group Keller_Neu \"Keller Neu\""_s;
    QTest::newRow("item type word") << u"Group"_s << u"Group"_s << u"Group_"_s << u"Group Group_ \"Group\""_s;
    QTest::newRow("emptied") << QString() << u"Keller"_s << u"Keller"_s << u"Group Keller"_s;
    QTest::newRow("cancelled") << u"<cancel>"_s << u"Keller"_s << u"Keller"_s << u"Group Keller"_s;
}

// The scene Kellerlicht and the rows Flur and Regal follow the group under its new item name; the
// list shows what the user typed.
void GroupEditorTest::renameToAnyText()
{
    QFETCH(QString, answer);
    QFETCH(QString, shown);
    QFETCH(QString, name);
    QFETCH(QString, line);

    if (answer == u"<cancel>"_s)
        m_prompts.queueCancel();
    else
        m_prompts.queueText(answer);
    QStringList shownAfter;
    QVERIFY(edit([&] {
        doubleClick(u"Keller"_s);
        shownAfter = shownNames();
        m_frm->btnSave->click();
    }));

    QCOMPARE(shownAfter, QStringList({u"Erdgeschoss"_s, shown, u"Lichter"_s, u"Weinkeller"_s}));
    QCOMPARE(groupsTexts(m_lv), QStringList({u"Erdgeschoss, "_s + name, u"Weinkeller, "_s + name,
                                             u"Erdgeschoss"_s, name, u"Lichter"_s, u"_STOP_"_s}));
    QCOMPARE(m_lv.data(m_lv.index(0, FunctionList::GroupsColumn)).toString(), u"Erdgeschoss, "_s + shown);
    QVERIFY(groupLines().contains(line));
    QCOMPARE(m_prompts.shown, QStringList{askRename});
}

void GroupEditorTest::deleteAsksAndSparesTheGroupsOfScenes_data()
{
    QTest::addColumn<bool>("agree");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<QStringList>("groups");
    QTest::newRow("Ja") << true << QStringList({u"Keller"_s, u"Lichter"_s})
                        << QStringList(
                               {u"Keller"_s, u"Keller"_s, QString(), u"Keller"_s, u"Lichter"_s, u"_STOP_"_s});
    QTest::newRow("Nein keeps the groups")
        << false << QStringList({u"Erdgeschoss"_s, u"Keller"_s, u"Lichter"_s, u"Weinkeller"_s})
        << QStringList({u"Erdgeschoss, Keller"_s, u"Weinkeller, Keller"_s, u"Erdgeschoss"_s, u"Keller"_s,
                        u"Lichter"_s, u"_STOP_"_s});
}

void GroupEditorTest::deleteAsksAndSparesTheGroupsOfScenes()
{
    QFETCH(bool, agree);
    QFETCH(QStringList, kept);
    QFETCH(QStringList, groups);
    for (int question = 0; question < 2; ++question)
        agree ? m_prompts.queueYes() : m_prompts.queueNo();
    QStringList shown;
    const bool saved = edit([&] {
        for (const QString& name : {u"Erdgeschoss"_s, u"Lichter"_s, u"Weinkeller"_s})
            entry(name)->setCheckState(Qt::Checked);
        m_frm->btnDeleteMarked->click();
        shown = shownNames();
        m_frm->btnSave->click();
    });

    QVERIFY(saved);
    // Lichter is switched by a scene and stays; the groups after it are still asked for, each
    // naming the functions that would lose it, with Nein as the answer to a hasty Enter.
    QCOMPARE(
        m_prompts.shown,
        QStringList({u"confirm, default No: Die Gruppe \"Erdgeschoss\" wird von diesen Funktionen verwendet: "
                     u"Flur, Garage. Trotzdem löschen?"_s,
                     sceneRefused(u"Lichter"_s),
                     u"confirm, default No: Die Gruppe \"Weinkeller\" wird von diesen Funktionen verwendet: "
                     u"Regal. Trotzdem löschen?"_s}));
    QCOMPARE(shown, kept);
    QCOMPARE(m_stack->openHab().slGroups, shown);
    QCOMPARE(groupsTexts(m_lv), groups);
    const QString items = QString::fromUtf8(readBytes(projectFile(u"bticino.items"_s)));
    QCOMPARE(items.contains(u"SWITCH_3 \"Garage\" <light> [\"Lighting\"]"_s), agree);
}

void GroupEditorTest::leavingWithoutSavingChangesNothing_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("Abbrechen") << 0;
    QTest::newRow("Escape") << 1;
    QTest::newRow("title-bar close") << 2;
}

void GroupEditorTest::leavingWithoutSavingChangesNothing()
{
    QFETCH(int, how);

    const QList<FunctionEntry> rows = m_lv.entries();
    const QStringList groups = m_stack->openHab().slGroups;
    const QMap<QString, QByteArray> before = files();
    m_prompts.queueText(u"OG"_s);
    m_prompts.queueText(u"Basement"_s);
    m_prompts.queueYes(); // Regal loses Weinkeller
    const bool saved = edit([&] {
        m_frm->btnAdd->click();
        doubleClick(u"Keller"_s);
        entry(u"Weinkeller"_s)->setCheckState(Qt::Checked);
        m_frm->btnDeleteMarked->click();
        QCOMPARE(shownNames(), QStringList({u"Erdgeschoss"_s, u"Basement"_s, u"Lichter"_s, u"OG"_s}));
        if (how == 0)
            m_frm->btnClose->click();
        else if (how == 1)
            QTest::keyClick(m_frm->lbGruppe, Qt::Key_Escape);
        else
            m_frm->close();
        QVERIFY(!m_frm->isVisible());
    });

    QVERIFY(!saved);
    QCOMPARE(m_lv.entries(), rows);
    QCOMPARE(m_stack->openHab().slGroups, groups);
    QCOMPARE(files(), before);
}

void GroupEditorTest::enterSaves()
{
    m_prompts.queueText(u"OG"_s);
    const bool saved = edit([&] {
        m_frm->btnAdd->click();
        m_frm->btnAdd->setFocus();
        QTest::keyClick(m_frm->btnAdd, Qt::Key_Return);
        QVERIFY(!m_frm->isVisible());
    });

    QVERIFY(saved);
    QVERIFY(m_stack->openHab().slGroups.contains(u"OG"_s));
}

void GroupEditorTest::saveFailureIsShown()
{
    const QString rules = projectFile(u"bticino.rules"_s);
    QFile::remove(rules);
    QVERIFY(QDir().mkpath(rules + u"/blocked"_s));
    m_prompts.queueText(u"Basement"_s);

    QVERIFY(edit([&] {
        doubleClick(u"Keller"_s);
        m_frm->btnSave->click();
    }));

    QCOMPARE(m_prompts.shown.size(), 2);
    QVERIFY2(m_prompts.shown.at(1).startsWith(u"error: Datei "_s) && m_prompts.shown.at(1).contains(rules),
             qPrintable(m_prompts.shown.at(1)));
    // The project's files are written all together or not at all; the rows hold the change for
    // the next save.
    QVERIFY(!readBytes(projectFile(u"bticino.items"_s)).contains("Group Basement"));
    QCOMPARE(m_lv.at(0).groups, u"Erdgeschoss, Basement"_s);
}

QTEST_MAIN(GroupEditorTest)
#include "tst_groupeditor.moc"
