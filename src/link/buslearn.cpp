#include "buslearn.h"

#include "openwebnetsession.h"

TBusLearn::TBusLearn(QObject* parent) : QObject(parent)
{
    m_limit.setSingleShot(true);
    connect(&m_limit, &QTimer::timeout, this, [this] {
        stop();
        emit timedOut();
    });
}

TBusLearn::~TBusLearn() = default;

void TBusLearn::start(const TBusServer& server, int iType, int limitMs)
{
    stop();
    m_iType = iType;
    m_session = new TOwnSession(TOwnSession::Kind::Event, this);
    connect(m_session, &TOwnSession::opened, this, &TBusLearn::listening);
    connect(m_session, &TOwnSession::eventFrame, this, &TBusLearn::onFrame);
    connect(m_session, &TOwnSession::failed, this, [this](TBusError error, const QString& detail) {
        stop();
        emit failed(error, detail);
    });
    m_limit.start(limitMs);
    m_session->open(server);
}

void TBusLearn::cancel()
{
    if (!m_session)
        return;
    stop();
    emit failed(TBusError::Cancelled, {});
}

void TBusLearn::onFrame(const QByteArray& frame)
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

void TBusLearn::stop()
{
    m_limit.stop();
    TOwnSession::Discard(m_session, this);
}
