#pragma once
// The flrig-compatible server: XML-RPC over HTTP, as fldigi, WSJT-X,
// JS8Call and loggers speak to flrig, on the user-interface thread beside
// the rig-control server and under its rules: at most 16 connections (the
// one silent longest makes room for a newcomer, never the one keying), the
// guard that unkeys what a client left keyed, and the station's one holder
// of the transmitter. A request a web page sent is refused unread.
#include <QList>

#include "remote/idleclients.h"
#include "remote/stationserver.h"
#include "remote/transmitguard.h"
#include "txlog/accesstally.h"

class CFlrigConnection;
class CFlrigListener;
class CRigSeam;
class CTransmitHolder;
class QTcpSocket;

class CFlrigServer : public CStationServer {
    Q_OBJECT
public:
    static constexpr int kMaxClients = 16;

    // `holder` may be none, where nothing else keys (a test).
    CFlrigServer(CRigSeam& rig, CTransmitHolder* holder, QObject* parent = nullptr);
    ~CFlrigServer() override;

    bool Listen(const QHostAddress& address, quint16 port) override;
    void Close() override;
    bool IsListening() const override;
    QAbstractSocket::SocketError Error() const override;
    QString ErrorString() const override;
    quint16 Port() const override;
    int ClientCount() const override;
    CTransmitGuard& Guard() override { return m_guard; }
    CIdleClients& IdleClients() { return m_idle; }

private:
    bool Admit(QTcpSocket* socket);
    bool MakeRoom();
    void OnConnectionFinished(CFlrigConnection* connection);
    void Forget(CFlrigConnection* connection);

    CRigSeam& m_rig;
    CTransmitHolder* m_holder;
    CTransmitGuard m_guard;
    CIdleClients m_idle;
    CFlrigListener* m_listener;
    QList<CFlrigConnection*> m_connections;
    CAccessTally m_refusals;
};
