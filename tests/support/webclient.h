#pragma once
// A browser's side of the web panel on a loopback port: HTTPS requests with
// the test's own certificate pinned (no error is ignored), a login, and the
// live feed's WebSocket of a logged-in session.
#include <QByteArray>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QStringList>
#include <memory>

class CWebFeed;
class QWebSocket;
struct WebStation;

constexpr int kWebWaitMs = 5000;

struct WebReply {
    int status = 0;
    QByteArray headers;
    QByteArray body;
};

WebReply ParseWebReply(const QByteArray& raw);
QByteArray SessionCookieOf(const WebReply& reply);

class WebClient {
public:
    WebClient(const QSslCertificate& certificate, quint16 port) : m_certificate(certificate), m_port(port) {}

    QSslConfiguration Pinned() const;
    QByteArray Origin() const { return "https://127.0.0.1:" + QByteArray::number(m_port); }
    WebReply Send(const QByteArray& method, const QByteArray& path, const QByteArray& extraHeaders = {},
                  const QByteArray& body = {}) const;
    WebReply Login(const QByteArray& name, const QByteArray& password) const;
    // The session cookie of a good login, or empty.
    QByteArray Cookie(const QByteArray& name, const QByteArray& password) const;
    // The live feed of this session from the page's own origin; every text
    // message it sends is appended to `messages`.
    std::unique_ptr<QWebSocket> OpenFeed(const QByteArray& cookie, QStringList& messages) const;

private:
    QSslCertificate m_certificate;
    quint16 m_port;
};

// The pages' commands carried out at once, in the test's thread, on what
// `station` holds when each arrives, as the web service carries them out
// in the panel's.
void CarryOutPageCommands(CWebFeed& feed, const WebStation& station);
