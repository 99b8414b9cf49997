#pragma once
// When every slot of the server is taken, the client silent longest gives
// its slot to a newcomer, so connections that never send a whole line (a
// program that leaks them, or a flood of them) cannot lock station programs
// out for as long as they stay. Silence counts from the client's last line
// with a command in it (an empty line is not use), or from its connection; a client must have been silent at least 30 s
// to go, and the one holding the transmitter keyed never goes.
#include <QList>
#include <QtGlobal>
#include <chrono>

class QObject;

class CIdleClients {
public:
    static constexpr std::chrono::seconds kDefaultMinSilence{30};

    void SetMinSilence(std::chrono::milliseconds silence) { m_minSilence = silence; }

    // Of `clients` (anything that tells its SilentMs()), the one to give its
    // slot, or none when no one has been silent long enough; `spared` is
    // never chosen.
    template <class Client>
    Client* Longest(const QList<Client*>& clients, const QObject* spared) const
    {
        Client* longest = nullptr;
        qint64 longestMs = m_minSilence.count() - 1;
        for (Client* client : clients) {
            const qint64 silentMs = client->SilentMs();
            if (static_cast<const QObject*>(client) != spared && silentMs > longestMs) {
                longest = client;
                longestMs = silentMs;
            }
        }
        return longest;
    }

private:
    std::chrono::milliseconds m_minSilence = kDefaultMinSilence;
};
