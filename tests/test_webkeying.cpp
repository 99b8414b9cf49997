// Keying from the web panel, on a loopback port with real pages and the
// real panel behind a fake serial port: each row is what a few operators'
// pages do, and what the transmitter, the holder and the record then say.
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebSocket>
#include <QtTest>
#include <map>
#include <memory>

#include "keying/transmitholder.h"
#include "panel/tavrinview.h"
#include "panel/tuningstate.h"
#include "support/viewharness.h"
#include "support/webclient.h"
#include "txlog/stationrecord.h"
#include "txlog/transmissioncsv.h"
#include "web/beatwatch.h"
#include "web/operatorstore.h"
#include "web/webcertificate.h"
#include "web/webcommands.h"
#include "web/webkeying.h"
#include "web/webserver.h"
#include "web/webtls.h"

namespace {

constexpr int kSettleMs = 150;
constexpr int kWaitMs = 5000;
const QByteArray kPassword = "correct horse";

QString FileText(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A heartbeat's end says how long the page was really silent: the time
// promised, or up to a quarter second more on a busy machine.
bool SameEnd(const QString& actual, const QString& expected)
{
    static const QRegularExpression silence(QStringLiteral("^no heartbeat for ([0-9.]+) s$"));
    const QRegularExpressionMatch got = silence.match(actual);
    const QRegularExpressionMatch promised = silence.match(expected);
    if (!got.hasMatch() || !promised.hasMatch())
        return actual == expected;
    const double late = got.captured(1).toDouble() - promised.captured(1).toDouble();
    return late >= 0.0 && late < 0.25;
}

QString Message(const QString& type, const QString& text)
{
    return QStringLiteral("{\"text\":\"%1\",\"type\":\"%2\"}").arg(text, type);
}

} // namespace

class WebKeyingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void keying_data();
    void keying();
    void access_data();
    void access();

private:
    struct Page {
        std::unique_ptr<QWebSocket> socket;
        QStringList heard;
    };
    void Run(const QString& step);
    void Tell(const QString& name, const QJsonObject& command);
    bool AnyPageHeard(const QString& message) const;
    bool AnyPageHeardType(const QString& type) const;
    static QString LastHolder(const Page& page);

    QTemporaryDir m_dir;
    WebIdentity m_identity;
    std::unique_ptr<ViewHarness> m_harness;
    CTransmitHolder* m_holder = nullptr;
    std::unique_ptr<CWebServer> m_server;
    CBeatWatch m_beats{CWebKeying::kBeatTimeout};
    std::unique_ptr<CWebKeying> m_keying;
    WebStation m_station;
    std::unique_ptr<WebClient> m_client;
    std::map<QString, QByteArray> m_cookies;
    std::map<QString, Page> m_pages;
};

void WebKeyingTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString cert = m_dir.filePath(QStringLiteral("cert.pem"));
    const QString key = m_dir.filePath(QStringLiteral("key.pem"));
    QString why;
    QVERIFY2(MakeSelfSignedIdentity(cert, key, QStringLiteral("testhost"), why), qPrintable(why));
    QVERIFY2(ReadWebIdentity(cert, key, m_identity, why), qPrintable(why));
    COperatorStore operators(m_dir.filePath(QStringLiteral("operators.json")));
    for (const auto& [name, role] : {std::pair{"ann", OperatorRole::Transmit}, std::pair{"bob", OperatorRole::Transmit},
                                     std::pair{"olga", OperatorRole::Operate}})
        QVERIFY2(operators.Add(QString::fromLatin1(name), role, kPassword, why), qPrintable(why));

    const QByteArray channels = ViewHarness::MinimalChannelFile();
    m_harness = std::make_unique<ViewHarness>(&channels);
    m_harness->Start();
    CTavrinView& view = m_harness->View();
    m_holder = new CTransmitHolder(&view);
    m_holder->Follow(view);
    auto* record = new CStationRecord(view, *m_holder);
    m_server = std::make_unique<CWebServer>(operators, [] { return WebPanelState{}; });
    QVERIFY2(m_server->Listen(QHostAddress::LocalHost, 0, WebTlsConfiguration(m_identity), why), qPrintable(why));
    connect(m_server.get(), &CWebServer::Access, record,
            [record](const QString& event, const QString& address, const QString& name) {
                record->Record(event, address, name, QStringLiteral("web"));
            });
    m_keying = std::make_unique<CWebKeying>(*m_holder, m_server->Feed(), view, m_beats);
    m_station = {&view, m_keying.get(), nullptr, &m_beats};
    CarryOutPageCommands(m_server->Feed(), m_station);
    m_client = std::make_unique<WebClient>(m_identity.certificate, m_server->Port());
    for (const char* name : {"ann", "bob", "olga"}) {
        m_cookies[name] = m_client->Cookie(name, kPassword);
        QVERIFY(!m_cookies[name].isEmpty());
    }
}

