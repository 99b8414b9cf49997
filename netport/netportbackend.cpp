#include "netport/netportbackend.h"

#include <QDeadlineTimer>
#include <QLoggingCategory>
#include <QSet>
#include <QSslSocket>
#include <algorithm>
#include <utility>

#include "netport/comportoption.h"
#include "netport/negotiationnotes.h"
#include "netport/socketoptions.h"
#include "netport/tlscheck.h"

Q_LOGGING_CATEGORY(lcNetPort, "tavrin.netport", QtInfoMsg)

namespace {

// A far end that turns a client away (ser2net: "Port's device already in
// use") says so at once and closes. The wait for that is twice the time the
// connection took, within these bounds, so a slow link gets a longer one.
constexpr int kSettleMinMs = 150;
constexpr int kSettleMaxMs = 1000;
constexpr qsizetype kLongestFarText = 160;
constexpr int kGentleCloseMs = 250;
// What Qt may take from the kernel ahead of the panel: past it the socket
// stops reading and TCP holds the far end back.
constexpr qint64 kSocketReadBuffer = 16 * 1024;

// The log is read, not scrolled: a fact about an address is told once a run.
void NoteOnce(const QString& key, const QString& text)
{
    static QSet<QString> noted;
    if (noted.contains(key))
        return;
    noted.insert(key);
    qCInfo(lcNetPort).noquote() << text;
}

QString FarText(const QByteArray& bytes)
{
    QString text;
    for (const char c : bytes.left(kLongestFarText))
        text += c >= 0x20 && c < 0x7f ? QChar(QLatin1Char(c)) : QChar(QLatin1Char(' '));
    return text.simplified();
}

// A far end that vanished without a word (Wi-Fi gone, the far computer
// switched off) is noticed within ten to fifteen seconds, not TCP's quarter of
// an hour; and a command goes out at once, not held back to join the next.
void TuneSocket(QAbstractSocket& socket)
{
    socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    NoticeSilentFarEndSoon(socket.socketDescriptor());
}

// ser2net leaves Nagle's algorithm on: a second small piece waits for the
// first one's acknowledgement, which the kernel would hold back for tens of
// milliseconds. Acknowledging at once keeps a report's pieces together.
void AcknowledgeAtOnce(const QAbstractSocket& socket)
{
    AcknowledgeEachArrival(socket.socketDescriptor());
}

// The last command (an unkey as the program ends) must reach the radio
// though no event loop may run again. What waits is written now and the
// connection half-closed behind it; then what the far end still sends is
// read until it closes too (or for a quarter of a second at most), because
// closing on unread bytes resets the connection, and a reset makes the far
// end drop what it has not yet passed on.
void CloseGently(QAbstractSocket& socket)
{
    socket.flush();
    HalfCloseAndDrain(socket.socketDescriptor(), kGentleCloseMs);
}

// Empty when the far end simply closed: what to say then depends on when.
QString SocketWords(const QAbstractSocket& socket, const NetAddress& address)
{
    switch (socket.error()) {
    case QAbstractSocket::RemoteHostClosedError: return QString();
    case QAbstractSocket::ConnectionRefusedError:
        return QStringLiteral("%1 refused the connection: nothing listens there").arg(address.FarEnd());
    case QAbstractSocket::HostNotFoundError: return QStringLiteral("no host named \"%1\" was found").arg(address.host);
    default: return socket.errorString();
    }
}

} // namespace

NetPortBackend::NetPortBackend()
{
    m_deadline.setSingleShot(true);
    m_deadline.setInterval(kOpenTimeoutMs);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        const bool reached = m_state != State::Connecting;
        Fail(!reached ? QStringLiteral("no answer from %1 within %2 s").arg(m_address.FarEnd()).arg(kOpenTimeoutMs / 1000)
                      : QStringLiteral("%1 did not take up the serial-port option of RFC 2217 within %2 s; "
                                       "a raw port is socket://%1").arg(m_address.FarEnd()).arg(kOpenTimeoutMs / 1000),
             reached);
    });
    m_settle.setSingleShot(true);
    connect(&m_settle, &QTimer::timeout, this, &NetPortBackend::TryFinishOpening);
}

NetPortBackend::~NetPortBackend()
{
    if (m_socket)
        m_socket->disconnect(this);
    delete m_socket;
}

QString NetPortBackend::Open(const QString& device, const CommSettings& settings)
{
    Close();
    QString problem;
    const std::optional<NetAddress> address = ParseNetAddress(device, problem);
    if (!address)
        return problem;
    m_address = *address;
    m_settings = settings;
    // A plain connection goes without the TLS layer's own buffer in between:
    // the receive path runs once per character.
    m_socket = m_address.tls ? new QSslSocket(this) : new QTcpSocket(this);
    if (m_address.tls && !PrepareTls(*Tls(), m_address, problem)) {
        Close();
        return problem;
    }
    if (!m_address.tls && !m_address.IsLoopback())
        NoteOnce(QStringLiteral("plain ") + m_address.FarEnd(),
                 QStringLiteral("%1 has no TLS: anyone who can reach %2 can key the transmitter").arg(m_address.Url(), m_address.FarEnd()));
    Connect();
    return QStringLiteral("connecting to %1").arg(m_address.FarEnd());
}

