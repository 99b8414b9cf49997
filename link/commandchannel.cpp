// The only path to and from the radio: commands out through SendCommand,
// characters in through the control's OnComm event.
#include "link/commandchannel.h"

#include "panel/tavrinview.h"

CString g_strCommand;
CString g_strReceive;

namespace {
// A line from the radio is a few dozen characters. Noise or a wrong baud
// rate may never bring a line feed; past this the buffer is dropped and the
// link waits for the next line feed to find the start of a report again.
constexpr qsizetype kReceiveLimit = 4096;
bool g_bResyncing = false;

void TakeReceived(const QByteArray& input)
{
    for (char c : input) {
        if (g_bResyncing) {
            g_bResyncing = c != '\n';
            continue;
        }
        g_strReceive += c;
        if (g_strReceive.size() > kReceiveLimit && c != '\n') {
            g_strReceive.clear();
            g_bResyncing = true;
        }
    }
}
} // namespace

void ResetReceiveBuffer()
{
    g_strReceive.clear();
    g_bResyncing = false;
}

void CTavrinView::SendCommand(const CString& text)
{
    g_strCommand = text;
    SendCommand();
}

void CTavrinView::SendCommand()
{
    m_strLastCommand = g_strCommand;
    QVariant output;
    output = QVariant(g_strCommand);
    m_comm.SetOutput(output);
    output.clear();
}

void CTavrinView::OnCommEvent()
{
    if (m_comm.GetCommEvent() == CMSComm::comEvReceive) {
        QVariant input = m_comm.GetInput();
        TakeReceived(input.toByteArray());
        input.clear();
    }
    if (!g_strReceive.isEmpty() && g_strReceive.endsWith('\n'))
        ParseStatus();
    UpdateData(false);
}

// The handler follows the member, not the box: the box has already changed
// its own check by the time the click arrives.
void CTavrinView::OnDtrPower()
{
    if (m_bDtrPower == 0) {
        m_comm.SetDTREnable(true);
        m_bDtrPower = 1;
    } else if (m_bDtrPower == 1) {
        m_comm.SetDTREnable(false);
        m_bDtrPower = 0;
    }
}
