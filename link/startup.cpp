// Start of the link, opening it again, and the three periodic jobs: poll,
// channel scan, jog.
#include "channels/channeltable.h"
#include "link/reportedstate.h"
#include "panel/tavrinview.h"
#include "panel/tuningstate.h"

namespace {

// Each stepping query goes once around its setting's whole cycle, so the
// radio reports every setting and ends where it began.
const QList<const char*> kStartupQueries = {
    "?\n",
    "H\nH\nH\n",
    "V\nV\nV\n",
    "S\nS\n",
    "I\nI\n",
    "D\nD\nD\nD\nD\nD\n",
};
const QList<const char*> kStepModeQueries = {
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
    OpenPort();
    SendQueries(kStartupQueries);
    m_nStep = 5;
    if (g_bStepMode == 1)
        SendQueries(kStepModeQueries);
}

// As start-up opens the port, without reading the channel file again: what
// the user typed since stays. The tuning step stays as the user chose it.
void CTavrinView::OpenPortAgain()
{
    OpenPort();
    SendQueries(kStartupQueries);
    if (g_bStepMode == 1)
        SendQueries(kStepModeQueries);
}

// The program's first opening leaves DTR as the port has it; every later one
// puts it where the Power (DTR) box says, clicked while the port was closed
// or not.
void CTavrinView::OpenPort()
{
    const bool dtrFollowsBox = m_bPortTried && !m_comm.GetPortOpen();
    m_bPortTried = true;
    m_comm.SetCommPort(static_cast<short>(g_nCommPort));
    m_comm.SetSettings(m_strSettings);
    m_comm.SetInputLen(1);
    m_comm.SetInputMode(0);
    m_comm.SetRTSEnable(true);
    m_comm.SetRThreshold(1);
    m_comm.SetSThreshold(1);
    // Written before the port opens, DTR is set as it opens, however late.
    if (dtrFollowsBox)
        m_comm.SetDTREnable(m_bDtrPower != 0);
    m_comm.SetPortOpen(true);
    ClearPortProblem();
}

// A port that opened later than it was asked to (the radio on another
// machine answering) finishes the start-up or the reopening here. A tuning
// step the user chose meanwhile stays.
void CTavrinView::OnPortOpened()
{
    ClearPortProblem();
    SendQueries(kStartupQueries);
    if (m_nStep == -1)
        m_nStep = 5;
    if (g_bStepMode == 1)
        SendQueries(kStepModeQueries);
}

void CTavrinView::SendQueries(const QList<const char*>& queries)
{
    for (const char* query : queries)
        SendCommand(query);
}

// Nothing can reach the radio: a scan or jog left running would carry on
// from wherever it stands the moment the port is back.
void CTavrinView::StopScanAndJog()
{
    if (g_bChanScan == 0 && m_nJog == -1)
        return;
    g_bChanScan = 0;
    m_btnChanScan.SetState(false);
    m_nJog = -1;
    UpdateData(false);
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
