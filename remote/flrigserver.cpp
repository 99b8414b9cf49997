#include "remote/flrigserver.h"

#include <QLoggingCategory>
#include <QTcpSocket>

#include "remote/flrigconnection.h"
#include "remote/flriglistener.h"
#include "remote/peername.h"

Q_DECLARE_LOGGING_CATEGORY(lcRemote)

CFlrigServer::CFlrigServer(CRigSeam& rig, CTransmitHolder* holder, QObject* parent)
    : CStationServer(parent),
      m_rig(rig),
      m_holder(holder),
      m_guard(rig),
      m_listener(new CFlrigListener([this](QTcpSocket* socket) { return Admit(socket); }, this)),
      m_refusals([this](const QString& event, const QString& address, const QString& why) {
          qCWarning(lcRemote).noquote() << QStringLiteral("flrig: %1 from %2%3; its connection was closed unread")
                                               .arg(event, address, why.isEmpty() ? QString() : QStringLiteral(": ") + why);
          emit Access(event, address);
      })
{
    m_guard.SetHolder(holder);
}

CFlrigServer::~CFlrigServer() { Close(); }

bool CFlrigServer::Listen(const QHostAddress& address, quint16 port)
{
    Close();
    return m_listener->listen(address, port);
}

void CFlrigServer::Close()
{
    m_listener->close();
    const QList<CFlrigConnection*> connections = std::exchange(m_connections, {});
    for (CFlrigConnection* connection : connections) {
        connection->disconnect(this);
        connection->Drop();
        delete connection;
    }
    m_guard.Release();
    if (!connections.isEmpty())
        emit ClientsChanged(0);
}

bool CFlrigServer::IsListening() const { return m_listener->isListening(); }
QAbstractSocket::SocketError CFlrigServer::Error() const { return m_listener->serverError(); }
QString CFlrigServer::ErrorString() const { return m_listener->errorString(); }
quint16 CFlrigServer::Port() const { return m_listener->serverPort(); }

int CFlrigServer::ClientCount() const
{
    return int(std::count_if(m_connections.begin(), m_connections.end(),
                             [](const CFlrigConnection* connection) { return !connection->Refused(); }));
}

// One beyond the limit is let in to be told so in a fault, as many as the
// limit again at most; past those, closed unread.
bool CFlrigServer::Admit(QTcpSocket* socket)
{
    const int served = ClientCount();
    const bool full = served >= kMaxClients && !MakeRoom();
    if (full && m_connections.size() - served >= kMaxClients) {
        emit Access(QStringLiteral("turned away"), PeerName(*socket));
        return false;
    }
    if (full)
        qCWarning(lcRemote) << "an flrig client beyond the" << kMaxClients << "served is refused";
    auto* connection = new CFlrigConnection(socket, m_rig, m_holder, full, this);
    connect(connection, &CFlrigConnection::KeyRequested, this, [this](CFlrigConnection* keyer) { m_guard.Keyed(keyer); });
    connect(connection, &CFlrigConnection::UnkeyRequested, &m_guard, &CTransmitGuard::Unkeyed);
    connect(connection, &CFlrigConnection::Finished, this, &CFlrigServer::OnConnectionFinished);
    connect(connection, &CFlrigConnection::WebPageRefused, this, [this](const QString& address, const QString& sign) {
        m_refusals.Note(QStringLiteral("refused: a web page's request"), address, sign);
    });
    m_connections.append(connection);
    emit Access(full ? QStringLiteral("turned away") : QStringLiteral("connected"), connection->Peer());
    if (!full)
        emit ClientsChanged(ClientCount());
    return true;
}

// The connection silent longest goes, never the one holding the key.
bool CFlrigServer::MakeRoom()
{
    QList<CFlrigConnection*> served;
    for (CFlrigConnection* connection : std::as_const(m_connections))
        if (!connection->Refused())
            served << connection;
    CFlrigConnection* silent = m_idle.Longest(served, m_guard.Keyer());
    if (!silent)
        return false;
    qCWarning(lcRemote).noquote() << QStringLiteral("an flrig client silent for %1 s gave its slot to a newcomer")
                                         .arg(silent->SilentMs() / 1000);
    emit Access(QStringLiteral("slot taken back"), silent->Peer());
    Forget(silent);
    return true;
}

void CFlrigServer::OnConnectionFinished(CFlrigConnection* connection)
{
    if (!m_connections.removeOne(connection))
        return;
    m_guard.ClientGone(connection);
    if (!connection->Refused())
        emit Access(QStringLiteral("went away"), connection->Peer());
    connection->deleteLater();
    emit ClientsChanged(ClientCount());
}

void CFlrigServer::Forget(CFlrigConnection* connection)
{
    m_connections.removeOne(connection);
    connection->disconnect(this);
    connection->Drop();
    connection->deleteLater();
}
