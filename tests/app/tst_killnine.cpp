#include "programfolder.h"
#include "redisserver.h"
#include "treecopy.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

using namespace Qt::StringLiterals;

// Kills a writing command of varuno-cli at random instants, as a power cut or a closed terminal
// would, and checks what the next command finds: the project's files wholly as they were or wholly
// as the command makes them, the gateway's store likewise, every backup complete, and no temporary
// file of the program anywhere in the project. VARUNO_KILL_RUNS sets the runs per command (a few by
// default; tools/kill-loop runs hundreds).

namespace {

const QString GatewayConf = u"/var/lib/docker/volumes/openhab_conf/_data/"_s;
const QString GatewayUserdata = u"/var/lib/docker/volumes/openhab_userdata/_data/"_s;
// The seven files a transfer moves, as (gateway folder, name).
const QList<std::pair<QString, QString>> SharedFiles = {
    {GatewayConf + u"services/"_s, u"bticino.cfg"_s},
    {GatewayConf + u"items/"_s, u"bticino.items"_s},
    {GatewayConf + u"rules/"_s, u"bticino.rules"_s},
    {GatewayConf + u"services/"_s, u"openhabcloud.cfg"_s},
    {GatewayConf + u"sitemaps/"_s, u"bticino.sitemap"_s},
    {GatewayUserdata, u"uuid"_s},
    {GatewayUserdata + u"openhabcloud/"_s, u"secret"_s},
};

int runsPerCommand()
{
    const int runs = qEnvironmentVariableIntValue("VARUNO_KILL_RUNS");
    return runs > 0 ? runs : 8;
}

// Enough functions that a command takes long enough to be cut at many different places.
QByteArray itemsFile(int count, const QByteArray& labelPrefix)
{
    QByteArray items = "Group EG\r\nGroup OG\r\n";
    for (int i = 1; i <= count; ++i) {
        const QByteArray n = QByteArray::number(i);
        const QByteArray where = QByteArray::number(1 + i % 9) + QByteArray::number(1 + i / 9 % 9);
        items += "Switch SWITCH_" + n + " \"" + labelPrefix + ' ' + n + "\" <light> (" +
                 (i % 2 ? "EG" : "OG") + ") {bticino=\"if=webserver;who=1;what=0;where=" + where + "\"}\r\n";
    }
    return items;
}

// The project's own files; backups and the lock are looked at apart.
QMap<QString, QByteArray> projectFiles(const QString& project)
{
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(project).entryList(QDir::Files | QDir::Hidden))
        if (name != u".varuno.lock")
            files.insert(name, readBytes(project + name));
    return files;
}

// Runs the program folder's varuno-cli to its successful end.
bool runCli(const QString& folder, const QStringList& arguments)
{
    QProcess cli;
    cli.setWorkingDirectory(folder);
    cli.start(folder + u"varuno-cli"_s, arguments);
    cli.closeWriteChannel();
    return cli.waitForFinished(60000) && cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0;
}

// The files of the openHAB 5 conf folder in the program folder, a lock left by a killed export aside.
QMap<QString, QByteArray> confFiles(const QString& folder)
{
    QMap<QString, QByteArray> files;
    const QString conf = folder + u"conf/"_s;
    QDirIterator it(conf, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!path.endsWith(u"/.varuno.lock"))
            files.insert(path.mid(conf.size()), readBytes(path));
    }
    return files;
}

// The files of a mixed folder that are neither as before nor as after, for the failure message.
QString differences(const QMap<QString, QByteArray>& found, const QMap<QString, QByteArray>& before,
                    const QMap<QString, QByteArray>& after)
{
    QStringList names;
    for (const QString& name : QStringList(found.keys()) + before.keys() + after.keys())
        if (!names.contains(name) && found.value(name) != after.value(name))
            names << name + (found.value(name) == before.value(name) ? u" old"_s : u" other"_s);
    return names.join(u", "_s);
}

// What the program leaves behind only when cut short: temporary files, an intent, a backup being
// staged.
QStringList leftovers(const QString& project)
{
    QStringList found;
    QDirIterator it(project, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString name = QFileInfo(it.next()).fileName();
        if (name.endsWith(u".tmp") || name == u".varuno.intent" || name.startsWith(u".staging-"))
            found << it.filePath().mid(project.size());
    }
    return found;
}

// Every backup holds all seven files of the project, one made before an import the four files a save
// of the function list replaces.
QStringList incompleteBackups(const QString& project)
{
    QStringList found;
    const QDir backups(project + u"backups"_s);
    for (const QString& name : backups.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (QDir(backups.filePath(name)).entryList(QDir::Files).size() !=
            (name.contains(u"-before-save") ? 4 : SharedFiles.size()))
            found << name;
    return found;
}

} // namespace

