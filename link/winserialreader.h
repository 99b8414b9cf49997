#pragma once
// Reads a Windows serial port in the event loop: an overlapped wait for a
// received character (WaitCommEvent) is always pending, and its completion
// wakes the loop through the wait's event; then what has arrived is read at
// once, the port's timeouts making a read return with what is there. Each
// arrival costs one wakeup, as a descriptor's readiness does on Linux.
#include <QByteArray>
#include <QObject>
#include <QWinEventNotifier>
#include <windows.h>

class CWinSerialReader : public QObject {
    Q_OBJECT
public:
    explicit CWinSerialReader(QObject* parent = nullptr);
    ~CWinSerialReader() override;

    // Starts watching `port`, opened for overlapped I/O with timeouts that
    // make a read return at once. Empty on success, or what went wrong.
    QString Start(HANDLE port);
    // Cancels the pending wait; the port may then be closed.
    void Stop();
    QByteArray TakeAll();

signals:
    void Arrived();
    void Failed(const QString& why);  // the device stopped answering

private:
    static constexpr int kIdleRetryMs = 20;
    static constexpr DWORD kStopWaitMs = 500;

    bool Wait();
    void WaitLater();
    void OnWoken();
    bool ReadWaiting(bool& any);
    void Fail(DWORD error);

    HANDLE m_port = INVALID_HANDLE_VALUE;
    OVERLAPPED m_wait{};  // its event wakes the loop
    OVERLAPPED m_read{};  // reads return at once: waited for in place
    DWORD m_events = 0;
    QWinEventNotifier m_notifier;
    QByteArray m_received;
    bool m_pending = false;
};
