#pragma once
// A serial port through Windows' own communications API: COM<n> opened as
// \\.\COM<n> for overlapped I/O, the line set with SetCommState, DTR and RTS
// with EscapeCommFunction. Reads wait in the event loop (CWinSerialReader);
// writes go out overlapped in order, and Drained follows the last.
#include <QByteArray>
#include <QWinEventNotifier>
#include <windows.h>

#include "link/commbackend.h"
#include "link/serialbackend.h"
#include "link/winserialreader.h"

class WinSerialBackend : public CommBackend {
    Q_OBJECT
public:
    WinSerialBackend();
    ~WinSerialBackend() override;

    QString Open(const QString& device, const CommSettings& settings) override;
    void Close() override;
    bool IsOpen() const override { return m_port != INVALID_HANDLE_VALUE; }
    QString Apply(const CommSettings& settings) override;
    QString SetDtr(bool on) override;
    QString SetRts(bool on) override;
    QString Write(const QByteArray& bytes) override;
    QByteArray ReadAll() override { return m_reader.TakeAll(); }

private:
    QString Escape(DWORD function);
    bool StartWrite();
    void OnWritten();
    void FinishWriting();
    void OnGone(const QString& why);

    HANDLE m_port = INVALID_HANDLE_VALUE;
    bool m_dtr = true;  // SetCommState must keep what was set since the port opened
    bool m_rts = true;
    CWinSerialReader m_reader;
    OVERLAPPED m_write{};
    QWinEventNotifier m_writeDone;
    QByteArray m_inFlight;  // handed to Windows, not yet confirmed
    QByteArray m_queued;    // waiting for the write in flight
};

// "COM3" or "com3" as the port's name in the device namespace, which also
// reaches COM10 and above; any other name as it is.
QString WinSerialPath(const QString& device);
