#include "web/webfeed.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QThread>
#include <QWebSocket>

#include "web/pagecommand.h"
#include "web/pageroom.h"
#include "web/webhttp.h"
#include "web/weblog.h"
#include "web/webmessages.h"

namespace {

constexpr int kSessionCheckMs = 5000;

QString PeerOf(const QWebSocket& socket) { return socket.peerAddress().toString(); }

QString CompactJson(const QJsonObject& message)
{
    return QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact));
}

// What a page that was told `before` needs to show `now`: everything, for
// a page just opened.
QList<QJsonObject> FeedChangeMessages(const WebPanelState& before, const WebPanelState& now, bool whole)
{
    QList<QJsonObject> messages;
    const QJsonObject values = whole ? now.values : now.ValuesChangedSince(before);
    if (whole || !values.isEmpty() || now.link != before.link)
        messages.append({{QStringLiteral("type"), WebMessage::kState},
                         {QStringLiteral("values"), values},
                         {QStringLiteral("link"), now.link}});
    if (whole || now.channels != before.channels)
        messages.append({{QStringLiteral("type"), WebMessage::kChannels},
                         {QStringLiteral("rows"), QJsonArray::fromStringList(now.channels)}});
    return messages;
}

} // namespace

CWebFeed::CWebFeed(CWebSessions& sessions, StateSource state, QObject* parent)
    : QObject(parent), m_sessions(sessions), m_state(std::move(state))
{
    m_look.setSingleShot(true);
    connect(&m_look, &QTimer::timeout, this, &CWebFeed::Look);
    connect(&m_round, &QTimer::timeout, this, &CWebFeed::Changed);
    connect(&m_sessionCheck, &QTimer::timeout, this, &CWebFeed::CheckSessions);
    m_round.start(kRoundMs);
    m_sessionCheck.start(kSessionCheckMs);
}

// A socket closing as it is deleted says so; nothing must hear it then.
CWebFeed::~CWebFeed()
{
    for (Page& page : m_pages)
        page.socket->disconnect(this);
    m_pages.clear();
    m_pageCount = 0;
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
                                                  ? m_sessions.Find(token, QDateTime::currentDateTimeUtc())
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
    m_pages.push_back({std::move(socket), token, *session, PeerOf(*raw), std::nullopt});
    m_pageCount = int(m_pages.size());
    qCInfo(lcWeb) << "live page opened by" << session->name << "from" << m_pages.back().peer;
    Page& page = m_pages.back();
    Send(page, QJsonObject{{QStringLiteral("type"), WebMessage::kYou},
                           {QStringLiteral("name"), session->name},
                           {QStringLiteral("role"), RoleName(session->role)}});
    if (!m_layout.isEmpty())
        Send(page, m_layout);
    const WebPanelState now = m_state();
    for (const QJsonObject& message : FeedChangeMessages({}, now, true))
        Send(page, message);
    // Caught up with the other pages at the next look.
    page.own = now;
    Changed();
    TellOperators();
    emit PageOpened(raw);
}

QString CWebFeed::Refusal(const QString& path, const QByteArray& host, const QByteArray& origin,
                          const QByteArray& cookie)
{
    const QString token = SessionToken(cookie);
    if (path != QLatin1String("/ws"))
        return QStringLiteral("no feed at %1").arg(path);
    // Opening the feed is the page's doing, not the operator's: not a use.
    const std::optional<WebSession> session = token.isEmpty() ? std::nullopt
                                                              : m_sessions.Find(token, QDateTime::currentDateTimeUtc());
    if (!session)
        return QStringLiteral("no valid session");
    if (const QString benched = BenchRefusal(token); !benched.isEmpty())
        return benched;
    if (host.isEmpty() || origin != PageOrigin(host))
        return QStringLiteral("origin \"%1\" is not the page's own").arg(QString::fromLatin1(origin));
    const auto ofOperator = std::count_if(m_pages.cbegin(), m_pages.cend(),
                                          [&session](const Page& page) { return page.session.name == session->name; });
    return PageRoomRefusal(PageCount(), int(ofOperator), session->role);
}

QString CWebFeed::BenchRefusal(const QString& token)
{
    const auto benched = m_benched.constFind(token);
    if (benched == m_benched.cend())
        return QString();
    if (benched->hasExpired()) {
        m_benched.erase(benched);
        return QString();
    }
    return QStringLiteral("this login's page sent too many messages; it may open again in %1 s")
        .arg((benched->remainingTime() + 999) / 1000);
}

bool CWebFeed::Elsewhere(std::function<void()> call)
{
    if (QThread::currentThread() == thread())
        return false;
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
    return true;
}

void CWebFeed::SetLayout(const QJsonObject& layout)
{
    if (Elsewhere([this, layout] { SetLayout(layout); }))
        return;
    m_layout = layout;
    SendToAll(m_layout);
}

void CWebFeed::Changed()
{
    if (Elsewhere([this] { Changed(); }))
        return;
    if (m_pages.empty() || m_look.isActive())
        return;
    const qint64 gap = std::max(kLeastGapMs, kGapPerPageMs * PageCount());
    const qint64 since = m_sinceLook.isValid() ? m_sinceLook.elapsed() : gap;
    m_look.start(int(std::max<qint64>(0, gap - since)));
}

void CWebFeed::Look()
{
    m_sinceLook.start();
    const WebPanelState now = m_state();
    QStringList texts;
    if (now != m_told)
        for (const QJsonObject& message : FeedChangeMessages(m_told, now, false))
            texts << CompactJson(message);
    for (Page& page : m_pages) {
        if (page.own) {
            TellBehind(page, now);
        } else if (!texts.isEmpty() && page.socket->bytesToWrite() > kBehindBytes) {
            page.own = m_told;
        } else {
            for (const QString& text : texts)
                SendText(page, text);
        }
    }
    m_told = now;
}

