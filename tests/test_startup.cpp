// Start-up of the link on a fake serial device: timers, port set-up from the
// channel file, the start-up queries in step and direct mode, what happens
// when the port cannot be set up, and the three periodic jobs.
#include <QAbstractButton>
#include <QLineEdit>
#include <QtTest>

#include "link/commsettings.h"
#include "link/reportedstate.h"
#include "panel/tavrinview.h"
#include "panel/tuningstate.h"
#include "res/resource.h"
#include "support/panelkit.h"
#include "support/viewharness.h"

namespace {

const QByteArrayList kStepModeQueries = {
    "?\n", "H\nH\nH\n", "V\nV\nV\n", "S\nS\n", "I\nI\n", "D\nD\nD\nD\nD\nD\n", "M\nM\nM\nM\n", "A\nA\nA\n",
};
const QByteArrayList kDirectModeQueries = kStepModeQueries.mid(0, 6);

// A view not started yet, over a channel file naming port 1 with the jog
// limits 7000 to 7300 kHz.
class Panel : public ViewHarness {
public:
    Panel() : Panel(MinimalChannelFile(), 0) {}
    explicit Panel(const QByteArray& file) : Panel(file, 0) {}

private:
    Panel(const QByteArray& file, int) : ViewHarness(&file) {}
};

int CheckedStep(CTavrinView& view) { return CheckedRadioInGroup(view.Form().RadioGroup(IDC_STEP_500K)); }

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void initialUpdate_startsTheThreeTimers();
    void initialUpdate_opensThePortNamedInTheChannelFile_data();
    void initialUpdate_opensThePortNamedInTheChannelFile();
    void stepMode_startupWritesTheEightQueriesInOrder();
    void directMode_repeatedStartupWritesOnlySix();
    void startup_setsOneKhzStepButShowsItOnlyAtTheNextRefresh();
    void startupThatFailsAtAPortProperty_sendsNoQueries_data();
    void startupThatFailsAtAPortProperty_sendsNoQueries();
    void withNoChannelFile_timersKeepRunningWithoutCrashing();
    void poll_asksForStatusInReceiveAndRepeatsTheKeyWhileKeyed();
    void jogTimer_runsOnlyTheSelectedDirection_data();
    void jogTimer_runsOnlyTheSelectedDirection();
    void realJogTimerTick_sendsAStepWithinHalfASecond();
    void scanTimer_stepsTheScanOnlyWhileItRuns();
};

void StartupTest::initialUpdate_startsTheThreeTimers()
{
    Panel h;
    QCOMPARE(h.View().Timers().Period(1), 0);

    h.Start();

    QCOMPARE(h.View().Timers().Period(1), 3000);
    QCOMPARE(h.View().Timers().Period(2), 1000);
    QCOMPARE(h.View().Timers().Period(3), 500);
}

void StartupTest::initialUpdate_opensThePortNamedInTheChannelFile_data()
{
    QTest::addColumn<QByteArray>("portLine");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("baud");
    QTest::addColumn<char>("parity");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("stopBits");
    QTest::newRow("COM1 at 9600 odd 7 1") << QByteArray("1  9600 O 7 1") << 1 << 9600 << 'O' << 7 << 1;
    QTest::newRow("COM3 at 19200 even 8 2") << QByteArray("3 19200 E 8 2") << 3 << 19200 << 'E' << 8 << 2;
}

