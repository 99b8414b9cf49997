#include "remote/rigserver.h"

#include <QLoggingCategory>
#include <QTcpSocket>

#include "remote/peername.h"
#include "remote/rigclient.h"

Q_LOGGING_CATEGORY(lcRemote, "tavrin.remote", QtWarningMsg)

CRigServer::CRigServer(CRigSeam& rig, CTransmitHolder* holder, QObject* parent)
    : CStationServer(parent), m_rig(rig), m_holder(holder), m_guard(rig)
{
    m_guard.SetHolder(holder);
    connect(&m_server, &QTcpServer::newConnection, this, &CRigServer::OnNewConnection);
}

CRigServer::~CRigServer() { Close(); }

bool CRigServer::Listen(const QHostAddress& address, quint16 port)
{
    Close();
    return m_server.listen(address, port);
}

void CRigServer::Close()
{
    m_server.close();
    const QList<CRigClient*> clients = std::exchange(m_clients, {});
    for (CRigClient* client : clients) {
        client->disconnect(this);
        delete client;
    }
    m_guard.Release();
    if (!clients.isEmpty())
        emit ClientsChanged(0);
}

void CRigServer::OnNewConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection())
        Adopt(socket);
    emit ClientsChanged(ClientCount());
}

void CRigServer::Adopt(QTcpSocket* socket)
{
    if (m_clients.size() >= kMaxClients && !MakeRoom()) {
        qCWarning(lcRemote) << "a client beyond the" << kMaxClients << "served was turned away";
        emit Access(QStringLiteral("turned away"), PeerName(*socket));
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        socket->disconnectFromHost();
        return;
    }
    auto* client = new CRigClient(socket, m_rig, m_holder, this);
    connect(client, &CRigClient::KeyRequested, this, [this](CRigClient* keyer) { m_guard.Keyed(keyer); });
    connect(client, &CRigClient::UnkeyRequested, &m_guard, &CTransmitGuard::Unkeyed);
    connect(client, &CRigClient::Finished, this, &CRigServer::OnClientFinished);
    m_clients.append(client);
    qCInfo(lcRemote) << "client from" << socket->peerAddress().toString() << "connected";
    emit Access(QStringLiteral("connected"), client->Peer());
}

// The client silent longest goes, never the one holding the key.
bool CRigServer::MakeRoom()
{
    CRigClient* silent = m_idle.Longest(m_clients, m_guard.Keyer());
    if (!silent)
        return false;
    qCWarning(lcRemote).noquote() << QStringLiteral("a client silent for %1 s gave its slot to a newcomer")
                                         .arg(silent->SilentMs() / 1000);
    m_clients.removeOne(silent);
    emit Access(QStringLiteral("slot taken back"), silent->Peer());
    silent->disconnect(this);
    delete silent;
    return true;
}

void CRigServer::OnClientFinished(CRigClient* client)
{
    if (!m_clients.removeOne(client))
        return;
    m_guard.ClientGone(client);
    emit Access(QStringLiteral("went away"), client->Peer());
    client->deleteLater();
    emit ClientsChanged(ClientCount());
}
