#pragma once
// One station program's connection to the flrig server: its calls answered
// in the order they came, each after the one before. A set's reply waits
// until a report of the radio shows the change, or a second, so a client
// that reads back sees the radio as it now is. Bad input is answered with a
// fault and changes nothing: a body that is not an XML-RPC call, one over
// 64 KB, a request that grows past that before it ends (answered, then the
// connection closed), or calls piled up unanswered. A connection that
// leaves its replies unread is dropped.
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTcpSocket>
#include <deque>

#include "remote/flrigmethods.h"
#include "remote/flrigrequest.h"
#include "remote/reportwait.h"

class CRigSeam;
class CTransmitHolder;

class CFlrigConnection : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype kMaxBody = 64 * 1024;
    // A body a little over the limit is read and answered with a fault, the
    // connection kept; one far over is refused from its head.
    static constexpr qsizetype kMaxReadBody = kMaxBody + 8 * 1024;
    static constexpr qint64 kMaxUnreadOutput = 64 * 1024;
    static constexpr int kMaxQueued = 16;

    // The connection owns `socket`. `refused`: a connection beyond the server's limit, answered once with
    // a fault that says so, then closed.
    CFlrigConnection(QTcpSocket* socket, CRigSeam& rig, CTransmitHolder* holder, bool refused, QObject* parent);
    ~CFlrigConnection() override;

    QTcpSocket* Socket() const { return m_socket; }
    bool Refused() const { return m_refused; }
    // "127.0.0.1:40512", as the records name it.
    QString Peer() const { return m_client.keyer.name; }
    // Since its last whole request, or since it connected.
    qint64 SilentMs() const { return m_sinceRequest.elapsed(); }

    void Drop();

signals:
    // A request a web page sent: answered 403, nothing in it run, and the
    // connection closed.
    void WebPageRefused(const QString& address, const QString& sign);
    void KeyRequested(CFlrigConnection* connection);
    void UnkeyRequested();
    void Finished(CFlrigConnection* connection);  // the connection is gone, once

private:
    struct Pending {
        bool keepAlive = true;
        XmlRpcCall call;
        std::optional<FlrigAnswer> answer;  // known before it runs: a fault
    };

    void OnBytesArriving();
    void Take(const FlrigRequest& request);
    void Refuse(const QString& sign);
    void RefuseUnreadable();
    void AnswerAndClose(const QByteArray& reply);
    void Process();
    void OnSettled(RigStatus status);
    void Reply(const FlrigAnswer& answer);
    void CloseAfterReply(const QString& reason);
    void OnDisconnected();

    QPointer<QTcpSocket> m_socket;
    CRigSeam& m_rig;
    CTransmitHolder* m_holder;
    FlrigClient m_client;
    CReportWait m_wait;
    QElapsedTimer m_sinceRequest;
    std::deque<Pending> m_queue;
    FlrigAnswer m_held;
    CFlrigRequestReader m_reader{kMaxReadBody};
    bool m_refused;
    bool m_waiting = false;
    bool m_closing = false;
    bool m_finished = false;
};
