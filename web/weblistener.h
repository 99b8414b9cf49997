#pragma once
// Where the web panel's connections come in. Each gets a deadline for its
// TLS handshake, for each request once it has begun, and for the quiet
// between requests; a request too large is refused before it is read
// whole (see CRequestGate). Connections are limited in all and per
// address: a newcomer beyond either limit takes the place of the
// connection quiet longest, never of a live page. Only a connection that
// finished its handshake reaches the HTTP server.
#include <QElapsedTimer>
#include <QHostAddress>
#include <QPointer>
#include <QSslConfiguration>
#include <QTcpServer>
#include <QTimer>
#include <memory>
#include <vector>

#include "web/requestgate.h"

class QSslSocket;

class CWebListener : public QTcpServer {
    Q_OBJECT
public:
    static constexpr int kMostConnections = 256;
    static constexpr int kMostPerAddress = 64;
    static constexpr int kHandshakeMs = 10000;
    static constexpr int kRequestMs = 10000;
    static constexpr int kQuietMs = 60000;

    // `reader`: the HTTP server reading what this lets through; a refused
    // request is taken from it before it reads any more.
    CWebListener(const QSslConfiguration& tls, QObject* reader, QObject* parent = nullptr);
    ~CWebListener() override;

    // The connection of this peer became a live page: no deadline for it
    // from now on, and it never makes room for another.
    void BecamePage(const QHostAddress& address, quint16 port);
    int ConnectionCount() const { return int(m_connections.size()); }
    // For tests: shorter deadlines, looked at more often.
    void SetDeadlines(int handshakeMs, int requestMs, int quietMs);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    struct Connection;

    bool MakeRoomFor(const QString& address);
    void Close(Connection& connection);
    void OnEncrypted(Connection& connection);
    void OnBytes(Connection& connection);
    void Refuse(Connection& connection, const CRequestGate::Refusal& refusal);
    void Sweep();
    void Forget();
    void TellCounts();

    QSslConfiguration m_tls;
    int m_handshakeMs = kHandshakeMs;
    int m_requestMs = kRequestMs;
    int m_quietMs = kQuietMs;
    QPointer<QObject> m_reader;
    std::vector<std::unique_ptr<Connection>> m_connections;
    QTimer m_sweep;
    // Told in the log together, at most every few seconds.
    int m_madeRoom = 0;
    int m_overdue = 0;
    int m_refused = 0;
    QElapsedTimer m_sinceTold;
};
