#include "remote/rigclient.h"

#include <QLoggingCategory>
#include <QTcpSocket>

#include "remote/browserguard.h"
#include "remote/peername.h"
#include "remote/riglineparser.h"

Q_DECLARE_LOGGING_CATEGORY(lcRemote)

namespace {
// What one turn of the event loop takes from a client: a few thousand short
// commands at the most (a line may pack many), however fast they come.
constexpr qint64 kReadSlice = 4096;
// The kernel holds little of a slow reader's output, so the panel's own
// limit is what stops it.
constexpr int kSendBufferBytes = 16 * 1024;

} // namespace

CRigClient::CRigClient(QTcpSocket* socket, CRigSeam& rig, CTransmitHolder* holder, QObject* parent)
    : QObject(parent), m_socket(socket), m_rig(rig), m_wait(rig)
{
    m_state.holder = holder;
    m_state.keyer = {Keyer::Kind::StationProgram, PeerName(*socket), QStringLiteral("rig-control T"), socket};
    m_sinceLine.start();
    m_socket->setParent(this);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, kSendBufferBytes);
    m_socket->setReadBufferSize(4 * kReadSlice);
    connect(&m_wait, &CReportWait::Settled, this, &CRigClient::OnSettled);
    connect(m_socket, &QTcpSocket::readyRead, this, &CRigClient::OnReadyRead);
    connect(m_socket, &QTcpSocket::disconnected, this, &CRigClient::OnDisconnected);
    ScheduleMoreInput();
}

void CRigClient::OnReadyRead()
{
    m_moreInputScheduled = false;
    if (m_closing || m_waiting)
        return;
    m_lines.Append(m_socket->read(kReadSlice));
    TakeLines();
    ScheduleMoreInput();
}

// The next slice of what is waiting, in a later turn of the event loop.
void CRigClient::ScheduleMoreInput()
{
    if (m_moreInputScheduled || m_closing || m_waiting || m_socket->bytesAvailable() == 0)
        return;
    m_moreInputScheduled = true;
    QMetaObject::invokeMethod(this, &CRigClient::OnReadyRead, Qt::QueuedConnection);
}

void CRigClient::TakeLines()
{
    while (!m_closing && !m_waiting) {
        if (!m_lineRest.isEmpty()) {
            Answer(m_lineRest.takeFirst());
            continue;
        }
        const std::optional<CRigLineBuffer::Line> line = m_lines.Next();
        if (!line)
            break;
        if (std::exchange(m_firstLine, false) && IsHttpRequestLine(line->text)) {
            qCWarning(lcRemote).noquote() << QStringLiteral("a rig-control client from %1 sent a web request (%2); "
                                                            "closed without running any of it")
                                                 .arg(Peer(), QString::fromLatin1(line->text.left(64)).trimmed());
            Drop();
            return;
        }
        if (line->tooLong)
            Send(StatusLine(RigStatus::InvalidArgument));
        else
            m_lineRest = ParseRigLine(line->text);
        // An empty line keeps no slot: only a command shows a client in use.
        if (!m_lineRest.isEmpty())
            m_sinceLine.start();
    }
    if (!m_closing && m_socket->bytesToWrite() > 0)
        m_socket->flush();
}

void CRigClient::Answer(const RigRequest& request)
{
    const RigAnswer answer = RunRigCommand(request, m_rig, m_state);
    if (answer.keyRequested) {
        if (*answer.keyRequested)
            emit KeyRequested(this);
        else
            emit UnkeyRequested();
    }
    if (answer.quit) {
        Send(FormatRigAnswer(request, answer));
        m_closing = true;
        m_socket->disconnectFromHost();
        return;
    }
    if (answer.status != RigStatus::Ok || answer.expected.IsEmpty()) {
        Send(FormatRigAnswer(request, answer));
    } else if (m_wait.ShownAlready(answer.expected)) {
        Send(FormatRigAnswer(request, answer));
    } else {
        Hold(request, answer);
    }
}

// The reply, and the commands after it, wait for a report of the radio.
void CRigClient::Hold(const RigRequest& request, const RigAnswer& answer)
{
    m_waiting = true;
    m_heldRequest = request;
    m_heldAnswer = answer;
    m_wait.Start(answer.expected);
}

void CRigClient::OnSettled(RigStatus status)
{
    m_waiting = false;
    m_heldAnswer.status = status;
    Send(FormatRigAnswer(m_heldRequest, m_heldAnswer));
    TakeLines();
    ScheduleMoreInput();
}

void CRigClient::Send(const QByteArray& reply)
{
    if (m_closing)
        return;
    if (m_socket->bytesToWrite() + reply.size() > kMaxUnreadOutput) {
        qCWarning(lcRemote) << "a client left" << m_socket->bytesToWrite() << "bytes of replies unread; disconnected";
        Drop();
        return;
    }
    m_socket->write(reply);
}

void CRigClient::Drop()
{
    m_closing = true;
    m_wait.Stop();
    m_socket->abort();
    OnDisconnected();
}

void CRigClient::OnDisconnected()
{
    m_closing = true;
    m_wait.Stop();
    if (m_finished)
        return;
    m_finished = true;
    emit Finished(this);
}
