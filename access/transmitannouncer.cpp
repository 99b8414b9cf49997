#include "access/transmitannouncer.h"

#include <QApplication>

#include "access/spokennotice.h"
#include "panel/tavrinview.h"

CTransmitAnnouncer::CTransmitAnnouncer(CTavrinView& view)
    : QObject(&view), m_view(view), m_notice(new CSpokenNotice(&view))
{
    connect(&view, &CTavrinView::TransmitChanged, this, &CTransmitAnnouncer::OnChanged);
}

// When both changed at once (a lost link puts both back to receive), a
// keyed transmitter is the safer thing to tell.
void CTransmitAnnouncer::OnChanged(const TransmitChange& change)
{
    bool keyed = m_bKeyed;
    if (change.panelChanged && change.radioChanged)
        keyed = change.panelKeyed || change.radioKeyed;
    else if (change.panelChanged)
        keyed = change.panelKeyed;
    else if (change.radioChanged)
        keyed = change.radioKeyed;
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
