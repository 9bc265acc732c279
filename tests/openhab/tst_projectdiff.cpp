#include "bus/busaddress.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "openhab/projectdiff.h"
#include "programfolder.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray light(int number, const QString& label, const QString& where)
{
    return uR"(Switch SWITCH_%1 "%2" <light> {bticino="if=webserver;who=1;what=0;where=%3"})"_s.arg(number)
               .arg(label, where)
               .toUtf8() +
           "\r\n";
}

ProjectFiles items(const QByteArray& lines)
{
    return {{OpenHabGenerator::sItemsFile, "//Schaltelemente\r\n" + lines}};
}

} // namespace

// What a send or a restore would change, by function and by line.
class TestProjectDiff : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void functionsByAlias();
    void summaryNamesChangedFiles();
    void unifiedPerFile();

private:
    TestProgramFolder m_folder;
    Language m_language{m_folder.configDir()};
    OpenHabGenerator m_openHab{m_language, m_folder.configDir()};
};

void TestProjectDiff::functionsByAlias()
{
    // SWITCH_2 changes its address, SWITCH_3 is new, SWITCH_1 goes; SWITCH_4 only moves.
    const ProjectFiles before =
        items(light(1, u"Bad"_s, u"11"_s) + light(2, u"Küche"_s, u"12"_s) + light(4, u"Flur"_s, u"14"_s));
    const ProjectFiles after =
        items(light(4, u"Flur"_s, u"14"_s) + light(3, u"Keller"_s, u"13"_s) + light(2, u"Küche"_s, u"21"_s));
    const ProjectDiff diff(m_openHab, before, after);
    const QList<FunctionChange> expected = {
        {FunctionChange::Added, u"SWITCH_3"_s, u"Keller"_s},
        {FunctionChange::Changed, u"SWITCH_2"_s, u"Küche"_s},
        {FunctionChange::Removed, u"SWITCH_1"_s, u"Bad"_s},
    };
    QCOMPARE(diff.functions().size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QCOMPARE(diff.functions()[i].kind, expected[i].kind);
        QCOMPARE(diff.functions()[i].alias, expected[i].alias);
        QCOMPARE(diff.functions()[i].label, expected[i].label);
    }
    QCOMPARE(diff.report(m_language), u"1 neu, 1 geändert, 1 entfernt\nGeänderte Dateien: bticino.items\n"
                                      u"+ SWITCH_3\tKeller\n~ SWITCH_2\tKüche\n- SWITCH_1\tBad\n"_s);
}

// A file only one side has counts as empty on the other; files without functions still show.
void TestProjectDiff::summaryNamesChangedFiles()
{
    ProjectFiles before = items(light(1, u"Bad"_s, u"11"_s));
    ProjectFiles after = before;
    QCOMPARE(ProjectDiff(m_openHab, before, after).summary(m_language), u"0 neu, 0 geändert, 0 entfernt"_s);
    after.insert(OpenHabGenerator::sCfgFile, "bticino:ip=1.2.3.4\r\n");
    before.insert(OpenHabGenerator::sMQTTFile, "x\r\n");
    after.insert(OpenHabGenerator::sMQTTFile, "x\r\n");
    const ProjectDiff diff(m_openHab, before, after);
    QCOMPARE(diff.changedFiles(), QStringList{OpenHabGenerator::sCfgFile});
    QCOMPARE(diff.summary(m_language), u"0 neu, 0 geändert, 0 entfernt\nGeänderte Dateien: bticino.cfg"_s);
    // No items file on either side: no functions at all.
    QVERIFY(ProjectDiff(m_openHab, {}, {{OpenHabGenerator::sCfgFile, "a"}}).functions().isEmpty());
}

void TestProjectDiff::unifiedPerFile()
{
    const ProjectFiles before = {{u"a"_s, "1\n2\n"}, {u"b"_s, "same\n"}};
    const ProjectFiles after = {{u"a"_s, "1\n3\n"}, {u"b"_s, "same\n"}, {u"c"_s, "new\n"}};
    QCOMPARE(ProjectDiff(m_openHab, before, after).unified(u"gateway"_s, u"project"_s),
             QByteArray("--- gateway/a\n+++ project/a\n@@ -1,2 +1,2 @@\n 1\n-2\n+3\n"
                        "--- gateway/c\n+++ project/c\n@@ -0,0 +1 @@\n+new\n"));
}

QTEST_GUILESS_MAIN(TestProjectDiff)
#include "tst_projectdiff.moc"
