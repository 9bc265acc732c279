#include "link/busservercheck.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QTextStream>

#include <unistd.h>

// Checks that must not answer, or must answer with an error report, run in network namespaces of
// their own: "probe" with loopback only, linked by a veth pair to "gateway", which forwards and
// reports the network Unreachable as unreachable. The check runs there in a child process
// (this binary started with --probe), so nothing is ever sent outside loopback or those
// namespaces.
using namespace Qt::StringLiterals;

namespace {

const QString Unreachable = QStringLiteral("10.213.1.1");

bool run(const QStringList& command, QString* failure = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(command.first(), command.mid(1));
    const bool ok = process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
                    process.exitCode() == 0;
    if (!ok && failure)
        *failure =
            command.join(QLatin1Char(' ')) + QStringLiteral(": ") + QString::fromLocal8Bit(process.readAll());
    return ok;
}

class ProbeNamespaces
{
public:
    ProbeNamespaces()
        : m_probe(QStringLiteral("varuno-test-%1").arg(::getpid())),
          m_gateway(QStringLiteral("varuno-test-%1-gw").arg(::getpid()))
    {
    }
    ~ProbeNamespaces() { remove(); }

    // Empty on success, else why the namespaces could not be made.
    QString create()
    {
        if (::geteuid() != 0)
            return QStringLiteral("making network namespaces needs root");
        const QString link = QStringLiteral("vb%1").arg(::getpid());
        const QList<QStringList> steps = {
            {u"ip"_s, u"netns"_s, u"add"_s, m_probe},
            {u"ip"_s, u"netns"_s, u"add"_s, m_gateway},
            {u"ip"_s, u"link"_s, u"add"_s, link + u'p', u"netns"_s, m_probe, u"type"_s, u"veth"_s, u"peer"_s,
             u"name"_s, link + u'g', u"netns"_s, m_gateway},
            inProbe({u"ip"_s, u"link"_s, u"set"_s, u"lo"_s, u"up"_s}),
            inProbe({u"ip"_s, u"addr"_s, u"add"_s, u"10.213.0.1/30"_s, u"dev"_s, link + u'p'}),
            inProbe({u"ip"_s, u"link"_s, u"set"_s, link + u'p', u"up"_s}),
            inProbe({u"ip"_s, u"route"_s, u"add"_s, u"10.213.1.0/24"_s, u"via"_s, u"10.213.0.2"_s}),
            inGateway({u"ip"_s, u"addr"_s, u"add"_s, u"10.213.0.2/30"_s, u"dev"_s, link + u'g'}),
            inGateway({u"ip"_s, u"link"_s, u"set"_s, link + u'g', u"up"_s}),
            inGateway({u"sysctl"_s, u"-w"_s, u"net.ipv4.ip_forward=1"_s}),
            inGateway({u"ip"_s, u"route"_s, u"add"_s, u"unreachable"_s, u"10.213.1.0/24"_s}),
        };
        QString failure;
        for (const QStringList& step : steps) {
            if (!run(step, &failure))
                return QStringLiteral("network namespaces cannot be made here (") + failure + u')';
            m_made = true;
        }
        return {};
    }

    void remove()
    {
        if (!m_made)
            return;
        run({u"ip"_s, u"netns"_s, u"delete"_s, m_probe});
        run({u"ip"_s, u"netns"_s, u"delete"_s, m_gateway});
        m_made = false;
    }

    // Whether the probe namespace's loopback answers echo requests, and whether root may use
    // unprivileged ICMP datagram sockets there (otherwise the check falls back to a raw socket).
    bool configure(bool echoIgnored, bool datagramAllowed)
    {
        return run(inProbe({u"sysctl"_s, u"-w"_s,
                            u"net.ipv4.icmp_echo_ignore_all="_s + (echoIgnored ? u'1' : u'0')})) &&
               run(inProbe({u"sysctl"_s, u"-w"_s,
                            datagramAllowed ? u"net.ipv4.ping_group_range=0 0"_s
                                            : u"net.ipv4.ping_group_range=1 0"_s}));
    }

    QStringList inProbe(const QStringList& command) const { return inNamespace(m_probe, command); }

private:
    QStringList inGateway(const QStringList& command) const { return inNamespace(m_gateway, command); }
    static QStringList inNamespace(const QString& name, const QStringList& command)
    {
        return QStringList{u"ip"_s, u"netns"_s, u"exec"_s, name} + command;
    }

