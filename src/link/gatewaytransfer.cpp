#include "gatewaytransfer.h"

#include "model/datetext.h"

#include "link/busservercheck.h"
#include "link/transfertext.h"
#include "model/filetransaction.h"
#include "model/language.h"
#include "openhab/openhabgenerator.h"
#include "workspace/projectbackups.h"
#include "workspace/prompts.h"

#include <QDateTime>
#include <QDir>

#include <algorithm>
#include <array>
#include <charconv>
#include <memory>
#include <span>
#include <utility>

// A project file and the folder on the gateway that openHAB reads it from.
struct TransferFile
{
    const QString* name;
    const char* gatewayDir;
};

namespace {

const char* const Services = "/var/lib/docker/volumes/openhab_conf/_data/services/";

// The files that travel both ways, in transfer order.
const TransferFile SharedFiles[] = {
    {&OpenHabGenerator::sCfgFile, Services},
    {&OpenHabGenerator::sItemsFile, "/var/lib/docker/volumes/openhab_conf/_data/items/"},
    {&OpenHabGenerator::sCloudFile, Services},
    {&OpenHabGenerator::sRulesFile, "/var/lib/docker/volumes/openhab_conf/_data/rules/"},
    {&OpenHabGenerator::sSitemapFile, "/var/lib/docker/volumes/openhab_conf/_data/sitemaps/"},
    {&OpenHabGenerator::sUUIDFile, "/var/lib/docker/volumes/openhab_userdata/_data/"},
    {&OpenHabGenerator::sSecretFile, "/var/lib/docker/volumes/openhab_userdata/_data/openhabcloud/"},
};

// Only sent: homekit.cfg depends on the address the gateway was reached at, and mqtt.cfg is the
// installation's template.
const TransferFile SentOnlyFiles[] = {
    {&OpenHabGenerator::sHomeKitFile, Services},
    {&OpenHabGenerator::sMQTTFile, Services},
};

// Every file a send writes, in transfer order.
using Files = std::span<const TransferFile>;
const Files SentFiles[] = {SharedFiles, SentOnlyFiles};

// The gateway keeps its own clock unless the PC is more than this far ahead of it.
constexpr qint64 ClockToleranceMinutes = 120;

// A project file that could not be written; ends the transfer like a failure of the store, after
// the user was told which file and why.
struct LocalWriteFailed
{
    FileErrors errors;
};

FileError writeError(const SafeFile& file)
{
    return {QDir::toNativeSeparators(file.fileName()), file.errorString()};
}

// A backup could not be written; the transfer stops before it changes anything.
struct BackupFailed
{
    QString text;
};

// None of the seven files is on the gateway: a gateway never configured, or the wrong address.
struct EmptyGateway
{
};

// Some of the seven files are not on the gateway; taking the others would mix two configurations.
struct FilesMissing
{
    QStringList names;
};

// A field the send wrote does not hold what was written once the transaction ran.
struct SentValueDiffers
{
    QString name;
};

// The gateway does not report its time ("rpi-timestamp" is absent).
struct NoGatewayClock
{
};

// A key that the send writes holds something other than a hash, which would make its write
// fail inside the transaction while the others take effect.
QString notAHash(const QByteArray& key, const QByteArray& type)
{
    return QStringLiteral("%1 holds a %2, not a hash").arg(QString::fromUtf8(key), QString::fromUtf8(type));
}

// A decimal integer within the range of a signed 32-bit clock, or 0 when the text is not one.
qint64 clockOrZero(const QByteArray& text)
{
    qint32 value = 0;
    const char* end = text.constData() + text.size();
    const auto [stop, error] = std::from_chars(text.constData(), end, value);
    return error == std::errc() && stop == end ? value : 0;
}

QByteArray flag(bool value)
{
    return value ? QByteArrayLiteral("1") : QByteArrayLiteral("0");
}

} // namespace

