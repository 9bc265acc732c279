// The sitemap bticino.sitemap in its two layouts: one frame per kind, or one frame per group.
#include "bus/busaddress.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"

#include "crlftext.h"
#include "germangenerator.h"
#include "programfolder.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

QByteArray projectIni(const char* sitemap)
{
    return QByteArray("[CFG]\r\nVERSION=3\r\n") + sitemap + "\r\n";
}

// The sitemaps of rows().
const QStringList kindFrames = {
    uR"(sitemap bticino label="Haus "Müller"" {)"_s,
    uR"(  Frame label="Lichter/Schalter" {)"_s,
    u"    Switch item=SWITCH_2"_s,
    u"    Switch item=SWITCH_6"_s,
    u"    Switch item=SWITCH_8"_s,
    u"  }"_s,
    uR"(  Frame label="Dimmer" {)"_s,
    u"    Slider item=DIMMER_3"_s,
    u"  }"_s,
    uR"(  Frame label="CEN" {)"_s,
    uR"(    Switch item=CEN_5 mappings=[ON="Ausführen"])"_s,
    u"  }"_s,
    uR"(  Frame label="Szenarien" {)"_s,
    uR"(    Switch item=SCENE_4 mappings=[ON="Ausführen"])"_s,
    u"  }"_s,
    uR"(  Frame label="individuelle Szenen" {)"_s,
    u"    Switch item=GROUP_1"_s,
    u"    Switch item=GROUP_7"_s,
    u"  }"_s,
    u"}"_s,
};

// Groups are matched by exact name: SCENE_4 (OG, XEG) and SWITCH_6 (EG2) stand in no frame, the
// empty group Dach has no frame. The group Lichter is labelled.
const QStringList groupFrames = {
    uR"(sitemap bticino label="Haus "Müller"" {)"_s,
    uR"(  Frame label="Erdgeschoss" {)"_s,
    u"    Switch item=SWITCH_2"_s,
    u"  }"_s,
    u"  Frame label=\"Licht \\\"innen\\\" \\\\ außen\" {"_s,
    u"    Switch item=SWITCH_2"_s,
    uR"(    Switch item=CEN_5 mappings=[ON="Ausführen"])"_s,
    u"    Switch item=SWITCH_8"_s,
    u"  }"_s,
    uR"(  Frame label="EG" {)"_s,
    u"    Switch item=GROUP_1"_s,
    u"    Switch item=SWITCH_8"_s,
    u"  }"_s,
    uR"(  Frame label="Allgemein" {)"_s,
    u"    Slider item=DIMMER_3"_s,
    u"    Switch item=GROUP_7"_s,
    u"  }"_s,
    u"}"_s,
};

// Every kind but the blind, in groups that the exact matching tells apart.
QList<FunctionEntry> rows()
{
    struct Row
    {
        int kind;
        const char16_t* alias;
        const char16_t* groups;
    };
    static const Row table[] = {
        {5, u"GROUP_1", u"EG"},     {0, u"SWITCH_2", u"Erdgeschoss, Lichter"},
        {1, u"DIMMER_3", u""},      {4, u"SCENE_4", u"OG, XEG"},
        {3, u"CEN_5", u"Lichter"},  {0, u"SWITCH_6", u"EG2"},
        {5, u"GROUP_7", u"_STOP_"}, {0, u"SWITCH_8", u"Lichter , EG"},
    };
    QList<FunctionEntry> list;
    for (const Row& row : table)
        list << FunctionEntry{.label = u"Funktion"_s,
                              .address = u"01.12"_s,
                              .groups = QString::fromUtf16(row.groups),
                              .alias = QString::fromUtf16(row.alias),
                              .key = u"1"_s,
                              .kind = row.kind}
                    .normalized();
    return list;
}

} // namespace

class TestSitemap : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void layout_data();
    void layout();
    void emptyList_data();
    void emptyList();
    void followsLanguageAndLayoutAtEveryCall();

private:
    QString projectFile(const QString& name) const { return m_gen->sProjPath + name; }

    std::unique_ptr<GermanGenerator> m_fixture;
    OpenHabGenerator* m_gen = nullptr;
};

