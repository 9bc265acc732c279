// The items file bticino.items and the expose list of openhabcloud.cfg, as SaveItems writes them.
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

const QStringList header = {u"//Gruppen"_s, QString(), u"//Schaltelemente"_s};

} // namespace

class TestItemsFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void workedExample();
    void emptyList();
    void itemLine_data();
    void itemLine();

private:
    // A row of these values, kept as every row is kept.
    static FunctionEntry entry(int kind, const QString& label, const QString& address, const QString& alias,
                               const QString& groups = {}, const QString& voice = {}, const QString& key = {},
                               bool reverse = false, int bus = 0, int cen = 0);
    QByteArray projectBytes(const QString& name) const { return readBytes(m_gen->sProjPath + name); }

    std::unique_ptr<GermanGenerator> m_fixture;
    OpenHabGenerator* m_gen = nullptr;
};

void TestItemsFile::init()
{
    m_fixture = std::make_unique<GermanGenerator>();
    m_gen = &m_fixture->gen;
    m_gen->sProj = u"Haus"_s;
}

FunctionEntry TestItemsFile::entry(int kind, const QString& label, const QString& address,
                                   const QString& alias, const QString& groups, const QString& voice,
                                   const QString& key, bool reverse, int bus, int cen)
{
    return FunctionEntry{.label = label,
                         .address = address,
                         .groups = groups,
                         .alias = alias,
                         .key = key,
                         .kind = kind,
                         .bus = bus,
                         .cen = cen,
                         .voice = voiceOf(voice),
                         .reverse = reverse}
        .normalized();
}

