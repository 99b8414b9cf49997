// Transmit, Tune, audio input, VOX and the switches: what each click sends,
// given what the radio last reported.
#include <QAbstractButton>
#include <QLineEdit>
#include <QtTest>
#include <map>

#include "link/reportedstate.h"
#include "panel/tavrinview.h"
#include "panel/transmitstate.h"
#include "panel/tuningstate.h"
#include "res/resource.h"
#include "support/panelkit.h"
#include "support/viewharness.h"

namespace {

using Handler = void (CTavrinView::*)();

const Handler kInputHandlers[] = {&CTavrinView::OnInputMic, &CTavrinView::OnInputAudio2,
                                  &CTavrinView::OnInputPatch};
const Handler kVoxHandlers[] = {&CTavrinView::OnVoxOff, &CTavrinView::OnVoxVoice, &CTavrinView::OnVoxData};
const char* const kInputNames[] = {"Mic", "Audio2", "Patch"};
const char* const kVoxNames[] = {"Off", "Voice", "Data"};

// reported (row) to clicked (column), each along its radio's three-place cycle.
const char* const kInputSteps[3][3] = {
    {"", "H\n", "H\nH\n"},
    {"H\nH\n", "", "H\n"},
    {"H\n", "H\nH\n", ""},
};
const char* const kVoxSteps[3][3] = {
    {"", "V\n", "V\nV\n"},
    {"V\nV\n", "", "V\n"},
    {"V\n", "V\nV\n", ""},
};

} // namespace

class TransmitTest : public QObject {
    Q_OBJECT
private slots:
    void audioInput_sendsStepsFromReportedToClicked_data();
    void audioInput_sendsStepsFromReportedToClicked();
    void vox_sendsStepsFromReportedToClicked_data();
    void vox_sendsStepsFromReportedToClicked();
    void clickingVoxData_withVoiceReported_sendsOneStep();

    void xmitInReceive_keysWithBareK();
    void secondXmitWhileKeyed_sendsNothing();
    void receiveWhileKeyed_unkeysWithBareU();
    void receiveWhileInReceive_sendsNothing();
    void xmit_stopsARunningJog();

    void clickingMute_sendsInvertedCommandAndFlipsMember();
    void clipping_isSentUnlessAudio2IsReported_data();
    void clipping_isSentUnlessAudio2IsReported();
    void sideTone_isSentWhateverTheReport();
    void switches_askForTheOppositeOfTheirMember_data();
    void switches_askForTheOppositeOfTheirMember();
    void recallOperations_sendExtPttThenLocalAudioAsTwoWrites_data();
    void recallOperations_sendExtPttThenLocalAudioAsTwoWrites();

    void tuneStartInStepMode_switchesToAmBeforeKeying_data();
    void tuneStartInStepMode_switchesToAmBeforeKeying();
    void tuneEndInStepMode_unkeysBeforeRestoringMode_data();
    void tuneEndInStepMode_unkeysBeforeRestoringMode();
    void tuneInDirectMode_sendsAgcModeAndFrequencyAroundTheKey();
    void receiveDuringTune_nextTuneOnlyRestoresMode();
    void tuneWhileKeyedByXmit_doesNothing();
    void clickingTune_keepsButtonPushedUntilNextClick();

private:
    void ClickStepHandlerAfterReport(const Handler* handlers, const char& reportedGlobal);
};

void TransmitTest::ClickStepHandlerAfterReport(const Handler* handlers, const char& reportedGlobal)
{
    QFETCH(QByteArray, report);
    QFETCH(int, clicked);
    QFETCH(QByteArray, steps);
    StartedPanel h;
    CTavrinView& view = h.View();
    h.Feed(report);
    const char reported = reportedGlobal;

    (view.*handlers[clicked])();

    QCOMPARE(Shown(h.TakeWrites()), Shown(OneWriteOrNone(steps)));
    QCOMPARE(reportedGlobal, reported);
}

void TransmitTest::audioInput_sendsStepsFromReportedToClicked_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<int>("clicked");
    QTest::addColumn<QByteArray>("steps");
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            QTest::addRow("%s reported, %s clicked", kInputNames[r], kInputNames[c])
                << QByteArray("H") + char('1' + r) + " \n" << c << QByteArray(kInputSteps[r][c]);
    for (int c = 0; c < 3; ++c)
        QTest::addRow("no report yet, %s clicked", kInputNames[c]) << QByteArray() << c << QByteArray();
    QTest::newRow("'0' reported, Patch clicked") << QByteArray("H0 \n") << 2 << QByteArray();
    QTest::newRow("'4' reported, Mic clicked") << QByteArray("H4 \n") << 0 << QByteArray();
}

void TransmitTest::audioInput_sendsStepsFromReportedToClicked()
{
    ClickStepHandlerAfterReport(kInputHandlers, g_chAudioInput);
}

