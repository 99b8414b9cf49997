// The flrig server on a loopback port, with a stand-in for the panel: calls
// on one keep-alive connection answered in turn, a set's reply waiting for
// the radio's report or failing after a second, bodies over 64 KB, and the
// connection beyond the 16 served. The methods themselves are
// test_flrigmethods's, Hamlib's client on the real panel e2e_flrig's.
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QtTest>
#include <memory>

#include "remote/flrigrequest.h"
#include "remote/flrigserver.h"
#include "support/fakerigseam.h"

namespace {

constexpr int kWaitMs = 3000;

QByteArray Post(const QByteArray& body)
{
    return "POST /RPC2 HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: text/xml\r\nContent-Length: "
           + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

QByteArray Call(const char* method, const QByteArray& param = {})
{
    const QByteArray params = param.isEmpty() ? QByteArray() : "<params><param><value>" + param + "</value></param></params>";
    return Post("<?xml version=\"1.0\"?><methodCall><methodName>" + QByteArray(method) + "</methodName>" + params
                + "</methodCall>");
}

// A station program's connection: replies are read whole by their length.
class HttpPeer {
public:
    bool Connect(quint16 port)
    {
        socket.connectToHost(QHostAddress::LocalHost, port);
        return socket.waitForConnected(kWaitMs);
    }
    // The next reply's body, or nothing when none came in time.
    QByteArray Body(int timeoutMs = kWaitMs)
    {
        QByteArray body;
        static_cast<void>(QTest::qWaitFor([&] { return TakeReply(body); }, timeoutMs));
        return body;
    }
    QByteArray Ask(const QByteArray& request) { socket.write(request); return Body(); }
    bool Closed() { return socket.state() == QAbstractSocket::UnconnectedState; }
    QTcpSocket socket;

private:
    bool TakeReply(QByteArray& body)
    {
        m_received += socket.readAll();
        const qsizetype end = m_received.indexOf("\r\n\r\n");
        if (end < 0)
            return false;
        const qsizetype at = m_received.toLower().indexOf("content-length:");
        const qsizetype length = m_received.mid(at + 15, m_received.indexOf('\r', at) - at - 15).trimmed().toLongLong();
        if (m_received.size() < end + 4 + length)
            return false;
        body = m_received.mid(end + 4, length);
        m_received.remove(0, end + 4 + length);
        return true;
    }
    QByteArray m_received;
};

bool IsFault(const QByteArray& body) { return body.contains("<fault>") && body.endsWith("</methodResponse>\n"); }

} // namespace

class FlrigServerTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_server.reset(); }
    void setOnAKeptConnection_waitsForTheReportThenTheNextCallIsAnswered();
    void unconfirmedSet_isAFaultAfterASecond();
    void bodyOver64KB_isAFaultAndChangesNothing_data();
    void bodyOver64KB_isAFaultAndChangesNothing();
    void connectionBeyondTheServed_isToldSoInAFault();
    void requestReader_takesWhatStationProgramsSend_data();
    void requestReader_takesWhatStationProgramsSend();

private:
    FakeRigSeam m_rig;
    std::unique_ptr<CFlrigServer> m_server;
    quint16 m_port = 0;
};

void FlrigServerTest::init()
{
    m_rig = FakeRigSeam();
    m_rig.frequencyHz = 7035250;
    m_rig.mode = '2';
    m_server = std::make_unique<CFlrigServer>(m_rig, nullptr);
    QVERIFY(m_server->Listen(QHostAddress::LocalHost, 0));
    m_port = m_server->Port();
}

void FlrigServerTest::setOnAKeptConnection_waitsForTheReportThenTheNextCallIsAnswered()
{
    m_rig.obey = false;
    HttpPeer peer;
    QVERIFY(peer.Connect(m_port));
    peer.socket.write(Call("rig.set_vfoA", "<double>14074000</double>") + Call("rig.get_vfoA"));
    QCOMPARE(peer.Body(150), QByteArray());
    QCOMPARE(m_rig.calls, QByteArrayList{"frequency 14074000.0"});

    m_rig.frequencyHz = 14074000; // the radio's report
    m_rig.Report();
    const QByteArray set = peer.Body();
    QVERIFY2(set.contains("<param><value></value></param>"), set.constData());
    QVERIFY(peer.Body().contains("<value>14074000</value>"));
    QVERIFY(peer.Ask(Call("rig.get_modeA")).contains("<value>LSB</value>"));
    QCOMPARE(m_server->ClientCount(), 1);
}

void FlrigServerTest::unconfirmedSet_isAFaultAfterASecond()
{
    m_rig.obey = false;
    HttpPeer peer;
    QVERIFY(peer.Connect(m_port));
    QElapsedTimer sent;
    sent.start();
    const QByteArray body = peer.Ask(Call("rig.set_ptt", "<i4>1</i4>"));
    QVERIFY2(IsFault(body) && body.contains("did not confirm"), body.constData());
    QVERIFY2(sent.elapsed() >= 950 && sent.elapsed() < 1400, qPrintable(QString::number(sent.elapsed())));
}

void FlrigServerTest::bodyOver64KB_isAFaultAndChangesNothing_data()
{
    QTest::addColumn<int>("padding");
    QTest::addColumn<bool>("closed");
    QTest::newRow("65 KB, read whole: the connection stays") << 65 * 1024 << false;
    QTest::newRow("1 MB, refused as it comes: closed") << 1024 * 1024 << true;
}

