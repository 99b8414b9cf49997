#include "remote/rigclient.h"

#include <QLoggingCategory>
#include <QTcpSocket>

#include "remote/riglineparser.h"

Q_DECLARE_LOGGING_CATEGORY(lcRemote)

namespace {
// What one turn of the event loop takes from a client: a few thousand short
// commands at the most (a line may pack many), however fast they come.
constexpr qint64 kReadSlice = 4096;
constexpr int kWaitTickMs = 2;
// The kernel holds little of a slow reader's output, so the panel's own
// limit is what stops it.
constexpr int kSendBufferBytes = 16 * 1024;

// One radio behind every client: a run of sets it leaves unconfirmed is
// logged once, whichever clients sent them.
bool g_bUnconfirmedRun = false;

void NoteConfirmation(bool confirmed)
{
    if (confirmed == !g_bUnconfirmedRun)
        return;
    g_bUnconfirmedRun = !confirmed;
    if (confirmed)
        qCInfo(lcRemote) << "the radio confirms sets again";
    else
        qCWarning(lcRemote) << "the radio did not confirm a set within" << CRigClient::kReportWaitMs
                            << "ms; answered timed out";
}

} // namespace

CRigClient::CRigClient(QTcpSocket* socket, CRigSeam& rig, QObject* parent)
    : QObject(parent), m_socket(socket), m_rig(rig)
{
    m_sinceLine.start();
    m_socket->setParent(this);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, kSendBufferBytes);
    m_socket->setReadBufferSize(4 * kReadSlice);
    m_waitTick.setInterval(kWaitTickMs);
    connect(&m_waitTick, &QTimer::timeout, this, &CRigClient::OnWaitTick);
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
    } else if (ShownAlready(answer.expected)) {
        NoteConfirmation(true);
        Send(FormatRigAnswer(request, answer));
    } else {
        Hold(request, answer);
    }
}

// Only a radio that is heard reports anything at present: before its first
// report, or while it is silent, the value it last reported proves nothing.
bool CRigClient::ShownAlready(const RigExpectation& expected) const
{
    return m_rig.ReportCount() > 0 && m_rig.Link() == RigStatus::Ok && expected.MetBy(m_rig);
}

// The reply, and the commands after it, wait for a report of the radio.
void CRigClient::Hold(const RigRequest& request, const RigAnswer& answer)
{
    m_waiting = true;
    m_heldRequest = request;
    m_heldAnswer = answer;
    m_reportsAtHold = m_rig.ReportCount();
    m_waitDeadline.setRemainingTime(kReportWaitMs);
    m_waitTick.start();
}

void CRigClient::OnWaitTick()
{
    const bool confirmed = m_rig.ReportCount() != m_reportsAtHold && m_heldAnswer.expected.MetBy(m_rig);
    if (!confirmed && !m_waitDeadline.hasExpired())
        return;
    m_waitTick.stop();
    m_waiting = false;
    if (!confirmed)
        m_heldAnswer.status = m_rig.Link() == RigStatus::IoError ? RigStatus::IoError : RigStatus::TimedOut;
    NoteConfirmation(confirmed);
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
    m_waitTick.stop();
    m_socket->abort();
    OnDisconnected();
}

void CRigClient::OnDisconnected()
{
    m_closing = true;
    m_waitTick.stop();
    if (m_finished)
        return;
    m_finished = true;
    emit Finished(this);
}
