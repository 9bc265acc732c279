// The generated files, byte for byte, against a committed list of their SHA-256 sums: the demo
// project saved again, and projects built the way the function editor builds them in both sitemap
// layouts and both languages. A change of the generator's code that is meant to keep its output
// must keep this list. To take a deliberate change of the output, run the test with
// VARUNO_WRITE_GENERATED_SUMS=<file> and commit that file as tests/openhab/generatedbytes.sha256.

#include "bus/busaddress.h"
#include "functionlistgenerator.h"
#include "model/functionlist.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "programfolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using Sums = QMap<QString, QByteArray>;

const QString SumsFile = QStringLiteral(VARUNO_TESTS_DIR "/openhab/generatedbytes.sha256");
constexpr int ProjectsPerCase = 40;
constexpr quint32 Seed = 20261210;

QByteArray sha256(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// One sum over several files: each file's name and size before its bytes, so that bytes moving
// from one file to the next change the sum too.
QByteArray sumOfFiles(const QString& folder, const QStringList& names)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString& name : names) {
        const QByteArray bytes = readBytes(folder + name);
        hash.addData(QByteArray(name.toUtf8() + ' ' + QByteArray::number(bytes.size()) + '\n'));
        hash.addData(bytes);
    }
    return hash.result().toHex();
}

Sums readSums(const QString& fileName)
{
    Sums sums;
    const QList<QByteArray> lines = readBytes(fileName).split('\n');
    for (const QByteArray& line : lines) {
        const qsizetype blank = line.lastIndexOf(' ');
        if (blank > 0)
            sums.insert(QString::fromUtf8(line.left(blank)), line.mid(blank + 1));
    }
    return sums;
}

QByteArray formatSums(const Sums& sums)
{
    QByteArray text;
    for (auto it = sums.cbegin(); it != sums.cend(); ++it)
        text += it.key().toUtf8() + ' ' + it.value() + '\n';
    return text;
}

} // namespace

class TstGeneratedBytes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void sameBytesAsCommitted();

private:
    void addDemo(Sums& sums);
    void addGeneratedProjects(Sums& sums, const QString& layout, const QString& language);

    TestProgramFolder m_folder;
    Language m_language{m_folder.configDir()};
};

void TstGeneratedBytes::initTestCase()
{
    QVERIFY(m_folder.isValid());
    QVERIFY(m_folder.addProject(QStringLiteral(VARUNO_DEMO_DIR "/Demo"), u"Demo"_s));
    // The demo comes without a cloud identity, and a new one is drawn at random.
    QVERIFY(writeBytes(m_folder.projectsDir() + u"Demo/uuid"_s, "uuid\r\n"));
    QVERIFY(writeBytes(m_folder.projectsDir() + u"Demo/secret"_s, "secret\r\n"));
}

void TstGeneratedBytes::addDemo(Sums& sums)
{
    m_language.LoadLanguage(u"Deutsch"_s);
    OpenHabGenerator openHab(m_language, m_folder.configDir());
    openHab.sProj = u"Demo"_s;
    openHab.sProjPath = m_folder.projectsDir() + u"Demo/"_s;
    FunctionList rows;
    openHab.LoadFiles(rows);
    QVERIFY(openHab.SaveItems(rows.entries()).isEmpty());
    QVERIFY(openHab.SaveCfg().isEmpty());
    QVERIFY(openHab.SaveHomekit(u"127.0.0.1"_s).isEmpty());
    const QStringList names = QDir(openHab.sProjPath).entryList(QDir::Files, QDir::Name);
    QVERIFY(names.contains(openHab.sHomeKitFile));
    for (const QString& name : names)
        sums.insert(u"demo/"_s + name, sha256(readBytes(openHab.sProjPath + name)));
}

void TstGeneratedBytes::addGeneratedProjects(Sums& sums, const QString& layout, const QString& language)
{
    const QString folder = m_folder.projectsDir() + u"Haus-"_s + layout + language + u'/';
    QVERIFY(writeBytes(folder + u"project.ini"_s, "[CFG]\r\nSITEMAP=" + layout.toUtf8() + "\r\n"));
    m_language.LoadLanguage(language);
    OpenHabGenerator openHab(m_language, m_folder.configDir());
    openHab.sProj = u"Haus"_s;
    openHab.sProjPath = folder;
    const QStringList names{openHab.sItemsFile, openHab.sCloudFile, openHab.sRulesFile, openHab.sSitemapFile};

    FunctionListGenerator generator(openHab, Seed);
    QRandomGenerator sizes(Seed);
    for (int project = 0; project < ProjectsPerCase; ++project) {
        openHab.slGroups = generator.groups();
        const QList<FunctionEntry> rows = generator.functions(openHab.slGroups, sizes.bounded(25));
        QVERIFY(openHab.SaveItems(rows).isEmpty());
        const QString key =
            u"layout"_s + layout + u'-' + language + u'/' + QString::number(project).rightJustified(2, u'0');
        sums.insert(key, sumOfFiles(folder, names));
    }
}

void TstGeneratedBytes::sameBytesAsCommitted()
{
    Sums sums;
    addDemo(sums);
    for (const QString& layout : {u"1"_s, u"2"_s}) {
        for (const QString& language : {u"Deutsch"_s, u"English"_s})
            addGeneratedProjects(sums, layout, language);
    }
    if (QTest::currentTestFailed())
        return;

    const QString writeTo = qEnvironmentVariable("VARUNO_WRITE_GENERATED_SUMS");
    if (!writeTo.isEmpty()) {
        QVERIFY(writeBytes(writeTo, formatSums(sums)));
        QSKIP("sums written, nothing compared");
    }
    const Sums committed = readSums(SumsFile);
    QVERIFY2(!committed.isEmpty(), qPrintable(SumsFile));
    QStringList differing;
    for (const QString& key : sums.keys() + committed.keys()) {
        if (sums.value(key) != committed.value(key) && !differing.contains(key))
            differing << key;
    }
    QVERIFY2(differing.isEmpty(), qPrintable(u"generated bytes differ: "_s + differing.join(u", "_s)));
}

QTEST_GUILESS_MAIN(TstGeneratedBytes)
#include "tst_generatedbytes.moc"
