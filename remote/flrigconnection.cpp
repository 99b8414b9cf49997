#include "remote/flrigconnection.h"

#include <QLoggingCategory>
#include <QTcpSocket>

#include "remote/browserguard.h"
#include "remote/flrigserver.h"
#include "remote/peername.h"
#include "remote/rigseam.h"

Q_DECLARE_LOGGING_CATEGORY(lcRemote)

namespace {

FlrigAnswer FaultAnswer(XmlRpcFault code, const QString& reason)
{
    FlrigAnswer answer;
    answer.fault = code;
    answer.reason = reason;
    return answer;
}

QByteArray HttpReply(const QByteArray& status, const QByteArray& type, const QByteArray& body, bool keepAlive)
{
    return "HTTP/1.1 " + status + "\r\nContent-Type: " + type + (keepAlive ? "" : "\r\nConnection: close")
           + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

// A request that will not end in bounds is answered with a fault before
// the rest of it has come, and the connection then closes.
QByteArray OverLimitReply()
{
    const QByteArray body = XmlRpcFaultReply(XmlRpcFault::NotACall,
                                             QStringLiteral("a request of more than %1 bytes").arg(CFlrigConnection::kMaxBody));
    return HttpReply("200 OK", "text/xml", body, false);
}

} // namespace

CFlrigConnection::CFlrigConnection(QTcpSocket* socket, CRigSeam& rig, CTransmitHolder* holder, bool refused,
                                   QObject* parent)
    : QObject(parent), m_socket(socket), m_rig(rig), m_holder(holder), m_wait(rig), m_refused(refused)
{
    socket->setParent(this);
    m_sinceRequest.start();
    m_client.keyer.kind = Keyer::Kind::StationProgram;
    m_client.keyer.name = PeerName(*socket);
    m_client.keyer.how = QStringLiteral("flrig set_ptt");
    m_client.keyer.client = socket;
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(&m_wait, &CReportWait::Settled, this, &CFlrigConnection::OnSettled);
    connect(socket, &QTcpSocket::readyRead, this, &CFlrigConnection::OnBytesArriving);
    connect(socket, &QTcpSocket::disconnected, this, &CFlrigConnection::OnDisconnected);
}

CFlrigConnection::~CFlrigConnection() = default;

void CFlrigConnection::OnBytesArriving()
{
    if (m_closing || !m_socket)
        return;
    m_reader.Feed(m_socket->readAll());
    while (!m_closing) {
        const std::optional<FlrigRequest> request = m_reader.Next();
        if (!request)
            break;
        if (const QString sign = WebPageSign(request->headers); !sign.isEmpty())
            Refuse(sign);
        else
            Take(*request);
    }
    if (!m_closing && m_reader.Error() != CFlrigRequestReader::Problem::None)
        RefuseUnreadable();
}

void CFlrigConnection::RefuseUnreadable()
{
    if (m_reader.Error() == CFlrigRequestReader::Problem::TooLarge) {
        qCWarning(lcRemote) << "an flrig client sent a request of more than" << kMaxBody << "bytes; answered and closed";
        AnswerAndClose(OverLimitReply());
        return;
    }
    qCWarning(lcRemote) << "an flrig client sent a request that is not HTTP as station programs send it; closed";
    AnswerAndClose(HttpReply("400 Bad Request", "text/plain", "Not a request this server reads.", false));
}

void CFlrigConnection::Take(const FlrigRequest& request)
{
    m_sinceRequest.start();
    Pending pending;
    pending.keepAlive = request.keepAlive;
    if (m_refused) {
        pending.answer = FaultAnswer(XmlRpcFault::Refused, QStringLiteral("the flrig server serves its %1 station programs already")
                                                                       .arg(CFlrigServer::kMaxClients));
    } else if (!request.posted) {
        pending.answer = FaultAnswer(XmlRpcFault::NotACall, QStringLiteral("an XML-RPC call is POSTed"));
    } else if (request.body.size() > kMaxBody) {
        pending.answer = FaultAnswer(XmlRpcFault::NotACall, QStringLiteral("a request of more than %1 bytes").arg(kMaxBody));
    } else {
        const XmlRpcRequest call = ReadXmlRpcCall(request.body);
        if (call.call)
            pending.call = *call.call;
        else
            pending.answer = FaultAnswer(XmlRpcFault::NotXml, call.problem);
    }
    m_queue.push_back(std::move(pending));
    if (m_queue.size() > size_t(kMaxQueued)) {
        qCWarning(lcRemote) << "an flrig client sent" << m_queue.size() << "calls without waiting for replies; disconnected";
        Drop();
        return;
    }
    Process();
}

void CFlrigConnection::Refuse(const QString& sign)
{
    emit WebPageRefused(m_socket->peerAddress().toString(), sign);
    AnswerAndClose(HttpReply("403 Forbidden", "text/plain", "Refused: a web page's request.", false));
}

// Nothing queued is answered any more: the one reply goes, then the
// connection closes.
void CFlrigConnection::AnswerAndClose(const QByteArray& reply)
{
    m_closing = true;
    m_wait.Stop();
    m_queue.clear();
    if (!m_socket)
        return;
    m_socket->write(reply);
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
    const bool keepAlive = m_queue.front().keepAlive;
    m_queue.pop_front();
    if (m_closing || !m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    const QByteArray body = FormatFlrigAnswer(answer);
    if (m_socket->bytesToWrite() + body.size() > kMaxUnreadOutput) {
        qCWarning(lcRemote) << "an flrig client left" << m_socket->bytesToWrite() << "bytes of replies unread; disconnected";
        Drop();
        return;
    }
    m_socket->write(HttpReply("200 OK", "text/xml", body, keepAlive && !m_refused));
    if (m_refused)
        CloseAfterReply(QStringLiteral("a client beyond the served ones was answered and closed"));
    else if (!keepAlive)
        CloseAfterReply({});
}

void CFlrigConnection::CloseAfterReply(const QString& reason)
{
    if (!reason.isEmpty())
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
