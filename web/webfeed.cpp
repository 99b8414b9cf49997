#include "web/webfeed.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QWebSocket>

#include "web/webhttp.h"
#include "web/weblog.h"

namespace {

constexpr int kPollMs = 100;
constexpr int kSessionCheckMs = 5000;

QString PeerOf(const QWebSocket& socket) { return socket.peerAddress().toString(); }

} // namespace

CWebFeed::CWebFeed(CWebSessions& sessions, StateSource state, QObject* parent)
    : QObject(parent), m_sessions(sessions), m_state(std::move(state))
{
    connect(&m_poll, &QTimer::timeout, this, &CWebFeed::Poll);
    connect(&m_sessionCheck, &QTimer::timeout, this, &CWebFeed::CheckSessions);
    m_poll.start(kPollMs);
    m_sessionCheck.start(kSessionCheckMs);
}

// A socket closing as it is deleted says so; nothing must hear it then.
CWebFeed::~CWebFeed()
{
    for (Page& page : m_pages)
        page.socket->disconnect(this);
    m_pages.clear();
}

void CWebFeed::Admit(std::unique_ptr<QWebSocket> socket)
{
    // Qt makes it a child of its WebSocket server too; it is the feed's alone.
    socket->setParent(nullptr);
    const QNetworkRequest request = socket->request();
    const QString token = SessionToken(request.rawHeader("Cookie"));
    const QString refusal = Refusal(request.url().path(), request.rawHeader("Host"), socket->origin().toLatin1(),
                                    request.rawHeader("Cookie"));
    const std::optional<WebSession> session = refusal.isEmpty()
                                                  ? m_sessions.Use(token, QDateTime::currentDateTimeUtc())
                                                  : std::nullopt;
    if (!session) {
        qCWarning(lcWeb) << "live page from" << PeerOf(*socket) << "refused:" << refusal;
        socket->close(QWebSocketProtocol::CloseCodePolicyViolated, refusal);
        DropLater(socket.release());
        return;
    }
    QWebSocket* raw = socket.get();
    connect(raw, &QWebSocket::textMessageReceived, this, [this, raw](const QString& text) { OnMessage(raw, text); });
    connect(raw, &QWebSocket::binaryMessageReceived, this,
            [this, raw](const QByteArray& data) { OnBinary(raw, data); });
    connect(raw, &QWebSocket::disconnected, this, [this, raw] { Drop(raw, QString()); });
    m_pages.push_back({std::move(socket), token, *session, PeerOf(*raw), WebPanelState{}});
    qCInfo(lcWeb) << "live page opened by" << session->name << "from" << m_pages.back().peer;
    Page& page = m_pages.back();
    Send(page, QJsonObject{{QStringLiteral("type"), QStringLiteral("you")},
                           {QStringLiteral("name"), session->name},
                           {QStringLiteral("role"), RoleName(session->role)}});
    if (!m_layout.isEmpty())
        Send(page, m_layout);
    SendChanges(page, m_state(), true);
    SendToAll(OperatorsMessage());
    emit PageOpened(raw);
}

QString CWebFeed::Refusal(const QString& path, const QByteArray& host, const QByteArray& origin,
                          const QByteArray& cookie)
{
    const QString token = SessionToken(cookie);
    if (path != QLatin1String("/ws"))
        return QStringLiteral("no feed at %1").arg(path);
    if (token.isEmpty() || !m_sessions.Use(token, QDateTime::currentDateTimeUtc()))
        return QStringLiteral("no valid session");
    if (host.isEmpty() || origin != PageOrigin(host))
        return QStringLiteral("origin \"%1\" is not the page's own").arg(QString::fromLatin1(origin));
    if (PageCount() >= kMostPages)
        return QStringLiteral("%1 pages are open already").arg(kMostPages);
    return {};
}

void CWebFeed::SetLayout(const QJsonObject& layout)
{
    m_layout = layout;
    SendToAll(m_layout);
}

void CWebFeed::Poll()
{
    if (m_pages.empty())
        return;
    const WebPanelState now = m_state();
    for (Page& page : m_pages)
        SendChanges(page, now, false);
}

