#include "access/transmitannouncer.h"

#include <QAbstractEventDispatcher>
#include <QApplication>

#include "access/spokennotice.h"
#include "panel/tavrinview.h"
#include "panel/tuningstate.h"

CTransmitAnnouncer::CTransmitAnnouncer(CTavrinView& view)
    : QObject(&view), m_view(view), m_notice(new CSpokenNotice(&view)), m_chTxStateSeen(g_chTxState),
      m_nTxRxSeen(view.m_nTxRx)
{
    // The program's loop goes to sleep between events; a loop that only
    // polls (a test's) never sleeps but wakes each round.
    QAbstractEventDispatcher* loop = QAbstractEventDispatcher::instance();
    connect(loop, &QAbstractEventDispatcher::aboutToBlock, this, &CTransmitAnnouncer::OnIdle);
    connect(loop, &QAbstractEventDispatcher::awake, this, &CTransmitAnnouncer::OnIdle);
}

// When both changed since the last look, which came last is unknown; a
// keyed transmitter is then the safer thing to tell.
bool CTransmitAnnouncer::KeyedNow()
{
    const bool panelChanged = g_chTxState != m_chTxStateSeen;
    const bool radioChanged = m_view.m_nTxRx != m_nTxRxSeen && m_view.m_nTxRx >= 0;
    m_chTxStateSeen = g_chTxState;
    m_nTxRxSeen = m_view.m_nTxRx;
    const bool panelKeyed = g_chTxState == 'K';
    const bool radioKeyed = m_view.m_nTxRx == 0;
    if (panelChanged && radioChanged)
        return panelKeyed || radioKeyed;
    if (panelChanged)
        return panelKeyed;
    return radioChanged ? radioKeyed : m_bKeyed;
}

void CTransmitAnnouncer::OnIdle()
{
    const bool keyed = KeyedNow();
    if (keyed != m_bKeyed)
        Tell(keyed);
}

// Spoken only while the panel has the focus: an operator working in a
// station program that keys every fifteen seconds hears that program.
void CTransmitAnnouncer::Tell(bool keyed)
{
    m_bKeyed = keyed;
    m_view.Title().Set(CWindowTitle::Transmitting, keyed ? QStringLiteral("transmitting") : QString());
    if (QApplication::activeWindow())
        m_notice->Say(keyed ? QStringLiteral("Transmitting") : QStringLiteral("Receiving"));
}
