#include "remote/flrigconnection.h"

#include <QHttpServerResponder>
#include <QLoggingCategory>
#include <QTcpSocket>

#include "remote/flrigserver.h"
#include "remote/peername.h"
#include "remote/rigseam.h"

Q_DECLARE_LOGGING_CATEGORY(lcRemote)

namespace {

// Headers come on top of a body: a request still growing past both cannot
// be one the server would take.
constexpr qint64 kMaxRequestBytes = CFlrigConnection::kMaxBody + 8 * 1024;

FlrigAnswer FaultAnswer(XmlRpcFault code, const QString& reason)
{
    FlrigAnswer answer;
    answer.fault = code;
    answer.reason = reason;
    return answer;
}

// The HTTP server answers only a request it has read to the end; one that
// will not end in bounds gets its fault from here, the same reply a
// responder writes, and the connection then closes.
QByteArray OverLimitReply()
{
    const QByteArray body = XmlRpcFaultReply(XmlRpcFault::NotACall,
                                             QStringLiteral("a request of more than %1 bytes").arg(CFlrigConnection::kMaxBody));
    return "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nConnection: close\r\nContent-Length: "
           + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

} // namespace

CFlrigConnection::CFlrigConnection(QTcpSocket* socket, CRigSeam& rig, CTransmitHolder* holder, bool refused,
                                   QObject* parent)
    : QObject(parent), m_socket(socket), m_rig(rig), m_holder(holder), m_wait(rig), m_refused(refused)
{
    m_sinceRequest.start();
    m_client.keyer.kind = Keyer::Kind::StationProgram;
    m_client.keyer.name = PeerName(*socket);
    m_client.keyer.how = QStringLiteral("flrig set_ptt");
    m_client.keyer.client = socket;
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(&m_wait, &CReportWait::Settled, this, &CFlrigConnection::OnSettled);
    // Connected before the HTTP server's own reading, so it counts each
    // chunk before the server takes it.
    connect(socket, &QTcpSocket::readyRead, this, &CFlrigConnection::OnBytesArriving);
    connect(socket, &QTcpSocket::disconnected, this, &CFlrigConnection::OnDisconnected);
}

CFlrigConnection::~CFlrigConnection() = default;

void CFlrigConnection::OnBytesArriving()
{
    if (m_closing || !m_socket)
        return;
    m_unansweredBytes += m_socket->bytesAvailable();
    if (m_unansweredBytes <= kMaxRequestBytes)
        return;
    qCWarning(lcRemote) << "an flrig client sent a request of more than" << kMaxBody << "bytes; answered and closed";
    m_closing = true;
    m_wait.Stop();
    m_queue.clear();
    m_socket->write(OverLimitReply());
    m_socket->disconnectFromHost();
}

void CFlrigConnection::Take(QHttpServerResponder&& responder, bool posted, const QByteArray& body)
{
    if (m_closing)
        return;
    m_unansweredBytes = 0;
    m_sinceRequest.start();
    Pending pending;
    pending.responder = std::make_unique<QHttpServerResponder>(std::move(responder));
    if (m_refused) {
        pending.answer = FaultAnswer(XmlRpcFault::Refused, QStringLiteral("the flrig server serves its %1 station programs already")
                                                                       .arg(CFlrigServer::kMaxClients));
    } else if (!posted) {
        pending.answer = FaultAnswer(XmlRpcFault::NotACall, QStringLiteral("an XML-RPC call is POSTed"));
    } else if (body.size() > kMaxBody) {
        pending.answer = FaultAnswer(XmlRpcFault::NotACall, QStringLiteral("a request of more than %1 bytes").arg(kMaxBody));
    } else {
        const XmlRpcRequest request = ReadXmlRpcCall(body);
        if (request.call)
            pending.call = *request.call;
        else
            pending.answer = FaultAnswer(XmlRpcFault::NotXml, request.problem);
    }
    m_queue.push_back(std::move(pending));
    if (m_queue.size() > size_t(kMaxQueued)) {
        qCWarning(lcRemote) << "an flrig client sent" << m_queue.size() << "calls without waiting for replies; disconnected";
        Drop();
        return;
    }
    Process();
}

void CFlrigConnection::Refuse(QHttpServerResponder&& responder)
{
    if (m_closing)
        return;
    m_wait.Stop();
    m_queue.clear();
    responder.write("Refused: a web page's request.", {{"Content-Type", "text/plain"}, {"Connection", "close"}},
                    QHttpServerResponder::StatusCode::Forbidden);
    m_closing = true;
    if (m_socket)
        m_socket->disconnectFromHost();
}

void CFlrigConnection::Process()
{
    while (!m_closing && !m_waiting && !m_queue.empty()) {
        Pending& head = m_queue.front();
        const FlrigAnswer answer = head.answer ? *head.answer : RunFlrigCall(head.call, m_rig, m_holder, m_client);
        if (answer.keyRequested) {
            if (*answer.keyRequested)
                emit KeyRequested(this);
            else
                emit UnkeyRequested();
        }
        if (!answer.fault && !answer.expected.IsEmpty() && !m_wait.ShownAlready(answer.expected)) {
            m_held = answer;
            m_waiting = true;
            m_wait.Start(answer.expected);
            return;
        }
        Reply(answer);
    }
}

void CFlrigConnection::OnSettled(RigStatus status)
{
    m_waiting = false;
    Reply(status == RigStatus::Ok ? m_held : FlrigUnconfirmed(status));
    Process();
}

void CFlrigConnection::Reply(const FlrigAnswer& answer)
{
    if (m_queue.empty())
        return;
    std::unique_ptr<QHttpServerResponder> responder = std::move(m_queue.front().responder);
    m_queue.pop_front();
    if (m_closing || !m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    const QByteArray body = FormatFlrigAnswer(answer);
    if (m_socket->bytesToWrite() + body.size() > kMaxUnreadOutput) {
        qCWarning(lcRemote) << "an flrig client left" << m_socket->bytesToWrite() << "bytes of replies unread; disconnected";
        Drop();
        return;
    }
    responder->write(body, {{"Content-Type", "text/xml"}}, QHttpServerResponder::StatusCode::Ok);
    if (m_refused)
        CloseAfterReply(QStringLiteral("a client beyond the served ones was answered and closed"));
}

void CFlrigConnection::CloseAfterReply(const QString& reason)
{
    qCWarning(lcRemote).noquote() << reason;
    m_closing = true;
    m_socket->disconnectFromHost();
}

void CFlrigConnection::Drop()
{
    m_closing = true;
    m_wait.Stop();
    m_queue.clear();
    if (m_socket)
        m_socket->abort();
    OnDisconnected();
}

void CFlrigConnection::OnDisconnected()
{
    m_closing = true;
    m_wait.Stop();
    m_queue.clear();
    if (m_finished)
        return;
    m_finished = true;
    emit Finished(this);
}
