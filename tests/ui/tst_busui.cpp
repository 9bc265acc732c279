// The bus tools of the windows against the bus simulator: "Testen" and "Adresse lernen" in the
// function editor, "Funktion testen" and "Busgeräte suchen" in the main window's popup menu. Every
// wait runs the event loop, as the windows do: nothing blocks, and the result shows in the window.

#include "bus/busaddress.h"
#include "link/bustest.h"
#include "model/functionlist.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "ui/busdialogs.h"
#include "ui/functionbustools.h"
#include "ui/functioneditor.h"
#include "ui/functionlistview.h"
#include "ui/mainwindow.h"
#include "ui/startup.h"
#include "workspace/settings.h"

#include "bussimulator.h"
#include "modaldialog.h"
#include "programfolder.h"
#include "scriptedprompts.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int Patience = 15000;

const QByteArray installationJson = R"({"devices": [{"kind": "light", "where": "0112"},
  {"kind": "light", "where": "0715"}, {"kind": "blind", "where": "0114"}, {"kind": "dimmer", "where": "0113"},
  {"kind": "dimmer", "where": "0710"}],
  "addresses": [{"who": 15, "where": "0115"}, {"who": 25, "where": "20115"}, {"who": 0, "where": "05"}]})";

} // namespace

class BusWindowsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void editorTestsTheFunctionAsTyped();
    void editorTestReportsRefusalAndCanBeCancelled();
    void editorTestsTheSceneOfALabelledGroup();
    void editorLearnsFromAKeyPress_data();
    void editorLearnsFromAKeyPress();
    void editorWarnsOfTheBusTraps();
    void listTestSwitchesTheStoredFunction();
    void discoverShowsAndAddsDevices();

private:
    MainWindow& w() { return m_startup->mainWindow(); }
    Program& program() { return m_startup->program(); }
    FunctionEditor& editor() { return *program().functionEditor; }
    FunctionBusTools& tools() { return *editor().busTools; }
    // Runs script while the editor is open on row (a new function when row is -1), then closes it.
    void whileEditing(int row, const std::function<void()>& script);

    std::unique_ptr<TestProgramFolder> m_folder;
    ScriptedPrompts m_prompts;
    std::unique_ptr<Startup> m_startup;
    QTemporaryDir m_dir;
    QString m_devices;
    BusSimulator m_sim;
};

void BusWindowsTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_devices = m_dir.filePath(u"installation.json"_s);
    QVERIFY(writeBytes(m_devices, installationJson));
    QVERIFY2(m_sim.start({u"--devices"_s, m_devices, u"--auth"_s, u"open"_s, u"--password"_s, u"12345"_s}),
             qPrintable(m_sim.errorString()));
}

void BusWindowsTest::init()
{
    m_prompts.reset();
    QVERIFY(m_sim.setMode(u"normal"_s));
    QVERIFY(m_sim.clear());
    m_folder = std::make_unique<TestProgramFolder>();
    QVERIFY(m_folder->isValid());
    QVERIFY(m_folder->addProject(QStringLiteral(VARUNO_DEMO_DIR "/Demo"), u"Demo"_s));
    QVERIFY(Settings(m_folder->configDir() + u"settings.ini"_s).setLanguage(u"Deutsch"_s));
    m_startup = std::make_unique<Startup>(m_folder->path(), m_prompts);
    w().show();
    QCOMPARE(w().items().count(), 14);
    // The demo's server settings name 127.0.0.1 with the password 12345; only the port differs.
    program().openHab.serverPort = QString::number(m_sim.port());
}

void BusWindowsTest::cleanup()
{
    QVERIFY2(m_prompts.allAnswered(), "an answer was queued but never asked for");
    m_startup.reset();
    m_folder.reset();
}

void BusWindowsTest::whileEditing(int row, const std::function<void()>& script)
{
    whileModal(
        editor(),
        [&] {
            if (row < 0)
                editor().DoAdd(w().items());
            else
                editor().DoEdit(row, w().items());
        },
        script);
}

