// A port whose device goes away is opened again by itself, on the fake
// device: what reaches the device and in which order, the Power (DTR) box
// followed at every opening after the first, the jobs that stop, a
// transmission the lost link ends, and how quiet the attempts are.
#include <QAbstractButton>
#include <QMenu>
#include <QMenuBar>
#include <QTcpSocket>
#include <QtTest>

#include "panel/tavrinview.h"
#include "panel/tuningstate.h"
#include "portwatch/lostlinkreceive.h"
#include "portwatch/portreopener.h"
#include "radiowatch/silencewatch.h"
#include "remote/rigctlservice.h"
#include "res/resource.h"
#include "support/panelkit.h"
#include "support/panellog.h"

namespace {

const QStringList kQueryWrites = {
    "write ?\\n", "write H\\nH\\nH\\n", "write V\\nV\\nV\\n", "write S\\nS\\n", "write I\\nI\\n",
    "write D\\nD\\nD\\nD\\nD\\nD\\n",
};
const QStringList kStepModeWrites = {"write M\\nM\\nM\\nM\\n", "write A\\nA\\nA\\n"};

void ClickDtrPower(CTavrinView& view, int times)
{
    for (int click = 0; click < times; ++click)
        view.Form().Button(IDC_DTR_POWER)->click();
}

// A started panel with a reopener watching its port.
class WatchedPanel : public StartedPanel {
public:
    WatchedPanel() : reopener(new CPortReopener(View())) { Port().calls.clear(); }
    CPortReopener* reopener; // the view owns it
};

// A station program's line and the server's answer to it.
QByteArray Reply(QTcpSocket& station)
{
    QByteArray reply;
    static_cast<void>(QTest::qWaitFor([&] { return (reply += station.readAll()).endsWith('\n'); }, 3000));
    return reply;
}

QByteArray Ask(QTcpSocket& station, const QByteArray& line)
{
    station.write(line + '\n');
    return Reply(station);
}

// The panel as the program runs it beside the port: the lost link's
// receive and the rig-control server, with a station program connected.
class ServedPanel : public WatchedPanel {
public:
    ServedPanel() : silence(View())
    {
        new CLostLinkReceive(View()); // the view owns it
        RigctlSettings settings;
        settings.enabled = true;
        settings.port = FreePort();
        service = std::make_unique<CRigctlService>(View(), silence, &menu, &bar, settings);
        station.connectToHost(QHostAddress::LocalHost, settings.port);
        station.waitForConnected(3000);
    }
    CSilenceWatch silence;
    QMenuBar bar;
    QMenu menu;
    std::unique_ptr<CRigctlService> service;
    QTcpSocket station;
};

bool JogRadiosClear(CTavrinView& view)
{
    return !view.Form().Button(IDC_JOG_UP)->isChecked() && !view.Form().Button(IDC_JOG_DOWN)->isChecked();
}

} // namespace

class PortReopenTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void lostPort_reopensInStartupOrderWithDtrWhereTheBoxSays_data();
    void lostPort_reopensInStartupOrderWithDtrWhereTheBoxSays();
    void lostPort_stopsScanAndJog_data();
    void lostPort_stopsScanAndJog();
    void attemptsWhileTheDeviceIsAway_areQuietAndStopAJogStartedMeanwhile();
    void dtrClickedWhileClosedAtStartup_isWrittenWhenCtrlNOpensThePort_data();
    void dtrClickedWhileClosedAtStartup_isWrittenWhenCtrlNOpensThePort();
    void closingTheWindow_endsTheAttempts();
    void lostLinkWhileKeyed_goesToReceiveAndThePollUnkeys_data();
    void lostLinkWhileKeyed_goesToReceiveAndThePollUnkeys();
};

void PortReopenTest::initTestCase()
{
    PanelLog::Capture();
}

