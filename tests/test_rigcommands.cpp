// The rig-control protocol without a network: every command's reply, plain
// and extended, from what the radio last reported and whether it is heard,
// with the operations each line asks of the panel; several commands on a
// line; the capabilities; and the cutting of a client's bytes into lines.
#include <QtTest>

#include "remote/dumpstate.h"
#include "remote/rigcommands.h"
#include "remote/riglinebuffer.h"
#include "support/fakerigseam.h"

namespace {

struct Reported {
    std::optional<qint64> hz;
    char mode;
    bool transmit;
    RigStatus link = RigStatus::Ok;
};
const Reported kOn40m{7035250, '2', false};
const Reported kNothingYet{std::nullopt, 0, false};
const Reported kKeyedUsb{14074000, '1', true};
const Reported kSilent{7035250, '2', false, RigStatus::TimedOut};
const Reported kPortLost{7035250, '2', false, RigStatus::IoError};
const QByteArray kModeList = "AM CW USB LSB PKTLSB PKTUSB \n";

void Row(const char* name, const QByteArray& line, const QByteArray& reply, const QByteArrayList& calls = {},
         Reported reported = kOn40m, RigStatus failWith = RigStatus::Ok)
{
    QTest::newRow(name) << line << reported.hz << reported.mode << reported.transmit << int(reported.link) << int(failWith)
                        << reply << calls;
}

} // namespace

Q_DECLARE_METATYPE(std::optional<qint64>)

class RigCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void line_getsItsReplyAndAsksThePanelForWhatItSays_data();
    void line_getsItsReplyAndAsksThePanelForWhatItSays();
    void dataMode_isReadBackByItsClientUntilTheRadioOrTheClientChangesIt();
    void dumpState_isVersionOneWithItsTailAndDone();
    void lineBuffer_cutsLinesAndAnswersAnOverlongOneOnce_data();
    void lineBuffer_cutsLinesAndAnswersAnOverlongOneOnce();
};

