#pragma once
// A browser of the web panel on a loopback port, for tests: it pins the
// test's certificate (no error is ignored), logs in, and opens the live
// feed from the page's own origin.
#include <QSslConfiguration>
#include <QStringList>
#include <memory>

class QWebSocket;

struct PageReply {
    int status = 0;
    QByteArray headers;
    QByteArray body;
};

class WebPageClient {
public:
    WebPageClient(quint16 port, QSslConfiguration pinned) : m_port(port), m_pinned(std::move(pinned)) {}

    QByteArray Origin() const { return "https://127.0.0.1:" + QByteArray::number(m_port); }
    PageReply Send(const QByteArray& method, const QByteArray& path, const QByteArray& extraHeaders = {},
                  const QByteArray& body = {}) const;
    PageReply Login(const QByteArray& name, const QByteArray& password) const;
    // The session cookie of a good login, or empty.
    QByteArray Cookie(const QByteArray& name, const QByteArray& password) const;
    // A live page of the session; every text it is sent lands in `heard`.
    std::unique_ptr<QWebSocket> OpenPage(const QByteArray& cookie, QStringList& heard) const;

    static QSslConfiguration Pinning(const QSslCertificate& certificate);
    static QByteArray CookieOf(const PageReply& reply);

private:
    quint16 m_port;
    QSslConfiguration m_pinned;
};
