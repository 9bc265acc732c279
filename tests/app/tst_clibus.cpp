// varuno-cli's bus verbs, run as a user runs them, against the bus simulator playing the demo
// project's installation: arguments in, exit status, standard output and standard error out.

#include "bussimulator.h"
#include "cliprocess.h"
#include "link/bustestframes.h"
#include "model/language.h"
#include "programfolder.h"
#include "workspace/projectlock.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <memory>

#include <csignal>

using namespace Qt::StringLiterals;

namespace {

constexpr int Patience = 30000;

// The installation for discover: one light of the demo project, one it lacks, one of its blinds.
const QByteArray installationJson = R"({"devices": [{"kind": "light", "where": "0112"},
  {"kind": "light", "where": "0709"}, {"kind": "blind", "where": "0114"}]})";

// Waits until the channel of process has produced a line containing text.
bool waitForText(QProcess& process, QProcess::ProcessChannel channel, const QByteArray& text,
                 QByteArray& seen)
{
    process.setReadChannel(channel);
    QDeadlineTimer deadline(Patience);
    while (!seen.contains(text) && !deadline.hasExpired()) {
        process.waitForReadyRead(100);
        seen += process.readAll();
    }
    return seen.contains(text);
}

} // namespace

class TestCliBus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void testSwitchesTheFunction_data();
    void testSwitchesTheFunction();
    void usageErrorsComeBeforeAnyConnection_data();
    void usageErrorsComeBeforeAnyConnection();
    void refusalIsExitOne_data();
    void refusalIsExitOne();
    void learnPrintsTheFirstDevice();
    void learnWithoutKeyPressIsExitOne();
    void discoverListsFoundMissingAndSilent();
    void monitorPrintsEachFrame();
    void ctrlCInThePauseSwitchesBack_data();
    void ctrlCInThePauseSwitchesBack();
    void busToolsRunBesideTheWindow_data();
    void busToolsRunBesideTheWindow();

private:
    CliResult run(const QStringList& arguments) const;
    QStringList busOptions() const { return {u"--bus-port"_s, QString::number(m_sim.port())}; }

    std::unique_ptr<TestProgramFolder> m_folder;
    QString m_program;
    BusSimulator m_sim; // the demo project's installation, its password 12345 by the numeric scheme
};

void TestCliBus::initTestCase()
{
    QVERIFY2(QFile::exists(QStringLiteral(VARUNO_PROGRAM_DIR "/varuno-cli")), "varuno-cli is not built");
    m_folder = std::make_unique<TestProgramFolder>();
    QVERIFY(m_folder->isValid());
    m_program = m_folder->path() + u"varuno-cli"_s;
    QVERIFY(QFile::copy(QStringLiteral(VARUNO_PROGRAM_DIR "/varuno-cli"), m_program));
    QVERIFY(m_folder->addProject(QStringLiteral(VARUNO_DEMO_DIR "/Demo"), u"Demo"_s));
    QVERIFY2(m_sim.start({u"--items"_s, m_folder->projectsDir() + u"Demo/bticino.items"_s, u"--auth"_s,
                          u"open"_s, u"--password"_s, u"12345"_s}),
             qPrintable(m_sim.errorString()));
}

void TestCliBus::init()
{
    QVERIFY(m_sim.setMode(u"normal"_s));
    QVERIFY(m_sim.clear());
}

CliResult TestCliBus::run(const QStringList& arguments) const
{
    return RunCli(m_program, arguments, {}, Patience);
}

