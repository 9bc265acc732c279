// The project for openHAB 5 with the OpenWebNet binding: the four files of a small project with every
// kind, the functions the binding cannot express, and texts escaped for openHAB's grammars.
#include "openhab/openhab5export.h"
#include "openhab/openhab5text.h"

#include "germangenerator.h"
#include "voiceword.h"

#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

// Declared before the expected files: moc does not read texts of several lines.
class TestOpenHab5Export : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void filesOfEveryKind_data();
    void filesOfEveryKind();
    void bridgeWithoutPortOrPassword();
    void leftOut_data();
    void leftOut();
    void quoted_data();
    void quoted();

private:
    std::unique_ptr<GermanGenerator> m_fixture;
};

namespace {

struct Row
{
    int kind;
    QString label;
    QString address; // stored form
    QString alias;
    QString groups;
    QString voice;
    QString key;
    int bus = 0;
    int cen = 0;
};

QList<FunctionEntry> entries(const QList<Row>& rows)
{
    QList<FunctionEntry> list;
    for (const Row& row : rows)
        list << FunctionEntry{.label = row.label,
                              .address = row.address,
                              .groups = row.groups,
                              .alias = row.alias,
                              .key = row.key,
                              .kind = row.kind,
                              .bus = row.bus,
                              .cen = row.cen,
                              .voice = voiceOf(row.voice),
                              .reverse = row.alias.startsWith(u"GROUPX_")}
                    .normalized();
    return list;
}

// Every kind, every way to the bus, and labels that need escaping.
const QList<Row> project = {
    {0, u"Küche"_s, u"01.12"_s, u"SWITCH_1"_s, u"Erdgeschoss"_s, u"Ja"_s, {}},
    {0, u"EG Licht"_s, u"1"_s, u"SWITCH_2"_s, {}, {}, {}},
    {1, u"Esszimmer \"groß\" [EG]"_s, u"1.5"_s, u"DIMMER_3"_s, u"Nirgends"_s, u"Ja"_s, {}, 2},
    {2, u"Wohnzimmer"_s, u"01.14"_s, u"AUTO_4"_s, u"Erdgeschoss"_s, u"Alexa"_s, {}},
    {2, u"Markise"_s, u"#3"_s, u"AUTO_5"_s, u"Garten, Garten"_s, u"Siri/Home"_s, {}, 1},
    {3, u"Abend"_s, u"01.15"_s, u"CEN_6"_s, {}, {}, u"1"_s},
    {3, u"Party"_s, u"01.15"_s, u"CEN_7"_s, {}, u"Ja"_s, u"02"_s, 0, 1},
    {3, u"Nacht"_s, u"01.15"_s, u"CEN_8"_s, {}, {}, u"3"_s, 0, 2},
    {3, u"Flur"_s, u"01.15"_s, u"CEN_9"_s, {}, {}, u"3"_s},
    {4, u"Kino"_s, u"0.5"_s, u"SCENE_10"_s, {}, {}, u"3"_s},
    {5, u"Erdgeschoss \\ aus"_s, {}, u"GROUPX_11"_s, u"Erdgeschoss"_s, {}, {}},
    {5, u"Alle stoppen"_s, {}, u"GROUP_12"_s, u"_STOP_"_s, {}, {}},
};

const QString things =
    uR"(Bridge openwebnet:bus_gateway:bticino "BTicino" [ host="192.168.1.35", port=20000, passwd="ab\"c" ] {
    bus_on_off_switch SWITCH_1 "Küche" [ where="0112" ]
    bus_light_group SWITCH_2 "EG Licht" [ where="1" ]
    bus_dimmer DIMMER_3 "Esszimmer \"groß\" [EG]" [ where="15#4#02" ]
    bus_automation AUTO_4 "Wohnzimmer" [ where="0114", shutterRun="AUTO" ]
    bus_cen_scenario_control cen_0115 "CEN 01.15" [ where="0115", buttons="1,3" ]
    bus_cenplus_scenario_control cenplus_20115 "CEN+ 01.15" [ where="20115", buttons="2,3" ]
}
)"_s;

const QString items = uR"(Group Erdgeschoss "Erdgeschoss"
Group Garten "Garten \"hinten\""

