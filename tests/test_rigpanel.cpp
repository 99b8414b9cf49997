// The rig-control commands on the real panel and its serial control: the
// bytes each sends, given what the radio last reported, the jog and scan it
// stops, what the gets read, a closed port answered as an error, and a
// silent radio told in the title and to the readings.
#include <QtTest>

#include "link/reportedstate.h"
#include "panel/tavrinview.h"
#include "panel/tuningstate.h"
#include "radiowatch/silencewatch.h"
#include "remote/rigcommands.h"
#include "remote/viewrigseam.h"
#include "support/viewharness.h"

namespace {

// Frequency, mode, AGC, receive; with "G99 " the radio takes direct commands.
const QByteArray kStepLsb = "F0703525 M2 A3 U \n";
const QByteArray kDirectLsb = "F0703525 M2 A3 G99 U \n";

struct StartedPanel {
    StartedPanel()
    {
        harness.Start();
        harness.TakeWrites();
    }
    QByteArray channelFile = ViewHarness::MinimalChannelFile();
    ViewHarness harness{&channelFile};
    CSilenceWatch silence{harness.View()};
    CViewRigSeam rig{harness.View(), silence};
};

} // namespace

class RigPanelTest : public QObject {
    Q_OBJECT
private slots:
    void command_sendsWhatItsControlSends_data();
    void command_sendsWhatItsControlSends();
    void setFrequency_stopsJogAndScanAsTheSetButtonDoes();
    void gets_readTheLastReport();
    void closedPort_isAnErrorAndShownInTheTitle();
    void silentRadio_isShownInTheTitleAndReadingsTimeOut();
};

void RigPanelTest::command_sendsWhatItsControlSends_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<QByteArray>("replies");
    QTest::addColumn<QByteArrayList>("writes");

    QTest::newRow("F") << kStepLsb << QByteArrayList{"F 14074000"} << QByteArray("RPRT 0\n") << QByteArrayList{"F1407400\n"};
    QTest::newRow("F rounds half up to 10 Hz") << kStepLsb << QByteArrayList{"F 7155505"} << QByteArray("RPRT 0\n")
                                               << QByteArrayList{"F0715551\n"};
    QTest::newRow("F at the top of the field") << kStepLsb << QByteArrayList{"F 99999994.9"} << QByteArray("RPRT 0\n")
                                               << QByteArrayList{"F9999999\n"};
    QTest::newRow("F past the field sends nothing") << kStepLsb << QByteArrayList{"F 99999995"} << QByteArray("RPRT -1\n")
                                                    << QByteArrayList{};
    QTest::newRow("F below zero sends nothing") << kStepLsb << QByteArrayList{"F -10"} << QByteArray("RPRT -1\n")
                                                << QByteArrayList{};
    QTest::newRow("step mode: LSB to USB, three steps") << kStepLsb << QByteArrayList{"M USB 2400"}
                                                        << QByteArray("RPRT 0\n") << QByteArrayList{"M\nM\nM\n"};
    QTest::newRow("step mode: PKTUSB is USB") << kStepLsb << QByteArrayList{"M PKTUSB 3000"} << QByteArray("RPRT 0\n")
                                              << QByteArrayList{"M\nM\nM\n"};
    QTest::newRow("step mode: the mode reported sends nothing") << kStepLsb << QByteArrayList{"M PKTLSB 0"}
                                                                << QByteArray("RPRT 0\n") << QByteArrayList{};
    QTest::newRow("step mode: no mode reported yet") << QByteArray("F0703525 U \n") << QByteArrayList{"M CW 500"}
                                                     << QByteArray("RPRT -11\n") << QByteArrayList{};
    QTest::newRow("direct mode: AGC, mode, the reported frequency")
        << kDirectLsb << QByteArrayList{"M CW 500"} << QByteArray("RPRT 0\n")
        << QByteArrayList{"A3\n", "M4\n", "F0703525\n"};
    QTest::newRow("direct mode: even the mode reported") << kDirectLsb << QByteArrayList{"M LSB 0"}
                                                         << QByteArray("RPRT 0\n")
                                                         << QByteArrayList{"A3\n", "M2\n", "F0703525\n"};
    QTest::newRow("T 1 is Xmit") << kStepLsb << QByteArrayList{"T 1"} << QByteArray("RPRT 0\n") << QByteArrayList{"K"};
    QTest::newRow("T 1 twice keys once") << kStepLsb << QByteArrayList{"T 1", "T 3"} << QByteArray("RPRT 0\nRPRT 0\n")
                                         << QByteArrayList{"K"};
    QTest::newRow("T 0 is Receive") << kStepLsb << QByteArrayList{"T 1", "T 0"} << QByteArray("RPRT 0\nRPRT 0\n")
                                    << QByteArrayList{"K", "U"};
    QTest::newRow("T 0 in receive sends nothing") << kStepLsb << QByteArrayList{"T 0"} << QByteArray("RPRT 0\n")
                                                  << QByteArrayList{};
    QTest::newRow("gets send nothing") << kStepLsb << QByteArrayList{"f", "m", "t", "\\dump_state", "x"}
                                       << QByteArray() << QByteArrayList{};
}

