// The telnet and RFC 2217 layer as byte tables: what a far end's bytes give
// (serial data, answers, events), what goes out for each line setting the
// channel file allows and for DTR and RTS, and that a session cut anywhere
// reads as the same session.
#include <QtTest>

#include "link/commsettings.h"
#include "netport/comportoption.h"
#include "netport/telnetcodec.h"

namespace {

QByteArray Hex(const char* hex) { return QByteArray::fromHex(hex); }

QString Events(const QList<CTelnetCodec::Event>& events)
{
    QStringList shown;
    for (const CTelnetCodec::Event& e : events) {
        const QString side = e.side == CTelnetCodec::Side::Ours ? QStringLiteral("ours") : QStringLiteral("theirs");
        if (e.kind == CTelnetCodec::Event::Kind::ComPort)
            shown << QStringLiteral("port %1 %2").arg(e.code).arg(QString::fromLatin1(e.value.toHex()));
        else
            shown << QStringLiteral("%1%2 %3").arg(e.kind == CTelnetCodec::Event::Kind::Agreed ? '+' : '-').arg(side).arg(e.code);
    }
    return shown.join(QStringLiteral(", "));
}

struct Outcome {
    QByteArray data;
    QByteArray reply;
    QString events;
};

// A session opened as the panel opens it, then fed the far end's bytes in
// the pieces given by `cuts`.
Outcome FeedSession(const QByteArray& bytes, const QList<qsizetype>& cuts = {})
{
    CTelnetCodec codec;
    codec.Start();
    Outcome outcome;
    QList<CTelnetCodec::Event> events;
    qsizetype from = 0;
    for (qsizetype cut : cuts + QList<qsizetype>{bytes.size()}) {
        events += codec.Feed(bytes.mid(from, cut - from), outcome.data, outcome.reply);
        from = cut;
    }
    outcome.events = Events(events);
    return outcome;
}

// ser2net 4.3's greeting: WILL SGA, DO SGA, WILL ECHO, DONT ECHO, DO BINARY,
// WILL BINARY, DO COM-PORT-OPTION.
const char* const kGreeting = "fffb03fffd03fffb01fffe01fffd00fffb00fffd2c";

} // namespace

class TestTelnetCodec : public QObject {
    Q_OBJECT
private slots:
    void opening_asksForBinaryBothWaysAndTheComPortOption();
    void farEndBytes_giveDataAnswersAndEvents_data();
    void farEndBytes_giveDataAnswersAndEvents();
    void aSessionCutAtAnyByte_readsAsTheWholeSession();
    void serialData_travelsWithItsIacDoubled_data();
    void serialData_travelsWithItsIacDoubled();
    void lineSettings_goOutAsComPortCommands_data();
    void lineSettings_goOutAsComPortCommands();
    void modemLines_goOutAsSetControl();
};

void TestTelnetCodec::opening_asksForBinaryBothWaysAndTheComPortOption()
{
    CTelnetCodec codec;
    QCOMPARE(codec.Start().toHex(), Hex("fffb00fffd00fffb2c").toHex());
    QVERIFY(!codec.ComPortAnswered());
}

void TestTelnetCodec::farEndBytes_giveDataAnswersAndEvents_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("events");
    QTest::newRow("ser2net's greeting") << Hex(kGreeting) << QByteArray() << Hex("fffd03fffb03fffe01")
                                        << "+theirs 3, +ours 3, +ours 0, +theirs 0, +ours 44";
    QTest::newRow("options we do not know are refused once")
        << Hex("fffb18fffb18fffd1ffffd1f") << QByteArray() << Hex("fffe18fffc1f") << "";
    QTest::newRow("a refusal of what is off is not answered") << Hex("fffe01fffc01fffc18") << QByteArray() << QByteArray() << "";
    QTest::newRow("the com-port option refused") << Hex("fffe2c") << QByteArray() << QByteArray() << "-ours 44";
    QTest::newRow("binary agreed, then withdrawn") << Hex("fffd00fffe00") << QByteArray() << Hex("fffc00") << "+ours 0, -ours 0";
    QTest::newRow("a doubled IAC is one 255 of data") << Hex("41ffff0a") << Hex("41ff0a") << QByteArray() << "";
    QTest::newRow("notifications are not data") << Hex("46fffa2c6b30fff00a") << Hex("460a") << QByteArray() << "port 107 30";
    QTest::newRow("a 255 inside a reply") << Hex("fffa2c650000ffffffff" "fff0") << QByteArray() << QByteArray()
                                          << "port 101 0000ffff";
    QTest::newRow("bare commands carry nothing") << Hex("3ffff10afff9") << Hex("3f0a") << QByteArray() << "";
    QTest::newRow("CR NUL is CR before the far end sends binary") << Hex("410d0042") << Hex("410d42") << QByteArray() << "";
    QTest::newRow("CR NUL stays once it does") << Hex("fffb00410d00") << Hex("410d00") << QByteArray() << "+theirs 0";
    QTest::newRow("a sub-negotiation that never ends is dropped")
        << Hex("fffa2c06") + QByteArray(300, 'x') + Hex("fff041") << Hex("41") << QByteArray() << "";
    QTest::newRow("a sub-negotiation cut by a command") << Hex("fffa2c06fffd2c41") << Hex("41") << QByteArray() << "+ours 44";
}