class TestKillNine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void oldOrNew_data();
    void oldOrNew();

private:
    // A program folder with projects/Demo in its state before the command.
    bool prepare(const QString& folder, const QString& command);
    void storeOnGateway(const QMap<QString, QByteArray>& files) const;
    QMap<QString, QByteArray> gatewayFiles() const;
    QStringList arguments(const QString& command, const QString& folder) const;

    RedisServer m_redis;
};

void TestKillNine::initTestCase()
{
    QVERIFY2(QFile::exists(QStringLiteral(VARUNO_PROGRAM_DIR "/varuno-cli")), "varuno-cli is not built");
    QVERIFY2(m_redis.start(), qPrintable(m_redis.errorString()));
}

// The store holds the seven files and nothing a send left there before.
void TestKillNine::storeOnGateway(const QMap<QString, QByteArray>& files) const
{
    m_redis.flushAll();
    m_redis.cli({u"SET"_s, u"rpi-firmware"_s, u"2.0"_s});
    for (const auto& [folder, name] : SharedFiles)
        m_redis.cli({u"HSET"_s, folder + name, u"text"_s}, files.value(name));
    m_redis.cli({u"SET"_s, u"rpi-timestamp"_s, QString::number(QDateTime::currentSecsSinceEpoch())});
}

QMap<QString, QByteArray> TestKillNine::gatewayFiles() const
{
    QMap<QString, QByteArray> files;
    for (const auto& [folder, name] : SharedFiles)
        files.insert(name, m_redis.cli({u"HGET"_s, folder + name, u"text"_s}));
    return files;
}

QStringList TestKillNine::arguments(const QString& command, const QString& folder) const
{
    if (command == u"export-openhab5")
        return {command, u"Demo"_s, folder + u"conf/"_s, u"--yes"_s};
    if (command == u"import-csv")
        return {command, u"Demo"_s, folder + u"liste.csv"_s, u"--replace"_s};
    if (command == u"restore")
        return {command, u"Demo"_s, u"000001-20261210-134507-before-receive"_s};
    if (command == u"regenerate")
        return {command, u"Demo"_s};
    return {command,   u"Demo"_s, u"--ip"_s, u"127.0.0.1"_s, u"--port"_s, QString::number(m_redis.port()),
            u"--yes"_s};
}

bool TestKillNine::prepare(const QString& folder, const QString& command)
{
    const QString project = folder + u"projects/Demo/"_s;
    if (!CopyTree(QStringLiteral(VARUNO_PROGRAM_DIR "/config"), folder + u"config"_s) ||
        !QFile::copy(QStringLiteral(VARUNO_PROGRAM_DIR "/varuno-cli"), folder + u"varuno-cli"_s) ||
        !CopyTree(QStringLiteral(VARUNO_DEMO_DIR "/Demo"), project))
        return false;
    // An IPv6 bus server is never pinged, so a send does not wait for the check.
    QByteArray cfg = readBytes(project + u"bticino.cfg"_s);
    cfg.replace("webserver.host=127.0.0.1", "webserver.host=::1");
    // The other state: fewer functions under other labels.
    const QByteArray otherItems = itemsFile(2000, "Lampe");
    if (!writeBytes(project + u"bticino.cfg"_s, cfg))
        return false;
    // The list an import brings in holds the other state.
    if (command == u"import-csv" && !(writeBytes(project + u"bticino.items"_s, otherItems) &&
                                      runCli(folder, {u"export-csv"_s, u"Demo"_s, folder + u"liste.csv"_s})))
        return false;
    if (!writeBytes(project + u"bticino.items"_s, itemsFile(3000, "Licht")) ||
        !runCli(folder, {u"regenerate"_s, u"Demo"_s}))
        return false;
    if (command == u"regenerate")
        return writeBytes(project + u"bticino.items"_s, otherItems);
    if (command == u"export-openhab5") {
        // The conf folder holds the export of the project as it was.
        if (!writeBytes(project + u"bticino.items"_s, otherItems) || !QDir().mkpath(folder + u"conf"_s))
            return false;
        return runCli(folder, arguments(command, folder)) &&
               writeBytes(project + u"bticino.items"_s, itemsFile(3000, "Licht"));
    }
    if (command == u"restore") {
        const QString backup = project + u"backups/000001-20261210-134507-before-receive/"_s;
        for (const auto& [gatewayFolder, name] : SharedFiles)
            if (!QFile::copy(project + name, backup + name) &&
                !(QDir().mkpath(backup) && QFile::copy(project + name, backup + name)))
                return false;
        return writeBytes(backup + u"bticino.items"_s, otherItems);
    }
    QMap<QString, QByteArray> gateway = projectFiles(project);
    gateway.insert(u"bticino.items"_s, otherItems);
    gateway.insert(u"uuid"_s, "11111111-2222-4333-8444-555555555555\r\n");
    storeOnGateway(gateway);
    return true;
}

