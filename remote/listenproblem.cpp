#include "remote/listenproblem.h"

QString ListenProblem(QAbstractSocket::SocketError error, const QString& endpoint, const QString& address,
                      const QString& errorString)
{
    switch (error) {
    case QAbstractSocket::AddressInUseError:
        return QStringLiteral("%1 is in use").arg(endpoint);
    case QAbstractSocket::SocketAddressNotAvailableError:
        return QStringLiteral("%1 is not an address of this computer").arg(address);
    case QAbstractSocket::SocketAccessError:
        return QStringLiteral("no permission to listen on %1").arg(endpoint);
    default:
        return QStringLiteral("%1: %2").arg(endpoint, errorString);
    }
}
