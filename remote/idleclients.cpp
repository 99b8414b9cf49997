#include "remote/idleclients.h"

#include "remote/rigclient.h"

void CIdleClients::Heard(CRigClient* client) { m_lastHeard[client].start(); }

void CIdleClients::Forget(CRigClient* client) { m_lastHeard.remove(client); }

CRigClient* CIdleClients::Longest(const QObject* spared) const
{
    CRigClient* longest = nullptr;
    qint64 longestMs = m_minSilence.count() - 1;
    for (auto it = m_lastHeard.cbegin(); it != m_lastHeard.cend(); ++it) {
        if (it.key() != spared && it.value().elapsed() > longestMs) {
            longest = it.key();
            longestMs = it.value().elapsed();
        }
    }
    return longest;
}

qint64 CIdleClients::SilentMs(CRigClient* client) const
{
    const auto it = m_lastHeard.constFind(client);
    return it == m_lastHeard.cend() ? 0 : it.value().elapsed();
}