void TestKillNine::oldOrNew_data()
{
    QTest::addColumn<QString>("command");
    for (const char* command : {"regenerate", "restore", "receive", "send", "export-openhab5", "import-csv"})
        QTest::newRow(command) << QString::fromLatin1(command);
}

void TestKillNine::oldOrNew()
{
    QFETCH(QString, command);
    QTemporaryDir base;
    const QString original = base.path() + u"/original/"_s;
    const QString work = base.path() + u"/work/"_s;
    QVERIFY(prepare(original, command));
    const QMap<QString, QByteArray> oldProject = projectFiles(original + u"projects/Demo/"_s);
    const QMap<QString, QByteArray> oldConf = confFiles(original);
    const QMap<QString, QByteArray> oldGateway = gatewayFiles();

    // The state after the command ran to its end, and how long it takes.
    QVERIFY(CopyTree(original, work));
    QElapsedTimer clock;
    clock.start();
    QProcess whole;
    whole.setWorkingDirectory(work);
    whole.start(work + u"varuno-cli"_s, arguments(command, work));
    whole.closeWriteChannel();
    QVERIFY(whole.waitForFinished(60000));
    QVERIFY2(whole.exitCode() == 0, whole.readAllStandardError().constData());
    const qint64 durationUs = clock.nsecsElapsed() / 1000;
    const QMap<QString, QByteArray> newProject = projectFiles(work + u"projects/Demo/"_s);
    const QMap<QString, QByteArray> newGateway = gatewayFiles();
    const QMap<QString, QByteArray> newConf = confFiles(work);
    QVERIFY(newProject != oldProject || newGateway != oldGateway || newConf != oldConf);

    int asBefore = 0;
    int asAfter = 0;
    for (int run = 0; run < runsPerCommand(); ++run) {
        QVERIFY(QDir(work).removeRecursively());
        QVERIFY(CopyTree(original, work));
        storeOnGateway(oldGateway);
        QProcess cut;
        cut.setWorkingDirectory(work);
        cut.start(work + u"varuno-cli"_s, arguments(command, work));
        cut.closeWriteChannel();
        QVERIFY(cut.waitForStarted());
        // Every other kill falls into the command's second half, where it writes: the first half is
        // mostly the start of the process.
        const qint64 from = run % 2 ? durationUs / 2 : 0;
        QThread::usleep(from + QRandomGenerator::global()->bounded(durationUs + 1 - from));
        ::kill(pid_t(cut.processId()), SIGKILL);
        QVERIFY(cut.waitForFinished());

        // The next command on the project repairs what it finds.
        QProcess next;
        next.setWorkingDirectory(work);
        next.start(work + u"varuno-cli"_s, {u"backups"_s, u"Demo"_s});
        QVERIFY(next.waitForFinished(60000));
        QCOMPARE(next.exitCode(), 0);
        // An export's folder is repaired by the next export into it, here one the user cancels.
        if (command == u"export-openhab5") {
            QProcess cancelled;
            cancelled.setWorkingDirectory(work);
            cancelled.start(work + u"varuno-cli"_s, arguments(command, work).mid(0, 3));
            cancelled.closeWriteChannel();
            QVERIFY(cancelled.waitForFinished(60000));
        }

        const QString project = work + u"projects/Demo/"_s;
        const QMap<QString, QByteArray> files = projectFiles(project);
        const QMap<QString, QByteArray> gateway = gatewayFiles();
        QVERIFY2(files == oldProject || files == newProject,
                 qPrintable(u"run %1: a mixed project"_s.arg(run)));
        QVERIFY2(gateway == oldGateway || gateway == newGateway,
                 qPrintable(u"run %1: a mixed store"_s.arg(run)));
        const QMap<QString, QByteArray> conf = confFiles(work);
        QVERIFY2(conf == oldConf || conf == newConf,
                 qPrintable(u"run %1: a mixed conf folder (%2)"_s.arg(run).arg(
                     differences(conf, oldConf, newConf))));
        QCOMPARE(leftovers(project), QStringList());
        QCOMPARE(leftovers(work + u"conf/"_s), QStringList());
        QCOMPARE(incompleteBackups(project), QStringList());
        (files == oldProject && gateway == oldGateway && conf == oldConf) ? ++asBefore : ++asAfter;
    }
    qInfo("%s: %d runs killed, %d found as before, %d changed", qPrintable(command), runsPerCommand(),
          asBefore, asAfter);
}

QTEST_GUILESS_MAIN(TestKillNine)
#include "tst_killnine.moc"
