#include "bus/busaddress.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "openhab/openhabgrammar.h"
#include "openhab/projectcheck.h"
#include "programfolder.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// One function as the editor would fill it: kind, label, stored address, alias, groups, key.
struct TRow
{
    int kind;
    QString label;
    QString address;
    QString alias;
    QString groups;
    QString key;
};

// One function for the bus's traps: kind, stored address, key, bus, CEN variant.
struct THintRow
{
    int kind;
    QString address;
    QString key;
    int bus;
    int cen;
};

} // namespace

Q_DECLARE_METATYPE(QList<TRow>)
Q_DECLARE_METATYPE(QList<THintRow>)

class TstProjectCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void findings_data();
    void findings();
    void findingsInEnglish();
    void busWarnings_data();
    void busWarnings();
    void rejectedLabelPiece_data();
    void rejectedLabelPiece();

private:
    QStringList check(const QList<TRow>& rows);

    TestProgramFolder m_folder;
    QTemporaryDir m_project;
    Language m_language{m_folder.configDir()};
    OpenHabGenerator m_openHab{m_language, m_folder.configDir()};
};

void TstProjectCheck::init()
{
    QVERIFY(m_folder.isValid());
    QVERIFY(m_project.isValid());
    m_language.LoadLanguage(u"Deutsch"_s);
    m_openHab.sProj = u"Haus"_s;
    m_openHab.sProjPath = m_project.path() + u'/';
    m_openHab.slGroups = QStringList{u"EG"_s, u"OG"_s};
}

QStringList TstProjectCheck::check(const QList<TRow>& rows)
{
    QList<FunctionEntry> entries;
    for (const TRow& row : rows)
        entries << FunctionEntry{.label = row.label,
                                 .address = row.address,
                                 .groups = row.groups,
                                 .alias = row.alias,
                                 .key = row.key,
                                 .kind = row.kind}
                       .normalized();
    ProjectCheck check(m_openHab, entries);
    QStringList problems;
    if (!check.Run(problems))
        qWarning() << check.errorString();
    return problems;
}

