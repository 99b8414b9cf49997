#pragma once
// One connected client: its bytes cut into lines, each command of a line
// answered in turn. A set command's reply waits until a report of the radio
// shows the change, so a client that reads back, or sets a mode right after
// a frequency, sees the radio as it now is; a set the radio does not confirm
// within a second is answered "timed out". A client whose replies pile up
// unread is dropped; one that floods commands is served a slice per turn of
// the event loop, so the panel goes on meanwhile. A first line that is a
// web request (a page in the operator's browser POSTing here) closes the
// connection before anything in it runs.
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>

#include "remote/reportwait.h"
#include "remote/rigcommands.h"
#include "remote/riglinebuffer.h"
#include "remote/rigprotocol.h"

class CRigSeam;
class CTransmitHolder;
class QTcpSocket;

class CRigClient : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kMaxUnreadOutput = 64 * 1024;
    static constexpr int kReportWaitMs = CReportWait::kReportWaitMs;

    // Takes the socket.
    CRigClient(QTcpSocket* socket, CRigSeam& rig, CTransmitHolder* holder, QObject* parent = nullptr);

    // Since its last line with a command in it, whatever it asked, or since
    // it connected.
    qint64 SilentMs() const { return m_sinceLine.elapsed(); }
    // "127.0.0.1:40512", as the records name it.
    QString Peer() const { return m_state.keyer.name; }

signals:
    void KeyRequested(CRigClient* client);
    void UnkeyRequested();
    void Finished(CRigClient* client);  // the connection is gone, once

private:
    void OnReadyRead();
    void TakeLines();
    void Answer(const RigRequest& request);
    void Hold(const RigRequest& request, const RigAnswer& answer);
    void OnSettled(RigStatus status);
    void Send(const QByteArray& reply);
    void Drop();
    void OnDisconnected();
    void ScheduleMoreInput();

    QTcpSocket* m_socket;
    CRigSeam& m_rig;
    CRigLineBuffer m_lines;
    QElapsedTimer m_sinceLine;
    QList<RigRequest> m_lineRest;  // the commands of the line being answered
    RigClientState m_state;
    CReportWait m_wait;
    RigRequest m_heldRequest;
    RigAnswer m_heldAnswer;
    bool m_waiting = false;
    bool m_closing = false;
    bool m_finished = false;
    bool m_moreInputScheduled = false;
    bool m_firstLine = true;  // a browser's request line closes the connection
};
