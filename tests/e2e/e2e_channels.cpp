// Memory channels on the radio: a recall by double-click sets everything a
// channel stores, and the channel scan walks the radio through its range.
#include <QAbstractButton>
#include <QListWidget>
#include <QtTest>

#include "panel/combocontrols.h"
#include "panel/tavrinview.h"
#include "panelonradio.h"
#include "res/resource.h"

using radiosim::RadioState;

namespace {

// Off every stored channel in at least one respect.
RadioState Elsewhere(bool direct)
{
    RadioState s;
    s.setFrequencyKHz(7100.0);
    s.mode = '2';
    s.agc = '3';
    s.audioInput = '3';
    s.extPtt = true;
    s.localAudio = false;
    s.vox = '1';
    s.directMode = direct;
    return s;
}

struct Recalled {
    double kHz;
    char mode, agc, audioInput;
    bool extPtt, localAudio;
};

RadioState With(RadioState s, const Recalled& r)
{
    s.setFrequencyKHz(r.kHz);
    s.mode = r.mode;
    s.agc = r.agc;
    s.audioInput = r.audioInput;
    s.extPtt = r.extPtt;
    s.localAudio = r.localAudio;
    return s;
}

// The press and release, then the double-click and its release, as the
// window system delivers a double-click.
void DoubleClickRow(CTavrinView& view, int row)
{
    QListWidget* list = static_cast<SimpleCombo*>(view.Form().Combo(IDC_CHANNELS))->List();
    list->scrollToItem(list->item(row));
    const QPoint centre = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, centre);
}

QString Khz(const RadioState& s) { return QString::number(s.frequencyKHz(), 'f', 2); }

} // namespace

Q_DECLARE_METATYPE(Recalled)

class E2eChannelsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void doubleClickOnAChannel_setsTheRadioToIt_data();
    void doubleClickOnAChannel_setsTheRadioToIt();
    void chanScan_walksTheRadioThroughItsChannelsUntilClickedAgain();

private:
    QTemporaryDir m_profile;
};

void E2eChannelsTest::initTestCase() { QVERIFY(UseScratchProfileSettings(m_profile)); }

void E2eChannelsTest::doubleClickOnAChannel_setsTheRadioToIt_data()
{
    QTest::addColumn<bool>("direct");
    QTest::addColumn<int>("channel");
    QTest::addColumn<Recalled>("wanted");

    QTest::newRow("step: 0 LSB Slow Mic, both off") << false << 0 << Recalled{7035.25, '2', '2', '1', false, false};
    QTest::newRow("step: 1 USB Fast Audio2, both on") << false << 1 << Recalled{14250.0, '1', '4', '2', true, true};
    QTest::newRow("step: 2 AM Medium Patch, Ext PTT on") << false << 2 << Recalled{2182.0, '3', '3', '3', true, false};
    QTest::newRow("step: 3 CW Slow Mic, both off") << false << 3 << Recalled{10000.0, '4', '2', '1', false, false};
    // Stepping cannot reach AGC Off: the radio keeps Medium.
    QTest::newRow("step: 4 AGC Off stays Medium") << false << 4 << Recalled{3650.0, '2', '3', '3', true, false};
    QTest::newRow("direct: 4 AGC Off") << true << 4 << Recalled{3650.0, '2', '1', '3', true, false};
    QTest::newRow("direct: 1 USB Fast Audio2") << true << 1 << Recalled{14250.0, '1', '4', '2', true, true};
    QTest::newRow("direct: 3 CW Slow") << true << 3 << Recalled{10000.0, '4', '2', '1', false, false};
}

void E2eChannelsTest::doubleClickOnAChannel_setsTheRadioToIt()
{
    QFETCH(bool, direct);
    QFETCH(int, channel);
    QFETCH(Recalled, wanted);
    PanelOnRadio panel(Elsewhere(direct));
    QVERIFY2(panel.SetupProblem().isEmpty(), qPrintable(panel.SetupProblem()));
    panel.Start();
    QVERIFY(panel.Settle());

    DoubleClickRow(panel.View(), channel);

    QTRY_COMPARE_WITH_TIMEOUT(Khz(panel.Radio().state()), Khz(With({}, wanted)), 2000);
    QVERIFY(panel.Settle());
    QCOMPARE(Described(panel.Radio().state()), Described(With(Elsewhere(direct), wanted)));
    QCOMPARE(PanelDiffersFromRadio(panel.View(), panel.Radio().state()), QString());
    QCOMPARE(panel.View().m_cbChannels.GetCurSel(), channel);
}

void E2eChannelsTest::chanScan_walksTheRadioThroughItsChannelsUntilClickedAgain()
{
    PanelOnRadio panel(Elsewhere(false));
    QVERIFY2(panel.SetupProblem().isEmpty(), qPrintable(panel.SetupProblem()));
    panel.Start();
    QVERIFY(panel.Settle());
    CTavrinView& view = panel.View();
    const RadioState channels[] = {
        With(Elsewhere(false), {14250.0, '1', '4', '2', true, true}),
        With(Elsewhere(false), {2182.0, '3', '3', '3', true, false}),
        With(Elsewhere(false), {10000.0, '4', '2', '1', false, false}),
    };

    Click(view.Form().Button(IDC_CHAN_SCAN));
    QTRY_VERIFY_WITH_TIMEOUT(panel.Radio().state().bpfOff, 2000);
    QVERIFY(view.m_btnChanScan.GetState());
    for (int tick = 0; tick < 3; ++tick) {
        view.OnTimer(2);
        QVERIFY(panel.Settle());
        RadioState wanted = channels[tick];
        wanted.bpfOff = true;
        QCOMPARE(Described(panel.Radio().state()), Described(wanted));
        QCOMPARE(PanelDiffersFromRadio(view, wanted), QString());
        QCOMPARE(view.m_cbChannels.GetCurSel(), tick + 1);
    }
    Click(view.Form().Button(IDC_CHAN_SCAN));
    QTRY_VERIFY_WITH_TIMEOUT(!panel.Radio().state().bpfOff, 2000);
    QVERIFY(panel.Settle());
    const int commands = panel.Radio().commandsHandled();
    view.OnTimer(2);
    QVERIFY(panel.Settle());

    QVERIFY(!view.m_btnChanScan.GetState());
    QCOMPARE(panel.Radio().commandsHandled(), commands);
    QCOMPARE(Described(panel.Radio().state()), Described(channels[2]));
    QCOMPARE(PanelDiffersFromRadio(view, channels[2]), QString());
}

QTEST_MAIN(E2eChannelsTest)
#include "e2e_channels.moc"
