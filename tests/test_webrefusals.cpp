// The web panel refuses what it must: on a loopback port, with a certificate
// made for the test and pinned by the clients (no error is ignored), each
// row sends one request a browser or an attacker might and checks the
// answer. The limits' rows are what a hostile client does (connections
// that never speak, requests too large, names that are no operator's, a
// flood of logins, a web page at the station programs' ports) and what is
// left after. The live pages' limits follow, then the real program's
// refusals to start and to write, with the files it leaves.
#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QSslSocket>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QWebSocket>
#include <QtTest>
#include <malloc.h>
#include <memory>
#include <sys/mount.h>
#include <sys/stat.h>

#include "remote/flrigserver.h"
#include "remote/rigserver.h"
#include "support/fakerigseam.h"
#include "support/webclient.h"
#include "web/operatorname.h"
#include "web/operatorstore.h"
#include "web/webcertificate.h"
#include "web/weblistener.h"
#include "web/webfeed.h"
#include "web/webserver.h"
#include "web/webtls.h"

namespace {

constexpr int kWaitMs = kWebWaitMs;
const QByteArray kPassword = "correct horse";
using Reply = WebReply;
// Listen operators enough to fill every page but those kept for transmit.
constexpr int kListeners = 5;

QByteArray CookieOf(const Reply& reply) { return SessionCookieOf(reply); }

QByteArray Listener(int index) { return "lee" + QByteArray::number(index); }

// A device or a pipe is not read.
QByteArray Bytes(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile())
        return QByteArray("(not a file)");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

// Fills a small file system to the last byte.
void Fill(const QString& folder)
{
    QFile filler(folder + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    const QByteArray block(512, 'x');
    while (filler.write(block) > 0) {}
}

// A tmpfs of 64 kB mounted over a folder, for a disk that fills: the
// tests run as root, as CI does.
struct SmallDisk {
    QString path;
    bool mounted = false;
    explicit SmallDisk(const QString& where) : path(where)
    {
        if (path.isEmpty())
            return;
        QDir().mkpath(path);
        mounted = ::mount("tavrin-test", QFile::encodeName(path).constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallDisk()
    {
        if (mounted)
            ::umount2(QFile::encodeName(path).constData(), MNT_DETACH);
    }
};
// Memory in use by the process (the server and the test's clients, gone by
// then): what a refusal kept.
qint64 InUseKb() { return qint64(mallinfo2().uordblks / 1024); }

// Every message the program logs while a row runs.
QStringList g_logged;
void Keep(QtMsgType, const QMessageLogContext&, const QString& text) { g_logged << text; }

// The status of the answer, or 0 when the connection closed without one.
int StatusOf(const QByteArray& raw) { return raw.startsWith("HTTP/1.1 ") ? raw.mid(9, 3).toInt() : 0; }

} // namespace

class WebRefusalsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void plainHttp_isRefused();
    void oldTls_isRefused();
    void madeCertificate_namesTheAddressesAPhoneReaches();
    void request_data();
    void request();
    void badName_andBadPassword_areRefusedAlike();
    void threeFailures_refuseTheNextLoginWithinASecond_evenWithTheRightPassword();
    void liveFeed_data();
    void liveFeed();
    void logout_endsTheCookieAndItsLivePage();
    void pages_data();
    void pages();
    void limits_data();
    void limits();
    void program_data();
    void program();

private:
    // What a hostile client does, by the row's name; the status answered.
    int Attack(const QString& attack);
    int Raw(const QByteArray& request, qint64 thenBytes = 0, const QHostAddress& from = {});
    int Station(const QString& server, const QByteArray& request);
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
    FakeRigSeam m_rig;
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
    for (int i = 1; i <= kListeners; ++i)
        QVERIFY(m_operators.Add(QString::fromLatin1(Listener(i)), OperatorRole::Listen, kPassword, why));
    m_state.values = {{QStringLiteral("freq"), QStringLiteral("7050.00")}, {QStringLiteral("mode"), QStringLiteral("LSB")}};
}

void WebRefusalsTest::init()
{
    m_server = std::make_unique<CWebServer>(m_operators, [this] { return m_state; });
    QString why;
    QVERIFY2(m_server->Listen(QHostAddress::LocalHost, 0, WebTlsConfiguration(m_identity), why), qPrintable(why));
}

void WebRefusalsTest::cleanup() { m_server.reset(); }

// A browser given the page by number finds the number in the certificate.
void WebRefusalsTest::madeCertificate_namesTheAddressesAPhoneReaches()
{
    QTemporaryDir dir;
    QString why;
    const QList<QHostAddress> reached{QHostAddress(QStringLiteral("192.0.2.10")),
                                      QHostAddress(QStringLiteral("2001:db8::10"))};
    QVERIFY2(MakeSelfSignedIdentity(dir.filePath("cert.pem"), dir.filePath("key.pem"), QStringLiteral("shack"), why,
                                    reached),
             qPrintable(why));
    WebIdentity identity;
    QVERIFY2(ReadWebIdentity(dir.filePath("cert.pem"), dir.filePath("key.pem"), identity, why), qPrintable(why));
    const auto names = identity.certificate.subjectAlternativeNames();
    QCOMPARE(names.values(QSsl::DnsEntry).size(), 2);
    for (const char* name : {"localhost", "shack"})
        QVERIFY2(names.values(QSsl::DnsEntry).contains(QLatin1String(name)), name);
    for (const char* address : {"127.0.0.1", "192.0.2.10", "2001:db8::10"})
        QVERIFY2(names.values(QSsl::IpAddressEntry).contains(QLatin1String(address)), address);
}

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

void WebRefusalsTest::pages_data()
{
    QTest::addColumn<int>("listenPages");  // opened first, four by each listen operator
    QTest::addColumn<QByteArray>("who");    // opens one more
    QTest::addColumn<int>("idleMinutes");  // since the operator last did something on it
    QTest::addColumn<bool>("open");        // that page, at the end
    QTest::addColumn<QString>("said");     // the refusal, or why it was closed

    QTest::newRow("a page that only watched for 30 minutes")
        << 0 << QByteArray("ann") << 30 << false << QStringLiteral("30 minutes in which nothing was done");
    QTest::newRow("a page that only watched for 29 minutes") << 0 << QByteArray("ann") << 29 << true << QString();
    QTest::newRow("one listener's fifth page")
        << 4 << Listener(1) << 0 << false << QStringLiteral("this operator has 4 pages open already");
    QTest::newRow("a listener when listeners fill their share")
        << 16 << Listener(kListeners) << 0 << false << QStringLiteral("16 pages are open already");
    QTest::newRow("a transmit operator then") << 16 << QByteArray("ann") << 0 << true << QString();
}

// A page's beat is the page's, not the operator's doing: it keeps nothing
// alive, and it is where a page whose session is over learns it.
void WebRefusalsTest::pages()
{
    QFETCH(int, listenPages);
    QFETCH(QByteArray, who);
    QFETCH(int, idleMinutes);
    QFETCH(bool, open);
    QFETCH(QString, said);
    QMap<QByteArray, QByteArray> cookies;
    auto cookieOf = [&](const QByteArray& name) {
        if (!cookies.contains(name))
            cookies[name] = Client().Cookie(name, kPassword);
        return cookies[name];
    };
    std::vector<std::unique_ptr<QWebSocket>> others;
    QStringList unread;
    for (int i = 0; i < listenPages; ++i) {
        others.push_back(Client().OpenFeed(cookieOf(Listener(i / 4 + 1)), unread));
        QTRY_COMPARE_WITH_TIMEOUT(others.back()->state(), QAbstractSocket::ConnectedState, kWaitMs);
    }
    const QByteArray cookie = cookieOf(who);
    const QString refusal = m_server->Feed().Refusal(QStringLiteral("/ws"), "127.0.0.1:" + QByteArray::number(m_server->Port()),
                                                     Origin(), "tavrin_session=" + cookie);
    QStringList messages;
    const std::unique_ptr<QWebSocket> page = Client().OpenFeed(cookie, messages);
    static_cast<void>(QTest::qWaitFor([&] { return !messages.isEmpty() || page->state() == QAbstractSocket::UnconnectedState; }, kWaitMs));
    QCOMPARE(refusal.isEmpty(), messages.size() > 0);
    if (idleMinutes > 0) {
        m_server->Sessions().Use(QString::fromLatin1(cookie), QDateTime::currentDateTimeUtc().addSecs(-60 * idleMinutes));
        page->sendTextMessage(QStringLiteral("{\"command\":\"beat\"}"));
        QTest::qWait(300);
    }
    QCOMPARE(page->state() == QAbstractSocket::ConnectedState, open);
    QVERIFY2(refusal.contains(said) || page->closeReason().contains(said), qPrintable(refusal + page->closeReason()));
    // The login page then says why the session ended.
    if (idleMinutes > 0 && !open)
        QVERIFY(Send("GET", "/", "Cookie: tavrin_session=" + cookie + "\r\n").body.contains(said.toUtf8()));
}

void WebRefusalsTest::limits_data()
{
    QTest::addColumn<QString>("attack");
    QTest::addColumn<int>("status");   // answered; 0 closed unanswered; 1009 a page closed as too large
    QTest::addColumn<QString>("after");  // what else must hold

    QTest::newRow("80 connections that never speak, then GET /")
        << QStringLiteral("silent") << 200 << QStringLiteral("connections within the limit");
    QTest::newRow("a request half sent, past its deadline")
        << QStringLiteral("half") << 408 << QStringLiteral("no connection left");
    QTest::newRow("300 half-sent requests from 30 addresses, then GET /")
        << QStringLiteral("halves") << 200 << QStringLiteral("connections within the limit");
    QTest::newRow("a login body of 256 MB") << QStringLiteral("body") << 413 << QStringLiteral("memory kept");
    QTest::newRow("a header of 32 MB") << QStringLiteral("header") << 431 << QStringLiteral("memory kept");
    QTest::newRow("200,000 headers") << QStringLiteral("headers") << 431 << QStringLiteral("memory kept");
    QTest::newRow("a request line of 10 kB") << QStringLiteral("line") << 414 << QString();
    QTest::newRow("a page's message of 1 MB") << QStringLiteral("message") << 1009 << QStringLiteral("memory kept");
    QTest::newRow("a page closed for flooding, opened again at once")
        << QStringLiteral("flood") << 403 << QString();
    QTest::newRow("a name longer than any operator's")
        << QStringLiteral("long name") << 401 << QStringLiteral("the name nowhere");
    QTest::newRow("a name that is no operator's")
        << QStringLiteral("unknown name") << 401 << QStringLiteral("the name nowhere");
    // Each try is counted as it is taken: the first answered is a later
    // try's refusal, before the first try's password is checked.
    QTest::newRow("500 failed logins pipelined") << QStringLiteral("pipelined") << 429 << QStringLiteral("a few lines");
    // 401: three answered so, the rest told to wait, unchecked.
    QTest::newRow("60 logins at once") << QStringLiteral("at once") << 401 << QString();
    QTest::newRow("flrig: a POST from a web page")
        << QStringLiteral("flrig origin") << 403 << QStringLiteral("nothing run");
    QTest::newRow("flrig: a POST of plain text") << QStringLiteral("flrig text") << 403 << QStringLiteral("nothing run");
    QTest::newRow("rig-control: a web request") << QStringLiteral("rigctl http") << 0 << QStringLiteral("nothing run");
}

void WebRefusalsTest::limits()
{
    QFETCH(QString, attack);
    QFETCH(int, status);
    QFETCH(QString, after);
    m_rig.calls.clear();
    m_rig.frequencyHz = 7050000;
    QSignalSpy access(m_server.get(), &CWebServer::Access);
    g_logged.clear();
    const qint64 inUseBefore = InUseKb();
    const QtMessageHandler previous = qInstallMessageHandler(Keep);
    const int answered = Attack(attack);
    qInstallMessageHandler(previous);
    QCOMPARE(answered, status);

    CWebListener& listener = m_server->Listener();
    if (after == QLatin1String("connections within the limit"))
        QVERIFY2(listener.ConnectionCount() <= CWebListener::kMostConnections, qPrintable(QString::number(listener.ConnectionCount())));
    if (after == QLatin1String("no connection left"))
        QTRY_COMPARE_WITH_TIMEOUT(listener.ConnectionCount(), 0, kWaitMs);
    if (after == QLatin1String("memory kept"))
        QVERIFY2(InUseKb() - inUseBefore < 2 * 1024, qPrintable(QString::number(InUseKb() - inUseBefore)));
    if (after == QLatin1String("the name nowhere")) {
        for (const QList<QVariant>& event : access)
            QVERIFY2(event.at(2).toString().isEmpty(), qPrintable(event.at(2).toString()));
        QVERIFY2(!g_logged.join('\n').contains(QStringLiteral("hunter")), qPrintable(g_logged.join('\n')));
    }
    if (after == QLatin1String("a few lines")) {
        QVERIFY2(access.size() <= 3, qPrintable(QString::number(access.size())));
        m_server.reset();
        QVERIFY2(access.last().at(0).toString().contains(QStringLiteral("more times")),
                 qPrintable(access.last().at(0).toString()));
    }
    if (after == QLatin1String("nothing run"))
        QVERIFY2(m_rig.calls.isEmpty(), m_rig.calls.join(' ').constData());
}

int WebRefusalsTest::Attack(const QString& attack)
{
    const QByteArray form = "Origin: " + Origin() + "\r\nContent-Type: application/x-www-form-urlencoded\r\n";
    if (attack == QLatin1String("silent") || attack == QLatin1String("halves")) {
        const bool silent = attack == QLatin1String("silent");
        std::vector<std::unique_ptr<QSslSocket>> held;
        for (int i = 0; i < (silent ? 80 : 300); ++i) {
            held.push_back(std::make_unique<QSslSocket>());
            QSslSocket& socket = *held.back();
            socket.bind(QHostAddress(QStringLiteral("127.0.0.%1").arg(silent ? 1 : 2 + i % 30)));
            socket.setSslConfiguration(Pinned());
            if (silent) {
                socket.connectToHost(QHostAddress::LocalHost, m_server->Port());
            } else {
                socket.connectToHostEncrypted(QStringLiteral("127.0.0.1"), m_server->Port());
                socket.write("POST /login HTTP/1.1\r\nHost: x\r\nContent-Length: 40\r\n\r\nname=");
            }
        }
        QTest::qWait(1000);
        return Client().Send("GET", "/").status;
    }
    if (attack == QLatin1String("half")) {
        m_server->Listener().SetDeadlines(1000, 500, 2000);
        return Raw("POST /login HTTP/1.1\r\nHost: x\r\nContent-Length: 40\r\n\r\nname=");
    }
    if (attack == QLatin1String("body"))
        return Raw("POST /login HTTP/1.1\r\nHost: x\r\n" + form + "Content-Length: 268435456\r\n\r\n", 8 << 20);
    if (attack == QLatin1String("header"))
        return Raw("GET / HTTP/1.1\r\nHost: x\r\nX-Big: ", 32 << 20);
    if (attack == QLatin1String("headers"))
        return Raw("GET / HTTP/1.1\r\nHost: x\r\n" + QByteArray("X: y\r\n").repeated(200000));
    if (attack == QLatin1String("line"))
        return Raw("GET /" + QByteArray(10000, 'a') + " HTTP/1.1\r\nHost: x\r\n\r\n");
    if (attack == QLatin1String("message")) {
        QStringList heard;
        const std::unique_ptr<QWebSocket> page = Client().OpenFeed(ValidCookie(), heard);
        if (!QTest::qWaitFor([&] { return !heard.isEmpty(); }, kWaitMs))
            return -1;
        page->sendTextMessage(QString(1 << 20, QLatin1Char('x')));
        static_cast<void>(QTest::qWaitFor([&] { return page->state() == QAbstractSocket::UnconnectedState; }, kWaitMs));
        return int(page->closeCode());
    }
    if (attack == QLatin1String("flood")) {
        QStringList heard;
        const QByteArray cookie = ValidCookie();
        const std::unique_ptr<QWebSocket> page = Client().OpenFeed(cookie, heard);
        if (!QTest::qWaitFor([&] { return !heard.isEmpty(); }, kWaitMs))
            return -1;
        for (int i = 0; i < CWebFeed::kCommandBurst + CWebFeed::kMostRefusedInARow + 10; ++i)
            page->sendTextMessage(QStringLiteral("{\"command\":\"press\",\"control\":\"freq-up\"}"));
        if (!QTest::qWaitFor([&] { return page->state() == QAbstractSocket::UnconnectedState; }, kWaitMs))
            return -2;
        QStringList heardAgain;
        const std::unique_ptr<QWebSocket> again = Client().OpenFeed(cookie, heardAgain);
        QString failure;
        QObject::connect(again.get(), qOverload<QAbstractSocket::SocketError>(&QWebSocket::error), again.get(),
                         [&failure, &again](QAbstractSocket::SocketError) { failure = again->errorString(); });
        static_cast<void>(QTest::qWaitFor([&] { return !failure.isEmpty() || !heardAgain.isEmpty(); }, kWaitMs));
        return failure.contains(QLatin1String("403")) ? 403 : int(again->state());
    }
    if (attack == QLatin1String("long name"))
        return Login("hunter" + QByteArray(kLongestOperatorName, 'x'), "x").status;
    if (attack == QLatin1String("unknown name"))
        return Login("hunter2hunter2", "x").status;
    if (attack == QLatin1String("pipelined")) {
        const QByteArray body = "name=ann&password=wrong";
        const QByteArray request = "POST /login HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(m_server->Port())
                                   + "\r\n" + form + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n"
                                   + body;
        return Raw(request.repeated(500));
    }
    if (attack == QLatin1String("at once")) {
        std::vector<std::unique_ptr<QSslSocket>> tries;
        QByteArray answers;
        for (int i = 0; i < 60; ++i) {
            tries.push_back(std::make_unique<QSslSocket>());
            tries.back()->setSslConfiguration(Pinned());
            tries.back()->connectToHostEncrypted(QStringLiteral("127.0.0.1"), m_server->Port());
            const QByteArray body = "name=ann&password=wrong";
            tries.back()->write("POST /login HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(m_server->Port()) + "\r\n"
                                + form + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        }
        int unauthorized = 0;
        static_cast<void>(QTest::qWaitFor([&] {
            unauthorized = 0;
            int answered = 0;
            for (const auto& socket : tries) {
                const QByteArray raw = socket->peek(16);
                answered += StatusOf(raw) != 0;
                unauthorized += StatusOf(raw) == 401;
            }
            return answered == 60;
        }, kWaitMs * 2));
        return unauthorized == 3 ? 401 : unauthorized;
    }
    const QByteArray call = "<?xml version=\"1.0\"?><methodCall><methodName>rig.set_frequency</methodName>"
                            "<params><param><value><double>7100000</double></value></param></params></methodCall>";
    if (attack == QLatin1String("flrig origin"))
        return Station(QStringLiteral("flrig"), "POST /RPC2 HTTP/1.1\r\nHost: 127.0.0.1\r\nOrigin: https://evil.example\r\n"
                                                "Content-Type: text/xml\r\nContent-Length: "
                                                    + QByteArray::number(call.size()) + "\r\n\r\n" + call);
    if (attack == QLatin1String("flrig text"))
        return Station(QStringLiteral("flrig"), "POST /RPC2 HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: text/plain\r\n"
                                                "Content-Length: " + QByteArray::number(call.size()) + "\r\n\r\n" + call);
    return Station(QStringLiteral("rigctl"), "POST / HTTP/1.1\r\nHost: 127.0.0.1:4532\r\nContent-Type: text/plain\r\n"
                                             "Content-Length: 10\r\n\r\nF 7100000\n");
}

// Sends the request over TLS, then as many more bytes as told while the
// server reads; the status of what it answered.
int WebRefusalsTest::Raw(const QByteArray& request, qint64 thenBytes, const QHostAddress& from)
{
    QSslSocket socket;
    if (!from.isNull())
        socket.bind(from);
    socket.setSslConfiguration(Pinned());
    socket.connectToHostEncrypted(QStringLiteral("127.0.0.1"), m_server->Port());
    if (!QTest::qWaitFor([&socket] { return socket.isEncrypted(); }, kWaitMs))
        return -1;
    socket.write(request);
    const QByteArray chunk(64 * 1024, 'a');
    QByteArray raw;
    static_cast<void>(QTest::qWaitFor([&] {
        raw += socket.readAll();
        if (thenBytes > 0 && socket.bytesToWrite() < chunk.size() && socket.state() == QAbstractSocket::ConnectedState) {
            socket.write(chunk);
            thenBytes -= chunk.size();
        }
        return socket.state() != QAbstractSocket::ConnectedState || raw.contains("\r\n\r\n");
    }, kWaitMs * 2));
    return StatusOf(raw);
}

// One request to a station program's server on a loopback port.
int WebRefusalsTest::Station(const QString& server, const QByteArray& request)
{
    const std::unique_ptr<CStationServer> station =
        server == QLatin1String("flrig") ? std::unique_ptr<CStationServer>(std::make_unique<CFlrigServer>(m_rig, nullptr))
                                         : std::make_unique<CRigServer>(m_rig);
    if (!station->Listen(QHostAddress::LocalHost, 0))
        return -1;
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, station->Port());
    if (!socket.waitForConnected(kWaitMs))
        return -1;
    socket.write(request);
    QByteArray raw;
    static_cast<void>(QTest::qWaitFor([&] {
        raw += socket.readAll();
        return socket.state() != QAbstractSocket::ConnectedState;
    }, kWaitMs));
    return StatusOf(raw);
}

void WebRefusalsTest::program_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QStringList>("arguments");  // "<port>" for a free one; "<dir>" for the data folder
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("sentence");

    const QStringList web{QStringLiteral("--web-port"), QStringLiteral("<port>")};
    const QStringList add{QStringLiteral("--add-operator"), QStringLiteral("bob"), QStringLiteral("--role"), QStringLiteral("listen")};
    const QStringList list{QStringLiteral("--list-operators")};
    QTest::newRow("no operator") << QString() << web << 2 << QStringLiteral("no operator is defined");
    QTest::newRow("port in use") << QStringLiteral("operator, port taken") << web << 2
                                 << QStringLiteral("the web panel cannot listen: port %1 is in use");
    // The old list stays as it was, whole.
    QTest::newRow("an operator added on a full disk") << QStringLiteral("operator, full disk") << add << 1
                                                      << QStringLiteral("No space left on device");
    QTest::newRow("the certificate made on a full disk") << QStringLiteral("operator, full disk") << web << 2
                                                         << QStringLiteral("No space left on device");
    QTest::newRow("the operator file a named pipe") << QStringLiteral("fifo") << web << 2
                                                    << QStringLiteral("it is a named pipe");
    QTest::newRow("the operator file a device") << QStringLiteral("device") << list << 1
                                                << QStringLiteral("it is a device");
    QTest::newRow("a web key others can read") << QStringLiteral("operator, open key")
                                               << (web + QStringList{"--web-cert", "<dir>/cert.pem", "--web-key", "<dir>/key.pem"})
                                               << 2 << QStringLiteral("can be read or changed by other users");
    QTest::newRow("a new data folder") << QStringLiteral("new folder") << list << 0 << QStringLiteral("No operators");
}

// The real program, in a folder and profile of its own.
void WebRefusalsTest::program()
{
    QFETCH(QString, setup);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, sentence);
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QString folder = home.filePath(setup == QLatin1String("new folder") ? QStringLiteral("data/tavrin")
                                                                              : QStringLiteral("data"));
    const SmallDisk disk(setup.contains(QLatin1String("full disk")) ? home.filePath(QStringLiteral("data")) : QString());
    QVERIFY2(disk.path.isEmpty() || disk.mounted, "cannot mount a tmpfs (run as root)");
    QDir().mkpath(home.filePath(QStringLiteral("data")));
    const QString operators = folder + QStringLiteral("/operators.json");
    if (setup.startsWith(QLatin1String("operator"))) {
        COperatorStore store(operators);
        QString why;
        QVERIFY(store.Add(QStringLiteral("ann"), OperatorRole::Listen, kPassword, why) && store.Save(why));
    }
    if (setup == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(operators).constData(), 0600), 0);
    if (setup == QLatin1String("device"))
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), operators));
    if (setup.contains(QLatin1String("open key"))) {
        QVERIFY(QFile::copy(m_dir.filePath(QStringLiteral("cert.pem")), folder + QStringLiteral("/cert.pem")));
        QVERIFY(QFile::copy(m_dir.filePath(QStringLiteral("key.pem")), folder + QStringLiteral("/key.pem")));
        QVERIFY(QFile::setPermissions(folder + QStringLiteral("/key.pem"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    }
    if (!disk.path.isEmpty())
        Fill(disk.path);
    const QByteArray operatorsBefore = Bytes(operators);
    QTcpServer taken;
    QVERIFY(taken.listen(QHostAddress::Any, 0));
    const quint16 port = taken.serverPort();
    if (!setup.contains(QLatin1String("port taken")))
        taken.close();
    arguments.replaceInStrings(QStringLiteral("<port>"), QString::number(port));
    arguments.replaceInStrings(QStringLiteral("<dir>"), folder);
    QProcess tavrin;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    tavrin.setProcessEnvironment(environment);
    tavrin.start(QStringLiteral(TAVRIN_BINARY), QStringList{QStringLiteral("--data-dir"), folder} + arguments);
    tavrin.write("a new password\n");
    tavrin.closeWriteChannel();
    QVERIFY(tavrin.waitForFinished(kWaitMs * 2));
    const QString said = QString::fromLocal8Bit(tavrin.readAllStandardError() + tavrin.readAllStandardOutput());
    QVERIFY2(tavrin.exitCode() == status, qPrintable(said));
    QVERIFY2(said.contains(QString(sentence).replace(QStringLiteral("%1"), QString::number(port))), qPrintable(said));
    // What the program found is as it was; nothing half made is left: no
    // file being written, no key without its certificate.
    QCOMPARE(Bytes(operators), operatorsBefore);
    const QStringList left = QDir(folder).entryList(QDir::Files | QDir::System);
    for (const QString& name : left)
        QVERIFY2(!QRegularExpression(QStringLiteral("\\.(json|pem)\\.")).match(name).hasMatch()
                     && (disk.path.isEmpty() || !name.startsWith(QLatin1String("web-"))),
                 qPrintable(left.join(' ')));
    if (setup == QLatin1String("new folder"))
        QCOMPARE(QFileInfo(folder).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::ExeOther), QFile::Permissions());
}

QTEST_GUILESS_MAIN(WebRefusalsTest)
#include "test_webrefusals.moc"
