// Start-up against the radio: the queries step every setting once round its
// cycle, so the radio must end where it began, and the panel must show it.
#include <QAbstractButton>
#include <QtTest>

#include "link/reportedstate.h"
#include "panel/tavrinview.h"
#include "panelonradio.h"
#include "res/resource.h"

using radiosim::RadioState;

Q_DECLARE_METATYPE(radiosim::RadioState)

namespace {

RadioState EverySettingOffItsDefault()
{
    RadioState s;
    s.setFrequencyKHz(14250.0);
    s.mode = '4';
    s.agc = '4';
    s.audioInput = '3';
    s.vox = '2';
    s.meter = '5';
    s.sideTone = true;
    s.clipping = true;
    s.muted = true;
    s.extPtt = true;
    s.localAudio = true;
    s.bpfOff = true;
    return s;
}

RadioState HalfWayRoundEachCycle()
{
    RadioState s;
    s.setFrequencyKHz(2182.0);
    s.mode = '3';
    s.agc = '3';
    s.audioInput = '2';
    s.vox = '1';
    s.meter = '4';
    s.clipping = true;
    s.amplifier = '4';
    return s;
}

RadioState DirectRadio()
{
    RadioState s = EverySettingOffItsDefault();
    s.directMode = true;
    s.meter = '6';
    s.amplifier = '3';
    return s;
}

} // namespace

class E2eStartupTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void startup_leavesEverySettingWhereItBeganAndShowsIt_data();
    void startup_leavesEverySettingWhereItBeganAndShowsIt();
    void startup_selectsTheOneKilohertzStepAndOpensThePortQuietly();

private:
    QTemporaryDir m_profile;
};

void E2eStartupTest::initTestCase() { QVERIFY(UseScratchProfileSettings(m_profile)); }

void E2eStartupTest::startup_leavesEverySettingWhereItBeganAndShowsIt_data()
{
    QTest::addColumn<RadioState>("initial");
    QTest::addColumn<int>("stepModeAfter");

    QTest::newRow("the radio's defaults") << RadioState() << 1;
    QTest::newRow("every setting off its default") << EverySettingOffItsDefault() << 1;
    QTest::newRow("half way round each cycle") << HalfWayRoundEachCycle() << 1;
    QTest::newRow("a radio with direct commands") << DirectRadio() << 0;
}

void E2eStartupTest::startup_leavesEverySettingWhereItBeganAndShowsIt()
{
    QFETCH(RadioState, initial);
    QFETCH(int, stepModeAfter);
    PanelOnRadio panel(initial);
    QVERIFY2(panel.SetupProblem().isEmpty(), qPrintable(panel.SetupProblem()));

    panel.Start();

    QVERIFY(panel.Settle());
    QCOMPARE(Described(panel.Radio().state()), Described(initial));
    QCOMPARE(PanelDiffersFromRadio(panel.View(), initial), QString());
    QCOMPARE(int(g_bStepMode), stepModeAfter);
}

void E2eStartupTest::startup_selectsTheOneKilohertzStepAndOpensThePortQuietly()
{
    PanelOnRadio panel;
    QVERIFY2(panel.SetupProblem().isEmpty(), qPrintable(panel.SetupProblem()));

    panel.Start();

    QTRY_COMPARE_WITH_TIMEOUT(panel.View().m_strFreq, FrequencyShown(panel.Radio().state()), 2000);
    QVERIFY(panel.Settle());
    QCOMPARE(panel.View().m_nStep, 5);
    QVERIFY(panel.View().Form().Button(IDC_STEP_1K)->isChecked());
    QCOMPARE(panel.View().PortProblem(), QString());
    QCOMPARE(panel.messages, QStringList());
    // "?" plus the full cycles of H, V, S, I, D, M and A.
    QCOMPARE(panel.Radio().commandsHandled(), 1 + 3 + 3 + 2 + 2 + 6 + 4 + 3);
}

QTEST_MAIN(E2eStartupTest)
#include "e2e_startup.moc"
