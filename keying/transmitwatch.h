#pragma once
// Looks at the transmit state whenever the event loop has nothing left to
// do, so no path that keys or unkeys is missed: the panel's own state (its
// Xmit, Tune and Receive, a station program keying through it, a lost link)
// and the transmit field of the radio's reports (its Ext PTT or a
// microphone). One watch serves every reader of the state, so the loop pays
// for one look per wakeup however many there are.
#include <QObject>

class CTavrinView;

class CTransmitWatch : public QObject {
    Q_OBJECT
public:
    // The view's watch, made at the first call.
    static CTransmitWatch& Of(CTavrinView& view);

    bool PanelKeyed() const;
    bool RadioKeyed() const;

signals:
    // Told once per look that found a change, saying which changed.
    void Changed(bool panelChanged, bool radioChanged);

private:
    explicit CTransmitWatch(CTavrinView& view);
    void OnIdle();

    CTavrinView& m_view;
    char m_chTxStateSeen;
    int m_nTxRxSeen;
};
