#include "access/transmitannouncer.h"

#include <QApplication>

#include "access/spokennotice.h"
#include "keying/transmitwatch.h"
#include "panel/tavrinview.h"

CTransmitAnnouncer::CTransmitAnnouncer(CTavrinView& view)
    : QObject(&view), m_view(view), m_watch(CTransmitWatch::Of(view)), m_notice(new CSpokenNotice(&view))
{
    connect(&m_watch, &CTransmitWatch::Changed, this, &CTransmitAnnouncer::OnChanged);
}

// When both changed since the last look, which came last is unknown; a
// keyed transmitter is then the safer thing to tell.
void CTransmitAnnouncer::OnChanged(bool panelChanged, bool radioChanged)
{
    bool keyed = m_bKeyed;
    if (panelChanged && radioChanged)
        keyed = m_watch.PanelKeyed() || m_watch.RadioKeyed();
    else if (panelChanged)
        keyed = m_watch.PanelKeyed();
    else if (radioChanged)
        keyed = m_watch.RadioKeyed();
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