void TestCliBus::testSwitchesTheFunction_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QByteArrayList>("frames");
    QTest::addColumn<QStringList>("said"); // each frame in words, as printed beside it
    QTest::newRow("light on") << QStringList{u"SWITCH_1"_s, u"on"_s} << QByteArrayList{"*1*1*0112##"}
                              << QStringList{u"Licht/Schalter 1.12 eingeschaltet"_s};
    QTest::newRow("dimmer on a local bus, 30 %")
        << QStringList{u"dimmer_5"_s, u"30"_s} << QByteArrayList{"*#1*15#4#02*#1*130*255##"}
        << QStringList{u"Dimmer 1.5, Lokaler Bus 2 auf 30 % gedimmt"_s};
    QTest::newRow("dimmer on") << QStringList{u"DIMMER_4"_s, u"on"_s} << QByteArrayList{"*1*1*0113##"}
                               << QStringList{u"Dimmer 1.13 eingeschaltet"_s};
    QTest::newRow("blind group, stop") << QStringList{u"AUTO_8"_s, u"stop"_s} << QByteArrayList{"*2*0*#3##"}
                                       << QStringList{u"Raffstore/Jalousie #3 angehalten"_s};
    QTest::newRow("CEN key") << QStringList{u"CEN_9"_s} << QByteArrayList{"*15*01*0115##", "*15*01#1*0115##"}
                             << QStringList{u"CEN-Szene 1.15, Taste 1 gedrückt"_s,
                                            u"CEN-Szene 1.15, Taste 1 losgelassen"_s};
    QTest::newRow("CEN+ key") << QStringList{u"CEN_10"_s} << QByteArrayList{"*25*21#02*20115##"}
                              << QStringList{u"CEN-Szene 1.15, Taste 2 (+) gedrückt"_s};
    QTest::newRow("scenario") << QStringList{u"SCENE_11"_s} << QByteArrayList{"*0*3*05##"}
                              << QStringList{u"Szenario-Modul 0.5, Taste 3 gedrückt"_s};
    QTest::newRow("reversing scene") << QStringList{u"GROUPX_13"_s}
                                     << QByteArrayList{"*1*1*0301##", "*1*1*15#4#02##", "*2*2*0312##"}
                                     << QStringList{u"Licht/Schalter 3.1 eingeschaltet"_s,
                                                    u"Licht/Schalter 1.5, Lokaler Bus 2 eingeschaltet"_s,
                                                    u"Raffstore/Jalousie 3.12 fährt herunter"_s};
}

// Each frame goes out as openHAB sends it, and the user reads what it did.
void TestCliBus::testSwitchesTheFunction()
{
    QFETCH(QStringList, words);
    QFETCH(QByteArrayList, frames);
    QFETCH(QStringList, said);
    const CliResult result = run(QStringList{u"bus"_s, u"test"_s, u"Demo"_s} << words << busOptions());
    QCOMPARE(result.status, 0);
    QString out;
    for (qsizetype i = 0; i < frames.size(); ++i)
        out += QString::fromLatin1(frames.at(i)) + u'\t' + said.at(i) + u'\n';
    QCOMPARE(QString::fromUtf8(result.out), out);
    QCOMPARE(QString::fromUtf8(result.err), u"Vom Bus bestätigt: "_s + said.join(u"; "_s) + u'\n');
    QCOMPARE(m_sim.frames(), frames);
}

void TestCliBus::usageErrorsComeBeforeAnyConnection_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("unknown verb") << QStringList{u"frob"_s, u"Demo"_s} << QByteArray("Unbekannte Aktion");
    QTest::newRow("unknown project") << QStringList{u"test"_s, u"Nirgends"_s, u"SWITCH_1"_s}
                                     << QByteArray("\"Nirgends\"");
    QTest::newRow("unknown alias") << QStringList{u"test"_s, u"Demo"_s, u"SWITCH_99"_s}
                                   << QByteArray("SWITCH_99");
    QTest::newRow("unknown word") << QStringList{u"test"_s, u"Demo"_s, u"SWITCH_1"_s, u"hell"_s}
                                  << QByteArray("Unbekanntes Wort");
    QTest::newRow("word of another kind")
        << QStringList{u"test"_s, u"Demo"_s, u"SWITCH_1"_s, u"up"_s} << QByteArray("passt nicht");
    QTest::newRow("level out of range")
        << QStringList{u"test"_s, u"Demo"_s, u"DIMMER_4"_s, u"120"_s} << QByteArray("Unbekanntes Wort");
    QTest::newRow("alias missing") << QStringList{u"test"_s, u"Demo"_s} << QByteArray("ALIAS");
    QTest::newRow("learn takes no alias")
        << QStringList{u"learn"_s, u"Demo"_s, u"SWITCH_1"_s} << QByteArray("Anzahl");
    QTest::newRow("bad time-out") << QStringList{u"learn"_s, u"Demo"_s, u"--timeout"_s, u"0"_s}
                                  << QByteArray("Wartezeit");
}

void TestCliBus::usageErrorsComeBeforeAnyConnection()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    const CliResult result = run(QStringList{u"bus"_s} << arguments << busOptions());
    QCOMPARE(result.status, 2);
    QVERIFY2(result.err.contains(message), result.err.constData());
    QVERIFY(result.out.isEmpty());
    QVERIFY(m_sim.frames().isEmpty());
}