void BusWindowsTest::editorTestsTheFunctionAsTyped()
{
    // SWITCH_1 at 01.12, its address changed in the field but not saved: the test uses the field.
    whileEditing(0, [this] {
        editor().edAdresse->setText(u"7.15"_s);
        tools().btnTest->click();
        QTRY_VERIFY_WITH_TIMEOUT(tools().lblBusStatus->text().contains(u"bestätigt"), Patience);
        QCOMPARE(tools().lblBusStatus->text(), u"Vom Bus bestätigt: Licht/Schalter 7.15 eingeschaltet"_s);
        // The next press switches off.
        tools().btnTest->click();
        QTRY_VERIFY_WITH_TIMEOUT(tools().lblBusStatus->text().contains(u"7.15 ausgeschaltet"), Patience);
        // A dimmer goes to the level chosen beside the button.
        editor().btnDimmer->click();
        QVERIFY(tools().edLevel->isVisibleTo(&editor()));
        tools().edLevel->setValue(73);
        tools().btnTest->click();
        QTRY_VERIFY_WITH_TIMEOUT(tools().lblBusStatus->text().contains(u"Dimmer 7.15 auf 73 % gedimmt"),
                                 Patience);
        // An address that is not valid is shown, nothing is sent.
        editor().edAdresse->setText(u"12.34"_s);
        tools().btnTest->click();
        QCOMPARE(tools().lblBusStatus->text(), u"Adresse muss zwischen 0.1 und 10.15 liegen!"_s);
    });
    QCOMPARE(m_sim.frames(), (QByteArrayList{"*1*1*0715##", "*1*0*0715##", "*#1*0715*#1*173*255##"}));
    // Nothing was saved.
    QCOMPARE(w().items().at(0).address, u"01.12"_s);
}

// The scene list shows a group's label; the test still finds the group's members by its name.
void BusWindowsTest::editorTestsTheSceneOfALabelledGroup()
{
    program().openHab.groupLabels.insert(u"Erdgeschoss"_s, u"Unten"_s);
    // GROUP_12, the scene of Erdgeschoss, whose members include SWITCH_1 at 01.12.
    whileEditing(11, [this] {
        QCOMPARE(editor().cbSzene->currentText(), u"Unten"_s);
        tools().btnTest->click();
        QTRY_VERIFY_WITH_TIMEOUT(m_sim.frames().contains("*1*1*0112##"), Patience);
    });
}

void BusWindowsTest::editorTestReportsRefusalAndCanBeCancelled()
{
    whileEditing(0, [this] {
        editor().edAdresse->setText(u"9.9"_s);
        tools().btnTest->click();
        QTRY_VERIFY_WITH_TIMEOUT(tools().lblBusStatus->text().contains(u"abgelehnt"), Patience);
        QCOMPARE(tools().lblBusStatus->text(), u"Der Befehl *1*1*99## wurde vom Bus abgelehnt."_s);

        // A server that never answers: the window stays usable and the button cancels.
        QVERIFY(m_sim.setMode(u"silent"_s));
        tools().btnTest->click();
        QCOMPARE(tools().btnTest->text(), u"Test abbrechen"_s);
        QVERIFY(!tools().btnLearn->isEnabled());
        // The wait for the server counts its seconds.
        const QString connecting = u"Verbinde mit dem Busserver 127.0.0.1:"_s + QString::number(m_sim.port());
        QCOMPARE(tools().lblBusStatus->text(), connecting + u" … 0 s"_s);
        QTRY_COMPARE_WITH_TIMEOUT(tools().lblBusStatus->text(), connecting + u" … 1 s"_s, 3000);
        tools().btnTest->click();
        QCOMPARE(tools().lblBusStatus->text(), u"Abgebrochen."_s);
        QCOMPARE(tools().btnTest->text(), u"Testen"_s);
        QVERIFY(tools().btnLearn->isEnabled());
    });
}

void BusWindowsTest::editorLearnsFromAKeyPress_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("adrArt");
    QTest::addColumn<int>("bus");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("cen");
    QTest::addColumn<QString>("said");
    QTest::newRow("light point") << int(FunctionEntry::Switch) << QByteArray("*1*1*0112#4#03##") << u"1.12"_s
                                 << 0 << 3 << QString() << 0 << u"Licht/Schalter 1.12, Lokaler Bus 3"_s;
    QTest::newRow("light point for a dimmer") << int(FunctionEntry::Dimmer) << QByteArray("*1*0*0301##")
                                              << u"3.1"_s << 0 << 0 << QString() << 0 << u"Dimmer 3.1"_s;
    QTest::newRow("light group") << int(FunctionEntry::Switch) << QByteArray("*1*0*#12##") << u"12"_s << 2
                                 << 0 << QString() << 0 << u"Licht/Schalter #12"_s;
    QTest::newRow("actuator") << int(FunctionEntry::Automation) << QByteArray("*2*1*1005##") << u"10.5"_s << 0
                              << 0 << QString() << 0 << u"Raffstore/Jalousie 10.5"_s;
    QTest::newRow("CEN key") << int(FunctionEntry::CenScene) << QByteArray("*15*07#1*0115##") << u"1.15"_s
                             << 0 << 0 << u"7"_s << 0 << u"CEN-Szene 1.15, Taste 7"_s;
    QTest::newRow("CEN+ key") << int(FunctionEntry::CenScene) << QByteArray("*25*23#12*20115#4#01##")
                              << u"1.15"_s << 0 << 1 << u"12"_s << 2
                              << u"CEN-Szene 1.15, Lokaler Bus 1, Taste 12 (+)"_s;
    QTest::newRow("scenario") << int(FunctionEntry::ScenarioModule) << QByteArray("*0*3*05##") << u"0.5"_s
                              << 0 << 0 << u"3"_s << 0 << u"Szenario-Modul 0.5, Taste 3"_s;
}

