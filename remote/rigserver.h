#pragma once
// The rig-control server: a TCP listener on the user-interface thread, one
// small object per client, at most 16 of them (the one silent longest makes
// room for a newcomer), and the guard that unkeys a transmitter the network
// left keyed.
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <chrono>

#include "remote/idleclients.h"
#include "remote/stationserver.h"
#include "remote/transmitguard.h"

class CRigClient;
class CRigSeam;
class CTransmitHolder;

class CRigServer : public CStationServer {
    Q_OBJECT
public:
    static constexpr int kMaxClients = 16;

    // `holder` may be none, where nothing else keys (a test).
    explicit CRigServer(CRigSeam& rig, CTransmitHolder* holder = nullptr, QObject* parent = nullptr);
    ~CRigServer() override;

    bool Listen(const QHostAddress& address, quint16 port) override;
    void Close() override;

    bool IsListening() const override { return m_server.isListening(); }
    QAbstractSocket::SocketError Error() const override { return m_server.serverError(); }
    QString ErrorString() const override { return m_server.errorString(); }
    quint16 Port() const override { return m_server.serverPort(); }
    int ClientCount() const override { return int(m_clients.size()); }
    CTransmitGuard& Guard() override { return m_guard; }
    CIdleClients& IdleClients() { return m_idle; }

private:
    void OnNewConnection();
    void Adopt(QTcpSocket* socket);
    bool MakeRoom();
    void OnClientFinished(CRigClient* client);

    CRigSeam& m_rig;
    CTransmitHolder* m_holder;
    QTcpServer m_server;
    CTransmitGuard m_guard;
    CIdleClients m_idle;
    QList<CRigClient*> m_clients;
};