void TstProjectCheck::findings_data()
{
    QTest::addColumn<QList<TRow>>("rows");
    QTest::addColumn<QStringList>("groups");
    QTest::addColumn<QString>("project");
    QTest::addColumn<QStringList>("expected");

    const QStringList groups{u"EG"_s, u"OG"_s};
    const TRow light{0, u"Flur"_s, u"01.01"_s, u"SWITCH_1"_s, u"EG"_s, {}};

    QTest::newRow("clean") << QList<TRow>{light, {0, u"Bad"_s, u"01.02"_s, u"SWITCH_2"_s, u"OG"_s, {}}}
                           << groups << u"Haus"_s << QStringList();
    // The bus reads the room and light point, or the group number, whatever zeros precede them.
    QTest::newRow("same device written with and without zeros")
        << QList<TRow>{light,
                       {0, u"Bad"_s, u"1.1"_s, u"SWITCH_2"_s, u"EG"_s, {}},
                       {1, u"Alle"_s, u"#12"_s, u"DIMMER_3"_s, u"EG"_s, {}},
                       {1, u"Alle 2"_s, u"#012"_s, u"DIMMER_4"_s, u"EG"_s, {}}}
        << groups << u"Haus"_s
        << QStringList{u"Doppelte Busadresse 01.01 (Lichter/Schalter): SWITCH_1 \"Flur\", SWITCH_2 \"Bad\""_s,
                       u"Doppelte Busadresse #12 (Dimmer): DIMMER_3 \"Alle\", DIMMER_4 \"Alle 2\""_s};
    // An area is compared as written: the loader gives "05" and "0005" different meanings.
    QTest::newRow("area zeros keep addresses apart")
        << QList<TRow>{{0, u"A"_s, u"05"_s, u"SWITCH_1"_s, u"EG"_s, {}},
                       {0, u"B"_s, u"0005"_s, u"SWITCH_2"_s, u"EG"_s, {}}}
        << groups << u"Haus"_s
        << QStringList{u"SWITCH_1 \"A\": Adresse \"05\" wird beim Speichern und Laden zu \"0.5\""_s,
                       u"SWITCH_2 \"B\": Adresse \"0005\" wird beim Speichern und Laden zu \"00.05\""_s};
    QTest::newRow("the same CEN key with and without its zero")
        << QList<TRow>{{3, u"Szene"_s, u"1.5"_s, u"CEN_1"_s, {}, u"1"_s},
                       {3, u"Szene 2"_s, u"1.5"_s, u"CEN_2"_s, {}, u"01"_s},
                       {3, u"Szene 3"_s, u"1.5"_s, u"CEN_3"_s, {}, u"2"_s}}
        << groups << u"Haus"_s
        << QStringList{u"Doppelte Busadresse 1.5 Taste 1 (CEN): CEN_1 \"Szene\", CEN_2 \"Szene 2\""_s,
                       u"CEN_1 \"Szene\": Taste \"1\" wird beim Speichern und Laden zu \"01\""_s,
                       u"CEN_3 \"Szene 3\": Taste \"2\" wird beim Speichern und Laden zu \"02\""_s};
    QTest::newRow("scenes that switch nothing")
        << QList<TRow>{light,
                       {5, u"Oben"_s, {}, u"GROUP_2"_s, u"OG"_s, {}},
                       {5, u"Stopp"_s, {}, u"GROUP_3"_s, u"_STOP_"_s, {}}}
        << groups << u"Haus"_s
        << QStringList{
               u"Individuelle Szene GROUP_2 \"Oben\" schaltet nichts: keine Funktion in Gruppe \"OG\""_s,
               u"Individuelle Szene GROUP_3 \"Stopp\" schaltet nichts: keine Funktion in "
               u"Raffstore/Jalousien/Automation"_s};
    QTest::newRow("what openHAB's grammars reject")
        << QList<TRow>{{0, u"a\\qb"_s, u"01.01"_s, u"SWITCH_1"_s, u"EG"_s, {}},
                       {0, u"C:\\\\x \\u00e4"_s, u"01.02"_s, u"Text"_s, u"EG"_s, {}},
                       {0, u"Flur"_s, u"01.03"_s, u"end"_s, u"EG"_s, {}}}
        << QStringList{u"EG"_s, u"OR"_s, u"Or"_s} << u"Haus \"A\""_s
        << QStringList{u"Gruppe \"OR\": openHAB 2.5 lehnt \"OR\" ab"_s,
                       u"SWITCH_1 \"a\\qb\": openHAB 2.5 lehnt \"\\q\" ab"_s,
                       u"Text \"C:\\\\x \\u00e4\": openHAB 2.5 lehnt \"Text\" ab"_s,
                       u"end \"Flur\": openHAB 2.5 lehnt \"end\" ab"_s,
                       u"Name des Projekts \"Haus \"A\"\": openHAB 2.5 lehnt \"\"\" ab"_s};
}

void TstProjectCheck::findings()
{
    QFETCH(QList<TRow>, rows);
    QFETCH(QStringList, groups);
    QFETCH(QString, project);
    QFETCH(QStringList, expected);

    m_openHab.slGroups = groups;
    m_openHab.sProj = project;
    const QStringList problems = check(rows);
    if (problems != expected)
        qWarning().noquote() << problems.join(u"\n"_s);
    QCOMPARE(problems, expected);
}

void TstProjectCheck::findingsInEnglish()
{
    m_language.LoadLanguage(u"English"_s);
    const QStringList problems = check({{0, u"Flur"_s, u"01.01"_s, u"SWITCH_1"_s, u"Keller"_s, {}},
                                        {0, u"Bad"_s, u"1.1"_s, u"SWITCH_1"_s, u"EG"_s, {}}});
    QCOMPARE(
        problems.mid(0, 3),
        (QStringList{u"Duplicate bus address 01.01 (Lights/Switches): SWITCH_1 \"Flur\", SWITCH_1 \"Bad\""_s,
                     u"Alias SWITCH_1 used more than once: \"Flur\", \"Bad\""_s,
                     u"Group \"Keller\" is missing from the group list, used by: SWITCH_1 \"Flur\""_s}));
}

