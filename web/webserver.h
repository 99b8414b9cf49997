#pragma once
// The web panel's HTTPS server: the login page until an operator logs in,
// then the panel page and its live feed. Passwords are checked on a worker
// thread, so a login never holds up the panel; failures are slowed per
// address and name, and a refusal never says which of the two was wrong.
// Changes to the operator file reach it within seconds, and before each
// password check: a removed or changed operator's pages and sessions end.
#include <QHttpServer>
#include <QSslConfiguration>
#include <QTimer>
#include <memory>

#include "txlog/accesstally.h"
#include "web/loginthrottle.h"
#include "web/operatorstore.h"
#include "web/operatorswatch.h"
#include "web/webfeed.h"
#include "web/website.h"
#include "web/websessions.h"

class CWebListener;
class QWebSocket;

class CWebServer : public QObject {
    Q_OBJECT
public:
    // A larger message from a page closes it (the WebSocket's "too much data").
    static constexpr qint64 kLargestPageMessage = 8 * 1024;
    // Passwords checked at once; more logins than that are asked to wait.
    static constexpr int kMostHashes = 4;

    CWebServer(const COperatorStore& operators, CWebFeed::StateSource state, WebSite site = WebSite::Panel(),
               QObject* parent = nullptr);
    ~CWebServer() override;

    // False with why set when the port cannot be had.
    bool Listen(const QHostAddress& address, quint16 port, const QSslConfiguration& tls, QString& why);
    quint16 Port() const { return m_port; }
    CWebFeed& Feed() { return *m_feed; }
    CWebSessions& Sessions() { return m_sessions; }
    // Once listening.
    CWebListener& Listener() { return *m_listener; }

signals:
    // For the access record: "logged in", "login failed", "locked out",
    // "logged out", "refused: wrong origin", "refused: too soon after a
    // failure", "sessions ended: operator removed"; a burst of refusals as
    // one line ("login failed, 20 more times"). The name is an operator's,
    // empty when what was typed names none.
    void Access(const QString& event, const QString& address, const QString& name);

private:
    void AddRoutes();
    void AdmitPage(std::unique_ptr<QWebSocket> socket);
    QHttpServerResponse Home(const QHttpServerRequest& request);
    void Login(const QHttpServerRequest& request, QHttpServerResponder&& responder);
    QHttpServerResponse Concluded(const QString& peer, const QString& name, std::optional<OperatorRole> role,
                                  bool locks);
    QString Known(const QString& typed) const;
    void Refused(const QString& event, const QString& address, const QString& name);
    QHttpServerResponse Logout(const QHttpServerRequest& request);
    std::optional<WebSession> SessionOf(const QHttpServerRequest& request);
    void TakeUpOperatorChanges();
    void EndOperator(const QString& name, const QString& event, const QString& why);

    WebSite m_site;
    COperatorStore m_operators;
    COperatorsWatch m_operatorsWatch;
    QTimer m_operatorsLook;
    CLoginThrottle m_throttle;
    CWebSessions m_sessions;
    QHttpServer m_http;
    std::unique_ptr<CWebFeed> m_feed;
    std::unique_ptr<CAccessTally> m_tally;
    int m_hashing = 0;
    CWebListener* m_listener = nullptr;  // the HTTP server's
    quint16 m_port = 0;
};
