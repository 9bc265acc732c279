#include "buslearn.h"

#include "openwebnetsession.h"

BusLearn::BusLearn(QObject* parent) : QObject(parent)
{
    m_limit.setSingleShot(true);
    connect(&m_limit, &QTimer::timeout, this, [this] {
        stop();
        emit timedOut();
    });
}

BusLearn::~BusLearn() = default;

void BusLearn::start(const BusServer& server, int iType, int limitMs)
{
    stop();
    m_iType = iType;
    m_session = new OwnSession(OwnSession::Kind::Event, this);
    connect(m_session, &OwnSession::opened, this, &BusLearn::listening);
    connect(m_session, &OwnSession::eventFrame, this, &BusLearn::onFrame);
    connect(m_session, &OwnSession::failed, this, [this](BusError error, const QString& detail) {
        stop();
        emit failed(error, detail);
    });
    m_limit.start(limitMs);
    m_session->open(server);
}

void BusLearn::cancel()
{
    if (!m_session)
        return;
    stop();
    emit failed(BusError::Cancelled, {});
}

void BusLearn::onFrame(const QByteArray& frame)
{
    const auto device = DeviceOfFrame(frame);
    if (!device)
        return;
    if (m_iType != anyKind && !DeviceFitsKind(*device, m_iType)) {
        emit unfit(frame);
        return;
    }
    if (device->problem) {
        emit unusable(frame, *device->problem);
        return;
    }
    stop();
    emit learned(*device);
}

void BusLearn::stop()
{
    m_limit.stop();
    OwnSession::Discard(m_session, this);
}
