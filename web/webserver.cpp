#include "web/webserver.h"

#include <QFile>
#include <QPointer>
#include <QHttpServerRequest>
#include <QHttpServerRouterRule>
#include <QHttpServerResponse>
#include <QTcpServer>
#include <QTimer>
#include <QWebSocket>
#include <QtConcurrent>

#include "remote/hostaddresses.h"
#include "remote/listenproblem.h"
#include "web/loginform.h"
#include "web/webhttp.h"
#include "web/weblistener.h"
#include "web/weblog.h"

namespace {

using Status = QHttpServerResponse::StatusCode;

const char* const kRefusal = "That operator name and password were not accepted.";
const char* const kSlowDown = "Too many failed logins: wait a moment before trying again.";
// How long at most a change to the operator file takes to reach the panel.
constexpr int kOperatorsLookMs = 2000;

QByteArray Header(const QHttpServerRequest& request, const char* name)
{
    for (const auto& [key, value] : request.headers()) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

// What every response carries: HTTPS from now on, nothing from elsewhere,
// no inline script, never inside another site's frame.
void Secure(QHttpServerResponse& response)
{
    response.setHeader("Strict-Transport-Security", "max-age=31536000");
    response.setHeader("Content-Security-Policy",
                       "default-src 'self'; script-src 'self'; style-src 'self'; connect-src 'self'; "
                       "img-src 'self'; object-src 'none'; base-uri 'none'; form-action 'self'; "
                       "frame-ancestors 'none'");
    response.setHeader("X-Content-Type-Options", "nosniff");
    response.setHeader("Referrer-Policy", "same-origin");
    response.setHeader("Cache-Control", "no-store");
}

QHttpServerResponse Secured(QHttpServerResponse&& response)
{
    Secure(response);
    return std::move(response);
}

QByteArray Resource(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QHttpServerResponse LoginPage(const QString& message, Status status = Status::Ok)
{
    QByteArray page = Resource(QStringLiteral(":/web/login.html"));
    page.replace("<!--message-->", message.toHtmlEscaped().toUtf8());
    return Secured(QHttpServerResponse("text/html; charset=utf-8", page, status));
}

QHttpServerResponse Asset(const QString& resource, const QByteArray& type)
{
    return Secured(QHttpServerResponse(type, Resource(resource)));
}

QHttpServerResponse Redirect(const QByteArray& cookie)
{
    QHttpServerResponse response(Status::SeeOther);
    response.setHeader("Location", "/");
    response.setHeader("Set-Cookie", cookie);
    return Secured(std::move(response));
}

QByteArray SessionCookie(const QString& token, bool clear = false)
{
    return QByteArray(kSessionCookie) + '=' + token.toLatin1() + "; Secure; HttpOnly; SameSite=Strict; Path=/"
           + (clear ? "; Max-Age=0" : "");
}

// The feed's upgrade is taken only when this rule matches, so a page
// without a session or from another origin is answered 403 (by the
// missing-route handler) and never becomes a WebSocket.
class CFeedRule : public QHttpServerRouterRule {
public:
    using Admits = std::function<bool(const QHttpServerRequest&)>;
    CFeedRule(const QString& path, Admits admits, RouterHandler handler)
        : QHttpServerRouterRule(path, QHttpServerRequest::Method::Get, std::move(handler)), m_admits(std::move(admits))
    {}

protected:
    bool matches(const QHttpServerRequest& request, QRegularExpressionMatch* match) const override
    {
        return QHttpServerRouterRule::matches(request, match) && m_admits(request);
    }

private:
    Admits m_admits;
};

} // namespace

CWebServer::CWebServer(const COperatorStore& operators, CWebFeed::StateSource state, WebSite site, QObject* parent)
    : QObject(parent), m_site(std::move(site)), m_operators(operators), m_operatorsWatch(operators.Path()),
      m_feed(std::make_unique<CWebFeed>(m_sessions, std::move(state))),
      m_tally(std::make_unique<CAccessTally>(
          [this](const QString& event, const QString& address, const QString& name) { Refused(event, address, name); }))
{
    connect(&m_operatorsLook, &QTimer::timeout, this, &CWebServer::TakeUpOperatorChanges);
    m_operatorsLook.start(kOperatorsLookMs);
    // The check of an unknown name is made against a hash computed once:
    // computed now, so that even the first costs what a known name costs.
    static_cast<void>(QtConcurrent::run([operators] { operators.Verify(QString(), QByteArray()); }));
    // The pages live in a static library: nothing else would pull them in.
    Q_INIT_RESOURCE(webpage);
    AddRoutes();
    connect(&m_http, &QHttpServer::newWebSocketConnection, this, [this] {
        while (m_http.hasPendingWebSocketConnections())
            AdmitPage(m_http.nextPendingWebSocketConnection());
    });
}

CWebServer::~CWebServer() = default;

namespace {

// "port 8443" on every address; "192.0.2.10:8443" on one.
QString Endpoint(const QHostAddress& address, quint16 port)
{
    if (IsAnyAddress(address))
        return QStringLiteral("port %1").arg(port);
    return QStringLiteral("%1:%2").arg(AddressInUrl(address)).arg(port);
}

} // namespace

bool CWebServer::Listen(const QHostAddress& address, quint16 port, const QSslConfiguration& tls, QString& why)
{
    auto listener = std::make_unique<CWebListener>(tls, &m_http);
    if (!listener->listen(address, port)) {
        why = QStringLiteral("the web panel cannot listen: %1")
                  .arg(ListenProblem(listener->serverError(), Endpoint(address, port), address.toString(),
                                     listener->errorString()));
        return false;
    }
    m_port = listener->serverPort();
    m_listener = listener.release();
    // The HTTP server owns it from here.
    m_http.bind(m_listener);
    return true;
}

// The page's messages are small: a command or one frame of its microphone.
void CWebServer::AdmitPage(std::unique_ptr<QWebSocket> socket)
{
    socket->setMaxAllowedIncomingMessageSize(kLargestPageMessage);
    socket->setMaxAllowedIncomingFrameSize(kLargestPageMessage);
    if (m_listener)
        m_listener->BecamePage(socket->peerAddress(), socket->peerPort());
    m_feed->Admit(std::move(socket));
}

void CWebServer::AddRoutes()
{
    using Method = QHttpServerRequest::Method;
    m_http.route("/", Method::Get, [this](const QHttpServerRequest& request) { return Home(request); });
    for (const WebAsset& asset : m_site.assets)
        m_http.route(asset.path, Method::Get, [asset] { return Asset(asset.resource, asset.type); });
    m_http.route("/login", Method::Post, [this](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
        Login(request, std::move(responder));
    });
    m_http.route("/logout", Method::Post, [this](const QHttpServerRequest& request) { return Logout(request); });
    auto admits = [this](const QHttpServerRequest& request) {
        const QString refusal = m_feed->Refusal(request.url().path(), Header(request, "Host"),
                                                Header(request, "Origin"), Header(request, "Cookie"));
        if (refusal.startsWith(QLatin1String("origin ")))
            m_tally->Note(QStringLiteral("refused: wrong origin"), request.remoteAddress().toString(), QString());
        else if (!refusal.isEmpty())
            qCInfo(lcWeb) << "live page from" << request.remoteAddress().toString() << "refused:" << refusal;
        return refusal.isEmpty();
    };
    // Its answer is the upgrade, which the server makes after this returns.
    m_http.route<CFeedRule>("/ws", admits, [](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
        if (Header(request, "Upgrade").compare("websocket", Qt::CaseInsensitive) != 0)
            responder.write(QHttpServerResponder::StatusCode::BadRequest);
    });
    m_http.setMissingHandler([](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
        if (request.url().path() == QLatin1String("/ws"))
            return responder.write("Refused", {{"Content-Type", "text/plain"}, {"X-Content-Type-Options", "nosniff"}},
                                   QHttpServerResponder::StatusCode::Forbidden);
        responder.write("Not found", {{"Content-Type", "text/plain"}, {"X-Content-Type-Options", "nosniff"},
                                      {"Content-Security-Policy", "default-src 'none'; frame-ancestors 'none'"},
                                      {"Strict-Transport-Security", "max-age=31536000"}},
                        QHttpServerResponder::StatusCode::NotFound);
    });
}

std::optional<WebSession> CWebServer::SessionOf(const QHttpServerRequest& request)
{
    const QString token = SessionToken(Header(request, "Cookie"));
    return token.isEmpty() ? std::nullopt : m_sessions.Use(token, QDateTime::currentDateTimeUtc());
}

QHttpServerResponse CWebServer::Home(const QHttpServerRequest& request)
{
    // A page whose session the station ended comes here: it is told why.
    if (!SessionOf(request))
        return LoginPage(m_sessions.WhyEnded(SessionToken(Header(request, "Cookie"))));
    return Asset(m_site.home, "text/html; charset=utf-8");
}

// The answer is written when the worker is done; the client may have gone
// by then, and is then not answered. What was typed as a name reaches the
// throttle only when it could be a name, and the log and the record only
// when it names an operator: people type passwords there too.
void CWebServer::Login(const QHttpServerRequest& request, QHttpServerResponder&& responder)
{
    auto pending = std::make_shared<QHttpServerResponder>(std::move(responder));
    const QPointer<QTcpSocket> socket = pending->socket();
    auto answer = [pending, socket](QHttpServerResponse response) {
        if (socket)
            response.write(std::move(*pending));
    };

    const QString peer = request.remoteAddress().toString();
    const LoginForm form = ReadLoginForm(request.body());
    const QString& name = form.name;
    const QByteArray& password = form.password;
    if (!FromOwnOrigin(Header(request, "Host"), Header(request, "Origin"), Header(request, "Referer"))) {
        m_tally->Note(QStringLiteral("refused: wrong origin"), peer, Known(name));
        return answer(LoginPage(QString::fromLatin1(kRefusal), Status::Forbidden));
    }
    if (m_hashing >= kMostHashes) {
        m_tally->Note(QStringLiteral("refused: too many logins at once"), peer, QString());
        return answer(LoginPage(QString::fromLatin1(kSlowDown), Status::ServiceUnavailable));
    }
    const CLoginThrottle::Decision decision = m_throttle.Take(peer, name, QDateTime::currentDateTimeUtc());
    if (decision.verdict != CLoginThrottle::Verdict::Allowed) {
        m_tally->Note(decision.verdict == CLoginThrottle::Verdict::Locked
                          ? QStringLiteral("locked out")
                          : QStringLiteral("refused: too soon after a failure"),
                      peer, Known(name));
        return answer(LoginPage(QString::fromLatin1(kSlowDown), Status::TooManyRequests));
    }
    TakeUpOperatorChanges();
    if (name.isEmpty())
        return answer(Concluded(peer, name, std::nullopt, decision.locks));
    ++m_hashing;
    // A copy of the file as it is now: the worker reads it while the panel
    // may go on.
    const COperatorStore operators = m_operators;
    const bool locks = decision.locks;
    auto check = [this, operators, peer, name, password, answer, locks] {
        QtConcurrent::run([operators, name, password] { return operators.Verify(name, password); })
            .then(this, [this, peer, name, answer, locks, operators](std::optional<OperatorRole> role) {
                --m_hashing;
                // Changed while the worker checked: the password it checked
                // is no longer the operator's.
                TakeUpOperatorChanges();
                if (role && m_operators.Find(name) != operators.Find(name))
                    role.reset();
                answer(Concluded(peer, name, role, locks));
            });
    };
    if (decision.wait.count() > 0)
        QTimer::singleShot(decision.wait, this, check);
    else
        check();
}

QString CWebServer::Known(const QString& typed) const { return m_operators.Contains(typed) ? typed : QString(); }

QHttpServerResponse CWebServer::Concluded(const QString& peer, const QString& name, std::optional<OperatorRole> role,
                                          bool locks)
{
    // The right password of an operator whose role this page is not for
    // (the operations page's watchers on a station, or the reverse).
    if (role && !m_site.admits(*role)) {
        m_tally->Note(QStringLiteral("refused: role %1 not served here").arg(RoleName(*role)), peer, name);
        return LoginPage(QString::fromLatin1(kRefusal), Status::Forbidden);
    }
    if (!role) {
        m_tally->Note(QStringLiteral("login failed"), peer, Known(name));
        if (locks)
            m_tally->Note(QStringLiteral("locked out"), peer, Known(name));
        return LoginPage(QString::fromLatin1(kRefusal), Status::Unauthorized);
    }
    m_throttle.Succeeded(peer, name);
    qCInfo(lcWeb) << name << "logged in from" << peer << "as" << RoleName(*role);
    emit Access(QStringLiteral("logged in"), peer, name);
    return Redirect(SessionCookie(m_sessions.Create(name, *role, QDateTime::currentDateTimeUtc())));
}

// Refusals reach the log and the record through the tally, in bounded numbers.
void CWebServer::Refused(const QString& event, const QString& address, const QString& name)
{
    qCWarning(lcWeb).noquote() << QStringLiteral("login from %1%2: %3")
                                      .arg(address, name.isEmpty() ? QString() : QStringLiteral(" as ") + name, event);
    emit Access(event, address, name);
}

void CWebServer::TakeUpOperatorChanges()
{
    const std::optional<COperatorsWatch::Change> change = m_operatorsWatch.Look(m_operators);
    if (!change)
        return;
    if (!change->problem.isEmpty())
        qCWarning(lcWeb).noquote() << change->problem << "- nobody can log in to the web panel until it is mended";
    m_operators = change->operators;
    for (const QString& name : change->removed)
        EndOperator(name, QStringLiteral("sessions ended: operator removed"),
                    QStringLiteral("This operator was removed from the station."));
    for (const QString& name : change->changed)
        EndOperator(name, QStringLiteral("sessions ended: operator changed"),
                    QStringLiteral("This operator's password or role was changed; log in again."));
}

void CWebServer::EndOperator(const QString& name, const QString& event, const QString& why)
{
    const QStringList tokens = m_sessions.EndAllOf(name, why);
    for (const QString& token : tokens)
        m_feed->EndSession(token, why);
    qCInfo(lcWeb) << "operator" << name << "removed or changed:" << tokens.size() << "sessions ended";
    if (!tokens.isEmpty())
        emit Access(event, QString(), name);
}

QHttpServerResponse CWebServer::Logout(const QHttpServerRequest& request)
{
    if (!FromOwnOrigin(Header(request, "Host"), Header(request, "Origin"), Header(request, "Referer"))) {
        m_tally->Note(QStringLiteral("refused: wrong origin"), request.remoteAddress().toString(), QString());
        return Secured(QHttpServerResponse("text/plain", "Refused: not from this panel's page.", Status::Forbidden));
    }
    const QString token = SessionToken(Header(request, "Cookie"));
    if (const std::optional<WebSession> session = SessionOf(request)) {
        qCInfo(lcWeb) << session->name << "logged out from" << request.remoteAddress().toString();
        emit Access(QStringLiteral("logged out"), request.remoteAddress().toString(), session->name);
    }
    if (!token.isEmpty()) {
        m_sessions.End(token);
        m_feed->EndSession(token);
    }
    return Redirect(SessionCookie(QString(), true));
}
