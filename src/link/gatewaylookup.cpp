#include "gatewaylookup.h"

#include "gatewayanswer.h"
#include "model/fileerror.h"
#include "model/language.h"
#include "model/projectini.h"
#include "workspace/prompts.h"

#include <QDir>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QTimer>
#include <QUrl>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// An address is a few dozen bytes; a longer answer is no answer of the service.
constexpr qint64 MaxAnswerSize = 64 * 1024;

// The request address, or an empty one when the base address is no http or https address. The
// serial is percent-encoded throughout, so that a blank, "&", "#", "+" or a non-ASCII letter
// reaches the service as part of the serial.
QUrl requestUrl(const QString& cloudServer, const QString& serial)
{
    QUrl url(cloudServer, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || (url.scheme() != u"http" && url.scheme() != u"https"))
        return {};
    url.setQuery(u"serial="_s + QString::fromLatin1(QUrl::toPercentEncoding(serial)) + u"&f=LocalIP"_s,
                 QUrl::StrictMode);
    return url;
}

QNetworkRequest makeRequest(const QUrl& url, const QList<QSslCertificate>& extraCaCertificates)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
    tls.setProtocol(QSsl::TlsV1_2OrLater);
    // An explicit list replaces the system's store, so the extra authorities join it rather than
    // take its place.
    if (!extraCaCertificates.isEmpty())
        tls.setCaCertificates(QSslConfiguration::systemCaCertificates() + extraCaCertificates);
    request.setSslConfiguration(tls);
    return request;
}

Problem writeProblem(const IniFile& ini)
{
    return FileError{QDir::toNativeSeparators(ini.fileName()), ini.errorString()}.problem();
}

} // namespace

GatewayLookup::GatewayLookup(const Language& language, Prompts& prompts, QString sCloudServer,
                             QString projectIniPath)
    : m_language(language), m_prompts(prompts), m_cloudServer(std::move(sCloudServer)),
      m_projectIniPath(std::move(projectIniPath))
{
}

Outcome GatewayLookup::Search(QString& sSerial, QString& lblSerial, QString& edIP)
{
    if ((sSerial.isEmpty() && !askSerial(sSerial, lblSerial)) || sSerial.isEmpty())
        return {false};
    Outcome outcome;

    QByteArray body;
    if (!fetch(sSerial, body))
        return outcome.fail(Problem{Msg::LookupUnreachable});
    // Whatever else the service answers is no address: nothing of it is kept.
    const GatewayAnswer answer = GatewayAnswer::read(body);
    if (answer.kind == GatewayAnswer::Invalid)
        return outcome.fail(Problem{Msg::TransferError});
    ProjectIni ini = ProjectIni::AtFile(m_projectIniPath);
    if (!ini.setSerial(sSerial))
        return outcome.fail(writeProblem(ini.inif()));
    if (answer.kind == GatewayAnswer::Unknown)
        return outcome.fail(Problem{Msg::IpNotFound, sSerial});
    if (!ini.setIP(answer.address))
        return outcome.fail(writeProblem(ini.inif()));
    edIP = answer.address;
    // The catalogue's text ends before the address, which follows it after a blank.
    outcome.notices << Notice::information(m_language.GetMsg(Msg::IpFound) + u' ' + answer.address);
    return outcome;
}

// False on Cancel. OK takes the text as typed, an empty one included.
bool GatewayLookup::askSerial(QString& sSerial, QString& lblSerial)
{
    QString typed;
    if (!m_prompts.textPrompt(m_language.GetMsg(Msg::LookupTitle), m_language.GetMsg(Msg::LookupSerialPrompt),
                              typed))
        return false;
    sSerial = typed;
    lblSerial = m_language.GetMsg(Msg::SerialNumber) + u' ' + sSerial;
    return true;
}

// Every failure counts alike: no resolution or connection, TLS refused, a status outside 2xx
// (redirects are not followed), an answer too long, or the time-out.
bool GatewayLookup::fetch(const QString& serial, QByteArray& body) const
{
    const QUrl url = requestUrl(m_cloudServer, serial);
    if (url.isEmpty())
        return false;

    QNetworkAccessManager manager;
    QNetworkReply* reply = manager.get(makeRequest(url, m_caCertificates));
    // The answer is taken as it arrives, through a buffer no larger than the cap, whether the
    // service announces its length, sends it in chunks or just closes at the end; one byte beyond
    // the cap ends the request.
    reply->setReadBufferSize(MaxAnswerSize + 1);
    body.clear();
    bool bTooLong = false;
    const auto take = [&] {
        body += reply->read(MaxAnswerSize + 1 - body.size());
        if (body.size() > MaxAnswerSize && !bTooLong) {
            bTooLong = true;
            reply->abort();
        }
    };
    QObject::connect(reply, &QNetworkReply::readyRead, reply, take);
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [&] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > MaxAnswerSize && !bTooLong) {
            bTooLong = true;
            reply->abort();
        }
    });
    QTimer::singleShot(m_timeoutMs, reply, &QNetworkReply::abort);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!bTooLong)
        take();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (bTooLong || reply->error() != QNetworkReply::NoError || status < 200 || status > 299)
        return false;
    return true;
}
