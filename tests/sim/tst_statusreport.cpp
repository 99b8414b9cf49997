#include "radiomodel.h"
#include "reportwalk.h"
#include "statusreport.h"

#include <QTest>

using radiosim::RadioModel;
using radiosim::RadioState;
using radiosim::StatusReport::full;

class TestStatusReport : public QObject
{
    Q_OBJECT

private slots:
    void everyReport_walksOntoItsLineFeed_data();
    void everyReport_walksOntoItsLineFeed();
    void gainField_onlyFromADirectRadio();
    void fullReport_carriesTheState();
};

void TestStatusReport::everyReport_walksOntoItsLineFeed_data()
{
    QTest::addColumn<bool>("direct");
    QTest::addColumn<QByteArray>("command");

    const QList<QByteArray> commands = {
        "?\n", "K", "U", "F0000000\n", "F9999999\n", "M\n", "A\n", "H\n", "V\n", "D\n",
        "S\n", "I\n", "(0\n", "'1\n", "\"1\n", ",1\n", "O2\n", "G07\n", "B200\n", "A1\n", "M4\n"};
    for (bool direct : {false, true}) {
        for (const QByteArray &command : commands) {
            QTest::addRow("%s %s", direct ? "direct" : "stepping", command.toPercentEncoding().constData())
                << direct << command;
        }
    }
}

// Each command is sent twice so that keying and amplifier changes meet a
// state that already moved, and the replies after "?" follow a full report.
void TestStatusReport::everyReport_walksOntoItsLineFeed()
{
    QFETCH(bool, direct);
    QFETCH(QByteArray, command);
    RadioState initial;
    initial.directMode = direct;
    RadioModel model(initial);
    for (const QByteArray &write : {QByteArray("?\n"), command, QByteArray("?\n"), command}) {
        const QByteArray reply = model.feed(write);
        if (reply.isEmpty())
            continue;
        const reportwalk::Walk walk = reportwalk::walk(reply);
        QVERIFY2(walk.landsOnLineFeed, reply.constData());
    }
}

void TestStatusReport::gainField_onlyFromADirectRadio()
{
    RadioState state;
    state.rfGain = "42";
    QVERIFY(!reportwalk::codes(full(state)).contains('G'));
    state.directMode = true;
    QCOMPARE(reportwalk::value(full(state), 'G'), QByteArray("42"));
}

void TestStatusReport::fullReport_carriesTheState()
{
    RadioState state;
    state.frequency10Hz = 703525;
    state.mode = '2';
    state.keyed = true;
    state.muted = false;
    state.amplifier = '4';
    const QByteArray report = full(state);
    QVERIFY(report.startsWith("F0703525 M2 "));
    QCOMPARE(reportwalk::value(report, '('), QByteArray("1"));
    QCOMPARE(reportwalk::value(report, 'O'), QByteArray("4"));
    QVERIFY(reportwalk::codes(report).contains('K'));
    QVERIFY(!reportwalk::codes(report).contains('U'));
}

QTEST_APPLESS_MAIN(TestStatusReport)
#include "tst_statusreport.moc"