void TstProjectCheck::busWarnings_data()
{
    QTest::addColumn<QList<THintRow>>("rows"); // named X_1 "F1", X_2 "F2", ... in list order
    QTest::addColumn<QStringList>("expected");
    enum
    {
        light = 0,
        dimmer = 1,
        blind = 2,
        cen = 3
    };

    // WHO 15, WHAT: the key, 0 to 31. CEN+ (WHO 25) carries keys far beyond.
    QTest::newRow("CEN keys above 31")
        << QList<THintRow>{{cen, u"1.5"_s, u"31"_s, 0, 0},
                           {cen, u"1.6"_s, u"32"_s, 0, 0},
                           {cen, u"1.7"_s, u"99"_s, 0, 2}}
        << QStringList{u"X_2 \"F2\": Der Bus kennt nur die CEN-Tasten 0 bis 31, nicht 32."_s};
    // WHO 25, WHERE: "2" and the address; WHO 1, WHERE table: three digits are room and two digits
    // of point, so CEN+ 1.5 ("215") is light 2.15 - but not on another bus, and not a plain CEN key.
    QTest::newRow("CEN+ address that is a light point")
        << QList<THintRow>{{light, u"02.15"_s, {}, 0, 0},
                           {cen, u"1.5"_s, u"1"_s, 0, 1},
                           {dimmer, u"02.15"_s, {}, 3, 0},
                           {cen, u"1.5"_s, u"2"_s, 0, 0},
                           {cen, u"01.15"_s, u"3"_s, 0, 2}}
        << QStringList{u"X_2 \"F2\": Die CEN+-Taste hat dieselbe Busadresse wie X_1 \"F1\"."_s};
    // WHO 1 and WHO 2, WHERE table: area 0 to 10, group 1 to 255, general 0, per bus.
    QTest::newRow("area, group and general without members")
        << QList<THintRow>{{light, u"01.12"_s, {}, 0, 0}, {light, u"1"_s, {}, 0, 0},
                           {dimmer, u"3"_s, {}, 0, 0},    {light, u"0"_s, {}, 0, 0},
                           {blind, u"#4"_s, {}, 0, 0},    {blind, u"0"_s, {}, 0, 0},
                           {dimmer, u"#5"_s, {}, 2, 0},   {light, u"100"_s, {}, 0, 0}}
        << QStringList{u"X_3 \"F3\" schaltet Bereich 3, doch keine Funktion des Projekts gehört dazu."_s,
                       u"X_5 \"F5\" schaltet Gruppe 4, doch keine Funktion des Projekts gehört dazu."_s,
                       u"X_6 \"F6\" schaltet General, doch keine Funktion des Projekts gehört dazu."_s,
                       u"X_7 \"F7\" schaltet Gruppe 5, doch keine Funktion des Projekts gehört dazu."_s,
                       u"X_8 \"F8\" schaltet Bereich 10, doch keine Funktion des Projekts gehört dazu."_s};
}

void TstProjectCheck::busWarnings()
{
    QFETCH(QList<THintRow>, rows);
    QFETCH(QStringList, expected);
    QList<FunctionEntry> entries;
    for (const THintRow& row : rows) {
        const QString n = QString::number(entries.size() + 1);
        entries << FunctionEntry{.label = u"F"_s + n,
                                 .address = row.address,
                                 .alias = u"X_"_s + n,
                                 .key = row.key,
                                 .kind = row.kind,
                                 .bus = row.bus,
                                 .cen = row.cen}
                       .normalized();
    }
    QCOMPARE(ProjectCheck(m_openHab, entries).warnings(), expected);
}

void TstProjectCheck::rejectedLabelPiece_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("piece");

    QTest::newRow("plain") << u"Küche (EG) [1]"_s << QString();
    QTest::newRow("every escape") << u"\\b\\t\\n\\f\\r\\'\\\\\\u00E4"_s << QString();
    QTest::newRow("unknown escape") << u"C:\\Pfad"_s << u"\\P"_s;
    QTest::newRow("escaped quote") << u"Sag \\\"Hallo"_s << u"\\\""_s;
    QTest::newRow("backslash at the end") << u"Ende\\"_s << u"\\"_s;
    QTest::newRow("short unicode escape") << u"\\u00g4"_s << u"\\u"_s;
    QTest::newRow("escaped backslash before a letter") << u"\\\\q"_s << QString();
}

void TstProjectCheck::rejectedLabelPiece()
{
    QFETCH(QString, label);
    QFETCH(QString, piece);
    QCOMPARE(RejectedLabelPiece(label), piece);
}

QTEST_GUILESS_MAIN(TstProjectCheck)
#include "tst_projectcheck.moc"