void TestItemsFile::workedExample()
{
    m_gen->slGroups = {u"Erdgeschoss"_s, u"Lichter"_s};
    // Address 01.12 with voice control; 1.5 on local bus 2; the bus group #3 under Alexa; CEN key 1,
    // CEN+ short press on 01.15 with voice control; a reversing scene for Erdgeschoss.
    const QList<FunctionEntry> rows = {
        entry(0, u"Küche"_s, u"01.12"_s, u"SWITCH_1"_s, u"Erdgeschoss, Lichter"_s, u"Ja"_s),
        entry(1, u"Esszimmer"_s, u"1.5"_s, u"DIMMER_2"_s, {}, {}, {}, false, 2),
        entry(2, u"Schlafzimmer"_s, u"#3"_s, u"AUTO_3"_s, u"Erdgeschoss"_s, u"Alexa"_s),
        entry(3, u"Badezimmer"_s, u"01.15"_s, u"CEN_4"_s, {}, u"Ja"_s, u"1"_s, false, 0, 1),
        entry(5, u"Kinderzimmer"_s, {}, u"GROUPX_5"_s, u"Erdgeschoss"_s, u"Ja"_s, {}, true),
    };

    QCOMPARE(m_gen->SaveItems(rows), FileErrors());

    QCOMPARE(
        projectBytes(u"bticino.items"_s),
        crlf({
            u"//Gruppen"_s,
            u"Group Erdgeschoss"_s,
            u"Group Lichter"_s,
            QString(),
            u"//Schaltelemente"_s,
            uR"(Switch SWITCH_1 "Küche" <light> (Erdgeschoss, Lichter) ["Lighting"] {bticino="if=webserver;who=1;what=0;where=0112"})"_s,
            uR"(Dimmer DIMMER_2 "Esszimmer" <heating> {bticino="if=webserver;who=1;what=0;where=15#4#02"})"_s,
            uR"(Rollershutter AUTO_3 "Schlafzimmer" <rollershutter> (Erdgeschoss) {bticino="if=webserver;who=2;what=0;where=#3"})"_s,
            uR"(Dimmer AUTO_3_ALEXA "Schlafzimmer" <rollershutter> ["Switchable"])"_s,
            uR"(Switch CEN_4 "Badezimmer" <mediacontrol> ["Switchable"] {mqtt=">[cmdbroker:bticino/cmd/set:command:ON:*25*21#01*20115##],>[cmdbroker:bticino/cmd/set:command:OFF:*25*21#01*20115##]",autoupdate="false"})"_s,
            uR"(Switch GROUPX_5 "Kinderzimmer" <groundfloor> (Erdgeschoss) ["Switchable"])"_s,
        }));
    QCOMPARE(projectBytes(u"openhabcloud.cfg"_s),
             crlf({u"baseURL=https://myopenhab.org/"_s, u"mode=remote"_s,
                   u"expose=SWITCH_1,AUTO_3,AUTO_3_ALEXA,CEN_4,GROUPX_5"_s}));
}

void TestItemsFile::emptyList()
{
    QCOMPARE(m_gen->SaveItems({}), FileErrors());
    QCOMPARE(projectBytes(u"bticino.items"_s), crlf(header));
    QCOMPARE(projectBytes(u"openhabcloud.cfg"_s),
             crlf({u"baseURL=https://myopenhab.org/"_s, u"mode=remote"_s, u"expose="_s}));
}

void TestItemsFile::itemLine_data()
{
    QTest::addColumn<int>("iType");
    QTest::addColumn<QString>("sBez");
    QTest::addColumn<QString>("sAdr");
    QTest::addColumn<int>("iBus");
    QTest::addColumn<QString>("sGroups");
    QTest::addColumn<QString>("sAlexa");
    QTest::addColumn<QString>("sCENKey");
    QTest::addColumn<int>("iCEN");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("expose");

    const auto bticino = [](const char* type, const char* icon, const char* who,
                            const char* where) -> QString {
        return QString::fromUtf8(type) + uR"( ITEM_1 "Flur" <)"_s + QString::fromUtf8(icon) +
               uR"(> {bticino="if=webserver;who=)"_s + QString::fromUtf8(who) + u";what=0;where="_s +
               QString::fromUtf8(where) + uR"("})"_s;
    };
    const auto mqtt = [](const char* icon, const char* frame) -> QString {
        const QString f = QString::fromUtf8(frame);
        return uR"(Switch ITEM_1 "Flur" <)"_s + QString::fromUtf8(icon) +
               uR"(> {mqtt=">[cmdbroker:bticino/cmd/set:command:ON:)"_s + f +
               u"],>[cmdbroker:bticino/cmd/set:command:OFF:"_s + f + uR"(]",autoupdate="false"})"_s;
    };
    const QString flur = u"Flur"_s;
    const QString none;

    // Addresses go on the bus without their dot; a local bus adds #4#0<bus>.
    QTest::newRow("group address #12") << 0 << flur << u"#12"_s << 0 << none << none << none << 0
                                       << QStringList{bticino("Switch", "light", "1", "#12")} << none;
    QTest::newRow("area 00") << 0 << flur << u"00"_s << 0 << none << none << none << 0
                             << QStringList{bticino("Switch", "light", "1", "00")} << none;
    QTest::newRow("general 0, blind without voice")
        << 2 << flur << u"0"_s << 0 << none << none << none << 0
        << QStringList{bticino("Rollershutter", "rollershutter", "2", "0")} << none;
    QTest::newRow("10.05") << 1 << flur << u"10.05"_s << 0 << none << none << none << 0
                           << QStringList{bticino("Dimmer", "heating", "1", "1005")} << none;
    QTest::newRow("01.12 on bus 3") << 0 << flur << u"01.12"_s << 3 << none << none << none << 0
                                    << QStringList{bticino("Switch", "light", "1", "0112#4#03")} << none;

    // Groups and tags.
    QTest::newRow("dimmer with voice")
        << 1 << flur << u"01.12"_s << 0 << none << u"Ja"_s << none << 0
        << QStringList{uR"(Dimmer ITEM_1 "Flur" <heating> ["Lighting"] {bticino="if=webserver;who=1;what=0;where=0112"})"_s}
        << u"ITEM_1"_s;
    QTest::newRow("three groups")
        << 0 << flur << u"01.12"_s << 0 << u"Erdgeschoss, Lichter, Keller"_s << none << none << 0
        << QStringList{uR"(Switch ITEM_1 "Flur" <light> (Erdgeschoss, Lichter, Keller) {bticino="if=webserver;who=1;what=0;where=0112"})"_s}
        << none;
    QTest::newRow("label with a double quote")
        << 0 << u"Bad \"oben\""_s << u"01.12"_s << 0 << none << none << none << 0
        << QStringList{uR"(Switch ITEM_1 "Bad "oben"" <light> {bticino="if=webserver;who=1;what=0;where=0112"})"_s}
        << none;

    // CEN keys are two digits in the frame; scenario numbers stay as they are.
    QTest::newRow("CEN key 7") << 3 << flur << u"01.15"_s << 0 << none << none << u"7"_s << 0
                               << QStringList{mqtt("mediacontrol", "*15*07*0115##")} << none;
    QTest::newRow("CEN key 12") << 3 << flur << u"01.15"_s << 0 << none << none << u"12"_s << 0
                                << QStringList{mqtt("mediacontrol", "*15*12*0115##")} << none;
    QTest::newRow("CEN+ short on bus 1")
        << 3 << flur << u"01.15"_s << 1 << none << none << u"1"_s << 1
        << QStringList{mqtt("mediacontrol", "*25*21#01*20115#4#01##")} << none;
    QTest::newRow("CEN+ long") << 3 << flur << u"01.15"_s << 0 << none << none << u"7"_s << 2
                               << QStringList{mqtt("mediacontrol", "*25*23#07*20115##")} << none;
    QTest::newRow("scenario 7") << 4 << flur << u"5"_s << 0 << none << none << u"7"_s << 0
                                << QStringList{mqtt("cinema", "*0*7*5##")} << none;

    // Voice-controlled blinds get a companion item; scenes have no binding.
    QTest::newRow("blind under Siri/Home")
        << 2 << flur << u"#3"_s << 0 << u"Keller"_s << u"Siri/Home"_s << none << 0
        << QStringList{uR"(Rollershutter ITEM_1 "Flur" <rollershutter> (Keller) {bticino="if=webserver;who=2;what=0;where=#3"})"_s,
                       uR"(Switch ITEM_1_HOME "Flur" <rollershutter> ["Switchable"])"_s}
        << u"ITEM_1,ITEM_1_HOME"_s;
    QTest::newRow("stop-all scene ignores its address")
        << 5 << flur << u"01.12"_s << 0 << u"_STOP_"_s << none << none << 0
        << QStringList{uR"(Switch ITEM_1 "Flur" <groundfloor> (_STOP_))"_s} << none;
}

void TestItemsFile::itemLine()
{
    QFETCH(int, iType);
    QFETCH(QString, sBez);
    QFETCH(QString, sAdr);
    QFETCH(int, iBus);
    QFETCH(QString, sGroups);
    QFETCH(QString, sAlexa);
    QFETCH(QString, sCENKey);
    QFETCH(int, iCEN);
    QFETCH(QStringList, lines);
    QFETCH(QString, expose);

    const FunctionEntry li =
        entry(iType, sBez, sAdr, u"ITEM_1"_s, sGroups, sAlexa, sCENKey, false, iBus, iCEN);
    QCOMPARE(m_gen->SaveItems({li}), FileErrors());
    QCOMPARE(projectBytes(u"bticino.items"_s), crlf(header + lines));
    QCOMPARE(projectBytes(u"openhabcloud.cfg"_s).split('\n').value(2),
             (u"expose="_s + expose).toUtf8() + '\r');
}

QTEST_GUILESS_MAIN(TestItemsFile)
#include "tst_itemsfile.moc"
