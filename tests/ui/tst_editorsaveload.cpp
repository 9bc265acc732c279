#include "bus/busaddress.h"
#include "functionlistgenerator.h"
#include "model/functionlist.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "programfolder.h"
#include "randomrun.h"
#include "saveproject.h"
#include "scriptedprompts.h"
#include "ui/functioneditor.h"
#include "ui/program.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

// Opening a function in the editor and saving it without a change must not change it: whatever a
// project holds comes back from the items file as it was, except for the aliases, which the editor
// renumbers by position.
class EditorSaveLoadTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void unchangedRowsComeBack();

private:
    // The row in texts, its address by meaning: address kind, numbers without their leading zeros
    // and bus, so that 03.01 and 3.1 are the same actuator.
    QString describe(const FunctionEntry& row) const;
    // The row as the loader gives it back after the editor saved it at position: the alias renumbered,
    // a one-digit CEN key with its leading zero, the reverse text following the alias; all else as
    // the row held it.
    FunctionEntry reloaded(const FunctionEntry& row, int position) const;
    // Opens the row in the editor and saves it as it is shown; false when the editor refused.
    bool saveUnchanged(int row);

    TestProgramFolder m_folder;
    TestSaveProject m_project;
    Language m_language{m_folder.configDir()};
    OpenHabGenerator m_openHab{m_language, m_folder.configDir()};
    ScriptedPrompts m_prompts;
    Program m_program{m_openHab, m_language, m_prompts};
    FunctionEditor m_item{m_program};
    FunctionList m_list;
};

void EditorSaveLoadTest::initTestCase()
{
    QVERIFY(m_folder.isValid());
    m_language.LoadLanguage(u"Deutsch"_s);
    QVERIFY(m_project.open(m_openHab, m_folder));
}

QString EditorSaveLoadTest::describe(const FunctionEntry& row) const
{
    QString address;
    if (row.kind != FunctionEntry::GroupScene) {
        const BusAddress::Form stored = BusAddress::storedForm(row.address, row.kind);
        static const QRegularExpression separators(u"[^0-9]+"_s);
        QStringList numbers;
        for (const QString& part : stored.text.split(separators, Qt::SkipEmptyParts))
            numbers << QString::number(part.toInt());
        address = QString::number(int(stored.kind)) + u':' + numbers.join(u'.') + u" bus "_s +
                  QString::number(row.bus);
    }
    return QStringList{QString::number(row.kind),
                       row.alias,
                       row.label,
                       address,
                       row.key,
                       QString::number(int(row.voice)),
                       row.groups,
                       row.reverse ? u"reversing"_s : QString()}
        .join(u'|');
}

FunctionEntry EditorSaveLoadTest::reloaded(const FunctionEntry& row, int position) const
{
    FunctionEntry result = row;
    result.alias = row.alias.left(row.alias.indexOf(u'_') + 1) + QString::number(position + 1);
    if (row.kind == FunctionEntry::CenScene && row.key.size() == 1)
        result.key.prepend(u'0');
    result = result.normalized();
    // The label as the row held it: a label that changes on its way through the editor is a fault.
    result.label = row.label;
    return result;
}

bool EditorSaveLoadTest::saveUnchanged(int row)
{
    bool saved = false;
    QTimer::singleShot(0, &m_item, [this, &saved] {
        m_item.btnSave->click();
        saved = !m_item.isVisible();
        if (!saved)
            m_item.reject();
    });
    m_item.DoEdit(row, m_list);
    return saved;
}

void EditorSaveLoadTest::unchangedRowsComeBack()
{
    RandomRun run;
    FunctionListGenerator generator(m_openHab, run.seed());
    QRandomGenerator sizes(run.seed());

    for (run.project = 0; run.project < 100; ++run.project) {
        m_openHab.slGroups = generator.groups();
        const QStringList groups = m_openHab.slGroups;
        const QList<FunctionEntry> rows = generator.functions(groups, sizes.bounded(20));
        m_list.setEntries(rows);
        // The project on disk before the editor comes in; without rows nothing else writes it.
        QVERIFY(m_openHab.SaveItems(rows).isEmpty());
        QStringList expected;
        for (int i = 0; i < rows.size(); ++i)
            expected << describe(reloaded(rows.at(i), i));

        for (int i = 0; i < m_list.count(); ++i)
            QVERIFY2(saveUnchanged(i),
                     qPrintable(describe(m_list.at(i)) + u": "_s + m_prompts.shown.join(u"; "_s)));

        m_openHab.LoadFiles(m_list);
        QCOMPARE(m_openHab.slGroups, groups);
        QStringList loaded;
        for (const FunctionEntry& row : m_list.entries())
            loaded << describe(row);
        QCOMPARE(loaded, expected);
    }
    QVERIFY(m_prompts.shown.isEmpty());
}

QTEST_MAIN(EditorSaveLoadTest)
#include "tst_editorsaveload.moc"
