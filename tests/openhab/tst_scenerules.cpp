// The members each individual scene switches: the rules generator looks them up in an index of the
// list, and must find exactly the rows that IsInGroup admits, in list order, as a search of the
// whole list per scene does.
#include "bus/busaddress.h"
#include "model/groupnames.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "openhab/rulesbuilder.h"

#include "functionlistgenerator.h"
#include "programfolder.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// The ON and OFF lines of one scene's rule.
struct SceneLines
{
    QStringList on;
    QStringList off;
    bool operator==(const SceneLines&) const = default;
};

QString command(const FunctionEntry& row, const QString& value)
{
    return u"    sendCommand("_s + row.alias + u", "_s + value + u')';
}

// What the scene switches, found by asking IsInGroup about every row.
SceneLines searchedMembers(const QList<FunctionEntry>& rows, const FunctionEntry& scene)
{
    const bool bStopAll = scene.groups == u"_STOP_";
    SceneLines lines;
    for (const FunctionEntry& row : rows) {
        const bool bBlind = row.kind == FunctionEntry::Automation;
        if (bStopAll && bBlind) {
            lines.on << command(row, u"STOP"_s);
            lines.off << command(row, u"STOP"_s);
        } else if (!bStopAll && row.kind != FunctionEntry::GroupScene &&
                   IsInGroup(row.groups, scene.groups)) {
            lines.on << command(row, bBlind ? (scene.reverse ? u"DOWN"_s : u"UP"_s) : u"ON"_s);
            lines.off << command(row, bBlind ? (scene.reverse ? u"UP"_s : u"DOWN"_s) : u"OFF"_s);
        }
    }
    return lines;
}

// The member lines of every scene rule in the rules, in order.
QList<SceneLines> sceneRules(const QStringList& rules)
{
    QList<SceneLines> scenes;
    QStringList* target = nullptr;
    for (const QString& line : rules) {
        if (line == u"  if (receivedCommand == ON) {") {
            scenes.append(SceneLines());
            target = &scenes.last().on;
        } else if (target && line == u"  } else if (receivedCommand == OFF) {") {
            target = &scenes.last().off;
        } else if (target && line == u"  }") {
            target = nullptr;
        } else if (target) {
            *target << line;
        }
    }
    return scenes;
}

} // namespace

class TestSceneRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void membersAsSearched_data();
    void membersAsSearched();
    void generatedProjects();

private:
    void compare(const QList<FunctionEntry>& rows);

    TestProgramFolder m_folder;
    Language m_language{m_folder.configDir()};
    OpenHabGenerator m_openHab{m_language, m_folder.configDir()};
};

// Builds the rules of all rows, as SaveItems does, and compares each scene's members with the
// search.
void TestSceneRules::compare(const QList<FunctionEntry>& rows)
{
    RulesBuilder builder(rows);
    QList<SceneLines> expected;
    for (const FunctionEntry& row : rows) {
        builder.BuildRowRules(row);
        if (row.kind == FunctionEntry::GroupScene)
            expected << searchedMembers(rows, row);
    }
    QCOMPARE(sceneRules(builder.Build().text().split(u"\r\n"_s)), expected);
}

void TestSceneRules::membersAsSearched_data()
{
    QTest::addColumn<QList<FunctionEntry>>("rows");

    const auto row = [](int kind, const QString& alias, const QString& groups) {
        FunctionEntry entry;
        entry.kind = kind;
        entry.alias = alias;
        entry.label = alias;
        entry.groups = groups;
        return entry;
    };
    const auto scene = [&](const QString& alias, const QString& group) {
        return row(FunctionEntry::GroupScene, alias, group);
    };
    const QList<FunctionEntry> members = {
        row(FunctionEntry::Switch, u"SWITCH_1"_s, u"EG"_s),
        row(FunctionEntry::Dimmer, u"DIMMER_2"_s, u" EG ,EG2"_s),
        row(FunctionEntry::Automation, u"AUTO_3"_s, u"XEG, EG, EG"_s),
        row(FunctionEntry::Automation, u"AUTO_4"_s, u"EG2"_s),
        row(FunctionEntry::CenScene, u"CEN_5"_s, u",EG,"_s),
        row(FunctionEntry::Switch, u"SWITCH_6"_s, QString()),
        row(9, u"ODD_7"_s, u"EG"_s),
        scene(u"GROUP_8"_s, u"EG"_s),
    };
    QTest::newRow("exact names, blanks, repeats, empty names")
        << members + QList{scene(u"GROUP_9"_s, u"EG"_s)};
    QTest::newRow("no member") << members +
                                      QList{scene(u"GROUP_9"_s, u"E"_s), scene(u"GROUP_10"_s, u"EG, EG2"_s)};
    QTest::newRow("blank in the scene's group") << members + QList{scene(u"GROUP_9"_s, u" EG"_s)};
    QTest::newRow("empty scene group") << members + QList{scene(u"GROUP_9"_s, QString())};
    QTest::newRow("stop all") << members + QList{scene(u"GROUP_9"_s, u"_STOP_"_s)};
    QTest::newRow("reversing") << members + QList{scene(u"GROUPX_9"_s, u"EG2"_s)};
    QTest::newRow("same group, then reversing")
        << members + QList{scene(u"GROUPX_9"_s, u"EG"_s), scene(u"GROUP_10"_s, u"EG"_s)};
    QTest::newRow("stop all without blinds") << QList{members.at(0), scene(u"GROUP_9"_s, u"_STOP_"_s)};
    QTest::newRow("scene before its members") << QList{scene(u"GROUP_1"_s, u"EG"_s)} + members;
}

void TestSceneRules::membersAsSearched()
{
    QFETCH(QList<FunctionEntry>, rows);
    compare(rows);
}

void TestSceneRules::generatedProjects()
{
    for (quint32 seed = 1; seed <= 200; ++seed) {
        FunctionListGenerator generator(m_openHab, seed);
        const QStringList groups = generator.groups(8);
        compare(generator.functions(groups, 60));
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(u"seed %1"_s.arg(seed)));
    }
}

QTEST_GUILESS_MAIN(TestSceneRules)
#include "tst_scenerules.moc"
