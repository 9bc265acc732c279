#pragma once

#include "busdevice.h"
#include "buserror.h"

#include <QObject>
#include <QTimer>

class OwnSession;

// Learns an address from a key press: listens on an event session and reports the first frame
// that names a device fitting the chosen kind. A device of another kind is reported as unfit, one
// the project cannot hold as unusable, and the wait goes on; frames that name no device pass
// unnoticed. Exactly one of learned(), timedOut() and
// failed() ends a run; cancel() ends it with failed(Cancelled).
class BusLearn : public QObject
{
    Q_OBJECT

public:
    static constexpr int defaultLimitMs = 30000;
    static constexpr int anyKind = -1;

    explicit BusLearn(QObject* parent = nullptr);
    ~BusLearn() override;

    // iType: the kind the device must fit, or anyKind; limitMs: the whole wait for a key press,
    // counted from the start.
    void start(const BusServer& server, int iType, int limitMs = defaultLimitMs);
    void cancel();
    bool isRunning() const { return m_session != nullptr; }

Q_SIGNALS:
    // The session is open; now the key can be pressed.
    void listening();
    void unfit(const QByteArray& frame);
    void unusable(const QByteArray& frame, const Problem& reason);
    void learned(const BusDevice& device);
    void timedOut();
    void failed(BusError error, const QString& detail);

private:
    void onFrame(const QByteArray& frame);
    void stop();
    int m_iType = anyKind;
    OwnSession* m_session = nullptr;
    QTimer m_limit;
};
