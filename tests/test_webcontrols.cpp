// The web page's controls are the desktop's: on a loopback port, operators
// of each role send what the page sends, and the fake port shows that the
// panel's own handlers ran and sent their bytes (keying through the page's
// own key, which only its unkey ends), or the page was refused and nothing
// went out.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QWebSocket>
#include <QtTest>
#include <map>
#include <memory>

#include "access/controlnames.h"
#include "keying/transmitholder.h"
#include "panel/tavrinview.h"
#include "radiowatch/silencewatch.h"
#include "support/samplefile.h"
#include "support/viewharness.h"
#include "support/webclient.h"
#include "web/beatwatch.h"
#include "web/operatorstore.h"
#include "web/webcertificate.h"
#include "web/webcommands.h"
#include "web/webkeying.h"
#include "web/webpanelseam.h"
#include "web/webserver.h"
#include "web/webtls.h"

namespace {

const QByteArray kPassword = "correct horse";
constexpr int kQuietMs = 150;  // long enough for a stray write to show

QJsonObject Parsed(const QString& text) { return QJsonDocument::fromJson(text.toUtf8()).object(); }

QList<QJsonObject> OfType(const QStringList& messages, const QString& type)
{
    QList<QJsonObject> found;
    for (const QString& text : messages)
        if (const QJsonObject message = Parsed(text); message.value(QStringLiteral("type")).toString() == type)
            found << message;
    return found;
}

} // namespace

class WebControlsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void message_data();
    void message();
    void layout_data();
    void layout();
    void secondState_carriesOnlyTheChangedValues();
    void burstOfReports_reachesThePageAsItsLatest();

private:
    WebClient Client() const { return WebClient(m_identity.certificate, m_server->Port()); }
    QStringList& Messages(const QString& role) { return m_messages[role]; }
    QString LastRefusal(const QString& role);
    QByteArray PageWrites();

    QTemporaryDir m_dir;
    WebIdentity m_identity;
    std::unique_ptr<ViewHarness> m_panel;
    std::unique_ptr<CWebPanelSeam> m_seam;
    std::unique_ptr<CWebServer> m_server;
    CBeatWatch m_beats{CWebKeying::kBeatTimeout};
    std::unique_ptr<CWebKeying> m_keying;
    WebStation m_station;
    std::map<QString, QStringList> m_messages;  // by role
    std::map<QString, std::unique_ptr<QWebSocket>> m_feeds;
};

void WebControlsTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString cert = m_dir.filePath(QStringLiteral("cert.pem"));
    const QString key = m_dir.filePath(QStringLiteral("key.pem"));
    QString why;
    QVERIFY2(MakeSelfSignedIdentity(cert, key, QStringLiteral("testhost"), why), qPrintable(why));
    QVERIFY2(ReadWebIdentity(cert, key, m_identity, why), qPrintable(why));
    COperatorStore operators(m_dir.filePath(QStringLiteral("operators.json")));
    for (OperatorRole role : {OperatorRole::Listen, OperatorRole::Operate, OperatorRole::Transmit})
        QVERIFY2(operators.Add(RoleName(role), role, kPassword, why), qPrintable(why));

    m_panel = std::make_unique<ViewHarness>(&SampleChannelFileOnce());
    m_panel->Start();
    NameFormControls(m_panel->View().Form());
    auto* silence = new CSilenceWatch(m_panel->View());
    m_seam = std::make_unique<CWebPanelSeam>(m_panel->View(), *silence);
    m_server = std::make_unique<CWebServer>(operators, [this] { return m_seam->Snapshot(); });
    QVERIFY2(m_server->Listen(QHostAddress::LocalHost, 0, WebTlsConfiguration(m_identity), why), qPrintable(why));
    auto* holder = new CTransmitHolder(&m_panel->View());
    holder->Follow(m_panel->View());
    m_keying = std::make_unique<CWebKeying>(*holder, m_server->Feed(), m_panel->View(), m_beats);
    m_station = {&m_panel->View(), m_keying.get(), nullptr, &m_beats};
    CarryOutPageCommands(m_server->Feed(), m_station);
    m_server->Feed().SetLayout(m_seam->Layout());
    connect(&m_panel->View(), &CTavrinView::ReportParsed, &m_server->Feed(), [this] { m_server->Feed().Changed(); });
    for (const QString& role : {QStringLiteral("listen"), QStringLiteral("operate"), QStringLiteral("transmit")}) {
        m_feeds[role] = Client().OpenFeed(Client().Cookie(role.toLatin1(), kPassword), Messages(role));
        QTRY_VERIFY_WITH_TIMEOUT(!OfType(Messages(role), QStringLiteral("channels")).isEmpty(), kWebWaitMs);
    }
    // The radio is heard, at 7050 kHz, USB, AGC slow.
    m_panel->Feed("F0705000 \nM1 \nA2 \n");
    QTest::qWait(kQuietMs);
    m_panel->TakeWrites();
}