void NetPortBackend::Connect()
{
    QTcpSocket* socket = m_socket;
    connect(socket, &QTcpSocket::readyRead, this, &NetPortBackend::OnReadyRead);
    connect(socket, &QTcpSocket::bytesWritten, this, &NetPortBackend::OnBytesWritten);
    connect(socket, &QTcpSocket::errorOccurred, this, [this] { OnSocketGone(SocketWords(*m_socket, m_address)); });
    connect(socket, &QTcpSocket::disconnected, this, [this] { OnSocketGone(QString()); });
    m_state = State::Connecting;
    m_input = CFarEndInput(IsTelnet());
    m_notes = CNegotiationNotes();
    m_alert.reset();
    socket->setReadBufferSize(kSocketReadBuffer);
    m_deadline.start();
    m_sinceConnect.start();
    m_trace.Note(QStringLiteral("%1: connecting to %2").arg(m_address.Url(), m_address.FarEnd()));
    if (QSslSocket* tls = Tls()) {
        connect(tls, &QSslSocket::encrypted, this, &NetPortBackend::OnEncrypted);
        connect(tls, &QSslSocket::sslErrors, this, &NetPortBackend::OnSslErrors);
        connect(tls, &QSslSocket::alertReceived, this,
                [this](QSsl::AlertLevel level, QSsl::AlertType type, const QString& words) {
                    if (level == QSsl::AlertLevel::Fatal)
                        m_alert = {type, words};
                });
        tls->connectToHostEncrypted(m_address.host, m_address.port, m_address.host);
    } else {
        connect(socket, &QTcpSocket::connected, this, &NetPortBackend::OnReached);
        socket->connectToHost(m_address.host, m_address.port);
    }
}

QSslSocket* NetPortBackend::Tls() const { return qobject_cast<QSslSocket*>(m_socket); }

void NetPortBackend::OnSslErrors(const QList<QSslError>& errors)
{
    QString refusal;
    if (PinnedCertificateExcuses(*Tls(), m_address, errors, refusal))
        Tls()->ignoreSslErrors();
    else
        Fail(refusal, true);
}

void NetPortBackend::OnEncrypted()
{
    QString refusal;
    if (!PinHolds(*Tls(), m_address, refusal)) {
        Fail(refusal, true);
        return;
    }
    m_trace.Note(QStringLiteral("%1: %2").arg(m_address.Url(), DescribeTls(*Tls(), m_address)));
    OnReached();
}

void NetPortBackend::OnReached()
{
    TuneSocket(*m_socket);
    m_trace.Note(QStringLiteral("%1: connected to %2 port %3")
                     .arg(m_address.Url(), m_socket->peerAddress().toString()).arg(m_socket->peerPort()));
    if (IsTelnet())
        m_socket->write(m_input.Start());
    m_state = State::Settling;
    m_settle.start(std::clamp(int(2 * m_sinceConnect.elapsed()), kSettleMinMs, kSettleMaxMs));
}

void NetPortBackend::OnReadyRead()
{
    m_readQueued = false;
    const qsizetype wanted = m_input.Wanted();
    if (!m_socket || wanted == 0)
        return; // ReadAll picks up again
    const QByteArray bytes = m_socket->read(wanted);
    if (bytes.isEmpty())
        return;
    AcknowledgeAtOnce(*m_socket);
    const CFarEndInput::Taken taken = m_input.Take(bytes);
    if (!taken.reply.isEmpty() && !Send(taken.reply))
        return;
    for (const QString& line : m_notes.Add(taken.events))
        m_trace.Note(QStringLiteral("%1: %2").arg(m_address.Url(), line));
    for (const CTelnetCodec::Event& event : taken.events) {
        if (m_state == State::Closed)
            return;
        OnTelnetEvent(event);
    }
    if (m_state == State::Open && !m_input.Held().isEmpty())
        emit ReadyRead();
    ReadMoreLater();
}

// One piece a turn: the next waits for the turn after, so the panel, its
// other clients and a signal to end it are served in between.
void NetPortBackend::ReadMoreLater()
{
    if (m_readQueued || !m_socket || m_socket->bytesAvailable() == 0 || m_input.Wanted() == 0)
        return;
    m_readQueued = true;
    QMetaObject::invokeMethod(this, &NetPortBackend::OnReadyRead, Qt::QueuedConnection);
}

// A far end that sends and never reads (a stream of telnet requests whose
// answers pile up) is dropped, as the rig-control server drops a client
// that leaves its replies unread.
bool NetPortBackend::Send(const QByteArray& bytes)
{
    if (!m_socket)
        return false;
    const qint64 unread = m_socket->bytesToWrite();
    if (unread + bytes.size() <= kMaxUnreadOutput) {
        m_socket->write(bytes);
        return true;
    }
    const QString why = QStringLiteral("the far end left %1 bytes unread; disconnected").arg(unread);
    qCWarning(lcNetPort).noquote() << QStringLiteral("%1: %2").arg(m_address.Url(), why);
    Fail(why);
    return false;
}

