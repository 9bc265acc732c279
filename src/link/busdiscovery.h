#pragma once

#include "busdevice.h"
#include "buserror.h"

#include <QList>
#include <QObject>

class TOwnSession;

// A device that answered a status request, and the row of the project with its address (-1 when
// the project lacks it).
struct TFoundDevice
{
    TBusDevice device;
    int row = -1;
};

// The devices found beside the project: found ones (in the project or not) in the order they
// answered, and the rows of light points and actuators with a point-to-point address that no
// device answered for.
struct TDiscoveryResult
{
    QList<TFoundDevice> found;
    QList<int> silentRows;
};

// The buses to ask: the private riser and every local bus a light point or actuator of the
// project uses.
QList<int> ProjectBuses(const QList<FunctionEntry>& rows);
// The general status requests of light points and actuators on those buses.
QList<QByteArray> DiscoveryRequests(const QList<int>& buses);
TDiscoveryResult CompareWithProject(const QList<FunctionEntry>& rows, const QList<TBusDevice>& devices);

// Sends the status requests over one command session and collects the light points and
// actuators that answer, each once. A request the server refuses counts as one nobody answered.
class TBusDiscovery : public QObject
{
    Q_OBJECT

public:
    explicit TBusDiscovery(QObject* parent = nullptr);
    ~TBusDiscovery() override;

    void start(const TBusServer& server, const QList<QByteArray>& requests);
    void cancel();
    bool isRunning() const { return m_session != nullptr; }
    const QList<TBusDevice>& devices() const { return m_devices; }

Q_SIGNALS:
    void finished(TBusError error, const QString& detail);

private:
    void sendNext();
    void collect(const QList<QByteArray>& frames);
    void finish(TBusError error, const QString& detail);
    TOwnSession* m_session = nullptr;
    QList<QByteArray> m_requests;
    qsizetype m_next = 0;
    QList<TBusDevice> m_devices;
};
