// flrig's XML-RPC interface without a network: each call, as Hamlib's FLRig
// client and others post it, read and answered from what the radio last
// reported and whether it is heard, with the operations it asks of the
// panel; bad input as faults that change nothing; the one holder of the
// transmitter; and the bytes of a reply.
#include <QtTest>

#include "keying/transmitholder.h"
#include "panel/tuningstate.h"
#include "remote/flrigmethods.h"
#include "support/fakerigseam.h"
#include "support/programstate.h"

namespace {

// As Hamlib 4.5.4 posts a call: its client id after the declaration.
QByteArray HamlibBody(const char* method, const QByteArray& param = {})
{
    const QByteArray params = param.isEmpty() ? QByteArray() : "<params><param><value>" + param + "</value></param></params>";
    return "<?xml version=\"1.0\"?>\r\n<?clientid=\"hamlib(4242)\"?>\r\n<methodCall><methodName>" + QByteArray(method)
           + "</methodName>\r\n" + params + "</methodCall>\r\n";
}

// A value as the test table writes it: "7035250", "i4 0", "[USB,LSB]", "fault -32601".
QString Shown(const QVariant& value)
{
    if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong)
        return QStringLiteral("i4 %1").arg(value.toLongLong());
    if (value.typeId() == QMetaType::Double)
        return QStringLiteral("double %1").arg(value.toDouble(), 0, 'f', 0);
    if (value.typeId() == QMetaType::QStringList || value.typeId() == QMetaType::QVariantList) {
        QStringList items;
        for (const QVariant& item : value.toList())
            items << Shown(item);
        return QLatin1Char('[') + items.join(QLatin1Char(',')) + QLatin1Char(']');
    }
    return value.toString();
}

QString Answered(const QByteArray& body, FakeRigSeam& rig, CTransmitHolder* holder, FlrigClient& client)
{
    const XmlRpcRequest request = ReadXmlRpcCall(body);
    if (!request.call)
        return QStringLiteral("fault %1").arg(int(XmlRpcFault::NotXml));
    const FlrigAnswer answer = RunFlrigCall(*request.call, rig, holder, client);
    return answer.fault ? QStringLiteral("fault %1").arg(int(*answer.fault)) : Shown(answer.value);
}

struct Heard {
    std::optional<qint64> hz = 7035250;
    char mode = '2';
    RigStatus link = RigStatus::Ok;
};

void Row(const char* name, const QByteArray& body, const QString& reply, const QByteArrayList& calls = {}, Heard heard = {})
{
    QTest::newRow(name) << body << heard.hz << heard.mode << int(heard.link) << reply << calls;
}

} // namespace

Q_DECLARE_METATYPE(std::optional<qint64>)

class FlrigMethodsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ResetProgramGlobals(); }
    void call_getsItsReplyAndAsksThePanelForWhatItSays_data();
    void call_getsItsReplyAndAsksThePanelForWhatItSays();
    void key_whileAnotherHoldsTheTransmitter_isRefusedNamingTheHolder();
    void reply_isXmlRpcEndingInALineFeed();
};