void PortReopenTest::lostPort_reopensInStartupOrderWithDtrWhereTheBoxSays_data()
{
    QTest::addColumn<bool>("directMode");
    QTest::addColumn<int>("clicksWhileLost");
    QTest::addColumn<QString>("dtr");
    QTest::newRow("step mode, box untouched: DTR on") << false << 0 << "DTR 1";
    QTest::newRow("step mode, box cleared while lost: DTR off") << false << 1 << "DTR 0";
    QTest::newRow("step mode, cleared and ticked again: DTR on") << false << 2 << "DTR 1";
    QTest::newRow("direct mode: no mode and AGC cycles") << true << 1 << "DTR 0";
}

void PortReopenTest::lostPort_reopensInStartupOrderWithDtrWhereTheBoxSays()
{
    QFETCH(bool, directMode);
    QFETCH(int, clicksWhileLost);
    QFETCH(QString, dtr);
    WatchedPanel h;
    if (directMode)
        h.Feed("G12 \n");
    h.View().window()->setWindowTitle(QStringLiteral("Harris RF-350"));
    const QString device = h.View().Comm().DeviceName();

    h.Port().Vanish();
    QVERIFY(h.reopener->IsRetrying());
    QVERIFY(h.View().window()->windowTitle().contains(QStringLiteral("lost")));
    ClickDtrPower(h.View(), clicksWhileLost);
    QCOMPARE(h.Port().dtrWrites, QList<bool>()); // a click while closed only stores
    h.Port().calls.clear();

    h.reopener->TryReopen();

    const QStringList expected = QStringList{"open " + device, "RTS 1", dtr} + kQueryWrites
                                 + (directMode ? QStringList() : kStepModeWrites);
    QCOMPARE(h.Port().calls, expected);
    QVERIFY(!h.reopener->IsRetrying());
    QCOMPARE(h.View().PortProblem(), QString());
    QCOMPARE(h.View().window()->windowTitle(), QStringLiteral("Harris RF-350"));
    QCOMPARE(h.messages, QStringList());
}

void PortReopenTest::lostPort_stopsScanAndJog_data()
{
    QTest::addColumn<int>("running");
    QTest::newRow("channel scan") << int(IDC_CHAN_SCAN);
    QTest::newRow("jog up") << int(IDC_JOG_UP);
    QTest::newRow("jog down") << int(IDC_JOG_DOWN);
}

void PortReopenTest::lostPort_stopsScanAndJog()
{
    QFETCH(int, running);
    WatchedPanel h;
    CTavrinView& view = h.View();
    view.Form().Button(running)->click();
    view.UpdateData(false);
    QVERIFY(g_bChanScan == 1 || view.m_nJog != -1);

    h.Port().Vanish();

    QCOMPARE(g_bChanScan, BYTE(0));
    QVERIFY(!view.m_btnChanScan.GetState());
    QCOMPARE(view.m_nJog, -1);
    QVERIFY(JogRadiosClear(view));
}

void PortReopenTest::attemptsWhileTheDeviceIsAway_areQuietAndStopAJogStartedMeanwhile()
{
    WatchedPanel h;
    PanelLog::Lines().clear();
    h.Port().failOpen = true;
    h.Port().Vanish();
    const QString lostTitle = h.View().window()->windowTitle();
    QCOMPARE(PanelLog::Lines().size(), 1);

    h.View().Form().Button(IDC_JOG_UP)->click();

    for (int attempt = 0; attempt < 5; ++attempt)
        h.reopener->TryReopen();

    QCOMPARE(h.View().m_nJog, -1); // a jog started while lost stops at the next attempt
    QCOMPARE(h.Port().openedDevices.size(), 1 + 5);
    QCOMPARE(h.View().window()->windowTitle(), lostTitle);
    QCOMPARE(h.messages, QStringList());
    QCOMPARE(PanelLog::Lines().size(), 1);
    QVERIFY(h.reopener->IsRetrying());

    h.Port().failOpen = false;
    h.reopener->TryReopen();
    h.reopener->TryReopen();

    QCOMPARE(PanelLog::Lines().size(), 2);
    QVERIFY2(PanelLog::Lines()[0].contains(QStringLiteral("lost")), qPrintable(PanelLog::Lines()[0]));
    QVERIFY2(PanelLog::Lines()[1].contains(QStringLiteral("open again")), qPrintable(PanelLog::Lines()[1]));
    QCOMPARE(h.Port().openedDevices.size(), 1 + 5 + 1);
}

