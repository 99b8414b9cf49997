#pragma once
// The flrig server's listener: each connection is offered to the server
// before any byte of it is read, so the server's limits hold from the
// start. One it admits belongs to the server from then on.
#include <QTcpServer>
#include <functional>

class CFlrigListener : public QTcpServer {
    Q_OBJECT
public:
    // False: the connection is closed unread.
    using Admit = std::function<bool(QTcpSocket* socket)>;
    CFlrigListener(Admit admit, QObject* parent) : QTcpServer(parent), m_admit(std::move(admit)) {}

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    Admit m_admit;
};
