#include "link/winserialreader.h"

#include <QTimer>

CWinSerialReader::CWinSerialReader(QObject* parent) : QObject(parent)
{
    m_overlapped.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_notifier.setHandle(m_overlapped.hEvent);
    connect(&m_notifier, &QWinEventNotifier::activated, this, &CWinSerialReader::OnCompleted);
}

CWinSerialReader::~CWinSerialReader()
{
    Stop();
    m_notifier.setEnabled(false);
    ::CloseHandle(m_overlapped.hEvent);
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

void CWinSerialReader::Stop()
{
    if (m_pending) {
        ::CancelIoEx(m_port, &m_overlapped);
        DWORD ignored = 0;
        ::GetOverlappedResult(m_port, &m_overlapped, &ignored, TRUE);
        m_pending = false;
    }
    m_notifier.setEnabled(false);
    ::ResetEvent(m_overlapped.hEvent);
    m_port = INVALID_HANDLE_VALUE;
}

QByteArray CWinSerialReader::TakeAll()
{
    QByteArray all;
    all.swap(m_received);
    return all;
}

// The completion is always taken from the event, also when the read finished
// at once: one path for every arrival.
bool CWinSerialReader::Issue()
{
    ::ResetEvent(m_overlapped.hEvent);
    if (!::ReadFile(m_port, m_chunk, sizeof m_chunk, nullptr, &m_overlapped) && ::GetLastError() != ERROR_IO_PENDING)
        return false;
    m_pending = true;
    return true;
}

// A read that ends with nothing is issued again a moment later; one that
// failed means the device is gone (an adapter pulled out, a driver stopped).
void CWinSerialReader::OnCompleted()
{
    if (!m_pending)
        return;
    m_pending = false;
    DWORD got = 0;
    if (!::GetOverlappedResult(m_port, &m_overlapped, &got, FALSE)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_IO_INCOMPLETE) {
            m_pending = true;
            return;
        }
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

// A read that ends with nothing (a driver that does not wait as the
// timeouts ask) is not issued again at once, which would keep the loop
// busy: a character then waits at most this long.
void CWinSerialReader::IssueLater()
{
    ::ResetEvent(m_overlapped.hEvent);
    QTimer::singleShot(kIdleRetryMs, this, [this] {
        if (m_port != INVALID_HANDLE_VALUE && !m_pending && !Issue())
            Fail(::GetLastError());
    });
}

void CWinSerialReader::Fail(DWORD error)
{
    m_notifier.setEnabled(false);
    emit Failed(qt_error_string(int(error)));
}
