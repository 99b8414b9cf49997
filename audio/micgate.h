#pragma once
// Only the operator who holds the transmitter speaks through it, and only
// while it is on the air. The gate asks both questions afresh for every
// frame, so an unkey by any path (the operator, the panel, a watchdog, a
// lost link) shuts it before the next frame: audio never keys the radio
// and never outlasts the key.
#include <QString>

// What the gate needs to know about the transmitter; the web panel answers
// it from its sessions and the transmit holder.
class CTransmitterQuestions {
public:
    virtual ~CTransmitterQuestions() = default;
    // The web session holding the transmitter, empty when nobody in a
    // browser holds it.
    virtual QString HolderSession() const = 0;
    virtual bool Keyed() const = 0;
};

class CMicGate {
public:
    struct Verdict {
        bool play = false;
        // The gate shut since it last let a frame through (an unkey, or a
        // new holder): what is still buffered for the transmitter goes first.
        bool flushFirst = false;
    };

    explicit CMicGate(const CTransmitterQuestions& transmitter) : m_transmitter(transmitter) {}

    // For a frame from web session `session`.
    Verdict Admit(const QString& session);
    // Whether the gate has shut since it last let a frame through; for a
    // look between frames (at an unkey, say) that flushes without waiting
    // for the next one.
    bool ShutSinceLastPlay();

private:
    bool IsOpenFor(const QString& session) const;

    const CTransmitterQuestions& m_transmitter;
    QString m_playingSession;  // empty: nothing let through since the last shut
};
