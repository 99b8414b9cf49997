// The web panel refuses what it must: on a loopback port, with a certificate
// made for the test and pinned by the clients (no error is ignored), each
// row sends one request a browser or an attacker might and checks the
// answer. The real program's refusals to start are checked at the end.
#include <QProcess>
#include <QSslSocket>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QWebSocket>
#include <QtTest>
#include <memory>

#include "web/operatorstore.h"
#include "web/webcertificate.h"
#include "web/webserver.h"
#include "web/webtls.h"
#include "support/webclient.h"

namespace {

constexpr int kWaitMs = kWebWaitMs;
const QByteArray kPassword = "correct horse";
using Reply = WebReply;

QByteArray CookieOf(const Reply& reply) { return SessionCookieOf(reply); }

} // namespace

class WebRefusalsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void plainHttp_isRefused();
    void oldTls_isRefused();
    void request_data();
    void request();
    void badName_andBadPassword_areRefusedAlike();
    void threeFailures_refuseTheNextLoginWithinASecond_evenWithTheRightPassword();
    void liveFeed_data();
    void liveFeed();
    void logout_endsTheCookieAndItsLivePage();
    void program_data();
    void program();

private:
    WebClient Client() const;
    QSslConfiguration Pinned() const { return Client().Pinned(); }
    QByteArray Origin() const { return Client().Origin(); }
    Reply Send(const QByteArray& method, const QByteArray& path, const QByteArray& extraHeaders = {},
               const QByteArray& body = {}) const
    {
        return Client().Send(method, path, extraHeaders, body);
    }
    Reply Login(const QByteArray& name, const QByteArray& password) const { return Client().Login(name, password); }
    QByteArray ValidCookie() const { return Client().Cookie("ann", kPassword); }

    QTemporaryDir m_dir;
    WebIdentity m_identity;
    COperatorStore m_operators{QString()};
    std::unique_ptr<CWebServer> m_server;
    WebPanelState m_state;
};

void WebRefusalsTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString cert = m_dir.filePath(QStringLiteral("cert.pem"));
    const QString key = m_dir.filePath(QStringLiteral("key.pem"));
    QString why;
    QVERIFY2(MakeSelfSignedIdentity(cert, key, QStringLiteral("testhost"), why), qPrintable(why));
    QCOMPARE(QFileInfo(key).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());
    QVERIFY2(ReadWebIdentity(cert, key, m_identity, why), qPrintable(why));
    m_operators = COperatorStore(m_dir.filePath(QStringLiteral("operators.json")));
    QVERIFY2(m_operators.Add(QStringLiteral("ann"), OperatorRole::Transmit, kPassword, why), qPrintable(why));
    m_state.values = {{QStringLiteral("freq"), QStringLiteral("7050.00")}, {QStringLiteral("mode"), QStringLiteral("LSB")}};
}

void WebRefusalsTest::init()
{
    m_server = std::make_unique<CWebServer>(m_operators, [this] { return m_state; });
    QString why;
    QVERIFY2(m_server->Listen(QHostAddress::LocalHost, 0, WebTlsConfiguration(m_identity), why), qPrintable(why));
}

void WebRefusalsTest::cleanup() { m_server.reset(); }

WebClient WebRefusalsTest::Client() const { return WebClient(m_identity.certificate, m_server->Port()); }

void WebRefusalsTest::plainHttp_isRefused()
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_server->Port());
    QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QAbstractSocket::ConnectedState, kWaitMs);
    socket.write("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    QByteArray raw;
    static_cast<void>(QTest::qWaitFor([&] { raw += socket.readAll(); return socket.state() != QAbstractSocket::ConnectedState; }, kWaitMs));
    QVERIFY2(!raw.startsWith("HTTP/"), raw.constData());
}

void WebRefusalsTest::oldTls_isRefused()
{
    QSslSocket socket;
    QSslConfiguration configuration = Pinned();
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    configuration.setProtocol(QSsl::TlsV1_1);
    QT_WARNING_POP
    socket.setSslConfiguration(configuration);
    socket.connectToHostEncrypted(QStringLiteral("127.0.0.1"), m_server->Port());
    QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QAbstractSocket::UnconnectedState, kWaitMs);
    QVERIFY(!socket.isEncrypted());
}

