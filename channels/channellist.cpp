// The channel list: store a channel from the list's edit field, recall one
// by double-click.
#include "channels/channellist.h"

#include <algorithm>
#include <cstdio>

#include "channels/channellines.h"
#include "channels/channeltable.h"
#include "link/commandchannel.h"
#include "panel/messagebox.h"
#include "panel/modeagcstate.h"
#include "panel/tavrinview.h"
#include "panel/tuningstate.h"

int g_nSelChannel = 0;

namespace {

constexpr int kDescColumn = 23;

void TakeDescription(const CString& text, char* desc)
{
    int n = 0;
    for (qsizetype i = kDescColumn; i < text.size() && n < kDescLength - 1; ++i) {
        if (text[i] == '\n' || text[i] == '\0')
            break;
        desc[n++] = text[i];
    }
    std::fill(desc + n, desc + kDescLength - 1, ' ');
    desc[kDescLength - 1] = '\n';
}

char WantedMode(char letter, char previous)
{
    switch (letter) {
    case 'U': return '1';
    case 'L': return '2';
    case 'A': return '3';
    case 'C': return '4';
    default: return previous;
    }
}

char WantedAgc(char letter, char previous)
{
    switch (letter) {
    case 'O': return '1';
    case 'S': return '2';
    case 'M': return '3';
    case 'F': return '4';
    default: return previous;
    }
}

} // namespace

void CTavrinView::OnSaveChannel()
{
    UpdateData(false);
    const CString text = m_cbChannels.GetWindowText();
    int n = -1;
    if (std::sscanf(text.constData(), "%d", &n) != 1 || !IsChannel(n)) {
        AfxMessageBox("Save Chnl: the line must begin with a channel number from 0 to 299. Nothing was saved.");
        return;
    }
    std::sscanf(text.constData(), "%*d %lf %c %c %c %c", &g_dChanFreq[n], &g_chChanMode[n], &g_chChanAgc[n],
                &g_chChanInput[n], &g_chChanRoute[n]);
    TakeDescription(text, g_chChanDesc[n]);
    ShowChannel(m_cbChannels, n);
    g_nSelChannel = n;
    SaveChannelFile();
}

void CTavrinView::OnDblClkChannels()
{
    m_nJog = -1;
    g_bChanScan = 0; // the button keeps its pushed look; nothing is sent
    g_nSelChannel = m_cbChannels.GetCurSel();
    RecallChannel();
}

// Commands go out strictly in this order: audio input, Ext PTT and local
// audio, AGC and mode, frequency.
void CTavrinView::RecallChannel()
{
    const int s = g_nSelChannel;
    if (!IsChannel(s))
        return; // a list line that matches no slot recalls nothing
    switch (g_chChanInput[s]) {
    case 'M': OnInputMic(); break;
    case 'A': OnInputAudio2(); break;
    case 'P': OnInputPatch(); break;
    default: break;
    }
    switch (g_chChanRoute[s]) {
    case 'R': SendExtPttOffLocalOff(); break;
    case 'T': SendExtPttOnLocalOff(); break;
    case 'L': SendExtPttOnLocalOn(); break;
    default: break;
    }
    g_chNewMode = WantedMode(g_chChanMode[s], g_chNewMode);
    g_chNewAgc = WantedAgc(g_chChanAgc[s], g_chNewAgc);
    if (g_bStepMode == 1) {
        SendAgc();
        SendMode();
    } else {
        SendDirectAgcAndMode();
    }
    EncodeFrequency(g_dChanFreq[s]);
    SendFrequency();
}

// Direct mode sends both settings in one write. A setting nobody has asked
// for yet is still a zero byte, which the radio must never see: it is left out.
void CTavrinView::SendDirectAgcAndMode()
{
    const CString command = ValueCommand('A', g_chNewAgc) + ValueCommand('M', g_chNewMode);
    if (!command.isEmpty())
        SendCommand(command);
}
