#include "remote/rigclient.h"

#include <QLoggingCategory>
#include <QTcpSocket>

#include "remote/rigcommands.h"

Q_DECLARE_LOGGING_CATEGORY(lcRemote)

namespace {
// What one turn of the event loop takes from a client: a few hundred short
// commands at the most, however fast they come.
constexpr qint64 kReadSlice = 4096;
constexpr int kWaitTickMs = 2;
// The kernel holds little of a slow reader's output, so the panel's own
// limit is what stops it.
constexpr int kSendBufferBytes = 16 * 1024;
} // namespace

CRigClient::CRigClient(QTcpSocket* socket, CRigSeam& rig, QObject* parent)
    : QObject(parent), m_socket(socket), m_rig(rig)
{
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
        const std::optional<CRigLineBuffer::Line> line = m_lines.Next();
        if (!line)
            break;
        Answer(*line);
    }
    if (!m_closing && m_socket->bytesToWrite() > 0)
        m_socket->flush();
}

void CRigClient::Answer(const CRigLineBuffer::Line& line)
{
    emit LineTaken(this);
    if (line.tooLong) {
        Send(StatusLine(RigStatus::InvalidArgument));
        return;
    }
    const std::optional<RigRequest> request = ParseRigLine(line.text);
    if (!request)
        return;
    const RigAnswer answer = RunRigCommand(*request, m_rig);
    if (answer.keyRequested) {
        if (*answer.keyRequested)
            emit KeyRequested(this);
        else
            emit UnkeyRequested();
    }
    const QByteArray reply = FormatRigAnswer(*request, answer);
    if (answer.quit) {
        Send(reply);
        m_closing = true;
        m_socket->disconnectFromHost();
        return;
    }
    if (answer.status == RigStatus::Ok && !answer.expected.IsEmpty() && !answer.expected.MetBy(m_rig))
        Hold(reply, answer.expected);
    else
        Send(reply);
}

// The reply, and the lines after it, wait for the radio's report.
void CRigClient::Hold(const QByteArray& reply, const RigExpectation& expected)
{
    m_waiting = true;
    m_heldReply = reply;
    m_waitingFor = expected;
    m_waitDeadline.setRemainingTime(kReportWaitMs);
    m_waitTick.start();
}

void CRigClient::OnWaitTick()
{
    if (!m_waitingFor.MetBy(m_rig) && !m_waitDeadline.hasExpired())
        return;
    m_waitTick.stop();
    m_waiting = false;
    Send(m_heldReply);
    m_heldReply.clear();
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