    QString m_probe;
    QString m_gateway;
    bool m_made = false;
};

// The child's side of a probe: prints the result and the time the check took.
int probe(const QString& host, int waitMs, int pauseMs)
{
    QElapsedTimer clock;
    clock.start();
    const bool answered = CheckBusServer(host, waitMs, pauseMs);
    const qint64 elapsed = clock.elapsed();
    QTextStream(stdout) << (answered ? "true " : "false ") << elapsed << Qt::endl;
    return 0;
}

} // namespace

class TestBusServerCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void loopbackAnswersThenPauses();
    void emptyHostFailsAtOnce();
    void inNamespace_data();
    void inNamespace();

private:
    ProbeNamespaces m_namespaces;
    QString m_noNamespaces;
};

void TestBusServerCheck::initTestCase()
{
    m_noNamespaces = m_namespaces.create();
}

void TestBusServerCheck::cleanupTestCase()
{
    m_namespaces.remove();
}

void TestBusServerCheck::loopbackAnswersThenPauses()
{
    QElapsedTimer clock;
    clock.start();
    QVERIFY(CheckBusServer(QStringLiteral("127.0.0.1")));
    QVERIFY2(clock.elapsed() >= 2000, "the pause follows an answer");
    QVERIFY2(clock.elapsed() < 5000, "loopback answers at once");
}

void TestBusServerCheck::emptyHostFailsAtOnce()
{
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!CheckBusServer(QString(), 1000, 1000));
    QVERIFY2(clock.elapsed() < 1000, "a failure skips the pause");
}

void TestBusServerCheck::inNamespace_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("echoIgnored");
    QTest::addColumn<bool>("datagram");
    QTest::addColumn<int>("waitMs");
    QTest::addColumn<int>("pauseMs");
    QTest::addColumn<bool>("expected");
    QTest::addColumn<int>("minElapsed");
    QTest::addColumn<int>("maxElapsed");

    const QString loopback = QStringLiteral("127.0.0.1");
    for (const bool datagram : {false, true}) {
        const char* socket = datagram ? "datagram socket" : "raw socket";
        QTest::addRow("echo reply, %s", socket)
            << loopback << false << datagram << 3000 << 200 << true << 200 << 3000;
        QTest::addRow("host name, %s", socket)
            << QStringLiteral("localhost") << false << datagram << 3000 << 200 << true << 200 << 3000;
        QTest::addRow("no answer, %s", socket)
            << loopback << true << datagram << 600 << 200 << false << 800 << 2500;
        QTest::addRow("error report, %s", socket)
            << Unreachable << true << datagram << 3000 << 200 << true << 200 << 3000;
    }
    // The namespace has no route to a name server: the lookup fails at once.
    QTest::newRow("unknown host name")
        << QStringLiteral("no-such-host.invalid") << false << false << 3000 << 1000 << false << 0 << 1000;
}

void TestBusServerCheck::inNamespace()
{
    if (!m_noNamespaces.isEmpty())
        QSKIP(qPrintable(m_noNamespaces));
    QFETCH(QString, host);
    QFETCH(bool, echoIgnored);
    QFETCH(bool, datagram);
    QFETCH(int, waitMs);
    QFETCH(int, pauseMs);
    QFETCH(bool, expected);
    QFETCH(int, minElapsed);
    QFETCH(int, maxElapsed);

    QVERIFY(m_namespaces.configure(echoIgnored, datagram));
    const QStringList command =
        m_namespaces.inProbe({QCoreApplication::applicationFilePath(), u"--probe"_s, host,
                              QString::number(waitMs), QString::number(pauseMs)});
    QProcess child;
    child.start(command.first(), command.mid(1));
    QVERIFY(child.waitForFinished(20000));
    QCOMPARE(child.exitCode(), 0);
    const QStringList result = QString::fromLatin1(child.readAllStandardOutput()).simplified().split(u' ');
    QCOMPARE(result.size(), 2);
    QCOMPARE(result[0], expected ? u"true"_s : u"false"_s);
    const int elapsed = result[1].toInt();
    QVERIFY2(elapsed >= minElapsed && elapsed < maxElapsed, qPrintable(result[1] + u" ms"_s));
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 5 && arguments[1] == u"--probe")
        return probe(arguments[2], arguments[3].toInt(), arguments[4].toInt());
    TestBusServerCheck test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_busservercheck.moc"
