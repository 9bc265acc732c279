#include "bus/busaddress.h"
#include "model/functionlist.h"
#include "model/functionvocabulary.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "programfolder.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray itemsHeader = "//Gruppen\r\n\r\n//Schaltelemente\r\n";

QByteArray lines(const QStringList& text)
{
    QByteArray bytes;
    for (const QString& line : text)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

// One row as "kind|alias|label|address|key|voice|groups|reverse", so a table can show it whole.
QString describe(const FunctionEntry& e)
{
    return QStringList{QString::number(e.kind),
                       e.alias,
                       e.label,
                       Vocabulary::AddressText(e),
                       Vocabulary::KeyText(e),
                       Vocabulary::VoiceText(e.voice, QStringLiteral("Ja")),
                       e.groups,
                       e.reverse ? QStringLiteral("Ja") : QStringLiteral("Nein")}
        .join(u'|');
}

QStringList describe(const FunctionList& list)
{
    QStringList rows;
    for (const FunctionEntry& e : list.entries())
        rows << describe(e);
    return rows;
}

const QString bticino = uR"({bticino="if=webserver;who=1;what=0;where=%1"})"_s;
QString mqtt(const QString& frame)
{
    return uR"({mqtt=">[cmdbroker:bticino/cmd/set:command:ON:%1],>[cmdbroker:bticino/cmd/set:command:OFF:%1]",autoupdate="false"})"_s
        .arg(frame);
}

} // namespace

// Opening a project: settings, identity, group list and function list from the project's files.
class TstLoader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void workedExample();
    void itemLines_data();
    void itemLines();
    void groupLabels_data();
    void groupLabels();
    void voiceAndReversingAreValues();
    void serverSettings();
    void identity();
    void emptyIdentityIsGenerated();
    void mqttTemplateCopiedOnlyWhenMissing();
    void unreadableFile_data();
    void unreadableFile();
    void garbage_data();
    void garbage();
    void whatASaveWouldLose_data();
    void whatASaveWouldLose();

private:
    // Makes a new project from the templates, as project creation does, and opens it for loading.
    void newProject();
    QString file(const QString& name) const { return m_openHab.sProjPath + name; }
    void write(const QString& name, const QByteArray& bytes) { QVERIFY(writeBytes(file(name), bytes)); }

    TestProgramFolder m_folder;
    Language m_language{m_folder.configDir()};
    OpenHabGenerator m_openHab{m_language, m_folder.configDir()};
    FunctionList m_list;
    int m_projects = 0;
};

void TstLoader::newProject()
{
    const QString name = u"p"_s + QString::number(++m_projects);
    QVERIFY(QDir(m_folder.projectsDir()).mkdir(name));
    m_openHab.sProj = name;
    m_openHab.sProjPath = m_folder.projectsDir() + name + u'/';
    for (const QString& templ : {m_openHab.sItemsFile, m_openHab.sCfgFile, m_openHab.sUUIDFile,
                                 m_openHab.sSecretFile, m_openHab.sMQTTFile})
        QVERIFY(QFile::copy(m_folder.configDir() + templ, file(templ)));
    write(m_openHab.sUUIDFile, "uuid-1\r\n");
    write(m_openHab.sSecretFile, "secret-1\r\n");
}

void TstLoader::init()
{
    QVERIFY(m_folder.isValid());
    m_language.LoadLanguage({});
    newProject();
}

void TstLoader::workedExample()
{
    write(
        m_openHab.sItemsFile,
        lines({
            u"//Gruppen"_s,
            u"Group Erdgeschoss"_s,
            u"Group Lichter"_s,
            u""_s,
            u"//Schaltelemente"_s,
            uR"(Switch SWITCH_1 "Küche" <light> (Erdgeschoss, Lichter) ["Lighting"] )"_s +
                bticino.arg(u"0112"),
            uR"(Dimmer DIMMER_2 "Esszimmer" <heating> )"_s + bticino.arg(u"15#4#02"),
            uR"(Rollershutter AUTO_3 "Schlafzimmer" <rollershutter> (Erdgeschoss) {bticino="if=webserver;who=2;what=0;where=#3"})"_s,
            uR"(Dimmer AUTO_3_ALEXA "Schlafzimmer" <rollershutter> ["Switchable"])"_s,
            uR"(Switch CEN_4 "Badezimmer" <mediacontrol> ["Switchable"] )"_s + mqtt(u"*25*21#01*20115##"_s),
            uR"(Switch GROUPX_5 "Kinderzimmer" <groundfloor> (Erdgeschoss) ["Switchable"])"_s,
        }));
    m_openHab.LoadFiles(m_list);

    QCOMPARE(m_openHab.slGroups, QStringList({u"Erdgeschoss"_s, u"Lichter"_s}));
    QCOMPARE(describe(m_list), QStringList({
                                   u"0|SWITCH_1|Küche|01.12||Ja|Erdgeschoss, Lichter|Nein"_s,
                                   u"1|DIMMER_2|Esszimmer|1.5 (2)||||Nein"_s,
                                   u"2|AUTO_3|Schlafzimmer|#3||Alexa|Erdgeschoss|Nein"_s,
                                   u"3|CEN_4|Badezimmer|01.15|01 (+)|Ja||Nein"_s,
                                   u"5|GROUPX_5|Kinderzimmer|||Ja|Erdgeschoss|Ja"_s,
                               }));
    for (const FunctionEntry& e : m_list.entries())
        QVERIFY(!e.checked);
}

