#pragma once

#include "buserror.h"
#include "bustestframes.h"

#include <QList>
#include <QObject>
#include <QTimer>

class OwnSession;

// Sends the frames of a function test over one command session, each after its pause and after
// the previous one was acknowledged. The first refusal or failure ends the test.
class BusTest : public QObject
{
    Q_OBJECT

public:
    explicit BusTest(QObject* parent = nullptr);
    ~BusTest() override;

    void start(const BusServer& server, const QList<BusStep>& steps);
    // Stops at once; finished() reports Cancelled. During a pause, the frames still to come switch
    // the function back (a light off again): they go out at once, and Cancelled comes with them as
    // detail. A second cancel stops at once.
    void cancel();
    bool isRunning() const { return m_session != nullptr; }

Q_SIGNALS:
    // A frame the bus acknowledged.
    void acknowledged(const QByteArray& frame);
    // The end: BusError::None when every frame was acknowledged (detail: the frames sent),
    // otherwise what went wrong.
    void finished(BusError error, const QString& detail);

private:
    void sendNext();
    void finish(BusError error, const QString& detail);

    OwnSession* m_session = nullptr;
    QList<BusStep> m_steps;
    qsizetype m_next = 0;
    QStringList m_sent;
    QStringList m_switchedBack;
    bool m_bCancelled = false;
    QTimer m_pause;
};
