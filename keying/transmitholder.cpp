#include "keying/transmitholder.h"

#include "panel/transmitstate.h"
#include "panel/tuningstate.h"

CTransmitHolder::CTransmitHolder(QObject* parent) : QObject(parent) {}

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
    m_unkeyReason.clear();
    emit Began(who);
    return true;
}

void CTransmitHolder::NoteUnkeyReason(const QString& why)
{
    Settle();
    if (m_holder)
        m_unkeyReason = why;
}

// A holder whose transmitter is back on receive holds nothing; a
// transmitter keyed with no claim was keyed at the panel.
void CTransmitHolder::Settle()
{
    const bool keyed = g_chTxState == 'K';
    if (m_holder && !keyed) {
        const Keyer ended = *m_holder;
        const QString why = m_unkeyReason.isEmpty() ? QStringLiteral("Receive") : m_unkeyReason;
        m_holder.reset();
        m_unkeyReason.clear();
        emit Ended(ended, why);
    } else if (!m_holder && keyed) {
        Keyer panel;
        panel.how = g_bTuning ? QStringLiteral("Tune") : QStringLiteral("Xmit");
        m_holder = panel;
        emit Began(panel);
    }
}
