// The rig-control server on a loopback port, with a stand-in for the panel:
// replies that wait for the radio's confirming report or time out, the
// limit on unread output, the guard that unkeys what the network keyed, and
// the slot a full server takes from the client silent longest. The limit on
// clients and a keying client that goes away are tested end to end
// (e2e_rigctl).
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QtTest>
#include <memory>

#include "remote/rigclient.h"
#include "remote/rigserver.h"
#include "support/fakerigseam.h"
#include "support/timelimits.h"

namespace {

constexpr int kWaitMs = 3000;

// A client as a station program is one: it sends lines and reads replies.
class Peer {
public:
    bool Connect(quint16 port)
    {
        socket.connectToHost(QHostAddress::LocalHost, port);
        return socket.waitForConnected(kWaitMs);
    }
    void Send(const QByteArray& bytes) { socket.write(bytes); }
    // The next `count` lines, or what came before the wait ran out.
    QByteArray Lines(int count, int timeoutMs = kWaitMs)
    {
        static_cast<void>(QTest::qWaitFor([&] { return m_received.count('\n') >= count || Closed(); }, timeoutMs));
        const qsizetype end = NthLineEnd(count);
        const QByteArray lines = m_received.left(end);
        m_received.remove(0, end);
        return lines;
    }
    QByteArray Ask(const QByteArray& line) { Send(line + '\n'); return Lines(1).chopped(1); }
    bool Closed()
    {
        m_received += socket.readAll();
        return socket.state() == QAbstractSocket::UnconnectedState;
    }
    QTcpSocket socket;

private:
    qsizetype NthLineEnd(int count)
    {
        m_received += socket.readAll();
        qsizetype end = 0;
        for (int i = 0; i < count && end < m_received.size(); ++i) {
            const qsizetype at = m_received.indexOf('\n', end);
            end = at < 0 ? m_received.size() : at + 1;
        }
        return end;
    }
    QByteArray m_received;
};

} // namespace

class RigServerTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void setReply_waitsForTheRadiosReport();
    void unconfirmedSet_timesOutAfterASecond_data();
    void unconfirmedSet_timesOutAfterASecond();
    void clientThatNeverReads_isDroppedWhileOthersAreServed();
    void txTimeout_unkeysAndARepeatedKeyDoesNotExtendIt();
    void unkeyFromAnyClient_endsTheWatch();
    void serverClosing_unkeysWhatTheNetworkKeyed();
    void fullServer_givesTheSlotOfTheClientSilentLongestButNeverTheKeyers_data();
    void fullServer_givesTheSlotOfTheClientSilentLongestButNeverTheKeyers();

private:
    FakeRigSeam m_rig;
    std::unique_ptr<CRigServer> m_server;
    quint16 m_port = 0;
};

void RigServerTest::init()
{
    m_rig = FakeRigSeam();
    m_rig.frequencyHz = 7035250;
    m_rig.mode = '2';
    m_server = std::make_unique<CRigServer>(m_rig);
    QVERIFY(m_server->Listen(QHostAddress::LocalHost, 0));
    m_port = m_server->Port();
}

void RigServerTest::cleanup() { m_server.reset(); }

void RigServerTest::setReply_waitsForTheRadiosReport()
{
    m_rig.obey = false;
    Peer peer;
    QVERIFY(peer.Connect(m_port));
    peer.Send("F 14074000 f\n");
    QCOMPARE(peer.Lines(1, 150), QByteArray());
    QCOMPARE(m_rig.calls, QByteArrayList{"frequency 14074000.0"});

    m_rig.frequencyHz = 14074000; // the radio's report
    m_rig.Report();
    QElapsedTimer reported;
    reported.start();
    QCOMPARE(peer.Lines(2), QByteArray("RPRT 0\n14074000\n"));
    QVERIFY(reported.elapsed() < 100);
}

// Sent all the same, and answered "timed out": the radio did not report,
// or its report of the value is older than the command.
void RigServerTest::unconfirmedSet_timesOutAfterASecond_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("link");
    QTest::addColumn<unsigned>("reports");
    QTest::newRow("no report of the key") << QByteArray("T 1") << int(RigStatus::Ok) << 1u;
    QTest::newRow("silent radio, the frequency it last reported")
        << QByteArray("F 7035250") << int(RigStatus::TimedOut) << 1u;
    QTest::newRow("before the first report, receive") << QByteArray("T 0") << int(RigStatus::Ok) << 0u;
}

void RigServerTest::unconfirmedSet_timesOutAfterASecond()
{
    QFETCH(QByteArray, line);
    QFETCH(int, link);
    QFETCH(unsigned, reports);
    m_rig.obey = false;
    m_rig.link = RigStatus(link);
    m_rig.reports = reports;
    Peer peer;
    QVERIFY(peer.Connect(m_port));
    QElapsedTimer sent;
    sent.start();
    QCOMPARE(peer.Ask(line), QByteArray("RPRT -5"));
    QVERIFY2(sent.elapsed() >= CRigClient::kReportWaitMs - 50 && sent.elapsed() < CRigClient::kReportWaitMs + 400,
             qPrintable(QString::number(sent.elapsed())));
    QCOMPARE(m_rig.calls.size(), 1);
}

