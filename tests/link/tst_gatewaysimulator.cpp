#include "tst_transferfixture.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int Patience = 10000;

quint16 freeLoopbackPort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

// A project file as the gateway holds it: without the program's restart flag and without the
// line break after the last line.
QByteArray asOnGateway(QByteArray bytes)
{
    if (bytes.startsWith("#reboot="))
        bytes.remove(0, bytes.indexOf('\n') + 1);
    if (bytes.endsWith("\r\n"))
        bytes.chop(2);
    return bytes;
}

} // namespace

class TestGatewaySimulator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void sentFilesAreMirrored();

private:
    QTemporaryDir m_root;
    QProcess m_simulator;
    QByteArray m_log;
    quint16 m_port = 0;
};

void TestGatewaySimulator::initTestCase()
{
    for (const QString& program : {QStringLiteral("python3"), QStringLiteral("redis-server")})
        QVERIFY2(!QStandardPaths::findExecutable(program).isEmpty(),
                 qPrintable(program + QStringLiteral(" is missing")));
    m_port = freeLoopbackPort();
    QVERIFY(m_port != 0);
    m_simulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_simulator.start(QStringLiteral("python3"),
                      {QStringLiteral(VARUNO_TESTS_DIR "/../tools/gateway-simulator"), m_root.path(),
                       QStringLiteral("--port"), QString::number(m_port), QStringLiteral("--interval"),
                       QStringLiteral("0.1")});
    QVERIFY(m_simulator.waitForStarted(Patience));
    while (!m_log.contains("ready on") && m_simulator.waitForReadyRead(Patience))
        m_log += m_simulator.readAllStandardOutput();
    QVERIFY2(m_log.contains("ready on"), m_log.constData());
}

void TestGatewaySimulator::cleanupTestCase()
{
    m_simulator.terminate();
    QVERIFY(m_simulator.waitForFinished(Patience));
    m_log += m_simulator.readAllStandardOutput();
    QCOMPARE(m_simulator.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_simulator.exitCode(), 0);
    // Its store went with it.
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_port);
    QVERIFY(!socket.waitForConnected(Patience));
}

void TestGatewaySimulator::sentFilesAreMirrored()
{
    TransferProject project;
    QVERIFY(project.writeFiles(true));
    project.openHab.reboot = true;
    RecordingView view;
    TransferSettings settings;
    settings.storePort = m_port;
    settings.busServerPauseMs = 0;

    QVERIFY(GatewayTransfer(project.openHab, project.language, view, settings).RunTransfer());
    QCOMPARE(view.scripted.shown, QStringList());

    for (const auto& [file, key] : gatewayKeys()) {
        const QString mirrored = m_root.path() + QString::fromLatin1(key);
        const QByteArray expected = asOnGateway(readBytes(project.file(file)));
        QTRY_COMPARE_WITH_TIMEOUT(readBytes(mirrored), expected, Patience);
    }
    QTRY_VERIFY_WITH_TIMEOUT(
        (m_log += m_simulator.readAllStandardOutput()).contains("docker restart openhab"), Patience);
    QVERIFY(m_log.contains("command (not executed): #1"));
}

QTEST_GUILESS_MAIN(TestGatewaySimulator)
#include "tst_gatewaysimulator.moc"
