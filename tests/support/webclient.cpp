#include "support/webclient.h"

#include <QNetworkRequest>
#include <QRegularExpression>
#include <QSslSocket>
#include <QTest>
#include <QWebSocket>

#include "support/timelimits.h"
#include "web/webcommands.h"
#include "web/webfeed.h"

WebReply ParseWebReply(const QByteArray& raw)
{
    WebReply reply;
    const qsizetype split = raw.indexOf("\r\n\r\n");
    reply.headers = raw.left(split);
    reply.body = split < 0 ? QByteArray() : raw.mid(split + 4);
    const QList<QByteArray> statusLine = raw.left(raw.indexOf("\r\n")).split(' ');
    reply.status = statusLine.size() > 1 ? statusLine[1].toInt() : 0;
    return reply;
}

QByteArray SessionCookieOf(const WebReply& reply)
{
    const QRegularExpression cookie(QStringLiteral("Set-Cookie: tavrin_session=([^;]*);"),
                                    QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = cookie.match(QString::fromLatin1(reply.headers));
    return match.hasMatch() ? match.captured(1).toLatin1() : QByteArray();
}

QSslConfiguration WebClient::Pinned() const
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setCaCertificates({m_certificate});
    configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
    return configuration;
}

WebReply WebClient::Send(const QByteArray& method, const QByteArray& path, const QByteArray& extraHeaders,
                         const QByteArray& body) const
{
    // A request waits only until it is answered, so the limit can be wide:
    // under the sanitizers a server still working through hundreds of other
    // TLS handshakes takes several times longer to get to this one.
    constexpr int kAnswerMs = kWebWaitMs * kSanitizedSlowdown;
    QSslSocket socket;
    socket.setSslConfiguration(Pinned());
    socket.connectToHostEncrypted(QStringLiteral("127.0.0.1"), m_port);
    // The server shares this thread: wait without blocking its loop.
    if (!QTest::qWaitFor([&socket] { return socket.isEncrypted(); }, kAnswerMs)) {
        qWarning() << "handshake" << socket.sslHandshakeErrors() << socket.errorString();
        return {};
    }
    socket.write(method + ' ' + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(m_port)
                 + "\r\nConnection: close\r\n" + extraHeaders + "Content-Length: " + QByteArray::number(body.size())
                 + "\r\n\r\n" + body);
    QByteArray raw;
    static_cast<void>(QTest::qWaitFor([&] {
        raw += socket.readAll();
        const WebReply reply = ParseWebReply(raw);
        const QRegularExpression length(QStringLiteral("Content-Length: (\\d+)"), QRegularExpression::CaseInsensitiveOption);
        const auto match = length.match(QString::fromLatin1(reply.headers));
        return socket.state() != QAbstractSocket::ConnectedState
               || (match.hasMatch() && reply.body.size() >= match.captured(1).toInt());
    }, kAnswerMs));
    return ParseWebReply(raw);
}

WebReply WebClient::Login(const QByteArray& name, const QByteArray& password) const
{
    return Send("POST", "/login", "Origin: " + Origin() + "\r\nContent-Type: application/x-www-form-urlencoded\r\n",
                "name=" + name.toPercentEncoding() + "&password=" + password.toPercentEncoding());
}

QByteArray WebClient::Cookie(const QByteArray& name, const QByteArray& password) const
{
    const WebReply reply = Login(name, password);
    return reply.status == 303 ? SessionCookieOf(reply) : QByteArray();
}

std::unique_ptr<QWebSocket> WebClient::OpenFeed(const QByteArray& cookie, QStringList& messages) const
{
    auto socket = std::make_unique<QWebSocket>(QString::fromLatin1(Origin()));
    socket->setSslConfiguration(Pinned());
    QObject::connect(socket.get(), &QWebSocket::textMessageReceived, socket.get(),
                     [&messages](const QString& text) { messages << text; });
    QNetworkRequest request(QUrl(QStringLiteral("wss://127.0.0.1:%1/ws").arg(m_port)));
    request.setRawHeader("Cookie", "tavrin_session=" + cookie);
    socket->open(request);
    return socket;
}

void CarryOutPageCommands(CWebFeed& feed, const WebStation& station)
{
    QObject::connect(&feed, &CWebFeed::CommandFromPage, &feed,
                     [&feed, &station](const QObject* page, const WebSession& session, const QJsonObject& message) {
                         QString refusal;
                         if (const WebCommand* command = AdmitWebCommand(message, session, refusal))
                             refusal = RunWebCommand(*command, {station, session, page, message});
                         if (!refusal.isEmpty())
                             feed.Refuse(page, refusal);
                     });
}