Switch SWITCH_1 "Küche" <light> (Erdgeschoss) { channel="openwebnet:bus_on_off_switch:bticino:SWITCH_1:switch", alexa="Light", homekit="Lighting" }
Switch SWITCH_2 "EG Licht" <light> { channel="openwebnet:bus_light_group:bticino:SWITCH_2:switch" }
Dimmer DIMMER_3 "Esszimmer \"groß\" [EG]" <light> { channel="openwebnet:bus_dimmer:bticino:DIMMER_3:brightness", alexa="Light", homekit="Lighting" }
Rollershutter AUTO_4 "Wohnzimmer" <rollershutter> (Erdgeschoss) { channel="openwebnet:bus_automation:bticino:AUTO_4:shutter", alexa="Blind" }
Rollershutter AUTO_5 "Markise" <rollershutter> (Garten) { homekit="WindowCovering" }
Switch CEN_6 "Abend" <mediacontrol> { autoupdate="false" }
Switch CEN_7 "Party" <mediacontrol> { autoupdate="false", alexa="Switch", homekit="Switchable" }
Switch CEN_8 "Nacht" <mediacontrol> { autoupdate="false" }
Switch CEN_9 "Flur" <mediacontrol> { autoupdate="false" }
Switch SCENE_10 "Kino" <cinema> { autoupdate="false" }
Switch GROUPX_11 "Erdgeschoss \\ aus" <groundfloor> (Erdgeschoss)
Switch GROUP_12 "Alle stoppen" <groundfloor>
)"_s;

const QString rules = uR"(rule "Automation Markise"
when
  Item AUTO_5 received command
then
  if (receivedCommand == UP) {
    getActions("openwebnet", "openwebnet:bus_gateway:bticino").sendMessage("*2*1*#3#4#01##")
  } else if (receivedCommand == DOWN) {
    getActions("openwebnet", "openwebnet:bus_gateway:bticino").sendMessage("*2*2*#3#4#01##")
  } else if (receivedCommand == STOP) {
    getActions("openwebnet", "openwebnet:bus_gateway:bticino").sendMessage("*2*0*#3#4#01##")
  }
end

rule "CEN Abend"
when
  Item CEN_6 received command
then
  getActions("openwebnet", "openwebnet:bus_cen_scenario_control:bticino:cen_0115").virtualPress("START_PRESS", 1)
end

rule "CEN Party"
when
  Item CEN_7 received command
then
  getActions("openwebnet", "openwebnet:bus_cenplus_scenario_control:bticino:cenplus_20115").virtualPress("SHORT_PRESS", 2)
end

rule "CEN Nacht"
when
  Item CEN_8 received command
then
  getActions("openwebnet", "openwebnet:bus_cenplus_scenario_control:bticino:cenplus_20115").virtualPress("EXTENDED_PRESS", 3)
end

rule "CEN Flur"
when
  Item CEN_9 received command
then
  getActions("openwebnet", "openwebnet:bus_cen_scenario_control:bticino:cen_0115").virtualPress("START_PRESS", 3)
end

rule "Scenario Kino"
when
  Item SCENE_10 received command
then
  getActions("openwebnet", "openwebnet:bus_gateway:bticino").sendMessage("*0*3*05##")
end

rule "Groupcommand Alle stoppen"
when
  Item GROUP_12 received command
then
  getActions("openwebnet", "openwebnet:bus_gateway:bticino").sendMessage("*2*0*0##")
  getActions("openwebnet", "openwebnet:bus_gateway:bticino").sendMessage("*2*0*0#4#01##")
end

rule "Groupcommand Erdgeschoss \\ aus"
when
  Item GROUPX_11 received command
then
  logInfo("group.rules","Switch group GROUPX_11")
  if (receivedCommand == ON) {
    sendCommand(SWITCH_1, ON)
    sendCommand(AUTO_4, DOWN)
  } else if (receivedCommand == OFF) {
    sendCommand(SWITCH_1, OFF)
    sendCommand(AUTO_4, UP)
  }
end

)"_s;

const QString sitemapByKind = uR"(sitemap bticino label="Haus \"Müller\"" {
  Frame label="Lichter/Schalter" {
    Switch item=SWITCH_1
    Switch item=SWITCH_2
  }
  Frame label="Dimmer" {
    Slider item=DIMMER_3
  }
  Frame label="Jalousien/Raffstore" {
    Switch item=AUTO_4
    Switch item=AUTO_5
  }
  Frame label="CEN" {
    Switch item=CEN_6 mappings=[ON="Ausführen"]
    Switch item=CEN_7 mappings=[ON="Ausführen"]
    Switch item=CEN_8 mappings=[ON="Ausführen"]
    Switch item=CEN_9 mappings=[ON="Ausführen"]
  }
  Frame label="Szenarien" {
    Switch item=SCENE_10 mappings=[ON="Ausführen"]
  }
  Frame label="individuelle Szenen" {
    Switch item=GROUPX_11
    Switch item=GROUP_12
  }
}
)"_s;