void RigCommandsTest::line_getsItsReplyAndAsksThePanelForWhatItSays_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<std::optional<qint64>>("hz");
    QTest::addColumn<char>("mode");
    QTest::addColumn<bool>("transmit");
    QTest::addColumn<int>("link");
    QTest::addColumn<int>("failWith");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArrayList>("calls");

    Row("f", "f", "7035250\n");
    Row("f before any report", "f", "RPRT -11\n", {}, kNothingYet);
    Row("f, CR LF", "f\r", "7035250\n");
    Row("f with its VFO", "f VFOA", "7035250\n");
    Row("f of a VFO the radio lacks", "f VFOB", "RPRT -11\n");
    Row("+f", "+f", "get_freq:\nFrequency: 7035250\nRPRT 0\n");
    Row(";f", ";f", "get_freq:;Frequency: 7035250;RPRT 0\n");
    Row("F", "F 14074000", "RPRT 0\n", {"frequency 14074000.0"});
    Row("F as the Debian client sends it", "F 14074000.000000", "RPRT 0\n", {"frequency 14074000.0"});
    Row("F with its VFO", "F VFOA 14074000", "RPRT 0\n", {"frequency 14074000.0"});
    Row("+F echoes what it was sent", "+F 14074000", "set_freq: 14074000\nRPRT 0\n", {"frequency 14074000.0"});
    Row(",F with its VFO", ",F VFOA 14074000", "set_freq: VFOA 14074000,RPRT 0\n", {"frequency 14074000.0"});
    Row("F past the field", "F 100000000", "RPRT -1\n");
    Row("F not a number", "F abc", "RPRT -1\n");
    Row("F nan", "F nan", "RPRT -1\n");
    Row("F without a frequency", "F", "RPRT -1\n");
    Row("F, a word after it that is no command", "F 14074000 7000000", "RPRT 0\nRPRT -4\n", {"frequency 14074000.0"});
    Row("F, the frequency run on", "F14074000", "RPRT 0\n", {"frequency 14074000.0"});
    Row("F with the port closed", "F 14074000", "RPRT -6\n", {"frequency 14074000.0"}, kOn40m, RigStatus::IoError);
    Row("m", "m", "LSB\n2400\n");
    Row("m, CW", "m", "CW\n500\n", {}, {7035250, '4', false});
    Row("m before any report", "m", "RPRT -11\n", {}, kNothingYet);
    Row("+m", "+m", "get_mode:\nMode: LSB\nPassband: 2400\nRPRT 0\n");
    Row("M USB", "M USB 2400", "RPRT 0\n", {"mode 1"});
    Row("M CW without a passband", "M CW", "RPRT 0\n", {"mode 4"});
    Row("M PKTUSB is USB", "M PKTUSB 3000", "RPRT 0\n", {"mode 1"});
    Row("M PKTLSB is LSB", "M PKTLSB 3000", "RPRT 0\n", {"mode 2"});
    Row("M with its VFO", "M VFOA LSB 2400", "RPRT 0\n", {"mode 2"});
    Row("M FM refused", "M FM 15000", "RPRT -1\n");
    Row("M in any letter case", "M usb 0", "RPRT 0\n", {"mode 1"});
    Row("M passband as a decimal", "M PktLsb 2400.0", "RPRT 0\n", {"mode 2"});
    Row("M passband not a number", "M USB wide", "RPRT -1\n");
    Row("M the panel cannot step yet", "M USB 2400", "RPRT -11\n", {"mode 1"}, kOn40m, RigStatus::NotAvailable);
    Row("t in receive", "t", "0\n");
    Row("t keyed", "t", "1\n", {}, kKeyedUsb);
    Row("+t", "+t", "get_ptt:\nPTT: 1\nRPRT 0\n", {}, kKeyedUsb);
    Row("T 1", "T 1", "RPRT 0\n", {"key"});
    Row("T 3, data", "T 3", "RPRT 0\n", {"key"});
    Row("T 0", "T 0", "RPRT 0\n", {"unkey"}, kKeyedUsb);
    Row("T 4 refused", "T 4", "RPRT -1\n");
    Row("T with the port closed", "T 1", "RPRT -6\n", {"key"}, kOn40m, RigStatus::IoError);
    Row("v", "v", "VFOA\n");
    Row("V VFOA", "V VFOA", "RPRT 0\n");
    Row("V VFOB", "V VFOB", "RPRT -11\n");
    Row("V nonsense", "V banana", "RPRT -1\n");
    Row("s", "s", "0\nVFOA\n");
    Row(";s", ";s", "get_split_vfo:;Split: 0;TX VFO: VFOA;RPRT 0\n");
    Row("chk_vfo", "\\chk_vfo", "0\n");
    Row("get_lock_mode", "\\get_lock_mode", "0\n");
    Row("+get_lock_mode", "+\\get_lock_mode", "get_lock_mode:\nLocked: 0\nRPRT 0\n");
    Row("set_vfo_opt 0", "\\set_vfo_opt 0", "RPRT 0\n");
    Row("set_vfo_opt 1", "\\set_vfo_opt 1", "RPRT -11\n");
    Row("q", "q", "RPRT 0\n");
    Row("Q", "Q", "RPRT 0\n");
    Row("unknown short command", "k", "RPRT -4\n");
    Row("long name without its backslash", "get_freq", "RPRT -4\n");
    Row("+ alone", "+", "RPRT -4\n");
    Row("a NUL byte", QByteArray(1, '\0'), "RPRT -4\n");
    Row("empty line", "", "");
    Row("blanks only", " \t\r", "");
    Row("a comment", "# F 14074000", "");

    Row("reads, the port lost: s", "s", "RPRT -6\n", {}, kPortLost);
    Row("reads, the radio silent: +t", "+t", "get_ptt:\nRPRT -5\n", {}, kSilent);

    Row("two commands", "f m", "7035250\nLSB\n2400\n");
    Row("two commands packed", "fm", "7035250\nLSB\n2400\n");
    Row("a set, then a get", "F 14074000 f", "RPRT 0\n14074000\n", {"frequency 14074000.0"});
    Row("a prefix is one command's", "+f m", "get_freq:\nFrequency: 7035250\nRPRT 0\nLSB\n2400\n");
    Row("an unknown command ends the line", "f k m", "7035250\nRPRT -4\n");
    Row("q ends the line", "q f", "RPRT 0\n");
    Row("a comment ends the line", "f #m", "7035250\n");
    Row("words past the sixteenth", QByteArray("f ").repeated(17) + "F 14074000 f",
        QByteArray("7035250\n").repeated(17) + "RPRT 0\n14074000\n", {"frequency 14074000.0"});
    Row("a plain mode ends the data mode", "M PKTUSB 0 M USB 0 m", "RPRT 0\nRPRT 0\nUSB\n2400\n", {"mode 1", "mode 1"});

    Row("M ?", "M ?", kModeList + "RPRT 0\n");
    Row("+M ?", "+M ?", "set_mode: ?\n" + kModeList + "RPRT 0\n");
    Row("a list, then a get", "M ? f", kModeList + "RPRT 0\n7035250\n");
    Row(";V ?", ";V ?", "set_vfo: ?;VFOA \nRPRT 0\n");
    Row("L ?, no levels", "L ?", "\nRPRT 0\n");
    Row("l ?, no levels", "l ?", "\n");
    Row("+u ?, no functions", "+u ?", "get_func: ?\n\nRPRT 0\n");

    // What loggers poll, laid out as Debian's rigctld -m 1 (Hamlib 4.5.4)
    // answers the same lines; its dummy radio's values were:
    //   \get_vfo_info VFOA   145000000\nFM\n15000\n0\n0\n
    //   +\get_vfo_info VFOA  get_vfo_info: VFOA\nFreq: 145000000\nMode: FM\nWidth: 15000\nSplit: 0\nSatMode: 0\nRPRT 0\n
    //   ;\get_vfo_info VFOA  get_vfo_info: VFOA;Freq: 145000000;Mode: FM;Width: 15000;Split: 0;SatMode: 0;RPRT 0\n
    //   \get_rig_info        VFO=Main Freq=145000000 Mode=FM Width=15000 RX=1 TX=1\nVFO=Sub Freq=146000000 Mode=FM
    //                        Width=15000 RX=0 TX=0\nSplit=0 SatMode=0\nRig=Dummy\nApp=Hamlib\nVersion=20210506 1.0.0\n
    //                        CRC=0xaf7a46f6\n\n (and +, ;: "get_rig_info:" and + or ; before it, "RPRT 0\n" after)
    const QByteArray rigInfo = "VFO=Main Freq=7035250 Mode=LSB Width=2400 RX=1 TX=1\nVFO=Sub Freq=0 Mode=None Width=0 RX=0 TX=0\n"
                               "Split=0 SatMode=0\nRig=RF-350\nApp=Tavrin\nVersion=20210506 1.0.0\nCRC=0xaf87a28e\n";
    Row("get_vfo_info", "\\get_vfo_info VFOA", "7035250\nLSB\n2400\n0\n0\n");
    Row("+get_vfo_info", "+\\get_vfo_info VFOA",
        "get_vfo_info: VFOA\nFreq: 7035250\nMode: LSB\nWidth: 2400\nSplit: 0\nSatMode: 0\nRPRT 0\n");
    Row(";get_vfo_info", ";\\get_vfo_info VFOA",
        "get_vfo_info: VFOA;Freq: 7035250;Mode: LSB;Width: 2400;Split: 0;SatMode: 0;RPRT 0\n");
    Row("get_vfo_info currVFO", "\\get_vfo_info currVFO", "7035250\nLSB\n2400\n0\n0\n");
    Row("get_vfo_info of a VFO the radio lacks", "\\get_vfo_info VFOB", "RPRT -11\n");
    Row("get_vfo_info, the radio silent", "\\get_vfo_info VFOA", "RPRT -5\n", {}, kSilent);
    Row("get_rig_info", "\\get_rig_info", rigInfo + "\n");
    Row("+get_rig_info", "+\\get_rig_info", "get_rig_info:\n" + rigInfo + "\nRPRT 0\n");
    Row(";get_rig_info", ";\\get_rig_info", "get_rig_info:;" + rigInfo + "\nRPRT 0\n");
    Row("get_rig_info before any report", "\\get_rig_info", "RPRT -11\n", {}, kNothingYet);

    Row("lacking: split", "S 1 VFOB", "RPRT -11\n");
    Row("lacking: RIT", "J 100", "RPRT -11\n");
    Row("lacking: a level", "L RFPOWER 0.5", "RPRT -11\n");
    Row("lacking: a function", "u NB", "RPRT -11\n");
    Row("lacking: Morse, the rest of the line", "b CQ CQ DE F", "RPRT -11\n");
    Row("lacking: power off", "\\set_powerstat 0", "RPRT -11\n");
}

