#include "link/winserialreader.h"

#include <QTimer>
#include <algorithm>

CWinSerialReader::CWinSerialReader(QObject* parent) : QObject(parent)
{
    m_wait.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_read.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_notifier.setHandle(m_wait.hEvent);
    connect(&m_notifier, &QWinEventNotifier::activated, this, &CWinSerialReader::OnWoken);
}

CWinSerialReader::~CWinSerialReader()
{
    Stop();
    m_notifier.setEnabled(false);
    ::CloseHandle(m_wait.hEvent);
    ::CloseHandle(m_read.hEvent);
}

QString CWinSerialReader::Start(HANDLE port)
{
    m_port = port;
    m_received.clear();
    m_notifier.setEnabled(true);
    if (::SetCommMask(m_port, EV_RXCHAR) && Wait())
        return QString();
    m_notifier.setEnabled(false);
    m_port = INVALID_HANDLE_VALUE;
    return qt_error_string(int(::GetLastError()));
}

// A new event mask ends a pending wait, as Windows documents it; the wait
// for that is bounded, since a cancelled wait does not always complete
// (Wine's may not). The OVERLAPPED lives on with the reader either way.
void CWinSerialReader::Stop()
{
    if (m_pending) {
        ::SetCommMask(m_port, 0);
        ::CancelIoEx(m_port, &m_wait);
        ::WaitForSingleObject(m_wait.hEvent, kStopWaitMs);
        m_pending = false;
    }
    m_notifier.setEnabled(false);
    ::ResetEvent(m_wait.hEvent);
    m_port = INVALID_HANDLE_VALUE;
}

QByteArray CWinSerialReader::TakeAll()
{
    QByteArray all;
    all.swap(m_received);
    return all;
}

// The completion is always taken from the event, also when the wait ended
// at once: one path for every arrival.
bool CWinSerialReader::Wait()
{
    ::ResetEvent(m_wait.hEvent);
    m_events = 0;
    if (!::WaitCommEvent(m_port, &m_events, &m_wait) && ::GetLastError() != ERROR_IO_PENDING)
        return false;
    m_pending = true;
    return true;
}

// A wake with nothing to read (a driver that signals more often than
// characters come) waits a moment before the next wait, so the loop is not
// kept busy.
void CWinSerialReader::WaitLater()
{
    ::ResetEvent(m_wait.hEvent);
    QTimer::singleShot(kIdleRetryMs, this, [this] {
        if (m_port != INVALID_HANDLE_VALUE && !m_pending && !Wait())
            Fail(::GetLastError());
    });
}

// A wait that was ended without an event (Wine ends them so now and then)
// is simply made again; one that failed means the device is gone (an
// adapter pulled out, a driver stopped).
void CWinSerialReader::OnWoken()
{
    if (!m_pending)
        return;
    DWORD unused = 0;
    const bool ended = ::GetOverlappedResult(m_port, &m_wait, &unused, FALSE);
    const DWORD error = ended ? ERROR_SUCCESS : ::GetLastError();
    if (error == ERROR_IO_INCOMPLETE)
        return;
    m_pending = false;
    if (error != ERROR_SUCCESS && error != ERROR_OPERATION_ABORTED) {
        Fail(error);
        return;
    }
    bool any = false;
    if (!ReadWaiting(any)) {
        Fail(::GetLastError());
        return;
    }
    if (!any) {
        WaitLater();
        return;
    }
    if (!Wait()) {
        Fail(::GetLastError());
        return;
    }
    emit Arrived();
}

// Everything the driver holds, in as many reads as it takes. Each read asks
// for no more than the driver says it holds: Wine keeps a read that finds
// nothing waiting for the next character, whatever the timeouts say, and
// the panel would stop there.
bool CWinSerialReader::ReadWaiting(bool& any)
{
    char chunk[512];
    for (;;) {
        DWORD errors = 0;
        COMSTAT status{};
        if (!::ClearCommError(m_port, &errors, &status))
            return false;
        if (status.cbInQue == 0)
            return true;
        ::ResetEvent(m_read.hEvent);
        DWORD got = 0;
        const DWORD wanted = std::min<DWORD>(status.cbInQue, sizeof chunk);
        if (!::ReadFile(m_port, chunk, wanted, nullptr, &m_read) && ::GetLastError() != ERROR_IO_PENDING)
            return false;
        if (!::GetOverlappedResult(m_port, &m_read, &got, TRUE))
            return false;
        if (got == 0)
            return true;
        m_received.append(chunk, qsizetype(got));
        any = true;
    }
}

void CWinSerialReader::Fail(DWORD error)
{
    m_notifier.setEnabled(false);
    emit Failed(qt_error_string(int(error)));
}