void BusWindowsTest::editorLearnsFromAKeyPress()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, frame);
    QFETCH(QString, address);
    QFETCH(int, adrArt);
    QFETCH(int, bus);
    QFETCH(QString, key);
    QFETCH(int, cen);
    QFETCH(QString, said);
    const QList<QToolButton*> kinds{editor().btnSchalter, editor().btnDimmer,   editor().btnAutomation,
                                    editor().btnCEN,      editor().btnSzenario, editor().btnGruppe};
    whileEditing(-1, [&] {
        kinds.at(kind)->click();
        tools().btnLearn->click();
        QTRY_VERIFY_WITH_TIMEOUT(tools().lblBusStatus->text().contains(u"Taste"), Patience);
        // Not a second "Abbrechen" beside the editor's own.
        QCOMPARE(tools().btnLearn->text(), u"Lernen abbrechen"_s);
        // A frame of another kind is shown, not used.
        const bool blind = kind == FunctionEntry::Automation;
        QVERIFY(m_sim.event({blind ? "*1*1*0112##" : "*2*1*0114##"}));
        QTRY_COMPARE_WITH_TIMEOUT(
            tools().lblBusStatus->text(),
            u"Passt nicht zur gewählten Art: "_s +
                (blind ? u"Licht/Schalter 1.12 eingeschaltet"_s : u"Raffstore/Jalousie 1.14 fährt hoch"_s),
            Patience);
        QVERIFY(m_sim.event({frame}));
        QTRY_COMPARE_WITH_TIMEOUT(tools().lblBusStatus->text(), u"Gelernt: "_s + said, Patience);
        QCOMPARE(editor().kind(), kind);
        QCOMPARE(editor().edAdresse->text(), address);
        QCOMPARE(editor().cbAdrArt->currentIndex(), adrArt);
        QCOMPARE(editor().cbBus->currentIndex(), bus);
        if (!key.isEmpty()) {
            QCOMPARE(editor().edCENKey->text(), key);
        }
        if (kind == FunctionEntry::CenScene)
            QCOMPARE(editor().cbCEN->currentIndex(), cen);
        QCOMPARE(tools().btnLearn->text(), u"Adresse lernen"_s);
    });
}

// Warnings while typing, for what the editor accepts but the bus does otherwise; the demo holds
// SWITCH_2 "Terrasse" at 2.15.
void BusWindowsTest::editorWarnsOfTheBusTraps()
{
    whileEditing(-1, [this] {
        // The stored form, while it differs from what is typed.
        editor().btnSchalter->click();
        editor().edAdresse->setText(u"12"_s);
        QCOMPARE(tools().lblBusStatus->text(), u"Wird gespeichert als 1.2"_s);
        editor().edAdresse->setText(u"7.15"_s);
        QCOMPARE(tools().lblBusStatus->text(), u"Wird gespeichert als 07.15"_s);
        editor().edAdresse->setText(u"07.15"_s);
        QCOMPARE(tools().lblBusStatus->text(), QString());
        editor().btnCEN->click();
        editor().edBez->setText(u"Abend"_s);
        editor().edAdresse->setText(u"1.5"_s);
        editor().edCENKey->setText(u"40"_s);
        QCOMPARE(tools().lblBusStatus->text(),
                 u"\"Abend\": Der Bus kennt nur die CEN-Tasten 0 bis 31, nicht 40."_s);
        // As a CEN+ key: "2" and 1.5 is what the bus reads as light 2.15.
        editor().cbCEN->setCurrentIndex(1);
        QCOMPARE(tools().lblBusStatus->text(),
                 u"\"Abend\": Die CEN+-Taste hat dieselbe Busadresse wie SWITCH_2 \"Terrasse\"."_s);
        editor().edAdresse->setText(u"1.6"_s);
        QCOMPARE(tools().lblBusStatus->text(), QString());
        editor().btnSchalter->click();
        editor().cbAdrArt->setCurrentIndex(1);
        editor().edAdresse->setText(u"9"_s);
        QCOMPARE(tools().lblBusStatus->text(),
                 u"\"Abend\" schaltet Bereich 9, doch keine Funktion des Projekts gehört dazu."_s);
        // Saving is not refused.
        editor().btnSave->click();
        QVERIFY(!editor().isVisible());
    });
    QCOMPARE(w().items().count(), 15);
    QCOMPARE(w().items().at(14).address, u"9"_s);
}

