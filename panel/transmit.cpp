// Transmit, Tune, audio input, VOX and the switches. The panel shows what
// the radio reports, so most handlers only send; the radio's next report
// moves the controls.
#include "link/commandchannel.h"
#include "link/reportedstate.h"
#include "panel/modeagcstate.h"
#include "panel/tavrinview.h"
#include "panel/transmitstate.h"
#include "panel/tuningstate.h"

BYTE g_bTuning = 0;
char g_chModeBeforeTune = 0;

namespace {

// (target - reported) mod 3 steps along a three-place cycle whose first
// position has the character `first`; nothing for an unknown report.
CString CycleSteps(const char* step, char reported, char target, char first)
{
    if (reported < first || reported > first + 2)
        return CString();
    return CString(step).repeated((target - reported + 3) % 3);
}

} // namespace

void CTavrinView::OnXmit()
{
    if (g_chTxState == 'K')
        return;
    g_chTxState = 'K';
    AnnounceTransmit(true, false);
    m_nJog = -1;
    SendCommand("K");
}

void CTavrinView::OnReceive()
{
    if (g_chTxState == 'U')
        return;
    g_chTxState = 'U';
    AnnounceTransmit(true, false);
    SendCommand("U");
}

void CTavrinView::AnnounceTransmit(bool panelChanged, bool radioChanged)
{
    emit TransmitChanged({panelChanged, radioChanged, g_chTxState == 'K', m_nTxRx == 0});
}

// The mute command is inverted: "(0" mutes the radio.
void CTavrinView::OnMute()
{
    if (m_bMute == 0) {
        m_bMute = 1;
        SendCommand("(0\n");
    } else if (m_bMute == 1) {
        m_bMute = 0;
        SendCommand("(1\n");
    }
}

void CTavrinView::SendAudioInputSteps(char target)
{
    const CString steps = CycleSteps("H\n", g_chAudioInput, target, '1');
    if (!steps.isEmpty())
        SendCommand(steps);
}

void CTavrinView::OnInputMic() { SendAudioInputSteps('1'); }
void CTavrinView::OnInputAudio2() { SendAudioInputSteps('2'); }
void CTavrinView::OnInputPatch() { SendAudioInputSteps('3'); }

// Clipping does not apply to Audio2, so nothing goes to the radio then; the
// echo still shows the command the click stands for.
void CTavrinView::OnClipping()
{
    g_strCommand = "I\n";
    if (g_chAudioInput != '2') {
        SendCommand();
        return;
    }
    m_strLastCommand = g_strCommand;
}

void CTavrinView::OnSideTone() { SendCommand("S\n"); }

void CTavrinView::SendVoxSteps(char target)
{
    const CString steps = CycleSteps("V\n", g_chVox, target, '0');
    if (!steps.isEmpty())
        SendCommand(steps);
}

void CTavrinView::OnVoxOff() { SendVoxSteps('0'); }
void CTavrinView::OnVoxVoice() { SendVoxSteps('1'); }
void CTavrinView::OnVoxData() { SendVoxSteps('2'); }

// A tune switches to AM before keying, and unkeys before the mode returns
// to what the radio reported when the tune began.
void CTavrinView::OnTune()
{
    if (g_bTuning == 1) {
        OnReceive();
        g_bTuning = 0;
        m_btnTune.SetState(false);
        g_chNewMode = g_chModeBeforeTune;
        SendMode();
        return;
    }
    if (g_chTxState == 'K')
        return;
    g_chModeBeforeTune = g_chMode;
    g_bTuning = 1;
    m_btnTune.SetState(true);
    g_chNewMode = '3';
    SendMode();
    OnXmit();
}

// The three switches below ask for the opposite of what the member says;
// their members follow the radio's next report.
void CTavrinView::OnExtPtt() { SendCommand(m_bExtPtt == 1 ? "'0\n" : "'1\n"); }
void CTavrinView::OnBpfOff() { SendCommand(m_bBpfOff == 1 ? ",0\n" : ",1\n"); }
void CTavrinView::OnLocalAudio() { SendCommand(m_bLocalAudio == 1 ? "\"0\n" : "\"1\n"); }

void CTavrinView::SendExtPttOffLocalOff()
{
    SendCommand("'0\n");
    SendCommand("\"0\n");
}

void CTavrinView::SendExtPttOnLocalOff()
{
    SendCommand("'1\n");
    SendCommand("\"0\n");
}

void CTavrinView::SendExtPttOnLocalOn()
{
    SendCommand("'1\n");
    SendCommand("\"1\n");
}
