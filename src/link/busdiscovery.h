#pragma once

#include "busdevice.h"
#include "buserror.h"

#include <QList>
#include <QObject>

class OwnSession;

// A device that answered a status request, and the row of the project with its address (-1 when
// the project lacks it).
struct FoundDevice
{
    BusDevice device;
    int row = -1;
};

// The devices found beside the project: found ones (in the project or not) in the order they
// answered, and the rows of light points and actuators with a point-to-point address that no
// device answered for.
struct DiscoveryResult
{
    QList<FoundDevice> found;
    QList<int> silentRows;
};

// The buses to ask: the private riser and every local bus a light point or actuator of the
// project uses.
QList<int> ProjectBuses(const QList<FunctionEntry>& rows);
// The general status requests of light points and actuators on those buses.
QList<QByteArray> DiscoveryRequests(const QList<int>& buses);
DiscoveryResult CompareWithProject(const QList<FunctionEntry>& rows, const QList<BusDevice>& devices);

// Sends the status requests over one command session and collects the light points and
// actuators that answer, each once. A request the server refuses counts as one nobody answered.
class BusDiscovery : public QObject
{
    Q_OBJECT

public:
    explicit BusDiscovery(QObject* parent = nullptr);
    ~BusDiscovery() override;

    void start(const BusServer& server, const QList<QByteArray>& requests);
    void cancel();
    bool isRunning() const { return m_session != nullptr; }
    const QList<BusDevice>& devices() const { return m_devices; }

Q_SIGNALS:
    void finished(BusError error, const QString& detail);

private:
    void sendNext();
    void collect(const QList<QByteArray>& frames);
    void finish(BusError error, const QString& detail);
    OwnSession* m_session = nullptr;
    QList<QByteArray> m_requests;
    qsizetype m_next = 0;
    QList<BusDevice> m_devices;
};
