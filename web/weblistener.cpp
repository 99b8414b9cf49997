#include "web/weblistener.h"

#include <QSslSocket>

#include "web/weblog.h"

namespace {

// A connection refused or past its deadline is given this long to take its
// answer before it is cut.
constexpr int kClosingMs = 2000;
constexpr int kSweepMs = 1000;
constexpr int kTellEveryMs = 10000;
// Well above the largest request taken; when it is full the connection is
// read no further until the server has taken what it holds.
constexpr qint64 kReadBufferBytes = 64 * 1024;

// An IPv6 site has a /64 of addresses: limits hold for the whole of it.
QString AddressKey(const QHostAddress& address)
{
    bool mapped = false;
    address.toIPv4Address(&mapped);
    if (address.protocol() != QAbstractSocket::IPv6Protocol || mapped)
        return address.toString();
    Q_IPV6ADDR bytes = address.toIPv6Address();
    std::fill(std::begin(bytes.c) + 8, std::end(bytes.c), quint8(0));
    return QHostAddress(bytes).toString() + QStringLiteral("/64");
}

} // namespace

struct CWebListener::Connection {
    enum class Stage { Handshake, Http, Page, Closing };

    QPointer<QSslSocket> socket;
    QString address;
    Stage stage = Stage::Handshake;
    CRequestGate gate;
    QElapsedTimer quiet;    // since its last bytes, or since it came
    QElapsedTimer request;  // since the request under way began
    QElapsedTimer closing;
};

CWebListener::CWebListener(const QSslConfiguration& tls, QObject* reader, QObject* parent)
    : QTcpServer(parent), m_tls(tls), m_reader(reader)
{
    connect(&m_sweep, &QTimer::timeout, this, &CWebListener::Sweep);
    m_sweep.start(kSweepMs);
}

// Its sockets must not call back into it as they go.
CWebListener::~CWebListener()
{
    for (const auto& connection : m_connections)
        if (connection->socket)
            connection->socket->disconnect(this);
}

void CWebListener::SetDeadlines(int handshakeMs, int requestMs, int quietMs)
{
    m_handshakeMs = handshakeMs;
    m_requestMs = requestMs;
    m_quietMs = quietMs;
    m_sweep.setInterval(std::min({handshakeMs, requestMs, quietMs, kSweepMs}) / 4);
}

void CWebListener::incomingConnection(qintptr descriptor)
{
    auto* socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    auto connection = std::make_unique<Connection>();
    connection->socket = socket;
    connection->address = AddressKey(socket->peerAddress());
    connection->quiet.start();
    if (!MakeRoomFor(connection->address)) {
        ++m_refused;
        socket->abort();
        socket->deleteLater();
        return;
    }
    Connection* raw = connection.get();
    m_connections.push_back(std::move(connection));
    socket->setSslConfiguration(m_tls);
    socket->setReadBufferSize(kReadBufferBytes);
    // Connected before the HTTP server's own reading, so each chunk is
    // looked at before the server takes it.
    connect(socket, &QIODevice::readyRead, this, [this, raw] { OnBytes(*raw); });
    connect(socket, &QSslSocket::encrypted, this, [this, raw] { OnEncrypted(*raw); });
    // Until its handshake is done nobody else knows of it.
    connect(socket, &QAbstractSocket::disconnected, this, [raw] {
        if (raw->stage == Connection::Stage::Handshake)
            raw->socket->deleteLater();
    });
    socket->startServerEncryption();
}

// The connection quiet longest makes room: one being closed first, never a
// live page.
bool CWebListener::MakeRoomFor(const QString& address)
{
    Forget();
    const bool forAddress = std::count_if(m_connections.begin(), m_connections.end(), [&address](const auto& c) {
                                return c->address == address;
                            }) >= kMostPerAddress;
    if (!forAddress && int(m_connections.size()) < kMostConnections)
        return true;
    Connection* quietest = nullptr;
    auto quietness = [](const Connection& c) {
        return c.stage == Connection::Stage::Closing ? std::numeric_limits<qint64>::max() : c.quiet.elapsed();
    };
    for (const auto& c : m_connections) {
        if (c->stage == Connection::Stage::Page || (forAddress && c->address != address))
            continue;
        if (!quietest || quietness(*c) > quietness(*quietest))
            quietest = c.get();
    }
    if (!quietest)
        return false;
    ++m_madeRoom;
    Close(*quietest);
    Forget();
    return true;
}