// A group name that openHAB does not take is declared nowhere and names no frame.
const QString sitemapByGroup = uR"(sitemap bticino label="Haus \"Müller\"" {
  Frame label="Erdgeschoss" {
    Switch item=SWITCH_1
    Switch item=AUTO_4
    Switch item=GROUPX_11
  }
  Frame label="Garten \"hinten\"" {
    Switch item=AUTO_5
  }
  Frame label="Allgemein" {
    Switch item=SWITCH_2
    Switch item=CEN_6 mappings=[ON="Ausführen"]
    Switch item=CEN_7 mappings=[ON="Ausführen"]
    Switch item=CEN_8 mappings=[ON="Ausführen"]
    Switch item=CEN_9 mappings=[ON="Ausführen"]
    Switch item=SCENE_10 mappings=[ON="Ausführen"]
    Switch item=GROUP_12
  }
}
)"_s;

} // namespace

void TestOpenHab5Export::init()
{
    m_fixture = std::make_unique<GermanGenerator>();
    OpenHabGenerator& gen = m_fixture->gen;
    gen.sProj = u"Haus \"Müller\""_s;
    gen.slGroups = {u"Erdgeschoss"_s, u"Garten"_s, u"Erd geschoss"_s, u"Garten"_s};
    gen.groupLabels = {{u"Garten"_s, u"Garten \"hinten\""_s}};
    gen.serverIP = u"192.168.1.35"_s;
    gen.serverPort = u"20000"_s;
    gen.serverPass = u"ab\"c"_s;
}

void TestOpenHab5Export::filesOfEveryKind_data()
{
    QTest::addColumn<bool>("kindFrames");
    QTest::addColumn<QString>("sitemap");
    QTest::newRow("frames by kind") << true << sitemapByKind;
    QTest::newRow("frames by group") << false << sitemapByGroup;
}

void TestOpenHab5Export::filesOfEveryKind()
{
    QFETCH(bool, kindFrames);
    QFETCH(QString, sitemap);
    const QList<FunctionEntry> rows = entries(project);
    const OpenHab5Export exported(m_fixture->gen, rows);
    const auto files = exported.files(kindFrames);
    QCOMPARE(files.size(), 4);
    const QString expected[] = {things, items, rules, sitemap};
    const QString paths[] = {u"things/bticino.things"_s, u"items/bticino.items"_s, u"rules/bticino.rules"_s,
                             u"sitemaps/bticino.sitemap"_s};
    for (qsizetype i = 0; i < files.size(); ++i) {
        QCOMPARE(files.at(i).first, paths[i]);
        QCOMPARE(files.at(i).second, expected[i]);
    }
    QCOMPARE(exported.leftOut(), QStringList());
}

// The binding's defaults stand in for what the project leaves empty.
void TestOpenHab5Export::bridgeWithoutPortOrPassword()
{
    m_fixture->gen.serverPort = u"zwanzig"_s;
    m_fixture->gen.serverPass.clear();
    const QList<FunctionEntry> none;
    const OpenHab5Export exported(m_fixture->gen, none);
    QCOMPARE(exported.files(true).constFirst().second,
             u"Bridge openwebnet:bus_gateway:bticino \"BTicino\" [ host=\"192.168.1.35\" ] {\n}\n"_s);
}

