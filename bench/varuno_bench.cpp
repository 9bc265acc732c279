// varuno-bench: how saving, loading and sending a project scale with its number of functions, each
// against the bare cost of the same work:
//
// - SaveItems against writing the same four files with the same durability by plain system calls
//   (QSaveFile's pattern on Linux: an unnamed O_TMPFILE file, fchmod, write, fdatasync, linkat to a
//   temporary name, close, rename over the old file);
// - LoadFiles against reading the same files, decoding them as UTF-8 and splitting the text into a
//   list of lines (QFile::readAll, QString::fromUtf8, one QString per line): a program that works on
//   text cannot do less. For reference the program's own ReadFile of the same files, which does the
//   same work and also accepts a lone CR as a line break, is shown beside it;
// - a send to a loopback redis-server (the bus-server check left out) against redis-cli issuing
//   the same commands one after the other over one connection (its interactive mode fed from a
//   file: each command waits for its reply, as the transfer's do; "redis-cli --pipe" would send
//   them all before reading any reply, which the transfer, by design, never does);
// - the project check (varuno-cli check, and the transfer dialog's check before sending) of a
//   project with very many groups, against a target of one second: every one of its checks has to
//   take time in proportion to the groups and functions;
// - the peak memory of the process so far (ru_maxrss), and the peak memory of one send and one
//   receive beyond what the process held before (the kernel's high-water mark, reset before each),
//   against the bound of three times the largest value plus 100 MiB.
//
// Each time is the best of several runs, the program's runs taking turns with their baseline's so
// that both meet the same load of the machine. Run it from a Release build:
// varuno-bench [--sizes 100,1000,10000] [--large 100] [--check-groups 200000] [--dir FOLDER]

#include "bus/busaddress.h"
#include "link/gatewaytransfer.h"
#include "link/redisclient.h"
#include "link/transfertext.h"
#include "model/functionlist.h"
#include "model/functionvocabulary.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "openhab/projectcheck.h"
#include "workspace/prompts.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <netinet/in.h>
#include <span>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int GroupCount = 100;
constexpr double SaveTarget = 3.0;
constexpr double LoadTarget = 3.0;
constexpr double SendTarget = 1.5;
// Time per function at one size against the size before it; above this the cost grows faster
// than the number of functions (measurement noise stays well below it).
constexpr double GrowthTarget = 1.5;
// A transfer's peak memory stays within this many times its largest value plus the allowance.
constexpr double MemoryFactor = 3.0;
constexpr double MemoryAllowanceMiB = 100.0;
constexpr double CheckTargetMs = 1000;
// The functions beside the many groups of the check's project.
constexpr int CheckFunctions = 1000;

[[noreturn]] void fail(const QString& text)
{
    std::fprintf(stderr, "varuno-bench: %s\n", qPrintable(text));
    std::exit(1);
}

double elapsedMs(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

// The best of runs timings, in milliseconds, of the program's work and of its baseline, run in
// turns.
struct TPair
{
    double program = 0;
    double baseline = 0;
};
// tidy, when given, runs untimed after each turn.
TPair bestOf(int runs, const std::function<void()>& program, const std::function<void()>& baseline,
             const std::function<void()>& tidy = {})
{
    TPair best;
    for (int i = 0; i < runs; ++i) {
        const double p = elapsedMs(program);
        const double b = elapsedMs(baseline);
        if (tidy)
            tidy();
        best.program = i == 0 ? p : std::min(best.program, p);
        best.baseline = i == 0 ? b : std::min(best.baseline, b);
    }
    return best;
}

// One line of /proc/self/status ("VmRSS", "VmHWM") in MiB.
double statusMiB(const char* field)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        fail(u"cannot read /proc/self/status"_s);
    const QByteArray key = QByteArray(field).append(':');
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(field) + 1).trimmed().split(' ').constFirst().toDouble() / 1024.0;
    }
    fail(u"no %1 in /proc/self/status"_s.arg(QLatin1String(field)));
}

// How much memory work takes beyond what the process holds before it: the high-water mark of
// the resident set, reset first, less the resident set at the start.
double peakOfMiB(const std::function<void()>& work)
{
    QFile clear(u"/proc/self/clear_refs"_s);
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        fail(u"cannot reset the peak memory through /proc/self/clear_refs"_s);
    clear.close();
    const double before = statusMiB("VmRSS");
    work();
    return statusMiB("VmHWM") - before;
}

double peakMemoryMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// A project as an installer builds one: 100 groups; 2 % individual scenes (one of them the stop-all
// scene), the rest lights, dimmers, blinds (half of them voice controlled), CEN scenes and
// scenarios, each in one or two groups.
QList<FunctionEntry> generateProject(int count, OpenHabGenerator& openHab)
{
    openHab.slGroups.clear();
    for (int g = 1; g <= GroupCount; ++g)
        openHab.slGroups << u"Raum%1"_s.arg(g, 3, 10, QLatin1Char('0'));
    const int sceneEvery = 50;
    QList<FunctionEntry> rows;
    rows.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString& group = openHab.slGroups.at(i % GroupCount);
        const QString& other = openHab.slGroups.at((i * 7 + 3) % GroupCount);
        const QString groups = i % 3 == 0 ? group + u", "_s + other : group;
        const QString address =
            u"%1.%2"_s.arg(i / 16 % 10 + 1, 2, 10, QLatin1Char('0')).arg(i % 16, 2, 10, QLatin1Char('0'));
        const QString label = u"Funktion %1 Küche"_s.arg(i + 1);
        const int bus = i % 10 == 9 ? 1 + i % 9 : 0;
        int kind = FunctionEntry::Switch;
        FunctionEntry::Voice voice = FunctionEntry::Voice::None;
        QString key;
        QString sceneGroup;
        if (i % sceneEvery == sceneEvery - 1) {
            kind = FunctionEntry::GroupScene;
            sceneGroup = i == sceneEvery - 1 ? Vocabulary::StopAllBlinds.toString() : group;
        } else {
            static const int kinds[] = {0, 0, 0, 0, 1, 1, 2, 2, 2, 3, 4, 0, 1, 2, 0, 0, 0, 2, 1, 0};
            kind = kinds[i % std::size(kinds)];
            if (kind == FunctionEntry::Automation && i % 2 == 0)
                voice = i % 4 == 0 ? FunctionEntry::Voice::Alexa : FunctionEntry::Voice::Home;
            else if (i % 3 == 1)
                voice = FunctionEntry::Voice::On;
            if (kind == FunctionEntry::CenScene || kind == FunctionEntry::ScenarioModule)
                key = QString::number(1 + i % 16);
        }
        static const QString prefixes[] = {u"SWITCH_"_s, u"DIMMER_"_s, u"AUTO_"_s,
                                           u"CEN_"_s,    u"SCENE_"_s,  u"GROUP_"_s};
        const bool scene = kind == FunctionEntry::GroupScene;
        rows << FunctionEntry{.label = label,
                              .address = scene ? QString() : address,
                              .groups = scene ? sceneGroup : groups,
                              .alias = prefixes[kind] + QString::number(i + 1),
                              .key = key,
                              .kind = kind,
                              .bus = scene ? 0 : bus,
                              .cen = i % 3,
                              .voice = voice}
                    .normalized();
    }
    return rows;
}

// Writes bytes to fileName exactly as QSaveFile does on Linux, with plain system calls.
void rawSave(const QByteArray& fileName, const QByteArray& bytes)
{
    const qsizetype slash = fileName.lastIndexOf('/');
    const QByteArray folder = fileName.left(slash);
    const int fd = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0)
        fail(u"O_TMPFILE in %1 failed"_s.arg(QString::fromLocal8Bit(folder)));
    ::fchmod(fd, 0644);
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written <= 0)
            fail(u"write failed"_s);
        done += written;
    }
    ::fdatasync(fd);
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    const QByteArray temporary = fileName + ".tmpXYZ";
    // The first link fails because the file exists, as QSaveFile's first attempt does.
    if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, fileName.constData(), AT_SYMLINK_FOLLOW) != 0 &&
        ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, temporary.constData(), AT_SYMLINK_FOLLOW) == 0) {
        ::close(fd);
        ::rename(temporary.constData(), fileName.constData());
        return;
    }
    ::close(fd);
}