void TstLoader::itemLines_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("groups");
    QTest::addColumn<QStringList>("entries");

    const auto row = [](const char* name, const QStringList& items, const QStringList& entries) {
        QTest::newRow(name) << items << QStringList() << entries;
    };
    const auto dropped = [&row](const char* name, const QString& line) { row(name, {line}, {}); };
    const QString light = uR"(Switch SWITCH_1 "Licht" <light> )"_s;
    const QString cen = uR"(Switch CEN_1 "Szene" <mediacontrol> )"_s;

    QTest::newRow("groups") << QStringList{u"Group Keller"_s, u"Group  Garten"_s, u"group Dach"_s,
                                           u" Group EG"_s}
                            << QStringList{u"Keller"_s, u" Garten"_s} << QStringList();

    row("switch on local bus", {light + bticino.arg(u"0112#4#03")},
        {u"0|SWITCH_1|Licht|01.12 (3)||||Nein"_s});
    row("area and general", {light + bticino.arg(u"00"), uR"(Switch SWITCH_2 "Alle" )"_s + bticino.arg(u"0")},
        {u"0|SWITCH_1|Licht|00||||Nein"_s, u"0|SWITCH_2|Alle|0||||Nein"_s});
    row("temperature format leaves the label", {uR"(Switch SWITCH_1 "Küche %.1f C" )"_s + bticino.arg(u"11")},
        {u"0|SWITCH_1|Küche|1.1||||Nein"_s});
    dropped("two blanks after the type word", uR"(Switch  SWITCH_1 "Licht" )"_s + bticino.arg(u"0112"));
    dropped("type word in lower case", uR"(switch SWITCH_1 "Licht" )"_s + bticino.arg(u"0112"));
    dropped("type word indented", uR"( Switch SWITCH_1 "Licht" )"_s + bticino.arg(u"0112"));
    dropped("other item type", uR"(Number NUM_1 "Temperatur" )"_s + bticino.arg(u"0112"));
    dropped("only the type word", u"Switch "_s);
    dropped("empty label", uR"(Switch SWITCH_1 "" )"_s + bticino.arg(u"0112"));
    // The label that would be stored decides, not the one in the file.
    dropped("label only a temperature format",
            uR"(Switch SWITCH_1 " %.1f C" ["Lighting"] )"_s + bticino.arg(u"0112"));
    dropped("label only a nested temperature format",
            uR"(Switch SWITCH_1 " %.1 %.1f Cf C" )"_s + bticino.arg(u"0112"));
    row("nested temperature format", {uR"(Switch SWITCH_1 "a %.1f %.1f C C" )"_s + bticino.arg(u"11")},
        {u"0|SWITCH_1|a|1.1||||Nein"_s});
    dropped("empty where", light + bticino.arg(QString()));

    row("CEN", {cen + mqtt(u"*15*07*0112##"_s)}, {u"3|CEN_1|Szene|01.12|07|||Nein"_s});
    row("CEN+ long press on local bus", {cen + mqtt(u"*25*23#07*20112#4#01##"_s)},
        {u"3|CEN_1|Szene|01.12 (1)|07 (++)|||Nein"_s});
    row("CEN+ short press", {cen + mqtt(u"*25*21#12*2105##"_s)}, {u"3|CEN_1|Szene|10.05|12 (+)|||Nein"_s});
    row("scenario module",
        {uR"(Switch SCENE_1 "Szenario" <cinema> ["Switchable"] )"_s + mqtt(u"*0*3*05##"_s)},
        {u"4|SCENE_1|Szenario|0.5|3|Ja||Nein"_s});
    dropped("frame of another kind", cen + mqtt(u"*1*1*0112##"_s));
    dropped("frame without end", cen + mqtt(u"*15*07*0112"_s));
    dropped("MQTT on a dimmer", uR"(Dimmer DIMMER_1 "Szene" )"_s + mqtt(u"*15*07*0112##"_s));
    dropped("MQTT on a blind", uR"(Rollershutter AUTO_1 "Szene" )"_s + mqtt(u"*15*07*0112##"_s));

    row("individual scene", {uR"(Switch GROUP_1 "Alles aus" <groundfloor> (Keller) ["Switchable"])"_s},
        {u"5|GROUP_1|Alles aus|||Ja|Keller|Nein"_s});
    row("stop-all scene reversing", {uR"(Switch GROUPX_1 "Stopp" <groundfloor> (_STOP_))"_s},
        {u"5|GROUPX_1|Stopp||||_STOP_|Ja"_s});
    dropped("no binding and not a scene", uR"(Switch SWITCH_1 "Licht" <light> (Keller))"_s);
    dropped("scene icon on a dimmer", uR"(Dimmer DIMMER_1 "Licht" <groundfloor>)"_s);

    const QString blind =
        uR"(Rollershutter AUTO_3 "Jalousie" <rollershutter> {bticino="if=webserver;who=2;what=0;where=0113"})"_s;
    const QString alexa = uR"(Dimmer AUTO_3_ALEXA "Jalousie" <rollershutter> ["Switchable"])"_s;
    const QString home = uR"(Switch AUTO_3_HOME "Jalousie" <rollershutter> ["Switchable"])"_s;
    row("companion Alexa", {blind, alexa}, {u"2|AUTO_3|Jalousie|01.13||Alexa||Nein"_s});
    row("companion Siri/Home", {blind, home}, {u"2|AUTO_3|Jalousie|01.13||Siri/Home||Nein"_s});
    row("companion before its blind", {alexa, blind}, {u"2|AUTO_3|Jalousie|01.13||||Nein"_s});
    row("companion without tags", {blind, uR"(Dimmer AUTO_3_ALEXA "Jalousie" <rollershutter>)"_s},
        {u"2|AUTO_3|Jalousie|01.13||||Nein"_s});
    row("companion goes to the first of two", {blind, blind, home},
        {u"2|AUTO_3|Jalousie|01.13||Siri/Home||Nein"_s, u"2|AUTO_3|Jalousie|01.13||||Nein"_s});
    row("later companion wins", {blind, alexa, home}, {u"2|AUTO_3|Jalousie|01.13||Siri/Home||Nein"_s});
    row("only companions after the blind count", {home, blind, alexa},
        {u"2|AUTO_3|Jalousie|01.13||Alexa||Nein"_s});

    row("brackets inside the label",
        {uR"(Switch SWITCH_1 "Küche (EG) [Nord] {1} <2>" <light> (EG) )"_s + bticino.arg(u"0112")},
        {u"0|SWITCH_1|Küche (EG) [Nord] {1} <2>|01.12|||EG|Nein"_s});
    row("unbalanced bracket inside the label",
        {uR"(Switch SWITCH_1 "Bad (OG" <light> )"_s + bticino.arg(u"0112")},
        {u"0|SWITCH_1|Bad (OG|01.12||||Nein"_s});
    row("label ends at its second quote", {uR"(Switch SWITCH_1 "Bad"OG" <light> )"_s + bticino.arg(u"0112")},
        {u"0|SWITCH_1|Bad|01.12||||Nein"_s});
    dropped("unbalanced bracket outside the label",
            uR"(Switch SWITCH_1 "Bad" (OG )"_s + bticino.arg(u"0112"));
}