void StartupTest::initialUpdate_opensThePortNamedInTheChannelFile()
{
    QFETCH(QByteArray, portLine);
    QFETCH(int, port);
    QFETCH(int, baud);
    QFETCH(char, parity);
    QFETCH(int, dataBits);
    QFETCH(int, stopBits);
    Panel h(portLine + "\r\n 7000.00  7300.00   0   9\r\n");

    h.Start();

    QCOMPARE(h.Port().openedDevices, QStringList{DeviceForCommPort(port)});
    QVERIFY(h.Port().IsOpen());
    QCOMPARE(h.View().Comm().GetCommPort(), short(port));
    QCOMPARE(h.Port().applied.baudRate, baud);
    QCOMPARE(h.Port().applied.parity, parity);
    QCOMPARE(h.Port().applied.dataBits, dataBits);
    QCOMPARE(h.Port().applied.stopBits, stopBits);
    QCOMPARE(h.Port().rtsWrites, QList<bool>{true});
    // DTR is the Power (DTR) box's alone: start-up leaves it as the port has it.
    QCOMPARE(h.Port().dtrWrites, QList<bool>());
    QCOMPARE(h.View().PortProblem(), QString());
}

void StartupTest::stepMode_startupWritesTheEightQueriesInOrder()
{
    Panel h;

    h.Start();

    QCOMPARE(Shown(h.TakeWrites()), Shown(kStepModeQueries));
    QCOMPARE(h.View().m_strLastCommand, QByteArray("A\nA\nA\n"));
}

// Once the radio has sent a 'G' field, mode and AGC are set by value, so a
// further first update leaves their cycles out; the port, already open, is
// not opened again.
void StartupTest::directMode_repeatedStartupWritesOnlySix()
{
    StartedPanel h;
    h.Feed("G12 \n");
    QCOMPARE(g_bStepMode, BYTE(0));
    h.TakeWrites();

    h.Start();

    QCOMPARE(Shown(h.TakeWrites()), Shown(kDirectModeQueries));
    QCOMPARE(h.Port().openedDevices.size(), 1);
    QCOMPARE(h.View().Timers().Period(1), 3000);
    QCOMPARE(h.View().Timers().Period(3), 500);
    QCOMPARE(h.View().m_nStep, 5);
}

// The first update does not refresh the form at its end: what it put into
// the members shows with the first event of the port.
void StartupTest::startup_setsOneKhzStepButShowsItOnlyAtTheNextRefresh()
{
    Panel h;

    h.Start();

    QCOMPARE(h.View().m_nStep, 5);
    QCOMPARE(g_dStep, 1.0);
    QCOMPARE(CheckedStep(h.View()), -1);
    QCOMPARE(h.View().Form().Edit(IDC_SCAN_LOWER)->text(), QString());

    h.Feed("F0710000 \n");

    QCOMPARE(CheckedStep(h.View()), 5);
    QVERIFY(h.View().Form().Button(IDC_STEP_1K)->isChecked());
    QCOMPARE(h.View().Form().Edit(IDC_SCAN_LOWER)->text(), QStringLiteral(" 7000.00"));
}

void StartupTest::startupThatFailsAtAPortProperty_sendsNoQueries_data()
{
    QTest::addColumn<bool>("withFile");
    QTest::addColumn<QByteArray>("portLine");
    QTest::addColumn<bool>("deviceRefuses");
    QTest::addColumn<int>("opened");
    QTest::newRow("no channel file: port 0 ends at CommPort") << false << QByteArray() << false << 0;
    QTest::newRow("parity X ends at Settings") << true << QByteArray("1  9600 X 7 1") << false << 0;
    QTest::newRow("device refuses ends at PortOpen") << true << QByteArray("1  9600 O 7 1") << true << 1;
}

void StartupTest::startupThatFailsAtAPortProperty_sendsNoQueries()
{
    QFETCH(bool, withFile);
    QFETCH(QByteArray, portLine);
    QFETCH(bool, deviceRefuses);
    QFETCH(int, opened);
    const QByteArray file = portLine + "\r\n 7000.00  7300.00   0   9\r\n";
    ViewHarness h(withFile ? &file : nullptr);
    h.Port().failOpen = deviceRefuses;

    h.Start();

    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
    QCOMPARE(h.Port().openedDevices.size(), opened);
    QVERIFY(!h.Port().IsOpen());
    QVERIFY(!h.View().PortProblem().isEmpty());
    QVERIFY2(h.View().window()->windowTitle().contains(h.View().PortProblem()),
             qPrintable(h.View().window()->windowTitle()));
    QCOMPARE(h.View().m_nStep, -1);
    QCOMPARE(h.View().Timers().Period(1), 3000);
    QCOMPARE(h.View().Timers().Period(2), 1000);
    QCOMPARE(h.View().Timers().Period(3), 500);
}