void TestOpenHab5Export::leftOut_data()
{
    QTest::addColumn<QList<Row>>("rows");
    QTest::addColumn<QString>("line");

    const Row light{0, u"Flur"_s, u"03.01"_s, u"SWITCH_1"_s, {}, {}, {}};
    const auto alone = [](Row row) {
        row.alias = u"X_9"_s;
        return row;
    };
    QTest::newRow("CEN key above 31")
        << QList<Row>{{3, u"Abend"_s, u"01.15"_s, u"X_9"_s, {}, {}, u"32"_s}}
        << u"X_9 \"Abend\" wird nicht für openHAB 5 exportiert: Das OpenWebNet-Binding kennt nur die "
           "CEN-Tasten 0 bis 31, nicht 32."_s;
    QTest::newRow("CEN+ key above 31")
        << QList<Row>{{3, u"Abend"_s, u"01.15"_s, u"X_9"_s, {}, {}, u"99"_s, 0, 2}}
        << u"X_9 \"Abend\" wird nicht für openHAB 5 exportiert: Das OpenWebNet-Binding kennt nur die "
           "CEN-Tasten 0 bis 31, nicht 99."_s;
    const QString noLight =
        u"X_9 \"Alle\" wird nicht für openHAB 5 exportiert: Zu der Adresse \"$1\" gehört keine "
        "Licht-Funktion an einem Lichtpunkt, und das OpenWebNet-Binding braucht eine."_s;
    QTest::newRow("area without its light point")
        << QList<Row>{light, alone({0, u"Alle"_s, u"5"_s, {}, {}, {}, {}})}
        << QString(noLight).replace(u"$1"_s, u"5"_s);
    QTest::newRow("group without a light point on its bus")
        << QList<Row>{light, alone({0, u"Alle"_s, u"#7"_s, {}, {}, {}, {}, 2})}
        << QString(noLight).replace(u"$1"_s, u"#7 (2)"_s);
    QTest::newRow("general address without any light point")
        << QList<Row>{alone({0, u"Alle"_s, u"0"_s, {}, {}, {}, {}})}
        << QString(noLight).replace(u"$1"_s, u"0"_s);
    QTest::newRow("dimmer at a group")
        << QList<Row>{light, alone({1, u"Alle"_s, u"#7"_s, {}, {}, {}, {}})}
        << u"X_9 \"Alle\" wird nicht für openHAB 5 exportiert: openHAB 5 und das OpenWebNet-Binding nehmen "
           "Dimmer \"#7\" nicht an."_s;
    QTest::newRow("CEN at an area")
        << QList<Row>{alone({3, u"Alle"_s, u"5"_s, {}, {}, {}, u"1"_s})}
        << u"X_9 \"Alle\" wird nicht für openHAB 5 exportiert: openHAB 5 und das OpenWebNet-Binding nehmen "
           "CEN \"5\" nicht an."_s;
    QTest::newRow("keyword as name")
        << QList<Row>{light, {0, u"Alle"_s, u"03.02"_s, u"Switch"_s, {}, {}, {}}}
        << u"Switch \"Alle\" wird nicht für openHAB 5 exportiert: openHAB 5 und das OpenWebNet-Binding "
           "nehmen \"Switch\" nicht an."_s;
    QTest::newRow("name with a hyphen")
        << QList<Row>{light, {2, u"Alle"_s, u"03.02"_s, u"AUTO-2"_s, {}, {}, {}}}
        << u"AUTO-2 \"Alle\" wird nicht für openHAB 5 exportiert: openHAB 5 und das OpenWebNet-Binding "
           "nehmen \"AUTO-2\" nicht an."_s;
}

// A function the binding cannot express is named once and stands in none of the files; the others
// are exported all the same.
void TestOpenHab5Export::leftOut()
{
    QFETCH(QList<Row>, rows);
    QFETCH(QString, line);
    const QList<FunctionEntry> list = entries(rows);
    const OpenHab5Export exported(m_fixture->gen, list);
    QCOMPARE(exported.leftOut(), QStringList{line});
    const QString alias = list.constLast().alias;
    for (const auto& [path, text] : exported.files(true))
        QVERIFY2(!text.contains(u' ' + alias + u" \""_s) && !text.contains(u"item="_s + alias + u'\n'),
                 qPrintable(path));
    if (list.size() > 1)
        QVERIFY(exported.files(true).at(1).second.contains(u"Switch SWITCH_1 \"Flur\""_s));
}

void TestOpenHab5Export::quoted_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("quoted");
    QTest::newRow("plain") << u"Küche"_s << u"\"Küche\""_s;
    QTest::newRow("empty") << QString() << u"\"\""_s;
    QTest::newRow("quotes") << u"Haus \"Müller\""_s << u"\"Haus \\\"Müller\\\"\""_s;
    QTest::newRow("backslashes") << u"C:\\Pfad\\"_s << u"\"C:\\\\Pfad\\\\\""_s;
    QTest::newRow("an escape as text") << u"\\u00E4\\n"_s << u"\"\\\\u00E4\\\\n\""_s;
    QTest::newRow("brackets and parentheses") << u"Licht [EG] (Süd) {1}"_s << u"\"Licht [EG] (Süd) {1}\""_s;
    QTest::newRow("controls") << u"a\tb\r\nc"_s << u"\"a\\tb\\r\\nc\""_s;
    QTest::newRow("apostrophe") << u"Kid's"_s << u"\"Kid's\""_s;
}

void TestOpenHab5Export::quoted()
{
    QFETCH(QString, text);
    QFETCH(QString, quoted);
    QCOMPARE(openHab5Quoted(text), quoted);
}

QTEST_GUILESS_MAIN(TestOpenHab5Export)
#include "tst_openhab5export.moc"
