#include "bustest.h"

#include "openwebnetsession.h"

using namespace Qt::StringLiterals;

BusTest::BusTest(QObject* parent) : QObject(parent)
{
    m_pause.setSingleShot(true);
    connect(&m_pause, &QTimer::timeout, this, [this] { m_session->send(m_steps.at(m_next - 1).frame); });
}

BusTest::~BusTest() = default;

void BusTest::start(const BusServer& server, const QList<BusStep>& steps)
{
    cancel();
    m_steps = steps;
    m_next = 0;
    m_sent.clear();
    m_switchedBack.clear();
    m_bCancelled = false;
    m_session = new OwnSession(OwnSession::Kind::Command, this);
    connect(m_session, &OwnSession::opened, this, &BusTest::sendNext);
    connect(m_session, &OwnSession::answered, this, [this] {
        const QByteArray& frame = m_steps.at(m_next - 1).frame;
        m_sent << QString::fromLatin1(frame);
        if (m_bCancelled)
            m_switchedBack << QString::fromLatin1(frame);
        emit acknowledged(frame);
        sendNext();
    });
    connect(m_session, &OwnSession::refused, this, [this](const QByteArray& frame) {
        finish(BusError::CommandRefused, QString::fromLatin1(frame));
    });
    connect(m_session, &OwnSession::failed, this, &BusTest::finish);
    m_session->open(server);
}

void BusTest::cancel()
{
    if (!m_session)
        return;
    if (m_pause.isActive() && !m_bCancelled) {
        m_pause.stop();
        m_bCancelled = true;
        m_session->send(m_steps.at(m_next - 1).frame);
        return;
    }
    finish(BusError::Cancelled, {});
}

void BusTest::sendNext()
{
    if (m_next >= m_steps.size()) {
        if (m_bCancelled)
            return finish(BusError::Cancelled, m_switchedBack.join(u' '));
        return finish(BusError::None, m_sent.join(u' '));
    }
    const BusStep& step = m_steps.at(m_next++);
    if (step.pauseMs > 0 && !m_bCancelled)
        m_pause.start(step.pauseMs);
    else
        m_session->send(step.frame);
}

void BusTest::finish(BusError error, const QString& detail)
{
    m_pause.stop();
    OwnSession::Discard(m_session, this);
    emit finished(error, detail);
}