// Reads each file whole, decodes it as UTF-8 and splits the text into a list of lines: the least
// that any reader of these text files has to do before it can look at a line. Returns the line
// count.
qsizetype rawLoad(const QStringList& fileNames)
{
    qsizetype lines = 0;
    for (const QString& fileName : fileNames) {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            fail(u"cannot read "_s + fileName);
        const QString text = QString::fromUtf8(file.readAll());
        QStringList split;
        for (qsizetype start = 0; start < text.size();) {
            qsizetype end = text.indexOf(u'\n', start);
            if (end < 0)
                end = text.size();
            const qsizetype length = end - start - (end > start && text.at(end - 1) == u'\r' ? 1 : 0);
            split << text.sliced(start, length);
            start = end + 1;
        }
        lines += split.size();
    }
    return lines;
}

// A redis-server of the bench's own on a free loopback port, nothing saved to disk.
class RedisServer
{
public:
    explicit RedisServer(const QString& folder)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), length);
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        ::close(fd);
        m_port = ntohs(address.sin_port);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.setStandardOutputFile(folder + u"/redis.log"_s);
        m_process.start(u"redis-server"_s,
                        {u"--port"_s, QString::number(m_port), u"--bind"_s, u"127.0.0.1"_s, u"--save"_s,
                         QString(), u"--appendonly"_s, u"no"_s, u"--dir"_s, folder});
        if (!m_process.waitForStarted())
            fail(u"redis-server does not start (Debian package redis-server)"_s);
        for (int attempt = 0; attempt < 100; ++attempt) {
            try {
                RedisClient probe(u"127.0.0.1"_s, m_port);
                probe.Connect();
                probe.Disconnect();
                return;
            } catch (const RedisError&) {
                QThread::msleep(50);
            }
        }
        fail(u"redis-server does not answer on port %1"_s.arg(m_port));
    }
    ~RedisServer()
    {
        m_process.terminate();
        m_process.waitForFinished();
    }
    quint16 port() const { return m_port; }

private:
    QProcess m_process;
    quint16 m_port = 0;
};

// The transfer's window on the bench: it shows nothing and goes on at every question.
class SilentView : public TransferView, public Prompts
{
public:
    explicit SilentView(TransferMode mode = TransferMode::Send) : m_mode(mode) {}
    QString address() const override { return u"127.0.0.1"_s; }
    TransferMode mode() const override { return m_mode; }
    void setProgressText(const QString&) override {}
    void setProgress(int, int) override {}
    void advanceProgress() override {}
    void setServerTime(const QString&, const QString&) override {}
    void showRebootNote() override {}
    void showProblem(const Problem& problem) override
    {
        static const Language german{QString()};
        error(problem.text(german));
    }
    Prompts& prompts() override { return *this; }

    void error(const QString& text) override { fail(u"transfer failed: "_s + text); }
    void information(const QString&) override {}
    bool confirm(const QString&, Default) override { return true; }
    bool errorYesNo(const QString&) override { return true; }
    bool textPrompt(const QString&, const QString&, QString&) override { return false; }
    bool choose(const QString&, const QString&, const QStringList&, int&) override { return false; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString folderName(const QString&, const QString&) override { return {}; }

private:
    TransferMode m_mode;
};

// The user cancels a moment after the rules file is asked for, while its value arrives or is
// converted; measures how long the transfer takes to stop after that.
class CancellingView : public SilentView
{
public:
    static constexpr qint64 PressAfterMs = 200;