void TransmitTest::vox_sendsStepsFromReportedToClicked_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<int>("clicked");
    QTest::addColumn<QByteArray>("steps");
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            QTest::addRow("%s reported, %s clicked", kVoxNames[r], kVoxNames[c])
                << QByteArray("V") + char('0' + r) + " \n" << c << QByteArray(kVoxSteps[r][c]);
    for (int c = 0; c < 3; ++c)
        QTest::addRow("no report yet, %s clicked", kVoxNames[c]) << QByteArray() << c << QByteArray();
    QTest::newRow("'3' reported, Off clicked") << QByteArray("V3 \n") << 0 << QByteArray();
}

void TransmitTest::vox_sendsStepsFromReportedToClicked() { ClickStepHandlerAfterReport(kVoxHandlers, g_chVox); }

void TransmitTest::clickingVoxData_withVoiceReported_sendsOneStep()
{
    StartedPanel h;
    CTavrinView& view = h.View();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    h.Feed("V1 \n");

    ClickIndicator(view.Form().Button(IDC_VOX_DATA));

    QCOMPARE(Shown(h.TakeWrites()), Shown({"V\n"}));
    QCOMPARE(view.m_nVox, 1); // the radio's next report moves the buttons
}

void TransmitTest::xmitInReceive_keysWithBareK()
{
    StartedPanel h;
    h.View().OnXmit();

    QCOMPARE(Shown(h.TakeWrites()), Shown({"K"}));
    QCOMPARE(g_chTxState, 'K');
    QCOMPARE(h.View().m_nTxRx, -1); // the buttons follow the radio's 'K' report
}

void TransmitTest::secondXmitWhileKeyed_sendsNothing()
{
    StartedPanel h;
    h.View().OnXmit();
    h.TakeWrites();

    h.View().OnXmit();

    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
    QCOMPARE(g_chTxState, 'K');
}

void TransmitTest::receiveWhileKeyed_unkeysWithBareU()
{
    StartedPanel h;
    h.View().OnXmit();
    h.TakeWrites();

    h.View().OnReceive();

    QCOMPARE(Shown(h.TakeWrites()), Shown({"U"}));
    QCOMPARE(g_chTxState, 'U');
}

void TransmitTest::receiveWhileInReceive_sendsNothing()
{
    StartedPanel h;
    h.View().OnReceive();

    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
    QCOMPARE(g_chTxState, 'U');
}

void TransmitTest::xmit_stopsARunningJog()
{
    StartedPanel h;
    CTavrinView& view = h.View();
    view.OnJogUp();
    QCOMPARE(view.m_nJog, 0);

    view.OnXmit();
    h.TakeWrites();
    view.OnTimer(3);

    QCOMPARE(view.m_nJog, -1);
    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
}

// The mute command is inverted: "(0" mutes.
void TransmitTest::clickingMute_sendsInvertedCommandAndFlipsMember()
{
    StartedPanel h;
    CTavrinView& view = h.View();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QAbstractButton* mute = view.Form().Button(IDC_MUTE);

    ClickIndicator(mute);
    QCOMPARE(Shown(h.TakeWrites()), Shown({"(0\n"}));
    QCOMPARE(view.m_bMute, 1);

    ClickIndicator(mute);
    QCOMPARE(Shown(h.TakeWrites()), Shown({"(1\n"}));
    QCOMPARE(view.m_bMute, 0);
}

void TransmitTest::clipping_isSentUnlessAudio2IsReported_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<QByteArrayList>("expected");
    QTest::newRow("no audio-input report yet") << QByteArray() << QByteArrayList{"I\n"};
    QTest::newRow("Mic reported") << QByteArray("H1 \n") << QByteArrayList{"I\n"};
    QTest::newRow("Audio2 reported") << QByteArray("H2 \n") << QByteArrayList{};
    QTest::newRow("Patch reported") << QByteArray("H3 \n") << QByteArrayList{"I\n"};
}

// The echo shows the command the click stands for, sent or not.
void TransmitTest::clipping_isSentUnlessAudio2IsReported()
{
    QFETCH(QByteArray, report);
    QFETCH(QByteArrayList, expected);
    StartedPanel h;
    CTavrinView& view = h.View();
    h.Feed(report);

    view.OnClipping();

    QCOMPARE(Shown(h.TakeWrites()), Shown(expected));
    QCOMPARE(view.m_strLastCommand, CString("I\n"));
    h.Feed("\n");
    QCOMPARE(view.Form().Edit(IDC_LAST_COMMAND)->text(), QStringLiteral("I\n"));
}

