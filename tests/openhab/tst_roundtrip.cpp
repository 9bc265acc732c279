#include "bus/busaddress.h"
#include "functionlistgenerator.h"
#include "model/functionlist.h"
#include "model/functionvocabulary.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "programfolder.h"
#include "randomrun.h"
#include "saveproject.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString describe(const FunctionEntry& e)
{
    return QStringList{QString::number(e.kind),
                       e.alias,
                       e.label,
                       e.address,
                       e.key,
                       QString::number(int(e.voice)),
                       e.groups,
                       e.reverse ? u"reversing"_s : QString(),
                       e.checked ? u"checked"_s : QString()}
        .join(u'|');
}

} // namespace

// The items file is the project's only store: whatever the editor can build must come back from it,
// and saving what came back must write the very same files.
class TstRoundtrip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void saveLoadSave_data();
    void saveLoadSave();

private:
    // The row as the loader gives it back after a save: the address as read from its WHERE, a
    // one-digit CEN key with its leading zero, the voice and reverse texts filled anew, no tick.
    FunctionEntry reloaded(const FunctionEntry& saved) const;
    QByteArray generated(const QString& name) const { return readBytes(m_openHab.sProjPath + name); }

    TestProgramFolder m_folder;
    TestSaveProject m_project;
    Language m_language{m_folder.configDir()};
    OpenHabGenerator m_openHab{m_language, m_folder.configDir()};
    FunctionList m_list;
};

void TstRoundtrip::initTestCase()
{
    QVERIFY(m_folder.isValid());
    QVERIFY(m_project.open(m_openHab, m_folder));
}

FunctionEntry TstRoundtrip::reloaded(const FunctionEntry& saved) const
{
    FunctionEntry v = saved;
    if (v.kind == FunctionEntry::GroupScene) {
        v.address.clear();
        v.bus = 0;
    } else {
        // The written WHERE is the stored form without its first "," and first ".".
        QString where = v.address;
        for (const QChar separator : {u',', u'.'}) {
            const qsizetype at = where.indexOf(separator);
            if (at >= 0)
                where.remove(at, 1);
        }
        v.address = BusAddress::storedForm(where, v.kind).text;
    }
    if (v.kind == FunctionEntry::CenScene && v.key.size() == 1)
        v.key.prepend(u'0');
    using Voice = FunctionEntry::Voice;
    if (v.kind == FunctionEntry::Automation && v.voiceOn())
        v.voice = v.homeVoice() ? Voice::Home : Voice::Alexa;
    else if (v.voiceOn())
        v.voice = Voice::On;
    // The items file says that a scene reverses its blinds by the alias alone.
    v.reverse = v.alias.startsWith(Vocabulary::ReversingScenePrefix);
    v.checked = false;
    return v.normalized();
}

void TstRoundtrip::saveLoadSave_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("loadLanguage");
    QTest::addColumn<int>("projects");
    QTest::newRow("kind frames") << u"1"_s << u"Deutsch"_s << 1000;
    QTest::newRow("group frames, opened in English") << u"2"_s << u"English"_s << 1000;
}

void TstRoundtrip::saveLoadSave()
{
    QFETCH(QString, layout);
    QFETCH(QString, loadLanguage);
    QFETCH(int, projects);
    QVERIFY(
        writeBytes(m_openHab.sProjPath + u"project.ini"_s, "[CFG]\r\nSITEMAP=" + layout.toUtf8() + "\r\n"));

    RandomRun run;
    FunctionListGenerator generator(m_openHab, run.seed());
    QRandomGenerator sizes(run.seed());
    const QString files[] = {m_openHab.sItemsFile, m_openHab.sCloudFile, m_openHab.sRulesFile,
                             m_openHab.sSitemapFile};

    for (run.project = 0; run.project < projects; ++run.project) {
        m_language.LoadLanguage(u"Deutsch"_s);
        m_openHab.slGroups = generator.groups();
        const QStringList groups = m_openHab.slGroups;
        const QList<FunctionEntry> rows = generator.functions(groups, sizes.bounded(25));
        QVERIFY(m_openHab.SaveItems(rows).isEmpty());
        QByteArray saved[std::size(files)];
        for (size_t i = 0; i < std::size(files); ++i)
            saved[i] = generated(files[i]);

        m_language.LoadLanguage(loadLanguage);
        m_openHab.LoadFiles(m_list);
        QCOMPARE(m_openHab.slGroups, groups);
        QCOMPARE(m_list.count(), rows.size());
        for (int i = 0; i < m_list.count(); ++i)
            QCOMPARE(describe(m_list.at(i)), describe(reloaded(rows.at(i))));

        m_language.LoadLanguage(u"Deutsch"_s);
        QVERIFY(m_openHab.SaveItems(m_list.entries()).isEmpty());
        for (size_t i = 0; i < std::size(files); ++i) {
            const QByteArray again = generated(files[i]);
            // Line by line first, so that a failure shows the line that differs.
            QCOMPARE(QString::fromUtf8(again).split(u"\r\n"_s), QString::fromUtf8(saved[i]).split(u"\r\n"_s));
            QCOMPARE(again, saved[i]);
        }
    }
}

QTEST_GUILESS_MAIN(TstRoundtrip)
#include "tst_roundtrip.moc"
