#pragma once
// Reads a Windows serial port in the event loop: one overlapped read is
// always waiting, and its completion wakes the loop through the read's event.
// The port's timeouts make a read complete as soon as a character is there,
// so each arrival costs one wakeup, as a descriptor's readiness does on Linux.
#include <QByteArray>
#include <QObject>
#include <QWinEventNotifier>
#include <windows.h>

class CWinSerialReader : public QObject {
    Q_OBJECT
public:
    explicit CWinSerialReader(QObject* parent = nullptr);
    ~CWinSerialReader() override;

    // Starts reading `port`, which was opened for overlapped I/O. Empty on
    // success, or what went wrong.
    QString Start(HANDLE port);
    // Cancels the waiting read; the port may then be closed.
    void Stop();
    QByteArray TakeAll();

signals:
    void Arrived();
    void Failed(const QString& why);  // the device stopped answering reads

private:
    static constexpr int kIdleRetryMs = 20;

    bool Issue();
    void IssueLater();
    void OnCompleted();
    void Fail(DWORD error);

    HANDLE m_port = INVALID_HANDLE_VALUE;
    OVERLAPPED m_overlapped{};
    QWinEventNotifier m_notifier;
    char m_chunk[512];
    QByteArray m_received;
    bool m_pending = false;
};