void WebRefusalsTest::request_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("cookie");  // "valid" for a live session's
    QTest::addColumn<QByteArray>("origin");  // "own" for the page's own
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("bodyHas");

    QTest::newRow("no cookie: the login page") << QByteArray("GET") << QByteArray("/") << QByteArray() << QByteArray()
                                               << 200 << QByteArray("<label for=\"password\">Password</label>");
    QTest::newRow("forged cookie: the login page") << QByteArray("GET") << QByteArray("/")
                                                   << QByteArray("AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA")
                                                   << QByteArray() << 200 << QByteArray("Log in</button>");
    QTest::newRow("valid cookie: the panel") << QByteArray("GET") << QByteArray("/") << QByteArray("valid")
                                             << QByteArray() << 200 << QByteArray("Log out</button>");
    QTest::newRow("login posted from another site") << QByteArray("POST") << QByteArray("/login") << QByteArray()
                                                    << QByteArray("https://evil.example") << 403 << QByteArray("Log in");
    QTest::newRow("logout posted from another site") << QByteArray("POST") << QByteArray("/logout")
                                                     << QByteArray("valid") << QByteArray("https://evil.example") << 403
                                                     << QByteArray("Refused");
    QTest::newRow("logout posted without an origin") << QByteArray("POST") << QByteArray("/logout")
                                                     << QByteArray("valid") << QByteArray() << 403 << QByteArray("Refused");
}

void WebRefusalsTest::request()
{
    QFETCH(QByteArray, method);
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, cookie);
    QFETCH(QByteArray, origin);
    QFETCH(int, status);
    QFETCH(QByteArray, bodyHas);
    QByteArray headers;
    if (cookie == "valid")
        cookie = ValidCookie();
    if (!cookie.isEmpty())
        headers += "Cookie: tavrin_session=" + cookie + "\r\n";
    if (!origin.isEmpty())
        headers += "Origin: " + (origin == "own" ? Origin() : origin) + "\r\n";
    const Reply reply = Send(method, path, headers, method == "POST" ? "name=ann&password=x" : "");
    QCOMPARE(reply.status, status);
    QVERIFY2(reply.body.contains(bodyHas), reply.body.constData());
    for (const char* header : {"Strict-Transport-Security", "Content-Security-Policy: default-src 'self'",
                               "frame-ancestors 'none'", "X-Content-Type-Options: nosniff",
                               "Referrer-Policy: same-origin", "Cache-Control: no-store"})
        QVERIFY2(reply.headers.contains(header), header);
}

void WebRefusalsTest::badName_andBadPassword_areRefusedAlike()
{
    const Reply badPassword = Login("ann", "wrong");
    const Reply badName = Login("bob", kPassword);
    QCOMPARE(badPassword.status, 401);
    QVERIFY(CookieOf(badPassword).isEmpty());
    QCOMPARE(badName.status, badPassword.status);
    QCOMPARE(badName.body, badPassword.body);
}

void WebRefusalsTest::threeFailures_refuseTheNextLoginWithinASecond_evenWithTheRightPassword()
{
    for (int i = 0; i < 3; ++i)
        QCOMPARE(Login("ann", "wrong").status, 401);
    const Reply refused = Login("ann", kPassword);
    QCOMPARE(refused.status, 429);
    QVERIFY(CookieOf(refused).isEmpty());
    QTest::qWait(1100);
    QCOMPARE(Login("ann", kPassword).status, 303);
}

void WebRefusalsTest::liveFeed_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<bool>("withCookie");
    QTest::addColumn<QString>("origin");  // "own" for the page's own
    QTest::addColumn<bool>("admitted");

    QTest::newRow("no cookie") << QByteArray("/ws") << false << QStringLiteral("own") << false;
    QTest::newRow("another site's page") << QByteArray("/ws") << true << QStringLiteral("https://evil.example") << false;
    QTest::newRow("no origin") << QByteArray("/ws") << true << QString() << false;
    QTest::newRow("another path") << QByteArray("/feed") << true << QStringLiteral("own") << false;
    QTest::newRow("own page, logged in") << QByteArray("/ws") << true << QStringLiteral("own") << true;
}