void RigCommandsTest::dataMode_isReadBackByItsClientUntilTheRadioOrTheClientChangesIt()
{
    FakeRigSeam rig;
    rig.mode = '2';
    RigClientState setter;
    RigClientState other;
    QCOMPARE(AnswerRigLine("M PKTUSB 0", rig, setter), QByteArray("RPRT 0\n"));
    QCOMPARE(AnswerRigLine("m", rig, setter), QByteArray("PKTUSB\n2400\n"));
    QCOMPARE(AnswerRigLine("m", rig, other), QByteArray("USB\n2400\n"));
    rig.mode = '2'; // turned at the radio, and back
    QCOMPARE(AnswerRigLine("m", rig, setter), QByteArray("LSB\n2400\n"));
    rig.mode = '1';
    QCOMPARE(AnswerRigLine("+m", rig, setter), QByteArray("get_mode:\nMode: USB\nPassband: 2400\nRPRT 0\n"));
}

void RigCommandsTest::line_getsItsReplyAndAsksThePanelForWhatItSays()
{
    QFETCH(QByteArray, line);
    QFETCH(std::optional<qint64>, hz);
    QFETCH(char, mode);
    QFETCH(bool, transmit);
    QFETCH(int, link);
    QFETCH(int, failWith);
    QFETCH(QByteArray, reply);
    QFETCH(QByteArrayList, calls);
    FakeRigSeam rig;
    rig.frequencyHz = hz;
    rig.mode = mode;
    rig.transmit = transmit;
    rig.link = RigStatus(link);
    rig.failWith = RigStatus(failWith);

    QCOMPARE(AnswerRigLine(line, rig), reply);
    QCOMPARE(rig.calls, calls);
}