    using SilentView::SilentView;
    void setProgressText(const QString& text) override
    {
        if (text == OpenHabGenerator::sRulesFile)
            m_asked.start();
    }
    bool cancelRequested() override { return m_asked.isValid() && m_asked.elapsed() >= PressAfterMs; }
    qint64 sincePressedMs() const { return m_asked.elapsed() - PressAfterMs; }

private:
    QElapsedTimer m_asked;
};

// One argument in the quoting of redis-cli's interactive mode.
QByteArray cliArgument(const QByteArray& value)
{
    QByteArray quoted = "\"";
    for (const char c : value) {
        const auto byte = uchar(c);
        if (byte >= 0x20 && byte < 0x7f && c != '"' && c != '\\')
            quoted += c;
        else
            quoted += "\\x" + QByteArray::number(byte, 16).rightJustified(2, '0');
    }
    return quoted + '"';
}

// The commands a send issues, as redis-cli reads them: the two GETs, both fields of every file
// hash and the five bus-server fields, with the values the send wrote.
// The files of a send and where the gateway keeps them; the first seven also travel back.
struct File
{
    const QString* name;
    const char* folder;
};
const char* const Services = "/var/lib/docker/volumes/openhab_conf/_data/services/";
const File GatewayFiles[] = {
    {&OpenHabGenerator::sCfgFile, Services},
    {&OpenHabGenerator::sItemsFile, "/var/lib/docker/volumes/openhab_conf/_data/items/"},
    {&OpenHabGenerator::sCloudFile, Services},
    {&OpenHabGenerator::sRulesFile, "/var/lib/docker/volumes/openhab_conf/_data/rules/"},
    {&OpenHabGenerator::sSitemapFile, "/var/lib/docker/volumes/openhab_conf/_data/sitemaps/"},
    {&OpenHabGenerator::sUUIDFile, "/var/lib/docker/volumes/openhab_userdata/_data/"},
    {&OpenHabGenerator::sSecretFile, "/var/lib/docker/volumes/openhab_userdata/_data/openhabcloud/"},
    {&OpenHabGenerator::sHomeKitFile, Services},
    {&OpenHabGenerator::sMQTTFile, Services},
};

QByteArray sendCommands(const OpenHabGenerator& openHab, quint16 port)
{
    const auto& files = GatewayFiles;
    RedisClient store(u"127.0.0.1"_s, port);
    store.Connect();
    QByteArray commands = "GET rpi-firmware\nGET rpi-timestamp\n";
    // The send keeps what the gateway holds in a backup first.
    for (const File& file : files)
        commands += "HGET " + cliArgument(file.folder + (*file.name).toUtf8()) + " text\n";
    for (const File& file : files) {
        const QByteArray key = file.folder + (*file.name).toUtf8();
        QByteArray text;
        QByteArray modify;
        store.HGET(key, "text", text);
        store.HGET(key, "modify", modify);
        if (text != ReadTransferText(openHab.sProjPath + *file.name))
            fail(u"the store does not hold what was sent of "_s + *file.name);
        commands += "HSET " + cliArgument(key) + " text " + cliArgument(text) + '\n';
        commands += "HSET " + cliArgument(key) + " modify " + cliArgument(modify) + '\n';
    }
    for (const char* field : {"ip", "port", "pw", "hmac", "set"}) {
        QByteArray value;
        store.HGET("bt", field, value);
        commands += "HSET bt " + QByteArray(field) + ' ' + cliArgument(value) + '\n';
    }
    store.Disconnect();
    return commands;
}

struct Measurement
{
    int functions = 0;
    double save = 0;
    double rawSave = 0;
    double load = 0;
    double rawLoad = 0;
    double readFile = 0;
    double send = 0;
    double redisCli = 0;
    double peakMiB = 0;
    double largestValueMiB = 0;
    double sendPeakMiB = 0;
    double receivePeakMiB = 0;
};

class Bench
{
public:
    explicit Bench(const QString& folder)
        : m_folder(folder), m_language(configDir()), m_openHab(m_language, configDir()), m_redis(folder)
    {
        m_language.LoadLanguage(u"Deutsch"_s);
        m_openHab.sProj = u"Bench"_s;
        m_openHab.sProjPath = m_folder + u"/projects/Bench/"_s;
        m_openHab.serverIP = u"127.0.0.1"_s;
        m_openHab.serverPort = u"20000"_s;
        m_openHab.serverPass = u"12345"_s;
        m_openHab.serverRescan = u"43200"_s;
        QDir().mkpath(m_openHab.sProjPath);
        if (!m_openHab.GenerateCloudkey().isEmpty() || !m_openHab.SaveCfg().isEmpty() ||
            !QFile::copy(configDir() + m_openHab.sMQTTFile, m_openHab.sProjPath + m_openHab.sMQTTFile))
            fail(u"cannot write the project in "_s + m_openHab.sProjPath);
    }

