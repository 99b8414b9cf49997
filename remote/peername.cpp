#include "remote/peername.h"

#include <QTcpSocket>

QString PeerName(const QTcpSocket& socket)
{
    const QHostAddress address = socket.peerAddress();
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol ? QStringLiteral("[%1]").arg(address.toString())
                                                                             : address.toString();
    return QStringLiteral("%1:%2").arg(host).arg(socket.peerPort());
}
