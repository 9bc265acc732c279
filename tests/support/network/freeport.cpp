#include "freeport.h"

#include <QTcpServer>

quint16 FreeLoopbackPort()
{
    QTcpServer server;
    return server.listen(QHostAddress::LocalHost) ? server.serverPort() : 0;
}

bool StartOnFreePort(const std::function<bool(quint16 port)>& start, int attempts)
{
    for (int attempt = 0; attempt < attempts; ++attempt) {
        const quint16 port = FreeLoopbackPort();
        if (port != 0 && start(port))
            return true;
    }
    return false;
}