void FlrigMethodsTest::call_getsItsReplyAndAsksThePanelForWhatItSays_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<std::optional<qint64>>("hz");
    QTest::addColumn<char>("mode");
    QTest::addColumn<int>("link");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QByteArrayList>("calls");
    const Heard nothingYet{std::nullopt, 0};
    const Heard silent{7035250, '2', RigStatus::TimedOut};
    const Heard portLost{7035250, '2', RigStatus::IoError};

    // Hamlib's calls when it opens the radio, in its order.
    Row("main.get_version", HamlibBody("main.get_version"), "1.4.7");
    Row("rig.get_xcvr", HamlibBody("rig.get_xcvr"), "RF-350");
    Row("rig.get_pwrmeter_scale is a fault", HamlibBody("rig.get_pwrmeter_scale"), "fault -32601");
    Row("rig.get_modeA", HamlibBody("rig.get_modeA"), "LSB");
    Row("rig.get_vfoA", HamlibBody("rig.get_vfoA"), "7035250");
    Row("rig.get_bwA", HamlibBody("rig.get_bwA"), "[2400,]");
    Row("rig.set_bwA without arguments is a fault", HamlibBody("rig.set_bwA"), "fault -32601");
    Row("rig.get_AB", HamlibBody("rig.get_AB"), "A");
    Row("rig.get_modes lists the data modes", HamlibBody("rig.get_modes"), "[USB,LSB,AM,CW,USB-D,LSB-D]");
    Row("rig.get_split", HamlibBody("rig.get_split"), "i4 0");
    Row("rig.get_vfoB, the one VFO", HamlibBody("rig.get_vfoB"), "7035250");
    Row("rig.get_ptt", HamlibBody("rig.get_ptt"), "i4 0");
    Row("rig.set_vfoA, double", HamlibBody("rig.set_vfoA", "<double>14074000.000000</double>"), "", {"frequency 14074000.0"});
    Row("rig.set_modeA, string", HamlibBody("rig.set_modeA", "<string>USB-D</string>"), "", {"mode 1"});
    Row("rig.set_ptt, int", HamlibBody("rig.set_ptt", "<i4>1</i4>"), "", {"key"});

    // The rest of what is answered.
    Row("without Hamlib's client id", "<?xml version=\"1.0\"?><methodCall><methodName>rig.get_vfo</methodName></methodCall>", "7035250");
    Row("main.get_frequency", HamlibBody("main.get_frequency"), "double 7035250");
    Row("rig.set_frequency, int", HamlibBody("rig.set_frequency", "<int>3573000</int>"), "", {"frequency 3573000.0"});
    Row("main.set_frequency, i8", HamlibBody("main.set_frequency", "<i8>7074000</i8>"), "", {"frequency 7074000.0"});
    Row("rig.set_mode, untyped, any letter case", HamlibBody("rig.set_mode", "cw"), "", {"mode 4"});
    Row("rig.set_modeA LSB-D", HamlibBody("rig.set_modeA", "LSB-D"), "", {"mode 2"});
    Row("rig.get_mode", HamlibBody("rig.get_mode"), "CW", {}, {7035250, '4'});
    Row("rig.get_sideband, LSB", HamlibBody("rig.get_sideband"), "L");
    Row("rig.get_sideband, AM", HamlibBody("rig.get_sideband"), "U", {}, {7035250, '3'});
    Row("rig.get_bw, CW", HamlibBody("rig.get_bw"), "[500,]", {}, {7035250, '4'});
    Row("rig.get_bws", HamlibBody("rig.get_bws"), "[[Bandwidth,2400,6000,500]]");
    Row("rig.set_ptt_fast 0", HamlibBody("rig.set_ptt_fast", "<i4>0</i4>"), "", {"unkey"});

    // Readings fail while they are not the radio's present state.
    Row("rig.get_vfo before any report", HamlibBody("rig.get_vfo"), "fault -32500", {}, nothingYet);
    Row("rig.get_mode before any report", HamlibBody("rig.get_mode"), "fault -32500", {}, nothingYet);
    Row("rig.get_vfoA, the radio silent", HamlibBody("rig.get_vfoA"), "fault -32500", {}, silent);
    Row("rig.get_ptt, the port lost", HamlibBody("rig.get_ptt"), "fault -32500", {}, portLost);

    // Bad input: a fault, and nothing reaches the panel.
    Row("WSJT-X's data mode without USB-D listed", HamlibBody("rig.set_modeA", "ERROR"), "fault -32602");
    Row("FM, which the radio lacks", HamlibBody("rig.set_mode", "FM"), "fault -32602");
    Row("a mode as a number", HamlibBody("rig.set_modeA", "<i4>1</i4>"), "fault -32602");
    Row("a frequency as a string", HamlibBody("rig.set_vfo", "<string>14074000</string>"), "fault -32602");
    Row("a frequency past the field", HamlibBody("rig.set_vfoA", "<double>1e9</double>"), "fault -32500");
    Row("a frequency without a parameter", HamlibBody("rig.set_vfoA"), "fault -32602");
    Row("two parameters", "<methodCall><methodName>rig.set_ptt</methodName><params><param><value><i4>1</i4></value></param>"
                          "<param><value><i4>1</i4></value></param></params></methodCall>", "fault -32602");
    Row("PTT 2", HamlibBody("rig.set_ptt", "<i4>2</i4>"), "fault -32602");
    Row("PTT as a string", HamlibBody("rig.set_ptt", "1"), "fault -32602");
    Row("PTT as a boolean", HamlibBody("rig.set_ptt", "<boolean>1</boolean>"), "fault -32602");
    Row("an int that is no number", HamlibBody("rig.set_ptt", "<i4>one</i4>"), "fault -32700");
    Row("an unknown method", HamlibBody("rig.set_power", "<i4>100</i4>"), "fault -32601");
    Row("malformed XML", "<methodCall><methodName>rig.set_ptt</methodName><params>", "fault -32700");
    Row("not XML", "T 1\n", "fault -32700");
    Row("empty", "", "fault -32700");
    Row("another root element", "<methodResponse><params/></methodResponse>", "fault -32700");
    Row("a document type and its entities",
        "<?xml version=\"1.0\"?><!DOCTYPE m [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;\">]>"
        "<methodCall><methodName>&b;</methodName></methodCall>", "fault -32700");
    Row("an unknown value type", HamlibBody("rig.set_ptt", "<float>1</float>"), "fault -32700");
    Row("arrays nested too deep", HamlibBody("rig.set_ptt", QByteArray("<array><data><value>").repeated(12)), "fault -32700");
    Row("more after the call", HamlibBody("rig.get_ptt") + "<methodCall/>", "fault -32700");
}

