#pragma once
// Reads a Windows serial port in the event loop: an overlapped read is
// always pending, the port's timeouts making it end as soon as anything
// has arrived (or after a second of nothing), and its completion wakes the
// loop through the read's event; the next read is issued at once. Each
// arrival costs one wakeup, as a descriptor's readiness does on Linux.
// (Waiting with WaitCommEvent instead does not work under Wine, which
// cannot watch a pseudo-terminal's lines and ends every such wait at once.)
#include <QByteArray>
#include <QObject>
#include <QWinEventNotifier>
#include <windows.h>

class CWinSerialReader : public QObject {
    Q_OBJECT
public:
    explicit CWinSerialReader(QObject* parent = nullptr);
    ~CWinSerialReader() override;

    // Starts reading `port`, opened for overlapped I/O with timeouts that
    // end a read once a character has come (ReadIntervalTimeout and
    // ReadTotalTimeoutMultiplier MAXDWORD, a constant of some 1000 ms).
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