    Measurement Measure(int count);
    // The peak memory of a receive of one value of mib MiB of line feeds (it becomes a file twice as
    // long), and of a send of a rules file of mib MiB, each against its bound.
    void MeasureLargeValue(int mib);
    // The check of a project with groups groups (in use by its functions) and CheckFunctions
    // functions, in milliseconds; the project is saved first, as the check reads its items file.
    double MeasureCheck(int groups);

private:
    // Receives the gateway's files into the empty project folder below the bench's folder.
    void receiveInto(const QString& folder, const TransferSettings& settings)
    {
        const QString projPath = m_openHab.sProjPath;
        m_openHab.sProjPath = m_folder + folder;
        QDir().mkpath(m_openHab.sProjPath);
        SilentView view(TransferMode::Receive);
        const bool received = GatewayTransfer(m_openHab, m_language, view, settings).RunTransfer();
        m_openHab.sProjPath = projPath;
        if (!received)
            fail(u"the receive failed"_s);
    }

    QString configDir() const { return m_folder + u"/config/"_s; }
    QByteArray file(const QString& name) const { return QFile::encodeName(m_openHab.sProjPath + name); }

    QString m_folder;
    Language m_language;
    OpenHabGenerator m_openHab;
    RedisServer m_redis;
};

Measurement Bench::Measure(int count)
{
    Measurement m;
    m.functions = count;
    const int runs = count >= 10000 ? 15 : count >= 1000 ? 25 : 50;
    const QList<FunctionEntry> rows = generateProject(count, m_openHab);

    // The raw writes repeat the bytes of the first save.
    if (!m_openHab.SaveItems(rows).isEmpty())
        fail(u"SaveItems failed"_s);
    QList<std::pair<QByteArray, QByteArray>> saved;
    for (const QString& name :
         {m_openHab.sItemsFile, m_openHab.sCloudFile, m_openHab.sRulesFile, m_openHab.sSitemapFile}) {
        QFile written(m_openHab.sProjPath + name);
        if (!written.open(QIODevice::ReadOnly))
            fail(u"cannot read "_s + written.fileName());
        saved << std::pair{file(name), written.readAll()};
    }
    const TPair save = bestOf(
        runs, [&] { m_openHab.SaveItems(rows); },
        [&] {
            for (const auto& [name, bytes] : saved)
                rawSave(name, bytes);
        });
    m.save = save.program;
    m.rawSave = save.baseline;

    FunctionList loaded;
    const QStringList read = {
        m_openHab.sProjPath + m_openHab.sCfgFile, m_openHab.sProjPath + m_openHab.sUUIDFile,
        m_openHab.sProjPath + m_openHab.sSecretFile, m_openHab.sProjPath + m_openHab.sItemsFile};
    const TPair load = bestOf(
        runs, [&] { m_openHab.LoadFiles(loaded); }, [&] { rawLoad(read); });
    if (loaded.count() != count)
        fail(u"LoadFiles read %1 of %2 functions"_s.arg(loaded.count()).arg(count));
    m.load = load.program;
    m.rawLoad = load.baseline;
    m.readFile = bestOf(
                     runs,
                     [&] {
                         for (const QString& name : read)
                             OpenHabGenerator::ReadFile(name, false);
                     },
                     [] {})
                     .program;

    {
        RedisClient store(u"127.0.0.1"_s, m_redis.port());
        store.Connect();
        store.SET("rpi-firmware", "2.0");
        store.SET("rpi-timestamp", QByteArray::number(QDateTime::currentSecsSinceEpoch()));
        store.Disconnect();
    }
    SilentView view;
    TransferSettings settings;
    settings.storePort = m_redis.port();
    settings.busServerWaitMs = 0;
    settings.busServerPauseMs = 0;
    GatewayTransfer transfer(m_openHab, m_language, view, settings);
    if (!transfer.RunTransfer())
        fail(u"the send failed"_s);
    // Measured on the second send, which also reads the first one's files into its backup.
    m.sendPeakMiB = peakOfMiB([&] {
        if (!transfer.RunTransfer())
            fail(u"the send failed"_s);
    });
    m.receivePeakMiB = peakOfMiB([&] { receiveInto(u"/received/"_s, settings); });
    QDir(m_folder + u"/received/"_s).removeRecursively();
    QDir(m_openHab.sProjPath + u"backups"_s).removeRecursively();
    qint64 largest = 0;
    for (const QString& name : QDir(m_openHab.sProjPath).entryList(QDir::Files))
        largest = std::max(largest, QFileInfo(m_openHab.sProjPath + name).size());
    m.largestValueMiB = double(largest) / (1024.0 * 1024.0);
    const QString commandFile = m_folder + u"/commands.txt"_s;
    QFile commands(commandFile);
    if (!commands.open(QIODevice::WriteOnly) || commands.write(sendCommands(m_openHab, m_redis.port())) < 0)
        fail(u"cannot write "_s + commandFile);
    commands.close();
    const TPair send = bestOf(
        runs,
        [&] {
            if (!transfer.RunTransfer())
                fail(u"the send failed"_s);
        },
        [&] {
            QProcess cli;
            cli.setStandardInputFile(commandFile);
            cli.setStandardOutputFile(QProcess::nullDevice());
            cli.start(u"redis-cli"_s, {u"-p"_s, QString::number(m_redis.port())});
            if (!cli.waitForFinished(-1) || cli.exitCode() != 0)
                fail(u"redis-cli failed"_s);
        },
        // Every send keeps a backup of the gateway's files; only the last ones are of interest.
        [&] { QDir(m_openHab.sProjPath + u"backups"_s).removeRecursively(); });
    m.send = send.program;
    m.redisCli = send.baseline;
    m.peakMiB = peakMemoryMiB();
    return m;
}

double Bench::MeasureCheck(int groups)
{
    QList<FunctionEntry> rows = generateProject(CheckFunctions, m_openHab);
    m_openHab.slGroups.reserve(m_openHab.slGroups.size() + groups);
    for (int g = 1; g <= groups; ++g)
        m_openHab.slGroups << u"Gruppe%1"_s.arg(g);
    // Every function in some of the many groups, so that the membership checks meet them all.
    for (int i = 0; i < rows.size(); ++i) {
        if (rows.at(i).kind != FunctionEntry::GroupScene)
            rows[i].groups += u", Gruppe%1"_s.arg(1 + i * (groups / CheckFunctions));
    }
    if (!m_openHab.SaveItems(rows).isEmpty())
        fail(u"SaveItems failed"_s);
    QStringList problems;
    const double ms = elapsedMs([&] {
        ProjectCheck check(m_openHab, rows);
        if (!check.Run(problems))
            fail(u"the check failed: "_s + check.errorString());
    });
    std::fprintf(stderr, "the check found %lld problems\n", static_cast<long long>(problems.size()));
    return ms;
}

QString verdict(bool met)
{
    return met ? u"yes"_s : u"NO"_s;
}

// A gateway with all seven files, the rules file holding rules and the others a line each.
void fillGateway(quint16 port, const QByteArray& rules)
{
    RedisClient store(u"127.0.0.1"_s, port);
    store.Connect();
    store.SET("rpi-timestamp", QByteArray::number(QDateTime::currentSecsSinceEpoch()));
    for (const File& file : std::span(GatewayFiles).first(7)) {
        const QByteArray key = file.folder + (*file.name).toUtf8();
        store.HSET(key, "text", file.name == &OpenHabGenerator::sRulesFile ? rules : QByteArray("x"));
    }
    store.Disconnect();
}

// mib MiB of bytes 80 to FF: no line break and no valid UTF-8, so every byte becomes a
// replacement character of three bytes.
QByteArray invalidUtf8(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 at = 0; at < size; ++at)
        bytes[at] = char(0x80 + at % 0x80);
    return bytes;
}