void TransmitTest::sideTone_isSentWhateverTheReport()
{
    StartedPanel h;
    h.View().OnSideTone();
    h.Feed("S1 \n");
    h.View().OnSideTone();
    h.Feed("S0 \n");
    h.View().OnSideTone();

    QCOMPARE(Shown(h.TakeWrites()), Shown({"S\n", "S\n", "S\n"}));
}

void TransmitTest::switches_askForTheOppositeOfTheirMember_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<int>("member");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("Ext PTT, never reported") << IDC_EXT_PTT << QByteArray() << 0 << QByteArray("'1\n");
    QTest::newRow("Ext PTT, reported on") << IDC_EXT_PTT << QByteArray("'1 \n") << 1 << QByteArray("'0\n");
    QTest::newRow("Ext PTT, reported off") << IDC_EXT_PTT << QByteArray("'1 '0 \n") << 0 << QByteArray("'1\n");
    QTest::newRow("BPF Off, never reported") << IDC_BPF_OFF << QByteArray() << 0 << QByteArray(",1\n");
    QTest::newRow("BPF Off, reported on") << IDC_BPF_OFF << QByteArray(",1 \n") << 1 << QByteArray(",0\n");
    QTest::newRow("BPF Off, reported off") << IDC_BPF_OFF << QByteArray(",1 ,0 \n") << 0 << QByteArray(",1\n");
    QTest::newRow("LocalAudio, never reported") << IDC_LOCAL_AUDIO << QByteArray() << 0 << QByteArray("\"1\n");
    QTest::newRow("LocalAudio, reported on") << IDC_LOCAL_AUDIO << QByteArray("\"1 \n") << 1 << QByteArray("\"0\n");
    QTest::newRow("LocalAudio, reported off")
        << IDC_LOCAL_AUDIO << QByteArray("\"1 \"0 \n") << 0 << QByteArray("\"1\n");
}

// The member is left for the radio's next report to set.
void TransmitTest::switches_askForTheOppositeOfTheirMember()
{
    QFETCH(int, id);
    QFETCH(QByteArray, report);
    QFETCH(int, member);
    QFETCH(QByteArray, expected);
    StartedPanel h;
    CTavrinView& view = h.View();
    h.Feed(report);
    const std::map<int, std::pair<Handler, int*>> switches = {
        {IDC_EXT_PTT, {&CTavrinView::OnExtPtt, &view.m_bExtPtt}},
        {IDC_BPF_OFF, {&CTavrinView::OnBpfOff, &view.m_bBpfOff}},
        {IDC_LOCAL_AUDIO, {&CTavrinView::OnLocalAudio, &view.m_bLocalAudio}},
    };
    const auto& [handler, value] = switches.at(id);
    QCOMPARE(*value, member);

    (view.*handler)();

    QCOMPARE(Shown(h.TakeWrites()), Shown({expected}));
    QCOMPARE(*value, member);
}

void TransmitTest::recallOperations_sendExtPttThenLocalAudioAsTwoWrites_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<QByteArrayList>("expected");
    QTest::newRow("Ext PTT off, LocalAudio off") << 0 << QByteArrayList{"'0\n", "\"0\n"};
    QTest::newRow("Ext PTT on, LocalAudio off") << 1 << QByteArrayList{"'1\n", "\"0\n"};
    QTest::newRow("Ext PTT on, LocalAudio on") << 2 << QByteArrayList{"'1\n", "\"1\n"};
}

void TransmitTest::recallOperations_sendExtPttThenLocalAudioAsTwoWrites()
{
    QFETCH(int, operation);
    QFETCH(QByteArrayList, expected);
    const Handler operations[] = {&CTavrinView::SendExtPttOffLocalOff, &CTavrinView::SendExtPttOnLocalOff,
                                  &CTavrinView::SendExtPttOnLocalOn};
    StartedPanel h;
    CTavrinView& view = h.View();
    h.Feed("'1 \"1 \n");

    (view.*operations[operation])();

    QCOMPARE(Shown(h.TakeWrites()), Shown(expected));
    QCOMPARE(view.m_bExtPtt, 1);
    QCOMPARE(view.m_bLocalAudio, 1);
}

void TransmitTest::tuneStartInStepMode_switchesToAmBeforeKeying_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<QByteArrayList>("expected");
    QTest::newRow("AM reported") << QByteArray("M3 \n") << QByteArrayList{"K"};
    QTest::newRow("LSB reported") << QByteArray("M2 \n") << QByteArrayList{"M\n", "K"};
    QTest::newRow("USB reported") << QByteArray("M1 \n") << QByteArrayList{"M\nM\n", "K"};
    QTest::newRow("CW reported") << QByteArray("M4 \n") << QByteArrayList{"M\nM\nM\n", "K"};
    QTest::newRow("no mode report yet") << QByteArray() << QByteArrayList{"K"};
}