void TestCliBus::refusalIsExitOne_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("command refused") << u"nack"_s << QStringList()
                                     << QByteArray("*1*1*0112## wurde vom Bus abgelehnt");
    QTest::newRow("wrong password") << u"normal"_s << QStringList{u"--password"_s, u"54321"_s}
                                    << QByteArray("Passwort wurde vom Busserver abgelehnt");
    QTest::newRow("nobody there") << u"close"_s << QStringList()
                                  << QByteArray("Kein Busserver unter 127.0.0.1:");
}

void TestCliBus::refusalIsExitOne()
{
    QFETCH(QString, mode);
    QFETCH(QStringList, options);
    QFETCH(QByteArray, message);
    QVERIFY(m_sim.setMode(mode));
    const CliResult result =
        run(QStringList{u"bus"_s, u"test"_s, u"Demo"_s, u"SWITCH_1"_s, u"on"_s} << busOptions() << options);
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.contains(message), result.err.constData());
}

void TestCliBus::learnPrintsTheFirstDevice()
{
    QProcess process;
    process.start(m_program,
                  QStringList{u"bus"_s, u"learn"_s, u"Demo"_s, u"--timeout"_s, u"20"_s} << busOptions());
    QByteArray err;
    QVERIFY(waitForText(process, QProcess::StandardError, "Taste", err));
    QVERIFY(m_sim.event({"*4*1*1##", "*25*21#02*20115#4#01##", "*1*1*0112##"}));
    QVERIFY(process.waitForFinished(Patience));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardOutput(), QByteArray("CEN-Szene\t01.15 (1)\t1\t2 (+)\n"));
    // No kind was chosen, so the frames before it are passed over without a word.
    err += process.readAllStandardError();
    QVERIFY2(!err.contains("Passt nicht"), err.constData());
}

void TestCliBus::learnWithoutKeyPressIsExitOne()
{
    const CliResult result =
        run(QStringList{u"bus"_s, u"learn"_s, u"Demo"_s, u"--timeout"_s, u"1"_s} << busOptions());
    QCOMPARE(result.status, 1);
    QVERIFY(result.out.isEmpty());
    QVERIFY2(result.err.contains("kein Tastendruck"), result.err.constData());
}

void TestCliBus::discoverListsFoundMissingAndSilent()
{
    BusSimulator sim;
    const QString devices = m_folder->path() + u"installation.json"_s;
    QVERIFY(writeBytes(devices, installationJson));
    QVERIFY2(sim.start({u"--devices"_s, devices, u"--auth"_s, u"none"_s}), qPrintable(sim.errorString()));
    const CliResult result =
        run({u"bus"_s, u"discover"_s, u"Demo"_s, u"--bus-port"_s, QString::number(sim.port())});
    QCOMPARE(result.status, 0);
    // A light point that is off might be a dimmer: its kind is named only where the project knows it.
    const QString silent = u"\tIm Projekt, antwortet nicht (Adresse falsch?)"_s;
    QCOMPARE(QString::fromUtf8(result.out).split(u'\n'),
             (QStringList{
                 u"Licht/Schalter\t01.12\t0\tSWITCH_1"_s, u"Art unbekannt\t07.09\t0\t-"_s,
                 u"Raffstore/Jalousie\t01.14\t0\tAUTO_6"_s, u"Licht/Schalter\t02.15\t0\tSWITCH_2"_s + silent,
                 u"Licht/Schalter\t03.01\t0\tSWITCH_3"_s + silent, u"Dimmer\t01.13\t0\tDIMMER_4"_s + silent,
                 u"Dimmer\t1.5 (2)\t2\tDIMMER_5"_s + silent,
                 u"Raffstore/Jalousie\t03.12\t0\tAUTO_7"_s + silent, QString()}));
    // The general status requests, on the private riser and the local bus the project uses.
    QCOMPARE(sim.frames(), (QByteArrayList{"*#1*0##", "*#1*0#4#02##", "*#2*0##", "*#2*0#4#02##"}));
}

void TestCliBus::monitorPrintsEachFrame()
{
    QProcess process;
    process.start(m_program,
                  QStringList{u"bus"_s, u"monitor"_s, u"Demo"_s, u"--timeout"_s, u"20"_s} << busOptions());
    QByteArray err;
    QVERIFY(waitForText(process, QProcess::StandardError, "Verbunden", err));
    // Watching takes no lock: the window can open the project meanwhile.
    QVERIFY(!QFileInfo::exists(m_folder->projectsDir() + u"Demo/"_s + ProjectLock::FileName));
    QVERIFY(m_sim.event({"*1*1*0112##"}));
    QByteArray out;
    // Each frame shows as it arrives, long before the monitor ends.
    QVERIFY(waitForText(process, QProcess::StandardOutput, "*1*1*0112##\n", out));
    QVERIFY(m_sim.event({"*2*0*0114##", "*15*01#1*0115##"}));
    QVERIFY(waitForText(process, QProcess::StandardOutput, "*15*01#1*0115##\n", out));
    QCOMPARE(out, QByteArray("*1*1*0112##\n*2*0*0114##\n*15*01#1*0115##\n"));
    process.kill();
    process.waitForFinished(Patience);
}