// Its replies pile up in the panel; another client is answered at once all
// the while, and the one that never reads is dropped.
void RigServerTest::clientThatNeverReads_isDroppedWhileOthersAreServed()
{
    Peer sleeper;
    sleeper.socket.setReadBufferSize(1024);
    sleeper.socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4096);
    QVERIFY(sleeper.Connect(m_port));
    Peer other;
    QVERIFY(other.Connect(m_port));
    QTRY_COMPARE(m_server->ClientCount(), 2);

    sleeper.Send(QByteArray("\\dump_state\n").repeated(3000));
    qint64 slowest = 0;
    QElapsedTimer flooding;
    flooding.start();
    while (m_server->ClientCount() == 2 && flooding.elapsed() < 10000) {
        QElapsedTimer asked;
        asked.start();
        QCOMPARE(other.Ask("f"), QByteArray("7035250"));
        slowest = std::max(slowest, asked.elapsed());
    }
    QCOMPARE(m_server->ClientCount(), 1);
    QVERIFY2(slowest < 200 * kSanitizedSlowdown, qPrintable(QStringLiteral("a reply took %1 ms").arg(slowest)));
    QCOMPARE(other.Ask("m"), QByteArray("LSB"));
}

void RigServerTest::txTimeout_unkeysAndARepeatedKeyDoesNotExtendIt()
{
    m_server->Guard().SetTimeout(std::chrono::milliseconds(400));
    Peer keyer;
    QVERIFY(keyer.Connect(m_port));
    QElapsedTimer keyed;
    keyed.start();
    QCOMPARE(keyer.Ask("T 1"), QByteArray("RPRT 0"));
    QTest::qWait(200);
    QCOMPARE(keyer.Ask("T 1"), QByteArray("RPRT 0"));

    QTRY_VERIFY_WITH_TIMEOUT(!m_rig.transmit, 2000);
    QVERIFY2(keyed.elapsed() < 550, qPrintable(QString::number(keyed.elapsed())));
    QCOMPARE(m_rig.calls, QByteArrayList({"key", "key", "unkey"}));
    QCOMPARE(keyer.Ask("t"), QByteArray("0")); // still connected
}

void RigServerTest::unkeyFromAnyClient_endsTheWatch()
{
    m_server->Guard().SetTimeout(std::chrono::milliseconds(200));
    Peer keyer;
    Peer other;
    QVERIFY(keyer.Connect(m_port));
    QVERIFY(other.Connect(m_port));
    QCOMPARE(keyer.Ask("T 1"), QByteArray("RPRT 0"));
    QCOMPARE(other.Ask("T 0"), QByteArray("RPRT 0"));
    QVERIFY(!m_server->Guard().Holding());

    keyer.socket.disconnectFromHost();
    QTRY_COMPARE(m_server->ClientCount(), 1);
    QTest::qWait(300);
    QCOMPARE(m_rig.calls, QByteArrayList({"key", "unkey"}));
}

void RigServerTest::serverClosing_unkeysWhatTheNetworkKeyed()
{
    Peer keyer;
    QVERIFY(keyer.Connect(m_port));
    QCOMPARE(keyer.Ask("T 2"), QByteArray("RPRT 0"));

    m_server->Close();
    QVERIFY(!m_rig.transmit);
    QCOMPARE(m_server->ClientCount(), 0);
    QTRY_VERIFY(keyer.Closed());
}

// Clients that never send a command fill every slot; a newcomer is refused
// until they have been silent long enough, then takes the slot of the one
// silent longest. An empty line now and then is no command. The client
// holding the key, silent longer still, keeps its slot and its key.
void RigServerTest::fullServer_givesTheSlotOfTheClientSilentLongestButNeverTheKeyers_data()
{
    QTest::addColumn<QByteArray>("chatter");
    QTest::newRow("never a whole line") << QByteArray("f");
    QTest::newRow("an empty line now and then") << QByteArray("\n");
}

void RigServerTest::fullServer_givesTheSlotOfTheClientSilentLongestButNeverTheKeyers()
{
    QFETCH(QByteArray, chatter);
    m_server->IdleClients().SetMinSilence(std::chrono::milliseconds(300));
    Peer keyer;
    QVERIFY(keyer.Connect(m_port));
    QCOMPARE(keyer.Ask("T 1"), QByteArray("RPRT 0"));
    std::vector<std::unique_ptr<Peer>> mute;
    for (int i = 1; i < CRigServer::kMaxClients; ++i) {
        mute.push_back(std::make_unique<Peer>());
        QVERIFY(mute.back()->Connect(m_port));
        mute.back()->Send(chatter);
        QTest::qWait(5);
    }
    QTRY_COMPARE(m_server->ClientCount(), CRigServer::kMaxClients);

    Peer early;
    QVERIFY(early.Connect(m_port));
    QTRY_VERIFY(early.Closed());
    QTest::qWait(200);
    for (const auto& peer : mute)
        peer->Send(chatter);
    QTest::qWait(200);
    Peer late;
    QVERIFY(late.Connect(m_port));

    QCOMPARE(late.Ask("f"), QByteArray("7035250"));
    QTRY_VERIFY(mute.front()->Closed());
    for (size_t i = 1; i < mute.size(); ++i)
        QVERIFY(!mute[i]->Closed());
    QCOMPARE(m_server->ClientCount(), CRigServer::kMaxClients);
    QVERIFY(m_server->Guard().Holding());
    QCOMPARE(keyer.Ask("t"), QByteArray("1"));
    QCOMPARE(m_rig.calls, QByteArrayList{"key"});
}

QTEST_GUILESS_MAIN(RigServerTest)
#include "test_rigserver.moc"