void WebControlsTest::cleanupTestCase()
{
    m_feeds.clear();
    m_keying.reset();
    m_server.reset();
    m_seam.reset();
    m_panel.reset();
}

QString WebControlsTest::LastRefusal(const QString& role)
{
    const QList<QJsonObject> refused = OfType(Messages(role), QStringLiteral("refused"));
    return refused.isEmpty() ? QString() : refused.last().value(QStringLiteral("text")).toString();
}

// The panel's status poll goes out every few seconds whatever a page does.
QByteArray WebControlsTest::PageWrites()
{
    QByteArrayList writes = m_panel->TakeWrites();
    writes.removeAll(QByteArray("?\nU"));
    return writes.join();
}

void WebControlsTest::message_data()
{
    QTest::addColumn<QString>("role");
    QTest::addColumn<QStringList>("messages");  // as the page sends them, in order
    QTest::addColumn<QByteArray>("bytes");      // what the radio gets
    QTest::addColumn<QString>("refusal");       // the last message's, or empty

    const auto press = [](const char* control) { return QStringLiteral("{\"command\":\"press\",\"control\":\"%1\"}").arg(QLatin1String(control)); };
    const auto enter = [](const char* control, const char* text) {
        return QStringLiteral("{\"command\":\"enter\",\"control\":\"%1\",\"text\":\"%2\"}").arg(QLatin1String(control), QLatin1String(text));
    };
    const auto choose = [](const char* control, int index) { return QStringLiteral("{\"command\":\"choose\",\"control\":\"%1\",\"index\":%2}").arg(QLatin1String(control)).arg(index); };
    const auto recall = [](int row) { return QStringLiteral("{\"command\":\"recall\",\"row\":%1}").arg(row); };
    const QString key = QStringLiteral("{\"command\":\"key\"}");
    const QString unkey = QStringLiteral("{\"command\":\"unkey\"}");
    const QString watchOnly = QStringLiteral("Your role (listen) may watch but not change the radio.");

    QTest::newRow("operate: 1 kHz step, Up") << "operate" << QStringList{press("step-1k"), press("freq-up")}
                                             << QByteArray("F0705100\n") << QString();
    QTest::newRow("operate: 1 kHz step, Down") << "operate" << QStringList{press("step-1k"), press("freq-down")}
                                               << QByteArray("F0704900\n") << QString();
    QTest::newRow("operate: direct entry, Set") << "operate" << QStringList{enter("freq-entry", "7150.000"), press("set-freq")}
                                                << QByteArray("F0715000\n") << QString();
    QTest::newRow("operate: mode AM") << "operate" << QStringList{choose("mode", 2)} << QByteArray("M\nM\n") << QString();
    QTest::newRow("operate: AGC Fast") << "operate" << QStringList{choose("agc", 3)} << QByteArray("A\nA\n") << QString();
    // 14250 kHz USB, AGC fast, the microphone, local audio; USB is in already.
    QTest::newRow("operate: recall row 1") << "operate" << QStringList{recall(1)} << QByteArray("'1\n\"1\nA\nA\nF1425000\n") << QString();
    QTest::newRow("operate: Mute") << "operate" << QStringList{press("mute")} << QByteArray("(0\n") << QString();
    QTest::newRow("transmit: Ext PTT") << "transmit" << QStringList{press("ext-ptt")} << QByteArray("'1\n") << QString();

    QTest::newRow("listen: Up") << "listen" << QStringList{press("freq-up")} << QByteArray() << watchOnly;
    QTest::newRow("listen: mode") << "listen" << QStringList{choose("mode", 1)} << QByteArray() << watchOnly;
    QTest::newRow("listen: recall") << "listen" << QStringList{recall(1)} << QByteArray() << watchOnly;
    QTest::newRow("listen: Xmit") << "listen" << QStringList{press("xmit")} << QByteArray() << watchOnly;
    QTest::newRow("operate: Xmit") << "operate" << QStringList{press("xmit")} << QByteArray()
                                   << QStringLiteral("Your role (operate) may not transmit.");
    QTest::newRow("operate: Ext PTT") << "operate" << QStringList{press("ext-ptt")} << QByteArray()
                                      << QStringLiteral("Your role (operate) may not transmit.");
    // Voice and data VOX key the transmitter from the microphone or the data line.
    QTest::newRow("operate: VOX Voice") << "operate" << QStringList{press("vox-voice")} << QByteArray()
                                        << QStringLiteral("Your role (operate) may not transmit.");
    QTest::newRow("transmit: Xmit goes to keying") << "transmit" << QStringList{press("xmit"), unkey}
                                                   << QByteArray("KU") << QString();
    // Tune goes to AM, two steps from USB, before it keys; the radio has
    // not said since, so the mode it goes back to is where it is already.
    QTest::newRow("transmit: Tune goes to keying") << "transmit" << QStringList{press("tune"), press("tune")}
                                                   << QByteArray("M\nM\nKU") << QString();
    QTest::newRow("transmit: key goes to keying") << "transmit" << QStringList{key, unkey} << QByteArray("KU") << QString();
    QTest::newRow("transmit: key, no keying") << "transmit" << QStringList{key}
                                              << QByteArray() << QStringLiteral("Keying is not available.");
    QTest::newRow("operate: unknown control") << "operate" << QStringList{press("no-such")} << QByteArray()
                                              << QStringLiteral("No control \"no-such\" on this panel.");
    QTest::newRow("transmit: DTR power") << "transmit" << QStringList{press("dtr-power")} << QByteArray()
                                         << QStringLiteral("No control \"dtr-power\" on this panel.");
    QTest::newRow("transmit: port settings") << "transmit" << QStringList{enter("settings", "9600,N,8,1")} << QByteArray()
                                             << QStringLiteral("No control \"settings\" on this panel.");
    QTest::newRow("operate: the frequency display") << "operate" << QStringList{enter("freq", "7000")} << QByteArray()
                                                    << QStringLiteral("\"freq\" shows what the panel knows; it cannot be changed.");
    QTest::newRow("operate: no such row") << "operate" << QStringList{recall(300)} << QByteArray()
                                          << QStringLiteral("The channel list has no row 300.");
    QTest::newRow("operate: no such mode") << "operate" << QStringList{choose("mode", 4)} << QByteArray()
                                           << QStringLiteral("\"mode\" has no item 4.");
    QTest::newRow("operate: typing into a button") << "operate" << QStringList{enter("freq-up", "1")} << QByteArray()
                                                   << QStringLiteral("\"freq-up\" takes no typing.");
    QTest::newRow("operate: not a command") << "operate" << QStringList{QStringLiteral("{\"command\":\"up\"}")}
                                            << QByteArray() << QStringLiteral("Not a command this panel knows.");
}