GatewayTransfer::GatewayTransfer(OpenHabGenerator& openHab, const Language& language, TransferView& view,
                                 TransferSettings settings)
    : m_openHab(openHab), m_language(language), m_view(view), m_settings(std::move(settings))
{
    if (!m_settings.now)
        m_settings.now = [] { return QDateTime::currentSecsSinceEpoch(); };
}

// A gateway without a reachable bus server switches nothing; going on anyway is the user's choice,
// and a hasty Enter does not make it. Without an address there is nothing to look for.
bool GatewayTransfer::busServerConfirmed()
{
    Prompts& prompts = m_view.prompts();
    if (m_openHab.serverIP.trimmed().isEmpty())
        return prompts.confirm(m_language.GetMsg(Msg::BusServerNotSet), Prompts::Default::No);
    m_view.setProgress(0, ProgressSteps);
    m_view.setProgressText(m_language.GetMsg(Msg::CheckingBusServer));
    return CheckBusServer(m_openHab.serverIP, m_settings.busServerWaitMs, m_settings.busServerPauseMs) ||
           prompts.confirm(m_language.GetMsg(Msg::BusServerMissingSendAnyway, m_openHab.serverIP),
                           Prompts::Default::No);
}

bool GatewayTransfer::RunTransfer()
{
    const QString address = m_view.address();
    if (address.isEmpty()) {
        m_view.showProblem({Msg::EnterIp});
        return false;
    }

    if (!busServerConfirmed())
        return false;

    m_view.setProgress(0, ProgressSteps);
    m_view.setProgressText(m_language.GetMsg(Msg::Connecting));
    RedisClient client(address, m_settings.storePort);
    configure(client);
    try {
        client.Connect();
    } catch (const RedisCancelled&) {
        m_view.setProgressText(m_language.GetMsg(Msg::TransferCancelled));
        return false;
    } catch (const RedisError&) {
        m_view.showProblem({Msg::NoConnection});
        return false;
    }

    try {
        const bool sending = m_view.mode() == TransferMode::Send;
        if (sending && !sceneCommandsAccepted(client))
            return false;
        const GatewayClock clock = readClock(client, m_view.mode());
        if (sending) {
            SendFiles(client, clock, address);
        } else {
            if (clock.setTo)
                client.SET("rpi-timestamp-set", QByteArray::number(*clock.setTo));
            ReceiveFiles(client);
        }
        client.Disconnect();
        return true;
    } catch (const RedisCancelled&) {
        // No file changed on either side: a send writes in one transaction at its end, a receive
        // replaces the files only once all arrived.
        m_view.setProgressText(m_language.GetMsg(Msg::TransferCancelled));
        return false;
    } catch (const EmptyGateway&) {
        m_view.showProblem({Msg::NoConfigurationOnGateway});
        return false;
    } catch (const FilesMissing& missing) {
        m_view.showProblem({Msg::FilesMissingOnGateway, missing.names.join(QStringLiteral(", "))});
        return false;
    } catch (const NoGatewayClock&) {
        m_view.showProblem({Msg::NoGatewayClock});
        return false;
    } catch (const SentValueDiffers& differs) {
        m_view.showProblem({Msg::SentValueDiffers, differs.name});
        return false;
    } catch (const BackupFailed& failure) {
        m_view.showProblem({Msg::BackupFailed, failure.text});
        return false;
    } catch (const RedisError& e) {
        m_view.showProblem({Msg::TransferFailedBecause, e.message()});
        return false;
    } catch (const FileReadError& e) {
        m_view.showProblem(e.problem());
    } catch (const LocalWriteFailed& e) {
        for (const FileError& error : e.errors)
            m_view.showProblem(error.problem());
    }
    m_view.showProblem({Msg::TransferError});
    return false;
}