void TstLoader::itemLines()
{
    QFETCH(QStringList, items);
    write(m_openHab.sItemsFile, lines(items));
    m_openHab.LoadFiles(m_list);
    QTEST(m_openHab.slGroups, "groups");
    QTEST(describe(m_list), "entries");
}

// A group line gives a label only as the program writes one; any other line keeps its whole text
// as the group's name, and a save writes each line back as it was.
void TstLoader::groupLabels_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("label");

    QTest::newRow("label") << uR"(Group Kueche "Küche")"_s << u"Kueche"_s << u"Küche"_s;
    QTest::newRow("escaped quote and backslash")
        << uR"(Group Bad "Bad \"oben\" \\ 1")"_s << u"Bad"_s << uR"(Bad "oben" \ 1)"_s;
    QTest::newRow("no label") << u"Group Keller"_s << u"Keller"_s << QString();
    QTest::newRow("empty label") << uR"(Group Keller "")"_s << uR"(Keller "")"_s << QString();
    QTest::newRow("other escape") << uR"(Group Keller "a\nb")"_s << uR"(Keller "a\nb")"_s << QString();
    QTest::newRow("quote inside") << uR"(Group Keller "a"b")"_s << uR"(Keller "a"b")"_s << QString();
    QTest::newRow("no closing quote") << uR"(Group Keller "ab)"_s << uR"(Keller "ab)"_s << QString();
    QTest::newRow("two blanks") << uR"(Group Keller  "ab")"_s << uR"(Keller  "ab")"_s << QString();
    QTest::newRow("type word as name") << uR"(Group Switch "ab")"_s << uR"(Switch "ab")"_s << QString();
    QTest::newRow("icon after the label")
        << uR"(Group Keller "Keller" <cellar>)"_s << uR"(Keller "Keller" <cellar>)"_s << QString();
}

