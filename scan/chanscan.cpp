// Channel scan: one memory channel recalled per tick of the scan timer, from
// Lower to Upper and round again; and the four range edits' values.
#include <algorithm>
#include <climits>
#include <cstdio>

#include "channels/channellist.h"
#include "channels/channeltable.h"
#include "panel/tavrinview.h"
#include "panel/tuningstate.h"
#include "scan/chanscanstate.h"

int g_nScanPos = 0;

namespace {
int BeforeChannel(int channel) { return channel == INT_MIN ? INT_MIN : channel - 1; }
} // namespace

void CTavrinView::OnChanScan()
{
    if (g_bChanScan == 0) {
        g_bChanScan = 1;
        m_btnChanScan.SetState(true);
        g_nScanPos = BeforeChannel(g_nChanLower);
        m_nJog = -1;
        SendCommand(",1\n");
    } else {
        g_bChanScan = 0;
        m_btnChanScan.SetState(false);
        SendCommand(",0\n");
    }
}

// The range runs from Lower to Upper, or is Lower alone when Upper is below
// it. Channels of the range that are not in the table are skipped; a range
// with none in the table recalls nothing.
void CTavrinView::ScanStep()
{
    const int first = std::max(g_nChanLower, 0);
    const int last = std::min(std::max(g_nChanLower, g_nChanUpper), kChannelCount - 1);
    if (first > last)
        return;
    g_nScanPos = g_nScanPos == INT_MAX ? first : g_nScanPos + 1;
    if (!IsChannel(g_nScanPos))
        g_nScanPos = first;
    m_cbChannels.SetCurSel(g_nScanPos);
    g_nSelChannel = g_nScanPos;
    RecallChannel();
    if (g_nScanPos >= g_nChanUpper || g_nScanPos >= last)
        g_nScanPos = first - 1;
}

// Leaving an edit takes its value; a text that is not a number keeps the old
// value, shown again in the field's format.
void CTavrinView::OnKillFocusChanLower()
{
    g_bChanScan = 0;
    std::sscanf(m_strChanLower.constData(), "%d", &g_nChanLower);
    m_strChanLower = FormatText("%3d", g_nChanLower);
}

void CTavrinView::OnKillFocusChanUpper()
{
    std::sscanf(m_strChanUpper.constData(), "%d", &g_nChanUpper);
    m_strChanUpper = FormatText("%3d", g_nChanUpper);
}

void CTavrinView::OnKillFocusScanUpper()
{
    g_bChanScan = 0;
    std::sscanf(m_strScanUpper.constData(), "%f", &g_fScanUpper);
    m_strScanUpper = FormatText("%8.2f", double(g_fScanUpper));
}

void CTavrinView::OnKillFocusScanLower()
{
    std::sscanf(m_strScanLower.constData(), "%f", &g_fScanLower);
    m_strScanLower = FormatText("%8.2f", double(g_fScanLower));
}