void RigCommandsTest::dumpState_isVersionOneWithItsTailAndDone()
{
    FakeRigSeam rig;
    const QByteArray reply = AnswerRigLine("\\dump_state", rig);
    const QByteArrayList lines = reply.chopped(1).split('\n');
    QCOMPARE(lines.mid(0, 7), QByteArrayList({"1", "2", "0", "0.000000 99999990.000000 0xf -1 -1 0x1 0x1", "0 0 0 0 0 0 0",
                                              "0.000000 99999990.000000 0xf 1000 100000 0x1 0x1", "0 0 0 0 0 0 0"}));
    QCOMPARE(lines.mid(7, 2), QByteArrayList({"0xf 10", "0 0"}));
    QCOMPARE(lines.mid(9, 5), QByteArrayList({"0x4 2400", "0x8 2400", "0x1 6000", "0x2 500", "0 0"}));
    for (const QByteArray& pair : {"has_set_vfo=0", "has_get_vfo=0", "has_set_freq=1", "ptt_type=0x1", "timeout=1000"})
        QVERIFY2(lines.contains(pair), pair);
    QCOMPARE(lines.last(), QByteArray("done"));
    // The passbands get_mode reports are the filters listed here.
    rig.mode = '4';
    QVERIFY(lines.contains("0x2 " + AnswerRigLine("m", rig).split('\n').at(1)));

    const QByteArray extended = AnswerRigLine("+\\dump_state", rig);
    QVERIFY(extended.startsWith("dump_state:\n1\n2\n0\n"));
    QVERIFY(extended.endsWith("\ndone\nRPRT 0\n"));
    QVERIFY(!AnswerRigLine(";\\dump_state", rig).chopped(1).contains('\n'));
}

void RigCommandsTest::lineBuffer_cutsLinesAndAnswersAnOverlongOneOnce_data()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QByteArrayList>("lines"); // "<too long>" for an over-long line

    const QByteArray limit(CRigLineBuffer::kMaxLine, 'x');
    QTest::newRow("two lines in one chunk") << QByteArrayList{"f\nm\n"} << QByteArrayList{"f", "m"};
    QTest::newRow("a line over three chunks") << QByteArrayList{"F 14", "0740", "00\n"} << QByteArrayList{"F 14074000"};
    QTest::newRow("nothing until the line feed") << QByteArrayList{"f", "m"} << QByteArrayList{};
    QTest::newRow("empty lines") << QByteArrayList{"\n\n"} << QByteArrayList{"", ""};
    QTest::newRow("1 KiB is a line") << QByteArrayList{limit + "\n"} << QByteArrayList{limit};
    QTest::newRow("a byte more is too long") << QByteArrayList{limit + "x\nf\n"} << QByteArrayList{"<too long>", "f"};
    QTest::newRow("too long before its end arrives, said once")
        << QByteArrayList{limit + "xx", QByteArray(5000, 'y'), "yy\nf\n"} << QByteArrayList{"<too long>", "f"};
    QTest::newRow("lines before a long tail still come")
        << QByteArrayList{"f\n" + limit + "x", "\nm\n"} << QByteArrayList{"f", "<too long>", "m"};
    QTest::newRow("the next line starts after the long one's end")
        << QByteArrayList{limit + limit, "zz\nv", "\n"} << QByteArrayList{"<too long>", "v"};
}

void RigCommandsTest::lineBuffer_cutsLinesAndAnswersAnOverlongOneOnce()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(QByteArrayList, lines);
    CRigLineBuffer buffer;
    QByteArrayList taken;
    for (const QByteArray& chunk : chunks) {
        buffer.Append(chunk);
        while (const auto line = buffer.Next())
            taken << (line->tooLong ? QByteArray("<too long>") : line->text);
    }
    QCOMPARE(taken, lines);
}

QTEST_GUILESS_MAIN(RigCommandsTest)
#include "test_rigcommands.moc"
