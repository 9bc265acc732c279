#pragma once

#include "model/notice.h"

#include <QList>
#include <QSslCertificate>
#include <QString>

class Prompts;
class Language;

// Finds the gateway's address on the local network from its serial number: the cloud lookup
// service answers "<sCloudServer>?serial=<serial>&f=LocalIP" with the address it last saw for
// that gateway, or with "unknown". The transfer dialog runs one search per press of its search
// button, handing over its serial, its serial line and its address field.
class GatewayLookup
{
public:
    static constexpr int DefaultTimeoutMs = 15000;

    // sCloudServer: the service's base address (http or https, no query part). projectIniPath:
    // the open project's project.ini, where the serial and a found address are kept.
    GatewayLookup(const Language& language, Prompts& prompts, QString sCloudServer, QString projectIniPath);

    // How long one request may take in all, answer included.
    void setTimeout(int ms) { m_timeoutMs = ms; }
    // Certificate authorities trusted besides the system's, for a service with a certificate of
    // its own. The service's certificate is always verified.
    void addCaCertificates(const QList<QSslCertificate>& certificates) { m_caCertificates << certificates; }

    // Asks for the serial when sSerial is empty (a typed serial stays in sSerial and is shown in
    // lblSerial), asks the service, writes SERIAL and a found IP to project.ini and puts a found
    // address into edIP. Ok when an address was found; its one notice, for a message box, says
    // which address or why none was found. Without a serial nothing is reported.
    Outcome Search(QString& sSerial, QString& lblSerial, QString& edIP);

private:
    bool askSerial(QString& sSerial, QString& lblSerial);
    // The body of the service's answer; false when the request failed.
    bool fetch(const QString& serial, QByteArray& body) const;

    const Language& m_language;
    Prompts& m_prompts;
    QString m_cloudServer;
    QString m_projectIniPath;
    int m_timeoutMs = DefaultTimeoutMs;
    QList<QSslCertificate> m_caCertificates;
};