void Bench::MeasureLargeValue(int mib)
{
    const qint64 size = qint64(mib) * 1024 * 1024;
    TransferSettings settings;
    settings.storePort = m_redis.port();
    settings.busServerWaitMs = 0;
    settings.busServerPauseMs = 0;
    const auto receive = [&](QByteArray rules) {
        fillGateway(m_redis.port(), rules);
        rules = QByteArray();
        const double peak = peakOfMiB([&] { receiveInto(u"/received-large/"_s, settings); });
        QDir(m_folder + u"/received-large/"_s).removeRecursively();
        return peak;
    };
    const double lineFeeds = receive(QByteArray(size, '\n'));
    const double invalid = receive(invalidUtf8(size));
    fillGateway(m_redis.port(), invalidUtf8(size));
    CancellingView cancelling(TransferMode::Receive);
    GatewayTransfer(m_openHab, m_language, cancelling, settings).RunTransfer();
    const qint64 cancelMs = cancelling.sincePressedMs();

    // The send keeps the gateway's invalid rules in its backup before it sends its own.
    QByteArray rules;
    rules.reserve(size);
    while (rules.size() + 3 <= size)
        rules += "x\r\n";
    QFile file(m_openHab.sProjPath + m_openHab.sRulesFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(rules) != rules.size())
        fail(u"cannot write "_s + file.fileName());
    file.close();
    rules = QByteArray();
    fillGateway(m_redis.port(), invalidUtf8(size));
    SilentView view;
    const double send = peakOfMiB([&] {
        if (!GatewayTransfer(m_openHab, m_language, view, settings).RunTransfer())
            fail(u"the send failed"_s);
    });
    QDir(m_openHab.sProjPath + u"backups"_s).removeRecursively();

    const double bound = MemoryFactor * mib + MemoryAllowanceMiB;
    std::printf("\nOne value of %d MiB, peak memory (bound %.0f MiB) and its ratio to the value:\n", mib,
                bound);
    const std::pair<const char*, double> cases[] = {
        {"receive of line feeds", lineFeeds},
        {"receive of invalid UTF-8", invalid},
        {"send of a rules file, backup of invalid UTF-8", send},
    };
    std::printf("  cancel while receiving the invalid value: stopped after %lld ms, at most 1000 ms: %s\n",
                qlonglong(cancelMs), qPrintable(verdict(cancelMs <= 1000)));
    for (const auto& [name, peak] : cases)
        std::printf("  %-46s %8.1f MiB  ratio %.2f: %s\n", name, peak, peak / mib,
                    qPrintable(verdict(peak <= bound)));
}

