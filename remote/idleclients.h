#pragma once
// When every slot of the server is taken, the client silent longest gives
// its slot to a newcomer, so connections that never send a whole line (a
// program that leaks them, or a flood of them) cannot lock station programs
// out for as long as they stay. Silence counts from the client's last line
// with a command in it (an empty line is not use), or from its connection; a client must have been silent at least 30 s
// to go, and the one holding the transmitter keyed never goes.
#include <QList>
#include <chrono>

class CRigClient;
class QObject;

class CIdleClients {
public:
    static constexpr std::chrono::seconds kDefaultMinSilence{30};

    void SetMinSilence(std::chrono::milliseconds silence) { m_minSilence = silence; }

    // Of `clients`, the one to give its slot, or none when no one has been
    // silent long enough; `spared` is never chosen.
    CRigClient* Longest(const QList<CRigClient*>& clients, const QObject* spared) const;

private:
    std::chrono::milliseconds m_minSilence = kDefaultMinSilence;
};
