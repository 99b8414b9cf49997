// A bad line to the radio: replies that lose, flip or gain characters, or
// arrive in pieces, and a cable pulled out. The panel must keep running and
// come back to the radio's truth with the polls.
#include <QAbstractButton>
#include <QtTest>

#include "link/commerror.h"
#include "panel/tavrinview.h"
#include "panelonradio.h"
#include "res/resource.h"

using radiosim::FaultSettings;
using radiosim::RadioState;

Q_DECLARE_METATYPE(radiosim::FaultSettings)

namespace {

constexpr int kMostPolls = 10;

FaultSettings Faults(double drop, double corrupt, double garbage, bool chunked, quint32 seed)
{
    FaultSettings f;
    f.dropRate = drop;
    f.corruptRate = corrupt;
    f.garbageRate = garbage;
    f.chunked = chunked;
    f.seed = seed;
    return f;
}

RadioState OffDefaults()
{
    RadioState s;
    s.setFrequencyKHz(7155.5);
    s.mode = '2';
    s.agc = '4';
    s.audioInput = '2';
    s.vox = '1';
    s.meter = '3';
    s.sideTone = true;
    s.extPtt = true;
    return s;
}

} // namespace

class E2eFaultyLineTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void spoiledReplies_panelComesBackToTheRadioWithThePolls_data();
    void spoiledReplies_panelComesBackToTheRadioWithThePolls();
    void pulledCable_showsThePortProblemAndLaterPollsAndClicksDoNoHarm();

private:
    // Polls until the panel shows the radio, or gives up.
    void PollUntilPanelShowsRadio(PanelOnRadio& panel);
    QTemporaryDir m_profile;
};

void E2eFaultyLineTest::initTestCase() { QVERIFY(UseScratchProfileSettings(m_profile)); }

void E2eFaultyLineTest::PollUntilPanelShowsRadio(PanelOnRadio& panel)
{
    for (int poll = 0; poll < kMostPolls; ++poll) {
        if (PanelDiffersFromRadio(panel.View(), panel.Radio().state()).isEmpty())
            return;
        panel.View().OnTimer(1);
        if (!panel.Settle())
            return;
    }
}

void E2eFaultyLineTest::spoiledReplies_panelComesBackToTheRadioWithThePolls_data()
{
    QTest::addColumn<FaultSettings>("faults");

    QTest::newRow("dropped characters") << Faults(0.05, 0, 0, false, 7);
    QTest::newRow("flipped bits") << Faults(0, 0.05, 0, false, 11);
    QTest::newRow("noise between reports") << Faults(0, 0, 0.5, false, 3);
    QTest::newRow("replies in pieces") << Faults(0, 0, 0, true, 5);
    QTest::newRow("all of it") << Faults(0.02, 0.02, 0.3, true, 42);
    QTest::newRow("all of it, another seed") << Faults(0.02, 0.02, 0.3, true, 1234);
}

void E2eFaultyLineTest::spoiledReplies_panelComesBackToTheRadioWithThePolls()
{
    QFETCH(FaultSettings, faults);
    PanelOnRadio panel(OffDefaults());
    QVERIFY2(panel.SetupProblem().isEmpty(), qPrintable(panel.SetupProblem()));
    panel.Radio().setOutgoingFaults(faults);
    panel.Start();
    QVERIFY(panel.Settle());

    PollUntilPanelShowsRadio(panel);
    QCOMPARE(panel.View().m_strFreq, FrequencyShown(OffDefaults()));
    QCOMPARE(PanelDiffersFromRadio(panel.View(), panel.Radio().state()), QString());

    // Commands reach the radio whole; a step from the frequency the panel
    // now shows lands one step above the truth.
    Click(panel.View().Form().Button(IDC_FREQ_UP));
    QVERIFY(panel.Settle());
    PollUntilPanelShowsRadio(panel);

    RadioState stepped = OffDefaults();
    stepped.setFrequencyKHz(7156.5);
    QCOMPARE(Described(panel.Radio().state()), Described(stepped));
    QCOMPARE(PanelDiffersFromRadio(panel.View(), panel.Radio().state()), QString());
    QCOMPARE(panel.View().PortProblem(), QString());
    QCOMPARE(panel.messages, QStringList());
}

void E2eFaultyLineTest::pulledCable_showsThePortProblemAndLaterPollsAndClicksDoNoHarm()
{
    PanelOnRadio panel(OffDefaults());
    QVERIFY2(panel.SetupProblem().isEmpty(), qPrintable(panel.SetupProblem()));
    panel.Start();
    QVERIFY(panel.Settle());
    CTavrinView& view = panel.View();
    QCOMPARE(view.PortProblem(), QString());

    panel.Radio().disconnectLink();

    QTRY_VERIFY_WITH_TIMEOUT(!view.PortProblem().isEmpty(), 2000);
    QVERIFY2(view.window()->windowTitle().contains(view.PortProblem()), qPrintable(view.window()->windowTitle()));
    // A poll called straight ends at its write, as every handler does on a
    // port error; the user's ticks come through the panel's own timers,
    // which end it quietly.
    QVERIFY_THROWS_EXCEPTION(CommError, view.OnTimer(1));
    Click(view.Form().Button(IDC_FREQ_UP));
    Click(view.Form().Button(IDC_JOG_DOWN));
    view.SetTimer(1, 10);
    view.SetTimer(3, 10);
    QTest::qWait(100);
    Click(view.Form().Button(IDC_CHAN_SCAN));
    QTest::qWait(30);

    QVERIFY(!view.PortProblem().isEmpty());
    QVERIFY2(view.window()->windowTitle().contains(view.PortProblem()), qPrintable(view.window()->windowTitle()));
    QCOMPARE(view.m_strFreq, FrequencyShown(OffDefaults()));
    QCOMPARE(panel.messages, QStringList());
}

QTEST_MAIN(E2eFaultyLineTest)
#include "e2e_faultyline.moc"
