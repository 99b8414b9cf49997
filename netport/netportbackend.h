#pragma once
// The radio's serial line published on the network (ser2net): raw TCP, or
// telnet with RFC 2217, either of them perhaps inside TLS. Opening goes on
// after Open() returns: name lookup, connect, TLS, the telnet options, and
// a short wait in which a far end that refuses the client says so and
// closes. Only then is the port open; until then nothing is sent. What the
// far end sends is taken a piece per turn of the event loop (see
// CFarEndInput), and what waits to go to it is bounded.
#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QSslError>
#include <QTimer>
#include <optional>

#include "link/commbackend.h"
#include "link/serialtrace.h"
#include "netport/farendinput.h"
#include "netport/negotiationnotes.h"
#include "netport/netaddress.h"
#include "netport/tlscheck.h"

class QSslSocket;
class QTcpSocket;

class NetPortBackend : public CommBackend {
    Q_OBJECT
public:
    static constexpr int kOpenTimeoutMs = 5000;
    static constexpr qint64 kMaxUnreadOutput = 64 * 1024;

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
    void ReadMoreLater();
    bool Send(const QByteArray& bytes);
    void OnTelnetEvent(const CTelnetCodec::Event& event);
    void TryFinishOpening();
    void OnSocketGone(const QString& why);
    // `refused`: the far end was reached and turned the panel away.
    void Fail(const QString& why, bool refused = false);
    QString ClosedWords() const;
    void OnBytesWritten();
    // `traced` false: an answer to a far end whose requests are only counted.
    void SendControl(const QByteArray& command, const char* what, bool traced = true);
    bool IsTelnet() const { return m_address.kind == NetAddress::Kind::Rfc2217; }

    State m_state = State::Closed;
    NetAddress m_address;
    CommSettings m_settings;
    QSslSocket* Tls() const;  // null for a plain connection
    QTcpSocket* m_socket = nullptr;  // a child: it may outlive Close() by a turn of the event loop
    CFarEndInput m_input;
    CNegotiationNotes m_notes;
    std::optional<TlsAlert> m_alert;
    bool m_readQueued = false;
    QTimer m_deadline;       // the whole opening
    QTimer m_settle;         // the wait after the far end is reached; over once it stops
    QElapsedTimer m_sinceConnect;
    bool m_drainPending = false;
    CSerialTrace m_trace;
};
