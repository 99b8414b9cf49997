// RF gain, BFO offset, meter source and the amplifier.
#include <cstdio>

#include "link/reportedstate.h"
#include "panel/gainbfostate.h"
#include "panel/messagebox.h"
#include "panel/tavrinview.h"

int32_t g_nBfoValue = 0;
int32_t g_nBfoSent = 0;
BYTE g_bBfoOn = 0;

// Negative offsets are biased by 1001, not 1000: -1 still reads as no
// offset, and -1000 reaches code 000.
CString BfoOffsetCommand(int32_t offsetHz)
{
    const int32_t n = offsetHz >= 0 ? offsetHz + 1000 : offsetHz + 1001;
    return FormatText("B%03d\n", static_cast<int>(n / 10));
}

// The radio takes gain only in direct mode. A gain typed as one character is
// sent as two, with a leading zero; an empty field sends nothing.
void CTavrinView::OnSetRfGain()
{
    if (g_bStepMode != 0 || m_strRfGain.isEmpty())
        return;
    const CString gain = m_strRfGain.size() == 1 ? "0" + m_strRfGain : m_strRfGain.left(2);
    SendCommand("G" + gain + "\n");
}

void CTavrinView::OnSetBfo()
{
    std::sscanf(m_strBfo.constData(), "%d", &g_nBfoValue);
    const int32_t v = g_nBfoValue;
    if (g_bBfoOn == 0 && v == 0)
        return;
    if (g_bBfoOn == 1 && v == g_nBfoSent) {
        // The same offset once more switches it off again.
        m_strBfo.clear();
        g_nBfoValue = 0;
        g_nBfoSent = 0;
        g_bBfoOn = 0;
        SendCommand("B100\n");
        return;
    }
    if (v > 1000 || v < -1000) {
        AfxMessageBox("BFO freq must be between +1000 and -1000 Hz");
        return;
    }
    SendCommand(BfoOffsetCommand(v));
    g_bBfoOn = 1;
    g_nBfoSent = v;
}

// (target - reported) mod 6 copies of "D\n". When there is no step to make,
// VSWR sends a bare "D"; the other sources send nothing, like the audio-input
// and VOX buttons.
void CTavrinView::SendMeterSteps(char target, const char* whenNoStep)
{
    const char r = g_chMeter;
    const int steps = r >= '1' && r <= '6' ? (target - r + 6) % 6 : 0;
    CString command = CString("D\n").repeated(steps);
    if (command.isEmpty())
        command = whenNoStep;
    if (!command.isEmpty())
        SendCommand(command);
}

void CTavrinView::OnMeterAudio() { SendMeterSteps('1', ""); }
void CTavrinView::OnMeterLine() { SendMeterSteps('2', ""); }
void CTavrinView::OnMeterPatch() { SendMeterSteps('3', ""); }
void CTavrinView::OnMeterFwd() { SendMeterSteps('4', ""); }
void CTavrinView::OnMeterRev() { SendMeterSteps('5', ""); }
void CTavrinView::OnMeterVswr() { SendMeterSteps('6', "D"); }

void CTavrinView::OnAmpPower() { SendCommand(m_bAmpPower == 1 ? "O1\n" : "O2\n"); }

// Operation is only reachable from ready, and only left back to ready.
void CTavrinView::OnAmpOperate()
{
    if (m_bAmpOperate == 1 && g_nAmpState == '4')
        SendCommand("O3\n");
    else if (m_bAmpOperate == 0 && g_nAmpState == '3')
        SendCommand("O4\n");
}
