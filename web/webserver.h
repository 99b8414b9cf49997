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

#include "web/loginthrottle.h"
#include "web/operatorstore.h"
#include "web/operatorswatch.h"
#include "web/webfeed.h"
#include "web/websessions.h"

class CWebServer : public QObject {
    Q_OBJECT
public:
    CWebServer(const COperatorStore& operators, CWebFeed::StateSource state, QObject* parent = nullptr);
    ~CWebServer() override;

    // False with why set when the port cannot be had.
    bool Listen(const QHostAddress& address, quint16 port, const QSslConfiguration& tls, QString& why);
    quint16 Port() const { return m_port; }
    CWebFeed& Feed() { return *m_feed; }
    CWebSessions& Sessions() { return m_sessions; }

signals:
    // For the access record: "logged in", "login failed", "locked out",
    // "logged out", "refused: wrong origin", "sessions ended: operator
    // removed"; name as the operator typed it, empty when none was given.
    void Access(const QString& event, const QString& address, const QString& name);

private:
    void AddRoutes();
    QHttpServerResponse Home(const QHttpServerRequest& request);
    void Login(const QHttpServerRequest& request, QHttpServerResponder&& responder);
    QHttpServerResponse Concluded(const QString& peer, const QString& name, std::optional<OperatorRole> role);
    QHttpServerResponse Logout(const QHttpServerRequest& request);
    std::optional<WebSession> SessionOf(const QHttpServerRequest& request);
    void TakeUpOperatorChanges();
    void EndOperator(const QString& name, const QString& event, const QString& why);

    COperatorStore m_operators;
    COperatorsWatch m_operatorsWatch;
    QTimer m_operatorsLook;
    CLoginThrottle m_throttle;
    CWebSessions m_sessions;
    QHttpServer m_http;
    std::unique_ptr<CWebFeed> m_feed;
    quint16 m_port = 0;
};