// Only the latest of each value, once the page has read what it had.
void CWebFeed::TellBehind(Page& page, const WebPanelState& now)
{
    if (page.socket->bytesToWrite() > kBehindBytes)
        return;
    for (const QJsonObject& message : FeedChangeMessages(*page.own, now, false))
        Send(page, message);
    page.own.reset();
}

void CWebFeed::CheckSessions()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    std::vector<QWebSocket*> ended;
    for (const Page& page : m_pages) {
        if (!m_sessions.Find(page.token, now))
            ended.push_back(page.socket.get());
    }
    for (QWebSocket* socket : ended)
        Drop(socket, WhyEnded(*socket));
}

void CWebFeed::EndSession(const QString& token, const QString& why)
{
    std::vector<QWebSocket*> ended;
    for (const Page& page : m_pages) {
        if (page.token == token)
            ended.push_back(page.socket.get());
    }
    for (QWebSocket* socket : ended)
        Drop(socket, why);
}

void CWebFeed::OnMessage(QWebSocket* socket, const QString& text)
{
    for (Page& page : m_pages) {
        if (page.socket.get() != socket)
            continue;
        if (!WithinRate(page, page.commands))
            return;
        const QJsonObject command = PageCommandOf(text);
        // An ended session's page acts no more.
        const QDateTime now = QDateTime::currentDateTimeUtc();
        if (!(IsOperatorsAct(command) ? m_sessions.Use(page.token, now) : m_sessions.Find(page.token, now)))
            return Drop(socket, WhyEnded(*socket));
        emit CommandFromPage(socket, page.session, command);
        // What the page did shows on every page without waiting for a round.
        Changed();
        return;
    }
}

void CWebFeed::OnBinary(QWebSocket* socket, const QByteArray& data)
{
    for (Page& page : m_pages) {
        if (page.socket.get() == socket) {
            if (WithinRate(page, page.frames))
                emit BinaryFromPage(socket, page.session, data);
            return;
        }
    }
}

bool CWebFeed::WithinRate(Page& page, CMessageRate& rate)
{
    if (rate.Take())
        return true;
    if (rate.RefusedInARow() == 1)
        Send(page, {{QStringLiteral("type"), WebMessage::kRefused},
                    {QStringLiteral("text"), QStringLiteral("Too many messages: some were not carried out.")}});
    if (rate.RefusedInARow() == kMostRefusedInARow) {
        // Benches past their time go here too, not only when their own
        // login comes back: one that never does would stay for good.
        m_benched.removeIf([](const auto& bench) { return bench.value().hasExpired(); });
        m_benched.insert(page.token, QDeadlineTimer(kFloodBenchMs));
        QWebSocket* socket = page.socket.get();
        QMetaObject::invokeMethod(this, [this, socket] { Drop(socket, QStringLiteral("it sent too many messages")); },
                                  Qt::QueuedConnection);
    }
    return false;
}

void CWebFeed::Refuse(const QObject* page, const QString& text)
{
    if (Elsewhere([this, page, text] { Refuse(page, text); }))
        return;
    for (Page& open : m_pages) {
        if (open.socket.get() == page)
            Send(open, {{QStringLiteral("type"), WebMessage::kRefused}, {QStringLiteral("text"), text}});
    }
}

bool CWebFeed::SendBinary(const QObject* page, const QByteArray& data)
{
    // From the panel's thread the frame is only handed over; whether it
    // went is decided here, later, by the same rule.
    if (Elsewhere([this, page, data] { SendBinary(page, data); }))
        return true;
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

void CWebFeed::Send(Page& page, const QJsonObject& message) { SendText(page, CompactJson(message)); }

void CWebFeed::SendText(Page& page, const QString& text)
{
    if (page.socket->bytesToWrite() > kMostUnsentBytes) {
        qCWarning(lcWeb) << "live page of" << page.session.name << "from" << page.peer << "dropped: it stopped reading";
        QWebSocket* socket = page.socket.get();
        QMetaObject::invokeMethod(this, [this, socket] { Drop(socket, QStringLiteral("it stopped reading")); },
                                  Qt::QueuedConnection);
        return;
    }
    page.socket->sendTextMessage(text);
}

void CWebFeed::SendToAll(const QJsonObject& message)
{
    if (Elsewhere([this, message] { SendToAll(message); }))
        return;
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
    return {{QStringLiteral("type"), WebMessage::kOperators}, {QStringLiteral("list"), list}};
}

void CWebFeed::TellOperators()
{
    const QJsonObject message = OperatorsMessage();
    SendToAll(message);
    QStringList names;
    for (const QJsonValue& entry : message.value(QLatin1String("list")).toArray())
        names << entry.toObject().value(QLatin1String("name")).toString();
    emit OperatorsChanged(names);
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
    m_pageCount = int(m_pages.size());
    DropLater(socket);
    emit PageGone(socket);
    TellOperators();
}

void CWebFeed::DropLater(QWebSocket* socket) { socket->deleteLater(); }

QString CWebFeed::WhyEnded(const QWebSocket& socket) const
{
    for (const Page& page : m_pages) {
        if (page.socket.get() == &socket) {
            const QString why = m_sessions.WhyEnded(page.token);
            return why.isEmpty() ? QStringLiteral("its session ended") : why;
        }
    }
    return QStringLiteral("its session ended");
}
