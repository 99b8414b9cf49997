#pragma once
// Reads a Windows serial port in the event loop: an overlapped read is
// always pending and its completion wakes the loop through the read's
// event. The read asks for exactly what the driver holds, or for one
// character when it holds none, so it ends as soon as anything has come
// (or after a second of nothing) by the plainest of the port's timeouts.
// Each arrival costs one wakeup, as a descriptor's readiness does on Linux.
// (The MAXDWORD timeouts meant to end a larger read at its first character
// are not honoured by Wine, which then waits for the whole buffer; and
// WaitCommEvent does not work under Wine on a pseudo-terminal, whose lines
// it cannot watch, so it ends every such wait at once.)
#include <QByteArray>
#include <QObject>
#include <QWinEventNotifier>
#include <windows.h>

class CWinSerialReader : public QObject {
    Q_OBJECT
public:
    explicit CWinSerialReader(QObject* parent = nullptr);
    ~CWinSerialReader() override;

    // Starts reading `port`, opened for overlapped I/O with a total read
    // timeout of some 1000 ms and no interval timeout.
    // Empty on success, or what went wrong.
    QString Start(HANDLE port);
    // Cancels the pending read; the port may then be closed.
    void Stop();
    QByteArray TakeAll();

signals:
    void Arrived();
    void Failed(const QString& why);  // the device stopped answering

private:
    static constexpr int kIdleRetryMs = 20;
    static constexpr DWORD kStopWaitMs = 500;

    bool Issue();
    DWORD WaitingCount() const;
    void IssueLater();
    void OnWoken();
    void Fail(DWORD error);

    HANDLE m_port = INVALID_HANDLE_VALUE;
    OVERLAPPED m_read{};  // its event wakes the loop
    char m_chunk[512];
    QWinEventNotifier m_notifier;
    QByteArray m_received;
    bool m_pending = false;
};
