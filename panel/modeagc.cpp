// Mode and AGC. In step mode the radio is stepped from where it last
// reported to where the user wants it; in direct mode both settings are sent
// as values, followed by the last reported frequency.
#include "link/reportedstate.h"
#include "panel/modeagcstate.h"
#include "panel/tavrinview.h"
#include "panel/tuningstate.h"

char g_chNewMode = 0;
char g_chNewAgc = 0;

namespace {

bool InRange(char c, char first, char last) { return c >= first && c <= last; }

} // namespace

// A setting that was never reported nor asked for is still a zero byte; the
// radio is sent nothing for it rather than a command carrying a NUL.
CString ValueCommand(char letter, char value)
{
    return value == '\0' ? CString() : CString(1, letter) + value + '\n';
}

void CTavrinView::OnCloseUpMode()
{
    g_chNewMode = static_cast<char>(m_cbMode.GetCurSel() + '1');
    SendMode();
}

void CTavrinView::OnCloseUpAgc()
{
    g_chNewAgc = static_cast<char>(m_cbAgc.GetCurSel() + '1');
    SendAgc();
}

void CTavrinView::SendDirectSettings(char agc, char mode)
{
    for (const CString& command : {ValueCommand('A', agc), ValueCommand('M', mode)})
        if (!command.isEmpty())
            SendCommand(command);
    EncodeFrequency(g_dLastFreq);
    SendFrequency();
}

void CTavrinView::SendMode()
{
    const char r = g_chMode;
    const char w = g_chNewMode;
    if (g_bStepMode != 1) {
        SendDirectSettings(g_chAgc, w);
        return;
    }
    // USB -> LSB -> AM -> CW -> USB, one "M\n" per place.
    if (!InRange(r, '1', '4') || !InRange(w, '1', '4') || r == w)
        return;
    SendCommand(CString("M\n").repeated((w - r + 4) % 4));
}

void CTavrinView::SendAgc()
{
    const char r = g_chAgc;
    const char w = g_chNewAgc;
    if (g_bStepMode != 1) {
        SendDirectSettings(w, g_chMode);
        return;
    }
    // Slow -> Medium -> Fast -> Slow; Off is not on the stepping cycle.
    if (!InRange(r, '2', '4') || !InRange(w, '2', '4') || r == w)
        return;
    SendCommand(CString("A\n").repeated((w - r + 3) % 3));
}
