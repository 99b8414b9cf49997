#pragma once
// Whether the transmitter is keyed, told wherever the focus is in the
// panel: the window title says "transmitting" while it is, and a screen
// reader says "Transmitting" and "Receiving" as the state changes.
//
// The panel keys through Xmit, Tune and station programs and unkeys through
// Receive, Tune, a client that goes away or a lost link; the radio reports
// keying of its own (Ext PTT, a microphone). Whichever of the two changed
// last is the state, as the panel announces each move.
#include <QObject>

class CSpokenNotice;
class CTavrinView;
struct TransmitChange;

class CTransmitAnnouncer : public QObject {
    Q_OBJECT
public:
    explicit CTransmitAnnouncer(CTavrinView& view);

private:
    void OnChanged(const TransmitChange& change);
    void Tell(bool keyed);

    CTavrinView& m_view;
    CSpokenNotice* m_notice;
    bool m_bKeyed = false;
};