void PortReopenTest::dtrClickedWhileClosedAtStartup_isWrittenWhenCtrlNOpensThePort_data()
{
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QString>("dtr");
    QTest::newRow("box untouched") << 0 << "DTR 1";
    QTest::newRow("box cleared") << 1 << "DTR 0";
}

void PortReopenTest::dtrClickedWhileClosedAtStartup_isWrittenWhenCtrlNOpensThePort()
{
    QFETCH(int, clicks);
    QFETCH(QString, dtr);
    const QByteArray file = ViewHarness::MinimalChannelFile();
    ViewHarness h(&file);
    h.Port().failOpen = true;
    h.Start();
    ClickDtrPower(h.View(), clicks);
    QCOMPARE(h.Port().dtrWrites, QList<bool>());
    h.Port().failOpen = false;
    h.Port().calls.clear();

    h.Start();

    QCOMPARE(h.Port().calls.mid(0, 3), (QStringList{"open " + h.View().Comm().DeviceName(), "RTS 1", dtr}));
}

// A box raised while the file is written runs its own event loop: the
// attempts must not open the port and query the radio behind it.
void PortReopenTest::closingTheWindow_endsTheAttempts()
{
    WatchedPanel h;
    h.Port().failOpen = true;
    h.Port().Vanish();
    QVERIFY(h.reopener->IsRetrying());

    h.View().DestroyWindow();

    QVERIFY(!h.reopener->IsRetrying());
}

void PortReopenTest::lostLinkWhileKeyed_goesToReceiveAndThePollUnkeys_data()
{
    QTest::addColumn<QString>("keyer");
    QTest::newRow("the Xmit button") << "Xmit";
    QTest::newRow("the Tune button") << "Tune";
    QTest::newRow("a station program") << "T 1";
}

// Nothing can be sent, yet the panel is in receive at once; the first poll
// once the port is back carries "U", and the key the station program held
// is nobody's: its leaving later does not unkey a transmission the operator
// starts meanwhile.
void PortReopenTest::lostLinkWhileKeyed_goesToReceiveAndThePollUnkeys()
{
    QFETCH(QString, keyer);
    ServedPanel h;
    CTavrinView& view = h.View();
    if (keyer == QStringLiteral("Xmit"))
        view.Form().Button(IDC_XMIT)->click();
    else if (keyer == QStringLiteral("Tune"))
        view.Form().Button(IDC_TUNE)->click();
    else
        h.station.write(keyer.toLatin1() + '\n');
    // The server answers a key once the radio's report shows it.
    QTRY_COMPARE(g_chTxState, 'K');
    h.Feed("K \n");
    if (keyer == QStringLiteral("T 1"))
        QCOMPARE(Reply(h.station), QByteArray("RPRT 0\n"));
    h.TakeWrites();
    PanelLog::Lines().clear();

    h.Port().Vanish();

    QCOMPARE(g_chTxState, 'U');
    QCOMPARE(view.m_nTxRx, 1);
    QVERIFY(view.Form().Button(IDC_RECEIVE)->isChecked());
    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
    QCOMPARE(PanelLog::Lines().filter(QStringLiteral("transmission")).size(), 1);

    h.reopener->TryReopen();
    h.TakeWrites(); // the start-up queries
    view.OnTimer(1);
    QCOMPARE(Shown(h.TakeWrites()), Shown({"?\nU"}));
    QCOMPARE(Ask(h.station, "t"), QByteArray("0\n"));

    view.Form().Button(IDC_XMIT)->click();
    h.station.disconnectFromHost();
    QTest::qWait(100);
    QCOMPARE(Shown(h.TakeWrites()), Shown({"K"}));
    QCOMPARE(g_chTxState, 'K');
}

QTEST_MAIN(PortReopenTest)
#include "test_portreopen.moc"
