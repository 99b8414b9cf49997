#include "keying/transmitholder.h"

#include "panel/tavrinview.h"
#include "panel/transmitstate.h"
#include "panel/tuningstate.h"

CTransmitHolder::CTransmitHolder(QObject* parent) : QObject(parent) {}

void CTransmitHolder::Follow(CTavrinView& view)
{
    connect(&view, &CTavrinView::TransmitChanged, this, [this](const TransmitChange& change) {
        if (change.panelChanged && change.panelKeyed)
            m_panelKeyInReports = true;
        Settle({change.radioChanged, change.radioKeyed});
    });
    connect(&view, &CTavrinView::ReportParsed, this, [this](const ReportChanges& changes) {
        if (changes.transmitField == 'U' && g_chTxState != 'K')
            m_panelKeyInReports = false;
    });
}

std::optional<Keyer> CTransmitHolder::Holder()
{
    Settle();
    return m_holder;
}

bool CTransmitHolder::Claim(const Keyer& who)
{
    Settle();
    if (m_holder)
        return m_holder->SameAs(who);
    m_holder = who;
    m_onAir = false;
    m_unkeyReason.clear();
    // The key follows the claim at once or not at all: by the next turn the
    // claim is on the air or lapsed, and a later key is someone else's.
    QMetaObject::invokeMethod(this, [this] { Settle(); }, Qt::QueuedConnection);
    return true;
}

void CTransmitHolder::NoteUnkeyReason(const QString& why)
{
    Settle();
    if (m_holder)
        m_unkeyReason = why;
}

void CTransmitHolder::NoteUnkeyReason(const QString& why, const Keyer& by)
{
    Settle();
    if (m_holder)
        NoteUnkeyReason(m_holder->SameAs(by) ? why : QStringLiteral("%1 from %2").arg(why, by.Who()));
}

// A holder whose transmitter is back on receive holds nothing; a
// transmitter keyed with no claim was keyed at the panel, and a report of
// transmit with nothing keyed here was keyed at the radio.
void CTransmitHolder::Settle(RadioSeen radio)
{
    const bool keyed = g_chTxState == 'K';
    if (m_holder && m_holder->kind == Keyer::Kind::Radio) {
        SettleRadioHolding(radio);
    } else if (m_holder && !keyed) {
        if (m_onAir)
            End(m_unkeyReason.isEmpty() ? QStringLiteral("Receive") : m_unkeyReason);
        else
            m_holder.reset();
    } else if (m_holder && !m_onAir) {
        Begin(*m_holder);
    } else if (!m_holder && keyed) {
        Keyer panel;
        panel.how = g_bTuning ? QStringLiteral("Tune") : QStringLiteral("Xmit");
        Begin(panel);
    } else if (!m_holder && radio.changed && radio.keyed && !m_panelKeyInReports) {
        Keyer radioItself;
        radioItself.kind = Keyer::Kind::Radio;
        radioItself.how = QStringLiteral("report");
        Begin(radioItself);
    }
}

// Xmit pressed meanwhile keeps the one transmission going; the radio's own
// report of receive ends it, whoever pressed what, and so does an end the
// panel can no longer watch (the link lost, the panel closing).
void CTransmitHolder::SettleRadioHolding(RadioSeen radio)
{
    if ((radio.changed && !radio.keyed) || !m_unkeyReason.isEmpty())
        End(m_unkeyReason.isEmpty() ? QStringLiteral("the radio reported receive") : m_unkeyReason);
}

void CTransmitHolder::Begin(const Keyer& who)
{
    m_holder = who;
    m_onAir = true;
    m_unkeyReason.clear();
    emit Began(who);
}

void CTransmitHolder::End(const QString& why)
{
    const Keyer ended = *m_holder;
    m_holder.reset();
    m_onAir = false;
    m_unkeyReason.clear();
    emit Ended(ended, why);
}
