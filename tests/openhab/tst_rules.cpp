// The rules file bticino.rules: individual scenes and voice-controlled blinds.
#include "bus/busaddress.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"

#include "crlftext.h"
#include "germangenerator.h"
#include "programfolder.h"
#include "voiceword.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

QStringList homeRule(const QString& label, const QString& a)
{
    const QString item = a + u"_HOME"_s;
    return {
        u"rule \"Alexa-Home-Automation "_s + label + u'"',
        u"when"_s,
        u"  Item "_s + item + u" changed or"_s,
        u"  Item "_s + item + u" received command"_s,
        u"then"_s,
        u"  var int wert = 0"_s,
        u"  if (receivedCommand == OFF) {"_s,
        u"    wert = 0"_s,
        u"  } else if (receivedCommand == ON) {"_s,
        u"    wert = 100"_s,
        u"  } else {"_s,
        u"    wert = ("_s + item + u".state as DecimalType ).intValue"_s,
        u"  }"_s,
        u"  if (receivedCommand == OFF || wert==0) {"_s,
        u"    logInfo(\"automation.rules\",\"Switch off Home-Automation "_s + item + u"\")"_s,
        u"    "_s + a + u".sendCommand(UP)"_s,
        u"  } else if (receivedCommand == ON || wert==100) { "_s, // the blank after the brace is part of it
        u"    logInfo(\"automation.rules\",\"Switch on Home-Automation "_s + item + u"\")"_s,
        u"    "_s + a + u".sendCommand(DOWN)"_s,
        u"  } else if (previousState !== null) {"_s,
        u"    logInfo(\"automation.rules\",\"Switch Home-Automation "_s + item +
            u" \" + previousState + \"->\"+"_s + item + u".state)"_s,
        u"    var int wertalt = (previousState as DecimalType ).intValue"_s,
        u"    if (wertalt>wert && wert>0) {"_s,
        u"      "_s + a + u".sendCommand(UP)"_s,
        u"    } else if (wertalt<wert && wert<100) {"_s,
        u"      "_s + a + u".sendCommand(DOWN)"_s,
        u"    }"_s,
        u"  }"_s,
        u"end"_s,
        QString(),
    };
}

QStringList alexaRule(const QString& label, const QString& a)
{
    const QString item = a + u"_ALEXA"_s;
    return {
        u"rule \"Alexa-Home-Automation "_s + label + u'"',
        u"when"_s,
        u"  Item "_s + item + u" changed or"_s,
        u"  Item "_s + item + u" received command"_s,
        u"then"_s,
        u"  var int wert = ("_s + item + u".state as DecimalType ).intValue"_s,
        u"  if (receivedCommand == OFF || wert==0) {"_s,
        u"    logInfo(\"automation.rules\",\"Switch off Alexa-Automation "_s + item + u"\")"_s,
        u"    "_s + a + u".sendCommand(DOWN)"_s,
        u"  } else if (receivedCommand == ON || wert==100) { "_s, // the blank after the brace is part of it
        u"    logInfo(\"automation.rules\",\"Switch on Alexa-Automation "_s + item + u"\")"_s,
        u"    "_s + a + u".sendCommand(UP)"_s,
        u"  } else if (previousState !== null) {"_s,
        u"    logInfo(\"automation.rules\",\"Switch Alexa-Automation "_s + item +
            u" \" + previousState + \"->\"+"_s + item + u".state)"_s,
        u"    var int wertalt = (previousState as DecimalType ).intValue"_s,
        u"    if (wertalt>wert && wert>0) {"_s,
        u"      "_s + a + u".sendCommand(DOWN)"_s,
        u"    } else if (wertalt<wert && wert<100) {"_s,
        u"      "_s + a + u".sendCommand(UP)"_s,
        u"    }"_s,
        u"  }"_s,
        u"end"_s,
        QString(),
    };
}

QStringList initRule(const QStringList& aliases)
{
    QStringList lines = {QString(), u"rule \"Init\""_s, u"when"_s, u"  System started"_s, u"then"_s};
    for (const QString& a : aliases) {
        lines << u"  logInfo(\"init.rules\",\"Init Alexa-Automation "_s + a + u"_ALEXA: 50\")"_s;
        lines << u"  postUpdate("_s + a + u"_ALEXA, 50)"_s;
    }
    return lines << u"end"_s;
}

// commands: "alias command" for each sendCommand line.
QStringList sendCommands(const QStringList& commands)
{
    QStringList lines;
    for (const QString& command : commands)
        lines << u"    sendCommand("_s + command.section(u' ', 0, 0) + u", "_s + command.section(u' ', 1) +
                     u')';
    return lines;
}

QStringList groupRule(const QString& label, const QString& a, const QStringList& on, const QStringList& off)
{
    return QStringList{
               u"rule \"Groupcommand "_s + label + u'"',
               u"when"_s,
               u"  Item "_s + a + u" received command"_s,
               u"then"_s,
               u"  logInfo(\"group.rules\",\"Switch group "_s + a + u"\")"_s,
               u"  if (receivedCommand == ON) {"_s,
           } +
           sendCommands(on) + QStringList{u"  } else if (receivedCommand == OFF) {"_s} + sendCommands(off) +
           QStringList{u"  }"_s, u"end"_s, QString()};
}

} // namespace

class TestRules : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void automationRule_data();
    void automationRule();
    void initRuleComesLast();
    void groupScene_data();
    void groupScene();

private:
    // A row of these values, kept as every row is kept.
    static FunctionEntry entry(int kind, const QString& label, const QString& alias,
                               const QString& groups = {}, const QString& voice = {}, bool reverse = false);
    QString rulesFile() const { return m_gen->sProjPath + u"bticino.rules"_s; }

    std::unique_ptr<GermanGenerator> m_fixture;
    OpenHabGenerator* m_gen = nullptr;
};

