#include "connectwait.h"

#include "link/buserror.h"
#include "model/language.h"

#include <QLabel>

ConnectWait::ConnectWait(const Language& language, QLabel* label, QObject* parent)
    : QObject(parent), m_language(language), m_label(label)
{
    m_tick.setInterval(1000);
    connect(&m_tick, &QTimer::timeout, this, [this] {
        ++m_seconds;
        show();
    });
}

void ConnectWait::start(const BusServer& server)
{
    m_server = server.host + u':' + QString::number(server.port);
    m_seconds = 0;
    m_tick.start();
    show();
}

void ConnectWait::stop()
{
    m_tick.stop();
}

void ConnectWait::show()
{
    m_label->setText(m_language.GetMsg(Msg::BusConnecting, m_server, QString::number(m_seconds)));
}
