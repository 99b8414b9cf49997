#include "portwatch/lostlinkreceive.h"

#include <QLoggingCategory>

#include "panel/tavrinview.h"
#include "panel/tuningstate.h"

Q_DECLARE_LOGGING_CATEGORY(lcPortWatch)

CLostLinkReceive::CLostLinkReceive(CTavrinView& view) : QObject(&view), m_view(view)
{
    connect(&m_view.Comm(), &CMSComm::PortLost, this, &CLostLinkReceive::OnPortLost);
}

// The radio's last 'K' report no longer says anything either: the buttons
// show Receive, and so does a station program asking for the transmit state
// once the link is back and before the radio has reported again.
void CLostLinkReceive::OnPortLost(const CommError&)
{
    if (g_chTxState != 'K')
        return;
    const bool radioChanged = m_view.m_nTxRx != 1;
    g_chTxState = 'U';
    m_view.m_nTxRx = 1;
    m_view.UpdateData(false);
    m_view.AnnounceTransmit(true, radioChanged);
    qCWarning(lcPortWatch) << "the link was lost while transmitting: the transmission is ended, back to receive";
}
