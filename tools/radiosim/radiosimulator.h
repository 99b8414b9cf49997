#pragma once

#include "faultinjector.h"
#include "radiomodel.h"
#include "radiostate.h"
#include "stabledevicename.h"

#include <QObject>
#include <QString>
#include <memory>

namespace radiosim {

class ReplyQueue;
class SimLink;

// The radio on the end of a line: a model, the faults of the line in both
// directions, and the link the panel opens. Runs in the caller's event loop,
// so a test can drive the panel and the radio in one process.
class RadioSimulator : public QObject
{
    Q_OBJECT

public:
#ifdef Q_OS_UNIX
    // Without a link of its own it uses a pseudo-terminal.
    explicit RadioSimulator(QObject *parent = nullptr);
#endif
    // Takes ownership of the link.
    RadioSimulator(SimLink *link, QObject *parent = nullptr);
    ~RadioSimulator() override;

    void setOutgoingFaults(const FaultSettings &settings);
    void setIncomingFaults(const FaultSettings &settings);

    // A name that leads to the line while it is up, as udev keeps
    // /dev/serial/by-id names; set it before start().
    void setStablePath(const QString &path) { m_stableName.setPath(path); }
    QString stablePath() const { return m_stableName.path(); }

    bool start();
    QString portName() const;
    QString errorString() const;
    bool isConnected() const;
    void disconnectLink();
    // Plugs the cable back in: a new line (a new pty), which the stable name
    // then leads to. The radio remembers its state.
    bool reconnectLink();

    RadioState state() const { return m_model.state(); }
    void setState(const RadioState &state) { m_model.setState(state); }
    int commandsHandled() const { return m_model.commandsHandled(); }

signals:
    // After every piece of input, once the model has handled what it held.
    void inputHandled();
    void linkClosed();

private:
    void onReceived(const QByteArray &bytes);

    RadioModel m_model;
    FaultInjector m_outgoing;
    FaultInjector m_incoming;
    SimLink *m_link;
    ReplyQueue *m_replies;
    StableDeviceName m_stableName;
    QString m_nameError;
};

} // namespace radiosim
