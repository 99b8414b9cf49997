#include "link/winserialbackend.h"

#include <QRegularExpression>

namespace {

// Some devices cannot do everything (a virtual port without modem lines, a
// converter without 1.5 stop bits) while the port itself works; as on Linux,
// that is the device's limitation, not a failure.
bool DeviceCannot(DWORD error)
{
    return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION || error == ERROR_INVALID_PARAMETER
        || error == ERROR_CALL_NOT_IMPLEMENTED;
}

QString Outcome(BOOL ok)
{
    if (ok)
        return QString();
    const DWORD error = ::GetLastError();
    return DeviceCannot(error) ? QString() : qt_error_string(int(error));
}

BYTE ToParity(char letter)
{
    switch (letter) {
    case 'O': return ODDPARITY;
    case 'E': return EVENPARITY;
    case 'M': return MARKPARITY;
    case 'S': return SPACEPARITY;
    default: return NOPARITY;
    }
}

BYTE ToStopBits(const CommSettings& settings)
{
    if (settings.oneAndHalfStopBits)
        return ONE5STOPBITS;
    return settings.stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
}

// A read ends once it has the characters it asked for, or after a second
// of nothing (the reader asks only for what has come, and issues the next
// read at once). A write that cannot leave within two seconds (a line held
// by flow control that is not there) fails.
bool SetTimeouts(HANDLE port)
{
    COMMTIMEOUTS timeouts{};
    timeouts.ReadTotalTimeoutConstant = 1000;
    timeouts.WriteTotalTimeoutConstant = 2000;
    return ::SetCommTimeouts(port, &timeouts);
}

} // namespace

QString WinSerialPath(const QString& device)
{
    static const QRegularExpression comName(QStringLiteral("^COM[0-9]+$"), QRegularExpression::CaseInsensitiveOption);
    return comName.match(device).hasMatch() ? QStringLiteral("\\\\.\\") + device : device;
}

std::unique_ptr<CommBackend> MakeSerialBackend() { return std::make_unique<WinSerialBackend>(); }

WinSerialBackend::WinSerialBackend()
{
    m_write.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_writeDone.setHandle(m_write.hEvent);
    connect(&m_writeDone, &QWinEventNotifier::activated, this, &WinSerialBackend::OnWritten);
    connect(&m_reader, &CWinSerialReader::Arrived, this, &CommBackend::ReadyRead);
    connect(&m_reader, &CWinSerialReader::Failed, this, &WinSerialBackend::OnGone);
}

WinSerialBackend::~WinSerialBackend()
{
    Close();
    ::CloseHandle(m_write.hEvent);
}

QString WinSerialBackend::Open(const QString& device, const CommSettings& settings)
{
    Close();
    const std::wstring path = WinSerialPath(device).toStdWString();
    m_port = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OVERLAPPED, nullptr);
    if (m_port == INVALID_HANDLE_VALUE)
        return qt_error_string(int(::GetLastError()));
    // Opening raises both lines, as on Linux.
    m_dtr = true;
    m_rts = true;
    // A port that cannot be waited on is not open (a device half there: a
    // pseudo-terminal whose other side is gone answers so under Wine), and
    // is tried again as one that is away.
    const QString unusable = SetTimeouts(m_port) ? m_reader.Start(m_port) : qt_error_string(int(::GetLastError()));
    if (!unusable.isEmpty()) {
        ::CloseHandle(m_port);
        m_port = INVALID_HANDLE_VALUE;
        return unusable;
    }
    ::PurgeComm(m_port, PURGE_RXCLEAR | PURGE_TXCLEAR);
    m_writeDone.setEnabled(true);
    return Apply(settings);
}

// The last command (an unkey as the program ends) must reach the line
// though no event loop may run again: what waits is written before closing.
void WinSerialBackend::Close()
{
    if (!IsOpen())
        return;
    FinishWriting();
    m_reader.Stop();
    m_writeDone.setEnabled(false);
    ::CloseHandle(m_port);
    m_port = INVALID_HANDLE_VALUE;
    m_inFlight.clear();
    m_queued.clear();
}

