#include "openhabgenerator.h"

#include "cloudservice.h"
#include "homekit.h"

#include "model/filetransaction.h"

#include <QDir>
#include <QRandomGenerator>
#include <QUuid>

#include <cerrno>

using namespace Qt::StringLiterals;

namespace {

QString flagLine(const QString& name, bool value)
{
    return u'#' + name + (value ? u"=true"_s : u"=false"_s);
}

} // namespace

FileErrors OpenHabGenerator::SaveCfg()
{
    QStringList cfg;
    cfg << flagLine(u"reboot"_s, reboot) << flagLine(u"hmac"_s, hmac) << flagLine(u"settime"_s, settime);
    cfg << u"webserver.host="_s + serverIP << u"webserver.port="_s + serverPort;
    cfg << u"webserver.passwd="_s + serverPass;
    if (!serverRescan.isEmpty())
        cfg << u"webserver.rescan_secs="_s + serverRescan;
    return WriteProjectFiles({{sCfgFile, GeneratedText(cfg)},
                              {sUUIDFile, GeneratedText({uuid})},
                              {sSecretFile, GeneratedText({secret})}});
}

FileErrors OpenHabGenerator::SaveHomekit(const QString& ip)
{
    return WriteProjectFiles({{sHomeKitFile, GeneratedText(HomekitLines(ip))}});
}

QStringList OpenHabGenerator::HomekitLines(const QString& ip)
{
    return {
        u"org.openhab.homekit:port=9124"_s,
        u"org.openhab.homekit:pin="_s + QStringView(HomeKitPin),
        u"org.openhab.homekit:useFahrenheitTemperature=false"_s,
        u"org.openhab.homekit:thermostatCoolMode=CoolOn"_s,
        u"org.openhab.homekit:thermostatHeatMode=HeatOn"_s,
        u"org.openhab.homekit:thermostatAutoMode=Auto"_s,
        u"org.openhab.homekit:thermostatOffMode=Off"_s,
        u"org.openhab.homekit:networkInterface="_s + ip,
        u"org.openhab.homekit:name=Varuno"_s,
    };
}

FileErrors OpenHabGenerator::GenerateCloudkey()
{
    // The pair authenticates the gateway at the cloud service, so both come from the system's
    // secure generator.
    uuid = QUuid::createUuid().toString(QUuid::WithoutBraces).toLower();
    secret = RandomString(20);
    return WriteProjectFiles({{sUUIDFile, GeneratedText({uuid})}, {sSecretFile, GeneratedText({secret})}});
}

QString OpenHabGenerator::RandomString(int strlength)
{
    static constexpr char16_t alphabet[] = u"0123456789abcdefghijklmnopqrstuvwxyz";
    constexpr int alphabetSize = int(std::size(alphabet)) - 1;
    QString text;
    text.reserve(strlength);
    for (int i = 0; i < strlength; ++i)
        text += QChar(alphabet[QRandomGenerator::system()->bounded(alphabetSize)]);
    return text;
}

QStringList OpenHabGenerator::BuildCloudFile(const QStringList& exposed)
{
    return {u"baseURL="_s + QStringView(CloudServiceBaseUrl), u"mode=remote"_s,
            u"expose="_s + exposed.join(u',')};
}

FileErrors OpenHabGenerator::WriteProjectFiles(const QList<std::pair<QString, GeneratedText>>& files) const
{
    // Without a project folder the names would point into the working directory.
    if (sProjPath.isEmpty())
        return {FileError{files.value(0).first, SystemReason(ENOENT)}};
    // Every file is written beside its old one first; only when all of them made it are they put in
    // place, as one change that a crash cannot cut in two.
    FileTransaction transaction(sProjPath);
    for (const auto& [name, lines] : files) {
        SafeFile& file = transaction.add(name);
        bool bWritten = file.open();
        for (qsizetype i = 0; bWritten && i < lines.chunks().size(); ++i)
            bWritten = file.write(lines.chunks().at(i).toUtf8());
        if (!bWritten)
            return {FileError{QDir::toNativeSeparators(file.fileName()), file.errorString()}};
    }
    if (!transaction.commit())
        return {transaction.error()};
    return {};
}