void TstLoader::groupLabels()
{
    QFETCH(QString, line);
    QFETCH(QString, name);
    QFETCH(QString, label);
    write(m_openHab.sItemsFile, lines({line}));
    m_openHab.LoadFiles(m_list);
    QCOMPARE(m_openHab.slGroups, QStringList{name});
    QCOMPARE(m_openHab.groupLabels.value(name), label);
    const QString saved = m_openHab.itemFiles(m_list.entries()).constFirst().second.text();
    QVERIFY2(saved.contains(u'\n' + line + u'\r'), qPrintable(saved));
}

// The rows hold voice control and reversing as values whatever the language: the list words them.
void TstLoader::voiceAndReversingAreValues()
{
    write(m_openHab.sItemsFile,
          itemsHeader + lines({uR"(Switch GROUPX_1 "Stopp" <groundfloor> (_STOP_) ["Switchable"])"_s}));
    m_language.LoadLanguage(u"English"_s);
    m_openHab.LoadFiles(m_list);
    QCOMPARE(m_list.count(), 1);
    QCOMPARE(m_list.at(0).voice, FunctionEntry::Voice::On);
    QVERIFY(m_list.at(0).reverse);
}

void TstLoader::serverSettings()
{
    m_openHab.reboot = m_openHab.hmac = true;
    write(m_openHab.sCfgFile, lines({u"#reboot=TRUE"_s, u"#HMAC=true"_s, u"#settime=true"_s,
                                     u"#settime=false"_s, u"webserver.host=192.168.1.35"_s,
                                     u"WEBSERVER.PORT=20000"_s, u"webserver.passwd= 12345 "_s}));
    m_openHab.LoadFiles(m_list);
    QCOMPARE(m_openHab.serverIP, u"192.168.1.35"_s);
    QCOMPARE(m_openHab.serverPort, u"20000"_s);
    QCOMPARE(m_openHab.serverPass, u" 12345 "_s);
    QCOMPARE(m_openHab.serverRescan, QString());
    QCOMPARE(m_openHab.reboot, false);
    QCOMPARE(m_openHab.hmac, true);
    QCOMPARE(m_openHab.settime, true);
}

void TstLoader::identity()
{
    write(m_openHab.sUUIDFile, "first\r\nsecond\r\n");
    write(m_openHab.sSecretFile, "\r\nnot this\r\n");
    m_openHab.LoadFiles(m_list);
    QCOMPARE(m_openHab.uuid, u"first"_s);
    QCOMPARE(m_openHab.secret, QString());
    QCOMPARE(readBytes(file(m_openHab.sSecretFile)), QByteArray("\r\nnot this\r\n"));
}

void TstLoader::emptyIdentityIsGenerated()
{
    write(m_openHab.sUUIDFile, "\r\n");
    write(m_openHab.sSecretFile, "");
    m_openHab.LoadFiles(m_list);
    QVERIFY(QRegularExpression(u"^[0-9a-f]{8}(-[0-9a-f]{4}){3}-[0-9a-f]{12}$"_s)
                .match(m_openHab.uuid)
                .hasMatch());
    QCOMPARE(m_openHab.secret.size(), 20);
    QCOMPARE(readBytes(file(m_openHab.sUUIDFile)), m_openHab.uuid.toUtf8() + "\r\n");
    QCOMPARE(readBytes(file(m_openHab.sSecretFile)), m_openHab.secret.toUtf8() + "\r\n");
}

