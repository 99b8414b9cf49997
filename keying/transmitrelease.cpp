#include "keying/transmitrelease.h"

#include "keying/transmitholder.h"
#include "link/mscomm.h"
#include "panel/tavrinview.h"
#include "panel/transmitstate.h"
#include "panel/tuningstate.h"

CTransmitRelease::CTransmitRelease(CTavrinView& view, CTransmitHolder& holder)
    : QObject(&view), m_view(view), m_holder(holder)
{
    connect(&view.Comm(), &CMSComm::PortLost, this, &CTransmitRelease::OnLinkLost);
    connect(&view, &CTavrinView::Closing, this, &CTransmitRelease::OnClosing);
}

void CTransmitRelease::OnLinkLost()
{
    m_holder.NoteUnkeyReason(QStringLiteral("the link was lost"));
    m_holder.Look();
}

void CTransmitRelease::OnClosing()
{
    m_holder.NoteUnkeyReason(QStringLiteral("the session ended"));
    if (g_bTuning == 1)
        m_view.OnTune();
    else if (g_chTxState == 'K')
        m_view.OnReceive();
    m_holder.Look();
}
