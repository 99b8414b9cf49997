#include "remote/flrighttp.h"

#include <QTcpSocket>

void CFlrigListener::incomingConnection(qintptr descriptor)
{
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    if (m_admit(socket)) {
        addPendingConnection(socket);
        return;
    }
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->disconnectFromHost();
}

bool CFlrigHttp::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket)
{
    m_handler(request, makeResponder(request, socket));
    return true;
}
