#include "support/webpageclient.h"

#include <QRegularExpression>
#include <QSslSocket>
#include <QTest>
#include <QWebSocket>

namespace {

constexpr int kWaitMs = 5000;

PageReply ParseReply(const QByteArray& raw)
{
    PageReply reply;
    const qsizetype split = raw.indexOf("\r\n\r\n");
    reply.headers = raw.left(split);
    reply.body = split < 0 ? QByteArray() : raw.mid(split + 4);
    const QList<QByteArray> statusLine = raw.left(raw.indexOf("\r\n")).split(' ');
    reply.status = statusLine.size() > 1 ? statusLine[1].toInt() : 0;
    return reply;
}

bool Complete(const QByteArray& raw)
{
    const PageReply reply = ParseReply(raw);
    static const QRegularExpression length(QStringLiteral("Content-Length: (\\d+)"),
                                           QRegularExpression::CaseInsensitiveOption);
    const auto match = length.match(QString::fromLatin1(reply.headers));
    return match.hasMatch() && reply.body.size() >= match.captured(1).toInt();
}

} // namespace

QSslConfiguration WebPageClient::Pinning(const QSslCertificate& certificate)
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setCaCertificates({certificate});
    configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
    return configuration;
}

QByteArray WebPageClient::CookieOf(const PageReply& reply)
{
    static const QRegularExpression cookie(QStringLiteral("Set-Cookie: tavrin_session=([^;]*);"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = cookie.match(QString::fromLatin1(reply.headers));
    return match.hasMatch() ? match.captured(1).toLatin1() : QByteArray();
}

PageReply WebPageClient::Send(const QByteArray& method, const QByteArray& path, const QByteArray& extraHeaders,
                         const QByteArray& body) const
{
    QSslSocket socket;
    socket.setSslConfiguration(m_pinned);
    socket.connectToHostEncrypted(QStringLiteral("127.0.0.1"), m_port);
    // The server shares this thread: wait without blocking its loop.
    if (!QTest::qWaitFor([&socket] { return socket.isEncrypted(); }, kWaitMs))
        return {};
    socket.write(method + ' ' + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(m_port)
                 + "\r\nConnection: close\r\n" + extraHeaders + "Content-Length: " + QByteArray::number(body.size())
                 + "\r\n\r\n" + body);
    QByteArray raw;
    static_cast<void>(QTest::qWaitFor([&] {
        raw += socket.readAll();
        return socket.state() != QAbstractSocket::ConnectedState || Complete(raw);
    }, kWaitMs));
    return ParseReply(raw);
}

PageReply WebPageClient::Login(const QByteArray& name, const QByteArray& password) const
{
    return Send("POST", "/login", "Origin: " + Origin() + "\r\nContent-Type: application/x-www-form-urlencoded\r\n",
                "name=" + name.toPercentEncoding() + "&password=" + password.toPercentEncoding());
}

QByteArray WebPageClient::Cookie(const QByteArray& name, const QByteArray& password) const
{
    const PageReply reply = Login(name, password);
    return reply.status == 303 ? CookieOf(reply) : QByteArray();
}

std::unique_ptr<QWebSocket> WebPageClient::OpenPage(const QByteArray& cookie, QStringList& heard) const
{
    QNetworkRequest request(QUrl(QStringLiteral("wss://127.0.0.1:%1/ws").arg(m_port)));
    request.setRawHeader("Cookie", "tavrin_session=" + cookie);
    auto socket = std::make_unique<QWebSocket>(QString::fromLatin1(Origin()));
    socket->setSslConfiguration(m_pinned);
    QObject::connect(socket.get(), &QWebSocket::textMessageReceived, socket.get(),
                     [&heard](const QString& text) { heard << text; });
    socket->open(request);
    static_cast<void>(QTest::qWaitFor([&] { return !heard.isEmpty(); }, kWaitMs));
    return socket;
}