void report(const QList<Measurement>& results)
{
    std::printf("%9s | %9s %9s %6s | %9s %9s %6s %11s | %9s %9s %6s | %8s\n", "functions", "save ms",
                "raw ms", "ratio", "load ms", "raw ms", "ratio", "ReadFile ms", "send ms", "cli ms", "ratio",
                "peak MiB");
    bool saveMet = true;
    bool loadMet = true;
    bool sendMet = true;
    for (const Measurement& m : results) {
        const double save = m.save / m.rawSave;
        const double load = m.load / m.rawLoad;
        const double send = m.send / m.redisCli;
        saveMet = saveMet && save <= SaveTarget;
        loadMet = loadMet && load <= LoadTarget;
        sendMet = sendMet && send <= SendTarget;
        std::printf("%9d | %9.2f %9.2f %6.2f | %9.2f %9.2f %6.2f %11.2f | %9.2f %9.2f %6.2f | %8.1f\n",
                    m.functions, m.save, m.rawSave, save, m.load, m.rawLoad, load, m.readFile, m.send,
                    m.redisCli, send, m.peakMiB);
    }

    std::printf("\nPeak memory of a transfer beyond what the process held before it, against its bound of\n"
                "%.0fx the largest value plus %.0f MiB:\n",
                MemoryFactor, MemoryAllowanceMiB);
    std::printf("%9s | %11s | %9s %11s | %9s\n", "functions", "largest MiB", "send MiB", "receive MiB",
                "bound MiB");
    bool memoryMet = true;
    for (const Measurement& m : results) {
        const double bound = MemoryFactor * m.largestValueMiB + MemoryAllowanceMiB;
        memoryMet = memoryMet && m.sendPeakMiB <= bound && m.receivePeakMiB <= bound;
        std::printf("%9d | %11.1f | %9.1f %11.1f | %9.1f\n", m.functions, m.largestValueMiB, m.sendPeakMiB,
                    m.receivePeakMiB, bound);
    }

    std::printf("\nGrowth of the time per function from one size to the next (1.0 = linear):\n");
    bool linear = true;
    for (qsizetype i = 1; i < results.size(); ++i) {
        const Measurement& a = results.at(i - 1);
        const Measurement& b = results.at(i);
        const auto growth = [&](double ta, double tb) { return (tb / b.functions) / (ta / a.functions); };
        const double save = growth(a.save, b.save);
        const double load = growth(a.load, b.load);
        const double send = growth(a.send, b.send);
        linear = linear && save <= GrowthTarget && load <= GrowthTarget && send <= GrowthTarget;
        std::printf("  %d -> %d: save %.2f, load %.2f, send %.2f\n", a.functions, b.functions, save, load,
                    send);
    }

    std::printf("\nTargets:\n");
    std::printf("  save at most %.1fx its raw I/O:         %s\n", SaveTarget, qPrintable(verdict(saveMet)));
    std::printf("  load at most %.1fx its raw I/O:         %s\n", LoadTarget, qPrintable(verdict(loadMet)));
    std::printf("  send at most %.1fx redis-cli:           %s\n", SendTarget, qPrintable(verdict(sendMet)));
    std::printf("  cost per function grows at most %.1fx: %s\n", GrowthTarget, qPrintable(verdict(linear)));
    std::printf("  transfer memory within its bound:      %s\n", qPrintable(verdict(memoryMet)));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Measures saving, loading and sending generated projects."_s);
    parser.addHelpOption();
    const QCommandLineOption sizesOption(u"sizes"_s, u"Numbers of functions, comma-separated."_s, u"LIST"_s,
                                         u"100,1000,10000"_s);
    const QCommandLineOption dirOption(u"dir"_s, u"Folder for the temporary program folder."_s, u"FOLDER"_s,
                                       QDir::currentPath());
    const QCommandLineOption largeOption(
        u"large"_s, u"Size in MiB of the single large value sent and received; 0 leaves it out."_s, u"MIB"_s,
        u"100"_s);
    const QCommandLineOption checkOption(u"check-groups"_s, u"Groups of the project check's project."_s,
                                         u"COUNT"_s, u"200000"_s);
    parser.addOption(largeOption);
    parser.addOption(checkOption);
    parser.addOption(sizesOption);
    parser.addOption(dirOption);
    parser.process(app);

    QList<int> sizes;
    for (const QString& size : parser.value(sizesOption).split(u',')) {
        bool ok = false;
        sizes << size.toInt(&ok);
        if (!ok || sizes.constLast() <= 0)
            fail(u"not a size: "_s + size);
    }
    if (QStandardPaths::findExecutable(u"redis-cli"_s).isEmpty())
        fail(u"redis-cli is not installed (Debian package redis-server)"_s);

    QTemporaryDir folder(parser.value(dirOption) + u"/varuno-bench-XXXXXX"_s);
    if (!folder.isValid())
        fail(u"no temporary folder in "_s + parser.value(dirOption));
    QDir().mkpath(folder.path() + u"/config"_s);
    for (const QString& name : QDir(QStringLiteral(VARUNO_DATA_DIR)).entryList(QDir::Files))
        QFile::copy(QStringLiteral(VARUNO_DATA_DIR "/") + name, folder.path() + u"/config/"_s + name);

    QList<Measurement> results;
    {
        Bench bench(folder.path());
        for (int size : sizes) {
            std::fprintf(stderr, "measuring %d functions...\n", size);
            results << bench.Measure(size);
        }
        report(results);
        const int large = parser.value(largeOption).toInt();
        if (large > 0) {
            std::fprintf(stderr, "measuring a value of %d MiB...\n", large);
            bench.MeasureLargeValue(large);
        }
        bool ok = false;
        const int checkGroups = parser.value(checkOption).toInt(&ok);
        if (!ok || checkGroups <= 0)
            fail(u"not a number of groups: "_s + parser.value(checkOption));
        std::fprintf(stderr, "measuring the check of %d groups...\n", checkGroups);
        const double checkMs = bench.MeasureCheck(checkGroups);
        std::printf("  check of %d groups and %d functions: %.0f ms, at most %.0f ms: %s\n", checkGroups,
                    CheckFunctions, checkMs, CheckTargetMs, qPrintable(verdict(checkMs <= CheckTargetMs)));
    }
    return 0;
}