void TestSitemap::init()
{
    m_fixture = std::make_unique<GermanGenerator>();
    m_gen = &m_fixture->gen;
    m_gen->sProj = u"Haus \"Müller\""_s;
    m_gen->slGroups = {u"Erdgeschoss"_s, u"Dach"_s, u"Lichter"_s, u"EG"_s};
    m_gen->groupLabels = {{u"Lichter"_s, u"Licht \"innen\" \\ außen"_s}};
}

void TestSitemap::layout_data()
{
    QTest::addColumn<QByteArray>("ini"); // null: no project.ini
    QTest::addColumn<QStringList>("sitemap");

    QTest::newRow("no project.ini") << QByteArray() << kindFrames;
    QTest::newRow("no SITEMAP key") << QByteArray("[CFG]\r\nVERSION=3\r\n") << kindFrames;
    QTest::newRow("SITEMAP=1") << projectIni("SITEMAP=1") << kindFrames;
    QTest::newRow("SITEMAP=0") << projectIni("SITEMAP=0") << groupFrames;
    QTest::newRow("SITEMAP=2") << projectIni("SITEMAP=2") << groupFrames;
    QTest::newRow("SITEMAP=Gruppen") << projectIni("SITEMAP=Gruppen") << groupFrames;
}

void TestSitemap::layout()
{
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, sitemap);

    if (!ini.isNull())
        QVERIFY(writeBytes(projectFile(u"project.ini"_s), ini));
    QCOMPARE(m_gen->SaveItems(rows()), FileErrors());
    QCOMPARE(readBytes(projectFile(u"bticino.sitemap"_s)), crlf(sitemap));
}

void TestSitemap::emptyList_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::newRow("kind frames") << projectIni("SITEMAP=1");
    QTest::newRow("group frames") << projectIni("SITEMAP=2");
}

void TestSitemap::emptyList()
{
    QFETCH(QByteArray, ini);

    QVERIFY(writeBytes(projectFile(u"project.ini"_s), ini));
    QVERIFY(writeBytes(projectFile(u"bticino.sitemap"_s), "old\r\n"));
    QCOMPARE(m_gen->SaveItems({}), FileErrors());
    QCOMPARE(QFileInfo(projectFile(u"bticino.sitemap"_s)).size(), 0);
}

void TestSitemap::followsLanguageAndLayoutAtEveryCall()
{
    TestProgramFolder folder;
    Language language(folder.configDir());
    OpenHabGenerator gen(language, folder.configDir());
    gen.sProjPath = m_gen->sProjPath;
    gen.sProj = u"Haus"_s;
    gen.slGroups = {u"Lichter"_s};
    const QList<FunctionEntry> list{
        {.label = u"Flur"_s, .address = u"01.12"_s, .alias = u"DIMMER_1"_s, .kind = FunctionEntry::Dimmer},
        {.label = u"Bad"_s,
         .address = u"01.15"_s,
         .groups = u"Lichter"_s,
         .alias = u"CEN_2"_s,
         .key = u"1"_s,
         .kind = FunctionEntry::CenScene}};

    QCOMPARE(gen.SaveItems(list), FileErrors());
    QCOMPARE(readBytes(projectFile(u"bticino.sitemap"_s)),
             crlf({uR"(sitemap bticino label="Haus" {)"_s, uR"(  Frame label="Dimmer" {)"_s,
                   u"    Slider item=DIMMER_1"_s, u"  }"_s, uR"(  Frame label="CEN" {)"_s,
                   uR"(    Switch item=CEN_2 mappings=[ON="Ausführen"])"_s, u"  }"_s, u"}"_s}));

    language.LoadLanguage(u"English"_s);
    QVERIFY(writeBytes(projectFile(u"project.ini"_s), projectIni("SITEMAP=2")));
    QCOMPARE(gen.SaveItems(list), FileErrors());
    QCOMPARE(readBytes(projectFile(u"bticino.sitemap"_s)),
             crlf({uR"(sitemap bticino label="Haus" {)"_s, uR"(  Frame label="Lichter" {)"_s,
                   uR"(    Switch item=CEN_2 mappings=[ON="Run"])"_s, u"  }"_s,
                   uR"(  Frame label="General" {)"_s, u"    Slider item=DIMMER_1"_s, u"  }"_s, u"}"_s}));
}

QTEST_GUILESS_MAIN(TestSitemap)
#include "tst_sitemap.moc"
