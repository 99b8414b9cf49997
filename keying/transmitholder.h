#pragma once
// The station has one transmitter, so one holder of it at a time. Whoever
// keys holds it until it goes back to receive, by whatever path (the
// panel's Receive, an unkey, a watchdog, a lost link); while it is held, a
// key from anyone else is refused and told who holds it.
//
// The panel's own Xmit and Tune key without asking: the operator at the
// radio comes first. What the panel did is read from its transmit state
// whenever the holder is asked, so no path that keys or unkeys is missed.
#include <QObject>
#include <optional>

#include "keying/keyer.h"

class CTransmitHolder : public QObject {
    Q_OBJECT
public:
    explicit CTransmitHolder(QObject* parent = nullptr);

    // Nobody, or who keyed the transmitter that is keyed now.
    std::optional<Keyer> Holder();
    // Takes the transmitter for `who` unless someone else holds it; the
    // caller keys only when this says yes. Asking again while holding is yes.
    bool Claim(const Keyer& who);
    // Why the unkey about to happen happens ("rig-control T 0", "the 180 s
    // watchdog", "the client went away"); said by the path about to unkey.
    // With nothing keyed there is nothing for it to end, and it is dropped.
    void NoteUnkeyReason(const QString& why);

signals:
    void Began(const Keyer& who);
    void Ended(const Keyer& who, const QString& why);

private:
    void Settle();

    std::optional<Keyer> m_holder;
    QString m_unkeyReason;
};
