#pragma once
// A server station programs reach the radio through, as its menu item and
// status line see it: where it listens, how many it serves, and the guard
// that unkeys what its clients left keyed.
#include <QAbstractSocket>
#include <QHostAddress>
#include <QObject>

class CTransmitGuard;

class CStationServer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool Listen(const QHostAddress& address, quint16 port) = 0;
    // Every client goes, and a key the server's clients hold is released.
    virtual void Close() = 0;
    virtual bool IsListening() const = 0;
    virtual QAbstractSocket::SocketError Error() const = 0;
    virtual QString ErrorString() const = 0;
    virtual quint16 Port() const = 0;
    virtual int ClientCount() const = 0;
    virtual CTransmitGuard& Guard() = 0;

signals:
    void ClientsChanged(int count);
    // A client "connected", "went away", was "turned away" or had its "slot
    // taken back"; `address` as "127.0.0.1:40512".
    void Access(const QString& event, const QString& address);
};