void StartupTest::withNoChannelFile_timersKeepRunningWithoutCrashing()
{
    ViewHarness h;
    h.Start();
    QCOMPARE(h.messages, QStringList{QStringLiteral("Saved Data File did not open for Read!")});
    QCOMPARE(h.View().Comm().GetCommPort(), short(1));  // the control never took the 0
    const QString problem = h.View().PortProblem();
    QVERIFY(!problem.isEmpty());

    // Both limits are 0 without a file, so a jog step goes one step up from
    // the 0.00 kHz nothing has reported.
    h.View().m_nJog = 0;
    QTRY_COMPARE_WITH_TIMEOUT(h.View().m_strLastCommand, QByteArray("F0000100\n"), 2000);

    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
    QCOMPARE(h.View().PortProblem(), problem);
    QCOMPARE(h.messages.size(), 1);
}

void StartupTest::poll_asksForStatusInReceiveAndRepeatsTheKeyWhileKeyed()
{
    StartedPanel h;
    CTavrinView& view = h.View();

    view.OnTimer(1);
    QCOMPARE(Shown(h.TakeWrites()), Shown({"?\nU"}));

    view.OnXmit();
    h.TakeWrites();
    view.m_nJog = 0;
    view.OnTimer(1);
    QCOMPARE(Shown(h.TakeWrites()), Shown({"K"}));
    QCOMPARE(view.m_nJog, -1);
    view.OnTimer(1);
    QCOMPARE(Shown(h.TakeWrites()), Shown({"K"}));

    view.OnReceive();
    h.TakeWrites();
    view.m_nJog = 1;
    view.OnTimer(1);
    QCOMPARE(Shown(h.TakeWrites()), Shown({"?\nU"}));
    QCOMPARE(view.m_nJog, 1);
}

void StartupTest::jogTimer_runsOnlyTheSelectedDirection_data()
{
    QTest::addColumn<int>("jog");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("no jog") << -1 << QByteArray();
    QTest::newRow("jog up: JogUp only") << 0 << QByteArray("F0705100\n");
    QTest::newRow("jog down: JogDown only") << 1 << QByteArray("F0704900\n");
}

void StartupTest::jogTimer_runsOnlyTheSelectedDirection()
{
    QFETCH(int, jog);
    QFETCH(QByteArray, sent);
    StartedPanel h;
    h.Feed("F0705000 \n");
    h.TakeWrites();
    h.View().m_nJog = jog;

    h.View().OnTimer(3);

    QCOMPARE(Shown(h.TakeWrites()), Shown(sent.isEmpty() ? QByteArrayList() : QByteArrayList{sent}));
    QCOMPARE(h.View().m_nJog, jog);
}

void StartupTest::realJogTimerTick_sendsAStepWithinHalfASecond()
{
    StartedPanel h;
    h.Feed("F0705000 \n");
    h.TakeWrites();
    h.View().m_nJog = 1;

    QTRY_VERIFY_WITH_TIMEOUT(!h.Port().writes.isEmpty(), 2000);

    QCOMPARE(h.Port().writes.first(), QByteArray("F0704900\n"));
}

void StartupTest::scanTimer_stepsTheScanOnlyWhileItRuns()
{
    StartedPanel h;
    CTavrinView& view = h.View();

    view.OnTimer(2);
    QCOMPARE(Shown(h.TakeWrites()), Shown({}));

    g_bChanScan = 1;
    view.OnTimer(2);
    const QByteArrayList writes = h.TakeWrites();
    QVERIFY2(!writes.isEmpty() && writes.last() == "F0000000\n", Shown(writes).constData());
    QCOMPARE(g_bChanScan, BYTE(1));
}

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