void BusWindowsTest::listTestSwitchesTheStoredFunction()
{
    BusMenu& menu = *w().busMenu;
    w().lvItems->selectRow(0);
    emit w().pmItems->aboutToShow();
    QVERIFY(menu.pmTestFunction->isEnabled());
    QCOMPARE(menu.pmTestFunction->text(), u"Funktion testen"_s);
    menu.pmTestFunction->trigger();
    QVERIFY(menu.testDialog->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(
        menu.testDialog->lblBusStatus->text() ==
            u"Vom Bus bestätigt: Licht/Schalter 1.12 eingeschaltet; Licht/Schalter 1.12 ausgeschaltet",
        Patience);
    QCOMPARE(menu.testDialog->btnClose->text(), u"Schließen"_s);
    menu.testDialog->btnClose->click();
    QVERIFY(!menu.testDialog->isVisible());
    QCOMPARE(m_sim.frames(), (QByteArrayList{"*1*1*0112##", "*1*0*0112##"}));

    // No bus server at the address: said within the bounds, and the dialog closes.
    QVERIFY(m_sim.setMode(u"close"_s));
    menu.pmTestFunction->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(
        menu.testDialog->lblBusStatus->text().startsWith(u"Kein Busserver unter 127.0.0.1:"), Patience);
    menu.testDialog->btnClose->click();
    QVERIFY(!menu.testDialog->isVisible());
}

void BusWindowsTest::discoverShowsAndAddsDevices()
{
    // Whatever the editor tests left on: a light at a dim level would answer as a dimmer.
    BusTest off;
    QSignalSpy switchedOff(&off, &BusTest::finished);
    off.start(ProjectBusServer(program()), {{0, "*1*0*0715##"}, {0, "*1*0*0113##"}, {0, "*1*5*0710##"}});
    QVERIFY(switchedOff.wait(Patience));

    BusMenu& menu = *w().busMenu;
    emit w().pmItems->aboutToShow();
    menu.pmFindDevices->trigger();
    BusDiscoverDialog& dialog = *menu.discoverDialog;
    QVERIFY(dialog.isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(dialog.lvDevices->topLevelItemCount(), 3, Patience);
    const auto texts = [&](int section) {
        QStringList result;
        QTreeWidgetItem* top = dialog.lvDevices->topLevelItem(section);
        for (int i = 0; i < top->childCount(); ++i)
            result << top->child(i)->text(0) + u'|' + top->child(i)->text(1) + u'|' + top->child(i)->text(2);
        return result;
    };
    // Found in the project: its kind. Missing: a dimmer at a level is one; an off light point could
    // be a dimmer as well.
    QCOMPARE(texts(0), (QStringList{u"Licht/Schalter|01.12|SWITCH_1"_s, u"Dimmer|01.13|DIMMER_4"_s,
                                    u"Raffstore/Jalousie|01.14|AUTO_6"_s}));
    QCOMPARE(texts(1), (QStringList{u"Art unbekannt 07.15|07.15|"_s, u"Dimmer 07.10|07.10|"_s}));
    QCOMPARE(texts(2), (QStringList{u"Licht/Schalter|02.15|SWITCH_2"_s, u"Licht/Schalter|03.01|SWITCH_3"_s,
                                    u"Dimmer|1.5 (2)|DIMMER_5"_s, u"Raffstore/Jalousie|03.12|AUTO_7"_s}));
    QVERIFY(!dialog.btnAdd->isEnabled());
    dialog.lvDevices->topLevelItem(1)->child(0)->setCheckState(0, Qt::Checked);
    QVERIFY(dialog.btnAdd->isEnabled());
    dialog.btnAdd->click();

    // Added at the end with its alias by position, saved, and found in the project now.
    QCOMPARE(w().items().count(), 15);
    QCOMPARE(w().items().at(14).alias, u"SWITCH_15"_s);
    QCOMPARE(texts(1), QStringList{u"Dimmer 07.10|07.10|"_s});
    QVERIFY(!dialog.btnAdd->isEnabled());
    QVERIFY(texts(0).contains(u"Licht/Schalter|07.15|SWITCH_15"_s));
    FunctionList reloaded;
    program().openHab.LoadFiles(reloaded);
    QCOMPARE(reloaded.entries(), w().items().entries());
    QCOMPARE(reloaded.at(14).label, u"Licht/Schalter 07.15"_s);
    QVERIFY(m_prompts.shown.isEmpty());
    dialog.btnClose->click();
    QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(BusWindowsTest)
#include "tst_busui.moc"