// A gateway firmware that does not mark itself as understanding scene commands would leave the
// items' MQTT bindings dead; the user decides whether to send anyway.
bool GatewayTransfer::sceneCommandsAccepted(RedisClient& client)
{
    QByteArray firmware;
    try {
        firmware = client.GET("rpi-firmware").value_or(QByteArray());
    } catch (const RedisError&) {
        // An unreadable marker counts as no marker.
    }
    if (!firmware.isEmpty())
        return true;
    if (!ReadTransferText(m_openHab.sProjPath + m_openHab.sItemsFile).contains("{mqtt=\""))
        return true;
    return m_view.prompts().errorYesNo(m_language.GetMsg(Msg::ScenesUnsupportedSendAnyway));
}

// Reads the gateway's clock and works out the change stamp for the files: just after the gateway's
// time when it can be trusted, else just after the PC's, in which case the gateway is asked to take
// the PC's time. Writes nothing.
GatewayTransfer::GatewayClock GatewayTransfer::readClock(RedisClient& client, TransferMode mode)
{
    const RedisNullable gatewayText = client.GET("rpi-timestamp");
    if (!gatewayText) {
        // A store with neither a clock nor a file is no gateway's: say so rather than ask for a clock.
        const auto onGateway = [&](const TransferFile& file) {
            return client.HEXISTS(gatewayKey(file), "text");
        };
        if (mode == TransferMode::Receive && std::ranges::none_of(SharedFiles, onGateway))
            throw EmptyGateway();
        throw NoGatewayClock();
    }
    const qint64 gatewayTime = clockOrZero(*gatewayText);
    const qint64 pcTime = m_settings.now();
    if (gatewayTime <= 0)
        return {pcTime + 1, std::nullopt};

    const QString local = readableDateTime(QDateTime::fromSecsSinceEpoch(gatewayTime));
    m_view.setServerTime(m_language.GetMsg(Msg::ServerTime) % QLatin1Char(' ') % local,
                         QStringLiteral("RPI: ") % QString::fromUtf8(*gatewayText) %
                             QStringLiteral(" / PC: ") % QString::number(pcTime));
    // Whole minutes, truncated toward zero like the difference itself.
    const qint64 minutesAhead = (pcTime - gatewayTime) / 60;
    if (minutesAhead <= ClockToleranceMinutes)
        return {gatewayTime + 1, std::nullopt};
    return {pcTime + 1, pcTime};
}

// Every file is read before anything is written to the gateway, and everything the send writes
// goes in one transaction, so that the gateway keeps all its old files or gets all the new ones.
void GatewayTransfer::SendFiles(RedisClient& client, const GatewayClock& clock, const QString& address)
{
    QList<QByteArray> hashes;
    for (const Files files : SentFiles) {
        for (const TransferFile& file : files)
            hashes << gatewayKey(file);
    }
    hashes << "bt";
    checkHashes(client, hashes);
    BackupGateway(client);
    QList<RedisClient::RedisCommand> writes;
    if (clock.setTo)
        writes.append({"SET", "rpi-timestamp-set", QByteArray::number(*clock.setTo)});
    const QByteArray stamp = QByteArray::number(clock.stamp);
    for (const TransferFile& file : SharedFiles) {
        writes += fileWrites(file, stamp);
        m_view.advanceProgress();
    }
    // homekit.cfg names the address the gateway is reached at; an old one must not go out.
    if (FileErrors errors = m_openHab.SaveHomekit(address); !errors.isEmpty())
        throw LocalWriteFailed{errors};
    for (const TransferFile& file : SentOnlyFiles)
        writes += fileWrites(file, stamp);
    writes += busServerWrites();
    if (m_openHab.reboot)
        writes += restartWrites();
    client.Transaction(writes);
    if (m_openHab.reboot)
        restartQueued();
    m_view.advanceProgress();
    verifyWrites(client, writes);
    m_view.setProgressText(m_language.GetMsg(Msg::SentOk));
}

QList<RedisClient::RedisCommand> GatewayTransfer::fileWrites(const TransferFile& file,
                                                             const QByteArray& stamp)
{
    m_view.setProgressText(*file.name);
    const QByteArray key = gatewayKey(file);
    return {{"HSET", key, "text", ReadTransferText(localFile(file))}, {"HSET", key, "modify", stamp}};
}

