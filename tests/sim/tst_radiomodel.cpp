#include "radiomodel.h"
#include "reportwalk.h"

#include <QTest>

#include <algorithm>

using radiosim::RadioModel;
using radiosim::RadioState;

// Which setting a stepping command moves, read from the state.
using Setting = char RadioState::*;
Q_DECLARE_METATYPE(Setting)
using Switch = bool RadioState::*;
Q_DECLARE_METATYPE(Switch)

class TestRadioModel : public QObject
{
    Q_OBJECT

private slots:
    void steppingCommand_movesOnePlaceAlongItsCycle_data();
    void steppingCommand_movesOnePlaceAlongItsCycle();
    void agcStep_fromOff_landsOnSlow();
    void toggles_flipAndComeBack();
    void valueCommand_setsItsSwitch_data();
    void valueCommand_setsItsSwitch();
    void frequency_takesSevenDigitsOnly_data();
    void frequency_takesSevenDigitsOnly();
    void keying_repliesOnlyWhenTheTransmitterChanges();
    void directCommands_needDirectMode();
    void amplifier_warmsUpBeforeItCanOperate();
    void amplifier_tunesAfterARetuneWhileReady();
    void bfo_acceptsCodesUpTo200();
    void query_reportsEverySetting();
};

void TestRadioModel::steppingCommand_movesOnePlaceAlongItsCycle_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<Setting>("setting");
    QTest::addColumn<char>("start");
    QTest::addColumn<QByteArray>("visited");   // after each step; the last is the start again

    QTest::newRow("mode") << QByteArray("M\n") << &RadioState::mode << '1' << QByteArray("2341");
    QTest::newRow("agc") << QByteArray("A\n") << &RadioState::agc << '2' << QByteArray("342");
    QTest::newRow("audio input") << QByteArray("H\n") << &RadioState::audioInput << '1' << QByteArray("231");
    QTest::newRow("vox") << QByteArray("V\n") << &RadioState::vox << '0' << QByteArray("120");
    QTest::newRow("meter") << QByteArray("D\n") << &RadioState::meter << '1' << QByteArray("234561");
    QTest::newRow("mode from CW") << QByteArray("M\n") << &RadioState::mode << '4' << QByteArray("1234");
}

void TestRadioModel::steppingCommand_movesOnePlaceAlongItsCycle()
{
    QFETCH(QByteArray, command);
    QFETCH(Setting, setting);
    QFETCH(char, start);
    QFETCH(QByteArray, visited);
    RadioState initial;
    initial.*setting = start;
    RadioModel model(initial);
    for (char expected : visited) {
        const QByteArray reply = model.feed(command);
        QCOMPARE(model.state().*setting, expected);
        QCOMPARE(reply, command.left(1) + expected + " \n");
    }
    // The panel's start-up sends a whole cycle in one write.
    const QByteArray replies = model.feed(command.repeated(int(visited.size())));
    QCOMPARE(model.state(), initial);
    QCOMPARE(replies.count('\n'), visited.size());
}

void TestRadioModel::agcStep_fromOff_landsOnSlow()
{
    RadioState initial;
    initial.agc = '1';
    RadioModel model(initial);
    model.feed("A\n");
    QCOMPARE(model.state().agc, '2');
}

void TestRadioModel::toggles_flipAndComeBack()
{
    RadioModel model;
    QCOMPARE(model.feed("S\n"), QByteArray("S1 \n"));
    QCOMPARE(model.feed("I\nI\n"), QByteArray("I1 \nI0 \n"));
    QCOMPARE(model.feed("S\n"), QByteArray("S0 \n"));
    QCOMPARE(model.state(), RadioState());
}

void TestRadioModel::valueCommand_setsItsSwitch_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<Switch>("setting");
    QTest::addColumn<bool>("before");
    QTest::addColumn<bool>("after");
    QTest::addColumn<QByteArray>("reply");

    // Mute is inverted on the wire, in the command and in the report.
    QTest::newRow("mute on") << QByteArray("(0\n") << &RadioState::muted << false << true << QByteArray("(0 \n");
    QTest::newRow("mute off") << QByteArray("(1\n") << &RadioState::muted << true << false << QByteArray("(1 \n");
    QTest::newRow("mute again") << QByteArray("(0\n") << &RadioState::muted << true << true << QByteArray();
    QTest::newRow("ext ptt on") << QByteArray("'1\n") << &RadioState::extPtt << false << true << QByteArray("'1 \n");
    QTest::newRow("ext ptt off") << QByteArray("'0\n") << &RadioState::extPtt << true << false << QByteArray("'0 \n");
    QTest::newRow("local audio on") << QByteArray("\"1\n") << &RadioState::localAudio << false << true << QByteArray("\"1 \n");
    QTest::newRow("local audio off") << QByteArray("\"0\n") << &RadioState::localAudio << true << false << QByteArray("\"0 \n");
    QTest::newRow("bpf off") << QByteArray(",1\n") << &RadioState::bpfOff << false << true << QByteArray(",1 \n");
    QTest::newRow("bpf on") << QByteArray(",0\n") << &RadioState::bpfOff << true << false << QByteArray(",0 \n");
    QTest::newRow("bad value") << QByteArray(",7\n") << &RadioState::bpfOff << true << true << QByteArray();
}

void TestRadioModel::valueCommand_setsItsSwitch()
{
    QFETCH(QByteArray, command);
    QFETCH(Switch, setting);
    QFETCH(bool, before);
    QFETCH(bool, after);
    QFETCH(QByteArray, reply);
    RadioState initial;
    initial.*setting = before;
    RadioModel model(initial);
    QCOMPARE(model.feed(command), reply);
    QCOMPARE(model.state().*setting, after);
}

