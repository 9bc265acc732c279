#include "busdiscovery.h"

#include "openwebnetsession.h"

#include "bus/busaddress.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace {

bool isLightOrActuator(int iType)
{
    return iType == FunctionEntry::Switch || iType == FunctionEntry::Dimmer ||
           iType == FunctionEntry::Automation;
}

// What identifies a point-to-point address on the bus: the kind of device (light point or
// actuator), the bus, and room and light point as numbers, so that 1.5 and 01.05 are one
// address. Empty for any other address.
QString pointKey(int kind, int bus, AddressKind addressKind, const QString& address)
{
    const QStringList parts = address.split(u'.');
    bool bA = false;
    bool bPl = false;
    if (addressKind != AddressKind::PointToPoint || parts.size() != 2)
        return {};
    const int a = parts.at(0).toInt(&bA);
    const int pl = parts.at(1).toInt(&bPl);
    if (!bA || !bPl)
        return {};
    const int who = kind == FunctionEntry::Automation ? 2 : 1;
    return u"%1/%2/%3.%4"_s.arg(who).arg(bus).arg(a).arg(pl);
}

} // namespace

QList<int> ProjectBuses(const QList<FunctionEntry>& rows)
{
    QList<int> buses{0};
    for (const FunctionEntry& row : rows) {
        if (isLightOrActuator(row.kind) && !buses.contains(row.bus))
            buses << row.bus;
    }
    std::sort(buses.begin(), buses.end());
    return buses;
}

QList<QByteArray> DiscoveryRequests(const QList<int>& buses)
{
    QList<QByteArray> requests;
    for (const char* who : {"1", "2"}) {
        for (const int bus : buses) {
            const QByteArray suffix = bus > 0 ? QByteArray("#4#0") + QByteArray::number(bus) : QByteArray();
            requests << QByteArray("*#") + who + "*0" + suffix + "##";
        }
    }
    return requests;
}

DiscoveryResult CompareWithProject(const QList<FunctionEntry>& rows, const QList<BusDevice>& devices)
{
    QHash<QString, int> rowOfKey;
    for (int row = 0; row < rows.size(); ++row) {
        const FunctionEntry& v = rows.at(row);
        if (!isLightOrActuator(v.kind))
            continue;
        const BusAddress::Form stored = BusAddress::storedForm(v.address, v.kind);
        const QString key = pointKey(v.kind, v.bus, stored.kind, stored.text);
        if (!key.isEmpty() && !rowOfKey.contains(key))
            rowOfKey.insert(key, row);
    }
    DiscoveryResult result;
    QSet<int> answered;
    for (const BusDevice& device : devices) {
        const int row =
            rowOfKey.value(pointKey(device.kind, device.bus, device.addressKind, device.address), -1);
        result.found << FoundDevice{device, row};
        answered.insert(row);
    }
    for (const int row : rowOfKey) {
        if (!answered.contains(row))
            result.silentRows << row;
    }
    std::sort(result.silentRows.begin(), result.silentRows.end());
    return result;
}

BusDiscovery::BusDiscovery(QObject* parent) : QObject(parent) {}

BusDiscovery::~BusDiscovery() = default;

void BusDiscovery::start(const BusServer& server, const QList<QByteArray>& requests)
{
    cancel();
    m_requests = requests;
    m_next = 0;
    m_devices.clear();
    m_session = new OwnSession(OwnSession::Kind::Command, this);
    connect(m_session, &OwnSession::opened, this, &BusDiscovery::sendNext);
    connect(m_session, &OwnSession::answered, this, [this](const QList<QByteArray>& frames) {
        collect(frames);
        sendNext();
    });
    connect(m_session, &OwnSession::refused, this, &BusDiscovery::sendNext);
    connect(m_session, &OwnSession::failed, this, &BusDiscovery::finish);
    m_session->open(server);
}

void BusDiscovery::cancel()
{
    if (m_session)
        finish(BusError::Cancelled, {});
}

void BusDiscovery::sendNext()
{
    if (m_next >= m_requests.size())
        return finish(BusError::None, {});
    m_session->send(m_requests.at(m_next++));
}

void BusDiscovery::collect(const QList<QByteArray>& frames)
{
    for (const QByteArray& frame : frames) {
        const auto device = DeviceOfFrame(frame);
        if (!device || device->problem || !isLightOrActuator(device->kind))
            continue;
        const bool bKnown = std::any_of(m_devices.cbegin(), m_devices.cend(), [&](const BusDevice& d) {
            return d.bus == device->bus && d.address == device->address &&
                   (d.kind == FunctionEntry::Automation) == (device->kind == FunctionEntry::Automation);
        });
        if (!bKnown)
            m_devices << *device;
    }
}

void BusDiscovery::finish(BusError error, const QString& detail)
{
    OwnSession::Discard(m_session, this);
    emit finished(error, detail);
}
