#pragma once
// The communications control: a serial port driven through properties
// (CommPort, Settings, PortOpen, Output, Input, ...) that raises OnComm when
// something happens on the line. Received characters are handed out one
// event at a time, so each one is seen by the receive handler on its own.
//
// A property the device cannot take throws CommError, which ends the handler
// that set it; asynchronous trouble (the device vanishing) is signalled. A
// device that opens later (the radio on another machine) throws
// OpenPending at PortOpen, and says how the open ended by PortOpened or
// OpenFailed; RTSEnable and DTREnable set meanwhile are applied then.
#include <QObject>
#include <QVariant>
#include <functional>
#include <memory>

#include "link/commbackend.h"
#include "link/commerror.h"
#include "link/serialtrace.h"
#include "panel/cstring.h"

class CMSComm : public QObject {
    Q_OBJECT
public:
    using BackendFactory = std::function<std::unique_ptr<CommBackend>()>;
    enum { comEvSend = 1, comEvReceive = 2 };

    CMSComm();
    ~CMSComm() override;

    // Every control made afterwards uses the device this makes: the
    // application's choice of serial or network port, or a test's fake.
    // Unset, a control drives a serial port.
    static void SetBackendFactory(BackendFactory factory);

    void SetCommPort(short port);
    short GetCommPort() const { return m_commPort; }
    void SetSettings(const CString& settings);
    CString GetSettings() const { return m_settingsText; }
    void SetInputLen(short length) { m_inputLen = length; }
    void SetInputMode(long mode) { m_inputMode = mode; }
    void SetRTSEnable(bool on);
    void SetRThreshold(short threshold) { m_rThreshold = threshold; }
    void SetSThreshold(short threshold) { m_sThreshold = threshold; }
    void SetPortOpen(bool open);
    bool GetPortOpen() const;
    void SetDTREnable(bool on);
    bool GetDTREnable() const { return m_dtr; }
    void SetOutput(const QVariant& output);
    QVariant GetInput();
    short GetCommEvent() const { return m_commEvent; }
    QString DeviceName() const { return m_device; }
    bool IsOpening() const { return m_backend->IsOpening(); }
    // The words of the open under way, or of the last one that was.
    QString OpeningWords() const { return m_openingWords; }

signals:
    void OnComm();
    void PortLost(const CommError& error);
    void PortOpened();
    void OpenFailed(const CommError& error);

private:
    void OnBytesArrived();
    void OnOutputDrained();
    void OnDeviceLost(const QString& why);
    void OnOpenFinished(const QString& failure);
    void ForgetReceived();
    bool OpenNow();
    void ApplyLines();
    QString Named(const QString& words) const;
    void Throw(CommErrorKind kind, const QString& text) const;

    std::unique_ptr<CommBackend> m_backend;
    short m_commPort = 1;
    CString m_settingsText = "9600,N,8,1";
    CommSettings m_settings;
    short m_inputLen = 0;
    long m_inputMode = 0;
    short m_rThreshold = 0;
    short m_sThreshold = 0;
    bool m_rts = false;
    bool m_dtr = false;
    bool m_dtrSet = false;   // until DTREnable is written, the port keeps its own
    QString m_openingWords;
    short m_commEvent = 0;
    QString m_device;
    QByteArray m_received;   // arrived, not yet taken through Input
    qsizetype m_taken = 0;   // how much of m_received Input has handed out
    bool m_dispatching = false;
    CSerialTrace m_trace;
};