void FlrigMethodsTest::call_getsItsReplyAndAsksThePanelForWhatItSays()
{
    QFETCH(QByteArray, body);
    QFETCH(std::optional<qint64>, hz);
    QFETCH(char, mode);
    QFETCH(int, link);
    QFETCH(QString, reply);
    QFETCH(QByteArrayList, calls);
    FakeRigSeam rig;
    rig.frequencyHz = hz;
    rig.mode = mode;
    rig.link = RigStatus(link);
    FlrigClient client;

    QCOMPARE(Answered(body, rig, nullptr, client), reply);
    QCOMPARE(rig.calls, calls);
}

void FlrigMethodsTest::key_whileAnotherHoldsTheTransmitter_isRefusedNamingTheHolder()
{
    FakeRigSeam rig;
    CTransmitHolder holder;
    QObject firstSocket, secondSocket;
    FlrigClient first, second;
    first.keyer = {Keyer::Kind::StationProgram, QStringLiteral("127.0.0.1:40000"), QStringLiteral("flrig"), &firstSocket};
    second.keyer = {Keyer::Kind::StationProgram, QStringLiteral("127.0.0.1:40001"), QStringLiteral("flrig"), &secondSocket};
    const QByteArray key = HamlibBody("rig.set_ptt", "<i4>1</i4>");
    QCOMPARE(Answered(key, rig, &holder, first), QString());
    g_chTxState = 'K';

    const FlrigAnswer refused = RunFlrigCall(*ReadXmlRpcCall(key).call, rig, &holder, second);
    QCOMPARE(refused.fault, XmlRpcFault::Refused);
    QCOMPARE(refused.reason, QStringLiteral("the transmitter is held by station program 127.0.0.1:40000"));
    QCOMPARE(rig.calls, QByteArrayList{"key"});

    QSignalSpy ended(&holder, &CTransmitHolder::Ended);
    QCOMPARE(Answered(HamlibBody("rig.set_ptt", "<i4>0</i4>"), rig, &holder, second), QString());
    g_chTxState = 'U';
    QVERIFY(!holder.Holder());
    // Another program ended it: the record names that one.
    QCOMPARE(ended.at(0).at(1).toString(), QStringLiteral("flrig set_ptt 0 from station program 127.0.0.1:40001"));
}

void FlrigMethodsTest::reply_isXmlRpcEndingInALineFeed()
{
    QCOMPARE(XmlRpcValueReply(QStringList{QStringLiteral("USB"), QStringLiteral("A&B")}),
             QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><methodResponse><params><param><value><array><data>"
                        "<value>USB</value><value>A&amp;B</value></data></array></value></param></params></methodResponse>\n"));
    QCOMPARE(XmlRpcFaultReply(XmlRpcFault::NoSuchMethod, QStringLiteral("rig.x: unknown method name")),
             QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><methodResponse><fault><value><struct>"
                        "<member><name>faultCode</name><value><i4>-32601</i4></value></member>"
                        "<member><name>faultString</name><value>rig.x: unknown method name</value></member>"
                        "</struct></value></fault></methodResponse>\n"));
}

QTEST_GUILESS_MAIN(FlrigMethodsTest)
#include "test_flrigmethods.moc"
