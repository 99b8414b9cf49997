// Start of the link and the three periodic jobs: poll, channel scan, jog.
#include "channels/channeltable.h"
#include "link/reportedstate.h"
#include "panel/tavrinview.h"
#include "panel/tuningstate.h"

namespace {

// Each stepping query goes once around its setting's whole cycle, so the
// radio reports every setting and ends where it began.
const char* const kStartupQueries[] = {
    "?\n",
    "H\nH\nH\n",
    "V\nV\nV\n",
    "S\nS\n",
    "I\nI\n",
    "D\nD\nD\nD\nD\nD\n",
};
const char* const kStepModeQueries[] = {
    "M\nM\nM\nM\n",
    "A\nA\nA\n",
};

} // namespace

void CTavrinView::OnInitialUpdate()
{
    UpdateData(false);
    FitFrameToForm();
    SetTimer(1, 3000);
    SetTimer(2, 1000);
    SetTimer(3, 500);
    LoadChannelFile();
    Dispatch([this] { OpenPortAndQuery(); });
}

void CTavrinView::FitFrameToForm()
{
    setMinimumSize(m_form.Size());
    if (QWidget* frame = window(); frame != this) {
        const QSize fitted = frame->sizeHint().boundedTo(frame->size());
        frame->resize(fitted.isEmpty() ? frame->sizeHint() : fitted);
    }
}

// A property the control refuses ends start-up right there: the later
// properties and the queries are not sent, but the timers already run.
void CTavrinView::OpenPortAndQuery()
{
    m_comm.SetCommPort(static_cast<short>(g_nCommPort));
    m_comm.SetSettings(m_strSettings);
    m_comm.SetInputLen(1);
    m_comm.SetInputMode(0);
    m_comm.SetRTSEnable(true);
    m_comm.SetRThreshold(1);
    m_comm.SetSThreshold(1);
    m_comm.SetPortOpen(true);
    ClearPortProblem();
    for (const char* query : kStartupQueries)
        SendCommand(query);
    m_nStep = 5;
    if (g_bStepMode != 1)
        return;
    for (const char* query : kStepModeQueries)
        SendCommand(query);
}

void CTavrinView::OnTimer(unsigned id)
{
    switch (id) {
    case 1:
        // While keyed the key command is repeated instead of asking for status.
        if (g_chTxState == 'K') {
            m_nJog = -1;
            SendCommand("K");
        } else {
            SendCommand("?\nU");
        }
        break;
    case 2:
        if (g_bChanScan == 1)
            ScanStep();
        break;
    case 3:
        if (m_nJog == 0)
            JogUp();
        if (m_nJog == 1)
            JogDown();
        break;
    default:
        break;
    }
}
