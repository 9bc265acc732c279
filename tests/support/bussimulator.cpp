#include "bussimulator.h"

#include <QRegularExpression>

namespace {

constexpr int Patience = 10000;

} // namespace

QString busSimulatorPath()
{
    return QStringLiteral(VARUNO_TOOLS_DIR "/bus-simulator");
}

BusSimulator::~BusSimulator()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(Patience);
    }
}

bool BusSimulator::start(const QStringList& serveArguments)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral("python3"),
                    QStringList{busSimulatorPath(), QStringLiteral("serve"), QStringLiteral("--port"),
                                QStringLiteral("0"), QStringLiteral("--exit-with-stdin")}
                        << serveArguments);
    if (!m_process.waitForStarted(Patience)) {
        m_error = QStringLiteral("The bus simulator did not start: ") + m_process.errorString();
        return false;
    }
    while (!m_process.canReadLine() && m_process.waitForReadyRead(Patience)) {
    }
    const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
    static const QRegularExpression ready(QStringLiteral("^ready bus=(\\d+) control=(\\d+)$"));
    const auto match = ready.match(line);
    if (!match.hasMatch()) {
        m_error = QStringLiteral("The bus simulator did not get ready: \"") + line + QLatin1Char('"');
        return false;
    }
    m_port = match.captured(1).toUShort();
    m_controlPort = match.captured(2).toUShort();
    return true;
}

QByteArray BusSimulator::control(const QStringList& words)
{
    QProcess client;
    client.start(QStringLiteral("python3"),
                 QStringList{busSimulatorPath(), words.first(), QStringLiteral("--control"),
                             QString::number(m_controlPort)}
                     << words.mid(1));
    if (!client.waitForFinished(Patience) || client.exitCode() != 0)
        return QByteArrayLiteral("failed");
    return client.readAllStandardOutput();
}

bool BusSimulator::event(const QByteArrayList& frames)
{
    QStringList words{QStringLiteral("event")};
    for (const QByteArray& frame : frames)
        words << QString::fromLatin1(frame);
    return control(words) == "ok\n";
}

QByteArrayList BusSimulator::frames()
{
    QByteArrayList result = control({QStringLiteral("frames")}).split('\n');
    result.removeAll(QByteArray());
    return result;
}

bool BusSimulator::clear()
{
    return control({QStringLiteral("clear")}) == "ok\n";
}

bool BusSimulator::setMode(const QString& mode)
{
    return control({QStringLiteral("mode"), mode}) == "ok\n";
}