void TestRules::init()
{
    m_fixture = std::make_unique<GermanGenerator>();
    m_gen = &m_fixture->gen;
}

FunctionEntry TestRules::entry(int kind, const QString& label, const QString& alias, const QString& groups,
                               const QString& voice, bool reverse)
{
    return FunctionEntry{.label = label,
                         .address = u"#3"_s,
                         .groups = groups,
                         .alias = alias,
                         .kind = kind,
                         .voice = voiceOf(voice),
                         .reverse = reverse}
        .normalized();
}

void TestRules::automationRule_data()
{
    QTest::addColumn<QString>("voice");
    QTest::addColumn<QStringList>("rules");

    const QString label = u"Wohnzimmer"_s;
    const QString a = u"AUTO_1"_s;
    QTest::newRow("Siri/Home") << u"Siri/Home"_s << homeRule(label, a);
    QTest::newRow("Alexa") << u"Alexa"_s << alexaRule(label, a) + initRule({a});
    QTest::newRow("any other voice text") << u"Ja"_s << alexaRule(label, a) + initRule({a});
    QTest::newRow("no voice control") << QString() << QStringList();
}

void TestRules::automationRule()
{
    QFETCH(QString, voice);
    QFETCH(QStringList, rules);

    // A light beside the blind never has a rule.
    const QList<FunctionEntry> rows = {entry(0, u"Licht"_s, u"SWITCH_2"_s, u"Keller"_s, u"Ja"_s),
                                       entry(2, u"Wohnzimmer"_s, u"AUTO_1"_s, u"Keller"_s, voice)};
    QCOMPARE(m_gen->SaveItems(rows), FileErrors());
    QVERIFY(QFileInfo::exists(rulesFile()));
    QCOMPARE(readBytes(rulesFile()), crlf(rules));
}

void TestRules::initRuleComesLast()
{
    const QList<FunctionEntry> rows = {
        entry(2, u"Küche"_s, u"AUTO_1"_s, u"EG"_s, u"Alexa"_s),
        entry(5, u"Alles"_s, u"GROUP_2"_s, u"EG"_s),
        entry(2, u"Bad"_s, u"AUTO_3"_s, {}, u"Alexa"_s),
    };
    QCOMPARE(m_gen->SaveItems(rows), FileErrors());
    QCOMPARE(readBytes(rulesFile()),
             crlf(alexaRule(u"Küche"_s, u"AUTO_1"_s) +
                  groupRule(u"Alles"_s, u"GROUP_2"_s, {u"AUTO_1 UP"_s}, {u"AUTO_1 DOWN"_s}) +
                  alexaRule(u"Bad"_s, u"AUTO_3"_s) + initRule({u"AUTO_1"_s, u"AUTO_3"_s})));
}

void TestRules::groupScene_data()
{
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QStringList>("on");
    QTest::addColumn<QStringList>("off");

    QTest::newRow("lights on, blinds up")
        << u"GROUP_9"_s << u"Keller"_s << QStringList{u"SWITCH_1 ON"_s, u"AUTO_2 UP"_s}
        << QStringList{u"SWITCH_1 OFF"_s, u"AUTO_2 DOWN"_s};
    QTest::newRow("reversing scene turns the blinds only")
        << u"GROUPX_9"_s << u"Keller"_s << QStringList{u"SWITCH_1 ON"_s, u"AUTO_2 DOWN"_s}
        << QStringList{u"SWITCH_1 OFF"_s, u"AUTO_2 UP"_s};
    QTest::newRow("exact group names: not EG2, not XEG")
        << u"GROUP_9"_s << u"EG"_s << QStringList{u"AUTO_2 UP"_s, u"SWITCH_5 ON"_s}
        << QStringList{u"AUTO_2 DOWN"_s, u"SWITCH_5 OFF"_s};
    QTest::newRow("letter case counts") << u"GROUP_9"_s << u"keller"_s << QStringList() << QStringList();
    QTest::newRow("group without members") << u"GROUP_9"_s << u"Dach"_s << QStringList() << QStringList();
    QTest::newRow("stop-all scene stops every blind")
        << u"GROUP_9"_s << u"_STOP_"_s << QStringList{u"AUTO_2 STOP"_s, u"AUTO_6 STOP"_s}
        << QStringList{u"AUTO_2 STOP"_s, u"AUTO_6 STOP"_s};
}

void TestRules::groupScene()
{
    QFETCH(QString, alias);
    QFETCH(QString, group);
    QFETCH(QStringList, on);
    QFETCH(QStringList, off);

    // The scene names its own group, yet as a scene it is never its own member.
    const QList<FunctionEntry> rows = {
        entry(0, u"Licht"_s, u"SWITCH_1"_s, u"Keller"_s),
        entry(2, u"Rollo"_s, u"AUTO_2"_s, u"Keller,EG"_s),
        entry(0, u"Lampe"_s, u"SWITCH_3"_s, u"EG2"_s),
        entry(0, u"Stehlampe"_s, u"SWITCH_4"_s, u"OG, XEG"_s),
        entry(0, u"Spot"_s, u"SWITCH_5"_s, u" EG , OG"_s),
        entry(2, u"Markise"_s, u"AUTO_6"_s),
        entry(5, u"Szene"_s, alias, group, {}, alias.startsWith(u"GROUPX_"_s)),
    };
    QCOMPARE(m_gen->SaveItems(rows), FileErrors());
    QCOMPARE(readBytes(rulesFile()), crlf(groupRule(u"Szene"_s, alias, on, off)));
}

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"
