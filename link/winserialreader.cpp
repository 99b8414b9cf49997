#include "link/winserialreader.h"

#include <QTimer>
#include <algorithm>

namespace {

// Wine reports a read that its total timeout ended empty as a failed one;
// Windows as a read of nothing.
bool EndedByTimeout(DWORD error) { return error == WAIT_TIMEOUT || error == ERROR_SEM_TIMEOUT || error == ERROR_TIMEOUT; }

} // namespace

CWinSerialReader::CWinSerialReader(QObject* parent) : QObject(parent)
{
    m_read.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_notifier.setHandle(m_read.hEvent);
    connect(&m_notifier, &QWinEventNotifier::activated, this, &CWinSerialReader::OnWoken);
}

CWinSerialReader::~CWinSerialReader()
{
    Stop();
    m_notifier.setEnabled(false);
    ::CloseHandle(m_read.hEvent);
}

QString CWinSerialReader::Start(HANDLE port)
{
    m_port = port;
    m_received.clear();
    m_notifier.setEnabled(true);
    if (Issue())
        return QString();
    m_notifier.setEnabled(false);
    m_port = INVALID_HANDLE_VALUE;
    return qt_error_string(int(::GetLastError()));
}

// The wait for a cancelled read is bounded: the OVERLAPPED and the buffer
// live on with the reader either way.
void CWinSerialReader::Stop()
{
    if (m_pending) {
        ::CancelIoEx(m_port, &m_read);
        ::WaitForSingleObject(m_read.hEvent, kStopWaitMs);
        m_pending = false;
    }
    m_notifier.setEnabled(false);
    ::ResetEvent(m_read.hEvent);
    m_port = INVALID_HANDLE_VALUE;
}

QByteArray CWinSerialReader::TakeAll()
{
    QByteArray all;
    all.swap(m_received);
    return all;
}

// The completion is always taken from the event, also when the read ended
// at once: one path for every arrival.
bool CWinSerialReader::Issue()
{
    ::ResetEvent(m_read.hEvent);
    if (!::ReadFile(m_port, m_chunk, WaitingCount(), nullptr, &m_read) && ::GetLastError() != ERROR_IO_PENDING)
        return false;
    m_pending = true;
    return true;
}

// What the driver already holds is there to be read at once; with nothing
// held, the read waits for the first character. Asking for no more than
// that is what ends the read without an interval timeout.
DWORD CWinSerialReader::WaitingCount() const
{
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(m_port, &errors, &status) || status.cbInQue == 0)
        return 1;
    return std::min<DWORD>(status.cbInQue, sizeof m_chunk);
}

// A read that ends with nothing (the second without characters, or a
// driver that ends reads early) is issued again a moment later, so the
// loop is not kept busy.
void CWinSerialReader::IssueLater()
{
    ::ResetEvent(m_read.hEvent);
    QTimer::singleShot(kIdleRetryMs, this, [this] {
        if (m_port != INVALID_HANDLE_VALUE && !m_pending && !Issue())
            Fail(::GetLastError());
    });
}

// A read that failed means the device is gone (an adapter pulled out, a
// driver stopped).
void CWinSerialReader::OnWoken()
{
    if (!m_pending)
        return;
    DWORD got = 0;
    const bool ended = ::GetOverlappedResult(m_port, &m_read, &got, FALSE);
    DWORD error = ended ? ERROR_SUCCESS : ::GetLastError();
    if (error == ERROR_IO_INCOMPLETE)
        return;
    if (EndedByTimeout(error))
        error = ERROR_SUCCESS;
    m_pending = false;
    if (error != ERROR_SUCCESS && error != ERROR_OPERATION_ABORTED) {
        Fail(error);
        return;
    }
    if (got == 0) {
        IssueLater();
        return;
    }
    m_received.append(m_chunk, qsizetype(got));
    if (!Issue()) {
        Fail(::GetLastError());
        return;
    }
    emit Arrived();
}

void CWinSerialReader::Fail(DWORD error)
{
    m_notifier.setEnabled(false);
    emit Failed(qt_error_string(int(error)));
}