void WebKeyingTest::init()
{
    for (const auto& [name, cookie] : m_cookies) {
        Page& page = m_pages[name];
        page.socket = m_client->OpenFeed(cookie, page.heard);
        // A page is open once the feed has said its first word.
        static_cast<void>(QTest::qWaitFor([&page] { return !page.heard.isEmpty(); }, kWebWaitMs));
        QVERIFY(page.socket->isValid());
    }
}

void WebKeyingTest::cleanup()
{
    m_pages.clear();
    m_harness->View().OnReceive();
    m_holder->Look();
    m_keying->SetBeatTimeout(CWebKeying::kBeatTimeout);
    m_keying->SetWatchdog(std::chrono::seconds(180));
    QTest::qWait(kSettleMs);
}

void WebKeyingTest::cleanupTestCase()
{
    m_keying.reset();
    m_server.reset();
    m_harness.reset();
}

void WebKeyingTest::Tell(const QString& name, const QJsonObject& command)
{
    m_pages.at(name).socket->sendTextMessage(QString::fromUtf8(QJsonDocument(command).toJson(QJsonDocument::Compact)));
}

// "ann key", "bob receive", "ann close", "ann beats 800", "wait 600"
void WebKeyingTest::Run(const QString& step)
{
    const QStringList words = step.split(QLatin1Char(' '));
    const QString& who = words[0];
    const QString& what = words.value(1);
    if (who == QLatin1String("wait"))
        return QTest::qWait(what.toInt());
    if (what == QLatin1String("close")) {
        m_pages.at(who).socket->close();
    } else if (what == QLatin1String("beats")) {
        for (int waited = 0; waited < words.value(2).toInt(); waited += 100) {
            Tell(who, {{QStringLiteral("command"), QStringLiteral("beat")}});
            QTest::qWait(100);
        }
    } else if (what == QLatin1String("receive") || what == QLatin1String("xmit")) {
        Tell(who, {{QStringLiteral("command"), QStringLiteral("press")}, {QStringLiteral("control"), what}});
    } else {
        Tell(who, {{QStringLiteral("command"), what}});
    }
    QTest::qWait(kSettleMs);
}

bool WebKeyingTest::AnyPageHeard(const QString& message) const
{
    for (const auto& [name, page] : m_pages)
        if (page.heard.contains(message))
            return true;
    return false;
}

bool WebKeyingTest::AnyPageHeardType(const QString& type) const
{
    for (const auto& [name, page] : m_pages)
        for (const QString& text : page.heard)
            if (QJsonDocument::fromJson(text.toUtf8()).object().value(QStringLiteral("type")).toString() == type)
                return true;
    return false;
}

QString WebKeyingTest::LastHolder(const Page& page)
{
    QString last;
    for (const QString& text : page.heard) {
        const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
        if (message.value(QStringLiteral("type")).toString() == QLatin1String("holder"))
            last = message.value(QStringLiteral("text")).toString();
    }
    return last;
}

void WebKeyingTest::keying_data()
{
    QTest::addColumn<int>("beatMs");
    QTest::addColumn<int>("watchdogMs");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("refusal");  // heard by some page
    QTest::addColumn<bool>("keyed");       // at the end
    QTest::addColumn<QString>("ended");    // the holding's end, as recorded; "no heartbeat for N s" at N s or
                                           // a little later, as it really was

    const int beat = 2000;
    const int watchdog = 180000;
    QTest::newRow("transmit role keys, its unkey ends it")
        << beat << watchdog << QStringList{"ann key", "ann unkey"} << QString() << false << QStringLiteral("web unkey");
    QTest::newRow("Xmit pressed keys too")
        << beat << watchdog << QStringList{"ann xmit", "ann unkey"} << QString() << false << QStringLiteral("web unkey");
    QTest::newRow("operate role is refused")
        << beat << watchdog << QStringList{"olga key"} << QStringLiteral("Your role (operate) may not transmit.") << false
        << QString();
    QTest::newRow("operate role's Receive is refused")
        << beat << watchdog << QStringList{"ann key", "olga receive"}
        << QStringLiteral("Your role (operate) may not transmit.") << true << QString();
    QTest::newRow("a second transmit operator is told who holds it")
        << beat << watchdog << QStringList{"ann key", "bob key"}
        << QStringLiteral("The transmitter is held by ann (web).") << true << QString();
    QTest::newRow("another's unkey ends nothing")
        << beat << watchdog << QStringList{"ann key", "bob unkey"} << QString() << true << QString();
    QTest::newRow("another transmit operator's Receive ends it")
        << beat << watchdog << QStringList{"ann key", "bob receive"} << QString() << false
        << QStringLiteral("web Receive");
    QTest::newRow("the holder's page closing ends it")
        << beat << watchdog << QStringList{"ann key", "ann close"} << QString() << false
        << QStringLiteral("the page went away");
    QTest::newRow("another page closing ends nothing")
        << beat << watchdog << QStringList{"ann key", "bob close"} << QString() << true << QString();
    QTest::newRow("beats keep it keyed past the heartbeat's time")
        << 300 << watchdog << QStringList{"ann key", "ann beats 800"} << QString() << true << QString();
    QTest::newRow("another's beats do not")
        << 300 << watchdog << QStringList{"ann key", "bob beats 800"} << QString() << false
        << QStringLiteral("no heartbeat for 0.3 s");
    QTest::newRow("no heartbeat for 2 s, the real time")
        << beat << watchdog << QStringList{"ann key", "ann beats 1500", "wait 2100"} << QString() << false
        << QStringLiteral("no heartbeat for 2 s");
    QTest::newRow("the watchdog ends even a beating page's key")
        << 300 << 600 << QStringList{"ann key", "ann beats 900"} << QString() << false
        << QStringLiteral("the 0.6 s watchdog");
}