void TestTelnetCodec::farEndBytes_giveDataAnswersAndEvents()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, reply);
    QFETCH(QString, events);
    const Outcome outcome = FeedSession(input);
    QCOMPARE(outcome.data.toHex(), data.toHex());
    QCOMPARE(outcome.reply.toHex(), reply.toHex());
    QCOMPARE(outcome.events, events);
}

// A report's bytes reach the reader exactly once and in order, however the
// network cut them: at every byte into two pieces, and one byte at a time.
void TestTelnetCodec::aSessionCutAtAnyByte_readsAsTheWholeSession()
{
    const QByteArray session = Hex(kGreeting) + Hex("fffa2c6b00fff0") + "F0703525 M1 " + Hex("ffff")
                               + Hex("fffa2c650000ffffffff" "fff0") + "A2 \n" + Hex("fff1") + "H1 \n";
    const Outcome whole = FeedSession(session);
    QCOMPARE(whole.data, QByteArray("F0703525 M1 \xff" "A2 \nH1 \n"));
    QList<qsizetype> everyByte;
    for (qsizetype cut = 1; cut < session.size(); ++cut) {
        const Outcome cutOnce = FeedSession(session, {cut});
        QVERIFY2(cutOnce.data == whole.data && cutOnce.reply == whole.reply && cutOnce.events == whole.events,
                 qPrintable(QStringLiteral("cut at byte %1").arg(cut)));
        everyByte << cut;
    }
    const Outcome byteByByte = FeedSession(session, everyByte);
    QCOMPARE(byteByByte.data, whole.data);
    QCOMPARE(byteByByte.events, whole.events);
}

void TestTelnetCodec::serialData_travelsWithItsIacDoubled_data()
{
    QTest::addColumn<bool>("binary");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("a command as it is") << true << QByteArray("?\nU") << QByteArray("?\nU");
    QTest::newRow("255 doubled") << true << Hex("41ff42ff") << Hex("41ffff42ffff");
    QTest::newRow("a lone CR before binary") << false << Hex("410d42") << Hex("410d0042");
    QTest::newRow("CR LF before binary") << false << Hex("0d0a") << Hex("0d0a");
    QTest::newRow("a lone CR in binary") << true << Hex("410d") << Hex("410d");
}

void TestTelnetCodec::serialData_travelsWithItsIacDoubled()
{
    QFETCH(bool, binary);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, wire);
    CTelnetCodec codec;
    codec.Start();
    QByteArray unused;
    if (binary)
        codec.Feed(Hex("fffd00"), unused, unused);
    QCOMPARE(codec.Encode(data).toHex(), wire.toHex());
}

void TestTelnetCodec::lineSettings_goOutAsComPortCommands_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QByteArray>("wire");
    // baud rate, data size, parity, stop size
    QTest::newRow("the default") << QByteArray(" 9600,O,7,1")
                                 << Hex("fffa2c0100002580fff0" "fffa2c0207fff0" "fffa2c0302fff0" "fffa2c0401fff0");
    QTest::newRow("no parity, 2 stop bits") << QByteArray("19200,N,8,2")
                                            << Hex("fffa2c0100004b00fff0" "fffa2c0208fff0" "fffa2c0301fff0" "fffa2c0402fff0");
    QTest::newRow("even, 1.5 stop bits") << QByteArray("4800,E,7,1.5")
                                         << Hex("fffa2c01000012c0fff0" "fffa2c0207fff0" "fffa2c0303fff0" "fffa2c0403fff0");
    QTest::newRow("mark, 5 bits") << QByteArray("300,M,5,1")
                                  << Hex("fffa2c010000012cfff0" "fffa2c0205fff0" "fffa2c0304fff0" "fffa2c0401fff0");
    QTest::newRow("space, 6 bits") << QByteArray("1200,s,6,2")
                                   << Hex("fffa2c01000004b0fff0" "fffa2c0206fff0" "fffa2c0305fff0" "fffa2c0402fff0");
    QTest::newRow("a rate with 255 in it") << QByteArray("65535,N,8,1")
                                           << Hex("fffa2c010000ffffffff" "fff0" "fffa2c0208fff0" "fffa2c0301fff0" "fffa2c0401fff0");
}

void TestTelnetCodec::lineSettings_goOutAsComPortCommands()
{
    QFETCH(QByteArray, settings);
    QFETCH(QByteArray, wire);
    const std::optional<CommSettings> parsed = ParseCommSettings(settings);
    QVERIFY(parsed);
    QCOMPARE(ComPortSettings(*parsed).toHex(), wire.toHex());
}

void TestTelnetCodec::modemLines_goOutAsSetControl()
{
    QCOMPARE(ComPortDtr(true).toHex(), Hex("fffa2c0508fff0").toHex());
    QCOMPARE(ComPortDtr(false).toHex(), Hex("fffa2c0509fff0").toHex());
    QCOMPARE(ComPortRts(true).toHex(), Hex("fffa2c050bfff0").toHex());
    QCOMPARE(ComPortRts(false).toHex(), Hex("fffa2c050cfff0").toHex());
}

QTEST_MAIN(TestTelnetCodec)
#include "test_telnetcodec.moc"
