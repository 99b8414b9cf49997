#include "keying/transmitwatch.h"

#include <QAbstractEventDispatcher>

#include "panel/tavrinview.h"
#include "panel/tuningstate.h"

CTransmitWatch& CTransmitWatch::Of(CTavrinView& view)
{
    if (auto* watch = view.findChild<CTransmitWatch*>(QString(), Qt::FindDirectChildrenOnly))
        return *watch;
    return *new CTransmitWatch(view);
}

CTransmitWatch::CTransmitWatch(CTavrinView& view)
    : QObject(&view), m_view(view), m_chTxStateSeen(g_chTxState), m_nTxRxSeen(view.m_nTxRx)
{
    // The program's loop goes to sleep between events; a loop that only
    // polls (a test's) never sleeps but wakes each round.
    QAbstractEventDispatcher* loop = QAbstractEventDispatcher::instance();
    connect(loop, &QAbstractEventDispatcher::aboutToBlock, this, &CTransmitWatch::OnIdle);
    connect(loop, &QAbstractEventDispatcher::awake, this, &CTransmitWatch::OnIdle);
}

bool CTransmitWatch::PanelKeyed() const { return g_chTxState == 'K'; }
bool CTransmitWatch::RadioKeyed() const { return m_view.m_nTxRx == 0; }

void CTransmitWatch::OnIdle()
{
    const bool panelChanged = g_chTxState != m_chTxStateSeen;
    // No report yet (-1) says nothing of the radio.
    const bool radioChanged = m_view.m_nTxRx != m_nTxRxSeen && m_view.m_nTxRx >= 0;
    if (!panelChanged && !radioChanged)
        return;
    m_chTxStateSeen = g_chTxState;
    m_nTxRxSeen = m_view.m_nTxRx;
    emit Changed(panelChanged, radioChanged);
}