QString WinSerialBackend::Apply(const CommSettings& settings)
{
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(m_port, &dcb))
        return Outcome(FALSE);
    dcb.BaudRate = DWORD(settings.baudRate);
    dcb.ByteSize = BYTE(settings.dataBits);
    dcb.Parity = ToParity(settings.parity);
    dcb.StopBits = ToStopBits(settings);
    dcb.fBinary = TRUE;
    dcb.fParity = settings.parity != 'N';
    // No flow control: the radio's line has none, and a handshake line that
    // is never raised would hold every command back.
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    dcb.fDtrControl = m_dtr ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    dcb.fRtsControl = m_rts ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
    return Outcome(::SetCommState(m_port, &dcb));
}

QString WinSerialBackend::Escape(DWORD function)
{
    return IsOpen() ? Outcome(::EscapeCommFunction(m_port, function)) : QString();
}

QString WinSerialBackend::SetDtr(bool on)
{
    m_dtr = on;
    return Escape(on ? SETDTR : CLRDTR);
}

QString WinSerialBackend::SetRts(bool on)
{
    m_rts = on;
    return Escape(on ? SETRTS : CLRRTS);
}

QString WinSerialBackend::Write(const QByteArray& bytes)
{
    if (!IsOpen())
        return QStringLiteral("the port is not open");
    m_queued += bytes;
    if (!m_inFlight.isEmpty() || StartWrite())
        return QString();
    // A serial port refuses a write only when its device has gone (an
    // adapter pulled out; under Wine, the pseudo-terminal's other side):
    // told as a lost link from the event loop, as the Linux port tells a
    // failed write, and the link is opened again when the device is back.
    const QString why = qt_error_string(int(::GetLastError()));
    QMetaObject::invokeMethod(this, [this, why] { OnGone(why); }, Qt::QueuedConnection);
    return QString();
}

// What is queued goes out as one write; its completion sets the event.
bool WinSerialBackend::StartWrite()
{
    m_inFlight.swap(m_queued);
    m_queued.clear();
    ::ResetEvent(m_write.hEvent);
    if (::WriteFile(m_port, m_inFlight.constData(), DWORD(m_inFlight.size()), nullptr, &m_write)
        || ::GetLastError() == ERROR_IO_PENDING)
        return true;
    m_inFlight.clear();
    return false;
}

void WinSerialBackend::OnWritten()
{
    if (m_inFlight.isEmpty())
        return;
    DWORD written = 0;
    const bool ok = ::GetOverlappedResult(m_port, &m_write, &written, FALSE);
    if (!ok && ::GetLastError() == ERROR_IO_INCOMPLETE)
        return;
    m_inFlight.clear();
    if (!ok) {
        OnGone(qt_error_string(int(::GetLastError())));
        return;
    }
    // The event is reset by hand: left set, it would wake the loop again
    // and again.
    ::ResetEvent(m_write.hEvent);
    if (m_queued.isEmpty()) {
        emit Drained();
        return;
    }
    if (!StartWrite())
        OnGone(qt_error_string(int(::GetLastError())));
}

void WinSerialBackend::FinishWriting()
{
    DWORD written = 0;
    if (!m_inFlight.isEmpty())
        ::GetOverlappedResult(m_port, &m_write, &written, TRUE);
    m_inFlight.clear();
    if (!m_queued.isEmpty() && StartWrite())
        ::GetOverlappedResult(m_port, &m_write, &written, TRUE);
    ::FlushFileBuffers(m_port);
}

void WinSerialBackend::OnGone(const QString& why)
{
    if (!IsOpen())
        return;
    m_inFlight.clear();
    m_queued.clear();
    m_reader.Stop();
    m_writeDone.setEnabled(false);
    ::CloseHandle(m_port);
    m_port = INVALID_HANDLE_VALUE;
    emit Lost(why);
}
