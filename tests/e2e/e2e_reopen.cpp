// The cable pulled and plugged back: the radio's line goes away and comes
// back on a new pseudo-terminal under the same stable name, as a USB
// adapter does under /dev/serial/by-id. The panel opens it again by itself,
// on its own 2-second timer, and shows the radio as it now is.
#include <QAbstractButton>
#include <QElapsedTimer>
#include <QtTest>

#include "panel/tavrinview.h"
#include "panel/tuningstate.h"
#include "panelonradio.h"
#include "portwatch/portreopener.h"
#include "res/resource.h"

using radiosim::RadioState;

namespace {

RadioState Before()
{
    RadioState s;
    s.setFrequencyKHz(7155.5);
    s.mode = '2';
    s.agc = '4';
    s.meter = '3';
    s.sideTone = true;
    return s;
}

// Someone turned the radio's own knobs while the cable was out.
RadioState ChangedWhileAway()
{
    RadioState s = Before();
    s.setFrequencyKHz(14230.0);
    s.mode = '1';
    s.vox = '2';
    s.clipping = true;
    return s;
}

} // namespace

class E2eReopenTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cablePulledAndPluggedBack_panelReopensByItselfAndShowsTheRadioAgain();

private:
    QTemporaryDir m_profile;
};

void E2eReopenTest::initTestCase() { QVERIFY(UseScratchProfileSettings(m_profile)); }

void E2eReopenTest::cablePulledAndPluggedBack_panelReopensByItselfAndShowsTheRadioAgain()
{
    PanelOnRadio panel(Before(), RadioChannelFile(), true);
    QVERIFY2(panel.SetupProblem().isEmpty(), qPrintable(panel.SetupProblem()));
    panel.Start();
    QVERIFY(panel.Settle());
    CTavrinView& view = panel.View();
    auto* reopener = new CPortReopener(view);
    const QString title = view.window()->windowTitle();
    view.m_strScanLower = " 7100";
    view.OnKillFocusScanLower();
    Click(view.Form().Button(IDC_JOG_DOWN));
    QCOMPARE(view.m_nJog, 1);

    panel.Radio().disconnectLink();
    QTRY_VERIFY_WITH_TIMEOUT(!view.PortProblem().isEmpty(), 2000);
    const QString lostTitle = view.window()->windowTitle();
    QCOMPARE(view.m_nJog, -1);
    QVERIFY(reopener->IsRetrying());
    reopener->TryReopen(); // the name leads nowhere yet: nothing changes
    QCOMPARE(view.window()->windowTitle(), lostTitle);
    panel.Radio().setState(ChangedWhileAway());

    QVERIFY(panel.Radio().reconnectLink());
    QElapsedTimer sincePluggedIn;
    sincePluggedIn.start();
    QTRY_VERIFY_WITH_TIMEOUT(view.PortProblem().isEmpty(), 5000);
    QVERIFY(panel.Settle());

    QVERIFY2(sincePluggedIn.elapsed() < CPortReopener::kRetryMs + 1500, qPrintable(QString::number(sincePluggedIn.elapsed())));
    QCOMPARE(view.window()->windowTitle(), title);
    QCOMPARE(PanelDiffersFromRadio(view, panel.Radio().state()), QString());
    QCOMPARE(Described(panel.Radio().state()), Described(ChangedWhileAway())); // the queries went round
    QCOMPARE(g_fScanLower, 7100.0f);
    QCOMPARE(view.m_nJog, -1);
    QCOMPARE(panel.messages, QStringList());
}

QTEST_MAIN(E2eReopenTest)
#include "e2e_reopen.moc"