void CWebListener::Close(Connection& connection)
{
    if (connection.socket)
        connection.socket->abort();
}

void CWebListener::OnEncrypted(Connection& connection)
{
    connection.stage = Connection::Stage::Http;
    connection.quiet.start();
    addPendingConnection(connection.socket);
}

void CWebListener::OnBytes(Connection& connection)
{
    if (connection.stage != Connection::Stage::Http || !connection.socket)
        return;
    connection.quiet.start();
    const bool wasInRequest = connection.gate.InRequest();
    if (const auto refusal = connection.gate.Take(connection.socket->peek(connection.socket->bytesAvailable())))
        return Refuse(connection, *refusal);
    if (!connection.gate.InRequest())
        connection.request.invalidate();
    else if (!wasInRequest)
        connection.request.start();
}

// Answered here, and the HTTP server is told nothing more of it.
void CWebListener::Refuse(Connection& connection, const CRequestGate::Refusal& refusal)
{
    ++m_refused;
    connection.stage = Connection::Stage::Closing;
    connection.closing.start();
    QSslSocket* socket = connection.socket;
    if (m_reader)
        QObject::disconnect(socket, nullptr, m_reader, nullptr);
    socket->write(RefusalReply(refusal.status, refusal.reason, refusal.text));
    socket->disconnectFromHost();
}

void CWebListener::BecamePage(const QHostAddress& address, quint16 port)
{
    for (const auto& connection : m_connections) {
        if (connection->socket && connection->socket->peerPort() == port
            && connection->socket->peerAddress() == address)
            connection->stage = Connection::Stage::Page;
    }
}

void CWebListener::Sweep()
{
    using Stage = Connection::Stage;
    for (const auto& connection : m_connections) {
        Connection& c = *connection;
        if (!c.socket)
            continue;
        if (c.stage == Stage::Handshake && c.quiet.elapsed() > m_handshakeMs) {
            ++m_overdue;
            Close(c);
        } else if (c.stage == Stage::Http && c.request.isValid() && c.request.elapsed() > m_requestMs) {
            ++m_overdue;
            Refuse(c, {408, "Request Timeout", "The request took too long to arrive."});
        } else if (c.stage == Stage::Http && !c.request.isValid() && c.quiet.elapsed() > m_quietMs) {
            Close(c);
        } else if (c.stage == Stage::Closing && c.closing.elapsed() > kClosingMs) {
            Close(c);
        }
    }
    Forget();
    TellCounts();
}

// Gone, or closed and soon gone: no longer counted.
void CWebListener::Forget()
{
    auto gone = [this](const std::unique_ptr<Connection>& connection) {
        QSslSocket* socket = connection->socket;
        if (socket && socket->state() != QAbstractSocket::UnconnectedState)
            return false;
        if (socket)
            socket->disconnect(this);
        return true;
    };
    m_connections.erase(std::remove_if(m_connections.begin(), m_connections.end(), gone), m_connections.end());
}

// A flood of connections makes a few lines in the log, not one each.
void CWebListener::TellCounts()
{
    if (m_madeRoom + m_overdue + m_refused == 0 || (m_sinceTold.isValid() && m_sinceTold.elapsed() < kTellEveryMs))
        return;
    m_sinceTold.start();
    qCWarning(lcWeb).noquote() << QStringLiteral("connections: %1 quiet ones closed to make room, %2 past a deadline, "
                                                 "%3 refused or their requests refused; %4 open")
                                      .arg(m_madeRoom)
                                      .arg(m_overdue)
                                      .arg(m_refused)
                                      .arg(m_connections.size());
    m_madeRoom = m_overdue = m_refused = 0;
}