// The hashes must stay as they are from here until the transaction runs, so that the backup holds
// what the send replaces: a change made meanwhile drops the transaction.
void GatewayTransfer::checkHashes(RedisClient& client, const QList<QByteArray>& keys)
{
    client.WATCH(keys);
    for (const QByteArray& key : keys) {
        if (const QByteArray type = client.TYPE(key); type != "hash" && type != "none")
            throw RedisException(notAHash(key, type));
    }
}

// A send counts only when the gateway holds what was sent: another program writing the same keys,
// or a store that drops or cuts values, shows here. Lists and the clock are the gateway's to use
// up, so only the hashes are read back.
void GatewayTransfer::verifyWrites(RedisClient& client, const QList<RedisClient::RedisCommand>& writes)
{
    for (const RedisClient::RedisCommand& write : writes) {
        if (write.constFirst() != "HSET")
            continue;
        const QByteArray& key = write.at(1);
        QByteArray held;
        if (!client.HGET(key, write.at(2), held) || held != write.at(3))
            throw SentValueDiffers{QString::fromUtf8(key.mid(key.lastIndexOf('/') + 1))};
    }
}

QList<RedisClient::RedisCommand> GatewayTransfer::busServerWrites() const
{
    return {
        {"HSET", "bt", "ip", m_openHab.serverIP.toUtf8()},
        {"HSET", "bt", "port", m_openHab.serverPort.toUtf8()},
        {"HSET", "bt", "pw", m_openHab.serverPass.toUtf8()},
        {"HSET", "bt", "hmac", flag(m_openHab.hmac)},
        {"HSET", "bt", "set", flag(m_openHab.settime)},
    };
}

// The gateway runs the list "cmds" once it finds it; the list is replaced so that nothing queued
// earlier runs a second time.
QList<RedisClient::RedisCommand> GatewayTransfer::restartWrites()
{
    return {{"DEL", "cmds"}, {"RPUSH", "cmds", "docker restart openhab"}, {"LPUSH", "cmds", "#1"}};
}

void GatewayTransfer::restartQueued()
{
    m_openHab.reboot = false;
    // The restart is queued on the gateway whatever happens here; a bticino.cfg still saying
    // "#reboot=true" only queues one more restart with the next send, so the user is told but the
    // transfer stands.
    for (const FileError& error : m_openHab.SaveCfg())
        m_view.showProblem(error.problem());
    m_view.showRebootNote();
}

// The gateway's files as they are before the send overwrites them, converted as a receive would
// write them, so that restoring the backup and sending it brings them back.
void GatewayTransfer::BackupGateway(RedisClient& client)
{
    ProjectBackups backups(m_openHab.sProjPath, m_language);
    const std::optional<QString> failure =
        backups.Make(BackupKind::GatewayBeforeSend, [&](const QString& folder) {
            return readGatewayFiles(client, [&](const TransferFile& file, const QByteArray& text) {
                const auto error = WriteReceivedText(folder + *file.name, text, cancelPoint());
                return error ? std::optional<QString>(error->text(m_language)) : std::nullopt;
            });
        });
    if (failure)
        throw BackupFailed{*failure};
}

std::optional<QString> GatewayTransfer::readGatewayFiles(
    RedisClient& client,
    const std::function<std::optional<QString>(const TransferFile&, const QByteArray&)>& take)
{
    for (const Files files : SentFiles) {
        for (const TransferFile& file : files) {
            QByteArray text;
            if (!client.HGET(file.gatewayDir + (*file.name).toUtf8(), "text", text))
                continue;
            if (auto failure = take(file, text))
                return failure;
        }
    }
    return std::nullopt;
}