void TestCliBus::ctrlCInThePauseSwitchesBack_data()
{
    QTest::addColumn<bool>("answersSwitchBack");
    QTest::addColumn<QByteArray>("said");
    QTest::newRow("switched back") << true
                                   << QByteArray("Abgebrochen. Die Funktion wurde zurückgeschaltet: "
                                                 "Licht/Schalter 1.12 ausgeschaltet\n");
    // The bus takes the frame that switches back but never confirms it; a second Ctrl-C gives up.
    QTest::newRow("left on") << false
                             << QByteArray("Abgebrochen. Die Funktion blieb eingeschaltet: "
                                           "Licht/Schalter 1.12 eingeschaltet\n");
}

// The light's test waits 2 s before it switches off; Ctrl-C then switches off at once instead of
// ending the program with the light on.
void TestCliBus::ctrlCInThePauseSwitchesBack()
{
    QFETCH(bool, answersSwitchBack);
    QFETCH(QByteArray, said);
    QProcess process;
    process.start(m_program, QStringList{u"bus"_s, u"test"_s, u"Demo"_s, u"SWITCH_1"_s} << busOptions());
    QByteArray out;
    QVERIFY(waitForText(process, QProcess::StandardOutput, "eingeschaltet\n", out));
    if (!answersSwitchBack)
        QVERIFY(m_sim.setMode(u"mute"_s));
    QElapsedTimer sinceCtrlC;
    sinceCtrlC.start();
    QCOMPARE(::kill(pid_t(process.processId()), SIGINT), 0);
    if (!answersSwitchBack) {
        QTRY_COMPARE_WITH_TIMEOUT(m_sim.frames().size(), 2, Patience);
        QCOMPARE(::kill(pid_t(process.processId()), SIGINT), 0);
    }
    QVERIFY(process.waitForFinished(Patience));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    QCOMPARE(process.readAllStandardError(), said);
    QCOMPARE(m_sim.frames(), (QByteArrayList{"*1*1*0112##", "*1*0*0112##"}));
    if (answersSwitchBack)
        QVERIFY2(sinceCtrlC.elapsed() < testOffPauseMs, "the light went off only after the pause");
}

void TestCliBus::busToolsRunBesideTheWindow_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QByteArray>("out");
    QTest::newRow("test") << QStringList{u"test"_s, u"Window"_s, u"SWITCH_1"_s, u"on"_s}
                          << QByteArray("*1*1*0112##\tLicht/Schalter 1.12 eingeschaltet\n");
    QTest::newRow("monitor") << QStringList{u"monitor"_s, u"Window"_s, u"--timeout"_s, u"1"_s}
                             << QByteArray();
}

// The test process plays the program window that has the project open. The project lacks what
// opening it for work would add (mqtt.cfg, a cloud identity): a tool that only reads it adds nothing.
void TestCliBus::busToolsRunBesideTheWindow()
{
    QFETCH(QStringList, words);
    QFETCH(QByteArray, out);
    const QString project = m_folder->projectsDir() + u"Window/"_s;
    if (!QFileInfo::exists(project)) {
        QVERIFY(m_folder->addProject(QStringLiteral(VARUNO_DEMO_DIR "/Demo"), u"Window"_s));
        QVERIFY(QFile::remove(project + u"mqtt.cfg"_s));
        QVERIFY(writeBytes(project + u"uuid"_s, {}));
        QVERIFY(writeBytes(project + u"secret"_s, {}));
    }
    Language language(m_folder->configDir());
    ProjectLock window(language);
    QVERIFY(window.lock(project));
    const QMap<QString, QByteArray> before = snapshot(m_folder->path());

    const CliResult result = run(QStringList{u"bus"_s} << words << busOptions());
    QVERIFY2(result.status == 0, result.err.constData());
    QCOMPARE(result.out, out);
    QCOMPARE(snapshot(m_folder->path()), before);
}

QTEST_GUILESS_MAIN(TestCliBus)
#include "tst_clibus.moc"
