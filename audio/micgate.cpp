#include "audio/micgate.h"

bool CMicGate::IsOpenFor(const QString& session) const
{
    const QString holder = m_transmitter.HolderSession();
    return !session.isEmpty() && session == holder && m_transmitter.Keyed();
}

CMicGate::Verdict CMicGate::Admit(const QString& session)
{
    Verdict verdict;
    verdict.flushFirst = ShutSinceLastPlay();
    verdict.play = IsOpenFor(session);
    if (verdict.play)
        m_playingSession = session;
    return verdict;
}

bool CMicGate::ShutSinceLastPlay()
{
    if (m_playingSession.isEmpty() || IsOpenFor(m_playingSession))
        return false;
    m_playingSession.clear();
    return true;
}