std::optional<QString> GatewayTransfer::PreviewSend(SendPreview& preview)
{
    const QString address = m_view.address();
    if (address.isEmpty())
        return m_language.GetMsg(Msg::EnterIp);
    try {
        for (const Files files : SentFiles) {
            for (const TransferFile& file : files)
                preview.sent.insert(*file.name,
                                    file.name == &OpenHabGenerator::sHomeKitFile
                                        ? OpenHabGenerator::HomekitLines(address).join(u"\r\n").toUtf8()
                                        : ReadTransferText(localFile(file)));
        }
        RedisClient client(address, m_settings.storePort);
        configure(client);
        client.Connect();
        readGatewayFiles(client, [&](const TransferFile& file, const QByteArray& text) {
            preview.gateway.insert(*file.name, text);
            return std::nullopt;
        });
        client.Disconnect();
    } catch (const RedisCancelled&) {
        return m_language.GetMsg(Msg::TransferCancelled);
    } catch (const RedisError& e) {
        return m_language.GetMsg(Msg::GatewayNotReadable, e.message());
    } catch (const FileReadError& e) {
        return e.text(m_language);
    }
    return std::nullopt;
}

bool GatewayTransfer::ConfirmSend()
{
    if (m_view.address().isEmpty())
        return true;
    SendPreview preview;
    const std::optional<QString> failure = PreviewSend(preview);
    if (m_view.cancelRequested()) {
        m_view.setProgressText(m_language.GetMsg(Msg::TransferCancelled));
        return false;
    }
    const QString question = QStringLiteral("\n\n") + m_language.GetMsg(Msg::ConfirmSend);
    if (failure)
        return m_view.prompts().confirm(*failure + question);
    // Function by function, then line by line, for whoever wants to see it before saying yes.
    const ProjectDiff diff(m_openHab, preview.gateway, preview.sent);
    const QString details = diff.report(m_language) + u'\n' +
                            QString::fromUtf8(diff.unified(QStringLiteral("varuno"), m_openHab.sProj));
    return m_view.prompts().confirmWithDetails(diff.summary(m_language) + question, details);
}

void GatewayTransfer::configure(RedisClient& client) const
{
    client.SetConnectTimeout(m_settings.connectTimeoutMs);
    client.SetReplyTimeout(m_settings.replyTimeoutMs);
    client.SetInterrupt([this] { return m_view.cancelRequested(); });
}

// Every value is staged beside its file as it arrives, so that no more than one value is held at a
// time; the files are replaced only once all seven arrived intact and the old ones are backed up.
void GatewayTransfer::ReceiveFiles(RedisClient& client)
{
    FileTransaction staged(m_openHab.sProjPath);
    QStringList missing;
    QStringList names;
    for (std::size_t i = 0; i < std::size(SharedFiles); ++i) {
        const TransferFile& file = SharedFiles[i];
        m_view.setProgressText(*file.name);
        names << *file.name;
        QByteArray text;
        if (!client.HGET(gatewayKey(file), "text", text))
            missing << *file.name;
        SafeFile& local = staged.add(*file.name);
        if (!local.open() || !WriteReceivedBytes(local, text, cancelPoint()) || !local.finish())
            throw LocalWriteFailed{{writeError(local)}};
        m_view.advanceProgress();
    }
    if (missing.size() == names.size())
        throw EmptyGateway();
    if (!missing.isEmpty())
        throw FilesMissing{missing};
    client.Disconnect();
    if (const auto failure = ProjectBackups(m_openHab.sProjPath, m_language)
                                 .BackupProjectFiles(BackupKind::BeforeReceive, names))
        throw BackupFailed{*failure};
    // One change: a crash from here on leaves the seven old files or the seven new ones.
    if (!staged.commit())
        throw LocalWriteFailed{{staged.error()}};
    m_view.advanceProgress();
    m_view.setProgressText(m_language.GetMsg(Msg::ReceivedOk));
}

std::function<void()> GatewayTransfer::cancelPoint() const
{
    return [this] {
        if (m_view.cancelRequested())
            throw RedisCancelled();
    };
}

QByteArray GatewayTransfer::gatewayKey(const TransferFile& file) const
{
    return file.gatewayDir + (*file.name).toUtf8();
}

QString GatewayTransfer::localFile(const TransferFile& file) const
{
    return m_openHab.sProjPath + *file.name;
}
