#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A local HTTP or HTTPS server for tests on a free port of 127.0.0.1 (httpserver.py in a child
// process). What it answers is chosen by the request's path, see replyUrl() and hangUrl(). An
// HTTPS server presents a certificate for 127.0.0.1 issued by a CA made at start; clients that
// are to trust it add caCertificateFile().
class HttpServer
{
public:
    enum class Scheme
    {
        Http,
        Https
    };

    struct Request
    {
        QString method;
        QString version; // "HTTP/1.1"
        QString path;
        QString query;                     // as sent, still percent-encoded
        QMap<QString, QStringList> params; // the query as a server decodes it
    };

    explicit HttpServer(Scheme scheme = Scheme::Http);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Starts the server; on failure errorString() says why.
    bool start();
    const QString& errorString() const { return m_error; }

    quint16 port() const { return m_port; }
    // "http://127.0.0.1:<port>" or "https://…", without a trailing slash.
    QString baseUrl() const;
    // An address answered with that status and body. A redirect status (3xx) points to the same
    // body with status 200, so a client that follows it is caught.
    QString replyUrl(int status, const QByteArray& body) const;
    // An address whose request is read but never answered.
    QString hangUrl() const;
    // The PEM file of the CA that issued the HTTPS certificate.
    QString caCertificateFile() const;

    // The requests received so far, oldest first; each is logged before it is answered.
    QList<Request> requests() const;

private:
    bool makeCertificates();
    bool runOpenSsl(const QStringList& arguments);
    QString file(const QString& name) const { return m_dir.filePath(name); }

    Scheme m_scheme;
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_error;
};