// Each page is told what changed since it was last told, so a page that
// opened later is not sent what it has already.
void CWebFeed::SendChanges(Page& page, const WebPanelState& now, bool whole)
{
    if (!whole && now == page.sent)
        return;
    const QJsonObject values = whole ? now.values : now.ValuesChangedSince(page.sent);
    if (whole || !values.isEmpty() || now.link != page.sent.link)
        Send(page, {{QStringLiteral("type"), QStringLiteral("state")},
                    {QStringLiteral("values"), values},
                    {QStringLiteral("link"), now.link}});
    if (whole || now.channels != page.sent.channels)
        Send(page, {{QStringLiteral("type"), QStringLiteral("channels")},
                    {QStringLiteral("rows"), QJsonArray::fromStringList(now.channels)}});
    page.sent = now;
}

void CWebFeed::CheckSessions()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    std::vector<QWebSocket*> ended;
    for (const Page& page : m_pages) {
        if (!m_sessions.Use(page.token, now))
            ended.push_back(page.socket.get());
    }
    for (QWebSocket* socket : ended)
        Drop(socket, QStringLiteral("its session ended"));
}

void CWebFeed::EndSession(const QString& token)
{
    std::vector<QWebSocket*> ended;
    for (const Page& page : m_pages) {
        if (page.token == token)
            ended.push_back(page.socket.get());
    }
    for (QWebSocket* socket : ended)
        Drop(socket, QStringLiteral("logged out"));
}

void CWebFeed::OnMessage(QWebSocket* socket, const QString& text)
{
    for (Page& page : m_pages) {
        if (page.socket.get() != socket)
            continue;
        const QJsonObject command = QJsonDocument::fromJson(text.toUtf8()).object();
        m_speaking = socket;
        const QString refusal = m_commands ? m_commands(page.session, command)
                                           : QStringLiteral("This panel takes no commands.");
        m_speaking = nullptr;
        if (!refusal.isEmpty())
            Send(page, {{QStringLiteral("type"), QStringLiteral("refused")}, {QStringLiteral("text"), refusal}});
        return;
    }
}

void CWebFeed::OnBinary(QWebSocket* socket, const QByteArray& data)
{
    for (const Page& page : m_pages) {
        if (page.socket.get() == socket) {
            emit BinaryFromPage(socket, page.session, data);
            return;
        }
    }
}

bool CWebFeed::SendBinary(const QObject* page, const QByteArray& data)
{
    for (Page& open : m_pages) {
        if (open.socket.get() != page)
            continue;
        if (open.socket->bytesToWrite() > kMostUnsentBinaryBytes)
            return false;
        open.socket->sendBinaryMessage(data);
        return true;
    }
    return false;
}

void CWebFeed::Send(Page& page, const QJsonObject& message)
{
    if (page.socket->bytesToWrite() > kMostUnsentBytes) {
        qCWarning(lcWeb) << "live page of" << page.session.name << "from" << page.peer << "dropped: it stopped reading";
        QWebSocket* socket = page.socket.get();
        QMetaObject::invokeMethod(this, [this, socket] { Drop(socket, QStringLiteral("it stopped reading")); },
                                  Qt::QueuedConnection);
        return;
    }
    page.socket->sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
}

void CWebFeed::SendToAll(const QJsonObject& message)
{
    for (Page& page : m_pages)
        Send(page, message);
}

QJsonObject CWebFeed::OperatorsMessage() const
{
    QJsonArray list;
    QSet<QString> listed;
    for (const Page& page : m_pages) {
        if (listed.contains(page.session.name))
            continue;
        listed.insert(page.session.name);
        list.append(QJsonObject{{QStringLiteral("name"), page.session.name},
                                {QStringLiteral("role"), RoleName(page.session.role)}});
    }
    return {{QStringLiteral("type"), QStringLiteral("operators")}, {QStringLiteral("list"), list}};
}

void CWebFeed::Drop(QWebSocket* socket, const QString& why)
{
    const auto found = std::find_if(m_pages.begin(), m_pages.end(),
                                    [socket](const Page& page) { return page.socket.get() == socket; });
    if (found == m_pages.end())
        return;
    if (!why.isEmpty())
        qCInfo(lcWeb) << "live page of" << found->session.name << "from" << found->peer << "closed:" << why;
    socket->disconnect(this);
    socket->close(QWebSocketProtocol::CloseCodePolicyViolated, why);
    found->socket.release();
    m_pages.erase(found);
    DropLater(socket);
    emit PageGone(socket);
    SendToAll(OperatorsMessage());
}

void CWebFeed::DropLater(QWebSocket* socket) { socket->deleteLater(); }