void WebControlsTest::message()
{
    QFETCH(QString, role);
    QFETCH(QStringList, messages);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, refusal);
    m_station.keying = QByteArray(QTest::currentDataTag()).endsWith("no keying") ? nullptr : m_keying.get();
    const qsizetype refusedBefore = OfType(Messages(role), QStringLiteral("refused")).size();
    for (const QString& message : messages)
        m_feeds[role]->sendTextMessage(message);
    QByteArray sent;
    if (!refusal.isEmpty())
        QTRY_COMPARE_WITH_TIMEOUT(OfType(Messages(role), QStringLiteral("refused")).size(), refusedBefore + 1, kWebWaitMs);
    else
        QTRY_VERIFY_WITH_TIMEOUT((sent += PageWrites()).size() >= bytes.size(), kWebWaitMs);
    QTest::qWait(kQuietMs);
    sent += PageWrites();
    QCOMPARE(sent, bytes);
    QCOMPARE(OfType(Messages(role), QStringLiteral("refused")).size(), refusedBefore + (refusal.isEmpty() ? 0 : 1));
    if (!refusal.isEmpty())
        QCOMPARE(LastRefusal(role), refusal);
}

void WebControlsTest::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");  // "-" when the control must not be in the layout

    QTest::newRow("Up is named as on the desktop") << "freq-up" << "accessible" << "Jog Frequency, Up";
    QTest::newRow("a step sits in Delta F") << "step-1k" << "group" << "Delta F";
    QTest::newRow("a step is a radio") << "step-1k" << "kind" << "radio";
    QTest::newRow("the frequency is shown only") << "freq" << "kind" << "text";
    QTest::newRow("the frequency needs no role") << "freq" << "role" << "";
    QTest::newRow("direct entry is typed into") << "freq-entry" << "kind" << "edit";
    QTest::newRow("the channels are a list") << "channels" << "kind" << "list";
    QTest::newRow("Ext PTT needs transmit") << "ext-ptt" << "role" << "transmit";
    QTest::newRow("VOX Data needs transmit") << "vox-data" << "role" << "transmit";
    QTest::newRow("VOX Off needs operate") << "vox-off" << "role" << "operate";
    QTest::newRow("mode's items") << "mode" << "items" << "USB LSB AM CW";
    QTest::newRow("AGC's items") << "agc" << "items" << "Off Slow Medium Fast";
    QTest::newRow("amplifier power") << "amp-power" << "accessible" << "Amplifier, Pwr";
    QTest::newRow("no port settings") << "settings" << "name" << "-";
    QTest::newRow("no DTR power") << "dtr-power" << "name" << "-";
    QTest::newRow("no serial control") << "mscomm" << "name" << "-";
}