void NetPortBackend::OnTelnetEvent(const CTelnetCodec::Event& event)
{
    using Kind = CTelnetCodec::Event::Kind;
    const QString url = m_address.Url();
    if (event.kind == Kind::ComPort || event.side != CTelnetCodec::Side::Ours || event.code != telnet::kComPort)
        return;
    if (event.kind == Kind::Agreed)
        SendControl(ComPortSettings(m_settings), "settings", m_notes.OneByOne());
    else
        NoteOnce(QStringLiteral("no com-port ") + url,
                 QStringLiteral("%1 takes no serial-port settings: the port settings and DTR and RTS stay as the far end has them").arg(url));
    TryFinishOpening();
}

void NetPortBackend::TryFinishOpening()
{
    if (m_state != State::Settling || m_settle.isActive() || (IsTelnet() && !m_input.Telnet().ComPortAnswered()))
        return;
    m_deadline.stop();
    m_state = State::Open;
    m_input.SetOpen();
    emit OpenFinished(QString());
    if (m_state == State::Open && !m_input.Held().isEmpty())
        emit ReadyRead();
    ReadMoreLater();
}

// A far end that closes as the port opens, having said why or having come
// through TLS, was reached and turned the panel away.
void NetPortBackend::OnSocketGone(const QString& why)
{
    const bool refused = why.isEmpty() && m_state == State::Settling && (Tls() || !FarText(m_input.Held()).isEmpty());
    Fail(why.isEmpty() ? ClosedWords() : why, refused);
}

// While opening, whatever the far end said before it closed is its reason.
// A TLS connection that is settling has come through TLS; what it did not
// like is the far end's alert, if it sent one.
QString NetPortBackend::ClosedWords() const
{
    const QString farText = m_state == State::Open ? QString() : FarText(m_input.Held());
    if (!farText.isEmpty())
        return farText;
    if (m_state != State::Settling || !Tls())
        return QStringLiteral("the far end closed the connection");
    return QStringLiteral("the far end closed the connection after TLS") + AlertWords(m_alert, m_address);
}

void NetPortBackend::Fail(const QString& why, bool refused)
{
    if (m_state == State::Closed)
        return;
    const bool wasOpen = m_state == State::Open;
    m_trace.Note(QStringLiteral("%1: %2").arg(m_address.Url(), why));
    for (const QString& line : m_notes.Flush())
        m_trace.Note(QStringLiteral("%1: %2").arg(m_address.Url(), line));
    Close();
    if (wasOpen)
        emit Lost(why);
    else if (refused)
        emit OpenRefused(why);
    else
        emit OpenFinished(why);
}

// The socket may be in the middle of one of its own signals: it goes once
// control is back in the event loop.
void NetPortBackend::Close()
{
    m_deadline.stop();
    m_settle.stop();
    if (m_state == State::Open)
        CloseGently(*m_socket);
    m_state = State::Closed;
    m_drainPending = false;
    m_input = CFarEndInput();
    if (!m_socket)
        return;
    m_socket->disconnect(this);
    m_socket->abort();
    std::exchange(m_socket, nullptr)->deleteLater();
}

QString NetPortBackend::Apply(const CommSettings& settings)
{
    m_settings = settings;
    SendControl(ComPortSettings(settings), "settings");
    return QString();
}

QString NetPortBackend::SetDtr(bool on)
{
    SendControl(ComPortDtr(on), on ? "DTR on" : "DTR off");
    return QString();
}

QString NetPortBackend::SetRts(bool on)
{
    SendControl(ComPortRts(on), on ? "RTS on" : "RTS off");
    return QString();
}

// Settings and lines that cannot travel are a fact of the address, told
// once, not an error of each property set.
void NetPortBackend::SendControl(const QByteArray& command, const char* what, bool traced)
{
    const QString url = m_address.Url();
    if (!IsTelnet()) {
        NoteOnce(QStringLiteral("raw ") + url, QStringLiteral("%1 is raw TCP: the port settings and DTR and RTS "
                                                              "cannot travel, and stay as the far end has them").arg(url));
    } else if (m_socket && m_input.Telnet().Agreed(CTelnetCodec::Side::Ours, telnet::kComPort) && Send(command) && traced) {
        m_trace.Note(QStringLiteral("%1: %2 sent").arg(url, QLatin1String(what)));
    }
}

QString NetPortBackend::Write(const QByteArray& bytes)
{
    if (m_state != State::Open)
        return QStringLiteral("not connected to %1").arg(m_address.FarEnd());
    m_drainPending = true;
    if (!Send(IsTelnet() ? m_input.Telnet().Encode(bytes) : bytes))
        return QStringLiteral("the connection to %1 was dropped").arg(m_address.FarEnd());
    return QString();
}

// The panel has room again: the socket is read on in the next turn.
QByteArray NetPortBackend::ReadAll()
{
    const QByteArray data = m_input.TakeData();
    ReadMoreLater();
    return data;
}

void NetPortBackend::OnBytesWritten()
{
    if (m_drainPending && m_socket && m_socket->bytesToWrite() == 0) {
        m_drainPending = false;
        emit Drained();
    }
}