void WebKeyingTest::keying()
{
    QFETCH(int, beatMs);
    QFETCH(int, watchdogMs);
    QFETCH(QStringList, steps);
    QFETCH(QString, refusal);
    QFETCH(bool, keyed);
    QFETCH(QString, ended);
    m_keying->SetBeatTimeout(std::chrono::milliseconds(beatMs));
    m_keying->SetWatchdog(std::chrono::milliseconds(watchdogMs));
    QSignalSpy began(m_holder, &CTransmitHolder::Began);
    QSignalSpy ends(m_holder, &CTransmitHolder::Ended);

    for (const QString& step : steps)
        Run(step);

    if (refusal.isEmpty())
        QVERIFY(!AnyPageHeardType(QStringLiteral("refused")));
    else
        QVERIFY2(AnyPageHeard(Message(QStringLiteral("refused"), refusal)), qPrintable(refusal));
    QCOMPARE(g_chTxState == 'K', keyed);
    const QString endedAs = ends.isEmpty() ? QString() : ends.at(0).at(1).toString();
    QVERIFY2(SameEnd(endedAs, ended), qPrintable(endedAs));
    if (began.isEmpty())
        return;
    QCOMPARE(began.size(), 1);
    QCOMPARE(began.at(0).at(0).value<Keyer>().Who(), QStringLiteral("web operator ann 127.0.0.1"));
    // Every page still open is told who holds it, and then that nobody does.
    QVERIFY(m_pages.at("olga").heard.contains(Message(QStringLiteral("holder"), QStringLiteral("ann (web)"))));
    QCOMPARE(LastHolder(m_pages.at("olga")), keyed ? QStringLiteral("ann (web)") : QString());
    if (!ended.isEmpty()) {
        const QString record = FileText(TransmissionsFileName(QDateTime::currentDateTimeUtc()));
        QVERIFY2(record.contains(QStringLiteral(",web operator ann 127.0.0.1,web,")), qPrintable(record));
        QVERIFY2(record.contains(QLatin1Char(',') + endedAs + QStringLiteral("\r\n")), qPrintable(record));
    }
}

void WebKeyingTest::access_data()
{
    QTest::addColumn<QByteArray>("action");  // "login", "logout", "login from elsewhere"
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<QString>("row");  // the access record's line, after its time

    // A failure slows the address's next login: the failure comes last.
    QTest::newRow("logged in") << QByteArray("login") << QByteArray("bob") << kPassword
                               << QStringLiteral(",logged in,127.0.0.1,web bob\r\n");
    QTest::newRow("logged out") << QByteArray("logout") << QByteArray("olga") << kPassword
                                << QStringLiteral(",logged out,127.0.0.1,web olga\r\n");
    QTest::newRow("login form from another site") << QByteArray("login from elsewhere") << QByteArray("ann")
                                                  << kPassword
                                                  << QStringLiteral(",refused: wrong origin,127.0.0.1,web ann\r\n");
    QTest::newRow("failed, a known name kept")
        << QByteArray("login") << QByteArray("ann") << QByteArray("guess")
        << QStringLiteral(",login failed,127.0.0.1,web ann\r\n");
}

void WebKeyingTest::access()
{
    QFETCH(QByteArray, action);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, password);
    QFETCH(QString, row);
    const QByteArray form = "name=" + name.toPercentEncoding() + "&password=" + password.toPercentEncoding();
    if (action == "login") {
        m_client->Login(name, password);
    } else if (action == "logout") {
        const QByteArray cookie = m_client->Cookie(name, password);
        m_client->Send("POST", "/logout", "Origin: " + m_client->Origin() + "\r\nCookie: tavrin_session=" + cookie + "\r\n");
    } else {
        m_client->Send("POST", "/login", "Origin: https://evil.example\r\nContent-Type: application/x-www-form-urlencoded\r\n",
                       form);
    }
    QTRY_VERIFY_WITH_TIMEOUT(FileText(AccessFileName(QDateTime::currentDateTimeUtc())).contains(row), kWaitMs);
}

QTEST_MAIN(WebKeyingTest)
#include "test_webkeying.moc"
