#pragma once
// The HTTP side of the flrig server: Qt's HTTP server reads each request
// (keep-alive, HTTP/1.1) and hands the whole of it to the server, with a
// responder that may be answered later, when the radio has confirmed a set.
// Connections come through a listener that lets the server admit each
// first, so the server's limits hold before any byte is read.
#include <QAbstractHttpServer>
#include <QHttpServerResponder>
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

class CFlrigHttp : public QAbstractHttpServer {
    Q_OBJECT
public:
    using Handler = std::function<void(const QHttpServerRequest& request, QHttpServerResponder&& responder)>;
    CFlrigHttp(Handler handler, QObject* parent) : QAbstractHttpServer(parent), m_handler(std::move(handler)) {}

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest&, QTcpSocket*) override {}

private:
    Handler m_handler;
};
