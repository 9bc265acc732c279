#include "httpserver.h"

#include "programfolder.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

HttpServer::HttpServer(Scheme scheme) : m_scheme(scheme) {}

HttpServer::~HttpServer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool HttpServer::start()
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder: ") + m_dir.errorString();
        return false;
    }
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty()) {
        m_error = QStringLiteral("python3 not found");
        return false;
    }
    QStringList arguments{QStringLiteral(VARUNO_TESTS_DIR "/support/httpserver.py"), QStringLiteral("--log"),
                          file(QStringLiteral("requests.log"))};
    if (m_scheme == Scheme::Https) {
        if (!makeCertificates())
            return false;
        arguments << QStringLiteral("--cert") << file(QStringLiteral("server.crt")) << QStringLiteral("--key")
                  << file(QStringLiteral("server.key"));
    }
    m_process.start(python, arguments);

    const QDeadlineTimer deadline(10000);
    while (!m_process.canReadLine() && m_process.waitForReadyRead(int(deadline.remainingTime()))) {
    }
    const QByteArray line = m_process.readLine().trimmed();
    if (!line.startsWith("PORT ")) {
        m_error = QStringLiteral("the test server did not start: ") +
                  QString::fromLocal8Bit(m_process.readAllStandardError());
        return false;
    }
    m_port = quint16(line.mid(5).toUInt());
    return true;
}

QString HttpServer::baseUrl() const
{
    const QString scheme = m_scheme == Scheme::Https ? QStringLiteral("https") : QStringLiteral("http");
    return scheme + QStringLiteral("://127.0.0.1:") + QString::number(m_port);
}

QString HttpServer::replyUrl(int status, const QByteArray& body) const
{
    return baseUrl() + QStringLiteral("/reply/") + QString::number(status) + QLatin1Char('/') +
           QString::fromLatin1(body.toHex());
}

QString HttpServer::hangUrl() const
{
    return baseUrl() + QStringLiteral("/hang");
}

QString HttpServer::caCertificateFile() const
{
    return file(QStringLiteral("ca.crt"));
}

QList<HttpServer::Request> HttpServer::requests() const
{
    QList<Request> result;
    const QList<QByteArray> lines = readBytes(file(QStringLiteral("requests.log"))).split('\n');
    for (const QByteArray& line : lines) {
        const QJsonObject json = QJsonDocument::fromJson(line).object();
        if (json.isEmpty())
            continue;
        Request request;
        request.method = json[QLatin1String("method")].toString();
        request.version = json[QLatin1String("version")].toString();
        request.path = json[QLatin1String("path")].toString();
        request.query = json[QLatin1String("query")].toString();
        const QJsonObject params = json[QLatin1String("params")].toObject();
        for (auto param = params.begin(); param != params.end(); ++param) {
            for (const QJsonValue& value : param.value().toArray())
                request.params[param.key()] << value.toString();
        }
        result << request;
    }
    return result;
}

bool HttpServer::makeCertificates()
{
    const QString ecKey = QStringLiteral("ec");
    const QString curve = QStringLiteral("ec_paramgen_curve:prime256v1");
    const bool written = writeBytes(file(QStringLiteral("server.ext")), "subjectAltName=IP:127.0.0.1\n"
                                                                        "basicConstraints=critical,CA:FALSE\n"
                                                                        "keyUsage=critical,digitalSignature\n"
                                                                        "extendedKeyUsage=serverAuth\n");
    return written &&
           runOpenSsl({QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), ecKey,
                       QStringLiteral("-pkeyopt"), curve, QStringLiteral("-nodes"), QStringLiteral("-keyout"),
                       file(QStringLiteral("ca.key")), QStringLiteral("-out"), caCertificateFile(),
                       QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                       QStringLiteral("/CN=Varuno Test CA")}) &&
           runOpenSsl({QStringLiteral("req"), QStringLiteral("-newkey"), ecKey, QStringLiteral("-pkeyopt"),
                       curve, QStringLiteral("-nodes"), QStringLiteral("-keyout"),
                       file(QStringLiteral("server.key")), QStringLiteral("-out"),
                       file(QStringLiteral("server.csr")), QStringLiteral("-subj"),
                       QStringLiteral("/CN=127.0.0.1")}) &&
           runOpenSsl({QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                       file(QStringLiteral("server.csr")), QStringLiteral("-CA"), caCertificateFile(),
                       QStringLiteral("-CAkey"), file(QStringLiteral("ca.key")),
                       QStringLiteral("-CAcreateserial"), QStringLiteral("-out"),
                       file(QStringLiteral("server.crt")), QStringLiteral("-days"), QStringLiteral("2"),
                       QStringLiteral("-extfile"), file(QStringLiteral("server.ext"))});
}

bool HttpServer::runOpenSsl(const QStringList& arguments)
{
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"), arguments);
    if (openssl.waitForFinished(30000) && openssl.exitStatus() == QProcess::NormalExit &&
        openssl.exitCode() == 0)
        return true;
    m_error = QStringLiteral("openssl ") + arguments.first() + QStringLiteral(" failed: ") +
              QString::fromLocal8Bit(openssl.readAll()) + openssl.errorString();
    return false;
}
