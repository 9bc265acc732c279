#include "bustest.h"

#include "openwebnetsession.h"

using namespace Qt::StringLiterals;

TBusTest::TBusTest(QObject* parent) : QObject(parent)
{
    m_pause.setSingleShot(true);
    connect(&m_pause, &QTimer::timeout, this, [this] { m_session->send(m_steps.at(m_next - 1).frame); });
}

TBusTest::~TBusTest() = default;

void TBusTest::start(const TBusServer& server, const QList<TBusStep>& steps)
{
    cancel();
    m_steps = steps;
    m_next = 0;
    m_sent.clear();
    m_switchedBack.clear();
    m_bCancelled = false;
    m_session = new TOwnSession(TOwnSession::Kind::Command, this);
    connect(m_session, &TOwnSession::opened, this, &TBusTest::sendNext);
    connect(m_session, &TOwnSession::answered, this, [this] {
        const QByteArray& frame = m_steps.at(m_next - 1).frame;
        m_sent << QString::fromLatin1(frame);
        if (m_bCancelled)
            m_switchedBack << QString::fromLatin1(frame);
        emit acknowledged(frame);
        sendNext();
    });
    connect(m_session, &TOwnSession::refused, this, [this](const QByteArray& frame) {
        finish(TBusError::CommandRefused, QString::fromLatin1(frame));
    });
    connect(m_session, &TOwnSession::failed, this, &TBusTest::finish);
    m_session->open(server);
}

void TBusTest::cancel()
{
    if (!m_session)
        return;
    if (m_pause.isActive() && !m_bCancelled) {
        m_pause.stop();
        m_bCancelled = true;
        m_session->send(m_steps.at(m_next - 1).frame);
        return;
    }
    finish(TBusError::Cancelled, {});
}

void TBusTest::sendNext()
{
    if (m_next >= m_steps.size()) {
        if (m_bCancelled)
            return finish(TBusError::Cancelled, m_switchedBack.join(u' '));
        return finish(TBusError::None, m_sent.join(u' '));
    }
    const TBusStep& step = m_steps.at(m_next++);
    if (step.pauseMs > 0 && !m_bCancelled)
        m_pause.start(step.pauseMs);
    else
        m_session->send(step.frame);
}

void TBusTest::finish(TBusError error, const QString& detail)
{
    m_pause.stop();
    TOwnSession::Discard(m_session, this);
    emit finished(error, detail);
}
