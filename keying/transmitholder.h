#pragma once
// The station has one transmitter, so one holder of it at a time. Whoever
// keys holds it until it goes back to receive, by whatever path (the
// panel's Receive, an unkey, a watchdog, a lost link); while it is held, a
// key from anyone else is refused and told who holds it.
//
// The panel's own Xmit and Tune key without asking: the operator at the
// radio comes first. A report that says transmit while nobody here keyed is
// held by the radio (its Ext PTT or a microphone) until a report says
// receive. The radio reports each command as it obeys it, a moment later,
// and in the order they were sent: once the panel has keyed, reports of
// transmit are its own, even one that comes after its Receive, until a
// report says receive. What happened is read from the transmit state whenever the
// holder is asked, and as the panel it follows says the transmitter moved,
// so Began and Ended come as it goes on and off the air.
#include <QObject>
#include <optional>

#include "keying/keyer.h"

class CTavrinView;

class CTransmitHolder : public QObject {
    Q_OBJECT
public:
    explicit CTransmitHolder(QObject* parent = nullptr);

    // Follows the panel's transmit state, the radio's reports among it.
    void Follow(CTavrinView& view);

    // Nobody, or who keyed (or is about to key) the transmitter.
    std::optional<Keyer> Holder();
    // Takes the transmitter for `who` unless someone else holds it; the
    // caller keys only when this says yes. Asking again while holding is
    // yes. A claim whose key never reaches the panel lapses unrecorded.
    bool Claim(const Keyer& who);
    // Why the unkey about to happen happens ("rig-control T 0", "the 180 s
    // watchdog", "the client went away"); said by the path about to unkey.
    // With nothing keyed there is nothing for it to end, and it is dropped.
    void NoteUnkeyReason(const QString& why);
    // The same, said by a keyer that may not be the holder: the record then
    // names who ended someone else's transmission.
    void NoteUnkeyReason(const QString& why, const Keyer& by);
    // Brings Began and Ended up to date now.
    void Look() { Settle(); }

signals:
    void Began(const Keyer& who);
    void Ended(const Keyer& who, const QString& why);

private:
    struct RadioSeen {
        bool changed;
        bool keyed;
    };
    void Settle(RadioSeen radio = {false, false});
    void SettleRadioHolding(RadioSeen radio);
    void Begin(const Keyer& who);
    void End(const QString& why);

    std::optional<Keyer> m_holder;
    bool m_onAir = false;  // false while a claim waits for its key
    bool m_panelKeyInReports = false;  // the panel keyed; no report has said receive since
    QString m_unkeyReason;
};