void TstLoader::mqttTemplateCopiedOnlyWhenMissing()
{
    const QString mqttFile = file(m_openHab.sMQTTFile);
    QVERIFY(QFile::remove(mqttFile));
    m_openHab.LoadFiles(m_list);
    QCOMPARE(readBytes(mqttFile), readBytes(m_folder.configDir() + m_openHab.sMQTTFile));

    write(m_openHab.sMQTTFile, "own broker\r\n");
    m_openHab.LoadFiles(m_list);
    QCOMPARE(readBytes(mqttFile), QByteArray("own broker\r\n"));

    // Without a template the project simply stays without one.
    const QString templ = m_folder.configDir() + m_openHab.sMQTTFile;
    const auto restore = qScopeGuard([templ, bytes = readBytes(templ)] { writeBytes(templ, bytes); });
    QVERIFY(QFile::remove(mqttFile));
    QVERIFY(QFile::remove(templ));
    m_openHab.LoadFiles(m_list);
    QVERIFY(!QFile::exists(mqttFile));
}

void TstLoader::unreadableFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("asFolder");
    // How many of the steps settings, uuid, secret and lists took effect before the failure.
    QTest::addColumn<int>("stepsDone");
    for (const bool asFolder : {false, true}) {
        const auto row = [asFolder](const char* name, const QString& file, int steps) {
            QTest::addRow("%s %s", name, asFolder ? "is a folder" : "missing") << file << asFolder << steps;
        };
        row("bticino.cfg", u"bticino.cfg"_s, 0);
        row("uuid", u"uuid"_s, 1);
        row("secret", u"secret"_s, 2);
        row("bticino.items", u"bticino.items"_s, 3);
    }
}

void TstLoader::unreadableFile()
{
    QFETCH(QString, name);
    QFETCH(bool, asFolder);
    QFETCH(int, stepsDone);

    write(m_openHab.sCfgFile, lines({u"#hmac=true"_s, u"webserver.host=new"_s}));
    write(m_openHab.sUUIDFile, "new uuid\r\n");
    write(m_openHab.sSecretFile, "new secret\r\n");
    write(m_openHab.sItemsFile, itemsHeader + lines({uR"(Switch SWITCH_1 "Neu" )"_s + bticino.arg(u"0112")}));
    QVERIFY(QFile::remove(file(m_openHab.sMQTTFile)));
    QVERIFY(QFile::remove(file(name)));
    if (asFolder)
        QVERIFY(QDir().mkdir(file(name)));

    m_openHab.serverIP = m_openHab.uuid = m_openHab.secret = u"old"_s;
    m_openHab.hmac = false;
    m_openHab.slGroups = QStringList{u"Alt"_s};
    FunctionEntry old;
    old.label = u"Alt"_s;
    m_list.setEntries({old});

    try {
        m_openHab.LoadFiles(m_list);
        QFAIL("no error raised");
    } catch (const FileReadError& e) {
        const QString expected =
            u"Datei "_s + QDir::toNativeSeparators(file(name)) + u" kann nicht geöffnet werden. "_s;
        QVERIFY2(e.text(m_language).startsWith(expected) && e.text(m_language).size() > expected.size(),
                 qPrintable(e.text(m_language)));
    }
    QCOMPARE(m_openHab.serverIP, stepsDone >= 1 ? u"new"_s : u"old"_s);
    QCOMPARE(m_openHab.hmac, stepsDone >= 1);
    QCOMPARE(m_openHab.uuid, stepsDone >= 2 ? u"new uuid"_s : u"old"_s);
    QCOMPARE(m_openHab.secret, stepsDone >= 3 ? u"new secret"_s : u"old"_s);
    QCOMPARE(m_list.count(), stepsDone >= 3 ? 0 : 1);
    QCOMPARE(m_openHab.slGroups.size(), stepsDone >= 3 ? 0 : 1);
    QVERIFY(!QFile::exists(file(m_openHab.sMQTTFile)));
}

