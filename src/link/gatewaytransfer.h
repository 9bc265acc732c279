#pragma once

#include "link/redisclient.h"
#include "model/problem.h"
#include "openhab/projectdiff.h"

#include <QString>

#include <functional>
#include <optional>

class Prompts;
class Language;
class OpenHabGenerator;
struct TransferFile;

enum class TransferMode
{
    Send = 1,
    Receive = 2,
};

// What a transfer needs of the window that runs it: the address typed, the direction, the places
// it reports its progress and its failures to, and the user to ask.
class TransferView
{
public:
    virtual ~TransferView() = default;

    // The gateway's address as typed.
    virtual QString address() const = 0;
    virtual TransferMode mode() const = 0;
    virtual void setProgressText(const QString& text) = 0;
    virtual void setProgress(int value, int maximum) = 0;
    virtual void advanceProgress() = 0;
    // The gateway's clock: caption and hint of the server-time line.
    virtual void setServerTime(const QString& caption, const QString& hint) = 0;
    // The note that openHAB on the gateway restarts now.
    virtual void showRebootNote() = 0;
    // Something that went wrong, to be shown at once in an error box; whether the transfer goes on
    // is the transfer's decision.
    virtual void showProblem(const Problem& problem) = 0;
    // For the questions a transfer asks.
    virtual Prompts& prompts() = 0;
    // Asked every few milliseconds while the transfer waits for the gateway; true cancels the
    // transfer. The window answers its input meanwhile, so that its close button can say so.
    virtual bool cancelRequested() { return false; }
};

// What a send would write, and what the gateway holds under the same keys now; a file the gateway
// lacks is left out of gateway.
struct SendPreview
{
    ProjectFiles gateway;
    ProjectFiles sent;
};

// The program's values are the defaults; tests shorten the waits, move the store to a port of
// their own and fix the clock.
struct TransferSettings
{
    quint16 storePort = 6379;
    int busServerWaitMs = 5000;
    int busServerPauseMs = 2000;
    int connectTimeoutMs = RedisClient::DefaultConnectTimeout;
    // For each request and its whole reply, however slowly the bytes arrive.
    int replyTimeoutMs = RedisClient::DefaultReplyTimeout;
    // The PC's current time in UTC Unix seconds; empty means the system clock.
    std::function<qint64()> now;
};

// Sends the open project's openHAB files, bus-server settings and restart request to the gateway's
// store, or receives seven of the files back into the project folder. Every run uses a connection
// of its own. Both directions are all or nothing. A receive takes only a gateway that holds all
// seven files, and the files change only once every value arrived and was staged beside its file.
// A send reads every file before it writes anything and writes everything in one transaction of
// the store. Both directions keep a backup of what they replace in the
// project's "backups/" folder: the project's files before a receive, the gateway's before a send.
class GatewayTransfer
{
public:
    static constexpr int ProgressSteps = 8;

    GatewayTransfer(OpenHabGenerator& openHab, const Language& language, TransferView& view,
                    TransferSettings settings = {});

    // True when the transfer ran to its end; false when it was refused, declined or failed, after
    // the view was told why.
    bool RunTransfer();
    // Reads, over a connection of its own, the gateway's files as the backup before a send reads
    // them, and the project's files as a send would write them for the address typed. Asks nothing
    // and writes nothing anywhere. The failure's text otherwise.
    std::optional<QString> PreviewSend(SendPreview& preview);
    // Asks whether to send, with what the send would change on the gateway, or why that could not
    // be read: a gateway that cannot be read now may still take the send. False when the user says
    // No or cancelled the reading. Asks nothing without an address, which RunTransfer refuses.
    bool ConfirmSend();

private:
    // Whether to go on: the bus server answers, or the user says so.
    bool busServerConfirmed();
    // The gateway's clock as the transfer uses it: the change stamp for the files and, when the PC
    // is far ahead, the time the gateway is asked to take.
    struct GatewayClock
    {
        qint64 stamp;
        std::optional<qint64> setTo;
    };

    bool sceneCommandsAccepted(RedisClient& client);
    GatewayClock readClock(RedisClient& client, TransferMode mode);
    void SendFiles(RedisClient& client, const GatewayClock& clock, const QString& address);
    QList<RedisClient::RedisCommand> fileWrites(const TransferFile& file, const QByteArray& stamp);
    QList<RedisClient::RedisCommand> busServerWrites() const;
    static QList<RedisClient::RedisCommand> restartWrites();
    static void checkHashes(RedisClient& client, const QList<QByteArray>& keys);
    void restartQueued();
    // After the transaction: every field the send wrote holds what was written.
    static void verifyWrites(RedisClient& client, const QList<RedisClient::RedisCommand>& writes);
    void BackupGateway(RedisClient& client);
    // Calls take with each file a send writes that the gateway holds, and its text there; stops at
    // the first failure take returns.
    static std::optional<QString> readGatewayFiles(
        RedisClient& client,
        const std::function<std::optional<QString>(const TransferFile&, const QByteArray&)>& take);
    void configure(RedisClient& client) const;
    void ReceiveFiles(RedisClient& client);
    // Ends a long conversion with RedisCancelled once the user asked to cancel.
    std::function<void()> cancelPoint() const;

    QByteArray gatewayKey(const TransferFile& file) const;
    QString localFile(const TransferFile& file) const;

    OpenHabGenerator& m_openHab;
    const Language& m_language;
    TransferView& m_view;
    TransferSettings m_settings;
};