void WebControlsTest::layout()
{
    QFETCH(QString, name);
    QFETCH(QString, field);
    QFETCH(QString, value);
    const QList<QJsonObject> layouts = OfType(Messages(QStringLiteral("listen")), QStringLiteral("layout"));
    QCOMPARE(layouts.size(), 1);
    QJsonObject control;
    for (const QJsonValue entry : layouts.first().value(QStringLiteral("controls")).toArray())
        if (entry.toObject().value(QStringLiteral("name")).toString() == name)
            control = entry.toObject();
    if (value == QLatin1String("-")) {
        QVERIFY(control.isEmpty());
        return;
    }
    const QJsonValue shown = control.value(field);
    QStringList items;
    for (const QJsonValue item : shown.toArray())
        items << item.toString();
    QCOMPARE(shown.isArray() ? items.join(' ') : shown.toString(), value);
}

void WebControlsTest::secondState_carriesOnlyTheChangedValues()
{
    QStringList messages;
    const auto feed = Client().OpenFeed(Client().Cookie("listen", kPassword), messages);
    QTRY_COMPARE_WITH_TIMEOUT(OfType(messages, QStringLiteral("state")).size(), 1, kWebWaitMs);
    const QJsonObject first = OfType(messages, QStringLiteral("state")).first().value(QStringLiteral("values")).toObject();
    QVERIFY(first.contains(QStringLiteral("step-1k")) && first.contains(QStringLiteral("mode")));
    m_panel->Feed("F0712300 \n");
    QTRY_COMPARE_WITH_TIMEOUT(OfType(messages, QStringLiteral("state")).size(), 2, kWebWaitMs);
    const QJsonObject second = OfType(messages, QStringLiteral("state")).last().value(QStringLiteral("values")).toObject();
    QVERIFY2(second.value(QStringLiteral("freq")).toString().contains(QStringLiteral("7123")),
             QJsonDocument(second).toJson().constData());
    for (const char* unchanged : {"mode", "agc", "step-1k", "chan-lower", "mute"})
        QVERIFY2(!second.contains(QLatin1String(unchanged)), unchanged);
    QVERIFY(second.size() < first.size() / 4);
    QCOMPARE(OfType(messages, QStringLiteral("channels")).size(), 1);
}

// Ten reports in one read: the page is told the last, without a message
// for each of those it could never have read.
void WebControlsTest::burstOfReports_reachesThePageAsItsLatest()
{
    QStringList messages;
    const auto feed = Client().OpenFeed(Client().Cookie("listen", kPassword), messages);
    QTRY_COMPARE_WITH_TIMEOUT(OfType(messages, QStringLiteral("channels")).size(), 1, kWebWaitMs);
    QByteArray burst;
    for (int khz = 7101; khz <= 7110; ++khz)
        burst += QByteArray("F0") + QByteArray::number(khz) + "00 \n";
    m_panel->Feed(burst);
    QTRY_VERIFY_WITH_TIMEOUT(OfType(messages, QStringLiteral("state")).last().value(QStringLiteral("values")).toObject()
                                 .value(QStringLiteral("freq")).toString().contains(QStringLiteral("7110")),
                             kWebWaitMs);
    QTest::qWait(kQuietMs);
    QVERIFY(OfType(messages, QStringLiteral("state")).size() <= 4);
}

QTEST_MAIN(WebControlsTest)
#include "test_webcontrols.moc"