void TstLoader::garbage_data()
{
    QTest::addColumn<QByteArray>("items");

    const QString example =
        uR"(Switch CEN_4 "Bad" <mediacontrol> (EG) ["Switchable"] )"_s + mqtt(u"*25*21#01*20115#4#01##"_s);
    QStringList truncated;
    for (qsizetype n = 0; n <= example.size(); ++n) {
        truncated << example.left(n);
        truncated << u"Rollershutter AUTO_1"_s + example.mid(n);
    }
    QTest::newRow("truncated lines") << lines(truncated);

    QRandomGenerator random(4711);
    QByteArray binary(256 * 1024, Qt::Uninitialized);
    for (char& c : binary)
        c = char(random.bounded(256));
    QTest::newRow("binary") << binary;
    // Binary that starts with the type words and the scanner's special characters.
    QByteArray special;
    const QByteArray pieces[] = {"Switch ",
                                 "Dimmer ",
                                 "Group ",
                                 "\"",
                                 "(",
                                 ")",
                                 "{",
                                 "}",
                                 "<",
                                 ">",
                                 "[",
                                 "]",
                                 "*",
                                 "#",
                                 "##",
                                 "mqtt=",
                                 ":command:ON:",
                                 ";where=",
                                 "#4#0",
                                 "_ALEXA",
                                 "\r\n",
                                 " ",
                                 QByteArray("\0", 1)};
    for (int i = 0; i < 200000; ++i)
        special += pieces[random.bounded(int(std::size(pieces)))];
    QTest::newRow("scanner characters") << special;

    const QByteArray huge(10 * 1024 * 1024, 'x');
    QTest::newRow("10 MB label") << "Switch SWITCH_1 \"" + huge + "\" {bticino=\"where=0112\"}\r\n";
    QTest::newRow("10 MB frame") << "Switch CEN_1 \"a\" {mqtt=\":command:ON:*15*1*" + huge + "##\"}\r\n";
    QTest::newRow("10 MB of brackets") << "Switch SWITCH_1 " + QByteArray(10 * 1024 * 1024, '(') + "\r\n";
}

void TstLoader::garbage()
{
    QFETCH(QByteArray, items);
    // A good line after the garbage still loads.
    write(m_openHab.sItemsFile,
          items + "\r\nSwitch SWITCH_99 \"Gut\" {bticino=\"if=webserver;where=0112\"}\r\n");
    m_openHab.LoadFiles(m_list);
    QVERIFY(m_list.count() > 0);
    QCOMPARE(describe(m_list.at(m_list.count() - 1)), u"0|SWITCH_99|Gut|01.12||||Nein"_s);
}

// What loading tells about an items file that a save of its functions would not write back: bytes
// that are no UTF-8 (the file must then stay as it is) and lines that are no function.
void TstLoader::whatASaveWouldLose_data()
{
    QTest::addColumn<QByteArray>("items");
    QTest::addColumn<int>("notUtf8Line"); // 0: all UTF-8
    QTest::addColumn<int>("dropped");

    const QByteArray light =
        "Switch SWITCH_1 \"Küche\" <light> {bticino=\"if=webserver;who=1;what=0;where=0112\"}\r\n";
    QTest::newRow("as the program writes it")
        << "//Gruppen\r\nGroup EG\r\n\r\n//Schaltelemente\r\n" + light << 0 << 0;
    QTest::newRow("UTF-8 with its byte-order mark") << "\xef\xbb\xbf" + light << 0 << 0;
    QTest::newRow("Latin-1 on line 2") << QByteArray("Group EG\r\nSwitch SWITCH_1 \"K\xfc"
                                                     "che\" <light> "
                                                     "{bticino=\"if=webserver;who=1;what=0;where=0112\"}\r\n")
                                       << 2 << 0;
    QTest::newRow("UTF-16 with its byte-order mark") << QByteArray("\xff\xfeG\0r\0o\0u\0p\0", 12) << 1 << 1;
    QTest::newRow("a tab instead of a blank")
        << light + QByteArray(light).replace("Switch SWITCH_1 ", "Switch\tSWITCH_2 ") << 0 << 1;
    QTest::newRow("a Number item and a comment") << light + "Number Temp \"T\"\r\n// eigene Notiz\r\n"
                                                 << 0 << 2;
}

void TstLoader::whatASaveWouldLose()
{
    QFETCH(QByteArray, items);
    QFETCH(int, notUtf8Line);
    write(m_openHab.sItemsFile, items);
    m_openHab.LoadFiles(m_list);
    QCOMPARE(m_openHab.itemsFileReport.notUtf8Line.value_or(0), notUtf8Line);
    QTEST(int(m_openHab.itemsFileReport.droppedLines), "dropped");
}

QTEST_GUILESS_MAIN(TstLoader)
#include "tst_loader.moc"