void WebRefusalsTest::liveFeed()
{
    QFETCH(QByteArray, path);
    QFETCH(bool, withCookie);
    QFETCH(QString, origin);
    QFETCH(bool, admitted);
    QNetworkRequest request(QUrl(QStringLiteral("wss://127.0.0.1:%1%2").arg(m_server->Port()).arg(QString::fromLatin1(path))));
    if (withCookie)
        request.setRawHeader("Cookie", "tavrin_session=" + ValidCookie());
    QWebSocket socket(origin == QLatin1String("own") ? QString::fromLatin1(Origin()) : origin);
    socket.setSslConfiguration(Pinned());
    QStringList messages;
    connect(&socket, &QWebSocket::textMessageReceived, this, [&messages](const QString& text) { messages << text; });
    socket.open(request);
    static_cast<void>(QTest::qWaitFor([&] { return messages.size() >= 2 || socket.state() == QAbstractSocket::UnconnectedState; }, kWaitMs));
    if (!admitted) {
        QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QAbstractSocket::UnconnectedState, kWaitMs);
        QVERIFY(messages.isEmpty());
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(messages.size() >= 3, kWaitMs);
    QVERIFY2(messages.join(' ').contains(QStringLiteral("\"freq\":\"7050.00\"")), qPrintable(messages.join(' ')));
    QVERIFY(messages.join(' ').contains(QStringLiteral("{\"name\":\"ann\",\"role\":\"transmit\"}")));
    // Only a change is sent.
    const qsizetype before = messages.size();
    QTest::qWait(300);
    QCOMPARE(messages.size(), before);
    m_state.values.insert(QStringLiteral("transmit"), true);
    QTRY_VERIFY_WITH_TIMEOUT(messages.size() > before, kWaitMs);
    QVERIFY(messages.last().contains(QStringLiteral("\"transmit\":true")));
    m_state.values.insert(QStringLiteral("transmit"), false);
}

void WebRefusalsTest::logout_endsTheCookieAndItsLivePage()
{
    const QByteArray cookie = ValidCookie();
    QWebSocket socket(QString::fromLatin1(Origin()));
    socket.setSslConfiguration(Pinned());
    QNetworkRequest request(QUrl(QStringLiteral("wss://127.0.0.1:%1/ws").arg(m_server->Port())));
    request.setRawHeader("Cookie", "tavrin_session=" + cookie);
    socket.open(request);
    QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QAbstractSocket::ConnectedState, kWaitMs);
    const QByteArray headers = "Cookie: tavrin_session=" + cookie + "\r\nOrigin: " + Origin() + "\r\n";
    const Reply logout = Send("POST", "/logout", headers);
    QCOMPARE(logout.status, 303);
    QVERIFY(logout.headers.contains("Max-Age=0"));
    QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QAbstractSocket::UnconnectedState, kWaitMs);
    QVERIFY(Send("GET", "/", headers).body.contains("Log in</button>"));
}

void WebRefusalsTest::program_data()
{
    QTest::addColumn<bool>("withOperator");
    QTest::addColumn<bool>("portTaken");
    QTest::addColumn<QString>("sentence");

    QTest::newRow("no operator") << false << false << QStringLiteral("no operator is defined");
    QTest::newRow("port in use") << true << true << QStringLiteral("the web panel cannot listen");
}

// The real program, in a folder and profile of its own.
void WebRefusalsTest::program()
{
    QFETCH(bool, withOperator);
    QFETCH(bool, portTaken);
    QFETCH(QString, sentence);
    QTemporaryDir home;
    QVERIFY(home.isValid());
    if (withOperator) {
        COperatorStore store(home.filePath(QString::fromLatin1(COperatorStore::kFileName)));
        QString why;
        QVERIFY(store.Add(QStringLiteral("ann"), OperatorRole::Listen, kPassword, why) && store.Save(why));
    }
    QTcpServer taken;
    QVERIFY(taken.listen(QHostAddress::Any, 0));
    const quint16 port = taken.serverPort();
    if (!portTaken)
        taken.close();
    QProcess tavrin;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    tavrin.setProcessEnvironment(environment);
    tavrin.start(QStringLiteral(TAVRIN_BINARY),
                 {QStringLiteral("--data-dir"), home.path(), QStringLiteral("--web-port"), QString::number(port)});
    QVERIFY(tavrin.waitForFinished(kWaitMs * 2));
    QCOMPARE(tavrin.exitCode(), 2);
    const QString error = QString::fromLocal8Bit(tavrin.readAllStandardError());
    QVERIFY2(error.contains(sentence), qPrintable(error));
}

QTEST_GUILESS_MAIN(WebRefusalsTest)
#include "test_webrefusals.moc"