void TransmitTest::tuneStartInStepMode_switchesToAmBeforeKeying()
{
    QFETCH(QByteArray, report);
    QFETCH(QByteArrayList, expected);
    StartedPanel h;
    CTavrinView& view = h.View();
    h.Feed(report);

    view.OnTune();

    QCOMPARE(Shown(h.TakeWrites()), Shown(expected));
    QCOMPARE(g_bTuning, BYTE(1));
    QCOMPARE(g_chTxState, 'K');
    QVERIFY(view.m_btnTune.GetState());
}

void TransmitTest::tuneEndInStepMode_unkeysBeforeRestoringMode_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("during");
    QTest::addColumn<QByteArrayList>("expected");
    // AM is '3'; the way back to the earlier mode goes on round the cycle.
    QTest::newRow("LSB before, AM reported during") << QByteArray("M2 \n") << QByteArray("M3 \n")
                                                    << QByteArrayList{"U", "M\nM\nM\n"};
    QTest::newRow("USB before, AM reported during") << QByteArray("M1 \n") << QByteArray("M3 \n")
                                                    << QByteArrayList{"U", "M\nM\n"};
    QTest::newRow("CW before, AM reported during") << QByteArray("M4 \n") << QByteArray("M3 \n")
                                                   << QByteArrayList{"U", "M\n"};
    QTest::newRow("AM before, AM reported during") << QByteArray("M3 \n") << QByteArray("M3 \n")
                                                   << QByteArrayList{"U"};
    QTest::newRow("LSB before, no report during") << QByteArray("M2 \n") << QByteArray()
                                                  << QByteArrayList{"U"};
}

void TransmitTest::tuneEndInStepMode_unkeysBeforeRestoringMode()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, during);
    QFETCH(QByteArrayList, expected);
    StartedPanel h;
    CTavrinView& view = h.View();
    h.Feed(before);
    view.OnTune();
    h.Feed(during);
    h.TakeWrites();

    view.OnTune();

    QCOMPARE(Shown(h.TakeWrites()), Shown(expected));
    QCOMPARE(g_bTuning, BYTE(0));
    QCOMPARE(g_chTxState, 'U');
    QVERIFY(!view.m_btnTune.GetState());
}

void TransmitTest::tuneInDirectMode_sendsAgcModeAndFrequencyAroundTheKey()
{
    StartedPanel h;
    CTavrinView& view = h.View();
    h.Feed("G35 F0703525 A3 M2 \n");

    view.OnTune();
    QCOMPARE(Shown(h.TakeWrites()), Shown({"A3\n", "M3\n", "F0703525\n", "K"}));

    h.Feed("M3 \n");
    view.OnTune();
    QCOMPARE(Shown(h.TakeWrites()), Shown({"U", "A3\n", "M2\n", "F0703525\n"}));
}

void TransmitTest::receiveDuringTune_nextTuneOnlyRestoresMode()
{
    StartedPanel h;
    CTavrinView& view = h.View();
    h.Feed("M2 \n");
    view.OnTune();
    h.Feed("M3 \n");
    h.TakeWrites();

    view.OnReceive();
    QCOMPARE(Shown(h.TakeWrites()), Shown({"U"}));
    QCOMPARE(g_bTuning, BYTE(1));
    QVERIFY(view.m_btnTune.GetState());

    view.OnTune();
    QCOMPARE(Shown(h.TakeWrites()), Shown({"M\nM\nM\n"}));
    QCOMPARE(g_bTuning, BYTE(0));
    QVERIFY(!view.m_btnTune.GetState());
}

void TransmitTest::tuneWhileKeyedByXmit_doesNothing()
{
    StartedPanel h;
    CTavrinView& view = h.View();
    h.Feed("M2 \n");
    view.OnXmit();
    h.TakeWrites();

    view.OnTune();

    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
    QCOMPARE(g_bTuning, BYTE(0));
    QCOMPARE(g_chTxState, 'K');
    QVERIFY(!view.m_btnTune.GetState());
}

void TransmitTest::clickingTune_keepsButtonPushedUntilNextClick()
{
    StartedPanel h;
    CTavrinView& view = h.View();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    h.Feed("M3 \n");
    QAbstractButton* tune = view.Form().Button(IDC_TUNE);

    QTest::mouseClick(tune, Qt::LeftButton);
    QCOMPARE(Shown(h.TakeWrites()), Shown({"K"}));
    QVERIFY(view.m_btnTune.GetState());

    h.Feed("K \n"); // a refresh of the form leaves the pushed look alone
    QVERIFY(view.m_btnTune.GetState());

    QTest::mouseClick(tune, Qt::LeftButton);
    QCOMPARE(Shown(h.TakeWrites()), Shown({"U"}));
    QVERIFY(!view.m_btnTune.GetState());
}

QTEST_MAIN(TransmitTest)
#include "test_transmit.moc"
