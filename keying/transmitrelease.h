#pragma once
// The ends of a transmission that nobody presses for: the link lost under
// it, and the panel closing while it is on the air, for whatever reason the
// session ends (the window closed, Quit, logout, a signal). The panel
// unkeys then, as Receive (or a second Tune) would, so closing never leaves
// the radio keyed; and the holder is told why, so the record says it.
//
// Made before anything else that acts on a lost link or a closing panel,
// so the reason is given before the unkey it explains.
#include <QObject>

class CTavrinView;
class CTransmitHolder;

class CTransmitRelease : public QObject {
    Q_OBJECT
public:
    CTransmitRelease(CTavrinView& view, CTransmitHolder& holder);

private:
    void OnLinkLost();
    void OnClosing();

    CTavrinView& m_view;
    CTransmitHolder& m_holder;
};
