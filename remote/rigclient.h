#pragma once
// One connected client: its bytes cut into lines, each line answered in
// turn. A set command's reply waits until the radio has reported the change
// (at most half a second), so a client that reads back, or sets a mode right
// after a frequency, sees the radio as it now is. A client whose replies pile
// up unread is dropped; one that floods commands is served a slice per turn
// of the event loop, so the panel goes on meanwhile.
#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>

#include "remote/riglinebuffer.h"
#include "remote/rigprotocol.h"

class CRigSeam;
class QTcpSocket;

class CRigClient : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kMaxUnreadOutput = 64 * 1024;
    static constexpr int kReportWaitMs = 500;

    // Takes the socket.
    CRigClient(QTcpSocket* socket, CRigSeam& rig, QObject* parent = nullptr);

signals:
    void KeyRequested(CRigClient* client);
    void UnkeyRequested();
    void LineTaken(CRigClient* client);  // a whole line came, whatever it asked
    void Finished(CRigClient* client);  // the connection is gone, once

private:
    void OnReadyRead();
    void TakeLines();
    void Answer(const CRigLineBuffer::Line& line);
    void Hold(const QByteArray& reply, const RigExpectation& expected);
    void OnWaitTick();
    void Send(const QByteArray& reply);
    void Drop();
    void OnDisconnected();
    void ScheduleMoreInput();

    QTcpSocket* m_socket;
    CRigSeam& m_rig;
    CRigLineBuffer m_lines;
    QTimer m_waitTick;
    QDeadlineTimer m_waitDeadline;
    RigExpectation m_waitingFor;
    QByteArray m_heldReply;
    bool m_waiting = false;
    bool m_closing = false;
    bool m_finished = false;
    bool m_moreInputScheduled = false;
};
