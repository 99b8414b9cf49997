#include "remote/idleclients.h"

#include "remote/rigclient.h"

CRigClient* CIdleClients::Longest(const QList<CRigClient*>& clients, const QObject* spared) const
{
    CRigClient* longest = nullptr;
    qint64 longestMs = m_minSilence.count() - 1;
    for (CRigClient* client : clients) {
        const qint64 silentMs = client->SilentMs();
        if (client != spared && silentMs > longestMs) {
            longest = client;
            longestMs = silentMs;
        }
    }
    return longest;
}