void FlrigServerTest::bodyOver64KB_isAFaultAndChangesNothing()
{
    QFETCH(int, padding);
    QFETCH(bool, closed);
    HttpPeer peer;
    QVERIFY(peer.Connect(m_port));
    const QByteArray padded = "<methodCall><methodName>rig.set_ptt</methodName><!--" + QByteArray(padding, 'x')
                              + "--><params><param><value><i4>1</i4></value></param></params></methodCall>";
    const QByteArray body = peer.Ask(Post(padded));
    QVERIFY2(IsFault(body) && body.contains("more than 65536 bytes"), body.left(300).constData());
    QVERIFY(m_rig.calls.isEmpty());
    if (closed)
        QTRY_VERIFY(peer.Closed());
    else
        QVERIFY(peer.Ask(Call("rig.get_ptt")).contains("<i4>0</i4>"));
}

void FlrigServerTest::connectionBeyondTheServed_isToldSoInAFault()
{
    std::vector<std::unique_ptr<HttpPeer>> served;
    for (int i = 0; i < CFlrigServer::kMaxClients; ++i) {
        served.push_back(std::make_unique<HttpPeer>());
        QVERIFY(served.back()->Connect(m_port));
    }
    QTRY_COMPARE(m_server->ClientCount(), CFlrigServer::kMaxClients);
    HttpPeer late;
    QVERIFY(late.Connect(m_port));
    const QByteArray body = late.Ask(Call("rig.set_ptt", "<i4>1</i4>"));
    QVERIFY2(IsFault(body) && body.contains("serves its 16"), body.constData());
    QTRY_VERIFY(late.Closed());
    QVERIFY(m_rig.calls.isEmpty());
    QVERIFY(served.front()->Ask(Call("rig.get_vfo")).contains("<value>7035250</value>"));
}

// The bytes arrive in pieces of every size; what is read is the same.
void FlrigServerTest::requestReader_takesWhatStationProgramsSend_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("bodies");  // each request's body, "|" after each
    QTest::addColumn<QByteArray>("kept");    // each request's keep-alive, 1 or 0
    QTest::addColumn<int>("problem");
    using P = CFlrigRequestReader::Problem;
    QTest::newRow("two calls in one write") << Post("<a/>") + Post("<bb/>") << QByteArray("<a/>|<bb/>|") << QByteArray("11") << int(P::None);
    QTest::newRow("HTTP/1.0 closes unless it asks") << QByteArray("POST / HTTP/1.0\r\nContent-Length: 2\r\n\r\nabPOST / HTTP/1.0\r\n"
                                                                  "Connection: Keep-Alive\r\nContent-Length: 0\r\n\r\n")
                                                    << QByteArray("ab||") << QByteArray("01") << int(P::None);
    QTest::newRow("HTTP/1.1 asked to close") << QByteArray("POST / HTTP/1.1\r\nConnection: close\r\n\r\n") << QByteArray("|")
                                             << QByteArray("0") << int(P::None);
    QTest::newRow("bare newlines") << QByteArray("POST / HTTP/1.1\nContent-Length: 1\n\nz") << QByteArray("z|") << QByteArray("1") << int(P::None);
    QTest::newRow("chunked: not read") << QByteArray("POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n1\r\nz\r\n0\r\n\r\n")
                                       << QByteArray() << QByteArray() << int(P::Malformed);
    QTest::newRow("two lengths that differ") << QByteArray("POST / HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nzz")
                                             << QByteArray() << QByteArray() << int(P::Malformed);
    QTest::newRow("a length that is none") << QByteArray("POST / HTTP/1.1\r\nContent-Length: -1\r\n\r\n") << QByteArray()
                                           << QByteArray() << int(P::Malformed);
    QTest::newRow("not HTTP") << QByteArray("set_freq 7000000\n\n") << QByteArray() << QByteArray() << int(P::Malformed);
    QTest::newRow("a body past the limit, from its head") << QByteArray("POST / HTTP/1.1\r\nContent-Length: 1000001\r\n\r\n")
                                                          << QByteArray() << QByteArray() << int(P::TooLarge);
    QTest::newRow("a head of 8 KB, however cut") << QByteArray("POST / HTTP/1.1\r\nX: ") + QByteArray(8192 - 20, 'x') + "\r\n\r\n"
                                                 << QByteArray("|") << QByteArray("1") << int(P::None);
    QTest::newRow("a head that never ends") << QByteArray("POST / HTTP/1.1\r\nX: ") + QByteArray(9000, 'x') << QByteArray()
                                            << QByteArray() << int(P::TooLarge);
}

void FlrigServerTest::requestReader_takesWhatStationProgramsSend()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, bodies);
    QFETCH(QByteArray, kept);
    QFETCH(int, problem);
    for (const int piece : {1, 7, int(bytes.size())}) {
        CFlrigRequestReader reader(1000000);
        QByteArray readBodies, readKept;
        for (qsizetype at = 0; at < bytes.size(); at += piece) {
            reader.Feed(bytes.mid(at, piece));
            while (const std::optional<FlrigRequest> request = reader.Next()) {
                readBodies += request->body + '|';
                readKept += request->keepAlive ? '1' : '0';
            }
        }
        QCOMPARE(readBodies, bodies);
        QCOMPARE(readKept, kept);
        QCOMPARE(int(reader.Error()), problem);
    }
}

QTEST_GUILESS_MAIN(FlrigServerTest)
#include "test_flrigserver.moc"