void TestRadioModel::frequency_takesSevenDigitsOnly_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<int>("frequency10Hz");

    QTest::newRow("14250 kHz") << QByteArray("F1425000\n") << 1425000;
    QTest::newRow("lowest") << QByteArray("F0000000\n") << 0;
    QTest::newRow("highest") << QByteArray("F9999999\n") << 9999999;
    QTest::newRow("six digits") << QByteArray("F142500\n") << 703525;
    QTest::newRow("eight digits") << QByteArray("F14250000\n") << 703525;
    QTest::newRow("letter inside") << QByteArray("F14250x0\n") << 703525;
}

void TestRadioModel::frequency_takesSevenDigitsOnly()
{
    QFETCH(QByteArray, command);
    QFETCH(int, frequency10Hz);
    RadioModel model;   // starts on 7035.25 kHz
    const QByteArray reply = model.feed(command);
    QCOMPARE(model.state().frequency10Hz, frequency10Hz);
    const bool changed = frequency10Hz != RadioState().frequency10Hz;
    QCOMPARE(reportwalk::value(reply, 'F'), changed ? command.mid(1, 7) : QByteArray());
}

void TestRadioModel::keying_repliesOnlyWhenTheTransmitterChanges()
{
    RadioModel model;
    QCOMPARE(model.feed("K"), QByteArray("K \n"));
    QVERIFY(model.state().keyed);
    // While keyed the panel repeats "K" every poll; the radio stays quiet.
    QCOMPARE(model.feed("K"), QByteArray());
    const QByteArray replies = model.feed("?\nU");
    QVERIFY(reportwalk::codes(replies).contains('K'));
    QVERIFY(replies.endsWith("\nU \n"));
    QVERIFY(!model.state().keyed);
    QCOMPARE(model.feed("U"), QByteArray());
}

void TestRadioModel::directCommands_needDirectMode()
{
    RadioModel stepping;
    QCOMPARE(stepping.feed("A4\nM3\nG35\n"), QByteArray());
    QCOMPARE(stepping.state(), RadioState());

    RadioState initial;
    initial.directMode = true;
    RadioModel direct(initial);
    QCOMPARE(direct.feed("A4\nM3\n"), QByteArray("A4 \nM3 \n"));
    QCOMPARE(direct.feed("A1\n"), QByteArray("A1 \n"));
    QCOMPARE(direct.feed("G35\n"), QByteArray("G35 \n"));
    QCOMPARE(direct.state().rfGain, QByteArray("35"));
    // The panel sends "M0" when its list has no selection.
    QCOMPARE(direct.feed("M0\n"), QByteArray());
}

void TestRadioModel::amplifier_warmsUpBeforeItCanOperate()
{
    RadioModel model;
    QCOMPARE(model.feed("O4\n"), QByteArray());
    QCOMPARE(model.feed("O2\n"), QByteArray("O2 \n"));
    // Ready by the next command; the poll's report shows it.
    QCOMPARE(reportwalk::value(model.feed("?\n"), 'O'), QByteArray("3"));
    QCOMPARE(model.feed("O4\n"), QByteArray("O4 \n"));
    QCOMPARE(model.feed("O2\n"), QByteArray());
    QCOMPARE(model.feed("O3\n"), QByteArray("O3 \n"));
    QCOMPARE(model.feed("O1\n"), QByteArray("O1 \n"));
    model.feed("O2\n");
    QCOMPARE(model.feed("M\n"), QByteArray("M2 O3 \n"));
}

void TestRadioModel::amplifier_tunesAfterARetuneWhileReady()
{
    RadioModel model;
    QCOMPARE(model.feed("F0710000\n"), QByteArray("F0710000 \n"));
    RadioState ready = model.state();
    ready.amplifier = '4';
    model.setState(ready);
    QCOMPARE(model.feed("F0720000\n"), QByteArray("F0720000 *1 \n"));
    // Done by the next command.
    QCOMPARE(reportwalk::value(model.feed("?\nU"), '*'), QByteArray("0"));
}

void TestRadioModel::bfo_acceptsCodesUpTo200()
{
    RadioModel model;
    QCOMPARE(model.feed("B125\n"), QByteArray("B125  \n"));
    QCOMPARE(model.feed("B201\n"), QByteArray());
    QCOMPARE(model.feed("B000\n"), QByteArray("B000  \n"));
    QCOMPARE(model.state().bfoCode, QByteArray("000"));
}

void TestRadioModel::query_reportsEverySetting()
{
    RadioState initial;
    initial.frequency10Hz = 1425000;
    initial.mode = '2';
    initial.muted = true;
    initial.keyed = true;
    RadioModel model(initial);
    const QByteArray report = model.feed("?\n");
    QByteArray codes = reportwalk::codes(report);
    std::sort(codes.begin(), codes.end());
    QCOMPARE(codes, QByteArray("\"'(*,ABDFHIKMOSV"));
    QCOMPARE(reportwalk::value(report, 'F'), QByteArray("1425000"));
    QCOMPARE(reportwalk::value(report, 'M'), QByteArray("2"));
    QCOMPARE(reportwalk::value(report, '('), QByteArray("0"));
    QCOMPARE(model.state(), initial);
}

QTEST_APPLESS_MAIN(TestRadioModel)
#include "tst_radiomodel.moc"