void RigPanelTest::command_sendsWhatItsControlSends()
{
    QFETCH(QByteArray, report);
    QFETCH(QByteArrayList, lines);
    QFETCH(QByteArray, replies);
    QFETCH(QByteArrayList, writes);
    StartedPanel panel;
    panel.harness.Feed(report);
    panel.harness.TakeWrites();

    QByteArray answered;
    for (const QByteArray& line : lines)
        answered += AnswerRigLine(line, panel.rig);
    if (!replies.isEmpty())
        QCOMPARE(answered, replies);
    QCOMPARE(panel.harness.TakeWrites(), writes);
}

void RigPanelTest::setFrequency_stopsJogAndScanAsTheSetButtonDoes()
{
    StartedPanel panel;
    panel.harness.Feed(kStepLsb);
    panel.harness.View().m_nJog = 0;
    g_bChanScan = 1;

    QCOMPARE(AnswerRigLine("F 3650000", panel.rig), QByteArray("RPRT 0\n"));
    QCOMPARE(panel.harness.View().m_nJog, -1);
    QCOMPARE(int(g_bChanScan), 0);
}

void RigPanelTest::gets_readTheLastReport()
{
    StartedPanel panel;
    QCOMPARE(AnswerRigLine("f", panel.rig), QByteArray("RPRT -11\n"));
    QCOMPARE(AnswerRigLine("m", panel.rig), QByteArray("RPRT -11\n"));
    QCOMPARE(AnswerRigLine("t", panel.rig), QByteArray("0\n"));

    panel.harness.Feed("F1407400 M4 K \n");
    QCOMPARE(AnswerRigLine("f", panel.rig), QByteArray("14074000\n"));
    QCOMPARE(AnswerRigLine("m", panel.rig), QByteArray("CW\n500\n"));
    QCOMPARE(AnswerRigLine("t", panel.rig), QByteArray("1\n"));
    // A report without a frequency leaves the last one.
    panel.harness.Feed("M1 U \n");
    QCOMPARE(AnswerRigLine("+f", panel.rig), QByteArray("get_freq:\nFrequency: 14074000\nRPRT 0\n"));
    QCOMPARE(AnswerRigLine("m", panel.rig), QByteArray("USB\n2400\n"));
    QCOMPARE(AnswerRigLine("t", panel.rig), QByteArray("0\n"));
    QCOMPARE(panel.harness.TakeWrites(), QByteArrayList());
}

void RigPanelTest::closedPort_isAnErrorAndShownInTheTitle()
{
    StartedPanel panel;
    panel.harness.Feed(kStepLsb);
    panel.harness.View().Comm().SetPortOpen(false);

    QCOMPARE(AnswerRigLine("F 14074000", panel.rig), QByteArray("RPRT -6\n"));
    QCOMPARE(AnswerRigLine("T 1", panel.rig), QByteArray("RPRT -6\n"));
    QCOMPARE(AnswerRigLine("M USB 0", panel.rig), QByteArray("RPRT -6\n"));
    QCOMPARE(AnswerRigLine("f m t s", panel.rig), StatusLine(RigStatus::IoError).repeated(4));
    QCOMPARE(panel.harness.View().PortProblem(), QStringLiteral("the port is not open"));
    QVERIFY(panel.harness.View().windowTitle().contains(QStringLiteral("the port is not open")));
    // Receive still goes through the panel's state, so the poll stops keying.
    QCOMPARE(AnswerRigLine("T 0", panel.rig), QByteArray("RPRT -6\n"));
    QCOMPARE(g_chTxState, 'U');
}

// Each report starts the count again; a lost port is not counted as silence.
void RigPanelTest::silentRadio_isShownInTheTitleAndReadingsTimeOut()
{
    StartedPanel panel;
    panel.silence.SetSpan(std::chrono::milliseconds(600));
    CTavrinView& view = panel.harness.View();
    for (int i = 0; i < 2; ++i) {
        panel.harness.Feed(kStepLsb);
        QTest::qWait(300);
    }
    QCOMPARE(AnswerRigLine("f", panel.rig), QByteArray("7035250\n"));
    QTRY_VERIFY(panel.silence.IsSilent());
    QCOMPARE(view.window()->windowTitle(), QStringLiteral("no report from the radio for 0.6 s"));
    QCOMPARE(AnswerRigLine("f +m", panel.rig), QByteArray("RPRT -5\nget_mode:\nRPRT -5\n"));

    panel.harness.Feed(kStepLsb);
    QCOMPARE(view.window()->windowTitle(), QString());
    view.Comm().SetPortOpen(false);
    QTest::qWait(700);
    QVERIFY(!panel.silence.IsSilent());
}

QTEST_MAIN(RigPanelTest)
#include "test_rigpanel.moc"
