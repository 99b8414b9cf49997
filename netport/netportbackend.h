#pragma once
// The radio's serial line published on the network (ser2net): raw TCP, or
// telnet with RFC 2217, either of them perhaps inside TLS. Opening goes on
// after Open() returns: name lookup, connect, TLS, the telnet options, and
// a short wait in which a far end that refuses the client says so and
// closes. Only then is the port open; until then nothing is sent.
#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QSslError>
#include <QTimer>

#include "link/commbackend.h"
#include "link/serialtrace.h"
#include "netport/netaddress.h"
#include "netport/telnetcodec.h"

class QSslSocket;
class QTcpSocket;

class NetPortBackend : public CommBackend {
    Q_OBJECT
public:
    static constexpr int kOpenTimeoutMs = 5000;

    NetPortBackend();
    ~NetPortBackend() override;

    QString Open(const QString& device, const CommSettings& settings) override;
    void Close() override;
    bool IsOpen() const override { return m_state == State::Open; }
    bool IsOpening() const override { return m_state == State::Connecting || m_state == State::Settling; }
    QString Apply(const CommSettings& settings) override;
    QString SetDtr(bool on) override;
    QString SetRts(bool on) override;
    QString Write(const QByteArray& bytes) override;
    QByteArray ReadAll() override;

private:
    enum class State { Closed, Connecting, Settling, Open };

    void Connect();
    void OnReached();
    void OnSslErrors(const QList<QSslError>& errors);
    void OnEncrypted();
    void OnReadyRead();
    void OnTelnetEvent(const CTelnetCodec::Event& event);
    void TryFinishOpening();
    void OnSocketGone(const QString& why);
    void Fail(const QString& why);
    QString ClosedWords() const;
    void OnBytesWritten();
    void SendControl(const QByteArray& command, const char* what);
    bool IsTelnet() const { return m_address.kind == NetAddress::Kind::Rfc2217; }

    State m_state = State::Closed;
    NetAddress m_address;
    CommSettings m_settings;
    QSslSocket* Tls() const;  // null for a plain connection
    QTcpSocket* m_socket = nullptr;  // a child: it may outlive Close() by a turn of the event loop
    CTelnetCodec m_telnet;
    QByteArray m_received;   // serial data not yet taken by ReadAll
    QTimer m_deadline;       // the whole opening
    QTimer m_settle;         // the wait after the far end is reached; over once it stops
    QElapsedTimer m_sinceConnect;
    bool m_drainPending = false;
    CSerialTrace m_trace;
};
